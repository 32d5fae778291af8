#include "ShellFolder.h"
#include "Pidl.h"
#include "../util/StrUtil.h"
#include <string.h>

// iUnk

iUnk::iUnk(IUnknown* p) : m_pUnk(p)
{
    if (m_pUnk)
        m_pUnk->AddRef();
}

void iUnk::Attach(IUnknown* p)
{
    if (p == m_pUnk)
        return;
    Release();
    m_pUnk = p;
}

IUnknown* iUnk::Detach()
{
    IUnknown* p = m_pUnk;
    m_pUnk = NULL;
    return p;
}

ULONG iUnk::AddRef() { return m_pUnk ? m_pUnk->AddRef() : 0; }

ULONG iUnk::Release()
{
    if (!m_pUnk)
        return 0;
    IUnknown* p = m_pUnk;
    m_pUnk = NULL;
    return p->Release();
}

bool iUnk::QueryInterface(REFIID iid, void** out) const
{
    if (!out)
        return false;
    *out = NULL;
    return m_pUnk && SUCCEEDED(m_pUnk->QueryInterface(iid, out));
}

// iShellFolder

static const DWORD kFlagMask = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_BROWSABLE;   // 0x68000000

iShellFolder::iShellFolder()
    : m_isFolder(false), m_isFileSystem(false), m_isBrowsable(false), m_isDosFolder(false)
{
}

iShellFolder::iShellFolder(iShellFolder* parent, const ITEMIDLIST* item) : iShellFolder()
{
    if (!parent)
        BindToDesktop();
    else if (parent->Get() && item) {
        // The flags describe the item as its parent sees it; the parent's own stay as they are.
        SetFlags(parent->GetAttributesOf(item, kFlagMask));
        IShellFolder* child = NULL;
        if (SUCCEEDED(parent->Get()->BindToObject(item, NULL, IID_IShellFolder, (void**)&child)) &&
            child)
            Attach(child);
        else
            SetFlags(0);
    }
}

iShellFolder::iShellFolder(const char* path, PIDL& out) : iShellFolder()
{
    if (!BindPath(path, out)) {
        Release();
        SetFlags(0);
        out.Free();
    }
}

void iShellFolder::SetFlags(DWORD a)
{
    m_isFolder = (a & SFGAO_FOLDER) != 0;
    m_isFileSystem = (a & SFGAO_FILESYSTEM) != 0;
    m_isBrowsable = (a & SFGAO_BROWSABLE) != 0;
    m_isDosFolder = m_isFolder && m_isFileSystem && !m_isBrowsable;
}

bool iShellFolder::BindToDesktop()
{
    Release();
    SetFlags(0);
    IShellFolder* desktop = NULL;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop)
        return false;
    Attach(desktop);
    return true;
}

bool iShellFolder::BindToObject(const ITEMIDLIST* item, IShellFolder** out)
{
    if (!out)
        return false;
    *out = NULL;
    if (!Get() || !item)
        return false;
    SetFlags(GetAttributesOf(item, kFlagMask));
    return SUCCEEDED(Get()->BindToObject(item, NULL, IID_IShellFolder, (void**)out)) && *out;
}

bool iShellFolder::BindTo(const ITEMIDLIST* item)
{
    if (!Get())
        return BindToDesktop();
    IShellFolder* child = NULL;
    bool wasFolder = m_isFolder, wasFs = m_isFileSystem, wasBrowsable = m_isBrowsable;
    if (!BindToObject(item, &child)) {
        // The current folder stays, and so do its flags.
        SetFlags((wasFolder ? SFGAO_FOLDER : 0) | (wasFs ? SFGAO_FILESYSTEM : 0) |
                 (wasBrowsable ? SFGAO_BROWSABLE : 0));
        return false;
    }
    Attach(child);
    return true;
}

bool iShellFolder::BindToAbs(const ITEMIDLIST* list)
{
    if (!BindToDesktop())
        return false;
    if (!list)
        return true;
    for (const ITEMIDLIST* p = list; p->mkid.cb; p = PIDL::GetNext(p)) {
        ITEMIDLIST* one = AllocPIDL((unsigned short)(p->mkid.cb + 2));
        if (!one) {
            Release();
            return false;
        }
        CopyMemory(one, p, p->mkid.cb);
        ((ITEMIDLIST*)((BYTE*)one + p->mkid.cb))->mkid.cb = 0;
        bool ok = BindTo(one);
        FreePIDL(one);
        if (!ok) {
            Release();
            SetFlags(0);
            return false;
        }
    }
    return IsReady();
}

bool iShellFolder::EnumObjects(HWND owner, DWORD flags, IEnumIDList** out)
{
    if (!out)
        return false;
    *out = NULL;
    // A folder may answer S_FALSE with no enumerator (nothing to list).
    return Get() && SUCCEEDED(Get()->EnumObjects(owner, flags, out)) && *out;
}

bool iShellFolder::CreateShellViewObject(HWND owner, IShellView** out)
{
    if (!out)
        return false;
    *out = NULL;
    return Get() && SUCCEEDED(Get()->CreateViewObject(owner, IID_IShellView, (void**)out)) && *out;
}

DWORD iShellFolder::GetAttributesOf(const ITEMIDLIST* item, DWORD mask)
{
    if (!Get() || !item)
        return 0;
    SFGAOF a = mask;
    PCUITEMID_CHILD items[1] = {item};
    return SUCCEEDED(Get()->GetAttributesOf(1, items, &a)) ? a : 0;
}

bool iShellFolder::GetUIObjectOf(HWND owner, UINT count, const ITEMIDLIST** items, REFIID iid,
                                 void** out)
{
    if (!out)
        return false;
    *out = NULL;
    if (!Get() || !count || !items)
        return false;
    return SUCCEEDED(Get()->GetUIObjectOf(owner, count, items, iid, NULL, out)) && *out;
}

bool iShellFolder::GetItemObj(HWND owner, const ITEMIDLIST* item, REFIID iid, void** out)
{
    const ITEMIDLIST* items[1] = {item};
    return item && GetUIObjectOf(owner, 1, items, iid, out);
}

bool iShellFolder::GetDisplayNameOf(const ITEMIDLIST* item, DWORD flags, char* buf, int size)
{
    if (!buf || size <= 0)
        return false;
    buf[0] = 0;
    if (!Get() || !item)
        return false;
    STRRET sr;
    ZeroMemory(&sr, sizeof(sr));
    if (FAILED(Get()->GetDisplayNameOf(item, flags, &sr)))
        return false;
    switch (sr.uType) {
    case STRRET_WSTR: {
        if (!sr.pOleStr)
            return false;
        // A name the code page cannot hold, or one cut to the buffer, would name another
        // object: none is given.
        bool exact = WideToAnsiExact(sr.pOleStr, -1, buf, size);
        CoTaskMemFree(sr.pOleStr);
        return exact;
    }
    case STRRET_OFFSET: {
        // The text lies inside the item; never read past the item's own bytes.
        UINT cb = item->mkid.cb;
        if (sr.uOffset < cb) {
            const char* src = (const char*)item + sr.uOffset;
            int avail = (int)(cb - sr.uOffset);
            int n = 0;
            while (n < avail && src[n])
                ++n;
            if (n > size - 1)
                return false;   // a cut name would name another object
            int k = n;
            memcpy(buf, src, k);
            buf[k] = 0;
        }
        break;
    }
    case STRRET_CSTR:
        sr.cStr[sizeof(sr.cStr) - 1] = 0;
        StrCopyN(buf, sr.cStr, size);
        break;
    default:
        return false;
    }
    return true;
}

ITEMIDLIST* iShellFolder::ParseDisplayName(const char* name, unsigned long* attributes)
{
    if (!Get() || !name || !*name)
        return NULL;
    WCHAR wide[MAX_PATH + 1];
    if (!AnsiToWideExact(name, -1, wide, MAX_PATH + 1))
        return NULL;   // invalid, or longer than the buffer: a cut path would name another object
    ITEMIDLIST* list = NULL;
    ULONG eaten = 0;
    if (FAILED(Get()->ParseDisplayName(NULL, NULL, wide, &eaten, &list, attributes)))
        return NULL;
    return list;
}

bool iShellFolder::GetDataFromIDList(const ITEMIDLIST* item, int format, void* buffer, int size)
{
    return Get() && item && buffer && size > 0 &&
           SUCCEEDED(SHGetDataFromIDListA(Get(), item, format, buffer, size));
}

bool iShellFolder::Compare(const ITEMIDLIST* a, const ITEMIDLIST* b, int flag, int& result,
                           long lParam)
{
    if (!Get() || !a || !b)
        return false;
    char na[MAX_PATH], nb[MAX_PATH];
    DWORD f = flag ? SHGDN_NORMAL : SHGDN_INFOLDER;
    GetDisplayNameOf(a, f, na, MAX_PATH);
    GetDisplayNameOf(b, f, nb, MAX_PATH);
    if (na[0] && nb[0] && lstrcmpiA(na, nb) == 0) {
        result = 0;
        return true;
    }
    HRESULT hr = Get()->CompareIDs(lParam, a, b);
    if (FAILED(hr))
        return false;
    result = (short)(hr & 0xFFFF);
    return true;
}

// Path binding: starts at My Computer (or the network neighbourhood for a path that begins with
// a separator) and walks one component at a time, so every level is a folder we hold.
bool iShellFolder::BindPath(const char* path, PIDL& out)
{
    out.Free();
    Release();
    SetFlags(0);
    if (!path || !*path)
        return false;
    char buf[MAX_PATH];
    if (!StrCopyN(buf, path, MAX_PATH))
        return false;
    for (char* p = buf; *p; p = NextChar(p))
        if (*p == '/')
            *p = '\\';
    bool network = buf[0] == '\\';
    if (network && buf[1] != '\\')
        return false;
    ITEMIDLIST* start = NULL;
    if (FAILED(SHGetSpecialFolderLocation(NULL, network ? CSIDL_NETWORK : CSIDL_DRIVES, &start)) ||
        !start)
        return false;
    out.Attach(start);
    if (!BindToAbs(out.GetLpidl()))
        return false;
    // Components: for a network path the first is "\\server", for a drive path "X:\".
    char* p = buf;
    bool first = true;
    while (*p) {
        char* end = p;
        if (first && network)
            end += 2;
        while (*end && *end != '\\')
            end = NextChar(end);
        char save = *end;
        char name[MAX_PATH];
        int len = (int)(end - p);
        if (len <= 0) {   // a doubled separator
            p = save ? end + 1 : end;
            continue;
        }
        memcpy(name, p, len);
        name[len] = 0;
        if (first && !network) {
            if (len + 1 >= MAX_PATH)
                return false;
            name[len] = '\\';   // a drive parses with its root separator
            name[len + 1] = 0;
        }
        ITEMIDLIST* parsed = ParseDisplayName(name, NULL);
        if (!parsed)
            return false;
        ITEMIDLIST* one = AllocPIDL((unsigned short)(parsed->mkid.cb + 2));
        bool ok = one != NULL && parsed->mkid.cb != 0;
        if (ok) {
            CopyMemory(one, parsed, parsed->mkid.cb);
            ((ITEMIDLIST*)((BYTE*)one + parsed->mkid.cb))->mkid.cb = 0;
            ok = BindTo(one) && out.AppendOne(one);
        }
        FreePIDL(one);
        FreePIDL(parsed);
        if (!ok)
            return false;
        first = false;
        p = save ? end + 1 : end;
    }
    return IsReady();
}

// iEnumIDList

iEnumIDList::iEnumIDList(iShellFolder& folder, HWND owner, DWORD flags)
{
    IEnumIDList* e = NULL;
    if (folder.EnumObjects(owner, flags, &e))
        Attach(e);
}

ITEMIDLIST* iEnumIDList::Next()
{
    ITEMIDLIST* item = NULL;
    return Next(1, &item) == 1 ? item : NULL;
}

ULONG iEnumIDList::Next(ULONG count, ITEMIDLIST** out)
{
    if (!Get() || !out || !count)
        return 0;
    ULONG fetched = 0;
    HRESULT hr = Get()->Next(count, out, &fetched);
    if (FAILED(hr))
        return 0;
    // Some enumerators leave fetched alone when asked for one item.
    if (count == 1 && hr == S_OK && fetched == 0 && out[0])
        fetched = 1;
    return fetched;
}

bool iEnumIDList::Reset() { return Get() && SUCCEEDED(Get()->Reset()); }
