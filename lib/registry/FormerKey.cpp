#include "RegUtil.h"
#include <stdio.h>

namespace {
const char kFormerCompany[] = "Velmora";
}

bool MoveFormerKey(int perUser, const char* name)
{
    if (!name || !*name)
        return false;
    const char* root = perUser ? "HKCU" : "HKLM";
    const char* company = perUser ? sz_HKCU_Software_MyCompany : sz_HKLM_Software_MyCompany;
    char newPath[1024], oldPath[1024];
    if (snprintf(newPath, sizeof(newPath), "%s\\%s", company, name) >= (int)sizeof(newPath) ||
        snprintf(oldPath, sizeof(oldPath), "%s\\Software\\%s\\%s", root, kFormerCompany, name) >=
            (int)sizeof(oldPath))
        return false;
    if (RegKey(newPath, 0).IsOpen())
        return true;
    {
        RegKey oldKey(oldPath, 0);
        if (!oldKey.IsOpen())
            return true;
        RegKey newKey(newPath, 1);
        if (!newKey.IsOpen())
            return false;
        // A partial copy keeps the old key: it is the only complete one.
        if (!oldKey.CopyTo(newKey))
            return false;
        newKey.Flush();
    }
    char path[64];
    snprintf(path, sizeof(path), "%s\\Software\\%s", root, kFormerCompany);
    RegKey former(path, 1);
    if (former.IsOpen())
        former.DelSubKey(name);
    former.Close();
    snprintf(path, sizeof(path), "%s\\Software", root);
    RegKey software(path, 1);
    if (software.IsOpen())
        software.DelSubKeyIfEmpty(kFormerCompany);
    return true;
}
