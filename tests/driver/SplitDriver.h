// Driver helpers for the split, merge, compare and synchronize tests: selections in another
// process's list, whole-file checks, dialogs by caption, and Unix commands run through Wine.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace drv {
// Selects exactly the named items of a list view in another process (the first focused).
bool SelectListItems(HWND list, const std::vector<std::string>& names);
// The file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& bytes);
// A dialog of the process with exactly that caption, or null after the timeout.
HWND WaitForDialogCaption(DWORD pid, const char* caption, DWORD timeoutMs = 10000);
// The Unix path of a Windows path under Wine; empty elsewhere.
std::string UnixPathOf(const std::string& path);
// Runs a script in a Unix shell through Wine and waits for it (Wine cannot wait for a Unix
// process: the script's output and exit code land in a file that appears last). True when the
// script exited with 0.
bool RunUnixShell(const std::string& script, std::string* output = nullptr, DWORD timeoutMs = 60000);
}  // namespace drv
