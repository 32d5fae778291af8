#include "ShellView.h"
#include "ContextMenu.h"
#include <commctrl.h>

namespace {
// The creation hook is shared by the whole library: one hook and one target view at a time,
// on the user-interface thread that creates views.
HHOOK g_hook = NULL;
iShellView* g_target = NULL;

bool IsClass(HWND window, const char* name)
{
    char cls[64];
    return window && GetClassNameA(window, cls, sizeof(cls)) && lstrcmpiA(cls, name) == 0;
}
}  // namespace

struct ViewCreateHook {
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HC_ACTION && g_target) {
            const CWPRETSTRUCT* ret = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
            if (ret && ret->message == WM_NCCREATE)
                g_target->OnWindowCreated(ret->hwnd);
        }
        LRESULT result = CallNextHookEx(g_hook, code, wParam, lParam);
        // A thread hook costs every later message of the thread a trip through the system, and
        // the view fills its list right after creating it: leave as soon as the list is ours.
        if (g_target && g_target->GetListView())
            Remove();
        return result;
    }
    static bool Install(iShellView* view)
    {
        if (g_hook)
            return false;   // another creation is being watched
        g_hook = SetWindowsHookExA(WH_CALLWNDPROCRET, Proc, NULL, GetCurrentThreadId());
        if (!g_hook)
            return false;
        g_target = view;
        return true;
    }
    static void Remove()
    {
        if (g_hook)
            UnhookWindowsHookEx(g_hook);
        g_hook = NULL;
        g_target = NULL;
    }
};

iShellView::iShellView()
    : m_hWnd(NULL), m_isDefView(false), m_hLV(NULL), m_hHeader(NULL), m_initValue(0)
{
}

iShellView::iShellView(IShellView* view) : iShellView()
{
    Attach(view);
    AddRef();
}

iShellView::~iShellView()
{
    if (g_target == this)
        ViewCreateHook::Remove();
    UnsubclassChildren();
    m_svWnd.UnsubclassEx();
}

void iShellView::SubclassView(HWND window)
{
    m_hWnd = window;
    if (!m_svWnd.GetHWND())
        m_svWnd.SubclassEx(window);
}

void iShellView::SubclassList(HWND window)
{
    m_hLV = window;
    m_hHeader = NULL;
    if (!m_lvWnd.GetHWND())
        m_lvWnd.SubclassEx(window);
}

void iShellView::OnWindowCreated(HWND window)
{
    if (IsClass(window, "SHELLDLL_DefView")) {
        if (!m_hWnd)
            SubclassView(window);
    } else if (IsClass(window, "SysListView32")) {
        if (m_hLV)
            return;
        SubclassList(window);
        if (!m_hWnd)
            SubclassView(GetParent(window));
    }
}

bool iShellView::CreateWnd(IShellView* previous, FOLDERSETTINGS* settings, IShellBrowser* browser,
                           RECT* rect)
{
    if (!Get() || !settings || !browser || !rect)
        return false;
    Reset();
    bool hooked = ViewCreateHook::Install(this);
    HWND created = NULL;
    HRESULT hr = Get()->CreateViewWindow(previous, settings, browser, rect, &created);
    if (hooked)
        ViewCreateHook::Remove();
    if (FAILED(hr) || !created) {
        HWND list = m_hLV;
        UnsubclassChildren();
        m_svWnd.UnsubclassEx();
        m_hWnd = NULL;
        if (list && IsWindow(list))
            DestroyWindow(list);
        return false;
    }
    if (m_hWnd != created) {
        // The hook missed it (another creation was watched): subclass it now.
        m_svWnd.UnsubclassEx();
        SubclassView(created);
    }
    return true;
}

bool iShellView::CreateWnd2(IShellView2* view2, SV2CVW2_PARAMS* params)
{
    if (!view2 || !params)
        return false;
    Reset();
    bool hooked = ViewCreateHook::Install(this);
    HRESULT hr = view2->CreateViewWindow2(params);
    if (hooked)
        ViewCreateHook::Remove();
    if (FAILED(hr) || !params->hwndView) {
        HWND list = m_hLV;
        UnsubclassChildren();
        m_svWnd.UnsubclassEx();
        m_hWnd = NULL;
        if (list && IsWindow(list))
            DestroyWindow(list);
        return false;
    }
    if (m_hWnd != params->hwndView) {
        m_svWnd.UnsubclassEx();
        SubclassView(params->hwndView);
    }
    return true;
}

bool iShellView::GetISV2(IShellView2** out) { return QueryInterface(IID_IShellView2, (void**)out); }

void iShellView::FinishInit(int value)
{
    m_initValue = value;
    m_isDefView = IsClass(m_hWnd, "SHELLDLL_DefView");
    if (!m_hLV && m_hWnd) {
        HWND list = FindWindowExA(m_hWnd, NULL, "SysListView32", NULL);
        if (list)
            SubclassList(list);
    }
    GetHeader();
}

HWND iShellView::GetHeader()
{
    if (!m_hHeader && m_hLV) {
        m_hHeader = ListView_GetHeader(m_hLV);
        if (!m_hHeader)
            m_hHeader = FindWindowExA(m_hLV, NULL, "SysHeader32", NULL);
    }
    return m_hHeader;
}

bool iShellView::DestroyWnd()
{
    UnsubclassChildren();
    if (!Get())
        return false;
    bool ok = SUCCEEDED(Get()->DestroyViewWindow());
    m_svWnd.UnsubclassEx();   // normally gone with the window already
    m_hWnd = NULL;
    m_isDefView = false;
    return ok;
}

void iShellView::UnsubclassChildren()
{
    m_lvWnd.UnsubclassEx();
    m_hLV = NULL;
    m_hHeader = NULL;
}

void iShellView::Reset()
{
    m_hWnd = NULL;
    m_isDefView = false;
    m_hLV = NULL;
    m_hHeader = NULL;
}

bool iShellView::Activate(int focus)
{
    if (!Get() || !m_hWnd)
        return false;
    bool ok = SUCCEEDED(Get()->UIActivate(focus ? SVUIA_ACTIVATE_FOCUS : SVUIA_ACTIVATE_NOFOCUS));
    if (focus) {
        if (m_hLV && GetFocus() != m_hLV)
            SetFocus(m_hLV);
        UpdateWindow(m_hWnd);
    }
    return ok;
}

bool iShellView::Deactivate()
{
    return Get() && m_hWnd && SUCCEEDED(Get()->UIActivate(SVUIA_DEACTIVATE));
}

bool iShellView::GetCurrentInfo(FOLDERSETTINGS* settings)
{
    if (!Get() || !settings)
        return false;
    IShellView2* v2 = NULL;
    if (GetISV2(&v2) && v2) {
        bool ok = SUCCEEDED(v2->GetCurrentInfo(settings));
        v2->Release();
        return ok;
    }
    return SUCCEEDED(Get()->GetCurrentInfo(settings));
}

bool iShellView::SaveViewState() { return Get() && SUCCEEDED(Get()->SaveViewState()); }

bool iShellView::Refresh() { return Get() && SUCCEEDED(Get()->Refresh()); }

bool iShellView::HasFocus() const
{
    HWND focus = GetFocus();
    if (!focus)
        return false;
    if (m_hLV)
        return focus == m_hLV;
    return m_hWnd && (focus == m_hWnd || focus == GetWindow(m_hWnd, GW_CHILD));
}

void iShellView::RestoreFocus()
{
    if (m_hLV)
        SetFocus(m_hLV);
    else if (m_hWnd)
        SetFocus(m_hWnd);
}

bool iShellView::ModifyLVStyle(DWORD remove, DWORD add)
{
    if (!m_hLV)
        return false;
    LONG_PTR style = GetWindowLongPtrA(m_hLV, GWL_STYLE);
    SetWindowLongPtrA(m_hLV, GWL_STYLE, (style & ~(LONG_PTR)remove) | add);
    return true;
}

bool iShellView::ModifyLVStyleEx(DWORD remove, DWORD add)
{
    if (!m_hLV)
        return false;
    if (remove)
        SendMessageA(m_hLV, LVM_SETEXTENDEDLISTVIEWSTYLE, remove, 0);
    if (add)
        SendMessageA(m_hLV, LVM_SETEXTENDEDLISTVIEWSTYLE, add, add);
    return true;
}

int iShellView::GetCountLV() const { return m_hLV ? (int)ListView_GetItemCount(m_hLV) : 0; }

int iShellView::GetSelCountLV() const
{
    return m_hLV ? (int)ListView_GetSelectedCount(m_hLV) : 0;
}

int iShellView::GetFocusedItem() const
{
    return m_hLV ? (int)ListView_GetNextItem(m_hLV, -1, LVNI_FOCUSED) : -1;
}

int iShellView::GetItemName(char* buf, int index) const
{
    if (!buf)
        return 0;
    buf[0] = 0;
    if (!m_hLV)
        return 0;
    if (index == -1)
        index = GetFocusedItem();
    if (index < 0 || index >= GetCountLV())
        return 0;
    LVITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.iSubItem = 0;
    item.pszText = buf;
    item.cchTextMax = MAX_PATH;
    SendMessageA(m_hLV, LVM_GETITEMTEXTA, index, (LPARAM)&item);
    buf[MAX_PATH - 1] = 0;
    return lstrlenA(buf);
}

int iShellView::FindItem(const char* name, int partial, int start, int wrap) const
{
    if (!m_hLV || !name)
        return -1;
    LVFINDINFOA fi;
    ZeroMemory(&fi, sizeof(fi));
    fi.flags = LVFI_STRING | (partial ? LVFI_PARTIAL : 0) | (wrap ? LVFI_WRAP : 0);
    fi.psz = name;
    return (int)SendMessageA(m_hLV, LVM_FINDITEMA, (WPARAM)start, (LPARAM)&fi);
}

bool iShellView::SelectListItem(int index)
{
    if (!m_hLV || index < 0 || index >= GetCountLV())
        return false;
    ListView_SetItemState(m_hLV, index, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(m_hLV, index);
    return true;
}

bool iShellView::SelectItem(const ITEMIDLIST* item, int select)
{
    if (!Get() || !item)
        return false;
    UINT flags = SVSI_DESELECT;
    if (select) {
        flags = SVSI_SELECT;
        if (GetFocusedItem() < 0)
            flags |= SVSI_FOCUSED;
    }
    return SUCCEEDED(Get()->SelectItem(item, flags));
}

bool iShellView::HighlightItem(const ITEMIDLIST* item)
{
    if (!Get())
        return false;
    if (!item)
        return SUCCEEDED(Get()->SelectItem(NULL, SVSI_DESELECTOTHERS));
    return SUCCEEDED(Get()->SelectItem(item, SVSI_SELECT | SVSI_DESELECTOTHERS | SVSI_FOCUSED));
}

bool iShellView::HighlightItem(const char* name)
{
    if (!m_hLV)
        return false;
    ListView_SetItemState(m_hLV, -1, 0, LVIS_SELECTED);
    if (!name) {
        SetSelMarkOnFocused();
        return true;
    }
    int index = FindItem(name, 0, -1, 0);
    if (index < 0)
        return false;
    SelectListItem(index);
    ListView_EnsureVisible(m_hLV, index, FALSE);
    return true;
}

void iShellView::SetSelMarkOnFocused()
{
    if (m_hLV)
        ListView_SetSelectionMark(m_hLV, GetFocusedItem());
}

void iShellView::SelectFocusedItem()
{
    int f = GetFocusedItem();
    if (f < 0)
        return;
    ListView_SetItemState(m_hLV, f, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetSelectionMark(m_hLV, f);
    ListView_EnsureVisible(m_hLV, f, FALSE);
}

void iShellView::UnFocus()
{
    int f = GetFocusedItem();
    if (f >= 0)
        ListView_SetItemState(m_hLV, f, 0, LVIS_FOCUSED);
}

void iShellView::InvertSelectionLV()
{
    int n = GetCountLV();
    for (int i = 0; i < n; ++i) {
        UINT state = ListView_GetItemState(m_hLV, i, LVIS_SELECTED);
        ListView_SetItemState(m_hLV, i, (state & LVIS_SELECTED) ? 0 : LVIS_SELECTED,
                              LVIS_SELECTED);
    }
}

int iShellView::CanSelectNextItem(int forward) const
{
    int f = GetFocusedItem();
    if (f < 0)
        return -1;
    if (forward)
        return f + 1 < GetCountLV() ? f : -1;
    return f > 0 ? f : -1;
}

// Moves selection and focus from the focused item to target.
bool iShellView::MoveTo(int target)
{
    int f = GetFocusedItem();
    if (f < 0 || target < 0 || target >= GetCountLV() || target == f)
        return false;
    ListView_SetItemState(m_hLV, f, 0, LVIS_SELECTED | LVIS_FOCUSED);
    SelectListItem(target);
    ListView_EnsureVisible(m_hLV, target, FALSE);
    return true;
}

bool iShellView::SelectNextItem(int forward)
{
    int f = CanSelectNextItem(forward);
    return f >= 0 && MoveTo(forward ? f + 1 : f - 1);
}

bool iShellView::SelectFirstItem() { return MoveTo(0); }

bool iShellView::SelectLastItem() { return MoveTo(GetCountLV() - 1); }

bool iShellView::GetNextUnselectedItem(char* buf) const
{
    if (!buf)
        return false;
    buf[0] = 0;
    if (!m_hLV)
        return false;
    int n = GetCountLV();
    int f = GetFocusedItem();
    for (int i = f + 1; i < n; ++i)
        if (!(ListView_GetItemState(m_hLV, i, LVIS_SELECTED) & LVIS_SELECTED))
            return GetItemName(buf, i) > 0;
    for (int i = f - 1; i >= 0; --i)
        if (!(ListView_GetItemState(m_hLV, i, LVIS_SELECTED) & LVIS_SELECTED))
            return GetItemName(buf, i) > 0;
    return false;
}

int iShellView::TargetOf(int focused) const
{
    if (!m_hLV)
        return -1;
    int index = focused ? GetFocusedItem() : -1;
    if (index < 0)
        index = (int)ListView_GetNextItem(m_hLV, -1, LVNI_SELECTED);
    return index;
}

bool iShellView::EnsureSelVisible(int post, int focused)
{
    int index = TargetOf(focused);
    if (index < 0)
        return false;
    if (post)
        return PostMessageA(m_hLV, LVM_ENSUREVISIBLE, index, FALSE) != 0;
    SendMessageA(m_hLV, LVM_ENSUREVISIBLE, index, FALSE);
    return true;
}

bool iShellView::EditSelItemLabel(int post, int focused)
{
    int index = TargetOf(focused);
    if (index < 0)
        return false;
    if (post)
        return PostMessageA(m_hLV, LVM_EDITLABELA, index, 0) != 0;
    return SendMessageA(m_hLV, LVM_EDITLABELA, index, 0) != 0;
}

bool iShellView::GetItemObj(UINT item, REFIID iid, void** out)
{
    if (!out)
        return false;
    *out = NULL;
    return Get() && SUCCEEDED(Get()->GetItemObject(item, iid, out)) && *out;
}

bool iShellView::GetItemDataObj(UINT item, IDataObject** out)
{
    return GetItemObj(item, IID_IDataObject, (void**)out);
}

bool iShellView::InvokeCtxMenuCmd(HWND owner, const char* verb, UINT item)
{
    if (!verb)
        return false;
    IContextMenu* p = NULL;
    if (!GetItemObj(item, IID_IContextMenu, (void**)&p))
        return false;
    iContextMenu menu;
    menu.Attach(p);
    // Menus answer verbs once they have been built.
    HMENU popup = CreatePopupMenu();
    if (popup)
        menu.QueryContextMenu(popup, 0, 1, 0x7FFF, CMF_NORMAL);
    bool ok = menu.InvokeCtxMenuCmd(owner, verb, SW_SHOWNORMAL);
    if (popup)
        DestroyMenu(popup);
    return ok;
}

bool iShellView::SetLVMsgCallback(HWND target, MSG_CALLBACK_ITEM* items, UINT message,
                                  LPARAM cookie)
{
    if (!m_hLV)
        return false;
    // The table ends at its first entry with flags 0.
    return m_lvWnd.SetMsgCallback(target, message, items, 0x7FFF, cookie);
}

void iShellView::Redraw()
{
    if (m_hLV)
        SendMessageA(m_hLV, WM_SETREDRAW, TRUE, 0);
    if (m_hWnd)
        RedrawWindow(m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}
