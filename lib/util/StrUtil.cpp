#include "StrUtil.h"
#include <stdlib.h>
#include <string.h>

static bool g_mbcs;
static bool g_utf8;
static BYTE g_leadRanges[MAX_LEADBYTES];

void InitMBCS(UINT codePage)
{
    CPINFO info;
    g_mbcs = false;
    g_utf8 = false;
    ZeroMemory(g_leadRanges, sizeof(g_leadRanges));
    UINT actual = codePage == CP_ACP ? GetACP() : codePage;
    // UTF-8 has no lead-byte table: its sequences are told by their bit patterns instead.
    if (actual == CP_UTF8) {
        g_utf8 = true;
        return;
    }
    if (GetCPInfo(codePage, &info) && info.MaxCharSize > 1) {
        CopyMemory(g_leadRanges, info.LeadByte, sizeof(g_leadRanges));
        g_mbcs = true;
    }
}

bool IsUtf8CodePage()
{
    return g_utf8;
}

namespace {
// Length of the well-formed UTF-8 sequence at p (1 for a lone or broken byte, so that a scan
// always moves on and never swallows the terminator).
int Utf8Len(const BYTE* p)
{
    BYTE c = p[0];
    int len = 1;
    BYTE lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0)
            lo = 0xA0;
        else if (c == 0xED)
            hi = 0x9F;   // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0)
            lo = 0x90;
        else if (c == 0xF4)
            hi = 0x8F;
    } else {
        return 1;
    }
    if (p[1] < lo || p[1] > hi)
        return 1;
    for (int i = 2; i < len; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF)
            return 1;
    return len;
}
}  // namespace

static int Utf8Announced(BYTE c)
{
    return c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? (c <= 0xEF ? 3 : 1) : c >= 0xC2 ? 2 : 1;
}

int CharBytes(const char* p)
{
    if (!p || !*p)
        return 0;
    if (g_utf8)
        return Utf8Len(reinterpret_cast<const BYTE*>(p));
    return IsLead(static_cast<BYTE>(*p)) && p[1] ? 2 : 1;
}

int CutLen(const char* text, int len, int max)
{
    if (!text || max <= 0)
        return 0;
    int n = 0;
    while (n < len && text[n]) {
        int step = CharBytes(text + n);
        if (!g_utf8 && IsLead(static_cast<BYTE>(text[n])) && (n + 1 >= len || !text[n + 1]))
            break;   // a lead byte without its trail
        if (g_utf8 && step == 1 && Utf8Announced(static_cast<BYTE>(text[n])) > 1) {
            // A sequence that the end of the text has cut short is dropped with the cut.
            int want = Utf8Announced(static_cast<BYTE>(text[n]));
            int have = 1;
            while (have < want && n + have < len && (static_cast<BYTE>(text[n + have]) & 0xC0) == 0x80)
                ++have;
            if (have < want && (n + have >= len || !text[n + have]))
                break;
        }
        // A sequence reaching past the given length is cut off, not taken.
        if (n + step > len || n + step > max)
            break;
        n += step;
    }
    return n;
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
    return p + CharBytes(p);
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
    if (IsLead(static_cast<BYTE>(*in)) && !in[1]) {
        ++in;
        return;
    }
    for (int n = CharBytes(in); n > 0; --n)
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

bool WideToAnsiExact(const WCHAR* wide, int chars, char* out, int size)
{
    if (!out || size <= 0)
        return false;
    *out = 0;
    if (!wide)
        return false;
    if (chars < 0)
        chars = lstrlenW(wide);
    if (chars == 0)
        return true;
    BOOL usedDefault = FALSE;
    // UTF-8 takes no default-character query; the round trip below catches what it loses.
    BOOL* used = GetACP() == CP_UTF8 ? NULL : &usedDefault;
    int n = WideCharToMultiByte(CP_ACP, 0, wide, chars, out, size - 1, NULL, used);
    if (n <= 0 || usedDefault) {
        *out = 0;
        return false;
    }
    out[n] = 0;
    // Best-fit mappings ("e" for an accented e) report no default character: only the way
    // back proves that the text names the same thing.
    int back = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, out, n, NULL, 0);
    bool same = back == chars;
    if (same) {
        WCHAR* check = static_cast<WCHAR*>(malloc(sizeof(WCHAR) * (size_t)back));
        same = check && MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, out, n, check, back) == back &&
               memcmp(check, wide, sizeof(WCHAR) * (size_t)back) == 0;
        free(check);
    }
    if (!same)
        *out = 0;
    return same;
}

bool AnsiToWideExact(const char* text, int len, WCHAR* out, int size)
{
    if (!out || size <= 0)
        return false;
    *out = 0;
    if (!text)
        return false;
    if (len < 0)
        len = static_cast<int>(strlen(text));
    if (len == 0)
        return true;
    int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, len, out, size - 1);
    if (n <= 0) {
        *out = 0;
        return false;
    }
    out[n] = 0;
    return true;
}

bool IsValidAnsiText(const char* text, int len)
{
    if (!text)
        return false;
    if (len < 0)
        len = static_cast<int>(strlen(text));
    return len == 0 || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, len, NULL, 0) > 0;
}

bool HasWildcard(const char* text)
{
    return text && strpbrk(text, "?*") != nullptr;
}
