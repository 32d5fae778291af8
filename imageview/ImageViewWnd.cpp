#include "imageview/ImageViewWnd.h"
#include "imageview/ImageView.h"
#include "imageview/ImageViewRes.h"
#include "app/MainFrame.h"
#include "shell/IdList.h"
#include "shell/Pidl.h"
#include "ui/IconMenu.h"
#include "ui/MsgUtil.h"
#include "ui/WaitCursor.h"
#include "util/PathUtil.h"
#include "util/ResStr.h"
#include "framework/ControlBar.h"
#include <commctrl.h>
#include <stdio.h>
#include <vector>

namespace {

ImageViewWnd* g_view = nullptr;
const UINT WM_IV_REFRESH = WM_APP + 0x3A0;
const UINT_PTR TIMER_SHOW = 1, TIMER_POINTER = 2;

struct ToolButton {
    int bitmap;
    int id;
};
// Images of the common controls' standard set; -1 a separator.
// Pictures are indexes in the window's own strip (bitmap IDB_IMAGEVIEW_TOOLBAR).
const ToolButton kButtons[] = {
    {0, ID_IV_RUN},  {1, ID_IV_PAUSE}, {2, ID_IV_PREVIOUS}, {3, ID_IV_NEXT},
    {4, ID_IV_STOP}, {-1, 0},          {5, ID_IV_FULLSCREEN}, {-1, 0},
    {6, ID_IV_OPTIONS}, {7, ID_IV_HELP},
};
const COLORREF kToolbarMask = RGB(255, 0, 255);

// A disabled look for a menu picture: each pixel's grey level, lightened, on the same mask.
HICON GreyIcon(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return NULL;
    HICON result = NULL;
    BITMAP bm = {};
    if (info.hbmColor && GetObjectA(info.hbmColor, sizeof(bm), &bm) && bm.bmWidth > 0 &&
        bm.bmHeight > 0) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = bm.bmWidth;
        bi.bmiHeader.biHeight = -bm.bmHeight;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        std::vector<DWORD> px((size_t)bm.bmWidth * bm.bmHeight);
        std::vector<DWORD> mask(px.size(), 0);
        HDC dc = GetDC(NULL);
        if (GetDIBits(dc, info.hbmColor, 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS) &&
            (!info.hbmMask ||
             GetDIBits(dc, info.hbmMask, 0, bm.bmHeight, mask.data(), &bi, DIB_RGB_COLORS))) {
            for (size_t i = 0; i < px.size(); i++) {
                DWORD c = px[i];
                if (mask[i] & 0xFFFFFF)
                    continue;   // transparent: the colour stays black so the screen shows
                DWORD r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
                DWORD y = (r * 30 + g * 59 + b * 11) / 100;
                y = 128 + y / 2;
                px[i] = (c & 0xFF000000) | (y << 16) | (y << 8) | y;
            }
            SetDIBits(dc, info.hbmColor, 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS);
            result = CreateIconIndirect(&info);
        }
        ReleaseDC(NULL, dc);
    }
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return result;
}

HWND ActiveList(CMainFrame& f)
{
    ViewFrame* p = f.ActivePanel();
    return p ? p->GetListView() : NULL;
}

int CurrentIndex(HWND list)
{
    int i = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    if (i < 0)
        i = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    return i;
}

}   // namespace

bool ImageViewWnd::Create()
{
    SetResizable(ResizeBoth, "DlgImgView");
    return Modeless(IDD_IMAGEVIEW, NULL, NULL) != NULL;
}

BOOL ImageViewWnd::OnInitDialog()
{
    HINSTANCE module = GetModuleHandleA(NULL);
    m_accel = LoadAcceleratorsA(module, MAKEINTRESOURCEA(IDR_IMAGEVIEW_ACCEL));
    SetIcon(IDI_IMAGEVIEW);
    // The program's loop does not know this window: its keys are translated by a hook.
    m_hook = SetWindowsHookExA(WH_GETMESSAGE, KeyHook, NULL, GetCurrentThreadId());

    m_toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT |
                                TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER, 0, 0, 0, 0, m_hWnd,
                                (HMENU)(INT_PTR)IDC_IV_TOOLBAR, module, NULL);
    SendMessageA(m_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Our own list with a colour mask, so the menu can take masked icons from it too.
    m_images = ImageList_Create(16, 15, ILC_COLOR24 | ILC_MASK, 8, 0);
    if (HBITMAP strip = (HBITMAP)LoadImageA(module, MAKEINTRESOURCEA(IDB_IMAGEVIEW_TOOLBAR),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)) {
        ImageList_AddMasked(m_images, strip, kToolbarMask);
        DeleteObject(strip);
    }
    SendMessageA(m_toolbar, TB_SETIMAGELIST, 0, (LPARAM)m_images);
    std::vector<TBBUTTON> buttons;
    for (const ToolButton& b : kButtons) {
        TBBUTTON t = {};
        t.iBitmap = b.bitmap < 0 ? 6 : b.bitmap;   // a separator's width
        t.idCommand = b.id;
        t.fsState = TBSTATE_ENABLED;
        t.fsStyle = b.id ? (b.id == ID_IV_FULLSCREEN ? BTNS_CHECK : BTNS_BUTTON) : BTNS_SEP;
        buttons.push_back(t);
    }
    SendMessageA(m_toolbar, TB_ADDBUTTONSA, buttons.size(), (LPARAM)buttons.data());
    SendMessageA(m_toolbar, TB_AUTOSIZE, 0, 0);
    m_status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                               0, 0, 0, m_hWnd, (HMENU)(INT_PTR)IDC_IV_STATUS, module, NULL);
    SIZE tb = {};
    SendMessageA(m_toolbar, TB_GETMAXSIZE, 0, (LPARAM)&tb);
    RECT wr, cr;
    GetWindowRect(m_hWnd, &wr);
    GetClientRect(m_hWnd, &cr);
    int need = tb.cx + 12 + (wr.right - wr.left - cr.right);
    if (wr.right - wr.left < need)
        SetWindowPos(m_hWnd, NULL, 0, 0, need, wr.bottom - wr.top, SWP_NOMOVE | SWP_NOZORDER);
    OnResize(0, 0);
    SetWindowTextA(m_hWnd, ResStr(IDS_IV_TITLE));
    return FALSE;
}

void ImageViewWnd::OnResize(int, int)
{
    if (!m_toolbar)
        return;
    RECT cr;
    GetClientRect(m_hWnd, &cr);
    HWND area = GetDlgItem(m_hWnd, IDC_IV_PICTURE);
    if (m_fullScreen) {
        MoveWindow(area, 0, 0, cr.right, cr.bottom, FALSE);
    } else {
        SendMessageA(m_toolbar, TB_AUTOSIZE, 0, 0);
        SendMessageA(m_status, WM_SIZE, 0, 0);
        RECT tr, sr;
        GetWindowRect(m_toolbar, &tr);
        GetWindowRect(m_status, &sr);
        int top = tr.bottom - tr.top, bottom = sr.bottom - sr.top;
        MoveWindow(area, 0, top, cr.right, cr.bottom - top - bottom > 0 ? cr.bottom - top - bottom : 0,
                   FALSE);
    }
    SetStatus();
    InvalidateRect(m_hWnd, NULL, TRUE);
}

RECT ImageViewWnd::PictureRect() const
{
    RECT r;
    GetWindowRect(GetDlgItem(m_hWnd, IDC_IV_PICTURE), &r);
    MapWindowPoints(NULL, m_hWnd, (POINT*)&r, 2);
    return r;
}

void ImageViewWnd::SetStatus()
{
    if (!m_status)
        return;
    char size[64] = "";
    if (m_loaded)
        snprintf(size, sizeof(size), "%lu x %lu", (unsigned long)m_size.cx, (unsigned long)m_size.cy);
    const char* first = !m_path.empty() ? m_path.c_str() : "";
    // Panes grow to fit their text.
    HDC dc = GetDC(m_status);
    HFONT old = (HFONT)SelectObject(dc, (HFONT)SendMessageA(m_status, WM_GETFONT, 0, 0));
    SIZE sz = {};
    GetTextExtentPoint32A(dc, size, lstrlenA(size), &sz);
    SelectObject(dc, old);
    ReleaseDC(m_status, dc);
    RECT cr;
    GetClientRect(m_hWnd, &cr);
    int parts[2] = {cr.right - sz.cx - 40 > 0 ? (int)(cr.right - sz.cx - 40) : 0, -1};
    SendMessageA(m_status, SB_SETPARTS, 2, (LPARAM)parts);
    SendMessageA(m_status, SB_SETTEXTA, 0, (LPARAM)first);
    SendMessageA(m_status, SB_SETTEXTA, 1, (LPARAM)size);
}

bool ImageViewWnd::CanMove(bool forward) const
{
    HWND list = ActiveList(m_frame);
    if (!list)
        return false;
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    int i = CurrentIndex(list);
    if (count <= 0)
        return false;
    if (i < 0)
        return forward;
    return forward ? i < count - 1 : i > 0;
}

bool ImageViewWnd::SelectIndex(int index)
{
    HWND list = ActiveList(m_frame);
    int count = list ? (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) : 0;
    if (index < 0 || index >= count)
        return false;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&item);
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, index, (LPARAM)&item);
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, index);
    SendMessageA(list, LVM_ENSUREVISIBLE, index, FALSE);
    RequestRefresh();
    return true;
}

void ImageViewWnd::Move(bool forward)
{
    m_forward = forward;
    m_backward = !forward;
    if (CanMove(forward)) {
        HWND list = ActiveList(m_frame);
        int i = CurrentIndex(list);
        SelectIndex(forward ? i + 1 : i - 1);
    } else if (m_running) {
        PostCommand(m_hWnd, ID_IV_STOP);
    }
}

void ImageViewWnd::RequestRefresh()
{
    if (m_refreshPending || !m_hWnd)
        return;
    m_refreshPending = PostMessageA(m_hWnd, WM_IV_REFRESH, 0, 0) != 0;
}

void ImageViewWnd::Refresh()
{
    m_refreshPending = false;
    ViewFrame* panel = m_frame.ActivePanel();
    ID_List selection;
    int count = 0;
    char path[MAX_PATH] = "";
    if (panel && panel->GetSelection(selection)) {
        count = selection.GetCount();
        if (count == 1) {
            const ITEMIDLIST* item = selection.GetFirstPidl();
            PIDL full(selection.GetFolderPidl());
            if (!(item && full.AppendAll(item) && GetPathOf(full, path, sizeof(path))))
                path[0] = 0;
        }
    }
    ShowItem(path, count);
}

void ImageViewWnd::ShowItem(const char* path, int count)
{
    if (path && count == 0 && m_loaded)
        return;   // a click on an empty part of the panel keeps the picture
    if (!path && m_loaded) {
        // The show ended: the last picture stays.
        SendMessageA(m_status, SB_SETTEXTA, 0, (LPARAM)ResStr(IDS_IV_THE_END).GetStr());
        UpdateCommands();
        return;
    }
    VmWaitCursor wait;
    m_loaded = false;
    int message = 0;
    if (!path) {
        message = IDS_IV_THE_END;
    } else if (count == 0) {
        message = IDS_IV_NO_FILE;
    } else if (count >= 2) {
        message = IDS_IV_MULTIPLE;
    } else {
        // A name with a wildcard could name some other file than the selected one.
        bool ok = path[0] && !strpbrk(path, "?*") && m_picture.Load(path);
        if (!ok) {
            m_picture.Release();
            bool forward = m_forward, backward = m_backward;
            if (forward || backward) {
                m_forward = m_backward = false;
                if (CanMove(forward)) {
                    PostCommand(m_hWnd, forward ? ID_IV_STEP_FORWARD : ID_IV_STEP_BACK);
                    return;
                }
            }
            if (m_running) {
                message = IDS_IV_THE_END;
                PostCommand(m_hWnd, ID_IV_STOP);
            } else {
                message = IDS_IV_NO_PREVIEW;
            }
        }
    }
    if (message) {
        m_message = ResStr(message).GetStr();
        if (message == IDS_IV_NO_PREVIEW && m_fullScreen && path)
            m_message += path;
        m_path.clear();
        SetWindowTextA(m_hWnd, ResStr(IDS_IV_TITLE));
    } else {
        m_forward = m_backward = false;
        m_message.clear();
        m_path = path;
        SetWindowTextA(m_hWnd, FindNameExt(path));
        HDC dc = GetDC(m_hWnd);
        m_size = m_picture.GetImageSize(dc);
        ReleaseDC(m_hWnd, dc);
        m_loaded = true;
    }
    SetStatus();
    InvalidateRect(m_hWnd, NULL, TRUE);
    UpdateCommands();
}

void ImageViewWnd::Paint(HDC dc)
{
    RECT area = PictureRect();
    if (m_loaded) {
        RECT fit = area;
        m_picture.GetBestFitRect(m_hWnd, fit, dc, false);
        m_picture.Render(dc, fit.left, fit.top, fit.right, fit.bottom, &area);
    } else if (!m_message.empty()) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, m_fullScreen ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNTEXT));
        HFONT old = (HFONT)SelectObject(dc, (HFONT)SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
        DrawTextA(dc, m_message.c_str(), -1, &area,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
        SelectObject(dc, old);
    }
}

bool ImageViewWnd::IsEnabled(int id) const
{
    switch (id) {
    case ID_IV_RUN: return !m_running;
    case ID_IV_PAUSE:
    case ID_IV_STOP: return m_running;
    case ID_IV_PREVIOUS:
    case ID_IV_FIRST:
    case ID_IV_STEP_BACK: return CanMove(false);
    case ID_IV_NEXT:
    case ID_IV_LAST:
    case ID_IV_STEP_FORWARD: return CanMove(true);
    default: return true;
    }
}

void ImageViewWnd::UpdateCommands()
{
    for (const ToolButton& b : kButtons)
        if (b.id)
            SendMessageA(m_toolbar, TB_ENABLEBUTTON, b.id, IsEnabled(b.id));
    SendMessageA(m_toolbar, TB_CHECKBUTTON, ID_IV_FULLSCREEN, m_fullScreen);
}

void ImageViewWnd::Run()
{
    if (!CanMove(true))
        SelectIndex(0);
    if (m_fullScreen) {
        PostCommand(m_hWnd, ID_IV_STEP_FORWARD);
    } else if (m_frame.Options().IsOn(FrameOpts::FO_IMAGE_FULLSCREEN)) {
        EnterFullScreen();
        if (!m_loaded)
            PostCommand(m_hWnd, ID_IV_STEP_FORWARD);
    } else {
        PostCommand(m_hWnd, ID_IV_STEP_FORWARD);
    }
    m_running = true;
    DWORD delay = m_frame.Options().imgRunDelay;
    if (delay < 1 || delay > 100)
        delay = 5;
    m_timer1 = SetTimer(m_hWnd, TIMER_SHOW, delay * 1000, NULL) != 0;
    UpdateCommands();
}

void ImageViewWnd::Stop()
{
    KillTimer(m_hWnd, TIMER_SHOW);
    m_timer1 = false;
    bool was = m_running;
    m_running = false;
    if (m_fullScreen && m_frame.Options().IsOn(FrameOpts::FO_DEFAULT))
        LeaveFullScreen();
    if (was)
        ShowItem(nullptr, 0);
    UpdateCommands();
}

void ImageViewWnd::ShowPointer(bool show)
{
    if (show && m_pointerHidden) {
        ShowCursor(TRUE);
        m_pointerHidden = false;
    } else if (!show && !m_pointerHidden) {
        ShowCursor(FALSE);
        m_pointerHidden = true;
    }
}

void ImageViewWnd::EnterFullScreen()
{
    if (m_fullScreen)
        return;
    GetCursorPos(&m_lastMouse);
    ShowPointer(false);
    ShowWindow(m_toolbar, SW_HIDE);
    ShowWindow(m_status, SW_HIDE);
    GetWindowRect(m_hWnd, &m_savedRect);
    m_fullScreen = true;
    // The client area, and with it the picture area, covers the whole screen; the frame lies
    // outside it.
    RECT r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    AdjustWindowRectEx(&r, (DWORD)GetWindowLongA(m_hWnd, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongA(m_hWnd, GWL_EXSTYLE));
    SetWindowPos(m_hWnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_FRAMECHANGED);
    OnResize(0, 0);
    UpdateCommands();
    RedrawWindow(m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ImageViewWnd::LeaveFullScreen()
{
    if (!m_fullScreen)
        return;
    if (m_timer1) {
        KillTimer(m_hWnd, TIMER_SHOW);
        m_timer1 = false;
    }
    KillTimer(m_hWnd, TIMER_POINTER);
    m_fullScreen = false;
    ShowWindow(m_toolbar, SW_SHOW);
    ShowWindow(m_status, SW_SHOW);
    SetWindowPos(m_hWnd, NULL, m_savedRect.left, m_savedRect.top,
                 m_savedRect.right - m_savedRect.left, m_savedRect.bottom - m_savedRect.top,
                 SWP_NOZORDER | SWP_FRAMECHANGED);
    OnResize(0, 0);
    UpdateCommands();
    RedrawWindow(m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    ShowPointer(true);
}

// The toolbar's picture of a command, greyed for a disabled item (the caller owns the icon).
HICON ImageViewWnd::CommandIcon(int id, bool enabled) const
{
    HIMAGELIST images = m_images;
    int index = -1;
    for (const ToolButton& b : kButtons)
        if (b.id == id)
            index = b.bitmap;
    if (!images || index < 0)
        return NULL;
    HICON icon = ImageList_GetIcon(images, index, ILD_NORMAL);
    if (!icon || enabled)
        return icon;
    HICON grey = GreyIcon(icon);
    DestroyIcon(icon);
    return grey;
}

void ImageViewWnd::ContextMenu(POINT at)
{
    KillTimer(m_hWnd, TIMER_POINTER);
    ShowPointer(true);
    m_menuOpen = true;
    for (;;) {
        IconMenu menu;
        menu.SetOwnsIcons(true);
        const int ids[] = {ID_IV_RUN, ID_IV_PAUSE, ID_IV_PREVIOUS, ID_IV_NEXT, ID_IV_STOP};
        for (int i = 0; i < 5; i++) {
            bool on = IsEnabled(ids[i]);
            menu.AppendItem(ids[i], ResStr(IDS_IV_MENU_RUN + i), CommandIcon(ids[i], on),
                            on ? 0 : MF_GRAYED);
        }
        menu.AppendSeparator();
        menu.AppendItem(ID_IV_FULLSCREEN, ResStr(IDS_IV_MENU_NORMAL),
                        CommandIcon(ID_IV_FULLSCREEN, true));
        menu.AppendSeparator();
        menu.AppendItem(ID_IV_OPTIONS, ResStr(IDS_IV_MENU_OPTIONS), CommandIcon(ID_IV_OPTIONS, true));
        int chosen = (int)menu.TrackEx(m_hWnd, at);
        if (!chosen || !IsEnabled(chosen))
            break;
        PostCommand(m_hWnd, (UINT)chosen);
        if (chosen != ID_IV_PAUSE && chosen != ID_IV_PREVIOUS && chosen != ID_IV_NEXT)
            break;
        // Step through the pictures from the menu: let the step happen, then open it again.
        MSG msg;
        for (int i = 0; i < 200 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); i++) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!m_hWnd)
            return;
    }
    m_menuOpen = false;
    if (m_fullScreen)
        ShowPointer(false);
}

namespace {

INT_PTR CALLBACK OptionsProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    FrameOpts* opts = reinterpret_cast<FrameOpts*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        opts = reinterpret_cast<FrameOpts*>(lp);
        CheckDlgButton(dlg, IDC_IV_FULLSCREEN_START, opts->IsOn(FrameOpts::FO_IMAGE_FULLSCREEN));
        CheckDlgButton(dlg, IDC_IV_NORMAL_ON_STOP, opts->IsOn(FrameOpts::FO_DEFAULT));
        SendDlgItemMessageA(dlg, IDC_IV_DELAY_SPIN, UDM_SETRANGE32, 1, 100);
        SendDlgItemMessageA(dlg, IDC_IV_DELAY_SPIN, UDM_SETPOS32, 0, (LPARAM)opts->imgRunDelay);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            BOOL ok = FALSE;
            UINT delay = GetDlgItemInt(dlg, IDC_IV_DELAY, &ok, FALSE);
            if (!ok || delay < 1 || delay > 100) {
                MessageBeep(MB_ICONHAND);
                SetFocus(GetDlgItem(dlg, IDC_IV_DELAY));
                return TRUE;
            }
            opts->Set(FrameOpts::FO_IMAGE_FULLSCREEN, IsDlgButtonChecked(dlg, IDC_IV_FULLSCREEN_START) == BST_CHECKED);
            opts->Set(FrameOpts::FO_DEFAULT, IsDlgButtonChecked(dlg, IDC_IV_NORMAL_ON_STOP) == BST_CHECKED);
            opts->imgRunDelay = delay;
            opts->Store();
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}   // namespace

void ImageViewWnd::Options()
{
    bool ticking = m_timer1;
    KillTimer(m_hWnd, TIMER_SHOW);
    m_timer1 = false;
    DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_IMAGEVIEW_OPTIONS), m_hWnd,
                    OptionsProc, (LPARAM)&m_frame.Options());
    if (ticking && m_hWnd) {
        DWORD delay = m_frame.Options().imgRunDelay;
        m_timer1 = SetTimer(m_hWnd, TIMER_SHOW, (delay < 1 ? 5 : delay) * 1000, NULL) != 0;
    }
}

bool ImageViewWnd::OnCommand(int id, int code, HWND)
{
    (void)code;
    switch (id) {
    case IDCANCEL:   // Esc comes as an accelerator
        OnCancel();
        return true;
    case ID_IV_RUN:
        if (!m_running)
            Run();
        return true;
    case ID_IV_PAUSE:
        if (!m_running)
            return true;
        if (m_timer1) {
            KillTimer(m_hWnd, TIMER_SHOW);
            m_timer1 = false;
        } else {
            DWORD delay = m_frame.Options().imgRunDelay;
            m_timer1 = SetTimer(m_hWnd, TIMER_SHOW, (delay < 1 ? 5 : delay) * 1000, NULL) != 0;
        }
        return true;
    case ID_IV_PREVIOUS:
    case ID_IV_NEXT:
        KillTimer(m_hWnd, TIMER_SHOW);
        m_timer1 = false;
        Move(id == ID_IV_NEXT);
        return true;
    case ID_IV_FIRST:
    case ID_IV_LAST: {
        KillTimer(m_hWnd, TIMER_SHOW);
        m_timer1 = false;
        HWND list = ActiveList(m_frame);
        int count = list ? (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) : 0;
        m_forward = id == ID_IV_FIRST;
        m_backward = !m_forward;
        SelectIndex(id == ID_IV_FIRST ? 0 : count - 1);
        return true;
    }
    case ID_IV_STEP_BACK:
    case ID_IV_STEP_FORWARD:
        Move(id == ID_IV_STEP_FORWARD);
        return true;
    case ID_IV_STOP:
        Stop();
        return true;
    case ID_IV_FULLSCREEN:
        if (m_fullScreen)
            LeaveFullScreen();
        else
            EnterFullScreen();
        return true;
    case ID_IV_OPTIONS:
        Options();
        return true;
    case ID_IV_HELP:
        if (m_fullScreen)
            LeaveFullScreen();
        OnHelp(IDD_IMAGEVIEW);
        return true;
    case ID_IV_DRAW:
        InvalidateRect(m_hWnd, NULL, FALSE);
        return true;
    }
    return false;
}

bool ImageViewWnd::OnNotify(int, NMHDR* header, LRESULT&)
{
    return fw::SetCommandTip(header);
}

INT_PTR ImageViewWnd::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_IV_REFRESH:
        Refresh();
        return TRUE;
    case WM_GETMINMAXINFO:
        if (m_fullScreen) {
            // The frame lies outside the screen: the window is larger than the screen.
            MINMAXINFO* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
            mmi->ptMaxTrackSize.x = mmi->ptMaxSize.x = GetSystemMetrics(SM_CXSCREEN) * 2;
            mmi->ptMaxTrackSize.y = mmi->ptMaxSize.y = GetSystemMetrics(SM_CYSCREEN) * 2;
            return TRUE;
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        Paint(dc);
        EndPaint(m_hWnd, &ps);
        return TRUE;
    }
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(m_hWnd, &r);
        FillRect((HDC)wParam, &r, m_fullScreen ? (HBRUSH)GetStockObject(BLACK_BRUSH)
                                               : GetSysColorBrush(COLOR_BTNFACE));
        return SetMsgResult(1);
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        if (m_fullScreen)
            return (INT_PTR)GetStockObject(BLACK_BRUSH);
        break;
    case WM_TIMER:
        if (wParam == TIMER_SHOW) {
            if (CanMove(true))
                Move(true);
            else
                Stop();
        } else if (wParam == TIMER_POINTER) {
            KillTimer(m_hWnd, TIMER_POINTER);
            if (m_fullScreen && !m_menuOpen)
                ShowPointer(false);
        }
        return TRUE;
    case WM_MOUSEMOVE:
        if (m_fullScreen && !m_menuOpen) {
            POINT p;
            GetCursorPos(&p);
            if (p.x != m_lastMouse.x || p.y != m_lastMouse.y) {
                m_lastMouse = p;
                ShowPointer(true);
                SetTimer(m_hWnd, TIMER_POINTER, 1000, NULL);
            }
        }
        break;
    case WM_RBUTTONUP:
        if (m_fullScreen) {
            POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
            ClientToScreen(m_hWnd, &p);
            ContextMenu(p);
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            m_frame.AddToolWindow(this);
            UpdateCommands();
        }
        break;
    }
    return VmDlg::OnDlgMessage(msg, wParam, lParam);
}

void ImageViewWnd::OnCancel()
{
    if (m_fullScreen) {
        PostCommand(m_hWnd, ID_IV_FULLSCREEN);
        return;
    }
    CloseDialog(IDCANCEL, 0);
}

void ImageViewWnd::CloseWithFrame()
{
    // The normal window's placement is the one kept.
    if (m_fullScreen)
        LeaveFullScreen();
    CloseDialog(IDCANCEL, 0);
}

void ImageViewWnd::OnPostNcDestroy()
{
    if (m_images)
        ImageList_Destroy(m_images);   // the toolbar went with the window
    m_frame.RemoveToolWindow(this);
    if (m_hook)
        UnhookWindowsHookEx(m_hook);
    ShowPointer(true);
    if (g_view == this)
        g_view = nullptr;
    delete this;
}

LRESULT CALLBACK ImageViewWnd::KeyHook(int code, WPARAM wp, LPARAM lp)
{
    MSG* msg = reinterpret_cast<MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE && g_view && g_view->m_hWnd && msg &&
        (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) &&
        (msg->hwnd == g_view->m_hWnd || IsChild(g_view->m_hWnd, msg->hwnd))) {
        HWND wnd = g_view->m_hWnd;
        HHOOK hook = g_view->m_hook;
        if (g_view->m_accel && TranslateAcceleratorA(wnd, g_view->m_accel, msg)) {
            msg->message = WM_NULL;
            return 0;
        }
        return CallNextHookEx(hook, code, wp, lp);
    }
    return CallNextHookEx(NULL, code, wp, lp);
}

// ---- the main window's side

void ImageView_Open(CMainFrame& frame)
{
    if (g_view) {
        HWND wnd = g_view->GetHWND();
        if (IsIconic(wnd))
            ShowWindow(wnd, SW_RESTORE);
        SetForegroundWindow(wnd);
        return;
    }
    g_view = new ImageViewWnd(frame);
    if (!g_view->Create()) {
        delete g_view;
        g_view = nullptr;
        return;
    }
    g_view->RequestRefresh();
}

bool ImageView_IsOpen()
{
    return g_view != nullptr;
}

HWND ImageView_Window()
{
    return g_view ? g_view->GetHWND() : NULL;
}

void ImageView_SelectionChanged(CMainFrame& frame, ViewFrame* panel)
{
    if (g_view && panel && panel == frame.ActivePanel())
        g_view->RequestRefresh();
}
