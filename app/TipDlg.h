// The Tip of the Day: one tip at a time from the text file "panorel.tod" beside the program,
// continuing where the last showing stopped.
#pragma once
#include "ui/VmDlg.h"
#include <stdio.h>
#include <string>

class CTipDlg : public VmDlg {
public:
    CTipDlg(const CTipDlg&) = delete;   // owns the open tips file and the heading font
    CTipDlg& operator=(const CTipDlg&) = delete;
    // Reads the stored state, opens the tips file and reads the tip to show first.
    CTipDlg();
    ~CTipDlg() override;

    // The start-up check: the "Show Tips on StartUp" box would start checked.
    bool ShowAtStartUp() const { return m_showAtStartUp; }
    INT_PTR Run(HWND owner);

    const std::string& Tip() const { return m_tip; }
    // The tips file of this program: "panorel.tod" in the program file's folder.
    static bool GetTipsPath(char* path, int size);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    void OnCancel() override;
    INT_PTR OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnPostNcDestroy() override;

private:
    void ReadNextTip();
    bool ReadTipLine();
    void StorePosition();

    FILE* m_file = nullptr;
    std::string m_tip;
    bool m_showAtStartUp = true;
    bool m_positionStored = false;
    HFONT m_headingFont = NULL;
};
