#include "Sync.h"

MyMutex::MyMutex(bool initiallyOwned, const char* name) : m_mutex(NULL), m_existed(false)
{
    m_mutex = CreateMutexA(NULL, initiallyOwned, name);
    m_existed = m_mutex && GetLastError() == ERROR_ALREADY_EXISTS;
}

MyMutex::~MyMutex()
{
    if (m_mutex)
        CloseHandle(m_mutex);
}

bool MyMutex::Wait(DWORD timeout)
{
    if (!m_mutex)
        return false;
    DWORD r = WaitForSingleObject(m_mutex, timeout);
    return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}

bool MyMutex::Release()
{
    return m_mutex && ReleaseMutex(m_mutex);
}
