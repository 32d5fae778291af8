#include "commands/Compare.h"
#include "commands/FolderIndex.h"
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
#include <memory>
#include <unordered_set>

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

// The qualifying top-level names of one panel, selected in one pass over its view at the end.
struct PanelSelector {
    ViewFrame* panel;
    std::unordered_set<std::wstring> names;
};

void CollectName(int side, const char* name, void* context)
{
    std::wstring key;
    if (FolderIndex::KeyOf(name, key))
        static_cast<PanelSelector*>(context)[side].names.insert(key);
}

// Each object of the view whose parsing name was collected is selected. Each selection only
// marks its item for the next paint: turning the list's redraw off and on around them would
// cost more (under Wine the list repaints at once when it is turned on).
void SelectCollected(PanelSelector& s)
{
    HWND list = s.panel->GetListView();
    IShellView* view = s.panel->GetIShellView();
    iShellFolder folder;
    IFolderView* fv = nullptr;
    if (s.names.empty() || !list || !view || !folder.BindToAbs(s.panel->GetCurrentFolder()) ||
        FAILED(view->QueryInterface(IID_IFolderView, (void**)&fv)) || !fv)
        return;
    int count = ListView_GetItemCount(list);
    std::wstring key;
    SelectionBatch batch(*s.panel, 0, LVIS_SELECTED);
    for (int i = 0; i < count; ++i) {
        ITEMIDLIST* item = nullptr;
        if (FAILED(fv->Item(i, &item)) || !item)
            continue;
        char name[MAX_PATH] = "";
        if (folder.GetDisplayNameOf(item, SHGDN_INFOLDER | SHGDN_FORPARSING, name, sizeof(name)) &&
            FolderIndex::KeyOf(name, key) && s.names.count(key))
            ListView_SetItemState(list, i, LVIS_SELECTED, LVIS_SELECTED);
        CoTaskMemFree(item);
    }
    fv->Release();
}

void ClearSelection(ViewFrame& panel)
{
    HWND list = panel.GetListView();
    if (!list)
        return;
    SelectionBatch batch(panel, LVIS_SELECTED, 0);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
}

// A message to the progress dialog's thread for every entry would cost more than the
// comparison, and so would asking for a cancel (a wait on an event, a trip to the server
// under Wine): the name and the bar move, and the cancel is asked for, at most ten times a
// second. True when the user has cancelled.
bool ShowEntry(Progress* progress, const char* name)
{
    static DWORD shown = 0;
    if (!progress || GetTickCount() - shown < 100)
        return false;
    shown = GetTickCount();
    progress->SetText(2, name);
    progress->StepIt();
    return progress->IsCanceled();
}

unsigned CompareTrees(FolderPairReader& reader, const std::string folder[2], const CompareCriteria criteria[2],
                      bool subfolders, unsigned need, Progress* progress, CompareMatchFn onMatch, void* context,
                      bool* cancelled)
{
    if (progress && progress->IsCanceled())
        *cancelled = true;
    if (*cancelled)
        return 0;
    // A folder that cannot be read qualifies nothing; against it every entry is unique.
    FolderIndex index[2];
    bool read[2] = {false, false};
    reader.Load(index, folder, read);
    unsigned found = 0;
    for (int side = 0; side < 2; ++side) {
        const CompareCriteria& c = criteria[side];
        const FolderIndex& mine = index[side];
        const FolderIndex& theirs = index[1 - side];
        if (!(need & (1u << side)) || !read[side])
            continue;
        for (size_t i = 0; i < mine.Count(); ++i) {
            const WIN32_FIND_DATAA& entry = mine.At(i);
            if (ShowEntry(progress, entry.cFileName)) {
                *cancelled = true;
                return found;
            }
            const WIN32_FIND_DATAA* other = theirs.FindKey(mine.KeyAt(i));
            bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            bool otherIsFolder = other && (other->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
            bool qualifies = false;
            if (!other || isFolder != otherIsFolder) {
                qualifies = c.unique;
            } else if (!isFolder) {
                int cmp = CompareLastWriteOn(entry.ftLastWriteTime, mine.FileSystem(), other->ftLastWriteTime,
                                             theirs.FileSystem());
                qualifies = (c.same && cmp == 0) || (c.newer && cmp > 0) || (c.older && cmp < 0);
            } else if (subfolders) {
                continue;   // both sides' subfolders are compared together below
            } else {
                qualifies = c.same;
            }
            if (!qualifies)
                continue;
            if (onMatch) {
                onMatch(side, entry.cFileName, context);
            } else {
                found |= 1u << side;
                break;
            }
        }
    }
    if (!subfolders || !read[0] || !read[1])
        return found;
    for (size_t i = 0; i < index[0].Count(); ++i) {
        const WIN32_FIND_DATAA& entry = index[0].At(i);
        unsigned want = onMatch ? need : need & ~found;
        if (!want)
            break;
        const WIN32_FIND_DATAA* other = index[1].FindKey(index[0].KeyAt(i));
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !other ||
            !(other->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        const std::string sub[2] = {Join(folder[0], entry.cFileName), Join(folder[1], other->cFileName)};
        unsigned inside = CompareTrees(reader, sub, criteria, true, want, progress, nullptr, nullptr, cancelled);
        if (*cancelled)
            return found;
        for (int side = 0; side < 2; ++side) {
            if (!(inside & (1u << side)))
                continue;
            if (onMatch)
                onMatch(side, side == 0 ? entry.cFileName : other->cFileName, context);
            else
                found |= 1u << side;
        }
    }
    return found;
}

}  // namespace

unsigned Compare_Trees(const std::string folder[2], const CompareCriteria criteria[2], bool subfolders,
                       unsigned need, Progress* progress, CompareMatchFn onMatch, void* context,
                       bool* cancelled)
{
    FolderPairReader reader;
    return CompareTrees(reader, folder, criteria, subfolders, need, progress, onMatch, context, cancelled);
}

bool Compare_TakePanels(CMainFrame& frame, ViewFrame*& active, ViewFrame*& passive,
                        char (&pathA)[MAX_PATH], char (&pathP)[MAX_PATH])
{
    active = frame.ActivePanel();
    passive = frame.PassivePanel();
    if (!active || !passive)
        return false;
    if ((active->HasFilter() || passive->HasFilter()) &&
        Msg(frame.m_hWnd, MB_YESNO | MB_ICONWARNING, IDS_FILTER_WARNING) != IDYES)
        return false;
    pathA[0] = pathP[0] = 0;
    GetPathOf(active->GetCurrentFolder(), pathA, MAX_PATH);
    GetPathOf(passive->GetCurrentFolder(), pathP, MAX_PATH);
    return pathA[0] && pathP[0];
}

namespace {

// Most comparisons end before a dialog could be read: the progress dialog shows only when one
// lasts this long.
const DWORD kProgressDelay = 500;

// Waits for the comparison's thread. While the progress dialog cannot show yet, messages other
// threads send wait, as posted input waits until the command ends; after that they are answered
// (the dialog's thread sends to its owner, the frame), as they were while the comparison ran on
// this thread and wrote to that dialog.
void WaitForRun(HANDLE thread)
{
    if (WaitForSingleObject(thread, kProgressDelay) != WAIT_TIMEOUT)
        return;
    DWORD got;
    while ((got = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE)) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (got != WAIT_OBJECT_0)
        WaitForSingleObject(thread, INFINITE);   // the thread uses the run: it must end first
}

// One comparison, begun on a thread of its own as soon as the user presses OK: under Wine
// the dialog takes some 25 ms to go, and the folders are read meanwhile. The user-interface
// thread waits for it before it selects anything; without the thread it runs there.
class CompareRun {
public:
    CompareRun(HWND owner, ViewFrame* active, ViewFrame* passive, const char* pathA, const char* pathP)
        : m_owner(owner), m_found{{active, {}}, {passive, {}}}, m_folders{pathA, pathP}
    {
    }
    ~CompareRun() { Join(); }
    CompareRun(const CompareRun&) = delete;   // owns its thread
    CompareRun& operator=(const CompareRun&) = delete;

    void Start(DWORD bits)
    {
        if (m_started)
            return;
        m_subfolders = (bits & S2_CMP_SUBFOLDERS) != 0;
        CompareCriteria& a = m_criteria[0];
        a.unique = (bits & S2_CMP_A_UNIQUE) != 0;
        a.newer = (bits & S2_CMP_A_NEWER) != 0;
        a.same = (bits & S2_CMP_A_SAME) != 0;
        a.older = (bits & S2_CMP_A_OLDER) != 0;
        CompareCriteria& p = m_criteria[1];
        p.unique = (bits & S2_CMP_P_UNIQUE) != 0;
        p.newer = (bits & S2_CMP_P_NEWER) != 0;
        p.same = (bits & S2_CMP_P_SAME) != 0;
        p.older = (bits & S2_CMP_P_OLDER) != 0;
        m_wait.reset(new VmWaitCursor);
        m_progress.reset(new Progress(m_owner, kProgressDelay));
        m_progress->SetText(0, ResStr(IDS_CMP_COMPARING));
        m_progress->SetRange(0, 100);
        m_noDst.reset(new DisableDayLightSavings);
        m_started = true;
        m_thread = CreateThread(NULL, 0, ThreadProc, this, 0, NULL);
    }

    // Waits for the comparison (or runs it, without its thread) and selects what it found, also
    // what was found before a cancel. The panels' selections are cleared first. True when the
    // user cancelled.
    bool Finish()
    {
        if (!m_started)
            return false;
        ClearSelection(*m_found[0].panel);
        ClearSelection(*m_found[1].panel);
        if (m_thread)
            Join();
        else
            Run();
        m_progress->Close();
        SelectCollected(m_found[0]);
        SelectCollected(m_found[1]);
        m_noDst.reset();
        m_progress.reset();
        m_wait.reset();
        return m_cancelled;
    }

private:
    static DWORD WINAPI ThreadProc(void* self)
    {
        static_cast<CompareRun*>(self)->Run();
        return 0;
    }
    // The run's thread, once it has ended, is closed.
    void Join()
    {
        if (!m_thread)
            return;
        WaitForRun(m_thread);
        CloseHandle(m_thread);
        m_thread = NULL;
    }
    void Run()
    {
        Compare_Trees(m_folders, m_criteria, m_subfolders, 3, m_progress.get(), CollectName, m_found, &m_cancelled);
    }

    HWND m_owner;
    PanelSelector m_found[2];
    const std::string m_folders[2];
    CompareCriteria m_criteria[2];
    bool m_subfolders = false;
    bool m_started = false;
    bool m_cancelled = false;   // written by the run, read once it has ended
    HANDLE m_thread = NULL;
    std::unique_ptr<VmWaitCursor> m_wait;
    std::unique_ptr<Progress> m_progress;
    std::unique_ptr<DisableDayLightSavings> m_noDst;
};

class CompareDlg : public VmDlg {
public:
    CompareDlg(const char* active, const char* passive, DWORD bits, CompareRun& run)
        : m_active(active), m_passive(passive), m_run(run), bits(bits)
    {
    }
    BOOL OnInitDialog() override
    {
        VmDlg::OnInitDialog();
        SetIcon(IDI_COMPARE);
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
        m_run.Start(bits);   // the comparison begins while the dialog goes
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
    CompareRun& m_run;

public:
    DWORD bits;
};

}  // namespace

void RunCompare(CMainFrame& frame, UINT)
{
    ViewFrame *active = nullptr, *passive = nullptr;
    char pathA[MAX_PATH] = "", pathP[MAX_PATH] = "";
    if (!Compare_TakePanels(frame, active, passive, pathA, pathP))
        return;
    Settings2Opts& s2 = GetMainApp().m_settings.settings2;
    CompareRun run(frame.m_hWnd, active, passive, pathA, pathP);
    CompareDlg dlg(pathA, pathP, s2.value, run);
    if (dlg.Modal(IDD_COMPARE, GetModuleHandleA(NULL), frame.m_hWnd) != IDOK)
        return;
    for (const BoxBit& b : kBoxes)
        s2.Set(b.bit, (dlg.bits & b.bit) != 0);
    s2.Store();
    bool cancelled = run.Finish();
    frame.UpdateStatusBar(false);
    HWND la = active->GetListView(), lp = passive->GetListView();
    bool none = (!la || ListView_GetSelectedCount(la) == 0) && (!lp || ListView_GetSelectedCount(lp) == 0);
    // A cancelled comparison did not look everywhere: it cannot tell that nothing differs.
    if (none && !cancelled)
        Msg(frame.m_hWnd, MB_OK | MB_ICONINFORMATION, IDS_NO_DIFFERENCES);
    else {
        active->UpdateSelectionDisplay();
        passive->UpdateSelectionDisplay();
    }
}
