// The command table: every menu item, key and toolbar button of the main window that the frame
// does not handle itself, with its policy lock and update rule.
#pragma once
#include <windows.h>

class CMainFrame;
namespace fw {
class CmdUI;
}

// True when id is a command of the table (handled, or its update rule answered).
bool CommandTable_OnCmdMsg(CMainFrame& frame, UINT id, int code, fw::CmdUI* ui);
