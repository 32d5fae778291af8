// The program's own tabbed sheet: a dialog holding a tab control, in which every page is a
// child dialog made from its own template.
#pragma once
#include "ui/VmDlg.h"
#include <vector>

class OptionsPage : public VmDlg {
public:
    explicit OptionsPage(int templateId) : m_pageTemplate(templateId) {}
    int PageTemplate() const { return m_pageTemplate; }
    // A page may refuse to be shown or left; these pages refuse leaving only while one of
    // their number fields does not hold a number.
    virtual bool OnSetActive() { return true; }
    virtual bool OnKillActive();
    // Reads the controls into the page's copy of the values (OK only).
    virtual void Commit() {}

protected:
    // Number fields checked when the page is left.
    void AddNumberField(int id) { m_numberIds.push_back(id); }
    // The field's number; false (and the field focused with a message) when it holds none.
    bool ReadNumber(int id, DWORD& value, bool complain);

private:
    int m_pageTemplate;
    std::vector<int> m_numberIds;
};

class OptionsSheet : public VmDlg {
public:
    OptionsSheet() = default;
    OptionsSheet(const OptionsSheet&) = delete;   // the pages' windows are its children
    OptionsSheet& operator=(const OptionsSheet&) = delete;

    void AddPage(OptionsPage* page) { m_pages.push_back(page); }   // owned by the caller
    // Opens modally on page `start`; IDOK after the pages committed, else IDCANCEL.
    INT_PTR Run(HWND owner, int start);
    bool SetActivePage(int index);
    int GetActiveIndex() const { return m_current; }
    // The page shown when the sheet closed.
    int GetLastIndex() const { return m_last; }
    // Next (+1) or previous (-1) page, wrapping around.
    void StepPage(int step);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;

private:
    static LRESULT CALLBACK KeyFilter(int code, WPARAM wp, LPARAM lp);
    HWND Tab() const { return GetDlgItem(m_hWnd, 4610); }
    void ClosePages();

    std::vector<OptionsPage*> m_pages;
    int m_current = -1;
    int m_start = 0;
    int m_last = 0;
    HHOOK m_filter = NULL;
};
