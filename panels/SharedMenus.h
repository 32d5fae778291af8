// The frame's popup menus lent to a shell view's menu while the view is active (the shell's
// menu-merging protocol): the frame appends its popups to the view's menu and takes them back
// before the view destroys that menu.
#pragma once
#include <windows.h>
#include <ole2.h>

class SharedMenus {
public:
    enum { kMaxPopups = 7 };
    // Appends the own menu's popups (at most seven) to shared and sets the group widths:
    // File 3, Container 2, Window 2, the others 0. Returns the number appended; -1 for a
    // missing menu.
    static int Insert(HMENU own, HMENU shared, OLEMENUGROUPWIDTHS* widths);
    // Takes up to seven popups from the front of shared: the frame's own are only taken out,
    // the others are destroyed. An own popup further back is taken out too, so the view's
    // DestroyMenu can never reach the frame's menus. Returns the number of items removed.
    static int Remove(HMENU own, HMENU shared);
    // Destroys the view's placeholder popups in shared (Wine's view adds one captioned
    // "dummy 31" while its list has the focus): the bar shows only real menus. The own
    // popups and a view's real ones stay. Returns the number destroyed.
    static int DropPlaceholders(HMENU own, HMENU shared);
    // Whether popup is one of the own menu's popups.
    static bool IsOwnPopup(HMENU own, HMENU popup);
};
