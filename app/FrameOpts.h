// The main frame's option bits ("Frame") and the extra values kept with them: split sizes, the
// folder tree's position, dialog placements, slide-show delay, panel colours and font.
#pragma once
#include "registry/BoolOpts.h"

class FrameOpts : public BoolOpts {
public:
    enum : DWORD {
        FO_SPLIT = 0x1,          // both panels shown
        FO_SIDE_BY_SIDE = 0x2,   // split vertically (columns)
        FO_PANEL2_ACTIVE = 0x4,
        FO_FULLSCREEN = 0x8,
        FO_GOTO_AUTOMATCH = 0x10,
        FO_TREE_OPEN = 0x20,
        FO_IMAGE_FULLSCREEN = 0x40,
        FO_DEFAULT = 0x80
    };
    static const DWORD kSystemColor = 0x0FFFFFFF;
    static const int kDialogs = 20;
    static const char* const kDialogNames[kDialogs];

    FrameOpts();
    void Reset() override;
    void OnLoad(RegKey& key) override;
    void OnStore(RegKey& key) override;

    int splitX = 0, splitY = 0;
    int treeL = 50, treeT = 50, treeX = 320, treeY = 240;
    WINDOWPLACEMENT dialogs[kDialogs];   // length 0: no placement stored
    DWORD imgRunDelay = 5;
    DWORD textColor = kSystemColor, bkgColor = kSystemColor;
    bool hasFont = false;
    LOGFONTA font;
    bool hasCustomColors = false;
    COLORREF customColors[16];
};
