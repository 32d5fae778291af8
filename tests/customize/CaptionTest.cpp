// The painted title bar and its animated icon on the real program, read back from the screen.
#include <gtest/gtest.h>
#include <string>
#include "driver/Driver.h"

namespace {
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const DWORD kWavy = 0x10, kAnimate = 0x20;

int Channel(COLORREF c, int shift) { return (int)((c >> shift) & 0xFF); }
bool Near(COLORREF a, COLORREF b, int tolerance = 8)
{
    for (int s : {0, 8, 16})
        if (abs(Channel(a, s) - Channel(b, s)) > tolerance)
            return false;
    return true;
}
std::string Hex(COLORREF c)
{
    char t[16];
    snprintf(t, sizeof(t), "%06lX", (unsigned long)c);
    return t;
}

// The end colour of the stripes: the gradient colour, unless it is almost the caption colour.
COLORREF EndColor(COLORREF c, COLORREF e)
{
    auto light = [](COLORREF x) {
        int r = Channel(x, 0), g = Channel(x, 8), b = Channel(x, 16);
        int mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b));
        return ((mx + mn) * 240 + 255) / 510;
    };
    COLORREF diff = RGB((Channel(e, 0) - Channel(c, 0)) & 0xFF, (Channel(e, 8) - Channel(c, 8)) & 0xFF,
                        (Channel(e, 16) - Channel(c, 16)) & 0xFF);
    if (light(diff) >= 32)
        return e;
    if (light(c) < 32)
        return RGB(std::min(127, Channel(c, 0) * 2), std::min(127, Channel(c, 8) * 2),
                   std::min(127, Channel(c, 16) * 2));
    return RGB(0, 0, 0);
}

class Caption : public ::testing::Test {
protected:
    void SetUp() override { drv::ResetProgramSettings(); }
    void TearDown() override { drv::ResetProgramSettings(); }
    HWND Start(drv::AppProcess& app, DWORD settings)
    {
        drv::SetUserDword(kRootKey, "Settings", settings);
        EXPECT_TRUE(app.Start("panorel.exe"));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        SetForegroundWindow(main);
        return main;
    }
    // A pixel of the caption, x from the caption's left edge, in the caption's middle row.
    static COLORREF CaptionPixel(HWND main, int x)
    {
        RECT w;
        GetWindowRect(main, &w);
        int fx = GetSystemMetrics(SM_CXSIZEFRAME), fy = GetSystemMetrics(SM_CYSIZEFRAME);
        int h = GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CYBORDER);
        HDC screen = GetDC(NULL);
        COLORREF c = GetPixel(screen, w.left + fx + x, w.top + fy + h - 3);
        ReleaseDC(NULL, screen);
        return c;
    }
    static std::string IconArea(HWND main)
    {
        RECT w;
        GetWindowRect(main, &w);
        int x0 = w.left + GetSystemMetrics(SM_CXFRAME) + 2, y0 = w.top + GetSystemMetrics(SM_CYFRAME) + 2;
        std::string pixels;
        HDC screen = GetDC(NULL);
        for (int y = 0; y < 12; y += 2)
            for (int x = 0; x < 12; x += 2)
                pixels += Hex(GetPixel(screen, x0 + x, y0 + y));
        ReleaseDC(NULL, screen);
        return pixels;
    }
};

TEST_F(Caption, StripesRunFromTheEndColourAtEachCellsEdgesToTheCaptionColourInItsMiddle)
{
    drv::AppProcess app;
    HWND main = Start(app, 0x0C081870 | kWavy);
    ASSERT_TRUE(main);
    COLORREF c = GetSysColor(COLOR_ACTIVECAPTION);
    COLORREF e = EndColor(c, GetSysColor(COLOR_GRADIENTACTIVECAPTION));
    // Away from the text and the buttons: cells 2 to 4.
    EXPECT_TRUE(drv::WaitFor([&] { return Near(CaptionPixel(main, 2 * 128 + 64), c); }, 10000))
        << Hex(CaptionPixel(main, 2 * 128 + 64)) << " caption " << Hex(c);
    drv::Screenshot("caption_wavy", main);
    for (int n = 2; n <= 4; n++) {
        SCOPED_TRACE(n);
        EXPECT_TRUE(Near(CaptionPixel(main, n * 128 + 64), c)) << Hex(CaptionPixel(main, n * 128 + 64));
        EXPECT_TRUE(Near(CaptionPixel(main, n * 128), e)) << Hex(CaptionPixel(main, n * 128));
        // Half-way between edge and middle: half-way between the colours.
        COLORREF mid = RGB((Channel(c, 0) + Channel(e, 0)) / 2, (Channel(c, 8) + Channel(e, 8)) / 2,
                           (Channel(c, 16) + Channel(e, 16)) / 2);
        EXPECT_TRUE(Near(CaptionPixel(main, n * 128 + 32), mid, 12)) << Hex(CaptionPixel(main, n * 128 + 32));
    }
    EXPECT_TRUE(app.Close());
}

TEST_F(Caption, WithoutTheOptionThePlatformPaintsTheCaption)
{
    drv::AppProcess app;
    HWND main = Start(app, (0x0C081870 & ~(kWavy | kAnimate)));
    ASSERT_TRUE(main);
    Sleep(500);
    COLORREF c = GetSysColor(COLOR_ACTIVECAPTION);
    COLORREF e = EndColor(c, GetSysColor(COLOR_GRADIENTACTIVECAPTION));
    if (!Near(c, e)) {   // the platform's caption is plain or a gradient, never stripes
        EXPECT_FALSE(Near(CaptionPixel(main, 2 * 128), e) && Near(CaptionPixel(main, 2 * 128 + 64), c));
    }
    EXPECT_TRUE(app.Close());
}

TEST_F(Caption, TheIconAnimatesAndItsThreadEndsWithTheProgram)
{
    drv::AppProcess app;
    HWND main = Start(app, 0x0C081870 | kWavy | kAnimate);
    ASSERT_TRUE(main);
    std::string first;
    // The spiral's corners are black; its middle is not.
    auto lit = [](const std::string& px) {
        for (size_t i = 0; i + 6 <= px.size(); i += 6)
            if (px.compare(i, 6, "000000") != 0)
                return true;
        return false;
    };
    ASSERT_TRUE(drv::WaitFor([&] { first = IconArea(main); return lit(first); }, 10000));
    // 32 frames of 100 ms: within a second the picture has changed.
    std::string later;
    EXPECT_TRUE(drv::WaitFor([&] { later = IconArea(main); return later != first; }, 3000));
    drv::Screenshot("caption_animated", main);
    DWORD code = 99;
    ASSERT_TRUE(app.Close());
    EXPECT_TRUE(app.WaitForExit(1000, &code));
    EXPECT_EQ(0u, code) << "a clean exit";
}
}  // namespace
