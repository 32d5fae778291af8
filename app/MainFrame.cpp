#include "app/MainFrame.h"
#include "app/MainApp.h"
#include "app/MainCmdLine.h"
#include "app/Policy.h"
#include "app/Resource.h"
#include "app/Splash.h"
#include "Product.h"
#include "ui/PrevInstance.h"
#include "util/ResStr.h"
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

static const UINT WM_FINISH_SETUP = WM_APP + 2;
static const char kFrameClass[] = "PanorelMainFrame";

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() = default;

bool CMainFrame::Create()
{
    if (!LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, kFrameClass,
                   GetProductInfo().name))
        return false;
    // The rest of the set-up runs once the application's start-up has returned.
    PostMessageA(m_hWnd, WM_FINISH_SETUP, 0, 0);
    return true;
}

void CMainFrame::FinishSetUp()
{
    CMainApp& app = GetMainApp();
    for (int i = 0; i < 2; i++) {
        m_panel[i] = CreateWindowExA(WS_EX_CLIENTEDGE, "Static", "",
                                     WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                                     m_hWnd, (HMENU)(INT_PTR)(0xE900 + i), NULL, NULL);
        SendMessageA(m_panel[i], WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
    }
    LayoutPanels();
    // At start-up the request gives the panels their first folders.
    StartRequest& r = app.m_request;
    for (int i = 0; i < 2; i++) {
        const ITEMIDLIST* folder = r.folder[i];
        if (!folder && r.shared) {
            m_panelFolder[i].Attach(r.shared.Detach());
            ShowPanelFolder(i, m_panelFolder[i], r.file[i]);
            continue;
        }
        if (folder)
            m_panelFolder[i].CopyAll(folder);
        ShowPanelFolder(i, m_panelFolder[i], r.file[i]);
    }
    ApplyStartRequest(r, false);
    m_setUp = true;
    app.CloseSplash();
}

void CMainFrame::LayoutPanels()
{
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    int half = (rc.right - rc.left) / 2;
    if (m_panel[0])
        MoveWindow(m_panel[0], 0, 0, half - 2, rc.bottom, TRUE);
    if (m_panel[1])
        MoveWindow(m_panel[1], half + 2, 0, rc.right - half - 2, rc.bottom, TRUE);
}

void CMainFrame::ShowPanelFolder(int panel, const ITEMIDLIST* folder, const char* file)
{
    if (panel < 0 || panel > 1)
        return;
    if (folder != m_panelFolder[panel])
        m_panelFolder[panel].CopyAll(folder);
    char path[MAX_PATH] = "";
    if (folder)
        GetPathOf(folder, path, sizeof(path), 1);
    char text[3 * MAX_PATH];
    snprintf(text, sizeof(text), "Panel %d: %s%s%s", panel + 1, path, file && *file ? "\r\nSelect: " : "",
             file ? file : "");
    if (m_panel[panel])
        SetWindowTextA(m_panel[panel], text);
}

void CMainFrame::GetPanelPath(int panel, char* buffer) const
{
    buffer[0] = 0;
    if (panel >= 0 && panel <= 1 && m_panelFolder[panel])
        GetPathOf(m_panelFolder[panel], buffer, MAX_PATH, 1);
}

void CMainFrame::ApplyStartRequest(StartRequest& request, bool forwarded)
{
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    GetWindowPlacement(m_hWnd, &wp);
    int show = IsIconic(m_hWnd) ? SW_SHOWNORMAL : SW_SHOW;
    if (request.showMode == 1)
        show = SW_SHOWMINIMIZED;
    else if (request.showMode == 2)
        show = SW_SHOWMAXIMIZED;
    if (request.showMode == 3) {
        PostMessageA(m_hWnd, WM_COMMAND, ID_VIEW_ICONIZE_INTERNAL, 0);
    } else {
        ShowWindow(m_hWnd, show);
        UpdateWindow(m_hWnd);
    }
    if (!forwarded)
        return;
    // Panel 1 first, then panel 2; only one panel takes the shared folder.
    for (int i = 0; i < 2; i++) {
        if (request.folder[i]) {
            ShowPanelFolder(i, request.folder[i], request.file[i]);
        } else if (request.shared) {
            ShowPanelFolder(i, request.shared, request.file[i]);
            request.shared.Free();
        }
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
        if (MessageBoxA(m_hWnd, question, GetProductInfo().name, MB_YESNO | MB_ICONQUESTION) !=
            IDYES)
            return false;
    }
    return true;
}

void CMainFrame::Iconize()
{
    if (m_setUp && (IsPolicyOn("LockPositionMainFrame", true) ||
                    IsPolicyOn("DisableMenuViewIconize", true)))
        return;
    if (!m_iconShown) {
        NOTIFYICONDATAA nid = {};
        nid.cbSize = sizeof(nid);
        nid.hWnd = m_hWnd;
        nid.uID = 1;
        nid.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
        nid.uCallbackMessage = WM_TRAY_NOTIFY;
        nid.hIcon = (HICON)GetClassLongPtrA(m_hWnd, GCLP_HICONSM);
        lstrcpynA(nid.szTip, GetProductInfo().name, sizeof(nid.szTip));
        m_iconShown = Shell_NotifyIconA(NIM_ADD, &nid) != 0;
    }
    ShowWindow(m_hWnd, SW_HIDE);
}

void CMainFrame::RestoreFromIcon(bool thenClose)
{
    ShowWindow(m_hWnd, IsIconic(m_hWnd) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(m_hWnd);
    if (m_iconShown) {
        NOTIFYICONDATAA nid = {};
        nid.cbSize = sizeof(nid);
        nid.hWnd = m_hWnd;
        nid.uID = 1;
        Shell_NotifyIconA(NIM_DELETE, &nid);
        m_iconShown = false;
    }
    if (thenClose)
        PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
}

void CMainFrame::SaveState()
{
    // The frame's own placement and bars are kept once the full frame exists.
}

LRESULT CMainFrame::OnCopyData(const COPYDATASTRUCT* cds)
{
    m_pending.Free();
    if (!cds || !cds->lpData)
        return 0;
    CMainApp& app = GetMainApp();
    char text[MAX_PATH];
    switch (cds->dwData) {
    case 4:
    case 5: {
        if (cds->dwData == 5) {
            // UTF-16 text; the byte count bounds the read, whatever the terminator.
            int chars = (int)(cds->cbData / sizeof(WCHAR));
            int n = WideCharToMultiByte(CP_ACP, 0, (const WCHAR*)cds->lpData, chars, text,
                                        sizeof(text) - 1, NULL, NULL);
            text[n > 0 ? n : 0] = 0;
        } else {
            DWORD n = cds->cbData < sizeof(text) ? cds->cbData : sizeof(text) - 1;
            memcpy(text, cds->lpData, n);
            text[n] = 0;
        }
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
    case 2: {
        int chars = (int)(cds->cbData / sizeof(WCHAR));
        int n = WideCharToMultiByte(CP_ACP, 0, (const WCHAR*)cds->lpData, chars, text,
                                    sizeof(text) - 1, NULL, NULL);
        text[n > 0 ? n : 0] = 0;
        break;
    }
    default: {
        DWORD n = cds->cbData < sizeof(text) ? cds->cbData : sizeof(text) - 1;
        memcpy(text, cds->lpData, n);
        text[n] = 0;
        break;
    }
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
            if (m_iconShown)
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
        // Another instance stored the favourites; they are reloaded once favourites exist.
        (void)lp;
        return 0;
    case 11:
        return 1;
    case 12:
        if (!m_pending)
            return 0;
        ShowPanelFolder(m_activePanel, m_pending, nullptr);
        m_pending.Free();
        return 1;
    }
    return 0;
}

bool CMainFrame::OnCmdMsg(UINT id, int code, fw::CmdUI* ui)
{
    if (ui)
        return false;   // every item stays enabled; handlers check the policies
    bool query = code == fw::kQueryHandler;
    switch (id) {
    case ID_APP_EXIT:
        if (!query)
            PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
        return true;
    case ID_APP_ABOUT:
        if (!query && !IsPolicyOn("DisableMenuHelpAbout", true))
            DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_ABOUTBOX), m_hWnd,
                            AboutDlgProc, 0);
        return true;
    case ID_VIEW_ICONIZE_INTERNAL:
        if (!query)
            Iconize();
        return true;
    case ID_VIEW_RESTORE_INTERNAL:
        if (!query)
            RestoreFromIcon(false);
        return true;
    case ID_VIEW_CLOSE_FROM_ICON:
        if (!query) {
            // With the exit confirmation the question must be visible: show the window first.
            if (GetMainApp().m_settings.IsOn(SO_CONFIRM_EXIT))
                RestoreFromIcon(false);
            PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
        }
        return true;
    }
    return false;
}

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    CMainApp& app = GetMainApp();
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
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    case WM_SIZE:
        LayoutPanels();
        break;
    case WM_CLOSE:
        if (!CanClose())
            return 0;
        m_closing = true;
        DestroyWindow();
        return 0;
    case WM_ENDSESSION:
        if (wp) {
            app.OnEndSession();
            SaveState();
        }
        return 0;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_MINIMIZE && app.m_settings.IsOn(SO_ICONIZE) && !m_iconShown) {
            PostMessageA(m_hWnd, WM_COMMAND, ID_VIEW_ICONIZE_INTERNAL, 0);
            return 0;
        }
        break;
    case WM_TRAY_NOTIFY:
        if (lp == WM_LBUTTONDBLCLK || lp == WM_LBUTTONUP)
            PostMessageA(m_hWnd, WM_COMMAND, ID_VIEW_RESTORE_INTERNAL, 0);
        return 0;
    case WM_DESTROY:
        SaveState();
        if (m_iconShown)
            RestoreFromIcon(false);
        break;
    }
    return FrameWnd::WindowProc(msg, wp, lp);
}
