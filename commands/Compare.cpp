#include "commands/Compare.h"
#include "app/MainApp.h"
#include "app/MainFrame.h"
#include "app/Settings.h"
#include "commands/SplitMergeRes.h"
#include "commands/SplitMergeUi.h"
#include "files/FileEnum.h"
#include "files/Progress.h"
#include "panels/ViewFrame.h"
#include "shell/Pidl.h"
#include "shell/ShellFolder.h"
#include "shell/ShellView.h"
#include "ui/MsgUtil.h"
#include "ui/VmDlg.h"
#include "ui/WaitCursor.h"
#include "util/ResStr.h"
#include "util/StrUtil.h"
#include <commctrl.h>
#include <shlobj.h>
#include <string.h>

namespace {

// Bits of Settings2: the compare choices.
enum : DWORD {
    S2_CMP_SUBFOLDERS = 0x0001,
    S2_CMP_A_UNIQUE = 0x0010, S2_CMP_A_NEWER = 0x0020, S2_CMP_A_SAME = 0x0040, S2_CMP_A_OLDER = 0x0080,
    S2_CMP_P_UNIQUE = 0x0100, S2_CMP_P_NEWER = 0x0200, S2_CMP_P_SAME = 0x0400, S2_CMP_P_OLDER = 0x0800
};

struct BoxBit {
    int id;
    DWORD bit;
};
const BoxBit kBoxes[] = {
    {IDC_CMP_SUBFOLDERS, S2_CMP_SUBFOLDERS}, {IDC_CMP_A_UNIQUE, S2_CMP_A_UNIQUE},
    {IDC_CMP_A_NEWER, S2_CMP_A_NEWER},       {IDC_CMP_A_SAME, S2_CMP_A_SAME},
    {IDC_CMP_A_OLDER, S2_CMP_A_OLDER},       {IDC_CMP_P_UNIQUE, S2_CMP_P_UNIQUE},
    {IDC_CMP_P_NEWER, S2_CMP_P_NEWER},       {IDC_CMP_P_SAME, S2_CMP_P_SAME},
    {IDC_CMP_P_OLDER, S2_CMP_P_OLDER},
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

class CompareDlg : public VmDlg {
public:
    CompareDlg(const char* active, const char* passive, DWORD bits) : m_active(active), m_passive(passive), bits(bits) {}
    BOOL OnInitDialog() override
    {
        VmDlg::OnInitDialog();
        HICON icon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_COMPARE));
        if (icon) {
            SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, (LPARAM)icon);
            SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, (LPARAM)icon);
        }
        SetDlgItemTextA(m_hWnd, IDC_CMP_ACTIVE_PATH, m_active);
        SetDlgItemTextA(m_hWnd, IDC_CMP_PASSIVE_PATH, m_passive);
        for (const BoxBit& b : kBoxes)
            CheckDlgButton(m_hWnd, b.id, (bits & b.bit) ? BST_CHECKED : BST_UNCHECKED);
        SplitMergeUi_PlaceDialog(m_hWnd, nullptr);
        return TRUE;
    }
    void OnOK() override
    {
        for (const BoxBit& b : kBoxes)
            bits = IsDlgButtonChecked(m_hWnd, b.id) == BST_CHECKED ? (bits | b.bit) : (bits & ~b.bit);
        CloseDialog(IDOK, 0);
    }
    bool OnCommand(int id, int code, HWND) override
    {
        if (id == IDHELP && code == BN_CLICKED) {
            OnHelp(38214);
            return true;
        }
        return false;
    }

private:
    const char* m_active;
    const char* m_passive;

public:
    DWORD bits;
};

// Selects qualifying top-level names in a panel's view.
struct PanelSelector {
    ViewFrame* panel;
    iShellFolder folder;
};

void SelectInPanel(const char* name, void* context)
{
    PanelSelector& s = *static_cast<PanelSelector*>(context);
    iShellView* view = s.panel->GetView();
    if (!view)
        return;
    // The object whose parsing name is the entry's name.
    bool done = false;
    if (s.folder.IsReady()) {
        ITEMIDLIST* item = s.folder.ParseDisplayName(name, nullptr);
        if (item) {
            done = view->SelectItem(item, 1);
            FreePIDL(item);
        }
    }
    HWND list = view->GetListView();
    if (!done && list) {
        int index = view->FindItem(name, 0, -1, 0);
        if (index >= 0)
            ListView_SetItemState(list, index, LVIS_SELECTED, LVIS_SELECTED);
    }
}

void ClearSelection(ViewFrame* panel)
{
    HWND list = panel->GetListView();
    if (!list)
        return;
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
}

// A message to the progress dialog's thread for every entry would cost more than the
// comparison: the name and the bar move at most ten times a second.
void ShowEntry(Progress* progress, const char* name)
{
    static DWORD shown = 0;
    if (!progress || GetTickCount() - shown < 100)
        return;
    shown = GetTickCount();
    progress->SetText(2, name);
    progress->StepIt();
}

}  // namespace

bool Compare_Folders(const std::string& thisFolder, const std::string& otherFolder,
                     const CompareCriteria& c, bool subfolders, Progress* progress,
                     CompareMatchFn onMatch, void* context)
{
    if (progress && progress->IsCanceled())
        return false;
    FileEnum entry;
    for (bool more = entry.Start(thisFolder.c_str()); more; more = entry.Next()) {
        ShowEntry(progress, entry.Name());
        FileEnum other;
        bool found = other.Start(otherFolder.c_str(), entry.Name()) && SameName(other.Name(), entry.Name());
        bool qualifies = false;
        if (!found || entry.IsFolder() != other.IsFolder()) {
            qualifies = c.unique;
        } else if (!entry.IsFolder()) {
            int cmp = entry.CompareLastWrite(other);
            qualifies = (c.same && cmp == 0) || (c.newer && cmp > 0) || (c.older && cmp < 0);
        } else if (subfolders) {
            qualifies = Compare_Folders(Join(thisFolder, entry.Name()), Join(otherFolder, other.Name()), c,
                                        true, progress, nullptr, nullptr);
        } else {
            qualifies = c.same;
        }
        if (qualifies) {
            if (!onMatch)
                return true;
            onMatch(entry.Name(), context);
        }
        if (progress && progress->IsCanceled())
            return false;
    }
    return false;
}

void RunCompare(CMainFrame& frame, UINT)
{
    ViewFrame* active = frame.ActivePanel();
    ViewFrame* passive = frame.PassivePanel();
    if (!active || !passive)
        return;
    if ((active->HasFilter() || passive->HasFilter()) &&
        Msg(frame.m_hWnd, MB_YESNO | MB_ICONWARNING, IDS_FILTER_WARNING) != IDYES)
        return;
    char pathA[MAX_PATH] = "", pathP[MAX_PATH] = "";
    GetPathOf(active->GetCurrentFolder(), pathA, sizeof(pathA));
    GetPathOf(passive->GetCurrentFolder(), pathP, sizeof(pathP));
    if (!pathA[0] || !pathP[0])
        return;
    Settings2Opts& s2 = GetMainApp().m_settings.settings2;
    CompareDlg dlg(pathA, pathP, s2.value);
    if (dlg.Modal(IDD_COMPARE, GetModuleHandleA(NULL), frame.m_hWnd) != IDOK)
        return;
    for (const BoxBit& b : kBoxes)
        s2.Set(b.bit, (dlg.bits & b.bit) != 0);
    s2.Store();

    bool subfolders = (dlg.bits & S2_CMP_SUBFOLDERS) != 0;
    CompareCriteria ca, cp;
    ca.unique = (dlg.bits & S2_CMP_A_UNIQUE) != 0;
    ca.newer = (dlg.bits & S2_CMP_A_NEWER) != 0;
    ca.same = (dlg.bits & S2_CMP_A_SAME) != 0;
    ca.older = (dlg.bits & S2_CMP_A_OLDER) != 0;
    cp.unique = (dlg.bits & S2_CMP_P_UNIQUE) != 0;
    cp.newer = (dlg.bits & S2_CMP_P_NEWER) != 0;
    cp.same = (dlg.bits & S2_CMP_P_SAME) != 0;
    cp.older = (dlg.bits & S2_CMP_P_OLDER) != 0;
    {
        VmWaitCursor wait;
        Progress progress(frame.m_hWnd);
        progress.SetText(0, ResStr(IDS_CMP_COMPARING));
        progress.SetRange(0, 100);
        DisableDayLightSavings noDst;
        PanelSelector sa{active, {}}, sp{passive, {}};
        sa.folder.BindToAbs(active->GetCurrentFolder());
        sp.folder.BindToAbs(passive->GetCurrentFolder());
        ClearSelection(active);
        Compare_Folders(pathA, pathP, ca, subfolders, &progress, SelectInPanel, &sa);
        if (!progress.IsCanceled()) {
            ClearSelection(passive);
            Compare_Folders(pathP, pathA, cp, subfolders, &progress, SelectInPanel, &sp);
        }
        progress.Close();
    }
    frame.UpdateStatusBar(false);
    HWND la = active->GetListView(), lp = passive->GetListView();
    if ((!la || ListView_GetSelectedCount(la) == 0) && (!lp || ListView_GetSelectedCount(lp) == 0))
        Msg(frame.m_hWnd, MB_OK | MB_ICONINFORMATION, IDS_NO_DIFFERENCES);
    else {
        active->UpdateSelectionDisplay();
        passive->UpdateSelectionDisplay();
    }
}
