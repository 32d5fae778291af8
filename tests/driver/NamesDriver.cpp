#include "NamesDriver.h"
#include "Driver.h"
#include "SelectDriver.h"
#include <commctrl.h>
#include <algorithm>
#include <utility>
#include <vector>

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

static void TreeInto(const std::string& folder, const std::string& rel,
                     std::map<std::string, std::string>& out)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string key = rel.empty() ? name : rel + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[key] = "<dir>";
            TreeInto(folder + "\\" + name, key, out);
        } else {
            out[key] = ReadBytes(folder + "\\" + name);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

std::map<std::string, std::string> TreeOf(const std::string& folder)
{
    std::map<std::string, std::string> out;
    TreeInto(folder, "", out);
    return out;
}

std::string CopyWithoutUtf8CodePage(const char* exeName, const std::string& folder)
{
    CreateDirectoryA(folder.c_str(), NULL);
    std::string from = ProgramPath(exeName);
    std::string to = folder + "\\" + exeName;
    std::string dir = from.substr(0, from.find_last_of('\\') + 1);
    if (!CopyFileA((dir + "panorel32.dll").c_str(), (folder + "\\panorel32.dll").c_str(), FALSE))
        return std::string();
    // Wine's resource updater leaves the manifest in place: its code page setting is
    // overwritten in the bytes instead, with a value of the same length that asks for none.
    std::string image = ReadBytes(from);
    const std::string setting = ">UTF-8</activeCodePage>";
    size_t at = image.find(setting);
    if (at == std::string::npos)
        return std::string();
    image.replace(at, setting.size(), ">none_</activeCodePage>");
    if (image.find(setting) != std::string::npos || !WriteBytes(to, image))
        return std::string();
    return to;
}

}  // namespace drv
