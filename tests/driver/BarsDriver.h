// Toolbars and the notification-area icon of panorel, read from outside.
#pragma once
#include <windows.h>
#include <vector>

namespace drv {
// The toolbar control of the main toolbar (bar 59392) or of a panel's toolbar (bar 59425).
HWND MainToolbar(HWND main);
HWND PanelToolbar(HWND main, int index);
// The buttons of a toolbar in another process, in order: command numbers, 0 for separators.
// With ownOnly, buttons carrying data of their own (a shell view's, merged in) are left out.
std::vector<WORD> ToolbarButtons(HWND toolbar, bool ownOnly = true);
// Inserts a separator at index into a toolbar of another process.
bool InsertToolbarSeparator(HWND toolbar, int index);
// The hidden window of the process that owns its notification-area icon, or null.
HWND TrayIconWindow(DWORD pid);
// The file-name field of the common open and save dialogs, or null.
HWND FileDialogNameField(HWND dlg);
// A visible dialog-class window of any process whose texts contain text (the reports of the
// RunDll32 process), waited for; null on timeout.
HWND WaitForBoxOfAnyProcess(const char* text, DWORD timeoutMs);
}  // namespace drv
