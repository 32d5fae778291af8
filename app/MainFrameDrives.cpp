// The main window's drives: the main drive bar, the answers every drive bar asks of its host,
// the Drive and Network menus, and mapping and disconnecting network drives.
#include "app/MainFrame.h"
#include "app/MainApp.h"
#include "app/Resource.h"
#include "shell/PathConv.h"
#include "ui/IconMenu.h"
#include "ui/MsgUtil.h"
#include "util/PathUtil.h"
#include "util/StrUtil.h"
#include <dbt.h>
#include <winnetwk.h>
#include <stdio.h>

namespace {
// The Network menu's commands: 38900 and up, short of the drive commands at 39000.
const UINT kNetFirst = 38900;
const int kNetMax = 100;
static_assert(kNetFirst + kNetMax <= ID_DRIVE_FIRST, "network places stay below the drive commands");
}  // namespace

void CMainFrame::CreateDriveBar()
{
    m_driveBar.Create(this, ID_MAIN_DRIVEBAR, "Drive bar", this, DriveBar::MainBar);
}

void CMainFrame::RebuildDriveBars()
{
    m_driveBar.Rebuild();
    for (ViewFrame* p : m_panel)
        if (p)
            p->GetDriveBar().Rebuild();
}

void CMainFrame::OnDeviceChange(WPARAM event)
{
    // Drives come and go with arrivals and removals; other events change no drive.
    if (event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE)
        RebuildDriveBars();
}

void CMainFrame::RecordDriveVisit(ViewFrame* panel)
{
    if (!panel || panel->GetDrive() < 0)
        return;
    m_driveBar.RecordVisit(panel->GetDrive(), panel->GetCurrentFolder());
    panel->GetDriveBar().RecordVisit(panel->GetDrive(), panel->GetCurrentFolder());
}

void CMainFrame::BrowseFolderIn(const ITEMIDLIST* folder, bool passive)
{
    if (!m_panel[0] || !m_panel[1] || !folder)
        return;
    PIDL target(folder);   // the list may belong to something the move replaces
    if (!passive) {
        m_browserPanel = ActivePanel();
        ActivePanel()->BrowseObject(target, SBSP_ABSOLUTE);
        return;
    }
    // The passive panel is made active for the move; then the active one comes back.
    int active = m_active;
    SetActivePanel(1 - active, false);
    ActivePanel()->BrowseObject(target, SBSP_ABSOLUTE);
    SetActivePanel(active, true);
}

void CMainFrame::OnDriveCommand(DriveBar& bar, UINT id, bool root, bool passive)
{
    int drive = (int)id - ID_DRIVE_FIRST;
    if (drive < 0 || drive > 25)
        return;   // the rest of the range is reserved
    // A panel's own bar speaks for its panel, which becomes the active one as a click on it
    // makes it.
    for (ViewFrame* p : m_panel)
        if (p && &p->GetDriveBar() == &bar && !MakeActive(p))
            return;
    PIDL target;
    if (!bar.GetTarget(drive, root, target)) {
        // A drive the bar does not show (yet): its root, when the drive exists.
        char path[4] = {(char)('A' + drive), ':', '\\', 0};
        if (!(GetLogicalDrives() & (1u << drive)) || DriveImageOf(GetDriveTypeA(path)) < 0)
            return;
        target.Attach(GetPidlOf(path));
        if (!target)
            return;
    }
    BrowseFolderIn(target, passive);
}

int CMainFrame::GetCheckedDrive(const DriveBar& bar) const
{
    if (&bar == &m_driveBar)
        return m_panel[0] && m_panel[1] ? ActivePanel()->GetDrive() : -1;
    // A panel's own bar shows that panel's drive.
    for (ViewFrame* p : m_panel)
        if (p && &p->GetDriveBar() == &bar)
            return p->GetDrive();
    return -1;
}

bool CMainFrame::UseBoldDriveLetters() const
{
    return GetMainApp().m_settings.settings2.IsOn(0x2);
}

void CMainFrame::GetFolderText(const ITEMIDLIST* folder, char* buf, int size) const
{
    if (!buf || size <= 0)
        return;
    buf[0] = 0;
    if (!folder)
        return;
    const PaneOpts& pane = GetMainApp().m_settings.pane;
    bool full = pane.IsOn(0x4);
    GetShellNameOf(folder, buf, size, full ? 1 : 0);
    if (!buf[0] && full)
        GetShellNameOf(folder, buf, size, 0);
    if (!buf[0]) {
        char path[MAX_PATH] = "";
        if (GetPathOf(folder, path, sizeof(path)))
            StrCopyN(buf, full ? path : FindNameExt(path), size);
    }
    // A path on a network drive may show its server's name.
    if (pane.IsOn(0x40) && IsDosFolder(buf)) {
        char root[4] = {buf[0], ':', '\\', 0};
        char unc[MAX_PATH];
        if (GetDriveTypeA(root) == DRIVE_REMOTE && GetUniversalName(unc, sizeof(unc), buf, 0)) {
            char text[MAX_PATH + 8];
            snprintf(text, sizeof(text), "[%c:] %s", buf[0], unc);
            StrCopyN(buf, text, size);
        }
    }
    if (buf[0])
        SimplifyShellName(buf, size);
}

POINT CMainFrame::MenuPointFor(UINT command, ViewFrame* panel) const
{
    // Below the main toolbar's button when the command came from it.
    HWND tb = m_toolbar.m_toolbar;
    int index = tb && m_toolbar.IsVisible() ? (int)SendMessageA(tb, TB_COMMANDTOINDEX, command, 0) : -1;
    RECT r;
    if (index >= 0 && SendMessageA(tb, TB_GETITEMRECT, index, (LPARAM)&r)) {
        MapWindowPoints(tb, NULL, reinterpret_cast<POINT*>(&r), 2);
        POINT cursor;
        GetCursorPos(&cursor);
        if (PtInRect(&r, cursor))
            return POINT{r.left, r.bottom};
    }
    // Else below the panel's title bar (its top-left corner when the title is hidden).
    fw::ControlBar* title = panel->GetControlBar(ViewFrame::ID_TITLEBAR);
    bool shown = title && title->IsVisible();
    GetWindowRect(shown ? title->m_hWnd : panel->m_hWnd, &r);
    return POINT{r.left, shown ? r.bottom : r.top};
}

bool CMainFrame::MakeActive(ViewFrame* panel)
{
    if (panel != ActivePanel())
        OnPanelActivated(panel);   // the policy may keep the other panel active
    return panel == ActivePanel();
}

void CMainFrame::ShowDriveMenu(int index, UINT command)
{
    ViewFrame* panel = index < 0 ? (m_panel[0] ? ActivePanel() : nullptr) : Panel(index);
    if (!panel || !m_panel[0] || !m_panel[1])
        return;
    DriveList drives;
    EnumDrives(drives, true);
    IconMenu menu;
    if (!(HMENU)menu)
        return;
    menu.SetOwnsIcons(true);
    for (const std::unique_ptr<DriveInfo>& d : drives) {
        char name[MAX_PATH];
        if (d->name[0])
            StrCopyN(name, d->name, sizeof(name));
        else
            snprintf(name, sizeof(name), "%c:", 'A' + d->index);
        char text[2 * MAX_PATH];
        MakeDriveMenuText(name, d->index, text, sizeof(text));
        menu.AppendItem(ID_DRIVE_FIRST + d->index, text, GetIconOf(d->abs, 0, 0, 0));
    }
    if (drives.empty())
        AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, "Empty");
    else if (panel->GetDrive() >= 0)
        SetMenuDefaultItem(menu, ID_DRIVE_FIRST + panel->GetDrive(), FALSE);
    UINT choice = menu.TrackEx(m_hWnd, MenuPointFor(command, panel));
    if (choice < ID_DRIVE_FIRST || choice > ID_DRIVE_LAST || !MakeActive(panel))
        return;
    m_driveBar.RunCommand(choice);
}

void CMainFrame::ShowNetworkMenu(int index, UINT command)
{
    ViewFrame* panel = index < 0 ? (m_panel[0] ? ActivePanel() : nullptr) : Panel(index);
    if (!panel || !m_panel[0] || !m_panel[1])
        return;
    NetPlaceList places;
    EnumNetPlaces(places, kNetMax);
    IconMenu menu;
    if (!(HMENU)menu)
        return;
    menu.SetOwnsIcons(true);
    for (size_t i = 0; i < places.size(); i++) {
        char text[2 * MAX_PATH];
        MakeDriveMenuText(places[i]->name, -1, text, sizeof(text));
        menu.AppendItem(kNetFirst + (UINT)i, text, GetIconOf(places[i]->abs, 0, 0, 0));
    }
    if (places.empty())
        AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, "Empty");
    UINT choice = menu.TrackEx(m_hWnd, MenuPointFor(command, panel));
    if (choice < kNetFirst || choice >= kNetFirst + places.size() || !MakeActive(panel))
        return;
    BrowseFolderIn(places[choice - kNetFirst]->abs, GetKeyState(VK_SHIFT) < 0);
}

void CMainFrame::ReportNetworkResult(DWORD result)
{
    if (result == NO_ERROR) {
        RebuildDriveBars();   // a drive letter came or went
        return;
    }
    if (result == (DWORD)-1)
        return;   // cancelled
    char text[512] = "";
    if (result == ERROR_EXTENDED_ERROR) {
        DWORD code = 0;
        char provider[128];
        if (WNetGetLastErrorA(&code, text, sizeof(text), provider, sizeof(provider)) != NO_ERROR)
            text[0] = 0;
    }
    if (!text[0] && !GetSystemErrorText(result, text, sizeof(text)))
        snprintf(text, sizeof(text), "Error %lu", (unsigned long)result);
    Msg(m_hWnd, MB_OK | MB_ICONEXCLAMATION, "%s", text);
}

void CMainFrame::MapNetworkDrive()
{
    NETRESOURCEA resource = {};
    resource.dwType = RESOURCETYPE_DISK;
    // A panel showing a network folder offers it as the remote name.
    char remote[MAX_PATH] = "";
    ViewFrame* panel = m_panel[0] ? ActivePanel() : nullptr;
    if (panel && IsNetworkFolder(panel->GetPath())) {
        StrCopyN(remote, panel->GetPath(), sizeof(remote));
        resource.lpRemoteName = remote;
    }
    CONNECTDLGSTRUCTA dialog = {};
    dialog.cbStructure = sizeof(dialog);
    dialog.hwndOwner = m_hWnd;
    dialog.lpConnRes = &resource;
    dialog.dwFlags = CONNDLG_USE_MRU;
    ReportNetworkResult(WNetConnectionDialog1A(&dialog));
}

void CMainFrame::DisconnectNetworkDrive()
{
    ReportNetworkResult(WNetDisconnectDialog(m_hWnd, RESOURCETYPE_DISK));
}
