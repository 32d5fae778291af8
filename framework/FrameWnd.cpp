#include "FrameWnd.h"
#include "App.h"
#include "ControlBar.h"
#include <algorithm>
#include <stdio.h>

namespace fw {

FrameWnd::~FrameWnd()
{
    if (m_hAccelTable)
        DestroyAcceleratorTable(m_hAccelTable);
}

bool FrameWnd::LoadFrame(UINT resId, DWORD style, const char* className, const char* title)
{
    HINSTANCE inst = GetModuleHandleA(NULL);
    HMENU menu = LoadMenuA(inst, MAKEINTRESOURCEA(resId));
    HICON icon = LoadIconA(inst, MAKEINTRESOURCEA(resId));
    m_hAccelTable = LoadAcceleratorsA(inst, MAKEINTRESOURCEA(resId));
    if (!CreateEx(0, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, NULL, menu, icon)) {
        if (menu)
            DestroyMenu(menu);
        return false;
    }
    return true;
}

bool FrameWnd::CreateChildFrame(HWND parent, UINT id, const char* className)
{
    return CreateEx(0, className, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                    0, 0, parent, (HMENU)(UINT_PTR)id);
}

void FrameWnd::AddControlBar(ControlBar* bar)
{
    if (bar && std::find(m_bars.begin(), m_bars.end(), bar) == m_bars.end())
        m_bars.push_back(bar);
}

void FrameWnd::DockControlBar(ControlBar* bar, int side, int order)
{
    if (!bar || side < DockTop || side > DockRight || !(bar->m_allowed & (1u << side)))
        return;
    AddControlBar(bar);
    int last = -1;
    for (ControlBar* b : m_bars)
        if (b != bar && b->m_side == side)
            last = std::max(last, b->m_order);
    bar->m_side = (DockSide)side;
    bar->m_order = order < 0 ? last + 1 : order;
    RecalcLayout();
}

void FrameWnd::ShowControlBar(ControlBar* bar, bool show)
{
    if (!bar || !bar->m_hWnd)
        return;
    ShowWindow(bar->m_hWnd, show ? SW_SHOWNA : SW_HIDE);
    RecalcLayout();
}

ControlBar* FrameWnd::GetControlBar(UINT id) const
{
    for (ControlBar* b : m_bars)
        if (b->m_nID == id)
            return b;
    return nullptr;
}

bool FrameWnd::CanMoveBar(ControlBar*)
{
    return true;
}

void FrameWnd::RecalcLayout()
{
    if (!m_hWnd)
        return;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    // Bars nearest the edge first: by side, then by order.
    std::vector<ControlBar*> bars = m_bars;
    std::stable_sort(bars.begin(), bars.end(), [](ControlBar* a, ControlBar* b) {
        return a->m_side != b->m_side ? a->m_side < b->m_side : a->m_order < b->m_order;
    });
    HDWP dwp = BeginDeferWindowPos((int)bars.size() + 1);
    for (ControlBar* bar : bars) {
        if (!bar->IsVisible())
            continue;
        int t = bar->CalcThickness(bar->IsHorz());
        RECT r = rc;
        switch (bar->m_side) {
        case DockTop:
            r.bottom = std::min(rc.bottom, rc.top + t);
            rc.top = r.bottom;
            break;
        case DockBottom:
            r.top = std::max(rc.top, rc.bottom - t);
            rc.bottom = r.top;
            break;
        case DockLeft:
            r.right = std::min(rc.right, rc.left + t);
            rc.left = r.right;
            break;
        case DockRight:
            r.left = std::max(rc.left, rc.right - t);
            rc.right = r.left;
            break;
        }
        dwp = DeferWindowPos(dwp, bar->m_hWnd, NULL, r.left, r.top, r.right - r.left, r.bottom - r.top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (m_client && IsWindow(m_client))
        dwp = DeferWindowPos(dwp, m_client, NULL, rc.left, rc.top, std::max(0L, rc.right - rc.left),
                             std::max(0L, rc.bottom - rc.top), SWP_NOZORDER | SWP_NOACTIVATE);
    EndDeferWindowPos(dwp);
}

void FrameWnd::SaveBarState(const char* name) const
{
    App* app = App::Get();
    if (!app || !name)
        return;
    char section[256];
    snprintf(section, sizeof(section), "%s-Summary", name);
    app->WriteProfileInt(section, "Bars", (int)m_bars.size());
    for (size_t i = 0; i < m_bars.size(); i++) {
        const ControlBar* bar = m_bars[i];
        snprintf(section, sizeof(section), "%s-Bar%u", name, (unsigned)i);
        app->WriteProfileInt(section, "BarID", (int)bar->m_nID);
        app->WriteProfileInt(section, "Visible", bar->IsVisible() ? 1 : 0);
        app->WriteProfileInt(section, "Side", bar->m_side);
        app->WriteProfileInt(section, "Order", bar->m_order);
    }
}

void FrameWnd::LoadBarState(const char* name)
{
    App* app = App::Get();
    if (!app || !name)
        return;
    char section[256];
    snprintf(section, sizeof(section), "%s-Summary", name);
    int count = (int)app->GetProfileInt(section, "Bars", 0);
    for (int i = 0; i < count && i < 64; i++) {
        snprintf(section, sizeof(section), "%s-Bar%d", name, i);
        ControlBar* bar = GetControlBar(app->GetProfileInt(section, "BarID", 0));
        if (!bar)
            continue;   // a bar this version no longer has
        int side = (int)app->GetProfileInt(section, "Side", bar->m_side);
        if (side >= DockTop && side <= DockRight && (bar->m_allowed & (1u << side))) {
            bar->m_side = (DockSide)side;
            bar->m_order = (int)app->GetProfileInt(section, "Order", bar->m_order);
        }
        ShowWindow(bar->m_hWnd, app->GetProfileInt(section, "Visible", 1) ? SW_SHOWNA : SW_HIDE);
    }
    RecalcLayout();
}

void FrameWnd::UpdateBars()
{
    for (ControlBar* bar : m_bars)
        if (bar->IsVisible())
            bar->UpdateItems(this);
}

void FrameWnd::SetAccelerators(HACCEL accel)
{
    if (m_hAccelTable && m_hAccelTable != accel)
        DestroyAcceleratorTable(m_hAccelTable);
    m_hAccelTable = accel;
}

bool FrameWnd::PreTranslateMessage(MSG* msg)
{
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && m_hAccelTable)
        return TranslateAcceleratorA(m_hWnd, m_hAccelTable, msg) != 0;
    return false;
}

void FrameWnd::UpdateMenu(HMENU menu)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        if (!GetMenuItemInfoA(menu, i, TRUE, &mii) || mii.hSubMenu || (mii.fType & MFT_SEPARATOR))
            continue;
        CmdUI ui;
        ui.m_nID = mii.wID;
        ui.m_menu = menu;
        ui.m_index = i;
        if (!OnCmdMsg(mii.wID, 0, &ui) || !ui.m_handled) {
            // Items nobody answers: enabled when a handler exists, else greyed if asked to.
            bool handled = OnCmdMsg(mii.wID, kQueryHandler, nullptr);
            if (m_bAutoMenuEnable)
                ui.Enable(handled);
        }
    }
}

LRESULT FrameWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITMENUPOPUP:
        if (!HIWORD(lp))
            UpdateMenu(reinterpret_cast<HMENU>(wp));
        return 0;
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED)
            RecalcLayout();
        break;
    case WM_DESTROY:
        if (App::Get() && App::Get()->m_pMainWnd == this)
            PostQuitMessage(0);
        break;
    }
    return Wnd::WindowProc(msg, wp, lp);
}

void FrameWnd::PostNcDestroy()
{
    if (App::Get() && App::Get()->m_pMainWnd == this)
        App::Get()->m_pMainWnd = nullptr;
}

}  // namespace fw
