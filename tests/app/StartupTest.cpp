// Start-up, settings, instances and policies of the real program, driven from outside.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "driver/Driver.h"
#include "xml/SettingsFile.h"

namespace {
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kPolicyKey[] = "SOFTWARE\\Policies\\Corvane\\Panorel";
const char kRestricted[] = "This command is restricted by the System Administrator.";
const UINT ID_APP_ABOUT = 57664;
const UINT kDefaultSettings = 0x4C081870;
const UINT kSingleInstance = 0x200000;
const UINT kSplash = 0x40000000;
const UINT kForward = 0x40;

std::string MakeFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string path = std::string(temp) + name;
    CreateDirectoryA(path.c_str(), NULL);
    return path;
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::DeleteUserKey(kProductKey);
        drv::DeleteUserKey(kPolicyKey);
        drv::TipsOff();   // the tips at start-up have tests of their own
    }
    void TearDown() override
    {
        drv::DeleteUserKey(kPolicyKey);
        drv::DeleteUserKey(kProductKey);
    }
    // Settings without the splash so that tests see only the windows they look for.
    void QuietSettings(UINT extra = 0)
    {
        drv::SetUserDword(kRootKey, "Settings", (kDefaultSettings & ~kSplash) | extra);
        drv::TipsOff();
    }
    HWND StartAndWait(drv::AppProcess& app, const std::string& args = std::string())
    {
        EXPECT_TRUE(app.Start("panorel.exe", args));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        return main;
    }
    // "Panel 1: <title>\nPanel 2: <title>\n" from the panels' title bars.
    static std::string PanelText(HWND main)
    {
        std::string text;
        HWND split = GetDlgItem(main, 0xE900);
        for (int i = 0; i < 2; i++) {
            HWND panel = split ? GetDlgItem(split, 0xE900 + i) : NULL;
            HWND title = panel ? GetDlgItem(panel, 59424) : NULL;
            if (!title)
                return std::string();
            text += "Panel " + std::to_string(i + 1) + ": " + drv::WindowText(title) + "\n";
        }
        return text;
    }
    static std::vector<std::string> Selected(HWND main, int panel)
    {
        HWND split = GetDlgItem(main, 0xE900);
        HWND p = split ? GetDlgItem(split, 0xE900 + panel) : NULL;
        HWND view = p ? GetDlgItem(p, 0xE900) : NULL;
        HWND list = view ? FindWindowExA(view, NULL, "SysListView32", NULL) : NULL;
        return list ? drv::ListViewTexts(list, true) : std::vector<std::string>();
    }
};

TEST_F(Startup, FirstStartWritesDefaultsAndAnUnchangedRunWritesNothing)
{
    {
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        ASSERT_TRUE(StartAndWait(app) != NULL);
        Sleep(500);
        drv::Screenshot("startup_first");
        ASSERT_TRUE(app.Close());
    }
    EXPECT_EQ(drv::GetUserDword(kRootKey, "Settings", 0), kDefaultSettings);
    EXPECT_EQ(drv::GetUserDword(kRootKey, "Settings2", 0), 0x04F6B331u);
    EXPECT_TRUE(drv::UserValueExists(kRootKey, "Settings3"));
    EXPECT_EQ(drv::GetUserDword(kRootKey, "Settings3", 1), 0u);
    // Wine's common controls report 5.81, so the full-row bit joins the defaults.
    EXPECT_EQ(drv::GetUserDword(kRootKey, "PaneOpts", 0), 0x1Du | 0x40000u);
    EXPECT_EQ(drv::GetUserString(kRootKey, "QEPath"), "Notepad.exe");

    HKEY root = NULL;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRootKey, 0, KEY_NOTIFY, &root), ERROR_SUCCESS);
    HANDLE changed = CreateEventA(NULL, TRUE, FALSE, NULL);
    ASSERT_EQ(RegNotifyChangeKeyValue(root, FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed, TRUE),
              ERROR_SUCCESS);
    {
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        ASSERT_TRUE(StartAndWait(app) != NULL);
        ASSERT_TRUE(app.Close());
    }
    EXPECT_EQ(WaitForSingleObject(changed, 500), (DWORD)WAIT_TIMEOUT) << "a value was rewritten";
    CloseHandle(changed);
    RegCloseKey(root);
}

TEST_F(Startup, ValuesOfTheWrongSizeGiveTheDefaults)
{
    HKEY key = NULL;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRootKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL), 0);
    BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    RegSetValueExA(key, "Settings", 0, REG_BINARY, eight, sizeof(eight));
    RegSetValueExA(key, "Settings2", 0, REG_BINARY, eight, 2);
    BYTE font[59] = {};
    RegSetValueExA(key, "QE_FontVar", 0, REG_BINARY, font, sizeof(font));
    const char longText[] = "QEPath";
    RegSetValueExA(key, "MRVF_HistSize", 0, REG_SZ, (const BYTE*)longText, sizeof(longText));
    RegCloseKey(key);
    {
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        ASSERT_TRUE(StartAndWait(app) != NULL);
        ASSERT_TRUE(app.Close());
    }
    EXPECT_EQ(drv::GetUserDword(kRootKey, "Settings", 0), kDefaultSettings);
    EXPECT_EQ(drv::GetUserDword(kRootKey, "Settings2", 0), 0x04F6B331u);
    EXPECT_EQ(drv::GetUserDword(kRootKey, "MRVF_HistSize", 0), 20u);
    // A font of the wrong size is dropped, and storing no font deletes the value.
    EXPECT_FALSE(drv::UserValueExists(kRootKey, "QE_FontVar"));
}

TEST_F(Startup, CommandLineFoldersFilesAndSwitches)
{
    QuietSettings();
    std::string a = MakeFolder("pnl_a"), b = MakeFolder("pnl_b");
    std::string file = a + "\\readme.txt";
    HANDLE f = CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    CloseHandle(f);
    struct Case {
        std::string args, panel1, panel2, select;
        bool maximized;
    } cases[] = {
        {a + "," + b, a, b, "", false},
        {a + " " + b, b, "", "", false},
        {"\"" + a + "\\\"", a, "", "", false},
        {file, a, "", "readme.txt", false},
        {"/MAXIMIZE /unknown / /idlist,:123 /idlist,:junk /idlist,:70000 /path," + b, b, "", "",
         true},
        {std::string(400, 'x') + "," + a, "", a, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.substr(0, 80));
        // Each start begins from empty settings: a maximized exit would be restored.
        drv::DeleteUserKey(kProductKey);
        QuietSettings();
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        HWND main = StartAndWait(app, c.args);
        ASSERT_TRUE(main != NULL);
        ASSERT_TRUE(drv::WaitFor([&] { return PanelText(main).find("Panel 2:") != std::string::npos; }, 5000));
        std::string text = PanelText(main);
        if (!c.panel1.empty()) {
            EXPECT_NE(text.find("Panel 1: " + c.panel1 + "\n"), std::string::npos) << text;
        }
        if (!c.panel2.empty()) {
            EXPECT_NE(text.find("Panel 2: " + c.panel2 + "\n"), std::string::npos) << text;
        }
        if (!c.select.empty()) {
            std::vector<std::string> sel;
            drv::WaitFor([&] { return (sel = Selected(main, 0)).size() == 1; }, 5000);
            ASSERT_EQ(sel.size(), 1u);
            EXPECT_EQ(sel[0], c.select);
        }
        EXPECT_EQ(IsZoomed(main) != 0, c.maximized);
        EXPECT_TRUE(app.Close());
        EXPECT_TRUE(watcher.Answered().empty());
    }
}

TEST_F(Startup, SecondInstanceForwardsItsFoldersOrOnlyActivates)
{
    std::string a = MakeFolder("fwd_a"), b = MakeFolder("fwd_b");
    drv::SetUserDword(kRootKey, "Settings3", kForward);
    QuietSettings(kSingleInstance);
    drv::AppProcess first;
    drv::ModalWatcher watcher(first.Pid());
    HWND main = StartAndWait(first);
    ASSERT_TRUE(main != NULL);
    ASSERT_TRUE(drv::WaitFor([&] { return PanelText(main).find("Panel 2:") != std::string::npos; }, 5000));

    drv::AppProcess second;
    ASSERT_TRUE(second.Start("panorel.exe", a + "," + b));
    DWORD code = 99;
    ASSERT_TRUE(second.WaitForExit(20000, &code));
    EXPECT_TRUE(drv::TopLevelWindows(second.Pid()).empty());
    std::string text = PanelText(main);
    EXPECT_NE(text.find("Panel 1: " + a), std::string::npos) << text;
    EXPECT_NE(text.find("Panel 2: " + b), std::string::npos) << text;

    // Forwarding off: the second start only activates the first.
    drv::SetUserDword(kRootKey, "Settings3", 0);
    first.Send(RegisterWindowMessageA("CorvaneMessage"), 1, 42361);   // exit stores settings
    ASSERT_TRUE(first.WaitForExit(15000));
    drv::SetUserDword(kRootKey, "Settings3", 0);
    drv::AppProcess third;
    main = StartAndWait(third);
    ASSERT_TRUE(main != NULL);
    drv::AppProcess fourth;
    ASSERT_TRUE(fourth.Start("panorel.exe", b + "," + a));
    ASSERT_TRUE(fourth.WaitForExit(20000));
    text = PanelText(main);
    EXPECT_EQ(text.find("Panel 1: " + b), std::string::npos) << text;
    EXPECT_TRUE(third.Close());
}

TEST_F(Startup, InstanceMessagesAnswerAsSpecifiedAndOnlyForOurProductCode)
{
    QuietSettings();
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    ASSERT_TRUE(StartAndWait(app) != NULL);
    EXPECT_EQ(app.SendRegistered("PanorelMsg", 1, 0), 1542);
    EXPECT_EQ(app.SendRegistered("PanorelMsg", 11, 0), 1);
    EXPECT_EQ(app.SendRegistered("PanorelMsg", 12, 0), 0);   // nothing pending
    EXPECT_EQ(app.SendRegistered("CorvaneMessage", 14, 42361), 1);
    EXPECT_EQ(app.SendRegistered("CorvaneMessage", 14, 42362), 0);
    EXPECT_EQ(app.SendRegistered("CorvaneMessage", 13, 42361), 1);
    EXPECT_EQ(app.SendRegistered("CorvaneMessage", 13, 1), 0);
    EXPECT_EQ(app.SendRegistered("CorvaneMessage", 3, 4), 1);
    EXPECT_EQ(app.SendRegistered("CorvaneMessage", 3, 5), 0);

    // A path handed over becomes the pending folder, taken once by code 12.
    std::string folder = MakeFolder("pending_x");
    EXPECT_EQ(app.CopyData(1, folder.c_str(), (DWORD)folder.size() + 1), 1);
    EXPECT_EQ(app.SendRegistered("PanorelMsg", 12, 0), 1);
    EXPECT_EQ(app.SendRegistered("PanorelMsg", 12, 0), 0);
    EXPECT_NE(PanelText(app.MainWindow()).find("Panel 1: " + folder), std::string::npos);
    // UTF-16 path without a terminator: the byte count bounds it.
    std::wstring wide(folder.begin(), folder.end());
    EXPECT_EQ(app.CopyData(2, wide.data(), (DWORD)(wide.size() * sizeof(wchar_t))), 1);
    EXPECT_EQ(app.SendRegistered("PanorelMsg", 12, 0), 1);
    // Junk identifier lists are refused.
    BYTE junk[6] = {40, 0, 1, 2, 3, 4};
    EXPECT_EQ(app.CopyData(3, junk, sizeof(junk)), 0);
    EXPECT_EQ(app.SendRegistered("PanorelMsg", 12, 0), 0);

    // The exit code with another product code does nothing; with ours the program ends.
    app.SendRegistered("CorvaneMessage", 1, 7);
    EXPECT_FALSE(app.WaitForExit(1000));
    app.SendRegistered("CorvaneMessage", 1, 42361);
    EXPECT_TRUE(app.WaitForExit(15000));
}

TEST_F(Startup, LockedCommandShowsTheRestrictionMessageOnly)
{
    QuietSettings();
    struct Case {
        int custom;   // -1 no custom message setting, 0 custom but empty, 1 custom text
        const char* expected;
    } cases[] = {{-1, kRestricted}, {1, "Ask your administrator"}, {0, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.custom);
        drv::DeleteUserKey(kPolicyKey);
        drv::SetUserDword(kPolicyKey, "DisableMenuHelpAbout", 1);
        if (c.custom >= 0) {
            drv::SetUserDword(kPolicyKey, "DisplayCustomMessage", 1);
            drv::SetUserString(kPolicyKey, "CustomMessage", c.custom ? c.expected : "");
        }
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        if (c.expected)
            watcher.Allow(c.expected);
        ASSERT_TRUE(StartAndWait(app) != NULL);
        ASSERT_TRUE(app.PostCommand(ID_APP_ABOUT));
        if (c.expected) {
            HWND box = app.WaitForWindowWithText(c.expected, 10000);
            ASSERT_TRUE(box != NULL);
            drv::Screenshot("restricted_message");
            EXPECT_TRUE(drv::PressButton(box, IDOK));
        } else {
            Sleep(1500);
        }
        EXPECT_TRUE(app.FindWindowWithText("A two-panel file manager") == NULL);
        EXPECT_TRUE(drv::WaitFor([&] { return drv::TopLevelWindows(app.Pid()).size() == 1; }, 5000));
        EXPECT_TRUE(app.Close());
        EXPECT_TRUE(watcher.Answered().empty());
    }
    // Unlocked, the same command opens the About box.
    drv::DeleteUserKey(kPolicyKey);
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    watcher.Allow("A two-panel file manager");
    ASSERT_TRUE(StartAndWait(app) != NULL);
    ASSERT_TRUE(app.PostCommand(ID_APP_ABOUT));
    HWND about = app.WaitForWindowWithText("A two-panel file manager", 10000);
    ASSERT_TRUE(about != NULL);
    EXPECT_NE(drv::AllTexts(about).find("Version 6.6"), std::string::npos);
    drv::Screenshot("about_box");
    EXPECT_TRUE(drv::PressButton(about, IDOK));
    EXPECT_TRUE(app.Close());
}

TEST_F(Startup, ExitLockedRefusesToClose)
{
    QuietSettings();
    drv::SetUserDword(kPolicyKey, "DisableMenuFolderExit", 1);
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    watcher.Allow(kRestricted);
    ASSERT_TRUE(StartAndWait(app) != NULL);
    ASSERT_TRUE(drv::WaitFor([&] { return PanelText(app.MainWindow()).find("Panel 2:") != std::string::npos; }, 5000));
    PostMessageA(app.MainWindow(), WM_CLOSE, 0, 0);
    HWND box = app.WaitForWindowWithText(kRestricted, 10000);
    ASSERT_TRUE(box != NULL);
    EXPECT_TRUE(drv::PressButton(box, IDOK));
    EXPECT_FALSE(app.WaitForExit(1000));
    EXPECT_EQ(app.SendRegistered("CorvaneMessage", 13, 42361, 1000), 0);   // box shown, refused
    drv::DeleteUserKey(kPolicyKey);
    EXPECT_TRUE(app.Close());
}

TEST_F(Startup, MissingRootPathOrPreloadFileEndsTheProgramWithItsMessage)
{
    struct Case {
        const char* value;
        const char* data;
        const char* message;
    } cases[] = {
        {"RootPath", "C:\\no\\such\\root", "The root path is invalid or does not exist."},
        {"AltRootPath", "C:\\no\\such\\alt", "The alternative root path is invalid"},
        {"PreloadSettingsQV", "C:\\no\\such.opt", "Error processing PreloadSettings policy."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        drv::DeleteUserKey(kPolicyKey);
        drv::DeleteUserKey(kProductKey);
        drv::TipsOff();
        drv::SetUserString(kPolicyKey, c.value, c.data);
        drv::AppProcess app;
        ASSERT_TRUE(app.Start("panorel.exe"));
        drv::ModalWatcher watcher(app.Pid());
        watcher.Allow(c.message);
        HWND box = app.WaitForWindowWithText(c.message, 20000);
        ASSERT_TRUE(box != NULL);
        EXPECT_NE(drv::WindowText(box).find("Panorel QV"), std::string::npos);
        EXPECT_TRUE(drv::PressButton(box, IDOK));
        ASSERT_TRUE(app.WaitForExit(10000));
        // The program ended before anything was stored.
        EXPECT_FALSE(drv::UserValueExists(kRootKey, "Settings"));
    }
}
}  // namespace

namespace {
TEST_F(Startup, PreloadPolicyImportsItsFileBeforeAnythingElse)
{
    drv::SetUserDword(kRootKey, "MenuStyle", 1);
    drv::TipsOff();   // carried by the preloaded file
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string file = std::string(temp) + "preload.opt";
    ASSERT_TRUE(DoExportOpts(NULL, file.c_str()));   // no application: the product key
    drv::DeleteUserKey(kProductKey);
    drv::SetUserString(kPolicyKey, "PreloadSettingsQV", file.c_str());
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    ASSERT_TRUE(StartAndWait(app) != NULL);
    EXPECT_TRUE(app.Close());
    EXPECT_EQ(drv::GetUserDword(kRootKey, "MenuStyle", 0), 1u);
    EXPECT_TRUE(watcher.Answered().empty());
    DeleteFileA(file.c_str());
}

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

TEST_F(Startup, LogOffStoresSettingsAndTheRunOnceEntryWhenAsked)
{
    for (bool reopen : {false, true}) {
        SCOPED_TRACE(reopen);
        drv::DeleteUserKey(kRunOnceKey);
        drv::DeleteUserKey(kProductKey);
        QuietSettings(reopen ? 0x40000 : 0);
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        ASSERT_TRUE(StartAndWait(app) != NULL);
        drv::SetUserDword(kRootKey, "PaneOpts", 0);   // changed behind its back: log-off rewrites it
        app.Send(WM_ENDSESSION, TRUE, 0);
        EXPECT_EQ(drv::GetUserDword(kRootKey, "PaneOpts", 0), 0x4001Du);
        std::string entry = drv::GetUserString(kRunOnceKey, "Panorel QV");
        if (reopen) {
            EXPECT_NE(entry.find("panorel.exe"), std::string::npos) << entry;
        } else {
            EXPECT_TRUE(entry.empty()) << entry;
        }
        EXPECT_TRUE(app.Close());
    }
    drv::DeleteUserKey(kRunOnceKey);
}
}  // namespace
