// Favourites in the real program: added from the active panel, stored, opened from the menu
// (with a folder for the passive panel too), organized in the dialog, reloaded by a second
// instance after the first stored them, kept inside the administrator's root, and read safely
// from damaged registry values.
#include "nav/NavFixture.h"
#include "driver/SplitDriver.h"
#include <shlobj.h>
#include "lib/shell/Pidl.h"

using namespace nav;

namespace {
// Opens the favourites menu and chooses the favourite at index (after Add, Organize and the
// separator).
void ChooseFavorite(drv::AppProcess& app, int index)
{
    ASSERT_TRUE(app.PostCommand(ID_FAVORITES_MENU));
    HWND popup = drv::WaitForPopupMenu(app.Pid());
    ASSERT_TRUE(popup != NULL);
    for (int i = 0; i < 3 + index; i++)
        drv::MenuKeys(popup, {VK_DOWN});
    drv::MenuKeys(popup, {VK_RETURN});
    ASSERT_TRUE(drv::NoPopupMenu(app.Pid()));
}

// The organize dialog's list, read and cancelled.
std::vector<std::string> OrganizeTexts(NavTest* t, drv::AppProcess& app)
{
    std::vector<std::string> texts;
    if (!app.PostCommand(ID_FAVORITES_ORGANIZE))
        return texts;
    HWND dlg = drv::WaitForDialogCaption(app.Pid(), "Organize Favorites", 5000);
    if (!dlg)
        return {"<no dialog>"};
    texts = drv::ListBoxTexts(GetDlgItem(dlg, IDC_FAV_LIST));
    drv::PressButton(dlg, IDCANCEL);
    drv::WaitFor([&] { return !IsWindow(dlg); }, 3000);
    (void)t;
    return texts;
}

}  // namespace

TEST_F(NavTest, AddedFavouritesAreStoredMovedToTheEndAndSeenByASecondInstance)
{
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, jp, plain);
    ASSERT_TRUE(main);
    app.Command(ID_FAVORITES_ADD);
    ASSERT_TRUE(drv::SendPanelTo(app, ru));
    ASSERT_TRUE(TitleIs(main, 0, ru));
    app.Command(ID_FAVORITES_ADD);
    std::vector<Fav> favs = ReadFavorites();
    ASSERT_EQ(2u, favs.size());
    EXPECT_EQ(jp, favs[0].active);
    EXPECT_EQ(ru, favs[1].active);
    EXPECT_TRUE(favs[0].passive.empty());
    EXPECT_TRUE(favs[0].label.empty());

    // A second instance reads them at start.
    drv::AppProcess second;
    drv::ModalWatcher watcher2(second.Pid());
    HWND main2 = Start(second, plain, plain);
    ASSERT_TRUE(main2 && main2 != main);
    EXPECT_EQ((std::vector<std::string>{jp, ru}), OrganizeTexts(this, second));

    // The first adds its Japanese folder again: it moves to the end, no duplicate, and the
    // second instance hears of it.
    ASSERT_TRUE(drv::SendPanelTo(app, jp));
    ASSERT_TRUE(TitleIs(main, 0, jp));
    app.Command(ID_FAVORITES_ADD);
    ASSERT_TRUE(drv::SendPanelTo(app, emoji));
    ASSERT_TRUE(TitleIs(main, 0, emoji));
    app.Command(ID_FAVORITES_ADD);
    favs = ReadFavorites();
    ASSERT_EQ(3u, favs.size());
    EXPECT_EQ(ru, favs[0].active);
    EXPECT_EQ(jp, favs[1].active);
    EXPECT_EQ(emoji, favs[2].active);
    EXPECT_EQ((std::vector<std::string>{ru, jp, emoji}), OrganizeTexts(this, second));

    // The second instance opens the emoji favourite from its menu.
    ChooseFavorite(second, 2);
    EXPECT_TRUE(TitleIs(main2, 0, emoji)) << drv::PanelTitle(main2, 0);
    EXPECT_TRUE(second.Close());
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
    EXPECT_TRUE(watcher2.Answered().empty());
    EXPECT_EQ(3u, drv::GetUserDword(kRootKey, "FavoritesCountEx", 0));
}

TEST_F(NavTest, TheMenuOpensBothPanelsAndAVanishedFolderSaysSo)
{
    std::string gone = base + "\\gone";
    CreateDirectoryA(gone.c_str(), NULL);
    ASSERT_TRUE(WriteFavorites({{"", plain, ""}, {"Кириллица и 日本語 😀", ru, jp}, {"", gone, ""}}));
    RemoveDirectoryA(gone.c_str());
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    watcher.Allow("does not exist any more");
    HWND main = Start(app, emoji, emoji);
    ASSERT_TRUE(main);
    ASSERT_TRUE(app.PostCommand(ID_FAVORITES_MENU));
    HWND popup = drv::WaitForPopupMenu(app.Pid());
    ASSERT_TRUE(popup != NULL);
    Sleep(300);
    drv::Screenshot("favorites_menu");
    drv::MenuKeys(popup, {VK_ESCAPE});
    ASSERT_TRUE(drv::NoPopupMenu(app.Pid()));

    // The labelled favourite sets up both panels.
    ChooseFavorite(app, 1);
    EXPECT_TRUE(TitleIs(main, 0, ru)) << drv::PanelTitle(main, 0);
    EXPECT_TRUE(TitleIs(main, 1, jp)) << drv::PanelTitle(main, 1);
    // One without a passive folder leaves the passive panel alone.
    ChooseFavorite(app, 0);
    EXPECT_TRUE(TitleIs(main, 0, plain)) << drv::PanelTitle(main, 0);
    EXPECT_EQ(jp, drv::PanelTitle(main, 1));
    // The vanished one says so and nothing moves.
    ChooseFavorite(app, 2);
    HWND box = app.WaitForWindowWithText("does not exist any more", 5000);
    ASSERT_TRUE(box != NULL);
    EXPECT_NE(std::string::npos, drv::AllTexts(box).find("gone"));
    drv::PressButton(box, IDOK);
    EXPECT_EQ(plain, drv::PanelTitle(main, 0));
    EXPECT_EQ(jp, drv::PanelTitle(main, 1));
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
}

TEST_F(NavTest, TheOrganizeDialogCreatesModifiesDeletesMovesAndCancelKeepsTheList)
{
    ASSERT_TRUE(WriteFavorites({{"", plain, ""}, {"", ru, ""}}));
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    watcher.Allow("Please enter the path");
    watcher.Allow("does not exist");
    watcher.Allow("Organize Favorites");
    watcher.Allow("Favorite Item");
    HWND main = Start(app, plain, plain);
    ASSERT_TRUE(main);
    ASSERT_TRUE(app.PostCommand(ID_FAVORITES_ORGANIZE));
    HWND dlg = drv::WaitForDialogCaption(app.Pid(), "Organize Favorites");
    ASSERT_TRUE(dlg != NULL);
    HWND list = GetDlgItem(dlg, IDC_FAV_LIST);
    EXPECT_EQ((std::vector<std::string>{plain, ru}), drv::ListBoxTexts(list));

    // New: an empty folder and a missing one are refused; the dialog stays.
    ASSERT_TRUE(drv::PressButton(dlg, "New"));
    HWND item = drv::WaitForDialogCaption(app.Pid(), "Create Favorite Item");
    ASSERT_TRUE(item != NULL);
    drv::PressButton(item, IDOK);
    HWND box = app.WaitForWindowWithText("Please enter the path to the folder for the Active panel.", 5000);
    ASSERT_TRUE(box != NULL);
    drv::PressButton(box, IDOK);
    std::wstring missing = drv::Wide(base + "\\nowhere");
    SendMessageW(GetDlgItem(item, 4041), WM_SETTEXT, 0, (LPARAM)missing.c_str());
    drv::PressButton(item, IDOK);
    box = app.WaitForWindowWithText("does not exist.", 5000);
    ASSERT_TRUE(box != NULL);
    drv::PressButton(box, IDOK);
    ASSERT_TRUE(IsWindow(item));
    std::wstring label = drv::Wide("Эмодзи 😀 ラベル");
    std::wstring active = drv::Wide(emoji), passive = drv::Wide(jp);
    SendMessageW(GetDlgItem(item, 4040), WM_SETTEXT, 0, (LPARAM)label.c_str());
    SendMessageW(GetDlgItem(item, 4041), WM_SETTEXT, 0, (LPARAM)active.c_str());
    SendMessageW(GetDlgItem(item, 4042), WM_SETTEXT, 0, (LPARAM)passive.c_str());
    drv::Screenshot("favorite_item");
    drv::PressButton(item, IDOK);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(item); }, 5000));
    std::vector<std::string> three = {plain, ru, "Эмодзи 😀 ラベル"};
    EXPECT_TRUE(drv::WaitFor([&] { return drv::ListBoxTexts(list) == three; }, 3000));

    // Move the new item up once (the up arrow of the control), delete the first.
    SendMessageW(list, LB_SETCURSEL, 2, 0);
    HWND spin = GetDlgItem(dlg, 4035);
    RECT r;
    GetClientRect(spin, &r);
    LPARAM upper = MAKELPARAM(r.right / 2, r.bottom / 4);
    PostMessageA(spin, WM_MOUSEMOVE, 0, upper);   // the control tracks which arrow is under the mouse
    PostMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, upper);
    PostMessageA(spin, WM_LBUTTONUP, 0, upper);
    EXPECT_TRUE(drv::WaitFor([&] {
        return drv::ListBoxTexts(list) == std::vector<std::string>{plain, "Эмодзи 😀 ラベル", ru};
    }, 3000));
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    ASSERT_TRUE(drv::PressButton(dlg, "Delete"));
    std::vector<std::string> left = {"Эмодзи 😀 ラベル", ru};
    EXPECT_TRUE(drv::WaitFor([&] { return drv::ListBoxTexts(list) == left; }, 3000));
    drv::Screenshot("organize_favorites");
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    std::vector<Fav> favs = ReadFavorites();
    ASSERT_EQ(2u, favs.size());
    EXPECT_EQ("Эмодзи 😀 ラベル", favs[0].label);
    EXPECT_EQ(emoji, favs[0].active);
    EXPECT_EQ(jp, favs[0].passive);
    EXPECT_EQ(ru, favs[1].active);

    // Delete All, then Cancel: nothing changes.
    ASSERT_TRUE(app.PostCommand(ID_FAVORITES_ORGANIZE));
    dlg = drv::WaitForDialogCaption(app.Pid(), "Organize Favorites");
    ASSERT_TRUE(dlg != NULL);
    ASSERT_TRUE(drv::PressButton(dlg, "Delete All"));
    EXPECT_TRUE(drv::WaitFor([&] { return drv::ListBoxTexts(GetDlgItem(dlg, IDC_FAV_LIST)).empty(); }, 3000));
    ASSERT_TRUE(drv::PressButton(dlg, IDCANCEL));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    EXPECT_EQ(2u, ReadFavorites().size());
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
}

TEST_F(NavTest, DamagedFavouriteValuesLoadWhatIsWholeAndNothingElse)
{
    ASSERT_TRUE(WriteFavorites({{"first", plain, ""}, {"second", ru, jp}}));
    int size = 0;
    std::vector<unsigned char> whole;
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kRootKey, 0, KEY_ALL_ACCESS, &key));
        DWORD n = 0;
        RegQueryValueExA(key, "FavoritesEx", NULL, NULL, NULL, &n);
        whole.resize(n);
        RegQueryValueExA(key, "FavoritesEx", NULL, NULL, whole.data(), &n);
        RegCloseKey(key);
        size = (int)n;
    }
    ASSERT_GT(size, 20);
    struct Case {
        const char* name;
        std::vector<std::string> expected;
        void (*damage)(HKEY key, const std::vector<unsigned char>& whole);
    };
    const Case cases[] = {
        {"cut inside the second item", {"first"},
         [](HKEY key, const std::vector<unsigned char>& w) {
             RegSetValueExA(key, "FavoritesEx", 0, REG_BINARY, w.data(), (DWORD)w.size() - 6);
         }},
        {"a text instead of the bytes", {},
         [](HKEY key, const std::vector<unsigned char>&) {
             RegSetValueExA(key, "FavoritesEx", 0, REG_SZ, (const BYTE*)"garbage", 8);
         }},
        {"a count far too large", {"first", "second"},
         [](HKEY key, const std::vector<unsigned char>&) {
             DWORD n = 0xFFFFFFFF;
             RegSetValueExA(key, "FavoritesCountEx", 0, REG_DWORD, (const BYTE*)&n, 4);
         }},
        {"a count of the wrong type", {},
         [](HKEY key, const std::vector<unsigned char>&) {
             RegSetValueExA(key, "FavoritesCountEx", 0, REG_SZ, (const BYTE*)"2", 2);
         }},
        {"a label longer than the value", {},
         [](HKEY key, const std::vector<unsigned char>& w) {
             std::vector<unsigned char> bad(w);
             bad[0] = 0xFF;
             bad[1] = 0x7F;
             RegSetValueExA(key, "FavoritesEx", 0, REG_BINARY, bad.data(), (DWORD)bad.size());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        drv::ResetProgramSettings();
        ASSERT_TRUE(WriteFavorites({{"first", plain, ""}, {"second", ru, jp}}));
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kRootKey, 0, KEY_ALL_ACCESS, &key));
        c.damage(key, whole);
        RegCloseKey(key);
        drv::AppProcess app;
        drv::ModalWatcher watcher(app.Pid());
        HWND main = Start(app, plain, plain);
        ASSERT_TRUE(main);
        EXPECT_EQ(c.expected, OrganizeTexts(this, app));
        ASSERT_TRUE(app.PostCommand(ID_FAVORITES_MENU));
        HWND popup = drv::WaitForPopupMenu(app.Pid());
        ASSERT_TRUE(popup != NULL);
        drv::MenuKeys(popup, {VK_ESCAPE});
        EXPECT_TRUE(app.Running());
        EXPECT_TRUE(app.Close());
        EXPECT_TRUE(watcher.Answered().empty());
    }

    // The earlier form: folders only, read once and replaced by the current form at the next store.
    drv::ResetProgramSettings();
    {
        PIDL a, b;
        a.Attach(GetPidlOf(plain.c_str()));
        b.Attach(GetPidlOf(emoji.c_str()));
        std::vector<unsigned char> bytes(a.GetSizeTotal() + b.GetSizeTotal());
        a.GetPut(1, bytes.data());
        b.GetPut(1, bytes.data() + a.GetSizeTotal());
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kRootKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
        DWORD n = 2;
        RegSetValueExA(key, "FavoritesCount", 0, REG_DWORD, (const BYTE*)&n, 4);
        RegSetValueExA(key, "Favorites", 0, REG_BINARY, bytes.data(), (DWORD)bytes.size());
        RegCloseKey(key);
    }
    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    HWND main = Start(app, jp, jp);
    ASSERT_TRUE(main);
    EXPECT_EQ((std::vector<std::string>{plain, emoji}), OrganizeTexts(this, app));
    app.Command(ID_FAVORITES_ADD);
    EXPECT_FALSE(drv::UserValueExists(kRootKey, "Favorites"));
    EXPECT_FALSE(drv::UserValueExists(kRootKey, "FavoritesCount"));
    std::vector<Fav> favs = ReadFavorites();
    ASSERT_EQ(3u, favs.size());
    EXPECT_EQ(plain, favs[0].active);
    EXPECT_EQ(emoji, favs[1].active);
    EXPECT_EQ(jp, favs[2].active);
    EXPECT_TRUE(app.Close());
}

TEST_F(NavTest, FavouritesOutsideTheRootPathAreRefusedAndThePanelStays)
{
    std::string root = base + "\\root", inside = root + "\\inside", outside = base + "\\outside";
    std::string prefixed = base + "\\root2";
    for (const std::string& d : {root, inside, outside, prefixed})
        CreateDirectoryA(d.c_str(), NULL);
    // A symbolic link and a shortcut inside the root that lead out of it, and a sibling whose
    // name differs only by trailing dots and spaces (made on the Unix side, where such names live).
    std::string unixBase = drv::UnixPathOf(base);
    ASSERT_FALSE(unixBase.empty());
    ASSERT_TRUE(drv::RunUnixShell("ln -s '" + unixBase + "/outside' '" + unixBase + "/root/link' && mkdir '" +
                                  unixBase + "/root.. '"));
    std::string link = root + "\\link", dotted = base + "\\root.. ";
    {
        IShellLinkW* sl = NULL;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW, (void**)&sl)));
        sl->SetPath(drv::Wide(outside).c_str());
        IPersistFile* pf = NULL;
        ASSERT_TRUE(SUCCEEDED(sl->QueryInterface(IID_IPersistFile, (void**)&pf)));
        EXPECT_TRUE(SUCCEEDED(pf->Save(drv::Wide(root + "\\short.lnk").c_str(), TRUE)));
        pf->Release();
        sl->Release();
    }
    std::vector<Fav> favs = {{"", outside, ""}, {"", prefixed, ""}, {"", link, ""}, {"", root + "\\short.lnk", ""},
                             {"", "Z:\\tmp", ""}, {"", inside, outside}};
    // Only when the shell names that folder itself: its path parser may strip the dots and
    // spaces (as Win32 does) and give the root instead.
    {
        PIDL probe;
        probe.Attach(GetPidlOf(dotted.c_str()));
        char path[kMaxPathBytes] = "";
        if (probe && GetExactPathOf(probe, path, sizeof(path)) == PathExact && dotted == path)
            favs.push_back({"", dotted, ""});
        else
            printf("  the shell gives no list of its own for \"%s\": case left out\n", dotted.c_str());
    }
    favs.push_back({"", inside, ""});
    std::string failed;
    ASSERT_TRUE(WriteFavorites(favs, &failed)) << failed;
    ASSERT_EQ(favs.size(), ReadFavorites().size());
    drv::SetUserString(kPolicyKey, "RootPath", root.c_str());

    drv::AppProcess app;
    drv::ModalWatcher watcher(app.Pid());
    watcher.Allow(kOutsideRoot);
    HWND main = Start(app, root, root);
    ASSERT_TRUE(main);
    ASSERT_TRUE(TitleIs(main, 0, root));
    for (int i = 0; i + 1 < (int)favs.size(); i++) {
        SCOPED_TRACE(favs[i].active + " / " + favs[i].passive);
        ChooseFavorite(app, i);
        HWND box = app.WaitForWindowWithText(kOutsideRoot, 5000);
        ASSERT_TRUE(box != NULL);
        if (i == 0)
            drv::Screenshot("favorite_outside_root");
        drv::PressButton(box, IDOK);
        ASSERT_TRUE(drv::WaitFor([&] { return !app.FindWindowWithText(kOutsideRoot); }, 3000));
        EXPECT_EQ(root, drv::PanelTitle(main, 0));
        EXPECT_EQ(root, drv::PanelTitle(main, 1));
    }
    // The one inside the root goes.
    ChooseFavorite(app, (int)favs.size() - 1);
    EXPECT_TRUE(TitleIs(main, 0, inside)) << drv::PanelTitle(main, 0);
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(watcher.Answered().empty());
}
