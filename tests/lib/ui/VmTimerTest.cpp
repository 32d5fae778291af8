#include <gtest/gtest.h>
#include "ui/VmTimer.h"
#include "ui/VmWnd.h"
#include "ui/WaitCursor.h"
#include "UiTestUtil.h"

namespace {
class TickWnd : public VmWnd {
public:
    int ticks = 0;
    UINT_PTR lastId = 0;
    LRESULT OnWndMessage(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_TIMER) {
            ++ticks;
            lastId = wp;
            return 0;
        }
        return VmWnd::OnWndMessage(msg, wp, lp);
    }
};

int g_callbacks;
void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_callbacks;
}
}  // namespace

TEST(VmTimer, TicksUntilStopped)
{
    static ATOM atom = VmWnd::RegisterWndClass("UiTestTickWnd");
    (void)atom;
    TickWnd w;
    HWND h = w.CreateEx(0, "UiTestTickWnd", "", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL);
    ASSERT_TRUE(h);
    VmTimer timer;
    EXPECT_FALSE(timer.IsTicking());
    ASSERT_TRUE(timer.Start(h, 20, NULL, 5));
    EXPECT_TRUE(timer.IsTicking());
    EXPECT_EQ(5u, timer.GetID());
    EXPECT_TRUE(uitest::PumpUntil([&] { return w.ticks >= 2; }, 3000));
    EXPECT_EQ(5u, w.lastId);

    timer.Stop();
    EXPECT_FALSE(timer.IsTicking());
    uitest::Pump(50);   // a tick already queued may still arrive
    int ticks = w.ticks;
    uitest::Pump(200);
    EXPECT_EQ(ticks, w.ticks);

    // Restarting with a callback: the callback gets the ticks, not the window.
    ASSERT_TRUE(timer.Start(h, 20, OnTick, 6));
    g_callbacks = 0;
    EXPECT_TRUE(uitest::PumpUntil([&] { return g_callbacks >= 2; }, 3000));
    EXPECT_EQ(ticks, w.ticks);
    timer.Stop();
}

TEST(VmTimer, ThreadTimerAndBadWindow)
{
    VmTimer timer;
    g_callbacks = 0;
    ASSERT_TRUE(timer.Start(NULL, 20, OnTick, 0));
    EXPECT_NE(0u, timer.GetID());   // the system's identifier
    EXPECT_TRUE(uitest::PumpUntil([&] { return g_callbacks >= 1; }, 3000));
    timer.Stop();

    HWND dead = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    DestroyWindow(dead);
    EXPECT_FALSE(timer.Start(dead, 20, NULL, 1));
    EXPECT_FALSE(timer.IsTicking());
}

TEST(VmWaitCursor, ShowsTheWaitCursorForItsLifetime)
{
    HCURSOR arrow = LoadCursor(NULL, IDC_ARROW);
    HCURSOR wait = LoadCursor(NULL, IDC_WAIT);
    SetCursor(arrow);
    {
        VmWaitCursor busy;
        EXPECT_EQ(wait, GetCursor());
        {
            VmWaitCursor nested;
            EXPECT_EQ(wait, GetCursor());
        }
        EXPECT_EQ(wait, GetCursor());
    }
    EXPECT_EQ(arrow, GetCursor());
}
