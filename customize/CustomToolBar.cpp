#include "customize/CustomToolBar.h"
#include "customize/CustomizeRes.h"
#include "framework/FrameWnd.h"
#include "ui/IconMenu.h"
#include "util/ResStr.h"
#include <windowsx.h>
#include "registry/AppInfo.h"
#include "registry/RegKey.h"
#include <string.h>

namespace {
// Image strips of the common controls: an image is its strip times kStrip plus its index
// there; the toolbar maps the strip to where TB_ADDBITMAP put it.
const int kStrip = 100;
const int kStd = 0 * kStrip, kView = 1 * kStrip, kHist = 2 * kStrip;

const CustomToolBar::Available kAvailable[] = {
    {38113, kHist + HIST_FAVORITES},   {38109, kHist + HIST_VIEWTREE},
    {38111, kView + VIEW_SMALLICONS},  {38110, kStd + STD_FILEOPEN},
    {38205, kStd + STD_REPLACE},       {38511, kView + VIEW_SORTTYPE},
    {39401, kStd + STD_COPY},          {39402, kStd + STD_CUT},
    {39403, kView + VIEW_SORTNAME},    {39404, kStd + STD_DELETE},
    {39405, kView + VIEW_SORTSIZE},    {39406, kStd + STD_PASTE},
    {38214, kView + VIEW_DETAILS},     {38215, kStd + STD_REDOW},
    {38216, kStd + STD_PRINT},         {39407, kView + VIEW_SORTDATE},
    {38201, kStd + STD_FILENEW},       {38203, kView + VIEW_NEWFOLDER},
    {38601, kStd + STD_FIND},          {38602, kStd + STD_PRINTPRE},
    {38401, kView + VIEW_LARGEICONS},  {38417, kView + VIEW_LIST},
    {38414, kStd + STD_PROPERTIES},    {57664, kStd + STD_HELP},
    {57669, kStd + STD_HELP},          {38102, kView + VIEW_PARENTFOLDER},
    {38106, kHist + HIST_BACK},        {38107, kHist + HIST_FORWARD},
    {38108, kHist + HIST_ADDTOFAVORITES}, {38112, kView + VIEW_NETCONNECT},
    {38207, kStd + STD_UNDO},          {38620, kView + VIEW_NETCONNECT},
    {38621, kView + VIEW_NETDISCONNECT}, {38509, kView + VIEW_SORTNAME},
};

int FindAvailable(const CustomToolBar::Available* list, int count, WORD id)
{
    for (int i = 0; i < count; i++)
        if (list[i].id == id)
            return i;
    return -1;
}

// The third part of the command's string (status text, tooltip, button text), or the last.
void ButtonText(UINT id, char* text, int size)
{
    char buf[512] = "";
    text[0] = 0;
    if (LoadStringA(GetModuleHandleA(NULL), id, buf, sizeof(buf)) <= 0)
        return;
    const char* part = buf;
    for (int i = 0; i < 2; i++) {
        const char* nl = strchr(part, '\n');
        if (!nl)
            break;
        part = nl + 1;
    }
    lstrcpynA(text, part, size);
    if (char* nl = strchr(text, '\n'))
        *nl = 0;
}
}  // namespace

const CustomToolBar::Available* CustomToolBar::GetAvailable(int& count)
{
    count = (int)(sizeof(kAvailable) / sizeof(kAvailable[0]));
    return kAvailable;
}

bool CustomToolBar::CreateCustom(fw::FrameWnd* frame, UINT id, const char* title,
                                 fw::DockSide side)
{
    if (!Create(frame, id, title, side, NULL, 0, 0, nullptr, 0))
        return false;
    TBADDBITMAP std = {HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    TBADDBITMAP view = {HINST_COMMCTRL, IDB_VIEW_SMALL_COLOR};
    TBADDBITMAP hist = {HINST_COMMCTRL, IDB_HIST_SMALL_COLOR};
    m_stripStart[0] = (int)SendMessageA(m_toolbar, TB_ADDBITMAP, 0, (LPARAM)&std);
    m_stripStart[1] = (int)SendMessageA(m_toolbar, TB_ADDBITMAP, 0, (LPARAM)&view);
    m_stripStart[2] = (int)SendMessageA(m_toolbar, TB_ADDBITMAP, 0, (LPARAM)&hist);
    return true;
}

void CustomToolBar::Init(const char* valueName, const WORD* defaults, int count)
{
    lstrcpynA(m_valueName, valueName, sizeof(m_valueName));
    m_defaults.assign(defaults, defaults + count);
    if (!LoadLayout())
        ApplyLayout(m_defaults.data(), (int)m_defaults.size());
}

int CustomToolBar::ImageOf(const Available& a) const
{
    int strip = a.image / kStrip;
    return (strip >= 0 && strip < 3 ? m_stripStart[strip] : 0) + a.image % kStrip;
}

int CustomToolBar::OwnCount() const
{
    int n = m_toolbar ? (int)SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0) : 0;
    int own = 0;
    for (int i = 0; i < n; i++) {
        TBBUTTON b = {};
        if (SendMessageA(m_toolbar, TB_GETBUTTON, i, (LPARAM)&b) && IsOwnButton(b))
            own++;
    }
    return own;
}

void CustomToolBar::ApplyLayout(const WORD* list, int count)
{
    if (!m_toolbar)
        return;
    for (int i = (int)SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0) - 1; i >= 0; i--) {
        TBBUTTON b = {};
        if (SendMessageA(m_toolbar, TB_GETBUTTON, i, (LPARAM)&b) && IsOwnButton(b))
            SendMessageA(m_toolbar, TB_DELETEBUTTON, i, 0);
    }
    if (!(count == 1 && list[0] == 0)) {
        int availableCount = 0;
        const Available* available = GetAvailable(availableCount);
        int at = 0;
        for (int i = 0; i < count; i++) {
            TBBUTTON b = {};
            if (list[i] == 0) {
                b.fsStyle = TBSTYLE_SEP;
            } else {
                int found = FindAvailable(available, availableCount, list[i]);
                if (found < 0)
                    continue;   // a command the toolbar no longer offers
                b.idCommand = list[i];
                b.iBitmap = ImageOf(available[found]);
                b.fsState = TBSTATE_ENABLED;
                b.fsStyle = TBSTYLE_BUTTON;
            }
            // The user's buttons stay in front of any merged in.
            SendMessageA(m_toolbar, TB_INSERTBUTTONA, at++, (LPARAM)&b);
        }
    }
    SendMessageA(m_toolbar, TB_AUTOSIZE, 0, 0);
    if (m_frame && m_frame->m_hWnd)
        m_frame->RecalcLayout();
    InvalidateRect(m_toolbar, NULL, TRUE);
}

std::vector<WORD> CustomToolBar::GetLayout() const
{
    std::vector<WORD> list;
    int n = m_toolbar ? (int)SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0) : 0;
    for (int i = 0; i < n; i++) {
        TBBUTTON b = {};
        if (SendMessageA(m_toolbar, TB_GETBUTTON, i, (LPARAM)&b) && IsOwnButton(b))
            list.push_back((b.fsStyle & TBSTYLE_SEP) ? 0 : (WORD)b.idCommand);
    }
    return list;
}

bool CustomToolBar::LoadLayout()
{
    RegKey key(GetAppRootKey());
    int size = key.IsOpen() ? key.GetBinSize(m_valueName) : 0;
    if (size <= 0 || (size & 1))
        return false;
    std::vector<WORD> list(size / 2);
    if (!key.GetBin(m_valueName, list.data(), size))
        return false;
    ApplyLayout(list.data(), (int)list.size());
    return true;
}

bool CustomToolBar::SaveLayout()
{
    RegKey key(GetAppRootKey(), 1);
    if (!key.IsOpen())
        return false;
    std::vector<WORD> list = GetLayout();
    if (list.empty())
        list.push_back(0);   // the empty toolbar, not "use the defaults"
    return key.PutBin(m_valueName, list.data(), (int)(list.size() * sizeof(WORD)));
}

bool CustomToolBar::ResetLayout()
{
    RegKey key(GetAppRootKey(), 1);
    return key.IsOpen() && key.DelValue(m_valueName);
}

void CustomToolBar::Customize()
{
    if (m_toolbar && !m_customizing)
        SendMessageA(m_toolbar, TB_CUSTOMIZE, 0, 0);
}

bool CustomToolBar::OnNotify(NMHDR* hdr, LRESULT& result)
{
    switch (hdr->code) {
    case TBN_BEGINADJUST:
        m_customizing = true;
        m_available = GetAvailable(m_availableCount);
        result = 0;
        return true;
    case TBN_INITCUSTOMIZE:
        result = TBNRF_HIDEHELP;
        return true;
    case TBN_GETBUTTONINFOA:
    case TBN_GETBUTTONINFOW: {
        NMTOOLBARA* tb = reinterpret_cast<NMTOOLBARA*>(hdr);
        if (!m_available || tb->iItem < 0 || tb->iItem >= m_availableCount) {
            result = FALSE;
            return true;
        }
        const Available& a = m_available[tb->iItem];
        tb->tbButton.idCommand = a.id;
        tb->tbButton.iBitmap = ImageOf(a);
        tb->tbButton.fsState = TBSTATE_ENABLED;
        tb->tbButton.fsStyle = TBSTYLE_BUTTON;
        tb->tbButton.dwData = 0;
        char text[128];
        ButtonText(a.id, text, sizeof(text));
        if (tb->pszText && tb->cchText > 0) {
            if (hdr->code == TBN_GETBUTTONINFOW) {
                NMTOOLBARW* tw = reinterpret_cast<NMTOOLBARW*>(hdr);
                MultiByteToWideChar(CP_ACP, 0, text, -1, tw->pszText, tw->cchText);
                tw->pszText[tw->cchText - 1] = 0;
            } else {
                lstrcpynA(tb->pszText, text, tb->cchText);
            }
        }
        result = TRUE;
        return true;
    }
    case TBN_QUERYINSERT:
    case TBN_QUERYDELETE: {
        // The shell's merged buttons are not the user's to move.
        NMTOOLBARA* tb = reinterpret_cast<NMTOOLBARA*>(hdr);
        result = hdr->code == TBN_QUERYINSERT ? tb->iItem <= OwnCount() : tb->iItem < OwnCount();
        return true;
    }
    case TBN_RESET:
        ApplyLayout(m_defaults.data(), (int)m_defaults.size());
        ResetLayout();
        result = 0;
        return true;
    case TBN_TOOLBARCHANGE:
        SendMessageA(m_toolbar, TB_AUTOSIZE, 0, 0);
        if (m_frame && m_frame->m_hWnd)
            m_frame->RecalcLayout();
        InvalidateRect(m_toolbar, NULL, TRUE);
        result = 0;
        return true;
    case TBN_ENDADJUST:
        m_available = nullptr;
        m_availableCount = 0;
        m_customizing = false;
        SaveLayout();
        result = 0;
        return true;
    }
    return false;
}

void CustomToolBar::SetMenu(UINT customizeCommand, const BarItem* items, int count)
{
    m_menuCommand = customizeCommand;
    m_barItems = items;
    m_barItemCount = count;
}

void CustomToolBar::ShowMenu(POINT screen)
{
    if (!m_menuCommand)
        return;
    IconMenu menu;
    if (!(HMENU)menu)
        return;
    if (menuStyle)
        menu.SetStyle(menuStyle());
    ResStr customize(IDS_TOOLBAR_CUSTOMIZE_ITEM);
    menu.AppendItem(m_menuCommand, customize, NULL);
    if (m_barItemCount)
        AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    for (int i = 0; i < m_barItemCount; i++) {
        fw::ControlBar* bar = m_frame ? m_frame->GetControlBar(m_barItems[i].barId) : nullptr;
        if (bar)
            AppendMenuA(menu, MF_STRING | (bar->IsVisible() ? MF_CHECKED : 0),
                        m_barItems[i].command, m_barItems[i].text);
    }
    HWND main = GetAncestor(m_hWnd, GA_ROOT);
    UINT choice = menu.TrackEx(main, screen);
    if (choice == m_menuCommand)
        PostMessageA(main, WM_COMMAND, choice, 0);
    else if (choice && m_frame)
        PostMessageA(m_frame->m_hWnd, WM_COMMAND, choice, 0);   // a panel answers for its bars
}

LRESULT CustomToolBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CONTEXTMENU && m_menuCommand) {
        POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (lp == -1) {
            RECT r;
            GetWindowRect(m_hWnd, &r);
            pt.x = r.left;
            pt.y = r.bottom;
        }
        ShowMenu(pt);
        return 0;
    }
    if (msg == WM_NOTIFY) {
        NMHDR* hdr = reinterpret_cast<NMHDR*>(lp);
        LRESULT result = 0;
        if (hdr && hdr->hwndFrom == m_toolbar && OnNotify(hdr, result))
            return result;
    }
    return fw::ToolBar::WindowProc(msg, wp, lp);
}
