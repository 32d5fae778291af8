// Helpers for tests on file names: several items selected at once, whole trees read back,
// and a copy of a program without its application manifest.
#pragma once
#include <windows.h>
#include <map>
#include <string>
#include <vector>

namespace drv {
// Selects exactly the items of another process's list view whose texts are named; false when
// one of them is missing.
bool SelectListItems(HWND list, const std::vector<std::string>& names);
// The tree below folder: relative path -> contents ("<dir>" for folders).
std::map<std::string, std::string> TreeOf(const std::string& folder);
// Copies the program exe and the library beside it into folder, with the copy's manifest
// asking for no UTF-8 code page (so it runs with the system's own 8-bit one). The copy's path.
std::string CopyWithoutUtf8CodePage(const char* exeName, const std::string& folder);
}  // namespace drv
