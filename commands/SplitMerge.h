// Split cuts the active panel's selected files into numbered segments; Merge joins segments
// back into one file. Both share the Copy dialog's template and run with a progress dialog.
#pragma once
#include <windows.h>
#include <string>

class CMainFrame;

// Commands 39405 (Split) and 39406 (Merge); the command table has checked the policy.
void RunSplitMerge(CMainFrame& frame, UINT id);

// The name of a segment (number 1..999) or, with number 0, of a joined file: the mask's name
// and extension where they are not "*" and ".*", else the source's; in dstFolder, or beside
// the source when dstFolder is empty. False when the result would not fit MAX_PATH.
bool SplitMerge_MakeName(const char* source, const char* dstFolder, const char* mask, int number,
                         std::string& out);
// The path without a final extension that is a positive decimal number ("a.txt.003" gives
// "a.txt"); the path itself otherwise.
std::string SplitMerge_BaseOf(const char* path);
// A segment size typed by the user: decimal digits only (blanks around), at most 0xFFFFFFFF;
// 0 for anything else.
DWORD SplitMerge_ParseSize(const char* text);
