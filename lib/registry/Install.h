// The installer's entry points: whether the product may be removed or reinstalled (running
// instances are asked to close first), and the set-up after an install.
#pragma once
#include "../Panorel32.h"

// 1: the uninstall may go on (the folder command is gone, the settings are removed); 0: not.
PANOREL32_ENTRY int CanUninstall(HWND owner);
// Closes running instances; always 1.
PANOREL32_ENTRY int CanReinstall(HWND owner);
// Offers the previous release's settings on a first install; always 1.
PANOREL32_ENTRY int PostInstall(HWND owner);

// Asks every running instance to exit and stops the hot-key monitor, then gives them 3 s.
PANOREL32_API void CloseRunningInstances(DWORD waitMs = 3000);
