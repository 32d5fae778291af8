// Tools - Export settings and Import settings on the real program: the file dialog, the other
// instances closed, the RunDll32 process that does the work after the program has ended, its
// report and the restart.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "driver/BarsDriver.h"
#include "driver/Driver.h"
#include "driver/SelectDriver.h"
#include "lib/registry/RegFixture.h"

namespace {
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kPolicyKey[] = "SOFTWARE\\Policies\\Corvane\\Panorel";
const UINT ID_TOOLS_IMPORT_SETTINGS = 38604;
const UINT ID_TOOLS_EXPORT_SETTINGS = 38605;
const char kExported[] = "The settings have been saved in ";
const char kImported[] = "The settings have been imported from ";

std::string Root(const std::string& sub = std::string())
{
    return sub.empty() ? std::string(kRootKey) : std::string(kRootKey) + "\\" + sub;
}

// Every kind of value the program keeps, and names a narrow code page cannot hold.
void FillProductKey()
{
    HKEY hk = HKEY_CURRENT_USER;
    RawSetDword(hk, Root(), "All", 0xFFFFFFFF);
    RawSetDword(hk, Root(), "Zero", 0);
    RawSetDword(hk, Root(), "ImgRunDelay", 7);
    LOGFONTA font = {};
    font.lfHeight = -13;
    font.lfWeight = FW_BOLD;
    lstrcpyA(font.lfFaceName, "Tahoma");
    ASSERT_EQ(60u, sizeof(font));
    RawSet(hk, Root(), "Font", REG_BINARY, &font, sizeof(font));
    RawSet(hk, Root(), "QE_FontFixed", REG_BINARY, &font, sizeof(font));
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    wp.showCmd = SW_SHOWNORMAL;
    wp.rcNormalPosition = {100, 120, 500, 420};
    ASSERT_EQ(44u, sizeof(wp));
    RawSet(hk, Root(), "DlgGoto", REG_BINARY, &wp, sizeof(wp));
    RawSet(hk, Root(), "DlgFileOp", REG_BINARY, &wp, sizeof(wp));
    // A history list: zero-separated strings ended by an empty one.
    const char mru[] = "C:\\windows\0Z:\\tmp\\日本語\0C:\\Кириллица\0";
    RawSet(hk, Root(), "JumpMRU", REG_BINARY, mru, sizeof(mru));
    // An identifier list: the Desktop's first item and its terminator.
    const BYTE pidl[] = {0x14, 0x00, 0x1F, 0x50, 0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                         0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D, 0x00, 0x00};
    RawSet(hk, Root(), "FavPidl", REG_BINARY, pidl, sizeof(pidl));
    RawSet(hk, Root(), "EmptyBin", REG_BINARY, pidl, 0);
    RawSetStr(hk, Root(), "QEPath", "C:\\Program Files\\Editor\\ed.exe");
    RawSetStr(hk, Root(), "Empty", "");
    RawSetStr(hk, Root(), "Markup", "a <b> & c &amp; it's");
    RawSetStr(hk, Root(), "Long", std::string(2000, 'x').c_str());
    RawSetStr(hk, Root(), "日本語の値", "日本語テキスト");
    RawSetStr(hk, Root(), "Значение", "Привет, мир");
    RawSetDword(hk, Root(), "emoji 🎛", 0x12345678);
    RawSetStr(hk, Root("サブキー\\Вложенный\\🗝"), NULL, "deep default");
    RawSetStr(hk, Root("サブキー\\Вложенный\\🗝"), "名前", "値 🎉");
    std::vector<BYTE> big(4000);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = (BYTE)(i * 31 + 7);
    RawSet(hk, Root("1"), "ViewView", REG_BINARY, big.data(), (DWORD)big.size());
    RawSetStr(hk, std::string(kProductKey) + "\\Frame Window", "Show", "0");
    RawSetStr(hk, std::string(kProductKey), NULL, "product default");
}

RawTree ProductTree()
{
    RawTree tree;
    ReadRawTree(HKEY_CURRENT_USER, kProductKey, tree);
    return tree;
}

class Transfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        m_folder = drv::TempFolder("設定 Настройки 🎛");
        m_file = m_folder + "\\panorel settings.opt";
        DeleteFileA(m_file.c_str());
    }
    void TearDown() override
    {
        drv::RemoveTree(m_folder);
        drv::ResetProgramSettings();
    }

    HWND Start(drv::AppProcess& app)
    {
        EXPECT_TRUE(app.Start("panorel.exe"));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        return main;
    }
    // Types the path into the file dialog of that caption and confirms it.
    bool ChooseFile(drv::AppProcess& app, const char* caption, const std::string& path)
    {
        HWND dlg = drv::WaitForDialog(app.Pid(), caption);
        if (!dlg)
            return false;
        HWND field = NULL;
        if (!drv::WaitFor([&] { return (field = drv::FileDialogNameField(dlg)) != NULL; }, 5000))
            return false;
        SendMessageA(field, WM_SETTEXT, 0, (LPARAM)path.c_str());
        Sleep(100);
        return drv::PressButton(dlg, IDOK);
    }
    // Runs the command up to the program's end; the report of the RunDll32 process is
    // returned unanswered.
    HWND RunCommand(drv::AppProcess& app, UINT command, const std::string& path)
    {
        EXPECT_TRUE(app.PostCommand(command));
        if (command == ID_TOOLS_IMPORT_SETTINGS) {
            std::string text;
            EXPECT_TRUE(drv::AnswerBox(app.Pid(), "This command will erase the current settings",
                                       IDYES, &text));
        }
        EXPECT_TRUE(ChooseFile(app, command == ID_TOOLS_IMPORT_SETTINGS ? "Import settings"
                                                                        : "Export settings",
                               path));
        DWORD code = 1;
        EXPECT_TRUE(app.WaitForExit(20000, &code));
        EXPECT_EQ(0u, code);
        return drv::WaitForBoxOfAnyProcess(
            command == ID_TOOLS_IMPORT_SETTINGS ? kImported : kExported, 20000);
    }

    std::string m_folder, m_file;
};

}  // namespace

TEST_F(Transfer, ExportThenImportRoundTripsTheWholeProductKey)
{
    FillProductKey();
    RawTree before;
    {
        drv::AppProcess app;
        ASSERT_TRUE(Start(app));
        HWND report = RunCommand(app, ID_TOOLS_EXPORT_SETTINGS, m_file);
        ASSERT_TRUE(report);
        drv::Screenshot("settings_exported");
        // The file holds the settings as the program left them when it closed.
        before = ProductTree();
        drv::PressButton(report, IDNO);
        EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(report); }, 5000));
    }
    std::string text = drv::ReadBytes(m_file);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(0u, text.find("<?xml version=\"1.0\"?>\r\n<KEY Name=\"Panorel QV\">\r\n"));
    EXPECT_NE(std::string::npos,
              text.find("<DATA Name=\"All\" Type=\"REG_DWORD\" Value=\"4294967295\"/>"));
    EXPECT_NE(std::string::npos,
              text.find("<DATA Name=\"日本語の値\" Type=\"REG_SZ\" Value=\"日本語テキスト\"/>"));
    EXPECT_NE(std::string::npos, text.find("<KEY Name=\"🗝\">"));
    EXPECT_EQ(std::string::npos, text.find('?', text.find("\r\n"))) << "a name lost a character";
    ASSERT_EQ("日本語テキスト", RawGetStr(HKEY_CURRENT_USER, Root(), "日本語の値"));

    // Other settings meanwhile; the import puts back exactly what was exported.
    drv::DeleteUserKey(kProductKey);
    drv::ResetProgramSettings();
    RawSetStr(HKEY_CURRENT_USER, Root("Stale"), "x", "y");
    {
        drv::AppProcess app;
        ASSERT_TRUE(Start(app));
        HWND report = RunCommand(app, ID_TOOLS_IMPORT_SETTINGS, m_file);
        ASSERT_TRUE(report);
        drv::Screenshot("settings_imported");
        // The report names the file whole, though RunDll32 has the system's 8-bit code page.
        EXPECT_NE(std::string::npos, drv::AllTexts(report).find(kImported + m_file + "."))
            << drv::AllTexts(report);
        RawTree after = ProductTree();
        EXPECT_TRUE(before == after);
        EXPECT_EQ("値 🎉", RawGetStr(HKEY_CURRENT_USER, Root("サブキー\\Вложенный\\🗝"), "名前"));
        EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Root("Stale")));
        // Yes starts the program again.
        drv::PressButton(report, IDYES);
        HWND again = NULL;
        ASSERT_TRUE(drv::WaitFor(
            [&] {
                again = FindWindowA("PanorelMainFrame", NULL);
                return again && IsWindowVisible(again);
            },
            20000));
        DWORD pid = 0;
        GetWindowThreadProcessId(again, &pid);
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
        PostMessageA(again, WM_CLOSE, 0, 0);
        if (process) {
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 15000));
            CloseHandle(process);
        }
    }
}

TEST_F(Transfer, ExportClosesTheOtherInstancesFirst)
{
    drv::AppProcess first, second;
    ASSERT_TRUE(Start(first));
    ASSERT_TRUE(second.Start("panorel.exe"));
    ASSERT_TRUE(drv::WaitFor(
        [&] {
            for (HWND w : drv::TopLevelWindows(second.Pid(), true))
                if (drv::ClassName(w) == "PanorelMainFrame")
                    return true;
            return false;
        },
        30000));
    HWND report = RunCommand(first, ID_TOOLS_EXPORT_SETTINGS, m_file);
    EXPECT_TRUE(second.WaitForExit(15000));
    ASSERT_TRUE(report);
    EXPECT_NE(std::string::npos, drv::AllTexts(report).find("Do you want to return to Panorel?"));
    drv::PressButton(report, IDNO);
    EXPECT_FALSE(drv::ReadBytes(m_file).empty());
}

TEST_F(Transfer, AUnicodeFileIsRefusedAndTheDialogComesAgain)
{
    ASSERT_TRUE(drv::WriteBytes(m_file, std::string("\xFF\xFE<\0?\0x\0m\0l\0", 12)));
    RawSetStr(HKEY_CURRENT_USER, Root(), "Keep", "1");
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    ASSERT_TRUE(app.PostCommand(ID_TOOLS_IMPORT_SETTINGS));
    ASSERT_TRUE(drv::AnswerBox(app.Pid(), "This command will erase", IDYES));
    ASSERT_TRUE(ChooseFile(app, "Import settings", m_file));
    std::string text;
    ASSERT_TRUE(drv::AnswerBox(app.Pid(), "is incompatible with Panorel QV", IDOK, &text));
    EXPECT_NE(std::string::npos, text.find(m_file)) << text;
    HWND dlg = drv::WaitForDialog(app.Pid(), "Import settings");
    ASSERT_TRUE(dlg);
    drv::PressButton(dlg, IDCANCEL);
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    EXPECT_TRUE(app.Running());
    ASSERT_TRUE(app.Close());
    // No transfer runs after a cancelled command.
    EXPECT_FALSE(drv::WaitForBoxOfAnyProcess("Do you want to return to Panorel?", 2000));
    EXPECT_EQ("1", RawGetStr(HKEY_CURRENT_USER, Root(), "Keep"));
}

TEST_F(Transfer, NoToTheQuestionOrALockEndsTheCommand)
{
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    ASSERT_TRUE(app.PostCommand(ID_TOOLS_IMPORT_SETTINGS));
    ASSERT_TRUE(drv::AnswerBox(app.Pid(), "This command will erase", IDNO));
    EXPECT_FALSE(drv::WaitForDialog(app.Pid(), "Import settings", 1000));
    drv::SetUserDword(kPolicyKey, "DisableMenuToolsExportSettings", 1);
    ASSERT_TRUE(app.PostCommand(ID_TOOLS_EXPORT_SETTINGS));
    ASSERT_TRUE(drv::AnswerBox(app.Pid(), "restricted", IDOK));
    EXPECT_FALSE(drv::WaitForDialog(app.Pid(), "Export settings", 1000));
    drv::DeleteUserKey(kPolicyKey);
    // A path that does not fit the command line handed to RunDll32 is refused.
    ASSERT_TRUE(app.PostCommand(ID_TOOLS_EXPORT_SETTINGS));
    // "StoreOptions", a blank and 250 bytes pass the 260 bytes of the pending command.
    std::string longName = m_folder + "\\" + std::string(250 - m_folder.size() - 5, 'n') + ".opt";
    ASSERT_TRUE(ChooseFile(app, "Export settings", longName));
    std::string text;
    EXPECT_TRUE(drv::AnswerBox(app.Pid(), "its path is too long", IDOK, &text)) << text;
    HWND dlg = drv::WaitForDialog(app.Pid(), "Export settings");
    ASSERT_TRUE(dlg);
    drv::PressButton(dlg, IDCANCEL);
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    EXPECT_TRUE(app.Running());
    ASSERT_TRUE(app.Close());
    EXPECT_FALSE(drv::WaitForBoxOfAnyProcess("Do you want to return to Panorel?", 2000));
}
