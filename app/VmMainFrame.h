// A main frame that keeps its placement ("Frame Window": Show, Left, Top, Right, Bottom) and
// its control-bar layout ("Control Bars") in the program's profile.
#pragma once
#include "framework/FrameWnd.h"

class VmMainFrame : public fw::FrameWnd {
public:
    // Restores the normal rectangle when one is stored; a rectangle off the screen becomes the
    // screen less 20 pixels on each side. Returns the stored show state (0, 1 or 2).
    int LoadPlacement();
    // normal: the rectangle to keep as the normal position (the full-screen code passes its own).
    void SavePlacement(const RECT* normal = nullptr);
};
