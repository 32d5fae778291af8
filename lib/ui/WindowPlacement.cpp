#include "WindowPlacement.h"
#include "../registry/AppInfo.h"
#include "../registry/RegKey.h"
#include <string.h>

// Stored records are read and written by other releases: the layout must not change.
static_assert(sizeof(WINDOWPLACEMENT) == 44, "a stored placement is 44 bytes");

void MyWindowPlacement::Reset()
{
    WINDOWPLACEMENT* wp = this;
    memset(wp, 0, sizeof(WINDOWPLACEMENT));
    length = sizeof(WINDOWPLACEMENT);
    rcNormalPosition.left = NotSet;
}

bool MyWindowPlacement::GetFrom(HWND window)
{
    if (!window || !IsWindow(window))
        return false;
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(window, &wp))
        return false;
    *static_cast<WINDOWPLACEMENT*>(this) = wp;
    return true;
}

bool MyWindowPlacement::ApplyTo(HWND window) const
{
    if (!IsInitialized() || !window || !IsWindow(window))
        return false;
    WINDOWPLACEMENT wp = *this;
    wp.length = sizeof(wp);
    if (wp.showCmd == SW_SHOWMINIMIZED || wp.showCmd == SW_MINIMIZE ||
        wp.showCmd == SW_SHOWMINNOACTIVE || wp.showCmd == SW_FORCEMINIMIZE)
        wp.showCmd = SW_SHOWNORMAL;
    return SetWindowPlacement(window, &wp) != FALSE;
}

bool MyWindowPlacement::Load(const char* valueName, const char* keyPath)
{
    if (!valueName || !*valueName)
        return false;
    RegKey key(keyPath ? keyPath : GetAppRootKey());
    if (!key.IsOpen() || key.GetBinSize(valueName) != static_cast<int>(sizeof(WINDOWPLACEMENT)))
        return false;
    WINDOWPLACEMENT wp = {};
    if (!key.GetBin(valueName, &wp, sizeof(wp)) || wp.length != sizeof(wp))
        return false;
    *static_cast<WINDOWPLACEMENT*>(this) = wp;
    return true;
}

bool MyWindowPlacement::Store(const char* valueName, const char* keyPath) const
{
    if (!valueName || !*valueName || !IsInitialized())
        return false;
    RegKey key(keyPath ? keyPath : GetAppRootKey(), 1);
    const WINDOWPLACEMENT* wp = this;
    return key.IsOpen() && key.PutBin(valueName, wp, sizeof(WINDOWPLACEMENT));
}
