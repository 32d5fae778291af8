// Resource identifiers of panorel.exe. Never renumber: the registry, policies and settings
// files depend on them.
#pragma once

// Menus, icons, accelerators, dialogs
#define IDR_MAINFRAME                100
#define IDD_ABOUTBOX                 142
#define IDC_ABOUT_VERSION            1000

// Strings
#define IDS_ROOTPATH_INVALID         2034
#define IDS_ALTROOTPATH_INVALID      2039
#define IDS_RESTRICTED               32862

// Commands of the framework's standard range
#define ID_APP_ABOUT                 57664
#define ID_APP_EXIT                  57665
#define ID_VIEW_ICONIZE_INTERNAL     59394
#define ID_VIEW_RESTORE_INTERNAL     59395

#define IDS_CONFIRM_EXIT             2009
#define ID_VIEW_CLOSE_FROM_ICON      59396
#define WM_TRAY_NOTIFY               (WM_APP + 1)
