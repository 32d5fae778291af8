// The main window's favourites and its folder tree window.
#include "app/MainFrame.h"
#include "app/MainApp.h"
#include "app/Policy.h"
#include "app/Resource.h"
#include "registry/AppInfo.h"
#include "registry/RegKey.h"
#include "ui/IconMenu.h"
#include "ui/MsgUtil.h"

static_assert(ID_FAVORITE_LAST - ID_FAVORITE_FIRST + 1 == Favorites::kMaxItems,
              "one menu command per favourite");

namespace {
// Instances that are not answering within this time are left out of the broadcast.
const UINT kBroadcastTimeout = 5000;
}  // namespace

void CMainFrame::LoadFavorites()
{
    RegKey root(GetAppRootKey(), RegKey::OpRead);
    if (root.IsOpen())
        m_favorites.Load(root);
    else
        m_favorites.List().RemoveAll();
}

void CMainFrame::StoreFavorites()
{
    {
        RegKey root(GetAppRootKey(), RegKey::OpUpdate);
        if (!root.IsOpen())
            return;
        m_favorites.Store(root);
    }
    UINT msg = GetMainApp().m_panorelMsg;
    DWORD_PTR result = 0;
    if (msg)
        SendMessageTimeoutA(HWND_BROADCAST, msg, 2, (LPARAM)m_hWnd, SMTO_ABORTIFHUNG,
                            kBroadcastTimeout, &result);
}

void CMainFrame::ShowFavoritesMenu(UINT command)
{
    if (!m_panel[0] || !m_panel[1])
        return;
    ViewFrame* panel = ActivePanel();
    IconMenu menu;
    if (!(HMENU)menu)
        return;
    menu.SetOwnsIcons(true);
    menu.AppendItem(ID_FAVORITES_ADD, "&Add to Favorites", NULL);
    menu.AppendItem(ID_FAVORITES_ORGANIZE, "&Organize Favorites...", NULL);
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    Favorites::TextOf textOf = [this](const ITEMIDLIST* f, char* buf, int size) { GetFolderText(f, buf, size); };
    if (m_favorites.AppendToMenu(menu, ID_FAVORITE_FIRST, panel->GetCurrentFolder(), textOf))
        StoreFavorites();
    if (m_favorites.GetCount() == 0)
        AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, "Empty");
    menu.InsertBreaks();   // a long list in columns that fit the screen
    UINT choice = menu.TrackEx(m_hWnd, MenuPointFor(command, panel));
    if (choice == ID_FAVORITES_ADD || choice == ID_FAVORITES_ORGANIZE)
        PostMessageA(m_hWnd, WM_COMMAND, choice, 0);
    else if (choice >= ID_FAVORITE_FIRST && choice <= ID_FAVORITE_LAST)
        OpenFavorite((int)(choice - ID_FAVORITE_FIRST));
}

void CMainFrame::AddFavorite()
{
    if (!m_panel[0] || !ActivePanel()->GetCurrentFolder())
        return;
    if (m_favorites.Add(ActivePanel()->GetCurrentFolder()))
        StoreFavorites();
}

void CMainFrame::OrganizeFavorites()
{
    // Another instance may have changed them since they were read.
    LoadFavorites();
    Favorites::TextOf textOf = [this](const ITEMIDLIST* f, char* buf, int size) { GetFolderText(f, buf, size); };
    if (m_favorites.Organize(m_hWnd, textOf))
        StoreFavorites();
}

namespace {
// A file-system folder that is gone; folders without a path are left to the shell.
bool HasVanished(const ITEMIDLIST* folder)
{
    char path[kMaxPathBytes];
    if (GetExactPathOf(folder, path, sizeof(path)) != PathExact)
        return false;
    return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
}
}  // namespace

void CMainFrame::OpenFavorite(int index)
{
    FavItem* item = m_favorites.GetAt(index);
    if (!item || !item->GetActive() || !m_panel[0] || !m_panel[1])
        return;
    // Both folders are checked before either panel moves, so a refusal leaves both as they are.
    const ITEMIDLIST* folders[2] = {item->GetActive(), item->GetPassive()};
    int panels[2] = {m_active, 1 - m_active};
    for (int i = 0; i < 2; i++) {
        if (!folders[i])
            continue;
        if (HasVanished(folders[i])) {
            char name[kMaxPathBytes] = "";
            GetNameForMessage(folders[i], name, sizeof(name));
            Msg(m_hWnd, MB_OK | MB_ICONEXCLAMATION, IDS_FAV_VANISHED, name);
            return;
        }
        if (!IsFolderInRoot(m_panel[panels[i]]->GetIndex(), folders[i])) {
            ShowRestrictedMessage();
            return;
        }
    }
    PIDL active(folders[0]), passive;
    if (folders[1])
        passive.CopyAll(folders[1]);
    BrowseFolderIn(active, false);
    if (passive)
        BrowseFolderIn(passive, true);
}

void CMainFrame::ShowFolderTree()
{
    if (m_tree) {
        SetActiveWindow(m_tree->GetHWND());
        return;
    }
    if (!m_panel[0] || !m_panel[1])
        return;
    m_tree = new FolderTreeWnd(*this, m_opts);
    if (!m_tree->Create(m_hWnd)) {
        delete m_tree;
        m_tree = nullptr;
    }
}

const ITEMIDLIST* CMainFrame::GetTreeTarget()
{
    return m_panel[0] ? ActivePanel()->GetCurrentFolder() : nullptr;
}

void CMainFrame::MatchFolder(const ITEMIDLIST* folder)
{
    if (!m_panel[0] || !m_panel[1] || !folder)
        return;
    BrowseFolderIn(folder, false);
}

void CMainFrame::OnFolderTreeClosed()
{
    m_tree = nullptr;
}
