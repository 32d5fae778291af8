// Window objects of the framework: one C++ object per window, found from the handle through the
// window's user-data word, with command routing and update handlers for menu items.
#pragma once
#include <windows.h>

namespace fw {

// The state of one user-interface item (menu item, toolbar button) asked for by an update pass.
class CmdUI {
public:
    UINT m_nID = 0;
    HMENU m_menu = NULL;      // set for menu items
    UINT m_index = 0;         // position in m_menu
    HWND m_toolbar = NULL;    // set for toolbar buttons
    bool m_handled = false;   // an update handler answered
    void Enable(bool on = true);
    void SetCheck(int check = 1);
    void SetRadio(bool on = true);
    void SetText(const char* text);
};

// The code of OnCmdMsg that only asks whether a handler exists, without running it.
const int kQueryHandler = -1;

class Wnd {
public:
    Wnd() = default;
    Wnd(const Wnd&) = delete;            // one object per window
    Wnd& operator=(const Wnd&) = delete;
    virtual ~Wnd();

    HWND m_hWnd = NULL;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    static Wnd* FromHandle(HWND wnd);

    // Registers the class once (our window procedure) and creates the window.
    bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                  int cx, int cy, HWND parent, HMENU menu, HICON icon = NULL);
    bool DestroyWindow();

    // Commands: WM_COMMAND (ui null), update passes (ui set) and handler queries
    // (code kQueryHandler) go here first; true when handled.
    virtual bool OnCmdMsg(UINT id, int code, CmdUI* ui);
    virtual bool PreTranslateMessage(MSG* msg);

protected:
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);
    // Called after WM_NCDESTROY, when the handle is gone; objects on the heap may delete themselves.
    virtual void PostNcDestroy() {}

private:
    static LRESULT CALLBACK StaticWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
};

}  // namespace fw
