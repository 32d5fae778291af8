#include "NavDriver.h"
#include "Driver.h"

namespace drv {

HWND WaitForPopupMenu(DWORD pid, DWORD timeoutMs)
{
    HWND popup = NULL;
    WaitFor([&] {
        for (HWND w : TopLevelWindows(pid))
            if (ClassName(w) == "#32768")
                popup = w;
        return popup != NULL;
    }, timeoutMs);
    return popup;
}

bool NoPopupMenu(DWORD pid, DWORD timeoutMs)
{
    return WaitFor([&] {
        for (HWND w : TopLevelWindows(pid))
            if (ClassName(w) == "#32768")
                return false;
        return true;
    }, timeoutMs);
}

void MenuKeys(HWND popup, std::initializer_list<UINT> keys)
{
    for (UINT k : keys) {
        PostMessageA(popup, WM_KEYDOWN, k, 0);
        PostMessageA(popup, WM_KEYUP, k, 0xC0000001);
    }
}

std::wstring Wide(const std::string& utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, NULL, 0);
    std::wstring w(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &w[0], n);
    return w;
}

std::string Utf8(const std::wstring& wide)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, NULL, 0, NULL, NULL);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &s[0], n, NULL, NULL);
    return s;
}

std::string TreeItemText(HWND tree, HTREEITEM item)
{
    if (!item)
        item = (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    if (!item)
        return std::string();
    DWORD pid = 0;
    GetWindowThreadProcessId(tree, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return std::string();
    const int chars = 1024;
    BYTE* remote = (BYTE*)VirtualAllocEx(process, NULL, sizeof(TVITEMW) + chars * sizeof(WCHAR),
                                         MEM_COMMIT, PAGE_READWRITE);
    std::string out;
    if (remote) {
        TVITEMW tv = {};
        tv.mask = TVIF_TEXT | TVIF_HANDLE;
        tv.hItem = item;
        tv.pszText = (LPWSTR)(remote + sizeof(TVITEMW));
        tv.cchTextMax = chars;
        SIZE_T done = 0;
        WCHAR text[chars] = {};
        if (WriteProcessMemory(process, remote, &tv, sizeof(tv), &done) &&
            SendMessageW(tree, TVM_GETITEMW, 0, (LPARAM)remote) &&
            ReadProcessMemory(process, remote + sizeof(TVITEMW), text, sizeof(text) - sizeof(WCHAR), &done))
            out = Utf8(text);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return out;
}

std::vector<std::string> TreeChildTexts(HWND tree, HTREEITEM parent)
{
    std::vector<std::string> out;
    HTREEITEM c = parent ? (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)parent)
                         : (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    for (; c; c = (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)c))
        out.push_back(TreeItemText(tree, c));
    return out;
}

std::vector<std::string> ListBoxTexts(HWND box)
{
    std::vector<std::string> out;
    int n = (int)SendMessageW(box, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; i++) {
        int len = (int)SendMessageW(box, LB_GETTEXTLEN, i, 0);
        std::wstring text(len > 0 ? len + 1 : 1, L'\0');
        if (len > 0)
            SendMessageW(box, LB_GETTEXT, i, (LPARAM)&text[0]);
        text.resize(len > 0 ? len : 0);
        out.push_back(Utf8(text.c_str()));
    }
    return out;
}

bool SendPanelTo(AppProcess& app, const std::string& utf8Path)
{
    std::wstring w = Wide(utf8Path);
    if (!app.CopyData(2, w.c_str(), (DWORD)((w.size() + 1) * sizeof(WCHAR))))
        return false;
    return app.SendRegistered("PanorelMsg", 12, 0) != 0;
}

}  // namespace drv
