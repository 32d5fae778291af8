// The favourites: the list the main window keeps for both panels, stored in the application's
// root key, shown as a menu and organized in a dialog.
#pragma once
#include "shell/FavItem.h"
#include "util/VmList.h"
#include <functional>

class IconMenu;
class RegKey;

class Favorites {
public:
    // The display text of a folder, as the panel title shows it.
    using TextOf = std::function<void(const ITEMIDLIST* folder, char* buf, int size)>;
    enum { kMaxItems = 100 };   // one menu command each

    Favorites();
    Favorites(const Favorites&) = delete;   // owns its items
    Favorites& operator=(const Favorites&) = delete;
    ~Favorites();

    VmList& List() { return m_list; }
    int GetCount() const { return m_list.GetCount(); }
    FavItem* GetAt(int index) const;

    // Reads the current or the earlier stored form; what cannot be read is left out.
    void Load(RegKey& key);
    void Store(RegKey& key);
    // A copy of folder at the end; an earlier favourite of the same folder goes.
    bool Add(const ITEMIDLIST* folder);
    // The menu text of an item: its label, else its folder's display text.
    static void GetText(const FavItem& item, const TextOf& textOf, char* buf, int size);
    // Appends the favourites to the menu with commands firstId and up; the item of the folder
    // current is the default one. Items whose text is empty are removed; true when any was.
    bool AppendToMenu(IconMenu& menu, UINT firstId, const ITEMIDLIST* current, const TextOf& textOf);
    // The organize dialog; true when OK replaced the list.
    bool Organize(HWND owner, const TextOf& textOf);

private:
    static int RemoveItem(void* user, int code, void* element);
    VmList m_list;
};

// Copies every item of one list of FavItem objects to the end of another.
void CopyFavorites(VmList& from, VmList& to);
