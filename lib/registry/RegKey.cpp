#include "RegKey.h"
#include "../util/StrUtil.h"
#include <string.h>
#include <string>
#include <vector>

const char sz_HKCU_Software_MyCompany[] = "HKCU\\Software\\Corvane";
const char sz_HKLM_Software_MyCompany[] = "HKLM\\Software\\Corvane";
const char sz_HKCU_WinCurVer[] = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion";
const char sz_HKLM_WinCurVer[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion";
const char sz_HKLM_WinNTCurVer[] = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion";

namespace {
const DWORD kReadAccess = KEY_READ;          // 0x20019
const DWORD kWriteAccess = KEY_ALL_ACCESS;   // 0xF003F
const int kMaxKeyName = 256;                 // 255 characters and the zero
const int kMaxValueName = 16384;

struct RootName {
    const char* shortName;
    const char* longName;
    HKEY root;
};

const RootName kRoots[] = {
    {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKCLS", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKU", "HKEY_USERS", HKEY_USERS},
};

HKEY FindRoot(const char* name)
{
    for (const RootName& r : kRoots)
        if (lstrcmpiA(name, r.shortName) == 0 || lstrcmpiA(name, r.longName) == 0)
            return r.root;
    return NULL;
}

// Predefined handles belong to the system: never closed by us.
bool IsRoot(HKEY key)
{
    for (const RootName& r : kRoots)
        if (key == r.root)
            return true;
    return false;
}

void CloseIfOwned(HKEY key)
{
    if (key && !IsRoot(key))
        RegCloseKey(key);
}

// Splits a path into components; empty ones (doubled or trailing "\") are dropped. A
// component too long for a key name makes the whole path invalid.
bool SplitPath(const char* path, std::vector<std::string>& parts)
{
    parts.clear();
    const char* p = path;
    while (*p) {
        const char* start = p;
        while (*p && *p != '\\') {
            if (IsLead((BYTE)*p) && p[1])
                ++p;
            ++p;
        }
        size_t len = p - start;
        if (len >= (size_t)kMaxKeyName)
            return false;
        if (len)
            parts.push_back(std::string(start, len));
        if (*p == '\\')
            ++p;
    }
    return true;
}

// The whole value, however long; false when it is missing or cannot be read.
bool QueryValue(HKEY key, const char* name, DWORD& type, std::vector<BYTE>& data)
{
    if (!key)
        return false;
    for (int tries = 0; tries < 4; ++tries) {
        DWORD size = 0;
        if (RegQueryValueExA(key, name, NULL, &type, NULL, &size) != ERROR_SUCCESS)
            return false;
        data.resize(size + 2);   // room for a terminator the registry may have left out
        DWORD got = size;
        LONG rc = RegQueryValueExA(key, name, NULL, &type, data.data(), &got);
        if (rc == ERROR_SUCCESS) {
            data.resize(got);
            return true;
        }
        if (rc != ERROR_MORE_DATA)   // otherwise it grew between the two calls
            return false;
    }
    return false;
}

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Text of a string value up to its first zero.
std::string ValueText(const std::vector<BYTE>& data)
{
    size_t n = 0;
    while (n < data.size() && data[n])
        ++n;
    return std::string(reinterpret_cast<const char*>(data.data()), n);
}

// Copies at most size-1 bytes without splitting a double-byte character; returns the length.
int CopyCut(char* buffer, int size, const char* text, size_t len)
{
    size_t n = size > 0 ? (size_t)CutLen(text, (int)len, size - 1) : 0;
    memmove(buffer, text, n);
    buffer[n] = 0;
    return (int)n;
}
}  // namespace

RegKey::RegKey() : m_key(NULL), m_enumIndex(-1), m_shared(NULL)
{
}

RegKey::RegKey(const char* path, int create) : RegKey()
{
    Open(path, create);
}

RegKey::RegKey(const char* path, Op op) : RegKey()
{
    Open(path, op);
}

RegKey::RegKey(RegKey& parent, const char* subPath, int create) : RegKey()
{
    Open(parent, subPath, create);
}

RegKey::RegKey(RegKey& parent, const char* subPath, Op op) : RegKey()
{
    Open(parent, subPath, op);
}

RegKey::RegKey(const RegKey& other)
    : m_key(other.m_key), m_enumIndex(other.m_enumIndex), m_shared(other.m_shared)
{
    if (m_shared)
        ++*m_shared;
}

RegKey& RegKey::operator=(const RegKey& other)
{
    if (this != &other) {
        if (other.m_shared)
            ++*other.m_shared;   // before Close, in case both already share the handle
        LONG* shared = other.m_shared;
        HKEY key = other.m_key;
        int index = other.m_enumIndex;
        Close();
        m_key = key;
        m_shared = shared;
        m_enumIndex = index;
    }
    return *this;
}

RegKey::~RegKey()
{
    Close();
}

void RegKey::Close()
{
    if (m_shared) {
        if (--*m_shared == 0) {
            delete m_shared;
            CloseIfOwned(m_key);
        }
    } else {
        CloseIfOwned(m_key);
    }
    m_key = NULL;
    m_shared = NULL;
    m_enumIndex = -1;
}

void RegKey::Set(HKEY key)
{
    Close();
    m_key = key;
    if (key && !IsRoot(key))
        m_shared = new LONG(1);
}

void RegKey::Attach(HKEY key)
{
    if (key != m_key || !key)   // attaching what we hold must not close it
        Set(key);
}

HKEY RegKey::Detach()
{
    HKEY key = m_key;
    if (m_shared && *m_shared > 1) {
        // Other copies still use the handle: hand out a handle of our own instead.
        HKEY dup = NULL;
        if (RegOpenKeyExA(m_key, NULL, 0, kWriteAccess, &dup) != ERROR_SUCCESS &&
            RegOpenKeyExA(m_key, NULL, 0, kReadAccess, &dup) != ERROR_SUCCESS)
            dup = NULL;
        key = dup;
        Close();
        return key;
    }
    delete m_shared;
    m_shared = NULL;
    m_key = NULL;
    m_enumIndex = -1;
    return key;
}

HKEY RegKey::OpenKey(const char* path, int create, int levels)
{
    if (!path || !*path)
        return NULL;
    std::vector<std::string> parts;
    if (!SplitPath(path, parts))
        return NULL;
    HKEY key = NULL;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (levels > 0 && parts.size() - i <= (size_t)levels)
            return key;
        if (!key) {
            key = FindRoot(parts[i].c_str());   // unknown names before the root are skipped
            continue;
        }
        HKEY next = NULL;
        LONG rc;
        if (create)
            rc = RegCreateKeyExA(key, parts[i].c_str(), 0, NULL, REG_OPTION_NON_VOLATILE,
                                 kWriteAccess, NULL, &next, NULL);
        else
            rc = RegOpenKeyExA(key, parts[i].c_str(), 0, kReadAccess, &next);
        CloseIfOwned(key);
        if (rc != ERROR_SUCCESS)
            return NULL;
        key = next;
    }
    return key;
}

bool RegKey::Open(const char* path, int create)
{
    Set(OpenKey(path, create, 0));
    return m_key != NULL;
}

bool RegKey::OpenParent(const char* path, int create, int levels)
{
    Set(OpenKey(path, create, levels));
    return m_key != NULL;
}

bool RegKey::Open(RegKey& parent, const char* subPath, int create)
{
    HKEY key = NULL;
    // An empty subpath would reopen the parent itself, which callers that delete by name
    // must never get by accident.
    if (parent.m_key && subPath && *subPath) {
        LONG rc;
        if (create)
            rc = RegCreateKeyExA(parent.m_key, subPath, 0, NULL, REG_OPTION_NON_VOLATILE,
                                 kWriteAccess, NULL, &key, NULL);
        else
            rc = RegOpenKeyExA(parent.m_key, subPath, 0, kReadAccess, &key);
        if (rc != ERROR_SUCCESS)
            key = NULL;
    }
    Set(key);   // after the open: parent may be this object
    return m_key != NULL;
}

bool RegKey::Flush()
{
    return m_key && RegFlushKey(m_key) == ERROR_SUCCESS;
}

DWORD RegKey::GetDword(const char* name, DWORD def)
{
    if (!m_key)
        return def;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(m_key, name, NULL, NULL, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        size != sizeof(value))
        return def;
    return value;
}

bool RegKey::PutDword(const char* name, DWORD value)
{
    if (!m_key)
        return false;
    DWORD type = 0, stored = 0, size = sizeof(stored);
    if (RegQueryValueExA(m_key, name, NULL, &type, reinterpret_cast<BYTE*>(&stored), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof(stored) && stored == value)
        return true;
    return RegSetValueExA(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value)) == ERROR_SUCCESS;
}

int RegKey::GetStr(const char* name, char* buffer, int size, const char* def)
{
    if (!buffer || size <= 0)
        return 0;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (QueryValue(m_key, name, type, data) && IsStringType(type)) {
        std::string text = ValueText(data);
        return CopyCut(buffer, size, text.c_str(), text.size());
    }
    if (def)
        return CopyCut(buffer, size, def, strlen(def));
    buffer[0] = 0;
    return 0;
}

bool RegKey::PutStr(const char* name, const char* text)
{
    if (!m_key || !text)
        return false;
    DWORD type = 0;
    std::vector<BYTE> data;
    size_t len = strlen(text);
    if (QueryValue(m_key, name, type, data) && type == REG_SZ && data.size() == len + 1 &&
        memcmp(data.data(), text, len + 1) == 0)
        return true;
    return RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          (DWORD)(len + 1)) == ERROR_SUCCESS;
}

int RegKey::GetBinSize(const char* name)
{
    DWORD size = 0;
    if (!m_key || RegQueryValueExA(m_key, name, NULL, NULL, NULL, &size) != ERROR_SUCCESS)
        return 0;
    return (int)size;
}

bool RegKey::GetBin(const char* name, void* buffer, int size)
{
    if (!m_key || !buffer || size < 0)
        return false;
    DWORD stored = 0;
    if (RegQueryValueExA(m_key, name, NULL, NULL, NULL, &stored) != ERROR_SUCCESS)
        return false;
    if (size != 0 && (DWORD)size < stored)
        return false;
    DWORD got = size ? (DWORD)size : stored;
    return RegQueryValueExA(m_key, name, NULL, NULL, static_cast<BYTE*>(buffer), &got) ==
           ERROR_SUCCESS;
}

bool RegKey::PutBin(const char* name, const void* bytes, int size)
{
    if (!m_key || size < 0 || (!bytes && size))
        return false;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (QueryValue(m_key, name, type, data) && type == REG_BINARY &&
        data.size() == (size_t)size && (size == 0 || memcmp(data.data(), bytes, size) == 0))
        return true;
    return RegSetValueExA(m_key, name, 0, REG_BINARY, static_cast<const BYTE*>(bytes),
                          (DWORD)size) == ERROR_SUCCESS;
}

DWORD RegKey::GetValueType(const char* name)
{
    DWORD type = 0;
    if (!m_key || RegQueryValueExA(m_key, name, NULL, &type, NULL, NULL) != ERROR_SUCCESS)
        return 0;
    return type;
}

bool RegKey::DelValue(const char* name)
{
    if (!m_key)
        return false;
    LONG rc = RegDeleteValueA(m_key, name);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool RegKey::ProcessEntry(Op op, const char* name, char* text, int size)
{
    switch (op) {
    case OpRead:
        return text && size > 0 && m_key && GetStr(name, text, size, NULL) > 0;
    default:
        return ProcessEntry(op, name, static_cast<const char*>(text));
    }
}

bool RegKey::ProcessEntry(Op op, const char* name, const char* text)
{
    if (!m_key)
        return false;
    switch (op) {
    case OpCheck:
    case OpUpdate: {
        if (!text)
            return false;
        DWORD type = 0;
        std::vector<BYTE> data;
        bool same = QueryValue(m_key, name, type, data) && IsStringType(type) &&
                    !ValueText(data).empty() && ValueText(data) == text;
        if (op == OpCheck || same)
            return same;
        return PutStr(name, text);
    }
    case OpRemove:
        return DelValue(name);
    default:
        return false;   // reading needs a buffer
    }
}

bool RegKey::ProcessEntry(Op op, const char* name, DWORD& value)
{
    if (!m_key)
        return false;
    switch (op) {
    case OpCheck:
        return GetDword(name, 0) == value;
    case OpRemove:
        return DelValue(name);
    case OpUpdate:
        return value == 0 ? DelValue(name) : PutDword(name, value);
    case OpRead:
        value = GetDword(name, 0);
        return true;
    }
    return false;
}

bool RegKey::EnumSubKey(char* buffer, int size)
{
    if (!m_key || !buffer || size <= 0)
        return false;
    ++m_enumIndex;
    DWORD len = (DWORD)size;
    LONG rc = RegEnumKeyExA(m_key, (DWORD)m_enumIndex, buffer, &len, NULL, NULL, NULL, NULL);
    if (rc == ERROR_SUCCESS)
        return true;
    buffer[0] = 0;
    // Only the end of the list stops a caller; a bad handle must too, or it loops for ever.
    return rc != ERROR_NO_MORE_ITEMS && rc != ERROR_INVALID_HANDLE;
}

bool RegKey::EnumValue(char* buffer, int size)
{
    if (!m_key || !buffer || size <= 0)
        return false;
    ++m_enumIndex;
    DWORD len = (DWORD)size;
    LONG rc = RegEnumValueA(m_key, (DWORD)m_enumIndex, buffer, &len, NULL, NULL, NULL, NULL);
    if (rc == ERROR_SUCCESS)
        return true;
    buffer[0] = 0;
    return rc != ERROR_NO_MORE_ITEMS && rc != ERROR_INVALID_HANDLE;
}

bool RegKey::GetFirstSubKey(char* buffer, int size)
{
    m_enumIndex = -1;
    return EnumSubKey(buffer, size);
}

bool RegKey::GetNextSubKey(char* buffer, int size)
{
    return EnumSubKey(buffer, size);
}

bool RegKey::GetFirstValue(char* buffer, int size)
{
    m_enumIndex = -1;
    return EnumValue(buffer, size);
}

bool RegKey::GetNextValue(char* buffer, int size)
{
    return EnumValue(buffer, size);
}

bool RegKey::IsKeyEmpty()
{
    DWORD subKeys = 0, values = 0;
    if (!m_key || RegQueryInfoKeyA(m_key, NULL, NULL, NULL, &subKeys, NULL, NULL, &values, NULL,
                                   NULL, NULL, NULL) != ERROR_SUCCESS)
        return false;
    return subKeys == 0 && values == 0;
}

bool RegKey::DelAll()
{
    if (!m_key)
        return true;
    // Always the first item, as each delete shifts the rest; skip past any that will not go.
    char name[kMaxKeyName];
    DWORD index = 0;
    for (;;) {
        DWORD len = sizeof(name);
        LONG rc = RegEnumKeyExA(m_key, index, name, &len, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS || rc == ERROR_INVALID_HANDLE)
            break;
        if (rc != ERROR_SUCCESS || !DelSubKey(name))
            ++index;
    }
    std::vector<char> valueName(kMaxValueName);
    index = 0;
    for (;;) {
        DWORD len = (DWORD)valueName.size();
        LONG rc = RegEnumValueA(m_key, index, valueName.data(), &len, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS || rc == ERROR_INVALID_HANDLE)
            break;
        if (rc != ERROR_SUCCESS || RegDeleteValueA(m_key, valueName.data()) != ERROR_SUCCESS)
            ++index;
    }
    RegDeleteValueA(m_key, NULL);
    return true;
}

bool RegKey::DelSubKey(const char* name)
{
    if (!m_key || !name || !*name)
        return false;
    {
        RegKey probe(*this, name, 0);
        if (!probe.IsOpen())
            return true;   // nothing to delete
    }
    {
        HKEY sub = NULL;
        // A subkey we may see but not change is a failure, not a success.
        if (RegOpenKeyExA(m_key, name, 0, kWriteAccess, &sub) != ERROR_SUCCESS)
            return false;
        RegKey key;
        key.Attach(sub);
        key.DelAll();
    }
    return RegDeleteKeyA(m_key, name) == ERROR_SUCCESS;
}

bool RegKey::DelSubKeyIfEmpty(const char* name)
{
    if (!m_key || !name || !*name)
        return false;
    {
        RegKey sub(*this, name, 0);
        if (!sub.IsKeyEmpty())
            return false;
    }
    return RegDeleteKeyA(m_key, name) == ERROR_SUCCESS;
}

bool RegKey::ProcessSubKey(Op op, const char* name)
{
    if (!IsWritable(op))
        return true;
    bool ok = DelSubKey(name);
    Flush();
    return ok;
}

bool RegKey::CopyValueTo(RegKey& dest, const char* name)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!QueryValue(m_key, name, type, data))
        return false;
    switch (type) {
    case REG_SZ:
        return dest.PutStr(name, ValueText(data).c_str());
    case REG_BINARY:
        return dest.PutBin(name, data.data(), (int)data.size());
    case REG_DWORD:
        if (data.size() != sizeof(DWORD))
            return false;
        return dest.PutDword(name, *reinterpret_cast<const DWORD*>(data.data()));
    default:
        return true;   // other types are not ours to carry
    }
}

bool RegKey::CopyTo(RegKey& dest)
{
    if (!m_key || !dest.m_key)
        return false;
    bool ok = true;
    char name[kMaxKeyName];
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof(name);
        LONG rc = RegEnumKeyExA(m_key, i, name, &len, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS || rc == ERROR_INVALID_HANDLE)
            break;
        if (rc != ERROR_SUCCESS) {
            ok = false;
            continue;
        }
        RegKey from(*this, name, 0);
        RegKey to(dest, name, 1);
        if (!from.IsOpen() || !to.IsOpen() || !from.CopyTo(to))
            ok = false;
    }
    if (FindValue(NULL) && !CopyValueTo(dest, NULL))
        ok = false;
    std::vector<char> valueName(kMaxValueName);
    for (DWORD i = 0;; ++i) {
        DWORD len = (DWORD)valueName.size();
        LONG rc = RegEnumValueA(m_key, i, valueName.data(), &len, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS || rc == ERROR_INVALID_HANDLE)
            break;
        if (rc != ERROR_SUCCESS) {
            ok = false;
            continue;
        }
        if (valueName[0] && !CopyValueTo(dest, valueName.data()))   // default done above
            ok = false;
    }
    return ok;
}

namespace {
bool EnablePrivilege(const char* privilege)
{
    HANDLE token = NULL;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES tp = {};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool ok = LookupPrivilegeValueA(NULL, privilege, &tp.Privileges[0].Luid) &&
              AdjustTokenPrivileges(token, FALSE, &tp, sizeof(tp), NULL, NULL) &&
              GetLastError() == ERROR_SUCCESS;
    CloseHandle(token);
    return ok;
}
}  // namespace

bool RegKey::LoadKey(HKEY root, const char* subKey, const char* file)
{
    if (!root || !subKey || !*subKey || !file || !*file)
        return false;
    EnablePrivilege(SE_RESTORE_NAME);
    EnablePrivilege(SE_BACKUP_NAME);
    return RegLoadKeyA(root, subKey, file) == ERROR_SUCCESS;
}

bool RegKey::UnLoadKey(HKEY root, const char* subKey)
{
    if (!root || !subKey || !*subKey)
        return false;
    EnablePrivilege(SE_RESTORE_NAME);
    EnablePrivilege(SE_BACKUP_NAME);
    return RegUnLoadKeyA(root, subKey) == ERROR_SUCCESS;
}

bool RegKey::SaveKey(HKEY key, const char* file, LPSECURITY_ATTRIBUTES security)
{
    if (!key || !file || !*file)
        return false;
    EnablePrivilege(SE_BACKUP_NAME);
    DWORD attrs = GetFileAttributesA(file);
    if (attrs != INVALID_FILE_ATTRIBUTES) {
        if (attrs & FILE_ATTRIBUTE_DIRECTORY)
            return false;
        SetFileAttributesA(file, FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(file)) {
            SetFileAttributesA(file, attrs);
            return false;
        }
    }
    bool ok = RegSaveKeyA(key, file, security) == ERROR_SUCCESS;
    if (GetFileAttributesA(file) != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(file, attrs != INVALID_FILE_ATTRIBUTES ? attrs : FILE_ATTRIBUTE_ARCHIVE);
    return ok;
}
