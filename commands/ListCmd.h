// List: the active panel's listing as delimited text, one line per object and one field per
// chosen column, put on the clipboard or saved to a file.
#pragma once
#include "registry/BoolOpts.h"
#include <string>

class CMainFrame;
class ListCells;

// The List options, kept as "ListOpts" with the extra values "ListColumns" and "ListSavePath".
class ListOpts : public BoolOpts {
public:
    enum : DWORD {
        NameLimitMask = 0xFF,
        QualifierShift = 8,
        DelimiterShift = 12,
        AllObjects = 0x10000,
        Header = 0x20000,
        LimitName = 0x40000,
        ToClipboard = 0x80000
    };
    ListOpts() : BoolOpts("ListOpts") { Reset(); }
    void Reset() override;
    void OnLoad(RegKey& key) override;
    void OnStore(RegKey& key) override;

    int NameLimit() const { return (int)(value & NameLimitMask); }
    int Qualifier() const { return (int)((value >> QualifierShift) & 0xF); }
    int Delimiter() const { return (int)((value >> DelimiterShift) & 0xF); }
    void SetNameLimit(int n) { value = (value & ~(DWORD)NameLimitMask) | ((DWORD)n & NameLimitMask); }
    void SetQualifier(int i) { value = (value & ~(0xFu << QualifierShift)) | (((DWORD)i & 0xF) << QualifierShift); }
    void SetDelimiter(int i) { value = (value & ~(0xFu << DelimiterShift)) | (((DWORD)i & 0xF) << DelimiterShift); }

    DWORD columns = 0xFFFFFFFF;
    char savePath[MAX_PATH] = "";
};

// The text of the list view's objects (all, or the selected) with the options' choices; empty
// when there is nothing to list. maxRows > 0 stops after that many object rows.
std::string BuildListText(ListCells& cells, const ListOpts& opts, int maxRows = 0);

void List_Run(CMainFrame& frame);
