#include "MultiStr.h"
#include "StrUtil.h"
#include <stdlib.h>

bool MultiStr::Room(int bytes)
{
    if (m_buffer && !m_cut && (m_pos - m_buffer) + bytes > m_capacity - 1)
        m_cut = true;
    return !m_buffer || !m_cut;
}

void MultiStr::AddStr(const char* text)
{
    if (!text)
        return;
    while (*text) {
        char* none = nullptr;
        // Past the room only counted, so the caller can tell the passes differed.
        StrCopy(Room(static_cast<int>(NextChar(text) - text)) ? m_pos : none, text, m_count);
    }
}

void MultiStr::AddChar(char c)
{
    if (Room(1)) {
        CharAdd(m_pos, c, m_count);
    } else {
        ++m_count;
    }
}

void MultiStr::AddZ()
{
    AddChar(0);
}

void MultiStr::AddStrZ(const char* text)
{
    AddStr(text);
    AddZ();
}

bool MultiStr::Start()
{
    int size = m_count + 1;
    free(m_buffer);
    m_buffer = static_cast<char*>(calloc(size, 1));
    m_pos = m_buffer;
    m_capacity = m_buffer ? size : 0;
    m_count = 0;
    m_cut = false;
    return m_buffer != nullptr;
}

bool MultiStr::Finish()
{
    if (!m_buffer)
        return false;
    if (m_cut) {
        // Back to the end of the last complete entry.
        while (m_pos > m_buffer && m_pos[-1])
            --m_pos;
    }
    *m_pos = 0;
    return !m_cut;
}

void MultiStr::Free()
{
    free(m_buffer);
    m_buffer = m_pos = nullptr;
    m_capacity = 0;
    m_count = 0;
    m_cut = false;
}
