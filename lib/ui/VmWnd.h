// Window objects bound to window handles, with message hooks.
#pragma once
#include "../Panorel32.h"
#include "WMHook.h"

// A window object. Bound to its window through the window's user-data word, either by
// subclassing an existing window or by creating one whose class uses VmWnd::WndProc.
class PANOREL32_API VmWnd {
public:
    VmWnd();
    VmWnd(const VmWnd&) = delete;   // the window points back at the object
    VmWnd& operator=(const VmWnd&) = delete;
    // Unbinds the window; a window this object created is destroyed.
    virtual ~VmWnd();
    // Called once the object is bound to its window.
    virtual void PreInit();
    // Messages no hook handled. The base runs the stored procedure or the default one.
    virtual LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // After WM_NCDESTROY, once no dispatch of this object runs any more; may delete the object.
    virtual void OnPostNcDestroy();

    // Fails (changing nothing) for a null or foreign window, a window that already carries an
    // object in its user-data word, or while this object is bound to a window.
    bool Subclass(HWND window);
    // Restores the stored procedure; fails when the window is not subclassed by this object.
    bool Unsubclass();
    // Creates a window; a class whose procedure is WndProc binds on its first message, any
    // other class is subclassed after creation. Null when bound already or creation fails.
    HWND CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                  int y, int width, int height, HWND parent, HMENU menuOrId,
                  HINSTANCE module = NULL, void* param = NULL);
    HWND Create(const char* className, const char* title, DWORD style, const RECT& rect,
                HWND parent, UINT id = 0);
    // Registers a window class that binds its windows to the object being created.
    static ATOM RegisterWndClass(const char* className, UINT style = 0, HICON icon = NULL,
                                 HCURSOR cursor = NULL, HBRUSH background = NULL,
                                 HINSTANCE module = NULL);

    static VmWnd* GetWnd(HWND window);   // null when no object is bound
    static LRESULT CALLBACK WndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND GetHWND() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    bool IsSubclassed() const { return m_prevProc != NULL; }

    // Runs the message through the hooks after `after` (all when null), then OnWndMessage.
    // A hook that re-dispatches a message names itself here.
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, WMHook* after = nullptr);
    // The stored procedure (or DefWindowProc) on the message.
    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);
    WMHookList& GetHookList() { return m_hooks; }
    // Deferred while a dispatch of this window runs.
    void RemoveAllHooks() { m_hooks.RemoveAll(); }

protected:
    // Called by the procedures once the outermost dispatch has returned.
    void FinishDispatch();
    // Binding shared by both procedures and by dialogs.
    void Bind(HWND window);
    void Unbind();

    HWND m_hWnd;
    WNDPROC m_prevProc;    // non-zero while subclassed
    WMHookList m_hooks;    // carries the dispatch nesting count and the deferred removal
    bool m_created;        // this object created the window and destroys it
    bool m_ncDestroyed;    // WM_NCDESTROY seen; OnPostNcDestroy waits for dispatch to end
};

// One entry of a message callback table; a table ends early at an entry whose flags are 0.
struct MSG_CALLBACK_ITEM {
    UINT message;
    UINT flags;   // MsgCallbackBefore, MsgCallbackAfter or both
};
enum { MsgCallbackBefore = 1, MsgCallbackAfter = 2 };

// What a callback window receives (lParam of the registered message; wParam is the cookie).
// Message parameters are kept pointer-sized so 64-bit pointers in them survive.
struct MSG_CALLBACK_DATA {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT phase;     // 0 before the window's own handling, 1 after
    UINT handled;   // set by the receiver: its answer (the send's result) is the result
    UINT changed;   // set by the receiver before handling: the window sees the altered message
};

typedef BOOL (*VmNotifyCallback)(LPARAM cookie, NMHDR* header, LRESULT* result);

// A subclass of a foreign window (shell views, list controls) that keeps its object in a window
// property, since such windows use their user-data word themselves.
class PANOREL32_API VmWndEx : public VmWnd {
public:
    VmWndEx();
    ~VmWndEx() override;

    void SetNotifyCallback(VmNotifyCallback callback, LPARAM cookie);
    // Copies the table (up to count entries, ending early at flags 0). Messages listed are
    // reported to target as message `callbackMsg`. A null table or target switches it off.
    bool SetMsgCallback(HWND target, UINT callbackMsg, const MSG_CALLBACK_ITEM* items, int count,
                        LPARAM cookie);
    // WM_NOTIFY received by the window: the base asks the notification callback.
    virtual BOOL OnNotify(NMHDR* header, LRESULT& result);

    // A Unicode window keeps its messages in Unicode: its children then notify it in Unicode,
    // as its own procedure expects.
    bool SubclassEx(HWND window);
    bool UnsubclassEx();
    bool IsUnicode() const { return m_unicode; }
    static VmWndEx* GetWndEx(HWND window);
    static LRESULT CALLBACK WndProcEx(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WndProcExW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // The subclassed window's own procedure, called in the window's character set.
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    UINT FlagsOf(UINT msg) const;
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT Route(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, bool unicode);

    VmNotifyCallback m_notify;
    LPARAM m_notifyCookie;
    MSG_CALLBACK_ITEM* m_table;
    int m_tableCount;
    HWND m_callbackWnd;
    UINT m_callbackMsg;
    LPARAM m_callbackCookie;
    bool m_unicode;
};
