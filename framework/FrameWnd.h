// A top-level frame window with a menu, an icon and an accelerator table from one resource
// identifier; menu items are updated by the command routing before a menu drops down.
#pragma once
#include "Wnd.h"

namespace fw {

class FrameWnd : public Wnd {
public:
    ~FrameWnd() override;
    // Creates the frame from the resources numbered resId (menu, icon and accelerators, each
    // optional) in the program's module.
    bool LoadFrame(UINT resId, DWORD style, const char* className, const char* title);
    HACCEL m_hAccelTable = NULL;
    // Replaces the accelerator table (the frame owns it).
    void SetAccelerators(HACCEL accel);
    bool PreTranslateMessage(MSG* msg) override;
    // Runs the update handlers of every item of a menu.
    void UpdateMenu(HMENU menu);
    bool m_bAutoMenuEnable = true;   // disable items that no handler answers

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PostNcDestroy() override;
};

}  // namespace fw
