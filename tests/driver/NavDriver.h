// Helpers for the navigation tests: the open pop-up menu of a process and keys for it, tree
// controls and list boxes of another process read through its memory, and sending a panel to
// a folder as an outside caller does.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <initializer_list>
#include <string>
#include <vector>

namespace drv {
// The process's visible pop-up menu window, or null after the timeout.
HWND WaitForPopupMenu(DWORD pid, DWORD timeoutMs = 5000);
// True once the process shows no pop-up menu.
bool NoPopupMenu(DWORD pid, DWORD timeoutMs = 3000);
// Key presses for an open menu (menus of another process cannot be read under Wine).
void MenuKeys(HWND popup, std::initializer_list<UINT> keys);
// The text of a tree item of another process (the selected one when item is null), as UTF-8.
std::string TreeItemText(HWND tree, HTREEITEM item = NULL);
// The texts of an item's children (the root items for null).
std::vector<std::string> TreeChildTexts(HWND tree, HTREEITEM parent);
// The items of a list box of another process, as UTF-8.
std::vector<std::string> ListBoxTexts(HWND box);
// Sends the active panel of the program to a folder: the wide path as WM_COPYDATA code 2, then
// "PanorelMsg" code 12. True when the program took it.
bool SendPanelTo(class AppProcess& app, const std::string& utf8Path);
// UTF-8 and UTF-16 conversions for names in tests.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
}  // namespace drv
