// Opening folders, going up, and walking the history in the real program.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "driver/Driver.h"

namespace {
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
enum : UINT { ID_PARENT = 38102, ID_DESKTOP = 38104, ID_PREVIOUS = 38106, ID_NEXT = 38107, ID_HISTORY = 38108 };

TEST(Navigation, EnterOpensParentSelectsWhereItCameFromAndTheHistoryWalks)
{
    drv::ResetProgramSettings();
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string a = std::string(temp) + "nav_a", sub = a + "\\inner", other = std::string(temp) + "nav_b";
    CreateDirectoryA(a.c_str(), NULL);
    CreateDirectoryA(sub.c_str(), NULL);
    CreateDirectoryA(other.c_str(), NULL);

    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    ASSERT_TRUE(app.Start("panorel.exe", a + "," + other));
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main != NULL);
    HWND list = NULL;
    ASSERT_TRUE(drv::WaitFor([&] { return (list = drv::PanelList(main, 0)) != NULL; }, 10000));
    ASSERT_TRUE(drv::SelectListItem(list, "inner"));
    // Enter in the view runs the program's own open command.
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(list, WM_KEYUP, VK_RETURN, 0xC0000001);
    EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelTitle(main, 0) == sub; }, 5000)) << drv::PanelTitle(main, 0);

    // Backspace in the panel goes up through the key table.
    list = drv::PanelList(main, 0);
    PostMessageA(list, WM_KEYDOWN, VK_BACK, 0x000E0001);
    PostMessageA(list, WM_KEYUP, VK_BACK, 0xC00E0001);
    EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelTitle(main, 0) == a; }, 5000)) << drv::PanelTitle(main, 0);
    list = drv::PanelList(main, 0);
    std::vector<std::string> selected;
    EXPECT_TRUE(drv::WaitFor([&] { return (selected = drv::ListViewTexts(list, true)).size() == 1; }, 5000));
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0], "inner");

    app.Command(ID_NEXT);   // back down without inserting
    EXPECT_EQ(drv::PanelTitle(main, 0), sub);
    app.Command(ID_PREVIOUS);
    EXPECT_EQ(drv::PanelTitle(main, 0), a);
    app.Command(ID_DESKTOP);
    EXPECT_EQ(drv::PanelTitle(main, 0), "Desktop");

    // The history menu lists the entries from the head.
    app.PostCommand(ID_HISTORY);
    HWND popup = NULL;
    ASSERT_TRUE(drv::WaitFor([&] {
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if (drv::ClassName(w) == "#32768")
                popup = w;
        return popup != NULL;
    }, 5000));
    drv::Screenshot("history_menu");
    // Wine keeps menus per process, so the entries are checked by choosing one: the third entry
    // from the head is the folder walked into last.
    for (int i = 0; i < 3; i++)
        PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelTitle(main, 0) == sub; }, 5000)) << drv::PanelTitle(main, 0);
    ASSERT_TRUE(app.Close());
    // Desktop went in before A (not extending): Desktop, A, inner; the menu made inner current.
    EXPECT_EQ(drv::GetUserDword(kRootKey, "MRVF1Count", 0), 3u);
    EXPECT_EQ(drv::GetUserDword(kRootKey, "MRVF1Ind", 9), 2u);
    EXPECT_TRUE(watcher.Answered().empty());
    drv::DeleteUserKey(kProductKey);
}
}  // namespace
