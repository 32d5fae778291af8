#include "WinThread.h"

namespace fw {

WinThread::~WinThread()
{
    if (m_hThread) {
        Quit();
        CloseHandle(m_hThread);
    }
    if (m_started)
        CloseHandle(m_started);
}

bool WinThread::CreateThread(DWORD flags)
{
    if (m_hThread)
        return false;
    m_started = CreateEventA(NULL, TRUE, FALSE, NULL);
    m_hThread = ::CreateThread(NULL, 0, ThreadProc, this, flags, &m_nThreadID);
    return m_hThread != NULL;
}

DWORD WinThread::ResumeThread()
{
    return m_hThread ? ::ResumeThread(m_hThread) : (DWORD)-1;
}

bool WinThread::Quit(DWORD timeoutMs)
{
    if (!m_hThread)
        return true;
    if (WaitForSingleObject(m_hThread, 0) == WAIT_OBJECT_0)
        return true;
    // The queue exists once the thread has started; a posted quit before that would be lost.
    HANDLE waits[2] = {m_started, m_hThread};
    if (WaitForMultipleObjects(2, waits, FALSE, timeoutMs) == WAIT_OBJECT_0)
        PostThreadMessageA(m_nThreadID, WM_QUIT, 0, 0);
    return WaitForSingleObject(m_hThread, timeoutMs) == WAIT_OBJECT_0;
}

DWORD WINAPI WinThread::ThreadProc(void* param)
{
    WinThread* self = static_cast<WinThread*>(param);
    int code = 0;
    try {
        code = self->Run();
    } catch (...) {
        code = 1;
    }
    return code;
}

int WinThread::Run()
{
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);   // makes the queue
    SetEvent(m_started);
    if (!InitInstance())
        return ExitInstance();
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (PreTranslateMessage(&msg))
            continue;
        if (m_mainWnd && IsDialogMessageA(m_mainWnd, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ExitInstance();
}

}  // namespace fw
