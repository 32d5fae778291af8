#include "commands/SelectCommands.h"
#include "app/MainApp.h"
#include "app/MainFrame.h"
#include "app/Policy.h"
#include "app/Resource.h"
#include "app/Settings.h"
#include "commands/ListCmd.h"
#include "commands/SelectRes.h"
#include "commands/Stamp.h"
#include "files/Filter.h"
#include "LibRes.h"
#include "panels/ViewFrame.h"
#include "shell/IdList.h"
#include "shell/PathConv.h"
#include "shell/Pidl.h"
#include "shell/ShellFolder.h"
#include "ui/Clipboard.h"
#include "ui/MsgUtil.h"
#include "ui/VmDlg.h"
#include "ui/VmHistCB.h"
#include "ui/WaitCursor.h"
#include "util/PathUtil.h"
#include "util/StrUtil.h"
#include <commctrl.h>
#include <shlobj.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

// Bits of "Settings2" that the Select dialog keeps.
enum : DWORD { S2_SELECT_FILES = 0x20000, S2_SELECT_FOLDERS = 0x40000 };
const int kHistSize = 8;

std::string AppString(UINT id)
{
    char text[1024];
    if (LoadStringA(GetModuleHandleA(NULL), id, text, sizeof(text)) <= 0)
        return std::string();
    return text;
}

WINDOWPLACEMENT* PlacementOf(CMainFrame& frame, const char* name)
{
    FrameOpts& opts = frame.Options();
    for (int i = 0; i < FrameOpts::kDialogs; ++i) {
        if (!strcmp(FrameOpts::kDialogNames[i], name))
            return &opts.dialogs[i];
    }
    return nullptr;
}

// Where the user left the dialog, else centred on the window given (the active panel).
void PlaceDialog(HWND dlg, const WINDOWPLACEMENT* placement, HWND around)
{
    RECT rc;
    GetWindowRect(dlg, &rc);
    if (placement && placement->length == sizeof(WINDOWPLACEMENT)) {
        SetWindowPos(dlg, NULL, placement->rcNormalPosition.left, placement->rcNormalPosition.top,
                     0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    RECT ro;
    if (!around || !GetWindowRect(around, &ro))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &ro, 0);
    SetWindowPos(dlg, NULL, (ro.left + ro.right - (rc.right - rc.left)) / 2,
                 (ro.top + ro.bottom - (rc.bottom - rc.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SavePlacement(HWND dlg, WINDOWPLACEMENT* placement)
{
    if (!placement || !dlg)
        return;
    WINDOWPLACEMENT wp;
    wp.length = sizeof(wp);
    if (GetWindowPlacement(dlg, &wp))
        *placement = wp;
}

// The whole text of a window (combo boxes included), not cut to MAX_PATH.
std::string WholeText(HWND wnd)
{
    int len = wnd ? GetWindowTextLengthA(wnd) : 0;
    std::string text(len + 1, '\0');
    if (len > 0)
        GetWindowTextA(wnd, &text[0], len + 1);
    text.resize(strlen(text.c_str()));
    return text;
}

std::string Trimmed(const std::string& text)
{
    size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos)
        return std::string();
    size_t e = text.find_last_not_of(" \t");
    return text.substr(b, e - b + 1);
}

// ---- selecting in the panel's list

// One message for the whole list, which does not redraw item by item meanwhile.
void SetAllSelected(HWND list, bool select)
{
    if (!list)
        return;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ListView_SetItemState(list, -1, select ? LVIS_SELECTED : 0, LVIS_SELECTED);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, NULL, TRUE);
}

void SetAllSelected(ViewFrame& panel, bool select)
{
    SelectionBatch batch(panel, select ? 0 : LVIS_SELECTED, select ? LVIS_SELECTED : 0);
    SetAllSelected(panel.GetListView(), select);
}

void InvertSelection(ViewFrame& panel)
{
    HWND list = panel.GetListView();
    if (!list)
        return;
    int count = ListView_GetItemCount(list);
    int selected = (int)ListView_GetSelectedCount(list);
    if (selected == 0 || selected == count) {
        SetAllSelected(panel, selected == 0);
        return;
    }
    std::basic_string<unsigned char> was(count, 0);
    int runs = 0;   // stretches of selected items
    for (int i = -1, last = -2; (i = ListView_GetNextItem(list, i, LVNI_SELECTED)) >= 0 && i < count; last = i) {
        was[i] = 1;
        if (i != last + 1)
            ++runs;
    }
    // The whole list changes at once, then the rest one item at a time (some 4-7 us an item
    // under Wine). The list keeps its selection as ranges: selecting everything over many
    // stretches merges them one by one, each merge moving the ranges behind it (about
    // runs * runs / 1250 us in all), while clearing everything and adding items in ascending
    // order only appends. The cheaper of the two ways is taken.
    double fromAll = (double)runs * runs / 1250.0 + 4.0 * selected;
    double fromNone = 4.0 * (count - selected);
    SelectionBatch batch(panel, LVIS_SELECTED, 0);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    if (fromAll < fromNone) {
        ListView_SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
        for (int i = count - 1; i >= 0; --i)
            if (was[i])
                ListView_SetItemState(list, i, 0, LVIS_SELECTED);
    } else {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        for (int i = 0; i < count; ++i)
            if (!was[i])
                ListView_SetItemState(list, i, LVIS_SELECTED, LVIS_SELECTED);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, NULL, TRUE);
}

// Selects or deselects the objects whose in-folder parsing names match the mask; the number
// of objects that matched, -1 when the panel's objects cannot be read.
int SelectByMask(ViewFrame& panel, const char* mask, bool files, bool folders, bool select)
{
    HWND list = panel.GetListView();
    IShellView* view = panel.GetIShellView();
    if (!list || !view)
        return -1;
    iShellFolder folder;
    if (!folder.BindToAbs(panel.GetCurrentFolder()))
        return -1;
    IFolderView* fv = nullptr;
    if (FAILED(view->QueryInterface(IID_IFolderView, (void**)&fv)) || !fv)
        return -1;
    Filter filter(mask, NULL, ";");
    int count = ListView_GetItemCount(list);
    int matched = 0;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < count; ++i) {
        ITEMIDLIST* item = nullptr;
        if (FAILED(fv->Item(i, &item)) || !item)
            continue;
        DWORD attr = folder.GetAttributesOf(item, SFGAO_FOLDER | SFGAO_STREAM);
        bool isFolder = (attr & SFGAO_FOLDER) && !(attr & SFGAO_STREAM);
        char name[MAX_PATH] = "";
        if ((isFolder ? folders : files) &&
            folder.GetDisplayNameOf(item, SHGDN_INFOLDER | SHGDN_FORPARSING, name, sizeof(name)) &&
            filter.Match(name)) {
            ListView_SetItemState(list, i, select ? LVIS_SELECTED : 0, LVIS_SELECTED);
            ++matched;
        }
        CoTaskMemFree(item);
    }
    fv->Release();
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, NULL, TRUE);
    return matched;
}

// ---- the Select dialog (modeless, at most one)

class SelectDlg;
SelectDlg* g_selectDlg = nullptr;

class SelectDlg : public VmDlg {
public:
    explicit SelectDlg(CMainFrame& frame) : m_frame(frame)
    {
        m_mask.SetMaxHistSize(kHistSize);
        AddCtrl(&m_mask, IDC_SELECT_MASK, "SelectMRU");
    }

    BOOL OnInitDialog() override
    {
        SetIcon(IDI_SELECT);
        ViewFrame* panel = m_frame.ActivePanel();
        PlaceDialog(m_hWnd, PlacementOf(m_frame, "DlgSelect"), panel ? panel->m_hWnd : NULL);
        Settings2Opts& s2 = GetMainApp().m_settings.settings2;
        CheckDlgButton(m_hWnd, IDC_SELECT_FILES, s2.IsOn(S2_SELECT_FILES) ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(m_hWnd, IDC_SELECT_FOLDERS, s2.IsOn(S2_SELECT_FOLDERS) ? BST_CHECKED : BST_UNCHECKED);
        if (GetWindowTextLengthA(m_mask.GetHWND()) == 0)
            m_mask.SetText("*.*");
        SetFocus(m_mask.GetHWND());
        SendMessageA(m_mask.GetHWND(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        return FALSE;
    }

    void OnOK() override { Run(true, false); }

    bool OnCommand(int id, int code, HWND) override
    {
        if (code != BN_CLICKED)
            return false;
        switch (id) {
        case IDC_SELECT_DESELECT:
            Run(false, false);
            return true;
        case IDC_SELECT_ALL:
            Run(true, true);
            return true;
        case IDC_SELECT_NONE:
            Run(false, true);
            return true;
        case IDHELP:
            OnHelp(IDD_SELECT);
            return true;
        }
        return false;
    }

    bool CanClose(INT_PTR result) override
    {
        Settings2Opts& s2 = GetMainApp().m_settings.settings2;
        s2.Set(S2_SELECT_FILES, IsDlgButtonChecked(m_hWnd, IDC_SELECT_FILES) == BST_CHECKED);
        s2.Set(S2_SELECT_FOLDERS, IsDlgButtonChecked(m_hWnd, IDC_SELECT_FOLDERS) == BST_CHECKED);
        s2.Store();
        m_mask.UpdateHistory();
        m_mask.Store();
        SavePlacement(m_hWnd, PlacementOf(m_frame, "DlgSelect"));
        return VmDlg::CanClose(result);
    }

    void OnPostNcDestroy() override
    {
        if (g_selectDlg == this)
            g_selectDlg = nullptr;
        delete this;
    }

private:
    void Run(bool select, bool everything)
    {
        bool files = true, folders = true;
        std::string mask = "*";
        if (!everything) {
            files = IsDlgButtonChecked(m_hWnd, IDC_SELECT_FILES) == BST_CHECKED;
            folders = IsDlgButtonChecked(m_hWnd, IDC_SELECT_FOLDERS) == BST_CHECKED;
            if (!files && !folders) {
                Msg(m_hWnd, MB_OK | MB_ICONWARNING, IDS_SELECT_NO_KIND);
                return;
            }
            mask = Trimmed(WholeText(m_mask.GetHWND()));
            if (mask.empty())
                return;
            m_mask.UpdateHistory();
            m_mask.Store();
        }
        ViewFrame* panel = m_frame.ActivePanel();
        if (!panel)
            return;
        VmWaitCursor wait;
        int matched = SelectByMask(*panel, mask.c_str(), files, folders, select);
        if (matched <= 0) {
            if (matched == 0 && !everything)
                Msg(m_hWnd, MB_OK | MB_ICONWARNING, IDS_SELECT_NO_MATCH, mask.c_str());
            return;
        }
        char text[MAX_PATH];
        wsprintfA(text, AppString(IDS_SELECT_STATUS).c_str(),
                  AppString(select ? IDS_SELECT_SELECTED : IDS_SELECT_DESELECTED).c_str(),
                  (unsigned long)matched,
                  (unsigned long)ListView_GetSelectedCount(panel->GetListView()));
        SetDlgItemTextA(m_hWnd, IDC_SELECT_STATUS, text);
    }

    CMainFrame& m_frame;
    VmHistCB m_mask;
};

void RunSelectDialog(CMainFrame& frame)
{
    if (g_selectDlg && g_selectDlg->GetHWND()) {
        ShowWindow(g_selectDlg->GetHWND(), SW_SHOWNORMAL);
        SetActiveWindow(g_selectDlg->GetHWND());
        return;
    }
    SelectDlg* dlg = new SelectDlg(frame);
    g_selectDlg = dlg;
    if (!dlg->Modeless(IDD_SELECT, GetModuleHandleA(NULL), frame.m_hWnd)) {
        if (g_selectDlg == dlg) {
            g_selectDlg = nullptr;
            delete dlg;
        }
    }
}

// ---- New Folder

// Creates every missing folder along a full path. False with the last error set.
bool CreatePathLevels(const char* path)
{
    std::string p(path);
    while (p.size() > 3 && p.back() == '\\')
        p.pop_back();
    // The first component that may be created: after "X:\" or "\\server\share\".
    size_t start = 0;
    if (p.size() >= 2 && p[1] == ':')
        start = 3;
    else if (p.compare(0, 2, "\\\\") == 0) {
        size_t s = p.find('\\', 2);
        s = s == std::string::npos ? s : p.find('\\', s + 1);
        if (s == std::string::npos) {
            SetLastError(ERROR_INVALID_NAME);
            return false;
        }
        start = s + 1;
    }
    bool created = false;
    for (size_t pos = start; pos <= p.size(); ++pos) {
        if (pos != p.size() && p[pos] != '\\')
            continue;
        std::string level = p.substr(0, pos);
        DWORD attr = GetFileAttributesA(level.c_str());
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (!CreateDirectoryA(level.c_str(), NULL))
            return false;
        created = true;
    }
    if (!created) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    return true;
}

class NewFolderDlg : public VmDlg {
public:
    NewFolderDlg(const char* folder, const char* shellName, WINDOWPLACEMENT* placement, HWND around)
        : m_placement(placement), m_around(around)
    {
        StrCopyN(m_folder, folder, sizeof(m_folder));
        StrCopyN(m_shellName, shellName, sizeof(m_shellName));
        m_name.SetMaxHistSize(kHistSize);
        AddCtrl(&m_name, IDC_NEWFOLDER_NAME, "NewFolderMRU");
    }

    char typed[MAX_PATH] = "";

    BOOL OnInitDialog() override
    {
        SetIcon(IDI_NEWFOLDER);
        PlaceDialog(m_hWnd, m_placement, m_around);
        SetDlgItemTextA(m_hWnd, IDC_NEWFOLDER_CURRENT, m_shellName);
        m_name.SetText("");
        SetFocus(m_name.GetHWND());
        return FALSE;
    }

    bool OnCommand(int id, int code, HWND) override
    {
        if (id == IDHELP && code == BN_CLICKED) {
            OnHelp(IDD_NEWFOLDER);
            return true;
        }
        return false;
    }

    void OnOK() override
    {
        std::string text = Trimmed(WholeText(m_name.GetHWND()));
        if (text.empty())
            return;
        m_name.UpdateHistory();
        m_name.Store();
        char path[MAX_PATH];
        if (!StrCopyN(path, text.c_str(), sizeof(path)) || !MakeFullPathName(path, m_folder, sizeof(path))) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            MsgLastError(m_hWnd);
            return;
        }
        if (!CreatePathLevels(path)) {
            MsgLastError(m_hWnd);
            SetFocus(m_name.GetHWND());
            return;
        }
        StrCopyN(typed, text.c_str(), sizeof(typed));
        StrCopyN(created, path, sizeof(created));
        CloseDialog(IDOK, 1);
    }

    bool CanClose(INT_PTR result) override
    {
        SavePlacement(m_hWnd, m_placement);
        return VmDlg::CanClose(result);
    }

    char created[MAX_PATH] = "";

private:
    char m_folder[MAX_PATH];
    char m_shellName[MAX_PATH];
    WINDOWPLACEMENT* m_placement;
    HWND m_around;
    VmHistCB m_name;
};

void RunNewFolder(CMainFrame& frame)
{
    ViewFrame* panel = frame.ActivePanel();
    if (!panel)
        return;
    char folder[MAX_PATH] = "", shellName[MAX_PATH] = "";
    GetPathOf(panel->GetCurrentFolder(), folder, sizeof(folder));
    if (!folder[0])
        StrCopyN(folder, panel->GetPath(), sizeof(folder));
    if (!folder[0])
        return;
    if (!IsPassablePath(folder)) {
        Msg(frame.m_hWnd, MB_OK | MB_ICONERROR, IDS_PATH_UNSAFE, folder);
        return;
    }
    GetShellNameOf(panel->GetCurrentFolder(), shellName, sizeof(shellName), 1);
    if (!shellName[0])
        StrCopyN(shellName, folder, sizeof(shellName));
    NewFolderDlg dlg(folder, shellName, PlacementOf(frame, "DlgNewFolder"), panel->m_hWnd);
    if (dlg.Modal(IDD_NEWFOLDER, GetModuleHandleA(NULL), frame.m_hWnd) != IDOK)
        return;
    panel->Refresh();
    // The object the typed text names in the current folder: its first new level.
    char base[MAX_PATH];
    StrCopyN(base, folder, sizeof(base));
    AppendBackSlash(base, sizeof(base));
    size_t n = strlen(base);
    if (!_strnicmp(dlg.created, base, n) && panel->GetView()) {
        std::string rest = dlg.created + n;
        std::string first = rest.substr(0, rest.find('\\'));
        if (!first.empty()) {
            HWND list = panel->GetListView();
            SetAllSelected(list, false);
            panel->GetView()->HighlightItem(first.c_str());
        }
    }
    frame.UpdateStatusBar(true);
}

// ---- Set Filter / Remove Filter

struct FilterBox {
    int id;
    DWORD show;
};
const FilterBox kFilterBoxes[] = {
    {IDC_FILTER_FILES, ShellObjFilter::ShowFiles},
    {IDC_FILTER_FOLDERS, ShellObjFilter::ShowFolders},
    {IDC_FILTER_LINKS, ShellObjFilter::ShowLinks},
    {IDC_FILTER_HIDDEN, ShellObjFilter::ShowHidden},
    {IDC_FILTER_ANCESTORS, ShellObjFilter::ShowFsAncestors},
    {IDC_FILTER_VIRT_FOLDERS, ShellObjFilter::ShowVirtFolders},
    {IDC_FILTER_VIRT_OBJECTS, ShellObjFilter::ShowVirtObjects},
};

class FilterDlg : public VmDlg {
public:
    FilterDlg(ShellObjFilter& filter, HWND around) : m_filter(filter), m_around(around)
    {
        m_incl.SetMaxHistSize(kHistSize);
        m_excl.SetMaxHistSize(kHistSize);
        AddCtrl(&m_incl, IDC_FILTER_INCLUDE, "FilterInclMRU");
        AddCtrl(&m_excl, IDC_FILTER_EXCLUDE, "FilterExclMRU");
    }

    BOOL OnInitDialog() override
    {
        SetIcon(IDI_FILTER);
        PlaceDialog(m_hWnd, nullptr, m_around);
        // Masks longer than a path are shown whole: OK would otherwise store them cut.
        const int size = 32768;
        std::vector<char> incl(size, 0), excl(size, 0);
        m_filter.GetFilters(incl.data(), excl.data(), size);
        m_incl.SetText(incl.data());
        m_excl.SetText(excl.data());
        DWORD flags = m_filter.GetFlags();
        for (const FilterBox& b : kFilterBoxes) {
            bool show = (flags & b.show) != 0;
            bool hide = (flags & (b.show << ShellObjFilter::HideShift)) != 0;
            CheckDlgButton(m_hWnd, b.id, show == hide ? BST_INDETERMINATE : show ? BST_CHECKED : BST_UNCHECKED);
        }
        return TRUE;
    }

    bool OnCommand(int id, int code, HWND) override
    {
        if (code != BN_CLICKED)
            return false;
        if (id == IDC_FILTER_RESET) {
            m_incl.SetText("");
            m_excl.SetText("");
            for (const FilterBox& b : kFilterBoxes)
                CheckDlgButton(m_hWnd, b.id, BST_INDETERMINATE);
            return true;
        }
        if (id == IDHELP) {
            OnHelp(IDD_FILTER);
            return true;
        }
        return false;
    }

    void OnOK() override
    {
        std::string incl = Trimmed(WholeText(m_incl.GetHWND()));
        std::string excl = Trimmed(WholeText(m_excl.GetHWND()));
        // The trimmed texts are what the histories record.
        m_incl.SetText(incl.c_str());
        m_excl.SetText(excl.c_str());
        for (const FilterBox& b : kFilterBoxes) {
            UINT state = IsDlgButtonChecked(m_hWnd, b.id);
            m_filter.SetFlag(b.show, state == BST_CHECKED);
            m_filter.SetFlag(b.show << ShellObjFilter::HideShift, state == BST_UNCHECKED);
        }
        if (!m_filter.SetFilters(incl.c_str(), excl.c_str())) {
            Msg(m_hWnd, MB_OK | MB_ICONERROR, -IDS_LIB_FILEOP_NOMEMORY);
            return;
        }
        CloseDialog(IDOK, 1);
    }

private:
    ShellObjFilter& m_filter;
    HWND m_around;
    VmHistCB m_incl, m_excl;
};

void RunSetFilter(CMainFrame& frame)
{
    ViewFrame* panel = frame.ActivePanel();
    if (!panel)
        return;
    PanelSettings& s = panel->Settings();
    FilterDlg dlg(s.filter, panel->m_hWnd);
    if (dlg.Modal(IDD_FILTER, GetModuleHandleA(NULL), frame.m_hWnd) != IDOK)
        return;
    panel->SetFilterOn(!s.filter.IsEmpty());
    frame.UpdateStatusBar(true);
}

void RunRemoveFilter(CMainFrame& frame)
{
    ViewFrame* panel = frame.ActivePanel();
    if (!panel)
        return;
    // The filter's lists and types stay for the next Set Filter.
    if (panel->Settings().quickText[0])
        panel->SetQuickFilter("");
    panel->SetFilterOn(false);
    frame.UpdateStatusBar(true);
}

// ---- Copy to Clipboard

bool TimeText(const char* path, UINT id, std::string& out)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    // The attribute query takes the path as a name, never as a pattern.
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return false;
    const FILETIME* ft = &data.ftLastWriteTime;
    if (id == ID_CLIP_TIME_SHORT_CREATED || id == ID_CLIP_TIME_LONG_CREATED)
        ft = &data.ftCreationTime;
    else if (id == ID_CLIP_TIME_SHORT_ACCESSED || id == ID_CLIP_TIME_LONG_ACCESSED)
        ft = &data.ftLastAccessTime;
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(ft, &local) || !FileTimeToSystemTime(&local, &st))
        return false;
    bool longForm = id == ID_CLIP_TIME_LONG_CREATED || id == ID_CLIP_TIME_LONG_MODIFIED ||
                    id == ID_CLIP_TIME_LONG_ACCESSED;
    char date[MAX_PATH] = "", time[MAX_PATH] = "";
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, longForm ? DATE_LONGDATE : DATE_SHORTDATE, &st, NULL,
                        date, sizeof(date)) ||
        !GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, NULL, time, sizeof(time)))
        return false;
    out = std::string(date) + " " + time;
    return true;
}

// The text one selected object gives; empty when it gives none.
std::string ObjectText(HWND owner, UINT id, const char* path)
{
    if (!IsPassablePath(path)) {
        Msg(owner, MB_OK | MB_ICONWARNING, IDS_PATH_UNSAFE, path);
        return std::string();
    }
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return std::string();
    char buf[MAX_PATH];
    StrCopyN(buf, path, sizeof(buf));
    switch (id) {
    case ID_CLIP_NAME_ALIAS:
    case ID_CLIP_PATH_ALIAS:
        ConvertToShortPath(buf);
        break;
    }
    switch (id) {
    case ID_CLIP_NAME:
    case ID_CLIP_NAME_ALIAS: {
        RemoveBackSlash(buf);
        const char* name = FindNameExt(buf);
        return name ? name : buf;
    }
    case ID_CLIP_PATH:
    case ID_CLIP_PATH_ALIAS:
        return buf;
    }
    std::string text;
    TimeText(path, id, text);
    return text;
}

std::string JoinTexts(const std::vector<std::string>& texts)
{
    std::string out;
    for (const std::string& t : texts) {
        out += t;
        if (texts.size() > 1)
            out += "\r\n";
    }
    return out;
}

void RunCopyToClipboard(CMainFrame& frame, UINT id)
{
    ViewFrame* panel = frame.ActivePanel();
    if (!panel)
        return;
    VmWaitCursor wait;
    std::vector<std::string> texts;
    if (id >= ID_CLIP_COLUMN_FIRST && id <= ID_CLIP_COLUMN_LAST) {
        HWND list = panel->GetListView();
        if (!list)
            return;
        int column = (int)(id - ID_CLIP_COLUMN_FIRST);
        for (int i = -1; (i = ListView_GetNextItem(list, i, LVNI_SELECTED)) >= 0;) {
            char buf[259] = "";
            ListView_GetItemText(list, i, column, buf, sizeof(buf));
            if (buf[0])
                texts.push_back(buf);
        }
    } else {
        ID_List selection;
        if (!panel->GetSelection(selection))
            return;
        for (const ITEMIDLIST* item = selection.GetFirstPidl(); item; item = selection.GetNextPidl()) {
            PIDL full(selection.GetFolderPidl());
            char path[MAX_PATH] = "";
            if (!full.AppendAll(item) || !GetPathOf(full, path, sizeof(path)))
                continue;
            std::string text = ObjectText(frame.m_hWnd, id, path);
            if (!text.empty())
                texts.push_back(text);
        }
    }
    if (!PutTextOnClipboard(frame.m_hWnd, JoinTexts(texts)))
        Msg(frame.m_hWnd, MB_OK | MB_ICONERROR, -IDS_LIB_FILEOP_NOMEMORY);
}

// ---- routing

struct SelectCommand {
    UINT first, last;
    const char* policy;
};

const SelectCommand kCommands[] = {
    {ID_CMD_SELECT_ALL, ID_CMD_SELECT_ALL, nullptr},
    {ID_CMD_DESELECT_ALL, ID_CMD_DESELECT_ALL, nullptr},
    {ID_CMD_INVERT_SELECTION, ID_CMD_INVERT_SELECTION, nullptr},
    {ID_CMD_SELECT, ID_CMD_SELECT, "DisableMenuCommandSelect"},
    {ID_TOOLS_NEW_FOLDER, ID_TOOLS_NEW_FOLDER, "DisableMenuToolsNewFolder"},
    {ID_PANEL_SET_FILTER, ID_PANEL_SET_FILTER, "DisableMenuPanelSetFilter"},
    {ID_PANEL_REMOVE_FILTER, ID_PANEL_REMOVE_FILTER, "DisableMenuPanelRemoveFilter"},
    {ID_CLIP_NAME, ID_CLIP_PATH_ALIAS, "DisableMenuCommandCopyToClipboard"},
    {ID_CLIP_TIME_SHORT_CREATED, ID_CLIP_TIME_LONG_ACCESSED, "DisableMenuCommandCopyToClipboard"},
    {ID_CLIP_COLUMN_FIRST, ID_CLIP_COLUMN_LAST, "DisableMenuCommandCopyToClipboard"},
    {ID_CMD_STAMP, ID_CMD_STAMP, "DisableMenuCommandStamp"},
    {ID_CMD_LIST, ID_CMD_LIST, "DisableMenuCommandList"},
};

const SelectCommand* FindCommand(UINT id)
{
    for (const SelectCommand& c : kCommands)
        if (id >= c.first && id <= c.last)
            return &c;
    return nullptr;
}

void Run(CMainFrame& frame, UINT id)
{
    ViewFrame* panel = frame.ActivePanel();
    switch (id) {
    case ID_CMD_SELECT_ALL:
        if (panel)
            SetAllSelected(*panel, true);
        return;
    case ID_CMD_DESELECT_ALL:
        if (panel)
            SetAllSelected(*panel, false);
        return;
    case ID_CMD_INVERT_SELECTION:
        if (panel)
            InvertSelection(*panel);
        return;
    case ID_CMD_SELECT:
        RunSelectDialog(frame);
        return;
    case ID_TOOLS_NEW_FOLDER:
        RunNewFolder(frame);
        return;
    case ID_PANEL_SET_FILTER:
        RunSetFilter(frame);
        return;
    case ID_PANEL_REMOVE_FILTER:
        RunRemoveFilter(frame);
        return;
    case ID_CMD_STAMP:
        Stamp_Run(frame);
        return;
    case ID_CMD_LIST:
        List_Run(frame);
        return;
    }
    RunCopyToClipboard(frame, id);
}

}  // namespace

bool PutTextOnClipboard(HWND owner, const std::string& text)
{
    Clipboard clip(owner);
    if (!clip.IsOpen())
        return false;
    clip.Clear();
    if (text.empty())
        return true;
    if (!clip.AddStr(text.c_str()))
        return false;
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, NULL, 0);
    if (n <= 0)
        return true;   // the 8-bit text is there; the system makes the other on demand
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    return clip.AddData(CF_UNICODETEXT, wide.c_str(), n * sizeof(wchar_t));
}

bool IsPassablePath(const char* path)
{
    return path && path[0] && !strpbrk(path, "?*");
}

bool SelectCommands_OnCmdMsg(CMainFrame& frame, UINT id, int code, fw::CmdUI* ui)
{
    const SelectCommand* c = FindCommand(id);
    if (!c)
        return false;
    if (ui) {
        if (id >= ID_CLIP_COLUMN_FIRST && id <= ID_CLIP_COLUMN_LAST) {
            ViewFrame* panel = frame.ActivePanel();
            HWND list = panel ? panel->GetListView() : NULL;
            HWND header = list ? ListView_GetHeader(list) : NULL;
            ui->Enable(header && (int)(id - ID_CLIP_COLUMN_FIRST) < Header_GetItemCount(header));
            return true;
        }
        if (id != ID_CMD_SELECT)
            return false;   // the command table's rule
        ViewFrame* panel = frame.ActivePanel();
        ui->Enable(panel && panel->GetPath()[0]);
        ui->SetCheck(g_selectDlg != nullptr);
        return true;
    }
    if (code == fw::kQueryHandler)
        return true;
    if (c->policy && IsPolicyOn(c->policy, true))
        return true;
    Run(frame, id);
    return true;
}

void SelectCommands_InitMenuPopup(CMainFrame& frame, HMENU menu)
{
    if (!menu || GetMenuItemCount(menu) <= 0)
        return;
    UINT first = GetMenuItemID(menu, 0);
    if (first < ID_CLIP_COLUMN_FIRST || first > ID_CLIP_COLUMN_LAST)
        return;
    while (GetMenuItemCount(menu) > 0)
        DeleteMenu(menu, 0, MF_BYPOSITION);
    ViewFrame* panel = frame.ActivePanel();
    HWND list = panel ? panel->GetListView() : NULL;
    HWND header = list ? ListView_GetHeader(list) : NULL;
    int columns = header ? Header_GetItemCount(header) : 0;
    for (int i = 0; i < columns && i <= (int)(ID_CLIP_COLUMN_LAST - ID_CLIP_COLUMN_FIRST); ++i) {
        char title[MAX_PATH] = "";
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT;
        col.pszText = title;
        col.cchTextMax = sizeof(title);
        if (!ListView_GetColumn(list, i, &col))
            break;
        AppendMenuA(menu, MF_STRING, ID_CLIP_COLUMN_FIRST + i, title[0] ? title : "?");
    }
    if (GetMenuItemCount(menu) == 0)
        AppendMenuA(menu, MF_STRING | MF_GRAYED, ID_CLIP_COLUMN_FIRST, "Empty");
}

bool SelectCommands_PreTranslate(MSG* msg)
{
    HWND dlg = g_selectDlg ? g_selectDlg->GetHWND() : NULL;
    if (!dlg || !IsWindow(dlg))
        return false;
    if (msg->hwnd != dlg && !IsChild(dlg, msg->hwnd))
        return false;
    return IsDialogMessageA(dlg, msg) != 0;
}
