// The Options sheet in the real program: every box of every page edits its bit, the numbers
// are kept in range, Cancel changes nothing, the sheet remembers its page, the hot-key
// monitor follows its page and the drive bars follow the bold-letters box.
#include "driver/Driver.h"
#include "driver/SelectDriver.h"
#include "customize/OptionsRes.h"
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const UINT ID_VIEW_OPTIONS = 38414;
const char kFolderVerb[] = "Software\\Classes\\Directory\\shell\\Open with Panorel\\command";

// One box of a page and the bit it stands for. A radio pair is flipped by clicking the other
// button (off) of the pair.
struct BoxBit {
    int page;
    int id;
    int offId;   // 0: a check box
    const char* value;
    DWORD bit;
    bool inverted;
};

const BoxBit kBoxes[] = {
    {0, IDC_OPT_SPLASH, 0, "Settings", 1u << 30, false},
    {0, IDC_OPT_CONFIRM_EXIT, 0, "Settings", 1u << 20, false},
    {0, IDC_OPT_DESCRIPTIONS, 0, "Settings", 1u << 6, false},
    {0, IDC_OPT_MRVF_CLEAR, 0, "Settings2", 1u << 2, false},
    {0, IDC_OPT_ICONIZE, 0, "Settings", 1u << 22, false},
    {0, IDC_OPT_SHELL_MENU, 0, "Settings3", 1u << 4, true},
    {0, IDC_OPT_SINGLE, 0, "Settings", 1u << 21, false},
    {0, IDC_OPT_FORWARD, 0, "Settings3", 1u << 6, false},
    {1, IDC_OPT_ANIMATE, 0, "Settings", 1u << 5, false},
    {1, IDC_OPT_WAVY, 0, "Settings", 1u << 4, false},
    {1, IDC_OPT_POPOUT, 0, "Settings", 1u << 7, false},
    {1, IDC_OPT_BOLD_DRIVES, 0, "Settings2", 1u << 1, false},
    {1, IDC_OPT_STRONG_EDGES, 0, "Settings", 1u << 16, false},
    {1, IDC_OPT_TREE_ICONS, 0, "Settings", 1u << 31, true},
    {2, IDC_OPT_SHOW_SEL, 0, "PaneOpts", 1u << 0, false},
    {2, IDC_OPT_FULL_PATH, 0, "PaneOpts", 1u << 2, false},
    {2, IDC_OPT_UNC_PATH, 0, "PaneOpts", 1u << 6, false},
    {2, IDC_OPT_EXTRA_BUTTONS, 0, "PaneOpts", 1u << 5, true},
    {2, IDC_OPT_SELECT_NEXT, 0, "PaneOpts", 1u << 3, false},
    {2, IDC_OPT_QUICK_RENAME, 0, "PaneOpts", 1u << 4, false},
    {2, IDC_OPT_ONE_CLICK, 0, "PaneOpts", 1u << 16, false},
    {2, IDC_OPT_TRACK_SEL, 0, "PaneOpts", 1u << 17, false},
    {2, IDC_OPT_FULL_ROW, 0, "PaneOpts", 1u << 18, false},
    {2, IDC_OPT_GRIDLINES, 0, "PaneOpts", 1u << 19, false},
    {2, IDC_OPT_UNDERLINE_HOT, 0, "PaneOpts", 1u << 20, false},
    {2, IDC_OPT_UNDERLINE_COLD, 0, "PaneOpts", 1u << 21, false},
    {2, IDC_OPT_INFOTIPS, 0, "PaneOpts", 1u << 23, false},
    {3, IDC_OPT_QE_MANY, 0, "Settings", 1u << 26, false},
    {3, IDC_OPT_QE_LARGE, 0, "Settings", 1u << 27, false},
    {3, IDC_OPT_QE_EXTERNAL, IDC_OPT_QE_INTERNAL, "Settings", 1u << 23, false},
    {4, IDC_OPT_HK_ON, 0, "HotKeyOpts", 1u << 0, false},
    {4, IDC_OPT_HK_PROMPT, 0, "HotKeyOpts", 1u << 2, false},
    {4, IDC_OPT_HK_OWN, IDC_OPT_HK_WIN_E, "HotKeyOpts", 1u << 1, false},
    {5, IDC_OPT_AUTOCOMPLETE, 0, "Settings2", 1u << 30, false},
    {5, IDC_OPT_JUMP_HISTORY, 0, "Settings2", 1u << 31, false},
    {5, IDC_OPT_DBL_PROMPT, IDC_OPT_DBL_MAXIMIZE, "Settings2", 1u << 3, false},
    {5, IDC_OPT_NC_KEYS, 0, "Settings", 1u << 29, false},
    {5, IDC_OPT_EXPAND_DRIVES, 0, "Settings", 1u << 19, false},
    {5, IDC_OPT_CENTER_DIALOGS, 0, "PaneOpts", 1u << 7, false},
};
const char* const kValues[] = {"Settings", "Settings2", "Settings3", "PaneOpts", "HotKeyOpts"};
// A control of each page, to find the page among the sheet's children.
const int kPageMarks[] = {IDC_OPT_SPLASH, IDC_OPT_ANIMATE, IDC_OPT_SHOW_SEL,
                          IDC_OPT_QE_MANY, IDC_OPT_HK_ON, IDC_OPT_AUTOCOMPLETE};
const char* const kPageNames[] = {"General", "Visual", "Panels", "Quick Edit", "Hot Key", "Misc"};

bool Checked(HWND page, int id)
{
    return SendMessageA(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Sets a box as a click would and tells the page, which updates the enabling.
void SetBox(HWND page, int id, bool on)
{
    HWND box = GetDlgItem(page, id);
    SendMessageA(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)box);
}

class OptionsSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        RemoveRunValue();
        folder = drv::TempFolder("opts");
        drv::RemoveTree(folder);
        CreateDirectoryA(folder.c_str(), NULL);
    }
    void TearDown() override
    {
        app.Kill();
        StopMonitors();
        RemoveRunValue();
        drv::DeleteUserKey("Software\\Classes\\Directory\\shell\\Open with Panorel");
        drv::DeleteUserKey("Software\\Classes\\Drive\\shell\\Open with Panorel");
        drv::RemoveTree(folder);
        drv::ResetProgramSettings();
    }
    static void RemoveRunValue()
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "PANOREL_HOTKEY_QV");
            RegCloseKey(key);
        }
    }
    static void StopMonitors()
    {
        HWND w = NULL;
        while ((w = FindWindowExA(NULL, w, "PanorelHotKeyMonitor", NULL)) != NULL)
            PostThreadMessageA(GetWindowThreadProcessId(w, NULL), WM_QUIT, 0, 0);
        drv::WaitFor([] { return FindWindowA("PanorelHotKeyMonitor", NULL) == NULL; }, 5000);
    }
    HWND Start()
    {
        EXPECT_TRUE(app.Start("panorel.exe", folder + "," + folder));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        return main;
    }
    HWND OpenSheet()
    {
        EXPECT_TRUE(app.PostCommand(ID_VIEW_OPTIONS));
        HWND sheet = drv::WaitForDialog(app.Pid(), "Options");
        EXPECT_TRUE(sheet != NULL);
        return sheet;
    }
    static HWND Page(HWND sheet, int index)
    {
        return drv::ChildDialogWith(sheet, kPageMarks[index]);
    }
    // The index of the page on show.
    static int ShownPage(HWND sheet)
    {
        for (int i = 0; i < 6; ++i) {
            HWND p = Page(sheet, i);
            if (p && IsWindowVisible(p))
                return i;
        }
        return -1;
    }
    void Close(HWND sheet, int button)
    {
        drv::PressButton(sheet, button);
        EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(sheet); }, 10000));
        // The command stores and applies after the sheet has gone: a message the main
        // window answers only once it is back in its loop.
        app.Send(WM_NULL, 0, 0, 30000);
    }
    std::map<std::string, DWORD> Values()
    {
        std::map<std::string, DWORD> v;
        for (const char* name : kValues)
            v[name] = drv::GetUserDword(kRootKey, name, 0xDEADBEEF);
        return v;
    }
    // Flips every enabled box, in table order or in reverse; returns the boxes flipped.
    std::vector<const BoxBit*> FlipAll(HWND sheet, bool reverse)
    {
        std::vector<const BoxBit*> flipped;
        int n = sizeof(kBoxes) / sizeof(kBoxes[0]);
        for (int k = 0; k < n; ++k) {
            const BoxBit& b = kBoxes[reverse ? n - 1 - k : k];
            HWND page = Page(sheet, b.page);
            if (!page || !IsWindowEnabled(GetDlgItem(page, b.id)))
                continue;
            bool on = Checked(page, b.id);
            if (b.offId) {
                SetBox(page, on ? b.id : b.offId, false);
                SetBox(page, on ? b.offId : b.id, true);
            } else {
                SetBox(page, b.id, !on);
            }
            flipped.push_back(&b);
        }
        return flipped;
    }
    // Every flipped box's bit changed and every other bit stayed.
    void ExpectFlipped(const std::map<std::string, DWORD>& before,
                       const std::vector<const BoxBit*>& flipped)
    {
        std::map<std::string, DWORD> expect = before;
        for (const BoxBit* b : flipped)
            expect[b->value] ^= b->bit;
        // The groups are stored after the sheet has gone (the hot key's monitor starts first).
        std::map<std::string, DWORD> now;
        drv::WaitFor([&] { return (now = Values()) == expect; }, 15000);
        for (const char* name : kValues)
            EXPECT_EQ(expect[name], now[name]) << name << std::hex << " before " << before.at(name);
    }

    drv::AppProcess app;
    std::string folder;
};

TEST_F(OptionsSheetTest, EveryBoxOfEveryPageStoresItsBitOnOk)
{
    HWND main = Start();
    ASSERT_TRUE(main);
    HWND sheet = OpenSheet();
    ASSERT_TRUE(sheet);
    // Six tabs named after the pages, in their order.
    HWND tab = GetDlgItem(sheet, IDC_OPT_TAB);
    ASSERT_EQ(6, SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(Page(sheet, i) != NULL) << kPageNames[i];
    // OK without a change stores every group: the reference values.
    Close(sheet, IDOK);
    std::map<std::string, DWORD> before = Values();

    sheet = OpenSheet();
    ASSERT_TRUE(sheet);
    // Boxes the platform cannot serve are shown unchecked and disabled.
    HWND visual = Page(sheet, 1), misc = Page(sheet, 5);
    bool treeIcons = IsWindowEnabled(GetDlgItem(visual, IDC_OPT_TREE_ICONS)) != FALSE;
    bool autoComplete = IsWindowEnabled(GetDlgItem(misc, IDC_OPT_AUTOCOMPLETE)) != FALSE;
    if (!treeIcons) {
        EXPECT_FALSE(Checked(visual, IDC_OPT_TREE_ICONS));
    }
    if (!autoComplete) {
        EXPECT_FALSE(Checked(misc, IDC_OPT_AUTOCOMPLETE));
    }
    // The boxes show the stored bits.
    std::map<std::string, DWORD> stored = Values();
    for (const BoxBit& b : kBoxes) {
        HWND page = Page(sheet, b.page);
        if (!IsWindowEnabled(GetDlgItem(page, b.id)) && (b.id == IDC_OPT_TREE_ICONS || b.id == IDC_OPT_AUTOCOMPLETE))
            continue;
        EXPECT_EQ(((stored[b.value] & b.bit) != 0) != b.inverted, Checked(page, b.id)) << b.id;
    }
    std::vector<const BoxBit*> first = FlipAll(sheet, false);
    // The folder command box writes or removes the shell's entries.
    HWND gen = Page(sheet, 0);
    bool folderCommands = Checked(gen, IDC_OPT_FOLDER_CMD);
    EXPECT_EQ(folderCommands, drv::UserValueExists(kFolderVerb, ""));
    SetBox(gen, IDC_OPT_FOLDER_CMD, !folderCommands);
    Close(sheet, IDOK);
    ExpectFlipped(before, first);
    EXPECT_EQ(!folderCommands, drv::UserValueExists(kFolderVerb, ""));

    // The hot key box on: the Run entry is written and the monitor runs.
    EXPECT_TRUE(drv::UserValueExists(kRunKey, "PANOREL_HOTKEY_QV"));
    EXPECT_TRUE(drv::WaitFor([] { return FindWindowA("PanorelHotKeyMonitor", NULL) != NULL; }, 15000));

    // Back again, in reverse order (so the boxes that depend on others are enabled).
    std::map<std::string, DWORD> middle = Values();
    sheet = OpenSheet();
    ASSERT_TRUE(sheet);
    std::vector<const BoxBit*> second = FlipAll(sheet, true);
    EXPECT_EQ(!folderCommands, Checked(Page(sheet, 0), IDC_OPT_FOLDER_CMD));
    SetBox(Page(sheet, 0), IDC_OPT_FOLDER_CMD, folderCommands);
    Close(sheet, IDOK);
    EXPECT_EQ(folderCommands, drv::UserValueExists(kFolderVerb, ""));
    ExpectFlipped(middle, second);
    EXPECT_FALSE(drv::UserValueExists(kRunKey, "PANOREL_HOTKEY_QV"));
    EXPECT_TRUE(drv::WaitFor([] { return FindWindowA("PanorelHotKeyMonitor", NULL) == NULL; }, 15000));

    // Every box was tried in one of the two rounds.
    for (const BoxBit& b : kBoxes) {
        bool tried = false;
        for (const BoxBit* f : first)
            tried = tried || f == &b;
        for (const BoxBit* f : second)
            tried = tried || f == &b;
        if (b.id == IDC_OPT_TREE_ICONS && !treeIcons)
            continue;
        if (b.id == IDC_OPT_AUTOCOMPLETE && !autoComplete)
            continue;
        EXPECT_TRUE(tried) << "box " << b.id << " never enabled";
    }
}

TEST_F(OptionsSheetTest, CancelChangesNothingAndTheSheetRemembersItsPage)
{
    HWND main = Start();
    ASSERT_TRUE(main);
    HWND sheet = OpenSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(0, ShownPage(sheet));
    Close(sheet, IDOK);
    std::map<std::string, DWORD> before = Values();
    std::string hotKey = std::to_string(drv::GetUserDword(kRootKey, "HotKey", 7));

    sheet = OpenSheet();
    ASSERT_TRUE(sheet);
    FlipAll(sheet, false);
    SetDlgItemTextA(Page(sheet, 0), IDC_OPT_MRVF_SIZE, "55");
    // Ctrl+Page Up on the first page shows the last one.
    ASSERT_TRUE(drv::PressKey(sheet, VK_PRIOR, {VK_CONTROL}));
    EXPECT_TRUE(drv::WaitFor([&] { return ShownPage(sheet) == 5; }, 5000));
    ASSERT_TRUE(drv::PressKey(sheet, VK_NEXT, {VK_CONTROL}));
    EXPECT_TRUE(drv::WaitFor([&] { return ShownPage(sheet) == 0; }, 5000));
    ASSERT_TRUE(drv::PressKey(sheet, VK_TAB, {VK_CONTROL}));
    ASSERT_TRUE(drv::PressKey(sheet, VK_TAB, {VK_CONTROL}));
    EXPECT_TRUE(drv::WaitFor([&] { return ShownPage(sheet) == 2; }, 5000));
    EXPECT_EQ(2, SendMessageA(GetDlgItem(sheet, IDC_OPT_TAB), TCM_GETCURSEL, 0, 0));
    Close(sheet, IDCANCEL);
    std::map<std::string, DWORD> after = Values();
    for (const char* name : kValues)
        EXPECT_EQ(before[name], after[name]) << name;
    EXPECT_EQ(20u, drv::GetUserDword(kRootKey, "MRVF_HistSize", 0));
    EXPECT_FALSE(drv::UserValueExists(kRunKey, "PANOREL_HOTKEY_QV"));

    // Opened again, it shows the page it was closed on.
    sheet = OpenSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(2, ShownPage(sheet));
    Close(sheet, IDOK);
    EXPECT_EQ(2u, drv::GetUserDword(kRootKey, "OptsPage", 0));
}

TEST_F(OptionsSheetTest, NumbersAreKeptInRangeAndAFieldWithoutANumberKeepsThePage)
{
    HWND main = Start();
    ASSERT_TRUE(main);
    HWND sheet = OpenSheet();
    ASSERT_TRUE(sheet);
    HWND gen = Page(sheet, 0), qe = Page(sheet, 3);
    EXPECT_EQ("20", drv::ItemText(gen, IDC_OPT_MRVF_SIZE));
    EXPECT_EQ("1", drv::ItemText(qe, IDC_OPT_QE_MANY_COUNT));
    EXPECT_EQ("32", drv::ItemText(qe, IDC_OPT_QE_LARGE_KB));
    SetDlgItemTextA(gen, IDC_OPT_MRVF_SIZE, "0");
    SetDlgItemTextA(qe, IDC_OPT_QE_MANY_COUNT, "7");
    SetDlgItemTextA(qe, IDC_OPT_QE_LARGE_KB, "4096");
    Close(sheet, IDOK);
    EXPECT_EQ(1u, drv::GetUserDword(kRootKey, "MRVF_HistSize", 0));
    EXPECT_EQ(7u, drv::GetUserDword(kRootKey, "QEConfirmManyFiles", 0));
    EXPECT_EQ(4096u, drv::GetUserDword(kRootKey, "QEConfirmLargeFile", 0));

    sheet = OpenSheet();
    ASSERT_TRUE(sheet);
    SetDlgItemTextA(Page(sheet, 0), IDC_OPT_MRVF_SIZE, "250");
    // Text where a number belongs: the page cannot be left, OK keeps the sheet open.
    SetDlgItemTextA(Page(sheet, 0), IDC_OPT_MRVF_SIZE, "");
    drv::PressButton(sheet, IDOK);
    std::string texts;
    EXPECT_TRUE(drv::AnswerBox(app.Pid(), "Please enter an integer.", IDOK, &texts));
    Sleep(300);
    EXPECT_TRUE(IsWindow(sheet));
    ASSERT_TRUE(drv::PressKey(sheet, VK_NEXT, {VK_CONTROL}));
    EXPECT_TRUE(drv::AnswerBox(app.Pid(), "Please enter an integer.", IDOK, &texts));
    EXPECT_EQ(0, ShownPage(sheet));
    SetDlgItemTextA(Page(sheet, 0), IDC_OPT_MRVF_SIZE, "250");
    Close(sheet, IDOK);
    EXPECT_EQ(100u, drv::GetUserDword(kRootKey, "MRVF_HistSize", 0));
}

TEST_F(OptionsSheetTest, SingleInstanceEnablesForwardingAndTheHotKeyPageItsControls)
{
    HWND main = Start();
    ASSERT_TRUE(main);
    HWND sheet = OpenSheet();
    ASSERT_TRUE(sheet);
    HWND gen = Page(sheet, 0), hk = Page(sheet, 4);
    SetBox(gen, IDC_OPT_SINGLE, true);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(gen, IDC_OPT_FORWARD)));
    SetBox(gen, IDC_OPT_FORWARD, true);
    SetBox(gen, IDC_OPT_SINGLE, false);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(gen, IDC_OPT_FORWARD)));

    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hk, IDC_OPT_HK_WIN_E)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hk, IDC_OPT_HK_KEY)));
    SetBox(hk, IDC_OPT_HK_ON, true);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hk, IDC_OPT_HK_WIN_E)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hk, IDC_OPT_HK_PROMPT)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hk, IDC_OPT_HK_KEY)));
    SetBox(hk, IDC_OPT_HK_WIN_E, false);
    SetBox(hk, IDC_OPT_HK_OWN, true);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hk, IDC_OPT_HK_PROMPT)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hk, IDC_OPT_HK_KEY)));
    // Ctrl+Alt+K in the hot-key control.
    SendMessageA(GetDlgItem(hk, IDC_OPT_HK_KEY), HKM_SETHOTKEY,
                 MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
    Close(sheet, IDOK);
    EXPECT_EQ(0u, drv::GetUserDword(kRootKey, "Settings", 0) & (1u << 21));
    EXPECT_NE(0u, drv::GetUserDword(kRootKey, "Settings3", 0) & (1u << 6));
    EXPECT_EQ(3u, drv::GetUserDword(kRootKey, "HotKeyOpts", 0));
    EXPECT_EQ(MAKELONG('K', HOTKEYF_CONTROL | HOTKEYF_ALT), (LONG)drv::GetUserDword(kRootKey, "HotKey", 0));
    EXPECT_TRUE(drv::UserValueExists(kRunKey, "PANOREL_HOTKEY_QV"));

    // The next sheet shows the key and the state again.
    sheet = OpenSheet();
    ASSERT_TRUE(sheet);
    hk = Page(sheet, 4);
    EXPECT_EQ(MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT),
              (WORD)SendMessageA(GetDlgItem(hk, IDC_OPT_HK_KEY), HKM_GETHOTKEY, 0, 0));
    EXPECT_TRUE(Checked(hk, IDC_OPT_HK_OWN));
    EXPECT_FALSE(Checked(hk, IDC_OPT_HK_WIN_E));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hk, IDC_OPT_HK_KEY)));
    SetBox(hk, IDC_OPT_HK_ON, false);
    Close(sheet, IDOK);
    EXPECT_FALSE(drv::UserValueExists(kRunKey, "PANOREL_HOTKEY_QV"));
}

HWND DriveToolbar(HWND main)
{
    HWND bar = GetDlgItem(main, 59409);
    return bar ? FindWindowExA(bar, NULL, TOOLBARCLASSNAMEA, NULL) : NULL;
}

TEST_F(OptionsSheetTest, BoldDriveLettersRebuildTheDriveBarsAndEveryPageIsShown)
{
    HWND main = Start();
    ASSERT_TRUE(main);
    HWND toolbar = DriveToolbar(main);
    ASSERT_TRUE(toolbar);
    ASSERT_TRUE(drv::WaitFor([&] { return SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0) > 0; }, 10000));
    bool boldBefore = (drv::GetUserDword(kRootKey, "Settings2", 0x04F6B331) & 2) != 0;
    DWORD sizeBefore = (DWORD)SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0);

    HWND sheet = OpenSheet();
    ASSERT_TRUE(sheet);
    // Screenshots of every page, reached by the tabs' keys.
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(drv::WaitFor([&] { return ShownPage(sheet) == i; }, 5000)) << i;
        RedrawWindow(sheet, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(300);
        std::string name = std::string("options_") + std::to_string(i) + "_" + kPageNames[i];
        for (char& c : name)
            if (c == ' ')
                c = '_';
        EXPECT_FALSE(drv::Screenshot(name.c_str(), sheet).empty());
        if (i < 5) {
            ASSERT_TRUE(drv::PressKey(sheet, VK_TAB, {VK_CONTROL}));
        }
    }
    HWND visual = Page(sheet, 1);
    SetBox(visual, IDC_OPT_BOLD_DRIVES, !boldBefore);
    Close(sheet, IDOK);
    EXPECT_EQ(!boldBefore, (drv::GetUserDword(kRootKey, "Settings2", 0) & 2) != 0);
    // The bar was built again with the other weight: its buttons changed their width.
    toolbar = DriveToolbar(main);
    ASSERT_TRUE(toolbar);
    DWORD sizeAfter = (DWORD)SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0);
    if (boldBefore)
        EXPECT_LT(LOWORD(sizeAfter), LOWORD(sizeBefore));
    else
        EXPECT_GT(LOWORD(sizeAfter), LOWORD(sizeBefore));
    EXPECT_GT(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 0);
}

TEST_F(OptionsSheetTest, ThePolicyLocksTheCommand)
{
    drv::SetUserDword("Software\\Policies\\Corvane\\Panorel", "DisableMenuViewOptions", 1);
    HWND main = Start();
    ASSERT_TRUE(main);
    ASSERT_TRUE(app.PostCommand(ID_VIEW_OPTIONS));
    EXPECT_TRUE(drv::AnswerBox(app.Pid(), "restricted", IDOK));
    EXPECT_EQ(NULL, drv::WaitForDialog(app.Pid(), "Options", 1000));
    drv::DeleteUserKey("Software\\Policies\\Corvane\\Panorel");
}

}  // namespace
