// Owner-drawn menus: balanced columns, mnemonics shared by several items, measuring and painting
// in the menu styles, and a real menu opened on a window.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "driver/Driver.h"
#include "ui/IconMenu.h"
#include "ui/VmWnd.h"

namespace {
UINT TypeOf(HMENU menu, int pos)
{
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(menu, pos, TRUE, &mii);
    return mii.fType;
}

// Positions of the items that start a new column.
std::vector<int> Breaks(HMENU menu, UINT kind)
{
    std::vector<int> found;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (TypeOf(menu, i) & kind)
            found.push_back(i);
    return found;
}

void Fill(IconMenu& menu, int count, UINT firstId = 100)
{
    HICON icon = LoadIcon(NULL, IDI_APPLICATION);
    for (int i = 0; i < count; ++i) {
        std::string text = "Item &" + std::to_string(i);
        ASSERT_TRUE(menu.AppendItem(firstId + i, text.c_str(), icon));
    }
}

// A screen height on which `perColumn` items fit one column.
int ScreenFor(int perColumn)
{
    return (perColumn + 1) * (VmMenuOwnerDrawItem::GetRes()->itemHeight + 7);
}

LRESULT MenuChar(HMENU menu, char ch)
{
    LRESULT result = 0;
    EXPECT_TRUE(VmMenuOwnerDraw::HandleMessage(WM_MENUCHAR, MAKEWPARAM(ch, MF_POPUP),
                                               reinterpret_cast<LPARAM>(menu), result));
    return result;
}

// A 32-bit bitmap to paint items into; pixels read back as COLORREF.
class Canvas {
public:
    Canvas(int w, int h) : m_w(w), m_h(h)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(NULL);
        m_bmp = CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits),
                                 NULL, 0);
        m_old = SelectObject(m_dc, m_bmp);
        RECT r = {0, 0, w, h};
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(m_dc, &r, magenta);
        DeleteObject(magenta);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bmp);
        DeleteDC(m_dc);
    }
    HDC DC() const { return m_dc; }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        DWORD p = m_bits[y * m_w + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(COLORREF c, const RECT& r) const
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += At(x, y) == c;
        return n;
    }
    std::vector<DWORD> Pixels() const
    {
        GdiFlush();
        return std::vector<DWORD>(m_bits, m_bits + m_w * m_h);
    }

private:
    int m_w, m_h;
    HDC m_dc;
    HBITMAP m_bmp;
    HGDIOBJ m_old;
    DWORD* m_bits = nullptr;
};

// Paints item `pos` of the menu into the canvas at (0, 0) with the given state.
void PaintItem(HMENU menu, int pos, Canvas& canvas, const RECT& rect, UINT state)
{
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.itemID = GetMenuItemID(menu, pos);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hDC = canvas.DC();
    dis.rcItem = rect;
    dis.itemData = reinterpret_cast<ULONG_PTR>(VmMenuOwnerDraw::GetItem(menu, pos));
    LRESULT result = 0;
    ASSERT_TRUE(VmMenuOwnerDraw::HandleMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis),
                                               result));
}

SIZE Measure(HMENU menu, int pos)
{
    MEASUREITEMSTRUCT mis = {};
    mis.CtlType = ODT_MENU;
    mis.itemID = GetMenuItemID(menu, pos);
    mis.itemData = reinterpret_cast<ULONG_PTR>(VmMenuOwnerDraw::GetItem(menu, pos));
    LRESULT result = 0;
    EXPECT_TRUE(VmMenuOwnerDraw::HandleMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis),
                                               result));
    SIZE s = {static_cast<LONG>(mis.itemWidth), static_cast<LONG>(mis.itemHeight)};
    return s;
}
}  // namespace

TEST(MenuOwnerDraw, SixtyItemsOnAScreenOfTwentyFiveMakeThreeColumnsOfTwenty)
{
    IconMenu menu;
    Fill(menu, 60);
    ASSERT_EQ(60, menu.GetCount());
    int screen = ScreenFor(25);
    ASSERT_TRUE(menu.InsertBreaks(true, screen));
    EXPECT_EQ((std::vector<int>{20, 40}), Breaks(menu, MFT_MENUBARBREAK));
    EXPECT_TRUE(Breaks(menu, MFT_MENUBREAK).empty());
    // Breaking again without bars replaces the earlier breaks; the items stay owner-drawn.
    ASSERT_TRUE(menu.InsertBreaks(false, screen));
    EXPECT_EQ((std::vector<int>{20, 40}), Breaks(menu, MFT_MENUBREAK));
    EXPECT_TRUE(Breaks(menu, MFT_MENUBARBREAK).empty());
    for (int i = 0; i < 60; ++i)
        EXPECT_TRUE(TypeOf(menu, i) & MFT_OWNERDRAW) << i;
    // A screen that holds them all: one column, no breaks left.
    ASSERT_TRUE(menu.InsertBreaks(true, ScreenFor(60)));
    EXPECT_TRUE(Breaks(menu, MFT_MENUBARBREAK | MFT_MENUBREAK).empty());
}

TEST(MenuOwnerDraw, ColumnLengthTable)
{
    const int ih = 13;
    const int fits25 = 26 * (ih + 7);
    struct Case {
        int count, screen, expected;
    } cases[] = {
        {60, fits25, 20}, {25, fits25, 0},  {26, fits25, 13}, {51, fits25, 17},
        {1, fits25, 0},   {0, fits25, 0},   {-3, fits25, 0},
        {5, 10, 1},       // not one item fits: one item per column, never a division by zero
        {5, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " items, screen " << c.screen);
        EXPECT_EQ(c.expected, VmMenuOwnerDraw::ColumnLength(c.count, c.screen, ih));
    }
}

TEST(MenuOwnerDraw, SubmenusAreBrokenTooAndDestroyedWithTheirParent)
{
    IconMenu menu;
    Fill(menu, 3);
    IconMenu* sub = new IconMenu;
    Fill(*sub, 30, 500);
    HMENU subHandle = sub->GetHMENU();
    ASSERT_TRUE(menu.AppendSubMenu(*sub, "&Sub", LoadIcon(NULL, IDI_APPLICATION)));
    EXPECT_EQ(NULL, sub->GetHMENU());   // handed to the parent
    delete sub;                          // must not take the items with it
    ASSERT_TRUE(IsMenu(subHandle));
    EXPECT_EQ(subHandle, GetSubMenu(menu, 3));
    ASSERT_TRUE(menu.InsertBreaks(true, ScreenFor(25)));
    EXPECT_TRUE(Breaks(menu, MFT_MENUBARBREAK).empty());
    EXPECT_EQ((std::vector<int>{15}), Breaks(subHandle, MFT_MENUBARBREAK));
    // The submenu's items follow the parent's style and still measure.
    VmMenuOwnerDrawItem* item = VmMenuOwnerDraw::GetItem(subHandle, 0);
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(&menu, item->GetMenu());
    EXPECT_GT(Measure(subHandle, 0).cy, 0);
    menu.Destroy();
    EXPECT_FALSE(IsMenu(subHandle));
    EXPECT_EQ(nullptr, VmMenuOwnerDrawItem::GetRes());   // the last item took the resources
}

TEST(MenuOwnerDraw, PlainMenuBreaksEveryNItems)
{
    VmMenu menu;
    ASSERT_TRUE(menu.CreatePopup());
    EXPECT_FALSE(menu.CreatePopup());
    for (int i = 0; i < 10; ++i)
        AppendMenuA(menu, MF_STRING, 10 + i, "x");
    EXPECT_FALSE(menu.InsertBreaks(0, true));
    EXPECT_FALSE(menu.InsertBreaks(-2, true));
    ASSERT_TRUE(menu.InsertBreaks(4, false));
    EXPECT_EQ((std::vector<int>{4, 8}), Breaks(menu, MFT_MENUBREAK));
    VmMenu empty;
    EXPECT_FALSE(empty.InsertBreaks(4, true));
    EXPECT_EQ(-1, empty.GetCount());
}

TEST(MenuOwnerDraw, SharedMnemonicCyclesAndAUniqueOneChoosesAtOnce)
{
    IconMenu menu;
    const char* texts[] = {"&Alpha", "&Beta", "&another", "Ca&r", "&&x and &Apricot", "&&q"};
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(menu.AppendItem(200 + i, texts[i], NULL));
    menu.AppendSeparator();
    struct Step {
        char ch;
        WORD index, kind;
    } steps[] = {
        {'a', 0, MNC_SELECT}, {'a', 2, MNC_SELECT}, {'A', 4, MNC_SELECT},
        {'a', 0, MNC_SELECT},   // wraps to the first
        {'b', 1, MNC_EXECUTE},  // one owner: chosen at once
        {'a', 0, MNC_SELECT},   // another key in between starts from the top again
        {'R', 3, MNC_EXECUTE},  {'x', 0, MNC_IGNORE},  // "&&x" is no mnemonic
        {'q', 0, MNC_IGNORE},   {'z', 0, MNC_IGNORE},
    };
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "step " << n++ << " key " << s.ch);
        LRESULT r = MenuChar(menu, s.ch);
        EXPECT_EQ(s.kind, HIWORD(r));
        if (s.kind != MNC_IGNORE) {
            EXPECT_EQ(s.index, LOWORD(r));
        }
    }
    // A menu without our items is not answered.
    HMENU plain = CreatePopupMenu();
    AppendMenuA(plain, MF_STRING, 1, "&Alpha");
    LRESULT result = 0;
    EXPECT_FALSE(VmMenuOwnerDraw::HandleMessage(WM_MENUCHAR, 'a', reinterpret_cast<LPARAM>(plain),
                                                result));
    EXPECT_FALSE(VmMenuOwnerDraw::HandleMessage(WM_MENUCHAR, 'a', 0, result));
    DestroyMenu(plain);
}

TEST(MenuOwnerDraw, MeasuredSizesFollowTheMetrics)
{
    IconMenu menu;
    ASSERT_TRUE(menu.AppendItem(1, "Short", LoadIcon(NULL, IDI_APPLICATION)));
    ASSERT_TRUE(menu.AppendItem(2, "Short", LoadIcon(NULL, IDI_APPLICATION)));
    std::string longText(600, 'W');
    ASSERT_TRUE(menu.AppendItem(3, longText.c_str(), NULL));
    ASSERT_TRUE(menu.VmMenuOwnerDraw::AppendItem(4, "Short"));   // no icon column
    ASSERT_TRUE(SetMenuDefaultItem(menu, 2, FALSE));
    const VmMenuDrawRes* res = VmMenuOwnerDrawItem::GetRes();
    ASSERT_NE(nullptr, res);
    EXPECT_GT(res->itemHeight, 5);
    EXPECT_EQ(res->iconColWidth, res->itemHeight > 28 ? res->itemHeight : 28);
    EXPECT_EQ(res->iconItemHeight, res->itemHeight > 20 ? res->itemHeight : 20);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2, res->maxWidth);

    SIZE plain = Measure(menu, 0), bold = Measure(menu, 1), wide = Measure(menu, 2),
         noIcon = Measure(menu, 3);
    EXPECT_EQ(res->iconItemHeight, plain.cy);
    EXPECT_EQ(res->itemHeight, noIcon.cy);
    EXPECT_EQ(plain.cx, noIcon.cx + res->iconColWidth);
    EXPECT_GT(noIcon.cx, res->textMargin);
    EXPECT_GT(bold.cx, plain.cx);   // the default item is measured in bold
    EXPECT_EQ(res->maxWidth + res->iconColWidth, wide.cx);

    // Item data of somebody else's owner-drawn menu is left alone.
    int foreign = 0;
    MEASUREITEMSTRUCT mis = {};
    mis.CtlType = ODT_MENU;
    mis.itemData = reinterpret_cast<ULONG_PTR>(&foreign);
    LRESULT result = 0;
    EXPECT_FALSE(VmMenuOwnerDraw::HandleMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis),
                                                result));
    EXPECT_EQ(0u, mis.itemWidth);
}

TEST(MenuOwnerDraw, FitTextShortensWithAnEllipsis)
{
    Canvas canvas(10, 10);
    HDC dc = canvas.DC();
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    char out[300];
    EXPECT_EQ(5, FitText(dc, "Hello", 1000, out, sizeof(out)));
    EXPECT_STREQ("Hello", out);
    std::string text(250, 'M');
    int len = FitText(dc, text.c_str(), 100, out, sizeof(out));
    ASSERT_GT(len, 3);
    EXPECT_EQ(static_cast<int>(strlen(out)), len);
    EXPECT_STREQ("...", out + len - 3);
    SIZE s;
    GetTextExtentPoint32A(dc, out, len, &s);
    EXPECT_LE(s.cx, 100);
    // A small buffer is never overrun, even when the width would take it all.
    char small[8];
    memset(small, 'Z', sizeof(small));
    len = FitText(dc, text.c_str(), 10000, small, 6);
    EXPECT_EQ(5, len);
    EXPECT_STREQ("MM...", small);
    EXPECT_EQ('Z', small[6]);
    EXPECT_EQ(2, FitText(dc, text.c_str(), 10000, small, 3));
    EXPECT_EQ(-1, FitText(dc, nullptr, 10, out, sizeof(out)));
    EXPECT_EQ(-1, FitText(dc, "x", 10, nullptr, 5));
    EXPECT_EQ(-1, FitText(dc, "x", 10, out, 0));
    EXPECT_EQ(-1, FitText(NULL, "x", 10, out, sizeof(out)));
    EXPECT_EQ(0, FitText(dc, "", 10, out, sizeof(out)));
}

TEST(MenuOwnerDraw, StyleFromSettingTable)
{
    struct Case {
        DWORD setting;
        bool strong;
        DWORD style;
    } cases[] = {
        {0, false, 0x80000002u}, {0, true, 0x80000006u}, {1, false, 1}, {1, true, 5},
        {2, false, 0},           {2, true, 0},           {0xFFFFFFFFu, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.setting << " strong " << c.strong);
        EXPECT_EQ(c.style, VmMenuOwnerDraw::StyleFromSetting(c.setting, c.strong));
    }
    DWORD saved = VmMenuOwnerDraw::DefaultStyle;
    VmMenuOwnerDraw::DefaultStyle = 5;
    IconMenu menu;
    EXPECT_EQ(5u, menu.GetStyle());
    VmMenuOwnerDraw::DefaultStyle = saved;
}

TEST(MenuOwnerDraw, StylesChangeTheSelectedItem)
{
    IconMenu menu;
    ASSERT_TRUE(menu.AppendItem(1, "&Open", LoadIcon(NULL, IDI_APPLICATION)));
    ASSERT_TRUE(menu.AppendItem(2, "&Gone", LoadIcon(NULL, IDI_APPLICATION)));
    const VmMenuDrawRes* res = VmMenuOwnerDrawItem::GetRes();
    const int w = 200, h = res->iconItemHeight;
    const RECT item = {0, 0, w, h};
    const COLORREF menuC = GetSysColor(COLOR_MENU), hl = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
    ASSERT_NE(menuC, hl);
    const RECT textPart = {res->iconColWidth + 2, 1, w - 2, h - 1};

    // "MenuStyle" 0: menu colours and a thin two-tone frame one pixel short of the right edge.
    menu.SetStyle(VmMenuOwnerDraw::StyleFromSetting(0, false));
    Canvas c0(w, h);
    PaintItem(menu, 0, c0, item, ODS_SELECTED);
    EXPECT_EQ(0, c0.Count(hl, item));
    EXPECT_EQ(light, c0.At(5, 0));
    EXPECT_EQ(light, c0.At(0, h / 2));
    EXPECT_EQ(dark, c0.At(w - 2, h / 2));
    EXPECT_EQ(dark, c0.At(w / 2, h - 1));
    EXPECT_EQ(menuC, c0.At(w - 1, h / 2));

    // Not selected: no frame at all.
    Canvas plain(w, h);
    PaintItem(menu, 0, plain, item, 0);
    EXPECT_EQ(menuC, plain.At(5, 0));
    EXPECT_EQ(menuC, plain.At(w - 2, h / 2));

    // Style 0 (any other setting): highlighted, no frame.
    menu.SetStyle(VmMenuOwnerDraw::StyleFromSetting(7, false));
    Canvas c2(w, h);
    PaintItem(menu, 0, c2, item, ODS_SELECTED);
    EXPECT_EQ(hl, c2.At(5, 0));
    EXPECT_EQ(hl, c2.At(w - 1, h / 2));
    EXPECT_GT(c2.Count(hl, textPart), (textPart.right - textPart.left) * 2);

    // Style 1: the icon cell keeps the menu colour inside its frame, the text part is highlighted.
    menu.SetStyle(VmMenuOwnerDraw::StyleFromSetting(1, false));
    Canvas c1(w, h);
    PaintItem(menu, 0, c1, item, ODS_SELECTED);
    EXPECT_EQ(light, c1.At(0, h / 2));
    EXPECT_EQ(dark, c1.At(res->iconColWidth - 1, h / 2));
    EXPECT_EQ(menuC, c1.At(1, 1));
    EXPECT_EQ(hl, c1.At(res->iconColWidth + 1, 1));
    EXPECT_EQ(hl, c1.At(w - 1, h - 1));

    // Flag 4: a raised edge instead of the two-tone lines.
    menu.SetStyle(VmMenuOwnerDraw::StyleFromSetting(0, true));
    Canvas c4(w, h);
    PaintItem(menu, 0, c4, item, ODS_SELECTED);
    EXPECT_NE(c0.Pixels(), c4.Pixels());
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), c4.At(w / 2, h - 1));

    // A grayed item: gray text over a white shadow when not highlighted.
    menu.SetStyle(VmMenuOwnerDraw::StyleFromSetting(7, false));
    Canvas g(w, h);
    PaintItem(menu, 1, g, item, ODS_GRAYED);
    EXPECT_GT(g.Count(GetSysColor(COLOR_GRAYTEXT), textPart), 5);
    EXPECT_GT(g.Count(RGB(255, 255, 255), textPart), 5);
}

namespace {
struct MenuDriver {
    HWND owner;
    std::string shot, menuShot;
    bool sawMenu = false;
    static DWORD WINAPI Run(void* p)
    {
        MenuDriver* d = static_cast<MenuDriver*>(p);
        HWND menuWnd = NULL;
        d->sawMenu = drv::WaitFor(
            [&] { return (menuWnd = FindWindowA("#32768", NULL)) && IsWindowVisible(menuWnd); },
            5000);
        HWND tracker = FindWindowA("PanorelMenuTracker", NULL);
        if (d->sawMenu && tracker) {
            // A shared letter selects without choosing. Wine differs: it ignores MNC_SELECT, so
            // the arrow key below does the selecting there.
            PostMessageA(tracker, WM_CHAR, 'a', 0);
            Sleep(200);
            PostMessageA(tracker, WM_KEYDOWN, VK_DOWN, 0);
            Sleep(600);
            d->shot = drv::Screenshot("iconmenu_screen");
            d->menuShot = drv::Screenshot("iconmenu_menu", menuWnd);
            // A letter owned by one item chooses it.
            PostMessageA(tracker, WM_CHAR, 'b', 0);
        }
        if (!drv::WaitFor([] { return !IsWindowVisible(FindWindowA("#32768", NULL)); }, 3000)) {
            if (tracker)
                PostMessageA(tracker, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        return 0;
    }
};
}  // namespace

TEST(MenuOwnerDraw, RealMenuOpensInColumnsAndAnswersKeys)
{
    static ATOM atom = VmWnd::RegisterWndClass("MenuOwnerDrawTestWnd", 0, NULL, NULL,
                                               reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    (void)atom;
    VmWnd wnd;
    HWND owner = wnd.CreateEx(0, "MenuOwnerDrawTestWnd", "Menu test",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 500, 300, NULL, NULL);
    ASSERT_TRUE(owner);
    UpdateWindow(owner);

    IconMenu menu;
    menu.SetStyle(VmMenuOwnerDraw::StyleFromSetting(0, false));
    HICON icon = LoadIcon(NULL, IDI_APPLICATION);
    ASSERT_TRUE(menu.AppendItem(900, "&Alpha", icon));
    ASSERT_TRUE(menu.AppendItem(901, "&Beta (default)", LoadIcon(NULL, IDI_INFORMATION)));
    ASSERT_TRUE(menu.AppendItem(902, "&Another alpha", icon));
    ASSERT_TRUE(menu.AppendItem(903, "Grayed", icon, MF_GRAYED));
    menu.AppendSeparator();
    for (int i = 0; i < 55; ++i) {
        std::string text = "Folder " + std::to_string(i + 1);
        ASSERT_TRUE(menu.AppendItem(1000 + i, text.c_str(), LoadIcon(NULL, IDI_WINLOGO)));
    }
    ASSERT_TRUE(SetMenuDefaultItem(menu, 901, FALSE));
    ASSERT_TRUE(menu.InsertBreaks(true, ScreenFor(25)));
    EXPECT_EQ((std::vector<int>{20, 40}), Breaks(menu, MFT_MENUBARBREAK));

    MenuDriver d;
    d.owner = owner;
    HANDLE th = CreateThread(NULL, 0, MenuDriver::Run, &d, 0, NULL);
    ASSERT_TRUE(th);
    POINT pt = {40, 40};
    UINT cmd = menu.TrackEx(owner, pt);
    WaitForSingleObject(th, 15000);
    CloseHandle(th);
    EXPECT_TRUE(d.sawMenu);
    EXPECT_FALSE(d.shot.empty());
    EXPECT_FALSE(d.menuShot.empty());
    EXPECT_EQ(901u, cmd);   // "b" is unique: chosen at once
    DestroyWindow(owner);
}

TEST(MenuOwnerDraw, InsertKeepsOrderAndBadInputFails)
{
    IconMenu menu;
    ASSERT_TRUE(menu.AppendItem(1, "&One", NULL));
    ASSERT_TRUE(menu.AppendItem(3, "&Three", NULL));
    ASSERT_TRUE(menu.InsertItem(1, 2, "T&wo", NULL, MF_BYPOSITION));
    ASSERT_TRUE(menu.InsertItem(1, 0, nullptr, NULL, MF_SEPARATOR));   // before command 1
    ASSERT_TRUE(menu.AppendItem(0, nullptr, NULL, MF_SEPARATOR));
    ASSERT_EQ(5, menu.GetCount());
    EXPECT_EQ(nullptr, VmMenuOwnerDraw::GetItem(menu, 0));   // plain separator
    const UINT ids[] = {1, 2, 3};
    for (int i = 1; i < 4; ++i) {
        SCOPED_TRACE(i);
        VmMenuOwnerDrawItem* item = VmMenuOwnerDraw::GetItem(menu, i);
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(ids[i - 1], item->GetId());
        EXPECT_EQ(ids[i - 1], GetMenuItemID(menu, i));
    }
    EXPECT_STREQ("T&wo", VmMenuOwnerDraw::GetItem(menu, 2)->GetText());
    EXPECT_EQ(static_cast<UINT>('W'), VmMenuOwnerDraw::GetItem(menu, 2)->GetMnemonic());
    EXPECT_EQ(nullptr, VmMenuOwnerDraw::GetItem(menu, 99));
    EXPECT_EQ(nullptr, VmMenuOwnerDraw::GetItem(NULL, 0));
    // A menu cannot take itself, nor an empty one.
    EXPECT_FALSE(menu.AppendSubMenu(menu, "self", NULL));
    IconMenu emptied;
    emptied.Detach();
    EXPECT_FALSE(menu.InsertSubMenu(0, emptied, "none", NULL, MF_BYPOSITION));
    EXPECT_FALSE(menu.InsertOwnerDrawItem(0, nullptr, MF_BYPOSITION));
    EXPECT_EQ(5, menu.GetCount());
}

TEST(MenuOwnerDraw, HandedOverIconsAreDestroyedWithTheirItems)
{
    HICON kept = CopyIcon(LoadIcon(NULL, IDI_APPLICATION));
    HICON given = CopyIcon(LoadIcon(NULL, IDI_APPLICATION));
    ASSERT_TRUE(kept && given);
    {
        IconMenu menu;
        ASSERT_TRUE(menu.AppendItem(1, "kept", kept));
        menu.SetOwnsIcons(true);
        ASSERT_TRUE(menu.AppendItem(2, "given", given));
    }
    ICONINFO info = {};
    EXPECT_TRUE(GetIconInfo(kept, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_TRUE(DestroyIcon(kept));
    EXPECT_FALSE(DestroyIcon(given));   // gone with its item
}

TEST(MenuOwnerDraw, DeleteOwnerDrawItemsFreesEveryLevel)
{
    IconMenu menu;
    Fill(menu, 2);
    IconMenu sub;
    Fill(sub, 2, 300);
    ASSERT_TRUE(menu.InsertSubMenu(0, sub, "&Sub", NULL, MF_BYPOSITION));
    HMENU subHandle = GetSubMenu(menu, 0);
    ASSERT_TRUE(subHandle);
    VmMenuOwnerDraw::DeleteOwnerDrawItems(menu);
    EXPECT_EQ(nullptr, VmMenuOwnerDrawItem::GetRes());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(nullptr, VmMenuOwnerDraw::GetItem(menu, i)) << i;
    EXPECT_EQ(nullptr, VmMenuOwnerDraw::GetItem(subHandle, 0));
    EXPECT_EQ(3, menu.GetCount());   // the items themselves stay
    VmMenuOwnerDraw::DeleteOwnerDrawItems(NULL);
}

TEST(MenuOwnerDraw, TrayPointMovesOffTheBar)
{
    const RECT screen = {0, 0, 800, 600};
    struct Case {
        RECT bar;
        POINT in, out;
    } cases[] = {
        {{0, 570, 800, 600}, {700, 590}, {700, 570}},   // bottom
        {{0, 0, 800, 30}, {700, 10}, {700, 30}},        // top
        {{0, 0, 60, 600}, {20, 500}, {60, 500}},        // left
        {{740, 0, 800, 600}, {760, 500}, {740, 500}},   // right
        {{0, 570, 800, 600}, {100, 100}, {100, 100}},   // not on the bar
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.in.x << "," << c.in.y);
        POINT pt = c.in;
        VmMenu::AdjustPointForTrayIcon(pt, c.bar, screen);
        EXPECT_EQ(c.out.x, pt.x);
        EXPECT_EQ(c.out.y, pt.y);
    }
}
