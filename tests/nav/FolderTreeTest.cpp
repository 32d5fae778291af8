// The folder tree window in the real program: it opens on the active panel's folder, a second
// command only activates it, Match sends the panel to the tree's choice, Auto Match follows both
// ways, the window comes back where it was after a restart, names only without icons, and no
// choice in it leads out of the administrator's root.
#include "nav/NavFixture.h"
#include "driver/SplitDriver.h"

using namespace nav;

namespace {
HWND TreeWindow(drv::AppProcess& app, DWORD ms = 5000)
{
    HWND found = NULL;
    drv::WaitFor([&] {
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if (drv::WindowText(w) == "Folder Tree")
                found = w;
        return found != NULL;
    }, ms);
    return found;
}

int CountTreeWindows(drv::AppProcess& app)
{
    int n = 0;
    for (HWND w : drv::TopLevelWindows(app.Pid()))
        if (drv::WindowText(w) == "Folder Tree")
            n++;
    return n;
}

void Key(HWND wnd, UINT vk)
{
    PostMessageA(wnd, WM_KEYDOWN, vk, 0);
    PostMessageA(wnd, WM_KEYUP, vk, 0xC0000001);
}

bool SelectionIs(HWND tree, const std::string& text, DWORD ms = 5000)
{
    return drv::WaitFor([&] { return drv::TreeItemText(tree) == text; }, ms);
}
}  // namespace

TEST_F(NavTest, TheTreeFollowsThePanelMatchesAndAutoMatches)
{
    std::string one = jp + "\\один", two = one + "\\二", three = emoji + "\\three";
    for (const std::string& d : {one, two, three})
        CreateDirectoryA(d.c_str(), NULL);
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, one, plain);
    ASSERT_TRUE(main);
    app.Command(ID_FOLDER_TREE);
    HWND wnd = TreeWindow(app);
    ASSERT_TRUE(wnd != NULL);
    HWND tree = GetDlgItem(wnd, IDC_FOLDER_TREE);
    ASSERT_TRUE(tree != NULL);
    EXPECT_TRUE(SelectionIs(tree, "один")) << drv::TreeItemText(tree);
    // The way down from the Desktop is expanded; the folder's siblings are there, sorted.
    HTREEITEM sel = (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    HTREEITEM parent = (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)sel);
    HTREEITEM grand = (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)parent);
    EXPECT_EQ("日本語フォルダ", drv::TreeItemText(tree, parent));
    std::vector<std::string> names = drv::TreeChildTexts(tree, grand);
    std::vector<std::string> expected = {"emoji 1", "emoji 😀", "plain", "Кириллица", "Кириллица2", "日本語フォルダ", "日本語フォルダ2"};
    EXPECT_EQ(expected, names);
    EXPECT_TRUE(SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0) != 0);
    Sleep(300);
    drv::Screenshot("folder_tree");
    // A second command activates the open window only.
    app.Command(ID_FOLDER_TREE);
    EXPECT_EQ(1, CountTreeWindows(app));

    // Without Auto Match a new selection waits for Match.
    Key(tree, VK_DOWN);    // "二": the way to the panel's folder is expanded
    EXPECT_TRUE(SelectionIs(tree, "二"));
    Sleep(900);
    EXPECT_EQ(one, drv::PanelTitle(main, 0));
    PostMessageA(wnd, WM_COMMAND, ID_TREE_MATCH, 0);
    EXPECT_TRUE(TitleIs(main, 0, two)) << drv::PanelTitle(main, 0);
    // A folder without subfolders keeps no expansion button.
    Key(tree, VK_RIGHT);
    TVITEMW probe = {};
    EXPECT_TRUE(drv::WaitFor([&] {
        return SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) == 0;
    }, 2000));
    (void)probe;

    // Auto Match: stored, and the tree follows the panel.
    PostMessageA(wnd, WM_COMMAND, ID_TREE_AUTOMATCH, 0);
    EXPECT_TRUE(drv::WaitFor([&] { return (drv::GetUserDword(kRootKey, "Frame", 0) & 0x10) != 0; }, 3000));
    ASSERT_TRUE(drv::SendPanelTo(app, three));
    EXPECT_TRUE(SelectionIs(tree, "three")) << drv::TreeItemText(tree);
    // The user's moves through the tree lead the panel after the pause, once.
    Key(tree, VK_UP);   // "emoji 😀"
    Key(tree, VK_UP);   // "emoji 1"
    Key(tree, VK_DOWN); // "emoji 😀"
    EXPECT_TRUE(SelectionIs(tree, "emoji 😀"));
    EXPECT_EQ(three, drv::PanelTitle(main, 0));
    EXPECT_TRUE(TitleIs(main, 0, emoji, 3000)) << drv::PanelTitle(main, 0);

    // Closed with the program: reopened at its place.
    SetWindowPos(wnd, NULL, 120, 90, 330, 270, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT before;
    GetWindowRect(wnd, &before);
    EXPECT_TRUE(app.Close());
    EXPECT_EQ(0x20u, drv::GetUserDword(kRootKey, "Frame", 0) & 0x20);
    EXPECT_EQ((DWORD)before.left, drv::GetUserDword(kRootKey, "FTreeL", 0));
    EXPECT_EQ((DWORD)(before.right - before.left), drv::GetUserDword(kRootKey, "FTreeX", 0));
    EXPECT_TRUE(watcher.Answered().empty());

    // Without icons (SettingsOpts bit 31) the tree shows names only.
    drv::SetUserDword(kRootKey, "Settings", drv::GetUserDword(kRootKey, "Settings", 0) | 0x80000000);
    drv::AppProcess again;
    drv::ModalWatcher watcher2(again.Pid());
    HWND main2 = Start(again, plain, plain);
    ASSERT_TRUE(main2);
    wnd = TreeWindow(again);
    ASSERT_TRUE(wnd != NULL);
    RECT after;
    GetWindowRect(wnd, &after);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
    tree = GetDlgItem(wnd, IDC_FOLDER_TREE);
    EXPECT_TRUE(SelectionIs(tree, "plain"));
    EXPECT_EQ(0, SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    drv::Screenshot("folder_tree_no_icons");
    // Closing the window alone is remembered too.
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(drv::WaitFor([&] { return CountTreeWindows(again) == 0; }, 3000));
    EXPECT_TRUE(again.Close());
    EXPECT_EQ(0u, drv::GetUserDword(kRootKey, "Frame", 0) & 0x20);
}

TEST_F(NavTest, TreeChoicesOutsideTheRootPathAreRefused)
{
    std::string root = base + "\\root", inside = root + "\\inside", outside = base + "\\outside";
    for (const std::string& d : {root, inside, outside})
        CreateDirectoryA(d.c_str(), NULL);
    std::string unixBase = drv::UnixPathOf(base);
    ASSERT_TRUE(drv::RunUnixShell("ln -s '" + unixBase + "/outside' '" + unixBase + "/root/link'"));
    drv::SetUserString(kPolicyKey, "RootPath", root.c_str());
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    watcher.Allow(kOutsideRoot);
    HWND main = Start(app, root, root);
    ASSERT_TRUE(main);
    app.Command(ID_FOLDER_TREE);
    HWND wnd = TreeWindow(app);
    ASSERT_TRUE(wnd != NULL);
    HWND tree = GetDlgItem(wnd, IDC_FOLDER_TREE);
    ASSERT_TRUE(SelectionIs(tree, "root"));
    HTREEITEM sel = (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    EXPECT_EQ((std::vector<std::string>{"inside", "link"}), drv::TreeChildTexts(tree, sel));
    // The link inside the root leads out of it: refused.
    Key(tree, VK_DOWN);
    Key(tree, VK_DOWN);
    ASSERT_TRUE(SelectionIs(tree, "link"));
    PostMessageA(wnd, WM_COMMAND, ID_TREE_MATCH, 0);
    HWND box = app.WaitForWindowWithText(kOutsideRoot, 5000);
    ASSERT_TRUE(box != NULL);
    drv::Screenshot("tree_outside_root");
    drv::PressButton(box, IDOK);
    EXPECT_EQ(root, drv::PanelTitle(main, 0));
    // The root's parent, a sibling of the root: refused as well.
    Key(tree, VK_UP);
    Key(tree, VK_UP);
    ASSERT_TRUE(SelectionIs(tree, "root"));
    Key(tree, VK_LEFT);   // collapses the root
    Key(tree, VK_LEFT);   // its parent
    ASSERT_TRUE(SelectionIs(tree, "panorel_nav"));
    PostMessageA(wnd, WM_COMMAND, ID_TREE_MATCH, 0);
    box = app.WaitForWindowWithText(kOutsideRoot, 5000);
    ASSERT_TRUE(box != NULL);
    drv::PressButton(box, IDOK);
    EXPECT_EQ(root, drv::PanelTitle(main, 0));
    // Inside the root the tree leads the panel.
    for (int i = 0; i < 20 && drv::TreeItemText(tree) != "root"; i++) {
        Key(tree, VK_DOWN);
        Sleep(50);
    }
    ASSERT_TRUE(SelectionIs(tree, "root"));
    Key(tree, VK_RIGHT);   // expands it again
    Key(tree, VK_RIGHT);   // its first child
    ASSERT_TRUE(SelectionIs(tree, "inside"));
    PostMessageA(wnd, WM_COMMAND, ID_TREE_MATCH, 0);
    EXPECT_TRUE(TitleIs(main, 0, inside)) << drv::PanelTitle(main, 0);
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
}
