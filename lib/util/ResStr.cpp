#include "ResStr.h"
#include "StrUtil.h"
#include "../registry/AppInfo.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {
char* Dup(const char* text)
{
    size_t n = strlen(text) + 1;
    char* p = static_cast<char*>(malloc(n));
    if (p)
        memcpy(p, text, n);
    return p;
}

// A cut text must not end in half a double-byte character.
void DropSplitLead(char* text)
{
    int len = static_cast<int>(strlen(text));
    text[CutLen(text, len, len)] = 0;
}
}  // namespace

ResStr::ResStr(int id, HINSTANCE module) : m_str(nullptr)
{
    Load(id, module);
}

ResStr::ResStr(const ResStr& other) : m_str(other.m_str ? Dup(other.m_str) : nullptr) {}

ResStr& ResStr::operator=(const ResStr& other)
{
    if (this != &other)
        Attach(other.m_str ? Dup(other.m_str) : nullptr);
    return *this;
}

void ResStr::Attach(char* text)
{
    free(m_str);
    m_str = text;
}

void ResStr::Empty()
{
    Attach(nullptr);
}

int ResStr::GetLength() const
{
    return m_str ? static_cast<int>(strlen(m_str)) : 0;
}

bool ResStr::Load(int id, HINSTANCE module)
{
    Empty();
    AppInfo::ConvertResourceId(id, module);
    char buf[MaxLoad];
    // LoadStringA cuts at the buffer and terminates; a missing string gives 0.
    int n = LoadStringA(module, static_cast<UINT>(id), buf, sizeof(buf));
    if (n <= 0)
        return false;
    buf[sizeof(buf) - 1] = 0;
    DropSplitLead(buf);
    if (!buf[0])
        return false;
    Attach(Dup(buf));
    return m_str != nullptr;
}

ResStrFmt::ResStrFmt(int id, ...)
{
    va_list args;
    va_start(args, id);
    FormatV(id, NULL, args);
    va_end(args);
}

bool ResStrFmt::FormatV(int id, HINSTANCE module, va_list args)
{
    if (!Load(id, module))
        return false;
    char buf[MaxLoad];
    buf[0] = 0;
    vsnprintf(buf, sizeof(buf), m_str, args);
    // Some runtimes leave a cut result unterminated.
    buf[sizeof(buf) - 1] = 0;
    DropSplitLead(buf);
    if (buf[0])
        Attach(Dup(buf));
    return true;
}
