#include "RegUtil.h"
#include <stdio.h>
#include <string.h>

bool IsPowerUser()
{
    RegKey key(sz_HKLM_Software_MyCompany, 1);
    if (!key.IsOpen())
        return false;
    bool ok = key.PutDword("Temp", 0);
    key.DelValue("Temp");
    return ok;
}

namespace {
// The four value names of a rectangle; false when the prefix leaves no room for them.
bool RectNames(const char* prefix, char names[4][MAX_PATH])
{
    static const char kSides[] = "LTRB";
    if (!prefix)
        prefix = "";
    for (int i = 0; i < 4; ++i)
        if (snprintf(names[i], MAX_PATH, "%s%c", prefix, kSides[i]) >= MAX_PATH)
            return false;
    return true;
}
}  // namespace

bool RegGetRect(RegKey& key, RECT* rect, const char* prefix)
{
    char names[4][MAX_PATH];
    if (!rect || !key.IsOpen() || !RectNames(prefix, names))
        return false;
    LONG* fields[4] = {&rect->left, &rect->top, &rect->right, &rect->bottom};
    bool all = true;
    for (int i = 0; i < 4; ++i) {
        if (key.GetBinSize(names[i]) != sizeof(DWORD))
            all = false;
        *fields[i] = key.GetInt(names[i], *fields[i]);
    }
    return all;
}

bool RegPutRect(RegKey& key, const RECT* rect, const char* prefix)
{
    char names[4][MAX_PATH];
    if (!rect || !key.IsOpen() || !RectNames(prefix, names))
        return false;
    const LONG fields[4] = {rect->left, rect->top, rect->right, rect->bottom};
    bool ok = true;
    for (int i = 0; i < 4; ++i)
        ok = key.PutInt(names[i], fields[i]) && ok;
    return ok;
}
