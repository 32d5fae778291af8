#include "VmDlg.h"
#include "CreateSlot.h"
#include "MsgUtil.h"
#include "UiText.h"
#include "../registry/AppInfo.h"
#include "../util/ResStr.h"
#include "../LibRes.h"
#include <string.h>

namespace {
HFONT g_dlgFont;
DWORD g_helpBase;

BOOL CALLBACK SetFontProc(HWND child, LPARAM font)
{
    SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

bool EndsWithNoCase(const char* text, const char* tail)
{
    size_t n = strlen(text), m = strlen(tail);
    return n >= m && lstrcmpiA(text + n - m, tail) == 0;
}
}  // namespace

VmDlg::VmDlg()
    : m_templateId(0), m_result(0), m_modeless(false), m_placement(nullptr), m_resizeFlags(0),
      m_minSize{0, 0}, m_curSize{0, 0}
{
    m_placementName[0] = 0;
}

VmDlg::~VmDlg()
{
    delete m_placement;
}

void VmDlg::SetDlgFont(HFONT font) { g_dlgFont = font; }
HFONT VmDlg::GetDlgFont() { return g_dlgFont; }
void VmDlg::SetHelpBase(DWORD base) { g_helpBase = base; }

bool VmDlg::AddCtrl(VmCtrl* ctrl, int id, const char* name)
{
    if (!ctrl)
        return false;
    for (const CtrlEntry& e : m_ctrls)
        if (e.ctrl == ctrl)
            return false;
    if (name)
        ctrl->SetName(name);
    m_ctrls.push_back({ctrl, id});
    if (m_hWnd && ctrl->Attach(this, id))   // added after initialization: bind at once
        ctrl->OnInit();
    return true;
}

void VmDlg::SetIcon(int id)
{
    HICON icon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id));
    if (icon && m_hWnd) {
        SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, (LPARAM)icon);
        SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    }
}

void VmDlg::SetResizable(DWORD flags, const char* placementName)
{
    m_resizeFlags = flags & ResizeBoth;
    CopyCut(m_placementName, placementName, sizeof(m_placementName));
    if (m_resizeFlags && m_placementName[0] && !m_placement)
        m_placement = new MyWindowPlacement;
}

INT_PTR VmDlg::Run(bool modal, const DLGTEMPLATE* indirect, int templateId, HINSTANCE module,
                   HWND owner)
{
    if (m_hWnd)
        return -1;   // already showing
    if (!indirect)
        AppInfo::ConvertResourceId(templateId, module);
    else if (!module)
        module = GetLibModule();
    CreateSlot& slot = GetCreateSlot();
    CreateSlot saved = slot;
    slot.wnd = this;
    slot.dialog = true;
    slot.templateId = indirect ? 0 : templateId;
    m_modeless = !modal;
    m_result = 0;
    INT_PTR ret;
    if (modal) {
        ret = indirect ? DialogBoxIndirectParamA(module, indirect, owner, DlgProc, 0)
                       : DialogBoxParamA(module, MAKEINTRESOURCEA(templateId), owner, DlgProc, 0);
    } else {
        HWND dlg = indirect ? CreateDialogIndirectParamA(module, indirect, owner, DlgProc, 0)
                            : CreateDialogParamA(module, MAKEINTRESOURCEA(templateId), owner,
                                                 DlgProc, 0);
        ret = reinterpret_cast<INT_PTR>(dlg);
    }
    slot = saved;   // taken on the first message, or left when the dialog never came up
    return ret;
}

INT_PTR VmDlg::Modal(int templateId, HINSTANCE module, HWND owner)
{
    return Run(true, nullptr, templateId, module, owner);
}

INT_PTR VmDlg::ModalIndirect(const DLGTEMPLATE* dlgTemplate, HWND owner, HINSTANCE module)
{
    return dlgTemplate ? Run(true, dlgTemplate, 0, module, owner) : -1;
}

HWND VmDlg::Modeless(int templateId, HINSTANCE module, HWND owner)
{
    HWND dlg = reinterpret_cast<HWND>(Run(false, nullptr, templateId, module, owner));
    if (dlg == reinterpret_cast<HWND>(-1))
        return NULL;
    if (dlg) {
        ShowWindow(dlg, SW_SHOW);
        UpdateWindow(dlg);
    }
    return dlg;
}

HWND VmDlg::ModelessIndirect(const DLGTEMPLATE* dlgTemplate, HWND owner, HINSTANCE module)
{
    if (!dlgTemplate)
        return NULL;
    HWND dlg = reinterpret_cast<HWND>(Run(false, dlgTemplate, 0, module, owner));
    if (dlg == reinterpret_cast<HWND>(-1))
        return NULL;
    if (dlg) {
        ShowWindow(dlg, SW_SHOW);
        UpdateWindow(dlg);
    }
    return dlg;
}

bool VmDlg::BindDialog(HWND dialog, int templateId)
{
    if (!Subclass(dialog))
        return false;
    m_templateId = templateId;
    PreInit();
    return true;
}

void VmDlg::PreInit()
{
    // Controls exist only from WM_INITDIALOG on; they are bound there (InitControls).
    if (g_dlgFont && m_hWnd)
        SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(g_dlgFont), FALSE);
}

void VmDlg::InitControls()
{
    if (g_dlgFont)
        EnumChildWindows(m_hWnd, SetFontProc, reinterpret_cast<LPARAM>(g_dlgFont));
    for (const CtrlEntry& e : m_ctrls)
        if (e.ctrl->GetHWND() || e.ctrl->Attach(this, e.id))
            e.ctrl->OnInit();
}

void VmDlg::InitResizing()
{
    RECT rc;
    GetWindowRect(m_hWnd, &rc);
    m_minSize.cx = rc.right - rc.left;
    m_minSize.cy = rc.bottom - rc.top;
    if (m_placement && m_placement->Load(m_placementName)) {
        MyWindowPlacement wp = *m_placement;
        // A direction that does not resize keeps the template's size.
        RECT& r = wp.rcNormalPosition;
        if (!(m_resizeFlags & ResizeWidth))
            r.right = r.left + m_minSize.cx;
        if (!(m_resizeFlags & ResizeHeight))
            r.bottom = r.top + m_minSize.cy;
        wp.ApplyTo(m_hWnd);
    }
}

void VmDlg::OKControls()
{
    for (const CtrlEntry& e : m_ctrls)
        if (e.ctrl->GetHWND())
            e.ctrl->OnOK();
}

bool VmDlg::CloseDialog(INT_PTR result, int commit)
{
    if (!m_hWnd || !CanClose(result))
        return false;
    m_result = result;
    if (commit == CommitDefault ? result != IDCANCEL : commit != 0)
        OKControls();
    if (m_modeless)
        DestroyWindow(m_hWnd);
    else
        EndDialog(m_hWnd, result);
    return true;
}

void VmDlg::OnOK() { CloseDialog(IDOK, 1); }
void VmDlg::OnCancel() { CloseDialog(IDCANCEL, 0); }

bool VmDlg::CanClose(INT_PTR)
{
    if (m_placement && m_hWnd && m_placement->GetFrom(m_hWnd))
        m_placement->Store(m_placementName);
    return true;
}

bool VmDlg::OnHelp(DWORD helpId)
{
    const char* file = AppInfo::Data().helpFile;
    if (!file || !*file)
        return false;
    DWORD topic = helpId + g_helpBase + HelpTopicOffset;
    if (EndsWithNoCase(file, ".chm")) {
        typedef HWND(WINAPI * HtmlHelpFn)(HWND, LPCSTR, UINT, DWORD_PTR);
        const UINT HH_HELP_CONTEXT_ = 0x000F;
        HMODULE hh = LoadLibraryA("hhctrl.ocx");
        HtmlHelpFn fn = hh ? reinterpret_cast<HtmlHelpFn>(
                                 reinterpret_cast<void*>(GetProcAddress(hh, "HtmlHelpA")))
                           : nullptr;
        if (!fn || !fn(m_hWnd, file, HH_HELP_CONTEXT_, topic)) {
            OnHtmlHelpError();
            return false;
        }
        return true;
    }
    return WinHelpA(m_hWnd, file, HELP_CONTEXT, topic) != FALSE;
}

void VmDlg::OnHtmlHelpError() {}

bool VmDlg::OnCommand(int, int, HWND)
{
    return false;
}

bool VmDlg::OnNotify(int, NMHDR*, LRESULT&)
{
    return false;
}

BOOL VmDlg::OnInitDialog()
{
    return TRUE;
}

void VmDlg::OnPostNcDestroy() {}
void VmDlg::OnResize(int, int) {}

INT_PTR VmDlg::SetMsgResult(LRESULT result)
{
    if (m_hWnd)
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR VmDlg::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        InitControls();
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        m_curSize.cx = rc.right;
        m_curSize.cy = rc.bottom;
        BOOL focus = OnInitDialog();
        if (m_resizeFlags && m_hWnd)
            InitResizing();
        return focus;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        if (code == 0 && id == IDOK) {
            OnOK();
            return TRUE;
        }
        if (code == 0 && id == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        if (code == 0 && id == IdHelpButton) {
            DWORD helpId = GetWindowContextHelpId(m_hWnd);
            OnHelp(helpId ? helpId : static_cast<DWORD>(m_templateId));
            return TRUE;
        }
        return OnCommand(id, code, reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    }
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        if (header && OnNotify(static_cast<int>(wParam), header, result))
            return SetMsgResult(result);
        return FALSE;
    }
    case WM_HELP: {
        HELPINFO* info = reinterpret_cast<HELPINFO*>(lParam);
        if (!info)
            return FALSE;
        DWORD helpId = static_cast<DWORD>(info->dwContextId);
        if (!helpId && info->iContextType == HELPINFO_WINDOW)
            helpId = static_cast<DWORD>(info->iCtrlId);
        OnHelp(helpId);
        return TRUE;
    }
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            int cx = LOWORD(lParam), cy = HIWORD(lParam);
            int dx = cx - m_curSize.cx, dy = cy - m_curSize.cy;
            m_curSize.cx = cx;
            m_curSize.cy = cy;
            if (dx || dy)
                OnResize(dx, dy);
        }
        return FALSE;
    case WM_GETMINMAXINFO:
        if (m_resizeFlags && m_minSize.cx > 0) {
            MINMAXINFO* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
            mmi->ptMinTrackSize.x = m_minSize.cx;
            mmi->ptMinTrackSize.y = m_minSize.cy;
            if (!(m_resizeFlags & ResizeWidth))
                mmi->ptMaxTrackSize.x = m_minSize.cx;
            if (!(m_resizeFlags & ResizeHeight))
                mmi->ptMaxTrackSize.y = m_minSize.cy;
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

INT_PTR VmDlg::DispatchDlg(UINT msg, WPARAM wParam, LPARAM lParam, WMHook* after)
{
    HWND dialog = m_hWnd;
    m_dlgHooks.BeginDispatch();
    INT_PTR result = 0;
    bool handled = false;
    for (size_t i = m_dlgHooks.StartIndex(after); i < m_dlgHooks.Size() && !handled; ++i) {
        WMHook* hook = m_dlgHooks.At(i);
        if (hook && hook->OnDlgMessage(dialog, msg, wParam, lParam, result))
            handled = true;
    }
    if (!handled)
        result = OnDlgMessage(msg, wParam, lParam);
    m_dlgHooks.EndDispatch();
    return result;
}

INT_PTR CALLBACK VmDlg::DlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    try {
        VmDlg* dlg = static_cast<VmDlg*>(GetWnd(dialog));
        if (!dlg) {
            CreateSlot& slot = GetCreateSlot();
            if (!slot.wnd || !slot.dialog)
                return FALSE;
            dlg = static_cast<VmDlg*>(slot.wnd);
            int templateId = slot.templateId;
            slot.wnd = nullptr;
            if (!dlg->BindDialog(dialog, templateId))
                return FALSE;
        }
        return dlg->DispatchDlg(msg, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

// VmDlgMain

BOOL VmDlgMain::OnInitDialog()
{
    HMENU sys = GetSystemMenu(m_hWnd, FALSE);
    ResStr about(-IDS_LIB_ABOUT);
    if (sys && !about.IsEmpty()) {
        AppendMenuA(sys, MF_SEPARATOR, 0, NULL);
        AppendMenuA(sys, MF_STRING, IdmAbout, about);
    }
    return VmDlg::OnInitDialog();
}

bool VmDlgMain::StorePosition(const char* valueName)
{
    if (!m_hWnd || (IsResizable() && m_placement))
        return false;
    MyWindowPlacement wp;
    return wp.GetFrom(m_hWnd) && wp.Store(valueName);
}

bool VmDlgMain::RestorePosition(const char* valueName)
{
    if (!m_hWnd || (IsResizable() && m_placement))
        return false;
    MyWindowPlacement wp;
    return wp.Load(valueName) && wp.ApplyTo(m_hWnd);
}

void VmDlgMain::OnPaint()
{
    if (!m_hWnd || !IsIconic(m_hWnd))
        return;   // the dialog manager paints a normal dialog
    // Minimized without a window manager's help: draw the window's icon.
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    HICON icon = reinterpret_cast<HICON>(SendMessageA(m_hWnd, WM_GETICON, ICON_BIG, 0));
    if (dc && icon) {
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
        DrawIcon(dc, (rc.right - cx + 1) / 2, (rc.bottom - cy + 1) / 2, icon);
    }
    EndPaint(m_hWnd, &ps);
}

void VmDlgMain::OnAbout()
{
    const char* name = AppInfo::Data().name1;
    Msg(m_hWnd, MB_ICONINFORMATION, "%s", name ? name : "");
}

INT_PTR VmDlgMain::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == IdmAbout) {
        OnAbout();
        return TRUE;
    }
    if (msg == WM_PAINT && IsIconic(m_hWnd)) {
        OnPaint();
        return TRUE;
    }
    return VmDlg::OnDlgMessage(msg, wParam, lParam);
}
