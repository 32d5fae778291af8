// Resource identifiers of panorel32.dll. Never renumber: callers and stored files use them.
#pragma once

// Strings 100-199: registry and application information
#define IDS_LIB_REGISTER_FAILED      105

// Strings 20000-20099: dialogs and windows
#define IDS_LIB_ABOUT                20022
