// Compare and Synchronize in the real program: the selections in both panels, the preview's
// three lists against the trees after the run, conflicts and the skipped preview.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <string>
#include <vector>
#include "driver/Driver.h"
#include "driver/SplitDriver.h"

namespace {
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kPolicyKey[] = "SOFTWARE\\Policies\\Corvane\\Panorel";
enum : UINT { ID_COMPARE = 38214, ID_SYNCHRONIZE = 38215 };
enum : int { IDC_A_UNIQUE = 1146, IDC_A_NEWER = 1147, IDC_A_SAME = 1148, IDC_A_OLDER = 1149,
             IDC_P_UNIQUE = 1150, IDC_P_NEWER = 1151, IDC_P_SAME = 1152, IDC_P_OLDER = 1153,
             IDC_SUBFOLDERS = 1139 };
enum : int { IDC_SYN_SELECTION = 1297, IDC_SYN_COPY_NEWER = 1150, IDC_SYN_DELETE_ORPHANS = 1305,
             IDC_SYN_SUBFOLDERS = 1139, IDC_SYN_DELETE_SUB = 1152, IDC_SYN_SKIP_ONCE = 1306,
             IDC_SYC_DELETE_LABEL = 1157, IDC_SYC_DELETE_LIST = 1155, IDC_SYC_REPLACE_LABEL = 1156,
             IDC_SYC_REPLACE_LIST = 1153, IDC_SYC_CREATE_LABEL = 1158, IDC_SYC_CREATE_LIST = 1159 };

FILETIME Hour(int h)
{
    SYSTEMTIME st = {};
    st.wYear = 2023;
    st.wMonth = 1;
    st.wDay = 10;
    st.wHour = (WORD)h;
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

void Put(const std::string& path, const std::string& bytes, int hour)
{
    drv::WriteBytes(path, bytes);
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    FILETIME ft = Hour(hour);
    SetFileTime(h, NULL, NULL, &ft);
    CloseHandle(h);
}

// The whole tree below folder: relative path -> contents ("<dir>" for folders).
std::map<std::string, std::string> Tree(const std::string& folder, const std::string& rel = "")
{
    std::map<std::string, std::string> out;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return out;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string key = rel.empty() ? name : rel + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[key] = "<dir>";
            auto sub = Tree(folder + "\\" + name, key);
            out.insert(sub.begin(), sub.end());
        } else {
            out[key] = drv::ReadBytes(folder + "\\" + name);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return out;
}

std::vector<std::string> Sorted(std::vector<std::string> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

std::vector<std::string> ListBoxItems(HWND list)
{
    std::vector<std::string> out;
    int n = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        // Across processes the text comes as UTF-16 whatever the call's character set.
        WCHAR wide[MAX_PATH] = L"";
        char text[MAX_PATH * 3] = "";
        if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < MAX_PATH)
            SendMessageW(list, LB_GETTEXT, i, (LPARAM)wide);
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof(text), NULL, NULL);
        out.push_back(text);
    }
    return out;
}

class CompareSync : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        base = std::string(temp) + "compare_cmd";
        drv::RemoveTree(base);
        CreateDirectoryA(base.c_str(), NULL);
        a = base + "\\A";
        p = base + "\\P";
        CreateDirectoryA(a.c_str(), NULL);
        CreateDirectoryA(p.c_str(), NULL);
    }
    void TearDown() override
    {
        drv::DeleteUserKey(kPolicyKey);
        drv::DeleteUserKey(kProductKey);
        drv::RemoveTree(base);
    }
    // Folders with every kind of difference; names in several scripts beside ASCII look-alikes.
    void MakeCompareTrees()
    {
        Put(a + "\\same.txt", "s", 5);
        Put(p + "\\same.txt", "s", 5);
        Put(a + "\\sizes.txt", "short", 5);   // same time, other size: the same
        Put(p + "\\sizes.txt", "much longer", 5);
        Put(a + "\\newer.txt", "n2", 7);
        Put(p + "\\newer.txt", "n1", 5);
        Put(a + "\\older.txt", "o1", 3);
        Put(p + "\\older.txt", "o2", 5);
        Put(a + "\\только_A.txt", "a", 5);
        Put(p + "\\日本_P.txt", "p", 5);
        Put(a + "\\clash", "file", 5);
        CreateDirectoryA((p + "\\clash").c_str(), NULL);
        CreateDirectoryA((a + "\\sub").c_str(), NULL);
        CreateDirectoryA((p + "\\sub").c_str(), NULL);
        Put(a + "\\sub\\x.txt", "x", 5);
        Put(p + "\\sub\\x.txt", "x", 5);
        CreateDirectoryA((a + "\\subdiff").c_str(), NULL);
        CreateDirectoryA((p + "\\subdiff").c_str(), NULL);
        Put(a + "\\subdiff\\y 😀.txt", "y2", 9);
        Put(p + "\\subdiff\\y 😀.txt", "y1", 5);
    }
    HWND Start(drv::AppProcess& app, size_t itemsA)
    {
        EXPECT_TRUE(app.Start("panorel.exe", a + "," + p));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelList(main, 0) && drv::PanelList(main, 1); }, 10000));
        EXPECT_TRUE(drv::WaitFor([&] { return drv::ListViewTexts(drv::PanelList(main, 0), false).size() >= itemsA; }, 10000));
        return main;
    }
    // Runs Compare with the boxes given checked (all others clear) and waits for its end.
    void Compare(drv::AppProcess& app, const std::vector<int>& boxes)
    {
        ASSERT_TRUE(app.PostCommand(ID_COMPARE));
        HWND dlg = drv::WaitForDialogCaption(app.Pid(), "Compare");
        ASSERT_TRUE(dlg);
        for (int id : {IDC_A_UNIQUE, IDC_A_NEWER, IDC_A_SAME, IDC_A_OLDER, IDC_P_UNIQUE, IDC_P_NEWER,
                       IDC_P_SAME, IDC_P_OLDER, IDC_SUBFOLDERS})
            CheckDlgButton(dlg, id, std::find(boxes.begin(), boxes.end(), id) != boxes.end());
        ASSERT_TRUE(drv::PressButton(dlg, IDOK));
        ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
        app.Send(WM_NULL, 0, 0, 60000);   // answered once the comparison has ended
    }
    std::vector<std::string> Selected(HWND main, int panel)
    {
        return Sorted(drv::ListViewTexts(drv::PanelList(main, panel), true));
    }
    // The panel's selection once it has become the expected one (the comparison runs on after
    // its dialog closed).
    void ExpectSelection(HWND main, int panel, const std::vector<std::string>& expect, int line)
    {
        SCOPED_TRACE(line);
        std::vector<std::string> want = Sorted(expect);
        drv::WaitFor([&] { return Selected(main, panel) == want; }, 10000);
        EXPECT_EQ(want, Selected(main, panel));
    }
    HWND OpenSync(drv::AppProcess& app, HWND main, const std::vector<std::string>& names)
    {
        EXPECT_TRUE(drv::SelectListItems(drv::PanelList(main, 0), names));
        EXPECT_TRUE(app.PostCommand(ID_SYNCHRONIZE));
        return drv::WaitForDialogCaption(app.Pid(), "Synchronize");
    }
    std::vector<std::string> AllNames(HWND main) { return drv::ListViewTexts(drv::PanelList(main, 0), false); }

    std::string base, a, p;
};

TEST_F(CompareSync, CompareSelectsByNameAndTimeInBothPanels)
{
    MakeCompareTrees();
    drv::AppProcess app;
    HWND main = Start(app, 8);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());

    Compare(app, {IDC_A_UNIQUE, IDC_A_NEWER, IDC_P_UNIQUE, IDC_P_OLDER});
    // A file against a folder of the same name is unique on both sides.
    ExpectSelection(main, 0, {"clash", "newer.txt", "только_A.txt"}, __LINE__);
    ExpectSelection(main, 1, {"clash", "newer.txt", "日本_P.txt"}, __LINE__);
    EXPECT_EQ(0x0930u, drv::GetUserDword(kRootKey, "Settings2", 0) & 0x0FF1u);

    // Same: equal times whatever the sizes; folders of one name without looking inside.
    Compare(app, {IDC_A_SAME, IDC_P_NEWER});
    ExpectSelection(main, 0, {"same.txt", "sizes.txt", "sub", "subdiff"}, __LINE__);
    ExpectSelection(main, 1, {"older.txt"}, __LINE__);

    // With subfolders a folder counts when something inside qualifies.
    Compare(app, {IDC_A_NEWER, IDC_P_SAME, IDC_SUBFOLDERS});
    ExpectSelection(main, 0, {"newer.txt", "subdiff"}, __LINE__);
    ExpectSelection(main, 1, {"same.txt", "sizes.txt", "sub"}, __LINE__);
    EXPECT_FALSE(drv::Screenshot("compare_selection", main).empty());
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
}

// Names are found without regard to case in any script, and only by themselves: a name the
// file system would have to match by a pattern stands beside siblings such a pattern would catch.
TEST_F(CompareSync, CompareFindsNamesWithoutRegardToCaseInEveryScript)
{
    Put(a + "\\ReadMe.TXT", "r", 5);
    Put(p + "\\README.txt", "r", 5);
    Put(a + "\\Файл.txt", "f2", 7);
    Put(p + "\\фАЙЛ.txt", "f1", 5);
    Put(a + "\\日本.txt", "j", 5);
    Put(p + "\\日本.txt", "j", 5);
    Put(p + "\\ab.txt", "ab", 5);   // two characters where 日本 has two
    Put(a + "\\😀.txt", "e2", 9);
    Put(p + "\\😀.txt", "e1", 5);
    Put(p + "\\zz.txt", "zz", 9);   // two UTF-16 units where the emoji has two
    CreateDirectoryA((a + "\\Deep").c_str(), NULL);
    CreateDirectoryA((p + "\\DEEP").c_str(), NULL);
    CreateDirectoryA((a + "\\Deep\\Inner").c_str(), NULL);
    CreateDirectoryA((p + "\\DEEP\\inner").c_str(), NULL);
    Put(a + "\\Deep\\Inner\\Ъ.txt", "d2", 9);
    Put(p + "\\DEEP\\inner\\ъ.txt", "d1", 5);
    Put(a + "\\Deep\\same.txt", "s", 5);
    Put(p + "\\DEEP\\SAME.TXT", "s", 5);
    drv::AppProcess app;
    HWND main = Start(app, 5);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());

    // With subfolders: a difference two levels down selects the folders of either case.
    Compare(app, {IDC_A_UNIQUE, IDC_A_NEWER, IDC_P_UNIQUE, IDC_P_OLDER, IDC_SUBFOLDERS});
    ExpectSelection(main, 0, {"Deep", "Файл.txt", "😀.txt"}, __LINE__);
    ExpectSelection(main, 1, {"DEEP", "ab.txt", "фАЙЛ.txt", "😀.txt", "zz.txt"}, __LINE__);

    // Same, without subfolders: folders of one name count as the same.
    Compare(app, {IDC_A_SAME, IDC_P_SAME});
    ExpectSelection(main, 0, {"Deep", "ReadMe.TXT", "日本.txt"}, __LINE__);
    ExpectSelection(main, 1, {"DEEP", "README.txt", "日本.txt"}, __LINE__);

    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
}

TEST_F(CompareSync, CompareOfEqualFoldersSaysSo)
{
    Put(a + "\\one.txt", "1", 5);
    Put(p + "\\one.txt", "1", 5);
    drv::AppProcess app;
    HWND main = Start(app, 1);
    ASSERT_TRUE(main);
    ASSERT_TRUE(app.PostCommand(ID_COMPARE));
    HWND dlg = drv::WaitForDialogCaption(app.Pid(), "Compare");
    ASSERT_TRUE(dlg);
    EXPECT_EQ(a, drv::WindowText(GetDlgItem(dlg, 1047)));
    EXPECT_EQ(p, drv::WindowText(GetDlgItem(dlg, 1054)));
    // Painted whole before the picture is taken.
    RedrawWindow(dlg, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    EXPECT_FALSE(drv::Screenshot("compare_dialog", dlg).empty());
    CheckDlgButton(dlg, IDC_A_SAME, BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_P_SAME, BST_UNCHECKED);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    HWND box = app.WaitForWindowWithText("No differences detected between these folders.", 10000);
    ASSERT_TRUE(box);
    drv::PressButton(box, IDOK);
    EXPECT_TRUE(Selected(main, 0).empty());
    app.Close();
}

// The synchronize trees: every case of the run at the top and in a subfolder.
void MakeSyncTrees(const std::string& a, const std::string& p)
{
    Put(a + "\\new.txt", "new", 5);
    Put(a + "\\upd.txt", "updated", 7);
    Put(p + "\\upd.txt", "old", 5);
    Put(a + "\\keep.txt", "keep A", 5);
    Put(p + "\\keep.txt", "keep P", 5);   // same time: left alone
    Put(a + "\\stale.txt", "older in A", 3);
    Put(p + "\\stale.txt", "newer in P", 5);
    Put(p + "\\orphan.txt", "orphan", 5);
    CreateDirectoryA((a + "\\dirA").c_str(), NULL);
    Put(a + "\\dirA\\inner.txt", "inner", 5);
    CreateDirectoryA((a + "\\subs").c_str(), NULL);
    CreateDirectoryA((p + "\\subs").c_str(), NULL);
    Put(a + "\\subs\\deep Ж.txt", "deep new", 9);
    Put(p + "\\subs\\deep Ж.txt", "deep old", 5);
    Put(p + "\\subs\\orph2.txt", "orphan 2", 5);
}

TEST_F(CompareSync, SynchronizeDoesWhatThePreviewLists)
{
    MakeSyncTrees(a, p);
    auto treeA = Tree(a);
    drv::AppProcess app;
    HWND main = Start(app, 6);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    watcher.Allow("Confirm operations in the Passive folder:");
    watcher.Allow("The synchronization is complete.");
    HWND dlg = OpenSync(app, main, AllNames(main));
    ASSERT_TRUE(dlg);
    EXPECT_EQ("6 objects", drv::WindowText(GetDlgItem(dlg, IDC_SYN_SELECTION)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_SYN_DELETE_ORPHANS)));
    for (int id : {IDC_SYN_COPY_NEWER, IDC_SYN_DELETE_ORPHANS, IDC_SYN_SUBFOLDERS, IDC_SYN_DELETE_SUB})
        CheckDlgButton(dlg, id, BST_CHECKED);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    HWND preview = drv::WaitForDialogCaption(app.Pid(), "Confirm Synchronize");
    ASSERT_TRUE(preview);
    auto deletes = Sorted(ListBoxItems(GetDlgItem(preview, IDC_SYC_DELETE_LIST)));
    auto replaces = Sorted(ListBoxItems(GetDlgItem(preview, IDC_SYC_REPLACE_LIST)));
    auto creates = Sorted(ListBoxItems(GetDlgItem(preview, IDC_SYC_CREATE_LIST)));
    EXPECT_EQ(Sorted({"orphan.txt", "subs\\orph2.txt"}), deletes);
    EXPECT_EQ(Sorted({"upd.txt", "subs\\deep Ж.txt"}), replaces);
    EXPECT_EQ(Sorted({"new.txt", "dirA"}), creates);
    EXPECT_EQ("DELETE 2 object(s):", drv::WindowText(GetDlgItem(preview, IDC_SYC_DELETE_LABEL)));
    EXPECT_EQ("REPLACE 2 object(s):", drv::WindowText(GetDlgItem(preview, IDC_SYC_REPLACE_LABEL)));
    EXPECT_EQ("CREATE 2 object(s):", drv::WindowText(GetDlgItem(preview, IDC_SYC_CREATE_LABEL)));
    EXPECT_FALSE(drv::Screenshot("synchronize_preview", preview).empty());
    auto before = Tree(p);
    // Confirming is the default; the shell's own questions are not under test here.
    EXPECT_EQ(BST_CHECKED, (int)SendMessageA(GetDlgItem(preview, 1160), BM_GETCHECK, 0, 0));
    CheckDlgButton(preview, 1160, BST_UNCHECKED);
    ASSERT_TRUE(drv::PressButton(preview, IDOK));
    HWND done = app.WaitForWindowWithText("The synchronization is complete.", 20000);
    ASSERT_TRUE(done);
    drv::PressButton(done, IDOK);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));

    // The tree after the run is the tree before with exactly the listed changes.
    auto after = Tree(p);
    auto expect = before;
    for (const std::string& d : deletes)
        expect.erase(d);
    for (const std::string& r : replaces)
        expect[r] = treeA[r];
    for (const std::string& c : creates)
        for (auto& e : treeA)
            if (e.first == c || e.first.compare(0, c.size() + 1, c + "\\") == 0)
                expect[e.first] = e.second;
    EXPECT_EQ(expect, after);
    EXPECT_EQ("newer in P", after["stale.txt"]);   // an older file is never copied
    EXPECT_EQ("keep P", after["keep.txt"]);
    EXPECT_EQ(treeA, Tree(a));
    EXPECT_EQ(0u, drv::GetUserDword(kRootKey, "Settings2", 0) & 0x8000u);   // the box is remembered
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
}

TEST_F(CompareSync, CopyNewerOnlyNeverDeletesAndASkippedPreviewAsksNothing)
{
    MakeSyncTrees(a, p);
    drv::AppProcess app;
    HWND main = Start(app, 6);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    watcher.Allow("The synchronization is complete.");
    HWND dlg = OpenSync(app, main, AllNames(main));
    ASSERT_TRUE(dlg);
    CheckDlgButton(dlg, IDC_SYN_COPY_NEWER, BST_CHECKED);
    CheckDlgButton(dlg, IDC_SYN_DELETE_ORPHANS, BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_SYN_SUBFOLDERS, BST_CHECKED);
    CheckDlgButton(dlg, IDC_SYN_DELETE_SUB, BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_SYN_SKIP_ONCE, BST_CHECKED);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    HWND done = app.WaitForWindowWithText("The synchronization is complete.", 20000);
    ASSERT_TRUE(done);
    drv::PressButton(done, IDOK);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    auto after = Tree(p);
    EXPECT_EQ("orphan", after["orphan.txt"]);
    EXPECT_EQ("orphan 2", after["subs\\orph2.txt"]);
    EXPECT_EQ("updated", after["upd.txt"]);
    EXPECT_EQ("deep new", after["subs\\deep Ж.txt"]);
    EXPECT_EQ("inner", after["dirA\\inner.txt"]);
    // Overwriting asked the shell for no confirmation, and the preview did not show.
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
}

TEST_F(CompareSync, AFileAgainstAFolderStopsBeforeAnythingChanges)
{
    MakeSyncTrees(a, p);
    Put(a + "\\clash", "a file", 5);
    CreateDirectoryA((p + "\\clash").c_str(), NULL);
    Put(p + "\\clash\\in.txt", "in", 5);
    auto before = Tree(p);
    drv::AppProcess app;
    HWND main = Start(app, 7);
    ASSERT_TRUE(main);
    HWND dlg = OpenSync(app, main, AllNames(main));
    ASSERT_TRUE(dlg);
    for (int id : {IDC_SYN_COPY_NEWER, IDC_SYN_DELETE_ORPHANS, IDC_SYN_SUBFOLDERS, IDC_SYN_DELETE_SUB})
        CheckDlgButton(dlg, id, BST_CHECKED);
    CheckDlgButton(dlg, IDC_SYN_SKIP_ONCE, BST_CHECKED);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    HWND box = app.WaitForWindowWithText("Conflicting file object names:", 10000);
    ASSERT_TRUE(box);
    EXPECT_NE(std::string::npos, drv::AllTexts(box).find("Folder '" + a + "' contains a file 'clash', but folder '" + p +
                                                         "' contains a *subfolder* with the same name."));
    drv::PressButton(box, IDOK);
    EXPECT_TRUE(drv::WaitFor([&] { return IsWindowEnabled(dlg) != FALSE; }, 5000));
    EXPECT_TRUE(IsWindow(dlg));   // the dialog stays open
    EXPECT_EQ(before, Tree(p));
    drv::PressButton(dlg, IDCANCEL);
    app.Close();
}

TEST_F(CompareSync, PartOfTheFolderSelectedCannotDeleteOrphansAtTheTop)
{
    MakeSyncTrees(a, p);
    drv::AppProcess app;
    HWND main = Start(app, 6);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    watcher.Allow("The synchronization is complete.");
    HWND dlg = OpenSync(app, main, {"subs", "new.txt"});
    ASSERT_TRUE(dlg);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_SYN_DELETE_ORPHANS)));
    EXPECT_EQ(BST_UNCHECKED, (int)SendMessageA(GetDlgItem(dlg, IDC_SYN_DELETE_ORPHANS), BM_GETCHECK, 0, 0));
    for (int id : {IDC_SYN_COPY_NEWER, IDC_SYN_SUBFOLDERS, IDC_SYN_DELETE_SUB, IDC_SYN_SKIP_ONCE})
        CheckDlgButton(dlg, id, BST_CHECKED);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    HWND done = app.WaitForWindowWithText("The synchronization is complete.", 20000);
    ASSERT_TRUE(done);
    drv::PressButton(done, IDOK);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    auto after = Tree(p);
    EXPECT_EQ("orphan", after["orphan.txt"]);            // top level: kept
    EXPECT_EQ(0u, after.count("subs\\orph2.txt"));       // in a selected subfolder: gone
    EXPECT_EQ("new", after["new.txt"]);
    EXPECT_EQ("old", after["upd.txt"]);                  // not selected
    EXPECT_EQ(0u, after.count("dirA"));
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
}

TEST_F(CompareSync, NothingToDoKeepsTheDialogOpen)
{
    Put(a + "\\one.txt", "1", 5);
    Put(p + "\\one.txt", "1", 5);
    drv::AppProcess app;
    HWND main = Start(app, 1);
    ASSERT_TRUE(main);
    HWND dlg = OpenSync(app, main, {"one.txt"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ("one.txt", drv::WindowText(GetDlgItem(dlg, IDC_SYN_SELECTION)));
    CheckDlgButton(dlg, IDC_SYN_COPY_NEWER, BST_CHECKED);
    EXPECT_FALSE(drv::Screenshot("synchronize_dialog", dlg).empty());
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    HWND box = app.WaitForWindowWithText("Nothing to do!", 10000);
    ASSERT_TRUE(box);
    drv::PressButton(box, IDOK);
    EXPECT_TRUE(drv::WaitFor([&] { return IsWindowEnabled(dlg) != FALSE; }, 5000));
    EXPECT_TRUE(IsWindow(dlg));
    drv::PressButton(dlg, IDCANCEL);
    app.Close();
}

}  // namespace

namespace {

// A file held open without sharing: the shell cannot read it until the handle goes.
class LockedFile {
public:
    explicit LockedFile(const std::string& path)
        : m_h(CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL))
    {
    }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    ~LockedFile() { Release(); }
    bool IsHeld() const { return m_h != INVALID_HANDLE_VALUE; }
    void Release()
    {
        if (m_h != INVALID_HANDLE_VALUE)
            CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_h;
};

}  // namespace

// A source file that cannot be read in the middle of the copy: the run says it is not
// complete (never that it is), and every file at the destination is a whole copy or the old one.
TEST_F(CompareSync, SynchronizeWithALockedFileReportsTheFailure)
{
    Put(a + "\\a1.txt", "first new", 5);
    Put(a + "\\b2 Ж.txt", "locked new", 5);
    Put(a + "\\c3.txt", "third new", 5);
    Put(a + "\\upd.txt", "updated", 7);
    Put(p + "\\upd.txt", "old", 5);
    auto treeA = Tree(a);
    auto before = Tree(p);
    LockedFile lock(a + "\\b2 Ж.txt");
    ASSERT_TRUE(lock.IsHeld());
    drv::AppProcess app;
    HWND main = Start(app, 4);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    watcher.Allow("The synchronization is not complete");
    HWND dlg = OpenSync(app, main, AllNames(main));
    ASSERT_TRUE(dlg);
    CheckDlgButton(dlg, IDC_SYN_COPY_NEWER, BST_CHECKED);
    for (int id : {IDC_SYN_DELETE_ORPHANS, IDC_SYN_DELETE_SUB})
        CheckDlgButton(dlg, id, BST_UNCHECKED);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    HWND preview = drv::WaitForDialogCaption(app.Pid(), "Confirm Synchronize");
    ASSERT_TRUE(preview);
    CheckDlgButton(preview, 1160, BST_UNCHECKED);
    ASSERT_TRUE(drv::PressButton(preview, IDOK));
    HWND failed = app.WaitForWindowWithText("The synchronization is not complete", 20000);
    if (!failed) {
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            ADD_FAILURE() << "window: " << drv::AllTexts(w);
        ADD_FAILURE() << "passive: " << Tree(p).size() << " answered " << watcher.Answered().size();
        for (auto& t : watcher.Answered())
            ADD_FAILURE() << "answered: " << t;
    }
    ASSERT_TRUE(failed) << "no failure reported";
    EXPECT_NE(std::string::npos, drv::AllTexts(failed).find("copied"));
    EXPECT_FALSE(app.FindWindowWithText("The synchronization is complete."));
    EXPECT_FALSE(drv::Screenshot("synchronize_failed", failed).empty());
    drv::PressButton(failed, IDOK);
    // The dialog stays for another try.
    Sleep(300);
    EXPECT_TRUE(IsWindow(dlg));
    lock.Release();

    // Every file of the passive folder is the active one's or its own old one; the locked
    // file did not arrive cut.
    auto after = Tree(p);
    EXPECT_EQ(0u, after.count("b2 Ж.txt")) << after["b2 Ж.txt"];
    for (auto& e : after) {
        bool copied = treeA.count(e.first) && treeA[e.first] == e.second;
        bool old = before.count(e.first) && before[e.first] == e.second;
        EXPECT_TRUE(copied || old) << e.first << ": " << e.second;
    }
    EXPECT_EQ(treeA, Tree(a));
    drv::PressButton(dlg, IDCANCEL);
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    // The passive panel shows what is on disk.
    std::vector<std::string> names;
    for (auto& e : after)
        names.push_back(e.first);
    EXPECT_TRUE(drv::WaitFor([&] { return Sorted(drv::ListViewTexts(drv::PanelList(main, 1), false)) == names; }, 10000));
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
}

namespace {

// Threads of the program held still, so that a test can act while a run is at a known point.
// Every held thread goes on again at Release or at the end.
class HeldThreads {
public:
    HeldThreads() = default;
    HeldThreads(const HeldThreads&) = delete;   // owns the thread handles
    HeldThreads& operator=(const HeldThreads&) = delete;
    ~HeldThreads()
    {
        Release();
        for (HANDLE h : m_handles)
            CloseHandle(h);
    }
    // Holds every thread of the process that is neither among `known` nor held already; the
    // number of threads held now.
    size_t HoldNew(DWORD pid, const std::vector<DWORD>& known)
    {
        for (DWORD id : drv::ThreadIds(pid)) {
            if (std::find(known.begin(), known.end(), id) != known.end() ||
                std::find(m_ids.begin(), m_ids.end(), id) != m_ids.end())
                continue;
            HANDLE h = OpenThread(THREAD_SUSPEND_RESUME | SYNCHRONIZE, FALSE, id);
            if (!h)
                continue;
            if (SuspendThread(h) == (DWORD)-1) {
                CloseHandle(h);
                continue;
            }
            m_ids.push_back(id);
            m_handles.push_back(h);
            m_held.push_back(h);
        }
        return m_held.size();
    }
    // Holds again the threads held before that are still running.
    void HoldAgain()
    {
        for (HANDLE h : m_handles)
            if (WaitForSingleObject(h, 0) == WAIT_TIMEOUT && SuspendThread(h) != (DWORD)-1)
                m_held.push_back(h);
    }
    void Release()
    {
        for (HANDLE h : m_held)
            ResumeThread(h);
        m_held.clear();
    }
    // True once every thread ever held has ended.
    bool WaitEnded(DWORD timeoutMs)
    {
        for (HANDLE h : m_handles)
            if (WaitForSingleObject(h, timeoutMs) != WAIT_OBJECT_0)
                return false;
        return true;
    }

private:
    std::vector<DWORD> m_ids;
    std::vector<HANDLE> m_handles, m_held;
};

// The progress dialog of a comparison, or null.
HWND ComparingDialog(const drv::AppProcess& app, HWND main)
{
    for (HWND w : drv::TopLevelWindows(app.Pid()))
        if (w != main && drv::AllTexts(w).find("Comparing...") != std::string::npos)
            return w;
    return NULL;
}

}  // namespace

// A comparison that lasts: the threads the OK press starts are held past the progress dialog's
// delay. The dialog shows and the run then ends with every difference selected. Cancel in the
// middle of a second run keeps only differences (what was found before it), never claims that
// nothing differs, and the program compares in full again afterwards.
TEST_F(CompareSync, ALongCompareShowsItsProgressAndCancelStopsIt)
{
    // Made by the host's shell: twenty thousand files in a moment. Every folder of A holds one
    // newer file; 0_newer.txt comes first at the top.
    std::string script = "cd '" + drv::UnixPathOf(base) +
                         "' && for s in A P; do for d in $(seq -w 0 39); do mkdir -p $s/d$d && "
                         "(cd $s/d$d && touch -d '2023-01-10 05:00' $(seq -f 'f%03g.dat' 0 249)); done; done && "
                         "for d in $(seq -w 0 39); do touch -d '2023-01-10 09:00' A/d$d/f249.dat; done && "
                         "touch -d '2023-01-10 05:00' P/0_newer.txt && touch -d '2023-01-10 09:00' A/0_newer.txt";
    ASSERT_TRUE(drv::RunUnixShell(script, nullptr, 120000));
    std::vector<std::string> all = {"0_newer.txt"};
    char name[16];
    for (int d = 0; d < 40; ++d) {
        snprintf(name, sizeof(name), "d%02d", d);
        all.push_back(name);
    }
    drv::AppProcess app;
    HWND main = Start(app, all.size());
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    // The Compare dialog with subfolders and one criterion checked.
    auto openCompare = [&](int criterion) -> HWND {
        EXPECT_TRUE(app.PostCommand(ID_COMPARE));
        HWND dlg = drv::WaitForDialogCaption(app.Pid(), "Compare");
        for (int id : {IDC_A_UNIQUE, IDC_A_NEWER, IDC_A_SAME, IDC_A_OLDER, IDC_P_UNIQUE, IDC_P_NEWER,
                       IDC_P_SAME, IDC_P_OLDER, IDC_SUBFOLDERS})
            CheckDlgButton(dlg, id, id == criterion || id == IDC_SUBFOLDERS);
        return dlg;
    };
    // Presses OK and holds what it starts for 700 ms; then the progress dialog, once it shows.
    auto startHeld = [&](HWND dlg, HeldThreads& held, std::vector<DWORD>& known) -> HWND {
        known = drv::ThreadIds(app.Pid());
        EXPECT_TRUE(drv::PressButton(dlg, IDOK));
        EXPECT_TRUE(drv::WaitFor([&] { return held.HoldNew(app.Pid(), known) > 0; }, 10000, 1));
        Sleep(700);
        held.Release();
        HWND progress = NULL;
        drv::WaitFor([&] { return (progress = ComparingDialog(app, main)) != NULL; }, 10000, 1);
        return progress;
    };
    // Cancels the run of a progress dialog with the comparing threads standing still, so that
    // the press lands mid-run; true when the dialog went while they stood still. (A thread held
    // at any point may hold a lock the dialog needs to close: the press is then taken only once
    // the threads go on, perhaps after the run has ended.) The run has ended on return.
    auto cancelHeld = [&](HWND progress, HeldThreads& held) -> bool {
        held.HoldAgain();
        bool pressed = drv::PressButton(progress, IDCANCEL);
        bool wentHeld = pressed && drv::WaitFor([&] { return !IsWindow(progress); }, 3000);
        Sleep(150);   // the run asks for a cancel at most ten times a second
        held.Release();
        EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(progress); }, 10000));
        EXPECT_TRUE(held.WaitEnded(60000));
        app.Send(WM_NULL, 0, 0, 60000);
        return wentHeld;
    };
    // A run with the criterion, cancelled in its middle; up to three tries, as a press that
    // waited on a held thread proves nothing. True when one landed.
    auto cancelledRun = [&](int criterion) -> bool {
        for (int attempt = 0; attempt < 3; ++attempt) {
            HWND dlg = openCompare(criterion);
            if (!dlg)
                return false;
            HeldThreads held;
            std::vector<DWORD> known;
            HWND progress = startHeld(dlg, held, known);
            EXPECT_TRUE(progress != NULL);
            if (!progress)
                return false;
            if (cancelHeld(progress, held))
                return true;
            // The run may have ended as a whole one, with its message.
            if (HWND box = app.WaitForWindowWithText("No differences detected between these folders.", 1500))
                drv::PressButton(box, IDOK);
        }
        return false;
    };

    {
        SCOPED_TRACE("a whole run");
        HWND dlg = openCompare(IDC_A_NEWER);
        ASSERT_TRUE(dlg);
        HeldThreads held;
        std::vector<DWORD> known;
        HWND progress = startHeld(dlg, held, known);
        EXPECT_TRUE(progress != NULL);
        held.HoldAgain();
        EXPECT_FALSE(drv::Screenshot("compare_progress").empty());
        held.Release();
        EXPECT_TRUE(held.WaitEnded(60000));
        ExpectSelection(main, 0, all, __LINE__);
        EXPECT_TRUE(Selected(main, 1).empty());
        EXPECT_TRUE(drv::WaitFor([&] { return !ComparingDialog(app, main); }, 10000));
    }
    {
        SCOPED_TRACE("a cancelled run");
        ASSERT_TRUE(cancelledRun(IDC_A_NEWER));
        std::vector<std::string> got = Selected(main, 0);
        EXPECT_LT(got.size(), all.size());
        for (const std::string& n : got)
            EXPECT_TRUE(std::find(all.begin(), all.end(), n) != all.end()) << n;
        EXPECT_TRUE(Selected(main, 1).empty());
    }
    {
        // Nothing is unique on either side: a cancelled run finds nothing, yet it did not look
        // everywhere and must not say that nothing differs. A whole run says so.
        SCOPED_TRACE("a cancelled run that found nothing");
        ASSERT_TRUE(cancelledRun(IDC_A_UNIQUE));
        EXPECT_TRUE(Selected(main, 0).empty());
        EXPECT_EQ(NULL, app.WaitForWindowWithText("No differences detected between these folders.", 1500));
        HWND dlg = openCompare(IDC_A_UNIQUE);
        ASSERT_TRUE(dlg);
        ASSERT_TRUE(drv::PressButton(dlg, IDOK));
        HWND box = app.WaitForWindowWithText("No differences detected between these folders.", 10000);
        ASSERT_TRUE(box);
        drv::PressButton(box, IDOK);
    }
    EXPECT_TRUE(watcher.Answered().empty());

    // The program compares in full again.
    Compare(app, {IDC_A_NEWER, IDC_SUBFOLDERS});
    ExpectSelection(main, 0, all, __LINE__);
    EXPECT_TRUE(watcher.Answered().empty());
    EXPECT_TRUE(app.Close());
}

namespace {

// The root ("F:\") of the FAT volume the test prefix makes (labelled PANORELFAT), or empty.
std::string TestFatVolume()
{
    DWORD logical = GetLogicalDrives();
    for (int d = 2; d < 26; ++d) {
        if (!(logical & (1u << d)))
            continue;
        std::string root = std::string(1, (char)('A' + d)) + ":\\";
        char label[64] = "", fs[64] = "";
        if (GetVolumeInformationA(root.c_str(), label, sizeof(label), NULL, NULL, NULL, fs, sizeof(fs)) &&
            !strcmp(label, "PANORELFAT") && !strncmp(fs, "FAT", 3))
            return root;
    }
    return std::string();
}

void PutAt(const std::string& path, int second, int ms)
{
    drv::WriteBytes(path, path);
    SYSTEMTIME st = {};
    st.wYear = 2023;
    st.wMonth = 1;
    st.wDay = 10;
    st.wHour = 12;
    st.wSecond = (WORD)second;
    st.wMilliseconds = (WORD)ms;
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    SetFileTime(h, NULL, NULL, &ft);
    CloseHandle(h);
}

}  // namespace

// A FAT volume keeps last-write times in two-second steps. Against one, a time less than a step
// later counts as the same and a whole step or more as a difference, in both panels, and
// Synchronize replaces only what is newer by a whole step; between two folders of one file
// system the same times differ. The FAT side's times are even seconds, as FAT stores them.
TEST_F(CompareSync, AgainstAFatVolumeTimesWithinTheTwoSecondStepAreTheSame)
{
    std::string fat = TestFatVolume();
    if (fat.empty())
        GTEST_SKIP() << "no FAT volume labelled PANORELFAT (the test script's prefix has one)";
    std::string onFat = fat + "compare_fat";
    drv::RemoveTree(onFat);
    ASSERT_TRUE(CreateDirectoryA(onFat.c_str(), NULL));
    const std::string ntfs = base + "\\SameKind";
    ASSERT_TRUE(CreateDirectoryA(ntfs.c_str(), NULL));
    struct Row {
        const char* name;
        int second, ms;   // the other side's time; the FAT side holds 12:00:10
    } rows[] = {{"exact.txt", 10, 0},   {"half Ж.txt", 10, 500}, {"almost.txt", 11, 999},
                {"step.txt", 12, 0},    {"before.txt", 9, 900}};
    for (const Row& r : rows) {
        PutAt(onFat + "\\" + r.name, 10, 0);
        PutAt(ntfs + "\\" + r.name, 10, 0);
        PutAt(p + "\\" + r.name, r.second, r.ms);
    }
    {
        a = onFat;
        drv::AppProcess app;
        HWND main = Start(app, 5);
        ASSERT_TRUE(main);
        drv::ModalWatcher watcher(app.Pid());
        Compare(app, {IDC_A_SAME, IDC_P_SAME});
        ExpectSelection(main, 0, {"exact.txt", "half Ж.txt", "almost.txt"}, __LINE__);
        ExpectSelection(main, 1, {"exact.txt", "half Ж.txt", "almost.txt"}, __LINE__);
        // A whole step later on the other side is newer there; a tenth earlier falls in the
        // step before, older there.
        Compare(app, {IDC_A_OLDER, IDC_P_NEWER});
        ExpectSelection(main, 0, {"step.txt"}, __LINE__);
        ExpectSelection(main, 1, {"step.txt"}, __LINE__);
        Compare(app, {IDC_A_NEWER, IDC_P_OLDER});
        ExpectSelection(main, 0, {"before.txt"}, __LINE__);
        ExpectSelection(main, 1, {"before.txt"}, __LINE__);
        EXPECT_TRUE(watcher.Answered().empty());
        EXPECT_TRUE(app.Close());
    }
    {
        // The same times in two folders of one file system: only the exact one is the same.
        a = ntfs;
        drv::AppProcess app;
        HWND main = Start(app, 5);
        ASSERT_TRUE(main);
        Compare(app, {IDC_A_SAME, IDC_P_SAME});
        ExpectSelection(main, 0, {"exact.txt"}, __LINE__);
        ExpectSelection(main, 1, {"exact.txt"}, __LINE__);
        Compare(app, {IDC_A_OLDER, IDC_P_NEWER});
        ExpectSelection(main, 0, {"half Ж.txt", "almost.txt", "step.txt"}, __LINE__);
        EXPECT_TRUE(app.Close());
    }
    {
        // Synchronize onto the FAT volume replaces only what is newer by a whole step.
        std::string from = p;
        a = from;
        p = onFat;
        drv::AppProcess app;
        HWND main = Start(app, 5);
        ASSERT_TRUE(main);
        drv::ModalWatcher watcher(app.Pid());
        watcher.Allow("Confirm operations in the Passive folder:");
        HWND dlg = OpenSync(app, main, AllNames(main));
        ASSERT_TRUE(dlg);
        CheckDlgButton(dlg, IDC_SYN_COPY_NEWER, BST_CHECKED);
        ASSERT_TRUE(drv::PressButton(dlg, IDOK));
        HWND preview = drv::WaitForDialogCaption(app.Pid(), "Confirm Synchronize");
        ASSERT_TRUE(preview);
        EXPECT_EQ(std::vector<std::string>{"step.txt"}, ListBoxItems(GetDlgItem(preview, IDC_SYC_REPLACE_LIST)));
        EXPECT_TRUE(ListBoxItems(GetDlgItem(preview, IDC_SYC_CREATE_LIST)).empty());
        EXPECT_TRUE(ListBoxItems(GetDlgItem(preview, IDC_SYC_DELETE_LIST)).empty());
        drv::PressButton(preview, IDCANCEL);
        EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(preview); }, 10000));
        drv::PressButton(dlg, IDCANCEL);
        EXPECT_TRUE(watcher.Answered().empty());
        EXPECT_TRUE(app.Close());
        p = from;
    }
    drv::RemoveTree(onFat);
}
