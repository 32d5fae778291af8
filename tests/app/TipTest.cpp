// The Tip of the Day on the real program: a copy of the program in a folder of its own, with a
// tips file the test writes beside it.
#include <gtest/gtest.h>
#include <string>
#include "driver/Driver.h"

namespace {
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kTipKey[] = "Software\\Corvane\\Panorel QV\\Tip";
const char kPolicyKey[] = "SOFTWARE\\Policies\\Corvane\\Panorel";
const char kHeading[] = "Did you know?..";
const UINT ID_HELP_TIP = 32804;
const int IDC_TIP_NEXT = 1002, IDC_TIP_STARTUP = 1003, IDC_TIP_TEXT = 1004;

class TipOfTheDay : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        drv::DeleteUserKey(kTipKey);   // tips on, as on a first start
        folder = drv::TempFolder("panorel_tip");
        exe = folder + "\\panorel.exe";
        tod = folder + "\\panorel.tod";
        ASSERT_TRUE(CopyFileA(drv::ProgramPath("panorel.exe").c_str(), exe.c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(drv::ProgramPath("panorel32.dll").c_str(),
                              (folder + "\\panorel32.dll").c_str(), FALSE));
        DeleteFileA(tod.c_str());
    }
    void TearDown() override
    {
        drv::DeleteUserKey(kPolicyKey);
        drv::ResetProgramSettings();
        drv::RemoveTree(folder);
    }
    // Writes the tips file with a modification time of its own, so a rewrite is seen as new.
    void WriteTips(const std::string& text, int minutesBack)
    {
        HANDLE f = CreateFileA(tod.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, f);
        DWORD written = 0;
        WriteFile(f, text.data(), (DWORD)text.size(), &written, NULL);
        SYSTEMTIME st;
        GetSystemTime(&st);
        FILETIME ft;
        SystemTimeToFileTime(&st, &ft);
        ULARGE_INTEGER t = {{ft.dwLowDateTime, ft.dwHighDateTime}};
        t.QuadPart -= (ULONGLONG)minutesBack * 60 * 10000000;
        ft.dwLowDateTime = t.LowPart;
        ft.dwHighDateTime = t.HighPart;
        SetFileTime(f, NULL, NULL, &ft);
        CloseHandle(f);
    }
    HWND WaitForTip(drv::AppProcess& app)
    {
        return app.WaitForWindowWithText(kHeading, 20000);
    }
    static std::string TipText(HWND dlg) { return drv::WindowText(GetDlgItem(dlg, IDC_TIP_TEXT)); }
    static std::string Next(HWND dlg)
    {
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_TIP_NEXT, BN_CLICKED), 0);
        return TipText(dlg);
    }
    // Presses Close and waits for the dialog to go.
    static bool CloseTip(HWND dlg)
    {
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return drv::WaitFor([dlg] { return !IsWindow(dlg); }, 10000);
    }

    std::string folder, exe, tod;
};

const char kTwoTips[] = "; a comment\r\nFirst tip.\r\n\r\n  an indented line\r\n\tand a tabbed one\r\nSecond tip.\r\n";

TEST_F(TipOfTheDay, StartUpTipsGoOnWhereTheyStoppedAndWrapAround)
{
    WriteTips(kTwoTips, 60);
    {
        drv::AppProcess app;
        ASSERT_TRUE(app.Start(exe.c_str()));
        HWND tip = WaitForTip(app);
        ASSERT_TRUE(tip != NULL) << "no tip at a first start";
        // The main window comes up behind the tip.
        ASSERT_TRUE(app.WaitForMainWindow() != NULL);
        EXPECT_EQ("First tip.", TipText(tip));
        EXPECT_EQ(BST_CHECKED, SendDlgItemMessageA(tip, IDC_TIP_STARTUP, BM_GETCHECK, 0, 0));
        drv::Screenshot("tip_of_the_day", tip);
        EXPECT_EQ("Second tip.", Next(tip));
        EXPECT_EQ("First tip.", Next(tip)) << "after the last tip the file starts again";
        ASSERT_TRUE(CloseTip(tip));
        EXPECT_TRUE(app.Close());
    }
    EXPECT_EQ(0u, drv::GetUserDword(kTipKey, "StartUp", 9));
    EXPECT_FALSE(drv::GetUserString(kTipKey, "TimeStamp").empty());
    {
        // The next start shows the tip after the one last seen; clearing the box ends the tips.
        drv::AppProcess app;
        ASSERT_TRUE(app.Start(exe.c_str()));
        HWND tip = WaitForTip(app);
        ASSERT_TRUE(tip != NULL);
        EXPECT_EQ("Second tip.", TipText(tip));
        SendDlgItemMessageA(tip, IDC_TIP_STARTUP, BM_SETCHECK, BST_UNCHECKED, 0);
        ASSERT_TRUE(CloseTip(tip));
        ASSERT_TRUE(app.WaitForMainWindow() != NULL);
        EXPECT_TRUE(app.Close());
    }
    EXPECT_EQ(1u, drv::GetUserDword(kTipKey, "StartUp", 9));
    {
        // No tip now; Help - Tip of the Day still shows the next one.
        drv::AppProcess app;
        ASSERT_TRUE(app.Start(exe.c_str()));
        ASSERT_TRUE(app.WaitForMainWindow() != NULL);
        EXPECT_TRUE(app.FindWindowWithText(kHeading) == NULL);
        ASSERT_TRUE(app.PostCommand(ID_HELP_TIP));
        HWND tip = WaitForTip(app);
        ASSERT_TRUE(tip != NULL);
        EXPECT_EQ("First tip.", TipText(tip));
        EXPECT_EQ(BST_UNCHECKED, SendDlgItemMessageA(tip, IDC_TIP_STARTUP, BM_GETCHECK, 0, 0));
        ASSERT_TRUE(CloseTip(tip));
        EXPECT_TRUE(app.Close());
    }
}

TEST_F(TipOfTheDay, NewFileMissingFileFarOffsetAndNoTips)
{
    drv::TipsOff();
    WriteTips(kTwoTips, 60);
    drv::AppProcess app;
    ASSERT_TRUE(app.Start(exe.c_str()));
    ASSERT_TRUE(app.WaitForMainWindow() != NULL);
    auto show = [&](const char* why) -> HWND {
        SCOPED_TRACE(why);
        EXPECT_TRUE(app.PostCommand(ID_HELP_TIP));
        HWND tip = WaitForTip(app);
        EXPECT_TRUE(tip != NULL);
        return tip;
    };
    HWND tip = show("first");
    ASSERT_TRUE(tip);
    EXPECT_EQ("Second tip.", Next(tip));
    ASSERT_TRUE(CloseTip(tip));

    // A replaced file (another modification time) starts again at its first tip.
    WriteTips("Alpha.\r\nBeta.\r\nGamma.\r\n", 30);
    tip = show("replaced");
    ASSERT_TRUE(tip);
    EXPECT_EQ("Alpha.", TipText(tip));
    ASSERT_TRUE(CloseTip(tip));

    // A stored offset past the end of an unchanged file gives the first tip after the wrap.
    drv::SetUserDword(kTipKey, "FilePos", 100000);
    tip = show("far offset");
    ASSERT_TRUE(tip);
    EXPECT_EQ("Alpha.", TipText(tip));
    ASSERT_TRUE(CloseTip(tip));

    // A file of comments only holds no tip.
    WriteTips("; nothing\r\n\r\n  but comments\r\n", 20);
    tip = show("no tips");
    ASSERT_TRUE(tip);
    EXPECT_EQ("ERROR: Corrupt file 'panorel.TOD'", TipText(tip));
    ASSERT_TRUE(CloseTip(tip));

    // Without the file the dialog says so and Next Tip is off.
    ASSERT_TRUE(DeleteFileA(tod.c_str()));
    tip = show("missing");
    ASSERT_TRUE(tip);
    EXPECT_EQ("ERROR: Missing file 'panorel.TOD'", TipText(tip));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(tip, IDC_TIP_NEXT)));
    ASSERT_TRUE(CloseTip(tip));

    // A long line is cut to a tip's length, and the next tip starts on the next line.
    WriteTips(std::string(1500, 'x') + "\r\nShort.\r\n", 10);
    tip = show("long line");
    ASSERT_TRUE(tip);
    EXPECT_EQ(std::string(999, 'x'), TipText(tip));
    EXPECT_EQ("Short.", Next(tip));
    ASSERT_TRUE(CloseTip(tip));
    EXPECT_TRUE(app.Close());
}

TEST_F(TipOfTheDay, LockedByPolicy)
{
    WriteTips(kTwoTips, 60);
    drv::SetUserDword(kPolicyKey, "DisableMenuHelpTipOfTheDay", 1);
    drv::AppProcess app;
    ASSERT_TRUE(app.Start(exe.c_str()));
    // The tip at start-up gives way to the restriction message.
    HWND box = app.WaitForWindowWithText("restricted by the System Administrator", 20000);
    ASSERT_TRUE(box != NULL);
    EXPECT_TRUE(app.FindWindowWithText(kHeading) == NULL);
    drv::PressButton(box, IDOK);
    ASSERT_TRUE(app.WaitForMainWindow() != NULL);
    ASSERT_TRUE(app.PostCommand(ID_HELP_TIP));
    box = app.WaitForWindowWithText("restricted by the System Administrator", 10000);
    ASSERT_TRUE(box != NULL);
    EXPECT_TRUE(app.FindWindowWithText(kHeading) == NULL);
    drv::PressButton(box, IDOK);
    EXPECT_TRUE(app.Close());
}
}  // namespace
