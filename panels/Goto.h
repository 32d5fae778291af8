// The "Go to Folder" dialog and the rule shared with the Jump field for a typed folder text.
#pragma once
#include <windows.h>

class ViewFrame;

enum GotoResult { GotoBrowsed, GotoRefused, GotoNotFolder, GotoCancelled };

// Sends the panel to the typed folder: an existing folder, a server root or an FTP address.
// Texts too long for a path, with wildcards or other characters no name holds, are refused
// with a message; so is a folder the root policy keeps the panel from (message of the policy).
// GotoNotFolder when the text names no folder (nothing shown).
GotoResult GotoFolderText(ViewFrame* panel, const char* text, HWND owner);
// True when the root policy confines the panel and the text, run through the shell, would open
// a folder outside the root (a shortcut's target, an environment-variable form); the message
// has been shown then.
bool RunWouldLeaveRoot(ViewFrame* panel, const char* text, HWND owner);

// Folder - Go to: the dialog over the active panel, then the folder or the program.
void RunGotoDialog(HWND owner, ViewFrame* panel, bool centreOnPanel);
