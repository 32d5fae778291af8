#include "app/MainFrame.h"
#include <algorithm>
#include "app/MainApp.h"
#include "app/CommandTable.h"
#include "app/MainCmdLine.h"
#include "commands/FileCommands.h"
#include "ui/Animator.h"
#include "commands/SelectCommands.h"
#include "imageview/ImageView.h"
#include "quickedit/QuickEditWnd.h"
#include "app/Policy.h"
#include "app/Resource.h"
#include "app/Splash.h"
#include "panels/SharedMenus.h"
#include "Product.h"
#include "files/FileEnum.h"
#include "ui/PrevInstance.h"
#include "ui/MenuOwnerDraw.h"
#include "ui/TrayIcon.h"
#include "registry/RegKey.h"
#include "registry/AppInfo.h"
#include "util/ResStr.h"
#include "util/StrUtil.h"
#include <commctrl.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

static const UINT WM_FINISH_SETUP = 868;
static const char kFrameClass[] = "PanorelMainFrame";

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame()
{
    StopAnimation();
    delete m_panel[0];
    delete m_panel[1];
}

bool CMainFrame::Create()
{
    if (!LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, kFrameClass,
                   GetProductInfo().name))
        return false;
    CommandTable_Install(*this);
    m_browser.Init(m_hWnd);
    m_browserMsg = m_browser.GetMsg();
    // The rest of the set-up runs once the application's start-up has returned.
    PostMessageA(m_hWnd, WM_FINISH_SETUP, 0, 0);
    return true;
}

void CMainFrame::FinishSetUp()
{
    CMainApp& app = GetMainApp();
    m_opts.Load();
    bool fullScreen = m_opts.IsOn(FrameOpts::FO_FULLSCREEN);
    m_opts.Set(FrameOpts::FO_FULLSCREEN, 0);
    int show = LoadPlacement();

    SetUpCaption();
    m_status.Create(this, ID_MAIN_STATUSBAR);
    // The command prompt lives in the status bar, which grows to hold it.
    if (m_prompt.Create(this, &m_status))
        m_status.m_minHeight = m_prompt.Height() + 4;
    m_prompt.onDropped = [this] { SetPromptMode(true); };
    BuildIndicators();
    if (m_toolbar.CreateCustom(this, ID_MAIN_TOOLBAR, "Toolbar", fw::DockTop)) {
        const WORD defaults[] = {38113, 38109, 38111, 38110, 38205, 38511, 0,     39401,
                                 39402, 39403, 39404, 0,     39405, 39406, 0,     38214,
                                 38215, 38216, 39407, 0,     38201, 38203, 38601, 38602,
                                 0,     38401, 38417, 38414, 57664, 57669};
        m_toolbar.Init("ToolBar", defaults, (int)(sizeof(defaults) / sizeof(defaults[0])));
        static const CustomToolBar::BarItem bars[] = {
            {ID_MAIN_TOOLBAR, ID_VIEW_TOOLBAR, "&Toolbar"},
            {ID_MAIN_DRIVEBAR, ID_VIEW_DRIVEBAR, "Dri&ve bar"},
            {ID_MAIN_STATUSBAR, ID_VIEW_STATUSBAR, "&Status bar"}};
        m_toolbar.SetMenu(ID_VIEW_TOOLBAR_CUSTOMIZE, bars, 3);
        m_toolbar.menuStyle = [] {
            const SettingsOpts& s = GetMainApp().m_settings;
            return VmMenuOwnerDraw::StyleFromSetting(s.menuStyle, s.IsOn(SO_STRONG_MENU_EDGES));
        };
    }
    CreateDriveBar();
    LoadBarState("Control Bars");

    m_splitter.Create(m_hWnd, 0xE900);
    m_client = m_splitter.m_hWnd;
    m_splitter.canTrack = [] { return !IsPolicyOn("LockPositionMainSplitter", false); };
    m_splitter.onTracked = [this](int size) {
        if (size <= 0)
            return;
        if (m_splitter.IsSideBySide())
            m_opts.splitX = size;
        else
            m_opts.splitY = size;
    };
    m_splitter.SetOrientation(m_opts.IsOn(FrameOpts::FO_SIDE_BY_SIDE));
    RecalcLayout();
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    m_lastClient = {rc.right, rc.bottom};

    // At start-up the request gives the panels their first folders.
    StartRequest& r = app.m_request;
    for (int i = 0; i < 2; i++) {
        const ITEMIDLIST* folder = r.folder[i];
        PIDL shared;
        if (!folder && r.shared) {
            shared.Attach(r.shared.Detach());
            folder = shared;
        }
        m_panel[i] = new ViewFrame(this, i);
        m_panel[i]->Create(m_splitter.m_hWnd, folder, r.file[i][0] ? r.file[i] : nullptr);
        r.file[i][0] = 0;
        m_splitter.SetPane(i, m_panel[i]->m_hWnd);
    }
    r.folder[0].Free();
    r.folder[1].Free();
    LoadFavorites();
    ApplySplitSize();
    m_active = m_opts.IsOn(FrameOpts::FO_PANEL2_ACTIVE) ? 1 : 0;
    if (!m_opts.IsOn(FrameOpts::FO_SPLIT)) {
        m_splitter.ShowSingle(m_active);
        ActivePanel()->SetMaximized(true);
    }
    if (show == 1)
        ShowWindow(m_hWnd, SW_SHOWMINNOACTIVE);
    else if (show == 2)
        ShowWindow(m_hWnd, SW_SHOWMAXIMIZED);
    ApplyStartRequest(r, false);
    if (fullScreen)
        ToggleFullScreen();
    SetActivePanel(m_active, true);
    m_setUp = true;
    if (m_opts.IsOn(FrameOpts::FO_TREE_OPEN))
        ShowFolderTree();
    UpdateStatusBar(true);
    SetTimer(m_hWnd, ID_STATUS_TIMER, 1000, NULL);
    app.CloseSplash();
}

void CMainFrame::ApplySplitSize()
{
    m_splitter.SetFirstSize(m_splitter.IsSideBySide() ? m_opts.splitX : m_opts.splitY);
}

void CMainFrame::SetActivePanel(int index, bool focus)
{
    m_active = index;
    m_browserPanel = ActivePanel();
    ActivePanel()->Activate(focus);
    PassivePanel()->SetActiveLook(false);
}

void CMainFrame::OnPanelActivated(ViewFrame* panel)
{
    if (panel == ActivePanel() || !m_setUp)
        return;
    if (IsPolicyOn("DisableMenuPanelNext", true)) {
        ActivePanel()->Activate(true);
        return;
    }
    SetActivePanel(panel == m_panel[0] ? 0 : 1, false);
    ImageView_SelectionChanged(*this, ActivePanel());
}

void CMainFrame::OnPanelFolderChanged(ViewFrame* panel)
{
    RecordDriveVisit(panel);
    if (m_tree && panel == ActivePanel())
        m_tree->OnPanelNavigated(panel->GetCurrentFolder());
}

void CMainFrame::OnPanelFocus(ViewFrame* panel, bool gained)
{
    // A panel whose list takes the focus becomes the active one; losing the focus (to a dialog,
    // a menu or the prompt) only changes its look, it stays the active panel.
    if (gained)
        OnPanelActivated(panel);
}

void CMainFrame::OnPanelLabelEdited(ViewFrame* panel)
{
    // The item's name changed (or the rename was cancelled): show the selection anew.
    OnSelectionChanged(panel);
}

void CMainFrame::OnSelectionChanged(ViewFrame* panel)
{
    if (panel)
        panel->RequestSelectionDisplay();
    ImageView_SelectionChanged(*this, panel);
}

HMENU CMainFrame::OwnMenu()
{
    HMENU current = GetMenu(m_hWnd);
    if (current && current != m_sharedMenu)
        m_ownMenu = current;
    return m_ownMenu;
}

void CMainFrame::ShowMenuHelp(WPARAM wp, bool skipEmpty)
{
    if (!GetMainApp().m_settings.IsOn(SO_STATUS_DESCRIPTIONS) || (HIWORD(wp) & MF_POPUP) || !LOWORD(wp))
        return;
    ResStr text(LOWORD(wp));
    char line[512];
    lstrcpynA(line, text, sizeof(line));
    if (char* nl = strchr(line, '\n'))
        *nl = 0;
    if (line[0] || !skipEmpty)
        m_status.SetPaneText(m_menuHelp ? SB_SIMPLEID : 0, line);
}

void CMainFrame::OnViewMenuMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    // The active view's share of one of our own menus is already being handled.
    if (m_forwardingMenu)
        return;
    if (msg == WM_INITMENUPOPUP && !HIWORD(lp))
        UpdateMenu(reinterpret_cast<HMENU>(wp));
    else if (msg == WM_MENUSELECT)
        ShowMenuHelp(wp, true);   // the shell's own items have no text of ours
}

bool CMainFrame::IsLabelEdit(HWND wnd) const
{
    if (!wnd)
        return false;
    HWND parent = GetParent(wnd);
    for (ViewFrame* p : m_panel)
        if (p && parent && p->GetListView() == parent)
            return true;
    return false;
}

ViewFrame* CMainFrame::PanelOfView(IShellView* view) const
{
    for (ViewFrame* p : m_panel)
        if (p && view && p->GetIShellView() == view)
            return p;
    return nullptr;
}

ViewFrame* CMainFrame::PanelOfWindow(HWND wnd) const
{
    for (ViewFrame* p : m_panel)
        if (p && wnd && (p->m_hWnd == wnd || IsChild(p->m_hWnd, wnd)))
            return p;
    return nullptr;
}

void CMainFrame::OnIdleUpdate()
{
    // The panel holding the focus is the active one.
    ViewFrame* focused = PanelOfWindow(GetFocus());
    if (focused && focused != ActivePanel() && m_setUp)
        OnPanelActivated(focused);
    UpdateBars();
    m_prompt.UpdateButtons(this);
    for (ViewFrame* p : m_panel)
        if (p)
            p->UpdateBars();
}

LRESULT CMainFrame::OnBrowserCall(int code)
{
    VmShellBrowserParams& p = m_browser.m_params;
    // A view that names itself gets its own panel's answer, else the current panel answers.
    // Only these calls carry a view; the block's other fields may be left from earlier calls.
    bool carriesView = code == SB_OnViewWindowActive || code == SB_OnDefaultCommand ||
                       code == SB_OnStateChange || code == SB_IncludeObject;
    ViewFrame* panel = carriesView ? PanelOfView(p.shellView) : nullptr;
    if (!panel)
        panel = m_browserPanel ? m_browserPanel : (m_panel[0] ? ActivePanel() : nullptr);
    switch (code) {
    case SB_GetWindow:
        if (!p.phWnd)
            return E_INVALIDARG;
        *p.phWnd = panel ? panel->m_hWnd : m_hWnd;
        return S_OK;
    case SB_SetStatusTextSB:
        if (panel && p.statusText) {
            char text[512];
            WideCharToMultiByte(CP_ACP, 0, p.statusText, -1, text, sizeof(text), NULL, NULL);
            text[sizeof(text) - 1] = 0;
            panel->SetStatusText(text);
        }
        return S_OK;
    case SB_BrowseObject:
        if (!panel)
            return E_FAIL;
        return panel->BrowseObject(p.pidl, p.browseFlags) ? S_OK : E_FAIL;
    case SB_GetControlWindow:
        // The view's bars are its panel's: the status bar shows its texts, the toolbar holds
        // the buttons it merged in.
        if (!p.phWnd)
            return E_INVALIDARG;
        *p.phWnd = panel ? panel->GetControlWindow(p.controlId) : NULL;
        return *p.phWnd ? S_OK : E_FAIL;
    case SB_SendControlMsg: {
        HWND target = panel ? panel->GetControlWindow(p.controlId) : NULL;
        LRESULT r = target ? SendMessageA(target, p.uMsg, p.wParam, p.lParam) : 0;
        if (p.pResult)
            *p.pResult = r;
        return target ? S_OK : E_FAIL;
    }
    case SB_QueryActiveShellView:
        if (!p.ppShellView)
            return E_INVALIDARG;
        *p.ppShellView = panel ? panel->GetIShellView() : nullptr;
        if (!*p.ppShellView)
            return E_ACCESSDENIED;
        (*p.ppShellView)->AddRef();
        return S_OK;
    case SB_OnViewWindowActive:
        if (panel)
            OnPanelActivated(panel);
        return S_OK;
    case SB_OnDefaultCommand:
        // Our own Folder / Selected opens folders in the panel and files with their program.
        PostMessageA(m_hWnd, WM_COMMAND, ID_FOLDER_SELECTED_INTERNAL, 0);
        return S_OK;
    case SB_OnStateChange:
        if (p.stateChange == CDBOSC_SELCHANGE)
            OnSelectionChanged(panel);
        return S_OK;
    case SB_IncludeObject:
        return panel ? panel->IncludeObject(p.pidl) : S_OK;
    case SB_GetViewStateStream:
        if (p.ppStream)
            *p.ppStream = NULL;
        return panel ? panel->GetViewStateStream(p.grfMode, p.ppStream) : E_FAIL;
    case SB_InsertMenusSB:
        // Our popups go into the view's menu; the widths tell it where its own go.
        return SharedMenus::Insert(OwnMenu(), p.hMenuShared, p.menuWidths) >= 0 ? S_OK : E_INVALIDARG;
    case SB_SetMenuSB: {
        HMENU own = OwnMenu();
        HMENU menu = p.hMenuShared && IsMenu(p.hMenuShared) ? p.hMenuShared : own;
        m_sharedMenu = menu == own ? NULL : menu;
        if (menu != own && SharedMenus::DropPlaceholders(own, menu) > 0)
            DrawMenuBar(m_hWnd);
        if (GetMenu(m_hWnd) != menu) {
            SetMenu(m_hWnd, menu);
            DrawMenuBar(m_hWnd);
        }
        return S_OK;
    }
    case SB_RemoveMenusSB: {
        HMENU own = OwnMenu();
        if (p.hMenuShared && GetMenu(m_hWnd) == p.hMenuShared) {
            // The view destroys its menu next: never leave the frame without its own.
            SetMenu(m_hWnd, own);
            DrawMenuBar(m_hWnd);
        }
        if (p.hMenuShared == m_sharedMenu)
            m_sharedMenu = NULL;
        SharedMenus::Remove(own, p.hMenuShared);
        return S_OK;
    }
    case SB_SetToolbarItems:
        if (panel)
            panel->MergeToolbarItems(p.buttons, p.buttonCount);
        return S_OK;
    }
    return E_NOTIMPL;
}

void CMainFrame::ApplyStartRequest(StartRequest& request, bool forwarded)
{
    int show = IsIconic(m_hWnd) ? SW_SHOWNORMAL : SW_SHOW;
    if (request.showMode == 1)
        show = SW_SHOWMINIMIZED;
    else if (request.showMode == 2)
        show = SW_SHOWMAXIMIZED;
    if (request.showMode == 3) {
        PostMessageA(m_hWnd, WM_COMMAND, ID_VIEW_ICONIZE_INTERNAL, 0);
    } else {
        // No forced paint here: at start-up the rest of the set-up (active panel, status bar)
        // comes first, so the first paint already shows the final state.
        ShowWindow(m_hWnd, show);
    }
    if (!forwarded)
        return;
    // Panel 1 first, then panel 2; only one panel takes the shared folder.
    for (int i = 0; i < 2; i++) {
        ViewFrame* panel = m_panel[i];
        if (!panel)
            continue;
        if (request.folder[i]) {
            panel->BrowseObject(request.folder[i], SBSP_ABSOLUTE);
        } else if (request.shared) {
            panel->BrowseObject(request.shared, SBSP_ABSOLUTE);
            request.shared.Free();
        }
        if (request.file[i][0] && panel->GetView())
            panel->GetView()->HighlightItem(request.file[i]);
        request.file[i][0] = 0;
    }
}

bool CMainFrame::CanClose()
{
    if (m_setUp && IsPolicyOn("DisableMenuFolderExit", true))
        return false;
    SetForegroundWindow(m_hWnd);
    CMainApp& app = GetMainApp();
    if (app.m_settings.IsOn(SO_CONFIRM_EXIT) && !m_closingForTransfer) {
        ResStrFmt question(IDS_CONFIRM_EXIT, GetProductInfo().name);
        if (MessageBoxA(m_hWnd, question, GetProductInfo().name, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
    }
    // Open editors with changes ask first; "Cancel" keeps the program running.
    return QuickEditWnd::AskToSaveAll();
}

void CMainFrame::Split(bool sideBySide)
{
    if (m_setUp && IsPolicyOn(sideBySide ? "DisableMenuPanelSplitVertically"
                                         : "DisableMenuPanelSplitHorizontally", true))
        return;
    bool split = m_opts.IsOn(FrameOpts::FO_SPLIT);
    if (split && m_splitter.IsSideBySide() == sideBySide)
        return;
    m_opts.Set(FrameOpts::FO_SIDE_BY_SIDE, sideBySide);
    m_opts.Set(FrameOpts::FO_SPLIT, 1);
    m_splitter.SetPane(0, m_panel[0]->m_hWnd);
    m_splitter.SetPane(1, m_panel[1]->m_hWnd);
    m_splitter.SetOrientation(sideBySide);
    m_splitter.ShowSingle(-1);
    ApplySplitSize();
    for (ViewFrame* p : m_panel)
        p->SetMaximized(false);
}

void CMainFrame::MaximizeOrSplit()
{
    if (m_opts.IsOn(FrameOpts::FO_SPLIT)) {
        if (m_setUp && IsPolicyOn("DisableMenuPanelMaximize", true))
            return;
        m_opts.Set(FrameOpts::FO_SPLIT, 0);
        m_splitter.ShowSingle(m_active);
        ActivePanel()->SetMaximized(true);
        ActivePanel()->Activate(true);
        return;
    }
    bool sideBySide = m_opts.IsOn(FrameOpts::FO_SIDE_BY_SIDE);
    if (m_setUp && IsPolicyOn(sideBySide ? "DisableMenuPanelSplitVertically"
                                         : "DisableMenuPanelSplitHorizontally", true))
        return;
    m_opts.Set(FrameOpts::FO_SPLIT, 1);
    m_splitter.SetPane(0, m_panel[0]->m_hWnd);
    m_splitter.SetPane(1, m_panel[1]->m_hWnd);
    m_splitter.ShowSingle(-1);
    ApplySplitSize();
    for (ViewFrame* p : m_panel)
        p->SetMaximized(false);
}

void CMainFrame::SwapPanels()
{
    if (m_setUp && IsPolicyOn("DisableMenuPanelSwapPanels", true))
        return;
    std::swap(m_panel[0], m_panel[1]);
    m_panel[0]->SetIndex(0);
    m_panel[1]->SetIndex(1);
    m_active = 1 - m_active;
    m_splitter.SetPane(0, m_panel[0]->m_hWnd);
    m_splitter.SetPane(1, m_panel[1]->m_hWnd);
    if (!m_opts.IsOn(FrameOpts::FO_SPLIT)) {
        // Maximized: the other panel comes to the front.
        ActivePanel()->SetMaximized(false);
        m_active = 1 - m_active;
        m_splitter.ShowSingle(m_active);
        ActivePanel()->SetMaximized(true);
    }
    SetActivePanel(m_active, true);
}

void CMainFrame::NextPanel()
{
    if (IsPolicyOn("DisableMenuPanelNext", true))
        return;
    if (!m_opts.IsOn(FrameOpts::FO_SPLIT)) {
        ActivePanel()->SetMaximized(false);
        m_splitter.ShowSingle(1 - m_active);
        PassivePanel()->SetMaximized(true);
    }
    SetActivePanel(1 - m_active, true);
}

void CMainFrame::ToggleFullScreen()
{
    if (m_setUp && (IsPolicyOn("LockPositionMainFrame", true) ||
                    IsPolicyOn("DisableMenuViewFullScreen", true)))
        return;
    if (!m_fullScreen) {
        if (IsZoomed(m_hWnd))
            ShowWindow(m_hWnd, SW_RESTORE);
        GetWindowRect(m_hWnd, &m_savedRect);
        RECT wr, cr;
        GetWindowRect(m_hWnd, &wr);
        GetClientRect(m_hWnd, &cr);
        MapWindowPoints(m_hWnd, NULL, reinterpret_cast<POINT*>(&cr), 2);
        int edgeX = GetSystemMetrics(SM_CXEDGE), edgeY = GetSystemMetrics(SM_CYEDGE);
        m_fullRect.left = -(edgeX + (cr.left - wr.left));
        m_fullRect.top = -(edgeY + (cr.top - wr.top));
        m_fullRect.right = (wr.right - cr.right) + GetSystemMetrics(SM_CXSCREEN) + 2 * edgeX;
        m_fullRect.bottom = GetSystemMetrics(SM_CYSCREEN) + (wr.bottom - cr.bottom);
        m_fullScreen = true;
        m_opts.Set(FrameOpts::FO_FULLSCREEN, 1);
        SetWindowPos(m_hWnd, NULL, m_fullRect.left, m_fullRect.top, m_fullRect.right - m_fullRect.left,
                     m_fullRect.bottom - m_fullRect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        m_fullScreen = false;
        m_opts.Set(FrameOpts::FO_FULLSCREEN, 0);
        SetWindowPos(m_hWnd, NULL, m_savedRect.left, m_savedRect.top, m_savedRect.right - m_savedRect.left,
                     m_savedRect.bottom - m_savedRect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CMainFrame::Iconize()
{
    if (m_setUp && (IsPolicyOn("LockPositionMainFrame", true) ||
                    IsPolicyOn("DisableMenuViewIconize", true)))
        return;
    // The icon window stays even when the shell has no notification area yet; the icon
    // comes when the shell announces its taskbar.
    if (!MyTB_Icon::Show(m_hWnd, ID_VIEW_RESTORE_INTERNAL, ID_VIEW_CLOSE_FROM_ICON))
        return;   // no way back to a hidden window
    ShowOwnedPopups(m_hWnd, FALSE);
    ShowWindow(m_hWnd, SW_HIDE);
}

void CMainFrame::RestoreFromIcon(bool thenClose)
{
    ShowWindow(m_hWnd, IsIconic(m_hWnd) ? SW_RESTORE : SW_SHOW);
    ShowOwnedPopups(m_hWnd, TRUE);
    SetForegroundWindow(m_hWnd);
    MyTB_Icon::Show(NULL);
    if (thenClose)
        PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
}

void CMainFrame::RefreshAll()
{
    if (IsPolicyOn("DisableMenuViewRefreshAll", true))
        return;
    int active = m_active;
    for (int i : {active, 1 - active}) {
        ViewFrame* p = m_panel[i];
        m_browserPanel = p;
        PIDL folder(p->GetCurrentFolder());
        p->BrowseObject(folder, SBSP_ABSOLUTE);
    }
    SetActivePanel(active, true);
    RedrawWindow(m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
}

void CMainFrame::SaveState()
{
    if (m_stateSaved || !m_setUp)
        return;
    m_stateSaved = true;
    m_opts.Set(FrameOpts::FO_PANEL2_ACTIVE, m_active == 1);
    bool full = m_fullScreen;
    m_opts.Set(FrameOpts::FO_FULLSCREEN, full);
    if (m_tree)
        m_tree->RememberPlacement();
    m_opts.Set(FrameOpts::FO_TREE_OPEN, m_tree != nullptr);
    m_opts.Store();
    RegKey root(GetAppRootKey(), RegKey::OpUpdate);
    if (root.IsOpen())
        m_favorites.Store(root);
    // In full screen the position before it is kept as the normal one.
    SavePlacement(full ? &m_savedRect : nullptr);
    for (ViewFrame* p : m_panel)
        if (p)
            p->SaveState();
}

LRESULT CMainFrame::OnCopyData(const COPYDATASTRUCT* cds)
{
    m_pending.Free();
    if (!cds || !cds->lpData)
        return 0;
    CMainApp& app = GetMainApp();
    char text[MAX_PATH];
    // A text that does not fit, is not valid in the code page or lost a character on the
    // way would name another folder: it is refused whole, and nothing is done.
    auto take8 = [&]() {
        const char* data = static_cast<const char*>(cds->lpData);
        DWORD n = 0;
        while (n < cds->cbData && data[n])
            ++n;
        if (n >= sizeof(text) || !IsValidAnsiText(data, (int)n))
            return false;
        memcpy(text, data, n);
        text[n] = 0;
        return true;
    };
    auto take16 = [&]() {
        const WCHAR* data = static_cast<const WCHAR*>(cds->lpData);
        int chars = 0;
        while (chars < (int)(cds->cbData / sizeof(WCHAR)) && data[chars])
            ++chars;
        return WideToAnsiExact(data, chars, text, sizeof(text));
    };
    switch (cds->dwData) {
    case 4:
    case 5: {
        if (!(cds->dwData == 5 ? take16() : take8()))
            return 0;
        CMainCmdLine line(text, app.m_request);
        line.Parse();
        ApplyStartRequest(app.m_request, true);
        return 1;
    }
    case 3: {
        UINT size = PIDL::GetValidSize(cds->lpData, cds->cbData);
        if (size)
            m_pending.CopyAll((const ITEMIDLIST*)cds->lpData);
        return size != 0;
    }
    case 2:
        if (!take16() || HasWildcard(text))
            return 0;
        break;
    default:
        if (!take8() || HasWildcard(text))
            return 0;
        break;
    }
    m_pending.Attach(GetPidlOf(text));
    return m_pending ? 1 : 0;
}

LRESULT CMainFrame::OnCompanyMessage(WPARAM wp, LPARAM lp, bool& handled)
{
    const ProductInfo& product = GetProductInfo();
    handled = true;
    switch (wp) {
    case 1:
        if (lp == product.code) {
            PostMessageA(m_hWnd, WM_COMMAND, ID_APP_EXIT, 0);
            return 0;
        }
        break;
    case 3:
        if (lp == 4) {
            if (MyTB_Icon::IsShown())
                PostMessageA(m_hWnd, WM_COMMAND, ID_VIEW_RESTORE_INTERNAL, 0);
            return OnActivatePreviousInstance(4, m_hWnd, GetMainApp().m_companyMsg, wp, lp);
        }
        break;
    case 13:
        if (lp == product.code)
            return CanClose() ? 1 : 0;
        break;
    case 14:
        if (lp == product.code)
            return 1;
        break;
    }
    handled = false;
    return 0;
}

LRESULT CMainFrame::OnProgramMessage(WPARAM wp, LPARAM lp)
{
    switch (wp) {
    case 1:
        return GetProductInfo().version;
    case 2:
        // Another instance stored the favourites.
        if ((HWND)lp != m_hWnd && m_setUp)
            LoadFavorites();
        return 0;
    case 11:
        return 1;
    case 12:
        if (!m_pending || !m_panel[0])
            return 0;
        ActivePanel()->BrowseObject(m_pending, SBSP_ABSOLUTE);
        m_pending.Free();
        return 1;
    }
    return 0;
}

bool CMainFrame::CanMoveBar(fw::ControlBar* bar)
{
    if (!m_setUp)
        return true;
    if (bar == &m_toolbar)
        return !IsPolicyOn("LockPositionMainToolbar", false);
    if (bar->m_nID == ID_MAIN_DRIVEBAR)
        return !IsPolicyOn("LockPositionMainDrivebar", false);
    return true;
}

bool CMainFrame::PreTranslateMessage(MSG* msg)
{
    if (SelectCommands_PreTranslate(msg))
        return true;
    if (m_tree && m_tree->PreTranslate(msg))
        return true;
    // Typing a new name in a panel's list is text, not commands: only F1 stays a key.
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && IsLabelEdit(msg->hwnd)) {
        static HACCEL f1Only = LoadAcceleratorsA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_ACCEL_F1_ONLY));
        return f1Only && TranslateAcceleratorA(m_hWnd, f1Only, msg) != 0;
    }
    // Keys bound for a panel pass the administrator's shell key filter first.
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && PanelOfWindow(msg->hwnd) &&
        FilterShellKey(msg))
        return true;
    if (PreTranslatePromptKey(msg))
        return true;
    if (CommandTable_PreTranslate(*this, msg))
        return true;
    return VmMainFrame::PreTranslateMessage(msg);
}

bool CMainFrame::OnCmdMsg(UINT id, int code, fw::CmdUI* ui)
{
    if (ui) {
        switch (id) {
        case ID_VIEW_FULLSCREEN:
            ui->SetCheck(m_fullScreen);
            return true;
        case ID_VIEW_TOOLBAR:
            ui->SetCheck(m_toolbar.IsVisible());
            return true;
        case ID_VIEW_STATUSBAR:
            ui->SetCheck(m_status.IsVisible());
            return true;
        case ID_PANEL_SPLIT_VERT:
            ui->SetRadio(m_opts.IsOn(FrameOpts::FO_SPLIT) && m_splitter.IsSideBySide());
            return true;
        case ID_PANEL_SPLIT_HORZ:
            ui->SetRadio(m_opts.IsOn(FrameOpts::FO_SPLIT) && !m_splitter.IsSideBySide());
            return true;
        case ID_PANEL_SET_FILTER:
            ui->SetCheck(m_panel[0] && ActivePanel()->HasFilter());
            return true;
        }
        if (m_panel[0] && ActivePanel()->OnPanelCommand(id, ui, false))
            return true;
        return FileCommands_OnCmdMsg(*this, id, code, ui) || CommandTable_OnCmdMsg(*this, id, code, ui);
    }
    bool run = code != fw::kQueryHandler;
    bool ready = m_panel[0] && m_panel[1];
    switch (id) {
    case ID_APP_EXIT:
        if (run)
            PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
        return true;
    case ID_APP_ABOUT:
        if (run && !IsPolicyOn("DisableMenuHelpAbout", true))
            DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_ABOUTBOX), m_hWnd,
                            AboutDlgProc, 0);
        return true;
    case ID_VIEW_ICONIZE_INTERNAL:
        if (run)
            Iconize();
        return true;
    case ID_VIEW_RESTORE_INTERNAL:
        if (run)
            RestoreFromIcon(false);
        return true;
    case ID_VIEW_CLOSE_FROM_ICON:
        if (run) {
            // With the exit confirmation the question must be visible: show the window first.
            if (GetMainApp().m_settings.IsOn(SO_CONFIRM_EXIT))
                RestoreFromIcon(false);
            PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
        }
        return true;
    case ID_VIEW_ICONIZE:
        if (run)
            PostMessageA(m_hWnd, WM_COMMAND, MyTB_Icon::IsShown() ? ID_VIEW_RESTORE_INTERNAL : ID_VIEW_ICONIZE_INTERNAL, 0);
        return true;
    case ID_VIEW_FULLSCREEN:
        if (run)
            ToggleFullScreen();
        return true;
    case ID_VIEW_MAXIMIZE_RESTORE:
        if (run && !m_fullScreen)
            ShowWindow(m_hWnd, IsZoomed(m_hWnd) ? SW_RESTORE : SW_MAXIMIZE);
        return true;
    case ID_VIEW_TOOLBAR:
        if (run && !IsPolicyOn("DisableMenuViewToolbarShow", true))
            ShowControlBar(&m_toolbar, !m_toolbar.IsVisible());
        return true;
    case ID_VIEW_STATUSBAR:
        if (run && !IsPolicyOn("DisableMenuViewStatusbarShow", true))
            ShowControlBar(&m_status, !m_status.IsVisible());
        return true;
    case ID_VIEW_REFRESH_ALL:
        if (run && ready)
            RefreshAll();
        return true;
    case ID_PANEL_SPLIT_VERT:
    case ID_PANEL_SPLIT_HORZ:
        if (run && ready)
            Split(id == ID_PANEL_SPLIT_VERT);
        return true;
    case ID_PANEL_MAXIMIZE:
        if (run && ready)
            MaximizeOrSplit();
        return true;
    case ID_PANEL_SWAP:
        if (run && ready)
            SwapPanels();
        return true;
    case ID_PANEL_NEXT:
        if (run && ready)
            NextPanel();
        return true;
    case ID_PANEL_REFRESH:
        if (run && ready && !IsPolicyOn("DisableMenuPanelRefresh", true))
            ActivePanel()->Refresh();
        return true;
    case ID_PANEL_REFRESH_PASSIVE:
        if (run && ready)
            PassivePanel()->Refresh();
        return true;
    case ID_PANEL_REMOVE_FILTER:
        if (run && ready && !IsPolicyOn("DisableMenuPanelRemoveFilter", true)) {
            ActivePanel()->SetQuickFilter("");
            ActivePanel()->SetFilterOn(false);
        }
        return true;
    case ID_FOLDER_MATCH:
        if (run && ready && !IsPolicyOn("DisableMenuFolderSynchronize", true)) {
            PIDL target(PassivePanel()->GetCurrentFolder());
            ActivePanel()->BrowseObject(target, SBSP_ABSOLUTE);
            ActivePanel()->Activate(true);
        }
        return true;
    }
    // Navigation commands belong to the active panel.
    if (ready && ActivePanel()->OnPanelCommand(id, nullptr, run))
        return true;
    if (FileCommands_OnCmdMsg(*this, id, code, ui) || CommandTable_OnCmdMsg(*this, id, code, ui))
        return true;
    // Items a shell view merged into the menu bar are the view's commands.
    if (id <= FCIDM_SHVIEWLAST && ready && ActivePanel()->GetView() && ActivePanel()->GetView()->GetWnd()) {
        if (run)
            SendMessageA(ActivePanel()->GetView()->GetWnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        return true;
    }
    return false;
}

void CMainFrame::SetUpCaption()
{
    const SettingsOpts& s = GetMainApp().m_settings;
    bool animate = s.IsOn(SO_ANIMATE_ICON);
    HDC screen = GetDC(NULL);
    int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(NULL, screen);
    m_caption.Install(m_hWnd, animate ? 0xF073 : 0xF053, NULL,
                      [this](UINT m, WPARAM w, LPARAM l) { return VmMainFrame::WindowProc(m, w, l); });
    m_caption.SetText(CCaptionPainter::ProductPart, GetProductInfo().name);
    m_caption.Enable(s.IsOn(SO_WAVY_CAPTION) && bits > 8);
    StopAnimation();
    if (!animate)
        return;
    SIZE size = {GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
    int c = GetSystemMetrics(SM_CYCAPTION), h = size.cy, margin;
    if (c - h <= 3) {
        margin = 1;
    } else {
        int t = h + 1;
        if (c - t > 3)
            t++;
        margin = (c - t) / 2;
    }
    POINT at = {GetSystemMetrics(SM_CXFRAME) + 2, GetSystemMetrics(SM_CYFRAME) + margin};
    m_animator = new Animator_Spiral;
    if (!m_animator->Create(m_hWnd, at, size, 32, 100, 0, NULL)) {
        delete m_animator;
        m_animator = nullptr;
        return;
    }
    // The caption painter leaves the area to the animation: repaint it at once after a caption.
    m_caption.onPainted = [this] {
        if (m_animator)
            m_animator->PaintFrame();
    };
}

void CMainFrame::StopAnimation()
{
    m_caption.onPainted = nullptr;
    delete m_animator;   // its destructor stops the thread
    m_animator = nullptr;
}

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    CMainApp& app = GetMainApp();
    LRESULT painted = 0;
    if (m_caption.OnMessage(msg, wp, lp, painted))
        return painted;
    if (msg == m_browserMsg && msg)
        return OnBrowserCall((int)wp);
    if (msg == app.m_companyMsg && msg) {
        bool handled = false;
        LRESULT r = OnCompanyMessage(wp, lp, handled);
        return handled ? r : Default(msg, wp, lp);
    }
    if (msg == app.m_panorelMsg && msg)
        return OnProgramMessage(wp, lp);
    switch (msg) {
    case WM_FINISH_SETUP:
        FinishSetUp();
        return 0;
    case WM_CONTEXTMENU:
        if (OnStatusBarMenu(reinterpret_cast<HWND>(wp), lp))
            return 0;
        break;
    case WM_TIMER:
        if (wp == ID_STATUS_TIMER) {
            UpdateStatusBar(false);
            return 0;
        }
        break;
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    case WM_DEVICECHANGE:
        OnDeviceChange(wp);
        return TRUE;
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED && m_lastClient.cx > 0 && m_lastClient.cy > 0 && LOWORD(lp) > 0 &&
            HIWORD(lp) > 0) {
            // The split sizes keep their proportion of the window.
            m_opts.splitX = MulDiv(m_opts.splitX, LOWORD(lp), m_lastClient.cx);
            m_opts.splitY = MulDiv(m_opts.splitY, HIWORD(lp), m_lastClient.cy);
            m_lastClient = {LOWORD(lp), HIWORD(lp)};
            if (m_panel[0])
                ApplySplitSize();
        }
        break;
    case WM_WINDOWPOSCHANGING: {
        WINDOWPOS* pos = reinterpret_cast<WINDOWPOS*>(lp);
        if (m_fullScreen) {
            pos->x = m_fullRect.left;
            pos->y = m_fullRect.top;
            pos->cx = m_fullRect.right - m_fullRect.left;
            pos->cy = m_fullRect.bottom - m_fullRect.top;
        } else if (m_setUp && IsPolicyOn("LockPositionMainFrame", false)) {
            pos->flags |= SWP_NOMOVE | SWP_NOSIZE;
        }
        break;
    }
    case WM_GETMINMAXINFO:
        if (m_fullScreen) {
            // The full-screen window is larger than the screen by its frame.
            MINMAXINFO* mmi = reinterpret_cast<MINMAXINFO*>(lp);
            POINT size = {m_fullRect.right - m_fullRect.left, m_fullRect.bottom - m_fullRect.top};
            mmi->ptMaxSize = size;
            mmi->ptMaxTrackSize = size;
            return 0;
        }
        break;
    case WM_INITMENUPOPUP: {
        if (!HIWORD(lp)) {
            HMENU menu = reinterpret_cast<HMENU>(wp);
            if (m_fullScreen && menu == GetSystemMenu(m_hWnd, FALSE)) {
                for (UINT sc : {SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE})
                    EnableMenuItem(menu, sc, MF_BYCOMMAND | MF_GRAYED);
                EnableMenuItem(menu, SC_RESTORE, MF_BYCOMMAND | MF_ENABLED);
                return 0;
            }
        }
        SelectCommands_InitMenuPopup(*this, reinterpret_cast<HMENU>(wp));
        LRESULT r = VmMainFrame::WindowProc(msg, wp, lp);
        // The active view updates the items it shares in our menus.
        HWND view = m_panel[0] && ActivePanel()->GetView() ? ActivePanel()->GetView()->GetWnd() : NULL;
        if (view && !m_forwardingMenu) {
            m_forwardingMenu = true;
            SendMessageA(view, WM_INITMENUPOPUP, wp, lp);
            m_forwardingMenu = false;
        }
        return r;
    }
    case WM_MENUSELECT:
        ShowMenuHelp(wp, false);
        break;
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
        SetMenuHelpMode(msg == WM_ENTERMENULOOP);
        break;
    case WM_CLOSE:
        if (!CanClose())
            return 0;
        m_closing = true;
        SaveState();
        DestroyWindow();
        return 0;
    case WM_ENDSESSION:
        if (wp) {
            app.OnEndSession();
            SaveState();
        }
        return 0;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_MINIMIZE && app.m_settings.IsOn(SO_ICONIZE) && !MyTB_Icon::IsShown()) {
            PostMessageA(m_hWnd, WM_COMMAND, ID_VIEW_ICONIZE_INTERNAL, 0);
            return 0;
        }
        if ((wp & 0xFFF0) == SC_RESTORE && m_fullScreen) {
            ToggleFullScreen();
            return 0;
        }
        break;
    case WM_SETFOCUS:
        // Back from a dialog or another program: the active panel's list takes the keys again.
        if (m_setUp && m_panel[0] && ActivePanel()->m_hWnd) {
            SetFocus(ActivePanel()->m_hWnd);
            return 0;
        }
        break;
    case WM_DESTROY: {
        KillTimer(m_hWnd, ID_STATUS_TIMER);
        // The tool windows go first, the most recently used first, each storing its placement.
        std::vector<ToolWindow*> tools;
        tools.swap(m_toolWindows);
        m_closing = true;
        for (ToolWindow* w : tools)
            w->CloseWithFrame();
        StopAnimation();
        SaveState();
        if (MyTB_Icon::IsShown())
            RestoreFromIcon(false);
        HMENU own = OwnMenu();
        for (ViewFrame*& p : m_panel) {
            if (p) {
                p->DestroyWindow();
                delete p;
                p = nullptr;
            }
        }
        // The window destroys the menu it holds: that must be our own, not a view's.
        if (own && GetMenu(m_hWnd) != own)
            SetMenu(m_hWnd, own);
        break;
    }
    }
    return VmMainFrame::WindowProc(msg, wp, lp);
}

void CMainFrame::AddToolWindow(ToolWindow* wnd)
{
    if (m_closing || !wnd)
        return;
    if (std::find(m_toolWindows.begin(), m_toolWindows.end(), wnd) == m_toolWindows.end())
        m_toolWindows.insert(m_toolWindows.begin(), wnd);
}

void CMainFrame::RemoveToolWindow(ToolWindow* wnd)
{
    auto it = std::find(m_toolWindows.begin(), m_toolWindows.end(), wnd);
    if (it != m_toolWindows.end())
        m_toolWindows.erase(it);
}
