#include "quickedit/QuickEditOptions.h"
#include "quickedit/QuickEditRes.h"
#include "quickedit/QuickEditWnd.h"
#include "app/MainApp.h"
#include "registry/AppInfo.h"
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
