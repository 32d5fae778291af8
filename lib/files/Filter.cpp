#include "Filter.h"
#include "../util/StrUtil.h"
#include <shlobj.h>
#include <new>
#include <string.h>

// Upper-case form of every single-byte character, as CharUpperA gives it: the match loop
// would otherwise call into the system for every character it compares.
namespace {
struct UpperTable {
    BYTE map[256];
    UpperTable()
    {
        for (int i = 0; i < 256; i++) {
            char c[2] = {(char)i, 0};
            // Under UTF-8 a high byte is part of a sequence: folding it alone garbles it.
            if (i && (i < 0x80 || !IsUtf8CodePage()))
                CharUpperBuffA(c, 1);
            map[i] = (BYTE)c[0];
        }
    }
};
}  // namespace

static BYTE Upper(BYTE c)
{
    static const UpperTable table;
    return table.map[c];
}

static int CharLen(const char* p) { return *p ? CharBytes(p) : 1; }

// One character of the mask against one of the name; double-byte characters as one unit.
static bool SameChar(const char* m, int mlen, const char* n, int nlen)
{
    if (mlen != nlen)
        return false;
    if (mlen == 1)
        return Upper((BYTE)*m) == Upper((BYTE)*n);
    if (mlen > 2) {
        char a[5] = {}, b[5] = {};
        memcpy(a, m, mlen);
        memcpy(b, n, nlen);
        // Folded only where the case form keeps the length.
        char fa[5], fb[5];
        memcpy(fa, a, 5);
        memcpy(fb, b, 5);
        CharUpperBuffA(fa, mlen);
        CharUpperBuffA(fb, nlen);
        return memcmp(fa, fb, mlen) == 0 || memcmp(a, b, mlen) == 0;
    }
    char a[3] = {m[0], m[1], 0}, b[3] = {n[0], n[1], 0};
    CharUpperBuffA(a, 2);
    CharUpperBuffA(b, 2);
    return a[0] == b[0] && a[1] == b[1];
}

Filter::Filter(const char* include, const char* exclude, const char* separators)
    : m_separators(separators), m_include(NULL), m_exclude(NULL)
{
    SetFilters(include, exclude);
}

Filter::~Filter() { Reset(); }

char* Filter::Dup(const char* text)
{
    if (!text || !*text)
        return NULL;
    size_t n = strlen(text) + 1;
    char* copy = new (std::nothrow) char[n];
    if (copy)
        memcpy(copy, text, n);
    return copy;
}

bool Filter::SetFilters(const char* include, const char* exclude)
{
    // Copy before freeing: a caller may pass our own lists back.
    char* inc = Dup(include);
    char* exc = Dup(exclude);
    Reset();
    m_include = inc;
    m_exclude = exc;
    return (inc || !include || !*include) && (exc || !exclude || !*exclude);
}

void Filter::GetFilters(char* include, char* exclude, int size) const
{
    if (size <= 0)
        return;
    if (include)
        lstrcpynA(include, m_include ? m_include : "", size);
    if (exclude)
        lstrcpynA(exclude, m_exclude ? m_exclude : "", size);
}

void Filter::Reset()
{
    delete[] m_include;
    delete[] m_exclude;
    m_include = m_exclude = NULL;
}

bool Filter::Match(const char* name) const
{
    if (!name || !*name)
        return true;
    if (m_exclude && MatchWithSep(m_exclude, name))
        return false;
    return !m_include || MatchWithSep(m_include, name);
}

bool Filter::MatchWithSep(const char* list, const char* name) const
{
    if (!list)
        return false;
    if (!m_separators || !*m_separators)
        return MatchCore(list, name);
    // Tokens as strtok gives them: runs of separators are skipped, nothing is trimmed.
    const char* p = list;
    for (;;) {
        while (*p && strchr(m_separators, *p))
            p++;
        if (!*p)
            return false;
        const char* start = p;
        while (*p && !strchr(m_separators, *p))
            p += CharLen(p);
        if (MatchRange(start, p, name))
            return true;
    }
}

bool Filter::MatchCore(const char* mask, const char* name)
{
    if (!mask || !name)
        return false;
    return MatchRange(mask, mask + strlen(mask), name);
}

bool Filter::MatchOkay(const char* maskRest)
{
    if (!maskRest)
        return true;
    while (*maskRest == '*')
        maskRest++;
    return *maskRest == 0;
}

// Matches name against mask[0..maskEnd). On a mismatch the last "*" takes one more character
// of the name and the rest of the mask is tried again from there; since "*" is the only
// wildcard, that finds a match whenever any way of backtracking would.
bool Filter::MatchRange(const char* mask, const char* maskEnd, const char* name)
{
    if (mask >= maskEnd)
        return false;   // an empty mask matches nothing
    const char* m = mask;
    const char* n = name;
    const char* starMask = NULL;   // mask position after the last "*"
    const char* starName = NULL;   // name position that "*" was last tried at
    while (*n) {
        if (m < maskEnd && *m == '*') {
            while (m < maskEnd && *m == '*')
                m++;
            starMask = m;
            starName = n;
            continue;
        }
        if (m < maskEnd) {
            int mlen = CharLen(m), nlen = CharLen(n);
            if (m + mlen > maskEnd)
                mlen = (int)(maskEnd - m);
            if (SameChar(m, mlen, n, nlen)) {
                m += mlen;
                n += nlen;
                continue;
            }
        }
        if (!starMask)
            return false;
        starName += CharLen(starName);
        m = starMask;
        n = starName;
    }
    while (m < maskEnd && *m == '*')
        m++;
    return m == maskEnd;
}

void ShellObjFilter::SetFlag(DWORD flag, bool on)
{
    if (on)
        m_flags |= flag;
    else
        m_flags &= ~flag;
}

bool ShellObjFilter::Match(const char* name, DWORD typeWord) const
{
    DWORD common = m_flags & typeWord;
    if (common & 0xFFFF0000)
        return false;
    if (common & 0x0000FFFF)
        return true;
    return Filter::Match(name);
}

DWORD ShellObjFilter::TypeWordOf(DWORD attributes)
{
    bool folder = (attributes & SFGAO_FOLDER) != 0;
    bool fs = (attributes & SFGAO_FILESYSTEM) != 0;
    bool ancestor = (attributes & SFGAO_FILESYSANCESTOR) != 0;
    DWORD show = 0;
    if (fs)
        show |= folder ? ShowFolders : ShowFiles;
    if (attributes & SFGAO_LINK)
        show |= ShowLinks;
    if (attributes & SFGAO_HIDDEN)
        show |= ShowHidden;
    if (folder && ancestor)
        show |= ShowFsAncestors;
    if (!fs && !ancestor)
        show |= folder ? ShowVirtFolders : ShowVirtObjects;
    return show | (show << HideShift);
}
