#include "VmCtrl.h"
#include "VmDlg.h"
#include <stdlib.h>
#include <string.h>

VmCtrl::VmCtrl() : m_dlg(nullptr), m_id(0)
{
    m_name[0] = 0;
}

void VmCtrl::OnInit() {}
void VmCtrl::OnOK() {}

bool VmCtrl::Attach(VmDlg* dlg, int id)
{
    if (!dlg || !dlg->GetHWND())
        return false;
    HWND ctrl = GetDlgItem(dlg->GetHWND(), id);
    if (!ctrl || !Subclass(ctrl))
        return false;
    m_dlg = dlg;
    m_id = id;
    return true;
}

void VmCtrl::SetName(const char* name)
{
    lstrcpynA(m_name, name ? name : "", sizeof(m_name));
}

int VmCtrl::GetText(char* buffer, int size) const
{
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = 0;
    return m_hWnd ? GetWindowTextA(m_hWnd, buffer, size) : 0;
}

bool VmCtrl::SetText(const char* text)
{
    return m_hWnd && SetWindowTextA(m_hWnd, text ? text : "");
}

void VmCtrl::Enable(bool on)
{
    if (m_hWnd)
        EnableWindow(m_hWnd, on);
}

LRESULT VmCBEdit::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (m_combo && m_combo->OnEditMessage(msg, wParam, lParam, result))
        return result;
    return VmWnd::OnWndMessage(msg, wParam, lParam);
}

VmCombo::VmCombo() : m_edit(this) {}

void VmCombo::OnInit()
{
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    if (m_hWnd && GetComboBoxInfo(m_hWnd, &info) && info.hwndItem && info.hwndItem != m_hWnd)
        m_edit.Subclass(info.hwndItem);
}

BOOL VmCombo::OnEditMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return FALSE;
}

int VmCombo::AddString(const char* text)
{
    if (!m_hWnd || !text)
        return CB_ERR;
    return static_cast<int>(SendMessageA(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int VmCombo::InsertString(int index, const char* text)
{
    if (!m_hWnd || !text)
        return CB_ERR;
    return static_cast<int>(
        SendMessageA(m_hWnd, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text)));
}

int VmCombo::DeleteString(int index)
{
    return m_hWnd ? static_cast<int>(SendMessageA(m_hWnd, CB_DELETESTRING, index, 0)) : CB_ERR;
}

void VmCombo::ResetContent()
{
    if (m_hWnd)
        SendMessageA(m_hWnd, CB_RESETCONTENT, 0, 0);
}

int VmCombo::GetCount() const
{
    return m_hWnd ? static_cast<int>(SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0)) : 0;
}

int VmCombo::GetCurSel() const
{
    return m_hWnd ? static_cast<int>(SendMessageA(m_hWnd, CB_GETCURSEL, 0, 0)) : CB_ERR;
}

int VmCombo::SetCurSel(int index)
{
    return m_hWnd ? static_cast<int>(SendMessageA(m_hWnd, CB_SETCURSEL, index, 0)) : CB_ERR;
}

int VmCombo::FindStringExact(const char* text, int start) const
{
    if (!m_hWnd || !text)
        return CB_ERR;
    return static_cast<int>(
        SendMessageA(m_hWnd, CB_FINDSTRINGEXACT, start, reinterpret_cast<LPARAM>(text)));
}

int VmCombo::GetLBText(int index, char* buffer, int size) const
{
    if (!buffer || size <= 0)
        return -1;
    buffer[0] = 0;
    if (!m_hWnd)
        return -1;
    // CB_GETLBTEXT knows no buffer size: fetch into one that fits, then cut.
    LRESULT len = SendMessageA(m_hWnd, CB_GETLBTEXTLEN, index, 0);
    if (len == CB_ERR || len < 0)
        return -1;
    char* all = static_cast<char*>(malloc(static_cast<size_t>(len) + 1));
    if (!all)
        return -1;
    all[0] = 0;
    SendMessageA(m_hWnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(all));
    all[len] = 0;
    lstrcpynA(buffer, all, size);
    free(all);
    return static_cast<int>(strlen(buffer));
}
