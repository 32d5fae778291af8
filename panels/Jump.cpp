#include "panels/Jump.h"
#include "panels/Goto.h"
#include "panels/JumpComplete.h"
#include "panels/ViewFrame.h"
#include "app/Resource.h"
#include "ui/MsgUtil.h"
#include "ui/VmHistCB.h"
#include "util/StrUtil.h"
#include "util/VmHistList.h"
#include <commctrl.h>
#include <string>
#include <vector>

namespace {

const char kHistoryName[] = "JumpMRU";
const UINT WM_JUMP_CLOSE = WM_APP + 0x51;     // posted: the field goes away
const UINT WM_JUMP_ACCEPT = WM_APP + 0x52;    // posted: go to the field's text

class JumpField {
public:
    JumpField(ViewFrame* panel, HWND owner) : m_panel(panel), m_owner(owner) {}
    JumpField(const JumpField&) = delete;   // owns its window
    JumpField& operator=(const JumpField&) = delete;

    bool Create(bool history, bool autoComplete);
    void Close();

    HWND m_combo = NULL;

private:
    static LRESULT CALLBACK ComboProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK PanelProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void LoadHistory();
    bool IsClearItem(int index) const;
    void Accept();
    std::string Text() const;

    ViewFrame* m_panel;
    HWND m_owner;
    HWND m_edit = NULL;
    HWND m_panelWnd = NULL;
    VmHistList m_history;
    bool m_useHistory = false;
    bool m_closing = false;
};

JumpField* g_open = nullptr;   // the field that is open; the frame's one reference

std::string JumpField::Text() const
{
    int len = GetWindowTextLengthA(m_combo);
    std::vector<char> text((size_t)len + 1, 0);
    GetWindowTextA(m_combo, text.data(), len + 1);
    return text.data();
}

bool JumpField::IsClearItem(int index) const
{
    int count = (int)SendMessageA(m_combo, CB_GETCOUNT, 0, 0);
    return m_useHistory && index >= 0 && index == count - 1 && !m_history.IsEmpty();
}

void JumpField::LoadHistory()
{
    m_history.Load(kHistoryName, VmHistList::DefaultMax);
    SendMessageA(m_combo, CB_RESETCONTENT, 0, 0);
    for (POS pos = m_history.GetHeadPos(); pos;)
        SendMessageA(m_combo, CB_INSERTSTRING, (WPARAM)-1, (LPARAM)m_history.GetNextStr(pos));
    if (!m_history.IsEmpty())
        SendMessageA(m_combo, CB_INSERTSTRING, (WPARAM)-1, (LPARAM)VmHistCB::ClearEntryText);
}

bool JumpField::Create(bool history, bool autoComplete)
{
    m_panelWnd = m_panel->m_hWnd;
    HWND title = m_panel->GetTitleWnd();
    if (!title || !IsWindowVisible(title))
        return false;
    RECT r;
    GetWindowRect(title, &r);
    MapWindowPoints(NULL, m_panelWnd, (POINT*)&r, 2);
    m_useHistory = history;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_AUTOHSCROLL | (history ? CBS_DROPDOWN : CBS_SIMPLE);
    m_combo = CreateWindowExA(0, "COMBOBOX", "", style, r.left, r.top, r.right - r.left,
                              history ? 240 : r.bottom - r.top, m_panelWnd, (HMENU)(UINT_PTR)IDC_JUMP, NULL, NULL);
    if (!m_combo)
        return false;
    SendMessageA(m_combo, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
    SendMessageA(m_combo, CB_SETEXTENDEDUI, TRUE, 0);
    SendMessageA(m_combo, CB_LIMITTEXT, 32767, 0);
    // The field covers the title exactly.
    SendMessageA(m_combo, CB_SETITEMHEIGHT, (WPARAM)-1, r.bottom - r.top - 6 > 8 ? r.bottom - r.top - 6 : 8);
    SetWindowPos(m_combo, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    COMBOBOXINFO info = {sizeof(info)};
    if (GetComboBoxInfo(m_combo, &info))
        m_edit = info.hwndItem;
    SetWindowSubclass(m_combo, ComboProc, 1, (DWORD_PTR)this);
    if (m_edit)
        SetWindowSubclass(m_edit, EditProc, 1, (DWORD_PTR)this);
    SetWindowSubclass(m_panelWnd, PanelProc, (UINT_PTR)this, (DWORD_PTR)this);
    if (history)
        LoadHistory();
    // The current folder's path and a backslash, or the title for a folder without a path.
    std::string start = m_panel->GetPath();
    if (!start.empty()) {
        if (start.back() != '\\')
            start += '\\';
    } else {
        char text[MAX_PATH] = "";
        GetWindowTextA(title, text, sizeof(text));
        start = text;
    }
    SetWindowTextA(m_combo, start.c_str());
    if (autoComplete && m_edit)
        AttachFolderCompletion(m_edit);
    m_panel->SetActiveLook(false);
    SetFocus(m_combo);
    SendMessageA(m_combo, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    return true;
}

void JumpField::Close()
{
    if (m_closing)
        return;
    m_closing = true;
    if (m_combo && IsWindow(m_combo))
        DestroyWindow(m_combo);   // the window's end deletes the object
}

void JumpField::Accept()
{
    std::string text = Text();
    int sel = (int)SendMessageA(m_combo, CB_GETCURSEL, 0, 0);
    if (m_useHistory && (IsClearItem(sel) || VmHistList::EqualNoCase(text.c_str(), VmHistCB::ClearEntryText))) {
        // The clear entry asks when it is confirmed.
        if (Msg(m_owner, MB_YESNO | MB_ICONQUESTION, "%s", "Are you sure you want to clear the history list?") == IDYES) {
            m_history.RemoveAll();
            m_history.Store();
        }
        Close();
        return;
    }
    ViewFrame* panel = m_panel;
    HWND owner = m_owner;
    bool history = m_useHistory;
    // The field goes first, so messages and the new folder show above a clean title.
    Close();
    GotoResult r = GotoFolderText(panel, text.c_str(), owner);
    if (r == GotoNotFolder) {
        char shown[MAX_PATH];
        StrCopyN(shown, text.c_str(), sizeof(shown));
        Msg(owner, MB_OK | MB_ICONERROR, IDS_NOT_A_FOLDER, shown);
    } else if (r == GotoBrowsed && history) {
        VmHistList list;
        list.Load(kHistoryName, VmHistList::DefaultMax);
        list.Update(text.c_str());
        list.Store();
    }
    if (r != GotoBrowsed)
        panel->Activate(true);
}

LRESULT CALLBACK JumpField::EditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    JumpField* self = reinterpret_cast<JumpField*>(data);
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DefSubclassProc(wnd, msg, wp, lp);
    case WM_KEYDOWN:
        if (wp == VK_RETURN) {
            if (SendMessageA(self->m_combo, CB_GETDROPPEDSTATE, 0, 0))
                SendMessageA(self->m_combo, CB_SHOWDROPDOWN, FALSE, 0);
            PostMessageA(self->m_combo, WM_JUMP_ACCEPT, 0, 0);
            return 0;
        }
        if (wp == VK_ESCAPE && !SendMessageA(self->m_combo, CB_GETDROPPEDSTATE, 0, 0)) {
            PostMessageA(self->m_combo, WM_JUMP_CLOSE, 0, 0);
            return 0;
        }
        if (wp == VK_DELETE && self->m_useHistory && SendMessageA(self->m_combo, CB_GETDROPPEDSTATE, 0, 0)) {
            int sel = (int)SendMessageA(self->m_combo, CB_GETCURSEL, 0, 0);
            if (sel >= 0 && !self->IsClearItem(sel)) {
                char text[MAX_PATH * 3] = "";
                if (SendMessageA(self->m_combo, CB_GETLBTEXTLEN, sel, 0) < (LRESULT)sizeof(text))
                    SendMessageA(self->m_combo, CB_GETLBTEXT, sel, (LPARAM)text);
                if (POS pos = self->m_history.FindNoCase(text)) {
                    self->m_history.RemoveAt(pos);
                    self->m_history.Store();
                }
                SendMessageA(self->m_combo, CB_SHOWDROPDOWN, FALSE, 0);
                std::string keep = self->Text();
                self->LoadHistory();
                SetWindowTextA(self->m_combo, keep.c_str());
            }
            return 0;
        }
        break;
    case WM_CHAR:
        if (wp == '\r' || wp == 27)
            return 0;   // no beep for the keys handled above
        break;
    case WM_KILLFOCUS: {
        // Focus moving inside the box (to its list) keeps it; anywhere else closes it.
        HWND to = (HWND)wp;
        if (!to || (to != self->m_combo && !IsChild(self->m_combo, to)))
            PostMessageA(self->m_combo, WM_JUMP_CLOSE, 0, 0);
        break;
    }
    }
    return DefSubclassProc(wnd, msg, wp, lp);
}

LRESULT CALLBACK JumpField::ComboProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    JumpField* self = reinterpret_cast<JumpField*>(data);
    switch (msg) {
    case WM_JUMP_CLOSE:
        self->Close();
        return 0;
    case WM_JUMP_ACCEPT:
        self->Accept();
        return 0;
    case WM_SETTEXT:
        // The clear entry never becomes the field's text.
        if (lp && VmHistList::EqualNoCase(reinterpret_cast<const char*>(lp), VmHistCB::ClearEntryText))
            return TRUE;
        break;
    case WM_NCDESTROY: {
        RemoveWindowSubclass(wnd, ComboProc, 1);
        if (self->m_edit && IsWindow(self->m_edit))
            RemoveWindowSubclass(self->m_edit, EditProc, 1);
        RemoveWindowSubclass(self->m_panelWnd, PanelProc, (UINT_PTR)self);
        if (g_open == self)
            g_open = nullptr;
        ViewFrame* panel = self->m_panel;
        delete self;
        // The active panel looks active again.
        if (panel && IsWindow(panel->m_hWnd))
            panel->SetActiveLook(true);
        return DefSubclassProc(wnd, msg, wp, lp);
    }
    }
    return DefSubclassProc(wnd, msg, wp, lp);
}

LRESULT CALLBACK JumpField::PanelProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    JumpField* self = reinterpret_cast<JumpField*>(data);
    if (msg == WM_COMMAND && (HWND)lp == self->m_combo) {
        // Choosing an entry of the list acts as Enter.
        if (HIWORD(wp) == CBN_SELENDOK && self->m_useHistory &&
            SendMessageA(self->m_combo, CB_GETDROPPEDSTATE, 0, 0)) {
            int sel = (int)SendMessageA(self->m_combo, CB_GETCURSEL, 0, 0);
            if (!self->IsClearItem(sel))
                PostMessageA(self->m_combo, WM_JUMP_ACCEPT, 0, 0);
        }
        return 0;
    }
    return DefSubclassProc(wnd, msg, wp, lp);
}

}  // namespace

bool OpenJumpField(ViewFrame* panel, HWND owner, bool history, bool autoComplete)
{
    if (!panel)
        return false;
    if (g_open)
        g_open->Close();
    JumpField* field = new JumpField(panel, owner);
    if (!field->Create(history, autoComplete)) {
        if (field->m_combo)
            DestroyWindow(field->m_combo);   // deletes it
        else
            delete field;
        return false;
    }
    g_open = field;
    return true;
}

HWND JumpFieldWindow()
{
    return g_open ? g_open->m_combo : NULL;
}
