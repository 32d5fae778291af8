// The platform's open and save file dialogs behind one call.
#pragma once
#include "../Panorel32.h"

// Shows the open (open = true) or save dialog. path holds the suggested file on the way in
// (folder and name, a name of "*" only sets the folder) and the chosen file on the way out;
// size is its buffer's size. filter: "Text|pattern|Text|pattern", the first pattern's
// extension is the default one. False on Cancel or when the dialog cannot be shown.
PANOREL32_API bool BrowseForFile(HWND owner, bool open, const char* title, const char* filter,
                                 char* path, int size);
