#include "commands/Compare.h"
#include "commands/FolderIndex.h"
#include "commands/ViewQuiet.h"
#include "app/MainApp.h"
#include "app/MainFrame.h"
#include "app/Settings.h"
#include "commands/FileOpsRes.h"
#include "commands/SplitMergeRes.h"
#include "commands/SplitMergeUi.h"
#include "files/FileEnum.h"
#include "files/Progress.h"
#include "LibRes.h"
#include "panels/ViewFrame.h"
#include "shell/IdList.h"
#include "shell/Pidl.h"
#include "ui/MsgUtil.h"
#include "ui/VmDlg.h"
#include "ui/WaitCursor.h"
#include "util/PathUtil.h"
#include "util/ResStr.h"
#include "util/StrUtil.h"
#include <commctrl.h>
#include <shellapi.h>
#include <memory>
#include <string.h>
#include <vector>

namespace {

// Bits of Settings2 and Settings3: the synchronize choices.
enum : DWORD {
    S2_SYN_SUBFOLDERS = 0x1000,
    S2_SYN_COPY_NEWER = 0x2000,
    S2_SYN_DELETE_SUB_ORPHANS = 0x4000,
    S2_SYN_CONFIRM = 0x8000,
    S3_SYN_SKIP_PREVIEW = 0x0001,
    S3_SYN_DELETE_ORPHANS = 0x0020
};

std::string Join(const std::string& folder, const char* name)
{
    std::string out = folder;
    if (!out.empty() && out.back() != '\\' && out.back() != '/')
        out += '\\';
    return out + name;
}

bool SameName(const char* a, const char* b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

// A shell path list: paths each ended by a zero, the list by a second one.
std::string ShellList(const std::vector<std::string>& paths)
{
    std::string out;
    for (const std::string& p : paths) {
        out += p;
        out += '\0';
    }
    out += '\0';
    if (paths.empty())
        out += '\0';
    return out;
}

struct SyncChoices {
    bool copyNewer = false, deleteOrphans = false, subfolders = false, deleteSubOrphans = false;
    bool skipAlways = false, skipOnce = false, confirm = false;
};

// The planned operations of one run.
class SyncPlan {
public:
    SyncPlan(const SyncChoices& c, const std::vector<std::string>& selected, bool whole,
             const std::string& passiveRoot, Progress& progress, HWND owner)
        : m_c(c), m_selected(selected), m_whole(whole), m_passive(passiveRoot), m_progress(progress), m_owner(owner)
    {
    }

    void CopyScan(const std::string& self, const std::string& other, const std::string& rel, bool top);
    void OrphanScan(const std::string& self, const std::string& other, const std::string& rel, bool top);

    std::vector<std::string> copySrc, copyDst, deletes;
    std::vector<std::string> showDelete, showReplace, showCreate;
    bool cancelled = false;

private:
    bool IsSelected(const char* name) const
    {
        for (const std::string& s : m_selected)
            if (SameName(s.c_str(), name))
                return true;
        return false;
    }
    // The shell takes '?' and '*' as wildcards and cuts nothing: a path that may name
    // something else stops the run before anything changes.
    bool Check(const std::string& path)
    {
        if (path.size() < MAX_PATH && path.find_first_of("?*") == std::string::npos)
            return true;
        Msg(m_owner, MB_OK | MB_ICONERROR, IDS_SM_UNSAFE_NAME, path.c_str());
        cancelled = true;
        return false;
    }
    // The name and the bar move at most ten times a second: a message to the dialog's thread
    // for every entry would cost more than the scan.
    void Examine(const char* name)
    {
        if (GetTickCount() - m_shown >= 100) {
            m_shown = GetTickCount();
            m_progress.SetText(2, name);
            m_progress.StepIt();
            // Asking for a cancel costs a trip to the server under Wine: as often as the bar.
            if (m_progress.IsCanceled())
                cancelled = true;
        }
    }

    const SyncChoices& m_c;
    const std::vector<std::string>& m_selected;
    bool m_whole;
    std::string m_passive;
    Progress& m_progress;
    HWND m_owner;
    DWORD m_shown = 0;
};

void SyncPlan::CopyScan(const std::string& self, const std::string& other, const std::string& rel, bool top)
{
    FileEnum entry(FileEnum::NoShortNames);
    bool more = entry.Start(self.c_str());
    // The other folder is read once; one that does not exist yet holds nothing.
    FolderIndex others;
    if (more)
        others.Load(other.c_str());
    for (; more && !cancelled; more = entry.Next()) {
        if (top && !IsSelected(entry.Name()))
            continue;
        Examine(entry.Name());
        const WIN32_FIND_DATAA* match = others.Find(entry.Name());
        bool found = match != nullptr;
        bool matchIsFolder = found && (match->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        std::string show = rel.empty() ? entry.Name() : rel + "\\" + entry.Name();
        if (found && entry.IsFolder() && matchIsFolder) {
            if (m_c.subfolders)
                CopyScan(Join(self, entry.Name()), Join(other, match->cFileName), show, false);
            continue;
        }
        if (found && entry.IsFolder() != matchIsFolder) {
            const std::string& fileSide = entry.IsFolder() ? other : self;
            const std::string& folderSide = entry.IsFolder() ? self : other;
            Msg(m_owner, MB_OK | MB_ICONERROR, IDS_SYNCH_CONFLICT, fileSide.c_str(), entry.Name(),
                folderSide.c_str());
            cancelled = true;
            return;
        }
        std::vector<std::string>* list = nullptr;
        if (found) {
            if (CompareLastWriteOn(entry.LastWrite(), entry.GetFileSystem(), match->ftLastWriteTime,
                                   others.FileSystem()) > 0)
                list = &showReplace;
        } else if (!entry.IsFolder() || m_c.subfolders) {
            list = &showCreate;
        }
        if (!list)
            continue;
        std::string src = Join(self, entry.Name()), dst = Join(other, found ? match->cFileName : entry.Name());
        if (!Check(src) || !Check(dst))
            return;
        copySrc.push_back(src);
        copyDst.push_back(dst);
        list->push_back(show);
    }
}

void SyncPlan::OrphanScan(const std::string& self, const std::string& other, const std::string& rel, bool top)
{
    bool mayDelete = m_c.deleteSubOrphans || (m_whole && m_c.deleteOrphans);
    bool onlySelected = top && !(m_whole && m_c.deleteOrphans);
    // At the top level only the whole-folder box deletes orphan files.
    bool deleteHere = top ? (m_whole && m_c.deleteOrphans) : mayDelete;
    FileEnum entry(FileEnum::NoShortNames);
    bool more = entry.Start(self.c_str());
    FolderIndex others;
    if (more)
        others.Load(other.c_str());
    for (; more && !cancelled; more = entry.Next()) {
        if (onlySelected && !IsSelected(entry.Name()))
            continue;
        Examine(entry.Name());
        const WIN32_FIND_DATAA* match = others.Find(entry.Name());
        std::string show = rel.empty() ? entry.Name() : rel + "\\" + entry.Name();
        if (match) {
            if (entry.IsFolder() && (match->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && m_c.subfolders)
                OrphanScan(Join(self, entry.Name()), Join(other, match->cFileName), show, false);
            continue;
        }
        if (!deleteHere || (entry.IsFolder() && !m_c.subfolders))
            continue;
        std::string path = Join(self, entry.Name());
        if (!Check(path))
            return;
        deletes.push_back(path);
        showDelete.push_back(show);
    }
}

class SyncConfirmDlg : public VmDlg {
public:
    SyncConfirmDlg(const SyncPlan& plan, const char* passive, WINDOWPLACEMENT* placement)
        : m_plan(plan), m_passive(passive), m_placement(placement)
    {
    }
    bool confirm = false;

    BOOL OnInitDialog() override
    {
        VmDlg::OnInitDialog();
        HICON icon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_SYNCHRONIZE));
        if (icon)
            SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, (LPARAM)icon);
        SetDlgItemTextA(m_hWnd, IDC_SYC_PATH, m_passive);
        Fill(IDC_SYC_DELETE_LABEL, IDC_SYC_DELETE_LIST, m_plan.showDelete);
        Fill(IDC_SYC_REPLACE_LABEL, IDC_SYC_REPLACE_LIST, m_plan.showReplace);
        Fill(IDC_SYC_CREATE_LABEL, IDC_SYC_CREATE_LIST, m_plan.showCreate);
        CheckDlgButton(m_hWnd, IDC_SYC_CONFIRM, confirm ? BST_CHECKED : BST_UNCHECKED);
        SplitMergeUi_PlaceDialog(m_hWnd, m_placement);
        return TRUE;
    }
    void OnOK() override
    {
        confirm = IsDlgButtonChecked(m_hWnd, IDC_SYC_CONFIRM) == BST_CHECKED;
        CloseDialog(IDOK, 0);
    }
    bool CanClose(INT_PTR result) override
    {
        SplitMergeUi_SavePlacement(m_hWnd, m_placement);
        return VmDlg::CanClose(result);
    }

private:
    void Fill(int labelId, int listId, const std::vector<std::string>& items)
    {
        char format[128], text[160];
        GetDlgItemTextA(m_hWnd, labelId, format, sizeof(format));
        wsprintfA(text, format, (unsigned long)items.size());
        SetDlgItemTextA(m_hWnd, labelId, text);
        HWND list = GetDlgItem(m_hWnd, listId);
        int widest = 0;
        HDC dc = GetDC(list);
        HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(list, WM_GETFONT, 0, 0));
        for (const std::string& item : items) {
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)item.c_str());
            SIZE size;
            if (GetTextExtentPoint32A(dc, item.c_str(), (int)item.size(), &size) && size.cx > widest)
                widest = size.cx;
        }
        SelectObject(dc, old);
        ReleaseDC(list, dc);
        SendMessageA(list, LB_SETHORIZONTALEXTENT, widest + 8, 0);
    }

    const SyncPlan& m_plan;
    const char* m_passive;
    WINDOWPLACEMENT* m_placement;
};

class SynchronizeDlg : public VmDlg {
public:
    SynchronizeDlg(CMainFrame& frame, ID_List& selection, const char* active, const char* passive, bool whole)
        : m_frame(frame), m_selection(selection), m_active(active), m_passive(passive), m_whole(whole)
    {
        m_placement = SplitMergeUi_Placement(frame.Options(), "DlgSynch");
    }
    SyncChoices choices;
    bool ran = false;   // the shell worked at least once

    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool CanClose(INT_PTR result) override
    {
        SplitMergeUi_SavePlacement(m_hWnd, m_placement);
        return VmDlg::CanClose(result);
    }

private:
    bool Checked(int id) const { return IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }
    void ReadChoices();
    bool Run();

    CMainFrame& m_frame;
    ID_List& m_selection;
    const char* m_active;
    const char* m_passive;
    bool m_whole;
    WINDOWPLACEMENT* m_placement;
    std::vector<std::string> m_names;
};

BOOL SynchronizeDlg::OnInitDialog()
{
    VmDlg::OnInitDialog();
    SetIcon(IDI_SYNCHRONIZE);
    SetDlgItemTextA(m_hWnd, IDC_SYN_ACTIVE_PATH, m_active);
    SetDlgItemTextA(m_hWnd, IDC_SYN_PASSIVE_PATH, m_passive);
    // The selected objects' names, and what to call them.
    bool folder = false;
    PIDL base(m_selection.GetFolderPidl());
    for (const ITEMIDLIST* item = m_selection.GetFirstPidl(); item; item = m_selection.GetNextPidl()) {
        PIDL full(m_selection.GetFolderPidl());
        char path[MAX_PATH];
        if (!full.AppendAll(item) || !GetPathOf(full, path, sizeof(path)) || !FindNameExt(path))
            continue;
        m_names.push_back(FindNameExt(path));
        DWORD attr = GetFileAttributesA(path);
        folder = attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
    }
    char text[MAX_PATH];
    if (m_names.empty()) {
        SetDlgItemTextA(m_hWnd, IDC_SYN_SELECTION, ResStr(IDS_SYN_NOTHING_SELECTED));
        EnableWindow(GetDlgItem(m_hWnd, IDOK), FALSE);
    } else if (m_names.size() == 1) {
        SetDlgItemTextA(m_hWnd, IDC_SYN_SEL_LABEL, ResStr(folder ? IDS_FILEOP_FOLDER : IDS_FILEOP_FILE));
        SetDlgItemTextA(m_hWnd, IDC_SYN_SELECTION, m_names[0].c_str());
    } else {
        wsprintfA(text, ResStr(IDS_FILEOP_OBJECTS), (int)m_names.size());
        SetDlgItemTextA(m_hWnd, IDC_SYN_SELECTION, text);
    }
    CheckDlgButton(m_hWnd, IDC_SYN_COPY_NEWER, choices.copyNewer);
    CheckDlgButton(m_hWnd, IDC_SYN_DELETE_ORPHANS, choices.deleteOrphans && m_whole);
    CheckDlgButton(m_hWnd, IDC_SYN_SUBFOLDERS, choices.subfolders);
    CheckDlgButton(m_hWnd, IDC_SYN_DELETE_SUB_ORPHANS, choices.deleteSubOrphans);
    CheckDlgButton(m_hWnd, IDC_SYN_SKIP_ALWAYS, choices.skipAlways);
    CheckDlgButton(m_hWnd, IDC_SYN_SKIP_ONCE, BST_UNCHECKED);
    if (!m_whole)
        EnableWindow(GetDlgItem(m_hWnd, IDC_SYN_DELETE_ORPHANS), FALSE);
    SplitMergeUi_PlaceDialog(m_hWnd, m_placement);
    return TRUE;
}

bool SynchronizeDlg::OnCommand(int id, int code, HWND)
{
    if (id == IDHELP && code == BN_CLICKED) {
        OnHelp(38215);
        return true;
    }
    return false;
}

void SynchronizeDlg::ReadChoices()
{
    choices.copyNewer = Checked(IDC_SYN_COPY_NEWER);
    if (m_whole)
        choices.deleteOrphans = Checked(IDC_SYN_DELETE_ORPHANS);
    choices.subfolders = Checked(IDC_SYN_SUBFOLDERS);
    choices.deleteSubOrphans = Checked(IDC_SYN_DELETE_SUB_ORPHANS);
    choices.skipAlways = Checked(IDC_SYN_SKIP_ALWAYS);
    choices.skipOnce = Checked(IDC_SYN_SKIP_ONCE);
}

void SynchronizeDlg::OnOK()
{
    if (m_names.empty())
        return;
    ReadChoices();
    SettingsOpts& s = GetMainApp().m_settings;
    s.settings2.Set(S2_SYN_SUBFOLDERS, choices.subfolders);
    s.settings2.Set(S2_SYN_COPY_NEWER, choices.copyNewer);
    s.settings2.Set(S2_SYN_DELETE_SUB_ORPHANS, choices.deleteSubOrphans);
    s.settings3.Set(S3_SYN_SKIP_PREVIEW, choices.skipAlways);
    if (m_whole)
        s.settings3.Set(S3_SYN_DELETE_ORPHANS, choices.deleteOrphans);
    s.settings2.Store();
    s.settings3.Store();
    if (Run())
        CloseDialog(IDOK, 0);
}

bool SynchronizeDlg::Run()
{
    VmWaitCursor wait;
    DisableDayLightSavings noDst;
    bool deleteOrphans = m_whole && choices.deleteOrphans;
    SyncChoices c = choices;
    c.deleteOrphans = deleteOrphans;
    // Appears only when the scans take longer than 600 ms.
    Progress progress(m_hWnd, 600);
    progress.SetTitle(ResStr(IDS_SYN_TITLE));
    progress.SetText(0, ResStr(IDS_SYN_PREPARING));
    progress.SetRange(0, 100);
    SyncPlan plan(c, m_names, m_whole, m_passive, progress, m_hWnd);
    if (c.copyNewer)
        plan.CopyScan(m_active, m_passive, "", true);
    if (!plan.cancelled && (c.deleteSubOrphans || deleteOrphans))
        plan.OrphanScan(m_passive, m_active, "", true);
    progress.Close();
    if (plan.cancelled)
        return false;
    if (plan.copySrc.empty() && plan.deletes.empty()) {
        Msg(m_hWnd, MB_OK | MB_ICONWARNING, -IDS_LIB_FILEOP_NOTHING);
        return false;
    }
    SettingsOpts& s = GetMainApp().m_settings;
    bool confirm = false;
    if (!c.skipAlways && !c.skipOnce) {
        SyncConfirmDlg preview(plan, m_passive, SplitMergeUi_Placement(m_frame.Options(), "DlgSynchConfirm"));
        preview.confirm = s.settings2.IsOn(S2_SYN_CONFIRM);
        if (preview.Modal(IDD_SYNCH_CONFIRM, GetModuleHandleA(NULL), m_hWnd) != IDOK)
            return false;
        confirm = preview.confirm;
        s.settings2.Set(S2_SYN_CONFIRM, confirm);
        s.settings2.Store();
    }

    EnableWindow(GetDlgItem(m_hWnd, IDOK), FALSE);
    EnableWindow(GetDlgItem(m_hWnd, IDCANCEL), FALSE);
    ViewFrame* passive = m_frame.PassivePanel();
    if (passive && passive->GetListView())
        ListView_SetItemState(passive->GetListView(), -1, 0, LVIS_SELECTED);
    bool cancelled = false;
    int failure = 0;   // the shell's error of the step that stopped
    const char* failedVerb = "";
    ran = true;
    // The views would add every new file one by one; the panels are refreshed afterwards.
    ViewFrame* active = m_frame.ActivePanel();
    std::unique_ptr<ViewQuiet> quiet0, quiet1;
    if (active && active->GetView())
        quiet0.reset(new ViewQuiet(active->GetView()->GetWnd(), active->GetListView()));
    if (passive && passive->GetView())
        quiet1.reset(new ViewQuiet(passive->GetView()->GetWnd(), passive->GetListView()));
    UINT quiet = confirm ? 0 : FOF_NOCONFIRMATION;
    if (!plan.deletes.empty()) {
        std::string from = ShellList(plan.deletes);
        SHFILEOPSTRUCTA op;
        ZeroMemory(&op, sizeof(op));
        op.hwnd = m_hWnd;
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = (FILEOP_FLAGS)(FOF_ALLOWUNDO | quiet);
        op.lpszProgressTitle = "Deleting...";
        failure = SHFileOperationA(&op);
        cancelled = op.fAnyOperationsAborted != FALSE;
        failedVerb = "deleted";
    }
    if (!cancelled && !failure && !plan.copySrc.empty()) {
        std::string from = ShellList(plan.copySrc), to = ShellList(plan.copyDst);
        SHFILEOPSTRUCTA op;
        ZeroMemory(&op, sizeof(op));
        op.hwnd = m_hWnd;
        op.wFunc = FO_COPY;
        op.pFrom = from.c_str();
        op.pTo = to.c_str();
        op.fFlags = (FILEOP_FLAGS)(FOF_MULTIDESTFILES | FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR | quiet);
        op.lpszProgressTitle = "Copying...";
        failure = SHFileOperationA(&op);
        cancelled = op.fAnyOperationsAborted != FALSE;
        failedVerb = "copied";
    }
    quiet0.reset();
    quiet1.reset();
    EnableWindow(GetDlgItem(m_hWnd, IDOK), TRUE);
    EnableWindow(GetDlgItem(m_hWnd, IDCANCEL), TRUE);
    // A locked or vanished object: what the shell did stays, and nothing claims success. Wine's
    // shell gives such a stop as cancelled (1223) too; only where it may have asked the user
    // (confirmations on) can that be the user's own Cancel, which needs no message.
    if (failure && !(failure == ERROR_CANCELLED && confirm)) {
        Msg(m_hWnd, MB_OK | MB_ICONERROR, IDS_SYNCH_FAILED, failedVerb, failure);
        return false;
    }
    if (cancelled || failure)
        return false;
    Msg(m_hWnd, MB_OK | MB_ICONINFORMATION, IDS_SYNCH_COMPLETE);
    return true;
}

}  // namespace

void RunSynchronize(CMainFrame& frame, UINT)
{
    ViewFrame *active = nullptr, *passive = nullptr;
    char pathA[MAX_PATH] = "", pathP[MAX_PATH] = "";
    if (!Compare_TakePanels(frame, active, passive, pathA, pathP))
        return;
    ID_List selection;
    active->GetSelection(selection);
    HWND list = active->GetListView();
    bool whole = list && ListView_GetItemCount(list) > 0 &&
                 ListView_GetSelectedCount(list) == (UINT)ListView_GetItemCount(list);
    SettingsOpts& s = GetMainApp().m_settings;
    SynchronizeDlg dlg(frame, selection, pathA, pathP, whole);
    dlg.choices.subfolders = s.settings2.IsOn(S2_SYN_SUBFOLDERS);
    dlg.choices.copyNewer = s.settings2.IsOn(S2_SYN_COPY_NEWER);
    dlg.choices.deleteSubOrphans = s.settings2.IsOn(S2_SYN_DELETE_SUB_ORPHANS);
    dlg.choices.skipAlways = s.settings3.IsOn(S3_SYN_SKIP_PREVIEW);
    dlg.choices.deleteOrphans = s.settings3.IsOn(S3_SYN_DELETE_ORPHANS);
    bool ok = dlg.Modal(IDD_SYNCHRONIZE, GetModuleHandleA(NULL), frame.m_hWnd) == IDOK;
    if (!ok && !dlg.ran)
        return;
    active->Refresh();
    passive->Refresh();
    frame.UpdateStatusBar(true);
}
