#include "FileEnum.h"
#include "../util/PathUtil.h"
#include "../util/StrUtil.h"
#include <string.h>

namespace {
bool IsDots(const char* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

bool IsFolderPath(const char* path)
{
    DWORD attr = GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

// folder\name, refused (not cut) when it does not fit: a cut pattern would name other files.
bool Join(char* out, const char* folder, const char* name)
{
    if (!MakePath(out, folder, name, nullptr, MAX_PATH)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    return true;
}

DWORD CapKB(ULONGLONG bytes)
{
    ULONGLONG kb = bytes / 1024;
    return kb > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(kb);
}
}  // namespace

FileEnum::FileEnum(DWORD flags) : m_find(NULL), m_flags(flags), m_fat(FsUnknown)
{
    memset(&m_data, 0, sizeof(m_data));
}

void FileEnum::Close()
{
    if (m_find)
        FindClose(m_find);
    m_find = NULL;
}

bool FileEnum::Start(const char* folder, const char* mask)
{
    Close();
    if (!folder || !*folder) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    char pattern[MAX_PATH];
    if ((m_flags & KnownFolder) || IsFolderPath(folder)) {
        if (!Join(pattern, folder, mask ? mask : "*.*"))
            return false;
    } else if (!StrCopyN(pattern, folder, MAX_PATH)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    HANDLE find = (m_flags & NoShortNames)
                      ? FindFirstFileExA(pattern, FindExInfoBasic, &m_data, FindExSearchNameMatch, NULL,
                                         FIND_FIRST_EX_LARGE_FETCH)
                      : FindFirstFileA(pattern, &m_data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    m_find = find;

    char root[MAX_PATH];
    if (GetVolumeRoot(folder, root, sizeof(root)))
        m_fat = FileSystemOf(root);

    if (!(m_flags & ReportDots) && IsDots(m_data.cFileName))
        return Next();
    return true;
}

// A walk through a tree asks for the same volume's file system for every folder, and the
// question is slow (under Wine a millisecond, more than reading the folder). The answer for
// the last volume asked is kept for two seconds: long enough for a walk, short enough for a
// diskette that is changed.
int FileEnum::FileSystemOf(const char* root)
{
    static thread_local char s_root[MAX_PATH] = "";
    static thread_local int s_fs = FsUnknown;
    static thread_local DWORD s_at = 0;
    DWORD now = GetTickCount();
    if (s_root[0] && now - s_at < 2000 && lstrcmpiA(s_root, root) == 0)
        return s_fs;
    char fsName[MAX_PATH];
    int fs = FsUnknown;
    if (GetVolumeInformationA(root, NULL, 0, NULL, NULL, NULL, fsName, sizeof(fsName)))
        fs = strstr(fsName, "FAT") ? FsFat : FsOther;
    if (!StrCopyN(s_root, root, sizeof(s_root)))
        s_root[0] = 0;
    s_fs = fs;
    s_at = now;
    return fs;
}

bool FileEnum::Next()
{
    if (!m_find)
        return false;
    for (;;) {
        if (!FindNextFileA(m_find, &m_data)) {
            Close();
            return false;
        }
        if ((m_flags & ReportDots) || !IsDots(m_data.cFileName))
            return true;
    }
}

void FileEnum::GetSize(LARGE_INTEGER& size) const
{
    size.LowPart = m_data.nFileSizeLow;
    size.HighPart = static_cast<LONG>(m_data.nFileSizeHigh);
}

void FileEnum::GetSize(ULARGE_INTEGER& size) const
{
    size.LowPart = m_data.nFileSizeLow;
    size.HighPart = m_data.nFileSizeHigh;
}

FILETIME FileEnum::ToDosResolution(const FILETIME& time)
{
    WORD date, dosTime;
    FILETIME cut;
    if (FileTimeToDosDateTime(&time, &date, &dosTime) && DosDateTimeToFileTime(date, dosTime, &cut))
        return cut;
    return time;   // outside the DOS range: nothing to allow for
}

int FileEnum::CompareLastWriteUTC(const FileEnum& other) const
{
    if (m_fat == other.m_fat)
        return CompareFileTime(&m_data.ftLastWriteTime, &other.m_data.ftLastWriteTime);
    if (m_fat != FsOther) {
        FILETIME theirs = ToDosResolution(other.m_data.ftLastWriteTime);
        return CompareFileTime(&m_data.ftLastWriteTime, &theirs);
    }
    FILETIME mine = ToDosResolution(m_data.ftLastWriteTime);
    return -CompareFileTime(&other.m_data.ftLastWriteTime, &mine);
}

bool GetVolumeRoot(const char* path, char* root, int size)
{
    if (!root || size <= 0)
        return false;
    root[0] = 0;
    if (!path || !*path)
        return false;
    char out[MAX_PATH];
    int n = 0;
    if (((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
        path[1] == ':') {
        out[n++] = path[0];
        out[n++] = ':';
    } else if (IsSep(path[0]) && IsSep(path[1])) {
        out[n++] = path[0];
        out[n++] = path[1];
        const char* p = path + 2;
        for (int part = 0; part < 2; ++part) {   // server, then share
            while (*p && !IsSep(*p)) {
                const char* next = NextChar(p);
                if (n + (next - p) >= MAX_PATH - 1)
                    return false;
                while (p < next)
                    out[n++] = *p++;
            }
            if (part == 0 && *p)
                out[n++] = *p++;   // the separator between server and share
        }
    } else {
        return false;
    }
    out[n++] = '\\';
    out[n] = 0;
    if (n >= size)
        return false;
    memcpy(root, out, static_cast<size_t>(n) + 1);
    return true;
}

void ForEachFileObject(DWORD flags, const char* folder, const char* mask,
                       FileObjectCallback callback, void* context)
{
    if (!folder || !*folder)
        return;
    char pattern[MAX_PATH];
    if (!Join(pattern, folder, mask ? mask : "*.*"))
        return;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    bool goOn = true;
    do {
        bool dots = IsDots(data.cFileName);
        if (dots && !(flags & FEFO_DOTS))
            continue;
        bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!isFolder || !(flags & FEFO_FILESONLY)) {
            if ((flags & FEFO_PRE) && callback)
                goOn = callback(folder, &data, context) != 0;
        }
        char sub[MAX_PATH];
        // "." and ".." are never descended into: that would walk the same tree forever.
        if (isFolder && !dots && (flags & FEFO_RECURSE) && Join(sub, folder, data.cFileName))
            ForEachFileObject(flags, sub, mask, callback, context);
        if (isFolder && (flags & FEFO_FILESONLY))
            continue;
        if ((flags & FEFO_POST) && callback)
            goOn = callback(folder, &data, context) != 0;
        if ((flags & FEFO_DELETE) && !dots && Join(sub, folder, data.cFileName))
            DeleteFileA(sub);
    } while (goOn && FindNextFileA(find, &data));
    FindClose(find);
}

DWORD GetDiskFreeKB(const char* root, DWORD* total)
{
    if (total)
        *total = 0;
    if (!root || !*root)
        return 0;
    typedef BOOL(WINAPI * FreeSpaceEx)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                        PULARGE_INTEGER);
    static FreeSpaceEx freeSpaceEx;
    static bool looked;   // looked up once per process
    if (!looked) {
        HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
        if (kernel)
            freeSpaceEx = reinterpret_cast<FreeSpaceEx>(
                reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
        looked = true;
    }
    if (freeSpaceEx) {
        ULARGE_INTEGER available, all, free;
        if (!freeSpaceEx(root, &available, &all, &free))
            return 0;
        if (total)
            *total = CapKB(all.QuadPart);
        return CapKB(available.QuadPart);
    }
    DWORD sectors, bytes, freeClusters, clusters;
    if (!GetDiskFreeSpaceA(root, &sectors, &bytes, &freeClusters, &clusters))
        return 0;
    ULONGLONG clusterBytes = static_cast<ULONGLONG>(sectors) * bytes;
    if (total)
        *total = CapKB(clusterBytes * clusters);
    return CapKB(clusterBytes * freeClusters);
}

DWORD GetDiskFreeKB(int drive, DWORD* total)
{
    if (drive < 0 || drive >= 26) {
        if (total)
            *total = 0;
        return 0;
    }
    char root[4] = {static_cast<char>('A' + drive), ':', '\\', 0};
    return GetDiskFreeKB(root, total);
}

DWORD GetFreeBytes(const char* path)
{
    char root[MAX_PATH];
    if (!GetVolumeRoot(path, root, sizeof(root)))
        return 0;
    ULONGLONG bytes = static_cast<ULONGLONG>(GetDiskFreeKB(root)) * 1024;
    return bytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(bytes);
}

DisableDayLightSavings::DisableDayLightSavings() : m_active(false)
{
    memset(&m_saved, 0, sizeof(m_saved));
    memset(&m_changed, 0, sizeof(m_changed));
    if (GetTimeZoneInformation(&m_saved) != TIME_ZONE_ID_DAYLIGHT)
        return;
    m_changed = m_saved;
    m_changed.DaylightBias = 0;
    m_active = SetTimeZoneInformation(&m_changed) != FALSE;
}

DisableDayLightSavings::~DisableDayLightSavings()
{
    if (m_active)
        SetTimeZoneInformation(&m_saved);
}
