// Selecting, New Folder, the panel filter and Copy to Clipboard in the real program: the
// panel's list, the dialogs, the folders on disk, the registry and the clipboard.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include <stdio.h>
#include <string>
#include <vector>
#include "driver/Driver.h"
#include "driver/SelectDriver.h"

namespace {
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kPolicyKey[] = "SOFTWARE\\Policies\\Corvane\\Panorel";
enum : UINT {
    ID_SELECT = 38205, ID_DESELECT_ALL = 38206, ID_SELECT_ALL = 38207, ID_INVERT = 32930,
    ID_NEW_FOLDER = 38203, ID_SET_FILTER = 38511, ID_REMOVE_FILTER = 38512,
    ID_CLIP_NAME = 38210, ID_CLIP_PATH = 38211, ID_CLIP_NAME_ALIAS = 38212, ID_CLIP_PATH_ALIAS = 38213,
    ID_CLIP_SHORT_CREATED = 38252, ID_CLIP_SHORT_ACCESSED = 38253, ID_CLIP_SHORT_MODIFIED = 38254,
    ID_CLIP_LONG_CREATED = 38255, ID_CLIP_LONG_MODIFIED = 38256, ID_CLIP_LONG_ACCESSED = 38257,
    ID_CLIP_COLUMN = 39300
};
enum : int {
    IDC_MASK = 1066, IDC_FILES = 1207, IDC_FOLDERS = 1206, IDC_DESELECT = 1064, IDC_ALL = 1187,
    IDC_NONE = 1188, IDC_STATUS = 1208, IDC_NEW_NAME = 1086, IDC_CURRENT = 1085,
    IDC_INCLUDE = 1115, IDC_EXCLUDE = 1116, IDC_RESET = 1119
};
const int kTypeBoxes[] = {1126, 1123, 1124, 1120, 1122, 1117, 1118};

using Names = std::set<std::string>;

Names Selected(HWND list)
{
    auto v = drv::ListViewTexts(list, true);
    return Names(v.begin(), v.end());
}

Names Shown(HWND list)
{
    auto v = drv::ListViewTexts(list, false);
    return Names(v.begin(), v.end());
}

void Check(HWND dlg, int id, int state)
{
    SendMessageA(GetDlgItem(dlg, id), BM_SETCHECK, state, 0);
}

int CheckState(HWND dlg, int id)
{
    return (int)SendMessageA(GetDlgItem(dlg, id), BM_GETCHECK, 0, 0);
}

class SelectCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        base = drv::TempFolder("select_cmd");
        drv::RemoveTree(base);
        CreateDirectoryA(base.c_str(), NULL);
        other = drv::TempFolder("select_cmd_other");
        // Names the masks must tell apart, in three scripts, beside plain ones; a folder whose
        // name looks like a document.
        for (const char* name : {"日本語.txt", "Кириллица.doc", "😀.txt", "notes.txt", "report.doc",
                                 "data.log", "README"})
            drv::WriteBytes(base + "\\" + name, std::string(name) + " contents");
        CreateDirectoryA((base + "\\sub.txt").c_str(), NULL);
        CreateDirectoryA((base + "\\docs").c_str(), NULL);
    }
    void TearDown() override
    {
        drv::DeleteUserKey(kPolicyKey);
        drv::DeleteUserKey(kProductKey);
        drv::RemoveTree(base);
        drv::RemoveTree(other);
    }
    HWND Start(drv::AppProcess& app, const std::string& folder, size_t items)
    {
        EXPECT_TRUE(app.Start("panorel.exe", folder + "," + other));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelList(main, 0) && drv::PanelList(main, 1); }, 10000));
        EXPECT_TRUE(drv::WaitFor([&] { return drv::ItemCount(drv::PanelList(main, 0)) >= (int)items; }, 30000));
        return main;
    }
    Names all = {"日本語.txt", "Кириллица.doc", "😀.txt", "notes.txt", "report.doc",
                 "data.log", "README", "sub.txt", "docs"};
    std::string base, other;
};

TEST_F(SelectCommands, AllNoneAndInvertOnAThousandFilesByMenuAndKeys)
{
    std::string big = drv::TempFolder("select_cmd_big");
    for (int i = 0; i < 1000; ++i) {
        char name[64];
        snprintf(name, sizeof(name), "\\file%04d.dat", i);
        drv::MakeFile(big + name);
    }
    drv::AppProcess app;
    HWND main = Start(app, big, 1000);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    HWND list = drv::PanelList(main, 0);
    ASSERT_EQ(1000, drv::ItemCount(list));

    app.Command(ID_SELECT_ALL);
    EXPECT_EQ(1000, drv::SelectedCount(list));
    app.Command(ID_DESELECT_ALL);
    EXPECT_EQ(0, drv::SelectedCount(list));
    ASSERT_TRUE(drv::SelectNames(list, {"file0000.dat", "file0500.dat", "file0999.dat"}));
    app.Command(ID_INVERT);
    EXPECT_EQ(997, drv::SelectedCount(list));
    Names sel = Selected(list);
    EXPECT_EQ(0u, sel.count("file0000.dat") + sel.count("file0500.dat") + sel.count("file0999.dat"));
    EXPECT_EQ(1u, sel.count("file0001.dat"));
    app.Command(ID_INVERT);
    EXPECT_EQ((Names{"file0000.dat", "file0500.dat", "file0999.dat"}), Selected(list));

    // The keys: Ctrl+A, Shift+I, Esc.
    SetFocus(list);
    ASSERT_TRUE(drv::PressKey(main, 'A', {VK_CONTROL}));
    EXPECT_TRUE(drv::WaitFor([&] { return drv::SelectedCount(list) == 1000; }, 5000));
    ASSERT_TRUE(drv::PressKey(main, 'I', {VK_SHIFT}));
    EXPECT_TRUE(drv::WaitFor([&] { return drv::SelectedCount(list) == 0; }, 5000));
    ASSERT_TRUE(drv::PressKey(main, 'I', {VK_SHIFT}));
    EXPECT_TRUE(drv::WaitFor([&] { return drv::SelectedCount(list) == 1000; }, 5000));
    ASSERT_TRUE(drv::PressKey(main, VK_ESCAPE));
    EXPECT_TRUE(drv::WaitFor([&] { return drv::SelectedCount(list) == 0; }, 5000));
    EXPECT_EQ(1000, drv::ItemCount(list));   // nothing was opened or removed
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
    drv::RemoveTree(big);
}

// After Invert, Select All and Deselect All the whole program agrees on the selection: the
// panel's status text, the view's own selection (its data object, read by Copy Name) and the
// focused item, for a selection in many stretches and one in few.
TEST_F(SelectCommands, InvertOfAMixedSelectionLeavesStatusViewAndFocusRight)
{
    std::string big = drv::TempFolder("select_cmd_mixed");
    drv::RemoveTree(big);
    CreateDirectoryA(big.c_str(), NULL);
    const int count = 600;
    for (int i = 0; i < count; ++i) {
        char name[64];
        snprintf(name, sizeof(name), "\\item%04d.dat", i);
        drv::MakeFile(big + name);
    }
    drv::AppProcess app;
    HWND main = Start(app, big, count);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    HWND list = drv::PanelList(main, 0);
    ASSERT_EQ(count, drv::ItemCount(list));
    HWND panel = drv::PanelWindow(main, 0);
    HWND bar = panel ? GetDlgItem(panel, 59426) : NULL;
    auto status = [&] { return bar ? drv::WindowText(GetDlgItem(bar, 59426)) : std::string(); };
    // The names the view itself holds selected, one per line.
    auto viewSelection = [&] {
        drv::SetClipboardText("marker");
        app.Command(ID_CLIP_NAME);
        std::string text = drv::ClipboardText();
        Names names;
        for (size_t pos = 0; pos < text.size();) {
            size_t end = text.find("\r\n", pos);
            names.insert(text.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
            pos = end == std::string::npos ? text.size() : end + 2;
        }
        return names;
    };
    auto check = [&](int selected, int line) {
        SCOPED_TRACE(line);
        Names sel = Selected(list);
        EXPECT_EQ((size_t)selected, sel.size());
        char want[64];
        snprintf(want, sizeof(want), selected ? "%d object(s) selected" : "%d object(s)", selected ? selected : count);
        EXPECT_TRUE(drv::WaitFor([&] { return status() == want; }, 5000)) << status();
        if (selected)
            EXPECT_EQ(sel, viewSelection());
        EXPECT_EQ(7, drv::FocusedItem(list));
    };

    // Every other item, item 7 focused (and not selected): 300 stretches.
    ASSERT_TRUE(drv::SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED));
    for (int i = 0; i < count; i += 2)
        ASSERT_TRUE(drv::SetItemState(list, i, LVIS_SELECTED, LVIS_SELECTED));
    ASSERT_TRUE(drv::SetItemState(list, 7, LVIS_FOCUSED, LVIS_FOCUSED));
    check(count / 2, __LINE__);
    Names before = Selected(list);
    app.Command(ID_INVERT);
    check(count / 2, __LINE__);
    Names after = Selected(list);
    for (const std::string& name : before)
        EXPECT_EQ(0u, after.count(name)) << name;
    EXPECT_EQ(1u, after.count("item0007.dat"));
    app.Command(ID_INVERT);
    check(count / 2, __LINE__);
    EXPECT_EQ(before, Selected(list));

    // Three items in two stretches: the list is selected whole first, then three cleared.
    ASSERT_TRUE(drv::SetItemState(list, -1, 0, LVIS_SELECTED));
    for (int i : {10, 11, 400})
        ASSERT_TRUE(drv::SetItemState(list, i, LVIS_SELECTED, LVIS_SELECTED));
    check(3, __LINE__);
    app.Command(ID_INVERT);
    check(count - 3, __LINE__);
    Names rest = Selected(list);
    EXPECT_EQ(0u, rest.count("item0010.dat") + rest.count("item0011.dat") + rest.count("item0400.dat"));

    app.Command(ID_SELECT_ALL);
    check(count, __LINE__);
    app.Command(ID_DESELECT_ALL);
    check(0, __LINE__);
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
    drv::RemoveTree(big);
}

TEST_F(SelectCommands, SelectDialogByMaskWithItsEdgeCases)
{
    drv::AppProcess app;
    HWND main = Start(app, base, all.size());
    ASSERT_TRUE(main);
    HWND list = drv::PanelList(main, 0);
    ASSERT_TRUE(app.PostCommand(ID_SELECT));
    HWND dlg = drv::WaitForDialog(app.Pid(), "Select");
    ASSERT_TRUE(dlg);
    // The stored defaults: both kinds apply.
    EXPECT_EQ(BST_CHECKED, CheckState(dlg, IDC_FILES));
    EXPECT_EQ(BST_CHECKED, CheckState(dlg, IDC_FOLDERS));

    // Files only: the documents of every script, not the folder named like one.
    Check(dlg, IDC_FOLDERS, BST_UNCHECKED);
    drv::SetItemText(dlg, IDC_MASK, "*.txt;*.doc");
    ASSERT_TRUE(drv::ClickButton(dlg, IDOK));
    Names docs = {"日本語.txt", "Кириллица.doc", "😀.txt", "notes.txt", "report.doc"};
    EXPECT_TRUE(drv::WaitFor([&] { return Selected(list) == docs; }, 5000));
    EXPECT_EQ(docs, Selected(list));
    EXPECT_TRUE(drv::WaitFor([&] { return drv::ItemText(dlg, IDC_STATUS) == "Selected 5 objects. Total selected: 5"; }, 5000))
        << drv::ItemText(dlg, IDC_STATUS);

    // Deselect reports with its own word.
    drv::SetItemText(dlg, IDC_MASK, "*.DOC");
    ASSERT_TRUE(drv::ClickButton(dlg, IDC_DESELECT));
    EXPECT_TRUE(drv::WaitFor([&] { return Selected(list).size() == 3; }, 5000));
    EXPECT_EQ((Names{"日本語.txt", "😀.txt", "notes.txt"}), Selected(list));
    EXPECT_TRUE(drv::WaitFor([&] { return drv::ItemText(dlg, IDC_STATUS) == "Delected 2 objects. Total selected: 3"; }, 5000))
        << drv::ItemText(dlg, IDC_STATUS);

    // Folders only.
    Check(dlg, IDC_FILES, BST_UNCHECKED);
    Check(dlg, IDC_FOLDERS, BST_CHECKED);
    drv::SetItemText(dlg, IDC_MASK, "*.txt");
    ASSERT_TRUE(drv::ClickButton(dlg, IDOK));
    EXPECT_TRUE(drv::WaitFor([&] { return Selected(list).count("sub.txt") == 1; }, 5000));
    EXPECT_TRUE(drv::WaitFor([&] { return drv::ItemText(dlg, IDC_STATUS) == "Selected 1 objects. Total selected: 4"; }, 5000))
        << drv::ItemText(dlg, IDC_STATUS);

    // No match: the message with the mask, the selection as it was.
    Names before = Selected(list);
    drv::SetItemText(dlg, IDC_MASK, "*.xyz");
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    std::string text;
    EXPECT_TRUE(drv::AnswerBox(app.Pid(), "no files matching the mask '*.xyz'!", IDOK, &text)) << text;
    EXPECT_EQ(before, Selected(list));

    // A 300-character mask matches nothing and is reported whole enough; no crash.
    std::string longMask(300, 'q');
    drv::SetItemText(dlg, IDC_MASK, longMask);
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(drv::AnswerBox(app.Pid(), "This folder contains no files matching the mask 'qqqq"));
    EXPECT_EQ(before, Selected(list));

    // An empty mask does nothing and says nothing.
    drv::SetItemText(dlg, IDC_MASK, "   ");
    ASSERT_TRUE(drv::ClickButton(dlg, IDOK));
    EXPECT_EQ(before, Selected(list));

    // Neither kind: the warning.
    Check(dlg, IDC_FOLDERS, BST_UNCHECKED);
    drv::SetItemText(dlg, IDC_MASK, "*");
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(drv::AnswerBox(app.Pid(), "Please select at least one of the options"));
    EXPECT_EQ(before, Selected(list));

    // Select All and Deselect All ignore the boxes.
    ASSERT_TRUE(drv::ClickButton(dlg, IDC_ALL));
    EXPECT_TRUE(drv::WaitFor([&] { return Selected(list) == all; }, 5000));
    ASSERT_TRUE(drv::ClickButton(dlg, IDC_NONE));
    EXPECT_TRUE(drv::WaitFor([&] { return Selected(list).empty(); }, 5000));

    // Keys typed into the mask are text, not the main window's commands (Shift+I inverts).
    Check(dlg, IDC_FILES, BST_CHECKED);
    drv::SetItemText(dlg, IDC_MASK, "");
    SetForegroundWindow(dlg);
    SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dlg, IDC_MASK), TRUE);
    drv::PressKey(dlg, 'I', {VK_SHIFT});
    EXPECT_TRUE(drv::WaitFor([&] { return drv::ItemText(dlg, IDC_MASK) == "I"; }, 3000))
        << drv::ItemText(dlg, IDC_MASK);
    EXPECT_TRUE(Selected(list).empty());

    // The command again: the same dialog, still one.
    ASSERT_TRUE(app.PostCommand(ID_SELECT));
    Sleep(300);
    int dialogs = 0;
    for (HWND w : drv::TopLevelWindows(app.Pid()))
        if (drv::WindowText(w) == "Select")
            ++dialogs;
    EXPECT_EQ(1, dialogs);
    EXPECT_FALSE(drv::Screenshot("select_dialog", dlg).empty());

    // Closing keeps the boxes and the masks.
    ASSERT_TRUE(drv::PressButton(dlg, IDCANCEL));
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    DWORD s2 = drv::GetUserDword(kRootKey, "Settings2", 0);
    EXPECT_EQ(0x20000u, s2 & 0x60000);
    EXPECT_TRUE(drv::UserValueExists(kRootKey, "SelectMRU"));
    app.Close();
}

TEST_F(SelectCommands, NewFolderMakesEveryLevelAndSelectsIt)
{
    drv::AppProcess app;
    HWND main = Start(app, base, all.size());
    ASSERT_TRUE(main);
    HWND list = drv::PanelList(main, 0);
    ASSERT_TRUE(app.PostCommand(ID_NEW_FOLDER));
    HWND dlg = drv::WaitForDialog(app.Pid(), "New Folder");
    ASSERT_TRUE(dlg);
    EXPECT_EQ(base, drv::ItemText(dlg, IDC_CURRENT));
    drv::SetItemText(dlg, IDC_NEW_NAME, "a\\b\\c");
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    DWORD attr = GetFileAttributesA((base + "\\a\\b\\c").c_str());
    EXPECT_TRUE(attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(drv::WaitFor([&] { return Selected(list) == Names{"a"}; }, 5000));

    // A folder in another script, as an absolute path.
    ASSERT_TRUE(app.PostCommand(ID_NEW_FOLDER));
    dlg = drv::WaitForDialog(app.Pid(), "New Folder");
    ASSERT_TRUE(dlg);
    drv::SetItemText(dlg, IDC_NEW_NAME, base + "\\Новая папка");
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    EXPECT_TRUE(drv::Exists(base + "\\Новая папка"));
    EXPECT_TRUE(drv::WaitFor([&] { return Selected(list) == Names{"Новая папка"}; }, 5000));

    // Names that cannot be made: the system's message, the dialog stays.
    ASSERT_TRUE(app.PostCommand(ID_NEW_FOLDER));
    dlg = drv::WaitForDialog(app.Pid(), "New Folder");
    ASSERT_TRUE(dlg);
    auto before = Shown(list);
    for (const char* bad : {"a", "bad<name>", "what?"}) {
        SCOPED_TRACE(bad);
        drv::SetItemText(dlg, IDC_NEW_NAME, bad);
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);
        std::string text;
        HWND box = NULL;
        EXPECT_TRUE(drv::WaitFor([&] {
            for (HWND w : drv::TopLevelWindows(app.Pid()))
                if (w != dlg && drv::ClassName(w) == "#32770" && drv::WindowText(w) != "New Folder")
                    return (box = w) != NULL;
            return false;
        }, 10000));
        if (box) {
            text = drv::AllTexts(box);
            EXPECT_FALSE(text.empty());
            Sleep(100);
            drv::PressButton(box, IDOK);
            EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(box); }, 5000));
        }
        EXPECT_TRUE(IsWindow(dlg));
    }
    EXPECT_FALSE(drv::Exists(base + "\\bad<name>"));
    drv::PressButton(dlg, IDCANCEL);
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    EXPECT_TRUE(drv::UserValueExists(kRootKey, "NewFolderMRU"));
    app.Close();
}

TEST_F(SelectCommands, SetAndRemoveFilterKeepTheListsAndTypes)
{
    drv::AppProcess app;
    HWND main = Start(app, base, all.size());
    ASSERT_TRUE(main);
    HWND list = drv::PanelList(main, 0);
    ASSERT_TRUE(app.PostCommand(ID_SET_FILTER));
    HWND dlg = drv::WaitForDialog(app.Pid(), "Filter");
    ASSERT_TRUE(dlg);
    for (int id : kTypeBoxes)
        EXPECT_EQ(BST_INDETERMINATE, CheckState(dlg, id)) << id;
    // Blanks around the masks go; folders never show.
    drv::SetItemText(dlg, IDC_INCLUDE, "  *.txt  ");
    drv::SetItemText(dlg, IDC_EXCLUDE, " notes* ");
    Check(dlg, 1123, BST_UNCHECKED);
    EXPECT_FALSE(drv::Screenshot("filter_dialog", dlg).empty());
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    Names filtered = {"日本語.txt", "😀.txt"};
    EXPECT_TRUE(drv::WaitFor([&] { return Shown(list) == filtered; }, 10000));
    EXPECT_EQ(filtered, Shown(list));

    // Remove: everything again.
    app.Command(ID_REMOVE_FILTER);
    EXPECT_TRUE(drv::WaitFor([&] { return Shown(list) == all; }, 10000));

    // Set again shows what was set; each box takes another state.
    ASSERT_TRUE(app.PostCommand(ID_SET_FILTER));
    dlg = drv::WaitForDialog(app.Pid(), "Filter");
    ASSERT_TRUE(dlg);
    EXPECT_EQ("*.txt", drv::ItemText(dlg, IDC_INCLUDE));
    EXPECT_EQ("notes*", drv::ItemText(dlg, IDC_EXCLUDE));
    EXPECT_EQ(BST_UNCHECKED, CheckState(dlg, 1123));
    const int states[] = {BST_CHECKED, BST_UNCHECKED, BST_INDETERMINATE, BST_CHECKED,
                          BST_UNCHECKED, BST_INDETERMINATE, BST_CHECKED};
    for (int i = 0; i < 7; ++i)
        Check(dlg, kTypeBoxes[i], states[i]);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    // Files always show, folders never: every file, no folder.
    Names files = {"日本語.txt", "Кириллица.doc", "😀.txt", "notes.txt", "report.doc", "data.log", "README"};
    EXPECT_TRUE(drv::WaitFor([&] { return Shown(list) == files; }, 10000));
    ASSERT_TRUE(app.PostCommand(ID_SET_FILTER));
    dlg = drv::WaitForDialog(app.Pid(), "Filter");
    ASSERT_TRUE(dlg);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(states[i], CheckState(dlg, kTypeBoxes[i])) << kTypeBoxes[i];
    // A 300-character mask: nothing matches it, nothing breaks.
    drv::SetItemText(dlg, IDC_INCLUDE, std::string(300, 'q') + "*");
    for (int id : kTypeBoxes)
        Check(dlg, id, BST_INDETERMINATE);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    EXPECT_TRUE(drv::WaitFor([&] { return Shown(list).empty(); }, 10000));
    ASSERT_TRUE(app.PostCommand(ID_SET_FILTER));
    dlg = drv::WaitForDialog(app.Pid(), "Filter");
    ASSERT_TRUE(dlg);
    EXPECT_EQ(std::string(300, 'q') + "*", drv::ItemText(dlg, IDC_INCLUDE));
    // Reset empties both lists and makes every box indeterminate; the filter is then empty.
    ASSERT_TRUE(drv::ClickButton(dlg, IDC_RESET));
    EXPECT_EQ("", drv::ItemText(dlg, IDC_INCLUDE));
    EXPECT_EQ("", drv::ItemText(dlg, IDC_EXCLUDE));
    for (int id : kTypeBoxes)
        EXPECT_EQ(BST_INDETERMINATE, CheckState(dlg, id)) << id;
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    EXPECT_TRUE(drv::WaitFor([&] { return Shown(list) == all; }, 10000));
    EXPECT_TRUE(drv::UserValueExists(kRootKey, "FilterInclMRU"));
    EXPECT_TRUE(drv::UserValueExists(kRootKey, "FilterExclMRU"));
    app.Close();
}

std::string TimeText(const std::string& path, int which, bool longForm)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return "<none>";
    const FILETIME* ft = which == 0 ? &data.ftCreationTime : which == 1 ? &data.ftLastAccessTime
                                                                        : &data.ftLastWriteTime;
    FILETIME local;
    SYSTEMTIME st;
    FileTimeToLocalFileTime(ft, &local);
    FileTimeToSystemTime(&local, &st);
    char date[128], time[128];
    GetDateFormatA(LOCALE_USER_DEFAULT, longForm ? DATE_LONGDATE : DATE_SHORTDATE, &st, NULL, date, sizeof(date));
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, NULL, time, sizeof(time));
    return std::string(date) + " " + time;
}

TEST_F(SelectCommands, CopyToClipboardEveryForm)
{
    // Times far apart, so a wrong kind of time shows.
    auto setTimes = [](const std::string& path, int daysBack) {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
        SYSTEMTIME st = {2011, 3, 0, 1, 10, 20, 30, 0};
        FILETIME c, a, w;
        SystemTimeToFileTime(&st, &c);
        ULARGE_INTEGER u;
        u.LowPart = c.dwLowDateTime, u.HighPart = c.dwHighDateTime;
        u.QuadPart += 864000000000ull * (100 - daysBack);
        a.dwLowDateTime = u.LowPart, a.dwHighDateTime = u.HighPart;
        u.QuadPart += 864000000000ull * 37;
        w.dwLowDateTime = u.LowPart, w.dwHighDateTime = u.HighPart;
        SetFileTime(h, &c, &a, &w);
        CloseHandle(h);
    };
    for (const char* n : {"notes.txt", "日本語.txt", "report.doc"})
        setTimes(base + "\\" + n, (int)strlen(n));
    drv::AppProcess app;
    HWND main = Start(app, base, all.size());
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    HWND list = drv::PanelList(main, 0);

    // One object: the text alone.
    ASSERT_TRUE(drv::SelectNames(list, {"日本語.txt"}));
    drv::SetClipboardText("marker");
    app.Command(ID_CLIP_NAME);
    EXPECT_EQ("日本語.txt", drv::ClipboardText());
    app.Command(ID_CLIP_PATH);
    EXPECT_EQ(base + "\\日本語.txt", drv::ClipboardText());
    // Programs of other code pages paste the same characters.
    EXPECT_EQ(base + "\\日本語.txt", drv::ClipboardUnicodeText());

    // Three: each with CR LF, the last too, in the list's order.
    std::vector<std::string> three;
    for (const std::string& n : drv::ListViewTexts(list, false))
        if (n == "notes.txt" || n == "日本語.txt" || n == "report.doc")
            three.push_back(n);
    ASSERT_EQ(3u, three.size());
    ASSERT_TRUE(drv::SelectNames(list, three));
    auto joined = [&](auto fn) {
        std::string out;
        for (const std::string& n : three)
            out += fn(base + "\\" + n, n) + "\r\n";
        return out;
    };
    app.Command(ID_CLIP_NAME);
    EXPECT_EQ(joined([](const std::string&, const std::string& n) { return n; }), drv::ClipboardText());
    app.Command(ID_CLIP_PATH);
    EXPECT_EQ(joined([](const std::string& p, const std::string&) { return p; }), drv::ClipboardText());
    auto shortPath = [](const std::string& p, const std::string&) {
        char buf[MAX_PATH] = "";
        GetShortPathNameA(p.c_str(), buf, sizeof(buf));
        return std::string(buf);
    };
    app.Command(ID_CLIP_PATH_ALIAS);
    EXPECT_EQ(joined(shortPath), drv::ClipboardText());
    app.Command(ID_CLIP_NAME_ALIAS);
    EXPECT_EQ(joined([&](const std::string& p, const std::string& n) {
                  std::string s = shortPath(p, n);
                  return s.substr(s.rfind('\\') + 1);
              }),
              drv::ClipboardText());
    struct TimeCase { UINT id; int which; bool longForm; };
    const TimeCase times[] = {{ID_CLIP_SHORT_CREATED, 0, false}, {ID_CLIP_SHORT_ACCESSED, 1, false},
                              {ID_CLIP_SHORT_MODIFIED, 2, false}, {ID_CLIP_LONG_CREATED, 0, true},
                              {ID_CLIP_LONG_MODIFIED, 2, true},  {ID_CLIP_LONG_ACCESSED, 1, true}};
    for (const TimeCase& t : times) {
        SCOPED_TRACE(t.id);
        app.Command(t.id);
        EXPECT_EQ(joined([&](const std::string& p, const std::string&) { return TimeText(p, t.which, t.longForm); }),
                  drv::ClipboardText());
    }
    // The modified and accessed texts differ: the right time was taken (Wine keeps no
    // creation time of its own: there it reads as the last write).
    app.Command(ID_CLIP_SHORT_MODIFIED);
    std::string modified = drv::ClipboardText();
    app.Command(ID_CLIP_SHORT_ACCESSED);
    EXPECT_NE(modified, drv::ClipboardText());

    // A column: the name column gives the list's texts.
    app.Command(ID_CLIP_COLUMN + 0);
    EXPECT_EQ(joined([](const std::string&, const std::string& n) { return n; }), drv::ClipboardText());
    // One folder and its column 0 text, without a line end.
    ASSERT_TRUE(drv::SelectNames(list, {"docs"}));
    app.Command(ID_CLIP_COLUMN + 0);
    EXPECT_EQ("docs", drv::ClipboardText());
    app.Command(ID_CLIP_PATH);
    EXPECT_EQ(base + "\\docs", drv::ClipboardText());
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
}

TEST_F(SelectCommands, LockedCommandsOnlySayTheyAreRestricted)
{
    drv::SetUserDword(kPolicyKey, "DisableMenuCommandSelect", 1);
    drv::SetUserDword(kPolicyKey, "DisableMenuToolsNewFolder", 1);
    drv::AppProcess app;
    HWND main = Start(app, base, all.size());
    ASSERT_TRUE(main);
    for (UINT id : {ID_SELECT, ID_NEW_FOLDER}) {
        ASSERT_TRUE(app.PostCommand(id));
        EXPECT_TRUE(drv::AnswerBox(app.Pid(), "restricted by the System Administrator")) << id;
    }
    EXPECT_FALSE(drv::WaitForDialog(app.Pid(), "Select", 500));
    EXPECT_FALSE(drv::WaitForDialog(app.Pid(), "New Folder", 200));
    app.Close();
}

}  // namespace
