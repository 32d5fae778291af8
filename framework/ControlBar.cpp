#include "ControlBar.h"
#include "FrameWnd.h"
#include <commctrl.h>
#include <algorithm>
#include <string.h>

namespace fw {

static const char kBarClass[] = "PanorelControlBar";

bool ControlBar::CreateBar(FrameWnd* frame, UINT id, const char* title, DockSide side, UINT allowed)
{
    if (!frame || !frame->m_hWnd)
        return false;
    m_frame = frame;
    m_nID = id;
    m_side = side;
    m_allowed = allowed | (1u << side);
    if (!CreateEx(0, kBarClass, title, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                  0, 0, frame->m_hWnd, (HMENU)(UINT_PTR)id))
        return false;
    frame->DockControlBar(this, side);
    return true;
}

LRESULT ControlBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SIZE: {
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        if (m_gripper) {
            if (IsHorz())
                rc.left += kGripper;
            else
                rc.top += kGripper;
        }
        LayoutContent(rc);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        if (m_gripper) {
            RECT rc;
            GetClientRect(m_hWnd, &rc);
            RECT g = rc;
            if (IsHorz()) {
                g.left += 2;
                g.right = g.left + 3;
                g.top += 2;
                g.bottom -= 2;
            } else {
                g.top += 2;
                g.bottom = g.top + 3;
                g.left += 2;
                g.right -= 2;
            }
            DrawEdge(dc, &g, BDR_RAISEDINNER, BF_RECT);
        }
        EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_SETCURSOR:
        if (m_gripper && LOWORD(lp) == HTCLIENT) {
            SetCursor(LoadCursor(NULL, IDC_SIZEALL));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        // Dragging the gripper moves the bar to the frame side nearest the drop point.
        if (m_gripper && m_frame && m_frame->CanMoveBar(this)) {
            m_dragging = true;
            SetCapture(m_hWnd);
        }
        return 0;
    case WM_LBUTTONUP:
        if (m_dragging) {
            m_dragging = false;
            ReleaseCapture();
            POINT pt;
            GetCursorPos(&pt);
            ScreenToClient(m_frame->m_hWnd, &pt);
            RECT rc;
            GetClientRect(m_frame->m_hWnd, &rc);
            int dist[4] = {pt.y - rc.top, rc.bottom - pt.y, pt.x - rc.left, rc.right - pt.x};
            int best = -1;
            for (int s = 0; s < 4; s++)
                if ((m_allowed & (1u << s)) && (best < 0 || dist[s] < dist[best]))
                    best = s;
            if (best >= 0 && best != m_side)
                m_frame->DockControlBar(this, best);
        }
        return 0;
    case WM_CAPTURECHANGED:
        m_dragging = false;
        break;
    case WM_COMMAND:
    case WM_NOTIFY:
        // Buttons and controls of the bar speak to the frame.
        if (m_frame && m_frame->m_hWnd)
            return SendMessageA(m_frame->m_hWnd, msg, wp, lp);
        break;
    }
    return Wnd::WindowProc(msg, wp, lp);
}

bool ToolBar::Create(FrameWnd* frame, UINT id, const char* title, DockSide side, HINSTANCE inst,
                     UINT bitmapId, int imageCount, const Button* buttons, int count)
{
    if (!CreateBar(frame, id, title, side))
        return false;
    m_toolbar = CreateControl(m_hWnd, id, title, inst, bitmapId, imageCount, buttons, count);
    if (!m_toolbar)
        return false;
    frame->RecalcLayout();
    return true;
}

HWND ToolBar::CreateControl(HWND parent, UINT id, const char* title, HINSTANCE inst, UINT bitmapId,
                            int imageCount, const Button* buttons, int count)
{
    HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, title,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                       CCS_NORESIZE | CCS_NOPARENTALIGN,
                                   0, 0, 0, 0, parent, (HMENU)(UINT_PTR)id, NULL, NULL);
    if (!toolbar)
        return NULL;
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    if (bitmapId && imageCount > 0) {
        TBADDBITMAP ab = {inst, bitmapId};
        SendMessageA(toolbar, TB_ADDBITMAP, imageCount, (LPARAM)&ab);
    }
    AddButtons(toolbar, buttons, count);
    return toolbar;
}

bool ToolBar::SetButtons(const Button* buttons, int count)
{
    while (SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0) > 0)
        SendMessageA(m_toolbar, TB_DELETEBUTTON, 0, 0);
    AddButtons(m_toolbar, buttons, count);
    return true;
}

void ToolBar::AddButtons(HWND toolbar, const Button* buttons, int count)
{
    for (int i = 0; i < count; i++) {
        TBBUTTON b = {};
        b.idCommand = (int)buttons[i].id;
        b.iBitmap = buttons[i].id ? buttons[i].image : 6;
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = buttons[i].id ? (BYTE)(TBSTYLE_BUTTON | buttons[i].style) : (BYTE)TBSTYLE_SEP;
        SendMessageA(toolbar, TB_ADDBUTTONSA, 1, (LPARAM)&b);
    }
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
}

int ToolBar::CalcThickness(bool horz)
{
    SIZE size = {};
    if (m_toolbar) {
        DWORD bs = (DWORD)SendMessageA(m_toolbar, TB_GETBUTTONSIZE, 0, 0);
        size.cx = LOWORD(bs);
        size.cy = HIWORD(bs);
    }
    return (horz ? size.cy : size.cx) + 4;
}

void ToolBar::LayoutContent(const RECT& rc)
{
    if (!m_toolbar)
        return;
    // Vertical bars wrap every button onto its own row.
    LONG style = GetWindowLongA(m_toolbar, GWL_STYLE);
    LONG want = IsHorz() ? (style & ~TBSTYLE_WRAPABLE) : (style | TBSTYLE_WRAPABLE);
    if (want != style)
        SetWindowLongA(m_toolbar, GWL_STYLE, want);
    if (!IsHorz()) {
        int n = (int)SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0);
        for (int i = 0; i < n; i++) {
            TBBUTTON b;
            if (SendMessageA(m_toolbar, TB_GETBUTTON, i, (LPARAM)&b)) {
                TBBUTTONINFOA info = {};
                info.cbSize = sizeof(info);
                info.dwMask = TBIF_STATE | TBIF_BYINDEX;
                info.fsState = b.fsState | TBSTATE_WRAP;
                SendMessageA(m_toolbar, TB_SETBUTTONINFOA, i, (LPARAM)&info);
            }
        }
    }
    MoveWindow(m_toolbar, rc.left, rc.top + 1, rc.right - rc.left, rc.bottom - rc.top - 1, TRUE);
}

void ToolBar::UpdateItems(Wnd* target)
{
    int n = (int)SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0);
    for (int i = 0; i < n; i++) {
        TBBUTTON b;
        if (!SendMessageA(m_toolbar, TB_GETBUTTON, i, (LPARAM)&b) || (b.fsStyle & TBSTYLE_SEP))
            continue;
        CmdUI ui;
        ui.m_nID = b.idCommand;
        ui.m_toolbar = m_toolbar;
        target->OnCmdMsg(b.idCommand, 0, &ui);
    }
}

bool SetCommandTip(NMHDR* header)
{
    if (header->code != TTN_GETDISPINFOA)
        return false;
    // The text outlives the notification: the tooltip reads it after we return. One buffer
    // serves every bar, as only one tooltip shows at a time.
    static char tip[256];
    char text[256];
    int n = LoadStringA(GetModuleHandleA(NULL), (UINT)header->idFrom, text, sizeof(text));
    const char* from = "";
    if (n > 0) {
        char* nl = strchr(text, '\n');
        from = nl ? nl + 1 : text;
    }
    lstrcpynA(tip, from, sizeof(tip));
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    info->lpszText = tip;
    return true;
}

LRESULT ToolBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NOTIFY) {
        NMHDR* hdr = reinterpret_cast<NMHDR*>(lp);
        if (SetCommandTip(hdr))
            return 0;
    }
    return ControlBar::WindowProc(msg, wp, lp);
}

bool StatusBar::Create(FrameWnd* frame, UINT id, DockSide side)
{
    m_gripper = false;
    if (!CreateBar(frame, id, "Status bar", side, (1u << DockTop) | (1u << DockBottom)))
        return false;
    m_status = CreateWindowExA(0, STATUSCLASSNAMEA, "",
                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | CCS_NORESIZE | CCS_NOPARENTALIGN |
                                   CCS_NODIVIDER,
                               0, 0, 0, 0, m_hWnd, (HMENU)(UINT_PTR)id, NULL, NULL);
    frame->RecalcLayout();
    return m_status != NULL;
}

bool StatusBar::SetIndicators(const int* widths, int count)
{
    m_count = std::min(count, 15);
    for (int i = 0; i < m_count; i++)
        m_widths[i] = widths[i];
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    LayoutContent(rc);
    return true;
}

void StatusBar::SetPaneText(int pane, const char* text, UINT type)
{
    if (m_status)
        SendMessageA(m_status, SB_SETTEXTA, (WPARAM)pane | type, (LPARAM)(text ? text : ""));
}

UINT StatusBar::GetPaneType(int pane) const
{
    return m_status ? HIWORD(SendMessageA(m_status, SB_GETTEXTLENGTHA, pane, 0)) : 0;
}

std::string StatusBar::GetPaneText(int pane) const
{
    char text[512] = "";
    if (m_status) {
        DWORD len = LOWORD(SendMessageA(m_status, SB_GETTEXTLENGTHA, pane, 0));
        if (len < sizeof(text))
            SendMessageA(m_status, SB_GETTEXTA, pane, (LPARAM)text);
    }
    return text;
}

int StatusBar::CalcThickness(bool)
{
    HDC dc = GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);
    return std::max((int)tm.tmHeight + 8, m_minHeight);
}

void StatusBar::LayoutContent(const RECT& rc)
{
    if (!m_status)
        return;
    MoveWindow(m_status, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    // Parts are given by their right edges; the indicators sit at the right end.
    int parts[16];
    int right = rc.right - rc.left;
    parts[m_count] = -1;
    for (int i = m_count - 1; i >= 0; i--) {
        right -= m_widths[i];
        parts[i] = right > 0 ? right : 0;
    }
    SendMessageA(m_status, SB_SETPARTS, m_count + 1, (LPARAM)parts);
    if (onLayout)
        onLayout();
}

}  // namespace fw
