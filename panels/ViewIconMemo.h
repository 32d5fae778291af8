// Remembers the icon the shell view gave each object of its list, so that a repaint does not
// ask the shell again. Under Wine the view works out an object's system image list index anew
// every time the list draws it (a folder's icon costs over two milliseconds there: registry
// reads and a look for its desktop.ini), so that one repaint of a panel took a tenth of a
// second. Windows' views keep their icons themselves; the memo stays off there.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <unordered_map>

class VmWnd;

class ViewIconMemo {
public:
    ViewIconMemo();
    // A view of a file-system folder gets the memo, where the memo works at all (under Wine);
    // other folders' objects (drives, printers) may change their look without a new identifier.
    // Starts again empty.
    void Start(bool fileSystemFolder);
    bool IsOn() const { return m_on; }
    // For a list's LVN_GETDISPINFOA/W that asks for an item's image: the image comes from the
    // memo (the view fills in whatever else was asked) or from the view, which `view` (the
    // view window's subclass) hands the notification to. False, with nothing done, for every
    // other notification; true when the notification was answered, *result holding the answer.
    bool OnGetDispInfo(NMHDR* header, VmWnd& view, LRESULT* result);
    // Forgets everything (a new view, or the view listed its folder again).
    void Clear() { m_images.clear(); }
    size_t Count() const { return m_images.size(); }

private:
    // The memo is keyed by the item's identifier as the view stores it with the item: a
    // changed object (other name, time, size or attributes) has other bytes and is asked anew.
    static bool KeyOf(LPARAM item, std::string& key);

    bool m_wine;
    bool m_on = false;
    std::unordered_map<std::string, int> m_images;
};
