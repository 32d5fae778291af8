#include "customize/Options.h"
#include "customize/OptionsRes.h"
#include "customize/OptionsSheet.h"
#include "app/MainApp.h"
#include "app/MainFrame.h"
#include "quickedit/QuickEditOptions.h"
#include "registry/RegUtil.h"
#include "ui/HotKey.h"
#include "ui/MenuOwnerDraw.h"
#include <commctrl.h>

namespace {

// The groups a page edits, as plain words; every page holds its own copy.
enum Group { G_SETTINGS, G_SETTINGS2, G_SETTINGS3, G_PANE, G_HOTKEY, G_COUNT };

struct Box {
    int id;
    Group group;
    DWORD mask;
    bool inverted;       // checked while the bit is clear
    int offRadio;        // radio button checked while the box is off (0: none)
    bool onlySupported;  // a panel list option: enabled only when the system offers it
};

const DWORD kBit7 = 0x80;

const Box kGeneral[] = {
    {IDC_OPT_SPLASH, G_SETTINGS, 1u << 30, false, 0, false},
    {IDC_OPT_CONFIRM_EXIT, G_SETTINGS, 1u << 20, false, 0, false},
    {IDC_OPT_DESCRIPTIONS, G_SETTINGS, 1u << 6, false, 0, false},
    {IDC_OPT_MRVF_CLEAR, G_SETTINGS2, 1u << 2, false, 0, false},
    {IDC_OPT_ICONIZE, G_SETTINGS, 1u << 22, false, 0, false},
    {IDC_OPT_SHELL_MENU, G_SETTINGS3, 1u << 4, true, 0, false},
    {IDC_OPT_SINGLE, G_SETTINGS, 1u << 21, false, 0, false},
    {IDC_OPT_FORWARD, G_SETTINGS3, 1u << 6, false, 0, false},
};
const Box kVisual[] = {
    {IDC_OPT_ANIMATE, G_SETTINGS, 1u << 5, false, 0, false},
    {IDC_OPT_WAVY, G_SETTINGS, 1u << 4, false, 0, false},
    {IDC_OPT_POPOUT, G_SETTINGS, 1u << 7, false, 0, false},
    {IDC_OPT_BOLD_DRIVES, G_SETTINGS2, 1u << 1, false, 0, false},
    {IDC_OPT_STRONG_EDGES, G_SETTINGS, 1u << 16, false, 0, false},
    {IDC_OPT_TREE_ICONS, G_SETTINGS, 1u << 31, true, 0, false},
};
const Box kPanels[] = {
    {IDC_OPT_SHOW_SEL, G_PANE, 1u << 0, false, 0, false},
    {IDC_OPT_FULL_PATH, G_PANE, 1u << 2, false, 0, false},
    {IDC_OPT_UNC_PATH, G_PANE, 1u << 6, false, 0, false},
    {IDC_OPT_EXTRA_BUTTONS, G_PANE, 1u << 5, true, 0, false},
    {IDC_OPT_SELECT_NEXT, G_PANE, 1u << 3, false, 0, false},
    {IDC_OPT_QUICK_RENAME, G_PANE, 1u << 4, false, 0, false},
    {IDC_OPT_ONE_CLICK, G_PANE, 1u << 16, false, 0, true},
    {IDC_OPT_TRACK_SEL, G_PANE, 1u << 17, false, 0, true},
    {IDC_OPT_FULL_ROW, G_PANE, 1u << 18, false, 0, true},
    {IDC_OPT_GRIDLINES, G_PANE, 1u << 19, false, 0, true},
    {IDC_OPT_UNDERLINE_HOT, G_PANE, 1u << 20, false, 0, true},
    {IDC_OPT_UNDERLINE_COLD, G_PANE, 1u << 21, false, 0, true},
    {IDC_OPT_INFOTIPS, G_PANE, 1u << 23, false, 0, true},
};
const Box kQuickEdit[] = {
    {IDC_OPT_QE_MANY, G_SETTINGS, 1u << 26, false, 0, false},
    {IDC_OPT_QE_LARGE, G_SETTINGS, 1u << 27, false, 0, false},
    {IDC_OPT_QE_EXTERNAL, G_SETTINGS, 1u << 23, false, IDC_OPT_QE_INTERNAL, false},
};
const Box kHotKey[] = {
    {IDC_OPT_HK_ON, G_HOTKEY, 1u << 0, false, 0, false},
    {IDC_OPT_HK_OWN, G_HOTKEY, 1u << 1, false, IDC_OPT_HK_WIN_E, false},
    {IDC_OPT_HK_PROMPT, G_HOTKEY, 1u << 2, false, 0, false},
};
const Box kMisc[] = {
    {IDC_OPT_AUTOCOMPLETE, G_SETTINGS2, 1u << 30, false, 0, false},
    {IDC_OPT_JUMP_HISTORY, G_SETTINGS2, 1u << 31, false, 0, false},
    {IDC_OPT_DBL_PROMPT, G_SETTINGS2, 1u << 3, false, IDC_OPT_DBL_MAXIMIZE, false},
    {IDC_OPT_NC_KEYS, G_SETTINGS, 1u << 29, false, 0, false},
    {IDC_OPT_EXPAND_DRIVES, G_SETTINGS, 1u << 19, false, 0, false},
    {IDC_OPT_CENTER_DIALOGS, G_PANE, kBit7, false, 0, false},
};

bool IsChecked(HWND dlg, int id)
{
    return IsDlgButtonChecked(dlg, id) == BST_CHECKED;
}

// A page of check boxes, each standing for one bit of a group.
class BitsPage : public OptionsPage {
public:
    template <size_t N>
    BitsPage(int templateId, const Box (&boxes)[N]) : OptionsPage(templateId), m_boxes(boxes), m_count(N)
    {
    }
    DWORD words[G_COUNT] = {};
    DWORD supported = 0;   // PaneOpts bits the system's list offers

    // Writes the page's boxes back into the groups.
    virtual void Apply(DWORD (&groups)[G_COUNT]) const
    {
        for (size_t i = 0; i < m_count; ++i) {
            const Box& b = m_boxes[i];
            groups[b.group] = (groups[b.group] & ~b.mask) | (words[b.group] & b.mask);
        }
    }
    void Commit() override
    {
        for (size_t i = 0; i < m_count; ++i) {
            const Box& b = m_boxes[i];
            // A list option the system lacks keeps its stored bit.
            if (b.onlySupported && !(supported & b.mask))
                continue;
            bool on = IsChecked(m_hWnd, b.id) != b.inverted;
            words[b.group] = on ? words[b.group] | b.mask : words[b.group] & ~b.mask;
        }
    }

protected:
    BOOL OnInitDialog() override
    {
        for (size_t i = 0; i < m_count; ++i) {
            const Box& b = m_boxes[i];
            bool on = ((words[b.group] & b.mask) != 0) != b.inverted;
            CheckDlgButton(m_hWnd, b.id, on ? BST_CHECKED : BST_UNCHECKED);
            if (b.offRadio)
                CheckDlgButton(m_hWnd, b.offRadio, on ? BST_UNCHECKED : BST_CHECKED);
            if (b.onlySupported && !(supported & b.mask))
                EnableWindow(GetDlgItem(m_hWnd, b.id), FALSE);
        }
        UpdateEnabling();
        return FALSE;
    }
    bool OnCommand(int id, int code, HWND) override
    {
        if (code == BN_CLICKED)
            UpdateEnabling();
        (void)id;
        return false;
    }
    virtual void UpdateEnabling() {}
    // Shown unchecked and disabled: OK then stores the unchecked state.
    void Unavailable(int id)
    {
        CheckDlgButton(m_hWnd, id, BST_UNCHECKED);
        EnableWindow(GetDlgItem(m_hWnd, id), FALSE);
    }

    const Box* m_boxes;
    size_t m_count;
};

class PPGen : public BitsPage {
public:
    PPGen() : BitsPage(IDD_OPT_GENERAL, kGeneral) { AddNumberField(IDC_OPT_MRVF_SIZE); }
    DWORD histSize = 20;
    bool folderCommands = false;

    void Commit() override
    {
        BitsPage::Commit();
        DWORD n;
        if (ReadNumber(IDC_OPT_MRVF_SIZE, n, false))
            histSize = n < 1 ? 1 : n > 100 ? 100 : n;
        folderCommands = IsChecked(m_hWnd, IDC_OPT_FOLDER_CMD);
    }

protected:
    BOOL OnInitDialog() override
    {
        SendDlgItemMessageA(m_hWnd, IDC_OPT_MRVF_SPIN, UDM_SETRANGE32, 1, 100);
        SetDlgItemInt(m_hWnd, IDC_OPT_MRVF_SIZE, histSize, FALSE);
        CheckDlgButton(m_hWnd, IDC_OPT_FOLDER_CMD, folderCommands ? BST_CHECKED : BST_UNCHECKED);
        return BitsPage::OnInitDialog();
    }
    void UpdateEnabling() override
    {
        EnableWindow(GetDlgItem(m_hWnd, IDC_OPT_FORWARD), IsChecked(m_hWnd, IDC_OPT_SINGLE));
    }
};

class PP_Visual : public BitsPage {
public:
    PP_Visual() : BitsPage(IDD_OPT_VISUAL, kVisual) {}
    bool treeIconsAvailable = true;

protected:
    BOOL OnInitDialog() override
    {
        BOOL r = BitsPage::OnInitDialog();
        if (!treeIconsAvailable)
            Unavailable(IDC_OPT_TREE_ICONS);
        return r;
    }
};

class PP_Pane : public BitsPage {
public:
    PP_Pane() : BitsPage(IDD_OPT_PANELS, kPanels) {}
    // The page's copy of all bits of PaneOpts replaces the group before the boxes are set.
    void Apply(DWORD (&groups)[G_COUNT]) const override
    {
        groups[G_PANE] = words[G_PANE];
        BitsPage::Apply(groups);
    }
};

class PP_QuickEdit : public BitsPage {
public:
    PP_QuickEdit() : BitsPage(IDD_OPT_QUICKEDIT, kQuickEdit)
    {
        AddNumberField(IDC_OPT_QE_MANY_COUNT);
        AddNumberField(IDC_OPT_QE_LARGE_KB);
    }
    DWORD manyFiles = 1, largeFile = 32;

    void Commit() override
    {
        BitsPage::Commit();
        ReadNumber(IDC_OPT_QE_MANY_COUNT, manyFiles, false);
        ReadNumber(IDC_OPT_QE_LARGE_KB, largeFile, false);
    }

protected:
    BOOL OnInitDialog() override
    {
        SetDlgItemInt(m_hWnd, IDC_OPT_QE_MANY_COUNT, manyFiles, FALSE);
        SetDlgItemInt(m_hWnd, IDC_OPT_QE_LARGE_KB, largeFile, FALSE);
        return BitsPage::OnInitDialog();
    }
    bool OnCommand(int id, int code, HWND control) override
    {
        // The editors' own dialogs store their settings themselves when they close.
        if (code == BN_CLICKED && id == IDC_OPT_QE_INT_OPTIONS) {
            QuickEditOptions(m_hWnd);
            return true;
        }
        if (code == BN_CLICKED && id == IDC_OPT_QE_EXT_OPTIONS) {
            QuickEditExtOptions(m_hWnd);
            return true;
        }
        return BitsPage::OnCommand(id, code, control);
    }
};

class PP_HotKey : public BitsPage {
public:
    PP_HotKey() : BitsPage(IDD_OPT_HOTKEY, kHotKey) {}
    DWORD hotKey = 0;   // virtual key in the low word, HOTKEYF_ flags in the high word

    void Commit() override
    {
        BitsPage::Commit();
        DWORD v = (DWORD)SendDlgItemMessageA(m_hWnd, IDC_OPT_HK_KEY, HKM_GETHOTKEY, 0, 0);
        hotKey = MAKELONG(LOBYTE(LOWORD(v)), HIBYTE(LOWORD(v)));
    }

protected:
    BOOL OnInitDialog() override
    {
        SendDlgItemMessageA(m_hWnd, IDC_OPT_HK_KEY, HKM_SETHOTKEY,
                            MAKEWORD(LOBYTE(LOWORD(hotKey)), LOBYTE(HIWORD(hotKey))), 0);
        return BitsPage::OnInitDialog();
    }
    void UpdateEnabling() override
    {
        bool on = IsChecked(m_hWnd, IDC_OPT_HK_ON);
        bool own = IsChecked(m_hWnd, IDC_OPT_HK_OWN);
        EnableWindow(GetDlgItem(m_hWnd, IDC_OPT_HK_WIN_E), on);
        EnableWindow(GetDlgItem(m_hWnd, IDC_OPT_HK_OWN), on);
        EnableWindow(GetDlgItem(m_hWnd, IDC_OPT_HK_PROMPT), on && !own);
        EnableWindow(GetDlgItem(m_hWnd, IDC_OPT_HK_KEY), on && own);
    }
};

class PP_Misc : public BitsPage {
public:
    PP_Misc() : BitsPage(IDD_OPT_MISC, kMisc) {}
    bool autoCompleteAvailable = true;

protected:
    BOOL OnInitDialog() override
    {
        BOOL r = BitsPage::OnInitDialog();
        if (!autoCompleteAvailable)
            Unavailable(IDC_OPT_AUTOCOMPLETE);
        return r;
    }
};

// The shell's repair of the system image list (FileIconInit, exported by number only);
// false when the platform has none or it fails.
bool ImageList_FixImageListInit()
{
    typedef BOOL(WINAPI * FileIconInitFn)(BOOL);
    HMODULE shell = GetModuleHandleA("shell32.dll");
    FileIconInitFn init = shell ? reinterpret_cast<FileIconInitFn>(reinterpret_cast<void*>(
                                      GetProcAddress(shell, MAKEINTRESOURCEA(660))))
                                : nullptr;
    return init && init(TRUE);
}

}  // namespace

void ShowOptions(CMainFrame& frame)
{
    CMainApp& app = GetMainApp();
    SettingsOpts& s = app.m_settings;
    MyHotKeyOpts hk;
    hk.Load();

    DWORD groups[G_COUNT] = {s.value, s.settings2.value, s.settings3.value, s.pane.value, hk.value};
    PPGen gen;
    PP_Visual visual;
    PP_Pane pane;
    PP_QuickEdit qe;
    PP_HotKey hot;
    PP_Misc misc;
    BitsPage* pages[] = {&gen, &visual, &pane, &qe, &hot, &misc};
    for (BitsPage* p : pages) {
        for (int g = 0; g < G_COUNT; ++g)
            p->words[g] = groups[g];
        p->supported = s.pane.supportedMask;
    }
    gen.histSize = s.mrvfHistSize;
    gen.folderCommands = RegisterFolderCtxMenuCommands(frame.m_hWnd, RegKey::OpCheck) != 0;
    bool folderCommandsBefore = gen.folderCommands;
    visual.treeIconsAvailable = ImageList_FixImageListInit();
    qe.manyFiles = s.qeConfirmManyFiles;
    qe.largeFile = s.qeConfirmLargeFile;
    hot.hotKey = hk.hotKey;
    misc.autoCompleteAvailable = app.m_canAutoComplete;

    OptionsSheet sheet;
    for (BitsPage* p : pages)
        sheet.AddPage(p);
    INT_PTR result = sheet.Run(frame.m_hWnd, (int)s.optsPage);
    if (result == IDOK) {
        // The editors' dialogs may have stored bits of their own meanwhile: start from now.
        groups[G_SETTINGS] = s.value;
        groups[G_SETTINGS2] = s.settings2.value;
        groups[G_SETTINGS3] = s.settings3.value;
        for (BitsPage* p : pages)
            if (p != &hot)
                p->Apply(groups);
        s.value = groups[G_SETTINGS];
        s.settings2.value = groups[G_SETTINGS2];
        s.settings3.value = groups[G_SETTINGS3];
        s.pane.value = groups[G_PANE];
        s.mrvfHistSize = gen.histSize;
        s.qeConfirmManyFiles = qe.manyFiles;
        s.qeConfirmLargeFile = qe.largeFile;
        if (gen.folderCommands != folderCommandsBefore)
            RegisterFolderCtxMenuCommands(frame.m_hWnd, gen.folderCommands ? RegKey::OpUpdate
                                                                           : RegKey::OpRemove);
        hot.Apply(groups);
        hk.value = groups[G_HOTKEY];
        hk.hotKey = hot.hotKey;
        hk.Store();
        ProcessHotKey(hk.IsOn(MyHotKeyOpts::HK_ON));
        VmMenuOwnerDraw::DefaultStyle = s.MenuDrawStyle();
        s.optsPage = (DWORD)(sheet.GetLastIndex() < 0 ? 0 : sheet.GetLastIndex());
        s.Store();
        frame.ApplySettings();
    }
    if (sheet.GetLastIndex() >= 0)
        s.optsPage = (DWORD)sheet.GetLastIndex();
    RedrawWindow(frame.m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
}
