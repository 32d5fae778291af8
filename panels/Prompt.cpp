#include "panels/Prompt.h"
#include "panels/PromptRes.h"
#include "panels/ViewFrame.h"
#include "panels/Goto.h"
#include "app/MainApp.h"
#include "app/Resource.h"
#include "app/Settings.h"
#include "shell/IdList.h"
#include "shell/PathConv.h"
#include "shell/Pidl.h"
#include "ui/MsgUtil.h"
#include "ui/WaitCursor.h"
#include "util/PathUtil.h"
#include "util/StrUtil.h"
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>
#include <algorithm>
#include <vector>

namespace prompt {

std::string Append(const std::string& text, const std::string& item)
{
    std::string out = text;
    if (!out.empty() && out.back() != ' ')
        out += ' ';
    return out + Quote(item);
}

static bool IsDriveSeparator(char c)
{
    return c && strchr(" |:\"',;()[]{}<>", c) != nullptr;
}

// The current directory of drive letter (upper case) in short form with a trailing backslash;
// empty when the process keeps none for it.
static std::string DriveDirectory(char letter)
{
    char dir[MAX_PATH] = "";
    char current[MAX_PATH] = "";
    DWORD n = GetCurrentDirectoryA(sizeof(current), current);
    if (n && n < sizeof(current) && (char)(DWORD_PTR)CharUpperA((char*)(DWORD_PTR)(BYTE)current[0]) == letter &&
        current[1] == ':') {
        StrCopyN(dir, current, sizeof(dir));
    } else {
        // The per-drive directories live in the hidden "=X:" variables.
        char name[4] = {'=', letter, ':', 0};
        n = GetEnvironmentVariableA(name, dir, sizeof(dir));
        if (!n || n >= sizeof(dir))
            return std::string();
    }
    ConvertToShortPath(dir);
    AppendBackSlash(dir, sizeof(dir));
    return dir;
}

std::string ExpandDriveLetters(const std::string& text)
{
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (letter && i + 1 < text.size() && text[i + 1] == ':' &&
            (i + 2 >= text.size() || text[i + 2] != '\\') && (i == 0 || IsDriveSeparator(text[i - 1]))) {
            std::string dir = DriveDirectory((char)(c & ~0x20));
            if (!dir.empty()) {
                out += dir;
                i += 2;
                continue;
            }
        }
        // A multi-byte character goes over whole, so its trail bytes are never taken for letters.
        int n = CharBytes(text.c_str() + i);
        if (n <= 0)
            n = 1;
        out.append(text, i, (size_t)n);
        i += (size_t)n;
    }
    return out;
}

void SplitCommand(const std::string& text, std::string& program, std::string& params)
{
    program.clear();
    params.clear();
    size_t end;
    if (!text.empty() && text[0] == '"') {
        end = text.find('"', 1);
        program = text.substr(1, end == std::string::npos ? std::string::npos : end - 1);
        end = end == std::string::npos ? text.size() : end + 1;
    } else {
        end = text.find(' ');
        if (end == std::string::npos)
            end = text.size();
        program = text.substr(0, end);
    }
    if (end < text.size() && text[end] == ' ')
        end++;
    if (end < text.size())
        params = text.substr(end);
}

}  // namespace prompt

namespace {
const char kHistoryName[] = "RunMRU";

// Edit field of the combo box: Delete in the open list removes the highlighted entry.
LRESULT CALLBACK ComboProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    if (msg == WM_KEYDOWN && wp == VK_DELETE) {
        HWND combo = GetParent(wnd);
        if (SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0)) {
            reinterpret_cast<PromptBar*>(data)->DeleteHighlighted();
            return 0;
        }
    }
    return DefSubclassProc(wnd, msg, wp, lp);
}
}  // namespace

// The toolbar's buttons: the prompt's commands with their images in the bitmap.
const fw::ToolBar::Button kButtons[] = {{ID_PROMPT_EXECUTE_ENTER, 0, 0}, {ID_PROMPT_CLEAR, 1, 0},
                                        {ID_PROMPT_UNDO_INSERT, 2, 0},   {0, 0, 0},
                                        {ID_PROMPT_INSERT_NAME, 3, 0},   {ID_PROMPT_INSERT_PATH, 4, 0}};

bool PromptBar::Create(fw::FrameWnd* frame, fw::StatusBar* host)
{
    m_frame = frame;
    m_host = host;
    HWND parent = host ? host->m_status : NULL;
    if (!frame || !parent || !m_field.Create(parent, IDC_PROMPT))
        return false;
    HWND combo = m_field.Combo();
    SendMessageA(combo, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
    SendMessageA(combo, CB_SETEXTENDEDUI, TRUE, 0);
    // Command lines may be long; the field takes what the shell can run.
    SendMessageA(combo, CB_LIMITTEXT, 32767, 0);
    SetWindowSubclass(m_field.Edit(), ComboProc, 1, reinterpret_cast<DWORD_PTR>(this));
    m_field.onRefused = [this](const char* name) {
        Msg(m_frame->m_hWnd, MB_OK | MB_ICONERROR, IDS_NAME_INEXACT, name);
    };
    m_field.onDropped = [this](const std::string& before) {
        m_undo = before;
        if (onDropped)
            onDropped();
    };
    m_toolbar = fw::ToolBar::CreateControl(parent, IDC_PROMPT_TOOLBAR, "", GetModuleHandleA(NULL),
                                           IDB_PROMPT_TOOLBAR, 5, kButtons,
                                           (int)(sizeof(kButtons) / sizeof(kButtons[0])));
    if (!m_toolbar)
        return false;
    // The status control passes on what its new children say.
    SetWindowSubclass(parent, HostProc, 3, reinterpret_cast<DWORD_PTR>(this));
    LoadHistory();
    SetText("");
    return true;
}

LRESULT CALLBACK PromptBar::HostProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    PromptBar* self = reinterpret_cast<PromptBar*>(data);
    switch (msg) {
    case WM_COMMAND:
        if ((HWND)lp == self->m_toolbar && self->m_frame && self->m_frame->m_hWnd) {
            PostMessageA(self->m_frame->m_hWnd, WM_COMMAND, LOWORD(wp), 0);
            return 0;
        }
        if ((HWND)lp == self->Combo())
            return 0;   // the combo box's notifications need no answer
        break;
    case WM_NOTIFY:
        if (fw::SetCommandTip(reinterpret_cast<NMHDR*>(lp)))
            return 0;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(wnd, HostProc, 3);
        break;
    }
    return DefSubclassProc(wnd, msg, wp, lp);
}

int PromptBar::Height() const
{
    RECT r = {};
    if (Combo())
        GetWindowRect(Combo(), &r);
    int h = r.bottom - r.top;
    DWORD bs = m_toolbar ? (DWORD)SendMessageA(m_toolbar, TB_GETBUTTONSIZE, 0, 0) : 0;
    return std::max(h > 0 ? h : GetSystemMetrics(SM_CYMENU), (int)HIWORD(bs));
}

void PromptBar::Place(const RECT& area)
{
    HWND combo = Combo();
    if (!combo)
        return;
    DWORD bs = m_toolbar ? (DWORD)SendMessageA(m_toolbar, TB_GETBUTTONSIZE, 0, 0) : 0;
    int barWidth = 0;
    if (m_toolbar) {
        SIZE size = {};
        SendMessageA(m_toolbar, TB_GETMAXSIZE, 0, (LPARAM)&size);
        barWidth = size.cx;
    }
    int width = area.right - area.left;
    if (width <= barWidth + 40) {
        ShowWindow(combo, SW_HIDE);
        if (m_toolbar)
            ShowWindow(m_toolbar, SW_HIDE);
        return;
    }
    RECT cr;
    GetWindowRect(combo, &cr);
    int ch = cr.bottom - cr.top;
    int mid = (area.top + area.bottom) / 2;
    // The list drops below the bar's top edge: its height is the closed box and the list.
    SetWindowPos(combo, HWND_TOP, area.left, mid - ch / 2, width - barWidth - 2, 200,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (m_toolbar)
        SetWindowPos(m_toolbar, HWND_TOP, area.right - barWidth, mid - (int)HIWORD(bs) / 2, barWidth,
                     HIWORD(bs), SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool PromptBar::IsVisible() const
{
    return m_host && m_host->IsVisible() && Combo() && (GetWindowLongA(Combo(), GWL_STYLE) & WS_VISIBLE);
}

void PromptBar::Show()
{
    if (m_host && m_frame && !m_host->IsVisible())
        m_frame->ShowControlBar(m_host, true);
}

void PromptBar::UpdateButtons(fw::Wnd* target)
{
    if (!m_toolbar || !target || !IsVisible())
        return;
    for (const fw::ToolBar::Button& b : kButtons) {
        if (!b.id)
            continue;
        fw::CmdUI ui;
        ui.m_nID = b.id;
        ui.m_toolbar = m_toolbar;
        target->OnCmdMsg(b.id, 0, &ui);
    }
}

bool PromptBar::IsPromptWindow(HWND wnd) const
{
    return Combo() && wnd && (wnd == Combo() || IsChild(Combo(), wnd));
}

std::string PromptBar::GetText() const
{
    if (!Combo())
        return std::string();
    int len = GetWindowTextLengthA(Combo());
    // A UTF-16 window may count fewer units than the 8-bit text takes bytes.
    std::vector<char> text((size_t)len * 3 + 1, 0);
    GetWindowTextA(Combo(), text.data(), (int)text.size());
    return text.data();
}

bool PromptBar::HasText() const
{
    return Combo() && GetWindowTextLengthA(Combo()) > 0;
}

void PromptBar::SetText(const std::string& text)
{
    if (!Combo())
        return;
    SetWindowTextA(Combo(), text.c_str());
    // The caret goes behind the text.
    SendMessageA(Combo(), CB_SETEDITSEL, 0, MAKELPARAM(text.size(), text.size()));
}

void PromptBar::Focus()
{
    if (Combo())
        SetFocus(Combo());
}

void PromptBar::LoadHistory()
{
    m_history.Load(kHistoryName, kHistorySize);
    std::string keep = GetText();
    SendMessageA(Combo(), CB_RESETCONTENT, 0, 0);
    for (POS pos = m_history.GetHeadPos(); pos;)
        SendMessageA(Combo(), CB_INSERTSTRING, (WPARAM)-1, (LPARAM)m_history.GetNextStr(pos));
    SetWindowTextA(Combo(), keep.c_str());
}

bool PromptBar::DeleteHighlighted()
{
    int index = (int)SendMessageA(Combo(), CB_GETCURSEL, 0, 0);
    if (index < 0)
        return false;
    int len = (int)SendMessageA(Combo(), CB_GETLBTEXTLEN, index, 0);
    if (len < 0)
        return false;
    std::vector<char> text((size_t)len * 3 + 1, 0);
    SendMessageA(Combo(), CB_GETLBTEXT, index, (LPARAM)text.data());
    if (POS pos = m_history.FindNoCase(text.data())) {
        m_history.RemoveAt(pos);
        m_history.Store();
    }
    SendMessageA(Combo(), CB_DELETESTRING, index, 0);
    return true;
}

int PromptBar::Insert(ViewFrame* panel, InsertKind kind, HWND owner)
{
    if (!panel)
        return 0;
    ID_List selection;
    if (!panel->GetSelection(selection))
        return 0;
    Show();
    std::string before = GetText(), text = before;
    int inserted = 0;
    for (const ITEMIDLIST* item = selection.GetFirstPidl(); item; item = selection.GetNextPidl()) {
        PIDL full(panel->GetCurrentFolder());
        full.AppendAll(item);
        char path[kMaxPathBytes] = "";
        int status = GetExactPathOf(full, path, MAX_PATH);
        if (status == PathRefused) {
            char name[MAX_PATH] = "";
            GetNameForMessage(full, name, sizeof(name));
            Msg(owner, MB_OK | MB_ICONERROR, IDS_NAME_INEXACT, name);
            continue;
        }
        if (status != PathExact)
            continue;
        std::string piece = prompt::PieceOf(path, kind);
        if (piece.empty())
            continue;
        text = prompt::Append(text, piece);
        inserted++;
    }
    if (!inserted)
        return 0;
    m_undo = before;
    SetText(text);
    if (inserted == 1 && GetMainApp().m_settings.pane.IsOn(0x8) && panel->GetView())
        panel->GetView()->SelectNextItem(1);
    return inserted;
}

void PromptBar::Undo()
{
    SetText(m_undo);
}

void PromptBar::Clear()
{
    m_undo = GetText();
    SetText("");
}

bool PromptBar::Execute(ViewFrame* panel, HWND owner)
{
    if (SendMessageA(Combo(), CB_GETDROPPEDSTATE, 0, 0)) {
        // The highlighted entry goes into the field first; Enter again runs it.
        SendMessageA(Combo(), CB_SHOWDROPDOWN, FALSE, 0);
        return false;
    }
    VmWaitCursor wait;
    std::string text = GetText();
    if (text.empty())
        return false;
    if (GetMainApp().m_settings.IsOn(SO_EXPAND_DRIVE_LETTERS))
        text = prompt::ExpandDriveLetters(text);
    std::string program, params;
    prompt::SplitCommand(text, program, params);
    if (program.empty())
        return false;
    // Running a folder (or a shortcut to one) would open it outside the panel's root.
    if (RunWouldLeaveRoot(panel, program.c_str(), owner))
        return false;
    char dir[MAX_PATH] = "";
    if (panel) {
        const ITEMIDLIST* folder = panel->GetCurrentFolder();
        if (folder && folder->mkid.cb == 0)
            SHGetSpecialFolderPathA(owner, dir, CSIDL_DESKTOPDIRECTORY, FALSE);
        else
            StrCopyN(dir, panel->GetPath(), sizeof(dir));
    }
    SHELLEXECUTEINFOA sei = {};
    sei.cbSize = sizeof(sei);
    sei.hwnd = owner;
    sei.lpFile = program.c_str();
    sei.lpParameters = params.empty() ? NULL : params.c_str();
    sei.lpDirectory = dir[0] ? dir : NULL;
    sei.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&sei))
        return false;   // the text stays; the shell has said why
    m_history.Load(kHistoryName, kHistorySize);
    m_history.Update(GetText().c_str());
    m_history.Store();
    SetText("");
    LoadHistory();
    return true;
}
