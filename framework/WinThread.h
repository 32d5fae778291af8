// A user-interface thread with its own message loop: InitInstance, the loop, ExitInstance.
#pragma once
#include <windows.h>

namespace fw {

class WinThread {
public:
    WinThread() = default;
    WinThread(const WinThread&) = delete;   // owns the thread handle
    WinThread& operator=(const WinThread&) = delete;
    virtual ~WinThread();

    // Creates the thread; with CREATE_SUSPENDED it waits for ResumeThread.
    bool CreateThread(DWORD flags = 0);
    DWORD ResumeThread();
    // Posts WM_QUIT to the thread's loop and waits for it to end.
    bool Quit(DWORD timeoutMs = 5000);
    HANDLE m_hThread = NULL;
    DWORD m_nThreadID = 0;

protected:
    virtual bool InitInstance() { return true; }
    virtual int ExitInstance() { return 0; }
    virtual bool PreTranslateMessage(MSG*) { return false; }
    HWND m_mainWnd = NULL;   // the thread's window; its dialog messages are handled

private:
    static DWORD WINAPI ThreadProc(void* param);
    int Run();
    HANDLE m_started = NULL;
};

}  // namespace fw
