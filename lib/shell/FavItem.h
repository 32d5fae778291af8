// One favourite: an optional label, the folder for the active panel and an optional folder for
// the passive panel, with the byte form in which the favourites are stored.
#pragma once
#include "../Panorel32.h"
#include "Pidl.h"

class VmList;

class PANOREL32_API FavItem {
public:
    FavItem() = default;
    FavItem(const FavItem&) = delete;   // owns its label and lists; copies go through CopyFrom
    FavItem& operator=(const FavItem&) = delete;
    ~FavItem();

    // Replaces each part that is given: a non-null label (an empty one clears it), a non-null
    // list (stored as a copy).
    void SetData(const char* label, const ITEMIDLIST* active, const ITEMIDLIST* passive);
    // which != 0: the active-panel folder, else the passive-panel folder.
    void ClearPidl(int which);
    // Label and both folders copied from other.
    void CopyFrom(const FavItem& other);

    const char* GetLabel() const { return m_label ? m_label : ""; }
    bool HasLabel() const { return m_label != nullptr; }
    const ITEMIDLIST* GetActive() const { return m_active; }
    const ITEMIDLIST* GetPassive() const { return m_passive; }

    // put != 0: write the item into buf (size only when buf is null) and return its size.
    // put == 0: read one item of at most avail bytes; 0 when it is malformed or runs past avail
    // (the item is then left as it was).
    UINT GetPut(int put, unsigned char* buf, UINT avail = 0xFFFFFFFF);
    // The items of a VmList of FavItem objects back to back. Writing skips items without an
    // active-panel folder (their bytes could not be told apart from the next field); *written
    // receives the number of items written. Reading: the list holds count empty items already;
    // avail bounds the bytes read in all. Returns the bytes written or read.
    static UINT GetPutList(VmList& list, int count, int put, unsigned char* buf,
                           UINT avail = 0xFFFFFFFF, int* written = nullptr);

private:
    char* m_label = nullptr;
    PIDL m_active;
    PIDL m_passive;
};
