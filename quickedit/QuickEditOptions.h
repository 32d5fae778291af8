// The "Options for Internal Quick Editor" dialog: the fonts, the default type of new texts
// and the Esc key.
#pragma once
#include <windows.h>

void QuickEditOptions(HWND owner);
