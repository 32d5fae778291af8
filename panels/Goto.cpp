#include "panels/Goto.h"
#include "panels/ViewFrame.h"
#include "app/Policy.h"
#include "app/Resource.h"
#include "shell/PathConv.h"
#include "shell/Pidl.h"
#include "ui/MsgUtil.h"
#include "ui/VmDlg.h"
#include "ui/VmHistCB.h"
#include "util/PathUtil.h"
#include "util/StrUtil.h"
#include <shlobj.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

// Special folders of the list, in its order: (shell special-folder number, label string).
const int kSpecialFolders[] = {48, 47, 29, 30, 26, 35, 28, 16, 25, 5, 46, 6, 31, 2, 23, 11, 22, 7,
                               24, 21, 45, 33, 20, 34, 32, 39, 19, 27, 40, 38, 43, 8, 9, 36, 37};
static_assert(sizeof(kSpecialFolders) / sizeof(kSpecialFolders[0]) ==
                  IDS_GOTO_SPECIAL_LAST - IDS_GOTO_SPECIAL_FIRST + 1,
              "one label string per special folder");

// Characters no file or folder name holds (beside the separators and the drive colon).
bool HasInvalidChars(const char* text)
{
    for (const char* p = text; *p; p++) {
        BYTE c = (BYTE)*p;
        if (c < 32 || strchr("*?\"<>|", c))
            return true;
    }
    return !IsValidAnsiText(text);
}

bool IsFolderText(const char* text)
{
    DWORD attr = GetFileAttributesA(text);
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    // A server root (\\server) and FTP addresses are folders the shell browses.
    return (IsNetworkFolder(text) && IsRootFolder(text, 1)) || IsFtpFolder(text);
}

// The folder a shortcut file points to, into out; false when it is none.
bool LinkTargetFolder(const char* file, char* out, int size)
{
    out[0] = 0;
    const char* ext = strrchr(file, '.');
    if (!ext || lstrcmpiA(ext, ".lnk") != 0)
        return false;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link)))
        return false;
    bool ok = false;
    IPersistFile* file2 = nullptr;
    WCHAR wide[MAX_PATH];
    if (AnsiToWideExact(file, -1, wide, MAX_PATH) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file2))) {
        if (SUCCEEDED(file2->Load(wide, STGM_READ))) {
            ITEMIDLIST* target = nullptr;
            if (SUCCEEDED(link->GetIDList(&target)) && target) {
                ok = GetExactPathOf(target, out, size) == PathExact;
                FreePIDL(target);
            }
        }
        file2->Release();
    }
    link->Release();
    DWORD attr = ok ? GetFileAttributesA(out) : INVALID_FILE_ATTRIBUTES;
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

GotoResult GotoFolderText(ViewFrame* panel, const char* typed, HWND owner)
{
    if (!panel || !typed)
        return GotoCancelled;
    size_t len = strlen(typed);
    if (len >= MAX_PATH) {
        Msg(owner, MB_OK | MB_ICONERROR, IDS_PATH_TOO_LONG, (int)len);
        return GotoRefused;
    }
    char text[MAX_PATH];
    StrCopyN(text, typed, sizeof(text));
    RemoveWhiteSpacesAndQuotes(text);
    if (!text[0])
        return GotoCancelled;
    if (HasInvalidChars(text)) {
        Msg(owner, MB_OK | MB_ICONERROR, IDS_PATH_INVALID, text);
        return GotoRefused;
    }
    // A confined panel takes no network or FTP address: they have no final path in the root.
    RootKind kind;
    if (GetPanelRoot(panel->GetIndex(), kind) && (IsNetworkFolder(text) || IsFtpFolder(text))) {
        ShowRestrictedMessage();
        return GotoRefused;
    }
    // A relative text (".." and the like) is taken from the panel's folder.
    char full[MAX_PATH];
    if (!IsNetworkFolder(text) && !IsFtpFolder(text) && panel->GetPath()[0] &&
        !(text[0] && text[1] == ':' && (text[2] == '\\' || text[2] == '/'))) {
        char base[MAX_PATH];
        StrCopyN(base, panel->GetPath(), sizeof(base));
        AppendBackSlash(base, sizeof(base));
        std::string joined = (text[0] == '\\' || text[0] == '/') ? std::string(text) : std::string(base) + text;
        DWORD n = GetFullPathNameA(joined.c_str(), sizeof(full), full, NULL);
        if (!n || n >= sizeof(full)) {
            Msg(owner, MB_OK | MB_ICONERROR, IDS_PATH_TOO_LONG, (int)joined.size());
            return GotoRefused;
        }
        StrCopyN(text, full, sizeof(text));
    }
    if (!IsFolderText(text))
        return GotoNotFolder;
    // Confined panels refuse outside folders here already: server roots and addresses the
    // shell might still open have no final path inside the root.
    if (!IsPathInPanelRoot(panel->GetIndex(), text)) {
        ShowRestrictedMessage();
        return GotoRefused;
    }
    PIDL folder;
    folder.Attach(GetPidlOf(text));
    if (!folder) {
        Msg(owner, MB_OK | MB_ICONERROR, IDS_FOLDER_UNREACHABLE, text);
        return GotoRefused;
    }
    // The panel's one way in checks the root policy and says so when it refuses.
    return panel->BrowseObject(folder, SBSP_ABSOLUTE) ? GotoBrowsed : GotoRefused;
}

bool RunWouldLeaveRoot(ViewFrame* panel, const char* text, HWND)
{
    RootKind kind;
    if (!panel || !GetPanelRoot(panel->GetIndex(), kind))
        return false;
    char expanded[MAX_PATH] = "", target[kMaxPathBytes] = "";
    DWORD n = ExpandEnvironmentStringsA(text, expanded, sizeof(expanded));
    if (!n || n > sizeof(expanded))
        StrCopyN(expanded, text, sizeof(expanded));
    if (IsNetworkFolder(expanded) || IsFtpFolder(expanded)) {
        ShowRestrictedMessage();
        return true;
    }
    const char* folder = nullptr;
    if (LinkTargetFolder(expanded, target, sizeof(target)))
        folder = target;
    else if (IsFolderText(expanded))
        folder = expanded;
    if (!folder || IsPathInPanelRoot(panel->GetIndex(), folder))
        return false;
    ShowRestrictedMessage();
    return true;
}

namespace {

// The history box of the dialog: Delete in the open list removes the highlighted entry from
// the box and the history.
class GotoHistCB : public VmHistCB {
public:
    GotoHistCB() : VmHistCB(StyleClearEntry) {}
    BOOL OnEditMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (msg == WM_KEYDOWN && wParam == VK_DELETE && SendMessageA(m_hWnd, CB_GETDROPPEDSTATE, 0, 0)) {
            int sel = GetCurSel();
            char text[kMaxPathBytes] = "";
            if (sel >= 0 && !IsClearItem(sel) && GetLBText(sel, text, sizeof(text)) >= 0) {
                if (POS pos = m_list.FindNoCase(text)) {
                    m_list.RemoveAt(pos);
                    Store();
                }
                SendMessageA(m_hWnd, CB_SHOWDROPDOWN, FALSE, 0);
                Load();
            }
            result = 0;
            return TRUE;
        }
        return VmHistCB::OnEditMessage(msg, wParam, lParam, result);
    }
};

class GotoDlg : public VmDlg {
public:
    GotoDlg(const char* start, HWND around) : m_around(around)
    {
        StrCopyN(m_start, start, sizeof(m_start));
        AddCtrl(&m_path, IDC_GOTO_PATH, "GoToFolderMRU");
        SetResizable(ResizeWidth | ResizeHeight, "DlgGoto");
    }

    BOOL OnInitDialog() override
    {
        VmDlg::OnInitDialog();
        m_path.SetText(m_start);
        HWND list = GetDlgItem(m_hWnd, IDC_GOTO_SPECIAL);
        for (size_t i = 0; i < sizeof(kSpecialFolders) / sizeof(kSpecialFolders[0]); i++) {
            char path[MAX_PATH];
            if (!GetSpecialFolderPath(m_hWnd, kSpecialFolders[i], path))
                continue;
            char label[128];
            LoadStringA(GetModuleHandleA(NULL), IDS_GOTO_SPECIAL_FIRST + (UINT)i, label, sizeof(label));
            int at = (int)SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)label);
            m_paths.push_back(path);
            SendMessageA(list, LB_SETITEMDATA, at, (LPARAM)(m_paths.size() - 1));
        }
        MatchSpecial();
        if (m_around) {
            // Centred on the active panel.
            RECT p, d;
            GetWindowRect(m_around, &p);
            GetWindowRect(m_hWnd, &d);
            int w = d.right - d.left, h = d.bottom - d.top;
            SetWindowPos(m_hWnd, NULL, (p.left + p.right - w) / 2, (p.top + p.bottom - h) / 2, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        SetFocus(m_path.GetHWND());
        SendMessageA(m_path.GetHWND(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        return FALSE;
    }

    bool OnCommand(int id, int code, HWND control) override
    {
        if (id == IDC_GOTO_SPECIAL && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
            HWND list = GetDlgItem(m_hWnd, IDC_GOTO_SPECIAL);
            int sel = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
            if (sel >= 0) {
                size_t index = (size_t)SendMessageA(list, LB_GETITEMDATA, sel, 0);
                if (index < m_paths.size())
                    m_path.SetText(m_paths[index].c_str());
            }
            if (code == LBN_DBLCLK)
                OnOK();
            return true;
        }
        if (id == IDC_GOTO_PATH && code == CBN_EDITCHANGE) {
            MatchSpecial();
            return true;
        }
        return VmDlg::OnCommand(id, code, control);
    }

    void OnOK() override
    {
        int len = GetWindowTextLengthA(m_path.GetHWND());
        std::vector<char> text((size_t)len + 1, 0);
        GetWindowTextA(m_path.GetHWND(), text.data(), len + 1);
        typed = text.data();
        VmDlg::OnOK();
    }

    void OnResize(int dx, int dy) override
    {
        // The path box and the list take the new width; the list takes the new height; the
        // buttons keep to the right edge.
        Grow(IDC_GOTO_PATH, dx, 0, false);
        Grow(IDC_GOTO_SPECIAL, dx, dy, false);
        Grow(IDC_GOTO_PROMPT, dx, 0, false);
        for (int id : {IDOK, IDCANCEL, (int)IdHelpButton})
            Grow(id, dx, 0, true);
    }

    std::string typed;

private:
    void Grow(int id, int dx, int dy, bool move)
    {
        HWND c = GetDlgItem(m_hWnd, id);
        if (!c)
            return;
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(NULL, m_hWnd, (POINT*)&r, 2);
        if (move)
            SetWindowPos(c, NULL, r.left + dx, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        else
            SetWindowPos(c, NULL, 0, 0, r.right - r.left + dx, r.bottom - r.top + dy, SWP_NOMOVE | SWP_NOZORDER);
        InvalidateRect(c, NULL, TRUE);
    }

    // The special folder whose path is the typed text is selected.
    void MatchSpecial()
    {
        char text[MAX_PATH] = "";
        GetWindowTextA(m_path.GetHWND(), text, sizeof(text));
        RemoveBackSlash(text);
        HWND list = GetDlgItem(m_hWnd, IDC_GOTO_SPECIAL);
        int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0), found = -1;
        for (int i = 0; i < count && found < 0; i++) {
            size_t index = (size_t)SendMessageA(list, LB_GETITEMDATA, i, 0);
            char path[MAX_PATH];
            StrCopyN(path, index < m_paths.size() ? m_paths[index].c_str() : "", sizeof(path));
            RemoveBackSlash(path);
            if (text[0] && lstrcmpiA(path, text) == 0)
                found = i;
        }
        SendMessageA(list, LB_SETCURSEL, found, 0);
    }

    char m_start[MAX_PATH];
    GotoHistCB m_path;
    HWND m_around;
    std::vector<std::string> m_paths;
};

}  // namespace

void RunGotoDialog(HWND owner, ViewFrame* panel, bool centreOnPanel)
{
    if (!panel)
        return;
    char start[MAX_PATH] = "";
    const ITEMIDLIST* current = panel->GetCurrentFolder();
    if (current && current->mkid.cb == 0)
        SHGetSpecialFolderPathA(owner, start, CSIDL_DESKTOPDIRECTORY, FALSE);
    else
        StrCopyN(start, panel->GetPath(), sizeof(start));
    GotoDlg dlg(start, centreOnPanel ? panel->m_hWnd : NULL);
    if (dlg.Modal(IDD_GOTO, GetModuleHandleA(NULL), owner) != IDOK)
        return;
    GotoResult r = GotoFolderText(panel, dlg.typed.c_str(), owner);
    if (r != GotoNotFolder)
        return;
    char text[MAX_PATH];
    StrCopyN(text, dlg.typed.c_str(), sizeof(text));
    RemoveWhiteSpacesAndQuotes(text);
    if (RunWouldLeaveRoot(panel, text, owner))
        return;
    // Neither a folder: a program or document; the shell says why when it cannot run it.
    RunFile(text, NULL, NULL);
}
