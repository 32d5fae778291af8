// The panels' Quick Edit commands: the selected files in the internal editor or in the
// external program the user chose.
#pragma once
#include <windows.h>
#include <string>

class CMainFrame;

// alternative: the other editor than the preferred one. True when the external one was used.
bool QuickEditSelection(CMainFrame& frame, bool alternative);
// The external editor's argument text: every "%1" of the template replaced by the path (a "%1"
// is dropped when the path is empty).
std::string MakeQuickEditArgs(const char* argTemplate, const char* path);
