// View - Options: the six pages of the Options sheet and the command that fills them from the
// option groups and applies them after OK.
#pragma once

class CMainFrame;

void ShowOptions(CMainFrame& frame);
