// The panel's toolbar: the program's own buttons, followed by the buttons a shell view merges
// in. Commands and notifications of the shell's buttons (identifiers up to 32767) go on to the
// shell view window; the program's own buttons are handled as on every toolbar of the frame.
#pragma once
#include "customize/CustomToolBar.h"
#include <commctrl.h>

class PanelToolBar : public CustomToolBar {
public:
    // Shell version as (major << 16) | minor; the button whose drop-down shows the view menu.
    void SetShell(DWORD shellVersion, UINT viewsButton);
    // The shell view window that gets the merged buttons' commands and notifications.
    void SetViewWindow(HWND view) { m_view = view; }
    // Where the view-mode command goes (the main window when not set).
    void SetCommandTarget(HWND target) { m_target = target; }

    // Replaces the merged buttons by the view's; with hide set, or without buttons, only removes
    // them. The program's own buttons stay in front. Returns the number of buttons merged.
    int MergeViewButtons(const TBBUTTON* buttons, UINT count, bool hide);
    int MergedCount() const;
    static bool IsShellButton(UINT id) { return id != 0 && id <= 0x7FFF; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool OnNotify(NMHDR* hdr, WPARAM wp, LRESULT& result);
    void RemoveMerged();

    DWORD m_shellVersion = 0;
    UINT m_viewsButton = 0x7031;
    HWND m_view = NULL;
    HWND m_target = NULL;
};
