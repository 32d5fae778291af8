// A zero-filled byte block of a size fixed at construction.
#pragma once
#include "../Panorel32.h"

class PANOREL32_API VmBuf {
public:
    // No block for a size of 0 or less, or when memory ran out.
    explicit VmBuf(int size);
    VmBuf(const VmBuf&) = delete;   // owns its block
    VmBuf& operator=(const VmBuf&) = delete;
    ~VmBuf();

    // No block, or its first byte is 0.
    bool IsEmpty() const { return !m_data || !m_data[0]; }
    int GetSize() const { return m_size; }
    // Indexes outside the block read 0 and write nothing.
    BYTE GetAt(int i) const;
    void SetAt(int i, BYTE value);
    // Null when there is no block.
    operator char*() const { return reinterpret_cast<char*>(m_data); }

private:
    BYTE* m_data;
    int m_size;
};
