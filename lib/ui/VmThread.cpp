#include "VmThread.h"
#include <process.h>

VmThread::VmThread() : m_thread(NULL), m_threadId(0)
{
    m_ready = CreateEventA(NULL, TRUE, FALSE, NULL);
    m_done = CreateEventA(NULL, TRUE, FALSE, NULL);
    m_cancel = CreateEventA(NULL, TRUE, FALSE, NULL);
}

VmThread::~VmThread()
{
    if (m_thread) {
        Cancel();
        WaitForSingleObject(m_done, 100);
        CloseThread();
    }
    HANDLE events[] = {m_ready, m_done, m_cancel};
    for (HANDLE h : events)
        if (h)
            CloseHandle(h);
}

void VmThread::CloseThread()
{
    if (m_thread)
        CloseHandle(m_thread);
    m_thread = NULL;
    m_threadId = 0;
}

bool VmThread::Create(ThreadProc proc, void* arg)
{
    if (!proc || !m_ready || !m_done || !m_cancel)
        return false;
    if (m_thread) {
        if (!Test(m_thread, 0))
            return false;   // one thread per object at a time
        CloseThread();
    }
    ResetEvent(m_ready);
    ResetEvent(m_done);
    ResetEvent(m_cancel);
    unsigned id = 0;
    // The run-time's starter sets up the C library for the new thread.
    uintptr_t h = _beginthreadex(NULL, 0, proc, arg, 0, &id);
    if (!h)
        return false;
    m_thread = reinterpret_cast<HANDLE>(h);
    m_threadId = id;
    WaitForReady(ReadyTimeout);
    return true;
}

bool VmThread::Destroy(DWORD timeout)
{
    if (!m_thread)
        return true;
    Cancel();
    bool done = WaitForDone(timeout);
    CloseThread();
    return done;
}

unsigned __stdcall VmThreadEx::ThreadProcEx(void* arg)
{
    VmThreadEx* self = static_cast<VmThreadEx*>(arg);
    self->SetReady();
    unsigned result = 0;
    try {
        result = self->DoThreadEx();
    } catch (...) {
        result = static_cast<unsigned>(-1);   // never unwind out of a thread
    }
    // The owner may free the object once done is set: touch nothing of it afterwards. The
    // thread handle stays with the object, which closes it exactly once.
    self->SetDone();
    return result;
}
