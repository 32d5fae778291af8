#include "IconMenu.h"

IconMenuItem::IconMenuItem(VmMenuOwnerDraw* menu, UINT id, const char* text, HICON icon,
                           LPARAM user, bool ownIcon)
    : VmMenuOwnerDrawItem(menu, id, text, user), m_icon(icon), m_ownIcon(icon && ownIcon)
{
}

IconMenuItem::~IconMenuItem()
{
    if (m_ownIcon)
        DestroyIcon(m_icon);
}

void IconMenuItem::GetSize(HDC dc, SIZE& size)
{
    VmMenuOwnerDrawItem::GetSize(dc, size);
    const VmMenuDrawRes* res = GetRes();
    size.cx += res->iconColWidth;
    size.cy = res->iconItemHeight;
}

void IconMenuItem::GetIconCell(const RECT& item, RECT& cell)
{
    cell = item;
    const VmMenuDrawRes* res = GetRes();
    if (res)
        cell.right = cell.left + res->iconColWidth;
}

bool IconMenuItem::FramesIconCell(UINT state) const
{
    return m_icon && (state & ODS_SELECTED) && (GetStyle() & VmMenuOwnerDraw::StyleIconFrame);
}

void IconMenuItem::GetEraseRect(const RECT& item, RECT& erase)
{
    erase = item;
    // With the icon-cell frame the cell keeps the menu colour; only the text part is highlighted.
    if (m_icon && (GetStyle() & VmMenuOwnerDraw::StyleIconFrame))
        erase.left += GetRes()->iconColWidth;
}

void IconMenuItem::GetTextRect(const RECT& item, RECT& text)
{
    VmMenuOwnerDrawItem::GetTextRect(item, text);
    text.left += GetRes()->iconColWidth;
}

void IconMenuItem::CustomPaint(const DRAWITEMSTRUCT& dis)
{
    const VmMenuDrawRes* res = GetRes();
    RECT cell;
    GetIconCell(dis.rcItem, cell);
    if (FramesIconCell(dis.itemState))
        DrawFrame(dis.hDC, cell);
    else
        VmMenuOwnerDrawItem::CustomPaint(dis);   // the whole-item frame, when asked
    if (m_icon)
        DrawIconEx(dis.hDC, cell.left + res->iconX, cell.top + res->iconY, m_icon, 16, 16, 0, NULL,
                   DI_NORMAL);
}

bool IconMenu::AppendItem(UINT id, const char* text, HICON icon, UINT flags, LPARAM user)
{
    return InsertItem(static_cast<UINT>(-1), id, text, icon, flags, user);
}

bool IconMenu::AppendSubMenu(VmMenuOwnerDraw& menu, const char* text, HICON icon, UINT flags,
                             LPARAM user)
{
    return InsertSubMenu(static_cast<UINT>(-1), menu, text, icon, flags, user);
}

bool IconMenu::InsertItem(UINT pos, UINT id, const char* text, HICON icon, UINT flags,
                          LPARAM user)
{
    if (flags & MF_SEPARATOR) {
        if (pos == static_cast<UINT>(-1))
            return AppendSeparator();
        return m_hMenu && InsertMenuA(m_hMenu, pos, flags & (MF_SEPARATOR | MF_BYPOSITION), 0, NULL);
    }
    return InsertOwnerDrawItem(pos, new IconMenuItem(this, id, text, icon, user, m_ownIcons),
                               flags & ~MF_POPUP);
}

bool IconMenu::InsertSubMenu(UINT pos, VmMenuOwnerDraw& menu, const char* text, HICON icon,
                             UINT flags, LPARAM user)
{
    return InsertSubMenuItem(
        pos, menu,
        new IconMenuItem(this, static_cast<UINT>(-1), text, icon, user, m_ownIcons), flags);
}
