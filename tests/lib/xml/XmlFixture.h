// Shared helpers of the XML and settings-file tests: a known message-box caption and texts
// placed at the very end of readable memory.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include "registry/AppInfo.h"

#define XML_TEST_PRODUCT "XmlTestProduct"

// Message boxes take their caption from the current application information.
class XmlAppInfo {
public:
    XmlAppInfo() : m_info(GetModuleHandleA(NULL), XML_TEST_PRODUCT, "App", NULL, NULL, 0, 0) {}

private:
    AppInfo m_info;
};

// A copy of a text (with its terminator) that ends on the last byte of a page; the next page
// cannot be read, so any read past the terminator faults.
class GuardedText {
public:
    explicit GuardedText(const char* text, size_t length = (size_t)-1)
    {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        m_page = si.dwPageSize;
        size_t n = length == (size_t)-1 ? strlen(text) : length;
        size_t pages = (n + 1 + m_page - 1) / m_page;
        m_base = static_cast<char*>(
            VirtualAlloc(NULL, (pages + 1) * m_page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!m_base)
            return;
        DWORD old;
        VirtualProtect(m_base + pages * m_page, m_page, PAGE_NOACCESS, &old);
        m_text = m_base + pages * m_page - (n + 1);
        memcpy(m_text, text, n);
        m_text[n] = 0;
    }
    GuardedText(const GuardedText&) = delete;
    GuardedText& operator=(const GuardedText&) = delete;
    ~GuardedText()
    {
        if (m_base)
            VirtualFree(m_base, 0, MEM_RELEASE);
    }
    char* Get() const { return m_text; }

private:
    char* m_base = nullptr;
    char* m_text = nullptr;
    size_t m_page = 4096;
};
