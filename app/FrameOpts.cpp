#include "app/FrameOpts.h"
#include <string.h>

const char* const FrameOpts::kDialogNames[kDialogs] = {
    "DlgList",      "DlgGoto",      "DlgFileOp",         "DlgFileOpDel", "DlgFileOpRen",
    "DlgSelect",    "DlgNewFolder", "DlgStamp",          "EditFavItem",  "DlgOrganizeFav",
    "DlgSynch",     "DlgSynchConfirm", "DlgSplitMergePath", "DlgSplit",  "DlgMerge",
    "DlgQuickEdit", "DlgQE_Find",   "DlgImgView",        "DlgQE_ExtOpts", "DlgYesNoToAll"};

FrameOpts::FrameOpts() : BoolOpts("Frame")
{
    Reset();
}

void FrameOpts::Reset()
{
    value = 0xC3;
    splitX = GetSystemMetrics(SM_CYFULLSCREEN) / 2;
    splitY = GetSystemMetrics(SM_CXFULLSCREEN) / 4;
    treeL = 50;
    treeT = 50;
    treeX = 320;
    treeY = 240;
    memset(dialogs, 0, sizeof(dialogs));
    imgRunDelay = 5;
    textColor = bkgColor = kSystemColor;
    hasFont = false;
    memset(&font, 0, sizeof(font));
    hasCustomColors = false;
    for (COLORREF& c : customColors)
        c = 0xFFFFFF;
}

void FrameOpts::OnLoad(RegKey& key)
{
    static_assert(sizeof(WINDOWPLACEMENT) == 44, "a stored placement is 44 bytes");
    splitX = key.GetInt("SplitX", splitX);
    splitY = key.GetInt("SplitY", splitY);
    treeL = key.GetInt("FTreeL", treeL);
    treeT = key.GetInt("FTreeT", treeT);
    treeX = key.GetInt("FTreeX", treeX);
    treeY = key.GetInt("FTreeY", treeY);
    for (int i = 0; i < kDialogs; i++) {
        // A placement larger than the structure is ignored.
        int size = key.GetBinSize(kDialogNames[i]);
        if (size > 0 && size <= (int)sizeof(WINDOWPLACEMENT) &&
            !key.GetBin(kDialogNames[i], &dialogs[i], sizeof(WINDOWPLACEMENT)))
            memset(&dialogs[i], 0, sizeof(WINDOWPLACEMENT));
    }
    imgRunDelay = key.GetDword("ImgRunDelay", imgRunDelay);
    textColor = key.GetDword("TextColor", textColor);
    bkgColor = key.GetDword("BkgColor", bkgColor);
    hasFont = key.GetBinSize("Font") == (int)sizeof(LOGFONTA) && key.GetBin("Font", &font, sizeof(font));
    if (hasFont)
        font.lfFaceName[LF_FACESIZE - 1] = 0;
    if (key.GetBinSize("CustomColors") == (int)sizeof(customColors))
        hasCustomColors = key.GetBin("CustomColors", customColors, sizeof(customColors));
}

void FrameOpts::OnStore(RegKey& key)
{
    key.PutInt("SplitX", splitX);
    key.PutInt("SplitY", splitY);
    key.PutInt("FTreeL", treeL);
    key.PutInt("FTreeT", treeT);
    key.PutInt("FTreeX", treeX);
    key.PutInt("FTreeY", treeY);
    for (int i = 0; i < kDialogs; i++)
        if (dialogs[i].length == sizeof(WINDOWPLACEMENT))
            key.PutBin(kDialogNames[i], &dialogs[i], sizeof(WINDOWPLACEMENT));
    key.PutDword("ImgRunDelay", imgRunDelay);
    key.PutDword("TextColor", textColor);
    key.PutDword("BkgColor", bkgColor);
    if (hasFont)
        key.PutBin("Font", &font, sizeof(font));
    else
        key.DelValue("Font");
    if (hasCustomColors)
        key.PutBin("CustomColors", customColors, sizeof(customColors));
}
