// The folders a panel has shown, in the order the user walked them, with a current position.
// Going down inserts after the current entry, going up before it.
#pragma once
#include "shell/Pidl.h"
#include <memory>
#include <vector>

class RegKey;

class FolderHistory {
public:
    // Records a visit: extend means going forward (down), else back (up). maxLength bounds the list.
    void Record(const ITEMIDLIST* folder, bool extend, int maxLength);
    int Count() const { return (int)m_items.size(); }
    int Current() const { return m_current; }   // -1 when there is no current entry
    const ITEMIDLIST* At(int index) const;
    const ITEMIDLIST* CurrentFolder() const { return At(m_current); }
    bool CanPrevious() const { return m_current > 0; }
    bool CanNext() const { return m_current >= 0 && m_current + 1 < Count(); }
    // Moves the current position; null (and no move) when there is nowhere to go.
    const ITEMIDLIST* MovePrevious(bool toHead);
    const ITEMIDLIST* MoveNext(bool toTail);
    const ITEMIDLIST* MoveTo(int index);
    void Remove(int index);
    // Removes every entry but the current one.
    void Clear();
    // Keeps a window of maxLength entries around the current one.
    void Trim(int maxLength);
    // The first level below folder of the entry after the current one, when that entry lies
    // below folder (the folder just left after going up); null otherwise.
    const ITEMIDLIST* NextBelow(const ITEMIDLIST* folder) const;
    // "MRVF%dCount", "MRVF%dInd" and "MRVF%d" of panel number (1 or 2).
    void Load(RegKey& key, int number);
    void Store(RegKey& key, int number) const;

private:
    std::vector<std::unique_ptr<PIDL>> m_items;
    int m_current = -1;
};
