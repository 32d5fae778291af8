#include "customize/OptionsSheet.h"
#include "customize/OptionsRes.h"
#include "ui/MsgUtil.h"
#include <commctrl.h>

bool OptionsPage::ReadNumber(int id, DWORD& value, bool complain)
{
    BOOL ok = FALSE;
    UINT n = GetDlgItemInt(m_hWnd, id, &ok, FALSE);
    if (ok) {
        value = n;
        return true;
    }
    if (complain) {
        Msg(m_hWnd, MB_OK | MB_ICONEXCLAMATION, IDS_OPT_ENTER_INTEGER);
        HWND field = GetDlgItem(m_hWnd, id);
        SetFocus(field);
        SendMessageA(field, EM_SETSEL, 0, -1);
    }
    return false;
}

bool OptionsPage::OnKillActive()
{
    for (int id : m_numberIds) {
        DWORD n;
        if (IsWindowEnabled(GetDlgItem(m_hWnd, id)) && !ReadNumber(id, n, true))
            return false;
    }
    return true;
}

namespace {
OptionsSheet* g_openSheet = nullptr;   // the sheet whose keys the filter watches
}

INT_PTR OptionsSheet::Run(HWND owner, int start)
{
    m_start = start;
    m_current = -1;
    g_openSheet = this;
    // The page keys reach the focused control first: a message filter sees them before it.
    m_filter = SetWindowsHookExA(WH_MSGFILTER, KeyFilter, NULL, GetCurrentThreadId());
    INT_PTR result = Modal(IDD_OPTIONS, NULL, owner);
    if (m_filter)
        UnhookWindowsHookEx(m_filter);
    m_filter = NULL;
    g_openSheet = nullptr;
    return result == IDOK ? IDOK : IDCANCEL;
}

LRESULT CALLBACK OptionsSheet::KeyFilter(int code, WPARAM wp, LPARAM lp)
{
    MSG* msg = reinterpret_cast<MSG*>(lp);
    OptionsSheet* sheet = g_openSheet;
    if (code == MSGF_DIALOGBOX && msg && msg->message == WM_KEYDOWN && sheet && sheet->m_hWnd &&
        (msg->hwnd == sheet->m_hWnd || IsChild(sheet->m_hWnd, msg->hwnd)) &&
        (GetKeyState(VK_CONTROL) & 0x8000)) {
        bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        int step = 0;
        if (msg->wParam == VK_TAB)
            step = shift ? -1 : 1;
        else if (msg->wParam == VK_NEXT)
            step = 1;
        else if (msg->wParam == VK_PRIOR)
            step = -1;
        if (step) {
            sheet->StepPage(step);
            return 1;
        }
    }
    return CallNextHookEx(NULL, code, wp, lp);
}

BOOL OptionsSheet::OnInitDialog()
{
    HWND tab = Tab();
    int index = 0;
    for (OptionsPage* page : m_pages) {
        HWND wnd = page->Modeless(page->PageTemplate(), NULL, m_hWnd);
        if (!wnd)
            continue;
        ShowWindow(wnd, SW_HIDE);
        char title[41] = "";
        GetWindowTextA(wnd, title, sizeof(title));   // at most 40 characters
        TCITEMA item = {};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = title;
        item.lParam = reinterpret_cast<LPARAM>(page);
        SendMessageA(tab, TCM_INSERTITEMA, index++, reinterpret_cast<LPARAM>(&item));
    }
    if (!SetActivePage(m_start))
        SetFocus(tab);
    return FALSE;
}

bool OptionsSheet::SetActivePage(int index)
{
    HWND tab = Tab();
    if (index < 0 || index >= (int)m_pages.size() || !m_pages[index]->GetHWND())
        return false;
    OptionsPage* old = m_current >= 0 ? m_pages[m_current] : nullptr;
    if (old && index != m_current && !old->OnKillActive()) {
        SendMessageA(tab, TCM_SETCURSEL, m_current, 0);
        return false;
    }
    SendMessageA(tab, TCM_SETCURSEL, index, 0);
    OptionsPage* page = m_pages[index];
    if (!page->OnSetActive())
        return false;
    if (old && old != page)
        ShowWindow(old->GetHWND(), SW_HIDE);
    RECT rc;
    GetClientRect(tab, &rc);
    SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
    MapWindowPoints(tab, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    SetWindowPos(page->GetHWND(), HWND_TOP, rc.left, rc.top, rc.right - rc.left,
                 rc.bottom - rc.top, SWP_SHOWWINDOW);
    m_current = index;
    if (GetFocus() != tab) {
        HWND first = GetNextDlgTabItem(page->GetHWND(), NULL, FALSE);
        if (first)
            SetFocus(first);
    }
    return true;
}

void OptionsSheet::StepPage(int step)
{
    int n = (int)m_pages.size();
    if (n == 0)
        return;
    int from = m_current < 0 ? 0 : m_current;
    SetActivePage(((from + step) % n + n) % n);
}

bool OptionsSheet::OnNotify(int id, NMHDR* header, LRESULT& result)
{
    if (id != IDC_OPT_TAB)
        return false;
    if (header->code == TCN_SELCHANGING) {
        // Leaving is refused while the current page cannot give up its values.
        result = m_current >= 0 && !m_pages[m_current]->OnKillActive();
        return true;
    }
    if (header->code == TCN_SELCHANGE) {
        int index = (int)SendMessageA(Tab(), TCM_GETCURSEL, 0, 0);
        if (index != m_current) {
            int before = m_current;
            m_current = -1;   // the kill test already ran in TCN_SELCHANGING
            if (before >= 0)
                ShowWindow(m_pages[before]->GetHWND(), SW_HIDE);
            if (!SetActivePage(index) && before >= 0)
                SetActivePage(before);
        }
        return true;
    }
    return false;
}

void OptionsSheet::OnOK()
{
    if (m_current >= 0 && !m_pages[m_current]->OnKillActive()) {
        SendMessageA(Tab(), TCM_SETCURSEL, m_current, 0);
        return;
    }
    for (int i = 0; i < (int)m_pages.size(); ++i)
        if (i != m_current && m_pages[i]->GetHWND())
            m_pages[i]->Commit();
    if (m_current >= 0)
        m_pages[m_current]->Commit();
    m_last = m_current;
    ClosePages();
    CloseDialog(IDOK, 0);
}

void OptionsSheet::OnCancel()
{
    m_last = m_current;
    ClosePages();
    CloseDialog(IDCANCEL, 0);
}

void OptionsSheet::ClosePages()
{
    for (OptionsPage* page : m_pages)
        if (page->GetHWND())
            DestroyWindow(page->GetHWND());
    SendMessageA(Tab(), TCM_DELETEALLITEMS, 0, 0);
}
