#include "VmCmdLine.h"
#include "StrUtil.h"
#include <stdlib.h>

void VmCmdLine::ParseParam(int, const char*) {}

void VmCmdLine::ParseOption(const char*) {}

namespace {
// Walks one piece from p; writes it to out when out is given. Returns the piece's length and
// leaves p at the separator that ended it or at the end of the text. A doubled quote is one
// literal quote; a single one toggles quoting and is dropped; double-byte pairs go whole.
size_t WalkPiece(const char*& p, char sep, char* out)
{
    size_t len = 0;
    bool quoted = false;
    while (*p) {
        if (IsLead(static_cast<BYTE>(*p)) && p[1]) {
            if (out) {
                out[len] = p[0];
                out[len + 1] = p[1];
            }
            len += 2;
            p += 2;
        } else if (*p == '"') {
            if (p[1] == '"') {
                if (out)
                    out[len] = '"';
                ++len;
                p += 2;
            } else {
                quoted = !quoted;
                ++p;
            }
        } else if (*p == sep && !quoted) {
            break;
        } else {
            if (out)
                out[len] = *p;
            ++len;
            ++p;
        }
    }
    return len;
}

// Trailing blanks go, but never the first byte: a piece of blanks keeps one.
void TrimTrailingBlanks(char* text)
{
    char* keep = text;
    for (char* p = text; *p; p = NextChar(p))
        if (*p != ' ' || p == text)
            keep = NextChar(p);
    *keep = 0;
}
}  // namespace

bool VmCmdLine::Parse()
{
    m_count = 0;
    if (!m_text)
        return false;
    size_t size = MAX_PATH;
    char* buffer = static_cast<char*>(malloc(size));
    if (!buffer)
        return false;
    bool ok = true;
    const char* p = m_text;
    for (;;) {
        while (*p == ' ')
            ++p;
        if (!*p)
            break;
        bool option = *p == '/' || *p == '-';
        if (option)
            ++p;
        const char* scan = p;
        size_t len = WalkPiece(scan, m_sep, nullptr);
        if (len + 1 > size) {
            free(buffer);
            size = len + 1;
            buffer = static_cast<char*>(malloc(size));
            if (!buffer) {
                ok = false;
                break;
            }
        }
        WalkPiece(p, m_sep, buffer);
        buffer[len] = 0;
        if (*p && *p == m_sep)
            ++p;
        TrimTrailingBlanks(buffer);
        if (option) {
            if (buffer[0])
                ParseOption(buffer);
        } else {
            ParseParam(m_count++, buffer);
        }
    }
    free(buffer);
    return ok;
}
