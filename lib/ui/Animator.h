// A small animation painted into a window by a worker thread: a strip of frames computed pixel
// by pixel on the thread, then played in a loop.
#pragma once
#include "VmThread.h"
#include "Sync.h"

class PANOREL32_API Animator : public VmThread {
public:
    enum { PaintWhilePreparing = 1 };
    Animator();
    // Stops the thread; the strip goes with the animator when it made it.
    ~Animator() override;

    // Starts the thread and waits for it to report ready; with no bitmap the thread computes
    // the strip itself (frames side by side, each size.cx by size.cy). True when it started.
    bool Create(HWND window, POINT position, SIZE size, int frames, DWORD delay, DWORD flags,
                HBITMAP bitmap);
    bool Destroy(DWORD timeout) override;
    // Painting on or off; the frames go on counting either way.
    void Run(bool on) { m_running = on; }
    bool IsRunning() const { return m_running; }
    // Paints the current frame into the window (any thread).
    void PaintFrame();
    void DrawFrame(HDC dc, int frame);
    int LastReadyFrame() const { return m_lastReady; }

    // The colour of one pixel of one frame.
    virtual COLORREF CalcColor(int x, int y, int frame) = 0;

private:
    static unsigned __stdcall ThreadProc(void* arg);
    void Work();
    void MakeStrip();

    CritSec m_paint;
    HWND m_window = NULL;
    short m_x = 0, m_y = 0, m_cx = 0, m_cy = 0;
    int m_frames = 0;
    DWORD m_delay = 100;
    DWORD m_flags = 0;
    HBITMAP m_strip = NULL;
    bool m_ownsStrip = false;
    volatile bool m_running = true;
    volatile LONG m_lastReady = -1;
    volatile LONG m_current = 0;
};

// A turning spiral of colours.
class PANOREL32_API Animator_Spiral : public Animator {
public:
    COLORREF CalcColor(int x, int y, int frame) override;
};
