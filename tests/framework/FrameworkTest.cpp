// The framework layer on real windows: bar layout and its saved state, the splitter, command
// routing with update handlers, and profile values.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include "driver/Driver.h"
#include "framework/App.h"
#include "framework/ControlBar.h"
#include "framework/FrameWnd.h"
#include "framework/Splitter.h"

namespace {

class TestApp : public fw::App {
public:
    TestApp() : fw::App("Framework Test") { SetRegistryKey("PanorelTests"); }
};
TestApp theApp;

class TestFrame : public fw::FrameWnd {
public:
    int commands = 0;
    bool lockBars = false;
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override
    {
        if (id == 1001) {   // handled, and disabled by its update handler
            if (ui)
                ui->Enable(false);
            else if (code != fw::kQueryHandler)
                commands++;
            return true;
        }
        if (id == 1002) {   // handled, no update handler
            if (!ui && code != fw::kQueryHandler)
                commands += 10;
            return !ui;
        }
        return false;
    }
    bool CanMoveBar(fw::ControlBar*) override { return !lockBars; }
};

RECT WindowRectIn(HWND wnd, HWND parent)
{
    RECT r;
    GetWindowRect(wnd, &r);
    MapWindowPoints(NULL, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class Framework : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::DeleteUserKey("Software\\PanorelTests");
        ASSERT_TRUE(frame.CreateEx(0, "FwTestFrame", "Framework test", WS_OVERLAPPEDWINDOW, 10, 10,
                                   600, 400, NULL, NULL));
        client = CreateWindowExA(0, "Static", "client", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                 frame.m_hWnd, NULL, NULL, NULL);
        frame.m_client = client;
        ShowWindow(frame.m_hWnd, SW_SHOW);
    }
    void TearDown() override
    {
        frame.DestroyWindow();
        drv::DeleteUserKey("Software\\PanorelTests");
    }
    TestFrame frame;
    HWND client = NULL;
};

const fw::ToolBar::Button kButtons[] = {{1001, 0, 0}, {0, 0, 0}, {1002, 1, 0}};

TEST_F(Framework, BarsDockOnEverySideAndTheClientTakesTheRest)
{
    fw::ToolBar top, left;
    fw::StatusBar status;
    ASSERT_TRUE(top.Create(&frame, 59392, "Toolbar", fw::DockTop, NULL, 0, 0, kButtons, 3));
    ASSERT_TRUE(left.Create(&frame, 59409, "Drive bar", fw::DockLeft, NULL, 0, 0, kButtons, 3));
    ASSERT_TRUE(status.Create(&frame, 59393));
    int widths[] = {80, 60};
    status.SetIndicators(widths, 2);
    status.SetPaneText(1, "RAM");
    frame.RecalcLayout();
    RECT rc, rt = WindowRectIn(top.m_hWnd, frame.m_hWnd), rl = WindowRectIn(left.m_hWnd, frame.m_hWnd),
              rs = WindowRectIn(status.m_hWnd, frame.m_hWnd), rcl = WindowRectIn(client, frame.m_hWnd);
    GetClientRect(frame.m_hWnd, &rc);
    EXPECT_EQ(rt.top, 0);
    EXPECT_EQ(rt.right, rc.right);
    EXPECT_EQ(rs.bottom, rc.bottom);
    EXPECT_EQ(rl.left, 0);
    EXPECT_EQ(rl.top, rt.bottom);
    EXPECT_EQ(rl.bottom, rs.top);
    EXPECT_EQ(rcl.left, rl.right);
    EXPECT_EQ(rcl.top, rt.bottom);
    EXPECT_EQ(rcl.bottom, rs.top);
    EXPECT_EQ(rcl.right, rc.right);
    EXPECT_EQ(status.GetPaneText(1), "RAM");
    // The status bar refuses the sides it does not accept.
    frame.DockControlBar(&status, fw::DockLeft);
    EXPECT_EQ(status.m_side, fw::DockBottom);

    // Hiding a bar gives its room to the client.
    frame.ShowControlBar(&left, false);
    EXPECT_EQ(WindowRectIn(client, frame.m_hWnd).left, 0);
    Pump();
    drv::Screenshot("framework_bars", frame.m_hWnd);
}

TEST_F(Framework, BarStateRoundTripsThroughTheProfile)
{
    fw::ToolBar a, b;
    ASSERT_TRUE(a.Create(&frame, 59392, "Toolbar", fw::DockTop, NULL, 0, 0, kButtons, 3));
    ASSERT_TRUE(b.Create(&frame, 59409, "Drive bar", fw::DockTop, NULL, 0, 0, kButtons, 3));
    frame.DockControlBar(&a, fw::DockRight);
    frame.ShowControlBar(&b, false);
    frame.SaveBarState("Control Bars");
    EXPECT_EQ(theApp.GetProfileInt("Control Bars-Summary", "Bars", 0), 2u);

    TestFrame other;
    ASSERT_TRUE(other.CreateEx(0, "FwTestFrame", "other", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, NULL, NULL));
    fw::ToolBar a2, b2;
    ASSERT_TRUE(a2.Create(&other, 59392, "Toolbar", fw::DockTop, NULL, 0, 0, kButtons, 3));
    ASSERT_TRUE(b2.Create(&other, 59409, "Drive bar", fw::DockTop, NULL, 0, 0, kButtons, 3));
    other.LoadBarState("Control Bars");
    EXPECT_EQ(a2.m_side, fw::DockRight);
    EXPECT_TRUE(a2.IsVisible() || !IsWindowVisible(other.m_hWnd));
    EXPECT_FALSE(b2.IsVisible());
    // Junk in the profile is ignored: unknown bar, impossible side.
    theApp.WriteProfileInt("Control Bars-Bar0", "Side", 9);
    theApp.WriteProfileInt("Control Bars-Bar1", "BarID", 4242);
    other.LoadBarState("Control Bars");
    EXPECT_EQ(a2.m_side, fw::DockRight);
    other.DestroyWindow();
}

TEST_F(Framework, MenuUpdateAndCommandRouting)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1001, "Disabled by handler");
    AppendMenuA(menu, MF_STRING, 1002, "Handled");
    AppendMenuA(menu, MF_STRING, 1003, "No handler");
    frame.m_bAutoMenuEnable = true;
    frame.UpdateMenu(menu);
    EXPECT_TRUE(GetMenuState(menu, 1001, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(menu, 1002, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(menu, 1003, MF_BYCOMMAND) & MF_GRAYED);
    frame.m_bAutoMenuEnable = false;
    EnableMenuItem(menu, 1003, MF_ENABLED);
    frame.UpdateMenu(menu);
    EXPECT_FALSE(GetMenuState(menu, 1003, MF_BYCOMMAND) & MF_GRAYED);
    DestroyMenu(menu);

    SendMessageA(frame.m_hWnd, WM_COMMAND, 1001, 0);
    SendMessageA(frame.m_hWnd, WM_COMMAND, 1002, 0);
    SendMessageA(frame.m_hWnd, WM_COMMAND, 1003, 0);
    EXPECT_EQ(frame.commands, 11);

    // A toolbar button's click reaches the frame; its update handler disables it.
    fw::ToolBar bar;
    ASSERT_TRUE(bar.Create(&frame, 59392, "Toolbar", fw::DockTop, NULL, 0, 0, kButtons, 3));
    frame.UpdateBars();
    EXPECT_FALSE(SendMessageA(bar.m_toolbar, TB_ISBUTTONENABLED, 1001, 0));
    SendMessageA(bar.m_hWnd, WM_COMMAND, 1002, 0);   // as the button reports a click
    EXPECT_EQ(frame.commands, 21);
}

TEST_F(Framework, SplitterKeepsSizesSinglePaneAndRefusesLockedDrags)
{
    fw::Splitter split;
    ASSERT_TRUE(split.Create(frame.m_hWnd, 0xE900));
    frame.m_client = split.m_hWnd;
    frame.RecalcLayout();
    HWND a = CreateWindowExA(0, "Static", "a", WS_CHILD, 0, 0, 0, 0, split.m_hWnd, NULL, NULL, NULL);
    HWND b = CreateWindowExA(0, "Static", "b", WS_CHILD, 0, 0, 0, 0, split.m_hWnd, NULL, NULL, NULL);
    split.SetPane(0, a);
    split.SetPane(1, b);
    split.SetFirstSize(200);
    RECT ra = WindowRectIn(a, split.m_hWnd), rb = WindowRectIn(b, split.m_hWnd), rs;
    GetClientRect(split.m_hWnd, &rs);
    EXPECT_EQ(ra.right - ra.left, 200);
    EXPECT_EQ(rb.left, 200 + fw::Splitter::kBar);
    EXPECT_EQ(rb.right, rs.right);
    split.SetOrientation(false);
    ra = WindowRectIn(a, split.m_hWnd);
    EXPECT_EQ(ra.bottom - ra.top, 200);
    EXPECT_EQ(ra.right, rs.right);
    split.SetFirstSize(3);
    EXPECT_EQ(split.GetFirstSize(), split.m_minSize);
    split.ShowSingle(1);
    EXPECT_FALSE(IsWindowVisible(a));
    rb = WindowRectIn(b, split.m_hWnd);
    EXPECT_EQ(rb.top, 0);
    EXPECT_EQ(rb.bottom, rs.bottom);
    split.ShowSingle(-1);
    EXPECT_TRUE(IsWindowVisible(a));

    // A drag: refused while locked; otherwise the new size is reported.
    split.SetOrientation(true);
    split.SetFirstSize(200);
    int tracked = -1;
    bool locked = true;
    split.canTrack = [&] { return !locked; };
    split.onTracked = [&](int size) { tracked = size; };
    SendMessageA(split.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(202, 5));
    SendMessageA(split.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 5));
    SendMessageA(split.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(150, 5));
    EXPECT_EQ(split.GetFirstSize(), 200);
    EXPECT_EQ(tracked, -1);
    locked = false;
    SendMessageA(split.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(202, 5));
    SendMessageA(split.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 5));
    SendMessageA(split.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(150, 5));
    EXPECT_EQ(tracked, 148);   // moved by the mouse's 52 pixels from where it was grabbed
    EXPECT_EQ(WindowRectIn(a, split.m_hWnd).right, 148);
    frame.m_client = client;
}

TEST_F(Framework, ProfileValuesLiveUnderTheRegistryKeyAndRefuseWrongTypes)
{
    EXPECT_EQ(theApp.ProfileKey(), "Software\\PanorelTests\\Framework Test");
    EXPECT_TRUE(theApp.WriteProfileInt("Frame Window", "Show", 2));
    EXPECT_EQ(theApp.GetProfileInt("Frame Window", "Show", 0), 2u);
    EXPECT_TRUE(theApp.WriteProfileString("Frame Window", "Name", "text"));
    EXPECT_EQ(theApp.GetProfileInt("Frame Window", "Name", 7), 7u);   // a string is not a number
    EXPECT_EQ(theApp.GetProfileString("Frame Window", "Name"), "text");
    BYTE bytes[3] = {1, 2, 3};
    EXPECT_TRUE(theApp.WriteProfileBinary("Frame Window", "Bin", bytes, 3));
    std::string data;
    EXPECT_TRUE(theApp.GetProfileBinary("Frame Window", "Bin", data));
    EXPECT_EQ(data, std::string("\x01\x02\x03", 3));
    EXPECT_FALSE(theApp.GetProfileBinary("Frame Window", "Name", data));
    EXPECT_EQ(drv::GetUserDword("Software\\PanorelTests\\Framework Test\\Frame Window", "Show", 0), 2u);
}
}  // namespace
