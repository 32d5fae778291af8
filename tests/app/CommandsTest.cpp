// The command table of the real program: the menu and its routing, policy locks, the
// function-key layout, System Information and the panels' font and colours.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <set>
#include <string>
#include <vector>
#include "driver/Driver.h"

namespace {
using drv::TempFolder;
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kFrameKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";   // the frame's values
const char kPolicyKey[] = "SOFTWARE\\Policies\\Corvane\\Panorel";
const char kRestricted[] = "This command is restricted by the System Administrator.";
const char kNotYet[] = "This command is not available yet.";
const DWORD kQuietSettings = 0x0C081870;
const DWORD kAltFKeys = 0x20000000;

// Every command of the main menu.
const UINT kMenuCommands[] = {
    38101, 38102, 38103, 38104, 38105, 38106, 38107, 38113, 38108, 38109, 38110, 38114, 38111,
    38112, 57665, 39401, 39402, 39403, 39404, 39405, 39406, 38214, 38215, 38216, 39407, 38210,
    38211, 38212, 38213, 38252, 38254, 38253, 38255, 38256, 38257, 39300, 38205, 32930, 38207,
    38206, 38301, 32801, 38303, 39051, 39052, 39053, 39054, 38304, 38402, 38403, 38404, 38405,
    38406, 38407, 38408, 38409, 38410, 38411, 38412, 38413, 38414, 38401, 38416, 38417, 38415,
    38201, 38603, 38203, 38601, 38602, 38622, 38604, 38605, 38620, 38621, 38501, 38502, 38503,
    32932, 38504, 38505, 32933, 38511, 38512, 38506, 38508, 38507, 38509, 38510, 57667, 32923,
    32804, 38802, 57664};
// Commands whose work belongs to parts of the program still to come: they must say so.
const UINT kPending[] = {38216, 39407, 38210, 38211, 38212, 38213, 38252, 38254, 38253, 38255,
                         38256, 38257, 38205, 32930, 38207, 38206, 38203, 38511, 39300};
// Done since: selecting, New Folder, Set Filter, Copy to Clipboard, Stamp and List.
const UINT kDoneSelect[] = {38216, 39407, 38210, 38211, 38212, 38213, 38252, 38254, 38253, 38255,
                            38256, 38257, 38205, 32930, 38207, 38206, 38203, 38511, 39300};
// Not posted: they end or hide the program, or start programs outside it (help, Control Panel,
// the shell's search, the settings transfer).
const UINT kNotPosted[] = {57665, 38417, 38401, 57667, 38622, 38601, 38604, 38605};

struct MenuItem {
    UINT id;
    std::string text;
    bool popup;
};

void WalkMenu(HMENU menu, std::vector<MenuItem>& items)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        char text[256] = "";
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
        mii.dwTypeData = text;
        mii.cch = sizeof(text);
        if (!GetMenuItemInfoA(menu, i, TRUE, &mii))
            continue;
        items.push_back({mii.wID, text, mii.hSubMenu != NULL});
        if (mii.hSubMenu)
            WalkMenu(mii.hSubMenu, items);
    }
}

bool Contains(const UINT* begin, const UINT* end, UINT id)
{
    return std::find(begin, end, id) != end;
}

// The process's visible top-level windows other than the main window.
std::vector<HWND> Others(const drv::AppProcess& app)
{
    std::vector<HWND> out;
    for (HWND w : drv::TopLevelWindows(app.Pid()))
        if (w != app.MainWindow())
            out.push_back(w);
    return out;
}

// Closes whatever the process shows besides its main window.
void CloseOthers(drv::AppProcess& app)
{
    for (int round = 0; round < 5; round++) {
        std::vector<HWND> others = Others(app);
        if (others.empty())
            return;
        for (HWND w : others)
            if (drv::ClassName(w) == "#32768")
                PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);   // a menu (Drive, Network)
            else if (!drv::PressButton(w, IDCANCEL) && !drv::PressButton(w, IDOK))
                PostMessageA(w, WM_CLOSE, 0, 0);
        Sleep(300);
    }
}

// The program's main menu as its resources hold it. Wine keeps menus per process, so the
// window's own menu cannot be read from here (on Windows GetMenu would do).
HMENU LoadProgramMenu()
{
    HMODULE exe = LoadLibraryExA(drv::ProgramPath("panorel.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    HMENU menu = exe ? LoadMenuA(exe, MAKEINTRESOURCEA(201)) : NULL;
    if (exe)
        FreeLibrary(exe);
    return menu;
}

class Commands : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
    }
    void TearDown() override
    {
        drv::DeleteUserKey(kPolicyKey);
        drv::DeleteUserKey(kProductKey);
    }
    HWND StartAndWait(drv::AppProcess& app, const std::string& args = std::string())
    {
        EXPECT_TRUE(app.Start("panorel.exe", args));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        // The panels are made after the window shows.
        if (main) {
            EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelList(main, 0) != NULL; }, 15000));
        }
        return main;
    }
};

TEST_F(Commands, MenuHoldsEveryCommandAndGroupItems)
{
    drv::AppProcess app;
    HWND main = StartAndWait(app);
    ASSERT_TRUE(main);
    // The window has a menu bar.
    EXPECT_TRUE(GetMenu(main) != NULL);
    HMENU menu = LoadProgramMenu();
    ASSERT_TRUE(menu != NULL);
    std::vector<MenuItem> items;
    WalkMenu(menu, items);
    std::vector<std::string> tops;
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char text[64] = "";
        GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        tops.push_back(text);
    }
    EXPECT_EQ((std::vector<std::string>{"&Folder", "&Command", "&Prompt", "&View", "&Tools",
                                        "P&anel", "&Help"}),
              tops);
    std::set<UINT> ids;
    for (const MenuItem& m : items)
        if (!m.popup)
            ids.insert(m.id);
    for (UINT id : kMenuCommands) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(ids.count(id));
    }
    // The group items carry their identifiers and no text.
    for (UINT id : {1u, 2u, 3u, 4u, 5u, 32897u}) {
        SCOPED_TRACE(id);
        auto it = std::find_if(items.begin(), items.end(), [id](const MenuItem& m) { return m.id == id; });
        ASSERT_TRUE(it != items.end());
        EXPECT_EQ("", it->text);
    }
    // Shortcut texts follow the keys of the normal table.
    auto text = [&](UINT id) {
        for (const MenuItem& m : items)
            if (m.id == id && !m.popup)
                return m.text;
        return std::string();
    };
    EXPECT_EQ("&Copy...\tShift+C", text(39401));
    EXPECT_EQ("&Refresh All\tF5", text(38415));
    EXPECT_EQ("E&xit\tAlt+F4", text(57665));
    DestroyMenu(menu);
    app.Close();
}

TEST_F(Commands, EveryMenuItemIsAnswered)
{
    drv::AppProcess app;
    HWND main = StartAndWait(app);
    ASSERT_TRUE(main);
    std::vector<MenuItem> items;
    HMENU menu = LoadProgramMenu();
    ASSERT_TRUE(menu != NULL);
    WalkMenu(menu, items);
    DestroyMenu(menu);
    int posted = 0;
    for (const MenuItem& m : items) {
        if (m.popup || m.id <= 5 || m.id == 32897 || Contains(std::begin(kNotPosted), std::end(kNotPosted), m.id))
            continue;
        SCOPED_TRACE(m.id);
        SCOPED_TRACE(m.text);
        ASSERT_TRUE(app.PostCommand(m.id));
        posted++;
        bool pending = Contains(std::begin(kPending), std::end(kPending), m.id) &&
                       !Contains(std::begin(kDoneSelect), std::end(kDoneSelect), m.id);
        HWND box = app.WaitForWindowWithText(kNotYet, pending ? 5000 : 700);
        EXPECT_EQ(pending, box != NULL);
        if (box)
            drv::PressButton(box, IDOK);
        CloseOthers(app);
        ASSERT_TRUE(app.Running());
        bool ok = false;
        app.Send(WM_NULL, 0, 0, 10000, &ok);
        ASSERT_TRUE(ok);
    }
    EXPECT_GT(posted, 80);
    // Keys without a menu item reach the table too. (32815, the view-mode menu, is the panel's:
    // tests/panels drives it.) Add to Favorites stores the active folder; Organize opens its dialog.
    ASSERT_TRUE(app.PostCommand(32825));
    EXPECT_TRUE(app.WaitForWindowWithText(kNotYet, 700) == NULL);
    EXPECT_TRUE(drv::WaitFor([] { return drv::GetUserDword(kRootKey, "FavoritesCountEx", 0) == 1; }, 5000));
    ASSERT_TRUE(app.PostCommand(32826));
    EXPECT_TRUE(app.WaitForWindowWithText("Delete &All", 5000) != NULL);
    EXPECT_TRUE(app.FindWindowWithText(kNotYet) == NULL);
    CloseOthers(app);
    app.Close();
}

TEST_F(Commands, LockedDeleteStaysEnabledAndOnlyShowsTheRestriction)
{
    drv::SetUserDword(kPolicyKey, "DisableMenuCommandDelete", 1);
    drv::AppProcess app;
    HWND main = StartAndWait(app);
    ASSERT_TRUE(main);
    // The item stays enabled: the update rule does not look at the policy. (Wine keeps menus per
    // process, so the item's state is not read here; the rule is the file-system test alone.)
    ASSERT_TRUE(app.PostCommand(39404));
    HWND box = app.WaitForWindowWithText(kRestricted, 5000);
    ASSERT_TRUE(box != NULL);
    // Only the restriction: no Delete dialog, no other window.
    std::vector<HWND> others = Others(app);
    EXPECT_EQ(1u, others.size());
    drv::PressButton(box, IDOK);
    EXPECT_TRUE(drv::WaitFor([&] { return Others(app).empty(); }, 3000));
    app.Close();
}

TEST_F(Commands, LockedTableCommandShowsTheRestrictionNotItsWork)
{
    drv::SetUserDword(kPolicyKey, "DisableMenuHelpSystemInfo", 1);
    drv::SetUserDword(kPolicyKey, "DisableMenuToolsImagePreview", 1);
    drv::AppProcess app;
    HWND main = StartAndWait(app);
    ASSERT_TRUE(main);
    for (UINT id : {38802u, 38602u}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(app.PostCommand(id));
        HWND box = app.WaitForWindowWithText(kRestricted, 5000);
        ASSERT_TRUE(box != NULL);
        EXPECT_TRUE(app.FindWindowWithText("System Information") == NULL);
        EXPECT_TRUE(app.FindWindowWithText(kNotYet) == NULL);
        drv::PressButton(box, IDOK);
        CloseOthers(app);
    }
    app.Close();
}

// F5 in a panel: Refresh All shows a file made after the panel was filled; with the
// function-key layout F5 starts Copy instead and the panel is not refreshed.
TEST_F(Commands, F5FollowsTheFunctionKeyLayout)
{
    std::string folder = TempFolder("panorel_cmd_f5");
    for (int layout = 0; layout < 2; layout++) {
        SCOPED_TRACE(layout ? "function-key layout" : "normal layout");
        drv::DeleteUserKey(kProductKey);
        drv::SetUserDword(kRootKey, "Settings", kQuietSettings | (layout ? kAltFKeys : 0));
        drv::TipsOff();
        std::string file = folder + "\\made_later_" + std::to_string(layout) + ".txt";
        DeleteFileA(file.c_str());
        drv::AppProcess app;
        HWND main = StartAndWait(app, "\"" + folder + "\"");
        ASSERT_TRUE(main);
        HWND list = drv::PanelList(main, 0);
        ASSERT_TRUE(list);
        std::string name = "made_later_" + std::to_string(layout) + ".txt";
        auto shown = [&] {
            std::vector<std::string> texts = drv::ListViewTexts(drv::PanelList(main, 0), false);
            for (const std::string& t : texts)
                if (t.find("made_later_" + std::to_string(layout)) == 0)
                    return true;
            return false;
        };
        HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        CloseHandle(h);
        Sleep(1500);
        bool seenBefore = shown();
        if (seenBefore)
            std::printf("note: the view showed the new file without a refresh\n");

        PostMessageA(list, WM_KEYDOWN, VK_F5, 1);
        PostMessageA(list, WM_KEYUP, VK_F5, 0xC0000001);
        if (layout) {
            // Copy answers with its dialog or its message; Refresh All would show nothing.
            bool appeared = drv::WaitFor([&] { return !Others(app).empty(); }, 5000);
            EXPECT_TRUE(appeared);
            if (appeared) {
                std::string texts = drv::AllTexts(Others(app)[0]);
                std::printf("F5 opened: %s\n", texts.substr(0, 120).c_str());
                EXPECT_TRUE(texts.find("Copy") != std::string::npos ||
                            texts.find("Nothing to do") != std::string::npos);
            }
            CloseOthers(app);
            if (!seenBefore) {
                EXPECT_FALSE(shown());
            }
        } else {
            EXPECT_TRUE(drv::WaitFor(shown, 5000));
            Sleep(300);
            EXPECT_TRUE(Others(app).empty());
        }
        app.Close();
        DeleteFileA(file.c_str());
    }
    RemoveDirectoryA(folder.c_str());
}

TEST_F(Commands, SystemInformationShowsTheRealSystem)
{
    drv::AppProcess app;
    HWND main = StartAndWait(app);
    ASSERT_TRUE(main);
    ASSERT_TRUE(app.PostCommand(38802));
    HWND dlg = app.WaitForWindowWithText("System Information", 5000);
    ASSERT_TRUE(dlg != NULL);
    HWND edit = GetDlgItem(dlg, 7550);
    ASSERT_TRUE(edit != NULL);
    std::string text = drv::WindowText(edit);
    char windows[MAX_PATH], system[MAX_PATH], computer[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof(windows));
    GetSystemDirectoryA(system, sizeof(system));
    DWORD len = sizeof(computer);
    GetComputerNameA(computer, &len);
    computer[15] = 0;
    OSVERSIONINFOA os = {};
    os.dwOSVersionInfoSize = sizeof(os);
    GetVersionExA(&os);
    char first[64];
    snprintf(first, sizeof(first), "Windows NT : %d.%d.%d ", (int)os.dwMajorVersion,
             (int)os.dwMinorVersion, (int)os.dwBuildNumber);
    EXPECT_EQ(0u, text.find(first)) << text;
    for (std::string line : {std::string("Shell32.dll : "), std::string("Comctl32.dll : "),
                             std::string("Shlwapi.dll : "), std::string("Physical RAM: "),
                             "Windows folder: " + std::string(windows) + "\r\n",
                             "System folder: " + std::string(system) + "\r\n\r\n",
                             "Computer name: " + std::string(computer) + "\r\n",
                             std::string("User name: ")}) {
        SCOPED_TRACE(line);
        EXPECT_NE(std::string::npos, text.find(line));
    }
    // The order of the lines is fixed.
    EXPECT_LT(text.find("Shell32.dll"), text.find("Comctl32.dll"));
    EXPECT_LT(text.find("Comctl32.dll"), text.find("Shlwapi.dll"));
    EXPECT_LT(text.find("Physical RAM"), text.find("Windows folder"));
    EXPECT_LT(text.find("Computer name"), text.find("User name"));
    // No negative size however large the memory.
    EXPECT_EQ(std::string::npos, text.find("Physical RAM: -"));
    drv::Screenshot("commands_sysinfo", dlg);
    drv::PressButton(dlg, IDOK);
    EXPECT_TRUE(drv::WaitFor([&] { return Others(app).empty(); }, 3000));
    app.Close();
}

TEST_F(Commands, ColorAndFontChoicesAreStored)
{
    drv::AppProcess app;
    HWND main = StartAndWait(app);
    ASSERT_TRUE(main);
    // Text colour: the colour dialog's red, green and blue fields give the colour.
    ASSERT_TRUE(app.PostCommand(38411));
    HWND dlg = drv::WaitFor([&] { return !Others(app).empty(); }, 5000) ? Others(app)[0] : NULL;
    ASSERT_TRUE(dlg != NULL);
    HWND red = GetDlgItem(dlg, 706), green = GetDlgItem(dlg, 707), blue = GetDlgItem(dlg, 708);
    ASSERT_TRUE(red && green && blue);
    SendMessageA(red, WM_SETTEXT, 0, (LPARAM)"10");
    SendMessageA(green, WM_SETTEXT, 0, (LPARAM)"20");
    SendMessageA(blue, WM_SETTEXT, 0, (LPARAM)"30");
    drv::PressButton(dlg, IDOK);
    EXPECT_TRUE(drv::WaitFor([&] { return drv::GetUserDword(kFrameKey, "TextColor", 0) == 0x1E140A; }, 5000))
        << std::hex << drv::GetUserDword(kFrameKey, "TextColor", 0);
    EXPECT_TRUE(drv::UserValueExists(kFrameKey, "CustomColors"));
    // Cancel keeps the colour.
    ASSERT_TRUE(app.PostCommand(38411));
    ASSERT_TRUE(drv::WaitFor([&] { return !Others(app).empty(); }, 5000));
    drv::PressButton(Others(app)[0], IDCANCEL);
    EXPECT_TRUE(drv::WaitFor([&] { return Others(app).empty(); }, 3000));
    EXPECT_EQ(0x1E140Au, drv::GetUserDword(kFrameKey, "TextColor", 0));
    // System brings back the marker value, for text and background alike.
    app.Command(38410);
    EXPECT_EQ(0x0FFFFFFFu, drv::GetUserDword(kFrameKey, "TextColor", 0));
    app.Command(38412);
    EXPECT_EQ(0x0FFFFFFFu, drv::GetUserDword(kFrameKey, "BkgColor", 0));

    // Font: OK in the font dialog keeps a font; System removes it.
    ASSERT_TRUE(app.PostCommand(38409));
    ASSERT_TRUE(drv::WaitFor([&] { return !Others(app).empty(); }, 5000));
    drv::PressButton(Others(app)[0], IDOK);
    EXPECT_TRUE(drv::WaitFor([&] { return drv::UserValueExists(kFrameKey, "Font"); }, 5000));
    app.Command(38408);
    EXPECT_FALSE(drv::UserValueExists(kFrameKey, "Font"));
    app.Close();
}

TEST_F(Commands, WelcomeStepsThroughPagesAndContinuesWhereItLeft)
{
    drv::AppProcess app;
    HWND main = StartAndWait(app);
    ASSERT_TRUE(main);
    ASSERT_TRUE(app.PostCommand(32923));
    HWND dlg = app.WaitForWindowWithText("Introducing Panorel", 5000);
    ASSERT_TRUE(dlg != NULL);
    HWND prev = GetDlgItem(dlg, 1002);
    EXPECT_FALSE(IsWindowEnabled(prev));
    std::string page1 = drv::WindowText(GetDlgItem(dlg, 1001));
    EXPECT_FALSE(page1.empty());
    SendMessageA(dlg, WM_COMMAND, 1003, 0);
    EXPECT_NE(page1, drv::WindowText(GetDlgItem(dlg, 1001)));
    EXPECT_TRUE(IsWindowEnabled(prev));
    std::string page2 = drv::WindowText(GetDlgItem(dlg, 1001));
    drv::PressButton(dlg, IDCANCEL);
    EXPECT_TRUE(drv::WaitFor([&] { return Others(app).empty(); }, 3000));
    EXPECT_EQ(2u, drv::GetUserDword(kRootKey, "LastWelcomeMsg", 0));
    // Opened again it shows the page it was left at; Previous wraps back to the first.
    ASSERT_TRUE(app.PostCommand(32923));
    dlg = app.WaitForWindowWithText("Introducing Panorel", 5000);
    ASSERT_TRUE(dlg != NULL);
    EXPECT_EQ(page2, drv::WindowText(GetDlgItem(dlg, 1001)));
    SendMessageA(dlg, WM_COMMAND, 1002, 0);
    EXPECT_EQ(page1, drv::WindowText(GetDlgItem(dlg, 1001)));
    // Before the first page comes the last one.
    SendMessageA(dlg, WM_COMMAND, 1002, 0);
    EXPECT_NE(page1, drv::WindowText(GetDlgItem(dlg, 1001)));
    EXPECT_NE(page2, drv::WindowText(GetDlgItem(dlg, 1001)));
    drv::PressButton(dlg, IDCANCEL);
    app.Close();
}

}  // namespace
