#include "commands/ViewQuiet.h"
#include <commctrl.h>

namespace {
const UINT_PTR kSubclassId = 0x5051;   // one quiet subclass per view at a time

// The view registers for change notices with a private message of the application range
// (Wine's and Windows' views alike); nothing else of that range reaches the view window while
// the shell copies, moves or deletes.
bool IsNotice(UINT msg)
{
    return msg >= WM_USER && msg < 0x8000;
}
}  // namespace

ViewQuiet::ViewQuiet(HWND view, HWND list)
    : m_view(view && IsWindow(view) ? view : NULL), m_list(list && IsWindow(list) ? list : NULL)
{
    if (m_list)
        SendMessageA(m_list, WM_SETREDRAW, FALSE, 0);
    if (m_view)
        m_hooked = SetWindowSubclass(m_view, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

ViewQuiet::~ViewQuiet()
{
    if (m_hooked && IsWindow(m_view)) {
        // Notices posted during the operation go too; the refresh that follows shows it all.
        MSG msg;
        while (PeekMessageA(&msg, m_view, WM_USER, 0x7FFF, PM_REMOVE))
            ++m_dropped;
        RemoveWindowSubclass(m_view, Proc, kSubclassId);
    }
    if (m_list && IsWindow(m_list)) {
        SendMessageA(m_list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(m_list, NULL, TRUE);
    }
}

LRESULT CALLBACK ViewQuiet::Proc(HWND window, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    if (IsNotice(msg)) {
        ++reinterpret_cast<ViewQuiet*>(data)->m_dropped;
        return 0;
    }
    return DefSubclassProc(window, msg, wp, lp);
}
