// Property sheets and their pages, on the dialog classes.
#pragma once
#include "VmDlg.h"
#include <prsht.h>
#include <vector>

class PANOREL32_API VmPropPage : public VmDlg {
public:
    // templateId < 0 names the library's own resources; a null module means the application's.
    VmPropPage(int templateId, HINSTANCE module = NULL);
    // A template in memory (kept by the caller while the sheet exists).
    explicit VmPropPage(const DLGTEMPLATE* dlgTemplate);

    // The sheet's Apply or OK: the base commits the controls; false keeps the page open.
    virtual bool OnApply();
    virtual bool OnSetActive();
    // False keeps the user on the page.
    virtual bool OnKillActive();
    virtual void OnReset();
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
    // Tells the sheet that the page has changes (enables Apply).
    void SetModified(bool changed = true);

    void FillPage(PROPSHEETPAGEA& page);
    static INT_PTR CALLBACK PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    int m_pageTemplate;
    HINSTANCE m_module;
    const DLGTEMPLATE* m_indirect;
};

class PANOREL32_API VmPropSheet {
public:
    VmPropSheet() = default;
    VmPropSheet(const VmPropSheet&) = delete;   // pages point at their sheet's window
    VmPropSheet& operator=(const VmPropSheet&) = delete;
    ~VmPropSheet();

    bool AddPage(VmPropPage* page);   // pages stay owned by the caller
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    // Caption cut to MAX_PATH - 1 characters.
    void SetCaption(const char* caption);
    void SetStartPage(int index) { m_start = index; }
    // The sheet's result (see PropertySheet), -1 when there are no pages or it failed.
    INT_PTR Modal(HWND owner);
    // A modeless sheet; the caller's loop passes messages through PropSheet_IsDialogMessage.
    HWND Modeless(HWND owner);
    HWND GetHWND() const { return m_sheet; }

private:
    INT_PTR Run(HWND owner, bool modeless);
    std::vector<VmPropPage*> m_pages;
    char m_caption[MAX_PATH] = "";
    int m_start = 0;
    HWND m_sheet = NULL;
};
