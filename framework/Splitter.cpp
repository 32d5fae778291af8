#include "Splitter.h"
#include <windowsx.h>

namespace fw {

bool Splitter::Create(HWND parent, UINT id)
{
    return CreateEx(0, "PanorelSplitter", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0,
                    parent, (HMENU)(UINT_PTR)id);
}

void Splitter::SetPane(int index, HWND pane)
{
    if (index != 0 && index != 1)
        return;
    m_pane[index] = pane;
    if (pane && GetParent(pane) != m_hWnd)
        SetParent(pane, m_hWnd);
    Layout();
}

void Splitter::SetOrientation(bool sideBySide)
{
    m_sideBySide = sideBySide;
    Layout();
}

void Splitter::SetFirstSize(int size)
{
    m_firstSize = size < m_minSize ? m_minSize : size;
    Layout();
}

void Splitter::ShowSingle(int pane)
{
    m_single = pane == 0 || pane == 1 ? pane : -1;
    Layout();
}

int Splitter::Extent() const
{
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    return m_sideBySide ? rc.right : rc.bottom;
}

void Splitter::Layout()
{
    if (!m_hWnd)
        return;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    if (m_single >= 0) {
        for (int i = 0; i < 2; i++) {
            if (!m_pane[i])
                continue;
            if (i == m_single) {
                MoveWindow(m_pane[i], 0, 0, rc.right, rc.bottom, TRUE);
                ShowWindow(m_pane[i], SW_SHOWNA);
            } else {
                ShowWindow(m_pane[i], SW_HIDE);
            }
        }
        return;
    }
    int extent = m_sideBySide ? rc.right : rc.bottom;
    int first = m_firstSize;
    // Keep the second pane visible too while the window is large enough.
    if (first > extent - kBar - m_minSize)
        first = extent - kBar - m_minSize;
    if (first < m_minSize)
        first = m_minSize;
    int second = extent - first - kBar;
    if (second < 0)
        second = 0;
    if (m_sideBySide) {
        if (m_pane[0])
            MoveWindow(m_pane[0], 0, 0, first, rc.bottom, TRUE);
        if (m_pane[1])
            MoveWindow(m_pane[1], first + kBar, 0, second, rc.bottom, TRUE);
    } else {
        if (m_pane[0])
            MoveWindow(m_pane[0], 0, 0, rc.right, first, TRUE);
        if (m_pane[1])
            MoveWindow(m_pane[1], 0, first + kBar, rc.right, second, TRUE);
    }
    for (HWND p : m_pane)
        if (p)
            ShowWindow(p, SW_SHOWNA);
    InvalidateRect(m_hWnd, NULL, TRUE);
}

LRESULT Splitter::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SIZE:
        Layout();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && m_single < 0) {
            SetCursor(LoadCursor(NULL, m_sideBySide ? IDC_SIZEWE : IDC_SIZENS));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        if (m_single < 0 && (!canTrack || canTrack())) {
            m_tracking = true;
            // The bar moves with the mouse from where it was grabbed.
            m_grabOffset = (m_sideBySide ? GET_X_LPARAM(lp) : GET_Y_LPARAM(lp)) - m_firstSize;
            SetCapture(m_hWnd);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (m_tracking) {
            int pos = (m_sideBySide ? GET_X_LPARAM(lp) : GET_Y_LPARAM(lp)) - m_grabOffset;
            int max = Extent() - kBar - m_minSize;
            if (pos > max)
                pos = max;
            if (pos < m_minSize)
                pos = m_minSize;
            m_firstSize = pos;
            Layout();
        }
        return 0;
    case WM_LBUTTONUP:
        if (m_tracking) {
            m_tracking = false;
            ReleaseCapture();
            if (onTracked && m_firstSize > 0)
                onTracked(m_firstSize);
        }
        return 0;
    case WM_CAPTURECHANGED:
        m_tracking = false;
        break;
    case WM_COMMAND:
    case WM_NOTIFY:
        // The panes' own messages go on to the frame.
        return SendMessageA(GetParent(m_hWnd), msg, wp, lp);
    }
    return Wnd::WindowProc(msg, wp, lp);
}

}  // namespace fw
