// Resource identifiers of the command prompt (part of panorel.exe's resources). Never renumber.
#pragma once

#define IDB_PROMPT_TOOLBAR           108     // five 16 x 16 images: execute, clear, undo, name, path
#define IDC_PROMPT_TOOLBAR           1011
#define IDR_PROMPT_DROP_MENU         5200
// The menu of a drop with the right mouse button.
#define ID_PROMPT_DROP_NAME          2101
#define ID_PROMPT_DROP_PATH          2102
#define ID_PROMPT_DROP_NAME_ALIAS    2103
#define ID_PROMPT_DROP_PATH_ALIAS    2104
#define ID_PROMPT_DROP_CANCEL        2105
