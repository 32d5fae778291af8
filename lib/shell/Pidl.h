// Item identifier lists: the shell's names of folders and files, owned one list per object,
// always through the shell's task allocator so that lists from the shell and ours mix freely.
#pragma once
#include "../Panorel32.h"
#include <shlobj.h>

class RegKey;
class VmList;

// The shell's task allocator, obtained once.
class PANOREL32_API iMalloc {
public:
    iMalloc();
    iMalloc(const iMalloc&) = delete;   // one interface reference, one owner
    iMalloc& operator=(const iMalloc&) = delete;
    ~iMalloc();

    void* Alloc(SIZE_T size);
    void* Realloc(void* p, SIZE_T size);
    void Free(void* p);   // null is ignored
    void HeapMinimize();

private:
    IMalloc* Get();
    IMalloc* m_p;
};

// Owns one identifier list (or none). Never copied implicitly: two objects must not own the
// same list; copies are made through CopyAll and CopyOne.
class PANOREL32_API PIDL {
public:
    static const int iMinSize = 2;    // an empty list: the terminator alone
    static const int iMaxStored = 4096;   // longest list accepted from storage
    static iMalloc csiMem;

    PIDL() : m_p(NULL) {}
    explicit PIDL(const ITEMIDLIST* list) : m_p(NULL) { CopyAll(list); }
    PIDL(const PIDL&) = delete;
    PIDL& operator=(const PIDL&) = delete;
    ~PIDL() { Free(); }

    void Attach(const ITEMIDLIST* list);   // takes ownership; frees the held list first
    ITEMIDLIST* Detach();
    int Attach(int csidl);                 // non-zero when a list is held afterwards
    bool Make();                           // allocate an empty list (held list freed)
    bool Reset() { return Make(); }
    void Free();
    void RemoveAll() { Free(); }

    static ITEMIDLIST* Alloc(UINT size);
    static void Free(ITEMIDLIST* list);
    static void Copy(void* dst, const void* src, UINT n) { CopyMemory(dst, src, n); }

    bool CopyAll(const ITEMIDLIST* list);
    bool CopyOne(const ITEMIDLIST* list);
    bool AppendAll(const ITEMIDLIST* list);
    bool AppendOne(const ITEMIDLIST* list);
    void RemoveLast();

    UINT GetSizeOne() const;
    UINT GetSizeAll() const { return GetSizeAll(m_p); }
    UINT GetSizeTotal() const { return GetSizeTotal(m_p); }
    int GetCount() const;
    bool IsEmpty() const { return !m_p || m_p->mkid.cb == 0; }
    static UINT GetSizeAll(const ITEMIDLIST* list);
    static UINT GetSizeTotal(const ITEMIDLIST* list);

    static ITEMIDLIST* GetFirst(const ITEMIDLIST* list);
    static ITEMIDLIST* GetNext(const ITEMIDLIST* item);
    ITEMIDLIST* GetLast() const;
    ITEMIDLIST* GetEnd() const;
    ITEMIDLIST* GetLpidl() const { return m_p; }
    operator ITEMIDLIST*() const { return m_p; }

    // True when both are null/0, or when the list is well formed within size bytes and its
    // total size is exactly size. Never reads past size bytes.
    static bool IsValid(const ITEMIDLIST* list, UINT size);
    // Total size of a well-formed list held in avail bytes, 0 when it is malformed or runs
    // past avail.
    static UINT GetValidSize(const void* bytes, UINT avail);

    // put != 0: write the list into buf (size only when buf is null), return its total size.
    // put == 0: read a list of 1..4096 bytes from buf (never more than avail bytes), replace
    // the held list by it and return the size read; 0 leaves the held list unchanged.
    UINT GetPut(int put, unsigned char* buf, UINT avail = iMaxStored);
    // The lists of a VmList of PIDL objects back to back. Reading: the list holds count empty
    // objects already; avail bounds the bytes read in all. Returns the bytes written or read.
    static UINT GetPutPIDLList(VmList& list, int count, int put, unsigned char* buf,
                               UINT avail = 0xFFFFFFFF);
    // Binary registry value holding the list's bytes. A missing, empty, oversized or
    // malformed value leaves the object unchanged. Always 1.
    int Persist(int store, RegKey& key, const char* name);

    void MakeRoot();
    ITEMIDLIST* GetChildOf(const ITEMIDLIST* parent) const;
    // 0 equal; -2 this is an ancestor of other; 2 other is an ancestor of this; -1/1 apart.
    int CompareAbs(const ITEMIDLIST* other) const;
    bool IsIE(HWND owner) const;

private:
    ITEMIDLIST* m_p;
};

// One special folder whose file-system paths are shown under a shell name.
struct SPEC_FOLDER_DATA {
    int csidlPath;    // folder kind whose path is matched
    int csidlName;    // folder kind whose display name replaces it
    char* path;       // with a trailing backslash; "" when the shell has none
    int pathLen;
    char* name;
};

PANOREL32_API ITEMIDLIST* AllocPIDL(unsigned short size);
PANOREL32_API ITEMIDLIST* AllocPIDL(const ITEMIDLIST* list);
PANOREL32_API void FreePIDL(ITEMIDLIST* list);
PANOREL32_API ITEMIDLIST* GetPidlOf(const char* path);
// Empty on failure, and for a path that cannot be given exactly or whole (GetExactPathOf).
// Bytes that the 8-bit form of any path the shell gives can take (3 per UTF-16 unit).
const int kMaxPathBytes = MAX_PATH * 3 + 1;
enum PathStatus { PathRefused = -1, PathNone = 0, PathExact = 1 };
// The file-system path of the list, exactly as the file system holds it. PathNone for an item
// without one; PathRefused (and an empty text) when its path exists but cannot be given
// exactly: a character the code page lacks, a "?" or "*", or a path longer than the buffer.
PANOREL32_API int GetExactPathOf(const ITEMIDLIST* list, char* buf, int size);
// The item's path or name for a message only (a lost character shows as the code page's
// default character); never hand it to the file system.
PANOREL32_API int GetNameForMessage(const ITEMIDLIST* list, char* buf, int size);
PANOREL32_API int GetPathOf(const ITEMIDLIST* list, char* buf, int size, int desktopIfEmpty = 0,
                            int resolveNetHood = 0);
PANOREL32_API int GetShellNameOf(const ITEMIDLIST* list, char* buf, int size, int full);
PANOREL32_API int GetShellPathOf(const char* path, char* buf, int size, int full);
PANOREL32_API void SimplifyShellName(char* path, int size);
PANOREL32_API const char* GetNetHoodSubFolder(const char* path);
PANOREL32_API SPEC_FOLDER_DATA* GetAnySpecialSubFolderData(const char* path);
PANOREL32_API SPEC_FOLDER_DATA* GetSPEC_FOLDER_DATA(int release);
PANOREL32_API DWORD GetAttributesOf(const ITEMIDLIST* list);
PANOREL32_API int GetSysIconIndex(const ITEMIDLIST* list, int open, int large, int linkOverlay);
PANOREL32_API HICON GetIconOf(const ITEMIDLIST* list, int open, int large, int linkOverlay,
                              int* index = NULL);
PANOREL32_API HICON GetIconOf(const char* path, int open = 0, int large = 0, int linkOverlay = 0,
                              int* index = NULL);
PANOREL32_API int RunPidl(HWND owner, const ITEMIDLIST* list);

// Path tests; "\" and "/" both separate.
PANOREL32_API bool IsDosFolder(const char* path);
PANOREL32_API bool IsRootFolder(const char* path, int network);
PANOREL32_API bool IsNetworkFolder(const char* path);
PANOREL32_API bool IsFtpFolder(const char* path);
