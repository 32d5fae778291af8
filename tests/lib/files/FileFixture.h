// Tests on real files: each test gets a fresh folder under the prefix's temp folder, removed
// with everything in it afterwards.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "driver/Driver.h"

namespace filetest {

using drv::RemoveTree;

inline std::string ReadAll(const std::string& path)
{
    std::string out;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof(buf), &n, NULL) && n)
        out.append(buf, n);
    CloseHandle(h);
    return out;
}

inline bool WriteAll(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = 0;
    bool ok = bytes.empty() ||
              (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, NULL) &&
               n == bytes.size());
    CloseHandle(h);
    return ok;
}

inline bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(sizeof(temp), temp));
        char name[64];
        wsprintfA(name, "pnrfiles%lu_%lu", GetCurrentProcessId(), GetTickCount() + (counter++));
        m_dir = std::string(temp) + name;
        ASSERT_TRUE(CreateDirectoryA(m_dir.c_str(), NULL)) << m_dir;
    }
    void TearDown() override { RemoveTree(m_dir); }
    std::string P(const std::string& name) const { return m_dir + "\\" + name; }
    std::string Make(const std::string& name, const std::string& bytes = "x")
    {
        EXPECT_TRUE(WriteAll(P(name), bytes)) << name;
        return P(name);
    }
    std::string MakeDir(const std::string& name)
    {
        EXPECT_TRUE(CreateDirectoryA(P(name).c_str(), NULL)) << name;
        return P(name);
    }

    std::string m_dir;
    static inline unsigned counter = 0;
};

}  // namespace filetest
