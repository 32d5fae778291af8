// The global hot key that starts the program: its settings, the Run entry that starts the
// monitor at log-on, and the monitor itself (a RunDll32 entry point of the library).
#pragma once
#include "../Panorel32.h"
#include "../registry/BoolOpts.h"

// "HotKeyOpts": bit 0 make a hot key; bit 1 use "HotKey" (else Windows+E); bit 2 with
// Windows+E ask whether to start the program or Windows Explorer. "HotKey": virtual key in the
// low word, HOTKEYF_ modifier flags in the high word.
class PANOREL32_API MyHotKeyOpts : public BoolOpts {
public:
    enum { HK_ON = 1, HK_OWN_KEY = 2, HK_ASK = 4 };
    MyHotKeyOpts() : BoolOpts("HotKeyOpts") {}
    void Reset() override;
    void OnLoad(RegKey& key) override;
    void OnStore(RegKey& key) override;
    DWORD hotKey = 0;
};

// Writes (add) or removes the Run value `name` whose data starts RunDll32 on the library's
// entry point: "RunDll32.exe <short library path>,<entry>".
PANOREL32_API bool AutoRunDll32(const char* name, bool add, bool perUser, const char* entry);
// Ends this user's monitor if one runs, rewrites the Run value and, when on, starts the monitor.
PANOREL32_API bool ProcessHotKey(bool on);
// Asks a running monitor to quit; true when one was found.
PANOREL32_API bool ShutDownHotKeyMonitor();

// RunDll32 entry points: run the monitor until it is told to end.
PANOREL32_ENTRY void CALLBACK ManageHotKey(HWND, HINSTANCE, LPSTR, int);
PANOREL32_ENTRY void CALLBACK ManageHotKeyA(HWND, HINSTANCE, LPSTR, int);

// The monitor's hidden window class, for finding a running monitor.
#define HOTKEY_MONITOR_CLASS "PanorelHotKeyMonitor"
