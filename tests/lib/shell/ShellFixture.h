// Helpers of the shell tests: a scratch folder tree of real files, bytes placed at the very end
// of readable memory, and byte views of identifier lists.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <string>
#include <vector>
#include "shell/Pidl.h"

// Bytes that end exactly where a PAGE_NOACCESS page begins: reading one byte too far crashes.
class GuardedBytes {
public:
    GuardedBytes(const void* bytes, size_t n)
    {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        size_t page = si.dwPageSize;
        size_t body = (n + page - 1) / page * page;
        if (body == 0)
            body = page;
        m_base = (BYTE*)VirtualAlloc(NULL, body + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        DWORD old;
        VirtualProtect(m_base + body, page, PAGE_NOACCESS, &old);
        m_data = m_base + body - n;
        if (n)
            memcpy(m_data, bytes, n);
    }
    explicit GuardedBytes(const std::vector<BYTE>& v) : GuardedBytes(v.data(), v.size()) {}
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    ~GuardedBytes() { VirtualFree(m_base, 0, MEM_RELEASE); }
    BYTE* data() const { return m_data; }

private:
    BYTE* m_base;
    BYTE* m_data;
};

inline std::vector<BYTE> BytesOf(const ITEMIDLIST* list)
{
    if (!list)
        return {};
    const BYTE* p = (const BYTE*)list;
    return std::vector<BYTE>(p, p + PIDL::GetSizeTotal(list));
}

// Item bytes: a size field followed by (size - 2) filler bytes.
inline void AddItem(std::vector<BYTE>& v, WORD size, BYTE fill = 0x41)
{
    v.push_back((BYTE)(size & 0xFF));
    v.push_back((BYTE)(size >> 8));
    for (int i = 2; i < size; i++)
        v.push_back(fill);
}

inline void AddTerminator(std::vector<BYTE>& v)
{
    v.push_back(0);
    v.push_back(0);
}

inline std::string LongPath(const std::string& path)
{
    char buf[MAX_PATH];
    DWORD n = GetLongPathNameA(path.c_str(), buf, MAX_PATH);
    return n && n < MAX_PATH ? std::string(buf) : path;
}

// A scratch folder under the temporary folder, removed with all it holds at the end.
class TempTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_root = LongPath(temp) + "Shell Test " + info->name() + " " +
                 std::to_string(GetCurrentProcessId());
        if (m_root.back() == '\\')
            m_root.pop_back();
        RemoveTree(m_root);
        ASSERT_TRUE(CreateDirectoryA(m_root.c_str(), NULL)) << m_root;
    }
    void TearDown() override { RemoveTree(m_root); }

    std::string Path(const std::string& rel) const { return m_root + "\\" + rel; }
    void MakeDir(const std::string& rel) { ASSERT_TRUE(CreateDirectoryA(Path(rel).c_str(), NULL)); }
    void MakeFile(const std::string& rel, const char* text = "x")
    {
        HANDLE h = CreateFileA(Path(rel).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        DWORD written;
        WriteFile(h, text, (DWORD)strlen(text), &written, NULL);
        CloseHandle(h);
    }
    static bool Exists(const std::string& path)
    {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static bool IsDir(const std::string& path)
    {
        DWORD a = GetFileAttributesA(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }
    static void RemoveTree(const std::string& path)
    {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string name = fd.cFileName;
                if (name == "." || name == "..")
                    continue;
                std::string full = path + "\\" + name;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(full);
                else {
                    SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(full.c_str());
                }
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(path.c_str());
    }

    std::string m_root;
};
