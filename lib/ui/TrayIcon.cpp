#include "TrayIcon.h"
#include "MsgUtil.h"
#include "../LibRes.h"
#include "../Product.h"
#include "../util/ResStr.h"
#include "../util/StrUtil.h"
#include <string.h>

UINT TB_Icon::uMsgTaskbarCreated = 0;
UINT TB_Icon::uMsgMyTaskbarCreated = 0;

namespace {
// A click handler runs (it may show a menu, whose loop would take the next click too).
bool s_inHandler = false;
}

TB_Icon::TB_Icon() : m_shown(false), m_wanted(false)
{
    memset(&m_nid, 0, sizeof(m_nid));
    m_nid.cbSize = sizeof(m_nid);
    m_nid.uID = kIconId;
    m_nid.uCallbackMessage = kCallbackMsg;
    m_nid.uFlags = NIF_MESSAGE;
    m_className[0] = 0;
    if (!uMsgTaskbarCreated)
        uMsgTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    if (!uMsgMyTaskbarCreated)
        uMsgMyTaskbarCreated = RegisterWindowMessageA("Corvane_TaskbarCreated");
}

TB_Icon::~TB_Icon()
{
    ShowIcon(false);
}

bool TB_Icon::Start(const char* className, HICON icon, const char* tip, bool show)
{
    if (!className || !StrCopyN(m_className, className, sizeof(m_className)))
        return false;
    WNDCLASSA existing;
    if (!GetClassInfoA(GetLibModule(), m_className, &existing) &&
        !RegisterWndClass(m_className, 0, NULL, NULL, NULL, GetLibModule()))
        return false;
    int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    if (!CreateEx(WS_EX_TOOLWINDOW, m_className, tip ? tip : "", WS_POPUP, x, y, 1, 1, NULL, NULL,
                  GetLibModule()))
        return false;
    m_nid.hWnd = m_hWnd;
    Modify(icon, tip);
    if (show)
        ShowIcon(true);
    return true;
}

void TB_Icon::Stop()
{
    if (m_className[0])
        UnregisterClassA(m_className, GetLibModule());
}

void TB_Icon::Close()
{
    ShowIcon(false);
    if (m_hWnd)
        PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
}

bool TB_Icon::Modify(HICON icon, const char* tip)
{
    if (icon) {
        m_nid.hIcon = icon;
        m_nid.uFlags |= NIF_ICON;
    }
    if (tip) {
        int len = CutLen(tip, (int)strlen(tip), 63);   // the tip the old record held
        memcpy(m_nid.szTip, tip, len);
        m_nid.szTip[len] = 0;
        m_nid.uFlags |= NIF_TIP;
    }
    return !m_shown || Shell_NotifyIconA(NIM_MODIFY, &m_nid) != 0;
}

bool TB_Icon::ShowIcon(bool show)
{
    m_wanted = show;
    if (show == m_shown)
        return true;
    if (!m_nid.hWnd)
        return false;
    BOOL ok = Shell_NotifyIconA(show ? NIM_ADD : NIM_DELETE, &m_nid);
    // A failed delete still leaves no icon of ours worth keeping track of.
    m_shown = show ? ok != 0 : false;
    return ok != 0;
}

int TB_Icon::RunMsgLoop()
{
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

void TB_Icon::OnDestroyWnd()
{
    ShowIcon(false);
}

LRESULT TB_Icon::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    UINT company = GetMyCompanyMsg();
    if (msg == company && company) {
        LRESULT result = 0;
        if (OnMyCompanyMessage(wParam, lParam, result))
            return result;
        WORD id = GetProdID();
        if (wParam == 1 && id && lParam == id)
            Close();
        return 0;
    }
    if ((msg == uMsgTaskbarCreated && msg) || (msg == uMsgMyTaskbarCreated && msg)) {
        // The shell's taskbar was made again: our icon went with the old one (or could not
        // be added before it was there).
        if (m_wanted) {
            m_shown = false;
            ShowIcon(true);
        }
        return 0;
    }
    switch (msg) {
    case kCallbackMsg:
        if (lParam == WM_LBUTTONUP)
            PostMessageA(m_hWnd, kLeftClickMsg, wParam, 0);
        else if (lParam == WM_LBUTTONDBLCLK)
            PostMessageA(m_hWnd, kDoubleClickMsg, wParam, 0);
        else if (lParam == WM_RBUTTONUP)
            PostMessageA(m_hWnd, kRightClickMsg, wParam, 0);
        return 0;
    case kLeftClickMsg:
    case kDoubleClickMsg:
    case kRightClickMsg:
        if (s_inHandler) {
            HWND popup = GetLastActivePopup(m_hWnd);
            if (popup)
                SetForegroundWindow(popup);
            return 0;
        }
        s_inHandler = true;
        if (msg == kLeftClickMsg)
            OnLeftClick();
        else if (msg == kDoubleClickMsg)
            OnDoubleClick();
        else
            OnRightClick();
        s_inHandler = false;
        return 0;
    case WM_CREATE:
        OnCreateWnd();
        break;
    case WM_DESTROY:
        OnDestroyWnd();
        break;
    case WM_CLOSE:
        DestroyWindow(m_hWnd);
        return 0;
    }
    return VmWnd::OnWndMessage(msg, wParam, lParam);
}

MyTB_Icon* MyTB_Icon::s_instance = nullptr;

MyTB_Icon::MyTB_Icon(HWND owner, UINT restoreCommand, UINT exitCommand)
    : m_owner(owner), m_restore(restoreCommand), m_exit(exitCommand)
{
}

bool MyTB_Icon::Show(HWND owner, UINT restoreCommand, UINT exitCommand)
{
    if (owner) {
        if (s_instance)
            return true;
        MyTB_Icon* icon = new MyTB_Icon(owner, restoreCommand, exitCommand);
        HICON image = (HICON)LoadImageA(GetLibModule(), MAKEINTRESOURCEA(IDI_LIB_PRODUCT),
                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED);
        ResStr tip(-IDS_LIB_PRODUCT_NAME);
        s_instance = icon;
        // The window stays even when the taskbar is not there yet: "TaskbarCreated" adds
        // the icon later.
        if (!icon->Start("PANOREL_TB_ICON", image, tip, true)) {
            s_instance = nullptr;
            delete icon;
            return false;
        }
        return true;
    }
    if (!s_instance)
        return true;
    MyTB_Icon* icon = s_instance;
    s_instance = nullptr;
    icon->ShowIcon(false);
    if (icon->m_hWnd)
        DestroyWindow(icon->m_hWnd);
    icon->Stop();
    delete icon;
    return true;
}

bool MyTB_Icon::IsShown()
{
    return s_instance != nullptr;
}

HWND MyTB_Icon::GetIconWindow()
{
    return s_instance ? s_instance->m_hWnd : NULL;
}

WORD MyTB_Icon::GetProdID()
{
    return GetProductInfo().code;
}

void MyTB_Icon::OnLeftClick()
{
    PostCommand(m_owner, m_restore);
}

void MyTB_Icon::OnDoubleClick()
{
    PostCommand(m_owner, m_restore);
}

void MyTB_Icon::OnRightClick()
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    ResStr open(-IDS_LIB_TRAY_OPEN), exit(-IDS_LIB_TRAY_EXIT);
    AppendMenuA(menu, MF_STRING, 1, open);
    AppendMenuA(menu, MF_STRING, 2, exit);
    SetMenuDefaultItem(menu, 1, FALSE);
    POINT pt;
    GetCursorPos(&pt);
    // The menu closes when clicked elsewhere only while its window is in front.
    SetForegroundWindow(m_hWnd);
    int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, pt.x, pt.y,
                                0, m_hWnd, NULL);
    PostMessageA(m_hWnd, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (chosen == 1)
        PostCommand(m_owner, m_restore);
    else if (chosen == 2)
        PostCommand(m_owner, m_exit);
}

void MyTB_Icon::OnPostNcDestroy()
{
    // The window went on its own (WM_CLOSE, the exit request): the instance goes with it.
    if (s_instance == this) {
        s_instance = nullptr;
        m_hWnd = NULL;
        Stop();
        delete this;
        return;
    }
    VmWnd::OnPostNcDestroy();
}
