// "Options for External Quick Editor", opened from the Quick Edit page of the Options: its
// fields, what OK and Cancel store, the browse button's file dialog, and the Quick Edit command
// starting the chosen program with the template.
#include "driver/Driver.h"
#include "driver/SelectDriver.h"
#include "customize/OptionsRes.h"
#include "quickedit/QuickEditRes.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

namespace {

const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const UINT ID_VIEW_OPTIONS = 38414, ID_QUICKEDIT_ALT = 38603;
const char kTitle[] = "Options for External Quick Editor";

std::string BinaryValue(const char* name)
{
    HKEY key;
    std::string out;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRootKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return out;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, NULL, NULL, NULL, &size) == ERROR_SUCCESS && size) {
        out.resize(size);
        RegQueryValueExA(key, name, NULL, NULL, (BYTE*)&out[0], &size);
    }
    RegCloseKey(key);
    return out;
}

class ExtEditorOptions : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        folder = drv::TempFolder("qeext");
        drv::RemoveTree(folder);
        CreateDirectoryA(folder.c_str(), NULL);
        // The stand-in editor, copied into a folder whose name needs the UTF-8 code page.
        editorDir = folder + "\\" + drv::U8(L"\x7DE8\x96C6 \x0420\x0435\x0434 \U0001F4DD");
        CreateDirectoryA(editorDir.c_str(), NULL);
        editor = editorDir + "\\" + drv::U8(L"\x30A8\x30C7\x30A3\x30BF.exe");
        EXPECT_TRUE(CopyFileA(drv::ProgramPath("qe_recorder.exe").c_str(), editor.c_str(), FALSE));
        document = drv::U8(L"\x65E5\x672C \x0434\x043E\x043A.txt");
        EXPECT_TRUE(drv::WriteBytes(folder + "\\" + document, "text\r\n"));
        EXPECT_TRUE(drv::WriteBytes(folder + "\\" + drv::U8(L"\x65E5.txt"), "sibling\r\n"));
        drv::SetUserString(kRootKey, "QEPath", "C:\\windows\\notepad.exe");
        drv::SetUserString(kRootKey, "QEArgs", "/a %1");
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
        EXPECT_TRUE(drv::WaitFor([&] { return drv::ListViewTexts(drv::PanelList(main, 0), false).size() >= 3; }, 15000));
        return main;
    }
    // Opens the Options on the Quick Edit page and presses its "O&ptions..." button.
    HWND OpenDialog()
    {
        EXPECT_TRUE(app.PostCommand(ID_VIEW_OPTIONS));
        sheet = drv::WaitForDialog(app.Pid(), "Options");
        EXPECT_TRUE(sheet != NULL);
        HWND page = drv::ChildDialogWith(sheet, IDC_OPT_QE_EXT_OPTIONS);
        EXPECT_TRUE(page != NULL);
        drv::PressButton(page, IDC_OPT_QE_EXT_OPTIONS);
        HWND dlg = drv::WaitForDialog(app.Pid(), kTitle);
        EXPECT_TRUE(dlg != NULL);
        return dlg;
    }
    static std::string ComboText(HWND dlg, int id) { return drv::ItemText(dlg, id); }

    drv::AppProcess app;
    std::string folder, editorDir, editor, document;
    HWND sheet = NULL;
};

TEST_F(ExtEditorOptions, OkStoresTheTextsTheBitsAndTheHistoriesAndQuickEditStartsTheProgram)
{
    HWND main = Start();
    ASSERT_TRUE(main);
    HWND dlg = OpenDialog();
    ASSERT_TRUE(dlg);
    EXPECT_EQ("C:\\windows\\notepad.exe", ComboText(dlg, IDC_QE_EXT_PATH));
    EXPECT_EQ("/a %1", ComboText(dlg, IDC_QE_EXT_ARGS));
    EXPECT_FALSE(SendMessageA(GetDlgItem(dlg, IDC_QE_EXT_SHORT), BM_GETCHECK, 0, 0));
    EXPECT_FALSE(SendMessageA(GetDlgItem(dlg, IDC_QE_EXT_MAXIMIZED), BM_GETCHECK, 0, 0));
    RedrawWindow(dlg, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    EXPECT_FALSE(drv::Screenshot("quickedit_external_options", dlg).empty());

    ASSERT_TRUE(drv::SetItemText(dlg, IDC_QE_EXT_PATH, editor));
    ASSERT_TRUE(drv::SetItemText(dlg, IDC_QE_EXT_ARGS, "-f \"%1\" %1"));
    SendMessageA(GetDlgItem(dlg, IDC_QE_EXT_MAXIMIZED), BM_SETCHECK, BST_CHECKED, 0);
    drv::PressButton(dlg, IDOK);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    EXPECT_EQ(editor, drv::GetUserString(kRootKey, "QEPath"));
    EXPECT_EQ("-f \"%1\" %1", drv::GetUserString(kRootKey, "QEArgs"));
    DWORD bits = drv::GetUserDword(kRootKey, "Settings", 0);
    EXPECT_TRUE(bits & (1u << 24));
    EXPECT_FALSE(bits & (1u << 25));
    EXPECT_NE(std::string::npos, BinaryValue("QEPathMRU").find(editor));
    EXPECT_NE(std::string::npos, BinaryValue("QEArgsMRU").find("-f \"%1\" %1"));
    // The dialog stored its settings itself: cancelling the sheet keeps them.
    drv::PressButton(sheet, IDCANCEL);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(sheet); }, 5000));
    EXPECT_EQ(editor, drv::GetUserString(kRootKey, "QEPath"));
    EXPECT_TRUE(drv::GetUserDword(kRootKey, "Settings", 0) & (1u << 24));

    // The next dialog offers the histories with the new texts first.
    dlg = OpenDialog();
    ASSERT_TRUE(dlg);
    EXPECT_EQ(editor, ComboText(dlg, IDC_QE_EXT_PATH));
    EXPECT_EQ(1, SendMessageA(GetDlgItem(dlg, IDC_QE_EXT_PATH), CB_GETCOUNT, 0, 0));
    EXPECT_TRUE(SendMessageA(GetDlgItem(dlg, IDC_QE_EXT_MAXIMIZED), BM_GETCHECK, 0, 0));
    drv::PressButton(dlg, IDCANCEL);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    drv::PressButton(sheet, IDCANCEL);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(sheet); }, 5000));

    // Quick Edit (Alternative) starts the chosen program with the template, maximized.
    std::string record = editorDir + "\\qe_recorder.txt";
    ASSERT_TRUE(drv::SelectListItem(drv::PanelList(main, 0), document.c_str()));
    ASSERT_TRUE(app.PostCommand(ID_QUICKEDIT_ALT));
    ASSERT_TRUE(drv::WaitFor([&] { return drv::Exists(record) && !drv::ReadBytes(record).empty(); }, 15000));
    Sleep(200);
    std::string got = drv::ReadBytes(record);
    std::string path = folder + "\\" + document;
    EXPECT_NE(std::string::npos, got.find("-f \"" + path + "\" " + path + "\n")) << got;
    EXPECT_NE(std::string::npos, got.find("\ndir=" + folder + "\n")) << got;
    EXPECT_NE(std::string::npos, got.find("\nshow=3\n")) << got;
}

TEST_F(ExtEditorOptions, CancelChangesNothingAndBrowseOffersPrograms)
{
    HWND main = Start();
    ASSERT_TRUE(main);
    HWND dlg = OpenDialog();
    ASSERT_TRUE(dlg);
    // The file dialog starts from the typed path without its blanks and quotes.
    ASSERT_TRUE(drv::SetItemText(dlg, IDC_QE_EXT_PATH, "  \"" + editor + "\"  "));
    drv::PressButton(dlg, IDC_QE_EXT_BROWSE);
    HWND open = NULL;
    ASSERT_TRUE(drv::WaitFor([&] {
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if (w != dlg && w != sheet && drv::ClassName(w) == "#32770" &&
                drv::AllTexts(w).find("Programs (*.exe)") != std::string::npos)
                return (open = w) != NULL;
        return false;
    }, 10000));
    std::string texts = drv::AllTexts(open);
    EXPECT_NE(std::string::npos, texts.find(drv::U8(L"\x30A8\x30C7\x30A3\x30BF.exe"))) << texts;
    RedrawWindow(open, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    EXPECT_FALSE(drv::Screenshot("quickedit_external_browse", open).empty());
    // Choosing the file puts its whole path into the field.
    drv::PressButton(open, IDOK);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(open); }, 10000));
    EXPECT_EQ(editor, ComboText(dlg, IDC_QE_EXT_PATH));

    ASSERT_TRUE(drv::SetItemText(dlg, IDC_QE_EXT_ARGS, "changed %1"));
    SendMessageA(GetDlgItem(dlg, IDC_QE_EXT_SHORT), BM_SETCHECK, BST_CHECKED, 0);
    DWORD bitsBefore = drv::GetUserDword(kRootKey, "Settings", 0);
    drv::PressButton(dlg, IDCANCEL);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    EXPECT_EQ("C:\\windows\\notepad.exe", drv::GetUserString(kRootKey, "QEPath"));
    EXPECT_EQ("/a %1", drv::GetUserString(kRootKey, "QEArgs"));
    EXPECT_EQ(bitsBefore, drv::GetUserDword(kRootKey, "Settings", 0));
    EXPECT_TRUE(BinaryValue("QEPathMRU").empty());
    EXPECT_TRUE(BinaryValue("QEArgsMRU").empty());
    drv::PressButton(sheet, IDCANCEL);
}

}  // namespace
