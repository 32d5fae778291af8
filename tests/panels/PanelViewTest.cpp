// The panel's dealings with its shell view in the real program: the view-mode menu, the list's
// notifications (renaming, focus, clicks), the selection shown in the status bar, the view's
// margins and colours, and the frame's menu bar while views lend it their menus.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "driver/Driver.h"
#include "driver/SelectDriver.h"

namespace {
using drv::TempFolder;
using drv::MakeFile;
using drv::Exists;
using drv::RectIn;
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
enum : UINT {
    ID_CHANGE_VIEW = 32815,
    ID_NEW_FOLDER = 38203,
    IDC_NEW_NAME = 1086,
    ID_PANEL_NEXT = 38501,
    ID_PANEL_STATUSBAR = 38504,
    ID_APP_ABOUT = 57664,
};
enum : UINT { ID_TITLEBAR = 59424, ID_TOOLBAR = 59425, ID_STATUSBAR = 59426, ID_DRIVEBAR = 59430 };


DWORD ListType(HWND list) { return (DWORD)GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK; }

// The open popup menu of the process, or null.
HWND OpenMenu(DWORD pid)
{
    for (HWND w : drv::TopLevelWindows(pid))
        if (drv::ClassName(w) == "#32768")
            return w;
    return NULL;
}

// Chooses the n-th item (1-based) of the open popup by keyboard: Wine keeps menus per process,
// so another process can only drive them.
void ChooseItem(HWND popup, int n)
{
    for (int i = 0; i < n; i++)
        PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
}

using drv::SetItemState;
using drv::ItemImage;

int ItemIndex(HWND list, const char* text)
{
    std::vector<std::string> all = drv::ListViewTexts(list, false);
    for (size_t i = 0; i < all.size(); i++)
        if (all[i] == text)
            return (int)i;
    return -1;
}

HWND PanelBar(HWND main, int panel, UINT id)
{
    HWND p = drv::PanelWindow(main, panel);
    return p ? GetDlgItem(p, id) : NULL;
}

std::string PanelStatus(HWND main, int panel)
{
    HWND bar = PanelBar(main, panel, ID_STATUSBAR);
    return bar ? drv::WindowText(GetDlgItem(bar, ID_STATUSBAR)) : std::string();
}

HWND FocusOf(HWND wnd)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(wnd, NULL), &info) ? info.hwndFocus : NULL;
}

// The colour the title bar is painted with, read from the screen near its right end.
COLORREF TitleColor(HWND main, int panel)
{
    HWND title = PanelBar(main, panel, ID_TITLEBAR);
    RECT r;
    GetWindowRect(title, &r);
    HDC screen = GetDC(NULL);
    COLORREF c = GetPixel(screen, r.right - 3, r.top + 2);
    ReleaseDC(NULL, screen);
    return c;
}

std::vector<BYTE> BinaryValue(const char* name)
{
    std::vector<BYTE> data;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRootKey, 0, KEY_READ, &key))
        return data;
    DWORD size = 0;
    if (!RegQueryValueExA(key, name, NULL, NULL, NULL, &size) && size) {
        data.resize(size);
        RegQueryValueExA(key, name, NULL, NULL, data.data(), &size);
    }
    RegCloseKey(key);
    return data;
}

class PanelView : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        folder = TempFolder("panelview_a");
        other = TempFolder("panelview_b");
        MakeFile(folder + "\\one.txt");
        MakeFile(folder + "\\two.txt");
        MakeFile(folder + "\\three.log");
        CreateDirectoryA((folder + "\\sub").c_str(), NULL);
        DeleteFileA((folder + "\\renamed.txt").c_str());
    }
    void TearDown() override
    {
        DeleteFileA((folder + "\\renamed.txt").c_str());
        drv::DeleteUserKey(kProductKey);
    }
    // active: the panel that should hold the focus once the program is up.
    HWND Start(drv::AppProcess& app, const std::string& args, int active = 0)
    {
        EXPECT_TRUE(app.Start("panorel.exe", args));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelList(main, 0) && drv::PanelList(main, 1); }, 10000));
        // The list fills and takes the focus once the set-up is done.
        EXPECT_TRUE(drv::WaitFor([&] { return FocusOf(main) == drv::PanelList(main, active); }, 5000));
        return main;
    }
    // Opens the view-mode menu of the active panel and chooses its n-th item.
    void ChooseView(drv::AppProcess& app, int n, const char* shot = nullptr)
    {
        app.PostCommand(ID_CHANGE_VIEW);
        HWND popup = NULL;
        ASSERT_TRUE(drv::WaitFor([&] { return (popup = OpenMenu(app.Pid())) != NULL; }, 5000));
        if (shot) {
            Sleep(200);
            drv::Screenshot(shot);
        }
        ChooseItem(popup, n);
        ASSERT_TRUE(drv::WaitFor([&] { return OpenMenu(app.Pid()) == NULL; }, 5000));
    }
    std::string folder, other;
};

TEST_F(PanelView, ViewMenuSwitchesTheListAndTheModeIsSavedAtExit)
{
    {
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        HWND main = Start(app, folder + "," + other);
        ASSERT_TRUE(main != NULL);
        HWND list = drv::PanelList(main, 0);
        ASSERT_EQ(ListType(list), (DWORD)LVS_REPORT);
        // Windows XP's menu (Wine reports a later Windows): Thumbnails, Tiles, Icons, List, Details.
        ChooseView(app, 4, "view_menu_open");
        EXPECT_TRUE(drv::WaitFor([&] { return ListType(list) == LVS_LIST; }, 5000));
        Sleep(200);
        drv::Screenshot("view_mode_list", main);
        ChooseView(app, 3);
        EXPECT_TRUE(drv::WaitFor([&] { return ListType(list) == LVS_ICON; }, 5000));
        Sleep(200);
        drv::Screenshot("view_mode_icons", main);
        ChooseView(app, 5);
        EXPECT_TRUE(drv::WaitFor([&] { return ListType(list) == LVS_REPORT; }, 5000));
        Sleep(200);
        drv::Screenshot("view_mode_details", main);
        // Escape leaves the mode as it is.
        app.PostCommand(ID_CHANGE_VIEW);
        HWND popup = NULL;
        ASSERT_TRUE(drv::WaitFor([&] { return (popup = OpenMenu(app.Pid())) != NULL; }, 5000));
        PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_TRUE(drv::WaitFor([&] { return OpenMenu(app.Pid()) == NULL; }, 5000));
        Sleep(200);
        EXPECT_EQ(ListType(list), (DWORD)LVS_REPORT);
        ChooseView(app, 4);
        EXPECT_TRUE(drv::WaitFor([&] { return ListType(list) == LVS_LIST; }, 5000));

        // The menu acts on the active panel only.
        app.Command(ID_PANEL_NEXT);
        HWND list2 = drv::PanelList(main, 1);
        ChooseView(app, 3);
        EXPECT_TRUE(drv::WaitFor([&] { return ListType(list2) == LVS_ICON; }, 5000));
        EXPECT_EQ(ListType(list), (DWORD)LVS_LIST);
        EXPECT_TRUE(app.Close());
        EXPECT_TRUE(watcher.Answered().empty());
    }
    std::vector<BYTE> fs1 = BinaryValue("FS1"), fs2 = BinaryValue("FS2");
    ASSERT_EQ(fs1.size(), 8u);
    ASSERT_EQ(fs2.size(), 8u);
    EXPECT_EQ(fs1[0], 3);   // FVM_LIST
    EXPECT_EQ(fs2[0], 1);   // FVM_ICON
    // The next start shows the panels as they were left, panel 2 active.
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, "", 1);
    ASSERT_TRUE(main != NULL);
    EXPECT_EQ(ListType(drv::PanelList(main, 0)), (DWORD)LVS_LIST);
    EXPECT_EQ(ListType(drv::PanelList(main, 1)), (DWORD)LVS_ICON);
    EXPECT_TRUE(app.Close());
}

TEST_F(PanelView, InPlaceRenameIsRefusedWithoutTheOptionAndTypesTextWithIt)
{
    // "Allow quick rename" (PaneOpts bit 4) off: the list never opens its name box.
    drv::SetUserDword(kRootKey, "PaneOpts", 0x0D);
    {
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        HWND main = Start(app, folder + "," + other);
        ASSERT_TRUE(main != NULL);
        HWND list = drv::PanelList(main, 0);
        int index = ItemIndex(list, "one.txt");
        ASSERT_GE(index, 0);
        EXPECT_EQ(SendMessageA(list, LVM_EDITLABELA, index, 0), 0);
        EXPECT_EQ(SendMessageA(list, LVM_GETEDITCONTROL, 0, 0), 0);
        EXPECT_TRUE(app.Close());
    }
    drv::SetUserDword(kRootKey, "PaneOpts", 0x1D);
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, folder + "," + other);
    ASSERT_TRUE(main != NULL);
    HWND list = drv::PanelList(main, 0);
    int index = ItemIndex(list, "one.txt");
    ASSERT_GE(index, 0);
    ASSERT_TRUE(drv::SelectListItem(list, "one.txt"));
    HWND edit = (HWND)SendMessageA(list, LVM_EDITLABELA, index, 0);
    ASSERT_TRUE(edit != NULL);
    // Keys in the name box are text: Backspace does not go to the parent folder, a capital
    // letter does not start a command.
    PostMessageA(edit, WM_KEYDOWN, VK_BACK, 0x000E0001);
    PostMessageA(edit, WM_KEYUP, VK_BACK, 0xC00E0001);
    Sleep(500);
    EXPECT_EQ(drv::PanelTitle(main, 0), folder);
    EXPECT_EQ(SendMessageA(list, LVM_GETEDITCONTROL, 0, 0), (LRESULT)edit);
    SendMessageA(edit, WM_SETTEXT, 0, (LPARAM) "renamed.txt");
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC01C0001);
    EXPECT_TRUE(drv::WaitFor([&] { return Exists(folder + "\\renamed.txt"); }, 5000));
    EXPECT_FALSE(Exists(folder + "\\one.txt"));
    EXPECT_TRUE(drv::WaitFor([&] { return SendMessageA(list, LVM_GETEDITCONTROL, 0, 0) == 0; }, 5000));
    // The end of the rename gave the keys back to the panel.
    PostMessageA(list, WM_KEYDOWN, VK_BACK, 0x000E0001);
    PostMessageA(list, WM_KEYUP, VK_BACK, 0xC00E0001);
    std::string parent = folder.substr(0, folder.find_last_of('\\'));
    EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelTitle(main, 0) == parent; }, 5000))
        << drv::PanelTitle(main, 0);
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
    MoveFileA((folder + "\\renamed.txt").c_str(), (folder + "\\one.txt").c_str());
}

TEST_F(PanelView, StatusBarShowsTheSelectionAndCookieFiveSelectsTheFocusedItem)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, folder + "," + other);
    ASSERT_TRUE(main != NULL);
    HWND list = drv::PanelList(main, 0);
    EXPECT_TRUE(drv::WaitFor([&] { return PanelStatus(main, 0) == "4 object(s)"; }, 5000)) << PanelStatus(main, 0);
    EXPECT_TRUE(drv::WaitFor([&] { return PanelStatus(main, 1) == "0 object(s)"; }, 5000)) << PanelStatus(main, 1);
    ASSERT_TRUE(drv::SelectListItem(list, "two.txt"));
    EXPECT_TRUE(drv::WaitFor([&] { return PanelStatus(main, 0) == "1 object(s) selected"; }, 5000))
        << PanelStatus(main, 0);
    SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_TRUE(drv::WaitFor([&] { return PanelStatus(main, 0) == "4 object(s) selected"; }, 5000))
        << PanelStatus(main, 0);

    // Nothing selected, the focus on one item: the panel's cookie 5 selects it.
    int index = ItemIndex(list, "three.log");
    ASSERT_GE(index, 0);
    SetItemState(list, -1, 0, LVIS_SELECTED);
    SetItemState(list, index, LVIS_FOCUSED, LVIS_FOCUSED);
    ASSERT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
    SendMessageA(drv::PanelWindow(main, 0), RegisterWindowMessageA("VelmoraViewMsg"), 5, 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED), index);
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_TRUE(drv::WaitFor([&] { return PanelStatus(main, 0) == "1 object(s) selected"; }, 5000))
        << PanelStatus(main, 0);
    EXPECT_TRUE(app.Close());
}

TEST_F(PanelView, AClickWithNothingSelectedPutsTheMarkOnTheFocusedItem)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, folder + "," + other);
    ASSERT_TRUE(main != NULL);
    HWND list = drv::PanelList(main, 0);
    int index = ItemIndex(list, "two.txt");
    ASSERT_GE(index, 1);
    SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    SetItemState(list, index, LVIS_FOCUSED, LVIS_FOCUSED);
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, 0);
    ASSERT_EQ(SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0), 0);
    // A click below the items hits none of them.
    RECT rc;
    GetClientRect(list, &rc);
    LPARAM at = MAKELPARAM(rc.right / 2, rc.bottom - 8);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    int focused = -1;
    EXPECT_TRUE(drv::WaitFor([&] {
        focused = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
        return focused >= 0 && SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0) == focused;
    }, 5000)) << "mark " << SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0) << " focused " << focused;
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
    EXPECT_TRUE(app.Close());
}

TEST_F(PanelView, FocusSwitchesTheActiveLookAndComesBackAfterADialog)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    watcher.Allow("About");
    HWND main = Start(app, folder + "," + other);
    ASSERT_TRUE(main != NULL);
    const COLORREF active = GetSysColor(COLOR_ACTIVECAPTION), inactive = GetSysColor(COLOR_INACTIVECAPTION);
    ASSERT_NE(active, inactive);
    // The window paints from its message loop: wait for both title bars.
    EXPECT_TRUE(drv::WaitFor([&] { return TitleColor(main, 0) == active; }, 5000));
    EXPECT_TRUE(drv::WaitFor([&] { return TitleColor(main, 1) == inactive; }, 5000));
    // Tab gives the other panel the focus and the look.
    app.Command(ID_PANEL_NEXT);
    EXPECT_EQ(FocusOf(main), drv::PanelList(main, 1));
    EXPECT_TRUE(drv::WaitFor([&] { return TitleColor(main, 1) == active && TitleColor(main, 0) == inactive; }, 5000));
    app.Command(ID_PANEL_NEXT);
    EXPECT_TRUE(drv::WaitFor([&] { return TitleColor(main, 0) == active; }, 5000));

    // A dialog takes the focus: the panel looks inactive while it is open ...
    app.PostCommand(ID_APP_ABOUT);
    HWND box = NULL;
    ASSERT_TRUE(drv::WaitFor([&] {
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if (w != main && drv::ClassName(w) == "#32770")
                box = w;
        return box != NULL;
    }, 5000));
    EXPECT_TRUE(drv::WaitFor([&] { return TitleColor(main, 0) == inactive; }, 5000));
    drv::Screenshot("panel_look_dialog");
    // ... and the list has the focus and the look again when it closes.
    drv::PressButton(box, IDOK);
    EXPECT_TRUE(drv::WaitFor([&] { return FocusOf(main) == drv::PanelList(main, 0); }, 5000));
    EXPECT_TRUE(drv::WaitFor([&] { return TitleColor(main, 0) == active; }, 5000));
    EXPECT_EQ(TitleColor(main, 1), inactive);
    EXPECT_TRUE(app.Close());
}

TEST_F(PanelView, ViewKeepsAMarginWhereNoBarLies)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, folder + "," + other);
    ASSERT_TRUE(main != NULL);
    HWND panel = drv::PanelWindow(main, 0);
    HWND view = GetDlgItem(panel, 0xE900);
    ASSERT_TRUE(view != NULL);
    RECT client, v, tool, drives, status;
    GetClientRect(panel, &client);
    v = RectIn(view, panel);
    tool = RectIn(PanelBar(main, 0, ID_TOOLBAR), panel);
    drives = RectIn(PanelBar(main, 0, ID_DRIVEBAR), panel);
    status = RectIn(PanelBar(main, 0, ID_STATUSBAR), panel);
    // Bars above (the toolbar, the drive bar below it) and below; nothing at the sides.
    EXPECT_EQ(v.left, client.left + 2);
    EXPECT_EQ(v.right, client.right - 2);
    EXPECT_EQ(v.top, std::max(tool.bottom, drives.bottom));
    EXPECT_EQ(v.bottom, status.top);
    // Without the status bar the bottom gets its margin too.
    app.Command(ID_PANEL_STATUSBAR);
    EXPECT_FALSE(IsWindowVisible(PanelBar(main, 0, ID_STATUSBAR)));
    v = RectIn(view, panel);
    EXPECT_EQ(v.bottom, client.bottom - 2);
    EXPECT_EQ(v.left, client.left + 2);
    Sleep(200);
    drv::Screenshot("panel_margins", panel);
    app.Command(ID_PANEL_STATUSBAR);
    v = RectIn(view, panel);
    EXPECT_EQ(v.bottom, status.top);
    EXPECT_TRUE(app.Close());
}

TEST_F(PanelView, ListKeepsTheCustomColours)
{
    const COLORREF back = RGB(0xE0, 0xF0, 0xC0), text = RGB(0x80, 0x00, 0x40);
    drv::SetUserDword(kRootKey, "BkgColor", back);
    drv::SetUserDword(kRootKey, "TextColor", text);
    {
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        HWND main = Start(app, folder + "," + other);
        ASSERT_TRUE(main != NULL);
        HWND list = drv::PanelList(main, 0);
        EXPECT_EQ((COLORREF)SendMessageA(list, LVM_GETBKCOLOR, 0, 0), back);
        EXPECT_EQ((COLORREF)SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0), text);
        // Whoever asks the list for other colours gets the custom ones.
        SendMessageA(list, LVM_SETBKCOLOR, 0, RGB(255, 0, 0));
        SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, RGB(255, 0, 0));
        SendMessageA(list, LVM_SETTEXTCOLOR, 0, RGB(0, 0, 255));
        EXPECT_EQ((COLORREF)SendMessageA(list, LVM_GETBKCOLOR, 0, 0), back);
        EXPECT_EQ((COLORREF)SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0), back);
        EXPECT_EQ((COLORREF)SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0), text);
        Sleep(200);
        drv::Screenshot("panel_custom_colours", main);
        EXPECT_TRUE(app.Close());
    }
    // System colours: the requests go through.
    drv::SetUserDword(kRootKey, "BkgColor", 0x0FFFFFFF);
    drv::SetUserDword(kRootKey, "TextColor", 0x0FFFFFFF);
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, folder + "," + other);
    ASSERT_TRUE(main != NULL);
    HWND list = drv::PanelList(main, 0);
    SendMessageA(list, LVM_SETBKCOLOR, 0, RGB(255, 0, 0));
    EXPECT_EQ((COLORREF)SendMessageA(list, LVM_GETBKCOLOR, 0, 0), RGB(255, 0, 0));
    EXPECT_TRUE(app.Close());
}

TEST_F(PanelView, MenuBarWorksWhileTheViewsShareIt)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, folder + "," + other);
    ASSERT_TRUE(main != NULL);
    // Every focus change makes the views lend and take back the frame's popups.
    for (int i = 0; i < 4; i++)
        app.Command(ID_PANEL_NEXT);
    EXPECT_EQ(FocusOf(main), drv::PanelList(main, 0));
    EXPECT_TRUE(GetMenu(main) != NULL);
    Sleep(200);
    drv::Screenshot("menu_bar_shared", main);
    // Alt+A opens "Panel" from the menu bar; its first item, Next, activates panel 2.
    PostMessageA(main, WM_SYSCOMMAND, SC_KEYMENU, 'a');
    HWND popup = NULL;
    ASSERT_TRUE(drv::WaitFor([&] { return (popup = OpenMenu(app.Pid())) != NULL; }, 5000));
    Sleep(200);
    drv::Screenshot("menu_bar_panel_menu");
    PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(drv::WaitFor([&] { return FocusOf(main) == drv::PanelList(main, 1); }, 5000));
    // Items the view adds to the menu bar are its commands: the frame hands them on to the
    // active panel's view (0x7029: large icons).
    app.Command(0x7029);
    EXPECT_TRUE(drv::WaitFor([&] { return ListType(drv::PanelList(main, 1)) == LVS_ICON; }, 5000));
    EXPECT_EQ(ListType(drv::PanelList(main, 0)), (DWORD)LVS_REPORT);
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
}

TEST_F(PanelView, KeysTypedInTheListReachTheList)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, folder + "," + other);
    ASSERT_TRUE(main != NULL);
    HWND list = drv::PanelList(main, 0);
    ASSERT_TRUE(drv::SelectListItem(list, "sub"));
    ASSERT_EQ(SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED), 0);
    // Arrows are no command: they move the list's focus, not anything else's.
    PostMessageA(list, WM_KEYDOWN, VK_DOWN, 0x01500001);
    PostMessageA(list, WM_KEYUP, VK_DOWN, 0xC1500001);
    EXPECT_TRUE(drv::WaitFor([&] { return SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED) == 1; }, 5000));
    PostMessageA(list, WM_KEYDOWN, VK_END, 0x014F0001);
    PostMessageA(list, WM_KEYUP, VK_END, 0xC14F0001);
    EXPECT_TRUE(drv::WaitFor([&] { return SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED) == 3; }, 5000));
    EXPECT_TRUE(drv::WaitFor([&] { return PanelStatus(main, 0) == "1 object(s) selected"; }, 5000));
    EXPECT_TRUE(app.Close());
}

TEST_F(PanelView, GoingUpShowsTheFolderLeftInAFullList)
{
    // Enough folders that the one left lies far below the first screen.
    std::string big = TempFolder("panelview_many");
    char name[32];
    for (int i = 0; i < 300; i++) {
        snprintf(name, sizeof(name), "\\d%03d", i);
        CreateDirectoryA((big + name).c_str(), NULL);
    }
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, big + "\\d250," + other);
    ASSERT_TRUE(main != NULL);
    HWND list = drv::PanelList(main, 0);
    PostMessageA(list, WM_KEYDOWN, VK_BACK, 0x000E0001);
    PostMessageA(list, WM_KEYUP, VK_BACK, 0xC00E0001);
    ASSERT_TRUE(drv::WaitFor([&] { return drv::PanelTitle(main, 0) == big; }, 5000)) << drv::PanelTitle(main, 0);
    list = drv::PanelList(main, 0);
    int index = -1;
    EXPECT_TRUE(drv::WaitFor([&] {
        index = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
        return index >= 0;
    }, 5000));
    EXPECT_EQ(index, ItemIndex(list, "d250"));
    int top = (int)SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
    int page = (int)SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0);
    EXPECT_GT(top, 0);
    EXPECT_GE(index, top);
    EXPECT_LT(index, top + page);
    EXPECT_TRUE(app.Close());
}


// The pixels of a window's client area as the screen shows them.
std::vector<DWORD> ClientPixels(HWND wnd)
{
    RECT r;
    GetClientRect(wnd, &r);
    MapWindowPoints(wnd, NULL, reinterpret_cast<POINT*>(&r), 2);
    return drv::ScreenPixels(r);
}

// Repaints a list of another process completely and waits until it has drawn.
bool Repaint(HWND list)
{
    if (!InvalidateRect(list, NULL, TRUE))
        return false;
    DWORD_PTR r = 0;
    return drv::WaitFor([&] { return !GetUpdateRect(list, NULL, FALSE); }, 5000) &&
           SendMessageTimeoutA(list, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
}

TEST_F(PanelView, RepaintsShowTheIconsTheViewGaveAndRenamedOrNewObjectsAreAskedAnew)
{
    // A folder of its own: what the test renames and makes stays out of the others' way.
    std::string icons = TempFolder("panelview_icons");
    drv::RemoveTree(icons);
    CreateDirectoryA(icons.c_str(), NULL);
    for (const char* name : {"one.txt", "two.txt", "three.log", "tool.txt"})
        ASSERT_TRUE(MakeFile(icons + "\\" + name));
    CreateDirectoryA((icons + "\\sub").c_str(), NULL);
    drv::SetUserDword(kRootKey, "PaneOpts", 0x1D);   // quick rename allowed
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, icons + "," + other);
    ASSERT_TRUE(main != NULL);
    HWND list = drv::PanelList(main, 0);
    ASSERT_TRUE(drv::WaitFor([&] { return ItemIndex(list, "tool.txt") >= 0; }, 5000));
    struct Seen {
        const char* name;
        int image;
    } seen[] = {{"sub", -1}, {"one.txt", -1}, {"two.txt", -1}, {"three.log", -1}, {"tool.txt", -1}};
    for (Seen& s : seen) {
        s.image = ItemImage(list, ItemIndex(list, s.name));
        EXPECT_GE(s.image, 0) << s.name;
    }
    EXPECT_NE(seen[0].image, seen[1].image);   // a folder is not a document
    EXPECT_EQ(seen[1].image, seen[2].image);   // two of one kind
    // Asked again (as every repaint asks), each object keeps its icon.
    for (int round = 0; round < 2; ++round)
        for (const Seen& s : seen)
            EXPECT_EQ(s.image, ItemImage(list, ItemIndex(list, s.name))) << s.name << " round " << round;

    // A full repaint draws the very same picture.
    SetForegroundWindow(main);
    ASSERT_TRUE(Repaint(list));
    std::vector<DWORD> before = ClientPixels(list);
    ASSERT_FALSE(before.empty());
    ASSERT_TRUE(Repaint(list));
    EXPECT_TRUE(before == ClientPixels(list)) << "the list looks different after a repaint";

    // A renamed object and a new folder are asked for anew: the renamed one stays a document,
    // the new folder shows a folder's icon.
    int index = ItemIndex(list, "tool.txt");
    ASSERT_TRUE(drv::SelectListItem(list, "tool.txt"));
    HWND edit = (HWND)SendMessageA(list, LVM_EDITLABELA, index, 0);
    ASSERT_TRUE(edit != NULL);
    SendMessageA(edit, WM_SETTEXT, 0, (LPARAM) "tool.bin");
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC01C0001);
    ASSERT_TRUE(drv::WaitFor([&] { return Exists(icons + "\\tool.bin"); }, 5000));
    ASSERT_TRUE(drv::WaitFor([&] { return ItemIndex(list, "tool.bin") >= 0; }, 5000));
    EXPECT_EQ(seen[1].image, ItemImage(list, ItemIndex(list, "tool.bin")));
    ASSERT_TRUE(app.PostCommand(ID_NEW_FOLDER));
    HWND dlg = drv::WaitForDialog(app.Pid(), "New Folder");
    ASSERT_TRUE(dlg);
    drv::SetItemText(dlg, IDC_NEW_NAME, "made");
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    ASSERT_TRUE(drv::WaitFor([&] { return ItemIndex(list, "made") >= 0; }, 5000));
    EXPECT_EQ(seen[0].image, ItemImage(list, ItemIndex(list, "made")));
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(seen[k].image, ItemImage(list, ItemIndex(list, seen[k].name))) << seen[k].name;
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
    drv::RemoveTree(icons);
}

}  // namespace
