#include "panels/FolderTree.h"
#include "app/FrameOpts.h"
#include "app/MainApp.h"
#include "app/Resource.h"
#include "util/ResStr.h"
#include "util/StrUtil.h"
#include "framework/ControlBar.h"
#include <shellapi.h>
#include <string.h>

namespace {
const UINT_PTR kMatchTimer = 1;
const UINT kMatchDelay = 500;
const DWORD kNoIconsBit = 0x80000000;   // SettingsOpts bit 31

int CALLBACK CompareChildren(LPARAM a, LPARAM b, LPARAM folder)
{
    IShellFolder* sf = reinterpret_cast<IShellFolder*>(folder);
    const PIDL* pa = reinterpret_cast<const PIDL*>(a);
    const PIDL* pb = reinterpret_cast<const PIDL*>(b);
    if (!sf || !pa || !pb)
        return 0;
    HRESULT hr = sf->CompareIDs(0, *pa, *pb);
    return FAILED(hr) ? 0 : (short)(hr & 0xFFFF);
}
}  // namespace

// ---- the tree control

FolderTreeCtrl::~FolderTreeCtrl()
{
    if (m_tree && IsWindow(m_tree))
        TreeView_DeleteAllItems(m_tree);   // the items' lists go with them
    if (m_images)
        ImageList_Destroy(m_images);
}

PIDL* FolderTreeCtrl::ItemPidl(HWND tree, HTREEITEM item)
{
    TVITEMA tv = {};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    if (!item || !TreeView_GetItem(tree, &tv))
        return nullptr;
    return reinterpret_cast<PIDL*>(tv.lParam);
}

bool FolderTreeCtrl::Init(HWND tree, const ITEMIDLIST* root, bool showIcons)
{
    m_tree = tree;
    m_showIcons = showIcons;
    if (showIcons) {
        // The system's small icon size, as the shell reports it for the Windows folder.
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, sizeof(windows));
        SHFILEINFOA info = {};
        HIMAGELIST system = (HIMAGELIST)SHGetFileInfoA(windows, 0, &info, sizeof(info),
                                                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
        int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
        if (system)
            ImageList_GetIconSize(system, &cx, &cy);
        m_images = ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 16, 16);
        if (m_images)
            TreeView_SetImageList(m_tree, m_images, TVSIL_NORMAL);
        else
            m_showIcons = false;
    }
    PIDL* list = new PIDL;
    if (root)
        list->CopyAll(root);
    else
        list->Make();
    char name[kMaxPathBytes] = "";
    GetShellNameOf(*list, name, sizeof(name), 0);
    TVINSERTSTRUCTA ins = {};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | (m_showIcons ? TVIF_IMAGE | TVIF_SELECTEDIMAGE : 0);
    ins.item.pszText = name;
    ins.item.cChildren = 1;
    ins.item.iImage = ins.item.iSelectedImage = I_IMAGECALLBACK;
    ins.item.lParam = reinterpret_cast<LPARAM>(list);
    HTREEITEM item = (HTREEITEM)SendMessageA(m_tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
    if (!item) {
        delete list;
        return false;
    }
    TreeView_SelectItem(m_tree, item);
    TreeView_Expand(m_tree, item, TVE_EXPAND);
    return true;
}

bool FolderTreeCtrl::GetAbsolute(HTREEITEM item, PIDL& out) const
{
    // The levels from the item up to the root, then appended root first.
    HTREEITEM chain[256];
    int n = 0;
    for (HTREEITEM i = item; i; i = TreeView_GetParent(m_tree, i)) {
        if (n == (int)(sizeof(chain) / sizeof(chain[0])))
            return false;
        chain[n++] = i;
    }
    if (n == 0)
        return false;
    PIDL* root = ItemPidl(m_tree, chain[n - 1]);
    if (!root || !out.CopyAll(*root))
        return false;
    for (int k = n - 2; k >= 0; k--) {
        PIDL* level = ItemPidl(m_tree, chain[k]);
        if (!level || !out.AppendOne(*level))
            return false;
    }
    return true;
}

void FolderTreeCtrl::Expand(HTREEITEM item)
{
    if (!item || TreeView_GetChild(m_tree, item))
        return;
    PIDL abs;
    iShellFolder folder;
    bool any = false;
    if (GetAbsolute(item, abs) && folder.BindToAbs(abs)) {
        SendMessageA(m_tree, WM_SETREDRAW, FALSE, 0);
        iEnumIDList items(folder, GetParent(m_tree), SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN);
        while (ITEMIDLIST* child = items.Next()) {
            PIDL* list = new PIDL;
            list->Attach(child);
            char name[kMaxPathBytes] = "";
            folder.GetDisplayNameOf(*list, SHGDN_NORMAL, name, sizeof(name));
            DWORD attr = folder.GetAttributesOf(*list, SFGAO_HASSUBFOLDER);
            TVINSERTSTRUCTA ins = {};
            ins.hParent = item;
            // Appended, then put in the folder's own order at once below: inserting each in
            // sorted place would walk the siblings for every one.
            ins.hInsertAfter = TVI_LAST;
            ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN |
                            (m_showIcons ? TVIF_IMAGE | TVIF_SELECTEDIMAGE : 0);
            ins.item.pszText = name;
            ins.item.cChildren = (attr & SFGAO_HASSUBFOLDER) ? 1 : 0;
            ins.item.iImage = ins.item.iSelectedImage = I_IMAGECALLBACK;
            ins.item.lParam = reinterpret_cast<LPARAM>(list);
            if (SendMessageA(m_tree, TVM_INSERTITEMA, 0, (LPARAM)&ins))
                any = true;
            else
                delete list;
        }
        if (any) {
            TVSORTCB sort = {};
            sort.hParent = item;
            sort.lpfnCompare = CompareChildren;
            sort.lParam = reinterpret_cast<LPARAM>(folder.Get());
            TreeView_SortChildrenCB(m_tree, &sort, 0);
        }
        SendMessageA(m_tree, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(m_tree, NULL, TRUE);
    }
    if (!any) {
        // Nothing below it: no expansion button any more.
        TVITEMA tv = {};
        tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
        tv.hItem = item;
        tv.cChildren = 0;
        TreeView_SetItem(m_tree, &tv);
    }
}

bool FolderTreeCtrl::SelectFolder(const ITEMIDLIST* folder)
{
    HTREEITEM current = GetRoot();
    PIDL* rootList = ItemPidl(m_tree, current);
    if (!current || !rootList || !folder)
        return false;
    // The target's levels below the tree's root.
    PIDL target(folder);
    const ITEMIDLIST* next = target;
    for (int i = rootList->GetCount(); i > 0 && next && next->mkid.cb; i--)
        next = PIDL::GetNext(next);
    PIDL abs(static_cast<const ITEMIDLIST*>(*rootList));
    bool found = true;
    SendMessageA(m_tree, WM_SETREDRAW, FALSE, 0);
    while (next && next->mkid.cb) {
        iShellFolder parent;
        if (!parent.BindToAbs(abs)) {
            found = false;
            break;
        }
        Expand(current);
        TreeView_Expand(m_tree, current, TVE_EXPAND);
        PIDL one;
        one.CopyOne(next);
        HTREEITEM match = NULL;
        for (HTREEITEM c = TreeView_GetChild(m_tree, current); c; c = TreeView_GetNextSibling(m_tree, c)) {
            PIDL* item = ItemPidl(m_tree, c);
            int result = 1;
            if (item && parent.Compare(*item, one, 0, result) && result == 0) {
                match = c;
                break;
            }
        }
        if (!match) {
            found = false;
            break;
        }
        current = match;
        abs.AppendOne(one);
        next = PIDL::GetNext(next);
    }
    TreeView_SelectItem(m_tree, current);
    TreeView_Expand(m_tree, current, TVE_EXPAND);
    SendMessageA(m_tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_tree, NULL, TRUE);
    TreeView_EnsureVisible(m_tree, current);
    return found;
}

void FolderTreeCtrl::FillImages(NMTVDISPINFOA& info)
{
    if (!m_showIcons || !m_images)
        return;
    PIDL abs;
    if (!GetAbsolute(info.item.hItem, abs))
        return;
    for (int open = 0; open < 2; open++) {
        if (!(info.item.mask & (open ? TVIF_SELECTEDIMAGE : TVIF_IMAGE)))
            continue;
        int index = -1;
        HICON icon = GetIconOf(abs, open, 0, 0, &index);
        if (!icon)
            continue;
        if (index < 0)
            index = ImageList_GetImageCount(m_images);
        if (index >= ImageList_GetImageCount(m_images))
            ImageList_SetImageCount(m_images, index + 1);
        ImageList_ReplaceIcon(m_images, index, icon);
        DestroyIcon(icon);
        if (open)
            info.item.iSelectedImage = index;
        else
            info.item.iImage = index;
    }
    info.item.mask |= TVIF_DI_SETITEM;   // asked once per item
}

bool FolderTreeCtrl::OnNotify(NMHDR* header, LRESULT& result)
{
    switch (header->code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        NMTREEVIEWA* tv = reinterpret_cast<NMTREEVIEWA*>(header);
        if (tv->action & TVE_EXPAND)
            Expand(tv->itemNew.hItem);
        result = FALSE;
        return true;
    }
    case TVN_GETDISPINFOA:
    case TVN_GETDISPINFOW:   // the image fields lie alike in both forms
        FillImages(*reinterpret_cast<NMTVDISPINFOA*>(header));
        return true;
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW: {
        NMTREEVIEWA* tv = reinterpret_cast<NMTREEVIEWA*>(header);
        delete reinterpret_cast<PIDL*>(tv->itemOld.lParam);
        return true;
    }
    }
    return false;
}

// ---- the window

bool FolderTreeWnd::Create(HWND owner)
{
    return Modeless(IDD_FOLDER_TREE, NULL, owner) != NULL;
}

BOOL FolderTreeWnd::OnInitDialog()
{
    HICON icon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_FOLDER_TREE));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    CreateToolBar();
    m_selected.CopyAll(m_host.GetTreeTarget());
    bool icons = !GetMainApp().m_settings.IsOn(kNoIconsBit);
    m_tree.Init(GetDlgItem(m_hWnd, IDC_FOLDER_TREE), nullptr, icons);
    ApplyLook();
    m_selecting = true;
    m_tree.SelectFolder(m_selected);
    m_selecting = false;
    for (int id : {IDOK, IDCANCEL, IDC_TREE_AUTO})
        ShowWindow(GetDlgItem(m_hWnd, id), SW_HIDE);
    // The stored place, kept on the screen.
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int w = m_opts.treeX > 60 ? m_opts.treeX : 320, h = m_opts.treeY > 60 ? m_opts.treeY : 240;
    if (w > work.right - work.left)
        w = work.right - work.left;
    if (h > work.bottom - work.top)
        h = work.bottom - work.top;
    int x = m_opts.treeL, y = m_opts.treeT;
    if (x + w > work.right)
        x = work.right - w;
    if (y + h > work.bottom)
        y = work.bottom - h;
    if (x < work.left)
        x = work.left;
    if (y < work.top)
        y = work.top;
    MoveWindow(m_hWnd, x, y, w, h, TRUE);
    Layout();
    HMENU sys = GetSystemMenu(m_hWnd, FALSE);
    if (sys) {
        DeleteMenu(sys, SC_RESTORE, MF_BYCOMMAND);
        DeleteMenu(sys, SC_MINIMIZE, MF_BYCOMMAND);
        DeleteMenu(sys, SC_MAXIMIZE, MF_BYCOMMAND);
    }
    ShowWindow(m_hWnd, SW_SHOW);
    SetFocus(m_tree.GetHwnd());
    return FALSE;
}

void FolderTreeWnd::CreateToolBar()
{
    m_toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                                WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER,
                                0, 0, 0, 0, m_hWnd, (HMENU)(UINT_PTR)ID_TREE_TOOLBAR, GetModuleHandleA(NULL), NULL);
    if (!m_toolbar)
        return;
    SendMessageA(m_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBADDBITMAP std = {HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    int s = (int)SendMessageA(m_toolbar, TB_ADDBITMAP, 0, (LPARAM)&std);
    TBADDBITMAP view = {HINST_COMMCTRL, IDB_VIEW_SMALL_COLOR};
    int v = (int)SendMessageA(m_toolbar, TB_ADDBITMAP, 0, (LPARAM)&view);
    BYTE autoState = TBSTATE_ENABLED | (m_opts.IsOn(FrameOpts::FO_GOTO_AUTOMATCH) ? TBSTATE_CHECKED : 0);
    TBBUTTON buttons[] = {
        {v + VIEW_PARENTFOLDER, ID_TREE_MATCH, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
        {v + VIEW_NETCONNECT, ID_TREE_AUTOMATCH, autoState, BTNS_CHECK, {0}, 0, 0},
        {s + STD_HELP, ID_TREE_HELP, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
    };
    SendMessageA(m_toolbar, TB_ADDBUTTONSA, 3, (LPARAM)buttons);
    SendMessageA(m_toolbar, TB_AUTOSIZE, 0, 0);
}

void FolderTreeWnd::Layout()
{
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    int top = 0;
    if (m_toolbar) {
        SendMessageA(m_toolbar, TB_AUTOSIZE, 0, 0);
        RECT tb;
        GetWindowRect(m_toolbar, &tb);
        top = tb.bottom - tb.top;
    }
    MoveWindow(m_tree.GetHwnd(), 0, top, rc.right, rc.bottom > top ? rc.bottom - top : 0, TRUE);
}

void FolderTreeWnd::ApplyLook()
{
    HWND tree = m_tree.GetHwnd();
    if (m_opts.textColor != FrameOpts::kSystemColor)
        TreeView_SetTextColor(tree, m_opts.textColor);
    if (m_opts.bkgColor != FrameOpts::kSystemColor)
        TreeView_SetBkColor(tree, m_opts.bkgColor);
    if (m_opts.hasFont) {
        m_font = CreateFontIndirectA(&m_opts.font);
        if (m_font)
            SendMessageA(tree, WM_SETFONT, (WPARAM)m_font, TRUE);
    }
}

void FolderTreeWnd::StopTimer()
{
    if (m_timer)
        KillTimer(m_hWnd, m_timer);
    m_timer = 0;
}

void FolderTreeWnd::OnPanelNavigated(const ITEMIDLIST* folder)
{
    if (!folder || !m_opts.IsOn(FrameOpts::FO_GOTO_AUTOMATCH))
        return;
    m_selected.CopyAll(folder);
    m_selecting = true;
    m_tree.SelectFolder(folder);
    m_selecting = false;
}

void FolderTreeWnd::Match()
{
    StopTimer();
    HTREEITEM item = TreeView_GetSelection(m_tree.GetHwnd());
    PIDL abs;
    if (!item || !m_tree.GetAbsolute(item, abs))
        return;
    m_host.MatchFolder(abs);
    if (m_hWnd && IsWindow(m_hWnd))
        SetActiveWindow(m_hWnd);
}

void FolderTreeWnd::ToggleAutoMatch()
{
    bool on = !m_opts.IsOn(FrameOpts::FO_GOTO_AUTOMATCH);
    m_opts.Set(FrameOpts::FO_GOTO_AUTOMATCH, on);
    m_opts.Store();
    if (m_toolbar)
        SendMessageA(m_toolbar, TB_CHECKBUTTON, ID_TREE_AUTOMATCH, MAKELONG(on, 0));
    if (on)
        Match();
    else
        StopTimer();
}

void FolderTreeWnd::Close()
{
    StopTimer();
    RememberPlacement();
    CloseDialog(IDCANCEL, 0);
}

void FolderTreeWnd::RememberPlacement()
{
    RECT r;
    if (m_hWnd && GetWindowRect(m_hWnd, &r)) {
        m_opts.treeL = r.left;
        m_opts.treeT = r.top;
        m_opts.treeX = r.right - r.left;
        m_opts.treeY = r.bottom - r.top;
    }
}

void FolderTreeWnd::OnOK()
{
    if (GetKeyState(VK_CONTROL) < 0)
        Match();
    else
        Close();
}

void FolderTreeWnd::OnCancel()
{
    Close();
}

void FolderTreeWnd::OnPostNcDestroy()
{
    if (m_font)
        DeleteObject(m_font);
    m_font = NULL;
    m_host.OnFolderTreeClosed();
    delete this;
}

bool FolderTreeWnd::PreTranslate(MSG* msg)
{
    if (!m_hWnd || (msg->hwnd != m_hWnd && !IsChild(m_hWnd, msg->hwnd)))
        return false;
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        OnOK();
        return true;
    }
    if (msg->message == WM_SYSKEYDOWN && (msg->wParam == 'A')) {
        ToggleAutoMatch();
        return true;
    }
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
        Close();
        return true;
    }
    return IsDialogMessageA(m_hWnd, msg) != 0;
}

bool FolderTreeWnd::OnCommand(int id, int, HWND)
{
    switch (id) {
    case ID_TREE_MATCH:
        Match();
        return true;
    case ID_TREE_AUTOMATCH:
        // The check button toggled itself; the flag follows it.
        ToggleAutoMatch();
        return true;
    case ID_TREE_HELP:
        OnHelp(IDD_FOLDER_TREE);
        return true;
    case IDC_TREE_AUTO:
        ToggleAutoMatch();
        return true;
    }
    return false;
}

bool FolderTreeWnd::OnNotify(int id, NMHDR* header, LRESULT& result)
{
    if (fw::SetCommandTip(header))   // the toolbar's tips
        return true;
    if (id != IDC_FOLDER_TREE)
        return false;
    if (m_tree.OnNotify(header, result))
        return true;
    if (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW) {
        if (!m_selecting && m_opts.IsOn(FrameOpts::FO_GOTO_AUTOMATCH)) {
            StopTimer();
            m_timer = SetTimer(m_hWnd, kMatchTimer, kMatchDelay, NULL);
        }
        return true;
    }
    return false;
}

INT_PTR FolderTreeWnd::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_TIMER:
        if (wParam == kMatchTimer) {
            Match();
            return TRUE;
        }
        break;
    case WM_SIZE:
        Layout();
        return TRUE;
    case WM_CLOSE:
        Close();
        return TRUE;
    }
    return VmDlg::OnDlgMessage(msg, wParam, lParam);
}
