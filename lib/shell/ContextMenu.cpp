#include "ContextMenu.h"

iContextMenu::iContextMenu(const GUID& clsid, const ITEMIDLIST* folder, IDataObject* data,
                           HKEY key)
{
    IShellExtInit* init = NULL;
    if (FAILED(CoCreateInstance(clsid, NULL, CLSCTX_INPROC_SERVER, IID_IShellExtInit,
                                (void**)&init)) ||
        !init)
        return;
    IContextMenu* menu = NULL;
    if (SUCCEEDED(init->Initialize(folder, data, key)) &&
        SUCCEEDED(init->QueryInterface(IID_IContextMenu, (void**)&menu)) && menu)
        Attach(menu);
    init->Release();
}

int iContextMenu::QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags)
{
    if (!Get() || !menu)
        return 0;
    HRESULT hr = Get()->QueryContextMenu(menu, index, firstId, lastId, flags);
    return FAILED(hr) ? 0 : (int)(hr & 0xFFFF);
}

bool iContextMenu::GetCommandString(UINT_PTR id, UINT type, char* buf, int size)
{
    if (!buf || size <= 0)
        return false;
    buf[0] = 0;
    if (!Get())
        return false;
    // The length is counted in characters of the kind asked for.
    UINT chars = (type & GCS_UNICODE) ? (UINT)size / sizeof(WCHAR) : (UINT)size;
    if (!chars)
        return false;
    bool ok = SUCCEEDED(Get()->GetCommandString(id, type, NULL, buf, chars));
    // Unicode requests fill WCHARs: terminate by the character size the caller asked for.
    if (type & GCS_UNICODE) {
        int chars = size / (int)sizeof(WCHAR);
        if (chars > 0)
            ((WCHAR*)buf)[chars - 1] = 0;
        if (!ok && chars > 0)
            ((WCHAR*)buf)[0] = 0;
    } else {
        buf[size - 1] = 0;
        if (!ok)
            buf[0] = 0;
    }
    return ok;
}

bool iContextMenu::InvokeCommand(CMINVOKECOMMANDINFO* info)
{
    return Get() && info && SUCCEEDED(Get()->InvokeCommand(info));
}

bool iContextMenu::InvokeCtxMenuCmd(HWND owner, const char* verb, int show, const char* directory,
                                    const char* parameters)
{
    if (!Get() || !verb)
        return false;
    CMINVOKECOMMANDINFO ci;
    ZeroMemory(&ci, sizeof(ci));
    ci.cbSize = sizeof(ci);   // the structure's size on this platform, not a 32-bit constant
    ci.hwnd = owner;
    ci.lpVerb = verb;
    ci.lpParameters = parameters;
    ci.lpDirectory = directory;
    ci.nShow = show;
    return InvokeCommand(&ci);
}
