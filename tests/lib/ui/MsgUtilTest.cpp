#include <gtest/gtest.h>
#include <stdio.h>
#include <string>
#include "ui/MsgUtil.h"
#include "ui/VmWnd.h"
#include "registry/AppInfo.h"
#include "LibRes.h"
#include "UiTestUtil.h"

using uitest::BoxAnswerer;

namespace {
const char kCaption[] = "UiTestMsgProduct";

class MsgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_app = new AppInfo(GetModuleHandleA(NULL), kCaption, "Test", NULL, NULL, 0, 0);
    }
    void TearDown() override { delete m_app; }
    AppInfo* m_app = nullptr;
};

std::string SystemText(DWORD error)
{
    char buf[1024] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buf, sizeof(buf), NULL);
    std::string s = buf;
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
        s.pop_back();
    return s;
}

class CmdWnd : public VmWnd {
public:
    std::vector<MSG> got;
    LRESULT OnWndMessage(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_COMMAND || msg == WM_USER + 9 || msg == GetMyCompanyMsg()) {
            MSG m = {};
            m.hwnd = m_hWnd;
            m.message = msg;
            m.wParam = wp;
            m.lParam = lp;
            got.push_back(m);
            return msg == GetMyCompanyMsg() ? 31 : 0;
        }
        return VmWnd::OnWndMessage(msg, wp, lp);
    }
};

HWND MakeCmdWnd(CmdWnd& w, DWORD style = WS_OVERLAPPED)
{
    static ATOM atom = VmWnd::RegisterWndClass("UiTestCmdWnd");
    (void)atom;
    return w.CreateEx(0, "UiTestCmdWnd", "cmd", style, 10, 10, 200, 100, NULL, NULL);
}
}  // namespace

TEST_F(MsgTest, NegativeIdUsesTheLibraryTable)
{
    char format[512] = "";
    ASSERT_GT(LoadStringA(GetLibModule(), IDS_LIB_REGISTER_FAILED, format, sizeof(format)), 0);
    char expected[1024];
    snprintf(expected, sizeof(expected), format, "create");

    BoxAnswerer answer(kCaption, IDOK);
    EXPECT_EQ(IDOK, Msg(MSG_NO_OWNER, MB_OK | MB_ICONHAND, -IDS_LIB_REGISTER_FAILED, "create"));
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(expected, answer.Text());
    EXPECT_EQ(NULL, answer.Owner());
}

TEST_F(MsgTest, TextIsFormattedAndTheButtonComesBack)
{
    BoxAnswerer answer(kCaption, IDNO);
    EXPECT_EQ(IDNO, Msg(MSG_NO_OWNER, MB_YESNO | MB_ICONQUESTION, "Open %d files from %s?", 12, "C:\\x"));
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ("Open 12 files from C:\\x?", answer.Text());
}

TEST_F(MsgTest, LongTextsAreCutAt1023Characters)
{
    std::string big(3000, 'w');
    BoxAnswerer answer(kCaption, IDOK);
    EXPECT_EQ(IDOK, Msg(MSG_NO_OWNER, MB_OK, "%s", big.c_str()));
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(std::string(1023, 'w'), answer.Text());
}

TEST_F(MsgTest, OwnerIsTheGivenWindow)
{
    CmdWnd w;
    HWND h = MakeCmdWnd(w, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(h);
    BoxAnswerer answer(kCaption, IDOK);
    EXPECT_EQ(IDOK, Msg(h, MB_OK, "owned"));
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(h, answer.Owner());
}

TEST_F(MsgTest, MissingStringsAndNullTextsShowNothing)
{
    // No box comes up, so nothing has to answer it.
    EXPECT_EQ(0, Msg(MSG_NO_OWNER, MB_OK, -31999));
    EXPECT_EQ(0, Msg(MSG_NO_OWNER, MB_OK, 31999));
    EXPECT_EQ(0, Msg(MSG_NO_OWNER, MB_OK, static_cast<const char*>(nullptr)));
}

TEST_F(MsgTest, MsgLastErrorShowsTheSystemText)
{
    struct Case {
        DWORD error;
    } cases[] = {{0}, {ERROR_FILE_NOT_FOUND}, {ERROR_ACCESS_DENIED}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        BoxAnswerer answer(kCaption, IDOK);
        SetLastError(c.error);
        EXPECT_EQ(IDOK, MsgLastError(MSG_NO_OWNER));
        EXPECT_EQ(c.error, GetLastError());   // kept for the caller
        ASSERT_TRUE(answer.Answered());
        EXPECT_EQ(SystemText(c.error), answer.Text());
        EXPECT_FALSE(answer.Text().empty());
    }
    char buf[8];
    EXPECT_EQ(0, GetSystemErrorText(0, nullptr, 5));
    EXPECT_LE(GetSystemErrorText(ERROR_FILE_NOT_FOUND, buf, sizeof(buf)), 7);
    EXPECT_EQ(SystemText(ERROR_FILE_NOT_FOUND).substr(0, 7), buf);
}

TEST(MsgHelpers, PostCommandPacksCodeAndIdentifier)
{
    CmdWnd w;
    HWND h = MakeCmdWnd(w);
    ASSERT_TRUE(h);
    EXPECT_TRUE(PostCommand(h, 39401, 55, 7));
    EXPECT_TRUE(PostCommand(h, 57665));
    EXPECT_TRUE(PostMsg(h, WM_USER + 9, 1, 2));
    uitest::PumpUntil([&] { return w.got.size() >= 3; }, 2000);
    ASSERT_EQ(3u, w.got.size());
    EXPECT_EQ(39401, LOWORD(w.got[0].wParam));
    EXPECT_EQ(7, HIWORD(w.got[0].wParam));
    EXPECT_EQ(55, w.got[0].lParam);
    EXPECT_EQ(MAKEWPARAM(57665, 0), w.got[1].wParam);
    EXPECT_EQ(0, w.got[1].lParam);
    EXPECT_EQ(WM_USER + 9u, w.got[2].message);

    // Null windows fail and put nothing into the thread's queue.
    EXPECT_FALSE(PostCommand(NULL, 1));
    EXPECT_FALSE(PostMsg(NULL, WM_USER + 9));
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(0, SendMsg(NULL, WM_USER + 9));
    DestroyWindow(h);
    EXPECT_FALSE(PostCommand(h, 1));
    EXPECT_EQ(0, SendMsg(h, WM_USER + 9));
}

TEST(MsgHelpers, CompanyMessageIsRegisteredOnce)
{
    UINT msg = GetMyCompanyMsg();
    EXPECT_GE(msg, 0xC000u);
    EXPECT_EQ(msg, GetMyCompanyMsg());
    EXPECT_EQ(msg, RegisterWindowMessageA("CorvaneMessage"));
    CmdWnd w;
    HWND h = MakeCmdWnd(w);
    ASSERT_TRUE(h);
    EXPECT_EQ(31, SendMyCompanyMsg(h, 3, 0x1234));
    ASSERT_EQ(1u, w.got.size());
    EXPECT_EQ(3u, w.got[0].wParam);
    EXPECT_EQ(0x1234, w.got[0].lParam);
    EXPECT_EQ(0, SendMyCompanyMsg(NULL, 3, 0));
}

TEST(MsgHelpers, ModifyWndStyleClearsThenSets)
{
    CmdWnd w;
    HWND h = MakeCmdWnd(w, WS_OVERLAPPED | WS_BORDER | WS_TABSTOP);
    ASSERT_TRUE(h);
    DWORD before = static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE));
    EXPECT_TRUE(ModifyWndStyle(h, WS_BORDER, WS_GROUP));
    DWORD after = static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE));
    EXPECT_EQ(0u, after & WS_BORDER);
    EXPECT_EQ(static_cast<DWORD>(WS_GROUP), after & WS_GROUP);
    EXPECT_EQ(before & ~(WS_BORDER | WS_GROUP), after & ~(WS_BORDER | WS_GROUP));
    // Both in one call: remove first, then add, so a bit in both ends up set.
    EXPECT_TRUE(ModifyWndStyle(h, WS_GROUP, WS_GROUP));
    EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_GROUP);

    EXPECT_TRUE(ModifyWndStyle(h, 0, WS_EX_TOOLWINDOW, true));
    EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(ModifyWndStyle(h, WS_EX_TOOLWINDOW, 0, true));
    EXPECT_FALSE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(ModifyWndStyle(NULL, 0, WS_GROUP));
}
