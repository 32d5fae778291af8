// Control bars of a frame: a bar docks on one side of its frame (top, bottom, left or right),
// can be hidden, and is moved to another side by dragging its gripper. The frame lays the bars
// out around its client window and keeps their layout in the profile.
#pragma once
#include "Wnd.h"
#include <functional>
#include <string>

namespace fw {

class FrameWnd;

enum DockSide : int { DockTop = 0, DockBottom = 1, DockLeft = 2, DockRight = 3 };
const UINT DockAny = 0xF;   // mask of sides a bar accepts: 1 << DockSide

class ControlBar : public Wnd {
public:
    // Creates the bar window as a child of the frame, docked on side.
    bool CreateBar(FrameWnd* frame, UINT id, const char* title, DockSide side, UINT allowed = DockAny);
    UINT m_nID = 0;
    DockSide m_side = DockTop;
    UINT m_allowed = DockAny;
    int m_order = 0;   // position among the bars of its side, from the frame's edge inwards
    bool IsHorz() const { return m_side == DockTop || m_side == DockBottom; }
    bool IsVisible() const { return m_hWnd && (GetWindowLongA(m_hWnd, GWL_STYLE) & WS_VISIBLE); }
    // The bar's thickness across its side (height when horizontal, width when vertical).
    virtual int CalcThickness(bool horz) = 0;
    // Places the bar's content inside its rectangle (gripper excluded).
    virtual void LayoutContent(const RECT& client) = 0;
    // Runs the update handlers of the bar's items through the frame.
    virtual void UpdateItems(Wnd* target) { (void)target; }
    bool m_gripper = true;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    FrameWnd* m_frame = nullptr;
    static const int kGripper = 8;

private:
    bool m_dragging = false;
};

// Answers a tooltip request (TTN_GETDISPINFOA) of a command button with the part of the
// command's string after its newline; false for any other notification.
bool SetCommandTip(NMHDR* header);

// A bar holding a toolbar control with buttons of command identifiers; tooltips and status
// texts come from the string resource of each command ("status text\ntooltip").
class ToolBar : public ControlBar {
public:
    struct Button {
        UINT id;      // 0: separator
        int image;    // index in the bitmap
        BYTE style;   // TBSTYLE_ bits added to the button style
    };
    bool Create(FrameWnd* frame, UINT id, const char* title, DockSide side, HINSTANCE inst,
                UINT bitmapId, int imageCount, const Button* buttons, int count);
    HWND m_toolbar = NULL;
    int CalcThickness(bool horz) override;
    void LayoutContent(const RECT& client) override;
    void UpdateItems(Wnd* target) override;
    bool SetButtons(const Button* buttons, int count);
    // A flat toolbar control with tooltips, its images and its buttons, as a child of parent.
    static HWND CreateControl(HWND parent, UINT id, const char* title, HINSTANCE inst, UINT bitmapId,
                              int imageCount, const Button* buttons, int count);
    // Appends the buttons to a toolbar control (0: separator) and sizes it.
    static void AddButtons(HWND toolbar, const Button* buttons, int count);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// A bar holding a status-bar control whose first pane stretches.
class StatusBar : public ControlBar {
public:
    bool Create(FrameWnd* frame, UINT id, DockSide side = DockBottom);
    // widths of the panes after the first, in pixels
    bool SetIndicators(const int* widths, int count);
    // type: SBT_ drawing flags of the pane (SBT_POPOUT, SBT_NOBORDERS).
    void SetPaneText(int pane, const char* text, UINT type = 0);
    std::string GetPaneText(int pane) const;
    UINT GetPaneType(int pane) const;
    // Runs after every layout of the panes, for controls that sit in a pane.
    std::function<void()> onLayout;
    HWND m_status = NULL;
    // Height that controls sitting in the bar need, beyond the text's.
    int m_minHeight = 0;
    int CalcThickness(bool horz) override;
    void LayoutContent(const RECT& client) override;

private:
    int m_widths[16] = {};
    int m_count = 0;
};

}  // namespace fw
