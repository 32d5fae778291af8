// Two live panels in the real program: layout, navigation, filters, saved state, full screen,
// the notification area and the position locks.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "driver/Driver.h"

namespace {
using drv::TempFolder;
using drv::MakeFile;
using drv::RectIn;
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kPolicyKey[] = "SOFTWARE\\Policies\\Corvane\\Panorel";
const char kRestricted[] = "This command is restricted by the System Administrator.";
enum : UINT {
    ID_VIEW_FULLSCREEN = 38401,
    ID_PANEL_MAXIMIZE = 38506,
    ID_PANEL_SPLIT_HORZ = 38507,
    ID_PANEL_SPLIT_VERT = 38508,
    ID_PANEL_SWAP = 38509,
    ID_ICONIZE = 59394,
    ID_RESTORE = 59395,
};

std::vector<std::string> Items(HWND main, int panel)
{
    HWND list = drv::PanelList(main, panel);
    std::vector<std::string> items = list ? drv::ListViewTexts(list, false) : std::vector<std::string>();
    std::sort(items.begin(), items.end());
    return items;
}

class Panels : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        folder = TempFolder("panels_a");
        other = TempFolder("panels_b");
        CreateDirectoryA((folder + "\\sub").c_str(), NULL);
        MakeFile(folder + "\\one.txt");
        MakeFile(folder + "\\two.txt");
        MakeFile(folder + "\\three.log");
    }
    void TearDown() override
    {
        drv::DeleteUserKey(kPolicyKey);
        drv::DeleteUserKey(kProductKey);
    }
    HWND Start(drv::AppProcess& app, const std::string& args = std::string())
    {
        EXPECT_TRUE(app.Start("panorel.exe", args));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelList(main, 0) && drv::PanelList(main, 1); }, 10000));
        return main;
    }
    std::string folder, other;
};

TEST_F(Panels, FirstStartSplitsSideBySideWithTwoDetailViews)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, folder + "," + other);
    ASSERT_TRUE(main != NULL);
    Sleep(500);
    drv::Screenshot("panels_first_start");
    for (int i = 0; i < 2; i++) {
        SCOPED_TRACE(i);
        HWND list = drv::PanelList(main, i);
        EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
        EXPECT_TRUE(IsWindowVisible(list));
    }
    RECT r0 = RectIn(drv::PanelWindow(main, 0), main), r1 = RectIn(drv::PanelWindow(main, 1), main);
    EXPECT_LT(r0.right, r1.left);   // side by side
    EXPECT_EQ(r0.top, r1.top);
    EXPECT_EQ(Items(main, 0), (std::vector<std::string>{"one.txt", "sub", "three.log", "two.txt"}));
    // Panel 1 is the active one: its list has the focus.
    EXPECT_TRUE(app.Close());
    EXPECT_EQ(drv::GetUserDword(kRootKey, "Frame", 0), 0xC3u);
    EXPECT_EQ(drv::GetUserDword(kRootKey, "P1", 7), 0u);
    EXPECT_TRUE(watcher.Answered().empty());
}

TEST_F(Panels, FoldersAreSavedAndRestoredAndBadViewSettingsIgnored)
{
    {
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        HWND main = Start(app, folder + "," + other);
        ASSERT_TRUE(main != NULL);
        EXPECT_TRUE(app.Close());
    }
    EXPECT_GT(drv::GetUserDword(kRootKey, "P1", 0) + 1, 0u);
    // A view-settings value of 7 bytes is ignored: details view stays.
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRootKey, 0, KEY_WRITE, &key), 0);
    BYTE seven[7] = {1, 0, 0, 0, 1, 0, 0};
    RegSetValueExA(key, "FS1", 0, REG_BINARY, seven, sizeof(seven));
    DWORD icons[2] = {1, 1};   // icon view, exactly 8 bytes: taken
    RegSetValueExA(key, "FS2", 0, REG_BINARY, (BYTE*)icons, sizeof(icons));
    RegCloseKey(key);
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app);
    ASSERT_TRUE(main != NULL);
    EXPECT_EQ(drv::PanelTitle(main, 0), folder);
    EXPECT_EQ(drv::PanelTitle(main, 1), other);
    EXPECT_EQ(GetWindowLongA(drv::PanelList(main, 0), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(GetWindowLongA(drv::PanelList(main, 1), GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);
    EXPECT_TRUE(app.Close());
}

TEST_F(Panels, NavigationThroughThePendingFolderAndFallbackToTheDesktop)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, other + "," + other);
    ASSERT_TRUE(main != NULL);
    EXPECT_EQ(app.CopyData(1, folder.c_str(), (DWORD)folder.size() + 1), 1);
    EXPECT_EQ(app.SendRegistered("PanorelMsg", 12, 0), 1);
    EXPECT_EQ(drv::PanelTitle(main, 0), folder);
    EXPECT_EQ(Items(main, 0).size(), 4u);
    // An identifier list that is well formed but names nothing: the Desktop instead.
    BYTE bogus[] = {6, 0, 0x7F, 0x55, 0x66, 0x77, 0, 0};
    EXPECT_EQ(app.CopyData(3, bogus, sizeof(bogus)), 1);
    EXPECT_EQ(app.SendRegistered("PanorelMsg", 12, 0), 1);
    EXPECT_EQ(drv::PanelTitle(main, 0), "Desktop");
    EXPECT_TRUE(app.Close());
}

TEST_F(Panels, PanelFilterAndQuickFilterDecideWhatIsListed)
{
    drv::SetUserDword(kRootKey, "P1", 0x10000000);
    drv::SetUserString(kRootKey, "FilterIncl1", "*.txt");
    {
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        HWND main = Start(app, folder + "," + folder);
        ASSERT_TRUE(main != NULL);
        EXPECT_EQ(Items(main, 0), (std::vector<std::string>{"one.txt", "two.txt"}));
        EXPECT_EQ(Items(main, 1).size(), 4u);   // the other panel has no filter
        drv::Screenshot("panels_filter");
        EXPECT_TRUE(app.Close());
    }
    // The quick filter wins over the panel filter.
    drv::SetUserString(kRootKey, "QuickFilter1", "*.log");
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, folder + "," + folder);
    ASSERT_TRUE(main != NULL);
    EXPECT_EQ(Items(main, 0), (std::vector<std::string>{"three.log"}));
    EXPECT_TRUE(app.Close());
}

TEST_F(Panels, MaximizeSplitSwapAndOrientation)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, folder + "," + other);
    ASSERT_TRUE(main != NULL);
    HWND p0 = drv::PanelWindow(main, 0), p1 = drv::PanelWindow(main, 1);
    RECT before0 = RectIn(p0, main), before1 = RectIn(p1, main);

    app.Command(ID_PANEL_MAXIMIZE);
    EXPECT_TRUE(IsWindowVisible(p0));
    EXPECT_FALSE(IsWindowVisible(p1));
    EXPECT_NE(drv::PanelTitle(main, 0).find("[Maximized]"), std::string::npos);
    EXPECT_EQ(drv::GetUserDword(kRootKey, "Frame", 0xC3), 0xC3u);   // stored only at exit
    // Swap while maximized shows the other panel.
    app.Command(ID_PANEL_SWAP);
    EXPECT_TRUE(IsWindowVisible(p1));
    EXPECT_FALSE(IsWindowVisible(p0));
    EXPECT_EQ(drv::PanelTitle(main, 0), other + "  [Maximized]");
    app.Command(ID_PANEL_SWAP);
    app.Command(ID_PANEL_MAXIMIZE);
    EXPECT_TRUE(IsWindowVisible(p0) && IsWindowVisible(p1));
    RECT after0 = RectIn(p0, main), after1 = RectIn(p1, main);
    EXPECT_TRUE(EqualRect(&before0, &after0));
    EXPECT_TRUE(EqualRect(&before1, &after1));

    app.Command(ID_PANEL_SPLIT_HORZ);
    RECT h0 = RectIn(p0, main), h1 = RectIn(p1, main);
    EXPECT_LT(h0.bottom, h1.top);   // one above the other
    EXPECT_EQ(h0.left, h1.left);
    app.Command(ID_PANEL_SPLIT_VERT);
    after0 = RectIn(p0, main);
    EXPECT_TRUE(EqualRect(&before0, &after0));
    app.Command(ID_PANEL_SPLIT_HORZ);
    EXPECT_TRUE(app.Close());
    EXPECT_EQ(drv::GetUserDword(kRootKey, "Frame", 0) & 0x3, 0x1u);   // split, stacked
}

TEST_F(Panels, FullScreenSurvivesARestartAndKeepsTheNormalPosition)
{
    RECT normal;
    {
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        HWND main = Start(app, folder + "," + other);
        ASSERT_TRUE(main != NULL);
        GetWindowRect(main, &normal);
        app.Command(ID_VIEW_FULLSCREEN);
        RECT client;
        GetClientRect(main, &client);
        MapWindowPoints(main, NULL, reinterpret_cast<POINT*>(&client), 2);
        EXPECT_LE(client.left, 0);
        EXPECT_LE(client.top, 0);
        EXPECT_GE(client.right, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_GE(client.bottom, GetSystemMetrics(SM_CYSCREEN));
        // Moves are forced back to full screen.
        SetWindowPos(main, NULL, 50, 50, 300, 200, SWP_NOZORDER);
        RECT still;
        GetWindowRect(main, &still);
        EXPECT_LT(still.left, 0);
        EXPECT_TRUE(app.Close());
    }
    EXPECT_EQ(drv::GetUserDword(kRootKey, "Frame", 0) & 0x8, 0x8u);
    EXPECT_EQ((LONG)drv::GetUserDword("Software\\Corvane\\Panorel QV\\Frame Window", "Left", 0), normal.left);
    EXPECT_EQ((LONG)drv::GetUserDword("Software\\Corvane\\Panorel QV\\Frame Window", "Bottom", 0), normal.bottom);
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app);
    ASSERT_TRUE(main != NULL);
    RECT r;
    EXPECT_TRUE(drv::WaitFor([&] { GetWindowRect(main, &r); return r.left < 0; }, 5000));
    app.Command(ID_VIEW_FULLSCREEN);
    GetWindowRect(main, &r);
    EXPECT_TRUE(EqualRect(&r, &normal));
    EXPECT_TRUE(app.Close());
}

TEST_F(Panels, IconizeToTheNotificationAreaAndRestore)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, folder + "," + other);
    ASSERT_TRUE(main != NULL);
    app.Command(ID_ICONIZE);
    EXPECT_FALSE(IsWindowVisible(main));
    // A second start's activation request restores it from there.
    EXPECT_EQ(app.SendRegistered("CorvaneMessage", 3, 4), 1);
    EXPECT_TRUE(drv::WaitFor([&] { return IsWindowVisible(main) != 0; }, 5000));
    app.Command(ID_ICONIZE);
    EXPECT_FALSE(IsWindowVisible(main));
    app.Command(ID_RESTORE);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(app.Close());
}

TEST_F(Panels, PositionLocksAndTheShellContextMenuPolicy)
{
    drv::SetUserDword(kPolicyKey, "LockPositionMainFrame", 1);
    drv::SetUserDword(kPolicyKey, "LockPositionMainSplitter", 1);
    drv::SetUserDword(kPolicyKey, "DisableShellCxtMenu", 1);
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    watcher.Allow(kRestricted);
    HWND main = Start(app, folder + "," + other);
    ASSERT_TRUE(main != NULL);
    Sleep(300);
    RECT before, after;
    GetWindowRect(main, &before);
    SetWindowPos(main, NULL, before.left + 40, before.top + 30, 500, 400, SWP_NOZORDER);
    GetWindowRect(main, &after);
    EXPECT_TRUE(EqualRect(&before, &after));

    // Full screen is refused with the message.
    app.PostCommand(ID_VIEW_FULLSCREEN);
    HWND box = app.WaitForWindowWithText(kRestricted, 10000);
    ASSERT_TRUE(box != NULL);
    drv::PressButton(box, IDOK);

    // The splitter refuses a drag.
    HWND split = GetDlgItem(main, 0xE900);
    RECT p0 = RectIn(drv::PanelWindow(main, 0), split);
    int x = p0.right + 1;
    SendMessageA(split, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 50));
    SendMessageA(split, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - 100, 50));
    SendMessageA(split, WM_LBUTTONUP, 0, MAKELPARAM(x - 100, 50));
    RECT p0After = RectIn(drv::PanelWindow(main, 0), split);
    EXPECT_TRUE(EqualRect(&p0, &p0After));

    // No shell context menu in the panel.
    HWND list = drv::PanelList(main, 0);
    RECT lr;
    GetWindowRect(list, &lr);
    PostMessageA(list, WM_CONTEXTMENU, (WPARAM)list, MAKELPARAM(lr.left + 30, lr.top + 30));
    Sleep(1000);
    bool menu = false;
    for (HWND w : drv::TopLevelWindows(app.Pid()))
        if (drv::ClassName(w) == "#32768")
            menu = true;
    EXPECT_FALSE(menu);

    drv::DeleteUserKey(kPolicyKey);
    // Unlocked, the same request shows the shell's menu.
    PostMessageA(list, WM_CONTEXTMENU, (WPARAM)list, MAKELPARAM(lr.left + 30, lr.top + 30));
    HWND popup = NULL;
    drv::WaitFor([&] {
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if (drv::ClassName(w) == "#32768")
                popup = w;
        return popup != NULL;
    }, 5000);
    EXPECT_TRUE(popup != NULL);
    if (popup) {
        drv::Screenshot("panels_context_menu");
        PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        Sleep(300);
    }
    SendMessageA(split, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 50));
    SendMessageA(split, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - 100, 50));
    SendMessageA(split, WM_LBUTTONUP, 0, MAKELPARAM(x - 100, 50));
    p0After = RectIn(drv::PanelWindow(main, 0), split);
    EXPECT_EQ(p0After.right, p0.right - 100);
    EXPECT_TRUE(app.Close());
    EXPECT_EQ((LONG)drv::GetUserDword(kRootKey, "SplitX", 0), p0.right - 100);
}
}  // namespace

TEST_F(Panels, ListOptionsBecomeTheListsExtendedStyles)
{
    struct Case {
        const char* what;
        DWORD paneOpts, set, clear;
    } cases[] = {
        // The first start's options: full row only.
        {"defaults", 0x4001D, LVS_EX_FULLROWSELECT, LVS_EX_GRIDLINES | LVS_EX_INFOTIP | LVS_EX_TRACKSELECT},
        {"grid lines and info tips", 0x80001D | 0x8001D, LVS_EX_GRIDLINES | LVS_EX_INFOTIP,
         LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE},
        {"one click, hot underline", 0x11001D, LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINEHOT,
         LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        drv::ResetProgramSettings();
        drv::SetUserDword(kRootKey, "PaneOpts", c.paneOpts);
        drv::AppProcess app;
        HWND main = Start(app, folder + "," + other);
        ASSERT_TRUE(main != NULL);
        for (int panel = 0; panel < 2; ++panel) {
            HWND list = drv::PanelList(main, panel);
            ASSERT_TRUE(list != NULL);
            DWORD ex = (DWORD)SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
            EXPECT_EQ(c.set, ex & c.set) << std::hex << ex;
            EXPECT_EQ(0u, ex & c.clear) << std::hex << ex;
            // The option bits themselves are never taken for styles (0x40000 is a single-row
            // list, 0x80000 snap-to-grid).
            EXPECT_EQ(0u, ex & (LVS_EX_SINGLEROW | LVS_EX_SNAPTOGRID)) << std::hex << ex;
        }
        EXPECT_TRUE(app.Close());
    }
}
