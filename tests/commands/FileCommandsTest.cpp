// Copy, Move, Rename and Delete in the real program: the dialogs, the shell's work and the
// resulting tree on disk.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <string>
#include <vector>
#include "driver/Driver.h"

namespace {
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kPolicyKey[] = "SOFTWARE\\Policies\\Corvane\\Panorel";
enum : UINT { ID_COPY = 39401, ID_MOVE = 39402, ID_RENAME = 39403, ID_DELETE = 39404 };
enum : int { IDC_TO_FOLDER = 1054, IDC_RENAME_TO = 1050, IDC_RECYCLE = 1301, IDC_SELECTION = 1060 };

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD n = 0;
    ::WriteFile(f, bytes.data(), (DWORD)bytes.size(), &n, NULL);
    CloseHandle(f);
}

std::string ReadFile(const std::string& path)
{
    std::string out;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return out;
    char buf[4096];
    DWORD n = 0;
    while (::ReadFile(f, buf, sizeof(buf), &n, NULL) && n)
        out.append(buf, n);
    CloseHandle(f);
    return out;
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
        std::string path = folder + "\\" + name;
        std::string key = rel.empty() ? name : rel + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[key] = "<dir>";
            auto sub = Tree(path, key);
            out.insert(sub.begin(), sub.end());
        } else {
            out[key] = ReadFile(path);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return out;
}

// Selects exactly the named items of a list view in another process.
bool SelectItems(HWND list, const std::vector<std::string>& names)
{
    std::vector<std::string> all = drv::ListViewTexts(list, false);
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return false;
    void* remote = VirtualAllocEx(process, NULL, sizeof(LVITEMA), MEM_COMMIT, PAGE_READWRITE);
    size_t found = 0;
    if (remote) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SIZE_T done = 0;
        WriteProcessMemory(process, remote, &item, sizeof(item), &done);
        SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)remote);
        for (size_t i = 0; i < all.size(); ++i) {
            if (std::find(names.begin(), names.end(), all[i]) == names.end())
                continue;
            item.state = LVIS_SELECTED | (found == 0 ? LVIS_FOCUSED : 0);
            WriteProcessMemory(process, remote, &item, sizeof(item), &done);
            if (SendMessageA(list, LVM_SETITEMSTATE, i, (LPARAM)remote))
                ++found;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return found == names.size();
}

// A dialog of the process with that caption.
HWND WaitForDialog(const drv::AppProcess& app, const char* caption, DWORD timeoutMs = 10000)
{
    HWND found = NULL;
    drv::WaitFor(
        [&] {
            for (HWND w : drv::TopLevelWindows(app.Pid()))
                if (drv::ClassName(w) == "#32770" && drv::WindowText(w) == caption)
                    return (found = w) != NULL;
            return false;
        },
        timeoutMs);
    return found;
}

// A message box of the process whose texts contain text, answered with OK.
bool AnswerBox(const drv::AppProcess& app, const char* text, int button = IDOK)
{
    HWND box = app.WaitForWindowWithText(text, 10000);
    return box && drv::PressButton(box, button);
}

class FileCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        base = std::string(temp) + "fileops_cmd";
        RemoveTree(base);
        CreateDirectoryA(base.c_str(), NULL);
        a = base + "\\A";
        b = base + "\\B";
        CreateDirectoryA(a.c_str(), NULL);
        CreateDirectoryA(b.c_str(), NULL);
        CreateDirectoryA((a + "\\sub").c_str(), NULL);
        WriteFile(a + "\\one.txt", "first file");
        WriteFile(a + "\\two.txt", "second, longer file");
        WriteFile(a + "\\three.log", "log");
        WriteFile(a + "\\sub\\inner.dat", std::string(5000, 'q'));
    }
    void TearDown() override
    {
        drv::DeleteUserKey(kPolicyKey);
        drv::DeleteUserKey(kProductKey);
        RemoveTree(base);
    }
    HWND Start(drv::AppProcess& app, const std::string& args)
    {
        EXPECT_TRUE(app.Start("panorel.exe", args));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelList(main, 0) && drv::PanelList(main, 1); }, 10000));
        // The first panel's list filled.
        EXPECT_TRUE(drv::WaitFor([&] { return drv::ListViewTexts(drv::PanelList(main, 0), false).size() >= 4; }, 10000));
        return main;
    }
    // Runs the command on the named items of panel 1 and waits for its dialog.
    HWND Open(drv::AppProcess& app, HWND main, UINT id, const char* caption,
              const std::vector<std::string>& names)
    {
        HWND list = drv::PanelList(main, 0);
        EXPECT_TRUE(SelectItems(list, names));
        EXPECT_TRUE(app.PostCommand(id));
        return WaitForDialog(app, caption);
    }

    std::string base, a, b;
};

TEST_F(FileCommands, CopyPutsTheSelectionIntoThePassiveFolder)
{
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    auto before = Tree(a);
    HWND dlg = Open(app, main, ID_COPY, "Copy", {"one.txt", "sub"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ(b, drv::WindowText(GetDlgItem(dlg, IDC_TO_FOLDER)));
    EXPECT_EQ("2 objects", drv::WindowText(GetDlgItem(dlg, IDC_SELECTION)));
    // The split block is hidden for Copy.
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, 1212)));
    RedrawWindow(dlg, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(700);   // let it paint before the picture
    std::string shot = drv::Screenshot("fileops_copy_dialog", dlg);
    EXPECT_FALSE(shot.empty());
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    std::map<std::string, std::string> expect = {
        {"one.txt", "first file"}, {"sub", "<dir>"}, {"sub\\inner.dat", std::string(5000, 'q')}};
    EXPECT_TRUE(drv::WaitFor([&] { return Tree(b) == expect; }, 10000));
    EXPECT_EQ(expect, Tree(b));
    EXPECT_EQ(before, Tree(a));   // copying leaves the source
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
}

TEST_F(FileCommands, MoveTakesTheItemsAway)
{
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    HWND dlg = Open(app, main, ID_MOVE, "Move", {"two.txt"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ("two.txt", drv::WindowText(GetDlgItem(dlg, IDC_SELECTION)));
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    std::map<std::string, std::string> expectB = {{"two.txt", "second, longer file"}};
    EXPECT_TRUE(drv::WaitFor([&] { return Tree(b) == expectB; }, 10000));
    std::map<std::string, std::string> expectA = {{"one.txt", "first file"},
                                                  {"three.log", "log"},
                                                  {"sub", "<dir>"},
                                                  {"sub\\inner.dat", std::string(5000, 'q')}};
    EXPECT_EQ(expectA, Tree(a));
    app.Close();
}

TEST_F(FileCommands, RenameWithAMask)
{
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    HWND dlg = Open(app, main, ID_RENAME, "Rename", {"one.txt", "three.log"});
    ASSERT_TRUE(dlg);
    HWND to = GetDlgItem(dlg, IDC_RENAME_TO);
    EXPECT_EQ("*.*", drv::WindowText(to));
    SendMessageA(to, WM_SETTEXT, 0, (LPARAM) "*.bak");
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    EXPECT_TRUE(drv::WaitFor([&] { return GetFileAttributesA((a + "\\three.bak").c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000));
    std::map<std::string, std::string> expect = {{"one.bak", "first file"},
                                                 {"three.bak", "log"},
                                                 {"two.txt", "second, longer file"},
                                                 {"sub", "<dir>"},
                                                 {"sub\\inner.dat", std::string(5000, 'q')}};
    EXPECT_EQ(expect, Tree(a));
    EXPECT_TRUE(Tree(b).empty());
    app.Close();
    // The To text is remembered in its history.
    EXPECT_TRUE(drv::UserValueExists(kRootKey, "RenameToMRU"));
}

TEST_F(FileCommands, DeleteWithoutRecycleBinIsRemembered)
{
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b);
    ASSERT_TRUE(main);
    HWND dlg = Open(app, main, ID_DELETE, "Delete", {"three.log", "sub"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(dlg, IDC_RECYCLE), BM_GETCHECK, 0, 0));
    SendMessageA(GetDlgItem(dlg, IDC_RECYCLE), BM_SETCHECK, BST_UNCHECKED, 0);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    // The shell asks before deleting; answer Yes (again, should the box not have been ready).
    bool asked = drv::WaitFor(
        [&] {
            for (HWND w : drv::TopLevelWindows(app.Pid()))
                if (w != dlg && drv::ClassName(w) == "#32770" && drv::WindowText(w).find("Confirm") != std::string::npos) {
                    Sleep(300);
                    drv::PressButton(w, IDYES);
                    return true;
                }
            return false;
        },
        10000);
    EXPECT_TRUE(asked);
    drv::WaitFor(
        [&] {
            for (HWND w : drv::TopLevelWindows(app.Pid()))
                if (w != dlg && drv::WindowText(w).find("Confirm") != std::string::npos)
                    drv::PressButton(w, IDYES);
            return !IsWindow(dlg);
        },
        10000);
    std::map<std::string, std::string> expect = {{"one.txt", "first file"},
                                                 {"two.txt", "second, longer file"}};
    EXPECT_TRUE(drv::WaitFor([&] { return Tree(a) == expect; }, 10000));
    EXPECT_EQ(expect, Tree(a));
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    for (HWND w : drv::TopLevelWindows(app.Pid()))
        if (w != main)
            ADD_FAILURE() << "left open: " << drv::ClassName(w) << ": " << drv::AllTexts(w);
    EXPECT_EQ(4u, drv::GetUserDword(kRootKey, "Settings3", 0) & 4u);
    app.Close();
}

TEST_F(FileCommands, NothingToDoAndFolderOntoItselfKeepTheDialog)
{
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b);
    ASSERT_TRUE(main);
    HWND dlg = Open(app, main, ID_COPY, "Copy", {});
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    EXPECT_TRUE(AnswerBox(app, "Nothing to do!"));
    EXPECT_TRUE(IsWindow(dlg));
    ASSERT_TRUE(drv::PressButton(dlg, IDCANCEL));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));

    dlg = Open(app, main, ID_COPY, "Copy", {"sub"});
    ASSERT_TRUE(dlg);
    SetWindowTextA(GetDlgItem(dlg, IDC_TO_FOLDER), "sub");   // relative to the From folder
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    std::string msg = "Cannot copy folder '" + a + "\\sub' to itself.";
    EXPECT_TRUE(AnswerBox(app, msg.c_str()));
    EXPECT_TRUE(IsWindow(dlg));
    SetWindowTextA(GetDlgItem(dlg, IDC_TO_FOLDER), (a + "\\sub\\deeper").c_str());
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    msg = "Cannot copy folder '" + a + "\\sub' to its subfolder.";
    EXPECT_TRUE(AnswerBox(app, msg.c_str()));
    ASSERT_TRUE(drv::PressButton(dlg, IDCANCEL));
    EXPECT_EQ((std::map<std::string, std::string>{{"inner.dat", std::string(5000, 'q')}}), Tree(a + "\\sub"));
    EXPECT_TRUE(Tree(b).empty());
    app.Close();
}

TEST_F(FileCommands, DestinationOutsideTheRootPathIsRefused)
{
    drv::SetUserString(kPolicyKey, "RootPath", a.c_str());
    drv::AppProcess app;
    HWND main = Start(app, a + "," + a + "\\sub");
    ASSERT_TRUE(main);
    HWND dlg = Open(app, main, ID_COPY, "Copy", {"one.txt"});
    ASSERT_TRUE(dlg);
    SetWindowTextA(GetDlgItem(dlg, IDC_TO_FOLDER), b.c_str());
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    std::string msg = "Cannot copy into the folder " + b + ".";
    EXPECT_TRUE(AnswerBox(app, msg.c_str()));
    EXPECT_TRUE(IsWindow(dlg));
    EXPECT_TRUE(Tree(b).empty());
    // Inside the root it works.
    SetWindowTextA(GetDlgItem(dlg, IDC_TO_FOLDER), (a + "\\sub").c_str());
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    EXPECT_TRUE(drv::WaitFor([&] { return ReadFile(a + "\\sub\\one.txt") == "first file"; }, 10000));
    app.Close();
}

}  // namespace
