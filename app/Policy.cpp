#include "app/Policy.h"
#include "app/Resource.h"
#include "registry/RegKey.h"
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

// True when path is root or lies below it: the match must end at a separator, so "C:\\root"
// does not take in "C:\\root2" or "C:\\root.. ".
static bool PathLiesIn(const char* path, const char* root)
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

// The folder's path as the file system resolves it (links and junctions followed), in its
// drive form; false when it is no existing folder or the path cannot be given exactly.
static bool GetFinalFolderPath(const char* path, char* out, int size)
{
    WCHAR wide[MAX_PATH];
    if (!AnsiToWideExact(path, -1, wide, MAX_PATH))
        return false;
    HANDLE h = CreateFileW(wide, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    WCHAR final[MAX_PATH + 8];
    DWORD n = 0;
    bool folder = GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (folder)
        n = GetFinalPathNameByHandleW(h, final, MAX_PATH + 8, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(h);
    if (!folder || n == 0 || n >= MAX_PATH + 8)
        return false;
    const WCHAR* p = final;
    if (wcsncmp(p, L"\\\\?\\UNC\\", 8) == 0)
        return false;   // a share: the roots are drive folders
    if (wcsncmp(p, L"\\\\?\\", 4) == 0)
        p += 4;
    return WideToAnsiExact(p, (int)wcslen(p), out, size);
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

bool IsFolderInRoot(RootKind kind, const ITEMIDLIST* folder)
{
    char root[MAX_PATH];
    if (!GetRootPath(kind, root))
        return true;
    if (!folder)
        return false;
    // Only an existing file-system folder, named exactly, can be tested; its real place decides,
    // so a link, junction or shortcut inside the root does not lead out of it.
    char path[kMaxPathBytes];
    if (GetExactPathOf(folder, path, sizeof(path)) != PathExact || !IsPathInRoot(kind, path))
        return false;
    char realPath[kMaxPathBytes], realRoot[kMaxPathBytes];
    if (!GetFinalFolderPath(path, realPath, sizeof(realPath)))
        return false;
    if (!GetFinalFolderPath(root, realRoot, sizeof(realRoot)))
        return false;
    return PathLiesIn(realPath, realRoot);
}

RootKind RootKindOfPanel(int index)
{
    char root[MAX_PATH];
    return index == 1 && GetRootPath(ROOT_ALT, root) ? ROOT_ALT : ROOT_MAIN;
}

void ShowOutsideRootMessage(HWND owner, const ITEMIDLIST* folder)
{
    char name[kMaxPathBytes] = "";
    GetNameForMessage(folder, name, sizeof(name));
    Msg(owner ? owner : MessageOwner(), MB_OK | MB_ICONSTOP, IDS_OUTSIDE_ROOT, name);
}
