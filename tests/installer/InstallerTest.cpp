// The Windows installer end to end, in a Wine prefix of its own (scripts/installer-test.sh
// makes it fresh): install, start the installed program, uninstall while it runs and after.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include "driver/Driver.h"
#include <commctrl.h>

namespace {
const char kInstallDir[] = "C:\\Program Files\\Corvane\\Panorel QV";
const char kUninstKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Panorel QV";
const char kVerbCommand[] = "Software\\Classes\\Directory\\shell\\Open with Panorel\\command";
const char kDriveVerbCommand[] = "Software\\Classes\\Drive\\shell\\Open with Panorel\\command";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char* const kFiles[] = {"panorel.exe", "panorel32.dll", "tovrex.exe", "panorel.tod", "uninstall.exe"};

std::string InDir(const char* name) { return std::string(kInstallDir) + "\\" + name; }

bool MachineKeyExists(const char* sub)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, sub, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Runs a program to its end and gives its exit code (99 when it did not end in time).
DWORD RunToEnd(const std::string& exe, const std::string& args, DWORD timeoutMs = 60000)
{
    drv::AppProcess p;
    if (!p.Start(exe.c_str(), args))
        return 98;
    DWORD code = 99;
    if (!p.WaitForExit(timeoutMs, &code))
        p.Kill();
    return code;
}

std::string SetupPath()
{
    const char* path = getenv("PANOREL_SETUP");
    return path ? path : "";
}

// The uninstaller runs in place (_?=) so its exit code is its answer.
DWORD Uninstall(const std::string& extra = std::string())
{
    return RunToEnd(InDir("uninstall.exe"), "/S " + extra + (extra.empty() ? "" : " ") + "_?=" + kInstallDir);
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(SetupPath().empty()) << "PANOREL_SETUP names the installer";
        ASSERT_TRUE(drv::Exists(SetupPath()));
    }
    void ExpectInstalled()
    {
        for (const char* f : kFiles)
            EXPECT_TRUE(drv::Exists(InDir(f))) << f;
        std::string verb = "\"" + InDir("panorel.exe") + "\" /path,\"%L\"";
        EXPECT_EQ(verb, drv::GetUserString(kVerbCommand, ""));
        EXPECT_EQ(verb, drv::GetUserString(kDriveVerbCommand, ""));
        EXPECT_TRUE(MachineKeyExists(kUninstKey));
    }
    void ExpectRemoved()
    {
        // The running uninstaller may keep its own file; everything else goes.
        for (const char* f : kFiles) {
            if (std::string(f) != "uninstall.exe") {
                EXPECT_FALSE(drv::Exists(InDir(f))) << f;
            }
        }
        EXPECT_EQ("", drv::GetUserString(kVerbCommand, ""));
        EXPECT_EQ("", drv::GetUserString(kDriveVerbCommand, ""));
        EXPECT_FALSE(MachineKeyExists(kUninstKey));
    }
};

TEST_F(Installer, InstallRunUninstallKeepsSettingsUnlessAsked)
{
    ASSERT_EQ(0u, RunToEnd(SetupPath(), "/S"));
    ExpectInstalled();

    // The installed program starts, from its own folder, and keeps its settings.
    drv::DeleteUserKey("Software\\Corvane");
    drv::SetUserDword(kRootKey, "Settings", 0x0C081870);
    drv::TipsOff();
    {
        drv::AppProcess app;
        ASSERT_TRUE(app.Start(InDir("panorel.exe").c_str()));
        HWND main = app.WaitForMainWindow();
        ASSERT_TRUE(main != NULL);
        EXPECT_TRUE(drv::WaitFor([main] {
            HWND list = drv::PanelList(main, 1);
            return list && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0;
        }, 20000));
        Sleep(300);   // the last paint
        drv::Screenshot("installed_program");
        // While it runs, the uninstaller refuses and changes nothing.
        EXPECT_EQ(3u, Uninstall());
        ExpectInstalled();
        EXPECT_TRUE(app.Running());
        EXPECT_TRUE(app.Close());
    }
    drv::SetUserDword(kRootKey, "Marker", 42);
    ASSERT_EQ(0u, Uninstall());
    ExpectRemoved();
    EXPECT_EQ(42u, drv::GetUserDword(kRootKey, "Marker", 0)) << "the user's settings were kept";

    // Installing twice over is fine; asked to, the uninstaller takes the settings too.
    ASSERT_EQ(0u, RunToEnd(SetupPath(), "/S"));
    ASSERT_EQ(0u, RunToEnd(SetupPath(), "/S"));
    ExpectInstalled();
    EXPECT_EQ(42u, drv::GetUserDword(kRootKey, "Marker", 0)) << "an upgrade keeps the settings";
    ASSERT_EQ(0u, Uninstall("/REMOVESETTINGS"));
    ExpectRemoved();
    EXPECT_EQ(0u, drv::GetUserDword(kRootKey, "Marker", 0));
}

TEST_F(Installer, UninstallAfterTheFilesWereDeletedByHand)
{
    ASSERT_EQ(0u, RunToEnd(SetupPath(), "/S"));
    ExpectInstalled();
    for (const char* f : kFiles) {
        if (std::string(f) != "uninstall.exe") {
            ASSERT_TRUE(DeleteFileA(InDir(f).c_str())) << f;
        }
    }
    ASSERT_EQ(0u, Uninstall());
    ExpectRemoved();
}

TEST_F(Installer, AnUnwritableTargetFailsTheInstallAndRegistersNothing)
{
    std::string dir = drv::TempFolder("panorel_blocked_target");
    // A folder where the library should go: the file cannot be written (under Wine a read-only
    // folder still takes new files, and the tests run as root).
    std::string target = dir + "\\PanorelQV";
    CreateDirectoryA(target.c_str(), NULL);
    ASSERT_TRUE(CreateDirectoryA((target + "\\panorel32.dll").c_str(), NULL));
    EXPECT_EQ(2u, RunToEnd(SetupPath(), "/S /D=" + target));
    EXPECT_FALSE(MachineKeyExists(kUninstKey)) << "a failed install registers nothing";
    EXPECT_EQ("", drv::GetUserString(kVerbCommand, ""));
    drv::RemoveTree(dir);
}
}  // namespace
