// Resource identifiers of Select, New Folder, Filter, Stamp and List (part of panorel.exe's
// resources). Never renumber: help contexts and stored placements depend on them.
#pragma once

// Dialogs
#define IDD_SELECT                   904
#define IDD_NEWFOLDER                911
#define IDD_FILTER                   913
#define IDD_LIST                     919
#define IDD_STAMP                    923

// Icons of the dialogs
#define IDI_SELECT                   123
#define IDI_NEWFOLDER                136
#define IDI_FILTER                   137
#define IDI_LIST                     151
#define IDI_STAMP                    159

// Select
#define IDC_SELECT_MASK              1066
#define IDC_SELECT_FILES             1207
#define IDC_SELECT_FOLDERS           1206
#define IDC_SELECT_DESELECT          1064
#define IDC_SELECT_ALL               1187
#define IDC_SELECT_NONE              1188
#define IDC_SELECT_STATUS            1208

// New Folder
#define IDC_NEWFOLDER_NAME           1086
#define IDC_NEWFOLDER_CURRENT        1085

// Filter
#define IDC_FILTER_INCLUDE           1115
#define IDC_FILTER_EXCLUDE           1116
#define IDC_FILTER_RESET             1119
#define IDC_FILTER_FILES             1126
#define IDC_FILTER_FOLDERS           1123
#define IDC_FILTER_LINKS             1124
#define IDC_FILTER_HIDDEN            1120
#define IDC_FILTER_ANCESTORS         1122
#define IDC_FILTER_VIRT_FOLDERS      1117
#define IDC_FILTER_VIRT_OBJECTS      1118

// Stamp
#define IDC_STAMP_SEL_LABEL          1218
#define IDC_STAMP_SELECTION          1060
#define IDC_STAMP_FOLDER             1047
#define IDC_STAMP_SUBFOLDERS         1236
#define IDC_STAMP_DATE               1229
#define IDC_STAMP_DATE_HINT          1230
#define IDC_STAMP_TIME               1231
#define IDC_STAMP_TIME_HINT          1232
#define IDC_STAMP_CREATED            1233
#define IDC_STAMP_ACCESSED           1234
#define IDC_STAMP_MODIFIED           1235

// List
#define IDC_LIST_SELECTED            1177
#define IDC_LIST_ALL                 1178
#define IDC_LIST_COLUMNS             1307
#define IDC_LIST_HEADER              1174
#define IDC_LIST_DELIMITER           1308
#define IDC_LIST_QUALIFIER           1175
#define IDC_LIST_LIMIT               1183
#define IDC_LIST_LIMIT_NUM           1184
#define IDC_LIST_CLIPBOARD           1179
#define IDC_LIST_FILE                1180
#define IDC_LIST_PREVIEW             1176

// Messages of the program's string table
#define IDS_SELECT_NO_MATCH          2007
#define IDS_STAMP_CANNOT             2023
#define IDS_SELECT_NO_KIND           2029
#define IDS_STAMP_INVALID            2032

// Strings 3400-3599
#define IDS_SELECT_STATUS            3400
#define IDS_SELECT_SELECTED          3401
#define IDS_SELECT_DESELECTED        3402
#define IDS_STAMP_WORD_DATE          3410
#define IDS_STAMP_WORD_MONTH         3411
#define IDS_STAMP_WORD_DAY           3412
#define IDS_STAMP_WORD_TIME          3413
#define IDS_STAMP_WORD_HOUR          3414
#define IDS_STAMP_WORD_MINUTE        3415
#define IDS_STAMP_WORD_SECOND        3416
#define IDS_STAMP_TITLE              3417
#define IDS_STAMP_OBJECT             3418
#define IDS_STAMP_OBJECTS            3419
#define IDS_STAMP_FILE               3420
#define IDS_STAMP_FOLDER             3421
#define IDS_STAMP_NO_KIND            3422
#define IDS_LIST_SAVE_TITLE          3430
#define IDS_PATH_UNSAFE              3440
