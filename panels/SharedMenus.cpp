#include "panels/SharedMenus.h"
#include <string.h>

bool SharedMenus::IsOwnPopup(HMENU own, HMENU popup)
{
    if (!own || !popup)
        return false;
    int n = GetMenuItemCount(own);
    for (int i = 0; i < n; i++)
        if (GetSubMenu(own, i) == popup)
            return true;
    return false;
}

int SharedMenus::Insert(HMENU own, HMENU shared, OLEMENUGROUPWIDTHS* widths)
{
    if (!own || !shared || !IsMenu(own) || !IsMenu(shared))
        return -1;
    int added = 0;
    int n = GetMenuItemCount(own);
    for (int i = 0; i < n && added < kMaxPopups; i++) {
        HMENU popup = GetSubMenu(own, i);
        if (!popup)
            continue;
        char text[128] = "";
        GetMenuStringA(own, i, text, sizeof(text), MF_BYPOSITION);
        if (AppendMenuA(shared, MF_POPUP | MF_STRING, (UINT_PTR)popup, text))
            added++;
    }
    if (widths) {
        static const LONG kWidths[6] = {3, 0, 2, 0, 2, 0};   // File, Edit, Container, Object, Window, Help
        for (int i = 0; i < 6; i++)
            widths->width[i] = kWidths[i];
    }
    return added;
}

int SharedMenus::Remove(HMENU own, HMENU shared)
{
    if (!shared || !IsMenu(shared))
        return 0;
    int removed = 0;
    for (int front = 0; front < kMaxPopups && GetMenuItemCount(shared) > 0; front++) {
        HMENU popup = GetSubMenu(shared, 0);
        if (!popup)
            break;   // the view's own items begin here
        if (IsOwnPopup(own, popup))
            RemoveMenu(shared, 0, MF_BYPOSITION);
        else
            DeleteMenu(shared, 0, MF_BYPOSITION);
        removed++;
    }
    for (int i = GetMenuItemCount(shared) - 1; i >= 0; i--) {
        if (IsOwnPopup(own, GetSubMenu(shared, i))) {
            RemoveMenu(shared, i, MF_BYPOSITION);
            removed++;
        }
    }
    return removed;
}

int SharedMenus::DropPlaceholders(HMENU own, HMENU shared)
{
    if (!shared || !IsMenu(shared))
        return 0;
    int dropped = 0;
    for (int i = GetMenuItemCount(shared) - 1; i >= 0; i--) {
        HMENU popup = GetSubMenu(shared, i);
        if (!popup || IsOwnPopup(own, popup))
            continue;
        char text[32] = "";
        GetMenuStringA(shared, i, text, sizeof(text), MF_BYPOSITION);
        if (strncmp(text, "dummy ", 6) == 0 && DeleteMenu(shared, i, MF_BYPOSITION))
            dropped++;
    }
    return dropped;
}
