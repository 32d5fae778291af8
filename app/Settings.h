// The option groups of the application object, stored as DWORDs of bits under the application
// root key; SettingsOpts loads and stores the other groups after its own extra values.
#pragma once
#include "registry/BoolOpts.h"

class PaneOpts : public BoolOpts {
public:
    PaneOpts() : BoolOpts("PaneOpts") {}
    void Reset() override;
    DWORD supportedMask = 0;   // list-view options the system's common controls offer
    bool comctl470 = false;
};

class Settings2Opts : public BoolOpts {
public:
    Settings2Opts() : BoolOpts("Settings2") {}
    ~Settings2Opts() override;
    void Reset() override;
    void OnLoad(RegKey& key) override;
    void OnStore(RegKey& key) override;
    DWORD splitSize = 1457152;
    DWORD defQEType = 0;
    LOGFONTA* qeFontVar = nullptr;     // null: no font chosen
    LOGFONTA* qeFontFixed = nullptr;
};

class Settings3Opts : public BoolOpts {
public:
    Settings3Opts() : BoolOpts("Settings3") {}
};

class SettingsOpts : public BoolOpts {
public:
    SettingsOpts();
    void Reset() override;
    void OnLoad(RegKey& key) override;
    void OnStore(RegKey& key) override;
    // The style word handed to the owner-drawn menus.
    DWORD MenuDrawStyle() const;

    DWORD menuStyle = 0;
    DWORD optsPage = 0;
    DWORD mrvfHistSize = 20;
    DWORD lastWelcomeMsg = 0;
    char qePath[MAX_PATH];
    char qeArgs[MAX_PATH];
    DWORD qeConfirmManyFiles = 1;
    DWORD qeConfirmLargeFile = 32;
    bool comctl470 = false;   // common controls 4.70 or later, noted at start

    PaneOpts pane;
    Settings2Opts settings2;
    Settings3Opts settings3;
};

// Bits of SettingsOpts.
enum : DWORD {
    SO_WAVY_CAPTION = 0x10,
    SO_ANIMATE_ICON = 0x20,
    SO_STATUS_DESCRIPTIONS = 0x40,
    SO_INDICATOR_FREE = 0x1000,       // status bar: free space of the active drive
    SO_INDICATOR_NUMOBJ = 0x8000,     // status bar: number of objects or of selected ones
    SO_STRONG_MENU_EDGES = 0x10000,
    SO_REOPEN_AFTER_RESTART = 0x40000,
    SO_EXPAND_DRIVE_LETTERS = 0x80000,
    SO_CONFIRM_EXIT = 0x100000,
    SO_SINGLE_INSTANCE = 0x200000,
    SO_ICONIZE = 0x400000,
    SO_ALT_FKEYS = 0x20000000,
    SO_SPLASH = 0x40000000,
    SO_NO_TREE_ICONS = 0x80000000
};

// Bits of Settings3Opts.
enum : DWORD {
    S3_NO_RECYCLE_BIN = 0x4,
    S3_NO_SHELL_MENU_COMMANDS = 0x10,
    S3_FORWARD_CMDLINE = 0x40
};

// The common-controls version word (major in the high byte), read once.
WORD GetComCtlVersion();
