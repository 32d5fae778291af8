// Subclasses of the shell view's own windows, through which a panel watches them.
#pragma once
#include "../Panorel32.h"
#include "../ui/VmWnd.h"

// The view window ("SHELLDLL_DefView"): notification and message callbacks only.
class PANOREL32_API SVWnd : public VmWndEx {
public:
    SVWnd();
    ~SVWnd() override;
};

// The view's list control ("SysListView32").
class PANOREL32_API SVLVWnd : public VmWndEx {
public:
    SVLVWnd();
    ~SVLVWnd() override;
};
