// Critical section and named mutex.
#pragma once
#include "../Panorel32.h"

class PANOREL32_API CritSec {
public:
    CritSec() { InitializeCriticalSection(&m_cs); }
    CritSec(const CritSec&) = delete;   // one section, one owner
    CritSec& operator=(const CritSec&) = delete;
    ~CritSec() { DeleteCriticalSection(&m_cs); }
    void Enter() { EnterCriticalSection(&m_cs); }
    void Leave() { LeaveCriticalSection(&m_cs); }
    bool TryEnter() { return TryEnterCriticalSection(&m_cs) != FALSE; }
    // Waits until no other thread holds the section: enters and at once leaves.
    void Wait()
    {
        Enter();
        Leave();
    }

private:
    CRITICAL_SECTION m_cs;
};

// Holds a CritSec for its lifetime.
class CritSecLock {
public:
    explicit CritSecLock(CritSec& cs) : m_cs(cs) { m_cs.Enter(); }
    CritSecLock(const CritSecLock&) = delete;
    CritSecLock& operator=(const CritSecLock&) = delete;
    ~CritSecLock() { m_cs.Leave(); }

private:
    CritSec& m_cs;
};

class PANOREL32_API MyMutex {
public:
    // A null name makes an unnamed mutex. IsValid is false when it could not be made.
    MyMutex(bool initiallyOwned, const char* name);
    MyMutex(const MyMutex&) = delete;   // one handle, one owner
    MyMutex& operator=(const MyMutex&) = delete;
    ~MyMutex();
    bool IsValid() const { return m_mutex != NULL; }
    // True when the name already existed (the initial ownership was then not granted).
    bool AlreadyExisted() const { return m_existed; }
    // True when the mutex was acquired within the timeout (an abandoned one counts).
    bool Wait(DWORD timeout);
    bool Release();

private:
    HANDLE m_mutex;
    bool m_existed;
};
