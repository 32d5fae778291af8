#include "StrUtil.h"
#include <string.h>

static bool g_mbcs;
static BYTE g_leadRanges[MAX_LEADBYTES];

void InitMBCS(UINT codePage)
{
    CPINFO info;
    g_mbcs = false;
    ZeroMemory(g_leadRanges, sizeof(g_leadRanges));
    if (GetCPInfo(codePage, &info) && info.MaxCharSize > 1) {
        CopyMemory(g_leadRanges, info.LeadByte, sizeof(g_leadRanges));
        g_mbcs = true;
    }
}

bool IsLead(BYTE c)
{
    if (!g_mbcs)
        return false;
    for (int i = 0; i + 1 < MAX_LEADBYTES && g_leadRanges[i]; i += 2)
        if (c >= g_leadRanges[i] && c <= g_leadRanges[i + 1])
            return true;
    return false;
}

const char* NextChar(const char* p)
{
    if (!*p)
        return p;
    if (IsLead(static_cast<BYTE>(*p)) && p[1])
        return p + 2;
    return p + 1;
}

char* NextChar(char* p)
{
    return const_cast<char*>(NextChar(static_cast<const char*>(p)));
}

void CharAdd(char*& out, char c, int& count)
{
    if (out)
        *out++ = c;
    ++count;
}

void StrCopy(char*& out, const char*& in, int& count)
{
    if (!in || !*in)
        return;
    if (IsLead(static_cast<BYTE>(*in))) {
        if (!in[1]) {
            ++in;
            return;
        }
        CharAdd(out, *in++, count);
    }
    CharAdd(out, *in++, count);
}

void CopyStr(char*& out, const char* text, int& count)
{
    if (!text)
        return;
    while (*text)
        StrCopy(out, text, count);
}

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
}  // namespace

bool AddQuotesIfSpace(char* text, int size)
{
    if (!text)
        return false;
    bool space = false;
    const char* last = nullptr;
    const char* p = text;
    for (; *p; p = NextChar(p)) {
        if (*p == ' ')
            space = true;
        last = p;
    }
    int len = static_cast<int>(p - text);
    if (!space || len + 3 > size)
        return false;
    // Quoting a quoted text again would break it for every command-line reader.
    if (len >= 2 && text[0] == '"' && *last == '"')
        return false;
    memmove(text + 1, text, len);
    text[0] = '"';
    text[len + 1] = '"';
    text[len + 2] = 0;
    return true;
}

bool RemoveWhiteSpacesAndQuotes(char* text)
{
    if (!text)
        return false;
    char* start = text;
    while (IsBlank(*start))
        ++start;
    if (*start == '"') {
        ++start;
        while (IsBlank(*start))
            ++start;
    }
    // Forward scan: the end of the last non-blank character, and where that character starts.
    char* end = start;
    char* lastStart = nullptr;
    for (char* p = start; *p; p = NextChar(p)) {
        if (!IsBlank(*p)) {
            lastStart = p;
            end = NextChar(p);
        }
    }
    if (lastStart && *lastStart == '"' && end == lastStart + 1) {
        end = lastStart;
        // Blanks inside the closing quote go too; a second scan keeps character boundaries.
        char* keep = start;
        for (char* p = start; p < end; p = NextChar(p))
            if (!IsBlank(*p))
                keep = NextChar(p);
        end = keep;
    }
    size_t len = end - start;
    memmove(text, start, len);
    text[len] = 0;
    return true;
}

int StrFindInList(const char* list, const char* text, bool exact)
{
    if (!list || !text)
        return -1;
    int index = 0;
    for (const char* p = list; *p; p += strlen(p) + 1, ++index) {
        if (exact ? strcmp(p, text) == 0 : lstrcmpiA(p, text) == 0)
            return index;
    }
    return -1;
}

bool StrCopyN(char* out, const char* text, int size)
{
    if (!out || size <= 0)
        return false;
    if (!text) {
        *out = 0;
        return false;
    }
    const char* p = text;
    int len = 0;
    while (*p) {
        const char* next = NextChar(p);
        if (len + (next - p) > size - 1)
            break;
        len += static_cast<int>(next - p);
        p = next;
    }
    memcpy(out, text, len);
    out[len] = 0;
    return !*p;
}
