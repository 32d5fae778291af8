#include "panels/DriveBar.h"
#include "panels/DriveBarRes.h"
#include "app/Resource.h"
#include "framework/FrameWnd.h"
#include "registry/AppInfo.h"
#include "registry/RegKey.h"
#include "ui/IconMenu.h"
#include "util/StrUtil.h"
#include <windowsx.h>
#include <stdio.h>
#include <string.h>

static_assert(DriveBar::kFirstCommand == ID_DRIVE_FIRST && DriveBar::kLastCommand == ID_DRIVE_LAST,
              "drive commands are the bar's button commands");
static_assert(ID_DRIVE_LAST - ID_DRIVE_FIRST == 30, "drive-bar buttons are one contiguous range");

namespace {
const int kImageSize = 16;
const int kPad = 3;   // between the button's edge and its image

// The bars whose visibility the bar's menu toggles, by the frame the bar lives in.
struct BarEntry {
    UINT barId, command;
    const char* text;
};
const BarEntry kMainBars[] = {{ID_MAIN_TOOLBAR, ID_VIEW_TOOLBAR, "&Toolbar"},
                              {ID_MAIN_DRIVEBAR, ID_VIEW_DRIVEBAR, "Dri&ve bar"},
                              {ID_MAIN_STATUSBAR, ID_VIEW_STATUSBAR, "&Status bar"}};
// A panel's title bar 59424, toolbar 59425, drive bar 59430 and status bar 59426.
const BarEntry kPanelBars[] = {{59424, ID_PANEL_TITLEBAR, "&Title bar"},
                               {59425, ID_PANEL_TOOLBAR, "T&oolbar"},
                               {59430, ID_PANEL_DRIVEBAR, "Dri&ve bar"},
                               {59426, ID_PANEL_STATUSBAR, "&Status bar"}};

void ValueName(int drive, char name[2])
{
    name[0] = (char)('A' + drive);
    name[1] = 0;
}
}  // namespace

DriveBar::~DriveBar()
{
    // The toolbar may outlive this body for a moment: it must not draw with a freed list.
    if (m_toolbar && IsWindow(m_toolbar))
        SendMessageA(m_toolbar, TB_SETIMAGELIST, 0, 0);
    if (m_images)
        ImageList_Destroy(m_images);
    if (m_font)
        DeleteObject(m_font);
}

bool DriveBar::Create(fw::FrameWnd* frame, UINT id, const char* title, DriveBarHost* host, Kind kind,
                      const char* regKey)
{
    m_host = host;
    m_kind = kind;
    if (regKey)
        StrCopyN(m_regKey, regKey, sizeof(m_regKey));
    else
        snprintf(m_regKey, sizeof(m_regKey), "%s\\DriveBar", GetAppRootKey());
    if (!fw::ToolBar::Create(frame, id, title, fw::DockTop, NULL, 0, 0, nullptr, 0))
        return false;
    // The first build loads the images; later ones store the remembered folders instead.
    m_images = ImageList_LoadImageA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDB_DRIVEBAR), kImageSize,
                                    0, RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    SendMessageA(m_toolbar, TB_SETIMAGELIST, 0, (LPARAM)m_images);
    BuildButtons();
    return true;
}

void DriveBar::Rebuild()
{
    if (!m_toolbar)
        return;   // not created
    StoreFolders();
    BuildButtons();
}

void DriveBar::MakeFont()
{
    LOGFONTA lf = {};
    HFONT base = m_toolbar ? (HFONT)SendMessageA(m_toolbar, WM_GETFONT, 0, 0) : NULL;
    if (!base || !GetObjectA(base, sizeof(lf), &lf))
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    HDC screen = GetDC(NULL);
    lf.lfHeight = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(NULL, screen);
    lf.lfWidth = 0;
    lf.lfWeight = m_host && m_host->UseBoldDriveLetters() ? FW_BOLD : FW_NORMAL;
    HFONT font = CreateFontIndirectA(&lf);
    if (!font)
        return;
    if (m_font)
        DeleteObject(m_font);
    m_font = font;
}

void DriveBar::BuildButtons()
{
    MakeFont();
    while (SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0) > 0)
        SendMessageA(m_toolbar, TB_DELETEBUTTON, 0, 0);
    for (std::unique_ptr<Record>& r : m_records)
        r.reset();
    m_checked = -1;

    // Every button is wide enough for the image and the widest face.
    HDC dc = GetDC(m_toolbar);
    HGDIOBJ old = SelectObject(dc, m_font ? m_font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE text = {};
    GetTextExtentPoint32A(dc, "w:", 2, &text);
    SelectObject(dc, old);
    ReleaseDC(m_toolbar, dc);
    SendMessageA(m_toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(kImageSize, kImageSize));
    int cx = kPad + kImageSize + 2 + text.cx + kPad + 2;
    int cy = (text.cy > kImageSize ? text.cy : kImageSize) + 6;
    SendMessageA(m_toolbar, TB_SETBUTTONSIZE, 0, MAKELONG(cx, cy));

    DriveList drives;
    EnumDrives(drives, false);
    for (std::unique_ptr<DriveInfo>& d : drives) {
        std::unique_ptr<Record> r(new Record);
        r->abs.Attach(d->abs.Detach());
        r->rel.Attach(d->rel.Detach());
        if (!r->last.CopyAll(r->abs))
            continue;
        r->image = DriveImageOf(d->type);
        TBBUTTON b = {};
        b.iBitmap = r->image;
        b.idCommand = (int)(kFirstCommand + d->index);
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_BUTTON;
        b.dwData = (DWORD_PTR)d->index;
        b.iString = -1;
        if (SendMessageA(m_toolbar, TB_ADDBUTTONSA, 1, (LPARAM)&b))
            m_records[d->index] = std::move(r);
    }
    LoadFolders();
    SendMessageA(m_toolbar, TB_AUTOSIZE, 0, 0);
    InvalidateRect(m_toolbar, NULL, TRUE);
    if (m_frame)
        m_frame->RecalcLayout();
}

void DriveBar::LoadFolders()
{
    RegKey key(m_regKey, RegKey::OpRead);
    if (!key.IsOpen())
        return;
    for (int i = 0; i < 26; i++) {
        if (!m_records[i])
            continue;
        char name[2];
        ValueName(i, name);
        PIDL stored;
        stored.Persist(0, key, name);   // stays empty when missing or malformed
        // A folder of another drive is no last folder of this one.
        char path[MAX_PATH] = "";
        if (stored && GetPathOf(stored, path, sizeof(path)) && DriveIndexOfPath(path) == i)
            m_records[i]->last.Attach(stored.Detach());
    }
}

void DriveBar::StoreFolders() const
{
    bool any = false;
    for (const std::unique_ptr<Record>& r : m_records)
        any = any || r;
    if (!any || !m_regKey[0])
        return;
    RegKey key(m_regKey, RegKey::OpUpdate);
    if (!key.IsOpen())
        return;
    for (int i = 0; i < 26; i++) {
        if (!m_records[i])
            continue;   // a drive that is gone keeps what was stored for it
        char name[2];
        ValueName(i, name);
        const_cast<PIDL&>(m_records[i]->last).Persist(1, key, name);
    }
}

void DriveBar::RecordVisit(int drive, const ITEMIDLIST* folder)
{
    if (HasDrive(drive) && folder)
        m_records[drive]->last.CopyAll(folder);
}

bool DriveBar::GetTarget(int drive, bool root, PIDL& target) const
{
    if (!HasDrive(drive))
        return false;
    const Record& r = *m_records[drive];
    if (!root && IsUsableDriveFolder(r.last))
        return target.CopyAll(r.last);
    return target.CopyAll(r.abs);   // a vanished folder falls back to the drive
}

void DriveBar::RunCommand(UINT id)
{
    bool root = m_pendingRoot || GetKeyState(VK_MENU) < 0;
    bool passive = m_pendingPassive || GetKeyState(VK_SHIFT) < 0;
    m_pendingRoot = m_pendingPassive = false;
    if (id < kFirstCommand || id > kLastCommand || !m_host)
        return;
    m_host->OnDriveCommand(*this, id, root, passive);
}

void DriveBar::UpdateItems(fw::Wnd*)
{
    // Only a change of the checked drive touches the toolbar.
    int drive = m_host ? m_host->GetCheckedDrive(*this) : -1;
    if (drive == m_checked)
        return;
    if (HasDrive(m_checked))
        SendMessageA(m_toolbar, TB_CHECKBUTTON, kFirstCommand + m_checked, MAKELONG(FALSE, 0));
    if (HasDrive(drive))
        SendMessageA(m_toolbar, TB_CHECKBUTTON, kFirstCommand + drive, MAKELONG(TRUE, 0));
    m_checked = drive;
}

void DriveBar::PaintFace(HDC dc, const RECT& rc, int drive, int image, UINT state) const
{
    bool down = (state & (CDIS_SELECTED | CDIS_CHECKED)) != 0;
    RECT r = rc;
    if ((state & CDIS_CHECKED) && !(state & CDIS_SELECTED)) {
        // A checked face is lighter than the bar, between the face and highlight colours.
        COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT);
        HBRUSH brush = CreateSolidBrush(RGB((GetRValue(face) + GetRValue(light)) / 2,
                                            (GetGValue(face) + GetGValue(light)) / 2,
                                            (GetBValue(face) + GetBValue(light)) / 2));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    if (down)
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    else if (state & CDIS_HOT)
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    int shift = down ? 1 : 0;
    if (m_images && image >= 0)
        ImageList_Draw(m_images, image, dc, rc.left + kPad + shift,
                       rc.top + (rc.bottom - rc.top - kImageSize) / 2 + shift, ILD_TRANSPARENT);
    if (drive < 0 || drive > 25)
        return;
    char face[3] = {(char)('a' + drive), ':', 0};
    RECT text = {rc.left + kPad + kImageSize + shift, rc.top + shift, rc.right - 1 + shift, rc.bottom + shift};
    HGDIOBJ oldFont = SelectObject(dc, m_font ? m_font : GetStockObject(DEFAULT_GUI_FONT));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(dc, face, 2, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

LRESULT DriveBar::OnCustomDraw(NMTBCUSTOMDRAW* cd)
{
    switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        int drive = (int)cd->nmcd.dwItemSpec - (int)kFirstCommand;
        if (!HasDrive(drive))
            return CDRF_DODEFAULT;
        PaintFace(cd->nmcd.hdc, cd->nmcd.rc, drive, m_records[drive]->image, cd->nmcd.uItemState);
        return CDRF_SKIPDEFAULT;
    }
    }
    return CDRF_DODEFAULT;
}

int DriveBar::ButtonAt(POINT screen) const
{
    if (!m_toolbar)
        return -1;
    POINT pt = screen;
    ScreenToClient(m_toolbar, &pt);
    int index = (int)SendMessageA(m_toolbar, TB_HITTEST, 0, (LPARAM)&pt);
    TBBUTTON b = {};
    if (index < 0 || !SendMessageA(m_toolbar, TB_GETBUTTON, index, (LPARAM)&b))
        return -1;
    int drive = b.idCommand - (int)kFirstCommand;
    return HasDrive(drive) ? drive : -1;
}

void DriveBar::ShowContextMenu(POINT screen)
{
    int drive = ButtonAt(screen);
    IconMenu menu;
    if (!(HMENU)menu)
        return;
    menu.SetOwnsIcons(true);
    IconMenu passive;
    passive.SetOwnsIcons(true);
    if (drive >= 0) {
        PIDL target;
        GetTarget(drive, false, target);
        const ITEMIDLIST* root = m_records[drive]->abs;
        char targetName[MAX_PATH] = "", rootName[MAX_PATH] = "";
        if (m_host) {
            m_host->GetFolderText(target, targetName, sizeof(targetName));
            m_host->GetFolderText(root, rootName, sizeof(rootName));
        }
        bool both = strcmp(targetName, rootName) != 0;
        UINT id = kFirstCommand + drive;
        menu.AppendItem(id, targetName, GetIconOf(target, 0, 0, 0));
        SetMenuDefaultItem(menu, id, FALSE);
        if (both)
            menu.AppendItem(ID_DRIVE_ROOT, rootName, GetIconOf(root, 0, 0, 0));
        menu.AppendSeparator();
        passive.AppendItem(ID_DRIVE_PASSIVE_CURRENT, targetName, GetIconOf(target, 0, 0, 0));
        if (both)
            passive.AppendItem(ID_DRIVE_PASSIVE_ROOT, rootName, GetIconOf(root, 0, 0, 0));
        menu.AppendSubMenu(passive, "&Passive Panel", NULL);
        AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    }
    AppendMenuA(menu, MF_STRING, ID_TOOLS_MAP_DRIVE, "Map &Network Drive");
    AppendMenuA(menu, MF_STRING, ID_TOOLS_DISCONNECT_DRIVE, "&Disconnect Network Drive");
    AppendMenuA(menu, MF_STRING, m_kind == PanelBar ? ID_PANEL_DRIVEBAR_RESET : ID_VIEW_DRIVEBAR_RESET,
                "R&eset Drive bar");
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    const BarEntry* bars = m_kind == PanelBar ? kPanelBars : kMainBars;
    int count = m_kind == PanelBar ? (int)(sizeof(kPanelBars) / sizeof(kPanelBars[0]))
                                   : (int)(sizeof(kMainBars) / sizeof(kMainBars[0]));
    for (int i = 0; i < count; i++) {
        fw::ControlBar* bar = m_frame ? m_frame->GetControlBar(bars[i].barId) : nullptr;
        if (bar)
            AppendMenuA(menu, MF_STRING | (bar->IsVisible() ? MF_CHECKED : 0), bars[i].command, bars[i].text);
    }

    UINT choice = menu.TrackEx(GetAncestor(m_hWnd, GA_ROOT), screen);
    if (!choice)
        return;
    if (drive >= 0 && choice >= ID_DRIVE_ROOT && choice <= ID_DRIVE_PASSIVE_ROOT) {
        // The variant rides along with the drive's command.
        m_pendingRoot = choice != ID_DRIVE_PASSIVE_CURRENT;
        m_pendingPassive = choice != ID_DRIVE_ROOT;
        PostMessageA(m_hWnd, WM_COMMAND, kFirstCommand + drive, 0);
    } else if (choice >= kFirstCommand && choice <= kLastCommand) {
        PostMessageA(m_hWnd, WM_COMMAND, choice, 0);
    } else if (m_frame) {
        // The bar's own frame: a panel answers its bars' commands itself.
        PostMessageA(m_frame->m_hWnd, WM_COMMAND, choice, 0);
    }
}

LRESULT DriveBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
        // Buttons and the bar's menu: this bar's folders decide where the command goes.
        if (LOWORD(wp) >= kFirstCommand && LOWORD(wp) <= kLastCommand) {
            RunCommand(LOWORD(wp));
            return 0;
        }
        break;
    case WM_NOTIFY: {
        NMHDR* hdr = reinterpret_cast<NMHDR*>(lp);
        if (hdr->hwndFrom == m_toolbar && hdr->code == NM_CUSTOMDRAW)
            return OnCustomDraw(reinterpret_cast<NMTBCUSTOMDRAW*>(lp));
        if (hdr->code == TTN_GETDISPINFOA && hdr->idFrom >= kFirstCommand && hdr->idFrom <= kLastCommand) {
            // The tip names the folder the button goes to.
            NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(lp);
            PIDL target;
            m_tip[0] = 0;
            if (m_host && GetTarget((int)(hdr->idFrom - kFirstCommand), false, target))
                m_host->GetFolderText(target, m_tip, sizeof(m_tip));
            info->lpszText = m_tip;
            info->szText[0] = 0;
            return 0;
        }
        break;
    }
    case WM_CONTEXTMENU: {
        POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (lp == -1) {
            RECT r;
            GetWindowRect(m_hWnd, &r);
            pt.x = r.left;
            pt.y = r.bottom;
        }
        ShowContextMenu(pt);
        return 0;
    }
    case WM_DESTROY:
        // The remembered folders outlive the program.
        StoreFolders();
        break;
    }
    return fw::ToolBar::WindowProc(msg, wp, lp);
}
