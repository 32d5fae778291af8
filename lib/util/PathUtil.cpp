#include "PathUtil.h"
#include "StrUtil.h"
#include <string.h>
#include <string>
#include <vector>

namespace {
// Where the last character starts, and the one before it; null where there is none.
struct Tail {
    char* last = nullptr;
    char* prev = nullptr;
    char* end = nullptr;
};

Tail ScanTail(char* path)
{
    Tail t;
    char* p = path;
    for (; *p; p = NextChar(p)) {
        t.prev = t.last;
        t.last = p;
    }
    t.end = p;
    return t;
}

// A single-byte separator at p; a trail byte never reaches here because scans start on
// character boundaries.
bool IsSepAt(const char* p, const char* end)
{
    return p && p + 1 == end && IsSep(*p);
}

bool IsDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool HasDrive(const std::string& s)
{
    return s.size() >= 2 && IsDriveLetter(s[0]) && s[1] == ':';
}

std::string ToBackSlashes(const char* text)
{
    std::string s;
    for (const char* p = text; *p;) {
        const char* next = NextChar(p);
        if (next == p + 1 && *p == '/')
            s += '\\';
        else
            s.append(p, next - p);
        p = next;
    }
    return s;
}

// Length of the root of an absolute path: "X:\", "\\server\share\" or "\"; 0 for none.
size_t RootLength(const std::string& s)
{
    if (HasDrive(s))
        return s.size() >= 3 && s[2] == '\\' ? 3 : 2;
    if (s.compare(0, 2, "\\\\") == 0) {
        // Server and share: two more components.
        int seps = 0;
        const char* begin = s.c_str();
        const char* p = begin + 2;
        for (; *p; p = NextChar(p)) {
            if (*p == '\\' && ++seps == 2)
                return p - begin + 1;
        }
        return p - begin;
    }
    return !s.empty() && s[0] == '\\' ? 1 : 0;
}

// Folds "." and "..", and empty components, after the root.
std::string Normalize(const std::string& s)
{
    size_t rootLen = RootLength(s);
    std::string root = s.substr(0, rootLen);
    std::vector<std::string> parts;
    const char* p = s.c_str() + rootLen;
    std::string part;
    bool trailingSep = false;
    for (;;) {
        const char* next = NextChar(p);
        bool sep = next == p + 1 && *p == '\\';
        if (!*p || sep) {
            if (part == "..") {
                if (!parts.empty())
                    parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            if (sep)
                trailingSep = !*next;
            part.clear();
            if (!*p)
                break;
        } else {
            part.append(p, next - p);
        }
        p = next;
    }
    std::string out = root;
    if (!root.empty() && !IsSep(root.back()) && rootLen > 2 && !parts.empty())
        out += '\\';   // a share root given without its final separator
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i)
            out += '\\';
        out += parts[i];
    }
    if (trailingSep && !parts.empty())
        out += '\\';
    return out;
}

// Where a path that starts with one "\" hangs from: the base's drive or share.
std::string BaseRoot(const std::string& base)
{
    if (HasDrive(base))
        return base.substr(0, 2);
    if (base.compare(0, 2, "\\\\") == 0) {
        std::string root = base.substr(0, RootLength(base));
        if (!root.empty() && root.back() == '\\')
            root.pop_back();
        return root;
    }
    return std::string();
}
}  // namespace

bool IsSep(char c)
{
    return c == '\\' || c == '/';
}

bool AppendBackSlash(char* path, int size)
{
    if (!path || !*path)
        return false;
    Tail t = ScanTail(path);
    if (IsSepAt(t.last, t.end))
        return true;
    int len = static_cast<int>(t.end - path);
    if (len + 2 > size)
        return false;
    path[len] = '\\';
    path[len + 1] = 0;
    return true;
}

bool RemoveBackSlash(char* path)
{
    if (!path)
        return false;
    Tail t = ScanTail(path);
    if (!IsSepAt(t.last, t.end) || !t.prev)
        return false;
    if (t.prev + 1 == t.last && (IsSep(*t.prev) || *t.prev == ':'))
        return false;
    *t.last = 0;
    return true;
}

bool StripBackSlash(char* path)
{
    if (!path)
        return false;
    Tail t = ScanTail(path);
    if (!IsSepAt(t.last, t.end))
        return false;
    *t.last = 0;
    return true;
}

bool StripFileName(char* path)
{
    if (!path)
        return false;
    char* cut = path;
    for (char* p = path; *p; p = NextChar(p))
        if (IsSep(*p) || *p == ':')
            cut = p + 1;
    *cut = 0;
    return cut != path;
}

bool StripFileExt(char* path)
{
    if (!path)
        return false;
    char* dot = nullptr;
    for (char* p = path; *p; p = NextChar(p)) {
        if (IsSep(*p) || *p == ':')
            dot = nullptr;
        else if (*p == '.')
            dot = p;
    }
    if (!dot)
        return false;
    *dot = 0;
    return true;
}

const char* FindNameExt(const char* path)
{
    if (!path)
        return nullptr;
    const char* name = path;
    for (const char* p = path; *p; p = NextChar(p))
        if (IsSep(*p))
            name = p + 1;
    return *name ? name : nullptr;
}

char* FindNameExt(char* path)
{
    return const_cast<char*>(FindNameExt(static_cast<const char*>(path)));
}

char* FindLastPathComponent(char* path)
{
    if (!path)
        return nullptr;
    StripBackSlash(path);
    char* name = path;
    for (char* p = path; *p; p = NextChar(p))
        if (IsSep(*p))
            name = p + 1;
    return name;
}

bool MakePath(char* out, const char* folder, const char* name, const char* ext, int size)
{
    if (!out || size <= 0)
        return false;
    if (out != folder && !StrCopyN(out, folder ? folder : "", size))
        return false;
    if (*out && !AppendBackSlash(out, size))
        return false;
    int len = static_cast<int>(strlen(out));
    if (!StrCopyN(out + len, name ? name : "", size - len))
        return false;
    if (ext && *ext) {
        len += static_cast<int>(strlen(out + len));
        if (*ext != '.') {
            if (len + 2 > size)
                return false;
            out[len++] = '.';
            out[len] = 0;
        }
        if (!StrCopyN(out + len, ext, size - len))
            return false;
    }
    return true;
}

bool MakeFullPathName(char* path, const char* base, int size)
{
    if (!path || size <= 0)
        return false;
    RemoveWhiteSpacesAndQuotes(path);
    if (!*path)
        return false;
    std::string s = ToBackSlashes(path);
    std::string b = base ? ToBackSlashes(base) : std::string();
    bool ok = true;
    if (s.compare(0, 2, "\\\\") == 0 || (HasDrive(s) && s.size() >= 3 && s[2] == '\\')) {
        // Already absolute.
    } else if (HasDrive(s)) {
        // "X:name": against the base when it is on that drive, else against the drive's root.
        if (HasDrive(b) && (b[0] | 0x20) == (s[0] | 0x20))
            s = b + "\\" + s.substr(2);
        else
            s = s.substr(0, 2) + "\\" + s.substr(2);
    } else if (s[0] == '\\') {
        std::string root = BaseRoot(b);
        if (root.empty())
            ok = false;
        else
            s = root + s;
    } else if (b.empty()) {
        ok = false;
    } else {
        s = b + "\\" + s;
    }
    if (ok)
        s = Normalize(s);
    return StrCopyN(path, s.c_str(), size) && ok;
}
