#include "VmHistCB.h"
#include "VmDlg.h"
#include "MsgUtil.h"
#include <stdlib.h>
#include <string.h>

const char VmHistCB::ClearEntryText[] = "<Clear list...>";

namespace {
const char kClearQuestion[] = "Are you sure you want to clear the history list?";

bool IsClearText(const char* text)
{
    return text && VmHistList::EqualNoCase(text, VmHistCB::ClearEntryText);
}

// Posted to the box when the clear entry was chosen; wParam is the item's index.
UINT ClearChosenMsg()
{
    static UINT msg = RegisterWindowMessageA("VmHistCBClearChosen");
    return msg;
}
}  // namespace

BOOL VmHistCBHook::OnDlgMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR&)
{
    if (msg == WM_COMMAND && HIWORD(wParam) == CBN_SELENDOK && m_box &&
        reinterpret_cast<HWND>(lParam) == m_box->GetHWND() && m_box->GetHWND())
        m_box->OnSelEndOK(m_box->GetCurSel());
    return FALSE;   // the dialog still sees the notification
}

VmHistCB::VmHistCB(unsigned long style) : m_style(style), m_hook(this) {}

void VmHistCB::OnInit()
{
    VmCombo::OnInit();
    // History order is the order of the items.
    ModifyWndStyle(m_hWnd, CBS_SORT, 0);
    SendMessageA(m_hWnd, CB_SETEXTENDEDUI, TRUE, 0);
    if (m_dlg)
        m_hook.AddToDlg(m_dlg);
    Load();
}

void VmHistCB::Load()
{
    ResetContent();
    m_list.Load(GetName(), m_list.GetMaxHistSize() > 0 ? m_list.GetMaxHistSize()
                                                        : static_cast<int>(VmHistList::DefaultMax));
    if (m_list.IsEmpty())
        return;
    SetText(static_cast<const char*>(m_list.GetHead()));
    // Inserting at the end never sorts, whatever style the list box was made with.
    for (POS pos = m_list.GetHeadPos(); pos;)
        InsertString(-1, m_list.GetNextStr(pos));
    if (m_style & StyleClearEntry)
        InsertString(-1, ClearEntryText);
}

bool VmHistCB::IsClearItem(int index) const
{
    if (!(m_style & StyleClearEntry) || index < 0 || index != GetCount() - 1)
        return false;
    char text[sizeof(ClearEntryText) + 1];
    return GetLBText(index, text, sizeof(text)) >= 0 && IsClearText(text);
}

char* VmHistCB::GetWholeText() const
{
    int len = m_hWnd ? GetWindowTextLengthA(m_hWnd) : 0;
    char* text = static_cast<char*>(malloc(static_cast<size_t>(len) + 1));
    if (!text)
        return nullptr;
    text[0] = 0;
    if (len > 0)
        GetText(text, len + 1);
    return text;
}

void VmHistCB::OnOK()
{
    int count = GetCount();
    if ((m_style & StyleClearEntry) && count > 0 && IsClearItem(count - 1))
        DeleteString(count - 1);
    UpdateHistory();
    Store();
}

void VmHistCB::UpdateHistory()
{
    char* text = GetWholeText();
    if (text && *text)
        m_list.Update(text);
    free(text);
}

void VmHistCB::Store()
{
    m_list.Store();
}

void VmHistCB::OnSelEndOK(int index)
{
    if (IsClearItem(index) && ClearChosenMsg())
        PostMessageA(m_hWnd, ClearChosenMsg(), static_cast<WPARAM>(index), 0);
}

bool VmHistCB::AskClear()
{
    if (GetCount() <= 0 || !IsClearItem(GetCount() - 1))
        return false;
    HWND owner = m_dlg ? m_dlg->GetHWND() : GetParent(m_hWnd);
    if (Msg(owner, MB_YESNO | MB_ICONQUESTION, "%s", kClearQuestion) != IDYES)
        return false;
    // Emptying the box empties its edit field too; the typed text stays.
    char* text = GetWholeText();
    m_list.RemoveAll();
    ResetContent();
    if (text)
        SetText(text);
    free(text);
    if (m_style & StyleStoreOnClear)
        OnOK();
    return true;
}

BOOL VmHistCB::OnEditMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result)
{
    // Choosing the clear entry never puts its text into the field.
    if (msg == WM_SETTEXT && (m_style & StyleClearEntry) &&
        IsClearText(reinterpret_cast<const char*>(lParam))) {
        result = TRUE;
        return TRUE;
    }
    return FALSE;
}

LRESULT VmHistCB::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == ClearChosenMsg() && msg) {
        if (IsClearItem(static_cast<int>(wParam)))
            AskClear();
        return 0;
    }
    if (msg == WM_SETTEXT && (m_style & StyleClearEntry) &&
        IsClearText(reinterpret_cast<const char*>(lParam)))
        return TRUE;
    return VmCombo::OnWndMessage(msg, wParam, lParam);
}
