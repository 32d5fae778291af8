// Shows the wait cursor for the object's lifetime.
#pragma once
#include "../Panorel32.h"

class PANOREL32_API VmWaitCursor {
public:
    VmWaitCursor() : m_prev(SetCursor(LoadCursor(NULL, IDC_WAIT))) {}
    VmWaitCursor(const VmWaitCursor&) = delete;
    VmWaitCursor& operator=(const VmWaitCursor&) = delete;
    ~VmWaitCursor() { SetCursor(m_prev); }

private:
    HCURSOR m_prev;
};
