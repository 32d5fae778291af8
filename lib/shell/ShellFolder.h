// Thin owners of shell interface pointers: the common base, folders and their enumerators.
// Every wrapper holds one pointer and releases it in its destructor; results come back as
// booleans (true = the call's result was not negative).
#pragma once
#include "../Panorel32.h"
#include <shlobj.h>

class PIDL;

class PANOREL32_API iUnk {
public:
    iUnk() : m_pUnk(NULL) {}
    explicit iUnk(IUnknown* p);   // adds a reference of its own
    iUnk(const iUnk&) = delete;   // one reference, one owner
    iUnk& operator=(const iUnk&) = delete;
    virtual ~iUnk() { Release(); }

    void Attach(IUnknown* p);   // takes over the caller's reference; releases the held one
    IUnknown* Detach();         // hands the reference out
    ULONG AddRef();
    ULONG Release();            // forgets the pointer; 0 when none was held
    bool QueryInterface(REFIID iid, void** out) const;
    bool IsReady() const { return m_pUnk != NULL; }

protected:
    IUnknown* m_pUnk;
};

class PANOREL32_API iShellFolder : public iUnk {
public:
    iShellFolder();
    // No parent: the Desktop; else the item bound from the parent.
    iShellFolder(iShellFolder* parent, const ITEMIDLIST* item);
    // Binds to a file-system or network path; out receives its absolute list. Empty on failure.
    iShellFolder(const char* path, PIDL& out);

    IShellFolder* Get() const { return static_cast<IShellFolder*>(m_pUnk); }

    bool BindToDesktop();
    // Sets the flags from the item's attributes here, then binds it.
    bool BindToObject(const ITEMIDLIST* item, IShellFolder** out);
    // Empty: becomes the Desktop. Else replaces the folder by its child; the folder stays when
    // the child cannot be bound.
    bool BindTo(const ITEMIDLIST* item);
    // Every level of an absolute list from the Desktop. When a level cannot be bound the object
    // is left empty and false returned, so a caller never holds a folder it did not ask for.
    bool BindToAbs(const ITEMIDLIST* list);

    bool EnumObjects(HWND owner, DWORD flags, IEnumIDList** out);
    bool CreateShellViewObject(HWND owner, IShellView** out);
    DWORD GetAttributesOf(const ITEMIDLIST* item, DWORD mask);
    bool GetUIObjectOf(HWND owner, UINT count, const ITEMIDLIST** items, REFIID iid, void** out);
    bool GetItemObj(HWND owner, const ITEMIDLIST* item, REFIID iid, void** out);
    // Always terminated within size; empty on failure.
    bool GetDisplayNameOf(const ITEMIDLIST* item, DWORD flags, char* buf, int size);
    // Relative list (the caller frees it with the task allocator) or null. Texts longer than
    // MAX_PATH characters are refused rather than cut.
    ITEMIDLIST* ParseDisplayName(const char* name, unsigned long* attributes);
    bool GetDataFromIDList(const ITEMIDLIST* item, int format, void* buffer, int size);
    // flag 0 compares in-folder names, else normal names; names equal without regard to case
    // give 0 without asking the folder. result is left unchanged on failure.
    bool Compare(const ITEMIDLIST* a, const ITEMIDLIST* b, int flag, int& result,
                 long lParam = 0);

    bool IsFolder() const { return m_isFolder; }
    bool IsFileSystem() const { return m_isFileSystem; }
    bool IsBrowsable() const { return m_isBrowsable; }
    bool IsDosFolder() const { return m_isDosFolder; }

private:
    void SetFlags(DWORD attributes);
    bool BindPath(const char* path, PIDL& out);

    bool m_isFolder;
    bool m_isFileSystem;
    bool m_isBrowsable;
    bool m_isDosFolder;   // folder, file system and not browsable in place
};

class PANOREL32_API iEnumIDList : public iUnk {
public:
    iEnumIDList() {}
    iEnumIDList(iShellFolder& folder, HWND owner, DWORD flags);

    IEnumIDList* Get() const { return static_cast<IEnumIDList*>(m_pUnk); }
    ITEMIDLIST* Next();   // the caller frees it; null at the end
    ULONG Next(ULONG count, ITEMIDLIST** out);
    bool Reset();
};
