#include "commands/FileCommands.h"
#include "app/MainApp.h"
#include "app/MainFrame.h"
#include "app/Policy.h"
#include "app/Resource.h"
#include "app/Settings.h"
#include "commands/FileOpsRes.h"
#include "commands/SelectCommands.h"
#include "commands/ViewQuiet.h"
#include "files/FileOp.h"
#include "LibRes.h"
#include "panels/ViewFrame.h"
#include "shell/IdList.h"
#include "shell/Pidl.h"
#include "ui/MsgUtil.h"
#include "ui/VmDlg.h"
#include "ui/VmHistCB.h"
#include "ui/WaitCursor.h"
#include "util/PathUtil.h"
#include "util/StrUtil.h"
#include "util/VmHistList.h"
#include <shlobj.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

// Rename's persisted check boxes, in bits of "Settings3" that nothing else uses.
enum : DWORD { S3_RENAME_FILES_ONLY = 0x80, S3_RENAME_STAR_FOR_STAR = 0x100 };

const int kHistSize = 9;

// An operation touching this many objects goes faster with the panels' views set aside than
// with the shell telling them of every object (a view costs more per object told than a new
// listing costs per object shown).
const int kAsideObjects = 100;
const int kAsideListedPerObject = 8;

// The objects of a source list (double-zero terminated) and everything below its folders,
// counted until cap is reached.
int CountObjectsUpTo(const char* sources, int cap)
{
    int count = 0;
    std::vector<std::string> folders;
    for (const char* p = sources; *p && count < cap; p += strlen(p) + 1) {
        ++count;
        DWORD attr = GetFileAttributesA(p);
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) &&
            !(attr & FILE_ATTRIBUTE_REPARSE_POINT))
            folders.push_back(p);
    }
    while (!folders.empty() && count < cap) {
        std::string folder = folders.back();
        folders.pop_back();
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileExA((folder + "\\*").c_str(), FindExInfoBasic, &fd,
                                       FindExSearchNameMatch, NULL, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, ".."))
                continue;
            ++count;
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                folders.push_back(folder + "\\" + fd.cFileName);
        } while (count < cap && FindNextFileA(find, &fd));
        FindClose(find);
    }
    return count;
}

// Under Wine the program can lose the activation to the bare desktop window a moment after
// views come back anew (the X server's focus goes astray); no user chose that, so the frame
// takes it back. On Windows the desktop window is never the foreground window.
HWND g_keepActive = NULL;

void CALLBACK TakeActivationBack(HWND, UINT, UINT_PTR id, DWORD)
{
    static int checks = 0;
    HWND frame = g_keepActive;
    if (frame && IsWindow(frame) && IsWindowVisible(frame) && IsWindowEnabled(frame) &&
        GetForegroundWindow() == GetDesktopWindow())
        SetForegroundWindow(frame);
    if (++checks >= 4 || !frame) {
        KillTimer(NULL, id);
        checks = 0;
        g_keepActive = NULL;
    }
}

void KeepActivation(HWND frame)
{
    if (g_keepActive)
        return;   // checks already running
    g_keepActive = frame;
    SetTimer(NULL, 0, 100, TakeActivationBack);
}

struct OpInfo {
    UINT id;
    int op;
    int templateId;
    const char* title;
    const char* verb;
    DWORD help;
    const char* policy;
    const char* placement;
    int icon;
};

const OpInfo kOps[] = {
    {ID_CMD_COPY, FileOpCopy, IDD_FILEOP, "Copy", "copy", 39501, "DisableMenuCommandCopy",
     "DlgFileOp", IDI_FILEOP_COPY},
    {ID_CMD_MOVE, FileOpMove, IDD_FILEOP, "Move", "move", 39502, "DisableMenuCommandMove",
     "DlgFileOp", IDI_FILEOP_MOVE},
    {ID_CMD_RENAME, FileOpRename, IDD_FILEOP_RENAME, "Rename", "rename", 39503,
     "DisableMenuCommandRename", "DlgFileOpRen", IDI_FILEOP_RENAME},
    {ID_CMD_DELETE, FileOpDelete, IDD_FILEOP_DELETE, "Delete", "delete", 39504,
     "DisableMenuCommandDelete", "DlgFileOpDel", IDI_FILEOP_DELETE},
};

const OpInfo* FindOp(UINT id)
{
    for (const OpInfo& info : kOps) {
        if (info.id == id)
            return &info;
    }
    return nullptr;
}

WINDOWPLACEMENT* PlacementOf(FrameOpts& opts, const char* name)
{
    for (int i = 0; i < FrameOpts::kDialogs; ++i) {
        if (!strcmp(FrameOpts::kDialogNames[i], name))
            return &opts.dialogs[i];
    }
    return nullptr;
}

std::string AppString(UINT id)
{
    char text[MAX_PATH];
    if (LoadStringA(GetModuleHandleA(NULL), id, text, sizeof(text)) <= 0)
        return std::string();
    return text;
}

// The destination must lie inside the administrator's root paths when any is set.
bool IsInAllowedRoot(const char* path)
{
    char root[MAX_PATH], alt[MAX_PATH];
    bool hasRoot = GetRootPath(ROOT_MAIN, root);
    bool hasAlt = GetRootPath(ROOT_ALT, alt);
    if (!hasRoot && !hasAlt)
        return true;
    return (hasAlt && IsPathInRoot(ROOT_ALT, path)) || (hasRoot && IsPathInRoot(ROOT_MAIN, path));
}

class FileOpDlg : public VmDlg {
public:
    FileOpDlg(const OpInfo& info, ID_List& selection, const char* from, const char* to,
              WINDOWPLACEMENT* placement)
        : m_info(info), m_selection(selection), m_placement(placement)
    {
        StrCopyN(m_from, from ? from : "", sizeof(m_from));
        StrCopyN(m_to, to ? to : "", sizeof(m_to));
        m_renameTo.SetMaxHistSize(kHistSize);
        m_fromMask.SetMaxHistSize(kHistSize);
        AddCtrl(&m_renameTo, IDC_FILEOP_RENAME_TO, "RenameToMRU");
        if (info.op == FileOpRename)
            AddCtrl(&m_fromMask, IDC_FILEOP_FROM_MASK, "FileOpSrcMRU");
    }

    // Choices loaded before and read after the dialog.
    bool starForStar = false;
    bool filesOnly = false;
    bool recycle = true;
    // The shell has worked at least once, even if the dialog then stayed open (a cancelled
    // or failed operation may have done part of its items).
    bool shellWorked = false;
    // A copy that goes outside the source folder leaves the source panel as it is.
    bool sourceUntouched = false;
    // The panels (active, passive), kept quiet while the shell works, or their views set
    // aside for a long operation; renewed[i]: the panel's view came back anew afterwards and
    // needs no refresh.
    ViewFrame* panels[2] = {nullptr, nullptr};
    bool renewed[2] = {false, false};

    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool CanClose(INT_PTR result) override;

private:
    void InitSelection();
    void HideSplitControls();
    void UpdateFilesOnly();
    void Browse();
    void FocusAfterError();
    bool Checked(int id) const { return IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }
    // Which panels' views to set aside for the operation on these sources.
    void ChooseAside(int type, const FileOpSrcData& data, bool sourceTouched, bool aside[2]) const;
public:
    // The views set aside come back, the passive one first so that the active one answers the
    // shell's browser calls afterwards; focus: the active one takes the focus.
    void BringViewsBack(bool focus = false)
    {
        for (int i : {1, 0})
            if (panels[i] && panels[i]->IsViewAside())
                panels[i]->BringViewBack(focus && i == 0);
    }
private:

    const OpInfo& m_info;
    ID_List& m_selection;
    WINDOWPLACEMENT* m_placement;
    char m_from[MAX_PATH];
    char m_to[MAX_PATH];
    VmHistCB m_renameTo;
    VmHistCB m_fromMask;
};

BOOL FileOpDlg::OnInitDialog()
{
    SetWindowTextA(m_hWnd, m_info.title);
    SetIcon(m_info.icon);
    if (m_info.op == FileOpCopy || m_info.op == FileOpMove)
        HideSplitControls();

    // Reopen where the user left it, else centred on the owner.
    RECT rc;
    GetWindowRect(m_hWnd, &rc);
    if (m_placement && m_placement->length == sizeof(WINDOWPLACEMENT)) {
        SetWindowPos(m_hWnd, NULL, m_placement->rcNormalPosition.left,
                     m_placement->rcNormalPosition.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        HWND owner = GetWindow(m_hWnd, GW_OWNER);
        RECT ro;
        if (!owner || !GetWindowRect(owner, &ro))
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &ro, 0);
        SetWindowPos(m_hWnd, NULL, (ro.left + ro.right - (rc.right - rc.left)) / 2,
                     (ro.top + ro.bottom - (rc.bottom - rc.top)) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    InitSelection();
    SetDlgItemTextA(m_hWnd, IDC_FILEOP_FROM_FOLDER, m_from);

    if (m_info.op != FileOpDelete) {
        // One item starts the name mask with its own name, more with every name.
        char name[MAX_PATH] = "*.*";
        if (m_selection.GetCount() == 1) {
            const ITEMIDLIST* item = m_selection.GetFirstPidl();
            PIDL full(m_selection.GetFolderPidl());
            char path[MAX_PATH];
            if (item && full.AppendAll(item) && GetPathOf(full, path, sizeof(path)) &&
                FindNameExt(path))
                StrCopyN(name, FindNameExt(path), sizeof(name));
        }
        m_renameTo.SetText(name);
    }

    switch (m_info.op) {
    case FileOpCopy:
    case FileOpMove: {
        HWND to = GetDlgItem(m_hWnd, IDC_FILEOP_TO_FOLDER);
        SetWindowTextA(to, m_to);
        SetFocus(to);
        SendMessageA(to, EM_SETSEL, 0, -1);
        return FALSE;
    }
    case FileOpRename:
        if (GetWindowTextLengthA(m_fromMask.GetHWND()) == 0)
            m_fromMask.SetText("*.*");
        CheckDlgButton(m_hWnd, IDC_FILEOP_STAR_FOR_STAR, starForStar ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(m_hWnd, IDC_FILEOP_FILES_ONLY, filesOnly ? BST_CHECKED : BST_UNCHECKED);
        CheckRadioButton(m_hWnd, IDC_FILEOP_APPLY_SELECTED, IDC_FILEOP_APPLY_ALL,
                         m_selection.GetCount() > 0 ? IDC_FILEOP_APPLY_SELECTED : IDC_FILEOP_APPLY_ALL);
        UpdateFilesOnly();
        SetFocus(m_renameTo.GetHWND());
        SendMessageA(m_renameTo.GetHWND(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        return FALSE;
    case FileOpDelete:
        CheckDlgButton(m_hWnd, IDC_FILEOP_RECYCLE, recycle ? BST_CHECKED : BST_UNCHECKED);
        break;
    }
    return TRUE;
}

void FileOpDlg::InitSelection()
{
    int count = m_selection.GetCount();
    char text[MAX_PATH] = "";
    if (count == 1) {
        const ITEMIDLIST* item = m_selection.GetFirstPidl();
        PIDL full(m_selection.GetFolderPidl());
        char path[MAX_PATH] = "";
        bool folder = false;
        if (item && full.AppendAll(item)) {
            if (GetPathOf(full, path, sizeof(path))) {
                DWORD attr = GetFileAttributesA(path);
                folder = attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
                const char* name = FindNameExt(path);
                StrCopyN(text, name ? name : path, sizeof(text));
            } else {
                GetShellNameOf(full, text, sizeof(text), 0);
                folder = (GetAttributesOf(full) & SFGAO_FOLDER) != 0;
            }
        }
        SetDlgItemTextA(m_hWnd, IDC_FILEOP_SEL_LABEL,
                        AppString(folder ? IDS_FILEOP_FOLDER : IDS_FILEOP_FILE).c_str());
    } else {
        wsprintfA(text, AppString(IDS_FILEOP_OBJECTS).c_str(), count);
    }
    SetDlgItemTextA(m_hWnd, IDC_FILEOP_SELECTION, text);
}

// Copy and Move do not split: the split block goes and the dialog shrinks by its height.
void FileOpDlg::HideSplitControls()
{
    static const int hidden[] = {IDC_FILEOP_DELETE_SOURCE, IDC_FILEOP_SEG_LABEL, IDC_FILEOP_SEG_SIZE,
                                 IDC_FILEOP_SEG_MORE,      IDC_FILEOP_SEG_BYTES, IDC_FILEOP_SEG_INFO};
    CollapseDialogBlock(m_hWnd, hidden, (int)(sizeof(hidden) / sizeof(hidden[0])),
                        IDC_FILEOP_DELETE_SOURCE);
}

void FileOpDlg::UpdateFilesOnly()
{
    EnableWindow(GetDlgItem(m_hWnd, IDC_FILEOP_FILES_ONLY), Checked(IDC_FILEOP_APPLY_ALL));
}

void FileOpDlg::Browse()
{
    char path[MAX_PATH] = "";
    std::string title = AppString(IDS_FILEOP_BROWSE_TITLE);
    BROWSEINFOA bi;
    ZeroMemory(&bi, sizeof(bi));
    bi.hwndOwner = m_hWnd;
    bi.pszDisplayName = path;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    ITEMIDLIST* chosen = SHBrowseForFolderA(&bi);
    if (chosen) {
        if (GetPathOf(chosen, path, sizeof(path)))
            SetDlgItemTextA(m_hWnd, IDC_FILEOP_TO_FOLDER, path);
        FreePIDL(chosen);
    }
}

bool FileOpDlg::OnCommand(int id, int code, HWND)
{
    switch (id) {
    case IDC_FILEOP_BROWSE:
        if (code == BN_CLICKED)
            Browse();
        return true;
    case IDC_FILEOP_APPLY_SELECTED:
    case IDC_FILEOP_APPLY_ALL:
        if (code == BN_CLICKED)
            UpdateFilesOnly();
        return true;
    case IDHELP:
        if (code == BN_CLICKED)
            OnHelp(m_info.help);
        return true;
    }
    return false;
}

void FileOpDlg::FocusAfterError()
{
    HWND focus = NULL;
    switch (m_info.op) {
    case FileOpCopy:
    case FileOpMove:
        focus = GetDlgItem(m_hWnd, IDC_FILEOP_TO_FOLDER);
        break;
    case FileOpRename:
        focus = m_renameTo.GetHWND();
        break;
    case FileOpDelete:
        focus = GetDlgItem(m_hWnd, IDCANCEL);
        break;
    }
    if (focus)
        SendMessageA(m_hWnd, WM_NEXTDLGCTL, (WPARAM)focus, TRUE);
}

void FileOpDlg::OnOK()
{
    VmWaitCursor wait;
    FileOpSrcData data = {0, nullptr, &m_selection};
    int type = FileOpSrcIDList;
    char dst[MAX_PATH] = "";
    char dstName[MAX_PATH] = "";
    char pattern[MAX_PATH] = "";
    char fromMask[MAX_PATH] = "";
    UINT flags = FOF_ALLOWUNDO;

    if (m_info.op != FileOpDelete) {
        m_renameTo.GetText(dstName, sizeof(dstName));
        RemoveWhiteSpacesAndQuotes(dstName);
        if (!dstName[0])
            StrCopyN(dstName, "*.*", sizeof(dstName));
    }
    switch (m_info.op) {
    case FileOpRename:
        starForStar = Checked(IDC_FILEOP_STAR_FOR_STAR);
        filesOnly = Checked(IDC_FILEOP_FILES_ONLY);
        m_fromMask.GetText(fromMask, sizeof(fromMask));
        RemoveWhiteSpacesAndQuotes(fromMask);
        if (!fromMask[0])
            StrCopyN(fromMask, "*.*", sizeof(fromMask));
        if (Checked(IDC_FILEOP_APPLY_ALL)) {
            if (!MakePath(pattern, m_from, fromMask, nullptr, sizeof(pattern))) {
                Msg(m_hWnd, MB_OK | MB_ICONERROR, -IDS_LIB_FILEOP_NOTHING);
                FocusAfterError();
                return;
            }
            type = filesOnly ? FileOpSrcPatternFiles : FileOpSrcPattern;
            data.selection = nullptr;
            data.mask = pattern;
        }
        // Star-for-star: the From mask filters the selection and guides the new names (a
        // pattern's own name part always does).
        if (starForStar && type == FileOpSrcIDList)
            data.mask = fromMask;
        StrCopyN(dst, m_from, sizeof(dst));
        break;
    case FileOpCopy:
    case FileOpMove:
        GetDlgItemTextA(m_hWnd, IDC_FILEOP_TO_FOLDER, dst, sizeof(dst));
        RemoveWhiteSpacesAndQuotes(dst);
        if (!IsFtpFolder(dst) && !MakeFullPathName(dst, m_from, sizeof(dst)))
            StrCopyN(dst, m_from, sizeof(dst));
        if (!dst[0]) {
            // No folder to name exactly (the From folder's path could not be given either).
            Msg(m_hWnd, MB_OK | MB_ICONERROR, -IDS_LIB_FILEOP_NAME, m_info.verb, m_from);
            FocusAfterError();
            return;
        }
        break;
    case FileOpDelete:
        recycle = Checked(IDC_FILEOP_RECYCLE);
        if (!recycle)
            flags &= ~FOF_ALLOWUNDO;
        break;
    }

    FileOpErr err = FileOpErrNone;
    char errPath[MAX_PATH] = "";
    bool ok = false;
    if (m_info.op != FileOpDelete && !IsInAllowedRoot(dst)) {
        err = FileOpErrRoot;
        StrCopyN(errPath, dst, sizeof(errPath));
    } else {
        sourceUntouched = m_info.op == FileOpCopy && !PathLiesIn(dst, m_from);
        bool aside[2] = {false, false};
        ChooseAside(type, data, !sourceUntouched, aside);
        for (int i = 0; i < 2; ++i)
            aside[i] = aside[i] && panels[i]->PutViewAside();
        {
            ViewFrame* quiet0 = !aside[0] && !sourceUntouched ? panels[0] : nullptr;
            ViewFrame* quiet1 = !aside[1] ? panels[1] : nullptr;
            ViewQuiet still0(quiet0 && quiet0->GetView() ? quiet0->GetView()->GetWnd() : NULL,
                             quiet0 ? quiet0->GetListView() : NULL);
            ViewQuiet still1(quiet1 && quiet1->GetView() ? quiet1->GetView()->GetWnd() : NULL,
                             quiet1 ? quiet1->GetListView() : NULL);
            ok = FileOp_DoWork(m_hWnd, m_info.op, flags, type, &data, dst, dstName, &err, errPath);
        }
        for (int i = 0; i < 2; ++i)
            renewed[i] = renewed[i] || aside[i];
        // A dialog that stays open (the shell stopped) gets the views back at once; one that
        // closes leaves them to come back when it has gone.
        bool closing = (ok && err == FileOpErrNone) || err == FileOpErrName;
        if (!closing)
            BringViewsBack();
        if (err == FileOpErrNone || err == FileOpErrAborted)
            shellWorked = true;   // the other errors stop before the shell
    }

    static const int messages[] = {0, IDS_LIB_FILEOP_NOTHING, IDS_LIB_FILEOP_SELF,
                                   IDS_LIB_FILEOP_SUBFOLDER, IDS_LIB_FILEOP_NOMEMORY, 0,
                                   IDS_LIB_FILEOP_ROOT};
    if (ok && err == FileOpErrNone) {
        CloseDialog(IDOK, 1);
        return;
    }
    if (err == FileOpErrName) {
        // The rest of the operation is done: the dialog ends as after success.
        Msg(m_hWnd, MB_OK | MB_ICONERROR, -IDS_LIB_FILEOP_NAME, m_info.verb, errPath);
        shellWorked = true;
        CloseDialog(IDOK, 1);
        return;
    }
    if (err > FileOpErrNone && err <= FileOpErrRoot && messages[err])
        Msg(m_hWnd, MB_OK | MB_ICONERROR, -messages[err], m_info.verb, errPath);
    FocusAfterError();
}

void FileOpDlg::ChooseAside(int type, const FileOpSrcData& data, bool sourceTouched, bool aside[2]) const
{
    aside[0] = aside[1] = false;
    if (!panels[0] || !panels[1])
        return;
    // A panel refreshed afterwards anyway pays nothing more for a new view; one the operation
    // leaves alone is set aside only when telling its view would cost more than listing it.
    int listed = sourceTouched ? 0 : ListView_GetItemCount(panels[0]->GetListView());
    int cap = kAsideObjects;
    if (listed / kAsideListedPerObject > cap)
        cap = listed / kAsideListedPerObject;
    int size = FileOp_MakeSrc(type, &data, NULL, NULL, NULL, 0);
    if (size <= 2)
        return;
    std::vector<char> sources(size + 2, '\0');
    FileOp_MakeSrc(type, &data, NULL, NULL, sources.data(), size);
    int objects = CountObjectsUpTo(sources.data(), cap);
    if (objects < kAsideObjects)
        return;
    aside[1] = true;
    aside[0] = sourceTouched || objects * kAsideListedPerObject >= listed;
}

bool FileOpDlg::CanClose(INT_PTR result)
{
    if (m_placement && m_hWnd) {
        WINDOWPLACEMENT wp;
        wp.length = sizeof(wp);
        if (GetWindowPlacement(m_hWnd, &wp))
            *m_placement = wp;
    }
    return VmDlg::CanClose(result);
}

void RunFileOp(CMainFrame& frame, const OpInfo& info)
{
    ViewFrame* active = frame.ActivePanel();
    ViewFrame* passive = frame.PassivePanel();
    if (!active || !passive)
        return;
    ID_List selection;
    char from[MAX_PATH] = "";
    char to[MAX_PATH] = "";
    char follower[MAX_PATH] = "";
    {
        VmWaitCursor wait;
        active->GetSelection(selection);
        GetPathOf(active->GetCurrentFolder(), from, sizeof(from));
        if (!from[0])
            StrCopyN(from, active->GetPath(), sizeof(from));
        if (info.op == FileOpRename) {
            StrCopyN(to, from, sizeof(to));
        } else if (info.op != FileOpDelete) {
            GetPathOf(passive->GetCurrentFolder(), to, sizeof(to));
            if (!to[0])
                StrCopyN(to, passive->GetPath(), sizeof(to));
        }
        // The item after the selection takes the focus once the selection is gone.
        if ((info.op == FileOpMove || info.op == FileOpDelete) && active->GetView())
            active->GetView()->GetNextUnselectedItem(follower);
    }

    SettingsOpts& settings = GetMainApp().m_settings;
    Settings3Opts& s3 = settings.settings3;
    FileOpDlg dlg(info, selection, from, to, PlacementOf(frame.Options(), info.placement));
    dlg.starForStar = s3.IsOn(S3_RENAME_STAR_FOR_STAR);
    dlg.filesOnly = s3.IsOn(S3_RENAME_FILES_ONLY);
    dlg.recycle = !s3.IsOn(S3_NO_RECYCLE_BIN);
    dlg.panels[0] = active;
    dlg.panels[1] = passive;
    bool ok = dlg.Modal(info.templateId, GetModuleHandleA(NULL), frame.m_hWnd) == IDOK;
    dlg.BringViewsBack(true);
    // After a cancelled operation the panels still show what the shell did.
    if (!ok && !dlg.shellWorked)
        return;

    if (ok) {
        if (info.op == FileOpRename) {
            s3.Set(S3_RENAME_STAR_FOR_STAR, dlg.starForStar);
            s3.Set(S3_RENAME_FILES_ONLY, dlg.filesOnly);
        } else if (info.op == FileOpDelete) {
            s3.Set(S3_NO_RECYCLE_BIN, !dlg.recycle);
        }
        s3.Store();
    }

    if (!dlg.sourceUntouched && !dlg.renewed[0])
        active->Refresh();
    if (!dlg.renewed[1])
        passive->Refresh();
    if (ok && follower[0] && active->GetView())
        active->GetView()->HighlightItem(follower);
    frame.UpdateStatusBar(true);
    if (dlg.renewed[0] || dlg.renewed[1])
        KeepActivation(frame.m_hWnd);
}

}  // namespace

bool FileCommands_OnCmdMsg(CMainFrame& frame, UINT id, int code, fw::CmdUI* ui)
{
    if (SelectCommands_OnCmdMsg(frame, id, code, ui))
        return true;
    const OpInfo* info = FindOp(id);
    if (!info || ui)
        return false;   // update passes: the command table's rule
    if (code == fw::kQueryHandler)
        return true;
    if (!IsPolicyOn(info->policy, true))
        RunFileOp(frame, *info);
    return true;
}

void CollapseDialogBlock(HWND dialog, const int* hidden, int count, int top)
{
    HWND first = GetDlgItem(dialog, top);
    HWND okButton = GetDlgItem(dialog, IDOK);
    if (!first || !okButton)
        return;
    RECT firstRect, ok;
    GetWindowRect(first, &firstRect);
    GetWindowRect(okButton, &ok);
    int delta = ok.top - firstRect.top;
    for (int i = 0; i < count; ++i)
        ShowWindow(GetDlgItem(dialog, hidden[i]), SW_HIDE);
    for (int id : {IDOK, IDCANCEL, IDHELP}) {
        HWND button = GetDlgItem(dialog, id);
        RECT r;
        GetWindowRect(button, &r);
        POINT pt = {r.left, r.top - delta};
        ScreenToClient(dialog, &pt);
        SetWindowPos(button, NULL, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    RECT rc;
    GetWindowRect(dialog, &rc);
    SetWindowPos(dialog, NULL, 0, 0, rc.right - rc.left, rc.bottom - rc.top - delta,
                 SWP_NOMOVE | SWP_NOZORDER);
}
