// The editor's two options dialogs: "Options for Internal Quick Editor" (the fonts, the
// default type of new texts and the Esc key) and "Options for External Quick Editor" (the
// program, its argument template and how it is started).
#pragma once
#include <windows.h>

void QuickEditOptions(HWND owner);
void QuickEditExtOptions(HWND owner);
