#include "commands/FolderIndex.h"
#include "files/FileEnum.h"

// Upper case UTF-16, as the file system compares names.
bool FolderIndex::KeyOf(const char* name, std::wstring& key)
{
    // Most names are plain ASCII, which every ANSI code page maps to the same code points and
    // whose only case pairs are a-z: the two system calls a name would cost otherwise are most
    // of a folder's reading time.
    size_t n = 0;
    while (name[n] && !(name[n] & 0x80))
        ++n;
    if (!name[n]) {
        key.resize(n);
        for (size_t i = 0; i < n; ++i) {
            char c = name[i];
            key[i] = static_cast<wchar_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        }
        return true;
    }
    int wide = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, NULL, 0);
    if (wide <= 0)
        return false;
    key.resize(wide);
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, &key[0], wide);
    key.resize(wide - 1);
    if (!key.empty())
        CharUpperBuffW(&key[0], (DWORD)key.size());
    return true;
}

bool FolderIndex::Load(const char* folder)
{
    m_entries.clear();
    m_keys.clear();
    m_byName.clear();
    m_fs = FileEnum::FsUnknown;
    // What is not a folder has no entries: its path is not taken for a pattern.
    FileEnum entry(FileEnum::NoShortNames | FileEnum::KnownFolder);
    bool more = entry.Start(folder);
    if (!more)
        return false;
    m_fs = entry.GetFileSystem();
    for (; more; more = entry.Next())
        m_entries.push_back(entry.Data());
    // Every key is made before the first view of one is taken: the vector must not move them.
    m_keys.resize(m_entries.size());
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (!KeyOf(m_entries[i].cFileName, m_keys[i]))
            m_keys[i].clear();
    }
    m_byName.reserve(m_entries.size());
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (!m_keys[i].empty())
            m_byName.emplace(std::wstring_view(m_keys[i]), i);
    }
    return true;
}

const WIN32_FIND_DATAA* FolderIndex::Find(const char* name) const
{
    std::wstring key;
    if (!name || !KeyOf(name, key))
        return nullptr;
    return FindKey(key);
}

const WIN32_FIND_DATAA* FolderIndex::FindKey(const std::wstring& key) const
{
    if (key.empty())
        return nullptr;
    auto it = m_byName.find(std::wstring_view(key));
    return it == m_byName.end() ? nullptr : &m_entries[it->second];
}

FolderPairReader::FolderPairReader()
{
    m_go = CreateEventA(NULL, FALSE, FALSE, NULL);
    m_done = CreateEventA(NULL, FALSE, FALSE, NULL);
    if (m_go && m_done)
        m_thread = CreateThread(NULL, 0, ThreadProc, this, 0, NULL);
}

FolderPairReader::~FolderPairReader()
{
    if (m_thread) {
        m_stop = true;
        SetEvent(m_go);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    if (m_go)
        CloseHandle(m_go);
    if (m_done)
        CloseHandle(m_done);
}

DWORD WINAPI FolderPairReader::ThreadProc(void* self)
{
    FolderPairReader& r = *static_cast<FolderPairReader*>(self);
    // The events order every access to the job: it is written before m_go and read back after
    // m_done.
    while (WaitForSingleObject(r.m_go, INFINITE) == WAIT_OBJECT_0 && !r.m_stop) {
        r.m_read = r.m_index->Load(r.m_folder);
        SetEvent(r.m_done);
    }
    return 0;
}

void FolderPairReader::Load(FolderIndex index[2], const std::string folder[2], bool read[2])
{
    if (!m_thread) {
        read[0] = index[0].Load(folder[0].c_str());
        read[1] = index[1].Load(folder[1].c_str());
        return;
    }
    m_index = &index[1];
    m_folder = folder[1].c_str();
    SetEvent(m_go);
    read[0] = index[0].Load(folder[0].c_str());
    WaitForSingleObject(m_done, INFINITE);
    read[1] = m_read;
}

int CompareLastWriteOn(const FILETIME& a, int fsA, const FILETIME& b, int fsB)
{
    if (fsA == fsB)
        return CompareFileTime(&a, &b);
    if (fsA != FileEnum::FsOther) {
        FILETIME theirs = FileEnum::ToDosResolution(b);
        return CompareFileTime(&a, &theirs);
    }
    FILETIME mine = FileEnum::ToDosResolution(a);
    return -CompareFileTime(&b, &mine);
}
