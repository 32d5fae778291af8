#include "customize/CaptionPainter.h"
#include <string.h>

namespace {
int Channel(COLORREF c, int shift) { return (int)((c >> shift) & 0xFF); }

COLORREF Scale(COLORREF from, COLORREF to, int num, int den)
{
    // from - (from - to) * num / den, per channel
    int r = Channel(from, 0) - (Channel(from, 0) - Channel(to, 0)) * num / den;
    int g = Channel(from, 8) - (Channel(from, 8) - Channel(to, 8)) * num / den;
    int b = Channel(from, 16) - (Channel(from, 16) - Channel(to, 16)) * num / den;
    return RGB(r, g, b);
}

void FillSolid(HDC dc, int x0, int x1, int h, COLORREF c)
{
    RECT r = {x0, 0, x1, h};
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}
}  // namespace

CCaptionPainter::~CCaptionPainter()
{
    Invalidate();
    DropFonts();
}

int CCaptionPainter::Lightness(COLORREF c)
{
    int r = Channel(c, 0), g = Channel(c, 8), b = Channel(c, 16);
    int mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
    int mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
    return ((mx + mn) * 240 + 255) / 510;
}

COLORREF CCaptionPainter::EndColor(COLORREF c, COLORREF e)
{
    COLORREF diff = RGB((Channel(e, 0) - Channel(c, 0)) & 0xFF, (Channel(e, 8) - Channel(c, 8)) & 0xFF,
                        (Channel(e, 16) - Channel(c, 16)) & 0xFF);
    if (Lightness(diff) >= 32)
        return e;
    if (Lightness(c) < 32) {
        auto twice = [](int v) { return v * 2 > 127 ? 127 : v * 2; };
        return RGB(twice(Channel(c, 0)), twice(Channel(c, 8)), twice(Channel(c, 16)));
    }
    return RGB(0, 0, 0);
}

void CCaptionPainter::Install(HWND window, DWORD style, const char* face, DefProc def)
{
    m_window = window;
    m_style = style;
    m_face = face ? face : "";
    m_def = std::move(def);
    m_enabled = true;
    Invalidate();
}

void CCaptionPainter::SetStyle(DWORD clearMask, DWORD setBits)
{
    m_style = (m_style & ~clearMask) | setBits;
    Invalidate();
    DropFonts();
}

void CCaptionPainter::SetText(Part part, const char* text)
{
    std::string t = text ? text : "";
    if (m_text[part] == t)
        return;
    m_text[part] = t;
    Invalidate();
}

void CCaptionPainter::Enable(bool on)
{
    if (m_enabled == on)
        return;
    m_enabled = on;
    Invalidate();
    if (m_window)
        SetWindowPos(m_window, NULL, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CCaptionPainter::Invalidate()
{
    for (HBITMAP& b : m_bitmap) {
        if (b)
            DeleteObject(b);
        b = NULL;
    }
}

void CCaptionPainter::DropFonts()
{
    for (HFONT& f : m_font) {
        if (f)
            DeleteObject(f);
        f = NULL;
    }
}

RECT CCaptionPainter::CaptionRect() const
{
    RECT w;
    GetWindowRect(m_window, &w);
    LONG style = GetWindowLongA(m_window, GWL_STYLE);
    bool sizable = (style & WS_THICKFRAME) != 0;
    int fx = GetSystemMetrics(sizable ? SM_CXSIZEFRAME : SM_CXFIXEDFRAME);
    int fy = GetSystemMetrics(sizable ? SM_CYSIZEFRAME : SM_CYFIXEDFRAME);
    RECT r = {fx, fy, (w.right - w.left) - fx, fy + GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CYBORDER)};
    return r;
}

// The platform's own handling, with the window marked invisible so that it paints no caption.
LRESULT CCaptionPainter::CallHidden(UINT msg, WPARAM wp, LPARAM lp)
{
    LONG style = GetWindowLongA(m_window, GWL_STYLE);
    SetWindowLongA(m_window, GWL_STYLE, style & ~WS_VISIBLE);
    LRESULT r = m_def(msg, wp, lp);
    SetWindowLongA(m_window, GWL_STYLE, GetWindowLongA(m_window, GWL_STYLE) | (style & WS_VISIBLE));
    return r;
}

bool CCaptionPainter::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    if (!IsEnabled() || !m_def)
        return false;
    switch (msg) {
    case WM_SETTEXT:
        result = CallHidden(msg, wp, lp);
        SendMessageA(m_window, WM_NCPAINT, 1, 0);
        Invalidate();
        Paint();
        return true;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        Invalidate();
        DropFonts();
        return false;
    case WM_NCPAINT: {
        RECT cap = CaptionRect();
        RECT win;
        GetWindowRect(m_window, &win);
        OffsetRect(&cap, win.left, win.top);
        HRGN update = NULL;
        if (wp == 1)
            update = CreateRectRgnIndirect(&win);
        else {
            update = CreateRectRgn(0, 0, 0, 0);
            CombineRgn(update, (HRGN)wp, NULL, RGN_COPY);
        }
        HRGN capRgn = CreateRectRgnIndirect(&cap);
        bool touches = RectInRegion(update, &cap) != FALSE;
        CombineRgn(update, update, capRgn, RGN_DIFF);
        DeleteObject(capRgn);
        result = m_def(msg, (WPARAM)update, lp);
        DeleteObject(update);
        if (touches)
            Paint();
        return true;
    }
    case WM_NCACTIVATE: {
        bool active = wp != 0;
        if (!IsWindowEnabled(m_window))
            active = false;
        result = CallHidden(msg, wp, lp);
        m_active = active;
        if (active)
            PostMessageA(m_window, WM_NCPAINT, 1, 0);
        else
            SendMessageA(m_window, WM_NCPAINT, 1, 0);
        Paint();
        return true;
    }
    }
    return false;
}

HFONT CCaptionPainter::Font(int index)
{
    if (m_font[index])
        return m_font[index];
    LOGFONTA lf = {};
    bool face = (m_style & (index ? Face2 : Face1)) && !m_face.empty();
    if (face) {
        HDC dc = GetDC(NULL);
        lf.lfHeight = -MulDiv(12, GetDeviceCaps(dc, LOGPIXELSY), 72);
        ReleaseDC(NULL, dc);
        lstrcpynA(lf.lfFaceName, m_face.c_str(), LF_FACESIZE);
    } else {
        NONCLIENTMETRICSA ncm = {};
        ncm.cbSize = sizeof(ncm);
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
            lf = ncm.lfCaptionFont;
    }
    if (m_style & (index ? Bold2 : Bold1))
        lf.lfWeight = FW_BOLD;
    else if (m_style & (index ? Normal2 : Normal1))
        lf.lfWeight = FW_NORMAL;
    if (m_style & (index ? Italic2 : Italic1))
        lf.lfItalic = TRUE;
    else if (m_style & (index ? Upright2 : Upright1))
        lf.lfItalic = FALSE;
    m_font[index] = CreateFontIndirectA(&lf);
    return m_font[index];
}

void CCaptionPainter::Paint()
{
    if (!IsEnabled() || IsIconic(m_window) || !IsWindowVisible(m_window))
        return;
    RECT cap = CaptionRect();
    int w = cap.right - cap.left, h = cap.bottom - cap.top;
    if (w <= 0 || h <= 0)
        return;
    if (w != m_bitmapSize.cx || h != m_bitmapSize.cy) {
        Invalidate();
        m_bitmapSize = {w, h};
    }
    HDC dc = GetWindowDC(m_window);
    if (!dc)
        return;
    HBITMAP& bmp = m_bitmap[m_active ? 1 : 0];
    if (!bmp)
        bmp = MakeBitmap(dc, w, h, m_active);
    if (bmp) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(dc, cap.left, cap.top, w, h, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    ReleaseDC(m_window, dc);
    if (onPainted)
        onPainted();
}

HBITMAP CCaptionPainter::MakeBitmap(HDC dc, int w, int h, bool active)
{
    HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
    if (!bmp)
        return NULL;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bmp);
    DrawBackground(mem, w, h, active);
    RECT area = {0, 0, w, h};
    int button = GetSystemMetrics(SM_CXSIZE);
    if (!(m_style & NoIcon)) {
        HICON icon = (HICON)GetClassLongPtrA(m_window, GCLP_HICONSM);
        if (!icon)
            icon = (HICON)GetClassLongPtrA(m_window, GCLP_HICON);
        int side = h - 2 < button ? h - 2 : button;
        if (icon && side > 0)
            DrawIconEx(mem, 2, 1, icon, side, side, 0, NULL, DI_NORMAL);
    }
    area.left = 2 + button + 2;
    DrawButtons(mem, area);
    DrawText(mem, area, active);
    SelectObject(mem, old);
    DeleteDC(mem);
    return bmp;
}

void CCaptionPainter::DrawBackground(HDC dc, int w, int h, bool active)
{
    COLORREF c = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    int pattern = (int)(m_style & PatternMask);
    if (!active || GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) <= 8 ||
        (pattern != PatternGradient && pattern != PatternStripes)) {
        FillSolid(dc, 0, w, h, c);
        return;
    }
    bool quad = (m_style & Quadratic) != 0;
    if (pattern == PatternGradient) {
        int x0 = w * 5 / 6;
        FillSolid(dc, x0, w, h, c);
        int band = x0 / 64 > 0 ? x0 / 64 : 1;
        int x = x0;
        while (x > 0) {
            if (x <= band) {
                FillSolid(dc, 0, x, h, RGB(0, 0, 0));
                break;
            }
            int start = x - band;
            COLORREF col;
            if (quad) {
                long long d = x0 - start;
                col = RGB(Channel(c, 0) - (int)(Channel(c, 0) * d * d / ((long long)x0 * x0)),
                          Channel(c, 8) - (int)(Channel(c, 8) * d * d / ((long long)x0 * x0)),
                          Channel(c, 16) - (int)(Channel(c, 16) * d * d / ((long long)x0 * x0)));
            } else {
                col = RGB(Channel(c, 0) * start / x0, Channel(c, 8) * start / x0, Channel(c, 16) * start / x0);
            }
            FillSolid(dc, start, x, h, col);
            x = start;
        }
        return;
    }
    COLORREF e = EndColor(c, GetSysColor(COLOR_GRADIENTACTIVECAPTION));
    for (int k = 64; k >= 0; k--) {
        COLORREF col = quad ? Scale(c, e, k * k, 4096) : Scale(c, e, k, 64);
        HPEN pen = CreatePen(PS_SOLID, 1, col);
        HGDIOBJ old = SelectObject(dc, pen);
        for (int n = 0; 128 * n < w; n++) {
            int xs[2] = {128 * n + (64 - k), 128 * n + 64 + k};
            for (int x : xs) {
                MoveToEx(dc, x, 0, NULL);
                LineTo(dc, x, h);
            }
        }
        SelectObject(dc, old);
        DeleteObject(pen);
    }
}

void CCaptionPainter::DrawButtons(HDC dc, RECT& area)
{
    LONG style = GetWindowLongA(m_window, GWL_STYLE);
    LONG ex = GetWindowLongA(m_window, GWL_EXSTYLE);
    if (!(style & WS_SYSMENU))
        return;
    int bw = GetSystemMetrics(SM_CXSIZE), bh = area.bottom - area.top - 4;
    int x = area.right - 2 - bw;
    RECT r = {x, 2, x + bw, 2 + bh};
    DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    int left = r.left;
    if (style & WS_MAXIMIZEBOX) {
        OffsetRect(&r, -bw - 2, 0);
        DrawFrameControl(dc, &r, DFC_CAPTION, IsZoomed(m_window) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX);
        left = r.left;
    } else if (ex & WS_EX_CONTEXTHELP) {
        OffsetRect(&r, -bw - 2, 0);
        DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONHELP);
        left = r.left;
    }
    if (style & WS_MINIMIZEBOX) {
        OffsetRect(&r, -bw, 0);   // two pixels closer than the others
        DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONMIN);
        left = r.left;
    }
    area.right = left - 2;
}

void CCaptionPainter::DrawText(HDC dc, RECT area, bool active)
{
    bool productFirst = (m_style & ProductFirst) != 0;
    const std::string& first = m_text[productFirst ? ProductPart : DocumentPart];
    const std::string& second = m_text[productFirst ? DocumentPart : ProductPart];
    std::string a = first, b = second;
    if (!a.empty() && !b.empty())
        a += (m_style & DashSeparator) ? " - " : " ";
    COLORREF text = GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
    if (active && Lightness(text) < 90)
        text = RGB(255, 255, 255);
    SetTextColor(dc, text);
    SetBkMode(dc, TRANSPARENT);
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    HGDIOBJ old = SelectObject(dc, Font(0));
    RECT r = area;
    ::DrawTextA(dc, a.c_str(), (int)a.size(), &r, flags);
    RECT measure = area;
    ::DrawTextA(dc, a.c_str(), (int)a.size(), &measure, flags | DT_CALCRECT);
    SelectObject(dc, Font(1));
    r = area;
    r.left = measure.right;
    if (r.left < r.right && !b.empty())
        ::DrawTextA(dc, b.c_str(), (int)b.size(), &r, flags);
    SelectObject(dc, old);
}
