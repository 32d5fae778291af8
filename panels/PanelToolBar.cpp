#include "panels/PanelToolBar.h"
#include "app/Resource.h"
#include "framework/FrameWnd.h"

namespace {
// Merged buttons carry this in their data word, so they are told from the program's own even
// after the own buttons were rebuilt.
const DWORD_PTR kMergedTag = 0x56574D47;
const DWORD kShell471 = 0x00040047, kShell500 = 0x00050000;
}  // namespace

void PanelToolBar::SetShell(DWORD shellVersion, UINT viewsButton)
{
    m_shellVersion = shellVersion;
    m_viewsButton = viewsButton;
}

void PanelToolBar::RemoveMerged()
{
    for (int i = (int)SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0) - 1; i >= 0; i--) {
        TBBUTTON b = {};
        if (SendMessageA(m_toolbar, TB_GETBUTTON, i, (LPARAM)&b) && b.dwData == kMergedTag)
            SendMessageA(m_toolbar, TB_DELETEBUTTON, i, 0);
    }
}

int PanelToolBar::MergedCount() const
{
    int merged = 0;
    int n = m_toolbar ? (int)SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0) : 0;
    for (int i = 0; i < n; i++) {
        TBBUTTON b = {};
        if (SendMessageA(m_toolbar, TB_GETBUTTON, i, (LPARAM)&b) && b.dwData == kMergedTag &&
            !(b.fsStyle & TBSTYLE_SEP))
            merged++;
    }
    return merged;
}

int PanelToolBar::MergeViewButtons(const TBBUTTON* buttons, UINT count, bool hide)
{
    if (!m_toolbar)
        return 0;
    RemoveMerged();
    int merged = 0;
    if (!hide && buttons && count) {
        bool own = SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0) > 0;
        if (own && !(buttons[0].fsStyle & TBSTYLE_SEP)) {
            // A separator keeps the shell's group apart from the program's buttons.
            TBBUTTON sep = {};
            sep.fsStyle = TBSTYLE_SEP;
            sep.dwData = kMergedTag;
            SendMessageA(m_toolbar, TB_ADDBUTTONSA, 1, (LPARAM)&sep);
        }
        bool dropDown = false;
        for (UINT i = 0; i < count; i++) {
            TBBUTTON b = buttons[i];
            b.dwData = kMergedTag;
            if (!IS_INTRESOURCE(b.iString))
                b.iString = -1;   // a text pointer of the view's character set: the tooltip says it

            if (SendMessageA(m_toolbar, TB_ADDBUTTONSA, 1, (LPARAM)&b) && !(b.fsStyle & TBSTYLE_SEP))
                merged++;
            dropDown = dropDown || (b.fsStyle & BTNS_DROPDOWN);
        }
        if (dropDown) {
            DWORD ex = (DWORD)SendMessageA(m_toolbar, TB_GETEXTENDEDSTYLE, 0, 0);
            SendMessageA(m_toolbar, TB_SETEXTENDEDSTYLE, 0, ex | TBSTYLE_EX_DRAWDDARROWS);
        }
    }
    SendMessageA(m_toolbar, TB_AUTOSIZE, 0, 0);
    if (m_frame)
        m_frame->RecalcLayout();
    return merged;
}

bool PanelToolBar::OnNotify(NMHDR* hdr, WPARAM wp, LRESULT& result)
{
    if (hdr->hwndFrom != m_toolbar && hdr->code != TTN_GETDISPINFOA && hdr->code != TTN_GETDISPINFOW)
        return false;
    if (hdr->code == TBN_DROPDOWN) {
        UINT id = (UINT)reinterpret_cast<NMTOOLBARA*>(hdr)->iItem;
        if (m_shellVersion >= kShell471 && id == m_viewsButton) {
            HWND target = m_target ? m_target : GetAncestor(m_hWnd, GA_ROOT);
            PostMessageA(target, WM_COMMAND, ID_PANEL_CHANGE_VIEW, 0);
            result = TBDDRET_DEFAULT;
            return true;
        }
        if (IsShellButton(id) && m_view) {
            result = SendMessageA(m_view, WM_NOTIFY, wp, (LPARAM)hdr);
            return true;
        }
        return false;
    }
    if (hdr->code == TTN_GETDISPINFOA || hdr->code == TTN_GETDISPINFOW) {
        UINT id = (UINT)hdr->idFrom;
        bool byWindow = hdr->code == TTN_GETDISPINFOA
                            ? (reinterpret_cast<NMTTDISPINFOA*>(hdr)->uFlags & TTF_IDISHWND) != 0
                            : (reinterpret_cast<NMTTDISPINFOW*>(hdr)->uFlags & TTF_IDISHWND) != 0;
        if (byWindow || !IsShellButton(id))
            return false;   // the program's own buttons: the command's string
        result = 0;
        const char* text = NULL;
        if (m_shellVersion >= kShell500 && (id == 28702 || id == 28703))
            text = id == 28702 ? "Copy To" : "Move To";
        if (!text) {
            if (m_view)
                result = SendMessageA(m_view, WM_NOTIFY, wp, (LPARAM)hdr);
            return true;
        }
        if (hdr->code == TTN_GETDISPINFOA) {
            NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(hdr);
            lstrcpynA(info->szText, text, sizeof(info->szText));
            info->lpszText = info->szText;
            info->hinst = NULL;
        } else {
            NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(hdr);
            MultiByteToWideChar(CP_ACP, 0, text, -1, info->szText,
                                sizeof(info->szText) / sizeof(info->szText[0]));
            info->lpszText = info->szText;
            info->hinst = NULL;
        }
        return true;
    }
    return false;
}

LRESULT PanelToolBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (lp && OnNotify(reinterpret_cast<NMHDR*>(lp), wp, result))
            return result;
        break;
    }
    case WM_COMMAND:
        // The shell's buttons are the view's commands.
        if (IsShellButton(LOWORD(wp)) && (HWND)lp == m_toolbar) {
            if (m_view)
                SendMessageA(m_view, WM_COMMAND, wp, lp);
            return 0;
        }
        break;
    }
    return CustomToolBar::WindowProc(msg, wp, lp);
}
