#include "VmPropSheet.h"
#include "UiText.h"
#include "../registry/AppInfo.h"
#include <commctrl.h>

VmPropPage::VmPropPage(int templateId, HINSTANCE module)
    : m_pageTemplate(templateId), m_module(module), m_indirect(nullptr)
{
    AppInfo::ConvertResourceId(m_pageTemplate, m_module);
}

VmPropPage::VmPropPage(const DLGTEMPLATE* dlgTemplate)
    : m_pageTemplate(0), m_module(GetLibModule()), m_indirect(dlgTemplate)
{
}

void VmPropPage::FillPage(PROPSHEETPAGEA& page)
{
    page = {};
    page.dwSize = sizeof(page);
    page.hInstance = m_module;
    if (m_indirect) {
        page.dwFlags |= PSP_DLGINDIRECT;
        page.pResource = m_indirect;
    } else {
        page.pszTemplate = MAKEINTRESOURCEA(m_pageTemplate);
    }
    page.pfnDlgProc = PageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
}

bool VmPropPage::OnApply()
{
    OKControls();
    return true;
}

bool VmPropPage::OnSetActive() { return true; }
bool VmPropPage::OnKillActive() { return true; }
void VmPropPage::OnReset() {}

void VmPropPage::SetModified(bool changed)
{
    HWND sheet = m_hWnd ? GetParent(m_hWnd) : NULL;
    if (sheet)
        SendMessageA(sheet, changed ? PSM_CHANGED : PSM_UNCHANGED,
                     reinterpret_cast<WPARAM>(m_hWnd), 0);
}

bool VmPropPage::OnNotify(int, NMHDR* header, LRESULT& result)
{
    switch (header->code) {
    case PSN_APPLY:
        result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        return true;
    case PSN_SETACTIVE:
        result = OnSetActive() ? 0 : -1;
        return true;
    case PSN_KILLACTIVE:
        result = OnKillActive() ? FALSE : TRUE;
        return true;
    case PSN_RESET:
        OnReset();
        result = 0;
        return true;
    }
    return false;
}

INT_PTR CALLBACK VmPropPage::PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    try {
        VmPropPage* self = static_cast<VmPropPage*>(GetWnd(page));
        if (!self) {
            // Pages learn their object from the page record given with WM_INITDIALOG.
            if (msg != WM_INITDIALOG || !lParam)
                return FALSE;
            self = reinterpret_cast<VmPropPage*>(
                reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
            if (!self || !self->BindDialog(page, self->m_pageTemplate))
                return FALSE;
        }
        return self->DispatchDlg(msg, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

VmPropSheet::~VmPropSheet()
{
    if (m_sheet && IsWindow(m_sheet))
        DestroyWindow(m_sheet);
}

bool VmPropSheet::AddPage(VmPropPage* page)
{
    if (!page || m_sheet)
        return false;
    for (VmPropPage* p : m_pages)
        if (p == page)
            return false;
    m_pages.push_back(page);
    return true;
}

void VmPropSheet::SetCaption(const char* caption)
{
    CopyCut(m_caption, caption, sizeof(m_caption));
}

INT_PTR VmPropSheet::Run(HWND owner, bool modeless)
{
    if (m_pages.empty() || (m_sheet && IsWindow(m_sheet)))
        return -1;
    std::vector<PROPSHEETPAGEA> pages(m_pages.size());
    for (size_t i = 0; i < m_pages.size(); ++i)
        m_pages[i]->FillPage(pages[i]);
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | (modeless ? PSH_MODELESS : 0);
    header.hwndParent = owner;
    header.hInstance = GetLibModule();
    header.pszCaption = m_caption;
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = m_start >= 0 && m_start < static_cast<int>(pages.size()) ? m_start : 0;
    header.ppsp = pages.data();
    return PropertySheetA(&header);
}

INT_PTR VmPropSheet::Modal(HWND owner)
{
    return Run(owner, false);
}

HWND VmPropSheet::Modeless(HWND owner)
{
    INT_PTR r = Run(owner, true);
    m_sheet = r > 0 ? reinterpret_cast<HWND>(r) : NULL;
    return m_sheet;
}
