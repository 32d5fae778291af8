#include "commands/FileCommands.h"
#include "app/MainFrame.h"

bool FileCommands_OnCmdMsg(CMainFrame&, UINT, int, fw::CmdUI*)
{
    // The file commands come with the file-operation engine.
    return false;
}
