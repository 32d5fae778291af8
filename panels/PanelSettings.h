// The saved state of one panel: its flags word ("P1"/"P2"), start folder, view mode and folder
// flags, the panel filter and the quick filter.
#pragma once
#include "files/Filter.h"
#include "registry/BoolOpts.h"
#include "shell/Pidl.h"
#include <shlobj.h>

class PanelSettings : public BoolOpts {
public:
    static const DWORD kFilterOn = 0x10000000;   // mirrors the filter-in-force flag

    explicit PanelSettings(int index);
    void Reset() override;
    void OnLoad(RegKey& key) override;
    void OnStore(RegKey& key) override;
    // The quick filter's text; setting it rebuilds the quick filter lazily.
    void SetQuickText(const char* text);
    // "QuickFilter1" etc. for this panel.
    void ValueName(char* out, const char* base) const;
    // The panel's number (0 or 1) names its values.
    void SetIndex(int panelIndex);

    int index;
    PIDL startFolder;
    FOLDERSETTINGS folderSettings;
    bool filterOn = false;
    ShellObjFilter filter;
    ShellObjFilter quickFilter;
    char quickText[MAX_PATH];

private:
    char m_name[8];   // "P1" or "P2"
};
