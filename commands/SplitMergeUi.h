// The small dialogs of Split and Merge: Yes/No to All, and the Split/Merge Path prompt; and
// the dialogs' stored placements.
#pragma once
#include "ui/VmDlg.h"
#include <string>

class FrameOpts;

// The frame's stored placement of the named dialog ("DlgSplit", ...); null when unknown.
WINDOWPLACEMENT* SplitMergeUi_Placement(FrameOpts& opts, const char* name);
// Moves the dialog where it was left, else centres it on its owner.
void SplitMergeUi_PlaceDialog(HWND dialog, const WINDOWPLACEMENT* placement);
void SplitMergeUi_SavePlacement(HWND dialog, WINDOWPLACEMENT* placement);

// Yes, Yes to All, No, No to All. The flags hold for the dialog object's whole life; each
// button clears the other flag.
class YesNoToAllDlg : public VmDlg {
public:
    bool yesAll = false;
    bool noAll = false;
    WINDOWPLACEMENT* placement = nullptr;

    // IDYES or IDNO (closing the box is No).
    int Ask(HWND owner, const char* text);

    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnCancel() override;
    bool CanClose(INT_PTR result) override;

private:
    const char* m_text = "";
};

// "There is not enough free space..." (split) or "Merging the segment:" (merge), with the path
// to edit. Merge's Cancel reads Finish.
class SplitMergePathDlg : public VmDlg {
public:
    // path in: the expected path; out: the edited one. False on Cancel or Finish.
    static bool Ask(HWND owner, FrameOpts& opts, bool merge, std::string& path);

    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    bool CanClose(INT_PTR result) override;

private:
    void Browse();
    bool m_merge = false;
    std::string m_path;
    WINDOWPLACEMENT* m_placement = nullptr;
};
