// Paints the main window's title bar itself: a patterned background, the icon (or room for
// the animated one), the caption buttons and a title in two parts.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

class CCaptionPainter {
public:
    enum Style : DWORD {
        PatternMask = 0x0F,   // 0 plain, 1 gradient, 3 stripes
        PatternGradient = 1,
        PatternStripes = 3,
        ProductFirst = 0x10,
        NoIcon = 0x20,        // the icon area is left to the animated icon
        DashSeparator = 0x40,
        Quadratic = 0x80,
        Bold1 = 0x100, Bold2 = 0x200,
        Italic1 = 0x400, Italic2 = 0x800,
        Normal1 = 0x1000, Normal2 = 0x2000,
        Upright1 = 0x4000, Upright2 = 0x8000,
        Face1 = 0x40000000, Face2 = 0x80000000,
    };
    enum Part { ProductPart = 0, DocumentPart = 1 };

    // Runs the window's own handling of a message (the painter's "default").
    using DefProc = std::function<LRESULT(UINT, WPARAM, LPARAM)>;

    CCaptionPainter() = default;
    CCaptionPainter(const CCaptionPainter&) = delete;   // owns its fonts and bitmaps
    CCaptionPainter& operator=(const CCaptionPainter&) = delete;
    ~CCaptionPainter();

    void Install(HWND window, DWORD style, const char* face, DefProc def);
    void SetStyle(DWORD clearMask, DWORD setBits);
    void SetText(Part part, const char* text);
    void Enable(bool on);
    bool IsEnabled() const { return m_enabled && m_window; }
    DWORD GetStyle() const { return m_style; }
    // Called before the window's own handling; true when the message was answered.
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // Called after the caption was painted (the animated icon repaints its area).
    std::function<void()> onPainted;

    // Helpers of the pattern, shared with the tests' expectations.
    static int Lightness(COLORREF c);
    static COLORREF EndColor(COLORREF caption, COLORREF gradient);
    RECT CaptionRect() const;   // window coordinates

private:
    void Invalidate();
    void DropFonts();
    void Paint();
    HBITMAP MakeBitmap(HDC dc, int width, int height, bool active);
    void DrawBackground(HDC dc, int w, int h, bool active);
    void DrawButtons(HDC dc, RECT& caption);
    void DrawText(HDC dc, RECT area, bool active);
    HFONT Font(int index);
    LRESULT CallHidden(UINT msg, WPARAM wp, LPARAM lp);

    HWND m_window = NULL;
    bool m_enabled = false;
    DWORD m_style = 0;
    std::string m_face;
    std::string m_text[2];
    HFONT m_font[2] = {NULL, NULL};
    HBITMAP m_bitmap[2] = {NULL, NULL};   // inactive, active
    SIZE m_bitmapSize = {0, 0};
    bool m_active = true;
    DefProc m_def;
};
