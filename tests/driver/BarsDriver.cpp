#include "BarsDriver.h"
#include "Driver.h"
#include <commctrl.h>

namespace drv {

HWND MainToolbar(HWND main)
{
    HWND bar = GetDlgItem(main, 59392);
    return bar ? GetDlgItem(bar, 59392) : NULL;
}

HWND PanelToolbar(HWND main, int index)
{
    HWND panel = PanelWindow(main, index);
    HWND bar = panel ? GetDlgItem(panel, 59425) : NULL;
    return bar ? GetDlgItem(bar, 59425) : NULL;
}

std::vector<WORD> ToolbarButtons(HWND toolbar, bool ownOnly)
{
    std::vector<WORD> list;
    DWORD pid = 0;
    GetWindowThreadProcessId(toolbar, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                 FALSE, pid);
    if (!process)
        return list;
    void* remote = VirtualAllocEx(process, NULL, sizeof(TBBUTTON), MEM_COMMIT, PAGE_READWRITE);
    int n = remote ? (int)SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0) : 0;
    for (int i = 0; i < n; i++) {
        TBBUTTON b = {};
        SIZE_T got = 0;
        if (!SendMessageA(toolbar, TB_GETBUTTON, i, (LPARAM)remote) ||
            !ReadProcessMemory(process, remote, &b, sizeof(b), &got))
            continue;
        if (ownOnly && b.dwData)
            continue;
        list.push_back((b.fsStyle & TBSTYLE_SEP) ? 0 : (WORD)b.idCommand);
    }
    if (remote)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return list;
}

bool InsertToolbarSeparator(HWND toolbar, int index)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(toolbar, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                 FALSE, pid);
    if (!process)
        return false;
    TBBUTTON sep = {};
    sep.fsStyle = TBSTYLE_SEP;
    void* remote = VirtualAllocEx(process, NULL, sizeof(sep), MEM_COMMIT, PAGE_READWRITE);
    SIZE_T done = 0;
    bool ok = remote && WriteProcessMemory(process, remote, &sep, sizeof(sep), &done) &&
              SendMessageA(toolbar, TB_INSERTBUTTONA, index, (LPARAM)remote);
    if (remote)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return ok;
}

HWND FileDialogNameField(HWND dlg)
{
    for (int id : {1148, 1152}) {
        HWND w = GetDlgItem(dlg, id);
        if (w && IsWindowVisible(w))
            return w;
    }
    return NULL;
}

namespace {
struct BoxSearch {
    const char* text;
    HWND found;
};

BOOL CALLBACK FindBoxProc(HWND wnd, LPARAM lp)
{
    BoxSearch* s = reinterpret_cast<BoxSearch*>(lp);
    if (IsWindowVisible(wnd) && ClassName(wnd) == "#32770" &&
        AllTexts(wnd).find(s->text) != std::string::npos) {
        s->found = wnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND WaitForBoxOfAnyProcess(const char* text, DWORD timeoutMs)
{
    BoxSearch s = {text, NULL};
    WaitFor([&] {
        EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&s));
        return s.found != NULL;
    }, timeoutMs);
    return s.found;
}

HWND TrayIconWindow(DWORD pid)
{
    for (HWND w : TopLevelWindows(pid, false))
        if (ClassName(w) == "PANOREL_TB_ICON")
            return w;
    return NULL;
}

}  // namespace drv
