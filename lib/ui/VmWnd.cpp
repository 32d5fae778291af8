#include "VmWnd.h"
#include "CreateSlot.h"
#include <stdlib.h>
#include <string.h>
#include <unordered_map>

namespace {
// What this library keeps for each window it binds or subclasses: the bound object (the
// user-data word alone could be anybody's), the procedure a subclass replaced (so that a
// procedure left in the chain after its object went away still forwards every message), and
// the same two for the foreign-window subclass. An in-process table rather than window
// properties: every message looks here, and a property lookup is a trip through the system.
enum Slot { kObj, kPrev, kEx, kExPrev, kSlots };

struct WndSlots {
    void* slot[kSlots];
};

SRWLOCK g_tableLock = SRWLOCK_INIT;
std::unordered_map<HWND, WndSlots> g_table;

void* GetSlot(HWND window, Slot which)
{
    void* value = nullptr;
    AcquireSRWLockShared(&g_tableLock);
    auto it = g_table.find(window);
    if (it != g_table.end())
        value = it->second.slot[which];
    ReleaseSRWLockShared(&g_tableLock);
    return value;
}

void SetSlot(HWND window, Slot which, void* value)
{
    AcquireSRWLockExclusive(&g_tableLock);
    auto it = g_table.find(window);
    if (it != g_table.end()) {
        it->second.slot[which] = value;
        bool empty = true;
        for (void* v : it->second.slot)
            empty = empty && !v;
        if (empty)
            g_table.erase(it);
    } else if (value) {
        WndSlots slots = {};
        slots.slot[which] = value;
        g_table.emplace(window, slots);
    }
    ReleaseSRWLockExclusive(&g_tableLock);
}

void ClearSlot(HWND window, Slot which) { SetSlot(window, which, nullptr); }

bool IsOwnWindow(HWND window)
{
    DWORD pid = 0;
    return window && IsWindow(window) && GetWindowThreadProcessId(window, &pid) &&
           pid == GetCurrentProcessId();
}
}  // namespace

CreateSlot& GetCreateSlot()
{
    static thread_local CreateSlot slot = {nullptr, false, 0};
    return slot;
}

VmWnd::VmWnd() : m_hWnd(NULL), m_prevProc(NULL), m_created(false), m_ncDestroyed(false) {}

VmWnd::~VmWnd()
{
    CreateSlot& slot = GetCreateSlot();
    if (slot.wnd == this)
        slot.wnd = nullptr;
    if (!m_hWnd)
        return;
    HWND window = m_hWnd;
    bool created = m_created;
    if (!m_prevProc || !Unsubclass())
        Unbind();
    if (created && IsWindow(window))
        DestroyWindow(window);   // no object any more: no virtual call can reach us
}

void VmWnd::PreInit() {}

LRESULT VmWnd::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return Default(msg, wParam, lParam);
}

void VmWnd::OnPostNcDestroy() {}

void VmWnd::Bind(HWND window)
{
    m_hWnd = window;
    SetSlot(window, kObj, this);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void VmWnd::Unbind()
{
    if (m_hWnd && GetSlot(m_hWnd, kObj) == this) {
        ClearSlot(m_hWnd, kObj);
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
    }
    m_hWnd = NULL;
    m_created = false;
}

VmWnd* VmWnd::GetWnd(HWND window)
{
    if (!window)
        return nullptr;
    void* obj = GetSlot(window, kObj);
    if (!obj || reinterpret_cast<LONG_PTR>(obj) != GetWindowLongPtrA(window, GWLP_USERDATA))
        return nullptr;
    return static_cast<VmWnd*>(obj);
}

bool VmWnd::Subclass(HWND window)
{
    if (m_hWnd || m_prevProc || !IsOwnWindow(window))
        return false;
    if (GetWindowLongPtrA(window, GWLP_USERDATA) || GetSlot(window, kObj))
        return false;   // somebody else's data lives there
    WNDPROC prev = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    if (!prev || prev == WndProc)
        return false;
    Bind(window);
    m_prevProc = prev;
    SetSlot(window, kPrev, reinterpret_cast<void*>(prev));
    SetLastError(0);
    if (!SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WndProc)) &&
        GetLastError()) {
        ClearSlot(window, kPrev);
        Unbind();
        m_prevProc = NULL;
        return false;
    }
    return true;
}

bool VmWnd::Unsubclass()
{
    if (!m_hWnd || !m_prevProc)
        return false;
    if (IsWindow(m_hWnd)) {
        // Another subclass installed after ours would be cut out of the chain: keep ours.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) != WndProc)
            return false;
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_prevProc));
        ClearSlot(m_hWnd, kPrev);
    }
    Unbind();
    m_prevProc = NULL;
    return true;
}

ATOM VmWnd::RegisterWndClass(const char* className, UINT style, HICON icon, HCURSOR cursor,
                             HBRUSH background, HINSTANCE module)
{
    if (!className || !*className)
        return 0;
    WNDCLASSA wc = {};
    wc.style = style;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = module ? module : GetLibModule();
    wc.hIcon = icon;
    wc.hCursor = cursor ? cursor : LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassA(&wc);
}

HWND VmWnd::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menuOrId, HINSTANCE module,
                     void* param)
{
    if (m_hWnd || !className)
        return NULL;
    CreateSlot& slot = GetCreateSlot();
    CreateSlot saved = slot;
    slot.wnd = this;
    slot.dialog = false;
    slot.templateId = 0;
    HWND window = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent,
                                  menuOrId, module ? module : GetLibModule(), param);
    bool bound = slot.wnd != this;   // our procedure took the object on the first message
    slot = saved;
    if (!window)
        return NULL;
    if (!bound && !Subclass(window)) {
        DestroyWindow(window);
        return NULL;
    }
    m_created = true;
    return window;
}

HWND VmWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect,
                   HWND parent, UINT id)
{
    return CreateEx(0, className, title, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

LRESULT VmWnd::Default(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!m_hWnd)
        return 0;
    if (m_prevProc)
        return CallWindowProcA(m_prevProc, m_hWnd, msg, wParam, lParam);
    return DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

LRESULT VmWnd::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, WMHook* after)
{
    HWND window = m_hWnd;
    m_hooks.BeginDispatch();
    LRESULT result = 0;
    bool handled = false;
    // By index: hooks may be added or removed while they run (removed ones are nulled).
    for (size_t i = m_hooks.StartIndex(after); i < m_hooks.Size() && !handled; ++i) {
        WMHook* hook = m_hooks.At(i);
        if (hook && hook->OnWndMessage(window, msg, wParam, lParam, result))
            handled = true;
    }
    if (!handled)
        result = OnWndMessage(msg, wParam, lParam);
    m_hooks.EndDispatch();
    return result;
}

void VmWnd::FinishDispatch()
{
    if (m_ncDestroyed && m_hooks.GetNesting() == 0) {
        m_ncDestroyed = false;
        OnPostNcDestroy();   // may delete this: nothing touches the object afterwards
    }
}

LRESULT CALLBACK VmWnd::WndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    try {
        VmWnd* wnd = GetWnd(window);
        if (!wnd) {
            CreateSlot& slot = GetCreateSlot();
            if (slot.wnd && !slot.dialog) {
                wnd = slot.wnd;
                slot.wnd = nullptr;
                wnd->Bind(window);
                wnd->PreInit();
            } else {
                WNDPROC prev = reinterpret_cast<WNDPROC>(GetSlot(window, kPrev));
                LRESULT result = prev ? CallWindowProcA(prev, window, msg, wParam, lParam)
                                      : DefWindowProcA(window, msg, wParam, lParam);
                if (msg == WM_NCDESTROY)
                    ClearSlot(window, kPrev);
                return result;
            }
        }
        LRESULT result = wnd->Dispatch(msg, wParam, lParam);
        if (msg == WM_NCDESTROY) {
            ClearSlot(window, kPrev);
            wnd->Unbind();
            wnd->m_prevProc = NULL;
            wnd->m_ncDestroyed = true;
        }
        wnd->FinishDispatch();
        return result;
    } catch (...) {
        return 0;   // never unwind into the system
    }
}

// VmWndEx

VmWndEx::VmWndEx()
    : m_notify(nullptr), m_notifyCookie(0), m_table(nullptr), m_tableCount(0),
      m_callbackWnd(NULL), m_callbackMsg(0), m_callbackCookie(0), m_unicode(false)
{
}

VmWndEx::~VmWndEx()
{
    if (m_hWnd && GetSlot(m_hWnd, kEx) == this && !UnsubclassEx()) {
        ClearSlot(m_hWnd, kEx);   // our procedure stays in the chain and forwards
        m_hWnd = NULL;
        m_prevProc = NULL;
    }
    free(m_table);
}

void VmWndEx::SetNotifyCallback(VmNotifyCallback callback, LPARAM cookie)
{
    m_notify = callback;
    m_notifyCookie = cookie;
}

bool VmWndEx::SetMsgCallback(HWND target, UINT callbackMsg, const MSG_CALLBACK_ITEM* items,
                             int count, LPARAM cookie)
{
    free(m_table);
    m_table = nullptr;
    m_tableCount = 0;
    m_callbackWnd = NULL;
    if (!items || !target || count <= 0)
        return items == nullptr || count <= 0;
    int n = 0;
    while (n < count && items[n].flags)
        ++n;
    if (n == 0)
        return true;
    m_table = static_cast<MSG_CALLBACK_ITEM*>(malloc(n * sizeof(MSG_CALLBACK_ITEM)));
    if (!m_table)
        return false;
    memcpy(m_table, items, n * sizeof(MSG_CALLBACK_ITEM));
    m_tableCount = n;
    m_callbackWnd = target;
    m_callbackMsg = callbackMsg;
    m_callbackCookie = cookie;
    return true;
}

UINT VmWndEx::FlagsOf(UINT msg) const
{
    UINT flags = 0;
    for (int i = 0; i < m_tableCount; ++i)
        if (m_table[i].message == msg)
            flags |= m_table[i].flags;
    return m_callbackWnd ? flags : 0;
}

BOOL VmWndEx::OnNotify(NMHDR* header, LRESULT& result)
{
    return m_notify ? m_notify(m_notifyCookie, header, &result) : FALSE;
}

bool VmWndEx::SubclassEx(HWND window)
{
    if (m_hWnd || m_prevProc || !IsOwnWindow(window) || GetSlot(window, kEx))
        return false;
    // Installing an ANSI procedure would make the window an ANSI one: its controls would then
    // send it ANSI notifications its own Unicode procedure ignores.
    bool unicode = IsWindowUnicode(window) != FALSE;
    WNDPROC prev = reinterpret_cast<WNDPROC>(unicode ? GetWindowLongPtrW(window, GWLP_WNDPROC)
                                                     : GetWindowLongPtrA(window, GWLP_WNDPROC));
    if (!prev || prev == WndProcEx || prev == WndProcExW)
        return false;
    m_hWnd = window;
    m_prevProc = prev;
    m_unicode = unicode;
    SetSlot(window, kEx, this);
    SetSlot(window, kExPrev, reinterpret_cast<void*>(prev));
    SetLastError(0);
    LONG_PTR ours = unicode ? reinterpret_cast<LONG_PTR>(WndProcExW) : reinterpret_cast<LONG_PTR>(WndProcEx);
    if (!(unicode ? SetWindowLongPtrW(window, GWLP_WNDPROC, ours)
                  : SetWindowLongPtrA(window, GWLP_WNDPROC, ours)) &&
        GetLastError()) {
        ClearSlot(window, kEx);
        ClearSlot(window, kExPrev);
        m_hWnd = NULL;
        m_prevProc = NULL;
        return false;
    }
    return true;
}

bool VmWndEx::UnsubclassEx()
{
    if (!m_hWnd || !m_prevProc || GetSlot(m_hWnd, kEx) != this)
        return false;
    if (IsWindow(m_hWnd)) {
        if (m_unicode) {
            if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) != WndProcExW)
                return false;
            SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_prevProc));
        } else {
            if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) != WndProcEx)
                return false;
            SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_prevProc));
        }
    }
    ClearSlot(m_hWnd, kEx);
    ClearSlot(m_hWnd, kExPrev);
    m_hWnd = NULL;
    m_prevProc = NULL;
    m_unicode = false;
    return true;
}

LRESULT VmWndEx::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_unicode && m_hWnd && m_prevProc)
        return CallWindowProcW(m_prevProc, m_hWnd, msg, wParam, lParam);
    return VmWnd::OnWndMessage(msg, wParam, lParam);
}

VmWndEx* VmWndEx::GetWndEx(HWND window)
{
    return window ? static_cast<VmWndEx*>(GetSlot(window, kEx)) : nullptr;
}

LRESULT VmWndEx::Handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    UINT flags = FlagsOf(msg);
    if (flags & MsgCallbackBefore) {
        MSG_CALLBACK_DATA data = {msg, wParam, lParam, 0, 0, 0};
        LRESULT answer = SendMessageA(m_callbackWnd, m_callbackMsg,
                                      static_cast<WPARAM>(m_callbackCookie),
                                      reinterpret_cast<LPARAM>(&data));
        if (data.handled)
            return answer;
        if (data.changed) {
            msg = data.message;
            wParam = data.wParam;
            lParam = data.lParam;
        }
    }
    LRESULT result = 0;
    if (!(msg == WM_NOTIFY && lParam && OnNotify(reinterpret_cast<NMHDR*>(lParam), result)))
        result = Dispatch(msg, wParam, lParam);
    if ((flags & MsgCallbackAfter) && m_callbackWnd) {
        MSG_CALLBACK_DATA data = {msg, wParam, lParam, 1, 0, 0};
        LRESULT answer = SendMessageA(m_callbackWnd, m_callbackMsg,
                                      static_cast<WPARAM>(m_callbackCookie),
                                      reinterpret_cast<LPARAM>(&data));
        if (data.handled)
            result = answer;
    }
    return result;
}

LRESULT CALLBACK VmWndEx::WndProcEx(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return Route(window, msg, wParam, lParam, false);
}

LRESULT CALLBACK VmWndEx::WndProcExW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return Route(window, msg, wParam, lParam, true);
}

LRESULT VmWndEx::Route(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, bool unicode)
{
    try {
        VmWndEx* wnd = GetWndEx(window);
        if (!wnd) {
            WNDPROC prev = reinterpret_cast<WNDPROC>(GetSlot(window, kExPrev));
            LRESULT result;
            if (unicode)
                result = prev ? CallWindowProcW(prev, window, msg, wParam, lParam)
                              : DefWindowProcW(window, msg, wParam, lParam);
            else
                result = prev ? CallWindowProcA(prev, window, msg, wParam, lParam)
                              : DefWindowProcA(window, msg, wParam, lParam);
            if (msg == WM_NCDESTROY)
                ClearSlot(window, kExPrev);
            return result;
        }
        LRESULT result = wnd->Handle(msg, wParam, lParam);
        // The subclass leaves after the window's own handling of its destruction.
        if (msg == WM_DESTROY || msg == WM_NCDESTROY)
            wnd->UnsubclassEx();
        return result;
    } catch (...) {
        return 0;
    }
}
