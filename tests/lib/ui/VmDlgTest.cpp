#include <gtest/gtest.h>
#include <string>
#include <string.h>
#include "ui/VmDlg.h"
#include "ui/MsgUtil.h"
#include "registry/AppInfo.h"
#include "driver/Driver.h"
#include "UiTestUtil.h"

using uitest::DlgTemplate;

namespace {
const char kProduct[] = "UiTestDlgProduct";

// Throwaway application key: HKCU\Software\Corvane\UiTestDlgProduct\Test.
class DlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::DeleteUserKey("Software\\Corvane\\UiTestDlgProduct");
        m_app = new AppInfo(GetModuleHandleA(NULL), kProduct, "Test", NULL, NULL, 0, 0);
    }
    void TearDown() override
    {
        delete m_app;
        drv::DeleteUserKey("Software\\Corvane\\UiTestDlgProduct");
    }
    AppInfo* m_app = nullptr;
};

enum { IdEdit = 100, IdCombo = 101 };

DlgTemplate MakeTemplate(DWORD extraStyle = 0)
{
    DlgTemplate t("UiTest Dialog", 200, 90,
                  WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | extraStyle);
    t.Add(DlgTemplate::Static, 0xFFFF, "&Name:", 7, 9, 40, 8, SS_LEFT);
    t.Add(DlgTemplate::Edit, IdEdit, "first", 50, 7, 140, 14, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
    t.Add(DlgTemplate::ComboBox, IdCombo, "", 50, 27, 140, 60,
          CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP | CBS_AUTOHSCROLL);
    t.Add(DlgTemplate::Button, IDOK, "OK", 30, 68, 45, 14, BS_DEFPUSHBUTTON | WS_TABSTOP);
    t.Add(DlgTemplate::Button, IDCANCEL, "Cancel", 80, 68, 45, 14, WS_TABSTOP);
    t.Add(DlgTemplate::Button, 9, "&Help", 130, 68, 45, 14, WS_TABSTOP);
    return t;
}

class CountCtrl : public VmCtrl {
public:
    int inits = 0, oks = 0;
    char committed[64] = "";
    void OnInit() override { ++inits; }
    void OnOK() override
    {
        ++oks;
        GetText(committed, sizeof(committed));
    }
};

class TestDlg : public VmDlg {
public:
    bool allow = true;
    int canClose = 0, initDialog = 0, postNc = 0, preInit = 0;
    int resizes = 0, lastDx = 0, lastDy = 0;
    std::vector<int> commands;
    CountCtrl edit;

    TestDlg() { AddCtrl(&edit, IdEdit, "EditValue"); }
    void PreInit() override
    {
        ++preInit;
        VmDlg::PreInit();
    }
    bool CanClose(INT_PTR result) override
    {
        ++canClose;
        return allow && VmDlg::CanClose(result);
    }
    BOOL OnInitDialog() override
    {
        ++initDialog;
        return VmDlg::OnInitDialog();
    }
    bool OnCommand(int id, int code, HWND ctrl) override
    {
        commands.push_back(id);
        return VmDlg::OnCommand(id, code, ctrl);
    }
    void OnPostNcDestroy() override { ++postNc; }
    void OnResize(int dx, int dy) override
    {
        ++resizes;
        lastDx += dx;
        lastDy += dy;
    }
};
}  // namespace

TEST_F(DlgTest, RefusedCloseKeepsModelessDialogOpenAndControlsUncommitted)
{
    DlgTemplate t = MakeTemplate();
    TestDlg dlg;
    dlg.allow = false;
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    EXPECT_TRUE(IsWindowVisible(h));   // shown at once
    EXPECT_TRUE(dlg.IsModeless());
    EXPECT_EQ(1, dlg.preInit);
    EXPECT_EQ(1, dlg.initDialog);
    EXPECT_EQ(1, dlg.edit.inits);
    EXPECT_EQ(GetDlgItem(h, IdEdit), dlg.edit.GetHWND());
    EXPECT_STREQ("EditValue", dlg.edit.GetName());

    SetDlgItemTextA(h, IdEdit, "changed");
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(1, dlg.canClose);
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(0, dlg.edit.oks);
    EXPECT_EQ(0, dlg.GetResult());
    EXPECT_EQ(0, dlg.postNc);

    dlg.allow = true;
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(1, dlg.edit.oks);
    EXPECT_STREQ("changed", dlg.edit.committed);
    EXPECT_EQ(IDOK, dlg.GetResult());
    EXPECT_EQ(1, dlg.postNc);
    EXPECT_EQ(NULL, dlg.GetHWND());
    EXPECT_FALSE(dlg.CloseDialog(IDOK));   // nothing left to close
}

TEST_F(DlgTest, CommitFollowsResultAndFlag)
{
    DlgTemplate t = MakeTemplate();
    struct Case {
        INT_PTR result;
        int commit;
        int oks;
    } cases[] = {
        {IDCANCEL, VmDlg::CommitDefault, 0}, {IDOK, VmDlg::CommitDefault, 1},
        {5, VmDlg::CommitDefault, 1},        {IDCANCEL, 1, 1},
        {IDOK, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "result " << c.result << " commit " << c.commit);
        TestDlg dlg;
        ASSERT_TRUE(dlg.ModelessIndirect(t.Get()));
        EXPECT_TRUE(dlg.CloseDialog(c.result, c.commit));
        EXPECT_EQ(c.oks, dlg.edit.oks);
        EXPECT_EQ(c.result, dlg.GetResult());
    }
    // Cancel through the dialog manager (Escape): no commit.
    TestDlg dlg;
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(0, dlg.edit.oks);
    EXPECT_EQ(IDCANCEL, dlg.GetResult());
}

namespace {
// Runs itself: refuses the first OK, takes a screenshot, then closes with the second.
class ModalDlg : public TestDlg {
public:
    bool openAfterRefusal = false;
    std::string shot;
    BOOL OnInitDialog() override
    {
        allow = false;
        SetTimer(m_hWnd, 1, 300, NULL);
        SetTimer(m_hWnd, 2, 10000, NULL);   // a hung test must end
        return TestDlg::OnInitDialog();
    }
    INT_PTR OnDlgMessage(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_TIMER && wp == 1) {
            KillTimer(m_hWnd, 1);
            shot = drv::Screenshot("ui_modal_dialog", m_hWnd);
            SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            openAfterRefusal = IsWindowVisible(m_hWnd) && edit.oks == 0;
            allow = true;
            PostCommand(m_hWnd, IDOK);
            return TRUE;
        }
        if (msg == WM_TIMER && wp == 2) {
            EndDialog(m_hWnd, -2);
            return TRUE;
        }
        return TestDlg::OnDlgMessage(msg, wp, lp);
    }
};
}  // namespace

TEST_F(DlgTest, ModalDialogRefusesThenCloses)
{
    DlgTemplate t = MakeTemplate();
    ModalDlg dlg;
    EXPECT_EQ(IDOK, dlg.ModalIndirect(t.Get()));
    EXPECT_TRUE(dlg.openAfterRefusal);
    EXPECT_EQ(2, dlg.canClose);
    EXPECT_EQ(1, dlg.edit.oks);
    EXPECT_STREQ("first", dlg.edit.committed);
    EXPECT_FALSE(dlg.IsModeless());
    EXPECT_FALSE(dlg.shot.empty());
    // The object can run again.
    EXPECT_EQ(IDOK, dlg.ModalIndirect(t.Get()));
}

TEST_F(DlgTest, MissingTemplatesFail)
{
    TestDlg dlg;
    EXPECT_EQ(-1, dlg.ModalIndirect(nullptr));
    EXPECT_EQ(NULL, dlg.ModelessIndirect(nullptr));
    EXPECT_EQ(-1, dlg.Modal(31999));                 // no such template in the program
    EXPECT_EQ(NULL, dlg.Modeless(-31999));           // nor in the library
    EXPECT_EQ(0, dlg.initDialog);
    EXPECT_FALSE(dlg.CloseDialog(IDOK));
    EXPECT_FALSE(dlg.AddCtrl(nullptr, 5));
    EXPECT_FALSE(dlg.AddCtrl(&dlg.edit, IdEdit));    // once
    // Still usable after the failures.
    DlgTemplate t = MakeTemplate();
    ASSERT_TRUE(dlg.ModelessIndirect(t.Get()));
    EXPECT_EQ(NULL, dlg.ModelessIndirect(t.Get()));  // one window per object
    EXPECT_TRUE(dlg.CloseDialog(IDCANCEL));
}

TEST_F(DlgTest, CommandsRouteByIdentifier)
{
    DlgTemplate t = MakeTemplate();
    TestDlg dlg;
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    dlg.commands.clear();   // the controls' own notifications so far
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(4322, 77), 0);
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(4321, 0), 0);
    // Help with no help file configured shows nothing and does not reach OnCommand.
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(9, 0), 0);
    EXPECT_EQ((std::vector<int>{4322, 4321}), dlg.commands);
    EXPECT_TRUE(IsWindow(h));
    EXPECT_FALSE(dlg.OnHelp(1));
    dlg.CloseDialog(IDCANCEL);
}

namespace {
class DlgLogHook : public WMHook {
public:
    std::vector<std::string>* log;
    std::string name;
    bool eatOk = false, removeAll = false;
    BOOL OnDlgMessage(HWND dlg, UINT msg, WPARAM wp, LPARAM, INT_PTR& result) override
    {
        if (msg != WM_COMMAND || LOWORD(wp) != IDOK)
            return FALSE;
        log->push_back(name);
        if (removeAll) {
            static_cast<VmDlg*>(VmWnd::GetWnd(dlg))->GetDlgHookList().RemoveAll();
            countInside = static_cast<VmDlg*>(VmWnd::GetWnd(dlg))->GetDlgHookList().GetCount();
        }
        if (eatOk) {
            result = TRUE;
            return TRUE;
        }
        return FALSE;
    }
    int countInside = -1;
};
}  // namespace

TEST_F(DlgTest, DialogHooksSeeMessagesFirst)
{
    DlgTemplate t = MakeTemplate();
    TestDlg dlg;
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    std::vector<std::string> log;
    DlgLogHook a, b;
    a.log = b.log = &log;
    a.name = "a";
    b.name = "b";
    b.eatOk = true;
    EXPECT_TRUE(a.AddToDlg(&dlg));
    EXPECT_TRUE(b.AddToDlg(&dlg));
    EXPECT_FALSE(a.AddToDlg(nullptr));
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), log);
    EXPECT_TRUE(IsWindow(h));   // b took the OK
    EXPECT_EQ(0, dlg.canClose);

    // a removes all hooks: b still sees this OK (and eats it); the next OK reaches the dialog.
    log.clear();
    a.removeAll = true;
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(2, a.countInside);
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), log);
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(0, dlg.GetDlgHookList().GetCount());
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(1, dlg.edit.oks);
}

TEST_F(DlgTest, ComboAndControlTextsAreCutToTheBuffer)
{
    DlgTemplate t = MakeTemplate();
    TestDlg dlg;
    VmCombo combo;
    dlg.AddCtrl(&combo, IdCombo, "ComboValue");
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    EXPECT_TRUE(combo.GetEditHWND());
    EXPECT_NE(combo.GetHWND(), combo.GetEditHWND());

    std::string longText(300, 'x');
    longText[0] = 'A';
    EXPECT_EQ(0, combo.AddString("short"));
    EXPECT_EQ(1, combo.AddString(longText.c_str()));
    EXPECT_EQ(CB_ERR, combo.AddString(nullptr));
    EXPECT_EQ(2, combo.GetCount());
    char buf[10];
    memset(buf, '#', sizeof(buf));
    EXPECT_EQ(9, combo.GetLBText(1, buf, sizeof(buf)));
    EXPECT_STREQ("Axxxxxxxx", buf);
    EXPECT_EQ(-1, combo.GetLBText(7, buf, sizeof(buf)));
    EXPECT_STREQ("", buf);
    EXPECT_EQ(-1, combo.GetLBText(0, nullptr, 10));
    EXPECT_EQ(-1, combo.GetLBText(0, buf, 0));
    EXPECT_EQ(0, combo.FindStringExact("SHORT"));
    EXPECT_EQ(CB_ERR, combo.FindStringExact(nullptr));

    EXPECT_TRUE(dlg.edit.SetText(longText.c_str()));
    char small[8];
    EXPECT_EQ(7, dlg.edit.GetText(small, sizeof(small)));
    EXPECT_STREQ("Axxxxxx", small);
    EXPECT_EQ(0, dlg.edit.GetText(nullptr, 5));
    EXPECT_TRUE(dlg.edit.SetText(nullptr));
    EXPECT_EQ(0, dlg.edit.GetText(small, sizeof(small)));

    EXPECT_EQ(1, combo.DeleteString(0));
    dlg.CloseDialog(IDCANCEL);
    // Unbound controls fail quietly.
    EXPECT_EQ(CB_ERR, combo.AddString("late"));
    EXPECT_EQ(0, combo.GetCount());
    EXPECT_FALSE(dlg.edit.SetText("late"));
}

TEST_F(DlgTest, DialogFontIsAppliedToTheDialogAndItsControls)
{
    DlgTemplate t = MakeTemplate();
    HFONT font = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
    ASSERT_TRUE(font);
    VmDlg::SetDlgFont(font);
    TestDlg dlg;
    HWND h = dlg.ModelessIndirect(t.Get());
    VmDlg::SetDlgFont(NULL);
    ASSERT_TRUE(h);
    EXPECT_EQ(reinterpret_cast<LRESULT>(font), SendMessageA(GetDlgItem(h, IdEdit), WM_GETFONT, 0, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(font), SendMessageA(GetDlgItem(h, IDOK), WM_GETFONT, 0, 0));
    dlg.CloseDialog(IDCANCEL);
    DeleteObject(font);
}

TEST_F(DlgTest, ResizableDialogKeepsItsPlacement)
{
    DlgTemplate t = MakeTemplate(WS_THICKFRAME);
    RECT moved;
    SIZE initial;
    {
        TestDlg dlg;
        dlg.SetResizable(VmDlg::ResizeBoth, "DlgUiTest");
        HWND h = dlg.ModelessIndirect(t.Get());
        ASSERT_TRUE(h);
        RECT rc;
        GetWindowRect(h, &rc);
        initial = {rc.right - rc.left, rc.bottom - rc.top};
        // The template's size is the minimum tracking size.
        MINMAXINFO mmi = {};
        SendMessageA(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        EXPECT_EQ(initial.cx, mmi.ptMinTrackSize.x);
        EXPECT_EQ(initial.cy, mmi.ptMinTrackSize.y);

        MoveWindow(h, 40, 50, initial.cx + 60, initial.cy + 30, TRUE);
        EXPECT_EQ(60, dlg.lastDx);
        EXPECT_EQ(30, dlg.lastDy);
        GetWindowRect(h, &moved);
        EXPECT_TRUE(dlg.CloseDialog(IDOK));
    }
    MyWindowPlacement wp;
    ASSERT_TRUE(wp.Load("DlgUiTest"));
    EXPECT_EQ(moved.left, wp.rcNormalPosition.left);
    EXPECT_EQ(moved.right - moved.left, wp.rcNormalPosition.right - wp.rcNormalPosition.left);

    TestDlg again;
    again.SetResizable(VmDlg::ResizeBoth, "DlgUiTest");
    HWND h = again.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    RECT rc;
    GetWindowRect(h, &rc);
    EXPECT_EQ(moved.left, rc.left);
    EXPECT_EQ(moved.top, rc.top);
    EXPECT_EQ(moved.right - moved.left, rc.right - rc.left);
    EXPECT_EQ(moved.bottom - moved.top, rc.bottom - rc.top);
    EXPECT_EQ(60, again.lastDx);   // the layout followed the restored size
    again.CloseDialog(IDCANCEL);

    // Resizable in width only: the stored height is not taken.
    TestDlg narrow;
    narrow.SetResizable(VmDlg::ResizeWidth, "DlgUiTest");
    h = narrow.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    GetWindowRect(h, &rc);
    EXPECT_EQ(moved.right - moved.left, rc.right - rc.left);
    EXPECT_EQ(initial.cy, rc.bottom - rc.top);
    MINMAXINFO mmi = {};
    SendMessageA(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(initial.cy, mmi.ptMaxTrackSize.y);
    narrow.CloseDialog(IDCANCEL);
}

TEST_F(DlgTest, MainDialogAddsAboutAndKeepsItsPosition)
{
    DlgTemplate t = MakeTemplate();
    RECT moved;
    {
        VmDlgMain dlg;
        HWND h = dlg.ModelessIndirect(t.Get());
        ASSERT_TRUE(h);
        HMENU sys = GetSystemMenu(h, FALSE);
        char text[64] = "";
        ASSERT_TRUE(GetMenuStringA(sys, VmDlgMain::IdmAbout, text, sizeof(text), MF_BYCOMMAND));
        EXPECT_STREQ("&About...", text);
        int count = GetMenuItemCount(sys);
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE;
        ASSERT_TRUE(GetMenuItemInfoA(sys, count - 2, TRUE, &mii));
        EXPECT_TRUE(mii.fType & MFT_SEPARATOR);

        MoveWindow(h, 70, 80, 300, 200, TRUE);
        GetWindowRect(h, &moved);
        EXPECT_TRUE(dlg.StorePosition("DlgMainTest"));
        dlg.CloseDialog(IDCANCEL);
        EXPECT_FALSE(dlg.StorePosition("DlgMainTest"));   // no window
    }
    VmDlgMain dlg;
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    EXPECT_FALSE(dlg.RestorePosition("NoSuchValue"));
    EXPECT_TRUE(dlg.RestorePosition("DlgMainTest"));
    RECT rc;
    GetWindowRect(h, &rc);
    EXPECT_EQ(moved.left, rc.left);
    EXPECT_EQ(moved.top, rc.top);
    EXPECT_EQ(moved.right, rc.right);
    EXPECT_EQ(moved.bottom, rc.bottom);
    dlg.CloseDialog(IDCANCEL);
}
