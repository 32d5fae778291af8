// Go to Folder, the Jump field, the command prompt and the root policy, in the real program.
#include <windows.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "driver/Driver.h"
#include "driver/SplitDriver.h"
#include "panels/JumpComplete.h"

namespace {
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kPolicyKey[] = "SOFTWARE\\Policies\\Corvane\\Panorel";
const char kRestricted[] = "restricted by the System Administrator";
enum : UINT {
    ID_PARENT = 38102, ID_DESKTOP = 38104, ID_GOTO = 38110, ID_JUMP = 38114, ID_SWITCH = 38301,
    ID_EXECUTE = 38302, ID_CLEAR = 38303, ID_UNDO = 38304, ID_INS_NAME = 39051, ID_INS_PATH = 39052,
    ID_INS_NAME_ALIAS = 39053, ID_INS_PATH_ALIAS = 39054, ID_DRIVE_Z = 39025
};
enum { IDC_GOTO_PATH = 4301, IDC_GOTO_SPECIAL = 4302, IDC_JUMP = 4304, IDC_PROMPT = 1008 };

struct FindCtl {
    int id;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindCtlProc(HWND wnd, LPARAM lp)
{
    FindCtl* f = reinterpret_cast<FindCtl*>(lp);
    if (GetDlgCtrlID(wnd) == f->id && (!f->cls || lstrcmpiA(drv::ClassName(wnd).c_str(), f->cls) == 0)) {
        f->found = wnd;
        return FALSE;
    }
    return TRUE;
}

// A descendant control by identifier (and class).
HWND FindControl(HWND parent, int id, const char* cls = "ComboBox")
{
    FindCtl f = {id, cls, NULL};
    EnumChildWindows(parent, FindCtlProc, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

std::string Text(HWND wnd)
{
    char text[4096] = "";
    SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG, 5000, NULL);
    return text;
}

void SetText(HWND wnd, const std::string& text)
{
    SendMessageTimeoutA(wnd, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, 5000, NULL);
}

// A history list as stored: the maximum, then the entries newest first.
std::vector<std::string> History(const char* name)
{
    std::vector<std::string> out;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRootKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return out;
    std::vector<char> data(65536);
    DWORD size = (DWORD)data.size(), type = 0;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)data.data(), &size) == ERROR_SUCCESS && size > 4) {
        for (DWORD i = 4; i < size && data[i];) {
            std::string entry(&data[i]);
            out.push_back(entry);
            i += (DWORD)entry.size() + 1;
        }
    }
    RegCloseKey(key);
    return out;
}

bool WaitTitle(HWND main, const std::string& expected, DWORD ms = 8000)
{
    return drv::WaitFor([&] { return drv::PanelTitle(main, 0) == expected; }, ms);
}

// Waits for a message box whose texts hold text, and presses OK.
bool Answer(drv::AppProcess& app, const char* text, int button = IDOK)
{
    HWND box = app.WaitForWindowWithText(text, 8000);
    if (!box)
        return false;
    drv::Screenshot("nav_message", NULL);
    drv::PressButton(box, button);
    return drv::WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
}

HWND OpenGoto(drv::AppProcess& app)
{
    app.PostCommand(ID_GOTO);
    return drv::WaitForDialogCaption(app.Pid(), "Go to Folder", 8000);
}

// Types into the Go-to dialog and presses OK.
void GotoText(drv::AppProcess& app, const std::string& text)
{
    HWND dlg = OpenGoto(app);
    ASSERT_TRUE(dlg != NULL);
    HWND box = GetDlgItem(dlg, IDC_GOTO_PATH);
    ASSERT_TRUE(box != NULL);
    SetText(box, text);
    drv::PressButton(dlg, IDOK);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
}

HWND OpenJump(drv::AppProcess& app, HWND main)
{
    app.PostCommand(ID_JUMP);
    HWND box = NULL;
    drv::WaitFor([&] { return (box = FindControl(drv::PanelWindow(main, 0), IDC_JUMP)) != NULL; }, 8000);
    return box;
}

HWND EditOf(HWND combo)
{
    return FindWindowExA(combo, NULL, "Edit", NULL);
}

void PressEnter(HWND wnd)
{
    PostMessageA(wnd, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(wnd, WM_KEYUP, VK_RETURN, 0xC01C0001);
}

// Jumps by typing text into the field and pressing Enter.
void JumpText(drv::AppProcess& app, HWND main, const std::string& text)
{
    HWND box = OpenJump(app, main);
    ASSERT_TRUE(box != NULL);
    SetText(box, text);
    PressEnter(EditOf(box));
}

std::string Base(const char* name)
{
    std::string base = drv::TempFolder(name);
    drv::RemoveTree(base);
    CreateDirectoryA(base.c_str(), NULL);
    return base;
}

class Nav : public ::testing::Test {
protected:
    void SetUp() override { drv::ResetProgramSettings(); }
    void TearDown() override { drv::DeleteUserKey(kProductKey); drv::DeleteUserKey(kPolicyKey); }
};

TEST_F(Nav, GotoTakesFoldersWithTheirHistoryAndSpecialFolders)
{
    std::string base = Base("nav_goto");
    const char* names[] = {"Папка", "Папка2", "フォルダ", "フォルダx", "😀 emoji", "😀 emoji2"};
    for (const char* n : names)
        ASSERT_TRUE(CreateDirectoryA((base + "\\" + n).c_str(), NULL)) << n;
    drv::AppProcess app;
    ASSERT_TRUE(app.Start("panorel.exe", "\"" + base + "\""));
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main != NULL);
    ASSERT_TRUE(WaitTitle(main, base));

    // The box starts with the current folder.
    HWND dlg = OpenGoto(app);
    ASSERT_TRUE(dlg != NULL);
    EXPECT_EQ(base, Text(GetDlgItem(dlg, IDC_GOTO_PATH)));
    drv::Screenshot("goto_dialog", dlg);
    drv::PressButton(dlg, IDCANCEL);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));

    for (const char* n : {"フォルダ", "😀 emoji", "Папка"}) {
        SCOPED_TRACE(n);
        GotoText(app, base + "\\" + n);
        EXPECT_TRUE(WaitTitle(main, base + "\\" + n)) << drv::PanelTitle(main, 0);
    }
    // Newest first, each once.
    std::vector<std::string> hist = History("GoToFolderMRU");
    ASSERT_GE(hist.size(), 3u);
    EXPECT_EQ(base + "\\Папка", hist[0]);
    EXPECT_EQ(base + "\\😀 emoji", hist[1]);
    EXPECT_EQ(base + "\\フォルダ", hist[2]);

    // Delete in the open list takes the highlighted entry out of the history.
    dlg = OpenGoto(app);
    ASSERT_TRUE(dlg != NULL);
    HWND box = GetDlgItem(dlg, IDC_GOTO_PATH);
    EXPECT_EQ(4, (int)SendMessageA(box, CB_GETCOUNT, 0, 0));   // three and the clear entry
    SendMessageA(box, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageA(box, CB_SETCURSEL, 1, 0);
    PostMessageA(FindWindowExA(box, NULL, "Edit", NULL), WM_KEYDOWN, VK_DELETE, 0x01530001);
    EXPECT_TRUE(drv::WaitFor([&] { return History("GoToFolderMRU").size() == 2; }, 5000));
    hist = History("GoToFolderMRU");
    EXPECT_EQ((std::vector<std::string>{base + "\\Папка", base + "\\フォルダ"}), hist);
    EXPECT_EQ(3, (int)SendMessageA(box, CB_GETCOUNT, 0, 0));
    drv::PressButton(dlg, IDCANCEL);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));

    // ".." is taken from the panel's folder.
    GotoText(app, "..");
    EXPECT_TRUE(WaitTitle(main, base)) << drv::PanelTitle(main, 0);

    // Choosing a special folder puts its path in the box, and the box's path selects it.
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof(windows));
    dlg = OpenGoto(app);
    ASSERT_TRUE(dlg != NULL);
    HWND list = GetDlgItem(dlg, IDC_GOTO_SPECIAL);
    int index = (int)SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM) "Windows folder");
    ASSERT_GE(index, 0);
    SendMessageA(list, LB_SETCURSEL, index, 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_GOTO_SPECIAL, LBN_SELCHANGE), (LPARAM)list);
    EXPECT_EQ(0, lstrcmpiA(windows, Text(GetDlgItem(dlg, IDC_GOTO_PATH)).c_str()));
    drv::PressButton(dlg, IDOK);
    EXPECT_TRUE(drv::WaitFor([&] { return lstrcmpiA(drv::PanelTitle(main, 0).c_str(), windows) == 0; }, 8000))
        << drv::PanelTitle(main, 0);
    dlg = OpenGoto(app);
    ASSERT_TRUE(dlg != NULL);
    EXPECT_EQ(index, (int)SendMessageA(GetDlgItem(dlg, IDC_GOTO_SPECIAL), LB_GETCURSEL, 0, 0));
    drv::PressButton(dlg, IDCANCEL);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    ASSERT_TRUE(app.Close());
    drv::RemoveTree(base);
}

TEST_F(Nav, GotoAndJumpRefuseBadTexts)
{
    std::string base = Base("nav_bad");
    ASSERT_TRUE(CreateDirectoryA((base + "\\a1").c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA((base + "\\ab").c_str(), NULL));
    drv::AppProcess app;
    ASSERT_TRUE(app.Start("panorel.exe", "\"" + base + "\""));
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main != NULL);
    ASSERT_TRUE(WaitTitle(main, base));
    std::string longText = base + "\\" + std::string(1000 - base.size() - 1, 'x');
    ASSERT_EQ(1000u, longText.size());

    GotoText(app, longText);
    EXPECT_TRUE(Answer(app, "characters long"));
    EXPECT_EQ(base, drv::PanelTitle(main, 0));
    // A wildcard would name a1 and ab alike.
    GotoText(app, base + "\\a?");
    EXPECT_TRUE(Answer(app, "not a valid folder name"));
    EXPECT_EQ(base, drv::PanelTitle(main, 0));
    GotoText(app, base + "\\a*");
    EXPECT_TRUE(Answer(app, "not a valid folder name"));
    EXPECT_EQ(base, drv::PanelTitle(main, 0));

    JumpText(app, main, longText);
    EXPECT_TRUE(Answer(app, "characters long"));
    EXPECT_EQ(base, drv::PanelTitle(main, 0));
    JumpText(app, main, base + "\\a|b");
    EXPECT_TRUE(Answer(app, "not a valid folder name"));
    JumpText(app, main, base + "\\missing");
    EXPECT_TRUE(Answer(app, "is not a folder"));
    // An environment-variable form is not a folder name: the panel does not take it.
    JumpText(app, main, "%WINDIR%");
    EXPECT_TRUE(Answer(app, "is not a folder"));
    EXPECT_EQ(base, drv::PanelTitle(main, 0));
    // None of these went into the history.
    EXPECT_TRUE(History("JumpMRU").empty());
    ASSERT_TRUE(app.Close());
    drv::RemoveTree(base);
}

TEST_F(Nav, JumpFieldCompletesFoldersAndKeepsItsHistory)
{
    // History and auto-completion of the Jump box on (Settings2 bits 31 and 30).
    drv::SetUserDword(kRootKey, "Settings2", 0x04F6B331u | 0xC0000000u);
    std::string base = Base("nav_jump");
    for (const char* n : {"alpha_one", "alpha_two", "beta", "Ёлка", "ёлка2"})
        ASSERT_TRUE(CreateDirectoryA((base + "\\" + n).c_str(), NULL));
    ASSERT_TRUE(drv::MakeFile(base + "\\alpha_file.txt"));
    drv::AppProcess app;
    ASSERT_TRUE(app.Start("panorel.exe", "\"" + base + "\""));
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main != NULL);
    ASSERT_TRUE(WaitTitle(main, base));

    HWND box = OpenJump(app, main);
    ASSERT_TRUE(box != NULL);
    // It covers the title and starts with the folder's path and a backslash, all selected.
    EXPECT_EQ(base + "\\", Text(box));
    HWND edit = EditOf(box);
    ASSERT_TRUE(edit != NULL);
    DWORD from = 0, to = 0;
    SendMessageA(edit, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
    EXPECT_EQ(0u, from);
    EXPECT_EQ((DWORD)(base.size() + 1), to);
    drv::Screenshot("jump_field", main);

    // Typing the start of a name completes it from the folders only.
    SetText(edit, base + "\\alph");
    SendMessageA(edit, EM_SETSEL, base.size() + 5, base.size() + 5);
    PostMessageA(edit, WM_CHAR, 'a', 1);
    EXPECT_TRUE(drv::WaitFor([&] { return Text(edit) == base + "\\alpha_one"; }, 5000)) << Text(edit);
    drv::Screenshot("jump_completion");
    PressEnter(edit);
    EXPECT_TRUE(WaitTitle(main, base + "\\alpha_one")) << drv::PanelTitle(main, 0);
    EXPECT_TRUE(drv::WaitFor([&] { return FindControl(drv::PanelWindow(main, 0), IDC_JUMP) == NULL; }, 5000));

    JumpText(app, main, base + "\\Ёлка");
    EXPECT_TRUE(WaitTitle(main, base + "\\Ёлка")) << drv::PanelTitle(main, 0);
    std::vector<std::string> hist = History("JumpMRU");
    ASSERT_EQ(2u, hist.size());
    EXPECT_EQ(base + "\\Ёлка", hist[0]);
    EXPECT_EQ(base + "\\alpha_one", hist[1]);

    // The history is in the list, with the clear entry last; Esc closes without moving.
    box = OpenJump(app, main);
    ASSERT_TRUE(box != NULL);
    EXPECT_EQ(3, (int)SendMessageA(box, CB_GETCOUNT, 0, 0));
    PostMessageA(EditOf(box), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_TRUE(drv::WaitFor([&] { return FindControl(drv::PanelWindow(main, 0), IDC_JUMP) == NULL; }, 5000));
    EXPECT_EQ(base + "\\Ёлка", drv::PanelTitle(main, 0));
    // Focus elsewhere closes it too.
    box = OpenJump(app, main);
    ASSERT_TRUE(box != NULL);
    app.PostCommand(ID_GOTO);
    HWND dlg = drv::WaitForDialogCaption(app.Pid(), "Go to Folder", 8000);
    ASSERT_TRUE(dlg != NULL);
    EXPECT_TRUE(drv::WaitFor([&] { return FindControl(drv::PanelWindow(main, 0), IDC_JUMP) == NULL; }, 5000));
    drv::PressButton(dlg, IDCANCEL);
    ASSERT_TRUE(app.Close());
    drv::RemoveTree(base);
}

TEST(FolderCompletion, ListsTheSubfoldersOfTheTypedFolderOnly)
{
    std::string base = Base("nav_complete");
    for (const char* n : {"Папка", "フォルダ", "😀", "plain"})
        ASSERT_TRUE(CreateDirectoryA((base + "\\" + n).c_str(), NULL));
    ASSERT_TRUE(drv::MakeFile(base + "\\file.txt"));
    WCHAR wbase[MAX_PATH];
    MultiByteToWideChar(CP_UTF8, 0, base.c_str(), -1, wbase, MAX_PATH);
    FolderCompletion* list = new FolderCompletion(NULL);
    auto names = [&] {
        std::vector<std::wstring> got;
        list->Reset();
        LPOLESTR items[8] = {};
        ULONG fetched = 0;
        list->Next(8, items, &fetched);
        for (ULONG i = 0; i < fetched; i++) {
            got.push_back(items[i]);
            CoTaskMemFree(items[i]);
        }
        return got;
    };
    std::wstring folder = std::wstring(wbase) + L"\\";
    // Before the background listing is done the system is asked for the typed start only.
    EXPECT_TRUE(list->Fill(folder + L"Па"));
    ASSERT_EQ(1u, list->Count());
    EXPECT_EQ(folder + L"Папка", list->At(0));
    ASSERT_TRUE(drv::WaitFor([&] { return list->IsFolderListed(); }, 5000));
    EXPECT_TRUE(list->Fill(folder));
    EXPECT_EQ(4u, list->Count());
    std::vector<std::wstring> got;
    for (size_t i = 0; i < list->Count(); i++)
        got.push_back(list->At(i));
    for (const wchar_t* n : {L"Папка", L"フォルダ", L"😀", L"plain"})
        EXPECT_NE(std::find(got.begin(), got.end(), folder + n), got.end());
    // From memory now, without regard to case; files never.
    EXPECT_TRUE(list->Fill(folder + L"フォ"));
    ASSERT_EQ(1u, list->Count());
    EXPECT_EQ(folder + L"フォルダ", list->At(0));
    EXPECT_TRUE(list->Fill(folder + L"PL"));
    EXPECT_EQ(1u, list->Count());
    EXPECT_TRUE(list->Fill(folder + L"fi"));
    EXPECT_EQ(0u, list->Count());
    // A wildcard is no pattern; a text without a folder lists nothing.
    EXPECT_FALSE(list->Fill(folder + L"*"));
    EXPECT_EQ(0u, list->Count());
    EXPECT_FALSE(list->Fill(folder + L"*\\x"));
    EXPECT_FALSE(list->Fill(L"plain"));
    list->Release();
    drv::RemoveTree(base);
}

std::string ShortOf(const std::string& path)
{
    char out[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), out, sizeof(out));
    return out;
}

TEST_F(Nav, PromptInsertsUndoesAndRunsInTheActiveFolder)
{
    std::string base = Base("nav_prompt");
    std::string work = base + "\\作業 Папка";
    ASSERT_TRUE(CreateDirectoryA(work.c_str(), NULL));
    ASSERT_TRUE(drv::MakeFile(work + "\\two words.txt"));
    ASSERT_TRUE(drv::MakeFile(work + "\\plain.txt"));
    ASSERT_TRUE(drv::MakeFile(work + "\\plain2.txt"));
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    ASSERT_TRUE(app.Start("panorel.exe", "\"" + base + "\""));
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main != NULL);
    ASSERT_TRUE(WaitTitle(main, base));
    // Navigating makes the folder the process's current one.
    std::string request = work;
    app.CopyData(4, request.c_str(), (DWORD)request.size() + 1);
    ASSERT_TRUE(WaitTitle(main, work)) << drv::PanelTitle(main, 0);
    HWND prompt = FindControl(main, IDC_PROMPT);
    ASSERT_TRUE(prompt != NULL);
    EXPECT_EQ("", Text(prompt));

    HWND list = NULL;
    ASSERT_TRUE(drv::WaitFor([&] { return (list = drv::PanelList(main, 0)) != NULL; }, 5000));
    ASSERT_TRUE(drv::WaitFor([&] { return drv::SelectListItem(list, "two words.txt"); }, 5000));
    app.Command(ID_INS_NAME);
    EXPECT_EQ("\"two words.txt\"", Text(prompt));
    ASSERT_TRUE(drv::SelectListItem(list, "plain.txt"));
    app.Command(ID_INS_NAME);
    EXPECT_EQ("\"two words.txt\" plain.txt", Text(prompt));
    app.Command(ID_UNDO);
    EXPECT_EQ("\"two words.txt\"", Text(prompt));
    ASSERT_TRUE(drv::SelectListItem(list, "plain.txt"));
    app.Command(ID_INS_PATH);
    EXPECT_EQ("\"two words.txt\" \"" + work + "\\plain.txt\"", Text(prompt));
    app.Command(ID_CLEAR);
    EXPECT_EQ("", Text(prompt));
    app.Command(ID_UNDO);
    EXPECT_EQ("\"two words.txt\" \"" + work + "\\plain.txt\"", Text(prompt));
    SetText(prompt, "");
    ASSERT_TRUE(drv::SelectListItem(list, "two words.txt"));
    app.Command(ID_INS_NAME_ALIAS);
    std::string shortFile = ShortOf(work + "\\two words.txt");
    EXPECT_EQ(shortFile.substr(shortFile.rfind('\\') + 1), Text(prompt));
    SetText(prompt, "");
    app.Command(ID_INS_PATH_ALIAS);
    EXPECT_EQ(shortFile, Text(prompt));
    drv::Screenshot("prompt_inserted", main);

    // Switching to the prompt gives it the focus; Esc goes back.
    app.Command(ID_SWITCH);
    GUITHREADINFO gui = {sizeof(gui)};
    EXPECT_TRUE(drv::WaitFor([&] {
        return GetGUIThreadInfo(GetWindowThreadProcessId(main, NULL), &gui) && gui.hwndFocus &&
               (gui.hwndFocus == prompt || IsChild(prompt, gui.hwndFocus));
    }, 5000)) << drv::ClassName(gui.hwndFocus) << " active " << drv::ClassName(gui.hwndActive);
    app.Command(ID_SWITCH);
    EXPECT_TRUE(drv::WaitFor([&] {
        return GetGUIThreadInfo(GetWindowThreadProcessId(main, NULL), &gui) && gui.hwndFocus &&
               IsChild(drv::PanelWindow(main, 0), gui.hwndFocus);
    }, 5000));
    // Running: the arguments as typed, drive letters expanded, the panel's folder as the
    // working folder.
    std::string out = base + "\\probe_out.txt";
    std::string line = "\"" + drv::ProgramPath("nav_probe.exe") + "\" \"" + out + "\" a \"b c\" C: C:\\keep wordC: (C:)";
    SetText(prompt, line);
    app.Command(ID_EXECUTE);
    ASSERT_TRUE(drv::WaitFor([&] { return drv::ReadBytes(out).find("CWD=") != std::string::npos; }, 10000));
    std::string cwdShort = ShortOf(work) + "\\";
    std::string expected = "ARG=a\nARG=b c\nARG=" + cwdShort + "\nARG=C:\\keep\nARG=wordC:\nARG=(" + cwdShort + ")\nCWD=" + work + "\n";
    EXPECT_EQ(expected, drv::ReadBytes(out));
    EXPECT_EQ("", Text(prompt));
    std::vector<std::string> hist = History("RunMRU");
    ASSERT_EQ(1u, hist.size());
    EXPECT_EQ(line, hist[0]);

    // A program that cannot start keeps its text and stays out of the history. (Wine's shell
    // shows no message of its own here; Windows does.)
    SetText(prompt, "nav_no_such_program_here.exe x");
    app.Command(ID_EXECUTE);
    EXPECT_TRUE(app.Running());
    EXPECT_EQ("nav_no_such_program_here.exe x", Text(prompt));
    EXPECT_EQ(1u, History("RunMRU").size());
    ASSERT_TRUE(app.Close());
    drv::RemoveTree(base);
}

bool MakeShortcut(const std::string& link, const std::string& target)
{
    IShellLinkW* sl = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW, (void**)&sl)))
        return false;
    WCHAR wt[MAX_PATH], wl[MAX_PATH];
    MultiByteToWideChar(CP_UTF8, 0, target.c_str(), -1, wt, MAX_PATH);
    MultiByteToWideChar(CP_UTF8, 0, link.c_str(), -1, wl, MAX_PATH);
    sl->SetPath(wt);
    IPersistFile* pf = nullptr;
    bool ok = SUCCEEDED(sl->QueryInterface(IID_IPersistFile, (void**)&pf)) && SUCCEEDED(pf->Save(wl, TRUE));
    if (pf)
        pf->Release();
    sl->Release();
    return ok;
}

TEST_F(Nav, RootPolicyHasNoWayOut)
{
    // Links from an earlier run go first (a Windows-side delete does not follow them).
    drv::RunUnixShell("rm -rf '" + drv::UnixPathOf(drv::TempFolder("nav_rootpol")) + "'");
    std::string base = Base("nav_rootpol");
    std::string root = base + "\\root", inner = root + "\\ルート内", outside = base + "\\outside",
                sibling = base + "\\rootother";
    for (const std::string& d : {root, inner, outside, sibling})
        ASSERT_TRUE(CreateDirectoryA(d.c_str(), NULL)) << d;
    // A symbolic link inside the root to a folder outside it, and a shortcut to one.
    std::string unixRoot = drv::UnixPathOf(root), unixOut = drv::UnixPathOf(outside);
    ASSERT_FALSE(unixRoot.empty());
    ASSERT_TRUE(drv::RunUnixShell("ln -s '" + unixOut + "' '" + unixRoot + "/ulink' && ln -s ../outside '" +
                                  unixRoot + "/rlink'"));
    ASSERT_TRUE(MakeShortcut(root + "\\out.lnk", outside));
    drv::SetUserString(kPolicyKey, "RootPath", root.c_str());

    drv::AppProcess app;
    ASSERT_TRUE(app.Start("panorel.exe", "\"" + inner + "\""));
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main != NULL);
    ASSERT_TRUE(WaitTitle(main, inner)) << drv::PanelTitle(main, 0);
    // Inside the root everything works.
    GotoText(app, root);
    ASSERT_TRUE(WaitTitle(main, root)) << drv::PanelTitle(main, 0);
    drv::Screenshot("root_policy_start", main);

    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof(windows));
    struct Case {
        const char* what;
        std::string text;
    };
    const Case gotoCases[] = {
        {"parent", ".."},
        {"outside", outside},
        {"prefix sibling", sibling},
        {"other drive", "Z:\\"},
        {"windows", windows},
        {"up and out", inner + "\\..\\..\\outside"},
        {"trailing dot", outside + "."},
        {"trailing spaces", outside + "  "},
        {"symbolic link", root + "\\ulink"},
        {"relative link", root + "\\rlink"},
        {"shortcut", root + "\\out.lnk"},
        {"environment form", "%WINDIR%"},
        {"server root", "\\\\localhost"},
        {"server share", "\\\\localhost\\c$"},
    };
    for (const Case& c : gotoCases) {
        SCOPED_TRACE(c.what);
        GotoText(app, c.text);
        // Either the policy's message, or (for a share Wine cannot reach) the system's.
        HWND box = app.WaitForWindowWithText(kRestricted, 8000);
        EXPECT_TRUE(box != NULL);
        if (box)
            drv::PressButton(box, IDOK);
        Sleep(200);
        EXPECT_EQ(root, drv::PanelTitle(main, 0));
    }
    for (const Case& c : {Case{"jump outside", outside}, Case{"jump link", root + "\\ulink"},
                          Case{"jump parent", root + "\\.."}}) {
        SCOPED_TRACE(c.what);
        JumpText(app, main, c.text);
        EXPECT_TRUE(Answer(app, kRestricted));
        EXPECT_EQ(root, drv::PanelTitle(main, 0));
    }
    // Parent, Desktop, a drive button, the command line and the shell's own open.
    for (UINT id : {(UINT)ID_PARENT, (UINT)ID_DESKTOP, (UINT)ID_DRIVE_Z}) {
        SCOPED_TRACE(id);
        app.PostCommand(id);
        EXPECT_TRUE(Answer(app, kRestricted));
        EXPECT_EQ(root, drv::PanelTitle(main, 0));
    }
    app.CopyData(4, outside.c_str(), (DWORD)outside.size() + 1, 3000);
    EXPECT_TRUE(Answer(app, kRestricted));
    EXPECT_EQ(root, drv::PanelTitle(main, 0));
    HWND list = NULL;
    ASSERT_TRUE(drv::WaitFor([&] { return (list = drv::PanelList(main, 0)) != NULL; }, 5000));
    for (const char* item : {"ulink", "out"}) {
        SCOPED_TRACE(item);
        ASSERT_TRUE(drv::WaitFor([&] { return drv::SelectListItem(list, item); }, 5000));
        PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PostMessageA(list, WM_KEYUP, VK_RETURN, 0xC01C0001);
        EXPECT_TRUE(Answer(app, kRestricted));
        EXPECT_EQ(root, drv::PanelTitle(main, 0));
    }
    // The prompt does not open an outside folder either.
    HWND prompt = FindControl(main, IDC_PROMPT);
    ASSERT_TRUE(prompt != NULL);
    SetText(prompt, "\"" + outside + "\"");
    app.PostCommand(ID_EXECUTE);
    EXPECT_TRUE(Answer(app, kRestricted));
    EXPECT_EQ("\"" + outside + "\"", Text(prompt));
    // Still at home, and still able to go down.
    GotoText(app, inner);
    EXPECT_TRUE(WaitTitle(main, inner)) << drv::PanelTitle(main, 0);
    ASSERT_TRUE(app.Close());
    drv::DeleteUserKey(kPolicyKey);
    drv::RunUnixShell("rm -rf '" + drv::UnixPathOf(base) + "'");
}

}  // namespace
