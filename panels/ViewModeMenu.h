// The menu of a panel's view modes ("Change view" and the drop-down of the shell's views
// button). Its items depend on the system: classic shells offer large and small icons, list
// and details (Windows 2000 and Millennium add thumbnails); Windows XP and later offer
// thumbnails, tiles, icons, list and details. A choice becomes the shell's own view command.
#pragma once
#include <windows.h>

class ViewModeMenu {
public:
    enum Kind { Classic, ClassicThumbnails, XP };
    enum : UINT {
        ID_LARGE_ICONS = 0x802B,
        ID_SMALL_ICONS = 0x802C,
        ID_LIST = 0x802D,
        ID_DETAILS = 0x802E,
        ID_THUMBNAILS = 0x803B,
        ID_XP_TILES = 0x803C,
        ID_XP_ICONS = 0x803D,
        ID_XP_LIST = 0x803E,
        ID_XP_DETAILS = 0x803F,
    };

    explicit ViewModeMenu(Kind kind) : m_kind(kind) {}
    // The variant for a system version (GetVersionEx's major, minor and platform).
    static Kind KindOf(DWORD major, DWORD minor, DWORD platformId);
    static Kind SystemKind();
    Kind GetKind() const { return m_kind; }

    // The item to check. Classic menus follow the list's style (thumbnails when the view shows
    // its thumbnail window); the XP menu follows the view mode, where small icons check nothing.
    // 0 for none.
    UINT CheckedItem(DWORD listStyle, bool thumbnailWindow, UINT viewMode) const;
    // A popup menu with the variant's items, `checked` marked; the caller destroys it. Null when
    // no menu could be made.
    HMENU Create(UINT checked) const;
    // The shell's command for a menu item (0x7029 ...), 0 for anything that is not an item.
    UINT ShellCommand(UINT item) const;
    // The shell's views button whose drop-down shows this menu.
    UINT ViewsButton() const { return m_kind == XP ? 0x7031 : 0x702E; }

private:
    Kind m_kind;
};
