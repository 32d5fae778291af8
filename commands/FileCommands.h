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
