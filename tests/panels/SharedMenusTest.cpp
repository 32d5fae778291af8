// Lending the frame's popups to a shell view's menu and taking them back: the frame's own
// menus must survive the view destroying its menu.
#include <windows.h>
#include <ole2.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "panels/SharedMenus.h"

namespace {

const char* const kTops[] = {"&Folder", "&Command", "&Prompt", "&View", "&Tools", "P&anel", "&Help"};

HMENU MakeFrameMenu(int popups)
{
    HMENU bar = CreateMenu();
    for (int i = 0; i < popups; i++) {
        HMENU popup = CreatePopupMenu();
        AppendMenuA(popup, MF_STRING, 38000 + i, "item");
        AppendMenuA(bar, MF_POPUP, (UINT_PTR)popup, kTops[i % 7]);
    }
    return bar;
}

std::vector<std::string> Texts(HMENU menu)
{
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char text[64] = "";
        GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

TEST(SharedMenus, InsertAppendsTheSevenPopupsAndSetsTheGroupWidths)
{
    HMENU own = MakeFrameMenu(7);
    HMENU shared = CreateMenu();
    OLEMENUGROUPWIDTHS widths;
    for (LONG& w : widths.width)
        w = 99;
    EXPECT_EQ(SharedMenus::Insert(own, shared, &widths), 7);
    EXPECT_EQ(Texts(shared), std::vector<std::string>(kTops, kTops + 7));
    for (int i = 0; i < 7; i++)
        EXPECT_EQ(GetSubMenu(shared, i), GetSubMenu(own, i));
    const LONG expect[6] = {3, 0, 2, 0, 2, 0};   // File, Edit, Container, Object, Window, Help
    for (int i = 0; i < 6; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(widths.width[i], expect[i]);
    }
    // The popups stay the frame's: still in its menu bar.
    EXPECT_EQ(GetMenuItemCount(own), 7);
    EXPECT_EQ(SharedMenus::Remove(own, shared), 7);
    DestroyMenu(shared);
    DestroyMenu(own);
}

TEST(SharedMenus, AtMostSevenPopupsAndBadMenusAreRefused)
{
    HMENU own = MakeFrameMenu(9);
    AppendMenuA(own, MF_STRING, 4242, "plain item");   // not a popup: never lent
    HMENU shared = CreateMenu();
    EXPECT_EQ(SharedMenus::Insert(own, shared, nullptr), 7);
    EXPECT_EQ(GetMenuItemCount(shared), 7);
    EXPECT_EQ(SharedMenus::Insert(NULL, shared, nullptr), -1);
    EXPECT_EQ(SharedMenus::Insert(own, NULL, nullptr), -1);
    EXPECT_EQ(SharedMenus::Insert(own, (HMENU)(UINT_PTR)0x1234, nullptr), -1);
    EXPECT_EQ(SharedMenus::Remove(own, NULL), 0);
    EXPECT_EQ(SharedMenus::Remove(own, shared), 7);
    DestroyMenu(shared);
    DestroyMenu(own);
}

TEST(SharedMenus, RemoveTakesOwnPopupsBackAndDestroysTheViews)
{
    HMENU own = MakeFrameMenu(7);
    HMENU shared = CreateMenu();
    // The view puts its popups in front and behind ours, as shells do by group.
    HMENU viewFront = CreatePopupMenu(), viewBack = CreatePopupMenu();
    AppendMenuA(viewFront, MF_STRING, 0x7029, "Lar&ge Icons");
    AppendMenuA(viewBack, MF_STRING, 0x702C, "&Details");
    AppendMenuA(shared, MF_POPUP, (UINT_PTR)viewFront, "E&dit");
    SharedMenus::Insert(own, shared, nullptr);
    AppendMenuA(shared, MF_POPUP, (UINT_PTR)viewBack, "&View");
    ASSERT_EQ(GetMenuItemCount(shared), 9);

    // Seven from the front (the view's first and six of ours), then our seventh further back.
    EXPECT_EQ(SharedMenus::Remove(own, shared), 8);
    EXPECT_FALSE(IsMenu(viewFront));   // not ours: destroyed
    ASSERT_EQ(GetMenuItemCount(shared), 1);
    EXPECT_EQ(GetSubMenu(shared, 0), viewBack);
    // The view destroys its menu; every popup of the frame lives on.
    DestroyMenu(shared);
    EXPECT_FALSE(IsMenu(viewBack));
    for (int i = 0; i < 7; i++) {
        SCOPED_TRACE(i);
        HMENU popup = GetSubMenu(own, i);
        EXPECT_TRUE(IsMenu(popup));
        EXPECT_EQ(GetMenuItemID(popup, 0), 38000u + i);
    }
    DestroyMenu(own);
}

TEST(SharedMenus, LentTwiceAndTakenBackTwice)
{
    // Two panels' views may hold the frame's popups at the same time.
    HMENU own = MakeFrameMenu(7);
    HMENU a = CreateMenu(), b = CreateMenu();
    EXPECT_EQ(SharedMenus::Insert(own, a, nullptr), 7);
    EXPECT_EQ(SharedMenus::Insert(own, b, nullptr), 7);
    EXPECT_EQ(SharedMenus::Remove(own, a), 7);
    DestroyMenu(a);
    EXPECT_EQ(GetSubMenu(b, 3), GetSubMenu(own, 3));
    EXPECT_TRUE(IsMenu(GetSubMenu(own, 3)));
    EXPECT_EQ(SharedMenus::Remove(own, b), 7);
    DestroyMenu(b);
    for (int i = 0; i < 7; i++)
        EXPECT_TRUE(IsMenu(GetSubMenu(own, i)));
    DestroyMenu(own);
}

}  // namespace

TEST(SharedMenus, TheViewsPlaceholderPopupIsDroppedItsRealOnesStay)
{
    HMENU own = MakeFrameMenu(7);
    HMENU shared = CreateMenu();
    ASSERT_EQ(7, SharedMenus::Insert(own, shared, nullptr));
    HMENU placeholder = CreatePopupMenu();
    AppendMenuA(placeholder, MF_STRING, 30001, "Properties");
    InsertMenuA(shared, 6, MF_BYPOSITION | MF_POPUP, (UINT_PTR)placeholder, "dummy 31");
    HMENU real = CreatePopupMenu();
    AppendMenuA(real, MF_STRING, 30002, "Arrange");
    AppendMenuA(shared, MF_POPUP, (UINT_PTR)real, "&Arrange");
    EXPECT_EQ(1, SharedMenus::DropPlaceholders(own, shared));
    EXPECT_EQ((std::vector<std::string>{"&Folder", "&Command", "&Prompt", "&View", "&Tools", "P&anel",
                                        "&Help", "&Arrange"}),
              Texts(shared));
    EXPECT_FALSE(IsMenu(placeholder));
    EXPECT_EQ(0, SharedMenus::DropPlaceholders(own, shared));
    SharedMenus::Remove(own, shared);
    DestroyMenu(shared);
    EXPECT_EQ(7, GetMenuItemCount(own));
    DestroyMenu(own);
}
