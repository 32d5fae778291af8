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

// Commands of the menus, keys and toolbars
#define ID_FOLDER_SELECTED           38101
#define ID_FOLDER_PARENT             38102
#define ID_FOLDER_ROOT               38103
#define ID_FOLDER_DESKTOP            38104
#define ID_FOLDER_MATCH              38105
#define ID_FOLDER_PREVIOUS           38106
#define ID_FOLDER_NEXT               38107
#define ID_FOLDER_HISTORY            38108
#define ID_FOLDER_TREE               38109
#define ID_VIEW_FULLSCREEN           38401
#define ID_VIEW_TOOLBAR              38402
#define ID_VIEW_STATUSBAR            38406
#define ID_VIEW_REFRESH_ALL          38415
#define ID_VIEW_MAXIMIZE_RESTORE     38416
#define ID_VIEW_ICONIZE              38417
#define ID_PANEL_NEXT                38501
#define ID_PANEL_TITLEBAR            38502
#define ID_PANEL_TOOLBAR             38503
#define ID_PANEL_STATUSBAR           38504
#define ID_PANEL_MAXIMIZE            38506
#define ID_PANEL_SPLIT_HORZ          38507
#define ID_PANEL_SPLIT_VERT          38508
#define ID_PANEL_SWAP                38509
#define ID_PANEL_REFRESH             38510
#define ID_PANEL_SET_FILTER          38511
#define ID_PANEL_REMOVE_FILTER       38512
#define ID_PANEL_REFRESH_PASSIVE     32809
#define ID_FOLDER_SELECTED_INTERNAL  146

// Bars of the main frame
#define ID_MAIN_TOOLBAR              59392
#define ID_MAIN_STATUSBAR            59393
#define ID_MAIN_DRIVEBAR             59409
#define ID_CMD_COPY                  39401
#define ID_CMD_MOVE                  39402
#define ID_CMD_RENAME                39403
#define ID_CMD_DELETE                39404
