#include "panels/ViewModeMenu.h"
#include <commctrl.h>
#include <shobjidl.h>

namespace {
struct Item {
    UINT id;
    const char* text;
    UINT command;
};
const Item kClassic[] = {{ViewModeMenu::ID_LARGE_ICONS, "Lar&ge Icons", 0x7029},
                         {ViewModeMenu::ID_SMALL_ICONS, "S&mall Icons", 0x702A},
                         {ViewModeMenu::ID_LIST, "&List", 0x702B},
                         {ViewModeMenu::ID_DETAILS, "&Details", 0x702C},
                         {ViewModeMenu::ID_THUMBNAILS, "Thumb&nails", 0x7031}};
const Item kXP[] = {{ViewModeMenu::ID_THUMBNAILS, "Thumb&nails", 0x702D},
                    {ViewModeMenu::ID_XP_TILES, "&Tiles", 0x702E},
                    {ViewModeMenu::ID_XP_ICONS, "&Icons", 0x7029},
                    {ViewModeMenu::ID_XP_LIST, "&List", 0x702B},
                    {ViewModeMenu::ID_XP_DETAILS, "&Details", 0x702C}};

const Item* ItemsOf(ViewModeMenu::Kind kind, int& count)
{
    switch (kind) {
    case ViewModeMenu::XP:
        count = 5;
        return kXP;
    case ViewModeMenu::ClassicThumbnails:
        count = 5;
        return kClassic;
    default:
        count = 4;   // thumbnails come with Windows 2000 and Millennium
        return kClassic;
    }
}
}  // namespace

ViewModeMenu::Kind ViewModeMenu::KindOf(DWORD major, DWORD minor, DWORD platformId)
{
    if (platformId == VER_PLATFORM_WIN32_NT) {
        if (major > 5 || (major == 5 && minor >= 1))
            return XP;
        return major == 5 ? ClassicThumbnails : Classic;   // 5.0 is Windows 2000
    }
    // Windows 95 and 98 are 4.0 and 4.10; Millennium is 4.90.
    return major == 4 && minor >= 90 ? ClassicThumbnails : Classic;
}

ViewModeMenu::Kind ViewModeMenu::SystemKind()
{
    static int kind = -1;   // the system does not change while the program runs
    if (kind < 0) {
        OSVERSIONINFOA os = {};
        os.dwOSVersionInfoSize = sizeof(os);
        kind = GetVersionExA(&os) ? KindOf(os.dwMajorVersion, os.dwMinorVersion, os.dwPlatformId) : XP;
    }
    return (Kind)kind;
}

UINT ViewModeMenu::CheckedItem(DWORD listStyle, bool thumbnailWindow, UINT viewMode) const
{
    if (m_kind == XP) {
        switch (viewMode) {
        case FVM_ICON:
            return ID_XP_ICONS;
        case FVM_LIST:
            return ID_XP_LIST;
        case FVM_DETAILS:
            return ID_XP_DETAILS;
        case FVM_THUMBNAIL:
            return ID_THUMBNAILS;
        case FVM_TILE:
            return ID_XP_TILES;
        }
        return 0;
    }
    if (thumbnailWindow && m_kind == ClassicThumbnails)
        return ID_THUMBNAILS;
    switch (listStyle & LVS_TYPEMASK) {
    case LVS_ICON:
        return ID_LARGE_ICONS;
    case LVS_SMALLICON:
        return ID_SMALL_ICONS;
    case LVS_LIST:
        return ID_LIST;
    case LVS_REPORT:
        return ID_DETAILS;
    }
    return 0;
}

HMENU ViewModeMenu::Create(UINT checked) const
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return NULL;
    int count = 0;
    const Item* items = ItemsOf(m_kind, count);
    for (int i = 0; i < count; i++)
        AppendMenuA(menu, MF_STRING, items[i].id, items[i].text);
    // The current mode carries the bullet, as the shell's own view menus do.
    if (checked && ShellCommand(checked))
        CheckMenuRadioItem(menu, items[0].id, items[count - 1].id, checked, MF_BYCOMMAND);
    return menu;
}

UINT ViewModeMenu::ShellCommand(UINT item) const
{
    int count = 0;
    const Item* items = ItemsOf(m_kind, count);
    for (int i = 0; i < count; i++)
        if (items[i].id == item)
            return items[i].command;
    return 0;
}
