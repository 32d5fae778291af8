#include "panels/ViewFrame.h"
#include "panels/ViewModeMenu.h"
#include "app/MainApp.h"
#include "app/MainFrame.h"
#include "app/Policy.h"
#include "app/Resource.h"
#include "registry/AppInfo.h"
#include "registry/RegKey.h"
#include "shell/ShellBrowser.h"
#include "ui/SysInfo.h"
#include "ui/WaitCursor.h"
#include "util/PathUtil.h"
#include "ui/IconMenu.h"
#include "Product.h"
#include <commctrl.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <unordered_set>

static const char kPanelClass[] = "PanorelPanel";
static const UINT kFirstPaneId = 0xE900;
// Cookies of "VelmoraViewMsg": the view window's and the list's reports; 5 asks the panel to
// select the focused item.
static const LPARAM kViewCookie = 1, kListCookie = 2, kSelectFocusedCookie = 5;
static const UINT WM_PANEL_SELECTION_DISPLAY = WM_APP + 0x31;
static const int kViewMargin = 2;

static UINT ViewMessage()
{
    static UINT msg = RegisterWindowMessageA("VelmoraViewMsg");
    return msg;
}

// The shell's version as (major << 16) | minor, read once.
static DWORD ShellVersion()
{
    static DWORD version = 0xFFFFFFFF;
    if (version == 0xFFFFFFFF) {
        DWORD major = 0, minor = 0, build = 0;
        version = GetVerDll("shell32.dll", &major, &minor, &build) ? (major << 16) | (minor & 0xFFFF) : 0;
    }
    return version;
}

void PanelTitleBar::SetText(const char* text)
{
    SetWindowTextA(m_hWnd, text ? text : "");
    InvalidateRect(m_hWnd, NULL, TRUE);
}

void PanelTitleBar::SetActiveLook(bool active)
{
    if (m_active != active) {
        m_active = active;
        InvalidateRect(m_hWnd, NULL, TRUE);
    }
}

int PanelTitleBar::CalcThickness(bool)
{
    return GetSystemMetrics(SM_CYSMCAPTION) + 2;
}

LRESULT PanelTitleBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        FillRect(dc, &rc, GetSysColorBrush(m_active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        // Drawn as wide text: the A call would read the name in the font's code page.
        WCHAR text[2 * MAX_PATH];
        GetWindowTextW(m_hWnd, text, 2 * MAX_PATH);
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(m_active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        rc.left += 4;
        DrawTextW(dc, text, -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
        SelectObject(dc, old);
        EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        // A click on the title makes the panel active.
        SendMessageA(GetParent(m_hWnd), WM_MOUSEACTIVATE, 0, 0);
        break;
    case WM_LBUTTONDBLCLK:
        // Double click: maximize the panel, or jump to a folder when the option says so.
        PostMessageA(GetAncestor(m_hWnd, GA_ROOT), WM_COMMAND,
                     GetMainApp().m_settings.settings2.IsOn(0x8) ? ID_FOLDER_JUMP : ID_PANEL_MAXIMIZE, 0);
        return 0;
    case WM_LBUTTONUP:
        if (ViewFrame* panel = dynamic_cast<ViewFrame*>(Wnd::FromHandle(GetParent(m_hWnd))))
            panel->ShowTitleMenu();
        return 0;
    }
    return ControlBar::WindowProc(msg, wp, lp);
}

ViewFrame::ViewFrame(PanelHost* host, int index) : m_host(host), m_index(index), m_settings(index)
{
    m_path[0] = 0;
    m_pendingSelect[0] = 0;
}

ViewFrame::~ViewFrame()
{
    if (m_font)
        DeleteObject(m_font);
    if (m_view) {
        m_view->Deactivate();
        m_view->DestroyWnd();
    }
}

bool ViewFrame::Create(HWND parent, const ITEMIDLIST* folder, const char* selectName)
{
    m_settings.Load();
    if (folder && m_folder.BindToAbs(folder)) {
        m_current.CopyAll(folder);
    } else if (!m_settings.startFolder.IsEmpty() && m_folder.BindToAbs(m_settings.startFolder)) {
        m_current.CopyAll(m_settings.startFolder);
    } else {
        m_folder.BindToDesktop();
        m_current.Make();
    }
    m_settings.startFolder.Free();
    {
        RegKey root(GetAppRootKey(), RegKey::OpRead);
        if (root.IsOpen())
            m_history.Load(root, m_index + 1);
    }
    if (selectName)
        lstrcpynA(m_pendingSelect, selectName, sizeof(m_pendingSelect));

    if (!CreateChildFrame(parent, kFirstPaneId + m_index, kPanelClass))
        return false;
    m_title.m_gripper = false;
    m_title.CreateBar(this, ID_TITLEBAR, "Title bar", fw::DockTop);
    if (m_toolbar.CreateCustom(this, ID_TOOLBAR, "Panel Toolbar", fw::DockTop)) {
        const WORD defaults[] = {ID_FOLDER_PARENT, ID_FOLDER_PREVIOUS, ID_FOLDER_NEXT,
                                 ID_FOLDER_HISTORY};
        char valueName[32];
        snprintf(valueName, sizeof(valueName), "Pane%dToolBar", m_index + 1);
        m_toolbar.Init(valueName, defaults, 4);
        static const CustomToolBar::BarItem bars[] = {
            {ID_TITLEBAR, ID_PANEL_TITLEBAR, "&Title bar"},
            {ID_TOOLBAR, ID_PANEL_TOOLBAR, "T&oolbar"},
            {ID_DRIVEBAR, ID_PANEL_DRIVEBAR, "Dri&ve bar"},
            {ID_STATUSBAR, ID_PANEL_STATUSBAR, "&Status bar"}};
        m_toolbar.SetMenu(ID_PANEL_CUSTOMIZE_TOOLBAR, bars, 4);
        m_toolbar.menuStyle = [] {
            const SettingsOpts& s = GetMainApp().m_settings;
            return VmMenuOwnerDraw::StyleFromSetting(s.menuStyle, s.IsOn(SO_STRONG_MENU_EDGES));
        };
        m_toolbar.SetShell(ShellVersion(), ViewModeMenu(ViewModeMenu::SystemKind()).ViewsButton());
    }
    m_status.Create(this, ID_STATUSBAR);
    m_driveBar.Create(this, ID_DRIVEBAR, "Panel drive bar", dynamic_cast<DriveBarHost*>(m_host),
                      DriveBar::PanelBar);
    char name[32];
    snprintf(name, sizeof(name), "Pane%dControlBars", m_index + 1);
    LoadBarState(name);
    ShowFolder(true, false);
    return true;
}

void ViewFrame::GetDisplayText(char* buf, int size) const
{
    buf[0] = 0;
    bool full = GetMainApp().m_settings.pane.IsOn(0x4);
    GetShellNameOf(m_current, buf, size, full ? 1 : 0);
    if (!buf[0] && full)
        GetShellNameOf(m_current, buf, size, 0);
    if (!buf[0] && m_path[0]) {
        lstrcpynA(buf, full ? m_path : FindNameExt(m_path), size);
    }
    if (buf[0])
        SimplifyShellName(buf, size);
    // "Desktop\" reads as a path to nothing; drive roots keep theirs.
    if (strlen(buf) > 3)
        RemoveBackSlash(buf);
}

void ViewFrame::UpdateTitle()
{
    char text[MAX_PATH];
    GetDisplayText(text, sizeof(text));
    char title[MAX_PATH + 32];
    snprintf(title, sizeof(title), "%s%s", text, m_maximized ? "  [Maximized]" : "");
    m_title.SetText(title);
}

void ViewFrame::SetIndex(int index)
{
    m_index = index;
    m_settings.SetIndex(index);
    if (m_hWnd)
        SetWindowLongPtrA(m_hWnd, GWLP_ID, kFirstPaneId + index);
}

void ViewFrame::SetMaximized(bool maximized)
{
    m_maximized = maximized;
    UpdateTitle();
}

void ViewFrame::SetActiveLook(bool active)
{
    m_title.SetActiveLook(active);
}

void ViewFrame::ApplyPendingSelection()
{
    // The view may still be filling: the name waits until the list holds items.
    if (!m_pendingSelect[0] || !m_view || m_view->GetCountLV() == 0)
        return;
    m_view->HighlightItem(m_pendingSelect);
    m_view->Redraw();
    m_pendingSelect[0] = 0;
}

void ViewFrame::Activate(bool focus)
{
    ApplyPendingSelection();
    SetActiveLook(true);
    if (m_view) {
        m_view->Activate(focus ? 1 : 0);
        if (focus && m_view->GetListView())
            SetFocus(m_view->GetListView());
    }
}

void ViewFrame::ApplyListStyles()
{
    if (!m_view)
        return;
    CMainApp& app = GetMainApp();
    const PaneOpts& pane = app.m_settings.pane;
    if (pane.IsOn(0x1))
        m_view->ModifyLVStyle(0, LVS_SHOWSELALWAYS);
    else
        m_view->ModifyLVStyle(LVS_SHOWSELALWAYS, 0);
    // Each option bit stands for one of the list's extended styles.
    static const struct {
        DWORD bit, style;
    } kStyles[] = {
        {0x10000, LVS_EX_ONECLICKACTIVATE}, {0x20000, LVS_EX_TRACKSELECT},
        {0x40000, LVS_EX_FULLROWSELECT},    {0x80000, LVS_EX_GRIDLINES},
        {0x100000, LVS_EX_UNDERLINEHOT},    {0x200000, LVS_EX_UNDERLINECOLD},
        {0x800000, LVS_EX_INFOTIP},
    };
    DWORD add = 0, remove = 0;
    for (const auto& s : kStyles) {
        if (!(pane.supportedMask & s.bit))
            continue;   // an option the system's list does not offer is left alone
        if (pane.value & s.bit)
            add |= s.style;
        else
            remove |= s.style;
    }
    m_view->ModifyLVStyleEx(remove, add);
    HWND list = m_view->GetListView();
    if (pane.IsOn(0x800000) && list) {
        HWND tips = ListView_GetToolTips(list);
        if (tips)
            SendMessageA(tips, TTM_SETDELAYTIME, TTDT_INITIAL, 200);
    }
    CMainFrame* frame = app.MainFrame();
    if (!list || !frame)
        return;
    const FrameOpts& opts = frame->Options();
    COLORREF text = opts.textColor == FrameOpts::kSystemColor ? GetSysColor(COLOR_WINDOWTEXT) : opts.textColor;
    COLORREF back = opts.bkgColor == FrameOpts::kSystemColor ? GetSysColor(COLOR_WINDOW) : opts.bkgColor;
    ListView_SetTextColor(list, text);
    ListView_SetTextBkColor(list, back);
    ListView_SetBkColor(list, back);
    if (m_font) {
        DeleteObject(m_font);
        m_font = NULL;
    }
    if (opts.hasFont)
        m_font = CreateFontIndirectA(&opts.font);
    SendMessageA(list, WM_SETFONT, (WPARAM)(m_font ? m_font : GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    InvalidateRect(list, NULL, TRUE);
}

void ViewFrame::ShowTitleMenu()
{
    IconMenu menu;
    if (!(HMENU)menu)
        return;
    menu.AppendItem(ID_FOLDER_PARENT, "&Up one level", NULL, m_current.IsEmpty() ? MF_GRAYED : 0);
    menu.AppendItem(ID_FOLDER_ROOT, "Up to Drive &root", NULL);
    menu.AppendItem(ID_FOLDER_DESKTOP, "Up to Desk&top", NULL, m_current.IsEmpty() ? MF_GRAYED : 0);
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    menu.AppendItem(ID_FOLDER_FAVORITES, "Fav&orites...", NULL);
    menu.AppendItem(ID_FOLDER_HISTORY, "&History...", NULL);
    menu.AppendItem(ID_FOLDER_TREE, "&Tree...", NULL);
    menu.AppendItem(ID_FOLDER_GOTO, "&Go to...", NULL);
    menu.AppendItem(ID_FOLDER_DRIVE, "&Drive...", NULL);
    menu.AppendItem(ID_FOLDER_NETWORK, "Net&work...", NULL);
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    menu.AppendItem(ID_PANEL_SET_FILTER, "Fi&lter...", NULL);
    SetMenuDefaultItem(menu, ID_FOLDER_PARENT, FALSE);
    RECT r;
    GetWindowRect(m_title.m_hWnd, &r);
    m_host->OnPanelActivated(this);
    UINT choice = menu.TrackEx(GetAncestor(m_hWnd, GA_ROOT), POINT{r.left, r.bottom});
    if (choice)
        PostMessageA(GetAncestor(m_hWnd, GA_ROOT), WM_COMMAND, choice, 0);
}

bool ViewFrame::ShowFolder(bool extendHistory, bool focus, bool revisit, const SHELLVIEWID* carriedViewId)
{
    // The root policy keeps the panel inside its root folder (at start, and when a folder
    // went away under it).
    RootKind kind;
    if (GetPanelRoot(m_index, kind) && !IsFolderInRoot(m_index, m_current)) {
        char root[MAX_PATH];
        GetRootPath(kind, root);
        PIDL rootList;
        rootList.Attach(GetPidlOf(root));
        if (rootList && m_folder.BindToAbs(rootList))
            m_current.CopyAll(rootList);
    }

    std::unique_ptr<iShellView> old = std::move(m_view);
    FOLDERSETTINGS fs = m_settings.folderSettings;
    RECT rect = {0, 0, 100, 100};
    if (m_client && IsWindow(m_client)) {
        GetWindowRect(m_client, &rect);
        MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    }
    // Views such as thumbnails carry over through the view identifier of IShellView2.
    SHELLVIEWID viewId = {};
    bool hasViewId = false;
    if (old) {
        old->GetCurrentInfo(&fs);
        IShellView2* old2 = NULL;
        if (old->GetISV2(&old2) && old2) {
            hasViewId = SUCCEEDED(old2->GetView(&viewId, SV2GV_CURRENTVIEW));
            old2->Release();
        }
        old->SaveViewState();
        m_viewState.Close();
        if (old->GetWnd())
            SetWindowLongPtrA(old->GetWnd(), GWLP_ID, 0);
        old->Deactivate();
    } else if (carriedViewId) {
        viewId = *carriedViewId;
        hasViewId = true;
    }
    // The old view's buttons and commands leave with it.
    m_toolbar.SetViewWindow(NULL);
    m_toolbar.MergeViewButtons(NULL, 0, true);
    m_host->SetBrowserPanel(this);
    for (int attempt = 0; attempt < 3; attempt++) {
        IShellView* raw = nullptr;
        if (m_folder.CreateShellViewObject(m_hWnd, &raw) && raw) {
            m_view.reset(new iShellView(raw));
            raw->Release();
            IShellView2* view2 = NULL;
            m_view->GetISV2(&view2);
            // The layout lives in the panel's stream for file-system folders, else the folder's.
            char path[MAX_PATH] = "";
            GetPathOf(m_current, path, sizeof(path));
            bool perPanel = PanelViewState::UsesPanelStream(m_folder.IsDosFolder(), m_current.IsEmpty(), path);
            m_viewState.Open(m_index + 1, m_current, perPanel, view2 != NULL);
            bool created;
            if (view2) {
                SV2CVW2_PARAMS params = {};
                params.cbSize = sizeof(params);
                params.psvPrev = old ? old->Get() : NULL;
                params.pfs = &fs;
                params.psbOwner = m_host->GetShellBrowser();
                params.prcView = &rect;
                params.pvid = hasViewId ? &viewId : NULL;
                created = m_view->CreateWnd2(view2, &params);
                view2->Release();
            } else {
                created = m_view->CreateWnd(old ? old->Get() : NULL, &fs, m_host->GetShellBrowser(), &rect);
            }
            if (created && m_view->GetWnd()) {
                bool plain = m_folder.IsDosFolder();
                m_view->FinishInit(plain ? 1 : 0);
                SetWindowLongPtrA(m_view->GetWnd(), GWLP_ID, kFirstPaneId);
                m_icons.Start(m_folder.IsDosFolder());
                InstallViewCallbacks();
                m_client = m_view->GetWnd();
                ApplyListStyles();
                m_path[0] = 0;
                GetPathOf(m_current, m_path, sizeof(m_path));
                m_drive = -1;
                if (m_path[0] && m_path[1] == ':') {
                    char letter = (char)(DWORD_PTR)CharUpperA((char*)(DWORD_PTR)(BYTE)m_path[0]);
                    if (letter >= 'A' && letter <= 'Z')
                        m_drive = letter - 'A';
                }
                m_settings.folderSettings = fs;
                if (!revisit)
                    RecordVisit(extendHistory);
                break;
            }
            m_view.reset();
        }
        // The folder gives no view: fall back to the Desktop.
        m_current.Make();
        m_folder.BindToDesktop();
        extendHistory = false;
        revisit = false;
    }
    if (old) {
        if (!m_view || old->GetWnd() != m_view->GetWnd())
            old->DestroyWnd();
        old.reset();
    }
    RecalcLayout();
    UpdateTitle();
    ApplyPendingSelection();
    if (focus) {
        Activate(true);
        DWORD attr = m_path[0] ? GetFileAttributesA(m_path) : INVALID_FILE_ATTRIBUTES;
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY))
            SetCurrentDirectoryA(m_path);
    } else {
        // A view that is not activated stays hidden.
        if (m_view) {
            m_view->Activate(0);
            ShowWindow(m_view->GetWnd(), SW_SHOWNA);
        }
        if (m_host->IsPanelActive(this))
            SetActiveLook(true);
    }
    if (m_view)
        m_view->EnsureSelVisible(0, 1);
    m_itemsInserted = false;
    RequestSelectionDisplay();
    if (!revisit)
        m_host->OnPanelFolderChanged(this);
    return m_view != nullptr;
}

void ViewFrame::InstallViewCallbacks()
{
    // The view's own windows report the messages the panel watches. The last entry of the view
    // window's table is the company message, known only at run time.
    MSG_CALLBACK_ITEM viewItems[] = {{WM_WINDOWPOSCHANGING, MsgCallbackBefore},
                                     {WM_WINDOWPOSCHANGED, MsgCallbackAfter},
                                     {WM_ERASEBKGND, MsgCallbackBefore},
                                     {WM_CONTEXTMENU, MsgCallbackBefore},
                                     {WM_CREATE, MsgCallbackAfter},
                                     {WM_INITMENUPOPUP, MsgCallbackAfter},
                                     {WM_MENUSELECT, MsgCallbackAfter},
                                     {0, MsgCallbackBefore},
                                     {0xFFFFFFFF, MsgCallbackAfter},
                                     {0, 0}};
    const int viewCount = sizeof(viewItems) / sizeof(viewItems[0]);
    viewItems[viewCount - 2].message = GetMainApp().m_companyMsg;
    if (!viewItems[viewCount - 2].message)
        viewItems[viewCount - 2].flags = 0;   // no company message: the table ends before it
    MSG_CALLBACK_ITEM listItems[] = {{LVM_SETBKCOLOR, MsgCallbackBefore},
                                     {LVM_SETTEXTBKCOLOR, MsgCallbackBefore},
                                     {LVM_SETTEXTCOLOR, MsgCallbackBefore},
                                     {WM_CHILDACTIVATE, MsgCallbackAfter},
                                     {WM_SETFOCUS, MsgCallbackBefore | MsgCallbackAfter},
                                     {WM_SETFONT, MsgCallbackBefore},
                                     {WM_CREATE, MsgCallbackAfter},
                                     {LVM_DELETEALLITEMS, MsgCallbackAfter},
                                     {LVM_SORTITEMS, MsgCallbackBefore},
                                     {0, 0}};
    SVWnd& view = m_view->GetSVWnd();
    view.SetMsgCallback(m_hWnd, ViewMessage(), viewItems, viewCount, kViewCookie);
    // The list's notifications reach the view window; the panel reads them on their way.
    view.SetNotifyCallback(&ViewFrame::ViewNotify, reinterpret_cast<LPARAM>(this));
    m_view->SetLVMsgCallback(m_hWnd, listItems, ViewMessage(), kListCookie);
    m_toolbar.SetViewWindow(m_view->GetWnd());
}

bool ViewFrame::BrowseObject(const ITEMIDLIST* list, UINT flags)
{
    VmWaitCursor wait;
    // Every navigation of the panel comes through here: the target is worked out first and
    // checked against the root policy before the panel leaves its folder.
    PIDL target;
    bool extend = true;
    if (flags & SBSP_PARENT) {
        if (m_current.IsEmpty())
            return false;   // the Desktop has no parent
        target.CopyAll(m_current);
        target.RemoveLast();
        if (target.IsIE(m_hWnd))
            target.RemoveLast();
        extend = false;
    } else if (flags & SBSP_RELATIVE) {
        target.CopyAll(m_current);
        if (list)
            target.AppendOne(list);
    } else if (list) {
        target.CopyAll(list);
        // Going up to an ancestor does not extend the history.
        extend = m_current.CompareAbs(target) != 2;
    } else {
        target.Make();
    }
    if (!target)
        return false;
    if (!IsFolderInRoot(m_index, target)) {
        ShowRestrictedMessage();
        return false;
    }
    if (m_folder.BindToAbs(target)) {
        m_current.CopyAll(target);
    } else {
        RootKind kind;
        if (GetPanelRoot(m_index, kind)) {
            // Confined: the Desktop is no way out; the panel stays where it was.
            m_folder.BindToAbs(m_current);
            return false;
        }
        m_current.Make();
        m_folder.BindToDesktop();
        extend = true;
    }
    return ShowFolder(extend, true);
}

void ViewFrame::RecordVisit(bool extend)
{
    char name[MAX_PATH];
    GetDisplayText(name, sizeof(name));
    if (!name[0])
        return;   // a nameless folder is never recorded
    int maxLength = (int)GetMainApp().m_settings.mrvfHistSize;
    m_history.Record(m_current, extend, maxLength);
    // After going up, the folder just left is selected in the new view.
    if (const ITEMIDLIST* below = m_history.NextBelow(m_current)) {
        PIDL first;
        first.CopyOne(below);
        char item[MAX_PATH];
        if (m_folder.GetDisplayNameOf(first, SHGDN_INFOLDER, item, sizeof(item)))
            lstrcpynA(m_pendingSelect, item, sizeof(m_pendingSelect));
    }
}

bool ViewFrame::BrowseHistory(const ITEMIDLIST* folder)
{
    if (!folder)
        return false;
    PIDL target(folder);
    return BrowseObject(target, SBSP_ABSOLUTE);
}

void ViewFrame::OpenSelection()
{
    if (!m_view)
        return;
    ID_List selection;
    if (!GetSelection(selection))
        return;
    VmWaitCursor wait;
    int count = selection.GetCount();
    const ITEMIDLIST* first = selection.GetFirstPidl();
    if (!first) {
        m_view->InvokeCtxMenuCmd(m_hWnd, NULL, SVGIO_SELECTION);
        return;
    }
    if (count > 1) {
        char question[128];
        snprintf(question, sizeof(question), "Are you sure you want to open these %d files?", count);
        if (MessageBoxA(GetAncestor(m_hWnd, GA_ROOT), question, GetProductInfo().name,
                        MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
    }
    DWORD attr = m_folder.GetAttributesOf(first, 0xA0000000 | SFGAO_LINK);
    if (attr & 0xA0000000) {
        PIDL item(first);
        BrowseObject(item, SBSP_RELATIVE);
        return;
    }
    if (attr & SFGAO_LINK) {
        // A shortcut to a folder opens the folder.
        IShellLinkA* link = nullptr;
        if (m_folder.GetItemObj(m_hWnd, first, IID_IShellLinkA, (void**)&link) && link) {
            ITEMIDLIST* target = nullptr;
            bool folder = SUCCEEDED(link->Resolve(m_hWnd, SLR_NO_UI)) &&
                          SUCCEEDED(link->GetIDList(&target)) && target &&
                          (::GetAttributesOf(target) & SFGAO_FOLDER);
            link->Release();
            if (folder) {
                PIDL owned;
                owned.Attach(target);
                BrowseObject(owned, SBSP_ABSOLUTE);
                return;
            }
            if (target)
                FreePIDL(target);
        }
    }
    for (const ITEMIDLIST* item = first; item; item = selection.GetNextPidl()) {
        PIDL full(m_current.GetLpidl());
        full.AppendAll(item);
        RunPidl(GetAncestor(m_hWnd, GA_ROOT), full);
    }
}

void ViewFrame::ShowHistoryMenu(const POINT* at)
{
    enum { kFirst = 39100, kClear = 39099 };
    IconMenu menu;   // makes its popup menu itself
    menu.SetOwnsIcons(true);
    if (!(HMENU)menu)
        return;
    // Nameless entries leave the history while the menu is built.
    for (int i = 0; i < m_history.Count();) {
        char name[MAX_PATH] = "";
        const ITEMIDLIST* folder = m_history.At(i);
        GetShellNameOf(folder, name, sizeof(name), GetMainApp().m_settings.pane.IsOn(0x4) ? 1 : 0);
        if (!name[0]) {
            m_history.Remove(i);
            continue;
        }
        HICON icon = GetIconOf(folder, 0, 0, 0);
        menu.AppendItem(kFirst + i, name, icon, i == m_history.Current() ? MFS_DEFAULT : 0);
        i++;
    }
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    menu.AppendItem(kClear, "&Clear History...", NULL, m_history.Count() == 1 ? MF_GRAYED : 0);
    if (m_history.Current() >= 0)
        SetMenuDefaultItem(menu, kFirst + m_history.Current(), FALSE);
    menu.InsertBreaks(true);
    POINT pt;
    if (at) {
        pt = *at;
    } else {
        RECT r;
        GetWindowRect(m_title.m_hWnd, &r);
        pt.x = r.left;
        pt.y = r.bottom;
    }
    UINT choice = menu.TrackEx(GetAncestor(m_hWnd, GA_ROOT), pt);
    if (choice == kClear) {
        if (MessageBoxA(GetAncestor(m_hWnd, GA_ROOT),
                        "Are you sure you want to clear the Most Recently Visited Folders (History) "
                        "list for this panel?",
                        GetProductInfo().name, MB_YESNO | MB_ICONQUESTION) == IDYES)
            m_history.Clear();
    } else if (choice >= kFirst && choice < kFirst + 100) {
        BrowseHistory(m_history.MoveTo((int)choice - kFirst));
    }
}

bool ViewFrame::OnPanelCommand(UINT id, fw::CmdUI* ui, bool run)
{
    bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    bool atDesktop = m_current.IsEmpty();
    switch (id) {
    case ID_FOLDER_SELECTED:
    case ID_FOLDER_SELECTED_INTERNAL:
        if (run && !ui && !IsPolicyOn("DisableMenuFolderSelected", true))
            OpenSelection();
        return true;
    case ID_FOLDER_PARENT:
        if (ui) {
            ui->Enable(!atDesktop);
        } else if (run && !IsPolicyOn("DisableMenuFolderParent", true)) {
            if (shift)
                return OnPanelCommand(ID_FOLDER_DESKTOP, nullptr, true);
            if (GetKeyState(VK_MENU) < 0)
                return OnPanelCommand(ID_FOLDER_ROOT, nullptr, true);
            BrowseObject(NULL, SBSP_PARENT);
        }
        return true;
    case ID_FOLDER_ROOT:
        if (ui) {
            ui->Enable(true);
        } else if (run && !IsPolicyOn("DisableMenuFolderRoot", true)) {
            PIDL root(m_current.GetLpidl());
            root.MakeRoot();
            BrowseObject(root, SBSP_ABSOLUTE);
        }
        return true;
    case ID_FOLDER_DESKTOP:
        if (ui) {
            ui->Enable(!atDesktop);
        } else if (run && !IsPolicyOn("DisableMenuFolderDesktop", true)) {
            PIDL desktop;
            desktop.Make();
            BrowseObject(desktop, SBSP_ABSOLUTE);
        }
        return true;
    case ID_FOLDER_PREVIOUS:
        if (ui)
            ui->Enable(m_history.CanPrevious());
        else if (run && !IsPolicyOn("DisableMenuFolderPrevious", true))
            BrowseHistory(m_history.MovePrevious(shift || ctrl));
        return true;
    case ID_FOLDER_NEXT:
        if (ui)
            ui->Enable(m_history.CanNext());
        else if (run && !IsPolicyOn("DisableMenuFolderNext", true))
            BrowseHistory(m_history.MoveNext(shift || ctrl));
        return true;
    case ID_FOLDER_HISTORY:
        if (run && !ui && !IsPolicyOn("DisableMenuFolderHistory", true))
            ShowHistoryMenu(nullptr);
        return true;
    case ID_PANEL_CHANGE_VIEW:
        if (ui)
            ui->Enable(m_view != nullptr);
        else if (run)
            ShowViewMenu();
        return true;
    case ID_PANEL_TITLEBAR:
    case ID_PANEL_TOOLBAR:
    case ID_PANEL_STATUSBAR: {
        fw::ControlBar* bar = id == ID_PANEL_TITLEBAR ? static_cast<fw::ControlBar*>(&m_title)
                              : id == ID_PANEL_TOOLBAR ? static_cast<fw::ControlBar*>(&m_toolbar)
                                                       : static_cast<fw::ControlBar*>(&m_status);
        const char* policy = id == ID_PANEL_TITLEBAR ? "DisableMenuPanelTitlebar"
                             : id == ID_PANEL_TOOLBAR ? "DisableMenuPanelToolbar"
                                                      : "DisableMenuPanelStatusbar";
        if (ui)
            ui->SetCheck(bar->IsVisible());
        else if (run && !IsPolicyOn(policy, true))
            ShowControlBar(bar, !bar->IsVisible());
        return true;
    }
    case ID_PANEL_DRIVEBAR:
        if (ui)
            ui->SetCheck(m_driveBar.IsVisible());
        else if (run && !IsPolicyOn("DisableMenuViewDrivebarShow", true))
            ShowControlBar(&m_driveBar, !m_driveBar.IsVisible());
        return true;
    case ID_PANEL_DRIVEBAR_RESET:
        if (run && !ui && !IsPolicyOn("DisableMenuViewDrivebarReset", true))
            m_driveBar.Rebuild();
        return true;
    }
    return false;
}

// The in-folder parsing name of the view's item at index ("" when it has none).
static std::string ItemParsingName(IFolderView* fv, iShellFolder& folder, int index)
{
    ITEMIDLIST* item = nullptr;
    char name[MAX_PATH] = "";
    if (SUCCEEDED(fv->Item(index, &item)) && item) {
        if (!folder.GetDisplayNameOf(item, SHGDN_INFOLDER | SHGDN_FORPARSING, name, sizeof(name)))
            name[0] = 0;
        CoTaskMemFree(item);
    }
    return name;
}

bool ViewFrame::CaptureSelection(NamedSelection& out)
{
    out.selected.clear();
    out.focused.clear();
    HWND list = m_view ? m_view->GetListView() : NULL;
    IFolderView* fv = nullptr;
    if (!list || !m_folder.IsReady() || !m_view->Get() ||
        FAILED(m_view->Get()->QueryInterface(IID_IFolderView, (void**)&fv)) || !fv)
        return false;
    for (int i = -1; (i = ListView_GetNextItem(list, i, LVNI_SELECTED)) >= 0;) {
        std::string name = ItemParsingName(fv, m_folder, i);
        if (!name.empty())
            out.selected.insert(name);
    }
    int focusedAt = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    if (focusedAt >= 0)
        out.focused = ItemParsingName(fv, m_folder, focusedAt);
    fv->Release();
    return true;
}

void ViewFrame::RestoreSelection(const NamedSelection& names)
{
    HWND list = m_view ? m_view->GetListView() : NULL;
    if (!list || (names.selected.empty() && names.focused.empty()))
        return;
    IFolderView* fv = nullptr;
    if (!m_folder.IsReady() || !m_view->Get() ||
        FAILED(m_view->Get()->QueryInterface(IID_IFolderView, (void**)&fv)) || !fv)
        return;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    int count = ListView_GetItemCount(list);
    // The walk ends once every name has been found again.
    size_t left = names.selected.size() +
                  (!names.focused.empty() && !names.selected.count(names.focused) ? 1 : 0);
    for (int i = 0; i < count && left > 0; ++i) {
        std::string name = ItemParsingName(fv, m_folder, i);
        if (name.empty())
            continue;
        UINT state = (names.selected.count(name) ? LVIS_SELECTED : 0) | (name == names.focused ? LVIS_FOCUSED : 0);
        if (state) {
            ListView_SetItemState(list, i, state, state);
            --left;
        }
        if (name == names.focused) {
            ListView_SetSelectionMark(list, i);
            ListView_EnsureVisible(list, i, FALSE);
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, NULL, TRUE);
    fv->Release();
}

void ViewFrame::Refresh()
{
    if (!m_view)
        return;
    // The view refills its list and forgets the selection: the objects selected and focused
    // before, found by their parsing names in one pass over the new list, get it back.
    NamedSelection names;
    if (!CaptureSelection(names)) {
        m_view->Refresh();
        return;
    }
    m_view->Refresh();
    RestoreSelection(names);
}

struct ViewFrame::Aside {
    NamedSelection names;
    SHELLVIEWID viewId = {};
    bool hasViewId = false;
    RECT place = {};           // where the view was, in the panel's client coordinates
    HBITMAP picture = NULL;    // its last look
};

void ViewFrame::AsideDeleter::operator()(Aside* aside) const
{
    if (aside && aside->picture)
        DeleteObject(aside->picture);
    delete aside;
}

bool ViewFrame::PutViewAside()
{
    if (!m_view || m_aside || !m_view->GetWnd() || !IsWindow(m_view->GetWnd()))
        return false;
    std::unique_ptr<Aside, AsideDeleter> aside(new Aside);
    CaptureSelection(aside->names);
    HWND wnd = m_view->GetWnd();
    GetWindowRect(wnd, &aside->place);
    MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT*>(&aside->place), 2);
    int cx = aside->place.right - aside->place.left, cy = aside->place.bottom - aside->place.top;
    if (cx > 0 && cy > 0) {
        HDC screen = GetDC(wnd);
        HDC mem = CreateCompatibleDC(screen);
        aside->picture = CreateCompatibleBitmap(screen, cx, cy);
        if (mem && aside->picture) {
            HGDIOBJ old = SelectObject(mem, aside->picture);
            RECT all = {0, 0, cx, cy};
            FillRect(mem, &all, GetSysColorBrush(COLOR_WINDOW));
            // The list and its header draw themselves into the picture, each at its place
            // (parts covered by the dialog included).
            HWND list = m_view->GetListView();
            HWND parts[2] = {list, list ? ListView_GetHeader(list) : NULL};
            for (HWND part : parts) {
                if (!part || !IsWindowVisible(part))
                    continue;
                RECT at;
                GetWindowRect(part, &at);
                MapWindowPoints(NULL, wnd, reinterpret_cast<POINT*>(&at), 2);
                POINT org;
                SetViewportOrgEx(mem, at.left, at.top, &org);
                SendMessageA(part, WM_PRINT, reinterpret_cast<WPARAM>(mem),
                             PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
                SetViewportOrgEx(mem, org.x, org.y, NULL);
            }
            SelectObject(mem, old);
        }
        if (mem)
            DeleteDC(mem);
        ReleaseDC(wnd, screen);
    }
    FOLDERSETTINGS fs;
    if (m_view->GetCurrentInfo(&fs))
        m_settings.folderSettings = fs;
    IShellView2* view2 = NULL;
    if (m_view->GetISV2(&view2) && view2) {
        aside->hasViewId = SUCCEEDED(view2->GetView(&aside->viewId, SV2GV_CURRENTVIEW));
        view2->Release();
    }
    m_view->SaveViewState();
    m_viewState.Close();
    SetWindowLongPtrA(wnd, GWLP_ID, 0);
    m_toolbar.SetViewWindow(NULL);
    m_toolbar.MergeViewButtons(NULL, 0, true);
    // The picture shows through the panel's background while the view is away.
    m_aside = std::move(aside);
    m_view->Deactivate();
    m_view->DestroyWnd();
    m_view.reset();
    m_client = NULL;
    InvalidateRect(m_hWnd, &m_aside->place, TRUE);
    return true;
}

void ViewFrame::BringViewBack(bool focus)
{
    if (!m_aside)
        return;
    std::unique_ptr<Aside, AsideDeleter> aside = std::move(m_aside);
    // The folder stays bound; one that gives no view any more falls back as navigation does.
    ShowFolder(false, focus, true, aside->hasViewId ? &aside->viewId : nullptr);
    RestoreSelection(aside->names);
    RequestSelectionDisplay();
}

void ViewFrame::SaveState()
{
    char name[32];
    snprintf(name, sizeof(name), "Pane%dControlBars", m_index + 1);
    SaveBarState(name);
    if (m_view) {
        m_view->SaveViewState();
        m_viewState.Close();
        FOLDERSETTINGS fs;
        if (m_view->GetCurrentInfo(&fs))
            m_settings.folderSettings = fs;
    }
    m_settings.startFolder.CopyAll(m_current);
    m_settings.Store();
    if (GetMainApp().m_settings.settings2.IsOn(0x4))
        m_history.Clear();
    RegKey root(GetAppRootKey(), RegKey::OpUpdate);
    if (root.IsOpen())
        m_history.Store(root, m_index + 1);
}

bool ViewFrame::GetSelection(ID_List& selection) const
{
    IShellView* view = GetIShellView();
    if (!view)
        return false;
    IDataObject* data = nullptr;
    if (FAILED(view->GetItemObject(SVGIO_SELECTION, IID_IDataObject, (void**)&data)) || !data)
        return false;
    bool ok = selection.Init(data, NULL) && selection.GetCount() > 0;
    data->Release();
    return ok;
}

void ViewFrame::SetStatusText(const char* text)
{
    m_status.SetPaneText(0, text);
}

HRESULT ViewFrame::IncludeObject(const ITEMIDLIST* item)
{
    PanelSettings& s = m_settings;
    const ShellObjFilter* filter = nullptr;
    if (s.quickText[0]) {
        // The quick filter wins; its masks are made from the text when first needed.
        if (s.quickFilter.IsEmpty())
            s.quickFilter.SetFilters(s.quickText, NULL);
        filter = &s.quickFilter;
    } else if (s.filterOn && !s.filter.IsEmpty()) {
        filter = &s.filter;
    }
    if (!filter || !item)
        return S_OK;
    DWORD kinds = 0;
    if (!filter->IsEmptyFlags())
        kinds = ShellObjFilter::TypeWordOf(m_folder.GetAttributesOf(item, 0x70090000));
    char name[MAX_PATH] = "";
    if (!filter->IsEmptyFilters())
        m_folder.GetDisplayNameOf(item, SHGDN_INFOLDER | SHGDN_FORPARSING, name, sizeof(name));
    return filter->Match(name, kinds) ? S_OK : S_FALSE;
}

void ViewFrame::SetFilterOn(bool on)
{
    m_settings.filterOn = on;
    Refresh();
}

void ViewFrame::SetQuickFilter(const char* text)
{
    m_settings.SetQuickText(text);
    Refresh();
}

bool ViewFrame::OnCmdMsg(UINT id, int code, fw::CmdUI* ui)
{
    if (ui)
        return OnPanelCommand(id, ui, false);
    if (OnPanelCommand(id, nullptr, code != fw::kQueryHandler))
        return true;
    // Everything else is the main frame's to decide.
    if (code != fw::kQueryHandler)
        PostMessageA(GetAncestor(m_hWnd, GA_ROOT), WM_COMMAND, id, 0);
    return code != fw::kQueryHandler;
}

LRESULT ViewFrame::OnViewMessage(WPARAM cookie, MSG_CALLBACK_DATA* data)
{
    if (cookie == (WPARAM)kSelectFocusedCookie) {
        if (m_view)
            m_view->SelectFocusedItem();
        return 0;
    }
    if (!data || !m_view)
        return 0;
    if (cookie == (WPARAM)kViewCookie)
        return OnViewWindowMessage(*data);
    if (cookie == (WPARAM)kListCookie)
        return OnListMessage(*data);
    return 0;
}

void ViewFrame::InsetViewPos(WINDOWPOS* pos) const
{
    // Only a placement that moves and sizes the view is the layout's; anything else keeps
    // what the layout gave.
    if (!pos || (pos->flags & (SWP_NOMOVE | SWP_NOSIZE)))
        return;
    UINT sides = 0;
    for (const fw::ControlBar* bar : Bars())
        if (bar->IsVisible())
            sides |= 1u << bar->m_side;
    int left = (sides & (1u << fw::DockLeft)) ? 0 : kViewMargin;
    int top = (sides & (1u << fw::DockTop)) ? 0 : kViewMargin;
    int right = (sides & (1u << fw::DockRight)) ? 0 : kViewMargin;
    int bottom = (sides & (1u << fw::DockBottom)) ? 0 : kViewMargin;
    if (pos->cx <= left + right || pos->cy <= top + bottom)
        return;   // too small to give anything away
    pos->x += left;
    pos->y += top;
    pos->cx -= left + right;
    pos->cy -= top + bottom;
}

LRESULT ViewFrame::OnViewWindowMessage(MSG_CALLBACK_DATA& data)
{
    switch (data.message) {
    case WM_CONTEXTMENU:
        if (data.phase == 0 && IsPolicyOn("DisableShellCxtMenu", false))
            data.handled = 1;   // no shell context menu
        return 0;
    case WM_WINDOWPOSCHANGING:
        if (data.phase == 0)
            InsetViewPos(reinterpret_cast<WINDOWPOS*>(data.lParam));
        return 0;
    case WM_WINDOWPOSCHANGED: {
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(data.lParam);
        if (data.phase == 1 && pos && (pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
            RedrawWindow(m_view->GetWnd(), NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    }
    case WM_ERASEBKGND: {
        CMainFrame* frame = GetMainApp().MainFrame();
        if (data.phase != 0 || !frame || frame->Options().bkgColor == FrameOpts::kSystemColor)
            return 0;
        RECT rc;
        GetClientRect(m_view->GetWnd(), &rc);
        HBRUSH brush = CreateSolidBrush(frame->Options().bkgColor);
        FillRect(reinterpret_cast<HDC>(data.wParam), &rc, brush);
        DeleteObject(brush);
        data.handled = 1;
        return 1;
    }
    case WM_INITMENUPOPUP:
    case WM_MENUSELECT:
        if (data.phase == 1)
            m_host->OnViewMenuMessage(data.message, data.wParam, data.lParam);
        return 0;
    }
    return 0;
}

LRESULT ViewFrame::OnListMessage(MSG_CALLBACK_DATA& data)
{
    switch (data.message) {
    case LVM_SETBKCOLOR:
    case LVM_SETTEXTBKCOLOR:
    case LVM_SETTEXTCOLOR: {
        // Whoever asks, the list keeps the custom colours.
        CMainFrame* frame = GetMainApp().MainFrame();
        if (!frame)
            return 0;
        DWORD custom = data.message == LVM_SETTEXTCOLOR ? frame->Options().textColor : frame->Options().bkgColor;
        if (custom != FrameOpts::kSystemColor && (DWORD)data.lParam != custom) {
            data.lParam = (LPARAM)custom;
            data.changed = 1;
        }
        return 0;
    }
    case WM_SETFOCUS:
        if (data.phase == 1) {
            m_host->OnPanelActivated(this);
            ApplyPendingSelection();
            if (m_itemsInserted) {
                m_itemsInserted = false;
                m_view->EnsureSelVisible(1, 1);
            }
        }
        return 0;
    case WM_CHILDACTIVATE:
        ApplyPendingSelection();
        return 0;
    case LVM_DELETEALLITEMS:
        // The list is filled again: its objects' icons are asked for afresh.
        m_icons.Clear();
        RequestSelectionDisplay();
        return 0;
    }
    return 0;
}

BOOL ViewFrame::ViewNotify(LPARAM cookie, NMHDR* header, LRESULT* result)
{
    ViewFrame* self = reinterpret_cast<ViewFrame*>(cookie);
    return self && header && result ? self->OnViewNotify(header, result) : FALSE;
}

BOOL ViewFrame::OnViewNotify(NMHDR* header, LRESULT* result)
{
    // Only the list's notifications; the view handles everything it hears after us unless we
    // answer in its place.
    if (!m_view || header->hwndFrom != m_view->GetListView())
        return FALSE;
    if (m_icons.OnGetDispInfo(header, m_view->GetSVWnd(), result))
        return TRUE;
    switch (header->code) {
    case LVN_ITEMCHANGING:
    case LVN_ITEMCHANGED:
        if (m_selectionBatch) {
            *result = 0;   // the change is allowed, as the view allows it
            return TRUE;
        }
        return FALSE;
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW:
        if (!GetMainApp().m_settings.pane.IsOn(0x10)) {
            *result = TRUE;   // quick rename is not allowed
            return TRUE;
        }
        return FALSE;
    case LVN_ENDLABELEDITA:
    case LVN_ENDLABELEDITW:
        m_host->OnPanelLabelEdited(this);
        return FALSE;
    case LVN_ITEMACTIVATE:
        // Older shells do not open items on a single click themselves.
        if (ShellVersion() < 0x00040047 && GetMainApp().m_settings.pane.IsOn(0x10000))
            PostMessageA(GetAncestor(m_hWnd, GA_ROOT), WM_COMMAND, ID_FOLDER_SELECTED_INTERNAL, 0);
        return FALSE;
    case LVN_INSERTITEM:
        m_itemsInserted = true;
        return FALSE;
    case NM_SETFOCUS:
    case NM_KILLFOCUS: {
        bool gained = header->code == NM_SETFOCUS;
        SetActiveLook(gained);
        m_host->OnPanelFocus(this, gained);
        return FALSE;
    }
    case NM_CLICK:
    case NM_RCLICK:
        if (m_view->GetSelCountLV() == 0)
            m_view->SetSelMarkOnFocused();
        return FALSE;
    }
    return FALSE;
}

void ViewFrame::BeginSelectionBatch()
{
    m_selectionBatch = true;
}

void ViewFrame::EndSelectionBatch(UINT oldState, UINT newState)
{
    m_selectionBatch = false;
    HWND list = m_view ? m_view->GetListView() : NULL;
    HWND view = list ? GetParent(list) : NULL;
    if (!view)
        return;
    NMLISTVIEW nm = {};
    nm.hdr.hwndFrom = list;
    nm.hdr.idFrom = (UINT_PTR)GetDlgCtrlID(list);
    nm.hdr.code = LVN_ITEMCHANGED;
    nm.iItem = -1;
    nm.uChanged = LVIF_STATE;
    nm.uOldState = oldState;
    nm.uNewState = newState;
    SendMessageW(view, WM_NOTIFY, nm.hdr.idFrom, (LPARAM)&nm);
}

void ViewFrame::RequestSelectionDisplay()
{
    if (m_selectionDisplayPending || !m_hWnd)
        return;
    m_selectionDisplayPending = PostMessageA(m_hWnd, WM_PANEL_SELECTION_DISPLAY, 0, 0) != 0;
}

void ViewFrame::UpdateSelectionDisplay()
{
    m_selectionDisplayPending = false;
    if (m_aside)
        return;   // the text stays as it was until the view is back
    char text[64] = "";
    if (m_view && m_view->GetListView()) {
        int selected = m_view->GetSelCountLV();
        if (selected > 0)
            snprintf(text, sizeof(text), "%d object(s) selected", selected);
        else
            snprintf(text, sizeof(text), "%d object(s)", m_view->GetCountLV());
    }
    if (m_status.GetPaneText(0) != text)
        SetStatusText(text);
}

HRESULT ViewFrame::GetViewStateStream(DWORD mode, IStream** out)
{
    return m_viewState.GetStream(mode, out);
}

HWND ViewFrame::GetControlWindow(UINT id) const
{
    if (id == FCW_STATUS)
        return m_status.m_status;
    if (id == FCW_TOOLBAR)
        return m_toolbar.m_toolbar;
    return NULL;
}

void ViewFrame::MergeToolbarItems(const TBBUTTON* buttons, UINT count)
{
    // "Show extra buttons in the panel toolbars" off hides the shell's buttons.
    m_toolbar.MergeViewButtons(buttons, count, GetMainApp().m_settings.pane.IsOn(0x20));
}

POINT ViewFrame::ViewMenuPoint(UINT viewsButton) const
{
    RECT r;
    HWND bar = m_toolbar.m_toolbar;
    int index = bar && m_toolbar.IsVisible() ? (int)SendMessageA(bar, TB_COMMANDTOINDEX, viewsButton, 0) : -1;
    if (index >= 0 && SendMessageA(bar, TB_GETITEMRECT, index, (LPARAM)&r)) {
        MapWindowPoints(bar, NULL, reinterpret_cast<POINT*>(&r), 2);
        return POINT{r.left, r.bottom};
    }
    if (m_title.IsVisible()) {
        GetWindowRect(m_title.m_hWnd, &r);
        return POINT{r.left, r.bottom};
    }
    GetWindowRect(m_view && m_view->GetWnd() ? m_view->GetWnd() : m_hWnd, &r);
    return POINT{r.left, r.top};
}

void ViewFrame::ShowViewMenu()
{
    if (!m_view || !m_view->GetWnd())
        return;
    ViewModeMenu modes(ViewModeMenu::SystemKind());
    HWND list = m_view->GetListView();
    DWORD style = list ? (DWORD)GetWindowLongA(list, GWL_STYLE) : 0;
    bool thumbnails = FindWindowExA(m_view->GetWnd(), NULL, "ThumbnailVwExtWnd32", NULL) != NULL;
    FOLDERSETTINGS fs = m_settings.folderSettings;
    m_view->GetCurrentInfo(&fs);
    HMENU menu = modes.Create(modes.CheckedItem(style, thumbnails, fs.ViewMode));
    if (!menu)
        return;
    POINT pt = ViewMenuPoint(modes.ViewsButton());
    m_host->OnPanelActivated(this);
    HWND owner = GetAncestor(m_hWnd, GA_ROOT);
    SetForegroundWindow(owner);
    UINT choice = (UINT)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, NULL);
    PostMessageA(owner, WM_NULL, 0, 0);
    DestroyMenu(menu);
    UINT command = modes.ShellCommand(choice);
    // The view may have gone while the menu was open.
    if (command && m_view && m_view->GetWnd())
        PostMessageA(m_view->GetWnd(), WM_COMMAND, command, 0);
}

LRESULT ViewFrame::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == ViewMessage() && msg)
        return OnViewMessage(wp, reinterpret_cast<MSG_CALLBACK_DATA*>(lp));
    switch (msg) {
    case WM_PANEL_SELECTION_DISPLAY:
        UpdateSelectionDisplay();
        return 0;
    case WM_MOUSEACTIVATE:
    case WM_PARENTNOTIFY:
        if (msg == WM_MOUSEACTIVATE || LOWORD(wp) == WM_LBUTTONDOWN || LOWORD(wp) == WM_RBUTTONDOWN)
            m_host->OnPanelActivated(this);
        break;
    case WM_SETFOCUS:
        if (m_view && m_view->GetListView())
            SetFocus(m_view->GetListView());
        return 0;
    case WM_ERASEBKGND: {
        // Only the margins around the view show; the children are clipped out.
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        HDC dc = reinterpret_cast<HDC>(wp);
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        if (m_aside && m_aside->picture) {
            HDC mem = CreateCompatibleDC(dc);
            if (mem) {
                HGDIOBJ old = SelectObject(mem, m_aside->picture);
                const RECT& at = m_aside->place;
                BitBlt(dc, at.left, at.top, at.right - at.left, at.bottom - at.top, mem, 0, 0, SRCCOPY);
                SelectObject(mem, old);
                DeleteDC(mem);
            }
        }
        return 1;
    }
    }
    return FrameWnd::WindowProc(msg, wp, lp);
}
