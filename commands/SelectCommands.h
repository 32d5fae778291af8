// Selecting the active panel's objects (all, none, inverted, by mask in the modeless Select
// dialog), New Folder, the panel filter, the Copy to Clipboard commands, and the routing of
// Stamp and List.
#pragma once
#include <windows.h>
#include <string>

class CMainFrame;
namespace fw {
class CmdUI;
}

// True when id is one of these commands (handled, or its update rule answered).
bool SelectCommands_OnCmdMsg(CMainFrame& frame, UINT id, int code, fw::CmdUI* ui);
// A Copy to Clipboard - Column menu about to open gets one item per column of the active
// panel's list ("Empty", disabled, when it has none). Other menus are left alone.
void SelectCommands_InitMenuPopup(CMainFrame& frame, HMENU menu);
// Keys for the open Select dialog go to the dialog, not to the main window's accelerators.
bool SelectCommands_PreTranslate(MSG* msg);

// Empties the clipboard and puts the text on it, as 8-bit text of the process code page and
// as Unicode text, so programs of any code page paste the same characters. An empty text leaves
// the clipboard empty. False when the clipboard cannot be opened or memory is short.
bool PutTextOnClipboard(HWND owner, const std::string& text);

// The panel's path as the system gave it may be handed on: it holds no '?' or '*' (which the
// file system would take as wildcards, or which stand for characters lost in conversion).
bool IsPassablePath(const char* path);
