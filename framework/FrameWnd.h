// A frame window: menu, icon and accelerators from one resource identifier, control bars docked
// around a client window, menu items and bar buttons updated by the command routing.
#pragma once
#include "Wnd.h"
#include <vector>

namespace fw {

class ControlBar;


class FrameWnd : public Wnd {
public:
    ~FrameWnd() override;
    // Creates a top-level frame from the resources numbered resId (menu, icon and accelerators,
    // each optional) in the program's module.
    bool LoadFrame(UINT resId, DWORD style, const char* className, const char* title);
    // Creates a child frame (a panel's frame inside a splitter).
    bool CreateChildFrame(HWND parent, UINT id, const char* className);
    HACCEL m_hAccelTable = NULL;
    void SetAccelerators(HACCEL accel);
    bool PreTranslateMessage(MSG* msg) override;
    // Runs the update handlers of every item of a menu.
    void UpdateMenu(HMENU menu);
    bool m_bAutoMenuEnable = true;   // disable items that no handler answers

    // Bars: the frame lays them out; the client window takes the rest.
    void AddControlBar(ControlBar* bar);
    void DockControlBar(ControlBar* bar, int side, int order = -1);
    void ShowControlBar(ControlBar* bar, bool show);
    ControlBar* GetControlBar(UINT id) const;
    const std::vector<ControlBar*>& Bars() const { return m_bars; }
    void RecalcLayout();
    HWND m_client = NULL;   // the window inside the bars
    // Asked before a bar starts moving; false refuses silently.
    virtual bool CanMoveBar(ControlBar* bar);
    // Profile sections "<name>-Summary" and "<name>-Bar<i>": side, order and visibility.
    void SaveBarState(const char* name) const;
    void LoadBarState(const char* name);
    // Update handlers of every bar's items (called from the idle pass).
    void UpdateBars();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PostNcDestroy() override;
    std::vector<ControlBar*> m_bars;   // not owned
};

}  // namespace fw
