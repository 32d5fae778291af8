#include "MenuOwnerDraw.h"
#include "VmWnd.h"
#include <set>
#include <string.h>

// ---- VmMenu ------------------------------------------------------------------------------

VmMenu::VmMenu() : m_hMenu(NULL), m_owned(false) {}

VmMenu::VmMenu(HMENU menu, bool owned) : m_hMenu(menu), m_owned(menu && owned) {}

VmMenu::~VmMenu()
{
    if (m_owned && m_hMenu)
        DestroyMenu(m_hMenu);
}

bool VmMenu::CreatePopup()
{
    if (m_hMenu)
        return false;
    m_hMenu = CreatePopupMenu();
    m_owned = m_hMenu != NULL;
    return m_owned;
}

void VmMenu::Attach(HMENU menu, bool owned)
{
    if (menu != m_hMenu)
        Destroy();
    m_hMenu = menu;
    m_owned = menu && owned;
}

HMENU VmMenu::Detach()
{
    HMENU menu = m_hMenu;
    m_hMenu = NULL;
    m_owned = false;
    return menu;
}

void VmMenu::Destroy()
{
    if (m_owned && m_hMenu)
        DestroyMenu(m_hMenu);
    m_hMenu = NULL;
    m_owned = false;
}

int VmMenu::GetCount() const
{
    return m_hMenu ? GetMenuItemCount(m_hMenu) : -1;
}

namespace {
// Sets or clears the column-break type bits of one item, keeping the rest of its type.
void SetBreak(HMENU menu, int pos, UINT breakType)
{
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE;
    if (!GetMenuItemInfoA(menu, pos, TRUE, &mii))
        return;
    UINT type = (mii.fType & ~(MFT_MENUBREAK | MFT_MENUBARBREAK)) | breakType;
    if (type == mii.fType)
        return;
    mii.fType = type;
    SetMenuItemInfoA(menu, pos, TRUE, &mii);
}

void BreakEvery(HMENU menu, int every, bool bar)
{
    int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i)
        SetBreak(menu, i, every > 0 && i > 0 && i % every == 0
                              ? (bar ? MFT_MENUBARBREAK : MFT_MENUBREAK) : 0);
}
}  // namespace

bool VmMenu::InsertBreaks(int every, bool bar)
{
    if (!m_hMenu || every < 1)
        return false;
    BreakEvery(m_hMenu, every, bar);
    return true;
}

UINT VmMenu::Track(HWND owner, int x, int y)
{
    if (!m_hMenu)
        return 0;
    // A menu whose owner is not in front would not close on a click elsewhere.
    if (owner)
        SetForegroundWindow(owner);
    UINT cmd = static_cast<UINT>(TrackPopupMenu(m_hMenu, TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y,
                                                0, owner, NULL));
    if (owner)
        PostMessageA(owner, WM_NULL, 0, 0);
    return cmd;
}

void VmMenu::AdjustPointForTrayIcon(POINT& pt)
{
    HWND bar = FindWindowA("Shell_TrayWnd", NULL);
    RECT barRect;
    if (!bar || !GetWindowRect(bar, &barRect))
        return;
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    AdjustPointForTrayIcon(pt, barRect, screen);
}

void VmMenu::AdjustPointForTrayIcon(POINT& pt, const RECT& bar, const RECT& screen)
{
    if (!PtInRect(&bar, pt))
        return;
    int w = bar.right - bar.left, h = bar.bottom - bar.top;
    if (w >= h) {   // bar along the top or the bottom
        pt.y = (bar.top <= screen.top) ? bar.bottom : bar.top;
    } else {        // bar along a side
        pt.x = (bar.left <= screen.left) ? bar.right : bar.left;
    }
}

// ---- VmMenuEx: tracking window -------------------------------------------------------------

namespace {
const char kTrackerClass[] = "PanorelMenuTracker";

class MenuTracker : public VmWnd {
public:
    MenuTracker(VmMenuEx* menu, HWND owner) : m_menu(menu), m_owner(owner) {}
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = 0;
        switch (msg) {
        case WM_MEASUREITEM:
        case WM_DRAWITEM:
        case WM_MENUCHAR:
            if (m_menu->OnMenuMessage(msg, wParam, lParam, result))
                return result;
            break;
        case WM_INITMENUPOPUP:
        case WM_MENUSELECT:
        case WM_UNINITMENUPOPUP:
        case WM_ENTERMENULOOP:
        case WM_EXITMENULOOP:
            // The owner keeps its status line and menu updates.
            if (m_owner && IsWindow(m_owner))
                SendMessageA(m_owner, msg, wParam, lParam);
            break;
        }
        return Default(msg, wParam, lParam);
    }

private:
    VmMenuEx* m_menu;
    HWND m_owner;
};
}  // namespace

UINT VmMenuEx::TrackEx(HWND owner, POINT pt)
{
    if (!m_hMenu)
        return 0;
    static ATOM atom = VmWnd::RegisterWndClass(kTrackerClass);
    (void)atom;   // a second registration of the class fails harmlessly
    MenuTracker tracker(this, owner);
    HWND wnd = tracker.CreateEx(WS_EX_TOOLWINDOW, kTrackerClass, "", WS_POPUP, pt.x, pt.y, 0, 0,
                                owner, NULL);
    if (!wnd)
        return 0;
    SetForegroundWindow(owner ? owner : wnd);
    UINT cmd = static_cast<UINT>(TrackPopupMenu(m_hMenu, TPM_RIGHTBUTTON | TPM_RETURNCMD, pt.x,
                                                pt.y, 0, wnd, NULL));
    PostMessageA(wnd, WM_NULL, 0, 0);
    return cmd;   // the tracker's window goes with the object
}

BOOL VmMenuEx::OnMenuMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return FALSE;
}

// ---- shared drawing resources --------------------------------------------------------------

namespace {
SRWLOCK g_resLock = SRWLOCK_INIT;
VmMenuDrawRes* g_res = nullptr;
std::set<const VmMenuOwnerDrawItem*>* g_items = nullptr;   // live item objects

VmMenuDrawRes* CreateRes()
{
    VmMenuDrawRes* res = new VmMenuDrawRes();
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof(ncm);
    HFONT font = NULL;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
        font = CreateFontIndirectA(&ncm.lfMenuFont);
    LOGFONTA lf = {};
    if (font) {
        res->ownFont = true;
        lf = ncm.lfMenuFont;
    } else {
        font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        res->ownFont = false;
        GetObjectA(font, sizeof(lf), &lf);
    }
    res->font = font;
    lf.lfWeight = FW_BOLD;
    res->boldFont = CreateFontIndirectA(&lf);
    if (!res->boldFont)
        res->boldFont = font;   // plain text rather than none
    res->grayText = GetSysColor(COLOR_GRAYTEXT);
    res->menu = GetSysColor(COLOR_MENU);
    res->menuText = GetSysColor(COLOR_MENUTEXT);
    res->highlight = GetSysColor(COLOR_HIGHLIGHT);
    res->highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    res->menuBrush = CreateSolidBrush(res->menu);
    res->highlightBrush = CreateSolidBrush(res->highlight);
    res->lightPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    res->darkPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HDC dc = GetDC(NULL);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, "Hg", 2, &size);
    SelectObject(dc, old);
    ReleaseDC(NULL, dc);
    res->itemHeight = size.cy > 0 ? size.cy : 16;
    res->textMargin = 2;
    res->maxWidth = GetSystemMetrics(SM_CXSCREEN) / 2;
    res->iconColWidth = res->itemHeight > 28 ? res->itemHeight : 28;
    res->iconItemHeight = res->itemHeight > 20 ? res->itemHeight : 20;
    res->iconX = (res->iconColWidth - 16) / 2;
    res->iconY = (res->iconItemHeight - 16) / 2;
    return res;
}

void FreeRes(VmMenuDrawRes* res)
{
    if (res->boldFont && res->boldFont != res->font)
        DeleteObject(res->boldFont);
    if (res->ownFont)
        DeleteObject(res->font);
    DeleteObject(res->menuBrush);
    DeleteObject(res->highlightBrush);
    DeleteObject(res->lightPen);
    DeleteObject(res->darkPen);
    delete res;
}

char* CopyText(const char* text, int& len)
{
    if (!text)
        text = "";
    len = static_cast<int>(strlen(text));
    char* copy = new char[len + 1];
    memcpy(copy, text, len + 1);
    return copy;
}
}  // namespace

// ---- VmMenuOwnerDrawItem -------------------------------------------------------------------

VmMenuOwnerDrawItem::VmMenuOwnerDrawItem(VmMenuOwnerDraw* menu, UINT id, const char* text,
                                         LPARAM user)
    : m_menu(menu), m_hMenu(menu ? menu->GetHMENU() : NULL), m_id(id), m_text(nullptr),
      m_textLen(0), m_user(user)
{
    m_text = CopyText(text, m_textLen);
    AcquireSRWLockExclusive(&g_resLock);
    if (!g_items)
        g_items = new std::set<const VmMenuOwnerDrawItem*>();
    if (g_items->empty())
        g_res = CreateRes();
    g_items->insert(this);
    ReleaseSRWLockExclusive(&g_resLock);
}

VmMenuOwnerDrawItem::~VmMenuOwnerDrawItem()
{
    delete[] m_text;
    AcquireSRWLockExclusive(&g_resLock);
    if (g_items && g_items->erase(this) && g_items->empty()) {
        FreeRes(g_res);
        g_res = nullptr;
    }
    ReleaseSRWLockExclusive(&g_resLock);
}

const VmMenuDrawRes* VmMenuOwnerDrawItem::GetRes()
{
    return g_res;
}

bool VmMenuOwnerDrawItem::IsItem(ULONG_PTR data)
{
    if (!data)
        return false;
    AcquireSRWLockShared(&g_resLock);
    bool found = g_items && g_items->count(reinterpret_cast<const VmMenuOwnerDrawItem*>(data));
    ReleaseSRWLockShared(&g_resLock);
    return found;
}

UINT VmMenuOwnerDrawItem::GetMnemonic() const
{
    for (const char* p = m_text; *p; ++p) {
        if (IsDBCSLeadByte(static_cast<BYTE>(*p))) {
            if (!p[1])
                break;
            ++p;
            continue;
        }
        if (*p != '&')
            continue;
        if (p[1] == '&') {   // "&&" is a plain ampersand
            ++p;
            continue;
        }
        BYTE c = static_cast<BYTE>(p[1]);
        if (!c || IsDBCSLeadByte(c))
            return 0;
        return static_cast<BYTE>(reinterpret_cast<ULONG_PTR>(
            CharUpperA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(c)))));
    }
    return 0;
}

bool VmMenuOwnerDrawItem::IsDefault() const
{
    if (!m_hMenu)
        return false;
    UINT def = GetMenuDefaultItem(m_hMenu, FALSE, GMDI_USEDISABLED);
    return def != static_cast<UINT>(-1) && def == m_id;
}

DWORD VmMenuOwnerDrawItem::GetStyle() const
{
    return m_menu ? m_menu->GetStyle() : VmMenuOwnerDraw::DefaultStyle;
}

// Menu texts are in the process code page; the A drawing calls would read them in the code
// page of the font's character set (Wine does), which mangles UTF-8 names.
static int DrawTextAcp(HDC dc, const char* text, int len, RECT* rect, UINT format)
{
    if (len < 0)
        len = text ? (int)strlen(text) : 0;
    WCHAR stack[512];
    WCHAR* wide = stack;
    int n = len > 0 ? MultiByteToWideChar(CP_ACP, 0, text, len, NULL, 0) : 0;
    if (n > (int)(sizeof(stack) / sizeof(stack[0])))
        wide = new WCHAR[n];
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text, len, wide, n);
    int result = DrawTextW(dc, wide, n, rect, format);
    if (wide != stack)
        delete[] wide;
    return result;
}

void VmMenuOwnerDrawItem::GetSize(HDC dc, SIZE& size)
{
    const VmMenuDrawRes* res = GetRes();
    HGDIOBJ old = SelectObject(dc, IsDefault() ? res->boldFont : res->font);
    RECT r = {0, 0, 0, 0};
    DrawTextAcp(dc, m_text, m_textLen, &r, DT_SINGLELINE | DT_CALCRECT);
    SelectObject(dc, old);
    int width = (r.right - r.left) + res->textMargin;
    size.cx = width < res->maxWidth ? width : res->maxWidth;
    size.cy = res->itemHeight;
}

void VmMenuOwnerDrawItem::GetEraseRect(const RECT& item, RECT& erase)
{
    erase = item;
}

void VmMenuOwnerDrawItem::GetTextRect(const RECT& item, RECT& text)
{
    text = item;
    text.left += GetRes()->textMargin;
}

void VmMenuOwnerDrawItem::DrawFrame(HDC dc, const RECT& rect) const
{
    RECT r = rect;
    if (GetStyle() & VmMenuOwnerDraw::StyleStrongEdges) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
        return;
    }
    const VmMenuDrawRes* res = GetRes();
    HGDIOBJ old = SelectObject(dc, res->lightPen);
    MoveToEx(dc, r.left, r.bottom - 1, NULL);
    LineTo(dc, r.left, r.top);
    LineTo(dc, r.right - 1, r.top);
    SelectObject(dc, res->darkPen);
    LineTo(dc, r.right - 1, r.bottom - 1);
    LineTo(dc, r.left - 1, r.bottom - 1);
    SelectObject(dc, old);
}

void VmMenuOwnerDrawItem::CustomPaint(const DRAWITEMSTRUCT& dis)
{
    if ((dis.itemState & ODS_SELECTED) && (GetStyle() & VmMenuOwnerDraw::StyleItemFrame)) {
        RECT r = dis.rcItem;
        r.right -= 1;
        DrawFrame(dis.hDC, r);
    }
}

void VmMenuOwnerDrawItem::Paint(const DRAWITEMSTRUCT& dis)
{
    if (!(dis.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)))
        return;
    const VmMenuDrawRes* res = GetRes();
    HDC dc = dis.hDC;
    bool selected = (dis.itemState & ODS_SELECTED) != 0;
    bool highlighted = selected && !(GetStyle() & VmMenuOwnerDraw::StyleNoHighlight);
    bool bold = IsDefault() || (dis.itemState & ODS_DEFAULT);

    RECT erase;
    GetEraseRect(dis.rcItem, erase);
    FillRect(dc, &dis.rcItem, res->menuBrush);
    if (highlighted)
        FillRect(dc, &erase, res->highlightBrush);

    RECT tr;
    GetTextRect(dis.rcItem, tr);
    HGDIOBJ oldFont = SelectObject(dc, bold ? res->boldFont : res->font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = GetTextColor(dc);
    char* fitted = new char[m_textLen + 4];
    int len = FitText(dc, m_text, tr.right - tr.left, fitted, m_textLen + 4);
    if (len < 0)
        len = 0;
    const UINT fmt = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    if (dis.itemState & (ODS_DISABLED | ODS_GRAYED)) {
        if (!highlighted) {
            RECT shadow = tr;
            OffsetRect(&shadow, 1, 1);
            SetTextColor(dc, RGB(255, 255, 255));
            DrawTextAcp(dc, fitted, len, &shadow, fmt);
        }
        SetTextColor(dc, res->grayText);
    } else {
        SetTextColor(dc, highlighted ? res->highlightText : res->menuText);
    }
    DrawTextAcp(dc, fitted, len, &tr, fmt);
    delete[] fitted;
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    CustomPaint(dis);
}

// ---- FitText -------------------------------------------------------------------------------

namespace {
int TextWidth(HDC dc, const char* text, int len)
{
    RECT r = {0, 0, 0, 0};
    DrawTextAcp(dc, text, len, &r, DT_SINGLELINE | DT_CALCRECT);
    return r.right - r.left;
}
}  // namespace

int FitText(HDC dc, const char* text, int width, char* out, int outSize)
{
    if (!dc || !text || !out || outSize < 1)
        return -1;
    int len = static_cast<int>(strlen(text));
    // Whole text when it fits both the width and the buffer.
    if (len < outSize && TextWidth(dc, text, len) <= width) {
        memcpy(out, text, len + 1);
        return len;
    }
    // Longest prefix (whole characters) that with "..." fits both.
    int best = 0;
    for (const char* p = text; *p;) {
        const char* next = CharNextA(p);
        int keep = static_cast<int>(next - text);
        if (keep + 3 >= outSize)
            break;
        memcpy(out, text, keep);
        memcpy(out + keep, "...", 4);
        if (TextWidth(dc, out, keep + 3) > width)
            break;
        best = keep;
        p = next;
    }
    if (best + 3 < outSize) {
        memcpy(out, text, best);
        memcpy(out + best, "...", 4);
        return best + 3;
    }
    int cut = outSize - 1;   // not even "..." fits the buffer: a plain cut
    memcpy(out, "...", cut);
    out[cut] = 0;
    return cut;
}

// ---- VmMenuOwnerDraw -----------------------------------------------------------------------

DWORD VmMenuOwnerDraw::DefaultStyle = 0x80000002u;

DWORD VmMenuOwnerDraw::StyleFromSetting(DWORD menuStyle, bool strongEdges)
{
    if (menuStyle == 0)
        return StyleNoHighlight | StyleItemFrame | (strongEdges ? DWORD(StyleStrongEdges) : 0u);
    if (menuStyle == 1)
        return StyleIconFrame | (strongEdges ? DWORD(StyleStrongEdges) : 0u);
    return 0;
}

VmMenuOwnerDraw::VmMenuOwnerDraw()
    : m_style(DefaultStyle), m_lastChar(0), m_lastMenu(NULL), m_lastPos(-1)
{
    CreatePopup();
}

VmMenuOwnerDraw::~VmMenuOwnerDraw()
{
    Destroy();
}

void VmMenuOwnerDraw::Destroy()
{
    // Items of a menu handed to a parent belong to the parent's menu now.
    if (m_owned && m_hMenu)
        DeleteOwnerDrawItems(m_hMenu);
    VmMenu::Destroy();
}

VmMenuOwnerDrawItem* VmMenuOwnerDraw::GetItem(HMENU menu, UINT pos)
{
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    if (!menu || !GetMenuItemInfoA(menu, pos, TRUE, &mii) || !(mii.fType & MFT_OWNERDRAW) ||
        !VmMenuOwnerDrawItem::IsItem(mii.dwItemData))
        return nullptr;
    return reinterpret_cast<VmMenuOwnerDrawItem*>(mii.dwItemData);
}

void VmMenuOwnerDraw::DeleteOwnerDrawItems(HMENU menu)
{
    if (!menu)
        return;
    int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        if (HMENU sub = GetSubMenu(menu, i))
            DeleteOwnerDrawItems(sub);
        VmMenuOwnerDrawItem* item = GetItem(menu, i);
        if (!item)
            continue;
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_DATA;
        mii.dwItemData = 0;
        SetMenuItemInfoA(menu, i, TRUE, &mii);
        delete item;
    }
}

void VmMenuOwnerDraw::Rehome(HMENU menu, VmMenuOwnerDraw* owner)
{
    int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        if (HMENU sub = GetSubMenu(menu, i))
            Rehome(sub, owner);
        if (VmMenuOwnerDrawItem* item = GetItem(menu, i))
            item->m_menu = owner;
    }
}

bool VmMenuOwnerDraw::InsertOwnerDrawItem(UINT pos, VmMenuOwnerDrawItem* item, UINT flags,
                                          HMENU submenu)
{
    if (!item)
        return false;
    if (!m_hMenu || ((flags & MF_POPUP) && !submenu)) {
        delete item;
        return false;
    }
    item->m_menu = this;
    item->m_hMenu = m_hMenu;
    UINT type = (flags & ~(MF_STRING | MF_BITMAP | MF_SEPARATOR)) | MF_OWNERDRAW;
    UINT_PTR idOrMenu = (flags & MF_POPUP) ? reinterpret_cast<UINT_PTR>(submenu) : item->m_id;
    const char* data = reinterpret_cast<const char*>(item);
    BOOL ok = (pos == static_cast<UINT>(-1))
                  ? AppendMenuA(m_hMenu, type & ~MF_BYPOSITION, idOrMenu, data)
                  : InsertMenuA(m_hMenu, pos, type, idOrMenu, data);
    if (!ok) {
        delete item;
        return false;
    }
    return true;
}

bool VmMenuOwnerDraw::AppendItem(UINT id, const char* text, UINT flags, LPARAM user)
{
    if (flags & MF_SEPARATOR)
        return AppendSeparator();
    return InsertOwnerDrawItem(static_cast<UINT>(-1),
                               new VmMenuOwnerDrawItem(this, id, text, user), flags & ~MF_POPUP);
}

bool VmMenuOwnerDraw::InsertSubMenuItem(UINT pos, VmMenuOwnerDraw& menu,
                                        VmMenuOwnerDrawItem* item, UINT flags)
{
    if (&menu == this || !menu.GetHMENU() || !m_hMenu) {
        delete item;
        return false;
    }
    HMENU sub = menu.GetHMENU();
    if (!InsertOwnerDrawItem(pos, item, flags | MF_POPUP, sub))
        return false;
    Rehome(sub, this);
    menu.Detach();   // destroyed with this menu from now on
    return true;
}

bool VmMenuOwnerDraw::AppendSubMenu(VmMenuOwnerDraw& menu, const char* text, UINT flags,
                                    LPARAM user)
{
    return InsertSubMenuItem(static_cast<UINT>(-1),
                             menu, new VmMenuOwnerDrawItem(this, static_cast<UINT>(-1), text, user),
                             flags);
}

bool VmMenuOwnerDraw::AppendSeparator()
{
    return m_hMenu && AppendMenuA(m_hMenu, MF_SEPARATOR, 0, NULL);
}

int VmMenuOwnerDraw::ColumnLength(int count, int screenHeight, int itemHeight)
{
    if (count < 1 || itemHeight < 0)
        return 0;
    int fit = screenHeight / (itemHeight + 7) - 1;
    if (fit < 1)
        fit = 1;   // a tiny screen still shows one item per column
    int columns = (count - 1) / fit + 1;
    if (columns < 2)
        return 0;
    return (count + columns - 1) / columns;
}

namespace {
void BreakBalanced(HMENU menu, bool bar, int screenHeight, int itemHeight)
{
    int n = GetMenuItemCount(menu);
    int every = VmMenuOwnerDraw::ColumnLength(n, screenHeight, itemHeight);
    BreakEvery(menu, every, bar);
    for (int i = 0; i < n; ++i)
        if (HMENU sub = GetSubMenu(menu, i))
            BreakBalanced(sub, bar, screenHeight, itemHeight);
}
}  // namespace

bool VmMenuOwnerDraw::InsertBreaks(bool bar, int screenHeight)
{
    if (!m_hMenu)
        return false;
    if (screenHeight <= 0)
        screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const VmMenuDrawRes* res = VmMenuOwnerDrawItem::GetRes();
    int itemHeight = res ? res->itemHeight : GetSystemMetrics(SM_CYMENU);
    BreakBalanced(m_hMenu, bar, screenHeight, itemHeight);
    return true;
}

LRESULT VmMenuOwnerDraw::OnMenuChar(UINT ch, HMENU menu)
{
    if (!menu)
        menu = m_hMenu;
    int n = menu ? GetMenuItemCount(menu) : 0;
    if (ch > 0xFF || n <= 0)
        return MAKELRESULT(0, MNC_IGNORE);
    ch = static_cast<BYTE>(reinterpret_cast<ULONG_PTR>(
        CharUpperA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(ch)))));
    int start = 0;
    if (ch == m_lastChar && menu == m_lastMenu && m_lastPos >= 0 && m_lastPos < n)
        start = m_lastPos + 1;
    int found = -1;
    bool more = false;
    for (int k = 0; k < n; ++k) {
        int pos = (start + k) % n;
        VmMenuOwnerDrawItem* item = GetItem(menu, pos);
        if (!item || item->GetMnemonic() != ch)
            continue;
        if (found < 0) {
            found = pos;
        } else {
            more = true;
            break;
        }
    }
    if (found < 0) {
        m_lastChar = 0;
        m_lastMenu = NULL;
        m_lastPos = -1;
        return MAKELRESULT(0, MNC_IGNORE);
    }
    if (!more) {
        m_lastChar = 0;
        m_lastMenu = NULL;
        m_lastPos = -1;
        return MAKELRESULT(found, MNC_EXECUTE);
    }
    m_lastChar = ch;
    m_lastMenu = menu;
    m_lastPos = found;
    return MAKELRESULT(found, MNC_SELECT);
}

BOOL VmMenuOwnerDraw::OnMenuMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    return HandleMessage(msg, wParam, lParam, result);
}

BOOL VmMenuOwnerDraw::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (!mis || mis->CtlType != ODT_MENU || !VmMenuOwnerDrawItem::IsItem(mis->itemData))
            return FALSE;
        VmMenuOwnerDrawItem* item = reinterpret_cast<VmMenuOwnerDrawItem*>(mis->itemData);
        HDC dc = GetDC(NULL);
        SIZE size = {0, 0};
        item->GetSize(dc, size);
        ReleaseDC(NULL, dc);
        mis->itemWidth = size.cx;
        mis->itemHeight = size.cy;
        result = TRUE;
        return TRUE;
    }
    case WM_DRAWITEM: {
        DRAWITEMSTRUCT* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (!dis || dis->CtlType != ODT_MENU || !VmMenuOwnerDrawItem::IsItem(dis->itemData))
            return FALSE;
        reinterpret_cast<VmMenuOwnerDrawItem*>(dis->itemData)->Paint(*dis);
        result = TRUE;
        return TRUE;
    }
    case WM_MENUCHAR: {
        HMENU menu = reinterpret_cast<HMENU>(lParam);
        int n = menu ? GetMenuItemCount(menu) : 0;
        // Only menus made of our items: another menu keeps the system's answer.
        for (int i = 0; i < n; ++i) {
            VmMenuOwnerDrawItem* item = GetItem(menu, i);
            if (item && item->GetMenu()) {
                result = item->GetMenu()->OnMenuChar(LOWORD(wParam), menu);
                return TRUE;
            }
        }
        return FALSE;
    }
    }
    (void)wParam;
    return FALSE;
}
