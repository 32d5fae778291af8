#include "SplitDriver.h"
#include "Driver.h"
#include <commctrl.h>
#include <algorithm>

namespace drv {

bool SelectListItems(HWND list, const std::vector<std::string>& names)
{
    std::vector<std::string> all = ListViewTexts(list, false);
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return false;
    void* remote = VirtualAllocEx(process, NULL, sizeof(LVITEMA), MEM_COMMIT, PAGE_READWRITE);
    size_t found = 0;
    if (remote) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SIZE_T done = 0;
        WriteProcessMemory(process, remote, &item, sizeof(item), &done);
        SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)remote);
        for (size_t i = 0; i < all.size(); ++i) {
            if (std::find(names.begin(), names.end(), all[i]) == names.end())
                continue;
            item.state = LVIS_SELECTED | (found == 0 ? LVIS_FOCUSED : 0);
            WriteProcessMemory(process, remote, &item, sizeof(item), &done);
            if (SendMessageA(list, LVM_SETITEMSTATE, i, (LPARAM)remote))
                ++found;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return found == names.size();
}

HWND WaitForDialogCaption(DWORD pid, const char* caption, DWORD timeoutMs)
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

typedef char*(CDECL* UnixNameFn)(const WCHAR*);

std::string UnixPathOf(const std::string& path)
{
    static UnixNameFn fn = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!fn)
        return std::string();
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return std::string();
    char* unix = fn(wide);
    if (!unix)
        return std::string();
    std::string out = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

bool RunUnixShell(const std::string& script, std::string* output, DWORD timeoutMs)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string done = std::string(temp) + "split_driver_unix.out";
    std::string part = done + ".part";
    DeleteFileA(done.c_str());
    std::string unixDone = UnixPathOf(done), unixPart = UnixPathOf(part);
    if (unixDone.empty())
        return false;
    std::string cmd = "sh -c \"(" + script + ") > '" + unixPart + "' 2>&1; echo rc=$? >> '" +
                      unixPart + "'; mv '" + unixPart + "' '" + unixDone + "'\"";
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA("/bin/sh", line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    // Wine gives no handles for a Unix process: what comes back is garbage, and closing it
    // closed handles of this process (its window station went, and with it all input).
    if (!WaitFor([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeoutMs))
        return false;
    std::string text = ReadBytes(done);
    DeleteFileA(done.c_str());
    if (output)
        *output = text;
    return text.find("rc=0") != std::string::npos;
}

}  // namespace drv
