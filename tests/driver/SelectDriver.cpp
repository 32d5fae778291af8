#include "SelectDriver.h"
#include "Driver.h"
#include "SplitDriver.h"
#include <commctrl.h>
#include <algorithm>

namespace drv {

bool SelectNames(HWND list, const std::vector<std::string>& names)
{
    return SelectListItems(list, names);
}

namespace {
// Sends a list message whose lParam is an LVITEMA to another process's list: the item goes
// into that process's memory and, when read, comes back from it. False when the message failed.
bool RemoteItem(HWND list, UINT msg, WPARAM wp, LVITEMA& item, bool read)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return false;
    bool ok = false;
    void* remote = VirtualAllocEx(process, NULL, sizeof(LVITEMA), MEM_COMMIT, PAGE_READWRITE);
    if (remote) {
        SIZE_T done = 0;
        DWORD_PTR result = 0;
        ok = WriteProcessMemory(process, remote, &item, sizeof(item), &done) &&
             SendMessageTimeoutA(list, msg, wp, (LPARAM)remote, SMTO_ABORTIFHUNG, 10000, &result) && result &&
             (!read || ReadProcessMemory(process, remote, &item, sizeof(item), &done));
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return ok;
}
}  // namespace

bool SetItemState(HWND list, int index, UINT state, UINT mask)
{
    LVITEMA item = {};
    item.state = state;
    item.stateMask = mask;
    return RemoteItem(list, LVM_SETITEMSTATE, (WPARAM)index, item, false);
}

int ItemImage(HWND list, int index)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    return RemoteItem(list, LVM_GETITEMA, 0, item, true) ? item.iImage : -1;
}

int SelectedCount(HWND list)
{
    return (int)SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0);
}

int ItemCount(HWND list)
{
    return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
}

int FocusedItem(HWND list)
{
    return (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
}

static INPUT KeyInput(WORD vk, bool up)
{
    INPUT i = {};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    i.ki.wScan = (WORD)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return i;
}

bool PressKey(HWND foreground, WORD vk, const std::vector<WORD>& modifiers)
{
    if (foreground)
        SetForegroundWindow(foreground);
    std::vector<INPUT> in;
    auto key = [&](WORD k, bool up) { in.push_back(KeyInput(k, up)); };
    for (WORD m : modifiers)
        key(m, false);
    key(vk, false);
    key(vk, true);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
        key(*it, true);
    // Wine refuses input for a while after another program's window went away: try again.
    for (int attempt = 0; attempt < 30; ++attempt) {
        if (SendInput((UINT)in.size(), in.data(), sizeof(INPUT)) == in.size())
            return true;
        Sleep(100);
        if (foreground)
            SetForegroundWindow(foreground);
    }
    return false;
}

bool HoldKey(HWND foreground, WORD vk)
{
    // Under Wine a change of foreground window brings the X server's own keyboard state a
    // moment later, which lets go of a key only sent as input. So the focus settles first,
    // and the key must still be down a while after it was pressed.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (foreground) {
            SetForegroundWindow(foreground);
            WaitFor([&] { return GetForegroundWindow() == foreground; }, 3000);
        }
        Sleep(300);
        INPUT down = KeyInput(vk, false);
        if (SendInput(1, &down, sizeof(INPUT)) != 1)
            continue;
        Sleep(300);
        if (GetAsyncKeyState(vk) < 0)
            return true;
    }
    return false;
}

void ReleaseKey(WORD vk)
{
    INPUT up = KeyInput(vk, true);
    SendInput(1, &up, sizeof(INPUT));
}

std::string ClipboardText()
{
    std::string out = "<none>";
    for (int i = 0; i < 50 && !OpenClipboard(NULL); ++i)
        Sleep(20);
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data) {
        const char* text = static_cast<const char*>(GlobalLock(data));
        if (text)
            out = text;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return out;
}

std::string ClipboardUnicodeText()
{
    std::string out = "<none>";
    for (int i = 0; i < 50 && !OpenClipboard(NULL); ++i)
        Sleep(20);
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data) {
        const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(data));
        if (text) {
            int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
            std::string utf8(n > 0 ? n : 1, '\0');
            if (n > 0)
                WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], n, NULL, NULL);
            out = utf8.c_str();
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    return out;
}

void SetClipboardText(const std::string& text)
{
    for (int i = 0; i < 50 && !OpenClipboard(NULL); ++i)
        Sleep(20);
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (block) {
        memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        if (!SetClipboardData(CF_TEXT, block))
            GlobalFree(block);
    }
    CloseClipboard();
}

bool ClickButton(HWND dlg, int id)
{
    HWND button = GetDlgItem(dlg, id);
    DWORD_PTR result = 0;
    return button && SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

std::string ItemText(HWND dlg, int id)
{
    return WindowText(GetDlgItem(dlg, id));
}

bool SetItemText(HWND dlg, int id, const std::string& text)
{
    HWND item = GetDlgItem(dlg, id);
    DWORD_PTR result = 0;
    return item && SendMessageTimeoutA(item, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG,
                                       5000, &result);
}

HWND WaitForDialog(DWORD pid, const char* caption, DWORD timeoutMs)
{
    HWND found = NULL;
    WaitFor(
        [&] {
            for (HWND w : TopLevelWindows(pid))
                if (ClassName(w) == "#32770" && WindowText(w) == caption)
                    return (found = w) != NULL;
            return false;
        },
        timeoutMs);
    return found;
}

bool AnswerBox(DWORD pid, const char* text, int button, std::string* texts, DWORD timeoutMs)
{
    HWND box = NULL;
    WaitFor(
        [&] {
            for (HWND w : TopLevelWindows(pid))
                if (ClassName(w) == "#32770" && AllTexts(w).find(text) != std::string::npos)
                    return (box = w) != NULL;
            return false;
        },
        timeoutMs);
    if (!box)
        return false;
    if (texts)
        *texts = AllTexts(box);
    Sleep(100);   // let the box finish its set-up
    if (!PressButton(box, button))
        return false;
    // A box that is still going must not be taken for the next one.
    WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    return true;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = 0;
    bool ok = WriteFile(f, bytes.data(), (DWORD)bytes.size(), &n, NULL) && n == bytes.size();
    CloseHandle(f);
    return ok;
}

std::string ReadBytes(const std::string& path)
{
    std::string out;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return std::string();   // missing or unreadable
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(f, buf, sizeof(buf), &n, NULL) && n)
        out.append(buf, n);
    CloseHandle(f);
    return out;
}

}  // namespace drv
