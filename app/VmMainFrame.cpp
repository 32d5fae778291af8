#include "app/VmMainFrame.h"
#include "framework/App.h"

static const char kSection[] = "Frame Window";

int VmMainFrame::LoadPlacement()
{
    fw::App* app = fw::App::Get();
    if (!app)
        return 0;
    RECT r;
    r.left = (int)app->GetProfileInt(kSection, "Left", 0);
    r.top = (int)app->GetProfileInt(kSection, "Top", 0);
    r.right = (int)app->GetProfileInt(kSection, "Right", 0);
    r.bottom = (int)app->GetProfileInt(kSection, "Bottom", 0);
    if (r.top != r.bottom) {
        RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        RECT cut;
        if (!IntersectRect(&cut, &r, &screen) || r.right <= r.left || r.bottom <= r.top) {
            r = screen;
            InflateRect(&r, -20, -20);
        }
        WINDOWPLACEMENT wp = {};
        wp.length = sizeof(wp);
        GetWindowPlacement(m_hWnd, &wp);
        wp.rcNormalPosition = r;
        wp.showCmd = SW_HIDE;
        SetWindowPlacement(m_hWnd, &wp);
    }
    return (int)app->GetProfileInt(kSection, "Show", 0);
}

void VmMainFrame::SavePlacement(const RECT* normal)
{
    fw::App* app = fw::App::Get();
    if (!app || !m_hWnd)
        return;
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(m_hWnd, &wp))
        return;
    RECT r = normal ? *normal : wp.rcNormalPosition;
    int show = IsIconic(m_hWnd) ? 1 : IsZoomed(m_hWnd) ? 2 : 0;
    app->WriteProfileInt(kSection, "Show", show);
    app->WriteProfileInt(kSection, "Left", r.left);
    app->WriteProfileInt(kSection, "Top", r.top);
    app->WriteProfileInt(kSection, "Right", r.right);
    app->WriteProfileInt(kSection, "Bottom", r.bottom);
    SaveBarState("Control Bars");
}
