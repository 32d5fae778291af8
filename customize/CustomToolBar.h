// A toolbar the user arranges with the platform's customization dialog; the arrangement is
// kept in the application root key as 16-bit command numbers (0 for a separator).
#pragma once
#include "framework/ControlBar.h"
#include <commctrl.h>
#include <functional>
#include <vector>

class CustomToolBar : public fw::ToolBar {
public:
    // Creates the bar with the images of the available buttons.
    bool CreateCustom(fw::FrameWnd* frame, UINT id, const char* title, fw::DockSide side);
    // Remembers the value name and the defaults and builds the stored arrangement, or the
    // defaults when none is stored.
    void Init(const char* valueName, const WORD* defaults, int count);
    void Customize();
    bool LoadLayout();
    bool SaveLayout();
    bool ResetLayout();   // deletes the stored value
    void ApplyLayout(const WORD* list, int count);
    // The command numbers of the user's buttons, separators as 0.
    std::vector<WORD> GetLayout() const;

    // The shortcut menu: the customize command, then the frame's bars with their commands.
    struct BarItem {
        UINT barId, command;
        const char* text;
    };
    void SetMenu(UINT customizeCommand, const BarItem* items, int count);
    // The owner-drawn menu's style, asked each time (the program's setting may change).
    std::function<DWORD()> menuStyle;
    void ShowMenu(POINT screen);

    // Every command the toolbar resource offers, in resource order, with its image.
    struct Available {
        WORD id;
        int image;   // strip and index in the strip
    };
    static const Available* GetAvailable(int& count);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Buttons that are not the user's (a shell view's, merged in) carry data of their own.
    static bool IsOwnButton(const TBBUTTON& b) { return b.dwData == 0; }

private:
    bool OnNotify(NMHDR* hdr, LRESULT& result);
    int OwnCount() const;
    int ImageOf(const Available& a) const;

    char m_valueName[64] = "";
    std::vector<WORD> m_defaults;
    const Available* m_available = nullptr;   // while the dialog is open
    int m_availableCount = 0;
    bool m_customizing = false;
    int m_stripStart[3] = {};
    UINT m_menuCommand = 0;
    const BarItem* m_barItems = nullptr;
    int m_barItemCount = 0;   // first image of each strip in the toolbar's image list
};
