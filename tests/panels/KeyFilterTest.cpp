// The administrator's shell key filter: keys bound for a panel that a policy locks are swallowed
// with the restriction message before the shell's view sees them; other keys reach the view.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "driver/Driver.h"

namespace {
using drv::TempFolder;
using drv::Exists;
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kPolicyKey[] = "SOFTWARE\\Policies\\Corvane\\Panorel";
const char kRestricted[] = "This command is restricted by the System Administrator.";


class KeyFilter : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        folder = TempFolder("keyfilter_a");
        victim = folder + "\\victim.txt";
        HANDLE f = CreateFileA(victim.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD written = 0;
        WriteFile(f, "keep me", 7, &written, NULL);
        CloseHandle(f);
    }
    void TearDown() override
    {
        drv::DeleteUserKey(kPolicyKey);
        drv::DeleteUserKey(kProductKey);
        DeleteFileA(victim.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    // Starts the program on the folder and selects the one file in panel 1.
    bool StartWithVictimSelected(drv::AppProcess& app, HWND& main, HWND& list)
    {
        if (!app.Start("panorel.exe", "\"" + folder + "\"") || !(main = app.WaitForMainWindow()))
            return false;
        bool filled = drv::WaitFor([&] {
            list = drv::PanelList(main, 0);
            return list && drv::ListViewTexts(list, false).size() == 1;
        }, 15000);
        return filled && drv::SelectListItem(list, "victim.txt");
    }
    // Posts the key message to the list, as the keyboard would, and waits for the restriction.
    HWND PostAndWaitRestriction(drv::AppProcess& app, HWND list, UINT msg, WPARAM key, DWORD ms)
    {
        PostMessageA(list, msg, key, 1);
        return app.WaitForWindowWithText(kRestricted, ms);
    }
    std::string folder, victim;
};

TEST_F(KeyFilter, LockedShellKeysShowTheRestrictionAndDoNothing)
{
    drv::SetUserDword(kPolicyKey, "DisableShellDelete", 1);
    drv::SetUserDword(kPolicyKey, "DisableShellCopy", 1);
    drv::SetUserDword(kPolicyKey, "DisableShellProperties", 1);
    drv::AppProcess app;
    HWND main = NULL, list = NULL;
    ASSERT_TRUE(StartWithVictimSelected(app, main, list));

    struct Case {
        const char* what;
        UINT msg;
        WPARAM key;
    } cases[] = {
        {"Delete", WM_KEYDOWN, VK_DELETE},
        {"Alt+Enter", WM_SYSKEYDOWN, VK_RETURN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND box = PostAndWaitRestriction(app, list, c.msg, c.key, 5000);
        ASSERT_TRUE(box != NULL);
        // Only the restriction: no confirmation and no properties sheet came with it.
        int others = 0;
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if (w != main && w != box)
                others++;
        EXPECT_EQ(0, others);
        drv::PressButton(box, IDOK);
        EXPECT_TRUE(drv::WaitFor([&] { return app.FindWindowWithText(kRestricted) == NULL; }, 3000));
    }
    // The key up of a locked key is swallowed silently.
    PostMessageA(list, WM_KEYUP, VK_DELETE, 0xC0000001);
    Sleep(500);
    EXPECT_TRUE(app.FindWindowWithText(kRestricted) == NULL);
    EXPECT_TRUE(Exists(victim));
    EXPECT_TRUE(app.Close());
}

TEST_F(KeyFilter, OnlyTheLockedKeyIsFiltered)
{
    // Copy is locked, Delete is not: Delete passes without the message. (Wine's shell view does
    // not act on the Delete key itself, so the file stays either way.)
    drv::SetUserDword(kPolicyKey, "DisableShellCopy", 1);
    drv::AppProcess app;
    HWND main = NULL, list = NULL;
    ASSERT_TRUE(StartWithVictimSelected(app, main, list));
    EXPECT_TRUE(PostAndWaitRestriction(app, list, WM_KEYDOWN, VK_DELETE, 1500) == NULL);
    // Alt+Enter reaches the shell's view, which answers with its own window (Wine's view shows
    // an error box where Windows shows the properties).
    EXPECT_TRUE(PostAndWaitRestriction(app, list, WM_SYSKEYDOWN, VK_RETURN, 1500) == NULL);
    HWND shellWindow = NULL;
    EXPECT_TRUE(drv::WaitFor([&] {
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if (w != main)
                shellWindow = w;
        return shellWindow != NULL;
    }, 8000));
    if (shellWindow) {
        PostMessageA(shellWindow, WM_CLOSE, 0, 0);
        EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(shellWindow) || !IsWindowVisible(shellWindow); }, 5000));
    }
    // Keys for windows outside the panels are never filtered.
    drv::SetUserDword(kPolicyKey, "DisableShellDelete", 1);
    EXPECT_TRUE(PostAndWaitRestriction(app, main, WM_KEYDOWN, VK_DELETE, 1500) == NULL);
    // A locked key for the list still is.
    HWND box = PostAndWaitRestriction(app, list, WM_KEYDOWN, VK_DELETE, 5000);
    ASSERT_TRUE(box != NULL);
    drv::PressButton(box, IDOK);
    EXPECT_TRUE(app.Close());
}

}  // namespace
