#include "VmHistList.h"
#include "StrUtil.h"
#include "../registry/AppInfo.h"
#include "../registry/RegKey.h"
#include <stdlib.h>
#include <string.h>

namespace {
char* CopyText(const char* text, size_t len)
{
    char* copy = static_cast<char*>(malloc(len + 1));
    if (copy) {
        memcpy(copy, text, len);
        copy[len] = 0;
    }
    return copy;
}

// One single-byte character folded to upper case by the system's rules.
BYTE FoldByte(BYTE c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') ? static_cast<BYTE>(c - 'a' + 'A') : c;
    // A byte of a UTF-8 sequence is no character of its own.
    if (IsUtf8CodePage())
        return c;
    char one[2] = {static_cast<char>(c), 0};
    CharUpperBuffA(one, 1);
    return static_cast<BYTE>(one[0]);
}
}  // namespace

VmHistList::VmHistList() : m_name(nullptr), m_max(DefaultMax)
{
    SetCallback(nullptr, FreeEntry);
}

VmHistList::~VmHistList()
{
    RemoveAll();
}

int VmHistList::FreeEntry(void*, int code, void* element)
{
    if (code == CodeRemove)
        free(element);
    return 0;
}

bool VmHistList::EqualNoCase(const char* a, const char* b)
{
    if (!a || !b)
        return a == b;
    const BYTE* p = reinterpret_cast<const BYTE*>(a);
    const BYTE* q = reinterpret_cast<const BYTE*>(b);
    for (;;) {
        if (!*p || !*q)
            return *p == *q;
        bool leadP = IsLead(*p) && p[1], leadQ = IsLead(*q) && q[1];
        if (leadP != leadQ)
            return false;
        if (leadP) {
            // Two-byte characters have no case here: both bytes must match.
            if (p[0] != q[0] || p[1] != q[1])
                return false;
            p += 2;
            q += 2;
            continue;
        }
        if (FoldByte(*p) != FoldByte(*q))
            return false;
        ++p;
        ++q;
    }
}

POS VmHistList::FindNoCase(const char* text) const
{
    if (!text)
        return nullptr;
    for (POS pos = GetHeadPos(); pos; pos = pos->next)
        if (EqualNoCase(static_cast<const char*>(pos->element), text))
            return pos;
    return nullptr;
}

bool VmHistList::Update(const char* text)
{
    // A list without room records nothing rather than growing past its maximum.
    if (!text || !*text || m_max <= 0)
        return false;
    char* copy = CopyText(text, strlen(text));
    if (!copy)
        return false;
    POS same = FindNoCase(text);
    if (same)
        RemoveAt(same);
    while (GetCount() > 0 && GetCount() >= m_max)
        RemoveTail();
    if (!AddHead(copy)) {
        free(copy);
        return false;
    }
    return true;
}

bool VmHistList::SetFromBytes(const void* bytes, int size)
{
    RemoveAll();
    if (!bytes || size < 4)
        return false;
    const BYTE* data = static_cast<const BYTE*>(bytes);
    DWORD stored = static_cast<DWORD>(data[0]) | (static_cast<DWORD>(data[1]) << 8) |
                   (static_cast<DWORD>(data[2]) << 16) | (static_cast<DWORD>(data[3]) << 24);
    if (stored >= 1 && stored <= MaxStoredMax)
        m_max = static_cast<int>(stored);
    int at = 4;
    while (GetCount() < m_max && at < size) {
        int start = at;
        // Find the terminator inside the value only; a lead byte takes its trail along unless
        // the trail is the terminator or lies past the end.
        while (at < size && data[at]) {
            if (IsLead(data[at]) && at + 1 < size && data[at + 1])
                at += 2;
            else
                ++at;
        }
        if (at >= size)
            break;   // an entry cut off by the end of the value is not taken
        if (at == start)
            break;   // the empty string ends the list
        char* entry = CopyText(reinterpret_cast<const char*>(data + start),
                               static_cast<size_t>(at - start));
        if (entry && !AddTail(entry))
            free(entry);   // memory short: the entry is skipped
        ++at;
    }
    return true;
}

void* VmHistList::MakeBytes(int& size) const
{
    size_t total = 4 + 1;
    for (POS pos = GetHeadPos(); pos; pos = pos->next)
        total += strlen(static_cast<const char*>(pos->element)) + 1;
    size = 0;
    if (total > static_cast<size_t>(MaxValueSize))
        return nullptr;
    BYTE* data = static_cast<BYTE*>(malloc(total));
    if (!data)
        return nullptr;
    DWORD max = static_cast<DWORD>(m_max);
    data[0] = static_cast<BYTE>(max);
    data[1] = static_cast<BYTE>(max >> 8);
    data[2] = static_cast<BYTE>(max >> 16);
    data[3] = static_cast<BYTE>(max >> 24);
    size_t at = 4;
    for (POS pos = GetHeadPos(); pos; pos = pos->next) {
        const char* text = static_cast<const char*>(pos->element);
        size_t len = strlen(text) + 1;
        memcpy(data + at, text, len);
        at += len;
    }
    data[at] = 0;
    size = static_cast<int>(total);
    return data;
}

void VmHistList::Load(const char* name, int max)
{
    RemoveAll();
    m_name = name;
    m_max = max;
    if (!name || !*name)
        return;
    RegKey key(GetAppRootKey(), RegKey::OpRead);
    if (!key.IsOpen())
        return;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, NULL, &type, NULL, &size) != ERROR_SUCCESS ||
        type != REG_BINARY || size < 4 || size > MaxValueSize)
        return;
    BYTE* data = static_cast<BYTE*>(malloc(size));
    if (!data)
        return;
    DWORD got = size;
    if (RegQueryValueExA(key, name, NULL, &type, data, &got) == ERROR_SUCCESS &&
        type == REG_BINARY && got <= size)
        SetFromBytes(data, static_cast<int>(got));
    free(data);
}

bool VmHistList::Store()
{
    if (!m_name || !*m_name)
        return false;
    RegKey key(GetAppRootKey(), RegKey::OpUpdate);
    if (!key.IsOpen())
        return false;
    int size = 0;
    void* data = MakeBytes(size);
    if (!data)
        return false;
    bool done = key.PutBin(m_name, data, size);
    free(data);
    return done;
}
