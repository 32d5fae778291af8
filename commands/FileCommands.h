// The file commands acting on the active panel's selection (Copy, Move, Rename, Delete and the
// rest of the Command menu), reached from the main frame's command routing.
#pragma once
#include <windows.h>

class CMainFrame;
namespace fw {
class CmdUI;
}

// True when id is a file command (handled, or its update rule answered).
bool FileCommands_OnCmdMsg(CMainFrame& frame, UINT id, int code, fw::CmdUI* ui);

// The file-operation template serves several commands: hides the controls of a block that one of
// them does not use, moves OK, Cancel and Help up from below the block to where its first
// control (top) stood and shrinks the dialog by that height.
void CollapseDialogBlock(HWND dialog, const int* hidden, int count, int top);
