// Resource identifiers of Quick Edit.
#pragma once

// Templates: help topics are 0x20000 plus these numbers.
#define IDD_QUICKEDIT            924
#define IDD_QE_EXTOPTS           925
#define IDD_QE_OPTIONS           926
#define IDD_QE_FIND              927

#define IDI_QUICKEDIT            160
#define IDI_QUICKEDIT_SMALL      175
#define IDR_QUICKEDIT_ACCEL      3800
#define IDB_QUICKEDIT_TOOLBAR    3801

// Controls of the editor window.
#define IDC_QE_EDIT              3810
#define IDC_QE_TOOLBAR           3811
#define IDC_QE_STATUS            3812

// Controls of the find dialog.
#define IDC_QE_FIND_WHAT         3820
#define IDC_QE_MATCH_CASE        3821
#define IDC_QE_REPLACE_CHECK     3822
#define IDC_QE_REPLACE_WITH      3823
#define IDC_QE_FIND_NEXT         3824
#define IDC_QE_REPLACE           3825
#define IDC_QE_REPLACE_ALL       3826
#define IDC_QE_FIND_STATUS       3827

// Commands of the editor window.
#define ID_QE_NEW                37101
#define ID_QE_OPEN               37102
#define ID_QE_SAVE               37103
#define ID_QE_SAVE_AS            37104
#define ID_QE_FIND               37107
#define ID_QE_FIND_NEXT          37108
#define ID_QE_CUT                37109
#define ID_QE_COPY               37110
#define ID_QE_PASTE              37111
#define ID_QE_UNDO               37112
#define ID_QE_SELECT_ALL         37113
#define ID_QE_FONT_VAR           37114
#define ID_QE_FONT_FIXED         37115
#define ID_QE_FONT_TOGGLE        37116
#define ID_QE_OPTIONS            37117
#define ID_QE_HELP               37118
#define ID_QE_CLOSE_BY_ESC       37120
#define ID_QE_MAXIMIZE           32921

// Strings.
#define IDS_QE_SAVE_CHANGES      37151
#define IDS_QE_TITLE             37152
#define IDS_QE_UNTITLED          37153
#define IDS_QE_TYPES_NT          37154
#define IDS_QE_TYPES_9X          37155
#define IDS_QE_READONLY          37156
#define IDS_QE_END_OF_FILE       37157
#define IDS_QE_TOO_LARGE         37158
#define IDS_QE_CONFIRM_MANY      2015
#define IDS_QE_CONFIRM_LARGE     2017
#define IDS_QE_FIND_TITLE        3830
#define IDS_QE_REPLACED          3831
#define IDS_QE_SEL               3832
#define IDS_QE_POS               3833
#define IDS_QE_REFUSED           3834

// Controls of the options dialog.
#define IDC_QE_OPT_VARIABLE      3840
#define IDC_QE_OPT_FIXED         3841
#define IDC_QE_OPT_CUSTOM_VAR    3842
#define IDC_QE_OPT_CHOOSE_VAR    3843
#define IDC_QE_OPT_CUSTOM_FIXED  3844
#define IDC_QE_OPT_CHOOSE_FIXED  3845
#define IDC_QE_OPT_DEF_TYPE      3846
#define IDC_QE_OPT_ESC           3847

// Controls of the external editor's options dialog.
#define IDC_QE_EXT_PATH          4650
#define IDC_QE_EXT_BROWSE        4651
#define IDC_QE_EXT_ARGS          4652
#define IDC_QE_EXT_SHORT         4653
#define IDC_QE_EXT_MAXIMIZED     4654
#define IDS_QE_EXT_FILTER        4655
