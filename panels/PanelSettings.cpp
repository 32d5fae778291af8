#include "panels/PanelSettings.h"
#include <stdio.h>
#include <string.h>

PanelSettings::PanelSettings(int panelIndex) : BoolOpts(m_name), index(panelIndex)
{
    SetIndex(panelIndex);
    quickText[0] = 0;
    folderSettings.ViewMode = FVM_DETAILS;
    folderSettings.fFlags = FWF_AUTOARRANGE;
}

void PanelSettings::ValueName(char* out, const char* base) const
{
    snprintf(out, 32, "%s%d", base, index + 1);
}

void PanelSettings::Reset()
{
    // The flags word keeps the previous value as its default.
    folderSettings.ViewMode = FVM_DETAILS;
    folderSettings.fFlags = FWF_AUTOARRANGE;
    filterOn = false;
    filter.Reset();
    quickFilter.Reset();
    quickText[0] = 0;
}

void PanelSettings::OnLoad(RegKey& key)
{
    char name[32];
    ValueName(name, "PIDL");
    startFolder.Persist(0, key, name);
    ValueName(name, "FS");
    // Exactly two 32-bit numbers; any other length is ignored.
    if (key.GetBinSize(name) == 8) {
        DWORD fs[2];
        if (key.GetBin(name, fs, sizeof(fs))) {
            folderSettings.ViewMode = fs[0];
            folderSettings.fFlags = fs[1];
        }
    }
    char incl[MAX_PATH], excl[MAX_PATH];
    ValueName(name, "FilterIncl");
    key.GetStr(name, incl, sizeof(incl), "");
    ValueName(name, "FilterExcl");
    key.GetStr(name, excl, sizeof(excl), "");
    filter.SetFilters(incl, excl);
    ValueName(name, "FilterFlags");
    DWORD flags = key.GetDword(name, 0);
    for (DWORD bit = 1; bit; bit <<= 1)
        filter.SetFlag(bit, (flags & bit) != 0);
    ValueName(name, "QuickFilter");
    key.GetStr(name, quickText, sizeof(quickText), "");
    filterOn = IsOn(kFilterOn);
}

void PanelSettings::OnStore(RegKey& key)
{
    Set(kFilterOn, filterOn);
    char name[32];
    ValueName(name, "PIDL");
    startFolder.Persist(1, key, name);
    ValueName(name, "FS");
    DWORD fs[2] = {folderSettings.ViewMode, folderSettings.fFlags};
    key.PutBin(name, fs, sizeof(fs));
    char incl[MAX_PATH], excl[MAX_PATH];
    filter.GetFilters(incl, excl, MAX_PATH);
    ValueName(name, "FilterIncl");
    key.PutStr(name, incl);
    ValueName(name, "FilterExcl");
    key.PutStr(name, excl);
    ValueName(name, "FilterFlags");
    key.PutDword(name, filter.GetFlags());
    ValueName(name, "QuickFilter");
    key.PutStr(name, quickText);
}

void PanelSettings::SetQuickText(const char* text)
{
    lstrcpynA(quickText, text ? text : "", sizeof(quickText));
    quickFilter.Reset();
}

void PanelSettings::SetIndex(int panelIndex)
{
    index = panelIndex;
    snprintf(m_name, sizeof(m_name), "P%d", panelIndex + 1);
}
