// Owner-drawn menus with a 16 x 16 icon beside each text.
#pragma once
#include "MenuOwnerDraw.h"

// An item with an icon column; the icon is destroyed with the item when it was handed over.
class PANOREL32_API IconMenuItem : public VmMenuOwnerDrawItem {
public:
    IconMenuItem(VmMenuOwnerDraw* menu, UINT id, const char* text, HICON icon, LPARAM user = 0,
                 bool ownIcon = false);
    ~IconMenuItem() override;
    void GetSize(HDC dc, SIZE& size) override;
    void GetEraseRect(const RECT& item, RECT& erase) override;
    void GetTextRect(const RECT& item, RECT& text) override;
    // The frame of a selected item (around the icon cell or the whole item) and the icon.
    void CustomPaint(const DRAWITEMSTRUCT& dis) override;

    HICON GetIcon() const { return m_icon; }
    // The icon cell of an item rectangle.
    static void GetIconCell(const RECT& item, RECT& cell);

private:
    // Style bit 0 frames the icon cell of a selected item that has an icon.
    bool FramesIconCell(UINT state) const;
    HICON m_icon;
    bool m_ownIcon;
};

class PANOREL32_API IconMenu : public VmMenuOwnerDraw {
public:
    IconMenu() = default;
    // Icons handed in afterwards are destroyed with their items (shell icons made for the menu).
    void SetOwnsIcons(bool own) { m_ownIcons = own; }

    bool AppendItem(UINT id, const char* text, HICON icon, UINT flags = 0, LPARAM user = 0);
    bool AppendSubMenu(VmMenuOwnerDraw& menu, const char* text, HICON icon, UINT flags = 0,
                       LPARAM user = 0);
    // Before the item `pos` (a position with MF_BYPOSITION in flags, else a command).
    bool InsertItem(UINT pos, UINT id, const char* text, HICON icon, UINT flags = 0,
                    LPARAM user = 0);
    bool InsertSubMenu(UINT pos, VmMenuOwnerDraw& menu, const char* text, HICON icon,
                       UINT flags = 0, LPARAM user = 0);

private:
    bool m_ownIcons = false;
};
