// The main status bar's indicators in the real program: chosen in their dialog and kept in
// "Settings", shown in their order with texts checked against the real values (memory, the
// drive's free space, the current file's size, the object counts, date and time), the
// pop-out style, the progress pane and the bar's shortcut menu.
#include "driver/Driver.h"
#include "driver/SelectDriver.h"
#include "customize/OptionsRes.h"
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <locale.h>
#include <time.h>
#include <string>
#include <vector>

namespace {

const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const UINT ID_INDICATORS = 38407, ID_VIEW_OPTIONS = 38414;
const char kDialog[] = "Status bar Indicators";
// Check boxes of the dialog in the panes' order, and their bits.
const struct {
    int id;
    DWORD bit;
} kBoxes[] = {{1096, 1u << 13}, {1097, 1u << 8}, {1098, 1u << 11}, {1099, 1u << 12},
              {1272, 1u << 14}, {1273, 1u << 15}, {1100, 1u << 9},  {1101, 1u << 10}};
const DWORD kAllIndicators = 0xFF00;

std::string FreeText(const std::string& path)
{
    char root[4] = {path[0], ':', '\\', 0};
    ULARGE_INTEGER avail, total, free;
    if (!GetDiskFreeSpaceExA(root, &avail, &total, &free))
        return "?";
    unsigned long long kb = avail.QuadPart / 1024;
    char text[32];
    if (kb < 1024)
        snprintf(text, sizeof(text), "%3llu KB", kb);
    else
        snprintf(text, sizeof(text), "%3llu MB", kb / 1024);
    return text;
}

// The pane shows the drive's free space in its unit; other programs writing to the same disk
// move the figure a little between the two readings.
void ExpectFreeText(const std::string& folder, const std::string& shown)
{
    std::string expect = FreeText(folder);
    ASSERT_GT(shown.size(), 3u);
    EXPECT_EQ(expect.substr(expect.size() - 3), shown.substr(shown.size() - 3)) << shown;
    double a = atof(expect.c_str()), b = atof(shown.c_str());
    EXPECT_NEAR(a, b, a / 100 + 2) << shown << " / " << expect;
}

int MemoryUse()
{
    MEMORYSTATUSEX ms = {};
    ms.dwLength = sizeof(ms);
    GlobalMemoryStatusEx(&ms);
    unsigned long long total = ms.ullTotalPhys;
    return (int)(((total - ms.ullAvailPhys) * 100 + total / 2) / total);
}

std::string TimeText(const char* format, time_t at)
{
    // The locale's own representation, as the program shows it.
    static const char* locale = setlocale(LC_TIME, "");
    (void)locale;
    char text[64] = "";
    struct tm* local = localtime(&at);
    strftime(text, sizeof(text), format, local);
    return text;
}

class Indicators : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        folder = drv::TempFolder("indicators");
        drv::RemoveTree(folder);
        CreateDirectoryA(folder.c_str(), NULL);
        big = drv::U8(L"\x65E5\x672C \x0424\x0430\x0439\x043B \U0001F4C4.bin");
        EXPECT_TRUE(drv::WriteBytes(folder + "\\" + big, std::string(12345, 'x')));
        EXPECT_TRUE(drv::WriteBytes(folder + "\\" + drv::U8(L"\x65E5.bin"), std::string(7, 'y')));
        EXPECT_TRUE(drv::WriteBytes(folder + "\\third.txt", "abc"));
        CreateDirectoryA((folder + "\\sub").c_str(), NULL);
    }
    void TearDown() override
    {
        app.Kill();
        drv::RemoveTree(folder);
        drv::ResetProgramSettings();
    }
    HWND Start()
    {
        EXPECT_TRUE(app.Start("panorel.exe", folder + "," + folder));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        EXPECT_TRUE(drv::WaitFor([&] { return drv::ItemCount(drv::PanelList(main, 0)) >= 4; }, 15000));
        return main;
    }
    std::vector<std::string> Panes(HWND main) { return drv::StatusBarTexts(drv::MainStatusBar(main)); }
    // Waits until the panes (message pane excluded) match; returns the last seen.
    std::vector<std::string> WaitPanes(HWND main, size_t count)
    {
        std::vector<std::string> p;
        drv::WaitFor([&] { return (p = Panes(main)).size() == count + 1; }, 5000);
        return p;
    }
    // Ticks the dialog's boxes as the mask says and presses OK.
    void Choose(DWORD mask)
    {
        ASSERT_TRUE(app.PostCommand(ID_INDICATORS));
        HWND dlg = drv::WaitForDialog(app.Pid(), kDialog);
        ASSERT_TRUE(dlg);
        for (const auto& b : kBoxes)
            SendMessageA(GetDlgItem(dlg, b.id), BM_SETCHECK, (mask & b.bit) ? BST_CHECKED : BST_UNCHECKED, 0);
        drv::PressButton(dlg, IDOK);
        ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
        // The choice is stored once the dialog has gone: wait for the main window's loop.
        app.Send(WM_NULL, 0, 0, 30000);
    }

    drv::AppProcess app;
    std::string folder, big;
};

TEST_F(Indicators, DefaultsShowMemoryAndFreeSpace)
{
    HWND main = Start();
    ASSERT_TRUE(main);
    std::vector<std::string> p = WaitPanes(main, 2);
    ASSERT_EQ(3u, p.size());
    int shown = atoi(p[1].c_str());
    EXPECT_EQ('%', p[1].back()) << p[1];
    EXPECT_NEAR(MemoryUse(), shown, 5) << p[1];
    ExpectFreeText(folder, p[2]);
    // The dialog shows the stored choice.
    ASSERT_TRUE(app.PostCommand(ID_INDICATORS));
    HWND dlg = drv::WaitForDialog(app.Pid(), kDialog);
    ASSERT_TRUE(dlg);
    DWORD settings = drv::GetUserDword(kRootKey, "Settings", 0);
    for (const auto& b : kBoxes)
        EXPECT_EQ((settings & b.bit) ? BST_CHECKED : BST_UNCHECKED,
                  SendMessageA(GetDlgItem(dlg, b.id), BM_GETCHECK, 0, 0)) << b.id;
    EXPECT_FALSE(drv::Screenshot("indicators_dialog", dlg).empty());
    drv::PressButton(dlg, IDCANCEL);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    app.Send(WM_NULL, 0, 0, 30000);
    EXPECT_EQ(settings, drv::GetUserDword(kRootKey, "Settings", 0));
    EXPECT_EQ(3u, Panes(main).size());
}

TEST_F(Indicators, EveryIndicatorShowsItsValue)
{
    HWND main = Start();
    ASSERT_TRUE(main);
    Choose(kAllIndicators);
    EXPECT_EQ(kAllIndicators, drv::GetUserDword(kRootKey, "Settings", 0) & kAllIndicators);
    HWND list = drv::PanelList(main, 0);
    ASSERT_TRUE(drv::SelectNames(list, {big}));
    // progress, CAPS, NUM, SCRL, RAM, Free, Size, NumObj, Date, Time
    std::vector<std::string> p;
    std::string count = std::to_string(drv::ItemCount(list)) + " obj";
    EXPECT_TRUE(drv::WaitFor([&] {
        p = Panes(main);
        return p.size() == 11 && p[7] == "12345b" && p[8] == count;
    }, 5000)) << (p.size() > 8 ? p[7] + " | " + p[8] : std::string("few panes"));
    ASSERT_EQ(11u, p.size());
    EXPECT_EQ("", p[1]);
    const int keys[] = {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL};
    const char* names[] = {"CAPS", "NUM", "SCRL"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ((GetKeyState(keys[i]) & 1) ? names[i] : "", p[2 + i]);
    EXPECT_NEAR(MemoryUse(), atoi(p[5].c_str()), 5);
    ExpectFreeText(folder, p[6]);
    time_t now = time(nullptr);
    EXPECT_EQ(TimeText("%x", now), p[9]);
    bool timeOk = false;
    for (int d = -3; d <= 1; ++d)
        timeOk = timeOk || TimeText("%X", now + d) == p[10];
    EXPECT_TRUE(timeOk) << p[10] << " at " << TimeText("%X", now);
    // The progress pane holds the progress control.
    HWND bar = drv::MainStatusBar(main);
    HWND progress = GetDlgItem(bar, 1009);
    ASSERT_TRUE(progress);
    EXPECT_TRUE(IsWindowVisible(progress));
    RECT pr;
    GetWindowRect(progress, &pr);
    RECT br;
    GetWindowRect(bar, &br);
    EXPECT_GT(pr.right - pr.left, 10);
    EXPECT_GE(pr.top, br.top);
    EXPECT_LE(pr.bottom, br.bottom);

    // Two selected: the count of the selection; a folder shows no size.
    ASSERT_TRUE(drv::SelectNames(list, {big, drv::U8(L"\x65E5.bin")}));
    EXPECT_TRUE(drv::WaitFor([&] { return Panes(main)[8] == "2 sel"; }, 5000)) << Panes(main)[8];
    ASSERT_TRUE(drv::SelectNames(list, {drv::U8(L"\x65E5.bin")}));
    EXPECT_TRUE(drv::WaitFor([&] { return Panes(main)[7] == "7b"; }, 5000)) << Panes(main)[7];
    ASSERT_TRUE(drv::SelectNames(list, {"sub"}));
    EXPECT_TRUE(drv::WaitFor([&] { return Panes(main)[7] == ""; }, 5000)) << Panes(main)[7];
    EXPECT_TRUE(drv::WaitFor([&] { return Panes(main)[8] == count; }, 5000));
    RedrawWindow(main, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    EXPECT_FALSE(drv::Screenshot("indicators_all", main).empty());
}

TEST_F(Indicators, PopOutStyleFollowsTheOptionAndTheChoiceSurvivesARestart)
{
    HWND main = Start();
    ASSERT_TRUE(main);
    Choose(kAllIndicators & ~(1u << 8));
    std::vector<std::string> p = WaitPanes(main, 7);
    ASSERT_EQ(8u, p.size());
    HWND bar = drv::MainStatusBar(main);
    for (int i = 1; i < 8; ++i)
        EXPECT_EQ(0, HIWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, i, 0)) & SBT_POPOUT) << i;

    // The Visual page's pop-out box.
    ASSERT_TRUE(app.PostCommand(ID_VIEW_OPTIONS));
    HWND sheet = drv::WaitForDialog(app.Pid(), "Options");
    ASSERT_TRUE(sheet);
    HWND visual = drv::ChildDialogWith(sheet, IDC_OPT_POPOUT);
    ASSERT_TRUE(visual);
    SendMessageA(GetDlgItem(visual, IDC_OPT_POPOUT), BM_SETCHECK, BST_CHECKED, 0);
    drv::PressButton(sheet, IDOK);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(sheet); }, 5000));
    // The Options store after the sheet has gone: wait for the main window's loop.
    app.Send(WM_NULL, 0, 0, 30000);
    EXPECT_TRUE(drv::GetUserDword(kRootKey, "Settings", 0) & 0x80);
    EXPECT_TRUE(drv::WaitFor([&] {
        for (int i = 1; i < 8; ++i)
            if (!(HIWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, i, 0)) & SBT_POPOUT))
                return false;
        return true;
    }, 5000));
    EXPECT_EQ(0, HIWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, 0, 0)) & SBT_POPOUT);
    RedrawWindow(main, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    EXPECT_FALSE(drv::Screenshot("indicators_popout", main).empty());

    // The progress bar off: its pane goes, and stays gone after a restart.
    Choose(kAllIndicators & ~(1u << 8) & ~(1u << 13));
    p = WaitPanes(main, 6);
    EXPECT_EQ(7u, p.size());
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(bar, 1009)));
    ASSERT_TRUE(app.Close());
    main = Start();
    ASSERT_TRUE(main);
    p = WaitPanes(main, 6);
    EXPECT_EQ(7u, p.size());
    EXPECT_EQ(0u, drv::GetUserDword(kRootKey, "Settings", 0) & (1u << 13));
    bar = drv::MainStatusBar(main);
    EXPECT_TRUE(HIWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, 1, 0)) & SBT_POPOUT);
}

TEST_F(Indicators, AnOpenMenusDescriptionTakesTheWholeBar)
{
    HWND main = Start();
    ASSERT_TRUE(main);
    Choose(kAllIndicators);
    HWND bar = drv::MainStatusBar(main);
    HWND progress = GetDlgItem(bar, 1009);
    ASSERT_TRUE(progress);
    ASSERT_TRUE(drv::WaitFor([&] { return IsWindowVisible(progress) != FALSE; }, 5000));
    const char desc[] = "Change Options for Meridel";
    app.Send(WM_ENTERMENULOOP, FALSE, 0);
    app.Send(WM_MENUSELECT, MAKEWPARAM(ID_VIEW_OPTIONS, MF_STRING), 0);
    EXPECT_TRUE(SendMessageA(bar, SB_ISSIMPLE, 0, 0));
    // Wine's status control does not read its simple pane back by SB_SIMPLEID; on Windows:
    // LOWORD(SB_GETTEXTLENGTH(SB_SIMPLEID)) == strlen(desc). The screenshot shows the text.
    (void)desc;
    EXPECT_FALSE(IsWindowVisible(progress));
    // The prompt and its toolbar make room for the description too.
    HWND combo = GetDlgItem(bar, 1008), toolbar = GetDlgItem(bar, 1011);
    ASSERT_TRUE(combo && toolbar);
    EXPECT_FALSE(IsWindowVisible(combo));
    EXPECT_FALSE(IsWindowVisible(toolbar));
    RedrawWindow(main, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    EXPECT_FALSE(drv::Screenshot("indicators_menu_help", main).empty());
    app.Send(WM_EXITMENULOOP, FALSE, 0);
    EXPECT_FALSE(SendMessageA(bar, SB_ISSIMPLE, 0, 0));
    EXPECT_TRUE(IsWindowVisible(progress));
    EXPECT_TRUE(IsWindowVisible(combo));
    EXPECT_TRUE(IsWindowVisible(toolbar));
    EXPECT_EQ(11u, Panes(main).size());

    // Without the descriptions the panes stay while a menu is open.
    DWORD s = drv::GetUserDword(kRootKey, "Settings", 0);
    ASSERT_TRUE(app.Close());
    drv::SetUserDword(kRootKey, "Settings", s & ~0x40u);
    main = Start();
    ASSERT_TRUE(main);
    bar = drv::MainStatusBar(main);
    app.Send(WM_ENTERMENULOOP, FALSE, 0);
    EXPECT_FALSE(SendMessageA(bar, SB_ISSIMPLE, 0, 0));
    app.Send(WM_EXITMENULOOP, FALSE, 0);
}

// The prompt's windows in the status control and their rectangles in it.
struct PromptPlace {
    HWND combo, toolbar;
    RECT comboRc, toolRc;
};

PromptPlace PlaceOfPrompt(HWND bar)
{
    PromptPlace p = {GetDlgItem(bar, 1008), GetDlgItem(bar, 1011), {}, {}};
    auto local = [bar](HWND w, RECT& rc) {
        if (!w)
            return;
        GetWindowRect(w, &rc);
        MapWindowPoints(NULL, bar, reinterpret_cast<POINT*>(&rc), 2);
    };
    local(p.combo, p.comboRc);
    local(p.toolbar, p.toolRc);
    return p;
}

// Clicks a button of the prompt's toolbar by its index (all buttons have one width; the
// separator after the third is narrower).
void ClickPromptButton(HWND toolbar, int index, int separatorWidth)
{
    DWORD size = (DWORD)SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0);
    int w = LOWORD(size), h = HIWORD(size);
    int x = index * w + w / 2 + (index >= 3 ? separatorWidth : 0);
    PostMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, h / 2));
    PostMessageA(toolbar, WM_LBUTTONUP, 0, MAKELPARAM(x, h / 2));
}

std::string WindowText(HWND wnd)
{
    char text[1024] = "";
    SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG, 5000, NULL);
    return text;
}

TEST_F(Indicators, ThePromptAndItsToolbarSitInTheStatusBarBesideTheMessage)
{
    // A layout stored while the prompt was a bar of its own does not get in the way.
    std::string bars = "Software\\Corvane\\Panorel QV\\Control Bars-";
    drv::SetUserDword((bars + "Summary").c_str(), "Bars", 4);
    const DWORD ids[] = {59393, 59440, 59392, 59409};
    for (int i = 0; i < 4; ++i) {
        std::string section = bars + "Bar" + std::to_string(i);
        drv::SetUserDword(section.c_str(), "BarID", ids[i]);
        drv::SetUserDword(section.c_str(), "Visible", 1);
        drv::SetUserDword(section.c_str(), "Side", ids[i] == 59440 ? 0 : (ids[i] == 59393 ? 1 : 0));
        drv::SetUserDword(section.c_str(), "Order", (DWORD)i);
    }
    HWND main = Start();
    ASSERT_TRUE(main);
    HWND bar = drv::MainStatusBar(main);
    ASSERT_TRUE(bar);
    PromptPlace p = PlaceOfPrompt(bar);
    ASSERT_TRUE(p.combo != NULL);
    ASSERT_TRUE(p.toolbar != NULL);
    EXPECT_EQ("ComboBox", drv::ClassName(p.combo));
    EXPECT_EQ("ToolbarWindow32", drv::ClassName(p.toolbar));
    EXPECT_TRUE(IsWindowVisible(p.combo));
    EXPECT_TRUE(IsWindowVisible(p.toolbar));
    // Only the status bar holds a combo box with the prompt's number.
    EXPECT_EQ(bar, GetParent(p.combo));
    // The toolbar holds the prompt's commands.
    const int expected[] = {38302, 38303, 38304, 0, 39051, 39052};
    ASSERT_EQ(6, (int)SendMessageA(p.toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < 6; ++i) {
        if (expected[i])
            EXPECT_EQ(i, (int)SendMessageA(p.toolbar, TB_COMMANDTOINDEX, expected[i], 0)) << expected[i];
    }
    // Field, then toolbar, inside the bar, with the message pane's start left free for text and
    // the indicators to the right of the toolbar.
    RECT barRc;
    GetClientRect(bar, &barRc);
    EXPECT_GE(p.comboRc.left, 100);
    EXPECT_LE(p.comboRc.right, p.toolRc.left);
    EXPECT_GE(p.comboRc.top, barRc.top);
    EXPECT_LE(p.comboRc.bottom, barRc.bottom);
    std::vector<std::string> panes = WaitPanes(main, 2);
    ASSERT_EQ(3u, panes.size());
    // Two parts after the message pane (RAM, Free) lie right of the toolbar.
    EXPECT_EQ(3, (int)SendMessageA(bar, SB_GETPARTS, 0, 0));
    EXPECT_LT(p.toolRc.right, barRc.right - 60);
    RedrawWindow(main, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    EXPECT_FALSE(drv::Screenshot("prompt_statusbar_default", main).empty());

    // The toolbar's buttons run the commands: Clear, then Undo brings the text back.
    SendMessageTimeoutA(p.combo, WM_SETTEXT, 0, (LPARAM)"echo Папка", SMTO_ABORTIFHUNG, 5000, NULL);
    ClickPromptButton(p.toolbar, 1, 0);
    EXPECT_TRUE(drv::WaitFor([&] { return WindowText(p.combo).empty(); }, 5000));
    ClickPromptButton(p.toolbar, 2, 0);
    EXPECT_TRUE(drv::WaitFor([&] { return WindowText(p.combo) == "echo Папка"; }, 5000));

    // Hidden with the status bar, shown again by switching to the prompt.
    ASSERT_TRUE(app.PostCommand(38406));
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindowVisible(bar); }, 5000));
    ASSERT_TRUE(app.PostCommand(38301));
    EXPECT_TRUE(drv::WaitFor([&] { return IsWindowVisible(bar) && IsWindowVisible(p.combo); }, 5000));
    GUITHREADINFO gui = {sizeof(gui)};
    EXPECT_TRUE(drv::WaitFor([&] {
        return GetGUIThreadInfo(GetWindowThreadProcessId(main, NULL), &gui) && gui.hwndFocus &&
               IsChild(p.combo, gui.hwndFocus);
    }, 5000));

    // Every indicator on, with the pop-out border: the prompt keeps its place left of them.
    Choose(kAllIndicators);
    ASSERT_TRUE(app.Close());
    drv::SetUserDword(kRootKey, "Settings", drv::GetUserDword(kRootKey, "Settings", 0) | 0x80);
    // The old bar's layout is gone from the stored state.
    DWORD stored = drv::GetUserDword((bars + "Summary").c_str(), "Bars", 0);
    EXPECT_EQ(3u, stored);
    for (DWORD i = 0; i < stored; ++i) {
        std::string section = bars + "Bar" + std::to_string(i);
        EXPECT_NE(59440u, drv::GetUserDword(section.c_str(), "BarID", 0)) << section;
    }
    main = Start();
    ASSERT_TRUE(main);
    bar = drv::MainStatusBar(main);
    panes = WaitPanes(main, 10);
    ASSERT_EQ(11u, panes.size());
    p = PlaceOfPrompt(bar);
    ASSERT_TRUE(p.combo && p.toolbar);
    EXPECT_TRUE(IsWindowVisible(p.combo));
    EXPECT_TRUE(IsWindowVisible(p.toolbar));
    EXPECT_TRUE(HIWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, 1, 0)) & SBT_POPOUT);
    HWND progress = GetDlgItem(bar, 1009);
    ASSERT_TRUE(progress);
    RECT progRc;
    GetWindowRect(progress, &progRc);
    MapWindowPoints(NULL, bar, reinterpret_cast<POINT*>(&progRc), 2);
    EXPECT_LE(p.toolRc.right, progRc.left);
    RedrawWindow(main, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    EXPECT_FALSE(drv::Screenshot("prompt_statusbar_all_popout", main).empty());
}

TEST_F(Indicators, TheBarsShortcutMenuOpensTheDialog)
{
    HWND main = Start();
    ASSERT_TRUE(main);
    HWND bar = drv::MainStatusBar(main);
    ASSERT_TRUE(bar);
    RECT r;
    GetWindowRect(bar, &r);
    PostMessageA(main, WM_CONTEXTMENU, (WPARAM)bar, MAKELPARAM(r.left + 10, r.top + 5));
    HWND menu = NULL;
    ASSERT_TRUE(drv::WaitFor([&] { return (menu = FindWindowA("#32768", NULL)) != NULL && IsWindowVisible(menu); }, 5000));
    Sleep(600);
    EXPECT_FALSE(drv::Screenshot("indicators_menu").empty());
    ASSERT_TRUE(drv::PressKey(NULL, VK_DOWN));
    ASSERT_TRUE(drv::PressKey(NULL, VK_RETURN));
    HWND dlg = drv::WaitForDialog(app.Pid(), kDialog);
    ASSERT_TRUE(dlg);
    drv::PressButton(dlg, IDCANCEL);
}

}  // namespace
