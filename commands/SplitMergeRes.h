// Resource identifiers of Split, Merge, Compare and Synchronize (part of panorel.exe's
// resources). Never renumber: help contexts and stored placements depend on them.
#pragma once

// Dialogs
#define IDD_SPLITMERGE_PATH          156     // "Split/Merge Path"
#define IDD_YESNOTOALL               922
#define IDD_COMPARE                  914
#define IDD_SYNCHRONIZE              915
#define IDD_SYNCH_CONFIRM            916

// Icons
#define IDI_SPLIT                    155
#define IDI_MERGE                    156
#define IDI_COMPARE                  139
#define IDI_SYNCHRONIZE              140

// Split/Merge Path
#define IDC_SMPATH_TEXT1             1201
#define IDC_SMPATH_PATH              1202
#define IDC_SMPATH_BROWSE            1114
#define IDC_SMPATH_TEXT2             1204
// Yes/No to All
#define IDC_YNA_TEXT                 1228
#define IDC_YNA_ICON                 3600
#define IDC_YNA_YESALL               3601
#define IDC_YNA_NOALL                3602

// Compare
#define IDC_CMP_ACTIVE_PATH          1047
#define IDC_CMP_PASSIVE_PATH         1054
#define IDC_CMP_A_UNIQUE             1146
#define IDC_CMP_A_NEWER              1147
#define IDC_CMP_A_SAME               1148
#define IDC_CMP_A_OLDER              1149
#define IDC_CMP_P_UNIQUE             1150
#define IDC_CMP_P_NEWER              1151
#define IDC_CMP_P_SAME               1152
#define IDC_CMP_P_OLDER              1153
#define IDC_CMP_SUBFOLDERS           1139

// Synchronize
#define IDC_SYN_SEL_LABEL            1218
#define IDC_SYN_SELECTION            1297
#define IDC_SYN_ACTIVE_PATH          1047
#define IDC_SYN_PASSIVE_PATH         1054
#define IDC_SYN_COPY_NEWER           1150
#define IDC_SYN_DELETE_ORPHANS       1305
#define IDC_SYN_SUBFOLDERS           1139
#define IDC_SYN_DELETE_SUB_ORPHANS   1152
#define IDC_SYN_SKIP_ALWAYS          1295
#define IDC_SYN_SKIP_ONCE            1306
// Confirm Synchronize
#define IDC_SYC_PATH                 1161
#define IDC_SYC_DELETE_LABEL         1157
#define IDC_SYC_DELETE_LIST          1155
#define IDC_SYC_REPLACE_LABEL        1156
#define IDC_SYC_REPLACE_LIST         1153
#define IDC_SYC_CREATE_LABEL         1158
#define IDC_SYC_CREATE_LIST          1159
#define IDC_SYC_CONFIRM              1160

// Size menu of the segment-size button
#define ID_SEGSIZE_FLOPPY            2
#define ID_SEGSIZE_HALF              11      // 11..19: 1/2 .. 1/10 of the file
#define ID_SEGSIZE_TENTH             19

// Strings with the system's numbers
#define IDS_SYNCH_COMPLETE           2002
#define IDS_FILTER_WARNING           2013
#define IDS_SYNCH_CONFLICT           2014
#define IDS_NO_DIFFERENCES           2018
#define IDS_SPLIT_NO_ROOM            2019
#define IDS_SPLIT_NO_ROOM_HINT       2020
#define IDS_MERGE_SEGMENT            2021
#define IDS_MERGE_SEGMENT_HINT       2022
#define IDS_SM_CANNOT_DELETE         2024
#define IDS_SPLIT_CANNOT_OPEN        2025
#define IDS_SPLIT_CANNOT_WRITE       2026
#define IDS_SM_OVERWRITE             2027
#define IDS_MERGE_CANNOT_WRITE       2028
#define IDS_SPLIT_DELETE_SOURCE      2030
#define IDS_MERGE_DELETE_SEGMENT     2031
// Strings of our own
#define IDS_SYNCH_FAILED             5200
// Strings 3600-3799
#define IDS_SEG_CANNOT_SPLIT         3600
#define IDS_SEG_COUNT                3601
#define IDS_SEG_PLURAL               3602
#define IDS_SEG_LAST                 3603
#define IDS_SM_CANNOT_FOLDER         3604
#define IDS_SM_SEGMENTS_OF           3605
#define IDS_SM_SPLITTING             3606
#define IDS_SM_MERGING               3607
#define IDS_SM_SOURCE                3608
#define IDS_SM_TARGET                3609
#define IDS_SM_UNSAFE_NAME           3610
#define IDS_SM_TARGET_IS_SEGMENT     3611
#define IDS_SM_FLOPPY                3612
#define IDS_SM_FRACTION              3613    // "1/%d file size"
#define IDS_SM_FINISH                3614
#define IDS_CMP_COMPARING            3615
#define IDS_SYN_NOTHING_SELECTED     3616
#define IDS_SYN_TITLE                3617
#define IDS_SYN_PREPARING            3618
