#include <gtest/gtest.h>
#include "ui/VmPropSheet.h"
#include "UiTestUtil.h"

using uitest::DlgTemplate;

namespace {
DlgTemplate PageTemplate(const char* title)
{
    DlgTemplate t(title, 180, 80, WS_CHILD | WS_CAPTION | DS_SETFONT);
    t.Add(DlgTemplate::Edit, 200, "page text", 10, 10, 150, 14, WS_BORDER | WS_TABSTOP);
    return t;
}

class CommitCtrl : public VmCtrl {
public:
    int oks = 0;
    void OnOK() override { ++oks; }
};

class Page : public VmPropPage {
public:
    explicit Page(const DLGTEMPLATE* t) : VmPropPage(t) { AddCtrl(&edit, 200); }
    CommitCtrl edit;
    bool accept = true;
    int applies = 0, activations = 0, inits = 0;
    bool OnApply() override
    {
        ++applies;
        return accept && VmPropPage::OnApply();
    }
    bool OnSetActive() override
    {
        ++activations;
        return true;
    }
    BOOL OnInitDialog() override
    {
        ++inits;
        return TRUE;
    }
};
}  // namespace

TEST(VmPropSheet, ApplyCommitsThePagesControls)
{
    DlgTemplate t1 = PageTemplate("First"), t2 = PageTemplate("Second");
    Page p1(t1.Get()), p2(t2.Get());
    VmPropSheet sheet;
    EXPECT_EQ(NULL, sheet.Modeless(NULL));   // no pages yet
    EXPECT_TRUE(sheet.AddPage(&p1));
    EXPECT_TRUE(sheet.AddPage(&p2));
    EXPECT_FALSE(sheet.AddPage(&p1));
    EXPECT_FALSE(sheet.AddPage(nullptr));
    EXPECT_EQ(2, sheet.GetPageCount());
    sheet.SetCaption("UiTest Sheet");
    HWND h = sheet.Modeless(NULL);
    ASSERT_TRUE(h);
    EXPECT_EQ(1, p1.inits);
    EXPECT_EQ(0, p2.inits);   // pages are made when first shown
    EXPECT_EQ(1, p1.activations);
    EXPECT_TRUE(p1.edit.GetHWND());

    // A refusing page keeps the sheet open and its controls uncommitted.
    p1.accept = false;
    PropSheet_PressButton(h, PSBTN_OK);
    uitest::Pump(50);
    EXPECT_EQ(1, p1.applies);
    EXPECT_EQ(0, p1.edit.oks);
    EXPECT_TRUE(PropSheet_GetCurrentPageHwnd(h));

    p1.accept = true;
    PropSheet_PressButton(h, PSBTN_OK);
    uitest::Pump(50);
    EXPECT_EQ(2, p1.applies);
    EXPECT_EQ(1, p1.edit.oks);
    EXPECT_EQ(0, p2.applies);   // never shown, never applied
    EXPECT_EQ(NULL, PropSheet_GetCurrentPageHwnd(h));   // the sheet has ended
}

TEST(VmPropSheet, ModalSheetEndsWithOk)
{
    DlgTemplate t1 = PageTemplate("Only");
    Page p1(t1.Get());
    VmPropSheet sheet;
    sheet.AddPage(&p1);
    sheet.SetCaption("UiTest Modal Sheet");
    uitest::BoxAnswerer answer("UiTest Modal Sheet", IDOK);
    EXPECT_GT(sheet.Modal(NULL), 0);
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(1, p1.applies);
    EXPECT_EQ(1, p1.edit.oks);
}
