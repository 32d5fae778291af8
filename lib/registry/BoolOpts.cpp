#include "BoolOpts.h"
#include "AppInfo.h"
#include "../util/Bits.h"

void BoolOpts::Set(DWORD mask, int on)
{
    SetBitsBool(value, mask, on != 0);
}

bool BoolOpts::Load()
{
    Reset();
    RegKey key(GetAppRootKey(), RegKey::OpRead);
    if (!key.IsOpen())
        return false;
    value = key.GetDword(name, value);
    OnLoad(key);
    return true;
}

bool BoolOpts::Store()
{
    RegKey key(GetAppRootKey(), RegKey::OpUpdate);
    if (!key.IsOpen())
        return false;
    OnStore(key);
    bool ok = key.PutDword(name, value);
    key.Flush();
    return ok;
}
