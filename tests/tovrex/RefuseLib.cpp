// A stand-in library whose uninstall check refuses, for tovrex's "no" answer.
#include <windows.h>

extern "C" __declspec(dllexport) int CanUninstall(HWND)
{
    return 0;
}
