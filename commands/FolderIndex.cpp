#include "commands/FolderIndex.h"
#include "files/FileEnum.h"

// Upper case UTF-16, as the file system compares names.
bool FolderIndex::KeyOf(const char* name, std::wstring& key)
{
    int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, NULL, 0);
    if (n <= 0)
        return false;
    key.resize(n);
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, &key[0], n);
    key.resize(n - 1);
    if (!key.empty())
        CharUpperBuffW(&key[0], (DWORD)key.size());
    return true;
}

bool FolderIndex::Load(const char* folder)
{
    m_entries.clear();
    m_byName.clear();
    m_fs = FileEnum::FsUnknown;
    FileEnum entry(FileEnum::NoShortNames);
    bool more = entry.Start(folder);
    if (!more)
        return false;
    m_fs = entry.GetFileSystem();
    for (; more; more = entry.Next())
        m_entries.push_back(entry.Data());
    m_byName.reserve(m_entries.size());
    std::wstring key;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (KeyOf(m_entries[i].cFileName, key))
            m_byName.emplace(key, i);
    }
    return true;
}

const WIN32_FIND_DATAA* FolderIndex::Find(const char* name) const
{
    std::wstring key;
    if (!name || !KeyOf(name, key))
        return nullptr;
    auto it = m_byName.find(key);
    return it == m_byName.end() ? nullptr : &m_entries[it->second];
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
