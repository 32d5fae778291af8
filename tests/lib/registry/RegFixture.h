// A throwaway key under HKCU for each test, and helpers that look at the registry through the
// plain API so the code under test is not its own witness.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <map>
#include <string>
#include <vector>

// A value as stored: type and bytes.
struct RawValue {
    DWORD type = 0;
    std::vector<BYTE> data;
    bool operator==(const RawValue& o) const { return type == o.type && data == o.data; }
};

// A key's whole contents: values by name ("" is the default) and subkeys by name.
struct RawTree {
    std::map<std::string, RawValue> values;
    std::map<std::string, RawTree> keys;
    bool operator==(const RawTree& o) const { return values == o.values && keys == o.keys; }
};

inline bool ReadRawTree(HKEY root, const std::string& path, RawTree& tree)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char name[16384];
    std::vector<BYTE> data(65536);
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof(name), size = (DWORD)data.size(), type = 0;
        if (RegEnumValueA(key, i, name, &len, NULL, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        RawValue& v = tree.values[name];
        v.type = type;
        v.data.assign(data.begin(), data.begin() + size);
    }
    std::vector<std::string> subs;
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &len, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        subs.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string& s : subs)
        if (!ReadRawTree(root, path + "\\" + s, tree.keys[s]))
            return false;
    return true;
}

inline bool RawKeyExists(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

inline void RawSet(HKEY root, const std::string& path, const char* name, DWORD type,
                   const void* data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                                             &key, NULL));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, (const BYTE*)data, size));
    RegCloseKey(key);
}

inline void RawSetStr(HKEY root, const std::string& path, const char* name, const char* text)
{
    RawSet(root, path, name, REG_SZ, text, (DWORD)strlen(text) + 1);
}

inline void RawSetDword(HKEY root, const std::string& path, const char* name, DWORD value)
{
    RawSet(root, path, name, REG_DWORD, &value, sizeof(value));
}

inline bool RawGet(HKEY root, const std::string& path, const char* name, RawValue& v)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name, NULL, &v.type, NULL, &size);
    if (rc == ERROR_SUCCESS) {
        v.data.resize(size);
        rc = RegQueryValueExA(key, name, NULL, &v.type, v.data.data(), &size);
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

inline std::string RawGetStr(HKEY root, const std::string& path, const char* name)
{
    RawValue v;
    if (!RawGet(root, path, name, v) || v.data.empty())
        return std::string("<missing>");
    return std::string((const char*)v.data.data(), strnlen((const char*)v.data.data(), v.data.size()));
}

// Fires when any value (or, with subtree, anything below) of a key is written.
class ChangeWatch {
public:
    ChangeWatch(HKEY root, const std::string& path, bool subtree = false)
    {
        m_event = CreateEventA(NULL, TRUE, FALSE, NULL);
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_NOTIFY, &m_key) == ERROR_SUCCESS)
            m_armed = RegNotifyChangeKeyValue(m_key, subtree,
                                              REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_NAME,
                                              m_event, TRUE) == ERROR_SUCCESS;
    }
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;
    ~ChangeWatch()
    {
        if (m_key)
            RegCloseKey(m_key);
        CloseHandle(m_event);
    }
    bool Armed() const { return m_armed; }
    bool Fired(DWORD waitMs = 300) { return WaitForSingleObject(m_event, waitMs) == WAIT_OBJECT_0; }

private:
    HANDLE m_event = NULL;
    HKEY m_key = NULL;
    bool m_armed = false;
};

// A fresh key "HKCU\Software\PanorelTest\<test>" for each test.
class RegFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_sub = std::string("Software\\PanorelTest\\") + info->test_suite_name() + "_" + info->name() +
                "_" + std::to_string(GetCurrentProcessId());
        RegDeleteTreeA(HKEY_CURRENT_USER, m_sub.c_str());
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, m_sub.c_str(), 0, NULL, 0,
                                                 KEY_ALL_ACCESS, NULL, &key, NULL));
        RegCloseKey(key);
        m_path = "HKCU\\" + m_sub;
    }
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, m_sub.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, m_sub.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\PanorelTest");   // only when empty
    }
    // Full path of a subkey of the test key, for RegKey.
    std::string Path(const std::string& sub = "") const { return sub.empty() ? m_path : m_path + "\\" + sub; }
    // The same below HKCU, for the plain API.
    std::string Sub(const std::string& sub = "") const { return sub.empty() ? m_sub : m_sub + "\\" + sub; }

    std::string m_sub;    // below HKCU
    std::string m_path;   // "HKCU\..."
};
