#include "RegUtil.h"
#include "AppInfo.h"
#include "../util/StrUtil.h"
#include <stdio.h>
#include <string.h>

namespace {
const char kHomeValue[] = "Home";

bool SetupKeyPath(char* path, size_t size, const char* company, const char* name)
{
    int n = snprintf(path, size, "%s\\%s\\Setup", company, name);
    return n > 0 && (size_t)n < size;
}

// Cuts the file name off a path, keeping the folder without its trailing backslash (but
// "C:\" stays a root).
void StripName(char* path)
{
    char* lastSlash = NULL;
    for (char* p = path; *p; ++p) {
        if (IsLead((BYTE)*p) && p[1])
            ++p;
        else if (*p == '\\' || *p == '/')
            lastSlash = p;
    }
    if (!lastSlash)
        return;
    if (lastSlash > path && lastSlash[-1] == ':')
        lastSlash[1] = 0;
    else
        *lastSlash = 0;
}
}  // namespace

bool ProcessHomeFolder(RegKey::Op op, const char* name, char* text, int size)
{
    if (!name || !*name)
        return false;
    if (RegKey::IsWritable(op))
        MoveFormerKey(0, name);
    char path[1024];
    if (!SetupKeyPath(path, sizeof(path), sz_HKLM_Software_MyCompany, name))
        return false;
    // Removing from a key that is not there needs no key made for it.
    if (op == RegKey::OpRemove && !RegKey(path, 0).IsOpen())
        return true;
    RegKey key(path, op);
    if (!key.IsOpen()) {
        if (RegKey::IsWritable(op) ||
            !SetupKeyPath(path, sizeof(path), "HKLM\\Software\\Velmora", name) ||
            !key.Open(path, op))
            return false;
    }
    return key.ProcessEntry(op, kHomeValue, text, size);
}

bool GetHomeFolder(const char* name, char* buffer)
{
    if (!buffer)
        return false;
    buffer[0] = 0;
    return ProcessHomeFolder(RegKey::OpRead, name, buffer, MAX_PATH);
}

bool GetHomeDir(char* buffer)
{
    if (!buffer)
        return false;
    const char* name = AppInfo::Data().name1;
    if (name && GetHomeFolder(name, buffer))
        return true;
    char file[MAX_PATH];
    DWORD n = GetModuleFileNameA(GetLibModule(), file, sizeof(file));
    if (n == 0 || n >= sizeof(file)) {
        buffer[0] = 0;
        return false;
    }
    StripName(file);
    // The long spelling, as the shell shows it.
    DWORD len = GetLongPathNameA(file, buffer, MAX_PATH);
    if (len == 0 || len >= MAX_PATH)
        lstrcpynA(buffer, file, MAX_PATH);
    if (name)
        ProcessHomeFolder(RegKey::OpUpdate, name, buffer, MAX_PATH);
    return true;
}
