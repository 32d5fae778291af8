#include "VmTimer.h"

bool VmTimer::Start(HWND window, UINT elapse, TIMERPROC callback, UINT_PTR id)
{
    Stop();
    if (window && !IsWindow(window))
        return false;
    UINT_PTR got = SetTimer(window, id, elapse, callback);
    if (!got)
        return false;
    m_window = window;
    m_id = window ? id : got;
    m_ticking = true;
    return true;
}

void VmTimer::Stop()
{
    if (m_ticking)
        KillTimer(m_window, m_id);
    m_ticking = false;
}
