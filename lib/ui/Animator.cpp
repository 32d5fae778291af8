#include "Animator.h"
#include <math.h>

Animator::Animator() = default;

Animator::~Animator()
{
    Destroy(100);
}

bool Animator::Create(HWND window, POINT position, SIZE size, int frames, DWORD delay, DWORD flags,
                      HBITMAP bitmap)
{
    if (!window || size.cx <= 0 || size.cy <= 0 || frames <= 0)
        return false;
    m_window = window;
    m_x = (short)position.x;
    m_y = (short)position.y;
    m_cx = (short)size.cx;
    m_cy = (short)size.cy;
    m_frames = frames;
    m_delay = delay;
    m_flags = flags;
    m_strip = bitmap;
    m_ownsStrip = false;
    m_lastReady = bitmap ? frames - 1 : -1;
    m_current = 0;
    return VmThread::Create(ThreadProc, this);
}

bool Animator::Destroy(DWORD timeout)
{
    bool done = VmThread::Destroy(timeout);
    // The thread reads this object until its very end: never free it under a running thread.
    // It waits on the cancel event between frames, so this is short.
    if (!done)
        done = WaitForDone(5000);
    if (m_ownsStrip && m_strip) {
        CritSecLock lock(m_paint);
        DeleteObject(m_strip);
        m_strip = NULL;
        m_ownsStrip = false;
    }
    return done;
}

unsigned __stdcall Animator::ThreadProc(void* arg)
{
    Animator* self = static_cast<Animator*>(arg);
    self->SetReady();
    try {
        self->Work();
    } catch (...) {
    }
    self->SetDone();
    return 0;
}

void Animator::MakeStrip()
{
    HDC wdc = GetWindowDC(m_window);
    if (!wdc)
        return;
    HBITMAP strip = CreateCompatibleBitmap(wdc, m_cx * m_frames, m_cy);
    ReleaseDC(m_window, wdc);
    if (!strip)
        return;
    HDC mem = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(mem, strip);
    RECT all = {0, 0, m_cx * m_frames, m_cy};
    FillRect(mem, &all, (HBRUSH)GetStockObject(BLACK_BRUSH));
    SelectObject(mem, old);
    {
        CritSecLock lock(m_paint);
        m_strip = strip;
        m_ownsStrip = true;
    }
    for (int f = 0; f < m_frames && !IsCanceled(); f++) {
        {
            CritSecLock lock(m_paint);
            old = SelectObject(mem, m_strip);
            for (int y = 0; y < m_cy; y++)
                for (int x = 0; x < m_cx; x++)
                    SetPixelV(mem, f * m_cx + x, y, CalcColor(x, y, f));
            SelectObject(mem, old);
        }
        InterlockedExchange(&m_lastReady, f);
        if (f == 0 || (m_flags & PaintWhilePreparing)) {
            InterlockedExchange(&m_current, f);
            if (m_running)
                PaintFrame();
        }
    }
    DeleteDC(mem);
}

void Animator::Work()
{
    if (!m_strip)
        MakeStrip();
    while (!WaitForCancel(m_delay)) {
        LONG last = m_lastReady;
        LONG next = m_current + 1;
        if (next > last)
            next = 0;
        InterlockedExchange(&m_current, next);
        if (m_running)
            PaintFrame();
    }
}

void Animator::PaintFrame()
{
    CritSecLock lock(m_paint);
    if (!IsWindow(m_window) || IsIconic(m_window))
        return;
    HDC dc = GetWindowDC(m_window);
    if (!dc)
        return;
    LONG frame = m_current < m_lastReady ? m_current : m_lastReady;
    DrawFrame(dc, (int)frame);
    ReleaseDC(m_window, dc);
}

void Animator::DrawFrame(HDC dc, int frame)
{
    if (frame < 0 || !m_strip) {
        RECT r = {m_x, m_y, m_x + m_cx, m_y + m_cy};
        FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
        return;
    }
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, m_strip);
    BitBlt(dc, m_x, m_y, m_cx, m_cy, mem, frame * m_cx, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

COLORREF Animator_Spiral::CalcColor(int x, int y, int frame)
{
    // Two arms winding out from the centre, turning one full arm period in 32 frames.
    const double pi = 3.14159265358979;
    double cx = x - 7.5, cy = y - 7.5;
    double r = sqrt(cx * cx + cy * cy);
    double a = atan2(cy, cx);
    double phase = 2 * a + r * 0.9 - frame * 2 * pi / 32;
    double v = 0.5 + 0.5 * sin(phase);
    double fade = r > 8 ? 0.0 : 1.0 - r / 9.0;
    int red = (int)(255 * v * fade);
    int green = (int)(160 * (1 - v) * fade + 40 * fade);
    int blue = (int)(255 * fade * (0.6 + 0.4 * cos(phase)));
    auto clamp = [](int c) { return c < 0 ? 0 : c > 255 ? 255 : c; };
    return RGB(clamp(red), clamp(green), clamp(blue));
}
