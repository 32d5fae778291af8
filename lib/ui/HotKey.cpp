#include "HotKey.h"
#include "MsgUtil.h"
#include "PrevInstance.h"
#include "../LibRes.h"
#include "../Product.h"
#include "../registry/AppInfo.h"
#include "../registry/RegUtil.h"
#include "../util/PathUtil.h"
#include <commctrl.h>
#include <stdio.h>

static const char kHotKeyName[] = "PANOREL_HOTKEY_QV";
static const UINT WM_HOOKED_WIN_E = WM_APP + 30;   // from the hook: 1 lets the key pass on
static const int kChooserCode = 113;                // answers the maker-wide message 121

void MyHotKeyOpts::Reset()
{
    value = 0;
    hotKey = 0;
}

void MyHotKeyOpts::OnLoad(RegKey& key)
{
    hotKey = key.GetDword("HotKey", hotKey);
}

void MyHotKeyOpts::OnStore(RegKey& key)
{
    key.PutDword("HotKey", hotKey);
}

// "RunDll32.exe <short library path>,<entry>"; false when the library path is unknown.
static bool MakeRunDll32Command(const char* entry, char* params, int size, char* command, int csize)
{
    char lib[MAX_PATH], shortLib[MAX_PATH];
    DWORD n = GetModuleFileNameA(GetLibModule(), lib, sizeof(lib));
    if (!n || n >= sizeof(lib))
        return false;
    DWORD s = GetShortPathNameA(lib, shortLib, sizeof(shortLib));
    if (!s || s >= sizeof(shortLib))
        lstrcpynA(shortLib, lib, sizeof(shortLib));
    if (snprintf(params, size, "%s,%s", shortLib, entry) >= size)
        return false;
    return snprintf(command, csize, "%s %s", "RunDll32.exe", params) < csize;
}

bool AutoRunDll32(const char* name, bool add, bool perUser, const char* entry)
{
    if (!name || !entry)
        return false;
    char runPath[MAX_PATH];
    snprintf(runPath, sizeof(runPath), "%s\\Run", perUser ? sz_HKCU_WinCurVer : sz_HKLM_WinCurVer);
    RegKey run(runPath, add ? RegKey::OpUpdate : RegKey::OpRemove);
    if (!add)
        return !run.IsOpen() || run.DelValue(name);
    char params[2 * MAX_PATH], command[2 * MAX_PATH + 16];
    if (!run.IsOpen() || !MakeRunDll32Command(entry, params, sizeof(params), command, sizeof(command)))
        return false;
    return run.PutStr(name, command);
}

bool ShutDownHotKeyMonitor()
{
    bool found = false;
    HWND wnd = NULL;
    while ((wnd = FindWindowExA(NULL, wnd, HOTKEY_MONITOR_CLASS, NULL)) != NULL) {
        DWORD thread = GetWindowThreadProcessId(wnd, NULL);
        found = PostThreadMessageA(thread, WM_QUIT, 0, 0) || found;
    }
    return found;
}

bool ProcessHotKey(bool on)
{
    ShutDownHotKeyMonitor();
    AutoRunDll32(kHotKeyName, false, true, "ManageHotKey");
    if (!on)
        return true;
    if (!AutoRunDll32(kHotKeyName, true, true, "ManageHotKey"))
        return false;
    char params[2 * MAX_PATH], command[2 * MAX_PATH + 16];
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    bool started = MakeRunDll32Command("ManageHotKey", params, sizeof(params), command,
                                       sizeof(command)) &&
                   CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi);
    if (!started) {
        AutoRunDll32(kHotKeyName, false, true, "ManageHotKey");
        return false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

namespace {

// State of the monitor process (one per process).
struct Monitor {
    HWND wnd = NULL;
    HHOOK hook = NULL;
    ATOM atom = 0;
    bool ask = false;
    bool chooserOpen = false;
};
Monitor g_monitor;

LRESULT CALLBACK GetMessageHook(int code, WPARAM wp, LPARAM lp)
{
    // Runs in every process that reads a message: only Windows+E is looked at.
    if (code == HC_ACTION && wp == PM_REMOVE) {
        MSG* msg = reinterpret_cast<MSG*>(lp);
        if (msg->message == WM_HOTKEY && HIWORD(msg->lParam) == 'E' &&
            LOWORD(msg->lParam) == MOD_WIN) {
            HWND monitor = FindWindowA(HOTKEY_MONITOR_CLASS, NULL);
            DWORD_PTR pass = 1;
            if (monitor && SendMessageTimeoutA(monitor, WM_HOOKED_WIN_E, 0, 0, SMTO_NORMAL,
                                               120000, &pass) && !pass)
                msg->message = WM_NULL;   // swallowed
        }
    }
    return CallNextHookEx(NULL, code, wp, lp);
}

void StartProgram()
{
    if (ActivatePreviousInstance(4))
        return;
    char home[MAX_PATH], exe[MAX_PATH];
    if (!GetHomeDir(home) || !MakePath(exe, home, "panorel.exe"))
        return;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    char command[MAX_PATH + 2];
    snprintf(command, sizeof(command), "\"%s\"", exe);
    if (CreateProcessA(exe, command, NULL, NULL, FALSE, 0, NULL, home, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

INT_PTR CALLBACK ChooserProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == GetMyCompanyMsg() && msg) {
        // ActivatePrevDlg finds an open chooser by this answer.
        SetWindowLongPtrA(dlg, DWLP_MSGRESULT, wp == 121 && lp == kChooserCode ? 1 : 0);
        return TRUE;
    }
    switch (msg) {
    case WM_INITDIALOG:
        CheckRadioButton(dlg, IDC_LIB_RUN_PRODUCT, IDC_LIB_RUN_EXPLORER, IDC_LIB_RUN_PRODUCT);
        SetForegroundWindow(dlg);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            EndDialog(dlg, IsDlgButtonChecked(dlg, IDC_LIB_RUN_EXPLORER) ? IDC_LIB_RUN_EXPLORER
                                                                           : IDC_LIB_RUN_PRODUCT);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// What to do with a hot key: true lets the key message pass on to Windows.
bool OnHotKey(bool ask)
{
    if (!ask) {
        StartProgram();
        return false;
    }
    if (g_monitor.chooserOpen) {
        ActivatePrevDlg(kChooserCode);
        return false;
    }
    g_monitor.chooserOpen = true;
    INT_PTR choice = DialogBoxParamA(GetLibModule(), MAKEINTRESOURCEA(IDD_LIB_HOTKEY_CHOOSER),
                                     NULL, ChooserProc, 0);
    g_monitor.chooserOpen = false;
    if (choice == IDC_LIB_RUN_PRODUCT) {
        StartProgram();
        return false;
    }
    return choice == IDC_LIB_RUN_EXPLORER;
}

void RemoveHotKey()
{
    if (g_monitor.atom) {
        UnregisterHotKey(g_monitor.wnd, g_monitor.atom);
        GlobalDeleteAtom(g_monitor.atom);
        g_monitor.atom = 0;
    }
}

void RemoveHook()
{
    if (g_monitor.hook) {
        UnhookWindowsHookEx(g_monitor.hook);
        g_monitor.hook = NULL;
    }
}

void ApplySettings()
{
    MyHotKeyOpts opts;
    opts.Load();
    if (opts.IsOn(MyHotKeyOpts::HK_OWN_KEY)) {
        RemoveHook();
        if (!GlobalFindAtomA(kHotKeyName)) {
            g_monitor.atom = GlobalAddAtomA(kHotKeyName);
            WORD flags = HIWORD(opts.hotKey);
            UINT mods = ((flags & HOTKEYF_SHIFT) ? MOD_SHIFT : 0) |
                        ((flags & HOTKEYF_CONTROL) ? MOD_CONTROL : 0) |
                        ((flags & HOTKEYF_ALT) ? MOD_ALT : 0) | ((flags & HOTKEYF_EXT) ? MOD_WIN : 0);
            if (g_monitor.atom)
                RegisterHotKey(g_monitor.wnd, g_monitor.atom, mods, LOWORD(opts.hotKey));
        }
    } else {
        RemoveHotKey();
        g_monitor.ask = opts.IsOn(MyHotKeyOpts::HK_ASK);
        if (!g_monitor.hook)
            g_monitor.hook = SetWindowsHookExA(WH_GETMESSAGE, GetMessageHook, GetLibModule(), 0);
    }
}

LRESULT CALLBACK MonitorProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == GetMyCompanyMsg() && msg) {
        if (wp == 1 && lp == GetProductInfo().code)
            PostQuitMessage(0);
        else if (wp == 30)
            ApplySettings();
        return 0;
    }
    switch (msg) {
    case WM_HOTKEY:
        if (g_monitor.atom && wp == g_monitor.atom)
            OnHotKey(false);
        return 0;
    case WM_HOOKED_WIN_E:
        return OnHotKey(g_monitor.ask) ? 1 : 0;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_ENDSESSION:
        if (wp)
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

void RunMonitor()
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    const ProductInfo& product = GetProductInfo();
    // The monitor's own application information gives the settings' root key.
    AppInfo info(GetLibModule(), product.name, product.name, product.name3, product.helpFile,
                 0x300000, 0);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MonitorProc;
    wc.hInstance = GetLibModule();
    wc.lpszClassName = HOTKEY_MONITOR_CLASS;
    RegisterClassA(&wc);
    // A top-level window that is never shown: found by class, reached by broadcasts.
    g_monitor.wnd = CreateWindowExA(WS_EX_TOOLWINDOW, HOTKEY_MONITOR_CLASS, product.name, WS_POPUP,
                                    0, 0, 0, 0, NULL, NULL, GetLibModule(), NULL);
    if (!g_monitor.wnd)
        return;
    ApplySettings();
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    RemoveHotKey();
    RemoveHook();
    DestroyWindow(g_monitor.wnd);
    g_monitor.wnd = NULL;
}
}  // namespace

void CALLBACK ManageHotKey(HWND, HINSTANCE, LPSTR, int)
{
    try {
        RunMonitor();
    } catch (...) {
        // RunDll32 must never see an exception of ours.
    }
}

void CALLBACK ManageHotKeyA(HWND wnd, HINSTANCE inst, LPSTR cmd, int show)
{
    ManageHotKey(wnd, inst, cmd, show);
}
