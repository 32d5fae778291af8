// Resource identifiers of the file-operation dialogs (part of panorel.exe's resources).
// Never renumber: help contexts and stored placements depend on them.
#pragma once

// Dialogs
#define IDD_FILEOP                   901     // Copy, Move (Split, Merge)
#define IDD_FILEOP_RENAME            921
#define IDD_FILEOP_DELETE            934

// Icons of the dialogs
#define IDI_FILEOP_COPY              118
#define IDI_FILEOP_MOVE              119
#define IDI_FILEOP_RENAME            120
#define IDI_FILEOP_DELETE            121

// Controls (shared by the dialogs where they mean the same)
#define IDC_FILEOP_SELECTION         1060
#define IDC_FILEOP_SEL_LABEL         1218
#define IDC_FILEOP_FROM_FOLDER       1047
#define IDC_FILEOP_TO_FOLDER         1054
#define IDC_FILEOP_BROWSE            1049
#define IDC_FILEOP_RENAME_TO         1050
#define IDC_FILEOP_FROM_MASK         1046
#define IDC_FILEOP_DELETE_SOURCE     1200
#define IDC_FILEOP_SEG_LABEL         1223
#define IDC_FILEOP_SEG_SIZE          1212
#define IDC_FILEOP_SEG_MORE          1213
#define IDC_FILEOP_SEG_BYTES         1222
#define IDC_FILEOP_SEG_INFO          1224
#define IDC_FILEOP_STAR_FOR_STAR     1294
#define IDC_FILEOP_APPLY_SELECTED    1289
#define IDC_FILEOP_APPLY_ALL         1290
#define IDC_FILEOP_FILES_ONLY        1103
#define IDC_FILEOP_RECYCLE           1301

// Strings 3100-3199
#define IDS_FILEOP_FILE              3100
#define IDS_FILEOP_FOLDER            3101
#define IDS_FILEOP_OBJECTS           3102
#define IDS_FILEOP_BROWSE_TITLE      3103
