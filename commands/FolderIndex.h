// One folder's entries read in a single enumeration and found by name without regard to case,
// as the file system finds them: a comparison of two folders looks each name up here instead
// of searching the other folder once per entry.
#pragma once
#include <windows.h>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class FolderIndex {
public:
    FolderIndex() = default;
    FolderIndex(const FolderIndex&) = delete;   // the index holds views of its own keys
    FolderIndex& operator=(const FolderIndex&) = delete;
    // Reads folder's entries (without "." and ".."); false, and empty, when it cannot be read
    // or is no folder.
    bool Load(const char* folder);
    // The entry of that name, or null.
    const WIN32_FIND_DATAA* Find(const char* name) const;
    // The entry found by a key as KeyOf makes it (an empty key finds nothing), or null.
    const WIN32_FIND_DATAA* FindKey(const std::wstring& key) const;
    // Entry i's key; empty for a name the process code page cannot hold.
    const std::wstring& KeyAt(size_t i) const { return m_keys[i]; }
    // FileEnum::FsFat, FsOther or FsUnknown: the kind of the folder's volume.
    int FileSystem() const { return m_fs; }
    size_t Count() const { return m_entries.size(); }
    const WIN32_FIND_DATAA& At(size_t i) const { return m_entries[i]; }
    // The key a name is found by (its UTF-16 form in upper case); false for a name the
    // process code page cannot hold.
    static bool KeyOf(const char* name, std::wstring& key);

private:
    std::vector<WIN32_FIND_DATAA> m_entries;
    std::vector<std::wstring> m_keys;   // one per entry; m_byName's views point into them
    std::unordered_map<std::wstring_view, size_t> m_byName;
    int m_fs = -1;
};

// Reads the two folders of a pair at the same time, the second on a thread of its own: a
// comparison waits on both folders' reads, which are mostly the file system's work per entry,
// and a second processor does half of it. Without that thread both are read here in turn.
class FolderPairReader {
public:
    FolderPairReader();
    ~FolderPairReader();
    FolderPairReader(const FolderPairReader&) = delete;   // owns the thread and its events
    FolderPairReader& operator=(const FolderPairReader&) = delete;
    // index[i].Load(folder[i]) for both, each answer in read[i].
    void Load(FolderIndex index[2], const std::string folder[2], bool read[2]);

private:
    static DWORD WINAPI ThreadProc(void* self);
    HANDLE m_thread = NULL;
    HANDLE m_go = NULL, m_done = NULL;   // auto-reset: a pair to read, the second one read
    FolderIndex* m_index = nullptr;      // the second folder's job, set before m_go
    const char* m_folder = nullptr;
    bool m_read = false;
    bool m_stop = false;
};

// -1, 0 or 1 as CompareFileTime, a against b, where fsA and fsB are the kinds of their volumes:
// a FAT volume's two-second resolution is allowed for when the kinds differ (as
// FileEnum::CompareLastWrite).
int CompareLastWriteOn(const FILETIME& a, int fsA, const FILETIME& b, int fsB);
