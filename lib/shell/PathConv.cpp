#include "PathConv.h"
#include "../ui/WaitCursor.h"
#include "../util/PathUtil.h"
#include "../util/StrUtil.h"
#include <shlobj.h>
#include <string.h>
#include <winnetwk.h>

// ---------------------------------------------------------------------------------------------

static bool FitsMaxPath(const char* path) { return path && strnlen(path, MAX_PATH) < MAX_PATH; }

static void SlashToBackslash(char* path)
{
    for (char* p = path; *p; p++) {
        if (IsLead((BYTE)*p) && p[1])
            p++;
        else if (*p == '/')
            *p = '\\';
    }
}

static char UpperChar(char c)
{
    char s[2] = {c, 0};
    CharUpperBuffA(s, 1);
    return s[0];
}

static void UpperInPlace(char* text)
{
    if (DWORD n = (DWORD)strlen(text))
        CharUpperBuffA(text, n);
}


// Offset of the first component that the file system can look up: after "X:\" of a drive
// path, after "\\server\share\" of a network path. -1 when the form is neither.
static int FirstComponent(const char* path)
{
    if (IsDosFolder(path))
        return 3;
    if (!IsSep(path[0]) || !IsSep(path[1]))
        return -1;
    const char* p = path + 2;
    for (int part = 0; part < 2; part++) {
        const char* start = p;
        while (*p && !IsSep(*p))
            p += IsLead((BYTE)*p) && p[1] ? 2 : 1;
        if (p == start)
            return -1;
        if (!*p)
            return part == 1 ? (int)(p - path) : -1;
        p++;
    }
    return (int)(p - path);
}

// ---------------------------------------------------------------------------------------------

bool ConvertToShortPath(char* path)
{
    if (!FitsMaxPath(path) || !*path)
        return false;
    if (IsRootFolder(path, 0)) {
        UpperInPlace(path);
        return true;
    }
    char out[MAX_PATH];
    DWORD n = GetShortPathNameA(path, out, MAX_PATH);
    if (n && n < MAX_PATH) {
        lstrcpyA(path, out);
        return true;
    }
    SlashToBackslash(path);
    // Separator positions, found forwards so that no trail byte is taken for one.
    int seps[MAX_PATH];
    int count = 0;
    for (int i = 0; path[i]; i++) {
        if (IsLead((BYTE)path[i]) && path[i + 1])
            i++;
        else if (path[i] == '\\')
            seps[count++] = i;
    }
    for (int k = count - 1; k >= 0; k--) {
        int cut = seps[k];
        if (cut == 0)
            break;
        char prefix[MAX_PATH];
        // "X:" alone means the drive's current folder: keep the root's separator.
        int keep = (cut == 2 && path[1] == ':') ? cut + 1 : cut;
        memcpy(prefix, path, keep);
        prefix[keep] = 0;
        n = GetShortPathNameA(prefix, out, MAX_PATH);
        if (!n || n >= MAX_PATH)
            continue;
        const char* rest = path + cut + 1;
        bool sep = n > 0 && IsSep(out[n - 1]);
        if (n + (sep ? 0 : 1) + strlen(rest) >= MAX_PATH)
            return false;
        if (!sep)
            lstrcatA(out, "\\");
        lstrcatA(out, rest);
        lstrcpyA(path, out);
        return true;
    }
    return false;
}

bool ShortToLFN(char* path)
{
    // Wildcards are no names: a directory search would answer them with some other name.
    if (!FitsMaxPath(path) || !*path || strpbrk(path, "*?"))
        return false;
    char out[MAX_PATH];
    DWORD n = GetLongPathNameA(path, out, MAX_PATH);
    if (!n || n >= MAX_PATH)
        return false;
    lstrcpyA(path, out);
    return true;
}

bool DosPathToShellPath(char* path)
{
    if (!FitsMaxPath(path))
        return false;
    if (!*path)
        return true;
    SlashToBackslash(path);
    if (IsRootFolder(path, 0)) {
        UpperInPlace(path);
        return true;
    }
    if (!ShortToLFN(path))
        return false;
    int first = FirstComponent(path);
    if (first < 0)
        return true;   // a relative path: nothing to look up from a known start
    if (IsDosFolder(path))
        path[0] = UpperChar(path[0]);
    // Component bounds, then each one spelled as stored, from the last to the first.
    int starts[MAX_PATH], ends[MAX_PATH];
    int count = 0;
    for (int i = first; path[i];) {
        int start = i;
        while (path[i] && path[i] != '\\')
            i += IsLead((BYTE)path[i]) && path[i + 1] ? 2 : 1;
        if (i > start) {
            starts[count] = start;
            ends[count++] = i;
        }
        if (path[i])
            i++;
    }
    for (int k = count - 1; k >= 0; k--) {
        int len = ends[k] - starts[k];
        const char* comp = path + starts[k];
        // Wildcards would find some other name; "." and ".." are not stored names.
        if (strpbrk(comp, "*?") && strpbrk(comp, "*?") < path + ends[k])
            continue;
        if (comp[0] == '.' && (len == 1 || (len == 2 && comp[1] == '.')))
            continue;
        char prefix[MAX_PATH];
        memcpy(prefix, path, ends[k]);
        prefix[ends[k]] = 0;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(prefix, &fd);
        if (h == INVALID_HANDLE_VALUE)
            continue;
        FindClose(h);
        if ((int)strlen(fd.cFileName) == len &&
            CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, fd.cFileName, len, comp, len) ==
                CSTR_EQUAL)
            memcpy(path + starts[k], fd.cFileName, len);
    }
    return true;
}

// Remote name of a connected network drive, from the network's own list.
static bool RemoteNameOfDrive(char drive, char* remote, int size)
{
    HANDLE en = NULL;
    if (WNetOpenEnumA(RESOURCE_CONNECTED, RESOURCETYPE_DISK, 0, NULL, &en) != NO_ERROR)
        return false;
    bool found = false;
    DWORD bufSize = 1600;
    BYTE* buf = new BYTE[bufSize];
    for (int rounds = 0; !found && rounds < 64; rounds++) {
        DWORD count = (DWORD)-1;
        DWORD need = bufSize;
        DWORD r = WNetEnumResourceA(en, &count, buf, &need);
        if (r == ERROR_MORE_DATA) {
            bufSize = need > bufSize ? need : bufSize * 2;
            delete[] buf;
            buf = new BYTE[bufSize];
            continue;
        }
        if (r != NO_ERROR)
            break;
        NETRESOURCEA* res = (NETRESOURCEA*)buf;
        for (DWORD i = 0; i < count; i++) {
            const char* local = res[i].lpLocalName;
            if (local && UpperChar(local[0]) == drive &&
                res[i].lpRemoteName) {
                lstrcpynA(remote, res[i].lpRemoteName, size);
                found = (int)strlen(res[i].lpRemoteName) < size;
                break;
            }
        }
    }
    delete[] buf;
    WNetCloseEnum(en);
    return found;
}

// Universal form of the drive from its device name: a substituted network path or a
// redirected drive. The share part comes out with one leading "\" (the caller adds the other).
static bool RemoteNameFromDevice(char drive, char* share, int size)
{
    char name[3] = {drive, ':', 0};
    char device[1024];
    if (!QueryDosDeviceA(name, device, sizeof(device)))
        return false;
    device[sizeof(device) - 1] = 0;
    const char* tail = NULL;
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, device, strlen(device) < 7 ? -1 : 7,
                       "\\??\\UNC", 7) == CSTR_EQUAL) {
        tail = device + 7;
    } else {
        char marker[5] = {';', drive, ':', '0', 0};
        const char* at = strstr(device, marker);
        if (!at) {
            marker[1] = (char)(drive - 'A' + 'a');
            at = strstr(device, marker);
        }
        // The share follows the logon-session digits that come after the drive.
        if (at)
            tail = strchr(at + 3, '\\');
    }
    if (!tail || !*tail)
        return false;
    lstrcpynA(share, tail, size);
    return (int)strlen(tail) < size;
}

bool GetUniversalName(char* out, int size, const char* path, int upper)
{
    if (!out || size <= 0)
        return false;
    out[0] = 0;
    if (!FitsMaxPath(path))
        return false;
    if (path[0] == '\\' && path[1] == '\\') {
        if ((int)strlen(path) >= size)
            return false;
        lstrcpyA(out, path);
    } else {
        char drive = UpperChar(path[0]);
        if (drive < 'A' || drive > 'Z' || path[1] != ':')
            return false;
        char result[MAX_PATH * 2];
        if (RemoteNameOfDrive(drive, result, MAX_PATH)) {
            // the remote name carries both leading backslashes
        } else if (RemoteNameFromDevice(drive, result + 1, MAX_PATH)) {
            result[0] = '\\';
        } else {
            return false;
        }
        if (strlen(result) + strlen(path + 2) >= (size_t)size)
            return false;
        lstrcatA(result, path + 2);
        lstrcpyA(out, result);
    }
    if (upper)
        UpperInPlace(out);
    return true;
}

bool ConvertPathToUNC(char* path)
{
    char unc[MAX_PATH];
    if (!GetUniversalName(unc, MAX_PATH, path, 0))
        return false;
    lstrcpyA(path, unc);
    return true;
}

bool CreateFolder(const char* path)
{
    if (!path)
        return false;
    size_t len = strnlen(path, MAX_PATH);
    // Room for the final separator.
    if (len + 1 >= MAX_PATH)
        return false;
    char work[MAX_PATH];
    lstrcpyA(work, path);
    SlashToBackslash(work);
    int first = FirstComponent(work);
    if (first < 0)
        return false;
    VmWaitCursor wait;
    if (work[len - 1] != '\\' || (len >= 2 && IsLead((BYTE)work[len - 2]))) {
        work[len] = '\\';
        work[len + 1] = 0;
    }
    for (int i = first; work[i]; i++) {
        if (IsLead((BYTE)work[i]) && work[i + 1]) {
            i++;
            continue;
        }
        if (work[i] != '\\' || i == first || work[i - 1] == '\\')
            continue;
        work[i] = 0;
        DWORD attr = GetFileAttributesA(work);
        if (attr == INVALID_FILE_ATTRIBUTES) {
            if (!CreateDirectoryA(work, NULL) &&
                !(GetLastError() == ERROR_ALREADY_EXISTS &&
                  (GetFileAttributesA(work) & FILE_ATTRIBUTE_DIRECTORY) &&
                  GetFileAttributesA(work) != INVALID_FILE_ATTRIBUTES))
                return false;
        } else if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) {
            return false;   // a file of that name is in the way
        }
        work[i] = '\\';
    }
    DWORD attr = GetFileAttributesA(work);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool GetSpecialFolderPath(HWND owner, int csidl, char* out)
{
    if (!out)
        return false;
    out[0] = 0;
    ITEMIDLIST* list = NULL;
    if (FAILED(SHGetSpecialFolderLocation(owner, csidl, &list)) || !list)
        return false;
    char path[MAX_PATH] = "";
    if (!SHGetPathFromIDListA(list, path))
        path[0] = 0;
    FreePIDL(list);
    DWORD attr = path[0] ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
    if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    lstrcpyA(out, path);
    return true;
}

bool RunFile(const char* file, const char* parameters, const char* verb, ULONG mask,
             HANDLE* process)
{
    if (process)
        *process = NULL;
    if (!file || !*file)
        return false;
    VmWaitCursor wait;
    SHELLEXECUTEINFOA sei;
    ZeroMemory(&sei, sizeof(sei));
    sei.cbSize = sizeof(sei);
    sei.fMask = mask | (process ? SEE_MASK_NOCLOSEPROCESS : 0);
    HWND active = GetActiveWindow();
    sei.hwnd = active ? GetLastActivePopup(active) : NULL;
    sei.lpVerb = verb;
    sei.lpFile = file;
    sei.lpParameters = parameters;
    sei.nShow = SW_SHOWNORMAL;
    bool ok = ShellExecuteExA(&sei) != FALSE;
    if (process)
        *process = ok ? sei.hProcess : NULL;
    else if (ok && sei.hProcess && (mask & SEE_MASK_NOCLOSEPROCESS))
        CloseHandle(sei.hProcess);   // asked for in mask, but nobody to hand it to
    return ok;
}
