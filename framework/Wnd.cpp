#include "Wnd.h"
#include <commctrl.h>
#include <exception>

namespace fw {

void CmdUI::Enable(bool on)
{
    m_handled = true;
    if (m_menu)
        EnableMenuItem(m_menu, m_index, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
    if (m_toolbar)
        SendMessageA(m_toolbar, TB_ENABLEBUTTON, m_nID, MAKELONG(on ? TRUE : FALSE, 0));
}

void CmdUI::SetCheck(int check)
{
    m_handled = true;
    if (m_menu)
        CheckMenuItem(m_menu, m_index, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
    if (m_toolbar)
        SendMessageA(m_toolbar, TB_CHECKBUTTON, m_nID, MAKELONG(check ? TRUE : FALSE, 0));
}

void CmdUI::SetRadio(bool on)
{
    m_handled = true;
    if (m_menu)
        CheckMenuRadioItem(m_menu, m_index, m_index, on ? m_index : (UINT)-1, MF_BYPOSITION);
    if (m_toolbar)
        SendMessageA(m_toolbar, TB_CHECKBUTTON, m_nID, MAKELONG(on ? TRUE : FALSE, 0));
}

void CmdUI::SetText(const char* text)
{
    m_handled = true;
    if (m_menu) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_STRING;
        mii.dwTypeData = const_cast<char*>(text);
        SetMenuItemInfoA(m_menu, m_index, TRUE, &mii);
    }
}

Wnd::~Wnd()
{
    if (m_hWnd && IsWindow(m_hWnd)) {
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
        ::DestroyWindow(m_hWnd);
    }
}

Wnd* Wnd::FromHandle(HWND wnd)
{
    // Other windows keep their own things in the user-data word (the shell's view keeps its
    // object there): only a window that runs our procedure holds a Wnd.
    if (!wnd || reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) != StaticWndProc)
        return nullptr;
    return reinterpret_cast<Wnd*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
}

bool Wnd::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                   int y, int cx, int cy, HWND parent, HMENU menu, HICON icon)
{
    HINSTANCE inst = GetModuleHandleA(NULL);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExA(inst, className, &wc)) {
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = StaticWndProc;
        wc.hInstance = inst;
        wc.hIcon = icon;
        wc.hIconSm = icon;
        wc.hCursor = LoadCursor(NULL, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = className;
        if (!RegisterClassExA(&wc))
            return false;
    }
    HWND wnd = CreateWindowExA(exStyle, className, title, style, x, y, cx, cy, parent, menu, inst, this);
    return wnd != NULL;
}

bool Wnd::DestroyWindow()
{
    return m_hWnd && ::DestroyWindow(m_hWnd);
}

bool Wnd::OnCmdMsg(UINT, int, CmdUI*)
{
    return false;
}

bool Wnd::PreTranslateMessage(MSG*)
{
    return false;
}

LRESULT Wnd::Default(UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcA(m_hWnd, msg, wp, lp);
}

LRESULT Wnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND && OnCmdMsg(LOWORD(wp), HIWORD(wp), nullptr))
        return 0;
    return Default(msg, wp, lp);
}

LRESULT CALLBACK Wnd::StaticWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    // The window runs this procedure: its user-data word is ours.
    Wnd* self = reinterpret_cast<Wnd*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<Wnd*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        if (self) {
            self->m_hWnd = wnd;
            SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self)
        return DefWindowProcA(wnd, msg, wp, lp);
    LRESULT result = 0;
    try {
        result = self->WindowProc(msg, wp, lp);
    } catch (...) {
        // Never let an exception unwind into the system's dispatcher.
        result = 0;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
        self->m_hWnd = NULL;
        self->PostNcDestroy();
    }
    return result;
}

}  // namespace fw
