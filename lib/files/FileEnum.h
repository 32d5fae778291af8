// Folder enumeration that knows the folder's file system, a recursive walk, a daylight-saving
// guard for comparisons, and free-space queries.
#pragma once
#include "../Panorel32.h"

class PANOREL32_API FileEnum {
public:
    enum {
        ReportDots = 1,     // also report "." and ".."
        NoShortNames = 2,   // no short (8.3) names: the file system need not make them
        KnownFolder = 4     // Start's folder is a folder: not asked again (a trip to the server)
    };
    enum { FsUnknown = -1, FsOther = 0, FsFat = 1 };

    explicit FileEnum(DWORD flags = 0);
    FileEnum(const FileEnum&) = delete;   // one search handle, one owner
    FileEnum& operator=(const FileEnum&) = delete;
    ~FileEnum() { Close(); }

    // folder an existing folder: enumerates folder\mask (null mask: "*.*"); otherwise folder
    // is the pattern itself (wildcards, or one file). True when a first entry is current.
    // Patterns that do not fit MAX_PATH are refused.
    bool Start(const char* folder, const char* mask = nullptr);
    // The next entry; at the end the search is closed and the result false.
    bool Next();
    void Close();
    bool IsOpen() const { return m_find != NULL; }

    const char* Name() const { return m_data.cFileName; }
    const char* AltName() const { return m_data.cAlternateFileName; }
    DWORD& Attr() { return m_data.dwFileAttributes; }
    bool IsFolder() const { return (m_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    FILETIME& Creation() { return m_data.ftCreationTime; }
    FILETIME& LastAccess() { return m_data.ftLastAccessTime; }
    FILETIME& LastWrite() { return m_data.ftLastWriteTime; }
    const FILETIME& LastWrite() const { return m_data.ftLastWriteTime; }
    DWORD& SizeHigh() { return m_data.nFileSizeHigh; }
    DWORD& SizeLow() { return m_data.nFileSizeLow; }
    void GetSize(LARGE_INTEGER& size) const;
    void GetSize(ULARGE_INTEGER& size) const;
    const WIN32_FIND_DATAA& Data() const { return m_data; }
    int GetFileSystem() const { return m_fat; }

    // -1, 0 or 1 as CompareFileTime, this entry against other's; a FAT volume's two-second
    // resolution is allowed for when the two lie on different kinds of file system.
    int CompareLastWrite(const FileEnum& other) const { return CompareLastWriteUTC(other); }
    int CompareLastWriteUTC(const FileEnum& other) const;

    // The time cut to the two seconds of a DOS date and time; unchanged when it has none
    // (before 1980 or after 2107).
    static FILETIME ToDosResolution(const FILETIME& time);

protected:
    // FsFat or FsOther for a volume root, FsUnknown when it cannot be told.
    static int FileSystemOf(const char* root);
    HANDLE m_find;   // null when closed
    DWORD m_flags;
    WIN32_FIND_DATAA m_data;
    int m_fat;       // FsUnknown, FsOther or FsFat
};

// The root of the volume that holds path: "X:\" for a drive path, "\\server\share\" for a
// network path. False for anything else or a root that does not fit size.
PANOREL32_API bool GetVolumeRoot(const char* path, char* root, int size = MAX_PATH);

// Callback of ForEachFileObject: nonzero to go on.
typedef int (*FileObjectCallback)(const char* folder, const WIN32_FIND_DATAA* data,
                                  void* context);
enum ForEachFlags {
    FEFO_DELETE = 0x0001,       // delete each file after its callbacks
    FEFO_PRE = 0x0002,          // callback before descending
    FEFO_POST = 0x0004,         // callback after descending
    FEFO_FILESONLY = 0x0100,    // no callback and no deletion for folders
    FEFO_RECURSE = 0x0200,      // descend into subfolders whose names match the mask
    FEFO_DOTS = 0x0400          // report "." and ".." (never descended into)
};
PANOREL32_API void ForEachFileObject(DWORD flags, const char* folder, const char* mask,
                                     FileObjectCallback callback, void* context);

// Free bytes of the volume holding path, at most 0xFFFFFFFF; 0 for an empty path or one that
// is neither a drive nor a network path.
PANOREL32_API DWORD GetFreeBytes(const char* path);
// Free kilobytes of the volume with this root (total kilobytes into total when given), each at
// most 0xFFFFFFFF; 0 on failure.
PANOREL32_API DWORD GetDiskFreeKB(const char* root, DWORD* total = nullptr);
// The same for drive number drive (0 = A).
PANOREL32_API DWORD GetDiskFreeKB(int drive, DWORD* total = nullptr);

// Switches daylight saving off while it lives (system-wide); scope it to one comparison.
class PANOREL32_API DisableDayLightSavings {
public:
    DisableDayLightSavings();
    DisableDayLightSavings(const DisableDayLightSavings&) = delete;
    DisableDayLightSavings& operator=(const DisableDayLightSavings&) = delete;
    ~DisableDayLightSavings();
    bool IsActive() const { return m_active; }

protected:
    bool m_active;
    TIME_ZONE_INFORMATION m_saved;
    TIME_ZONE_INFORMATION m_changed;
};
