// The uninstall check helper and the library's installer entry points: tovrex run as the
// installer runs it, from a folder of its own beside a copy of the library.
#include <gtest/gtest.h>
#include <string>
#include "driver/Driver.h"
#include "registry/Install.h"
#include "registry/RegKey.h"
#include "registry/RegUtil.h"

namespace {
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kFormerKey[] = "Software\\Corvane\\Meridel";
const char kVerbKey[] = "Software\\Classes\\Directory\\shell\\Open with Panorel";
const char kDriveVerbKey[] = "Software\\Classes\\Drive\\shell\\Open with Panorel";

bool KeyExists(const char* sub)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, sub, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

class Tovrex : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = drv::TempFolder("panorel_tovrex");
        exe = folder + "\\tovrex.exe";
        ASSERT_TRUE(CopyFileA(drv::ProgramPath("tovrex.exe").c_str(), exe.c_str(), FALSE));
    }
    void TearDown() override
    {
        drv::RemoveTree(folder);
        drv::ResetProgramSettings();
    }
    void CopyLibrary()
    {
        ASSERT_TRUE(CopyFileA(drv::ProgramPath("panorel32.dll").c_str(),
                              (folder + "\\panorel32.dll").c_str(), FALSE));
    }
    // Runs tovrex with the argument text; a "Can't load" box is answered and its text kept.
    DWORD Run(const std::string& args, std::string* box = nullptr)
    {
        drv::AppProcess app;
        EXPECT_TRUE(app.Start(exe.c_str(), args));
        std::string seen;
        DWORD code = 99;
        DWORD start = GetTickCount();
        while (!app.WaitForExit(100, &code)) {
            HWND w = app.FindWindowWithText("Can't load");
            if (w) {
                seen = drv::AllTexts(w);
                drv::PressButton(w, IDOK);
            }
            if (GetTickCount() - start > 30000) {
                app.Kill();
                ADD_FAILURE() << "tovrex did not end";
                break;
            }
        }
        if (box)
            *box = seen;
        return code;
    }
    std::string folder, exe;
};

TEST_F(Tovrex, WithoutAnArgumentGoesOnSilently)
{
    std::string box;
    EXPECT_EQ(1u, Run("", &box));
    EXPECT_EQ("", box);
    EXPECT_EQ(1u, Run("   ", &box));
    EXPECT_EQ("", box);
}

TEST_F(Tovrex, AMissingOrUnusableLibrarySaysCantLoadAndGoesOn)
{
    std::string box;
    // Nothing of that name beside the helper: the search path is never tried.
    EXPECT_EQ(1u, Run("panorel32", &box));
    EXPECT_NE(std::string::npos, box.find(folder + "\\panorel32.DLL")) << box;
    // A folder named like the library is no library.
    CreateDirectoryA((folder + "\\fake.DLL").c_str(), NULL);
    EXPECT_EQ(1u, Run("\"fake\"", &box));
    EXPECT_NE(std::string::npos, box.find("fake.DLL")) << box;
    // A file that is not a library, and a library without the entry point.
    ASSERT_TRUE(drv::MakeFile(folder + "\\junk.DLL"));
    EXPECT_EQ(1u, Run("junk", &box));
    EXPECT_NE(std::string::npos, box.find("junk.DLL")) << box;
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof(system));
    ASSERT_TRUE(CopyFileA((std::string(system) + "\\version.dll").c_str(),
                          (folder + "\\other.DLL").c_str(), FALSE));
    EXPECT_EQ(1u, Run("other", &box));
    EXPECT_NE(std::string::npos, box.find("other.DLL")) << box;
    // A name that would overflow the path is refused, not cut.
    EXPECT_EQ(1u, Run(std::string(300, 'a'), &box));
    EXPECT_NE(std::string::npos, box.find("aaaa")) << box;
}

TEST_F(Tovrex, ALibraryThatRefusesGivesExitCodeZero)
{
    ASSERT_TRUE(CopyFileA(drv::ProgramPath("tovrex_refuse.dll").c_str(), (folder + "\\refuse.DLL").c_str(),
                          FALSE));
    std::string box;
    EXPECT_EQ(0u, Run("refuse", &box));
    EXPECT_EQ("", box) << "a refusal is the library's to explain";
}

TEST_F(Tovrex, UninstallClosesTheProgramThenRemovesVerbSettingsAndHelpIndexes)
{
    CopyLibrary();
    ASSERT_EQ(1, RegisterFolderCtxMenuCommands(NULL, RegKey::OpUpdate));
    ASSERT_TRUE(KeyExists(kVerbKey));
    ASSERT_TRUE(KeyExists(kDriveVerbKey));
    drv::SetUserDword("Software\\Corvane\\Other Product", "Keep", 7);
    for (const char* name : {"\\panorel.GID", "\\PANOREL.FTS", "\\keep.txt"})
        ASSERT_TRUE(drv::MakeFile(folder + name));
    CreateDirectoryA((folder + "\\sub.GID").c_str(), NULL);

    drv::ResetProgramSettings();
    drv::AppProcess program;
    ASSERT_TRUE(program.Start("panorel.exe"));
    ASSERT_TRUE(program.WaitForMainWindow() != NULL);

    EXPECT_EQ(1u, Run("panorel32"));
    // The running program was asked to exit and did, before its settings were removed.
    EXPECT_TRUE(program.WaitForExit(5000));
    EXPECT_FALSE(KeyExists(kProductKey)) << "the program's exit wrote its settings again";
    EXPECT_FALSE(KeyExists(kVerbKey));
    EXPECT_FALSE(KeyExists(kDriveVerbKey));
    // Other products of the maker keep theirs, and so the maker's key stays.
    EXPECT_EQ(7u, drv::GetUserDword("Software\\Corvane\\Other Product", "Keep", 0));
    EXPECT_FALSE(drv::Exists(folder + "\\panorel.GID"));
    EXPECT_FALSE(drv::Exists(folder + "\\PANOREL.FTS"));
    EXPECT_TRUE(drv::Exists(folder + "\\keep.txt"));
    EXPECT_TRUE(drv::Exists(folder + "\\sub.GID")) << "folders are not help indexes";
    drv::DeleteUserKey("Software\\Corvane\\Other Product");

    // Alone, the product's key goes with the maker's key.
    drv::SetUserDword(kRootKey, "Settings", 1);
    EXPECT_EQ(1, CanUninstall(NULL));
    EXPECT_FALSE(KeyExists("Software\\Corvane"));
}

TEST_F(Tovrex, ReinstallClosesTheProgramAndKeepsEverything)
{
    drv::ResetProgramSettings();
    drv::AppProcess program;
    ASSERT_TRUE(program.Start("panorel.exe"));
    ASSERT_TRUE(program.WaitForMainWindow() != NULL);
    EXPECT_EQ(1, CanReinstall(NULL));
    EXPECT_TRUE(program.WaitForExit(5000));
    EXPECT_TRUE(KeyExists(kRootKey));
}

TEST_F(Tovrex, PostInstallMovesThePreviousReleasesSettingsWhenTheUserAgrees)
{
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "yes" : "no");
        drv::DeleteUserKey(kProductKey);
        drv::DeleteUserKey(kFormerKey);
        drv::SetUserDword("Software\\Corvane\\Meridel\\Meridel", "Settings", 0x1234);
        drv::SetUserString("Software\\Corvane\\Meridel\\Meridel\\DriveBar", "Z", "keep");
        drv::SetUserString(kFormerKey, "Top", "level");
        drv::ModalWatcher watcher(GetCurrentProcessId(), answer, 200);
        EXPECT_EQ(1, PostInstall(NULL));
        std::vector<std::string> asked = watcher.Answered();
        ASSERT_EQ(1u, asked.size());
        EXPECT_NE(std::string::npos, asked[0].find("previous release")) << asked[0];
        if (answer == IDNO) {
            EXPECT_FALSE(KeyExists(kProductKey));
            continue;
        }
        EXPECT_EQ(0x1234u, drv::GetUserDword(kRootKey, "Settings", 0));
        EXPECT_EQ("keep", drv::GetUserString("Software\\Corvane\\Panorel QV\\Panorel QV\\DriveBar", "Z"));
        EXPECT_EQ("level", drv::GetUserString(kProductKey, "Top"));
        EXPECT_FALSE(KeyExists("Software\\Corvane\\Panorel QV\\Meridel"));
        EXPECT_TRUE(KeyExists(kFormerKey)) << "the previous release keeps its own key";
    }
    // An upgrade over this release's settings asks nothing and changes nothing.
    drv::SetUserDword(kRootKey, "Settings", 0x5678);
    drv::ModalWatcher watcher(GetCurrentProcessId(), IDYES, 200);
    EXPECT_EQ(1, PostInstall(NULL));
    EXPECT_TRUE(watcher.Answered().empty());
    EXPECT_EQ(0x5678u, drv::GetUserDword(kRootKey, "Settings", 0));
    drv::DeleteUserKey(kFormerKey);
}
}  // namespace
