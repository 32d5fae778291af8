#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "ui/VmWnd.h"
#include "UiTestUtil.h"

namespace {
int g_plainMessages;

LRESULT CALLBACK PlainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_USER + 50)
        return 7;   // the window's own answer
    ++g_plainMessages;
    return DefWindowProcA(wnd, msg, wp, lp);
}

// A plain top-level window of a class that knows nothing of VmWnd.
HWND MakePlain()
{
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "UiTestPlain";
        atom = RegisterClassA(&wc);
    }
    return CreateWindowExA(0, "UiTestPlain", "plain", WS_OVERLAPPED, 0, 0, 100, 80, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

struct Plain {
    HWND wnd = MakePlain();
    ~Plain()
    {
        if (IsWindow(wnd))
            DestroyWindow(wnd);
    }
};

class Recorder : public VmWnd {
public:
    int preInit = 0, postNcDestroy = 0, nestingAtPost = -1;
    bool sawCreate = false;
    std::vector<std::string>* log = nullptr;
    LRESULT answer = 10;

    void PreInit() override { ++preInit; }
    LRESULT OnWndMessage(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_CREATE)
            sawCreate = true;
        if (msg >= WM_USER + 1 && msg <= WM_USER + 9) {
            if (log)
                log->push_back("wnd");
            return answer;
        }
        return VmWnd::OnWndMessage(msg, wp, lp);
    }
    void OnPostNcDestroy() override
    {
        ++postNcDestroy;
        nestingAtPost = GetHookList().GetNesting();
    }
};

class LogHook : public WMHook {
public:
    LogHook(const char* name, std::vector<std::string>& log) : m_name(name), m_log(log) {}
    BOOL OnWndMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override
    {
        m_log.push_back(m_name);
        if (msg == handles) {
            result = 42;
            return TRUE;
        }
        if (msg == redispatches) {
            // Let the hooks after this one and the window answer, then adjust the answer.
            result = VmWnd::GetWnd(wnd)->Dispatch(msg, wp, lp, this) + 1;
            return TRUE;
        }
        if (msg == removesAll) {
            VmWnd::GetWnd(wnd)->RemoveAllHooks();
            countInside = VmWnd::GetWnd(wnd)->GetHookList().GetCount();
            if (nestedSend)
                SendMessageA(wnd, nestedSend, 0, 0);
        }
        if (msg == destroys)
            DestroyWindow(wnd);
        return FALSE;
    }
    UINT handles = 0, redispatches = 0, removesAll = 0, nestedSend = 0, destroys = 0;
    int countInside = -1;

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

HWND CreateOwn(VmWnd& wnd)
{
    static ATOM atom = VmWnd::RegisterWndClass("UiTestVmWnd");
    (void)atom;
    return wnd.CreateEx(0, "UiTestVmWnd", "own", WS_OVERLAPPED, 0, 0, 120, 90, NULL, NULL);
}
}  // namespace

TEST(VmWnd, SubclassTwiceFailsAndChangesNothing)
{
    Plain p;
    ASSERT_TRUE(p.wnd);
    LONG_PTR origProc = GetWindowLongPtrA(p.wnd, GWLP_WNDPROC);
    VmWnd wnd;
    ASSERT_TRUE(wnd.Subclass(p.wnd));
    LONG_PTR proc = GetWindowLongPtrA(p.wnd, GWLP_WNDPROC);
    LONG_PTR data = GetWindowLongPtrA(p.wnd, GWLP_USERDATA);
    EXPECT_NE(origProc, proc);
    EXPECT_EQ(&wnd, VmWnd::GetWnd(p.wnd));

    EXPECT_FALSE(wnd.Subclass(p.wnd));
    VmWnd other;
    EXPECT_FALSE(other.Subclass(p.wnd));
    EXPECT_EQ(proc, GetWindowLongPtrA(p.wnd, GWLP_WNDPROC));
    EXPECT_EQ(data, GetWindowLongPtrA(p.wnd, GWLP_USERDATA));
    EXPECT_EQ(&wnd, VmWnd::GetWnd(p.wnd));
    EXPECT_EQ(nullptr, other.GetHWND());

    // The window's own procedure still answers through the subclass.
    EXPECT_EQ(7, SendMessageA(p.wnd, WM_USER + 50, 0, 0));

    EXPECT_TRUE(wnd.Unsubclass());
    EXPECT_EQ(origProc, GetWindowLongPtrA(p.wnd, GWLP_WNDPROC));
    EXPECT_EQ(0, GetWindowLongPtrA(p.wnd, GWLP_USERDATA));
    EXPECT_EQ(nullptr, VmWnd::GetWnd(p.wnd));
    EXPECT_FALSE(wnd.Unsubclass());
    // Free again: another object may bind now.
    EXPECT_TRUE(other.Subclass(p.wnd));
    EXPECT_TRUE(other.Unsubclass());
}

TEST(VmWnd, BadWindowsAreRefused)
{
    VmWnd wnd;
    EXPECT_FALSE(wnd.Subclass(NULL));
    EXPECT_FALSE(wnd.Subclass(reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x12340))));
    EXPECT_EQ(nullptr, VmWnd::GetWnd(NULL));
    EXPECT_FALSE(wnd.Unsubclass());
    EXPECT_EQ(NULL, wnd.CreateEx(0, nullptr, "x", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL));
    EXPECT_EQ(NULL, wnd.CreateEx(0, "NoSuchClassAtAll", "x", WS_OVERLAPPED, 0, 0, 10, 10, NULL,
                                 NULL));
    EXPECT_EQ(nullptr, wnd.GetHWND());
    EXPECT_EQ(0, VmWnd::RegisterWndClass(nullptr));
    EXPECT_EQ(0, VmWnd::RegisterWndClass(""));

    // A window whose user-data word belongs to somebody else is neither found nor taken.
    Plain p;
    int someData = 5;
    SetWindowLongPtrA(p.wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&someData));
    EXPECT_EQ(nullptr, VmWnd::GetWnd(p.wnd));
    LONG_PTR proc = GetWindowLongPtrA(p.wnd, GWLP_WNDPROC);
    EXPECT_FALSE(wnd.Subclass(p.wnd));
    EXPECT_EQ(proc, GetWindowLongPtrA(p.wnd, GWLP_WNDPROC));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&someData), GetWindowLongPtrA(p.wnd, GWLP_USERDATA));
}

TEST(VmWnd, CreateBindsOnFirstMessage)
{
    Recorder wnd;
    HWND h = CreateOwn(wnd);
    ASSERT_TRUE(h);
    EXPECT_EQ(h, wnd.GetHWND());
    EXPECT_EQ(&wnd, VmWnd::GetWnd(h));
    EXPECT_EQ(1, wnd.preInit);
    EXPECT_TRUE(wnd.sawCreate);
    EXPECT_FALSE(wnd.IsSubclassed());   // our class: no stored procedure
    EXPECT_FALSE(wnd.Unsubclass());
    EXPECT_EQ(NULL, CreateOwn(wnd));     // one window per object

    EXPECT_TRUE(DestroyWindow(h));
    EXPECT_EQ(1, wnd.postNcDestroy);
    EXPECT_EQ(0, wnd.nestingAtPost);
    EXPECT_EQ(NULL, wnd.GetHWND());
    EXPECT_EQ(nullptr, VmWnd::GetWnd(h));
}

TEST(VmWnd, CreateOfSystemClassSubclassesAndDestructorDestroys)
{
    HWND h;
    {
        VmWnd wnd;
        h = wnd.CreateEx(0, "BUTTON", "b", WS_POPUP, 0, 0, 50, 20, NULL, NULL);
        ASSERT_TRUE(h);
        EXPECT_TRUE(wnd.IsSubclassed());
        EXPECT_EQ(&wnd, VmWnd::GetWnd(h));
    }
    EXPECT_FALSE(IsWindow(h));
}

TEST(WMHook, HooksRunInOrderAndTheFirstHandlerWins)
{
    std::vector<std::string> log;
    Recorder wnd;
    wnd.log = &log;
    ASSERT_TRUE(CreateOwn(wnd));
    LogHook a("a", log), b("b", log), c("c", log);
    b.handles = WM_USER + 1;
    EXPECT_TRUE(a.AddToWnd(&wnd));
    EXPECT_TRUE(b.AddToWnd(&wnd));
    EXPECT_TRUE(c.AddToWnd(&wnd));
    EXPECT_FALSE(b.AddToWnd(&wnd));   // once per window
    EXPECT_FALSE(a.AddToWnd(nullptr));

    EXPECT_EQ(42, SendMessageA(wnd.GetHWND(), WM_USER + 1, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), log);

    log.clear();
    EXPECT_EQ(10, SendMessageA(wnd.GetHWND(), WM_USER + 5, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "wnd"}), log);

    // A removed hook no longer sees messages; removing twice fails.
    EXPECT_TRUE(b.RemoveFromWnd(&wnd));
    EXPECT_FALSE(b.RemoveFromWnd(&wnd));
    log.clear();
    EXPECT_EQ(10, SendMessageA(wnd.GetHWND(), WM_USER + 1, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"a", "c", "wnd"}), log);
}

TEST(WMHook, RedispatchResumesAfterTheHook)
{
    std::vector<std::string> log;
    Recorder wnd;
    wnd.log = &log;
    ASSERT_TRUE(CreateOwn(wnd));
    LogHook a("a", log), b("b", log), c("c", log);
    b.redispatches = WM_USER + 2;
    a.AddToWnd(&wnd);
    b.AddToWnd(&wnd);
    c.AddToWnd(&wnd);
    EXPECT_EQ(11, SendMessageA(wnd.GetHWND(), WM_USER + 2, 0, 0));
    // a once, b once (not again after re-dispatch), then c and the window once each.
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "wnd"}), log);

    // The first hook re-dispatching: everything after it runs once.
    log.clear();
    b.redispatches = 0;
    a.redispatches = WM_USER + 3;
    EXPECT_EQ(11, SendMessageA(wnd.GetHWND(), WM_USER + 3, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "wnd"}), log);
}

TEST(WMHook, RemovingAllHooksInsideAHandlerWaitsForTheOutermostDispatch)
{
    std::vector<std::string> log;
    Recorder wnd;
    wnd.log = &log;
    ASSERT_TRUE(CreateOwn(wnd));
    LogHook a("a", log), b("b", log), c("c", log);
    a.removesAll = WM_USER + 4;
    a.nestedSend = WM_USER + 6;   // a nested message while the removal is pending
    a.AddToWnd(&wnd);
    b.AddToWnd(&wnd);
    c.AddToWnd(&wnd);
    EXPECT_EQ(10, SendMessageA(wnd.GetHWND(), WM_USER + 4, 0, 0));
    EXPECT_EQ(3, a.countInside);
    // Outer: a, (nested: a b c wnd), then the outer message completes through b, c, wnd.
    EXPECT_EQ((std::vector<std::string>{"a", "a", "b", "c", "wnd", "b", "c", "wnd"}), log);
    EXPECT_EQ(0, wnd.GetHookList().GetCount());
    EXPECT_FALSE(wnd.GetHookList().IsRemoveAllPending());

    log.clear();
    SendMessageA(wnd.GetHWND(), WM_USER + 5, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"wnd"}), log);
    // The hooks know they left: they can be added again.
    EXPECT_TRUE(b.AddToWnd(&wnd));
}

TEST(WMHook, RemoveAllOutsideDispatchIsImmediateAndDeadHooksLeave)
{
    std::vector<std::string> log;
    Recorder wnd;
    wnd.log = &log;
    ASSERT_TRUE(CreateOwn(wnd));
    LogHook a("a", log);
    a.AddToWnd(&wnd);
    {
        LogHook temp("t", log);
        temp.AddToWnd(&wnd);
        EXPECT_EQ(2, wnd.GetHookList().GetCount());
    }
    EXPECT_EQ(1, wnd.GetHookList().GetCount());
    SendMessageA(wnd.GetHWND(), WM_USER + 5, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"a", "wnd"}), log);
    wnd.RemoveAllHooks();
    EXPECT_EQ(0, wnd.GetHookList().GetCount());
}

TEST(VmWnd, DestroyInsideDispatchDefersPostNcDestroy)
{
    std::vector<std::string> log;
    Recorder wnd;
    ASSERT_TRUE(CreateOwn(wnd));
    HWND h = wnd.GetHWND();
    LogHook a("a", log), b("b", log);
    a.destroys = WM_USER + 7;
    a.AddToWnd(&wnd);
    b.AddToWnd(&wnd);
    SendMessageA(h, WM_USER + 7, 0, 0);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(1, wnd.postNcDestroy);
    EXPECT_EQ(0, wnd.nestingAtPost);   // ran after the outer dispatch, not inside it
    EXPECT_EQ(NULL, wnd.GetHWND());
}

namespace {
UINT g_cbMsg;
std::vector<MSG_CALLBACK_DATA> g_seen;
int g_mode;   // 1: handle before, 2: change before, 3: handle after

LRESULT CALLBACK TargetProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == g_cbMsg && g_cbMsg) {
        EXPECT_EQ(77u, wp);   // the cookie
        MSG_CALLBACK_DATA* d = reinterpret_cast<MSG_CALLBACK_DATA*>(lp);
        g_seen.push_back(*d);
        if (g_mode == 1 && d->phase == 0) {
            d->handled = 1;
            return 99;
        }
        if (g_mode == 2 && d->phase == 0) {
            d->changed = 1;
            d->message = WM_USER + 50;
        }
        if (g_mode == 3 && d->phase == 1) {
            d->handled = 1;
            return 123;
        }
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

BOOL NotifyCb(LPARAM cookie, NMHDR* header, LRESULT* result)
{
    if (cookie != 5 || header->code != 1234)
        return FALSE;
    *result = 555;
    return TRUE;
}
}  // namespace

TEST(VmWndEx, MessageCallbacksBeforeAndAfter)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "UiTestTarget";
    RegisterClassA(&wc);
    HWND target = CreateWindowExA(0, "UiTestTarget", "", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(target);
    g_cbMsg = RegisterWindowMessageA("UiTestCallbackMsg");

    Plain p;
    // The foreign window keeps its user-data word: the subclass lives in a property.
    SetWindowLongPtrA(p.wnd, GWLP_USERDATA, 0x55);
    VmWndEx ex;
    ASSERT_TRUE(ex.SubclassEx(p.wnd));
    EXPECT_FALSE(ex.SubclassEx(p.wnd));
    EXPECT_EQ(0x55, GetWindowLongPtrA(p.wnd, GWLP_USERDATA));
    EXPECT_EQ(&ex, VmWndEx::GetWndEx(p.wnd));

    MSG_CALLBACK_ITEM table[] = {{WM_USER + 20, MsgCallbackBefore | MsgCallbackAfter},
                                 {WM_USER + 21, MsgCallbackBefore},
                                 {0, 0},
                                 {WM_USER + 22, MsgCallbackBefore}};   // after the end mark
    ASSERT_TRUE(ex.SetMsgCallback(target, g_cbMsg, table, 4, 77));

    g_mode = 1;
    g_seen.clear();
    EXPECT_EQ(99, SendMessageA(p.wnd, WM_USER + 20, 3, 4));
    ASSERT_EQ(1u, g_seen.size());   // handled before: no after phase
    EXPECT_EQ(WM_USER + 20u, g_seen[0].message);
    EXPECT_EQ(3u, g_seen[0].wParam);
    EXPECT_EQ(4, g_seen[0].lParam);

    // Changed before: the window handles the altered message (its own answer is 7).
    g_mode = 2;
    g_seen.clear();
    EXPECT_EQ(7, SendMessageA(p.wnd, WM_USER + 21, 0, 0));
    EXPECT_EQ(1u, g_seen.size());

    // After: the receiver's answer replaces the window's.
    g_mode = 3;
    g_seen.clear();
    EXPECT_EQ(123, SendMessageA(p.wnd, WM_USER + 20, 0, 0));
    ASSERT_EQ(2u, g_seen.size());
    EXPECT_EQ(0u, g_seen[0].phase);
    EXPECT_EQ(1u, g_seen[1].phase);

    // Not listed (or listed after the end mark): not reported.
    g_seen.clear();
    SendMessageA(p.wnd, WM_USER + 22, 0, 0);
    EXPECT_TRUE(g_seen.empty());

    // Notifications go to the notification callback.
    ex.SetNotifyCallback(NotifyCb, 5);
    NMHDR hdr = {p.wnd, 1, 1234};
    EXPECT_EQ(555, SendMessageA(p.wnd, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&hdr)));
    hdr.code = 1;
    EXPECT_EQ(0, SendMessageA(p.wnd, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&hdr)));

    // Destroying the window removes the subclass.
    DestroyWindow(p.wnd);
    EXPECT_EQ(NULL, ex.GetHWND());
    EXPECT_EQ(nullptr, VmWndEx::GetWndEx(p.wnd));
    DestroyWindow(target);

    EXPECT_FALSE(ex.SubclassEx(NULL));
    EXPECT_TRUE(ex.SetMsgCallback(NULL, 0, nullptr, 0, 0));   // switched off
}

TEST(VmWndEx, UnsubclassRestoresTheProcedure)
{
    Plain p;
    LONG_PTR proc = GetWindowLongPtrA(p.wnd, GWLP_WNDPROC);
    {
        VmWndEx ex;
        ASSERT_TRUE(ex.SubclassEx(p.wnd));
        EXPECT_TRUE(ex.UnsubclassEx());
        EXPECT_FALSE(ex.UnsubclassEx());
        EXPECT_EQ(proc, GetWindowLongPtrA(p.wnd, GWLP_WNDPROC));
        ASSERT_TRUE(ex.SubclassEx(p.wnd));
    }   // the destructor leaves the window as it found it
    EXPECT_EQ(proc, GetWindowLongPtrA(p.wnd, GWLP_WNDPROC));
    EXPECT_EQ(7, SendMessageA(p.wnd, WM_USER + 50, 0, 0));
}

TEST(VmWndEx, DestroyedWindowsLeaveNothingBehind)
{
    // The library remembers its windows itself; a destroyed window must not be found again,
    // also when the system hands its handle value to a later window.
    VmWndEx ex;
    HWND first = NULL;
    {
        Plain p;
        first = p.wnd;
        ASSERT_TRUE(ex.SubclassEx(p.wnd));
        EXPECT_EQ(&ex, VmWndEx::GetWndEx(p.wnd));
    }   // destroyed while subclassed: the subclass leaves with the window
    EXPECT_TRUE(ex.GetHWND() == NULL);
    EXPECT_TRUE(VmWndEx::GetWndEx(first) == nullptr);
    for (int i = 0; i < 50; ++i) {
        Plain again;
        EXPECT_TRUE(VmWndEx::GetWndEx(again.wnd) == nullptr);
        EXPECT_TRUE(VmWnd::GetWnd(again.wnd) == nullptr);
        EXPECT_EQ(7, SendMessageA(again.wnd, WM_USER + 50, 0, 0));
    }
    // The same object may subclass a new window afterwards.
    Plain next;
    ASSERT_TRUE(ex.SubclassEx(next.wnd));
    EXPECT_TRUE(ex.UnsubclassEx());
}

namespace {
WNDPROC g_below;
LRESULT CALLBACK ForwardingProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return CallWindowProcA(g_below, wnd, msg, wp, lp);
}
}  // namespace

TEST(VmWnd, ObjectGoneFirstStillForwardsUntilTheWindowDies)
{
    // A later subclass keeps ours in the chain after our object is gone; the window still gets
    // its own answers, and its destruction clears what the library kept for it.
    Plain p;
    {
        VmWndEx ex;
        ASSERT_TRUE(ex.SubclassEx(p.wnd));
        // Somebody else subclasses on top: ours cannot be taken out of the chain.
        g_below = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(p.wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForwardingProc)));
    }
    EXPECT_TRUE(VmWndEx::GetWndEx(p.wnd) == nullptr);
    EXPECT_EQ(7, SendMessageA(p.wnd, WM_USER + 50, 0, 0));
    HWND old = p.wnd;
    DestroyWindow(p.wnd);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_TRUE(VmWndEx::GetWndEx(old) == nullptr);
}

namespace {
// A Unicode window as the shell's view is one: it reads its children's notifications in
// Unicode and keeps its text as given.
LRESULT CALLBACK WideProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_USER + 51)
        return IsWindowUnicode(wnd) ? 1 : 2;
    return DefWindowProcW(wnd, msg, wp, lp);
}
}  // namespace

TEST(VmWndEx, AUnicodeWindowStaysUnicode)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WideProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = L"UiTestWide";
    RegisterClassW(&wc);
    HWND wnd = CreateWindowExW(0, L"UiTestWide", L"", WS_OVERLAPPED, 0, 0, 100, 80, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(wnd != NULL);
    LONG_PTR proc = GetWindowLongPtrW(wnd, GWLP_WNDPROC);
    {
        VmWndEx ex;
        ASSERT_TRUE(ex.SubclassEx(wnd));
        EXPECT_TRUE(ex.IsUnicode());
        EXPECT_TRUE(IsWindowUnicode(wnd));
        // A control asking how to notify its parent hears Unicode.
        EXPECT_EQ(NFR_UNICODE, SendMessageW(wnd, WM_NOTIFYFORMAT, 0, NF_QUERY));
        // Text that has no ANSI form passes through the subclass unharmed.
        const WCHAR text[] = {0x263A, L'x', 0x4E2D, 0};
        SetWindowTextW(wnd, text);
        WCHAR back[8] = {};
        GetWindowTextW(wnd, back, 8);
        EXPECT_STREQ(text, back);
        EXPECT_EQ(1, SendMessageW(wnd, WM_USER + 51, 0, 0));
        // Callbacks still see the messages.
        NMHDR hdr = {wnd, 1, 1234};
        ex.SetNotifyCallback(NotifyCb, 5);
        EXPECT_EQ(555, SendMessageW(wnd, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&hdr)));
        EXPECT_TRUE(ex.UnsubclassEx());
        EXPECT_EQ(proc, GetWindowLongPtrW(wnd, GWLP_WNDPROC));
        EXPECT_TRUE(IsWindowUnicode(wnd));
        // An ANSI window is subclassed the ANSI way, as before.
        Plain p;
        ASSERT_TRUE(ex.SubclassEx(p.wnd));
        EXPECT_FALSE(ex.IsUnicode());
        EXPECT_FALSE(IsWindowUnicode(p.wnd));
        EXPECT_EQ(7, SendMessageA(p.wnd, WM_USER + 50, 0, 0));
    }
    DestroyWindow(wnd);
}
