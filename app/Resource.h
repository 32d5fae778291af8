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

// Status bar indicator panes; each string sizes its pane at first
#define ID_INDICATOR_PROGRESS        130
#define ID_INDICATOR_RAM             131
#define ID_INDICATOR_FREE            132
#define ID_INDICATOR_DATE            133
#define ID_INDICATOR_TIME            134
#define ID_INDICATOR_SIZE            135
#define ID_INDICATOR_NUMOBJ          136
#define ID_INDICATOR_CAPS            59137
#define ID_INDICATOR_NUM             59138
#define ID_INDICATOR_SCRL            59139
#define IDC_STATUS_PROGRESS          1009

// The Indicators dialog: check boxes of the indicator panes
#define IDD_INDICATORS               912
#define IDC_IND_PROGRESS             1096
#define IDC_IND_KEYS                 1097
#define IDC_IND_RAM                  1098
#define IDC_IND_FREE                 1099
#define IDC_IND_DATE                 1100
#define IDC_IND_TIME                 1101
#define IDC_IND_SIZE                 1272
#define IDC_IND_NUMOBJ               1273
#define IDS_STATUS_MENU_INDICATORS   4701
#define ID_STATUS_TIMER              4096
#define ID_CMD_COPY                  39401
#define ID_CMD_MOVE                  39402
#define ID_CMD_RENAME                39403
#define ID_CMD_DELETE                39404

// Menu and accelerator tables of the command table
#define IDR_MAIN_MENU                201
#define IDR_ACCEL_PROMPT             102
#define IDR_ACCEL_F1_ONLY            103
#define IDR_ACCEL_ALT_FKEYS          141

// The introductory screens: dialog 930, pages in strings 501 to 598
#define IDD_WELCOME                  930
#define IDC_WELCOME_TEXT             1001
#define IDC_WELCOME_PREV             1002
#define IDC_WELCOME_NEXT             1003
#define IDC_WELCOME_CODE             1004
#define IDS_WELCOME_FIRST            501
#define IDS_WELCOME_LAST             598
#define IDS_FOLDER_OPTIONS_OLD       2037

// The Tip of the Day: dialog 910
#define IDD_TIP                      910
#define IDC_TIP_NEXT                 1002
#define IDC_TIP_STARTUP              1003
#define IDC_TIP_TEXT                 1004
#define IDC_TIP_HEADING              1191
#define IDC_TIP_ICON                 1193
#define IDS_TIP_MISSING_FILE         39043
#define IDS_TIP_CORRUPT_FILE         39044
#define IDS_NOT_AVAILABLE            2090

// Commands of the menus and keys (the rest of the vocabulary)
#define ID_FOLDER_GOTO               38110
#define ID_FOLDER_DRIVE              38111
#define ID_FOLDER_NETWORK            38112
#define ID_FOLDER_FAVORITES          38113
#define ID_FOLDER_JUMP               38114
#define ID_CMD_SPLIT                 39405
#define ID_CMD_MERGE                 39406
#define ID_CMD_STAMP                 39407
#define ID_CMD_COMPARE               38214
#define ID_CMD_SYNCHRONIZE           38215
#define ID_CMD_LIST                  38216
#define ID_CLIP_NAME                 38210
#define ID_CLIP_PATH                 38211
#define ID_CLIP_NAME_ALIAS           38212
#define ID_CLIP_PATH_ALIAS           38213
#define ID_CLIP_TIME_SHORT_CREATED   38252
#define ID_CLIP_TIME_SHORT_ACCESSED  38253
#define ID_CLIP_TIME_SHORT_MODIFIED  38254
#define ID_CLIP_TIME_LONG_CREATED    38255
#define ID_CLIP_TIME_LONG_MODIFIED   38256
#define ID_CLIP_TIME_LONG_ACCESSED   38257
#define ID_CLIP_COLUMN_FIRST         39300
#define ID_CLIP_COLUMN_LAST          39399
#define ID_CMD_SELECT                38205
#define ID_CMD_DESELECT_ALL          38206
#define ID_CMD_SELECT_ALL            38207
#define ID_CMD_INVERT_SELECTION      32930
#define ID_PROMPT_SWITCH_TO          38301
#define ID_PROMPT_EXECUTE            32801
#define ID_PROMPT_EXECUTE_ENTER      38302
#define ID_PROMPT_CLEAR              38303
#define ID_PROMPT_UNDO_INSERT        38304
#define ID_PROMPT_INSERT_NAME        39051
#define ID_PROMPT_INSERT_PATH        39052
#define ID_PROMPT_INSERT_NAME_ALIAS  39053
#define ID_PROMPT_INSERT_PATH_ALIAS  39054
#define ID_PROMPT_COMMAND            32806
#define ID_VIEW_TOOLBAR_CUSTOMIZE    38403
#define ID_VIEW_DRIVEBAR             38404
#define ID_VIEW_DRIVEBAR_RESET       38405
#define ID_VIEW_STATUSBAR_INDICATORS 38407
#define ID_VIEW_FONT_SYSTEM          38408
#define ID_VIEW_FONT_CUSTOM          38409
#define ID_VIEW_TEXTCOLOR_SYSTEM     38410
#define ID_VIEW_TEXTCOLOR_CUSTOM     38411
#define ID_VIEW_BKGCOLOR_SYSTEM      38412
#define ID_VIEW_BKGCOLOR_CUSTOM      38413
#define ID_VIEW_OPTIONS              38414
#define ID_TOOLS_QUICKEDIT           38201
#define ID_TOOLS_QUICK_NEW_FOLDER    38202
#define ID_TOOLS_NEW_FOLDER          38203
#define ID_TOOLS_FIND_FILES          38601
#define ID_TOOLS_IMAGE_PREVIEW       38602
#define ID_TOOLS_QUICKEDIT_ALT       38603
#define ID_TOOLS_IMPORT_SETTINGS     38604
#define ID_TOOLS_EXPORT_SETTINGS     38605
#define ID_TOOLS_MAP_DRIVE           38620
#define ID_TOOLS_DISCONNECT_DRIVE    38621
#define ID_TOOLS_FOLDER_OPTIONS      38622
#define ID_PANEL_DRIVEBAR            32932
#define ID_PANEL_DRIVEBAR_RESET      32933
#define ID_PANEL_CUSTOMIZE_TOOLBAR   38505
#define ID_PANEL_COMMAND             32802
#define ID_PANEL_CHANGE_VIEW         32815
#define ID_HELP_TOPICS               57667
#define ID_HELP_CONTEXT              57669
#define ID_HELP_F1                   57670
#define ID_HELP_WELCOME              32923
#define ID_HELP_TIP                  32804
#define ID_HELP_SYSINFO              38802
#define ID_DRIVE_MENU_PANEL1         32807
#define ID_DRIVE_MENU_PANEL2         32808
#define ID_NET_MENU_PANEL1           32823
#define ID_NET_MENU_PANEL2           32824
#define ID_FAVORITES_ADD             32825
#define ID_FAVORITES_ORGANIZE        32826
#define ID_DRIVE_FIRST               39000
#define ID_DRIVE_LAST                39030
#define ID_DRIVE_ROOT                39061
#define ID_DRIVE_PASSIVE_CURRENT     39062
#define ID_DRIVE_PASSIVE_ROOT        39063
#define ID_MENU_GROUP_1              1
#define ID_MENU_GROUP_2              2
#define ID_MENU_GROUP_3              3
#define ID_MENU_GROUP_4              4
#define ID_MENU_GROUP_5              5
#define ID_MENU_GROUP_FILTER         32897

// Favourites and the folder tree window.
#define ID_FAVORITE_FIRST            39200
#define ID_FAVORITE_LAST             39299
#define IDD_FOLDER_TREE              903
#define IDI_FOLDER_TREE              114
#define IDC_FOLDER_TREE              1041
#define ID_TREE_TOOLBAR              59414
#define ID_TREE_MATCH                32820
#define ID_TREE_AUTOMATCH            32821
#define ID_TREE_HELP                 32822
#define IDC_TREE_AUTO                4010
#define IDS_FAV_NO_ACTIVE_PATH       4001
#define IDS_FAV_NO_FOLDER            4002
#define IDS_FAV_VANISHED             4003
#define IDD_FAV_ORGANIZE             4020
#define IDD_FAV_ITEM                 4021
#define IDC_FAV_LIST                 4030
#define IDC_FAV_NEW                  4031
#define IDC_FAV_MODIFY               4032
#define IDC_FAV_DELETE               4033
#define IDC_FAV_DELETE_ALL           4034
#define IDC_FAV_MOVE                 4035
#define IDC_FAV_LABEL                4040
#define IDC_FAV_ACTIVE               4041
#define IDC_FAV_PASSIVE              4042
#define IDC_FAV_ACTIVE_BROWSE        4043
#define IDC_FAV_ACTIVE_CLEAR         4044
#define IDC_FAV_PASSIVE_BROWSE       4045
#define IDC_FAV_PASSIVE_CLEAR        4046
// Go to, Jump and the command prompt
#define IDD_GOTO                     4300
#define IDC_GOTO_PATH                4301
#define IDC_GOTO_SPECIAL             4302
#define IDC_GOTO_PROMPT              4303
#define IDC_JUMP                     4304
#define IDS_NAME_INEXACT             4310
#define IDS_PATH_TOO_LONG            4311
#define IDS_PATH_INVALID             4312
#define IDS_FOLDER_UNREACHABLE       4313
#define IDS_NOT_A_FOLDER             4314
#define IDS_GOTO_SPECIAL_FIRST       4320   // 35 labels, in the dialog's list order
#define IDS_GOTO_SPECIAL_LAST        4354
