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
// Gives the new frame its main menu.
void CommandTable_Install(CMainFrame& frame);
// The function-key layout's keys, tried before the frame's own table when the option is on.
// True when the message became a command.
bool CommandTable_PreTranslate(CMainFrame& frame, MSG* msg);
// Applies the stored panel font and colours to both panels' views.
void CommandTable_ApplyLook(CMainFrame& frame);

// The introductory screens: the next page at or after `from` (stepping by `step`, +1 or -1,
// wrapping between the first and the last page) whose string exists and does not start with
// "#"; 0 when there is none. Pages are numbered 1 to 98.
int Welcome_FindPage(int from, int step);
