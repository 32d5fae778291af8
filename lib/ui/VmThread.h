// Worker threads with ready, done and cancel events.
#pragma once
#include "../Panorel32.h"

class PANOREL32_API VmThread {
public:
    typedef unsigned(__stdcall* ThreadProc)(void* arg);

    // Makes the three manual-reset events, unsignalled.
    VmThread();
    VmThread(const VmThread&) = delete;   // owns the thread handle and the events
    VmThread& operator=(const VmThread&) = delete;
    // Cancels and waits up to 100 ms for the thread; then closes every handle.
    virtual ~VmThread();

    // Resets the events, starts the thread and waits up to 5,000 ms for it to report ready.
    // True when a thread exists, even when it never reported ready. Fails while one runs.
    bool Create(ThreadProc proc, void* arg);
    // Sets cancel, waits up to timeout for done and closes the thread handle. True when done
    // was signalled (or no thread existed).
    virtual bool Destroy(DWORD timeout);

    void SetReady() { SetEvent(m_ready); }
    void SetDone() { SetEvent(m_done); }
    void Cancel() { SetEvent(m_cancel); }
    // Without waiting.
    bool IsReady() const { return Test(m_ready, 0); }
    bool IsDone() const { return Test(m_done, 0); }
    bool IsCanceled() const { return Test(m_cancel, 0); }
    bool WaitForReady(DWORD timeout) const { return Test(m_ready, timeout); }
    bool WaitForDone(DWORD timeout) const { return Test(m_done, timeout); }
    bool WaitForCancel(DWORD timeout) const { return Test(m_cancel, timeout); }
    // True when the thread has ended within the timeout (false when there is none).
    bool WaitForThread(DWORD timeout) const { return Test(m_thread, timeout); }

    HANDLE GetThreadHandle() const { return m_thread; }
    unsigned GetThreadId() const { return m_threadId; }
    HANDLE GetReadyEvent() const { return m_ready; }
    HANDLE GetDoneEvent() const { return m_done; }
    HANDLE GetCancelEvent() const { return m_cancel; }

    enum { ReadyTimeout = 5000 };

protected:
    static bool Test(HANDLE h, DWORD timeout)
    {
        return h && WaitForSingleObject(h, timeout) == WAIT_OBJECT_0;
    }
    void CloseThread();

    HANDLE m_thread;
    unsigned m_threadId;
    HANDLE m_ready, m_done, m_cancel;
};

// A thread that runs the object's DoThreadEx.
class PANOREL32_API VmThreadEx : public VmThread {
public:
    bool Start() { return Create(ThreadProcEx, this); }
    bool Stop() { return Destroy(100); }
    // Runs on the thread between ready and done; its result is the thread's exit code. A class
    // that overrides it stops the thread in its own destructor: the base's destructor comes
    // too late, the thread would call an override that is already gone.
    virtual unsigned DoThreadEx() = 0;

private:
    static unsigned __stdcall ThreadProcEx(void* arg);
};
