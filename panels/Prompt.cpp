#include "panels/Prompt.h"
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
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>
#include <vector>

namespace prompt {

std::string Append(const std::string& text, const std::string& item)
{
    std::string out = text;
    if (!out.empty() && out.back() != ' ')
        out += ' ';
    if (item.find(' ') != std::string::npos)
        out += '"' + item + '"';
    else
        out += item;
    return out;
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

bool PromptBar::Create(fw::FrameWnd* frame)
{
    m_gripper = true;
    if (!CreateBar(frame, ID_BAR, "Command prompt", fw::DockBottom, (1u << fw::DockTop) | (1u << fw::DockBottom)))
        return false;
    m_combo = CreateWindowExA(0, "COMBOBOX", "",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                              0, 0, 100, 200, m_hWnd, (HMENU)(UINT_PTR)IDC_PROMPT, NULL, NULL);
    if (!m_combo)
        return false;
    SendMessageA(m_combo, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
    SendMessageA(m_combo, CB_SETEXTENDEDUI, TRUE, 0);
    // Command lines may be long; the field takes what the shell can run.
    SendMessageA(m_combo, CB_LIMITTEXT, 32767, 0);
    COMBOBOXINFO info = {sizeof(info)};
    if (GetComboBoxInfo(m_combo, &info) && info.hwndItem)
        SetWindowSubclass(info.hwndItem, ComboProc, 1, reinterpret_cast<DWORD_PTR>(this));
    LoadHistory();
    SetText("");
    frame->RecalcLayout();
    return true;
}

int PromptBar::CalcThickness(bool)
{
    RECT r = {};
    if (m_combo)
        GetWindowRect(m_combo, &r);
    int h = r.bottom - r.top;
    return (h > 0 ? h : GetSystemMetrics(SM_CYMENU)) + 4;
}

void PromptBar::LayoutContent(const RECT& rc)
{
    if (m_combo)
        MoveWindow(m_combo, rc.left + 2, rc.top + 2, rc.right - rc.left - 4, 200, TRUE);
}

bool PromptBar::IsPromptWindow(HWND wnd) const
{
    return m_combo && wnd && (wnd == m_combo || IsChild(m_combo, wnd));
}

std::string PromptBar::GetText() const
{
    if (!m_combo)
        return std::string();
    int len = GetWindowTextLengthA(m_combo);
    std::vector<char> text((size_t)len + 1, 0);
    GetWindowTextA(m_combo, text.data(), len + 1);
    return text.data();
}

bool PromptBar::HasText() const
{
    return m_combo && GetWindowTextLengthA(m_combo) > 0;
}

void PromptBar::SetText(const std::string& text)
{
    if (!m_combo)
        return;
    SetWindowTextA(m_combo, text.c_str());
    // The caret goes behind the text.
    SendMessageA(m_combo, CB_SETEDITSEL, 0, MAKELPARAM(text.size(), text.size()));
}

void PromptBar::Focus()
{
    if (m_combo)
        SetFocus(m_combo);
}

void PromptBar::LoadHistory()
{
    m_history.Load(kHistoryName, kHistorySize);
    std::string keep = GetText();
    SendMessageA(m_combo, CB_RESETCONTENT, 0, 0);
    for (POS pos = m_history.GetHeadPos(); pos;)
        SendMessageA(m_combo, CB_INSERTSTRING, (WPARAM)-1, (LPARAM)m_history.GetNextStr(pos));
    SetWindowTextA(m_combo, keep.c_str());
}

bool PromptBar::DeleteHighlighted()
{
    int index = (int)SendMessageA(m_combo, CB_GETCURSEL, 0, 0);
    if (index < 0)
        return false;
    int len = (int)SendMessageA(m_combo, CB_GETLBTEXTLEN, index, 0);
    if (len < 0)
        return false;
    std::vector<char> text((size_t)len + 1, 0);
    SendMessageA(m_combo, CB_GETLBTEXT, index, (LPARAM)text.data());
    if (POS pos = m_history.FindNoCase(text.data())) {
        m_history.RemoveAt(pos);
        m_history.Store();
    }
    SendMessageA(m_combo, CB_DELETESTRING, index, 0);
    return true;
}

int PromptBar::Insert(ViewFrame* panel, InsertKind kind, HWND owner)
{
    if (!panel)
        return 0;
    ID_List selection;
    if (!panel->GetSelection(selection))
        return 0;
    if (!IsVisible() && m_frame)
        m_frame->ShowControlBar(this, true);
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
        if (status != PathExact || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            continue;
        if (kind == InsertNameAlias || kind == InsertPathAlias)
            ConvertToShortPath(path);
        const char* piece = path;
        if (kind == InsertName || kind == InsertNameAlias) {
            // The last component (a drive root keeps its whole text).
            const char* name = FindNameExt(path);
            if (name && *name)
                piece = name;
        }
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
    if (SendMessageA(m_combo, CB_GETDROPPEDSTATE, 0, 0)) {
        // The highlighted entry goes into the field first; Enter again runs it.
        SendMessageA(m_combo, CB_SHOWDROPDOWN, FALSE, 0);
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

LRESULT PromptBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    // The combo box's notifications need no answer here.
    if (msg == WM_COMMAND && (HWND)lp == m_combo)
        return 0;
    return ControlBar::WindowProc(msg, wp, lp);
}
