// One folder's entries read in a single enumeration and found by name without regard to case,
// as the file system finds them: a comparison of two folders looks each name up here instead
// of searching the other folder once per entry.
#pragma once
#include <windows.h>
#include <string>
#include <unordered_map>
#include <vector>

class FolderIndex {
public:
    // Reads folder's entries (without "." and ".."); false, and empty, when it cannot be read.
    bool Load(const char* folder);
    // The entry of that name, or null.
    const WIN32_FIND_DATAA* Find(const char* name) const;
    // FileEnum::FsFat, FsOther or FsUnknown: the kind of the folder's volume.
    int FileSystem() const { return m_fs; }
    size_t Count() const { return m_entries.size(); }
    const WIN32_FIND_DATAA& At(size_t i) const { return m_entries[i]; }
    // The key a name is found by (its UTF-16 form in upper case); false for a name the
    // process code page cannot hold.
    static bool KeyOf(const char* name, std::wstring& key);

private:
    std::vector<WIN32_FIND_DATAA> m_entries;
    std::unordered_map<std::wstring, size_t> m_byName;
    int m_fs = -1;
};

// -1, 0 or 1 as CompareFileTime, a against b, where fsA and fsB are the kinds of their volumes:
// a FAT volume's two-second resolution is allowed for when the kinds differ (as
// FileEnum::CompareLastWrite).
int CompareLastWriteOn(const FILETIME& a, int fsA, const FILETIME& b, int fsB);
