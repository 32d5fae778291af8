// The main and panel toolbars arranged through the platform's customization dialog, stored and
// built again at the next start; the notification-area icon of the iconized program.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <string>
#include <vector>
#include "driver/BarsDriver.h"
#include "driver/Driver.h"
#include "driver/SelectDriver.h"
#include "ui/TrayIcon.h"

namespace {
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kPolicyKey[] = "SOFTWARE\\Policies\\Corvane\\Panorel";
const char kCustomize[] = "Customize Toolbar";
const UINT ID_VIEW_TOOLBAR_CUSTOMIZE = 38403;
const UINT ID_PANEL_CUSTOMIZE_TOOLBAR = 38505;
const UINT ID_VIEW_ICONIZE = 38417;

const std::vector<WORD> kMainDefaults = {
    38113, 38109, 38111, 38110, 38205, 38511, 0,     39401, 39402, 39403,
    39404, 0,     39405, 39406, 0,     38214, 38215, 38216, 39407, 0,
    38201, 38203, 38601, 38602, 0,     38401, 38417, 38414, 57664, 57669};
const std::vector<WORD> kPanelDefaults = {38102, 38106, 38107, 38108};

std::vector<WORD> StoredLayout(const char* name)
{
    std::vector<WORD> list;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRootKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return list;
    BYTE data[1024];
    DWORD size = sizeof(data), type = 0;
    if (RegQueryValueExA(key, name, NULL, &type, data, &size) == ERROR_SUCCESS &&
        type == REG_BINARY)
        for (DWORD i = 0; i + 1 < size; i += 2)
            list.push_back((WORD)(data[i] | (data[i + 1] << 8)));
    RegCloseKey(key);
    return list;
}

void StoreRaw(const char* name, const void* data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kRootKey, 0, NULL, 0,
                                             KEY_ALL_ACCESS, NULL, &key, NULL));
    RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

class Toolbars : public ::testing::Test {
protected:
    void SetUp() override { drv::ResetProgramSettings(); }
    void TearDown() override { drv::ResetProgramSettings(); }

    HWND Start(drv::AppProcess& app)
    {
        EXPECT_TRUE(app.Start("panorel.exe"));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        if (main)
            drv::WaitFor([&] { return drv::MainToolbar(main) && drv::PanelToolbar(main, 1); },
                         10000);
        return main;
    }
    // Opens the customization dialog of a toolbar by its command.
    HWND OpenDialog(drv::AppProcess& app, UINT command)
    {
        EXPECT_TRUE(app.PostCommand(command));
        HWND dlg = drv::WaitForDialog(app.Pid(), kCustomize);
        EXPECT_TRUE(dlg != NULL);
        return dlg;
    }
    // Closes the dialog with its Close button and waits for it to go.
    void CloseDialog(drv::AppProcess& app, HWND dlg)
    {
        ASSERT_TRUE(drv::PressButton(dlg, IDCANCEL));
        EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
        bool ok = false;
        app.Send(WM_NULL, 0, 0, 5000, &ok);
        EXPECT_TRUE(ok);
    }
};

}  // namespace

TEST_F(Toolbars, FirstStartShowsTheDefaultsAndStoresNothing)
{
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    EXPECT_EQ(kMainDefaults, drv::ToolbarButtons(drv::MainToolbar(main)));
    EXPECT_EQ(kPanelDefaults, drv::ToolbarButtons(drv::PanelToolbar(main, 0)));
    EXPECT_EQ(kPanelDefaults, drv::ToolbarButtons(drv::PanelToolbar(main, 1)));
    drv::Screenshot("toolbars_default", main);
    ASSERT_TRUE(app.Close());
    EXPECT_FALSE(drv::UserValueExists(kRootKey, "ToolBar"));
    EXPECT_FALSE(drv::UserValueExists(kRootKey, "Pane1ToolBar"));
    EXPECT_FALSE(drv::UserValueExists(kRootKey, "Pane2ToolBar"));
}

TEST_F(Toolbars, MainToolbarChangedInTheDialogComesBackAfterARestart)
{
    std::vector<WORD> expected = kMainDefaults;
    {
        drv::AppProcess app;
        HWND main = Start(app);
        ASSERT_TRUE(main);
        HWND tb = drv::MainToolbar(main);
        HWND dlg = OpenDialog(app, ID_VIEW_TOOLBAR_CUSTOMIZE);
        ASSERT_TRUE(dlg);
        Sleep(500);   // let it paint
        drv::Screenshot("toolbars_customize_dialog");
        // The dialog lists the buttons the toolbar does not show (and a separator), and the
        // toolbar's own (and a separator at the end).
        HWND avail = FindWindowExA(dlg, NULL, "ListBox", NULL);
        HWND shown = avail ? FindWindowExA(dlg, avail, "ListBox", NULL) : NULL;
        ASSERT_TRUE(avail && shown);
        int count = 0;
        drv::WaitFor([&] { return (count = (int)SendMessageA(shown, LB_GETCOUNT, 0, 0)) > 1; },
                     3000);
        EXPECT_EQ(31, count);
        EXPECT_EQ(10, (int)SendMessageA(avail, LB_GETCOUNT, 0, 0));
        // Through the dialog: Parent folder, the first button on offer, is added in front.
        SendMessageA(avail, LB_SETCURSEL, 1, 0);
        SendMessageA(shown, LB_SETCURSEL, 0, 0);
        ASSERT_TRUE(drv::PressButton(dlg, "Add ->"));
        EXPECT_TRUE(drv::WaitFor(
            [&] { return SendMessageA(tb, TB_COMMANDTOINDEX, 38102, 0) == 0; }, 5000));
        expected.insert(expected.begin(), 38102);
        // Through the toolbar's own messages: Favorites goes, Copy moves to the front.
        ASSERT_TRUE(SendMessageA(tb, TB_DELETEBUTTON, 1, 0));
        expected.erase(expected.begin() + 1);
        int copy = (int)SendMessageA(tb, TB_COMMANDTOINDEX, 39401, 0);
        ASSERT_EQ(7, copy);
        ASSERT_TRUE(SendMessageA(tb, TB_MOVEBUTTON, copy, 0));
        expected.erase(expected.begin() + 7);
        expected.insert(expected.begin(), 39401);
        CloseDialog(app, dlg);
        EXPECT_EQ(expected, drv::ToolbarButtons(tb));
        EXPECT_EQ(expected, StoredLayout("ToolBar"));
        ASSERT_TRUE(app.Close());
    }
    drv::AppProcess again;
    HWND main = Start(again);
    ASSERT_TRUE(main);
    EXPECT_EQ(expected, drv::ToolbarButtons(drv::MainToolbar(main)));
    EXPECT_EQ(kPanelDefaults, drv::ToolbarButtons(drv::PanelToolbar(main, 0)));
    ASSERT_TRUE(again.Close());
}

TEST_F(Toolbars, ResetInTheDialogRestoresTheDefaultsAndDeletesTheValue)
{
    const WORD stored[] = {38102, 0, 38509};
    StoreRaw("ToolBar", stored, sizeof(stored));
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    HWND tb = drv::MainToolbar(main);
    EXPECT_EQ(std::vector<WORD>(stored, stored + 3), drv::ToolbarButtons(tb));
    HWND dlg = OpenDialog(app, ID_VIEW_TOOLBAR_CUSTOMIZE);
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(drv::PressButton(dlg, "&Reset"));
    EXPECT_TRUE(drv::WaitFor([&] { return drv::ToolbarButtons(tb) == kMainDefaults; }, 5000));
    EXPECT_FALSE(drv::UserValueExists(kRootKey, "ToolBar"));
    CloseDialog(app, dlg);
    // Closing stores the arrangement shown, which is the defaults now.
    EXPECT_EQ(kMainDefaults, StoredLayout("ToolBar"));
    ASSERT_TRUE(app.Close());
}

TEST_F(Toolbars, AnEmptyToolbarStaysEmptyAndABadValueGivesTheDefaults)
{
    {
        drv::AppProcess app;
        HWND main = Start(app);
        ASSERT_TRUE(main);
        HWND tb = drv::MainToolbar(main);
        HWND dlg = OpenDialog(app, ID_VIEW_TOOLBAR_CUSTOMIZE);
        ASSERT_TRUE(dlg);
        while (SendMessageA(tb, TB_BUTTONCOUNT, 0, 0) > 0)
            ASSERT_TRUE(SendMessageA(tb, TB_DELETEBUTTON, 0, 0));
        CloseDialog(app, dlg);
        EXPECT_EQ(std::vector<WORD>({0}), StoredLayout("ToolBar"));
        ASSERT_TRUE(app.Close());
    }
    {
        drv::AppProcess app;
        HWND main = Start(app);
        ASSERT_TRUE(main);
        EXPECT_EQ(0, (int)SendMessageA(drv::MainToolbar(main), TB_BUTTONCOUNT, 0, 0));
        ASSERT_TRUE(app.Close());
    }
    // Three bytes, and a command the toolbar does not offer beside ones it does.
    const BYTE odd[] = {0x66, 0x95, 0x00};
    StoreRaw("ToolBar", odd, sizeof(odd));
    const WORD unknown[] = {12345, 38102, 0, 38509};
    StoreRaw("Pane2ToolBar", unknown, sizeof(unknown));
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    EXPECT_EQ(kMainDefaults, drv::ToolbarButtons(drv::MainToolbar(main)));
    EXPECT_EQ(std::vector<WORD>({38102, 0, 38509}), drv::ToolbarButtons(drv::PanelToolbar(main, 1)));
    ASSERT_TRUE(app.Close());
}

TEST_F(Toolbars, PanelToolbarOfTheActivePanelIsCustomizedAndKeptPerPanel)
{
    const std::vector<WORD> expected = {38106, 38107, 38108, 0};
    {
        drv::AppProcess app;
        HWND main = Start(app);
        ASSERT_TRUE(main);
        HWND tb = drv::PanelToolbar(main, 0);
        HWND dlg = OpenDialog(app, ID_PANEL_CUSTOMIZE_TOOLBAR);
        ASSERT_TRUE(dlg);
        ASSERT_TRUE(SendMessageA(tb, TB_DELETEBUTTON, 0, 0));   // Parent folder
        // A separator after the user's buttons, before any of the shell view's.
        ASSERT_TRUE(drv::InsertToolbarSeparator(tb, 3));
        CloseDialog(app, dlg);
        EXPECT_EQ(expected, drv::ToolbarButtons(tb));
        EXPECT_EQ(expected, StoredLayout("Pane1ToolBar"));
        EXPECT_FALSE(drv::UserValueExists(kRootKey, "Pane2ToolBar"));
        EXPECT_FALSE(drv::UserValueExists(kRootKey, "ToolBar"));
        ASSERT_TRUE(app.Close());
    }
    drv::AppProcess again;
    HWND main = Start(again);
    ASSERT_TRUE(main);
    EXPECT_EQ(expected, drv::ToolbarButtons(drv::PanelToolbar(main, 0)));
    EXPECT_EQ(kPanelDefaults, drv::ToolbarButtons(drv::PanelToolbar(main, 1)));
    EXPECT_EQ(kMainDefaults, drv::ToolbarButtons(drv::MainToolbar(main)));
    ASSERT_TRUE(again.Close());
}

TEST_F(Toolbars, TheShortcutMenuOffersCustomizeAndTheBars)
{
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    for (int which = 0; which < 2; which++) {
        SCOPED_TRACE(which);
        HWND tb = which == 0 ? drv::MainToolbar(main) : drv::PanelToolbar(main, 0);
        RECT r;
        GetWindowRect(tb, &r);
        PostMessageA(GetParent(tb), WM_CONTEXTMENU, (WPARAM)tb, MAKELPARAM(r.left + 5, r.top + 5));
        HWND menu = NULL;
        ASSERT_TRUE(drv::WaitFor(
            [&] {
                for (HWND w : drv::TopLevelWindows(app.Pid(), true))
                    if (drv::ClassName(w) == "#32768")
                        menu = w;
                return menu != NULL;
            },
            5000));
        // Wine keeps menus per process: the menu is looked at on the screenshot, and its
        // first item is chosen with the keyboard.
        drv::Screenshot(which == 0 ? "toolbars_menu_main" : "toolbars_menu_panel");
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        HWND dlg = drv::WaitForDialog(app.Pid(), kCustomize);
        ASSERT_TRUE(dlg);
        CloseDialog(app, dlg);
    }
    ASSERT_TRUE(app.Close());
}

TEST_F(Toolbars, LockedCustomizeShowsOnlyTheRestriction)
{
    drv::SetUserDword(kPolicyKey, "DisableMenuViewToolbarCustomize", 1);
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    ASSERT_TRUE(app.PostCommand(ID_VIEW_TOOLBAR_CUSTOMIZE));
    std::string text;
    EXPECT_TRUE(drv::AnswerBox(app.Pid(), "restricted", IDOK, &text));
    EXPECT_FALSE(drv::WaitForDialog(app.Pid(), kCustomize, 500));
    drv::DeleteUserKey(kPolicyKey);
    ASSERT_TRUE(app.Close());
}

// The notification-area icon.
class TrayIcon : public Toolbars {
protected:
    HWND Iconize(drv::AppProcess& app, HWND main)
    {
        EXPECT_TRUE(app.PostCommand(ID_VIEW_ICONIZE));
        HWND icon = NULL;
        EXPECT_TRUE(drv::WaitFor([&] { return (icon = drv::TrayIconWindow(app.Pid())) != NULL; },
                                 5000));
        EXPECT_TRUE(drv::WaitFor([&] { return !IsWindowVisible(main); }, 5000));
        return icon;
    }
    // True while the shell holds an icon of that window: only an existing icon takes a change.
    static bool IconInTray(HWND icon)
    {
        NOTIFYICONDATAA nid = {};
        nid.cbSize = sizeof(nid);
        nid.hWnd = icon;
        nid.uID = 1;
        nid.uFlags = NIF_TIP;
        lstrcpynA(nid.szTip, "Panorel QV", sizeof(nid.szTip));
        return Shell_NotifyIconA(NIM_MODIFY, &nid) != 0;
    }
    // The window is shown again and the icon gone.
    static bool Restored(drv::AppProcess& app, HWND main)
    {
        return drv::WaitFor([&] {
            return IsWindowVisible(main) && !drv::TrayIconWindow(app.Pid());
        }, 5000);
    }
    static HWND VisibleMenu(DWORD pid)
    {
        for (HWND w : drv::TopLevelWindows(pid, true))
            if (drv::ClassName(w) == "#32768")
                return w;
        return NULL;
    }
};

TEST_F(TrayIcon, IconizeHidesTheWindowAndAClickBringsItBack)
{
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    EXPECT_FALSE(drv::TrayIconWindow(app.Pid()));
    HWND icon = Iconize(app, main);
    ASSERT_TRUE(icon);
    EXPECT_EQ("Panorel QV", drv::WindowText(icon));
    EXPECT_TRUE(IconInTray(icon));
    drv::Screenshot("tray_iconized");
    // Iconizing again while iconized changes nothing; View - Iconize then restores.
    PostMessageA(icon, WM_USER + 1, 1, WM_LBUTTONUP);
    EXPECT_TRUE(Restored(app, main));
    EXPECT_FALSE(IsWindow(icon));
    EXPECT_FALSE(IconInTray(icon));

    icon = Iconize(app, main);
    ASSERT_TRUE(icon);
    PostMessageA(icon, WM_USER + 1, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(Restored(app, main));

    icon = Iconize(app, main);
    ASSERT_TRUE(icon);
    ASSERT_TRUE(app.PostCommand(ID_VIEW_ICONIZE));   // the same command restores
    EXPECT_TRUE(Restored(app, main));
    ASSERT_TRUE(app.Close());
}

TEST_F(TrayIcon, ItsMenuOpensOnceAndExitEndsTheProgram)
{
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    HWND icon = Iconize(app, main);
    ASSERT_TRUE(icon);
    // A second right click while the menu is up brings it forward instead of a second menu.
    PostMessageA(icon, WM_USER + 1, 1, WM_RBUTTONUP);
    HWND menu = NULL;
    ASSERT_TRUE(drv::WaitFor([&] { return (menu = VisibleMenu(app.Pid())) != NULL; }, 5000));
    PostMessageA(icon, WM_USER + 1, 1, WM_RBUTTONUP);
    Sleep(500);
    int menus = 0;
    for (HWND w : drv::TopLevelWindows(app.Pid(), true))
        menus += drv::ClassName(w) == "#32768";
    EXPECT_EQ(1, menus);
    drv::Screenshot("tray_menu");
    // Open is the first item.
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(Restored(app, main));

    icon = Iconize(app, main);
    ASSERT_TRUE(icon);
    PostMessageA(icon, WM_USER + 1, 1, WM_RBUTTONUP);
    ASSERT_TRUE(drv::WaitFor([&] { return (menu = VisibleMenu(app.Pid())) != NULL; }, 5000));
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    DWORD code = 1;
    EXPECT_TRUE(app.WaitForExit(15000, &code));
    EXPECT_EQ(0u, code);
}

TEST_F(TrayIcon, ARestartedTaskbarGetsTheIconAgain)
{
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    HWND icon = Iconize(app, main);
    ASSERT_TRUE(icon);
    // The shell's icon goes (as with a shell that ended); the broadcast brings it back.
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof(nid);
    nid.hWnd = icon;
    nid.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &nid));
    EXPECT_FALSE(IconInTray(icon));
    SendMessageA(icon, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconInTray(icon));
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &nid));
    SendMessageA(icon, RegisterWindowMessageA("Corvane_TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconInTray(icon));
    PostMessageA(icon, WM_USER + 1, 1, WM_LBUTTONUP);
    EXPECT_TRUE(Restored(app, main));
    ASSERT_TRUE(app.Close());
}

TEST_F(TrayIcon, CloseFromTheIconAsksFirstWithTheExitConfirmation)
{
    drv::SetUserDword(kRootKey, "Settings", 0x0C081870 | 0x100000);
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    HWND icon = Iconize(app, main);
    ASSERT_TRUE(icon);
    PostMessageA(icon, WM_USER + 1, 1, WM_RBUTTONUP);
    HWND menu = NULL;
    ASSERT_TRUE(drv::WaitFor([&] { return (menu = VisibleMenu(app.Pid())) != NULL; }, 5000));
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    std::string text;
    ASSERT_TRUE(drv::AnswerBox(app.Pid(), "Are you sure you want to exit", IDNO, &text));
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(app.Running());
    drv::SetUserDword(kRootKey, "Settings", 0x0C081870);
    app.Kill();
}

namespace {
// The library's icon class on a window of the test's own.
class ProbeIcon : public TB_Icon {
public:
    const char* Tip() const { return m_nid.szTip; }
    int clicks = 0;

protected:
    void OnLeftClick() override
    {
        ++clicks;
        // A second click while this one's handler runs does not run it again.
        SendMessageA(m_hWnd, kLeftClickMsg, kIconId, 0);
    }
};

bool ShellHasIcon(HWND wnd)
{
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof(nid);
    nid.hWnd = wnd;
    nid.uID = 1;
    nid.uFlags = NIF_TIP;
    return Shell_NotifyIconA(NIM_MODIFY, &nid) != 0;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}
}  // namespace

TEST(TrayIconClass, ShownOnlyWhenAskedTipCutWholeAndOneHandlerAtATime)
{
    ProbeIcon icon;
    std::string tip = "a";
    for (int i = 0; i < 30; i++)
        tip += "日";
    HICON image = LoadIconA(NULL, MAKEINTRESOURCEA(32512));
    ASSERT_TRUE(icon.Start("BarsProbeIcon", image, tip.c_str(), false));
    EXPECT_FALSE(icon.IsIconShown());
    EXPECT_EQ(61u, strlen(icon.Tip()));   // 63 bytes would split a character
    EXPECT_EQ(0, tip.compare(0, 61, icon.Tip()));
    // A re-created taskbar adds no icon nobody asked for.
    SendMessageA(icon, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_FALSE(icon.IsIconShown());
    EXPECT_FALSE(ShellHasIcon(icon));
    ASSERT_TRUE(icon.ShowIcon(true));
    EXPECT_TRUE(ShellHasIcon(icon));
    EXPECT_TRUE(icon.UpdateTooltip("short"));
    EXPECT_STREQ("short", icon.Tip());
    SendMessageA(icon, TB_Icon::kCallbackMsg, 1, WM_LBUTTONUP);
    Pump();
    EXPECT_EQ(1, icon.clicks);
    HWND wnd = icon;
    icon.Close();
    Pump();
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_FALSE(ShellHasIcon(wnd));
    icon.Stop();
}
