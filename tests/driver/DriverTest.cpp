#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "driver/Driver.h"

// The driver against the real program and against a message box of our own test executable.

TEST(Driver, StartsProgramFindsWindowTakesScreenshotAndCloses)
{
    // Defaults without the splash: the main frame is the only window.
    drv::ResetProgramSettings();
    drv::AppProcess app;
    ASSERT_TRUE(app.Start("panorel.exe"));
    drv::ModalWatcher watcher(app.Pid());
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main != NULL);
    EXPECT_NE(drv::WindowText(main).find("Panorel QV"), std::string::npos);
    Sleep(300);
    std::string shot = drv::Screenshot("driver_main", main);
    ASSERT_FALSE(shot.empty());
    WIN32_FILE_ATTRIBUTE_DATA fa;
    ASSERT_TRUE(GetFileAttributesExA(shot.c_str(), GetFileExInfoStandard, &fa));
    EXPECT_GT(fa.nFileSizeLow, 1000u);
    EXPECT_TRUE(app.Close());
    DWORD code = 99;
    EXPECT_TRUE(app.WaitForExit(0, &code));
    EXPECT_EQ(code, 0u);
}

TEST(Driver, FindsMessageBoxByTextAndPressesButton)
{
    drv::AppProcess box;
    ASSERT_TRUE(box.Start(drv::ProgramPath("test_driver.exe").c_str(), "--driver-box \"Hello from box\""));
    HWND dlg = box.WaitForWindowWithText("Hello from box", 20000);
    ASSERT_TRUE(dlg != NULL);
    EXPECT_EQ(drv::ClassName(dlg), "#32770");
    EXPECT_TRUE(drv::PressButton(dlg, "OK"));
    DWORD code = 0;
    ASSERT_TRUE(box.WaitForExit(10000, &code));
    EXPECT_EQ(code, (DWORD)IDOK);
}

TEST(Driver, WatcherAnswersUnexpectedBoxesOnly)
{
    drv::AppProcess box;
    ASSERT_TRUE(box.Start(drv::ProgramPath("test_driver.exe").c_str(), "--driver-box \"Unexpected\""));
    drv::ModalWatcher watcher(box.Pid(), IDCANCEL, 300);
    DWORD code = 0;
    ASSERT_TRUE(box.WaitForExit(20000, &code));
    EXPECT_EQ(code, (DWORD)IDCANCEL);
    std::vector<std::string> answered = watcher.Answered();
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_NE(answered[0].find("Unexpected"), std::string::npos);

    drv::AppProcess allowed;
    ASSERT_TRUE(allowed.Start(drv::ProgramPath("test_driver.exe").c_str(), "--driver-box \"Expected one\""));
    drv::ModalWatcher watcher2(allowed.Pid(), IDCANCEL, 300);
    watcher2.Allow("Expected");
    HWND dlg = allowed.WaitForWindowWithText("Expected one", 20000);
    ASSERT_TRUE(dlg != NULL);
    Sleep(800);   // longer than the grace time: the watcher must leave it alone
    EXPECT_FALSE(allowed.WaitForExit(0));
    EXPECT_TRUE(drv::PressButton(dlg, IDOK));
    ASSERT_TRUE(allowed.WaitForExit(10000, &code));
    EXPECT_EQ(code, (DWORD)IDOK);
    EXPECT_TRUE(watcher2.Answered().empty());
}

TEST(Driver, ReadsStatusBarPartsWithinItsBuffer)
{
    HWND parent = CreateWindowExA(0, "STATIC", "status host", WS_POPUP, 0, 0, 400, 100, NULL, NULL,
                                  NULL, NULL);
    ASSERT_TRUE(parent != NULL);
    HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                               (HMENU)59393, NULL, NULL);
    ASSERT_TRUE(bar != NULL);
    EXPECT_EQ(bar, drv::MainStatusBar(parent));
    int parts[] = {100, 200, 300, -1};
    SendMessageA(bar, SB_SETPARTS, 4, (LPARAM)parts);
    std::string longText(600, 'x');   // more than the reader's buffer
    SendMessageA(bar, SB_SETTEXTA, 0, (LPARAM) "message");
    SendMessageA(bar, SB_SETTEXTA, 1, (LPARAM)longText.c_str());
    SendMessageA(bar, SB_SETTEXTA, 2, (LPARAM) "  5 KB");
    std::vector<std::string> texts = drv::StatusBarTexts(bar);
    ASSERT_EQ(4u, texts.size());
    EXPECT_EQ("message", texts[0]);
    EXPECT_EQ("", texts[1]);
    EXPECT_EQ("  5 KB", texts[2]);
    EXPECT_EQ("", texts[3]);
    EXPECT_TRUE(drv::StatusBarTexts(NULL).empty());
    EXPECT_TRUE(drv::MainStatusBar(NULL) == NULL);
    DestroyWindow(parent);
}
