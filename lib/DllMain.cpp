// Entry point of panorel32.dll.
#include "Panorel32.h"
#include "util/StrUtil.h"

static HINSTANCE g_libModule;

HINSTANCE GetLibModule() { return g_libModule; }

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_libModule = module;
        DisableThreadLibraryCalls(module);
        InitMBCS();
    }
    return TRUE;
}
