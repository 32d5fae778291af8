// Resource identifiers of panorel32.dll. Never renumber: callers and stored files use them.
#pragma once

// Strings 100-199: registry and application information
#define IDS_LIB_OPTS_EXPORTED        100
#define IDS_LIB_OPTS_EXPORT_FAILED   101
#define IDS_LIB_OPTS_IMPORTED        102
#define IDS_LIB_OPTS_IMPORT_FAILED   103
#define IDS_LIB_OPTS_WRONG_FORMAT    104
#define IDS_LIB_REGISTER_FAILED      105
#define IDS_LIB_FORMER_SETTINGS      106

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

// Strings 21901-21909: the XML parser's messages (XmlTree::Err...)
#define IDS_LIB_XML_ERROR            21901

// The product's own icon and name, and the notification-area icon's menu
#define IDS_LIB_PRODUCT_NAME         2
#define IDI_LIB_PRODUCT              102
#define IDS_LIB_TRAY_OPEN            4900
#define IDS_LIB_TRAY_EXIT            4901

// Icons 21400-21499
#define IDI_LIB_PROGRESS             21402

// Strings 2003-2099: the file-operation engine and its dialogs
#define IDS_LIB_FILEOP_NOTHING       2003
#define IDS_LIB_FILEOP_SUBFOLDER     2004
#define IDS_LIB_FILEOP_SELF          2005
#define IDS_LIB_FILEOP_NOMEMORY      2006
#define IDS_LIB_FILEOP_ROOT          2033
#define IDS_LIB_FILEOP_COPYING       2060
#define IDS_LIB_FILEOP_MOVING        2061
#define IDS_LIB_FILEOP_RENAMING      2062
#define IDS_LIB_FILEOP_DELETING      2063
#define IDS_LIB_FILEOP_ITEM_OF       2064    // progress line: item %d of %d
#define IDS_LIB_FILEOP_TO            2065    // progress line: the target
#define IDS_LIB_FILEOP_NAME          2300    // an object skipped: its path cannot be handed on exactly

// Dialog 755: system information
#define IDD_LIB_SYSINFO              755
#define IDC_LIB_SYSINFO_TEXT         7550
#define IDI_LIB_SYSINFO              21401
