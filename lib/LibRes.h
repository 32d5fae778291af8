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

// Dialog 701: progress ("Processing..."), its controls 7026-7030
#define IDD_LIB_PROGRESS             701
#define IDC_LIB_PROGRESS_TEXT0       7026    // text lines 0 to 3: 7026 + line
#define IDC_LIB_PROGRESS_TEXT1       7027
#define IDC_LIB_PROGRESS_TEXT2       7028
#define IDC_LIB_PROGRESS_TEXT3       7029
#define IDC_LIB_PROGRESS_BAR         7030

// Icons 21400-21499
#define IDI_LIB_PROGRESS             21402
