// Menus: plain menu handles, tracking through a window of the library, and owner-drawn menus
// whose items measure and paint themselves (balanced columns, mnemonics shared by several items).
#pragma once
#include "../Panorel32.h"

// A menu handle; destroyed with the object when owned.
class PANOREL32_API VmMenu {
public:
    VmMenu();
    explicit VmMenu(HMENU menu, bool owned = false);
    VmMenu(const VmMenu&) = delete;   // one handle, one owner
    VmMenu& operator=(const VmMenu&) = delete;
    virtual ~VmMenu();

    bool CreatePopup();   // fails when a menu is held already
    // Destroys an owned menu it replaces.
    void Attach(HMENU menu, bool owned);
    HMENU Detach();       // hands the handle out; it is no longer destroyed here
    virtual void Destroy();

    HMENU GetHMENU() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }
    bool IsOwned() const { return m_owned; }
    int GetCount() const;   // -1 without a menu

    // Starts a new column after every `every` items (with a bar between columns when asked);
    // breaks set earlier are cleared first. False for every < 1 or no menu.
    bool InsertBreaks(int every, bool bar);
    // Shows the menu at a screen point and returns the chosen command (0 for none).
    UINT Track(HWND owner, int x, int y);
    // A point on the notification area is moved onto the edge of the task bar that faces the
    // screen, so the menu opens beside the bar instead of over it.
    static void AdjustPointForTrayIcon(POINT& pt);
    // The same with the bar's rectangle given (tests, other shells); unchanged outside it.
    static void AdjustPointForTrayIcon(POINT& pt, const RECT& bar, const RECT& screen);

protected:
    HMENU m_hMenu;
    bool m_owned;
};

// A menu tracked with a window of the library as its owner, so that the requests of the items
// (measure, draw, menu characters) reach the menu objects.
class PANOREL32_API VmMenuEx : public VmMenu {
public:
    VmMenuEx() = default;
    explicit VmMenuEx(HMENU menu, bool owned = false) : VmMenu(menu, owned) {}
    // The chosen command, 0 for none. Menu selection and pop-up notices go on to `owner`.
    UINT TrackEx(HWND owner, POINT pt);
    // A message sent to the tracking window; true when the menu answered it.
    virtual BOOL OnMenuMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
};

class VmMenuOwnerDraw;

// Drawing resources shared by every item of the process: created with the first item object,
// released with the last one.
struct VmMenuDrawRes {
    HFONT font;            // the menu font of the non-client metrics, or the stock system font
    HFONT boldFont;        // the same at weight 700, for the default item
    bool ownFont;          // false when `font` is the stock font
    COLORREF grayText, menu, menuText, highlight, highlightText;
    HBRUSH menuBrush, highlightBrush;
    HPEN lightPen, darkPen;   // button highlight and button shadow
    int itemHeight;           // height of "Hg" in the menu font
    int textMargin;           // left margin of the text
    int maxWidth;             // largest item width: half the screen
    int iconColWidth;         // max(28, itemHeight)
    int iconItemHeight;       // max(20, itemHeight)
    int iconX, iconY;         // the icon's offsets inside its cell
};

// One item of an owner-drawn menu; the menu item carries the object as its item data.
class PANOREL32_API VmMenuOwnerDrawItem {
public:
    VmMenuOwnerDrawItem(VmMenuOwnerDraw* menu, UINT id, const char* text, LPARAM user = 0);
    VmMenuOwnerDrawItem(const VmMenuOwnerDrawItem&) = delete;   // owns its text
    VmMenuOwnerDrawItem& operator=(const VmMenuOwnerDrawItem&) = delete;
    virtual ~VmMenuOwnerDrawItem();
    // Width and height of the item; `dc` is any screen-compatible device context.
    virtual void GetSize(HDC dc, SIZE& size);
    // Paints the whole item or its selection change (other actions are left alone).
    virtual void Paint(const DRAWITEMSTRUCT& dis);
    // Part of the item filled with the background.
    virtual void GetEraseRect(const RECT& item, RECT& erase);
    // Part of the item the text is drawn in.
    virtual void GetTextRect(const RECT& item, RECT& text);
    // Runs after the text: the frame of a selected item.
    virtual void CustomPaint(const DRAWITEMSTRUCT& dis);

    VmMenuOwnerDraw* GetMenu() const { return m_menu; }
    UINT GetId() const { return m_id; }
    const char* GetText() const { return m_text; }
    int GetTextLen() const { return m_textLen; }
    LPARAM GetUser() const { return m_user; }
    // The menu handle the item sits in (a submenu's own handle).
    HMENU GetHMenu() const { return m_hMenu; }
    // Upper-cased character after the mnemonic "&", 0 without one.
    UINT GetMnemonic() const;
    bool IsDefault() const;
    // The menu's style word (the process default while the item has no menu).
    DWORD GetStyle() const;

    // The shared resources; null while no item exists.
    static const VmMenuDrawRes* GetRes();
    // True when `data` is a live item object of this process (item data of foreign owner-drawn
    // menus, such as the shell's, is not ours).
    static bool IsItem(ULONG_PTR data);

protected:
    // Frame as the style asks: raised edge (bit 2) or a light/dark line pair.
    void DrawFrame(HDC dc, const RECT& rect) const;

private:
    friend class VmMenuOwnerDraw;
    VmMenuOwnerDraw* m_menu;
    HMENU m_hMenu;
    UINT m_id;
    char* m_text;
    int m_textLen;
    LPARAM m_user;
};

// Shortens `text` with "..." so that it fits `width` pixels in the font selected into `dc`
// ("&" mnemonics do not count). Writes at most outSize - 1 bytes; returns the length written,
// -1 for bad arguments.
PANOREL32_API int FitText(HDC dc, const char* text, int width, char* out, int outSize);

// A menu whose items are measured and painted by their item objects.
class PANOREL32_API VmMenuOwnerDraw : public VmMenuEx {
public:
    enum : DWORD {
        StyleIconFrame = 0x1,      // frame around a selected item's icon cell
        StyleItemFrame = 0x2,      // frame around a selected item
        StyleStrongEdges = 0x4,    // frames as raised edges
        StyleNoHighlight = 0x80000000u,   // selected items keep the menu colours
    };
    // The style new menus copy.
    static DWORD DefaultStyle;
    // The style word for a "MenuStyle" setting: 0 -> 0x80000002, 1 -> 1, else 0; strong edges
    // add flag 4 to the first two.
    static DWORD StyleFromSetting(DWORD menuStyle, bool strongEdges);

    VmMenuOwnerDraw();   // creates an owned pop-up menu
    ~VmMenuOwnerDraw() override;
    void Destroy() override;   // frees the item objects, then the menu

    DWORD GetStyle() const { return m_style; }
    void SetStyle(DWORD style) { m_style = style; }

    // Adds an item object (taken over, also on failure). MF_BYPOSITION in flags selects `pos`
    // as a position; -1 appends. For MF_POPUP items `submenu` is the submenu.
    bool InsertOwnerDrawItem(UINT pos, VmMenuOwnerDrawItem* item, UINT flags,
                             HMENU submenu = NULL);
    bool AppendItem(UINT id, const char* text, UINT flags = 0, LPARAM user = 0);
    // The submenu's handle passes to this menu, and its items follow this menu's style; fill
    // the submenu before adding it.
    bool AppendSubMenu(VmMenuOwnerDraw& menu, const char* text, UINT flags = 0, LPARAM user = 0);
    bool AppendSeparator();

    // Balanced columns that fit the screen (height in pixels, 0 for the real screen); submenus
    // likewise. Breaks set earlier are cleared first.
    bool InsertBreaks(bool bar = true, int screenHeight = 0);
    // Items per column for n items; 0 when one column holds them all.
    static int ColumnLength(int count, int screenHeight, int itemHeight);

    // WM_MENUCHAR on `menu` (one of this menu's handles): select or choose the next item with
    // the mnemonic `ch`.
    LRESULT OnMenuChar(UINT ch, HMENU menu);
    BOOL OnMenuMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // WM_MEASUREITEM, WM_DRAWITEM and WM_MENUCHAR for any owner-drawn menu of the library, for
    // windows that track such menus themselves. False for messages of other menus.
    static BOOL HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Frees every item object of the menu and of its submenus (the items stay, without data).
    static void DeleteOwnerDrawItems(HMENU menu);
    // The item object of an item, null when it has none of ours.
    static VmMenuOwnerDrawItem* GetItem(HMENU menu, UINT pos);

protected:
    // Adds `item` (taken over) for the submenu `menu`, whose handle passes to this menu.
    bool InsertSubMenuItem(UINT pos, VmMenuOwnerDraw& menu, VmMenuOwnerDrawItem* item,
                           UINT flags);

private:
    static void Rehome(HMENU menu, VmMenuOwnerDraw* owner);
    DWORD m_style;
    // Last mnemonic search: the character, the menu and the position found.
    UINT m_lastChar;
    HMENU m_lastMenu;
    int m_lastPos;
};
