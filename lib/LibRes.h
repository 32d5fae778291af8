// Resource identifiers of panorel32.dll. Never renumber: callers and stored files use them.
#pragma once

// Strings 100-199: registry and application information
#define IDS_LIB_REGISTER_FAILED      105

// Strings 20000-20099: dialogs and windows
#define IDS_LIB_ABOUT                20022

// Dialogs 106-199
#define IDD_LIB_HOTKEY_CHOOSER       106
#define IDC_LIB_RUN_PRODUCT          1004
#define IDC_LIB_RUN_EXPLORER         1005
#define IDC_LIB_CHOOSER_GROUP        1006
