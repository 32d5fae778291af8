#include "app/Policy.h"
#include "app/Resource.h"
#include "registry/RegKey.h"
#include "util/ResStr.h"
#include "Product.h"
#include <string.h>

const char sz_PolicyKey[] = "HKCU\\SOFTWARE\\Policies\\Corvane\\Panorel";

static HWND MessageOwner()
{
    // The program's main window when it exists; messages appear above it.
    HWND active = GetActiveWindow();
    return active ? active : NULL;
}

bool IsPolicyOn(const char* name, bool showMessage)
{
    RegKey key(sz_PolicyKey, 0);
    if (!key.IsOpen() || !name)
        return false;
    bool on = key.GetDword(name, 0) != 0;
    if (on && showMessage)
        ShowRestrictedMessage();
    return on;
}

void ShowRestrictedMessage()
{
    const char* caption = GetProductInfo().name;
    if (IsPolicyOn("DisplayCustomMessage", false)) {
        char text[MAX_PATH];
        if (GetPolicyString("CustomMessage", text))
            MessageBoxA(MessageOwner(), text, caption, MB_OK | MB_ICONSTOP);
        return;
    }
    ResStr text(IDS_RESTRICTED);
    MessageBoxA(MessageOwner(), text, caption, MB_OK | MB_ICONSTOP);
}

bool GetPolicyString(const char* name, char* buffer)
{
    if (!buffer)
        return false;
    buffer[0] = 0;
    RegKey key(sz_PolicyKey, 0);
    if (!key.IsOpen() || !name)
        return false;
    return key.GetStr(name, buffer, MAX_PATH, "") > 0;
}

bool GetRootPath(RootKind kind, char* buffer)
{
    return GetPolicyString(kind == ROOT_MAIN ? "RootPath" : "AltRootPath", buffer);
}

bool IsPathInRoot(RootKind kind, const char* path)
{
    char root[MAX_PATH];
    if (!GetRootPath(kind, root))
        return true;
    if (!path)
        return false;
    size_t n = strlen(root);
    return strlen(path) >= n && CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, path, (int)n,
                                                root, (int)n) == CSTR_EQUAL;
}

bool IsRootPathMissing(RootKind kind)
{
    char root[MAX_PATH];
    if (!GetRootPath(kind, root))
        return false;
    DWORD attr = GetFileAttributesA(root);
    return attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool FilterShellKey(const MSG* msg)
{
    UINT m = msg->message;
    if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_CHAR && m != WM_SYSKEYDOWN &&
        m != WM_SYSKEYUP && m != WM_SYSCHAR)
        return false;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool system = m == WM_SYSKEYDOWN || m == WM_SYSKEYUP || m == WM_SYSCHAR;
    WPARAM key = msg->wParam;
    const char* policy = nullptr;
    if (m == WM_CHAR) {
        // Ctrl+letter arrives as a control character.
        if (key == 3)
            policy = "DisableShellCopy";
        else if (key == 22)
            policy = "DisableShellPaste";
        else if (key == 24)
            policy = "DisableShellCut";
        else if (key == 26)
            policy = "DisableShellUndo";
    } else if (system) {
        if (key == VK_RETURN || key == '\r')
            policy = "DisableShellProperties";
    } else if (key == VK_DELETE && !ctrl && !shift) {
        policy = "DisableShellDelete";
    } else if (ctrl) {
        if (key == 'C')
            policy = "DisableShellCopy";
        else if (key == 'V')
            policy = "DisableShellPaste";
        else if (key == 'X')
            policy = "DisableShellCut";
        else if (key == 'Z')
            policy = "DisableShellUndo";
    }
    if (!policy || !IsPolicyOn(policy, false))
        return false;
    // One message per key press: the key-down shows it, the rest are swallowed quietly.
    if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN)
        ShowRestrictedMessage();
    return true;
}
