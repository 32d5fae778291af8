// The hot-key monitor in a RunDll32 process of its own, driven as a user would.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <string>
#include "driver/Driver.h"
#include "ui/HotKey.h"

namespace {
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const UINT WM_HOOKED_WIN_E = WM_APP + 30;

HWND WaitForMonitor(bool present)
{
    HWND wnd = NULL;
    drv::WaitFor([&] { return ((wnd = FindWindowA(HOTKEY_MONITOR_CLASS, NULL)) != NULL) == present; },
                 15000);
    return wnd;
}

HWND WaitForProgram()
{
    HWND wnd = NULL;
    drv::WaitFor([&] { return (wnd = FindWindowA("PanorelMainFrame", NULL)) != NULL; }, 20000);
    return wnd;
}

void CloseProgram(HWND wnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    if (process) {
        WaitForSingleObject(process, 15000);
        CloseHandle(process);
    }
}

class HotKeyMonitor : public ::testing::Test {
protected:
    void SetUp() override
    {
        // No splash: the program's only window is its frame.
        drv::ResetProgramSettings();
    }
    void TearDown() override
    {
        ProcessHotKey(false);
        WaitForMonitor(false);
        drv::DeleteUserKey("Software\\Corvane\\Panorel QV");
    }
};

TEST_F(HotKeyMonitor, OwnKeyStartsTheProgramAndTheRunEntryFollowsTheSetting)
{
    drv::SetUserDword(kRootKey, "HotKeyOpts", MyHotKeyOpts::HK_ON | MyHotKeyOpts::HK_OWN_KEY);
    drv::SetUserDword(kRootKey, "HotKey", MAKELONG(VK_F9, HOTKEYF_CONTROL | HOTKEYF_ALT));
    ASSERT_TRUE(ProcessHotKey(true));
    std::string run = drv::GetUserString(kRunKey, "PANOREL_HOTKEY_QV");
    EXPECT_EQ(run.rfind("RunDll32.exe ", 0), 0u) << run;
    EXPECT_NE(run.find(",ManageHotKey"), std::string::npos) << run;
    HWND monitor = WaitForMonitor(true);
    ASSERT_TRUE(monitor != NULL);
    ATOM atom = 0;
    ASSERT_TRUE(drv::WaitFor([&] { return (atom = GlobalFindAtomA("PANOREL_HOTKEY_QV")) != 0; }, 5000));

    // The hot key as the system delivers it.
    PostMessageA(monitor, WM_HOTKEY, atom, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_F9));
    HWND program = WaitForProgram();
    ASSERT_TRUE(program != NULL);
    // A second press only activates the running program.
    PostMessageA(monitor, WM_HOTKEY, atom, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_F9));
    Sleep(1500);
    int frames = 0;
    for (HWND w = NULL; (w = FindWindowExA(NULL, w, "PanorelMainFrame", NULL)) != NULL;)
        frames++;
    EXPECT_EQ(frames, 1);
    CloseProgram(program);

    ASSERT_TRUE(ProcessHotKey(false));
    EXPECT_TRUE(WaitForMonitor(false) == NULL);
    EXPECT_FALSE(drv::UserValueExists(kRunKey, "PANOREL_HOTKEY_QV"));
    EXPECT_TRUE(drv::WaitFor([] { return GlobalFindAtomA("PANOREL_HOTKEY_QV") == 0; }, 5000));
}

struct Asker {
    HWND monitor;
    DWORD_PTR answer = 99;
    static DWORD WINAPI Run(void* p)
    {
        Asker* a = static_cast<Asker*>(p);
        SendMessageTimeoutA(a->monitor, WM_HOOKED_WIN_E, 0, 0, SMTO_NORMAL, 60000, &a->answer);
        return 0;
    }
};

TEST_F(HotKeyMonitor, WindowsEChooserStartsProgramPassesOnOrSwallows)
{
    drv::SetUserDword(kRootKey, "HotKeyOpts", MyHotKeyOpts::HK_ON | MyHotKeyOpts::HK_ASK);
    ASSERT_TRUE(ProcessHotKey(true));
    HWND monitor = WaitForMonitor(true);
    ASSERT_TRUE(monitor != NULL);
    DWORD monitorPid = 0;
    GetWindowThreadProcessId(monitor, &monitorPid);
    struct Case {
        const char* button;
        int choice;        // radio button to pick before OK; 0 for Cancel
        DWORD_PTR pass;    // 1: the key goes on to Windows
        bool starts;
    } cases[] = {{"Cancel", 0, 0, false}, {"OK", 1005, 1, false}, {"OK", 1004, 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        Asker asker;
        asker.monitor = monitor;
        HANDLE thread = CreateThread(NULL, 0, Asker::Run, &asker, 0, NULL);
        HWND chooser = NULL;
        ASSERT_TRUE(drv::WaitFor([&] {
            for (HWND w : drv::TopLevelWindows(monitorPid))
                if (drv::AllTexts(w).find("What would you like to do?") != std::string::npos)
                    chooser = w;
            return chooser != NULL;
        }, 10000));
        EXPECT_EQ(drv::WindowText(chooser), "Panorel");
        EXPECT_EQ(IsDlgButtonChecked(chooser, 1004), (UINT)BST_CHECKED);
        if (c.choice) {
            SendMessageA(GetDlgItem(chooser, 1004), BM_SETCHECK, c.choice == 1004, 0);
            SendMessageA(GetDlgItem(chooser, 1005), BM_SETCHECK, c.choice == 1005, 0);
        }
        drv::Screenshot("hotkey_chooser", chooser);
        ASSERT_TRUE(drv::PressButton(chooser, c.button));
        WaitForSingleObject(thread, 20000);
        CloseHandle(thread);
        EXPECT_EQ(asker.answer, c.pass);
        HWND program = c.starts ? WaitForProgram() : FindWindowA("PanorelMainFrame", NULL);
        EXPECT_EQ(program != NULL, c.starts);
        if (program)
            CloseProgram(program);
    }
}
}  // namespace
