#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include "LibRes.h"
#include "driver/Driver.h"
#include "files/Progress.h"
#include "util/ResStr.h"

namespace {
// A Progress with its thread's events in view.
class OpenProgress : public Progress {
public:
    using Progress::Progress;
    VmThread& Thread() { return m_thread; }
};

std::string Text(HWND dlg, int id)
{
    char buf[2048] = "";
    GetDlgItemTextA(dlg, id, buf, sizeof(buf));
    return buf;
}

std::string Caption(HWND wnd)
{
    char buf[256] = "";
    GetWindowTextA(wnd, buf, sizeof(buf));
    return buf;
}

int BarPos(HWND dlg)
{
    return static_cast<int>(SendDlgItemMessageA(dlg, IDC_LIB_PROGRESS_BAR, PBM_GETPOS, 0, 0));
}

PBRANGE BarRange(HWND dlg)
{
    PBRANGE range = {-1, -1};
    SendDlgItemMessageA(dlg, IDC_LIB_PROGRESS_BAR, PBM_GETRANGE, TRUE,
                        reinterpret_cast<LPARAM>(&range));
    return range;
}

// Presses the Cancel button as a click does: the button tells its dialog.
void ClickCancel(HWND dlg)
{
    PostMessageA(GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0);
}

// The caller goes on once the dialog is initialized; placing and showing follow at once.
bool WaitShown(HWND wnd, DWORD ms = 5000)
{
    return drv::WaitFor([&] { return IsWindowVisible(wnd) != FALSE; }, ms);
}

bool WaitGone(HWND wnd, DWORD ms = 5000)
{
    return drv::WaitFor([&] { return !IsWindow(wnd); }, ms);
}
}  // namespace

TEST(Progress, DialogShowsAtOnceWithTextsBarAndCancel)
{
    OpenProgress p;
    EXPECT_TRUE(p.IsStarted());
    EXPECT_TRUE(p.Thread().IsReady());
    EXPECT_FALSE(p.Thread().IsDone());
    HWND dlg = p.GetDlgHWND();
    ASSERT_NE(HWND(NULL), dlg);
    EXPECT_TRUE(WaitShown(dlg));
    EXPECT_EQ("Processing...", Caption(dlg));
    EXPECT_NE(GetCurrentThreadId(), GetWindowThreadProcessId(dlg, NULL));   // its own thread
    EXPECT_EQ("Cancel", Caption(GetDlgItem(dlg, IDCANCEL)));
    HWND icon = FindWindowExA(dlg, NULL, "Static", NULL);
    bool hasIcon = false;
    for (; icon; icon = FindWindowExA(dlg, icon, "Static", NULL))
        hasIcon |= SendMessageA(icon, STM_GETICON, 0, 0) != 0;
    EXPECT_TRUE(hasIcon);

    p.SetTitle("Comparing folders");
    p.SetRange(0, 10);
    const char* lines[] = {"Left: C:\\data", "Right: D:\\copy", "file.txt", "3 of 10"};
    for (int line = 0; line < 4; ++line)
        p.SetText(line, lines[line]);
    for (int i = 0; i < 3; ++i)
        p.StepIt();
    EXPECT_EQ("Comparing folders", Caption(dlg));
    for (int line = 0; line < 4; ++line)
        EXPECT_EQ(lines[line], Text(dlg, IDC_LIB_PROGRESS_TEXT0 + line));
    PBRANGE range = BarRange(dlg);
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(10, range.iHigh);
    EXPECT_EQ(3, BarPos(dlg));
    p.SetTextFmt(3, "%d of %d", 4, 10);
    EXPECT_EQ("4 of 10", Text(dlg, IDC_LIB_PROGRESS_TEXT3));

    Sleep(300);   // let the dialog paint
    std::string shot = drv::Screenshot("progress_dialog", dlg);
    EXPECT_FALSE(shot.empty());

    p.Close();
    EXPECT_TRUE(WaitGone(dlg));
    EXPECT_TRUE(p.Thread().IsDone());
    EXPECT_TRUE(p.IsCanceled());   // closing ends the dialog the way Cancel does
    EXPECT_EQ(HWND(NULL), p.GetDlgHWND());
    p.Close();   // twice is harmless
}

TEST(Progress, ReportsKeptUntilTheDelayHandedOverInOrder)
{
    OpenProgress p(NULL, 400);
    DWORD start = GetTickCount();
    p.SetTitle("Splitting");
    p.SetRange(0, 50);
    p.SetText(0, "old text");
    p.SetText(0, "source.bin");   // replaces the kept one
    p.SetText(2, "segment 1");
    p.StepIt();
    p.StepIt();
    p.StepIt();
    ASSERT_LT(GetTickCount() - start, 400u) << "the machine was too slow for this test";
    EXPECT_FALSE(p.IsStarted());
    EXPECT_EQ(HWND(NULL), p.GetDlgHWND());
    EXPECT_FALSE(p.IsCanceled());
    Sleep(450);
    EXPECT_EQ(HWND(NULL), p.GetDlgHWND());   // titles and ranges do not start it
    p.SetRange(0, 60);
    p.SetTitle("Splitting file");
    EXPECT_EQ(HWND(NULL), p.GetDlgHWND());
    p.StepIt();   // the fourth step: the delay has passed
    HWND dlg = p.GetDlgHWND();
    ASSERT_NE(HWND(NULL), dlg);
    EXPECT_EQ("Splitting file", Caption(dlg));
    EXPECT_EQ("source.bin", Text(dlg, IDC_LIB_PROGRESS_TEXT0));
    EXPECT_EQ("", Text(dlg, IDC_LIB_PROGRESS_TEXT1));
    EXPECT_EQ("segment 1", Text(dlg, IDC_LIB_PROGRESS_TEXT2));
    EXPECT_EQ(60, BarRange(dlg).iHigh);
    EXPECT_EQ(4, BarPos(dlg));   // the counted steps in one jump
    p.StepIt();
    EXPECT_EQ(5, BarPos(dlg));
}

TEST(Progress, ShortOperationNeverShowsADialog)
{
    DWORD start = GetTickCount();
    {
        OpenProgress p(NULL, 500);
        p.Init(20, 0, 0);
        int items = 0;
        while (GetTickCount() - start < 100) {
            EXPECT_TRUE(p.NextStep(0));
            p.SetTextFmt(0, "item %d", ++items);
            EXPECT_FALSE(p.IsCanceled());
            Sleep(5);
        }
        EXPECT_GT(items, 0);
        EXPECT_FALSE(p.IsStarted());
        EXPECT_EQ(HWND(NULL), p.GetDlgHWND());
        p.Close();   // nothing to close
        EXPECT_FALSE(p.IsCanceled());
    }
    EXPECT_LT(GetTickCount() - start, 400u);   // no waits without a thread
}

TEST(Progress, BarKeepsSixteenBitsOfTheRange)
{
    Progress p;
    HWND dlg = p.GetDlgHWND();
    ASSERT_NE(HWND(NULL), dlg);
    p.SetRange(0, 70000);
    EXPECT_EQ(70000 & 0xFFFF, BarRange(dlg).iHigh);
    p.SetRange(5, 8);
    EXPECT_EQ(5, BarPos(dlg));   // a new range starts at its minimum
    p.StepIt();
    EXPECT_EQ(6, BarPos(dlg));   // step 1
}

TEST(Progress, CancelIsSeenByTheOperationBetweenItems)
{
    OpenProgress p;
    HWND dlg = p.GetDlgHWND();
    ASSERT_NE(HWND(NULL), dlg);
    p.SetRange(0, 1000);
    int pressedAt = -1, stoppedAt = -1;
    for (int item = 0; item < 1000; ++item) {
        if (p.IsCanceled()) {
            stoppedAt = item;
            break;
        }
        p.StepIt();
        p.SetTextFmt(1, "Item %d", item);
        if (item == 10) {
            ClickCancel(dlg);
            pressedAt = item;
        }
        Sleep(10);
    }
    ASSERT_NE(-1, stoppedAt) << "the operation never saw the cancel";
    EXPECT_LT(stoppedAt - pressedAt, 100);
    EXPECT_TRUE(p.Thread().WaitForDone(5000));   // the dialog's modal loop has ended
    EXPECT_TRUE(WaitGone(dlg));
    EXPECT_EQ(HWND(NULL), p.GetDlgHWND());
    // Reports after the cancel change nothing and do not fail.
    p.SetText(0, "late");
    p.StepIt();
    p.SetRange(0, 5);
    p.SetTitle("late");
    p.Show(true);
    EXPECT_FALSE(p.NextStep(0));
    EXPECT_EQ(HWND(NULL), p.GetDlgHWND());
    p.Close();
}

TEST(Progress, OkButtonCancelsAsWell)
{
    OpenProgress p;
    HWND dlg = p.GetDlgHWND();
    ASSERT_NE(HWND(NULL), dlg);
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);   // Enter in the dialog
    EXPECT_TRUE(drv::WaitFor([&] { return p.IsCanceled(); }, 5000));
    EXPECT_TRUE(WaitGone(dlg));
}

TEST(Progress, ClosingWaitsForTheUsersDragToEnd)
{
    OpenProgress p;
    HWND dlg = p.GetDlgHWND();
    ASSERT_NE(HWND(NULL), dlg);
    SendMessageA(dlg, WM_ENTERSIZEMOVE, 0, 0);
    HANDLE ender = CreateThread(
        NULL, 0,
        [](void* arg) -> DWORD {
            Sleep(500);
            SendMessageA(static_cast<HWND>(arg), WM_EXITSIZEMOVE, 0, 0);
            return 0;
        },
        dlg, 0, NULL);
    ASSERT_NE(HANDLE(NULL), ender);
    DWORD start = GetTickCount();
    p.Close();
    DWORD took = GetTickCount() - start;
    EXPECT_GE(took, 400u);
    EXPECT_LT(took, 5000u);
    EXPECT_FALSE(IsWindow(dlg));
    EXPECT_TRUE(p.Thread().IsDone());
    WaitForSingleObject(ender, 5000);
    CloseHandle(ender);
}

TEST(Progress, TextsThrottledStepsAndTitlesNot)
{
    Progress p(NULL, 0, 60000);
    HWND dlg = p.GetDlgHWND();
    ASSERT_NE(HWND(NULL), dlg);
    p.SetText(0, "first");
    p.SetText(0, "second");   // within the interval: dropped
    p.SetText(1, "other line");
    p.SetTitle("Title passes");
    p.SetRange(0, 9);
    p.StepIt();
    EXPECT_EQ("first", Text(dlg, IDC_LIB_PROGRESS_TEXT0));
    EXPECT_EQ("", Text(dlg, IDC_LIB_PROGRESS_TEXT1));
    EXPECT_EQ("Title passes", Caption(dlg));
    EXPECT_EQ(1, BarPos(dlg));

    Progress q(NULL, 0, 150);
    HWND dlg2 = q.GetDlgHWND();
    ASSERT_NE(HWND(NULL), dlg2);
    q.SetText(0, "one");
    q.SetText(0, "two");
    Sleep(200);
    q.SetText(0, "three");   // the interval has passed
    EXPECT_EQ("three", Text(dlg2, IDC_LIB_PROGRESS_TEXT0));
}

TEST(Progress, InitAndNextStepUseStringResources)
{
    Progress p;
    HWND dlg = p.GetDlgHWND();
    ASSERT_NE(HWND(NULL), dlg);
    // Negative identifiers name the library's own table.
    p.Init(4, -IDS_LIB_ABOUT, -IDS_LIB_REGISTER_FAILED);
    EXPECT_EQ(std::string(ResStr(-IDS_LIB_ABOUT)), Caption(dlg));
    EXPECT_EQ(std::string(ResStr(-IDS_LIB_REGISTER_FAILED)), Text(dlg, IDC_LIB_PROGRESS_TEXT1));
    EXPECT_EQ(4, BarRange(dlg).iHigh);
    EXPECT_EQ(0, BarPos(dlg));
    EXPECT_TRUE(p.NextStep(-IDS_LIB_ABOUT));
    EXPECT_EQ(1, BarPos(dlg));
    EXPECT_EQ(std::string(ResStr(-IDS_LIB_ABOUT)), Text(dlg, IDC_LIB_PROGRESS_TEXT1));
}

TEST(Progress, CentredOnItsOwnerAndHiddenOnRequest)
{
    HWND owner = CreateWindowExA(0, "Static", "owner", WS_POPUP | WS_VISIBLE | WS_BORDER, 100,
                                 80, 700, 500, NULL, NULL, NULL, NULL);
    ASSERT_NE(HWND(NULL), owner);
    {
        Progress p(owner);
        HWND dlg = p.GetDlgHWND();
        ASSERT_NE(HWND(NULL), dlg);
        EXPECT_EQ(HWND(NULL), GetWindow(dlg, GW_OWNER));   // not tied to the busy thread
        ASSERT_TRUE(WaitShown(dlg));
        RECT o, d;
        GetWindowRect(owner, &o);
        GetWindowRect(dlg, &d);
        EXPECT_NEAR((o.left + o.right) / 2, (d.left + d.right) / 2, 2);
        EXPECT_NEAR((o.top + o.bottom) / 2, (d.top + d.bottom) / 2, 2);
        p.Show(false);
        EXPECT_FALSE(IsWindowVisible(dlg));
        p.Show(true);
        EXPECT_TRUE(IsWindowVisible(dlg));
    }
    DestroyWindow(owner);
}

TEST(Progress, BadArgumentsAreIgnored)
{
    Progress p;
    HWND dlg = p.GetDlgHWND();
    ASSERT_NE(HWND(NULL), dlg);
    p.SetText(-1, "x");
    p.SetText(4, "x");
    p.SetText(0, "keep");
    p.SetText(1, nullptr);
    p.SetTitle(nullptr);
    p.SetTextFmt(2, nullptr);
    EXPECT_EQ("keep", Text(dlg, IDC_LIB_PROGRESS_TEXT0));
    EXPECT_EQ("", Text(dlg, IDC_LIB_PROGRESS_TEXT1));
    EXPECT_EQ("", Caption(dlg));
    // A formatted text is cut to 1023 characters, never past the buffer.
    std::string big(5000, 'b');
    p.SetTextFmt(3, "%s", big.c_str());
    EXPECT_EQ(std::string(1023, 'b'), Text(dlg, IDC_LIB_PROGRESS_TEXT3));

    // Kept reports take the same care.
    Progress q(NULL, 60000);
    q.SetText(7, "x");
    q.SetText(0, nullptr);
    q.SetTextFmt(1, "%s", big.c_str());
    q.SetTitle(nullptr);
    EXPECT_EQ(HWND(NULL), q.GetDlgHWND());
}
