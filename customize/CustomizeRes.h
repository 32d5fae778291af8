// Resource identifiers of the toolbars, the notification-area icon and the settings transfer.
#pragma once

#define IDS_TRANSFER_CLOSE_OTHERS    2035
#define IDS_TRANSFER_IMPORT_CONFIRM  2036
#define IDS_TRANSFER_IMPORT_TITLE    4910
#define IDS_TRANSFER_EXPORT_TITLE    4911
#define IDS_TRANSFER_FILTER          4912
#define IDS_TRANSFER_BAD_PATH        4913
#define IDS_TOOLBAR_CUSTOMIZE_ITEM   4914
