#include "Pidl.h"
#include <string.h>
#include "ShellFolder.h"
#include "../registry/RegKey.h"
#include "../util/StrUtil.h"
#include "../util/PathUtil.h"
#include "../util/VmList.h"
#include <shlwapi.h>

// The shell folder that holds the last item of list, through the shell's own parent binding.
static bool BindParent(const ITEMIDLIST* list, iShellFolder& parent, LPCITEMIDLIST* last)
{
    IShellFolder* raw = NULL;
    if (FAILED(SHBindToParent(list, IID_IShellFolder, (void**)&raw, last)) || !raw)
        return false;
    parent.Attach(raw);
    return true;
}

// ---------------------------------------------------------------------------------------------
// iMalloc

// Obtained on first use rather than while the library loads (no COM calls under the loader lock).
iMalloc::iMalloc() : m_p(NULL) {}

iMalloc::~iMalloc()
{
    if (m_p)
        m_p->Release();
}

IMalloc* iMalloc::Get()
{
    if (!m_p)
        SHGetMalloc(&m_p);
    return m_p;
}

void* iMalloc::Alloc(SIZE_T size)
{
    IMalloc* m = Get();
    return m ? m->Alloc(size) : NULL;
}

void* iMalloc::Realloc(void* p, SIZE_T size)
{
    IMalloc* m = Get();
    return m ? m->Realloc(p, size) : NULL;
}

void iMalloc::Free(void* p)
{
    IMalloc* m = Get();
    if (p && m)
        m->Free(p);
}

void iMalloc::HeapMinimize()
{
    if (IMalloc* m = Get())
        m->HeapMinimize();
}

// ---------------------------------------------------------------------------------------------
// PIDL: allocation and copying

iMalloc PIDL::csiMem;

ITEMIDLIST* PIDL::Alloc(UINT size) { return (ITEMIDLIST*)csiMem.Alloc(size); }

void PIDL::Free(ITEMIDLIST* list) { csiMem.Free(list); }

void PIDL::Free()
{
    Free(m_p);
    m_p = NULL;
}

void PIDL::Attach(const ITEMIDLIST* list)
{
    if (list == m_p)
        return;
    Free();
    m_p = (ITEMIDLIST*)list;
}

ITEMIDLIST* PIDL::Detach()
{
    ITEMIDLIST* p = m_p;
    m_p = NULL;
    return p;
}

int PIDL::Attach(int csidl)
{
    Free();
    ITEMIDLIST* list = NULL;
    if (SUCCEEDED(SHGetSpecialFolderLocation(NULL, csidl, &list)))
        m_p = list;
    return m_p != NULL;
}

bool PIDL::Make()
{
    Free();
    m_p = Alloc(iMinSize);
    if (m_p)
        m_p->mkid.cb = 0;
    return m_p != NULL;
}

bool PIDL::CopyAll(const ITEMIDLIST* list)
{
    // Copy first: list may lie inside the held one.
    UINT size = GetSizeAll(list);
    ITEMIDLIST* p = Alloc(size + iMinSize);
    if (p) {
        if (size)
            Copy(p, list, size);
        ((ITEMIDLIST*)((BYTE*)p + size))->mkid.cb = 0;
    }
    Free();
    m_p = p;
    return p != NULL;
}

bool PIDL::CopyOne(const ITEMIDLIST* list)
{
    UINT size = list ? list->mkid.cb : 0;
    ITEMIDLIST* p = Alloc(size + iMinSize);
    if (p) {
        if (size)
            Copy(p, list, size);
        ((ITEMIDLIST*)((BYTE*)p + size))->mkid.cb = 0;
    }
    Free();
    m_p = p;
    return p != NULL;
}

static bool AppendBytes(ITEMIDLIST*& held, const ITEMIDLIST* list, UINT add)
{
    UINT have = PIDL::GetSizeAll(held);
    // Keep the source safe when it lies inside the held list, which Realloc may move.
    BYTE temp[1024];
    BYTE* src = (BYTE*)list;
    BYTE* heap = NULL;
    if (add && held && (BYTE*)list >= (BYTE*)held && (BYTE*)list < (BYTE*)held + have + 2) {
        if (add > sizeof(temp))
            heap = (BYTE*)LocalAlloc(LMEM_FIXED, add);
        src = add > sizeof(temp) ? heap : temp;
        if (!src)
            return false;
        CopyMemory(src, list, add);
    }
    ITEMIDLIST* p = (ITEMIDLIST*)PIDL::csiMem.Realloc(held, have + add + PIDL::iMinSize);
    if (p) {
        if (add)
            CopyMemory((BYTE*)p + have, src, add);
        ((ITEMIDLIST*)((BYTE*)p + have + add))->mkid.cb = 0;
        held = p;
    }
    if (heap)
        LocalFree(heap);
    return p != NULL;
}

bool PIDL::AppendAll(const ITEMIDLIST* list)
{
    if (!m_p)
        return CopyAll(list);
    return AppendBytes(m_p, list, GetSizeAll(list));
}

bool PIDL::AppendOne(const ITEMIDLIST* list)
{
    if (!m_p)
        return CopyOne(list);
    return AppendBytes(m_p, list, list ? list->mkid.cb : 0);
}

void PIDL::RemoveLast()
{
    if (ITEMIDLIST* last = GetLast())
        last->mkid.cb = 0;
}

// ---------------------------------------------------------------------------------------------
// PIDL: sizes and walking

UINT PIDL::GetSizeOne() const { return m_p ? m_p->mkid.cb : 0; }

UINT PIDL::GetSizeAll(const ITEMIDLIST* list)
{
    UINT size = 0;
    if (list)
        for (const BYTE* p = (const BYTE*)list; ((const ITEMIDLIST*)p)->mkid.cb;
             p += ((const ITEMIDLIST*)p)->mkid.cb)
            size += ((const ITEMIDLIST*)p)->mkid.cb;
    return size;
}

UINT PIDL::GetSizeTotal(const ITEMIDLIST* list) { return list ? GetSizeAll(list) + iMinSize : 0; }

int PIDL::GetCount() const
{
    int n = 0;
    for (ITEMIDLIST* p = GetFirst(m_p); p && p->mkid.cb; p = GetNext(p))
        n++;
    return n;
}

ITEMIDLIST* PIDL::GetFirst(const ITEMIDLIST* list)
{
    return list && list->mkid.cb ? (ITEMIDLIST*)list : NULL;
}

ITEMIDLIST* PIDL::GetNext(const ITEMIDLIST* item)
{
    if (!item || !item->mkid.cb)
        return NULL;
    return (ITEMIDLIST*)((const BYTE*)item + item->mkid.cb);
}

ITEMIDLIST* PIDL::GetLast() const
{
    ITEMIDLIST* last = NULL;
    for (ITEMIDLIST* p = GetFirst(m_p); p && p->mkid.cb; p = GetNext(p))
        last = p;
    return last;
}

ITEMIDLIST* PIDL::GetEnd() const
{
    return m_p ? (ITEMIDLIST*)((BYTE*)m_p + GetSizeAll(m_p)) : NULL;
}

UINT PIDL::GetValidSize(const void* bytes, UINT avail)
{
    if (!bytes)
        return 0;
    const BYTE* p = (const BYTE*)bytes;
    UINT pos = 0;
    for (;;) {
        if (avail < 2 || pos > avail - 2)
            return 0;   // the size field itself would run past the end
        UINT cb = p[pos] | (p[pos + 1] << 8);
        if (cb == 0)
            return pos + 2;
        if (cb < 2 || cb > avail - pos)
            return 0;   // an item that overlaps its own size field or runs past the end
        pos += cb;
    }
}

bool PIDL::IsValid(const ITEMIDLIST* list, UINT size)
{
    if (!list || !size)
        return !list && !size;
    return GetValidSize(list, size) == size;
}

// ---------------------------------------------------------------------------------------------
// PIDL: storage

UINT PIDL::GetPut(int put, unsigned char* buf, UINT avail)
{
    if (put) {
        UINT size = GetSizeTotal();
        if (buf && size)
            Copy(buf, m_p, size);
        return size;
    }
    if (!buf)
        return 0;
    UINT size = GetValidSize(buf, avail < (UINT)iMaxStored ? avail : (UINT)iMaxStored);
    if (!size || !CopyAll((const ITEMIDLIST*)buf))
        return 0;
    return size;
}

int PIDL::Persist(int store, RegKey& key, const char* name)
{
    if (store) {
        if (m_p)
            key.PutBin(name, m_p, (int)GetSizeTotal());
        else
            key.DelValue(name);
        return 1;
    }
    int size = key.GetBinSize(name);
    if (size <= 0 || size > iMaxStored)
        return 1;
    BYTE buf[iMaxStored];
    if (key.GetBin(name, buf, sizeof(buf)) && GetValidSize(buf, (UINT)size) == (UINT)size)
        CopyAll((const ITEMIDLIST*)buf);
    return 1;
}

UINT PIDL::GetPutPIDLList(VmList& list, int count, int put, unsigned char* buf, UINT avail)
{
    UINT total = 0;
    int done = 0;
    for (POS pos = list.GetHeadPos(); pos && (put || done < count);) {
        PIDL* pidl = (PIDL*)list.GetNext(pos);
        if (!pidl)
            continue;
        if (put) {
            total += pidl->GetPut(1, buf ? buf + total : NULL);
            continue;
        }
        if (!buf || total >= avail)
            break;
        UINT left = avail - total;
        UINT read = pidl->GetPut(0, buf + total, left < (UINT)iMaxStored ? left : iMaxStored);
        if (!read)
            break;   // a malformed entry: what follows it cannot be found
        total += read;
        done++;
    }
    return total;
}

// ---------------------------------------------------------------------------------------------
// PIDL: comparison

// Walks this list and other level by level from the Desktop. Returns the comparison result;
// pos receives the position in this list where other ended (null when it did not end first).
static int WalkCompare(const ITEMIDLIST* self, const ITEMIDLIST* other, const ITEMIDLIST** pos,
                       bool* failed)
{
    *pos = NULL;
    *failed = false;
    iShellFolder folder;
    if (!folder.BindToDesktop()) {
        *failed = true;
        return 0;
    }
    const ITEMIDLIST* a = self;
    const ITEMIDLIST* b = other;
    for (;;) {
        if (!a->mkid.cb && !b->mkid.cb)
            return 0;
        if (!a->mkid.cb)
            return -2;
        if (!b->mkid.cb) {
            *pos = a;
            return 2;
        }
        ITEMIDLIST* itemA = AllocPIDL(a);
        ITEMIDLIST* itemB = AllocPIDL(b);
        int r = 0;
        bool ok = itemA && itemB && folder.Compare(itemA, itemB, 0, r);
        bool bound = ok && r == 0 && folder.BindTo(itemA);
        FreePIDL(itemA);
        FreePIDL(itemB);
        if (!ok) {
            *failed = true;
            return 0;
        }
        if (r != 0)
            return r < 0 ? -1 : 1;
        a = PIDL::GetNext(a);
        b = PIDL::GetNext(b);
        if (!bound) {
            // An item the shell cannot open as a folder: what follows it can only be told
            // apart by its bytes.
            UINT sa = PIDL::GetSizeAll(a), sb = PIDL::GetSizeAll(b);
            if (!sa || !sb) {
                if (sa)
                    *pos = a;
                return sa ? 2 : sb ? -2 : 0;
            }
            int c = memcmp(a, b, sa < sb ? sa : sb);
            return c < 0 ? -1 : c > 0 ? 1 : sa == sb ? 0 : sa < sb ? -1 : 1;
        }
    }
}

int PIDL::CompareAbs(const ITEMIDLIST* other) const
{
    if (!m_p)
        return other ? -2 : 0;
    if (!other)
        return 2;
    const ITEMIDLIST* pos;
    bool failed;
    return WalkCompare(m_p, other, &pos, &failed);
}

ITEMIDLIST* PIDL::GetChildOf(const ITEMIDLIST* parent) const
{
    if (!m_p || !parent)
        return NULL;
    const ITEMIDLIST* pos;
    bool failed;
    int r = WalkCompare(m_p, parent, &pos, &failed);
    return !failed && r == 2 ? (ITEMIDLIST*)pos : NULL;
}

bool PIDL::IsIE(HWND owner) const
{
    ITEMIDLIST* ie = NULL;
    if (!m_p || FAILED(SHGetSpecialFolderLocation(owner, CSIDL_INTERNET, &ie)) || !ie)
        return false;
    bool same = CompareAbs(ie) == 0;
    FreePIDL(ie);
    return same;
}

void PIDL::MakeRoot()
{
    if (!m_p || IsEmpty())
        return;
    char path[MAX_PATH];
    GetPathOf(m_p, path, sizeof(path));
    if (!path[0] || IsRootFolder(path, 1)) {
        m_p->mkid.cb = 0;
        return;
    }
    while (!IsEmpty()) {
        RemoveLast();
        GetPathOf(m_p, path, sizeof(path));
        if (IsRootFolder(path, 1))
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// Free functions

ITEMIDLIST* AllocPIDL(unsigned short size)
{
    ITEMIDLIST* p = PIDL::Alloc(size);
    if (p)
        ZeroMemory(p, size);
    return p;
}

ITEMIDLIST* AllocPIDL(const ITEMIDLIST* list)
{
    if (!list)
        return NULL;
    UINT cb = list->mkid.cb;
    ITEMIDLIST* p = PIDL::Alloc(cb + PIDL::iMinSize);
    if (p) {
        CopyMemory(p, list, cb);
        ((ITEMIDLIST*)((BYTE*)p + cb))->mkid.cb = 0;
    }
    return p;
}

void FreePIDL(ITEMIDLIST* list) { PIDL::Free(list); }

ITEMIDLIST* GetPidlOf(const char* path)
{
    if (!path)
        return NULL;
    WCHAR wide[MAX_PATH];
    if (!AnsiToWideExact(path, -1, wide, MAX_PATH))
        return NULL;   // invalid text, or longer than any path the shell takes
    iShellFolder desktop;
    if (!desktop.BindToDesktop())
        return NULL;
    ITEMIDLIST* list = NULL;
    ULONG eaten = 0;
    if (FAILED(desktop.Get()->ParseDisplayName(NULL, NULL, wide, &eaten, &list, NULL)))
        list = NULL;
    return list;
}

// Target of a shortcut file (or of a folder shortcut's "target.lnk").
static bool LinkTarget(const char* path, char* out)
{
    IShellLinkA* link = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&link)))
        return false;
    bool ok = false;
    IPersistFile* file = NULL;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
        char name[MAX_PATH + 16];
        StrCopyN(name, path, MAX_PATH);
        DWORD attr = GetFileAttributesA(name);
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY))
            lstrcatA(name, "\\target.lnk");
        WCHAR wide[MAX_PATH + 16];
        if (MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH + 16) &&
            SUCCEEDED(file->Load(wide, STGM_READ))) {
            char target[MAX_PATH] = "";
            if (SUCCEEDED(link->GetPath(target, MAX_PATH, NULL, 0)) && target[0]) {
                lstrcpyA(out, target);
                ok = true;
            }
        }
        file->Release();
    }
    link->Release();
    return ok;
}

int GetExactPathOf(const ITEMIDLIST* list, char* buf, int size)
{
    if (!buf || size <= 0)
        return PathNone;
    buf[0] = 0;
    if (!list)
        return PathNone;
    // The wide form is the file system's own; the 8-bit one must say the same, whole.
    WCHAR wide[MAX_PATH] = L"";
    if (!SHGetPathFromIDListW(list, wide) || !wide[0])
        return PathNone;
    // Wine answers some virtual folders with their "::{CLSID}" parsing name: not a path.
    if (wide[0] == L':' && wide[1] == L':')
        return PathNone;
    if (!WideToAnsiExact(wide, -1, buf, size) || HasWildcard(buf)) {
        buf[0] = 0;
        return PathRefused;
    }
    return PathExact;
}

int GetPathOf(const ITEMIDLIST* list, char* buf, int size, int desktopIfEmpty, int resolveNetHood)
{
    if (!buf || size <= 0)
        return 0;
    buf[0] = 0;
    if (!list)
        return 0;
    char path[kMaxPathBytes] = "";
    ITEMIDLIST* desk = NULL;
    if (!list->mkid.cb) {
        if (!desktopIfEmpty ||
            FAILED(SHGetSpecialFolderLocation(NULL, CSIDL_DESKTOPDIRECTORY, &desk)) || !desk)
            return 0;
        list = desk;
    }
    GetExactPathOf(list, path, sizeof(path));
    if (path[0] && resolveNetHood && GetNetHoodSubFolder(path) &&
        (GetAttributesOf(list) & SFGAO_LINK)) {
        char target[MAX_PATH];
        if (LinkTarget(path, target))
            lstrcpyA(path, target);
    }
    FreePIDL(desk);
    // A path cut to the buffer would name another object: none is given.
    if ((int)strlen(path) >= size)
        return 0;
    lstrcpyA(buf, path);
    return buf[0] != 0;
}

int GetNameForMessage(const ITEMIDLIST* list, char* buf, int size)
{
    if (!buf || size <= 0)
        return 0;
    buf[0] = 0;
    WCHAR wide[MAX_PATH] = L"";
    if (!list || !SHGetPathFromIDListW(list, wide) || !wide[0]) {
        SHFILEINFOW info;
        ZeroMemory(&info, sizeof(info));
        if (!list || !SHGetFileInfoW((LPCWSTR)list, 0, &info, sizeof(info),
                                     SHGFI_PIDL | SHGFI_DISPLAYNAME))
            return 0;
        lstrcpynW(wide, info.szDisplayName, MAX_PATH);
    }
    // Only shown: the code page's nearest form will do, cut at a whole character.
    char* text = static_cast<char*>(malloc(kMaxPathBytes));
    if (!text)
        return 0;
    int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, text, kMaxPathBytes, NULL, NULL);
    text[n > 0 ? n - 1 : 0] = 0;
    StrCopyN(buf, text, size);
    free(text);
    return buf[0] != 0;
}

int GetShellNameOf(const ITEMIDLIST* list, char* buf, int size, int full)
{
    if (!buf || size <= 0)
        return 0;
    buf[0] = 0;
    if (!list)
        return 0;
    if (!list->mkid.cb) {
        iShellFolder desktop;
        if (desktop.BindToDesktop())
            desktop.GetDisplayNameOf(list, SHGDN_NORMAL, buf, size);
        return buf[0] != 0;
    }
    if (!full) {
        iShellFolder parent;
        LPCITEMIDLIST last = NULL;
        if (BindParent(list, parent, &last))
            parent.GetDisplayNameOf(last, SHGDN_INFOLDER, buf, size);
        return buf[0] != 0;
    }
    if (GetPathOf(list, buf, size))
        return 1;

    // No path of its own: a virtual item is named below its nearest file-system ancestor.
    PIDL work(list);
    char suffix[MAX_PATH * 2] = "";
    while (work.GetCount() > 0) {
        iShellFolder parent;
        LPCITEMIDLIST last = NULL;
        char name[MAX_PATH + 2] = "";
        if (BindParent(work, parent, &last))
            parent.GetDisplayNameOf(last, SHGDN_INFOLDER, name, MAX_PATH + 2);
        char joined[MAX_PATH * 2];
        StrCopyN(joined, name, sizeof(joined));
        if (suffix[0]) {
            int n = lstrlenA(joined);
            StrCopyN(joined + n, "/", sizeof(joined) - n);
            n = lstrlenA(joined);
            StrCopyN(joined + n, suffix, sizeof(joined) - n);
        }
        lstrcpyA(suffix, joined);
        work.RemoveLast();
        char path[MAX_PATH];
        if (work.GetCount() > 0 && GetPathOf(work, path, sizeof(path))) {
            StrCopyN(buf, path, size);
            int n = lstrlenA(buf);
            StrCopyN(buf + n, "/", size - n);
            n = lstrlenA(buf);
            StrCopyN(buf + n, suffix, size - n);
            return 1;
        }
    }
    return 0;
}

int GetShellPathOf(const char* path, char* buf, int size, int full)
{
    if (buf && size > 0)
        buf[0] = 0;
    ITEMIDLIST* list = GetPidlOf(path);
    if (!list)
        return 0;
    int r = GetShellNameOf(list, buf, size, full);
    FreePIDL(list);
    return r;
}

static const int kSpecFolderCount = 3;

SPEC_FOLDER_DATA* GetSPEC_FOLDER_DATA(int release)
{
    static SPEC_FOLDER_DATA table[kSpecFolderCount];
    static bool built;
    if (release) {
        for (SPEC_FOLDER_DATA& e : table) {
            delete[] e.path;
            delete[] e.name;
            e.path = e.name = NULL;
            e.pathLen = 0;
        }
        built = false;
        return NULL;
    }
    if (built)
        return table;
    static const int kinds[kSpecFolderCount][2] = {
        {CSIDL_DESKTOPDIRECTORY, CSIDL_DESKTOP},
        {CSIDL_NETHOOD, CSIDL_NETWORK},
        {CSIDL_PERSONAL, CSIDL_PERSONAL},
    };
    for (int i = 0; i < kSpecFolderCount; i++) {
        SPEC_FOLDER_DATA& e = table[i];
        e.csidlPath = kinds[i][0];
        e.csidlName = kinds[i][1];
        char path[MAX_PATH + 1] = "";
        PIDL list;
        if (list.Attach(e.csidlPath))
            GetPathOf(list, path, MAX_PATH);
        int n = lstrlenA(path);
        if (n && !IsSep(path[n - 1]) && n + 1 < (int)sizeof(path)) {
            path[n++] = '\\';
            path[n] = 0;
        }
        char name[MAX_PATH] = "";
        if (list.Attach(e.csidlName))
            GetShellNameOf(list, name, sizeof(name), 0);
        e.path = new char[n + 1];
        lstrcpyA(e.path, path);
        e.pathLen = n;
        e.name = new char[lstrlenA(name) + 1];
        lstrcpyA(e.name, name);
    }
    built = true;
    return table;
}

// True when path begins with the folder prefix (which ends with a separator).
static bool InFolder(const char* path, const SPEC_FOLDER_DATA& e)
{
    if (!path || e.pathLen <= 0 || lstrlenA(path) < e.pathLen)
        return false;
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, path, e.pathLen, e.path,
                          e.pathLen) == CSTR_EQUAL;
}

SPEC_FOLDER_DATA* GetAnySpecialSubFolderData(const char* path)
{
    if (!path)
        return NULL;
    SPEC_FOLDER_DATA* table = GetSPEC_FOLDER_DATA(0);
    for (int i = 0; i < kSpecFolderCount; i++)
        if (InFolder(path, table[i]))
            return &table[i];
    return NULL;
}

const char* GetNetHoodSubFolder(const char* path)
{
    SPEC_FOLDER_DATA* table = GetSPEC_FOLDER_DATA(0);
    return InFolder(path, table[1]) ? path + table[1].pathLen : NULL;
}

void SimplifyShellName(char* path, int size)
{
    if (!path || size <= 0)
        return;
    SPEC_FOLDER_DATA* e = GetAnySpecialSubFolderData(path);
    if (!e || !e->name[0])
        return;
    char out[MAX_PATH * 2];
    StrCopyN(out, e->name, sizeof(out));
    int n = lstrlenA(out);
    StrCopyN(out + n, "\\", sizeof(out) - n);
    n = lstrlenA(out);
    StrCopyN(out + n, path + e->pathLen, sizeof(out) - n);
    StrCopyN(path, out, size);
}

DWORD GetAttributesOf(const ITEMIDLIST* list)
{
    if (!list)
        return 0;
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof(info));
    if (!SHGetFileInfoA((LPCSTR)list, 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_ATTRIBUTES))
        return 0;
    return info.dwAttributes;
}

static UINT IconFlags(int open, int large, int linkOverlay)
{
    return (open ? SHGFI_OPENICON : 0) | (large ? SHGFI_LARGEICON : SHGFI_SMALLICON) |
           (linkOverlay ? SHGFI_LINKOVERLAY : 0);
}

int GetSysIconIndex(const ITEMIDLIST* list, int open, int large, int linkOverlay)
{
    if (!list)
        return -1;
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof(info));
    if (!SHGetFileInfoA((LPCSTR)list, 0, &info, sizeof(info),
                        SHGFI_PIDL | SHGFI_SYSICONINDEX | IconFlags(open, large, linkOverlay)))
        return -1;
    return info.iIcon;
}

static HICON IconOf(LPCSTR what, UINT extra, int open, int large, int linkOverlay, int* index)
{
    if (index)
        *index = -1;
    if (!what)
        return NULL;
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof(info));
    UINT flags = extra | SHGFI_ICON | SHGFI_SHELLICONSIZE | IconFlags(open, large, linkOverlay) |
                 (index ? SHGFI_SYSICONINDEX : 0);
    if (!SHGetFileInfoA(what, 0, &info, sizeof(info), flags))
        return NULL;
    if (index)
        *index = info.iIcon;
    return info.hIcon;
}

HICON GetIconOf(const ITEMIDLIST* list, int open, int large, int linkOverlay, int* index)
{
    return IconOf((LPCSTR)list, SHGFI_PIDL, open, large, linkOverlay, index);
}

HICON GetIconOf(const char* path, int open, int large, int linkOverlay, int* index)
{
    return IconOf(path, 0, open, large, linkOverlay, index);
}

int RunPidl(HWND owner, const ITEMIDLIST* list)
{
    if (!list)
        return 0;
    SHELLEXECUTEINFOA sei;
    ZeroMemory(&sei, sizeof(sei));
    sei.cbSize = sizeof(sei);
    sei.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS;
    sei.hwnd = owner;
    sei.lpIDList = (void*)list;
    sei.nShow = SW_SHOW;
    if (!ShellExecuteExA(&sei))
        return 0;
    if (sei.hProcess)
        CloseHandle(sei.hProcess);   // nobody waits for it here
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Path tests

bool IsDosFolder(const char* path)
{
    if (!path)
        return false;
    char c = path[0];
    return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path[1] == ':' &&
           IsSep(path[2]);
}

bool IsRootFolder(const char* path, int network)
{
    if (!path)
        return false;
    if (lstrlenA(path) == 3 && IsDosFolder(path))
        return true;
    if (!network || !IsSep(path[0]) || !IsSep(path[1]) || !path[2] || IsSep(path[2]))
        return false;
    for (const char* p = path + 2; *p; p++) {
        if (IsLead((BYTE)*p) && p[1]) {
            p++;
            continue;
        }
        if (IsSep(*p))
            return false;
    }
    return true;
}

bool IsNetworkFolder(const char* path)
{
    return path && path[0] == '\\' && path[1] == '\\' && path[2];
}

bool IsFtpFolder(const char* path)
{
    static int available = -1;
    if (available < 0) {
        available = 0;
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeA("msieftp.dll", &handle);
        if (size) {
            BYTE* data = new BYTE[size];
            VS_FIXEDFILEINFO* info = NULL;
            UINT len = 0;
            if (GetFileVersionInfoA("msieftp.dll", 0, size, data) &&
                VerQueryValueA(data, "\\", (void**)&info, &len) && info && len >= sizeof(*info))
                available = (info->dwFileVersionMS | info->dwFileVersionLS) != 0;
            delete[] data;
        }
    }
    if (!available)
        return false;
    return !path || CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, path,
                                   lstrlenA(path) < 6 ? -1 : 6, "ftp://", 6) == CSTR_EQUAL;
}
