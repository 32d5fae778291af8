#include "quickedit/QuickEditWnd.h"
#include "quickedit/QuickEditOptions.h"
#include "quickedit/QuickEditRes.h"
#include "app/MainApp.h"
#include "app/MainFrame.h"
#include "ui/MsgUtil.h"
#include "util/PathUtil.h"
#include "util/ResStr.h"
#include "framework/ControlBar.h"
#include <commctrl.h>
#include <stdio.h>
#include <algorithm>
#include <vector>

namespace {

std::vector<QuickEditWnd*> g_windows;   // newest first
HACCEL g_accel = NULL;                  // loaded once per process
bool g_swallowChar = false;             // the key became a command: drop its character
HHOOK g_keyHook = NULL;                 // gives the find dialogs their keyboard interface

// The program's loop knows nothing of the find dialogs: Tab, Enter and Esc reach them here.
LRESULT CALLBACK FindKeyHook(int code, WPARAM wp, LPARAM lp)
{
    MSG* msg = reinterpret_cast<MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE && msg && msg->hwnd &&
        msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
        HWND root = GetAncestor(msg->hwnd, GA_ROOT);
        for (int i = 0; i < QuickEditWnd::Count(); i++) {
            QuickEditWnd* w = QuickEditWnd::At(i);
            HWND find = w->GetFindHWND();
            if (find && root == find && IsDialogMessageA(find, msg)) {
                msg->message = WM_NULL;
                break;
            }
        }
    }
    return CallNextHookEx(g_keyHook, code, wp, lp);
}

const DWORD S2_CUSTOM_VAR_FONT = 1u << 24;
const DWORD S2_CUSTOM_FIXED_FONT = 1u << 25;
const DWORD S2_ESC_CLOSES = 1u << 26;
const DWORD S2_FIXED_FONT = 1u << 27;
const DWORD S2_FIND_MATCH_CASE = 1u << 28;
const DWORD S2_FIND_REPLACE = 1u << 29;

Settings2Opts& Settings2()
{
    return GetMainApp().m_settings.settings2;
}

struct ToolButton {
    int bitmap;   // index in the common controls' standard images; -1 a separator
    int id;
    BYTE style;
};
const ToolButton kButtons[] = {
    {STD_FILENEW, ID_QE_NEW, BTNS_BUTTON},     {STD_FILEOPEN, ID_QE_OPEN, BTNS_BUTTON},
    {STD_FILESAVE, ID_QE_SAVE, BTNS_BUTTON},   {STD_PRINTPRE, ID_QE_SAVE_AS, BTNS_BUTTON},
    {-1, 0, BTNS_SEP},                         {STD_FIND, ID_QE_FIND, BTNS_BUTTON},
    {STD_CUT, ID_QE_CUT, BTNS_BUTTON},         {STD_COPY, ID_QE_COPY, BTNS_BUTTON},
    {STD_PASTE, ID_QE_PASTE, BTNS_BUTTON},     {STD_UNDO, ID_QE_UNDO, BTNS_BUTTON},
    {-1, 0, BTNS_SEP},                         {STD_REPLACE, ID_QE_FONT_VAR, BTNS_CHECK},
    {STD_PRINT, ID_QE_FONT_FIXED, BTNS_CHECK}, {-1, 0, BTNS_SEP},
    {STD_PROPERTIES, ID_QE_OPTIONS, BTNS_BUTTON}, {STD_HELP, ID_QE_HELP, BTNS_BUTTON},
};

std::wstring Upper(const std::wstring& s)
{
    std::wstring u = s;
    if (!u.empty())
        CharUpperBuffW(&u[0], (DWORD)u.size());
    return u;
}

// Offsets of the text control count characters; a hit is one offset.
size_t Search(const std::wstring& text, const std::wstring& pattern, size_t from, size_t to,
              bool matchCase)
{
    if (pattern.empty() || text.size() < pattern.size() || from > to)
        return std::wstring::npos;
    const std::wstring& t = text;
    size_t pos;
    if (matchCase) {
        pos = t.find(pattern, from);
    } else {
        std::wstring ut = Upper(text), up = Upper(pattern);
        pos = ut.find(up, from);
    }
    return pos != std::wstring::npos && pos <= to ? pos : std::wstring::npos;
}

}   // namespace

// ---- the window

QuickEditWnd::QuickEditWnd()
{
    m_fixedFont = Settings2().IsOn(S2_FIXED_FONT);
}

QuickEditWnd::~QuickEditWnd()
{
    if (m_customFont)
        DeleteObject(m_customFont);
}

bool QuickEditWnd::Create(const char* path, const char* folder)
{
    m_doc.SetPath(path);
    m_doc.SetFolder(folder);
    SetResizable(ResizeBoth, "DlgQuickEdit");
    g_windows.insert(g_windows.begin(), this);
    // The desktop is the parent: editors live beside the main window, not on top of it.
    HWND wnd = Modeless(IDD_QUICKEDIT, NULL, NULL);
    if (!wnd) {
        g_windows.erase(std::find(g_windows.begin(), g_windows.end(), this));
        delete this;
        return false;
    }
    return true;
}

BOOL QuickEditWnd::OnInitDialog()
{
    HINSTANCE module = GetModuleHandleA(NULL);
    if (!g_accel)
        g_accel = LoadAcceleratorsA(module, MAKEINTRESOURCEA(IDR_QUICKEDIT_ACCEL));
    m_accel = g_accel;
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG,
                 (LPARAM)LoadImageA(module, MAKEINTRESOURCEA(IDI_QUICKEDIT), IMAGE_ICON, 32, 32, 0));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL,
                 (LPARAM)LoadImageA(module, MAKEINTRESOURCEA(IDI_QUICKEDIT_SMALL), IMAGE_ICON,
                                    16, 16, 0));
    if (!g_keyHook)
        g_keyHook = SetWindowsHookExA(WH_GETMESSAGE, FindKeyHook, NULL, GetCurrentThreadId());
    m_edit = GetDlgItem(m_hWnd, IDC_QE_EDIT);
    SetWindowSubclass(m_edit, EditProc, 1, (DWORD_PTR)this);
    m_doc.Attach(m_hWnd, m_edit);
    CreateBars();
    SetFont();
    if (m_doc.GetPath()[0]) {
        char path[MAX_PATH];
        lstrcpynA(path, m_doc.GetPath(), MAX_PATH);
        m_doc.SetFolderFromPath();
        m_doc.LoadOrSave(false, path);
    } else {
        SetWindowTextA(m_hWnd, ResStr(IDS_QE_TITLE));
    }
    UpdateCommands();
    SetFocus(m_edit);
    return FALSE;
}

void QuickEditWnd::CreateBars()
{
    m_toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT |
                                TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER, 0, 0, 0, 0, m_hWnd,
                                (HMENU)(INT_PTR)IDC_QE_TOOLBAR, GetModuleHandleA(NULL), NULL);
    SendMessageA(m_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBADDBITMAP std = {HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    SendMessageA(m_toolbar, TB_ADDBITMAP, 0, (LPARAM)&std);
    std::vector<TBBUTTON> buttons;
    for (const ToolButton& b : kButtons) {
        TBBUTTON t = {};
        t.iBitmap = b.bitmap < 0 ? 6 : b.bitmap;
        t.idCommand = b.id;
        t.fsState = TBSTATE_ENABLED;
        t.fsStyle = b.style;
        buttons.push_back(t);
    }
    SendMessageA(m_toolbar, TB_ADDBUTTONSA, buttons.size(), (LPARAM)buttons.data());
    SendMessageA(m_toolbar, TB_AUTOSIZE, 0, 0);
    m_status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                               0, 0, 0, 0, m_hWnd, (HMENU)(INT_PTR)IDC_QE_STATUS,
                               GetModuleHandleA(NULL), NULL);

    // The window is first made wide enough for the whole toolbar.
    SIZE tb = {};
    SendMessageA(m_toolbar, TB_GETMAXSIZE, 0, (LPARAM)&tb);
    RECT wr, cr;
    GetWindowRect(m_hWnd, &wr);
    GetClientRect(m_hWnd, &cr);
    int need = tb.cx + 12 + (wr.right - wr.left - cr.right);
    if (wr.right - wr.left < need)
        SetWindowPos(m_hWnd, NULL, 0, 0, need, wr.bottom - wr.top, SWP_NOMOVE | SWP_NOZORDER);
    OnResize(0, 0);
}

void QuickEditWnd::OnResize(int, int)
{
    if (!m_toolbar || !m_status)
        return;
    SendMessageA(m_toolbar, TB_AUTOSIZE, 0, 0);
    SendMessageA(m_status, WM_SIZE, 0, 0);
    RECT cr, tr, sr;
    GetClientRect(m_hWnd, &cr);
    GetWindowRect(m_toolbar, &tr);
    GetWindowRect(m_status, &sr);
    int top = tr.bottom - tr.top, bottom = sr.bottom - sr.top;
    MoveWindow(m_edit, 0, top, cr.right, std::max(0, (int)cr.bottom - top - bottom), TRUE);
    // The name pane stretches; the others keep the widths their texts needed.
    int parts[3];
    int right = cr.right;
    parts[2] = -1;
    parts[1] = std::max(0, right - m_paneWidth[2] - 32);
    parts[0] = std::max(0, parts[1] - m_paneWidth[1] - 16);
    SendMessageA(m_status, SB_SETPARTS, 3, (LPARAM)parts);
}

void QuickEditWnd::SetPaneText(int pane, const char* text)
{
    if (pane > 0) {
        HDC dc = GetDC(m_status);
        HFONT old = (HFONT)SelectObject(dc, (HFONT)SendMessageA(m_status, WM_GETFONT, 0, 0));
        SIZE sz = {};
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &sz);
        SelectObject(dc, old);
        ReleaseDC(m_status, dc);
        if (sz.cx > m_paneWidth[pane]) {   // grows, never shrinks
            m_paneWidth[pane] = sz.cx;
            OnResize(0, 0);
        }
    }
    char cur[1024];
    cur[0] = 0;
    if (LOWORD(SendMessageA(m_status, SB_GETTEXTLENGTHA, pane, 0)) < sizeof(cur))
        SendMessageA(m_status, SB_GETTEXTA, pane, (LPARAM)cur);
    if (strcmp(cur, text) != 0)
        SendMessageA(m_status, SB_SETTEXTA, pane, (LPARAM)text);
}

void QuickEditWnd::SetFont()
{
    Settings2Opts& s = Settings2();
    const LOGFONTA* custom = nullptr;
    if (!m_fixedFont && s.IsOn(S2_CUSTOM_VAR_FONT))
        custom = s.qeFontVar;
    else if (m_fixedFont && s.IsOn(S2_CUSTOM_FIXED_FONT))
        custom = s.qeFontFixed;
    HFONT font = custom ? CreateFontIndirectA(custom) : NULL;
    if (!font)
        font = (HFONT)GetStockObject(m_fixedFont ? ANSI_FIXED_FONT : ANSI_VAR_FONT);
    SendMessageA(m_edit, WM_SETFONT, (WPARAM)font, TRUE);
    if (m_customFont)
        DeleteObject(m_customFont);
    m_customFont = custom ? font : NULL;
}

bool QuickEditWnd::IsEnabled(int id) const
{
    DWORD start = 0, end = 0;
    SendMessageA(m_edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    bool sel = end > start;
    bool ro = m_doc.IsReadOnly();
    switch (id) {
    case ID_QE_SAVE: return m_doc.IsModified() && m_doc.GetEncoding() != TE_Binary;
    case ID_QE_CUT: return sel && !ro;
    case ID_QE_COPY: return sel;
    case ID_QE_PASTE: return !ro && IsClipboardFormatAvailable(CF_TEXT);
    case ID_QE_UNDO: return SendMessageA(m_edit, EM_CANUNDO, 0, 0) != 0;
    default: return true;
    }
}

void QuickEditWnd::UpdateCommands()
{
    if (!m_toolbar)
        return;
    for (const ToolButton& b : kButtons)
        if (b.id)
            SendMessageA(m_toolbar, TB_ENABLEBUTTON, b.id, IsEnabled(b.id));
    SendMessageA(m_toolbar, TB_CHECKBUTTON, ID_QE_FONT_VAR, !m_fixedFont);
    SendMessageA(m_toolbar, TB_CHECKBUTTON, ID_QE_FONT_FIXED, m_fixedFont);
    UpdateStatus();
}

void QuickEditWnd::UpdateStatus()
{
    ResStr untitled(IDS_QE_UNTITLED);
    const char* path = m_doc.GetPath()[0] ? m_doc.GetPath() : untitled.GetStr();
    SetPaneText(0, path);
    if (m_find && m_path != m_doc.GetPath())
        m_find->SetTitleName(m_doc.GetPath()[0] ? FindNameExt(m_doc.GetPath()) : untitled.GetStr());
    m_path = m_doc.GetPath();
    SetPaneText(1, m_doc.EncodingName());

    DWORD start = 0, end = 0;
    SendMessageW(m_edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    char text[128];
    if (end > start) {
        snprintf(text, sizeof(text), ResStr(IDS_QE_SEL), (int)start + 1, (int)end,
                 (int)(end - start));
    } else {
        int line = (int)SendMessageW(m_edit, EM_LINEFROMCHAR, start, 0);
        int first = (int)SendMessageW(m_edit, EM_LINEINDEX, line, 0);
        // The text's length in characters (the window text length can be an upper bound).
        int last = (int)SendMessageW(m_edit, EM_GETLINECOUNT, 0, 0) - 1;
        int lastIndex = (int)SendMessageW(m_edit, EM_LINEINDEX, last, 0);
        int length = lastIndex + (int)SendMessageW(m_edit, EM_LINELENGTH, lastIndex, 0);
        if (line != m_cachedLine) {
            int n = (int)SendMessageW(m_edit, EM_LINELENGTH, first, 0);
            m_lineText.assign((size_t)n + 2, 0);
            *(WORD*)&m_lineText[0] = (WORD)(n + 1);
            int got = n ? (int)SendMessageW(m_edit, EM_GETLINE, line, (LPARAM)&m_lineText[0]) : 0;
            m_lineText.resize((size_t)std::max(0, got));
            m_cachedLine = line;
        }
        char code[32];
        lstrcpyA(code, (int)start == length ? "EOF" : "EOL");
        size_t col = start - (DWORD)first;
        if (col < m_lineText.size() && m_lineText[col])
            snprintf(code, sizeof(code), "%u Hex %X", (unsigned)m_lineText[col],
                     (unsigned)m_lineText[col]);
        snprintf(text, sizeof(text), ResStr(IDS_QE_POS), line + 1, (int)col + 1, code);
    }
    SetPaneText(2, text);
}

bool QuickEditWnd::FindText(const std::wstring& pattern, bool matchCase)
{
    m_lastSearch = pattern.substr(0, 32767);
    m_lastMatchCase = matchCase;
    std::wstring text = m_doc.GetText();
    if (m_lastSearch.empty() || text.empty())
        return false;
    DWORD start = 0, end = 0;
    SendMessageW(m_edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    size_t pos = text.size() >= m_lastSearch.size()
                     ? Search(text, m_lastSearch, end, text.size() - m_lastSearch.size(), matchCase)
                     : std::wstring::npos;
    if (pos == std::wstring::npos) {
        if (end == 0)
            return false;
        int answer = Msg(m_find ? m_find->GetHWND() : m_hWnd, MB_YESNOCANCEL | MB_ICONQUESTION,
                         IDS_QE_END_OF_FILE);
        if (m_find)
            SetForegroundWindow(m_find->GetHWND());
        if (answer != IDYES)
            return true;   // the user stopped: no beep
        if (start < m_lastSearch.size())
            return false;
        pos = Search(text, m_lastSearch, 0, start - m_lastSearch.size(), matchCase);
        if (pos == std::wstring::npos)
            return false;
    }
    SendMessageW(m_edit, EM_SETSEL, pos, pos + m_lastSearch.size());
    SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
    UpdateCommands();
    return true;
}

void QuickEditWnd::FindNext()
{
    if (m_lastSearch.empty()) {
        OnCommand(ID_QE_FIND, 0, NULL);
        return;
    }
    if (!FindText(m_lastSearch, m_lastMatchCase))
        MessageBeep(MB_ICONHAND);
}

bool QuickEditWnd::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_QE_EDIT) {
        if (code == EN_CHANGE)
            m_cachedLine = -1;
        UpdateCommands();
        return true;
    }
    if (code > 1 && control)   // notifications of other controls
        return false;
    if (!IsEnabled(id))
        return true;
    switch (id) {
    case ID_QE_NEW: m_doc.NewDocument(); break;
    case ID_QE_OPEN: m_doc.OpenDocument(); break;
    case ID_QE_SAVE: m_doc.SaveDocument(); break;
    case ID_QE_SAVE_AS: m_doc.SaveDocumentAs(); break;
    case ID_QE_FIND:
        if (!m_find) {
            m_find = new QuickEditFindDlg(this);
            if (!m_find->Open(m_hWnd)) {
                delete m_find;
                m_find = nullptr;
            }
        } else {
            ShowWindow(m_find->GetHWND(), SW_SHOW);
            SetActiveWindow(m_find->GetHWND());
        }
        break;
    case ID_QE_FIND_NEXT: FindNext(); break;
    case ID_QE_CUT:
        if (!m_doc.IsReadOnly())
            SendMessageW(m_edit, WM_CUT, 0, 0);
        break;
    case ID_QE_COPY: SendMessageW(m_edit, WM_COPY, 0, 0); break;
    case ID_QE_PASTE:
        if (!m_doc.IsReadOnly())
            SendMessageW(m_edit, WM_PASTE, 0, 0);
        break;
    case ID_QE_UNDO: SendMessageW(m_edit, EM_UNDO, 0, 0); break;
    case ID_QE_SELECT_ALL:
        SendMessageW(m_edit, EM_SETSEL, 0, -1);
        SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
        break;
    case ID_QE_FONT_VAR:
    case ID_QE_FONT_FIXED:
    case ID_QE_FONT_TOGGLE:
        m_fixedFont = !m_fixedFont;
        SetFont();
        break;
    case ID_QE_OPTIONS:
        QuickEditOptions(m_hWnd);
        break;
    case ID_QE_HELP:
        OnHelp(IDD_QUICKEDIT);
        break;
    case ID_QE_CLOSE_BY_ESC:
        if (Settings2().IsOn(S2_ESC_CLOSES))
            OnCancel();
        return true;
    case ID_QE_MAXIMIZE:
        ShowWindow(m_hWnd, IsZoomed(m_hWnd) ? SW_RESTORE : SW_MAXIMIZE);
        break;
    default:
        return false;
    }
    if (m_hWnd)
        UpdateCommands();
    return true;
}

bool QuickEditWnd::OnNotify(int, NMHDR* header, LRESULT&)
{
    return fw::SetCommandTip(header);
}

INT_PTR QuickEditWnd::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            if (IsIconic(m_hWnd))
                ShowWindow(m_hWnd, SW_RESTORE);
            if (CMainFrame* frame = GetMainApp().MainFrame())
                frame->AddToolWindow(this);
            UpdateCommands();
        }
        break;
    case WM_INITMENUPOPUP:
        UpdateCommands();
        break;
    }
    return VmDlg::OnDlgMessage(msg, wParam, lParam);
}

void QuickEditWnd::CloseWithFrame()
{
    if (m_find)
        DestroyWindow(m_find->GetHWND());
    CloseDialog(IDCANCEL, 0);
}

void QuickEditWnd::OnCancel()
{
    if (!m_doc.AskToSave())
        return;
    if (m_find)
        DestroyWindow(m_find->GetHWND());
    CloseDialog(IDCANCEL, 0);
}

void QuickEditWnd::OnPostNcDestroy()
{
    if (CMainFrame* frame = GetMainApp().MainFrame())
        frame->RemoveToolWindow(this);
    auto it = std::find(g_windows.begin(), g_windows.end(), this);
    if (it != g_windows.end())
        g_windows.erase(it);
    if (g_windows.empty() && g_keyHook) {
        UnhookWindowsHookEx(g_keyHook);
        g_keyHook = NULL;
    }
    delete this;
}

LRESULT CALLBACK QuickEditWnd::EditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                        DWORD_PTR data)
{
    QuickEditWnd* self = reinterpret_cast<QuickEditWnd*>(data);
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        // The program's loop does not know editor windows: their keys are translated here.
        MSG m = {self->m_hWnd, msg, wp, lp, (DWORD)GetMessageTime(), {}};
        g_swallowChar = false;
        if (self->m_accel && TranslateAcceleratorA(self->m_hWnd, self->m_accel, &m)) {
            g_swallowChar = true;   // the window may be gone now
            return 0;
        }
        break;
    }
    case WM_CHAR:
    case WM_SYSCHAR:
        if (g_swallowChar) {
            g_swallowChar = false;
            return 0;
        }
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_WANTTAB;
    case WM_KEYUP:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE: {
        LRESULT r = DefSubclassProc(wnd, msg, wp, lp);
        if (msg != WM_MOUSEMOVE || (wp & MK_LBUTTON))
            self->UpdateStatus();
        return r;
    }
    }
    return DefSubclassProc(wnd, msg, wp, lp);
}

QuickEditWnd* QuickEditWnd::FindByPath(const char* path)
{
    if (!path || !*path)
        return nullptr;
    for (QuickEditWnd* w : g_windows)
        if (lstrcmpiA(w->m_doc.GetPath(), path) == 0)
            return w;
    return nullptr;
}

int QuickEditWnd::Count()
{
    return (int)g_windows.size();
}

QuickEditWnd* QuickEditWnd::At(int index)
{
    return index >= 0 && index < Count() ? g_windows[(size_t)index] : nullptr;
}

bool QuickEditWnd::AskToSaveAll()
{
    std::vector<QuickEditWnd*> copy = g_windows;
    for (QuickEditWnd* w : copy)
        if (!w->m_doc.AskToSave())
            return false;
    return true;
}

void QuickEditWnd::ApplyFontAll(bool fixed)
{
    for (QuickEditWnd* w : g_windows)
        if (w->m_fixedFont == fixed)
            w->SetFont();
}

bool OpenQuickEdit(const char* path, const char* folder)
{
    if (QuickEditWnd* open = QuickEditWnd::FindByPath(path)) {
        auto it = std::find(g_windows.begin(), g_windows.end(), open);
        g_windows.erase(it);
        g_windows.insert(g_windows.begin(), open);
        HWND wnd = open->GetHWND();
        if (IsIconic(wnd))
            ShowWindow(wnd, SW_RESTORE);
        SetForegroundWindow(wnd);
        return true;
    }
    QuickEditWnd* wnd = new QuickEditWnd;
    return wnd->Create(path, folder);
}

// ---- the find dialog

bool QuickEditFindDlg::Open(HWND owner)
{
    SetResizable(ResizeWidth, "DlgQE_Find");
    AddCtrl(&m_findHist, IDC_QE_FIND_WHAT, "QEFindMRU");
    AddCtrl(&m_replaceHist, IDC_QE_REPLACE_WITH, "QEReplaceMRU");
    return Modeless(IDD_QE_FIND, NULL, owner) != NULL;
}

void QuickEditFindDlg::SetTitleName(const char* name)
{
    if (m_titleName == name)
        return;
    m_titleName = name;
    ResStrFmt title(IDS_QE_FIND_TITLE, name);
    SetWindowTextA(m_hWnd, title);
}

BOOL QuickEditFindDlg::OnInitDialog()
{
    Settings2Opts& s = Settings2();
    CheckDlgButton(m_hWnd, IDC_QE_MATCH_CASE, s.IsOn(S2_FIND_MATCH_CASE) ? BST_CHECKED : 0);
    CheckDlgButton(m_hWnd, IDC_QE_REPLACE_CHECK, s.IsOn(S2_FIND_REPLACE) ? BST_CHECKED : 0);
    EnableReplace();
    const char* path = m_editor->Doc().GetPath();
    SetTitleName(path[0] ? FindNameExt(path) : ResStr(IDS_QE_UNTITLED).GetStr());
    SetFocus(GetDlgItem(m_hWnd, IDC_QE_FIND_WHAT));
    return FALSE;
}

void QuickEditFindDlg::EnableReplace()
{
    BOOL on = IsDlgButtonChecked(m_hWnd, IDC_QE_REPLACE_CHECK) == BST_CHECKED;
    EnableWindow(GetDlgItem(m_hWnd, IDC_QE_REPLACE_WITH), on);
    EnableWindow(GetDlgItem(m_hWnd, IDC_QE_REPLACE), on);
    EnableWindow(GetDlgItem(m_hWnd, IDC_QE_REPLACE_ALL), on);
}

std::wstring QuickEditFindDlg::ComboText(int id) const
{
    HWND c = GetDlgItem(m_hWnd, id);
    int n = GetWindowTextLengthW(c);
    std::wstring s((size_t)n + 1, 0);
    n = GetWindowTextW(c, &s[0], n + 1);
    s.resize((size_t)std::max(0, n));
    return s;
}

bool QuickEditFindDlg::FindNext()
{
    SetDlgItemTextA(m_hWnd, IDC_QE_FIND_STATUS, "");
    std::wstring what = ComboText(IDC_QE_FIND_WHAT);
    if (what.empty()) {
        MessageBeep(MB_ICONHAND);
        return false;
    }
    bool matchCase = IsDlgButtonChecked(m_hWnd, IDC_QE_MATCH_CASE) == BST_CHECKED;
    if (!m_editor->FindText(what, matchCase)) {
        MessageBeep(MB_ICONHAND);
        return false;
    }
    if (IsDlgButtonChecked(m_hWnd, IDC_QE_REPLACE_CHECK) == BST_CHECKED)
        SetFocus(GetDlgItem(m_hWnd, IDC_QE_REPLACE));
    return true;
}

// Replaces the selection; false when there was none or the text may not change.
bool QuickEditFindDlg::ReplaceOnce()
{
    HWND edit = m_editor->GetEdit();
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    if (end <= start || m_editor->Doc().IsReadOnly())
        return false;
    std::wstring with = ComboText(IDC_QE_REPLACE_WITH);
    SendMessageW(edit, EM_REPLACESEL, TRUE, (LPARAM)with.c_str());
    return true;
}

bool QuickEditFindDlg::OnCommand(int id, int code, HWND)
{
    HWND edit = m_editor->GetEdit();
    switch (id) {
    case IDC_QE_REPLACE_CHECK:
        EnableReplace();
        return true;
    case IDC_QE_FIND_NEXT:
        FindNext();
        return true;
    case IDC_QE_REPLACE: {
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
        if (end <= start)
            FindNext();
        if (ReplaceOnce()) {
            FindNext();
            SetFocus(GetDlgItem(m_hWnd, IDC_QE_REPLACE));
        }
        return true;
    }
    case IDC_QE_REPLACE_ALL: {
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
        if (end <= start)
            FindNext();
        unsigned long count = 0;
        while (ReplaceOnce()) {
            count++;
            if (!FindNext())
                break;
            // The user stopped at the end question: the selection did not move on.
            DWORD s2 = 0, e2 = 0;
            SendMessageW(edit, EM_GETSEL, (WPARAM)&s2, (LPARAM)&e2);
            if (e2 <= s2)
                break;
        }
        char text[128];
        snprintf(text, sizeof(text), ResStr(IDS_QE_REPLACED), count);
        SetDlgItemTextA(m_hWnd, IDC_QE_FIND_STATUS, text);
        SetFocus(GetDlgItem(m_hWnd, IDCANCEL));
        return true;
    }
    }
    (void)code;
    return false;
}

INT_PTR QuickEditFindDlg::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
        SendMessageA(m_hWnd, DM_SETDEFID, IDC_QE_FIND_NEXT, 0);
        SetFocus(GetDlgItem(m_hWnd, IDC_QE_FIND_WHAT));
    }
    return VmDlg::OnDlgMessage(msg, wParam, lParam);
}

void QuickEditFindDlg::OnCancel()
{
    Settings2Opts& s = Settings2();
    s.Set(S2_FIND_MATCH_CASE, IsDlgButtonChecked(m_hWnd, IDC_QE_MATCH_CASE) == BST_CHECKED);
    s.Set(S2_FIND_REPLACE, IsDlgButtonChecked(m_hWnd, IDC_QE_REPLACE_CHECK) == BST_CHECKED);
    s.Store();
    HWND editor = m_editor->GetHWND();
    CloseDialog(IDCANCEL, 1);   // the histories take the texts and are stored
    SetActiveWindow(editor);
}

void QuickEditFindDlg::OnPostNcDestroy()
{
    m_editor->OnFindClosed();
    delete this;
}
