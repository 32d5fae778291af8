// The Quick Edit window in the real program: opened from a panel's selection, its status
// line, saving, the questions it asks and the external editor.
#include "driver/Driver.h"
#include "driver/NamesDriver.h"
#include "quickedit/QuickEditRes.h"
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const UINT ID_QUICKEDIT = 38201, ID_QUICKEDIT_ALT = 38603;

void Write(const std::string& path, const std::string& bytes)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD done = 0;
    if (!bytes.empty())
        WriteFile(f, bytes.data(), (DWORD)bytes.size(), &done, NULL);
    CloseHandle(f);
}

std::string Read(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string s;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof(buf), &got, NULL) && got)
        s.append(buf, got);
    CloseHandle(h);
    return s;
}

std::wstring EditText(HWND edit)
{
    wchar_t buf[4096] = L"";
    SendMessageTimeoutW(edit, WM_GETTEXT, 4096, (LPARAM)buf, SMTO_ABORTIFHUNG, 5000, nullptr);
    return buf;
}

bool MakeShortcut(const std::string& at, const std::string& target)
{
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&link)))
        return false;
    IPersistFile* file = nullptr;
    bool ok = SUCCEEDED(link->SetPath(target.c_str())) &&
              SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file));
    if (ok) {
        std::wstring w(at.size() + 1, 0);
        MultiByteToWideChar(CP_UTF8, 0, at.c_str(), -1, &w[0], (int)w.size());
        ok = SUCCEEDED(file->Save(w.c_str(), TRUE));
        file->Release();
    }
    link->Release();
    return ok;
}

class QuickEditWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        folder = drv::TempFolder("qewnd");
        drv::RemoveTree(folder);
        CreateDirectoryA(folder.c_str(), NULL);
        Write(folder + "\\" + drv::U8(L"\x65E5\x672C.txt"), drv::U8(L"\x65E5\x672C\tline\r\nsecond\r\n"));
        Write(folder + "\\" + drv::U8(L"\x65E5.txt"), "sibling");
        Write(folder + "\\unix.txt", "a\nb\n");
        Write(folder + "\\big.txt", std::string(32769, 'b'));
        Write(folder + "\\limit.txt", std::string(32768, 'l'));
        Write(folder + "\\ro.txt", "read only\r\n");
        SetFileAttributesA((folder + "\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        // A shortcut naming the Japanese file in capitals.
        std::string upper = folder + "\\" + drv::U8(L"\x65E5\x672C.TXT");
        CharUpperA(&upper[0]);
        EXPECT_TRUE(MakeShortcut(folder + "\\link.lnk", upper));
    }
    void TearDown() override
    {
        app.Kill();
        drv::RemoveTree(folder);
        drv::ResetProgramSettings();
    }
    HWND Start()
    {
        EXPECT_TRUE(app.Start("panorel.exe", folder + "," + folder));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        EXPECT_TRUE(drv::WaitFor([&] { return drv::ListViewTexts(drv::PanelList(main, 0), false).size() >= 6; }, 15000));
        return main;
    }
    // Runs Quick Edit on the named items of the first panel.
    void QuickEdit(HWND main, const std::vector<std::string>& names, UINT id = ID_QUICKEDIT)
    {
        ASSERT_TRUE(drv::SelectListItems(drv::PanelList(main, 0), names));
        ASSERT_TRUE(app.PostCommand(id));
    }
    std::vector<HWND> Editors(const std::string& title)
    {
        std::vector<HWND> found;
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if (drv::WindowText(w) == title && GetDlgItem(w, IDC_QE_EDIT))
                found.push_back(w);
        return found;
    }
    HWND WaitForEditor(const std::string& title)
    {
        HWND found = NULL;
        drv::WaitFor([&] {
            auto e = Editors(title);
            found = e.empty() ? NULL : e[0];
            return found != NULL;
        }, 15000);
        return found;
    }
    std::vector<std::string> Status(HWND editor)
    {
        // The position pane follows the caret once a key is released.
        SendMessageA(GetDlgItem(editor, IDC_QE_EDIT), WM_KEYUP, VK_RIGHT, 0xC0000001);
        return drv::StatusBarTexts(GetDlgItem(editor, IDC_QE_STATUS));
    }
    HWND WaitForBox(const char* text)
    {
        HWND box = NULL;
        drv::WaitFor([&] {
            for (HWND w : drv::TopLevelWindows(app.Pid()))
                if (drv::ClassName(w) == "#32770" && !GetDlgItem(w, IDC_QE_EDIT) &&
                    drv::AllTexts(w).find(text) != std::string::npos) {
                    box = w;
                    return true;
                }
            return false;
        }, 10000);
        return box;
    }

    drv::AppProcess app;
    std::string folder;
};

TEST_F(QuickEditWindow, OpensTheSelectedFileWithItsStatusLine)
{
    HWND main = Start();
    std::string name = drv::U8(L"\x65E5\x672C.txt");
    QuickEdit(main, {name});
    HWND editor = WaitForEditor(name);
    ASSERT_TRUE(editor);
    HWND edit = GetDlgItem(editor, IDC_QE_EDIT);
    EXPECT_EQ(L"\x65E5\x672C\tline\r\nsecond\r\n", EditText(edit));
    auto status = Status(editor);
    ASSERT_EQ(3u, status.size());
    EXPECT_EQ(folder + "\\" + name, status[0]);
    EXPECT_EQ("ANSI", status[1]);
    EXPECT_EQ("Line 1 Pos 1 Code 26085 Hex 65E5", status[2]);
    // On the tab, at the end of a line, at the end of the text, and a selection.
    SendMessageA(edit, EM_SETSEL, 2, 2);
    EXPECT_EQ("Line 1 Pos 3 Code 9 Hex 9", Status(editor)[2]);
    SendMessageA(edit, EM_SETSEL, 7, 7);
    EXPECT_EQ("Line 1 Pos 8 Code EOL", Status(editor)[2]);
    int n = (int)EditText(edit).size();
    SendMessageA(edit, EM_SETSEL, n, n);
    EXPECT_EQ("Line 3 Pos 1 Code EOF", Status(editor)[2]);
    SendMessageA(edit, EM_SETSEL, 3, 7);
    EXPECT_EQ("Sel: 4 - 7 (4 chars)", Status(editor)[2]);
    SendMessageA(edit, EM_SETSEL, 0, 0);
    RedrawWindow(editor, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(500);   // let it paint before the picture
    EXPECT_FALSE(drv::Screenshot("quickedit_window", editor).empty());

    // The same file again, and through a shortcut that names it in other letter case: the
    // open window comes to the front.
    QuickEdit(main, {name});
    auto texts = drv::ListViewTexts(drv::PanelList(main, 0), false);
    QuickEdit(main, {std::find(texts.begin(), texts.end(), "link") != texts.end() ? "link" : "link.lnk"});
    Sleep(1500);
    EXPECT_EQ(1u, Editors(name).size());
    EXPECT_TRUE(Editors("link.lnk").empty());
    EXPECT_TRUE(Editors(drv::U8(L"\x65E5\x672C.TXT")).empty());

    // A Unix text shows CR LF and its type.
    QuickEdit(main, {"unix.txt"});
    HWND unix = WaitForEditor("unix.txt");
    ASSERT_TRUE(unix);
    EXPECT_EQ(L"a\r\nb\r\n", EditText(GetDlgItem(unix, IDC_QE_EDIT)));
    EXPECT_EQ("UNIX", Status(unix)[1]);
    // Saving keeps the type: LF alone on disk.
    PostMessageW(GetDlgItem(unix, IDC_QE_EDIT), WM_CHAR, 'z', 1);
    ASSERT_TRUE(drv::WaitFor([&] { return EditText(GetDlgItem(unix, IDC_QE_EDIT))[0] == L'z'; }, 5000));
    SendMessageA(unix, WM_COMMAND, ID_QE_SAVE, 0);
    EXPECT_EQ("za\nb\n", Read(folder + "\\unix.txt"));
}

TEST_F(QuickEditWindow, AsksBeforeClosingAndBeforeOverwritingReadOnly)
{
    HWND main = Start();
    QuickEdit(main, {"ro.txt"});
    HWND editor = WaitForEditor("ro.txt");
    ASSERT_TRUE(editor);
    HWND edit = GetDlgItem(editor, IDC_QE_EDIT);
    PostMessageW(edit, WM_CHAR, 'X', 1);
    ASSERT_TRUE(drv::WaitFor([&] { return EditText(edit)[0] == L'X'; }, 5000));
    PostMessageA(editor, WM_COMMAND, ID_QE_SAVE, 0);
    HWND box = WaitForBox("is read-only");
    ASSERT_TRUE(box);
    EXPECT_NE(std::string::npos, drv::AllTexts(box).find("Are you sure you want to overwrite it?"));
    drv::PressButton(box, IDYES);
    ASSERT_TRUE(drv::WaitFor([&] { return Read(folder + "\\ro.txt") == "Xread only\r\n"; }, 5000));
    // The attribute comes back right after the new contents are in place.
    EXPECT_TRUE(drv::WaitFor([&] { return (GetFileAttributesA((folder + "\\ro.txt").c_str()) & FILE_ATTRIBUTE_READONLY) != 0; }, 5000));

    // Changed again: closing asks; Cancel keeps the window, No closes it without saving.
    PostMessageW(edit, WM_CHAR, 'Y', 1);
    ASSERT_TRUE(drv::WaitFor([&] { return EditText(edit).find(L'Y') != std::wstring::npos; }, 5000));
    PostMessageA(editor, WM_CLOSE, 0, 0);
    box = WaitForBox("Save changes to");
    ASSERT_TRUE(box);
    EXPECT_NE(std::string::npos, drv::AllTexts(box).find(folder + "\\ro.txt"));
    drv::PressButton(box, IDCANCEL);
    Sleep(500);
    EXPECT_TRUE(IsWindow(editor));
    PostMessageA(editor, WM_CLOSE, 0, 0);
    box = WaitForBox("Save changes to");
    ASSERT_TRUE(box);
    drv::PressButton(box, IDNO);
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(editor); }, 5000));
    EXPECT_EQ("Xread only\r\n", Read(folder + "\\ro.txt"));
    // The placement was kept.
    EXPECT_TRUE(drv::UserValueExists(kRootKey, "DlgQuickEdit"));
    SetFileAttributesA((folder + "\\ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(QuickEditWindow, ConfirmsManyAndLargeFiles)
{
    HWND main = Start();
    QuickEdit(main, {"unix.txt", "ro.txt"});
    HWND box = WaitForBox("Are you sure you want to open these 2 files with Quick Editor?");
    ASSERT_TRUE(box);
    drv::PressButton(box, IDNO);
    Sleep(1000);
    EXPECT_TRUE(Editors("unix.txt").empty());
    EXPECT_TRUE(Editors("ro.txt").empty());

    // 32,768 bytes open without a question; one byte more asks.
    QuickEdit(main, {"limit.txt"});
    EXPECT_TRUE(WaitForEditor("limit.txt"));
    QuickEdit(main, {"big.txt"});
    box = WaitForBox("with Quick Editor?");
    ASSERT_TRUE(box);
    EXPECT_NE(std::string::npos, drv::AllTexts(box).find("'" + folder + "\\big.txt'"));
    drv::PressButton(box, IDYES);
    EXPECT_TRUE(WaitForEditor("big.txt"));
}

TEST_F(QuickEditWindow, TheAlternativeCommandStartsTheExternalEditor)
{
    // The test executable itself stands for the editor: it shows its argument in a box.
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof(self));
    drv::SetUserString(kRootKey, "QEPath", self);
    drv::SetUserString(kRootKey, "QEArgs", "--driver-box \"%1|%1\"");
    HWND main = Start();
    QuickEdit(main, {"unix.txt"}, ID_QUICKEDIT_ALT);
    HWND box = NULL;
    std::string expect = folder + "\\unix.txt|" + folder + "\\unix.txt";
    ASSERT_TRUE(drv::WaitFor([&] { return (box = FindWindowA(NULL, "Driver box")) != NULL; }, 15000));
    EXPECT_NE(std::string::npos, drv::AllTexts(box).find(expect)) << drv::AllTexts(box);
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(Editors("unix.txt").empty());
}

}   // namespace

namespace {

TEST_F(QuickEditWindow, ReplaceAllCountsAndAsksAtTheEnd)
{
    Write(folder + "\\find.txt", "one two One two one\r\n");
    HWND main = Start();
    QuickEdit(main, {"find.txt"});
    HWND editor = WaitForEditor("find.txt");
    ASSERT_TRUE(editor);
    HWND edit = GetDlgItem(editor, IDC_QE_EDIT);
    PostMessageA(editor, WM_COMMAND, ID_QE_FIND, 0);
    HWND find = NULL;
    ASSERT_TRUE(drv::WaitFor([&] {
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if (GetDlgItem(w, IDC_QE_FIND_WHAT))
                find = w;
        return find != NULL;
    }, 10000));
    EXPECT_EQ("Find text in find.txt", drv::WindowText(find));
    // The replace box starts disabled until its check box is set.
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(find, IDC_QE_REPLACE_ALL)));
    SendMessageA(GetDlgItem(find, IDC_QE_FIND_WHAT), WM_SETTEXT, 0, (LPARAM)"one");
    SendMessageA(GetDlgItem(find, IDC_QE_REPLACE_CHECK), BM_CLICK, 0, 0);
    ASSERT_TRUE(drv::WaitFor([&] { return IsWindowEnabled(GetDlgItem(find, IDC_QE_REPLACE_ALL)) != 0; }, 5000));
    SendMessageA(GetDlgItem(find, IDC_QE_REPLACE_WITH), WM_SETTEXT, 0, (LPARAM)"1");
    // Without regard to case: "One" is replaced too; the search then reaches the end.
    PostMessageA(find, WM_COMMAND, IDC_QE_REPLACE_ALL, 0);
    HWND box = WaitForBox("Reached the end of the file.");
    ASSERT_TRUE(box);
    drv::PressButton(box, IDNO);
    ASSERT_TRUE(drv::WaitFor([&] {
        return drv::WindowText(GetDlgItem(find, IDC_QE_FIND_STATUS)) == "3 occurrance(s) have been replaced.";
    }, 5000)) << drv::WindowText(GetDlgItem(find, IDC_QE_FIND_STATUS));
    EXPECT_EQ(L"1 two 1 two 1\r\n", EditText(edit));
    RedrawWindow(find, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    EXPECT_FALSE(drv::Screenshot("quickedit_find", find).empty());
    // Match case: "two" is found, "TWO" is not there; Find Next without a hit beeps only.
    SendMessageA(GetDlgItem(find, IDC_QE_MATCH_CASE), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(edit, EM_SETSEL, 0, 0);
    SendMessageA(GetDlgItem(find, IDC_QE_FIND_WHAT), WM_SETTEXT, 0, (LPARAM)"TWO");
    PostMessageA(find, WM_COMMAND, IDC_QE_FIND_NEXT, 0);
    Sleep(500);
    DWORD sel = (DWORD)SendMessageA(edit, EM_GETSEL, 0, 0);   // nothing found: nothing selected
    EXPECT_EQ(0u, sel);
    EXPECT_EQ(L"1 two 1 two 1\r\n", EditText(edit));
    // Close stores the check boxes.
    PostMessageA(find, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(find); }, 5000));
    DWORD bits = drv::GetUserDword(kRootKey, "Settings2", 0);
    EXPECT_TRUE(bits & (1u << 28));
    EXPECT_TRUE(bits & (1u << 29));
    EXPECT_TRUE(drv::UserValueExists(kRootKey, "QEFindMRU"));
    EXPECT_TRUE(drv::UserValueExists(kRootKey, "QEReplaceMRU"));
    EXPECT_TRUE(drv::UserValueExists(kRootKey, "DlgQE_Find"));
}

}   // namespace

namespace {

TEST_F(QuickEditWindow, BothFontsAndTheToolbarButtonsToggle)
{
    Write(folder + "\\fonts.txt", "iiiiWWWW\r\n");
    HWND main = Start();
    QuickEdit(main, {"fonts.txt"});
    HWND editor = WaitForEditor("fonts.txt");
    ASSERT_TRUE(editor);
    HWND edit = GetDlgItem(editor, IDC_QE_EDIT);
    HWND toolbar = GetDlgItem(editor, IDC_QE_TOOLBAR);
    // In the fixed font "iiii" is as wide as "WWWW"; in the variable font it is narrower.
    auto x = [&](int i) { return (int)(short)LOWORD(SendMessageA(edit, EM_POSFROMCHAR, i, 0)); };
    auto fixedShown = [&] { return x(4) - x(0) == x(8) - x(4); };
    EXPECT_FALSE(fixedShown());
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, ID_QE_FONT_VAR, 0));
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, ID_QE_FONT_FIXED, 0));
    // "Variable font" while the variable font is shown switches to the fixed one.
    SendMessageA(editor, WM_COMMAND, ID_QE_FONT_VAR, 0);
    EXPECT_TRUE(fixedShown());
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, ID_QE_FONT_FIXED, 0));
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, ID_QE_FONT_VAR, 0));
    SendMessageA(editor, WM_COMMAND, ID_QE_FONT_TOGGLE, 0);
    EXPECT_FALSE(fixedShown());
    // Save is disabled while nothing changed.
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONENABLED, ID_QE_SAVE, 0));
}

TEST_F(QuickEditWindow, BinaryFilesAreReadOnlyAndShowUnknown)
{
    Write(folder + "\\bin.dat", std::string("ab\0cd\x07" "e\r\n", 9));
    HWND main = Start();
    QuickEdit(main, {"bin.dat"});
    HWND editor = WaitForEditor("bin.dat");
    ASSERT_TRUE(editor);
    HWND edit = GetDlgItem(editor, IDC_QE_EDIT);
    EXPECT_EQ(L"ab cd e\r\n", EditText(edit));
    EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ("Unknown", Status(editor)[1]);
    HWND toolbar = GetDlgItem(editor, IDC_QE_TOOLBAR);
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONENABLED, ID_QE_SAVE, 0));
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONENABLED, ID_QE_PASTE, 0));
    // Esc closes the window (the default allows it).
    PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(editor); }, 5000));
    EXPECT_EQ(std::string("ab\0cd\x07" "e\r\n", 9), Read(folder + "\\bin.dat"));
}

}   // namespace

namespace {

TEST_F(QuickEditWindow, ClosingTheProgramAsksForUnsavedTexts)
{
    HWND main = Start();
    QuickEdit(main, {"unix.txt"});
    HWND editor = WaitForEditor("unix.txt");
    ASSERT_TRUE(editor);
    HWND edit = GetDlgItem(editor, IDC_QE_EDIT);
    PostMessageW(edit, WM_CHAR, 'q', 1);
    ASSERT_TRUE(drv::WaitFor([&] { return EditText(edit)[0] == L'q'; }, 5000));
    // Cancel keeps the program and the text.
    PostMessageA(main, WM_CLOSE, 0, 0);
    HWND box = WaitForBox("Save changes to");
    ASSERT_TRUE(box);
    drv::PressButton(box, IDCANCEL);
    Sleep(1000);
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(IsWindow(editor));
    // Yes saves, then the program ends.
    PostMessageA(main, WM_CLOSE, 0, 0);
    box = WaitForBox("Save changes to");
    ASSERT_TRUE(box);
    drv::PressButton(box, IDYES);
    EXPECT_TRUE(app.WaitForExit(15000));
    EXPECT_EQ("qa\nb\n", Read(folder + "\\unix.txt"));
}

}   // namespace

namespace {

TEST_F(QuickEditWindow, OptionsDialogStoresTheEscKeyAndTheDefaultFont)
{
    HWND main = Start();
    QuickEdit(main, {"unix.txt"});
    HWND editor = WaitForEditor("unix.txt");
    ASSERT_TRUE(editor);
    PostMessageA(editor, WM_COMMAND, ID_QE_OPTIONS, 0);
    HWND dlg = WaitForBox("Allow &Esc key to close Quick Editor window");
    ASSERT_TRUE(dlg);
    EXPECT_EQ("Options for Internal Quick Editor", drv::WindowText(dlg));
    EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(dlg, IDC_QE_OPT_ESC), BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(dlg, IDC_QE_OPT_VARIABLE), BM_GETCHECK, 0, 0));
    EXPECT_EQ(5, SendMessageA(GetDlgItem(dlg, IDC_QE_OPT_DEF_TYPE), CB_GETCOUNT, 0, 0));
    RedrawWindow(dlg, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    EXPECT_FALSE(drv::Screenshot("quickedit_options", dlg).empty());
    SendMessageA(GetDlgItem(dlg, IDC_QE_OPT_ESC), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(GetDlgItem(dlg, IDC_QE_OPT_VARIABLE), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(GetDlgItem(dlg, IDC_QE_OPT_FIXED), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(GetDlgItem(dlg, IDC_QE_OPT_DEF_TYPE), CB_SETCURSEL, 3, 0);
    drv::PressButton(dlg, IDCANCEL);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    DWORD bits = drv::GetUserDword(kRootKey, "Settings2", 0);
    EXPECT_FALSE(bits & (1u << 26));
    EXPECT_TRUE(bits & (1u << 27));
    EXPECT_EQ(3u, drv::GetUserDword(kRootKey, "DefQE_Type", 99));
    // Esc no longer closes the editor.
    PostMessageA(GetDlgItem(editor, IDC_QE_EDIT), WM_KEYDOWN, VK_ESCAPE, 1);
    Sleep(800);
    EXPECT_TRUE(IsWindow(editor));
}

}   // namespace

namespace {

TEST_F(QuickEditWindow, ATwoGigabyteFileIsRefusedWithAMessage)
{
    std::string huge = folder + "\\huge.txt";
    HANDLE h = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER size;
    size.QuadPart = 2048ll * 1024 * 1024;
    ASSERT_TRUE(SetFilePointerEx(h, size, NULL, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
    HWND main = Start();
    QuickEdit(main, {"huge.txt"});
    HWND box = WaitForBox("with Quick Editor?");
    ASSERT_TRUE(box);
    drv::PressButton(box, IDYES);
    box = WaitForBox("is too large for the internal Quick Editor");
    ASSERT_TRUE(box);
    EXPECT_NE(std::string::npos, drv::AllTexts(box).find(huge));
    drv::PressButton(box, IDOK);
    // The window stays, untitled and empty.
    HWND editor = WaitForEditor("Quick Edit");
    ASSERT_TRUE(editor);
    EXPECT_EQ(L"", EditText(GetDlgItem(editor, IDC_QE_EDIT)));
    EXPECT_EQ("Untitled", Status(editor)[0]);
    DeleteFileA(huge.c_str());
}

}   // namespace

namespace {

// The 44-byte placement record stored under the program's key.
bool ReadPlacement(const char* name, WINDOWPLACEMENT& wp)
{
    DWORD size = sizeof(wp);
    return RegGetValueA(HKEY_CURRENT_USER, kRootKey, name, RRF_RT_REG_BINARY, NULL, &wp, &size) ==
               ERROR_SUCCESS &&
           size == 44;
}

TEST_F(QuickEditWindow, ClosingTheProgramClosesEveryEditorAndKeepsItsPlace)
{
    HWND main = Start();
    QuickEdit(main, {"unix.txt"});
    HWND first = WaitForEditor("unix.txt");
    ASSERT_TRUE(first);
    QuickEdit(main, {"limit.txt"});
    HWND second = WaitForEditor("limit.txt");
    ASSERT_TRUE(second);
    SetWindowPos(second, NULL, 300, 250, 500, 360, SWP_NOZORDER);
    SetWindowPos(first, NULL, 123, 87, 610, 420, SWP_NOZORDER);
    SetForegroundWindow(first);
    PostMessageA(first, WM_ACTIVATE, WA_ACTIVE, 0);
    Sleep(500);
    // Nothing was changed: no question, both windows close with the program.
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(app.WaitForExit(15000));
    WINDOWPLACEMENT wp = {};
    ASSERT_TRUE(ReadPlacement("DlgQuickEdit", wp));
    // The editors share one record. The list holds them in the order they were first
    // activated, newest first, and activating again does not reorder it: the second editor
    // closes first, the first one last and its place is the one kept.
    EXPECT_EQ(123, wp.rcNormalPosition.left);
    EXPECT_EQ(87, wp.rcNormalPosition.top);
}

}   // namespace
