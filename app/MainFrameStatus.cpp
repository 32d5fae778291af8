// The main status bar's indicator panes: which exist, what they show, the Indicators dialog
// and the bar's shortcut menu.
#include "app/MainFrame.h"
#include "app/MainApp.h"
#include "app/Resource.h"
#include "files/FileEnum.h"
#include "files/Progress.h"
#include "ui/VmDlg.h"
#include "util/PathUtil.h"
#include "util/ResStr.h"
#include "util/StrUtil.h"
#include <commctrl.h>
#include <algorithm>
#include <stdio.h>
#include <string.h>
#include <time.h>

namespace {

const DWORD SO_POPOUT_INDICATORS = 1u << 7;
const DWORD SO_INDICATOR_KEYS = 1u << 8;
const DWORD SO_INDICATOR_DATE = 1u << 9;
const DWORD SO_INDICATOR_TIME = 1u << 10;
const DWORD SO_INDICATOR_RAM = 1u << 11;
const DWORD SO_INDICATOR_PROGRESS = 1u << 13;
const DWORD SO_INDICATOR_SIZE = 1u << 14;

// The panes in their order after the message pane.
struct Indicator {
    UINT id;
    DWORD bit;
};
const Indicator kIndicators[] = {
    {ID_INDICATOR_PROGRESS, SO_INDICATOR_PROGRESS}, {ID_INDICATOR_CAPS, SO_INDICATOR_KEYS},
    {ID_INDICATOR_NUM, SO_INDICATOR_KEYS},          {ID_INDICATOR_SCRL, SO_INDICATOR_KEYS},
    {ID_INDICATOR_RAM, SO_INDICATOR_RAM},           {ID_INDICATOR_FREE, SO_INDICATOR_FREE},
    {ID_INDICATOR_SIZE, SO_INDICATOR_SIZE},         {ID_INDICATOR_NUMOBJ, SO_INDICATOR_NUMOBJ},
    {ID_INDICATOR_DATE, SO_INDICATOR_DATE},         {ID_INDICATOR_TIME, SO_INDICATOR_TIME}};
static_assert(sizeof(kIndicators) / sizeof(kIndicators[0]) == 10, "ten indicator panes at most");

// The check boxes of the Indicators dialog and their bits.
const struct {
    int id;
    DWORD bit;
} kIndicatorBoxes[] = {{IDC_IND_PROGRESS, SO_INDICATOR_PROGRESS}, {IDC_IND_KEYS, SO_INDICATOR_KEYS},
                       {IDC_IND_RAM, SO_INDICATOR_RAM},           {IDC_IND_FREE, SO_INDICATOR_FREE},
                       {IDC_IND_SIZE, SO_INDICATOR_SIZE},         {IDC_IND_NUMOBJ, SO_INDICATOR_NUMOBJ},
                       {IDC_IND_DATE, SO_INDICATOR_DATE},         {IDC_IND_TIME, SO_INDICATOR_TIME}};

// Width of a pane that shows text, in the status bar's font.
int PaneWidth(HWND bar, const char* text)
{
    HDC dc = GetDC(bar);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(bar, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    ReleaseDC(bar, dc);
    return size.cx + 2 * GetSystemMetrics(SM_CXEDGE) + 8;
}

UINT PaneType()
{
    return GetMainApp().m_settings.IsOn(SO_POPOUT_INDICATORS) ? SBT_POPOUT : 0;
}

class IndicatorsDlg : public VmDlg {
public:
    explicit IndicatorsDlg(DWORD bits) : m_bits(bits) {}
    DWORD m_bits;

protected:
    BOOL OnInitDialog() override
    {
        for (const auto& b : kIndicatorBoxes)
            CheckDlgButton(m_hWnd, b.id, (m_bits & b.bit) ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    }
    void OnOK() override
    {
        for (const auto& b : kIndicatorBoxes)
            m_bits = IsDlgButtonChecked(m_hWnd, b.id) == BST_CHECKED ? m_bits | b.bit : m_bits & ~b.bit;
        VmDlg::OnOK();
    }
};

}  // namespace

void CMainFrame::BuildIndicators()
{
    const SettingsOpts& settings = GetMainApp().m_settings;
    m_indicatorCount = 0;
    int progressPane = -1;
    for (const Indicator& ind : kIndicators) {
        if (!settings.IsOn(ind.bit) || m_indicatorCount >= kMaxIndicators)
            continue;
        ResStr text(ind.id);
        if (ind.id == ID_INDICATOR_PROGRESS)
            progressPane = m_indicatorCount;
        m_indicatorIds[m_indicatorCount] = ind.id;
        m_indicatorWidths[m_indicatorCount] = PaneWidth(m_status.m_status, text);
        ++m_indicatorCount;
    }
    if (progressPane >= 0 && !m_progress)
        m_progress = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 0, 0, 0, 0, m_status.m_status,
                                     (HMENU)(UINT_PTR)IDC_STATUS_PROGRESS, NULL, NULL);
    // Long operations show their bar in the pane too, while the pane is on.
    Progress::SetStatusBar(progressPane >= 0 ? m_progress : NULL);
    m_status.onLayout = [this] {
        PlaceProgress();
        PlacePrompt();
    };
    m_status.SetIndicators(m_indicatorWidths, m_indicatorCount);
    // Every pane starts blank in the current border style; the next update fills it.
    UINT type = PaneType();
    for (int i = 0; i < m_indicatorCount; ++i)
        m_status.SetPaneText(i + 1, "", type);
    m_sizePath.clear();
}

void CMainFrame::PlaceProgress()
{
    if (!m_progress)
        return;
    if (m_menuHelp) {
        ShowWindow(m_progress, SW_HIDE);   // back when the menu closes
        return;
    }
    for (int i = 0; i < m_indicatorCount; ++i) {
        if (m_indicatorIds[i] != ID_INDICATOR_PROGRESS)
            continue;
        RECT rc;
        if (SendMessageA(m_status.m_status, SB_GETRECT, i + 1, (LPARAM)&rc)) {
            InflateRect(&rc, -1, -1);
            SetWindowPos(m_progress, HWND_TOP, rc.left, rc.top, rc.right - rc.left,
                         rc.bottom - rc.top, SWP_SHOWWINDOW | SWP_NOACTIVATE);
            return;
        }
    }
    ShowWindow(m_progress, SW_HIDE);
}

void CMainFrame::PlacePrompt()
{
    RECT rc = {};
    if (!m_menuHelp && SendMessageA(m_status.m_status, SB_GETRECT, 0, (LPARAM)&rc)) {
        // The message keeps the left third of its pane, at least 120 pixels; the prompt and
        // its toolbar take the rest up to the indicators.
        rc.left += std::max(120L, (rc.right - rc.left) / 3);
        rc.right -= 2;
    }
    m_prompt.Place(rc);   // an empty place hides them
}

void CMainFrame::SetMenuHelpMode(bool on)
{
    HWND bar = m_status.m_status;
    on = on && bar && GetMainApp().m_settings.IsOn(SO_STATUS_DESCRIPTIONS);
    if (on == m_menuHelp)
        return;
    m_menuHelp = on;
    if (on) {
        m_promptHadFocus = m_prompt.IsPromptWindow(GetFocus());
        SendMessageA(bar, SB_SETTEXTA, SB_SIMPLEID, (LPARAM)"");
        if (m_progress)
            ShowWindow(m_progress, SW_HIDE);
        PlacePrompt();
    }
    SendMessageA(bar, SB_SIMPLE, on, 0);
    if (!on) {
        PlaceProgress();
        PlacePrompt();
        if (m_promptHadFocus)
            m_prompt.Focus();
        m_promptHadFocus = false;
    }
}

void CMainFrame::SetIndicatorText(int index, const char* text)
{
    int pane = index + 1;
    UINT type = PaneType();
    if (m_status.GetPaneText(pane) == text && (m_status.GetPaneType(pane) & SBT_POPOUT) == type)
        return;   // unchanged: no repaint
    // A pane grows to its text and never shrinks by itself.
    int width = PaneWidth(m_status.m_status, text);
    if (width > m_indicatorWidths[index]) {
        m_indicatorWidths[index] = width;
        m_status.SetIndicators(m_indicatorWidths, m_indicatorCount);
    }
    m_status.SetPaneText(pane, text, type);
}

void CMainFrame::IndicatorText(UINT id, bool remeasure, char* text, int size)
{
    text[0] = 0;
    ViewFrame* panel = m_panel[0] && m_panel[1] ? ActivePanel() : nullptr;
    switch (id) {
    case ID_INDICATOR_CAPS:
    case ID_INDICATOR_NUM:
    case ID_INDICATOR_SCRL: {
        int key = id == ID_INDICATOR_CAPS ? VK_CAPITAL : id == ID_INDICATOR_NUM ? VK_NUMLOCK : VK_SCROLL;
        if (GetKeyState(key) & 1)
            lstrcpynA(text, ResStr(id), size);
        break;
    }
    case ID_INDICATOR_RAM: {
        MEMORYSTATUS ms = {};
        ms.dwLength = sizeof(ms);
        GlobalMemoryStatus(&ms);
        OSVERSIONINFOA vi = {};
        vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        bool nt = GetVersionExA(&vi) && vi.dwPlatformId == VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
        int used = (int)ms.dwMemoryLoad;
        // Byte counts pass the range of MulDiv's ints: rounded the same way in 64 bits.
        if (nt && ms.dwTotalPhys) {
            unsigned long long total = ms.dwTotalPhys, busy = total - ms.dwAvailPhys;
            used = (int)((busy * 100 + total / 2) / total);
        }
        wsprintfA(text, "%d%%", used);
        break;
    }
    case ID_INDICATOR_FREE: {
        const char* path = panel ? panel->GetPath() : nullptr;
        char drive = path ? (char)(path[0] & ~0x20) : 0;   // drive letters are ASCII
        if (drive < 'A' || drive > 'Z' || path[1] != ':')
            break;
        char root[4] = {drive, ':', '\\', 0};
        UINT type = GetDriveTypeA(root);
        bool slow = type == DRIVE_REMOVABLE || type == DRIVE_REMOTE;
        // Slow drives are measured once when the panel comes to them.
        DWORD kb = slow && !remeasure && drive == m_freeDrive ? m_freeKB : GetDiskFreeKB(root);
        if (slow) {
            m_freeDrive = drive;
            m_freeKB = kb;
        }
        if (kb < 1024)
            wsprintfA(text, "%3lu KB", kb);
        else
            wsprintfA(text, "%3lu MB", kb / 1024);
        break;
    }
    case ID_INDICATOR_SIZE: {
        iShellView* view = panel ? panel->GetView() : nullptr;
        char name[MAX_PATH];
        const char* folder = panel ? panel->GetPath() : "";
        if (!view || !folder[0] || !view->GetItemName(name, -1))
            break;
        char path[MAX_PATH];
        if (!MakePath(path, folder, name))
            break;
        if (lstrcmpiA(path, m_sizePath.c_str()) == 0) {
            lstrcpynA(text, m_sizeText.c_str(), size);
            break;
        }
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            break;
        // Beyond 4 GB the size still reads in bytes, not cut to its low word.
        unsigned long long bytes = ((unsigned long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
        snprintf(text, size, "%llub", bytes);
        m_sizePath = path;
        m_sizeText = text;
        break;
    }
    case ID_INDICATOR_NUMOBJ: {
        HWND list = panel ? panel->GetListView() : NULL;
        if (!list)
            break;
        UINT selected = (UINT)SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0);
        if (selected < 2)
            wsprintfA(text, "%lu obj", (DWORD)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        else
            wsprintfA(text, "%lu sel", (DWORD)selected);
        break;
    }
    case ID_INDICATOR_DATE:
    case ID_INDICATOR_TIME: {
        time_t now = time(nullptr);
        struct tm* local = localtime(&now);
        if (local)
            strftime(text, size, id == ID_INDICATOR_DATE ? "%x" : "%X", local);
        break;
    }
    default:
        break;   // the progress pane shows its control
    }
}

void CMainFrame::UpdateStatusBar(bool remeasure)
{
    bool ready = m_panel[0] && m_panel[1];
    for (int i = 0; i < m_indicatorCount; ++i) {
        char text[64] = "";
        if (ready)
            IndicatorText(m_indicatorIds[i], remeasure, text, sizeof(text));
        SetIndicatorText(i, text);
    }
}

void CMainFrame::ChooseIndicators()
{
    SettingsOpts& s = GetMainApp().m_settings;
    IndicatorsDlg dlg(s.value);
    if (dlg.Modal(IDD_INDICATORS, NULL, m_hWnd) != IDOK)
        return;
    s.value = dlg.m_bits;
    s.Store();
    BuildIndicators();
    UpdateStatusBar(true);
}

bool CMainFrame::OnStatusBarMenu(HWND wnd, LPARAM pos)
{
    if (!m_status.m_hWnd || (wnd != m_status.m_hWnd && wnd != m_status.m_status))
        return false;
    POINT pt = {(short)LOWORD(pos), (short)HIWORD(pos)};
    if (pos == (LPARAM)-1) {
        RECT rc;
        GetWindowRect(m_status.m_status, &rc);
        pt = {rc.left, rc.top};
    }
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return true;
    AppendMenuA(menu, MF_STRING, ID_VIEW_STATUSBAR_INDICATORS, ResStr(IDS_STATUS_MENU_INDICATORS));
    UINT cmd = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_hWnd, NULL);
    DestroyMenu(menu);
    if (cmd)
        PostMessageA(m_hWnd, WM_COMMAND, cmd, 0);
    return true;
}

void CMainFrame::ApplySettings()
{
    RebuildDriveBars();
    BuildIndicators();
    UpdateStatusBar(true);
    SetUpCaption();
    for (ViewFrame* p : m_panel)
        if (p)
            p->ApplyListStyles();
    RecalcLayout();
}
