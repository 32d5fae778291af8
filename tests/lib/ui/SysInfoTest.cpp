// System information text and library versions, read from the running system.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "ui/SysInfo.h"

TEST(GetVerDll, ReadsTheShellLibrariesAndRefusesBadNames)
{
    for (const char* dll : {"Shell32.dll", "Comctl32.dll", "Shlwapi.dll"}) {
        SCOPED_TRACE(dll);
        DWORD major = 99, minor = 99, build = 99;
        EXPECT_TRUE(GetVerDll(dll, &major, &minor, &build));
        EXPECT_GE(major, 4u);
    }
    DWORD major = 7, minor = 7, build = 7;
    EXPECT_FALSE(GetVerDll("no_such_library_here.dll", &major, &minor, &build));
    EXPECT_EQ(0u, major);
    EXPECT_EQ(0u, minor);
    EXPECT_EQ(0u, build);
    // A library without a version entry.
    EXPECT_FALSE(GetVerDll("kernel32.dll", &major, nullptr, nullptr));
    EXPECT_FALSE(GetVerDll(nullptr, nullptr, nullptr, nullptr));
    EXPECT_FALSE(GetVerDll("", &major, &minor, &build));
}

TEST(SysInfo, TextHoldsTheSystemsValuesInOrder)
{
    char text[4096];
    ASSERT_TRUE(SysInfo::GetText(text, sizeof(text)));
    std::string t = text;
    char windows[MAX_PATH], system[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof(windows));
    GetSystemDirectoryA(system, sizeof(system));
    EXPECT_EQ(0u, t.find("Windows NT : "));
    size_t at = 0;
    for (std::string part : {std::string("\r\n\r\nShell32.dll : "), std::string("\r\nComctl32.dll : "),
                             std::string("\r\nShlwapi.dll : "), std::string("\r\n\r\n"),
                             std::string("Physical RAM: "), std::string(" bytes\r\n\r\n"),
                             "Windows folder: " + std::string(windows) + "\r\n",
                             "System folder: " + std::string(system) + "\r\n\r\n",
                             std::string("Computer name: "), std::string("User name: ")}) {
        SCOPED_TRACE(part);
        size_t found = t.find(part, at);
        ASSERT_NE(std::string::npos, found);
        at = found + part.size();
    }
    EXPECT_EQ("\r\n\r\n", t.substr(t.size() - 4));
    // The computer name line holds at most 15 characters.
    size_t name = t.find("Computer name: ") + strlen("Computer name: ");
    EXPECT_LE(t.find("\r\n", name) - name, 15u);
}

TEST(SysInfo, SmallBuffersAreCutAndTerminated)
{
    char full[4096];
    ASSERT_TRUE(SysInfo::GetText(full, sizeof(full)));
    for (int size : {1, 2, 10, 40}) {
        SCOPED_TRACE(size);
        char buf[64];
        memset(buf, 'x', sizeof(buf));
        SysInfo::GetText(buf, size);
        EXPECT_EQ((size_t)size - 1, strlen(buf));
        EXPECT_EQ(0, strncmp(buf, full, size - 1));
        EXPECT_EQ('x', buf[size]);   // nothing written past the buffer
    }
    EXPECT_FALSE(SysInfo::GetText(nullptr, 100));
    char one = 'x';
    EXPECT_FALSE(SysInfo::GetText(&one, 0));
    EXPECT_EQ('x', one);
}
