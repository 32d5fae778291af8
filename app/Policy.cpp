#include "app/Policy.h"
#include "app/Resource.h"
#include "registry/RegKey.h"
#include "shell/Pidl.h"
#include "util/StrUtil.h"
#include "util/ResStr.h"
#include "util/StrUtil.h"
#include "shell/Pidl.h"
#include "ui/MsgUtil.h"
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

// The match must end at a separator, so "C:\\root" does not take in "C:\\root2" or "C:\\root.. ".
bool PathLiesIn(const char* path, const char* root)
{
    size_t n = strlen(root);
    while (n > 0 && (root[n - 1] == '\\' || root[n - 1] == '/'))
        --n;
    if (n == 0 || strlen(path) < n ||
        CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, path, (int)n, root, (int)n) != CSTR_EQUAL)
        return false;
    char next = path[n];
    return next == 0 || next == '\\' || next == '/';
}

bool IsPathInRoot(RootKind kind, const char* path)
{
    char root[MAX_PATH];
    if (!GetRootPath(kind, root))
        return true;
    if (!path)
        return false;
    return PathLiesIn(path, root);
}

bool GetPanelRoot(int panelIndex, RootKind& kind)
{
    char root[MAX_PATH];
    if (panelIndex == 1 && GetRootPath(ROOT_ALT, root)) {
        kind = ROOT_ALT;
        return true;
    }
    kind = ROOT_MAIN;
    return GetRootPath(ROOT_MAIN, root);
}

// The final path of an existing file-system object as the system resolves it ("\\?\" form);
// false when it cannot be opened or named.
static bool FinalPathOf(const char* path, WCHAR* out, DWORD size)
{
    WCHAR wide[MAX_PATH * 2];
    if (!path || !*path || !AnsiToWideExact(path, -1, wide, MAX_PATH * 2))
        return false;
    HANDLE h = CreateFileW(wide, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = GetFinalPathNameByHandleW(h, out, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(h);
    if (n == 0 || n >= size)
        return false;
    // One spelling for a drive root and any folder: no trailing backslash.
    if (n > 0 && out[n - 1] == L'\\')
        out[n - 1] = 0;
    return true;
}

bool IsPathInPanelRoot(int panelIndex, const char* path)
{
    RootKind kind;
    if (!GetPanelRoot(panelIndex, kind))
        return true;
    char root[MAX_PATH];
    GetRootPath(kind, root);
    WCHAR rootFinal[1024], pathFinal[1024];
    if (!FinalPathOf(root, rootFinal, 1024) || !FinalPathOf(path, pathFinal, 1024))
        return false;
    int n = lstrlenW(rootFinal), m = lstrlenW(pathFinal);
    if (m < n || CompareStringOrdinal(pathFinal, n, rootFinal, n, TRUE) != CSTR_EQUAL)
        return false;
    // A root C:\r holds C:\r\x, not C:\rx.
    return m == n || pathFinal[n] == L'\\';
}

bool IsFolderInRoot(int panelIndex, const ITEMIDLIST* folder)
{
    RootKind kind;
    if (!GetPanelRoot(panelIndex, kind))
        return true;
    char path[kMaxPathBytes] = "";
    if (!folder || GetExactPathOf(folder, path, sizeof(path)) != PathExact)
        return false;
    // Only a folder can be a panel's place: a shortcut file inside the root is no way out.
    DWORD attr = GetFileAttributesA(path);
    if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return IsPathInPanelRoot(panelIndex, path);
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

