// The view-mode menu: its variant by system version, the item it checks, its items and the
// shell command each item asks for.
#include <windows.h>
#include <commctrl.h>
#include <shobjidl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "panels/ViewModeMenu.h"

namespace {

struct MenuItem {
    UINT id;
    std::string text;
    bool checked;
};

std::vector<MenuItem> ItemsOf(HMENU menu)
{
    std::vector<MenuItem> items;
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char text[64] = "";
        GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        items.push_back({GetMenuItemID(menu, i), text, (GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED) != 0});
    }
    return items;
}

TEST(ViewModeMenu, VariantFollowsTheSystemVersion)
{
    struct Case {
        DWORD major, minor, platform;
        ViewModeMenu::Kind kind;
    } cases[] = {
        {4, 0, VER_PLATFORM_WIN32_WINDOWS, ViewModeMenu::Classic},             // Windows 95
        {4, 10, VER_PLATFORM_WIN32_WINDOWS, ViewModeMenu::Classic},            // Windows 98
        {4, 90, VER_PLATFORM_WIN32_WINDOWS, ViewModeMenu::ClassicThumbnails},  // Millennium
        {4, 0, VER_PLATFORM_WIN32_NT, ViewModeMenu::Classic},                  // NT 4
        {5, 0, VER_PLATFORM_WIN32_NT, ViewModeMenu::ClassicThumbnails},        // 2000
        {5, 1, VER_PLATFORM_WIN32_NT, ViewModeMenu::XP},
        {5, 2, VER_PLATFORM_WIN32_NT, ViewModeMenu::XP},
        {6, 0, VER_PLATFORM_WIN32_NT, ViewModeMenu::XP},
        {10, 0, VER_PLATFORM_WIN32_NT, ViewModeMenu::XP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.major << "." << c.minor << " platform " << c.platform);
        EXPECT_EQ(ViewModeMenu::KindOf(c.major, c.minor, c.platform), c.kind);
    }
    // Wine reports a recent Windows.
    EXPECT_EQ(ViewModeMenu::SystemKind(), ViewModeMenu::XP);
}

TEST(ViewModeMenu, ItemsAndCommandsOfEachVariant)
{
    struct Expect {
        ViewModeMenu::Kind kind;
        std::vector<std::string> texts;
        std::vector<UINT> ids, commands;
    } variants[] = {
        {ViewModeMenu::Classic,
         {"Lar&ge Icons", "S&mall Icons", "&List", "&Details"},
         {0x802B, 0x802C, 0x802D, 0x802E},
         {0x7029, 0x702A, 0x702B, 0x702C}},
        {ViewModeMenu::ClassicThumbnails,
         {"Lar&ge Icons", "S&mall Icons", "&List", "&Details", "Thumb&nails"},
         {0x802B, 0x802C, 0x802D, 0x802E, 0x803B},
         {0x7029, 0x702A, 0x702B, 0x702C, 0x7031}},
        {ViewModeMenu::XP,
         {"Thumb&nails", "&Tiles", "&Icons", "&List", "&Details"},
         {0x803B, 0x803C, 0x803D, 0x803E, 0x803F},
         {0x702D, 0x702E, 0x7029, 0x702B, 0x702C}},
    };
    for (const Expect& v : variants) {
        SCOPED_TRACE(v.kind);
        ViewModeMenu modes(v.kind);
        HMENU menu = modes.Create(0);
        ASSERT_TRUE(menu != NULL);
        std::vector<MenuItem> items = ItemsOf(menu);
        ASSERT_EQ(items.size(), v.texts.size());
        for (size_t i = 0; i < items.size(); i++) {
            SCOPED_TRACE(v.texts[i]);
            EXPECT_EQ(items[i].text, v.texts[i]);
            EXPECT_EQ(items[i].id, v.ids[i]);
            EXPECT_FALSE(items[i].checked);
            EXPECT_EQ(modes.ShellCommand(items[i].id), v.commands[i]);
        }
        DestroyMenu(menu);
        // Anything that is not an item asks nothing of the view.
        EXPECT_EQ(modes.ShellCommand(0), 0u);
        EXPECT_EQ(modes.ShellCommand(0x7029), 0u);
        EXPECT_EQ(modes.ShellCommand(38102), 0u);
    }
    // The plain classic menu has no thumbnails, and XP's list is not the classic one.
    EXPECT_EQ(ViewModeMenu(ViewModeMenu::Classic).ShellCommand(0x803B), 0u);
    EXPECT_EQ(ViewModeMenu(ViewModeMenu::XP).ShellCommand(0x802D), 0u);
    EXPECT_EQ(ViewModeMenu(ViewModeMenu::XP).ViewsButton(), 0x7031u);
    EXPECT_EQ(ViewModeMenu(ViewModeMenu::Classic).ViewsButton(), 0x702Eu);
}

TEST(ViewModeMenu, CheckedItemFollowsStyleOrViewMode)
{
    struct Case {
        ViewModeMenu::Kind kind;
        DWORD style;
        bool thumbnails;
        UINT mode;
        UINT checked;
    } cases[] = {
        // Classic menus read the list's style; the view mode does not matter.
        {ViewModeMenu::Classic, LVS_ICON, false, FVM_DETAILS, 0x802B},
        {ViewModeMenu::Classic, LVS_SMALLICON | LVS_SHOWSELALWAYS, false, FVM_ICON, 0x802C},
        {ViewModeMenu::Classic, LVS_LIST, false, FVM_ICON, 0x802D},
        {ViewModeMenu::Classic, LVS_REPORT | LVS_EDITLABELS, false, FVM_ICON, 0x802E},
        // The thumbnail window wins where the menu has thumbnails, not in the plain classic one.
        {ViewModeMenu::ClassicThumbnails, LVS_REPORT, true, FVM_DETAILS, 0x803B},
        {ViewModeMenu::Classic, LVS_REPORT, true, FVM_DETAILS, 0x802E},
        // XP reads the view mode; small icons have no item.
        {ViewModeMenu::XP, LVS_REPORT, false, FVM_ICON, 0x803D},
        {ViewModeMenu::XP, LVS_ICON, false, FVM_LIST, 0x803E},
        {ViewModeMenu::XP, LVS_ICON, false, FVM_DETAILS, 0x803F},
        {ViewModeMenu::XP, LVS_ICON, false, FVM_THUMBNAIL, 0x803B},
        {ViewModeMenu::XP, LVS_ICON, false, FVM_TILE, 0x803C},
        {ViewModeMenu::XP, LVS_SMALLICON, false, FVM_SMALLICON, 0},
        {ViewModeMenu::XP, LVS_REPORT, true, 0, 0},
        {ViewModeMenu::XP, LVS_REPORT, false, 99, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " style " << c.style << " mode " << c.mode);
        ViewModeMenu modes(c.kind);
        UINT checked = modes.CheckedItem(c.style, c.thumbnails, c.mode);
        EXPECT_EQ(checked, c.checked);
        // The menu marks exactly that item.
        HMENU menu = modes.Create(checked);
        ASSERT_TRUE(menu != NULL);
        int marks = 0;
        for (const MenuItem& item : ItemsOf(menu)) {
            if (item.checked) {
                marks++;
                EXPECT_EQ(item.id, c.checked);
            }
        }
        EXPECT_EQ(marks, c.checked ? 1 : 0);
        DestroyMenu(menu);
    }
    // An item of another variant marks nothing.
    HMENU menu = ViewModeMenu(ViewModeMenu::XP).Create(0x802C);
    for (const MenuItem& item : ItemsOf(menu))
        EXPECT_FALSE(item.checked);
    DestroyMenu(menu);
}

}  // namespace
