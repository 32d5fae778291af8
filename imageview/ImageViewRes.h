// Resource identifiers of Image Preview.
#pragma once

#define IDD_IMAGEVIEW            3900
#define IDD_IMAGEVIEW_OPTIONS    3901
#define IDI_IMAGEVIEW            150
#define IDB_IMAGEVIEW_TOOLBAR    151
#define IDR_IMAGEVIEW_ACCEL      160

#define IDC_IV_TOOLBAR           3910
#define IDC_IV_PICTURE           3911
#define IDC_IV_STATUS            3912
#define IDC_IV_FULLSCREEN_START  3913
#define IDC_IV_NORMAL_ON_STOP    3914
#define IDC_IV_DELAY             3915
#define IDC_IV_DELAY_SPIN        3916

#define ID_IV_RUN                37201
#define ID_IV_PAUSE              37202
#define ID_IV_PREVIOUS           37203
#define ID_IV_NEXT               37204
#define ID_IV_STOP               37205
#define ID_IV_FULLSCREEN         37206
#define ID_IV_OPTIONS            37207
#define ID_IV_HELP               37208
#define ID_IV_FIRST              37286
#define ID_IV_LAST               37287
#define ID_IV_STEP_BACK          37288
#define ID_IV_STEP_FORWARD       37289
#define ID_IV_DRAW               37292

#define IDS_IV_MENU_RUN          37220
#define IDS_IV_MENU_PAUSE        37221
#define IDS_IV_MENU_PREVIOUS     37222
#define IDS_IV_MENU_NEXT         37223
#define IDS_IV_MENU_STOP         37224
#define IDS_IV_MENU_NORMAL       37225
#define IDS_IV_MENU_OPTIONS      37226
#define IDS_IV_NO_FILE           37250
#define IDS_IV_MULTIPLE          37251
#define IDS_IV_NO_PREVIEW        37252
#define IDS_IV_TITLE             37253
#define IDS_IV_THE_END           37254
