// Finding and activating a running instance of one of the maker's programs through the
// maker-wide message ("CorvaneMessage").
#pragma once
#include "../Panorel32.h"

// Asks every top-level window with the maker-wide message (code 3, lParam id); the first that
// answers non-zero is the previous instance and is returned (null when none answers).
PANOREL32_API HWND ActivatePreviousInstance(int id);
// The receiving side: restores and brings forward `window` and answers 1 only for the
// maker-wide message with code 3 and lParam id; 0 otherwise.
PANOREL32_API LRESULT OnActivatePreviousInstance(int id, HWND window, UINT message, WPARAM wp,
                                                 LPARAM lp);
// Top-level windows by class and title (either may be null); with a code, only a window that
// answers the maker-wide message 121 with that code. Activates / closes the first found.
PANOREL32_API HWND ActivatePrevWnd(const char* className, const char* title, int code);
PANOREL32_API HWND ClosePrevWnd(const char* className, const char* title, int code);
// The same for windows of the dialog class.
PANOREL32_API HWND ActivatePrevDlg(int code);

// Process-wide single instance by a named event "<Global|Local>\Corvane_App_<name>".
class PANOREL32_API SingleInstanceXP {
public:
    // True when the event did not exist before. The handle is kept until the process ends.
    static bool IsFirstInstance(const char* global, const char* name);
};
