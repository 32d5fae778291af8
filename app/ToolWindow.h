// A modeless window of the program's own beside the main window (an editor, the image preview,
// the folder tree). The main window lists the open ones, the most recently activated first, and
// closes them when it goes.
#pragma once
#include <windows.h>

class ToolWindow {
public:
    virtual HWND GetToolHWND() const = 0;
    // The main window is going: close without questions (they were asked before), keeping
    // the stored placement.
    virtual void CloseWithFrame() = 0;

protected:
    ~ToolWindow() = default;
};
