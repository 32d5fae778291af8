#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "ui/VmHistCB.h"
#include "ui/VmDlg.h"
#include "registry/AppInfo.h"
#include "lib/registry/RegFixture.h"
#include "UiTestUtil.h"

using uitest::DlgTemplate;

namespace {
const char kProduct[] = "PanorelTestHistCB";   // the caption of the library's message boxes
const char kValue[] = "HistCBTestMRU";
enum { IdCombo = 120 };

typedef std::vector<std::string> Strs;

std::string Value(DWORD max, const Strs& entries)
{
    std::string v(reinterpret_cast<const char*>(&max), 4);
    for (const std::string& e : entries)
        v += e + std::string(1, '\0');
    return v + std::string(1, '\0');
}

// A dialog like the program's: a history box made sorted by its template, OK and Cancel.
DlgTemplate MakeTemplate()
{
    DlgTemplate t("HistCB Dialog", 200, 90);
    t.Add(DlgTemplate::ComboBox, IdCombo, "", 10, 10, 180, 70,
          CBS_DROPDOWN | CBS_SORT | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP);
    t.Add(DlgTemplate::Button, IDOK, "OK", 40, 68, 45, 14, BS_DEFPUSHBUTTON | WS_TABSTOP);
    t.Add(DlgTemplate::Button, IDCANCEL, "Cancel", 95, 68, 45, 14, WS_TABSTOP);
    return t;
}

class HistDlg : public VmDlg {
public:
    explicit HistDlg(unsigned long style) : box(style) { AddCtrl(&box, IdCombo, kValue); }
    bool OnCommand(int id, int code, HWND ctrl) override
    {
        if (id == IdCombo && code == CBN_SELENDOK)
            ++selEndOks;
        return VmDlg::OnCommand(id, code, ctrl);
    }
    VmHistCB box;
    int selEndOks = 0;
};

class VmHistCBTest : public RegFixture {
protected:
    void SetUp() override
    {
        RegFixture::SetUp();
        m_app = new AppInfo(GetModuleHandleA(NULL), kProduct, "Test", NULL, NULL, 0, 0);
        AppInfo::SetAppRootKey(Path("Root").c_str());
    }
    void TearDown() override
    {
        delete m_app;
        RegFixture::TearDown();
    }
    void StoreValue(const std::string& bytes)
    {
        RawSet(HKEY_CURRENT_USER, Sub("Root"), kValue, REG_BINARY, bytes.data(),
               (DWORD)bytes.size());
    }
    std::string StoredValue()
    {
        RawValue v;
        if (!RawGet(HKEY_CURRENT_USER, Sub("Root"), kValue, v))
            return "<missing>";
        return std::string(v.data.begin(), v.data.end());
    }
    AppInfo* m_app = nullptr;
};

std::string EditText(HWND combo)
{
    char text[512] = "";
    GetWindowTextA(combo, text, sizeof(text));
    return text;
}

// The items of the combo box's own list window, top to bottom.
Strs ListItems(HWND combo)
{
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    Strs out;
    if (!GetComboBoxInfo(combo, &info) || !info.hwndList)
        return out;
    int count = (int)SendMessageA(info.hwndList, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        char text[512] = "";
        if (SendMessageA(info.hwndList, LB_GETTEXTLEN, i, 0) < (LRESULT)sizeof(text))
            SendMessageA(info.hwndList, LB_GETTEXT, i, (LPARAM)text);
        out.push_back(text);
    }
    return out;
}

// Types text into the box's edit field as keystrokes would, replacing what is there.
void Type(HWND edit, const char* text)
{
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (const char* p = text; *p; ++p)
        SendMessageA(edit, WM_CHAR, (BYTE)*p, 1);
}

void PressOK(HWND dialog)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 (LPARAM)GetDlgItem(dialog, IDOK));
}

// Drops the list down, moves to its last item with the arrow keys and confirms it with Enter.
void ChooseLastItem(HistDlg& dlg)
{
    HWND combo = dlg.box.GetHWND();
    HWND edit = dlg.box.GetEditHWND();
    SetFocus(edit);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    int count = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count + 1; ++i) {
        SendMessageA(edit, WM_KEYDOWN, VK_DOWN, 1);
        SendMessageA(edit, WM_KEYUP, VK_DOWN, 0xC0000001);
    }
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageA(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
    // Wine: the edit field does not hand Enter on to its dropped-down box; the box takes it.
    if (SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0))
        SendMessageA(combo, WM_KEYDOWN, VK_RETURN, 1);
    uitest::Pump(50);
}
// Drops the list down and clicks its last item.
void ClickLastItem(HistDlg& dlg)
{
    HWND combo = dlg.box.GetHWND();
    SetFocus(dlg.box.GetEditHWND());
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    int last = (int)SendMessageA(info.hwndList, LB_GETCOUNT, 0, 0) - 1;
    RECT rc = {};
    ASSERT_NE(LB_ERR, SendMessageA(info.hwndList, LB_GETITEMRECT, last, (LPARAM)&rc));
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    SendMessageA(info.hwndList, WM_MOUSEMOVE, 0, at);
    SendMessageA(info.hwndList, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(info.hwndList, WM_LBUTTONUP, 0, at);
    uitest::Pump(50);
}
}  // namespace

TEST_F(VmHistCBTest, TypedTextIsRecordedAndShownFirstNextTime)
{
    StoreValue(Value(15, {"zeta", "alpha"}));
    DlgTemplate t = MakeTemplate();
    {
        HistDlg dlg(VmHistCB::StyleClearEntry);
        HWND h = dlg.ModelessIndirect(t.Get());
        ASSERT_TRUE(h);
        HWND combo = dlg.box.GetHWND();
        ASSERT_EQ(GetDlgItem(h, IdCombo), combo);
        // History order, not sorted, and the newest entry in the field.
        EXPECT_EQ((Strs{"zeta", "alpha", "<Clear list...>"}), ListItems(combo));
        EXPECT_EQ("zeta", EditText(combo));
        EXPECT_FALSE(GetWindowLongA(combo, GWL_STYLE) & CBS_SORT);
        EXPECT_TRUE(SendMessageA(combo, CB_GETEXTENDEDUI, 0, 0));

        Type(dlg.box.GetEditHWND(), "Beta");
        EXPECT_EQ("Beta", EditText(combo));
        PressOK(h);
        EXPECT_FALSE(IsWindow(h));
    }
    EXPECT_EQ(Value(15, {"Beta", "zeta", "alpha"}), StoredValue());

    HistDlg again(VmHistCB::StyleClearEntry);
    HWND h = again.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    HWND combo = again.box.GetHWND();
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    EXPECT_TRUE(IsWindowVisible(info.hwndList));
    EXPECT_EQ((Strs{"Beta", "zeta", "alpha", "<Clear list...>"}), ListItems(combo));
    EXPECT_EQ("Beta", EditText(combo));
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);

    // A repeat in another spelling moves to the head; the clear entry is never stored.
    Type(again.box.GetEditHWND(), "ALPHA");
    PressOK(h);
    EXPECT_EQ(Value(15, {"ALPHA", "Beta", "zeta"}), StoredValue());
}

TEST_F(VmHistCBTest, CancelRecordsNothing)
{
    StoreValue(Value(15, {"kept"}));
    DlgTemplate t = MakeTemplate();
    HistDlg dlg(VmHistCB::StyleClearEntry);
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    Type(dlg.box.GetEditHWND(), "dropped");
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(Value(15, {"kept"}), StoredValue());
}

TEST_F(VmHistCBTest, EmptyBoxOffersNoClearEntry)
{
    DlgTemplate t = MakeTemplate();
    HistDlg dlg(VmHistCB::StyleClearEntry | VmHistCB::StyleStoreOnClear);
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    EXPECT_EQ(0, dlg.box.GetCount());
    EXPECT_EQ("", EditText(dlg.box.GetHWND()));
    EXPECT_EQ(15, dlg.box.GetMaxHistSize());
    // Committing an empty field stores the empty list.
    PressOK(h);
    EXPECT_EQ(Value(15, {}), StoredValue());
}

TEST_F(VmHistCBTest, WithoutTheStyleBitThereIsNoClearEntry)
{
    StoreValue(Value(15, {"one", "two"}));
    DlgTemplate t = MakeTemplate();
    HistDlg dlg(0);
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    EXPECT_EQ((Strs{"one", "two"}), ListItems(dlg.box.GetHWND()));
    // Choosing the last item is an ordinary choice and asks nothing.
    ChooseLastItem(dlg);
    PressOK(h);
    EXPECT_EQ(Value(15, {"two", "one"}), StoredValue());
}

TEST_F(VmHistCBTest, ClearEntryAnsweredNoChangesNothing)
{
    StoreValue(Value(15, {"one", "two"}));
    DlgTemplate t = MakeTemplate();
    HistDlg dlg(VmHistCB::StyleClearEntry | VmHistCB::StyleStoreOnClear);
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    HWND combo = dlg.box.GetHWND();
    {
        uitest::BoxAnswerer no(kProduct, IDNO);
        ChooseLastItem(dlg);
        ASSERT_TRUE(no.Answered());
        EXPECT_EQ("Are you sure you want to clear the history list?", no.Text());
    }
    EXPECT_EQ(1, dlg.selEndOks);   // the dialog still sees the notification
    EXPECT_EQ((Strs{"one", "two", "<Clear list...>"}), ListItems(combo));
    EXPECT_EQ(2, dlg.box.GetHistList().GetCount());
    // The arrow keys passed over "two"; the clear entry's text never reached the field.
    EXPECT_EQ("two", EditText(combo));
    EXPECT_EQ(Value(15, {"one", "two"}), StoredValue());
    PressOK(h);
    EXPECT_EQ(Value(15, {"two", "one"}), StoredValue());
}

TEST_F(VmHistCBTest, ClearEntryAnsweredYesKeepsOnlyTheTypedText)
{
    StoreValue(Value(15, {"one", "two"}));
    DlgTemplate t = MakeTemplate();
    HistDlg dlg(VmHistCB::StyleClearEntry | VmHistCB::StyleStoreOnClear);
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    HWND combo = dlg.box.GetHWND();
    Type(dlg.box.GetEditHWND(), "typed");
    {
        uitest::BoxAnswerer yes(kProduct, IDYES);
        ClickLastItem(dlg);
        ASSERT_TRUE(yes.Answered());
    }
    EXPECT_EQ(1, dlg.selEndOks);
    EXPECT_EQ(0, dlg.box.GetCount());
    EXPECT_EQ("typed", EditText(combo));
    // Stored at once: the typed text is the only entry.
    EXPECT_EQ(Value(15, {"typed"}), StoredValue());
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

TEST_F(VmHistCBTest, ClearWithoutStoreBitWaitsForOK)
{
    StoreValue(Value(15, {"one", "two"}));
    DlgTemplate t = MakeTemplate();
    HistDlg dlg(VmHistCB::StyleClearEntry);
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    {
        uitest::BoxAnswerer yes(kProduct, IDYES);
        ChooseLastItem(dlg);
        ASSERT_TRUE(yes.Answered());
    }
    EXPECT_EQ(0, dlg.box.GetCount());
    EXPECT_EQ(0, dlg.box.GetHistList().GetCount());
    EXPECT_EQ(Value(15, {"one", "two"}), StoredValue());   // nothing stored yet
    Type(dlg.box.GetEditHWND(), "fresh");
    PressOK(h);
    EXPECT_EQ(Value(15, {"fresh"}), StoredValue());
}

TEST_F(VmHistCBTest, ClearTextIsSwallowedByTheField)
{
    StoreValue(Value(15, {"one"}));
    DlgTemplate t = MakeTemplate();
    HistDlg dlg(VmHistCB::StyleClearEntry);
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    HWND combo = dlg.box.GetHWND();
    SetWindowTextA(combo, "<CLEAR LIST...>");
    EXPECT_EQ("one", EditText(combo));
    SetWindowTextA(dlg.box.GetEditHWND(), "<clear list...>");
    EXPECT_EQ("one", EditText(combo));
    SetWindowTextA(combo, "other");
    EXPECT_EQ("other", EditText(combo));
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

TEST_F(VmHistCBTest, StoredMaximumBoundsTheBox)
{
    StoreValue(Value(3, {"a", "b", "c", "d", "e"}));
    DlgTemplate t = MakeTemplate();
    HistDlg dlg(0);
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    EXPECT_EQ((Strs{"a", "b", "c"}), ListItems(dlg.box.GetHWND()));
    EXPECT_EQ(3, dlg.box.GetMaxHistSize());
    Type(dlg.box.GetEditHWND(), "new");
    PressOK(h);
    EXPECT_EQ(Value(3, {"new", "a", "b"}), StoredValue());
}

TEST_F(VmHistCBTest, LongTextIsRecordedWhole)
{
    std::string longText(700, 'x');
    longText += "end";
    DlgTemplate t = MakeTemplate();
    {
        HistDlg dlg(VmHistCB::StyleClearEntry);
        HWND h = dlg.ModelessIndirect(t.Get());
        ASSERT_TRUE(h);
        SetWindowTextA(dlg.box.GetHWND(), longText.c_str());
        PressOK(h);
    }
    EXPECT_EQ(Value(15, {longText}), StoredValue());
    HistDlg dlg(VmHistCB::StyleClearEntry);
    HWND h = dlg.ModelessIndirect(t.Get());
    ASSERT_TRUE(h);
    EXPECT_EQ(2, dlg.box.GetCount());
    EXPECT_EQ((int)longText.size(), GetWindowTextLengthA(dlg.box.GetHWND()));
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}
