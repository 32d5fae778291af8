// The "System Information" dialog: the system's version, the shell libraries' versions, the
// processor, memory, folders and the computer's and user's names in a read-only text box.
#pragma once
#include "VmDlg.h"

// The version of a loaded or loadable library from its DllGetVersion; false (and zeros) when it
// cannot be loaded or has no version entry.
PANOREL32_API bool GetVerDll(const char* dllName, DWORD* major, DWORD* minor, DWORD* build);

class PANOREL32_API SysInfo : public VmDlg {
public:
    // Runs the dialog modally over owner.
    INT_PTR Run(HWND owner);
    // The dialog's text, line by line as it is shown; false when the system version cannot be
    // read (the text is then the one-line notice). The text is cut to size, always terminated.
    static bool GetText(char* buffer, int size);
    BOOL OnInitDialog() override;
};
