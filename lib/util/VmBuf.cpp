#include "VmBuf.h"
#include <stdlib.h>

VmBuf::VmBuf(int size) : m_data(nullptr), m_size(0)
{
    if (size > 0) {
        m_data = static_cast<BYTE*>(calloc(size, 1));
        if (m_data)
            m_size = size;
    }
}

VmBuf::~VmBuf()
{
    free(m_data);
}

BYTE VmBuf::GetAt(int i) const
{
    return i >= 0 && i < m_size ? m_data[i] : 0;
}

void VmBuf::SetAt(int i, BYTE value)
{
    if (i >= 0 && i < m_size)
        m_data[i] = value;
}
