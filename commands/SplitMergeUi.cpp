#include "commands/SplitMergeUi.h"
#include "app/FrameOpts.h"
#include "commands/SplitMergeRes.h"
#include "util/ResStr.h"
#include "util/StrUtil.h"
#include <commdlg.h>
#include <string.h>

WINDOWPLACEMENT* SplitMergeUi_Placement(FrameOpts& opts, const char* name)
{
    for (int i = 0; i < FrameOpts::kDialogs; ++i) {
        if (!strcmp(FrameOpts::kDialogNames[i], name))
            return &opts.dialogs[i];
    }
    return nullptr;
}

void SplitMergeUi_PlaceDialog(HWND dialog, const WINDOWPLACEMENT* placement)
{
    RECT rc;
    GetWindowRect(dialog, &rc);
    if (placement && placement->length == sizeof(WINDOWPLACEMENT)) {
        SetWindowPos(dialog, NULL, placement->rcNormalPosition.left, placement->rcNormalPosition.top,
                     0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT ro;
    if (!owner || !GetWindowRect(owner, &ro))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &ro, 0);
    SetWindowPos(dialog, NULL, (ro.left + ro.right - (rc.right - rc.left)) / 2,
                 (ro.top + ro.bottom - (rc.bottom - rc.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SplitMergeUi_SavePlacement(HWND dialog, WINDOWPLACEMENT* placement)
{
    if (!placement || !dialog)
        return;
    WINDOWPLACEMENT wp;
    wp.length = sizeof(wp);
    if (GetWindowPlacement(dialog, &wp))
        *placement = wp;
}

// ---- Yes/No to All

int YesNoToAllDlg::Ask(HWND owner, const char* text)
{
    m_text = text ? text : "";
    INT_PTR result = Modal(IDD_YESNOTOALL, GetModuleHandleA(NULL), owner);
    return result == IDYES ? IDYES : IDNO;
}

BOOL YesNoToAllDlg::OnInitDialog()
{
    VmDlg::OnInitDialog();
    SetDlgItemTextA(m_hWnd, IDC_YNA_TEXT, m_text);
    SplitMergeUi_PlaceDialog(m_hWnd, placement);
    MessageBeep(MB_ICONQUESTION);
    return TRUE;
}

bool YesNoToAllDlg::OnCommand(int id, int code, HWND)
{
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDYES:
        yesAll = noAll = false;
        CloseDialog(IDYES, 0);
        return true;
    case IDC_YNA_YESALL:
        yesAll = true;
        noAll = false;
        CloseDialog(IDYES, 0);
        return true;
    case IDNO:
        yesAll = noAll = false;
        CloseDialog(IDNO, 0);
        return true;
    case IDC_YNA_NOALL:
        noAll = true;
        yesAll = false;
        CloseDialog(IDNO, 0);
        return true;
    }
    return false;
}

void YesNoToAllDlg::OnCancel()
{
    CloseDialog(IDNO, 0);
}

bool YesNoToAllDlg::CanClose(INT_PTR result)
{
    SplitMergeUi_SavePlacement(m_hWnd, placement);
    return VmDlg::CanClose(result);
}

// ---- Split/Merge Path

bool SplitMergePathDlg::Ask(HWND owner, FrameOpts& opts, bool merge, std::string& path)
{
    SplitMergePathDlg dlg;
    dlg.m_merge = merge;
    dlg.m_path = path;
    dlg.m_placement = SplitMergeUi_Placement(opts, "DlgSplitMergePath");
    if (dlg.Modal(IDD_SPLITMERGE_PATH, GetModuleHandleA(NULL), owner) != IDOK)
        return false;
    path = dlg.m_path;
    return true;
}

BOOL SplitMergePathDlg::OnInitDialog()
{
    VmDlg::OnInitDialog();
    SetWindowTextA(m_hWnd, ResStr(m_merge ? IDS_SM_MERGING : IDS_SM_SPLITTING));
    SetIcon(m_merge ? IDI_MERGE : IDI_SPLIT);
    SetDlgItemTextA(m_hWnd, IDC_SMPATH_TEXT1, ResStr(m_merge ? IDS_MERGE_SEGMENT : IDS_SPLIT_NO_ROOM));
    SetDlgItemTextA(m_hWnd, IDC_SMPATH_TEXT2,
                    ResStr(m_merge ? IDS_MERGE_SEGMENT_HINT : IDS_SPLIT_NO_ROOM_HINT));
    SetDlgItemTextA(m_hWnd, IDC_SMPATH_PATH, m_path.c_str());
    if (m_merge)
        SetDlgItemTextA(m_hWnd, IDCANCEL, ResStr(IDS_SM_FINISH));
    SplitMergeUi_PlaceDialog(m_hWnd, m_placement);
    HWND edit = GetDlgItem(m_hWnd, IDC_SMPATH_PATH);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    return FALSE;
}

void SplitMergePathDlg::Browse()
{
    char path[MAX_PATH];
    GetDlgItemTextA(m_hWnd, IDC_SMPATH_PATH, path, sizeof(path));
    OPENFILENAMEA ofn;
    ZeroMemory(&ofn, sizeof(ofn));
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof(path);
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                (m_merge ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
    BOOL chosen = m_merge ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
    if (chosen)
        SetDlgItemTextA(m_hWnd, IDC_SMPATH_PATH, path);
}

bool SplitMergePathDlg::OnCommand(int id, int code, HWND)
{
    if (id == IDC_SMPATH_BROWSE && code == BN_CLICKED) {
        Browse();
        return true;
    }
    return false;
}

void SplitMergePathDlg::OnOK()
{
    // One more than MAX_PATH shows a path too long to be taken whole.
    char path[MAX_PATH + 2];
    GetDlgItemTextA(m_hWnd, IDC_SMPATH_PATH, path, sizeof(path));
    RemoveWhiteSpacesAndQuotes(path);
    m_path = path;
    CloseDialog(IDOK, 0);
}

bool SplitMergePathDlg::CanClose(INT_PTR result)
{
    SplitMergeUi_SavePlacement(m_hWnd, m_placement);
    return VmDlg::CanClose(result);
}
