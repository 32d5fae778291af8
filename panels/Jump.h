// The Jump field: an editable combo box over the active panel's title bar that takes the path
// of a folder to go to, with the "JumpMRU" history and folder auto-completion. It closes itself
// when it loses the focus and deletes itself with its window.
#pragma once
#include <windows.h>

class ViewFrame;

// Opens the field over the panel's title (one at a time); false when it could not be made.
bool OpenJumpField(ViewFrame* panel, HWND owner, bool history, bool autoComplete);
// The open field's combo box, or null.
HWND JumpFieldWindow();
