#include "FrameWnd.h"
#include "App.h"

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
