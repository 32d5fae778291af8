// A window timer.
#pragma once
#include "../Panorel32.h"

class PANOREL32_API VmTimer {
public:
    VmTimer() : m_window(NULL), m_id(0), m_ticking(false) {}
    VmTimer(const VmTimer&) = delete;   // one timer, one owner
    VmTimer& operator=(const VmTimer&) = delete;
    ~VmTimer() { Stop(); }
    // Restarts when ticking. The identifier is the system's for a null window.
    bool Start(HWND window, UINT elapse, TIMERPROC callback, UINT_PTR id);
    void Stop();
    bool IsTicking() const { return m_ticking; }
    UINT_PTR GetID() const { return m_id; }

private:
    HWND m_window;
    UINT_PTR m_id;
    bool m_ticking;
};
