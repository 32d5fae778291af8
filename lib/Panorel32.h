// Common definitions of the class library panorel32.
#pragma once

#include <windows.h>

#ifdef PANOREL32_BUILD
#define PANOREL32_API __declspec(dllexport)
#else
#define PANOREL32_API __declspec(dllimport)
#endif

// Plain entry points (RunDll32, installers) keep undecorated names.
#define PANOREL32_ENTRY extern "C" PANOREL32_API

// The library's own module handle (its resources, its file name).
PANOREL32_API HINSTANCE GetLibModule();
