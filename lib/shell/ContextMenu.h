// Context menus of shell items and of shell extensions.
#pragma once
#include "ShellFolder.h"

class PANOREL32_API iContextMenu : public iUnk {
public:
    iContextMenu() {}
    explicit iContextMenu(IContextMenu* menu) : iUnk(menu) {}   // adds a reference
    // Creates the extension, initialises it with the folder, data object and key, and keeps
    // its IContextMenu. Empty on any failure.
    iContextMenu(const GUID& clsid, const ITEMIDLIST* folder, IDataObject* data, HKEY key);

    IContextMenu* Get() const { return static_cast<IContextMenu*>(m_pUnk); }
    // Number of items added (low 16 bits of the result), 0 on failure.
    int QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags);
    // buf is always terminated within size; empty on failure.
    bool GetCommandString(UINT_PTR id, UINT type, char* buf, int size);
    bool InvokeCommand(CMINVOKECOMMANDINFO* info);
    // verb: a verb text or MAKEINTRESOURCE of a command offset.
    bool InvokeCtxMenuCmd(HWND owner, const char* verb, int show = SW_SHOWNORMAL,
                          const char* directory = NULL, const char* parameters = NULL);
};
