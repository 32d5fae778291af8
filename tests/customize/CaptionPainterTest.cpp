// The caption painter on a window of the test's own: the gradient pattern read back from the
// screen, and the end-colour rule of the stripes.
#include <gtest/gtest.h>
#include <windows.h>
#include "customize/CaptionPainter.h"
#include "driver/Driver.h"

namespace {
CCaptionPainter* g_painter = nullptr;

LRESULT CALLBACK TestProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    LRESULT r = 0;
    if (g_painter && g_painter->OnMessage(msg, wp, lp, r))
        return r;
    return DefWindowProcA(wnd, msg, wp, lp);
}

int Channel(COLORREF c, int shift) { return (int)((c >> shift) & 0xFF); }
bool Near(COLORREF a, COLORREF b, int tolerance = 8)
{
    for (int s : {0, 8, 16})
        if (abs(Channel(a, s) - Channel(b, s)) > tolerance)
            return false;
    return true;
}

TEST(CaptionPainter, EndColourOfTheStripes)
{
    // Colours far apart: the gradient colour itself.
    EXPECT_EQ(RGB(200, 10, 10), CCaptionPainter::EndColor(RGB(0, 0, 100), RGB(200, 10, 10)));
    // Alike and dark: the caption colour doubled, at most 127 a channel.
    EXPECT_EQ(RGB(0, 0, 100), CCaptionPainter::EndColor(RGB(0, 0, 50), RGB(0, 0, 50)));
    EXPECT_EQ(RGB(120, 127, 0), CCaptionPainter::EndColor(RGB(60, 64, 0), RGB(60, 64, 0)));
    // Alike and light: black. Both black: black.
    EXPECT_EQ(RGB(0, 0, 0), CCaptionPainter::EndColor(RGB(10, 36, 106), RGB(12, 36, 106)));
    EXPECT_EQ(RGB(0, 0, 0), CCaptionPainter::EndColor(RGB(0, 0, 0), RGB(0, 0, 0)));
    EXPECT_EQ(0, CCaptionPainter::Lightness(RGB(0, 0, 0)));
    EXPECT_EQ(240, CCaptionPainter::Lightness(RGB(255, 255, 255)));
}

TEST(CaptionPainter, GradientFadesLeftwardsFromFiveSixthsOfTheCaption)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TestProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "CaptionPainterTest";
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    RegisterClassA(&wc);
    HWND wnd = CreateWindowA("CaptionPainterTest", "test", WS_OVERLAPPEDWINDOW, 20, 20, 720, 200,
                             NULL, NULL, wc.hInstance, NULL);
    ASSERT_TRUE(wnd != NULL);
    CCaptionPainter painter;
    g_painter = &painter;
    painter.Install(wnd, CCaptionPainter::PatternGradient | CCaptionPainter::ProductFirst, NULL,
                    [wnd](UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(wnd, m, w, l); });
    painter.SetText(CCaptionPainter::ProductPart, "Test");
    ShowWindow(wnd, SW_SHOW);
    SetForegroundWindow(wnd);
    SendMessageA(wnd, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(wnd, WM_NCPAINT, 1, 0);
    MSG msg;
    for (int i = 0; i < 20; i++) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(20);
    }
    RECT cap = painter.CaptionRect();
    RECT w;
    GetWindowRect(wnd, &w);
    int width = cap.right - cap.left;
    int x0 = width * 5 / 6, band = x0 / 64 > 0 ? x0 / 64 : 1;
    COLORREF c = GetSysColor(COLOR_ACTIVECAPTION);
    HDC screen = GetDC(NULL);
    auto at = [&](int x) { return GetPixel(screen, w.left + cap.left + x, w.top + cap.bottom - 3); };
    drv::Screenshot("caption_gradient", wnd);
    EXPECT_TRUE(Near(at(x0 + 4), c)) << std::hex << at(x0 + 4);
    for (int x : {x0 * 3 / 5, x0 * 4 / 5, x0 - 2}) {
        SCOPED_TRACE(x);
        int k = (x0 - x + band - 1) / band;   // the band holding x
        int start = x0 - k * band;
        COLORREF want = RGB(Channel(c, 0) * start / x0, Channel(c, 8) * start / x0, Channel(c, 16) * start / x0);
        EXPECT_TRUE(Near(at(x), want)) << std::hex << at(x) << " want " << want;
    }
    ReleaseDC(NULL, screen);
    g_painter = nullptr;
    DestroyWindow(wnd);
}
}  // namespace
