#include "commands/Stamp.h"
#include "app/MainApp.h"
#include "app/MainFrame.h"
#include "app/Settings.h"
#include "commands/SelectCommands.h"
#include "commands/SelectRes.h"
#include "commands/StampText.h"
#include "files/FileEnum.h"
#include "files/FileOp.h"
#include "files/Progress.h"
#include "LibRes.h"
#include "panels/ViewFrame.h"
#include "shell/IdList.h"
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

// Bits of "Settings2" that the Stamp dialog keeps.
enum : DWORD {
    S2_STAMP_SUBFOLDERS = 0x100000,
    S2_STAMP_CREATED = 0x200000,
    S2_STAMP_ACCESSED = 0x400000,
    S2_STAMP_MODIFIED = 0x800000
};
const int kHistSize = 9;

std::string AppString(UINT id)
{
    char text[1024];
    if (LoadStringA(GetModuleHandleA(NULL), id, text, sizeof(text)) <= 0)
        return std::string();
    return text;
}

std::string WholeText(HWND wnd)
{
    int len = wnd ? GetWindowTextLengthA(wnd) : 0;
    std::string text(len + 1, '\0');
    if (len > 0)
        GetWindowTextA(wnd, &text[0], len + 1);
    text.resize(strlen(text.c_str()));
    size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos)
        return std::string();
    return text.substr(b, text.find_last_not_of(" \t") - b + 1);
}

// What one run stamps with, read by the per-object step and the tree walk.
struct StampRun {
    StampValue value;
    bool created = false, accessed = false, modified = false;
};

class StampDlg : public VmDlg {
public:
    // label: the string naming one object's kind, 0 for several ("Selection:" stays).
    StampDlg(const char* selection, UINT label, const char* folder, const StampLocale& loc)
        : m_loc(loc), m_label(label)
    {
        StrCopyN(m_selection, selection, sizeof(m_selection));
        StrCopyN(m_folder, folder, sizeof(m_folder));
        m_date.SetMaxHistSize(kHistSize);
        m_time.SetMaxHistSize(kHistSize);
        AddCtrl(&m_date, IDC_STAMP_DATE, "StampDateMRU");
        AddCtrl(&m_time, IDC_STAMP_TIME, "StampTimeMRU");
    }

    StampRun run;
    bool subfolders = false;

    BOOL OnInitDialog() override
    {
        HICON icon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_STAMP));
        if (icon)
            SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, (LPARAM)icon);
        if (m_label)
            SetDlgItemTextA(m_hWnd, IDC_STAMP_SEL_LABEL, AppString(m_label).c_str());
        SetDlgItemTextA(m_hWnd, IDC_STAMP_SELECTION, m_selection);
        SetDlgItemTextA(m_hWnd, IDC_STAMP_FOLDER, m_folder);
        char hint[64];
        m_loc.DateHint(hint, sizeof(hint));
        SetDlgItemTextA(m_hWnd, IDC_STAMP_DATE_HINT, hint);
        m_loc.TimeHint(hint, sizeof(hint));
        SetDlgItemTextA(m_hWnd, IDC_STAMP_TIME_HINT, hint);
        Settings2Opts& s2 = GetMainApp().m_settings.settings2;
        CheckDlgButton(m_hWnd, IDC_STAMP_SUBFOLDERS, s2.IsOn(S2_STAMP_SUBFOLDERS));
        CheckDlgButton(m_hWnd, IDC_STAMP_CREATED, s2.IsOn(S2_STAMP_CREATED));
        CheckDlgButton(m_hWnd, IDC_STAMP_ACCESSED, s2.IsOn(S2_STAMP_ACCESSED));
        CheckDlgButton(m_hWnd, IDC_STAMP_MODIFIED, s2.IsOn(S2_STAMP_MODIFIED));
        HWND owner = GetWindow(m_hWnd, GW_OWNER);
        RECT ro, rc;
        GetWindowRect(m_hWnd, &rc);
        if (owner && GetWindowRect(owner, &ro))
            SetWindowPos(m_hWnd, NULL, (ro.left + ro.right - (rc.right - rc.left)) / 2,
                         (ro.top + ro.bottom - (rc.bottom - rc.top)) / 2, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetFocus(m_date.GetHWND());
        return FALSE;
    }

    bool OnCommand(int id, int code, HWND) override
    {
        if (id == IDHELP && code == BN_CLICKED) {
            OnHelp(IDD_STAMP);
            return true;
        }
        return false;
    }

    void OnOK() override
    {
        std::string date = WholeText(m_date.GetHWND());
        std::string time = WholeText(m_time.GetHWND());
        static const UINT words[] = {0, IDS_STAMP_WORD_DATE, IDS_STAMP_WORD_MONTH, IDS_STAMP_WORD_DAY,
                                     IDS_STAMP_WORD_TIME, IDS_STAMP_WORD_HOUR, IDS_STAMP_WORD_MINUTE,
                                     IDS_STAMP_WORD_SECOND};
        StampCheck check = CheckStampInput(m_loc, date.c_str(), time.c_str());
        if (check != StampOk) {
            Msg(m_hWnd, MB_OK | MB_ICONERROR, IDS_STAMP_INVALID, AppString(words[check]).c_str());
            int field = check <= StampBadDay ? IDC_STAMP_DATE : IDC_STAMP_TIME;
            SendMessageA(m_hWnd, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(m_hWnd, field), TRUE);
            return;
        }
        run.created = IsDlgButtonChecked(m_hWnd, IDC_STAMP_CREATED) == BST_CHECKED;
        run.accessed = IsDlgButtonChecked(m_hWnd, IDC_STAMP_ACCESSED) == BST_CHECKED;
        run.modified = IsDlgButtonChecked(m_hWnd, IDC_STAMP_MODIFIED) == BST_CHECKED;
        // Nothing to change: rather than rewriting every time as it is, ask for a kind.
        if (!run.created && !run.accessed && !run.modified) {
            Msg(m_hWnd, MB_OK | MB_ICONWARNING, IDS_STAMP_NO_KIND);
            return;
        }
        subfolders = IsDlgButtonChecked(m_hWnd, IDC_STAMP_SUBFOLDERS) == BST_CHECKED;
        StampValue& v = run.value;
        v.hasDate = !date.empty() && ParseStampDate(m_loc, date.c_str(), v.year, v.month, v.day);
        v.hasTime = !time.empty() && ParseStampTime(m_loc, time.c_str(), v.hour, v.minute, v.second);
        m_date.SetText(date.c_str());
        m_time.SetText(time.c_str());
        Settings2Opts& s2 = GetMainApp().m_settings.settings2;
        s2.Set(S2_STAMP_SUBFOLDERS, subfolders);
        s2.Set(S2_STAMP_CREATED, run.created);
        s2.Set(S2_STAMP_ACCESSED, run.accessed);
        s2.Set(S2_STAMP_MODIFIED, run.modified);
        s2.Store();
        CloseDialog(IDOK, 1);
    }

private:
    StampLocale m_loc;
    UINT m_label;
    char m_selection[MAX_PATH];
    char m_folder[MAX_PATH];
    VmHistCB m_date, m_time;
};

int StampTreeItem(const char* folder, const WIN32_FIND_DATAA* data, void* context)
{
    const StampRun* run = static_cast<const StampRun*>(context);
    char path[MAX_PATH];
    if (MakePath(path, folder, data->cFileName, nullptr, sizeof(path)) && IsPassablePath(path)) {
        if (StampObject(path, run->value, run->created, run->accessed, run->modified))
            SHChangeNotify(SHCNE_UPDATEITEM, SHCNF_PATHA | SHCNF_FLUSH, path, NULL);
    }
    return 1;
}

}  // namespace

bool StampObject(const char* path, const StampValue& value, bool created, bool accessed,
                 bool modified)
{
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FILETIME times[3];
    bool ok = GetFileTime(h, &times[0], &times[1], &times[2]) != 0;
    const bool apply[3] = {created, accessed, modified};
    for (int i = 0; ok && i < 3; ++i)
        if (apply[i])
            ok = ApplyStamp(value, times[i]);
    if (ok)
        ok = SetFileTime(h, &times[0], &times[1], &times[2]) != 0;
    CloseHandle(h);
    return ok;
}

void Stamp_Run(CMainFrame& frame)
{
    ViewFrame* panel = frame.ActivePanel();
    if (!panel)
        return;
    ID_List selection;
    panel->GetSelection(selection);
    char folder[MAX_PATH] = "";
    GetPathOf(panel->GetCurrentFolder(), folder, sizeof(folder));
    if (!folder[0])
        StrCopyN(folder, panel->GetPath(), sizeof(folder));

    // The source list first: its count names the selection in the dialog.
    FileOpSrcData data = {0, nullptr, &selection};
    int count = 0;
    int size = selection.IsReady() ? FileOp_MakeSrc(FileOpSrcIDList, &data, &count, nullptr, nullptr, 0) : 2;
    std::vector<char> list;
    if (size > 2) {
        try {
            list.resize(size);
        } catch (...) {
            Msg(frame.m_hWnd, MB_OK | MB_ICONERROR, -IDS_LIB_FILEOP_NOMEMORY);
            return;
        }
        FileOp_MakeSrc(FileOpSrcIDList, &data, &count, nullptr, list.data(), size);
    }
    if (count <= 0 || list.empty() || !list[0]) {
        Msg(frame.m_hWnd, MB_OK | MB_ICONERROR, -IDS_LIB_FILEOP_NOTHING);
        return;
    }

    char selText[MAX_PATH];
    UINT label = 0;
    if (count == 1) {
        DWORD attr = GetFileAttributesA(list.data());
        bool isFolder = attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
        label = isFolder ? IDS_STAMP_FOLDER : IDS_STAMP_FILE;
        const char* name = FindNameExt(list.data());
        StrCopyN(selText, name && *name ? name : list.data(), sizeof(selText));
    } else {
        wsprintfA(selText, AppString(IDS_STAMP_OBJECTS).c_str(), count);
    }

    StampDlg dlg(selText, label, folder, StampLocale::FromLocale(GetThreadLocale()));
    if (dlg.Modal(IDD_STAMP, GetModuleHandleA(NULL), frame.m_hWnd) != IDOK)
        return;

    Progress progress(frame.m_hWnd);
    progress.SetTitle(AppString(IDS_STAMP_TITLE).c_str());
    progress.SetRange(1, count);
    progress.SetText(0, AppString(IDS_STAMP_OBJECT).c_str());
    for (const char* path = list.data(); *path; path += strlen(path) + 1) {
        if (progress.IsCanceled())
            break;
        progress.SetText(1, path);
        if (!IsPassablePath(path)) {
            Msg(progress.GetDlgHWND(), MB_OK | MB_ICONWARNING, IDS_PATH_UNSAFE, path);
            if (!progress.IsCanceled())
                progress.StepIt();
            continue;
        }
        if (StampObject(path, dlg.run.value, dlg.run.created, dlg.run.accessed, dlg.run.modified))
            SHChangeNotify(SHCNE_UPDATEITEM, SHCNF_PATHA | SHCNF_FLUSH, path, NULL);
        else if (Msg(progress.GetDlgHWND(), MB_OKCANCEL | MB_ICONWARNING, IDS_STAMP_CANNOT, path) == IDCANCEL)
            break;
        // What lies below a folder is stamped even when the folder itself could not be.
        DWORD attr = GetFileAttributesA(path);
        if (dlg.subfolders && attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY))
            ForEachFileObject(FEFO_PRE | FEFO_RECURSE, path, "*.*", StampTreeItem, &dlg.run);
        if (!progress.IsCanceled())
            progress.StepIt();
    }
    progress.Close();
    frame.UpdateStatusBar(true);
}
