#include "app/CommandTable.h"
#include "app/MainFrame.h"

bool CommandTable_OnCmdMsg(CMainFrame&, UINT, int, fw::CmdUI*)
{
    // Filled in with the full command table.
    return false;
}
