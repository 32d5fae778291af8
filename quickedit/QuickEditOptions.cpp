#include "quickedit/QuickEditOptions.h"
#include "quickedit/QuickEditRes.h"
#include "quickedit/QuickEditWnd.h"
#include "app/MainApp.h"
#include "registry/AppInfo.h"
#include "ui/VmDlg.h"
#include "ui/VmHistCB.h"
#include "util/ResStr.h"
#include "util/PathUtil.h"
#include "util/StrUtil.h"
#include <string.h>
#include <commdlg.h>

namespace {

const DWORD S2_CUSTOM_VAR_FONT = 1u << 24;
const DWORD S2_CUSTOM_FIXED_FONT = 1u << 25;
const DWORD S2_ESC_CLOSES = 1u << 26;
const DWORD S2_FIXED_FONT = 1u << 27;

Settings2Opts& Settings2()
{
    return GetMainApp().m_settings.settings2;
}

// The font chooser for one kind; true when a font was chosen and kept.
bool ChooseQEFont(HWND dlg, bool fixed)
{
    Settings2Opts& s = Settings2();
    LOGFONTA*& custom = fixed ? s.qeFontFixed : s.qeFontVar;
    LOGFONTA lf = {};
    if (custom)
        lf = *custom;
    else
        GetObjectA(GetStockObject(fixed ? ANSI_FIXED_FONT : ANSI_VAR_FONT), sizeof(lf), &lf);
    CHOOSEFONTA cf = {};
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = dlg;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_NOSCRIPTSEL | CF_INITTOLOGFONTSTRUCT |
               (fixed ? CF_FIXEDPITCHONLY : 0);
    if (!ChooseFontA(&cf))
        return false;
    delete custom;
    custom = new LOGFONTA(lf);
    return true;
}

void StoreFontBits(HWND dlg, bool fixed)
{
    Settings2Opts& s = Settings2();
    s.Set(S2_CUSTOM_VAR_FONT, IsDlgButtonChecked(dlg, IDC_QE_OPT_CUSTOM_VAR) == BST_CHECKED);
    s.Set(S2_CUSTOM_FIXED_FONT, IsDlgButtonChecked(dlg, IDC_QE_OPT_CUSTOM_FIXED) == BST_CHECKED);
    s.Store();
    QuickEditWnd::ApplyFontAll(fixed);
}

INT_PTR CALLBACK OptionsProc(HWND dlg, UINT msg, WPARAM wp, LPARAM)
{
    Settings2Opts& s = Settings2();
    static DWORD before;
    switch (msg) {
    case WM_INITDIALOG: {
        before = s.value;
        CheckRadioButton(dlg, IDC_QE_OPT_VARIABLE, IDC_QE_OPT_FIXED,
                         s.IsOn(S2_FIXED_FONT) ? IDC_QE_OPT_FIXED : IDC_QE_OPT_VARIABLE);
        CheckDlgButton(dlg, IDC_QE_OPT_CUSTOM_VAR, s.IsOn(S2_CUSTOM_VAR_FONT));
        CheckDlgButton(dlg, IDC_QE_OPT_CUSTOM_FIXED, s.IsOn(S2_CUSTOM_FIXED_FONT));
        CheckDlgButton(dlg, IDC_QE_OPT_ESC, s.IsOn(S2_ESC_CLOSES));
        HWND types = GetDlgItem(dlg, IDC_QE_OPT_DEF_TYPE);
        for (const char* t : {"ANSI", "Unicode", "Unicode big endian", "UTF-8", "UNIX"})
            SendMessageA(types, CB_ADDSTRING, 0, (LPARAM)t);
        SendMessageA(types, CB_SETCURSEL, s.defQEType <= 4 ? s.defQEType : 0, 0);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_QE_OPT_CHOOSE_VAR:
        case IDC_QE_OPT_CHOOSE_FIXED: {
            bool fixed = LOWORD(wp) == IDC_QE_OPT_CHOOSE_FIXED;
            if (ChooseQEFont(dlg, fixed))
                StoreFontBits(dlg, fixed);
            return TRUE;
        }
        case IDC_QE_OPT_CUSTOM_VAR:
        case IDC_QE_OPT_CUSTOM_FIXED: {
            bool fixed = LOWORD(wp) == IDC_QE_OPT_CUSTOM_FIXED;
            // Checking the box with no font of that kind yet opens the chooser first.
            if (IsDlgButtonChecked(dlg, LOWORD(wp)) == BST_CHECKED &&
                !(fixed ? s.qeFontFixed : s.qeFontVar) && !ChooseQEFont(dlg, fixed))
                CheckDlgButton(dlg, LOWORD(wp), BST_UNCHECKED);
            StoreFontBits(dlg, fixed);
            return TRUE;
        }
        case IDCANCEL: {
            s.Set(S2_FIXED_FONT, IsDlgButtonChecked(dlg, IDC_QE_OPT_FIXED) == BST_CHECKED);
            s.Set(S2_ESC_CLOSES, IsDlgButtonChecked(dlg, IDC_QE_OPT_ESC) == BST_CHECKED);
            s.Set(S2_CUSTOM_VAR_FONT, IsDlgButtonChecked(dlg, IDC_QE_OPT_CUSTOM_VAR) == BST_CHECKED);
            s.Set(S2_CUSTOM_FIXED_FONT, IsDlgButtonChecked(dlg, IDC_QE_OPT_CUSTOM_FIXED) == BST_CHECKED);
            int type = (int)SendDlgItemMessageA(dlg, IDC_QE_OPT_DEF_TYPE, CB_GETCURSEL, 0, 0);
            s.defQEType = type >= 0 && type <= 4 ? (DWORD)type : 0;
            s.Store();
            if ((before ^ s.value) & S2_CUSTOM_VAR_FONT)
                QuickEditWnd::ApplyFontAll(false);
            if ((before ^ s.value) & S2_CUSTOM_FIXED_FONT)
                QuickEditWnd::ApplyFontAll(true);
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        case 9: {
            const char* file = AppInfo::Data().helpFile;
            if (file && *file)
                WinHelpA(dlg, file, HELP_CONTEXT, 0x2039E);
            return TRUE;
        }
        }
        break;
    }
    return FALSE;
}

}   // namespace

void QuickEditOptions(HWND owner)
{
    DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_QE_OPTIONS), owner, OptionsProc, 0);
}

namespace {

const DWORD SO_EXTERNAL_MAXIMIZED = 1u << 24;
const DWORD SO_EXTERNAL_SHORT_PATH = 1u << 25;

class ExtOptionsDlg : public VmDlg {
public:
    ExtOptionsDlg()
    {
        SetResizable(ResizeWidth, "DlgQE_ExtOpts");
        AddCtrl(&m_path, IDC_QE_EXT_PATH, "QEPathMRU");
        AddCtrl(&m_args, IDC_QE_EXT_ARGS, "QEArgsMRU");
    }

protected:
    BOOL OnInitDialog() override
    {
        SettingsOpts& s = GetMainApp().m_settings;
        // The histories filled the boxes; the current settings are what the fields show.
        SetDlgItemTextA(m_hWnd, IDC_QE_EXT_PATH, s.qePath);
        SetDlgItemTextA(m_hWnd, IDC_QE_EXT_ARGS, s.qeArgs);
        CheckDlgButton(m_hWnd, IDC_QE_EXT_SHORT, s.IsOn(SO_EXTERNAL_SHORT_PATH) ? BST_CHECKED : 0);
        CheckDlgButton(m_hWnd, IDC_QE_EXT_MAXIMIZED, s.IsOn(SO_EXTERNAL_MAXIMIZED) ? BST_CHECKED : 0);
        return TRUE;
    }
    bool CanClose(INT_PTR result) override
    {
        if (result == IDOK) {
            char path[MAX_PATH], args[MAX_PATH];
            // A text longer than the setting holds is refused rather than stored cut.
            if (!ReadField(IDC_QE_EXT_PATH, path) || !ReadField(IDC_QE_EXT_ARGS, args))
                return false;
            SettingsOpts& s = GetMainApp().m_settings;
            lstrcpynA(s.qePath, path, sizeof(s.qePath));
            lstrcpynA(s.qeArgs, args, sizeof(s.qeArgs));
            s.Set(SO_EXTERNAL_SHORT_PATH, IsDlgButtonChecked(m_hWnd, IDC_QE_EXT_SHORT) == BST_CHECKED);
            s.Set(SO_EXTERNAL_MAXIMIZED, IsDlgButtonChecked(m_hWnd, IDC_QE_EXT_MAXIMIZED) == BST_CHECKED);
            s.Store();
        }
        return VmDlg::CanClose(result);
    }
    bool OnCommand(int id, int code, HWND) override
    {
        if (id == IDC_QE_EXT_BROWSE && code == BN_CLICKED) {
            Browse();
            return true;
        }
        return false;
    }
    bool OnHelp(DWORD) override
    {
        const char* file = AppInfo::Data().helpFile;
        return file && *file && WinHelpA(m_hWnd, file, HELP_CONTEXT, 0x2039D);
    }
    void OnResize(int dx, int) override
    {
        // Width only: the fields stretch, the buttons keep to the right edge.
        for (int id : {IDC_QE_EXT_PATH, IDC_QE_EXT_ARGS})
            Stretch(id, dx, false);
        for (int id : {IDC_QE_EXT_BROWSE, IDOK, IDCANCEL, 9})
            Stretch(id, dx, true);
        InvalidateRect(m_hWnd, NULL, TRUE);
    }

private:
    bool ReadField(int id, char (&out)[MAX_PATH])
    {
        HWND box = GetDlgItem(m_hWnd, id);
        if (GetWindowTextLengthA(box) >= MAX_PATH) {
            MessageBeep(MB_ICONHAND);
            SetFocus(box);
            return false;
        }
        GetWindowTextA(box, out, MAX_PATH);
        return true;
    }
    void Stretch(int id, int dx, bool move)
    {
        HWND c = GetDlgItem(m_hWnd, id);
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        if (move)
            SetWindowPos(c, NULL, r.left + dx, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        else
            SetWindowPos(c, NULL, 0, 0, r.right - r.left + dx, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    }
    void Browse()
    {
        char file[MAX_PATH] = "";
        HWND box = GetDlgItem(m_hWnd, IDC_QE_EXT_PATH);
        if (GetWindowTextLengthA(box) < MAX_PATH)
            GetWindowTextA(box, file, MAX_PATH);
        RemoveWhiteSpacesAndQuotes(file);
        char folder[MAX_PATH];
        lstrcpynA(folder, file, MAX_PATH);
        if (!StripFileName(folder))
            folder[0] = 0;
        // "text|pattern" with the bars as the dialog's zero separators, ended by two zeros.
        char filter[128] = "";
        lstrcpynA(filter, ResStr(IDS_QE_EXT_FILTER), sizeof(filter) - 2);
        size_t len = strlen(filter);
        filter[len + 1] = 0;
        for (char* p = filter; *p; ++p)
            if (*p == '|')
                *p = 0;
        OPENFILENAMEA ofn = {};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = m_hWnd;
        ofn.lpstrFilter = filter;
        ofn.lpstrFile = file;
        ofn.nMaxFile = MAX_PATH;
        ofn.lpstrInitialDir = folder[0] ? folder : nullptr;
        ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        if (GetOpenFileNameA(&ofn))
            SetWindowTextA(box, file);
    }

    VmHistCB m_path;   // "QEPathMRU"
    VmHistCB m_args;   // "QEArgsMRU"
};

}   // namespace

void QuickEditExtOptions(HWND owner)
{
    ExtOptionsDlg dlg;
    dlg.Modal(IDD_QE_EXTOPTS, NULL, owner);
}
