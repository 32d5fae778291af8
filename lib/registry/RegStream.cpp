#include "RegStream.h"
#include "AppInfo.h"
#include <shlobj.h>
#include <stdio.h>
#include <string.h>
#include <vector>

namespace {
const char* const kKindNames[] = {"CabView", "ViewView", "ViewView2"};
const char* g_folderRoot = nullptr;

const char* FolderRoot()
{
    return g_folderRoot ? g_folderRoot : sz_HKCU_WinCurVer;
}

// The stored bytes hold one whole identifier list: every item fits and a zero size ends it.
bool IsWholeIdList(const BYTE* data, size_t size)
{
    size_t at = 0;
    for (;;) {
        if (at + 2 > size)
            return false;
        USHORT cb;
        memcpy(&cb, data + at, sizeof(cb));
        if (cb == 0)
            return true;
        if (cb < 2 || at + cb > size)
            return false;
        at += cb;
    }
}

// The list's characters as stored, keeping each valid slot character once, at most MaxSlots.
void CleanMruList(char* list)
{
    char* out = list;
    for (const char* p = list; *p; ++p) {
        if (*p < 'a' || *p >= 'a' + RegStream::MaxSlots)
            continue;
        if (memchr(list, *p, out - list))
            continue;
        if (out - list >= RegStream::MaxSlots)
            break;
        *out++ = *p;
    }
    *out = 0;
}

// Reads a binary value whole; empty when missing.
std::vector<BYTE> ReadBin(RegKey& key, const char* name)
{
    std::vector<BYTE> data;
    int size = key.GetBinSize(name);
    if (size > 0 && key.GetValueType(name) == REG_BINARY) {
        data.resize(size);
        if (!key.GetBin(name, data.data(), size))
            data.clear();
    }
    return data;
}

bool SameFolder(IShellFolder* desktop, const ITEMIDLIST* a, const ITEMIDLIST* b)
{
    HRESULT hr = desktop->CompareIDs(0, a, b);
    return SUCCEEDED(hr) && (short)HRESULT_CODE(hr) == 0;
}

void DeleteAllValues(RegKey& key)
{
    char name[16384];
    // Deleting shifts the enumeration, so always take the first remaining value.
    for (int guard = 0; guard < 100000 && key.GetFirstValue(name, sizeof(name)); ++guard)
        if (!key.DelValue(name[0] ? name : nullptr))
            break;
}
}  // namespace

RegStream::RegStream()
    : m_panel(-1), m_written(false), m_stream(nullptr), m_kind(KindNone), m_slot(-1)
{
}

RegStream::~RegStream()
{
    Close();
}

const char* RegStream::KindName(int kind)
{
    return kind >= 0 && kind < (int)(sizeof(kKindNames) / sizeof(kKindNames[0]))
               ? kKindNames[kind]
               : nullptr;
}

void RegStream::SetFolderRoot(const char* path)
{
    g_folderRoot = path;
}

bool RegStream::Open(const ITEMIDLIST* folder, int kind)
{
    Close();
    if (!folder || !KindName(kind))
        return false;
    char path[1024];
    snprintf(path, sizeof(path), "%s\\Explorer\\StreamMRU", FolderRoot());
    RegKey mru(path, 1);
    if (!mru.IsOpen())
        return false;
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop)
        return false;

    char list[MaxSlots + 1 + 256];
    mru.GetStr("MRUList", list, 257);
    CleanMruList(list);
    int found = -1;
    for (const char* p = list; *p && found < 0; ++p) {
        char name[2] = {*p, 0};
        std::vector<BYTE> stored = ReadBin(mru, name);
        if (IsWholeIdList(stored.data(), stored.size()) &&
            SameFolder(desktop, reinterpret_cast<const ITEMIDLIST*>(stored.data()), folder))
            found = *p - 'a';
    }
    desktop->Release();

    size_t length = strlen(list);
    bool fresh = found < 0;
    if (fresh) {
        if (length < MaxSlots) {
            // The first free character: the list's length unless the stored list had holes.
            for (int slot = 0; slot < MaxSlots && found < 0; ++slot)
                if (!memchr(list, 'a' + slot, length))
                    found = slot;
            list[length++] = (char)('a' + found);
            list[length] = 0;
        } else {
            found = list[length - 1] - 'a';   // the least recently used one
        }
        char name[2] = {(char)('a' + found), 0};
        if (!mru.PutBin(name, folder, (int)ILGetSize(folder)))
            return false;
    }
    char* at = strchr(list, 'a' + found);
    if (at != list || fresh) {
        memmove(list + 1, list, at - list);
        list[0] = (char)('a' + found);
        mru.PutStr("MRUList", list);
    }

    m_panel = -1;
    m_kind = kind;
    m_slot = found;
    char statePath[1024];
    StateKeyPath(statePath, sizeof(statePath));
    RegKey state(statePath, fresh ? 1 : 0);
    if (fresh) {
        DeleteAllValues(state);   // whatever the slot held belongs to another folder
        RegKey none;
        return MakeStream(none);
    }
    return MakeStream(state);
}

bool RegStream::OpenFileSys(int panel, int kind)
{
    Close();
    if (!KindName(kind))
        return false;
    m_panel = panel;
    m_kind = kind;
    m_slot = -1;
    char path[1024];
    StateKeyPath(path, sizeof(path));
    RegKey state(path);
    return MakeStream(state);
}

bool RegStream::StateKeyPath(char* path, int size) const
{
    int n;
    if (m_panel == -1)
        n = snprintf(path, size, "%s\\Explorer\\Streams\\%d", FolderRoot(), m_slot);
    else
        n = snprintf(path, size, "%s\\%d", GetAppRootKey(), m_panel);
    return n > 0 && n < size;
}

bool RegStream::MakeStream(RegKey& key)
{
    if (FAILED(CreateStreamOnHGlobal(NULL, TRUE, &m_stream)) || !m_stream) {
        m_stream = nullptr;
        Close();
        return false;
    }
    std::vector<BYTE> data;
    if (key.IsOpen())
        data = ReadBin(key, KindName(m_kind));
    if (!data.empty())
        m_stream->Write(data.data(), (ULONG)data.size(), NULL);
    LARGE_INTEGER zero = {};
    m_stream->Seek(zero, STREAM_SEEK_SET, NULL);
    return true;
}

IStream* RegStream::GetStream(bool forWriting)
{
    if (!m_stream)
        return nullptr;
    LARGE_INTEGER zero = {};
    m_stream->Seek(zero, STREAM_SEEK_SET, NULL);
    m_stream->AddRef();
    if (forWriting)
        m_written = true;
    return m_stream;
}

void RegStream::Close()
{
    if (m_kind != KindNone && m_written && m_stream) {
        STATSTG stat = {};
        LARGE_INTEGER zero = {};
        if (SUCCEEDED(m_stream->Stat(&stat, STATFLAG_NONAME)) && stat.cbSize.QuadPart > 0 &&
            stat.cbSize.QuadPart < 0x7FFFFFFF &&
            SUCCEEDED(m_stream->Seek(zero, STREAM_SEEK_SET, NULL))) {
            std::vector<BYTE> data((size_t)stat.cbSize.QuadPart);
            ULONG got = 0;
            m_stream->Read(data.data(), (ULONG)data.size(), &got);
            char path[1024];
            if (got > 0 && StateKeyPath(path, sizeof(path))) {
                RegKey state(path, 1);
                state.PutBin(KindName(m_kind), data.data(), (int)got);
            }
        }
    }
    if (m_stream)
        m_stream->Release();
    m_stream = nullptr;
    m_panel = -1;
    m_kind = KindNone;
    m_slot = -1;
    m_written = false;
}
