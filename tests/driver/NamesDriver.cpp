#include "NamesDriver.h"
#include "Driver.h"
#include "SelectDriver.h"
#include <commctrl.h>
#include <algorithm>
#include <utility>
#include <vector>

namespace drv {


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
