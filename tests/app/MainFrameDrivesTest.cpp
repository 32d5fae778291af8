// The drive bars, the Drive and Network menus and the network drive commands of the real
// program: buttons against the system's drives, clicks that return to a drive's last folder in
// the active or the passive panel, the bars' menus driven by keyboard, show and reset with
// their policies, the position lock, the bars' saved state and the rebuild when drives change.
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <shlobj.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "driver/Driver.h"
#include "driver/SelectDriver.h"

namespace {
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kPolicyKey[] = "SOFTWARE\\Policies\\Corvane\\Panorel";
const char kRestricted[] = "This command is restricted by the System Administrator.";
const char kNotYet[] = "This command is not available yet.";
enum : UINT {
    ID_MAIN_DRIVEBAR = 59409,
    ID_PANEL_DRIVEBAR_WND = 59430,
    ID_FIRST_DRIVE = 39000,
    ID_FOLDER_DRIVE = 38111,
    ID_FOLDER_NETWORK = 38112,
    ID_VIEW_DRIVEBAR = 38404,
    ID_VIEW_DRIVEBAR_RESET = 38405,
    ID_PANEL_NEXT = 38501,
    ID_TOOLS_MAP_DRIVE = 38620,
    ID_TOOLS_DISCONNECT_DRIVE = 38621,
    ID_PANEL_DRIVEBAR = 32932,
    ID_PANEL_DRIVEBAR_RESET = 32933,
    ID_DRIVE_MENU_PANEL2 = 32808,
    ID_NET_MENU_PANEL1 = 32823,
};

int SystemDrive()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof(windows));
    return windows[0] - 'A';
}

std::string Root(int drive)
{
    return std::string(1, (char)('A' + drive)) + ":\\";
}

bool HasType(int drive)
{
    UINT t = GetDriveTypeA(Root(drive).c_str());
    return t == DRIVE_REMOVABLE || t == DRIVE_FIXED || t == DRIVE_REMOTE || t == DRIVE_CDROM || t == DRIVE_RAMDISK;
}

// The drives that should have buttons, as the system reports them to this process.
std::vector<int> ExpectedDrives()
{
    std::vector<int> out;
    DWORD logical = GetLogicalDrives();
    for (int i = 0; i < 26; i++)
        if ((logical & (1u << i)) && HasType(i))
            out.push_back(i);
    return out;
}

HWND ToolbarOf(HWND bar)
{
    return bar ? FindWindowExA(bar, NULL, TOOLBARCLASSNAMEA, NULL) : NULL;
}
HWND MainBar(HWND main) { return GetDlgItem(main, ID_MAIN_DRIVEBAR); }
HWND PanelBar(HWND main, int panel) { return GetDlgItem(drv::PanelWindow(main, panel), ID_PANEL_DRIVEBAR_WND); }

bool HasButton(HWND tb, int drive)
{
    return SendMessageA(tb, TB_COMMANDTOINDEX, ID_FIRST_DRIVE + drive, 0) >= 0;
}

bool IsChecked(HWND tb, int drive)
{
    return SendMessageA(tb, TB_ISBUTTONCHECKED, ID_FIRST_DRIVE + drive, 0) != 0;
}

// A button's rectangle in the toolbar, read through the program's memory.
bool ButtonRect(HWND tb, int drive, RECT& rc)
{
    int index = (int)SendMessageA(tb, TB_COMMANDTOINDEX, ID_FIRST_DRIVE + drive, 0);
    DWORD pid = 0;
    GetWindowThreadProcessId(tb, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (index < 0 || !process)
        return false;
    void* remote = VirtualAllocEx(process, NULL, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    SIZE_T done = 0;
    bool ok = remote && SendMessageA(tb, TB_GETITEMRECT, index, (LPARAM)remote) &&
              ReadProcessMemory(process, remote, &rc, sizeof(rc), &done) && done == sizeof(rc);
    if (remote)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return ok;
}

// A mouse click on a drive's button, as the toolbar gets it.
bool Click(HWND tb, int drive)
{
    RECT rc;
    if (!ButtonRect(tb, drive, rc))
        return false;
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageA(tb, WM_MOUSEMOVE, 0, at);
    PostMessageA(tb, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(tb, WM_LBUTTONUP, 0, at);
    return true;
}

// The bar's menu over a drive's button (-1: over the bar beside the buttons).
bool OpenBarMenu(HWND tb, int drive)
{
    POINT pt;
    RECT rc;
    if (drive >= 0) {
        if (!ButtonRect(tb, drive, rc))
            return false;
        pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    } else {
        GetClientRect(tb, &rc);
        pt = {rc.right - 3, (rc.top + rc.bottom) / 2};
    }
    ClientToScreen(tb, &pt);
    return PostMessageA(tb, WM_CONTEXTMENU, (WPARAM)tb, MAKELPARAM(pt.x, pt.y)) != 0;
}

HWND WaitForPopup(DWORD pid, DWORD ms = 5000)
{
    HWND popup = NULL;
    drv::WaitFor([&] {
        for (HWND w : drv::TopLevelWindows(pid))
            if (drv::ClassName(w) == "#32768")
                popup = w;
        return popup != NULL;
    }, ms);
    return popup;
}

bool NoPopup(DWORD pid)
{
    return drv::WaitFor([&] {
        for (HWND w : drv::TopLevelWindows(pid))
            if (drv::ClassName(w) == "#32768")
                return false;
        return true;
    }, 3000);
}

// Keys for an open menu (menus of another process cannot be read under Wine).
void Keys(HWND popup, std::initializer_list<UINT> keys)
{
    for (UINT k : keys) {
        PostMessageA(popup, WM_KEYDOWN, k, 0);
        PostMessageA(popup, WM_KEYUP, k, 0xC0000001);
    }
}

// The panel whose view has the keyboard focus: the active one.
int ActivePanel(HWND main)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, NULL), &info) || !info.hwndFocus)
        return -1;
    for (int i = 0; i < 2; i++)
        if (IsChild(drv::PanelWindow(main, i), info.hwndFocus))
            return i;
    return -1;
}

bool TitleIs(HWND main, int panel, const std::string& text)
{
    return drv::WaitFor([&] { return drv::PanelTitle(main, panel) == text; }, 5000);
}

class Drives : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        c = SystemDrive();
        // A second drive for the other panel (Wine maps Z: to the Unix root).
        for (int d : ExpectedDrives())
            if (d != c)
                other = d;
        base = Root(c) + "panorel_drives";
        deep = base + "\\deep";
        CreateDirectoryA(base.c_str(), NULL);
        CreateDirectoryA(deep.c_str(), NULL);
    }
    void TearDown() override
    {
        drv::DeleteUserKey(kPolicyKey);
        drv::DeleteUserKey(kProductKey);
        RemoveDirectoryA(deep.c_str());
        RemoveDirectoryA(base.c_str());
    }
    HWND Start(drv::AppProcess& app, const std::string& args)
    {
        EXPECT_TRUE(app.Start("panorel.exe", args));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelList(main, 0) && drv::PanelList(main, 1); }, 15000));
        return main;
    }
    // Panel 1 two levels below the root of the system drive, panel 2 on the other drive.
    HWND StartApart(drv::AppProcess& app)
    {
        HWND main = Start(app, "\"" + deep + "\",\"" + Root(other) + "\"");
        EXPECT_TRUE(TitleIs(main, 0, deep));
        EXPECT_TRUE(TitleIs(main, 1, Root(other)));
        return main;
    }
    int c = -1, other = -1;
    std::string base, deep;
};

TEST_F(Drives, ButtonsMatchTheDrivesAndShowTheirPanelsDrives)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, "\"" + deep + "\"," + (other >= 0 ? "\"" + Root(other) + "\"" : "\"" + deep + "\""));
    ASSERT_TRUE(main);
    std::vector<int> expected = ExpectedDrives();
    HWND bars[3] = {ToolbarOf(MainBar(main)), ToolbarOf(PanelBar(main, 0)), ToolbarOf(PanelBar(main, 1))};
    const char* names[3] = {"main", "panel 1", "panel 2"};
    for (int b = 0; b < 3; b++) {
        SCOPED_TRACE(names[b]);
        ASSERT_TRUE(bars[b] != NULL);
        EXPECT_TRUE(IsWindowVisible(bars[b]));
        EXPECT_EQ((LRESULT)expected.size(), SendMessageA(bars[b], TB_BUTTONCOUNT, 0, 0));
        for (int d = 0; d < 26; d++) {
            SCOPED_TRACE(d);
            EXPECT_EQ(std::find(expected.begin(), expected.end(), d) != expected.end(), HasButton(bars[b], d));
        }
    }
    // The main bar checks the active panel's drive, each panel's bar its own.
    Sleep(300);
    EXPECT_TRUE(drv::WaitFor([&] { return IsChecked(bars[0], c); }, 3000));
    EXPECT_TRUE(IsChecked(bars[1], c));
    if (other >= 0) {
        EXPECT_TRUE(IsChecked(bars[2], other));
        EXPECT_FALSE(IsChecked(bars[2], c));
        app.Command(ID_PANEL_NEXT);
        EXPECT_TRUE(drv::WaitFor([&] { return IsChecked(bars[0], other) && !IsChecked(bars[0], c); }, 3000));
        EXPECT_TRUE(IsChecked(bars[1], c));
    }
    // The bars sit at the top: the main one below the toolbar, the panel's below its toolbar.
    RECT tool, drive;
    GetWindowRect(GetDlgItem(main, 59392), &tool);
    GetWindowRect(MainBar(main), &drive);
    EXPECT_EQ(tool.bottom, drive.top);
    RECT panelTool, panelDrive;
    GetWindowRect(GetDlgItem(drv::PanelWindow(main, 0), 59425), &panelTool);
    GetWindowRect(PanelBar(main, 0), &panelDrive);
    EXPECT_EQ(panelTool.bottom, panelDrive.top);
    drv::Screenshot("drivebars", main);
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
}

TEST_F(Drives, AClickGoesToTheDrivesLastFolderAndTheRootVariantToItsRoot)
{
    if (other < 0)
        GTEST_SKIP() << "one drive only";
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = StartApart(app);
    ASSERT_TRUE(main);
    HWND tb = ToolbarOf(MainBar(main));
    // The other panel takes the system drive's button: it opens the folder panel 1 showed.
    app.Command(ID_PANEL_NEXT);
    ASSERT_TRUE(drv::WaitFor([&] { return ActivePanel(main) == 1; }, 3000));
    ASSERT_TRUE(Click(tb, c));
    EXPECT_TRUE(TitleIs(main, 1, deep)) << drv::PanelTitle(main, 1);
    EXPECT_EQ(deep, drv::PanelTitle(main, 0));
    // Back to the other drive: its last folder is its root.
    ASSERT_TRUE(Click(tb, other));
    EXPECT_TRUE(TitleIs(main, 1, Root(other))) << drv::PanelTitle(main, 1);
    // The bar's menu over the button: the target (default), the root, the passive panel's
    // entries. The first entry goes to the last folder.
    ASSERT_TRUE(OpenBarMenu(tb, c));
    HWND popup = WaitForPopup(app.Pid());
    ASSERT_TRUE(popup != NULL);
    drv::Screenshot("drivebar_menu");
    Keys(popup, {VK_DOWN, VK_RETURN});
    EXPECT_TRUE(TitleIs(main, 1, deep)) << drv::PanelTitle(main, 1);
    ASSERT_TRUE(Click(tb, other));
    EXPECT_TRUE(TitleIs(main, 1, Root(other))) << drv::PanelTitle(main, 1);
    // The second entry goes to the root, which then is the drive's last folder.
    ASSERT_TRUE(OpenBarMenu(tb, c));
    popup = WaitForPopup(app.Pid());
    ASSERT_TRUE(popup != NULL);
    Keys(popup, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(TitleIs(main, 1, Root(c))) << drv::PanelTitle(main, 1);
    EXPECT_EQ(1, ActivePanel(main));
    ASSERT_TRUE(Click(tb, other));
    EXPECT_TRUE(TitleIs(main, 1, Root(other))) << drv::PanelTitle(main, 1);
    ASSERT_TRUE(Click(tb, c));
    EXPECT_TRUE(TitleIs(main, 1, Root(c))) << drv::PanelTitle(main, 1);
    EXPECT_EQ(deep, drv::PanelTitle(main, 0));
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
}

TEST_F(Drives, ThePassivePanelMovesAndTheActivePanelStaysActive)
{
    if (other < 0)
        GTEST_SKIP() << "one drive only";
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = StartApart(app);
    ASSERT_TRUE(main);
    HWND tb = ToolbarOf(MainBar(main));
    ASSERT_TRUE(drv::WaitFor([&] { return ActivePanel(main) == 0; }, 3000));
    // "Passive Panel" and its first entry: the drive's target in the passive panel.
    ASSERT_TRUE(OpenBarMenu(tb, c));
    HWND popup = WaitForPopup(app.Pid());
    ASSERT_TRUE(popup != NULL);
    Keys(popup, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
    EXPECT_TRUE(TitleIs(main, 1, deep)) << drv::PanelTitle(main, 1);
    EXPECT_TRUE(drv::WaitFor([&] { return ActivePanel(main) == 0; }, 3000));
    EXPECT_EQ(deep, drv::PanelTitle(main, 0));
    // Its second entry: the root, still in the passive panel.
    ASSERT_TRUE(OpenBarMenu(tb, c));
    popup = WaitForPopup(app.Pid());
    ASSERT_TRUE(popup != NULL);
    Keys(popup, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(TitleIs(main, 1, Root(c))) << drv::PanelTitle(main, 1);
    EXPECT_TRUE(drv::WaitFor([&] { return ActivePanel(main) == 0; }, 3000));

    // Shift held while a button is clicked, through the keyboard's own state: the passive
    // panel goes to the other drive's last folder, its root.
    ASSERT_TRUE(drv::HoldKey(main, VK_SHIFT));
    Click(tb, other);
    Sleep(300);
    drv::ReleaseKey(VK_SHIFT);
    EXPECT_TRUE(TitleIs(main, 1, Root(other))) << drv::PanelTitle(main, 1);
    EXPECT_EQ(deep, drv::PanelTitle(main, 0));
    EXPECT_TRUE(app.Close());
    EXPECT_EQ(0u, drv::GetUserDword(kRootKey, "Frame", 0) & 0x4);   // panel 1 stayed active
    EXPECT_TRUE(watcher.Answered().empty());
}

TEST_F(Drives, APanelsOwnBarRemembersThatPanelsFoldersOnly)
{
    if (other < 0)
        GTEST_SKIP() << "one drive only";
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = StartApart(app);
    ASSERT_TRUE(main);
    // Panel 2 never showed the system drive: its own bar goes to the root, and the click
    // makes panel 2 the active panel.
    ASSERT_TRUE(Click(ToolbarOf(PanelBar(main, 1)), c));
    EXPECT_TRUE(TitleIs(main, 1, Root(c))) << drv::PanelTitle(main, 1);
    EXPECT_TRUE(drv::WaitFor([&] { return ActivePanel(main) == 1; }, 3000));
    EXPECT_EQ(deep, drv::PanelTitle(main, 0));
    // Panel 1's own bar knows its folder.
    ASSERT_TRUE(Click(ToolbarOf(PanelBar(main, 0)), other));
    EXPECT_TRUE(TitleIs(main, 0, Root(other))) << drv::PanelTitle(main, 0);
    ASSERT_TRUE(Click(ToolbarOf(PanelBar(main, 0)), c));
    EXPECT_TRUE(TitleIs(main, 0, deep)) << drv::PanelTitle(main, 0);
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
}

TEST_F(Drives, LastFoldersSurviveARestartAndAResetAndVanishedOnesFallBack)
{
    if (other < 0)
        GTEST_SKIP() << "one drive only";
    {
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        HWND main = StartApart(app);
        ASSERT_TRUE(main);
        EXPECT_TRUE(app.Close());
    }
    // Stored under "DriveBar" by the drive's letter, as the list's bytes.
    std::string key = std::string(kRootKey) + "\\DriveBar";
    HKEY k;
    ASSERT_EQ(0, RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k));
    BYTE bytes[4096];
    DWORD size = sizeof(bytes), type = 0;
    char name[2] = {(char)('A' + c), 0};
    ASSERT_EQ(0, RegQueryValueExA(k, name, NULL, &type, bytes, &size));
    RegCloseKey(k);
    EXPECT_EQ((DWORD)REG_BINARY, type);
    char path[MAX_PATH] = "";
    ASSERT_TRUE(SHGetPathFromIDListA((const ITEMIDLIST*)bytes, path));
    EXPECT_EQ(deep, path);

    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, "\"" + Root(other) + "\",\"" + Root(other) + "\"");
    ASSERT_TRUE(main);
    HWND tb = ToolbarOf(MainBar(main));
    ASSERT_TRUE(Click(tb, c));
    EXPECT_TRUE(TitleIs(main, 0, deep)) << drv::PanelTitle(main, 0);
    ASSERT_TRUE(Click(tb, other));
    EXPECT_TRUE(TitleIs(main, 0, Root(other))) << drv::PanelTitle(main, 0);
    // A reset keeps the folders of drives that still exist.
    app.Command(ID_VIEW_DRIVEBAR_RESET);
    EXPECT_EQ((LRESULT)ExpectedDrives().size(), SendMessageA(tb, TB_BUTTONCOUNT, 0, 0));
    ASSERT_TRUE(Click(tb, c));
    EXPECT_TRUE(TitleIs(main, 0, deep)) << drv::PanelTitle(main, 0);
    ASSERT_TRUE(Click(tb, other));
    EXPECT_TRUE(TitleIs(main, 0, Root(other)));
    // A folder that has vanished gives the drive's root.
    RemoveDirectoryA(deep.c_str());
    ASSERT_TRUE(Click(tb, c));
    EXPECT_TRUE(TitleIs(main, 0, Root(c))) << drv::PanelTitle(main, 0);
    CreateDirectoryA(deep.c_str(), NULL);
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
}

TEST_F(Drives, ShowAndResetKeepTheirPoliciesAndTheBarsStateIsSaved)
{
    {
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        watcher.Allow(kRestricted);
        HWND main = Start(app, "\"" + deep + "\",\"" + deep + "\"");
        ASSERT_TRUE(main);
        HWND bar = MainBar(main), panelBar = PanelBar(main, 0);
        ASSERT_TRUE(bar && panelBar);
        app.Command(ID_VIEW_DRIVEBAR);
        EXPECT_FALSE(IsWindowVisible(bar));
        app.Command(ID_VIEW_DRIVEBAR);
        EXPECT_TRUE(IsWindowVisible(bar));
        app.Command(ID_PANEL_DRIVEBAR);   // the active panel's bar
        EXPECT_FALSE(IsWindowVisible(panelBar));
        EXPECT_TRUE(IsWindowVisible(PanelBar(main, 1)));
        // Locked: each command only shows the restriction.
        drv::SetUserDword(kPolicyKey, "DisableMenuViewDrivebarShow", 1);
        drv::SetUserDword(kPolicyKey, "DisableMenuViewDrivebarReset", 1);
        for (UINT id : {ID_VIEW_DRIVEBAR, ID_PANEL_DRIVEBAR, ID_VIEW_DRIVEBAR_RESET, ID_PANEL_DRIVEBAR_RESET}) {
            SCOPED_TRACE(id);
            ASSERT_TRUE(app.PostCommand(id));
            HWND box = app.WaitForWindowWithText(kRestricted, 5000);
            ASSERT_TRUE(box != NULL);
            drv::PressButton(box, IDOK);
            EXPECT_TRUE(drv::WaitFor([&] { return app.FindWindowWithText(kRestricted) == NULL; }, 3000));
        }
        EXPECT_TRUE(IsWindowVisible(bar));
        EXPECT_FALSE(IsWindowVisible(panelBar));
        drv::DeleteUserKey(kPolicyKey);
        app.Command(ID_VIEW_DRIVEBAR);
        EXPECT_FALSE(IsWindowVisible(bar));
        EXPECT_TRUE(app.Close());
    }
    // Both hidden bars stay hidden at the next start.
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, "\"" + deep + "\",\"" + deep + "\"");
    ASSERT_TRUE(main);
    EXPECT_FALSE(IsWindowVisible(MainBar(main)));
    EXPECT_FALSE(IsWindowVisible(PanelBar(main, 0)));
    EXPECT_TRUE(IsWindowVisible(PanelBar(main, 1)));
    // The bar's own menu toggles its frame's bars: "Dri&ve bar" hides the bar itself.
    ASSERT_TRUE(OpenBarMenu(ToolbarOf(PanelBar(main, 1)), -1));
    HWND popup = WaitForPopup(app.Pid());
    ASSERT_TRUE(popup != NULL);
    Keys(popup, {'V'});
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindowVisible(PanelBar(main, 1)); }, 3000));
    app.Command(ID_VIEW_DRIVEBAR);
    EXPECT_TRUE(IsWindowVisible(MainBar(main)));
    ASSERT_TRUE(OpenBarMenu(ToolbarOf(MainBar(main)), -1));
    popup = WaitForPopup(app.Pid());
    ASSERT_TRUE(popup != NULL);
    Keys(popup, {'V'});
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindowVisible(MainBar(main)); }, 3000));
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
}

TEST_F(Drives, TheLockKeepsTheMainDriveBarInPlace)
{
    for (int locked = 1; locked >= 0; locked--) {
        SCOPED_TRACE(locked ? "locked" : "free");
        drv::ResetProgramSettings();
        if (locked)
            drv::SetUserDword(kPolicyKey, "LockPositionMainDrivebar", 1);
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        HWND main = Start(app, "\"" + deep + "\",\"" + deep + "\"");
        ASSERT_TRUE(main);
        Sleep(300);
        HWND bar = MainBar(main);
        RECT before;
        GetWindowRect(bar, &before);
        // Drag the gripper to the left edge of the window.
        RECT client;
        GetClientRect(main, &client);
        POINT drop = {client.left + 4, (client.top + client.bottom) / 2};
        ClientToScreen(main, &drop);
        SetCursorPos(drop.x, drop.y);
        PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 5));
        PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(3, 5));
        Sleep(500);
        bool ok = false;
        app.Send(WM_NULL, 0, 0, 5000, &ok);
        RECT after;
        GetWindowRect(bar, &after);
        if (locked) {
            EXPECT_TRUE(EqualRect(&before, &after));
        } else {
            EXPECT_GT(after.bottom - after.top, after.right - after.left);   // docked on the left
            EXPECT_LE(after.left - before.left, 2);
        }
        EXPECT_TRUE(app.Close());
        drv::DeleteUserKey(kPolicyKey);
    }
}

TEST_F(Drives, DriveMenusChooseByTheLetterForThePanelThatAsked)
{
    if (other < 0)
        GTEST_SKIP() << "one drive only";
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = StartApart(app);
    ASSERT_TRUE(main);
    ASSERT_TRUE(drv::WaitFor([&] { return ActivePanel(main) == 0; }, 3000));
    // Folder - Drive for the active panel: the letter chooses the drive.
    ASSERT_TRUE(app.PostCommand(ID_FOLDER_DRIVE));
    HWND popup = WaitForPopup(app.Pid());
    ASSERT_TRUE(popup != NULL);
    drv::Screenshot("drive_menu");
    Keys(popup, {(UINT)('A' + other)});
    EXPECT_TRUE(TitleIs(main, 0, Root(other))) << drv::PanelTitle(main, 0);
    // Escape leaves everything as it was.
    ASSERT_TRUE(app.PostCommand(ID_FOLDER_DRIVE));
    popup = WaitForPopup(app.Pid());
    ASSERT_TRUE(popup != NULL);
    Keys(popup, {VK_ESCAPE});
    EXPECT_TRUE(NoPopup(app.Pid()));
    EXPECT_EQ(Root(other), drv::PanelTitle(main, 0));
    // Alt+F2: the drive menu of panel 2, which becomes active and goes to the system drive's
    // last folder.
    ASSERT_TRUE(app.PostCommand(ID_DRIVE_MENU_PANEL2));
    popup = WaitForPopup(app.Pid());
    ASSERT_TRUE(popup != NULL);
    Keys(popup, {(UINT)('A' + c)});
    EXPECT_TRUE(TitleIs(main, 1, deep)) << drv::PanelTitle(main, 1);
    EXPECT_TRUE(drv::WaitFor([&] { return ActivePanel(main) == 1; }, 3000));
    // Locked: the restriction, no menu.
    drv::SetUserDword(kPolicyKey, "DisableMenuFolderDrive", 1);
    watcher.Allow(kRestricted);
    ASSERT_TRUE(app.PostCommand(ID_FOLDER_DRIVE));
    HWND box = app.WaitForWindowWithText(kRestricted, 5000);
    ASSERT_TRUE(box != NULL);
    drv::PressButton(box, IDOK);
    EXPECT_TRUE(NoPopup(app.Pid()));
    EXPECT_TRUE(app.Close());
    EXPECT_EQ(0x4u, drv::GetUserDword(kRootKey, "Frame", 0) & 0x4);   // panel 2 active at exit
}

TEST_F(Drives, TheNetworkMenuOpensAndChangesNothingWithoutAChoice)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, "\"" + deep + "\",\"" + deep + "\"");
    ASSERT_TRUE(main);
    for (UINT id : {ID_FOLDER_NETWORK, ID_NET_MENU_PANEL1}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(app.PostCommand(id));
        HWND popup = WaitForPopup(app.Pid());
        ASSERT_TRUE(popup != NULL);
        // Wine's neighbourhood is empty: a greyed "Empty" item that Enter cannot choose.
        Keys(popup, {VK_DOWN, VK_RETURN});
        Sleep(300);
        Keys(popup, {VK_ESCAPE});
        EXPECT_TRUE(NoPopup(app.Pid()));
        EXPECT_EQ(deep, drv::PanelTitle(main, 0));
        EXPECT_EQ(deep, drv::PanelTitle(main, 1));
    }
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
}

TEST_F(Drives, NetworkDriveDialogsReportTheSystemsAnswer)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, "\"" + deep + "\",\"" + deep + "\"");
    ASSERT_TRUE(main);
    // Wine has neither dialog: both calls answer ERROR_NO_NETWORK, shown with the system's
    // text (Windows shows its dialogs here).
    char expected[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, ERROR_NO_NETWORK, 0,
                   expected, sizeof(expected), NULL);
    std::string text = expected;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    watcher.Allow(text.c_str());
    for (UINT id : {ID_TOOLS_MAP_DRIVE, ID_TOOLS_DISCONNECT_DRIVE}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(app.PostCommand(id));
        HWND box = app.WaitForWindowWithText(text.c_str(), 5000);
        ASSERT_TRUE(box != NULL) << text;
        EXPECT_TRUE(app.FindWindowWithText(kNotYet) == NULL);
        drv::PressButton(box, IDOK);
        EXPECT_TRUE(drv::WaitFor([&] { return app.FindWindowWithText(text.c_str()) == NULL; }, 3000));
    }
    // Locked: the restriction instead.
    drv::SetUserDword(kPolicyKey, "DisableMenuToolsMapNetworkDrive", 1);
    watcher.Allow(kRestricted);
    ASSERT_TRUE(app.PostCommand(ID_TOOLS_MAP_DRIVE));
    HWND box = app.WaitForWindowWithText(kRestricted, 5000);
    ASSERT_TRUE(box != NULL);
    EXPECT_TRUE(app.FindWindowWithText(text.c_str()) == NULL);
    drv::PressButton(box, IDOK);
    EXPECT_TRUE(app.Close());
}

// Under Wine a drive letter is a link in the prefix's "dosdevices" folder, which a Unix program
// started from here makes and removes, and a DOS device name, which makes the system list the
// letter among its drives. (On Windows the test has no such means.)
class NewDrive {
public:
    NewDrive(int drive, const std::string& target) : m_drive(drive)
    {
        typedef char* (CDECL * UnixName)(const WCHAR*);
        UnixName unixName =
            (UnixName)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
        char prefix[MAX_PATH] = "";
        if (!unixName || !GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof(prefix)))
            return;
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, target.c_str(), -1, wide, MAX_PATH);
        char* unixTarget = unixName(wide);
        if (!unixTarget)
            return;
        m_link = std::string(prefix) + "/dosdevices/" + (char)('a' + drive) + ":";
        m_ok = Run("/bin/ln -sfn '" + std::string(unixTarget) + "' '" + m_link + "'");
        HeapFree(GetProcessHeap(), 0, unixTarget);
        m_defined = m_ok && DefineDosDeviceA(0, Name().c_str(), target.c_str());
    }
    ~NewDrive() { Remove(); }
    bool Ok() const { return m_ok; }
    void Remove()
    {
        if (m_defined)
            DefineDosDeviceA(DDD_REMOVE_DEFINITION, Name().c_str(), NULL);
        if (m_ok)
            Run("/bin/rm -f '" + m_link + "'");
        m_ok = m_defined = false;
    }

private:
    std::string Name() const { return std::string(1, (char)('A' + m_drive)) + ":"; }
    static bool Run(const std::string& command)
    {
        std::string line = "/bin/sh -c \"" + command + "\"";
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        std::vector<char> buf(line.begin(), line.end());
        buf.push_back(0);
        if (!CreateProcessA("Z:\\bin\\sh", buf.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
            return false;
        // Wine gives no handles for a Unix process (and leaves garbage in hThread): closing
        // them would close some other handle of this process. The caller waits for the effect.
        if (pi.hProcess) {
            WaitForSingleObject(pi.hProcess, 5000);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
        return true;
    }
    int m_drive;
    std::string m_link;
    bool m_ok = false, m_defined = false;
};

TEST_F(Drives, ADeviceChangeRebuildsTheBarsForDrivesThatCameOrWent)
{
    int free = -1;
    DWORD logical = GetLogicalDrives();
    for (int d = 12; d < 25 && free < 0; d++)   // from M: on, clear of floppies and system drives
        if (!(logical & (1u << d)) && GetDriveTypeA(Root(d).c_str()) == DRIVE_NO_ROOT_DIR)
            free = d;
    if (free < 0)
        GTEST_SKIP() << "no free drive letter";
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, "\"" + deep + "\",\"" + deep + "\"");
    ASSERT_TRUE(main);
    HWND bars[3] = {ToolbarOf(MainBar(main)), ToolbarOf(PanelBar(main, 0)), ToolbarOf(PanelBar(main, 1))};
    NewDrive drive(free, base);
    if (!drive.Ok() || !drv::WaitFor([&] { return HasType(free) && (GetLogicalDrives() & (1u << free)); }, 3000)) {
        app.Close();
        GTEST_SKIP() << "cannot add a drive letter here";
    }
    DWORD_PTR result = 0;
    // Events that change no drive leave the bars alone.
    SendMessageTimeoutA(main, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0, SMTO_BLOCK, 5000, &result);
    EXPECT_FALSE(HasButton(bars[0], free));
    // An arrival rebuilds every bar.
    ASSERT_TRUE(SendMessageTimeoutA(main, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0, SMTO_BLOCK, 5000, &result));
    for (HWND tb : bars)
        EXPECT_TRUE(HasButton(tb, free));
    drv::Screenshot("drivebars_new_drive", main);
    // Clicking the new drive shows its root, which is the folder the link names.
    ASSERT_TRUE(Click(bars[0], free));
    EXPECT_TRUE(TitleIs(main, 0, Root(free))) << drv::PanelTitle(main, 0);
    ASSERT_TRUE(Click(bars[0], c));
    EXPECT_TRUE(TitleIs(main, 0, deep));
    // A removal takes the button away.
    drive.Remove();
    EXPECT_TRUE(drv::WaitFor([&] { return !HasType(free); }, 3000));
    ASSERT_TRUE(SendMessageTimeoutA(main, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0, SMTO_BLOCK, 5000, &result));
    for (HWND tb : bars)
        EXPECT_FALSE(HasButton(tb, free));
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
}

TEST_F(Drives, DriveCommandsWithoutAButtonOrVariantsAloneDoNothing)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, "\"" + deep + "\",\"" + deep + "\"");
    ASSERT_TRUE(main);
    // A letter without a drive, the reserved end of the range, and the menu variants posted
    // on their own.
    int none = -1;
    for (int d = 25; d >= 0 && none < 0; d--)
        if (!(GetLogicalDrives() & (1u << d)))
            none = d;
    std::vector<UINT> ids = {39026u, 39030u, 39061u, 39062u, 39063u};
    if (none >= 0)
        ids.push_back(ID_FIRST_DRIVE + none);
    for (UINT id : ids) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(app.PostCommand(id));
        bool ok = false;
        app.Send(WM_NULL, 0, 0, 5000, &ok);
        ASSERT_TRUE(ok);
        Sleep(200);
        EXPECT_EQ(deep, drv::PanelTitle(main, 0));
        EXPECT_TRUE(app.FindWindowWithText(kNotYet) == NULL);
    }
    // A drive that exists goes, posted to the main window as a key would.
    ASSERT_TRUE(app.PostCommand(ID_FIRST_DRIVE + c));
    Sleep(300);
    EXPECT_EQ(deep, drv::PanelTitle(main, 0));   // its last folder is where the panel is
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
}

}  // namespace
