#include "app/CommandTable.h"
#include "app/MainApp.h"
#include "app/MainFrame.h"
#include "app/Policy.h"
#include "app/Resource.h"
#include "app/TipDlg.h"
#include "imageview/ImageView.h"
#include "quickedit/QuickEditCmd.h"
#include "commands/Compare.h"
#include "commands/SplitMerge.h"
#include "customize/Options.h"
#include "customize/SettingsTransfer.h"
#include "Product.h"
#include "registry/RegKey.h"
#include "ui/MsgUtil.h"
#include "ui/SysInfo.h"
#include "util/ResStr.h"
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

namespace {

using RunFn = void (*)(CMainFrame&, UINT id);
using UpdateFn = void (*)(CMainFrame&, UINT id, fw::CmdUI& ui);

struct Command {
    UINT first, last;
    const char* policy;   // null: never locked
    RunFn run;            // null: carried out by a part of the program still to come
    UpdateFn update;      // null: always enabled and unchecked
};

// ---- go to, jump and the command prompt

void RunGoto(CMainFrame& f, UINT)
{
    f.GotoFolder();
}

void RunJump(CMainFrame& f, UINT)
{
    f.JumpToFolder();
}

void RunPrompt(CMainFrame& f, UINT id)
{
    f.OnPromptCommand(id);
}

// ---- conditions of the update rules

bool IsFileSystemPanel(const ViewFrame* panel)
{
    return panel && panel->GetPath()[0] != 0;
}

bool ActiveIsFileSystem(CMainFrame& f)
{
    return IsFileSystemPanel(f.ActivePanel());
}

void EnableOnFileSystem(CMainFrame& f, UINT, fw::CmdUI& ui)
{
    ui.Enable(ActiveIsFileSystem(f));
}

void EnableOnBothFileSystem(CMainFrame& f, UINT, fw::CmdUI& ui)
{
    ui.Enable(ActiveIsFileSystem(f) && IsFileSystemPanel(f.PassivePanel()));
}

void UpdateSelect(CMainFrame& f, UINT, fw::CmdUI& ui)
{
    ui.Enable(ActiveIsFileSystem(f));
    ui.SetCheck(0);   // the Select dialog is not open
}

void UpdateQuickEdit(CMainFrame& f, UINT, fw::CmdUI& ui)
{
    // Quick Edit opens the selected files of a file-system folder.
    HWND list = f.ActivePanel() ? f.ActivePanel()->GetListView() : NULL;
    ui.Enable(ActiveIsFileSystem(f) && list && ListView_GetSelectedCount(list) > 0);
}

void UpdateRemoveFilter(CMainFrame& f, UINT, fw::CmdUI& ui)
{
    ViewFrame* p = f.ActivePanel();
    ui.Enable(p && (p->HasFilter() || p->Settings().quickText[0]));
}

void UpdateDriveBar(CMainFrame& f, UINT, fw::CmdUI& ui)
{
    fw::ControlBar* bar = f.GetControlBar(ID_MAIN_DRIVEBAR);
    ui.SetCheck(bar && bar->IsVisible());
}

void UpdateFont(CMainFrame& f, UINT id, fw::CmdUI& ui)
{
    bool custom = f.Options().hasFont;
    ui.SetCheck(id == ID_VIEW_FONT_CUSTOM ? custom : !custom);
}

void UpdateColor(CMainFrame& f, UINT id, fw::CmdUI& ui)
{
    FrameOpts& o = f.Options();
    DWORD color = id <= ID_VIEW_TEXTCOLOR_CUSTOM ? o.textColor : o.bkgColor;
    bool custom = color != FrameOpts::kSystemColor;
    bool customItem = id == ID_VIEW_TEXTCOLOR_CUSTOM || id == ID_VIEW_BKGCOLOR_CUSTOM;
    ui.SetCheck(customItem ? custom : !custom);
}

// ---- the panels' look

HFONT g_panelFont = NULL;

void RunOptions(CMainFrame& f, UINT)
{
    ShowOptions(f);
}

void RunIndicators(CMainFrame& f, UINT)
{
    f.ChooseIndicators();
}

void ApplyLook(CMainFrame& f)
{
    FrameOpts& o = f.Options();
    HFONT font = NULL;
    if (o.hasFont) {
        font = CreateFontIndirectA(&o.font);
    } else {
        LOGFONTA lf;
        if (SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0))
            font = CreateFontIndirectA(&lf);
    }
    for (int i = 0; i < 2; i++) {
        ViewFrame* p = f.Panel(i);
        HWND list = p ? p->GetListView() : NULL;
        if (!list)
            continue;
        COLORREF text = o.textColor == FrameOpts::kSystemColor ? GetSysColor(COLOR_WINDOWTEXT) : o.textColor;
        COLORREF bkg = o.bkgColor == FrameOpts::kSystemColor ? GetSysColor(COLOR_WINDOW) : o.bkgColor;
        ListView_SetTextColor(list, text);
        ListView_SetTextBkColor(list, bkg);
        ListView_SetBkColor(list, bkg);
        if (font)
            SendMessageA(list, WM_SETFONT, (WPARAM)font, TRUE);
        InvalidateRect(list, NULL, TRUE);
    }
    // The views now use the new font; the old one can go.
    if (font) {
        if (g_panelFont)
            DeleteObject(g_panelFont);
        g_panelFont = font;
    }
}

void StoreLook(CMainFrame& f)
{
    f.Options().Store();
    ApplyLook(f);
}

void RunFontSystem(CMainFrame& f, UINT)
{
    f.Options().hasFont = false;
    StoreLook(f);
}

void RunFontCustom(CMainFrame& f, UINT)
{
    FrameOpts& o = f.Options();
    LOGFONTA lf = o.font;
    if (!o.hasFont) {
        // Start from the font the panels show now.
        HWND list = f.ActivePanel() ? f.ActivePanel()->GetListView() : NULL;
        HFONT cur = list ? (HFONT)SendMessageA(list, WM_GETFONT, 0, 0) : NULL;
        if (!cur || !GetObjectA(cur, sizeof(lf), &lf))
            SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0);
    }
    CHOOSEFONTA cf = {};
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = f.m_hWnd;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_NOSCRIPTSEL;
    if (!ChooseFontA(&cf))
        return;
    o.font = lf;
    o.font.lfFaceName[LF_FACESIZE - 1] = 0;
    o.hasFont = true;
    StoreLook(f);
}

DWORD& ColorOf(CMainFrame& f, UINT id)
{
    return id <= ID_VIEW_TEXTCOLOR_CUSTOM ? f.Options().textColor : f.Options().bkgColor;
}

void RunColorSystem(CMainFrame& f, UINT id)
{
    ColorOf(f, id) = FrameOpts::kSystemColor;
    StoreLook(f);
}

void RunColorCustom(CMainFrame& f, UINT id)
{
    FrameOpts& o = f.Options();
    DWORD& color = ColorOf(f, id);
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = f.m_hWnd;
    cc.lpCustColors = o.customColors;
    bool text = id == ID_VIEW_TEXTCOLOR_CUSTOM;
    cc.rgbResult = color != FrameOpts::kSystemColor ? color : GetSysColor(text ? COLOR_WINDOWTEXT : COLOR_WINDOW);
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorA(&cc))
        return;
    color = cc.rgbResult & 0xFFFFFF;
    o.hasCustomColors = true;
    StoreLook(f);
}

// ---- tools

void RunFindFiles(CMainFrame& f, UINT)
{
    ViewFrame* p = f.ActivePanel();
    if (!p || !p->GetCurrentFolder())
        return;
    SHELLEXECUTEINFOA sei = {};
    sei.cbSize = sizeof(sei);
    sei.fMask = SEE_MASK_IDLIST;
    sei.hwnd = f.m_hWnd;
    sei.lpVerb = "find";
    sei.lpIDList = const_cast<ITEMIDLIST*>(p->GetCurrentFolder());
    sei.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&sei);
}

struct TopWindowOf {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND wnd, LPARAM lp)
{
    TopWindowOf* t = reinterpret_cast<TopWindowOf*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == t->pid && IsWindowVisible(wnd)) {
        t->found = wnd;
        return FALSE;
    }
    return TRUE;
}

void RunFolderOptions(CMainFrame& f, UINT)
{
    OSVERSIONINFOA os = {};
    os.dwOSVersionInfoSize = sizeof(os);
    GetVersionExA(&os);
    const char* old = NULL;
    if (os.dwPlatformId == VER_PLATFORM_WIN32_NT && os.dwMajorVersion == 4)
        old = "NT 4";
    else if (os.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        old = os.dwMinorVersion >= 10 ? "98" : "95";
    if (old) {
        Msg(f.m_hWnd, MB_OK | MB_ICONINFORMATION, IDS_FOLDER_OPTIONS_OLD, old);
        return;
    }
    char key[MAX_PATH];
    snprintf(key, sizeof(key), "HKCLS\\%s\\{6DFD7C5C-2451-11D3-A299-00C04F8EF6AF}\\Shell\\Open\\Command", "CLSID");
    char command[MAX_PATH + 64] = "";
    RegKey reg;
    if (reg.Open(key, 0))
        reg.GetStr(NULL, command, MAX_PATH, "");
    if (!command[0])
        lstrcpynA(command, "Control.exe Folders", sizeof(command));
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        MsgLastError(f.m_hWnd);
        return;
    }
    WaitForInputIdle(pi.hProcess, 5000);
    TopWindowOf t = {pi.dwProcessId, NULL};
    EnumWindows(FindProcessWindow, (LPARAM)&t);
    if (t.found) {
        SetWindowPos(t.found, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(t.found);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

// ---- drives

int PanelOfCommand(UINT id)
{
    if (id == ID_DRIVE_MENU_PANEL1 || id == ID_NET_MENU_PANEL1)
        return 0;
    if (id == ID_DRIVE_MENU_PANEL2 || id == ID_NET_MENU_PANEL2)
        return 1;
    return -1;   // the active panel
}

void RunDriveMenu(CMainFrame& f, UINT id)
{
    f.ShowDriveMenu(PanelOfCommand(id), id);
}

void RunNetworkMenu(CMainFrame& f, UINT id)
{
    f.ShowNetworkMenu(PanelOfCommand(id), id);
}

void RunMapDrive(CMainFrame& f, UINT)
{
    f.MapNetworkDrive();
}

void RunDisconnectDrive(CMainFrame& f, UINT)
{
    f.DisconnectNetworkDrive();
}

void RunDriveBarShow(CMainFrame& f, UINT)
{
    DriveBar& bar = f.MainDriveBar();
    f.ShowControlBar(&bar, !bar.IsVisible());
}

void RunDriveBarReset(CMainFrame& f, UINT)
{
    f.MainDriveBar().Rebuild();
}

void RunDrive(CMainFrame& f, UINT id)
{
    f.MainDriveBar().RunCommand(id);
}

void RunDriveVariant(CMainFrame&, UINT)
{
    // The variants exist only inside a drive bar's menu, which applies them to its drive.
}

void UpdateDrive(CMainFrame& f, UINT id, fw::CmdUI& ui)
{
    ViewFrame* p = f.ActivePanel();
    ui.SetCheck(p && p->GetDrive() >= 0 && id == ID_DRIVE_FIRST + (UINT)p->GetDrive());
}

// ---- help

void RunHelp(CMainFrame& f, UINT id)
{
    fw::App* app = fw::App::Get();
    const char* file = app && !app->m_helpFilePath.empty() ? app->m_helpFilePath.c_str() : "panorel.hlp";
    WinHelpA(f.m_hWnd, file, id == ID_HELP_TOPICS ? HELP_FINDER : HELP_CONTENTS, 0);
}

void RunTip(CMainFrame& f, UINT)
{
    CTipDlg tip;
    tip.Run(f.m_hWnd);
}

void RunSysInfo(CMainFrame& f, UINT)
{
    SysInfo dlg;
    dlg.Run(f.m_hWnd);
}

// The introductory screens.
INT_PTR CALLBACK WelcomeProc(HWND dlg, UINT msg, WPARAM wp, LPARAM)
{
    SettingsOpts& s = GetMainApp().m_settings;
    auto show = [dlg, &s](int page) {
        ResStr text(IDS_WELCOME_FIRST - 1 + page);
        const char* t = text;
        const char* dash = t ? strchr(t, '-') : NULL;
        char code[16] = "";
        if (dash) {
            size_t n = (size_t)(dash - t) < sizeof(code) - 1 ? (size_t)(dash - t) : sizeof(code) - 1;
            memcpy(code, t, n);
            code[n] = 0;
        }
        SetDlgItemTextA(dlg, IDC_WELCOME_CODE, code);
        SetDlgItemTextA(dlg, IDC_WELCOME_TEXT, dash ? dash + 1 : (t ? t : ""));
        s.lastWelcomeMsg = page;
        EnableWindow(GetDlgItem(dlg, IDC_WELCOME_PREV), page > Welcome_FindPage(1, 1));
    };
    switch (msg) {
    case WM_INITDIALOG: {
        int last = (int)s.lastWelcomeMsg;
        int page = Welcome_FindPage(last >= 1 && last <= IDS_WELCOME_LAST - 500 ? last : 1, 1);
        if (page)
            show(page);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_WELCOME_NEXT:
        case IDC_WELCOME_PREV: {
            int step = LOWORD(wp) == IDC_WELCOME_NEXT ? 1 : -1;
            int cur = (int)s.lastWelcomeMsg;
            int max = IDS_WELCOME_LAST - 500;
            int from = cur + step;
            if (from > max)
                from = 1;
            if (from < 1)
                from = max;
            int page = Welcome_FindPage(from, step);
            if (page)
                show(page);
            return TRUE;
        }
        case IDOK:
        case IDCANCEL:
            s.Store();
            EndDialog(dlg, LOWORD(wp));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void RunQuickEdit(CMainFrame& f, UINT id)
{
    QuickEditSelection(f, id == ID_TOOLS_QUICKEDIT_ALT);
}

void RunFavoritesMenu(CMainFrame& f, UINT id)
{
    f.ShowFavoritesMenu(id);
}

void RunAddFavorite(CMainFrame& f, UINT)
{
    f.AddFavorite();
}

void RunOrganizeFavorites(CMainFrame& f, UINT)
{
    f.OrganizeFavorites();
}

void RunFolderTree(CMainFrame& f, UINT)
{
    f.ShowFolderTree();
}

void UpdateFolderTree(CMainFrame& f, UINT, fw::CmdUI& ui)
{
    ui.SetCheck(f.IsFolderTreeOpen());
}

void RunImagePreview(CMainFrame& f, UINT)
{
    ImageView_Open(f);
}

void UpdateImagePreview(CMainFrame&, UINT, fw::CmdUI& ui)
{
    ui.SetCheck(ImageView_IsOpen());
}

void RunCustomizeToolbar(CMainFrame& f, UINT id)
{
    if (id == ID_PANEL_CUSTOMIZE_TOOLBAR) {
        if (f.ActivePanel())
            f.ActivePanel()->ToolBar().Customize();
    } else {
        f.MainToolBar().Customize();
    }
    RedrawWindow(f.m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
}

void RunSettingsTransfer(CMainFrame& f, UINT id)
{
    SettingsTransfer_Run(f, id == ID_TOOLS_IMPORT_SETTINGS);
}

void RunWelcome(CMainFrame& f, UINT)
{
    DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_WELCOME), f.m_hWnd, WelcomeProc, 0);
}

// The frame itself carries out Exit, About, the layout and bar commands, Refresh All and
// Refresh, Parent, Desktop and Selected; everything else of the vocabulary is here.
const Command kCommands[] = {
    {ID_FOLDER_ROOT, ID_FOLDER_ROOT, "DisableMenuFolderRoot", nullptr, nullptr},
    {ID_FOLDER_MATCH, ID_FOLDER_MATCH, "DisableMenuFolderSynchronize", nullptr, nullptr},
    {ID_FOLDER_PREVIOUS, ID_FOLDER_PREVIOUS, "DisableMenuFolderPrevious", nullptr, nullptr},
    {ID_FOLDER_NEXT, ID_FOLDER_NEXT, "DisableMenuFolderNext", nullptr, nullptr},
    {ID_FOLDER_FAVORITES, ID_FOLDER_FAVORITES, "DisableMenuFolderFavorites", RunFavoritesMenu, nullptr},
    {ID_FOLDER_HISTORY, ID_FOLDER_HISTORY, "DisableMenuFolderHistory", nullptr, nullptr},
    {ID_FOLDER_TREE, ID_FOLDER_TREE, "DisableMenuFolderTree", RunFolderTree, UpdateFolderTree},
    {ID_FOLDER_GOTO, ID_FOLDER_GOTO, "DisableMenuFolderGoto", RunGoto, nullptr},
    {ID_FOLDER_JUMP, ID_FOLDER_JUMP, "DisableMenuFolderJump", RunJump, nullptr},
    {ID_FOLDER_DRIVE, ID_FOLDER_DRIVE, "DisableMenuFolderDrive", RunDriveMenu, nullptr},
    {ID_FOLDER_NETWORK, ID_FOLDER_NETWORK, "DisableMenuFolderNetwork", RunNetworkMenu, nullptr},
    {ID_CMD_COPY, ID_CMD_COPY, "DisableMenuCommandCopy", nullptr, EnableOnFileSystem},
    {ID_CMD_MOVE, ID_CMD_MOVE, "DisableMenuCommandMove", nullptr, EnableOnFileSystem},
    {ID_CMD_RENAME, ID_CMD_RENAME, "DisableMenuCommandRename", nullptr, EnableOnFileSystem},
    {ID_CMD_DELETE, ID_CMD_DELETE, "DisableMenuCommandDelete", nullptr, EnableOnFileSystem},
    {ID_CMD_SPLIT, ID_CMD_SPLIT, "DisableMenuCommandSplit", RunSplitMerge, EnableOnFileSystem},
    {ID_CMD_MERGE, ID_CMD_MERGE, "DisableMenuCommandMerge", RunSplitMerge, EnableOnFileSystem},
    {ID_CMD_STAMP, ID_CMD_STAMP, "DisableMenuCommandStamp", nullptr, EnableOnFileSystem},
    {39400, 39400, nullptr, nullptr, EnableOnFileSystem},
    {39408, 39499, nullptr, nullptr, EnableOnFileSystem},
    {ID_CMD_COMPARE, ID_CMD_COMPARE, "DisableMenuCommandCompare", RunCompare, EnableOnBothFileSystem},
    {ID_CMD_SYNCHRONIZE, ID_CMD_SYNCHRONIZE, "DisableMenuCommandSynchronize", RunSynchronize, EnableOnBothFileSystem},
    {ID_CMD_LIST, ID_CMD_LIST, "DisableMenuCommandList", nullptr, nullptr},
    {ID_CLIP_NAME, ID_CLIP_PATH_ALIAS, "DisableMenuCommandCopyToClipboard", nullptr, EnableOnFileSystem},
    {38251, 38259, "DisableMenuCommandCopyToClipboard", nullptr, EnableOnFileSystem},
    {ID_CLIP_COLUMN_FIRST, ID_CLIP_COLUMN_LAST, "DisableMenuCommandCopyToClipboard", nullptr, nullptr},
    {ID_CMD_SELECT, ID_CMD_SELECT, "DisableMenuCommandSelect", nullptr, UpdateSelect},
    {ID_CMD_INVERT_SELECTION, ID_CMD_INVERT_SELECTION, nullptr, nullptr, nullptr},
    {ID_CMD_DESELECT_ALL, ID_CMD_SELECT_ALL, nullptr, nullptr, nullptr},
    {ID_PROMPT_SWITCH_TO, ID_PROMPT_SWITCH_TO, "DisableMenuPromptSwitchTo", RunPrompt, nullptr},
    {ID_PROMPT_EXECUTE, ID_PROMPT_EXECUTE, "DisableMenuPromptExecute", RunPrompt, nullptr},
    {ID_PROMPT_EXECUTE_ENTER, ID_PROMPT_EXECUTE_ENTER, "DisableMenuPromptExecute", RunPrompt, nullptr},
    {ID_PROMPT_CLEAR, ID_PROMPT_UNDO_INSERT, nullptr, RunPrompt, nullptr},
    {ID_PROMPT_INSERT_NAME, ID_PROMPT_INSERT_PATH_ALIAS, nullptr, RunPrompt, EnableOnFileSystem},
    {ID_PROMPT_COMMAND, ID_PROMPT_COMMAND, nullptr, RunPrompt, nullptr},
    {ID_VIEW_TOOLBAR_CUSTOMIZE, ID_VIEW_TOOLBAR_CUSTOMIZE, "DisableMenuViewToolbarCustomize", RunCustomizeToolbar, nullptr},
    {ID_VIEW_DRIVEBAR, ID_VIEW_DRIVEBAR, "DisableMenuViewDrivebarShow", RunDriveBarShow, UpdateDriveBar},
    {ID_VIEW_DRIVEBAR_RESET, ID_VIEW_DRIVEBAR_RESET, "DisableMenuViewDrivebarReset", RunDriveBarReset, nullptr},
    {ID_VIEW_STATUSBAR_INDICATORS, ID_VIEW_STATUSBAR_INDICATORS, "DisableMenuViewStatusbarIndicators", RunIndicators, nullptr},
    {ID_VIEW_FONT_SYSTEM, ID_VIEW_FONT_SYSTEM, "DisableMenuViewFontSystem", RunFontSystem, UpdateFont},
    {ID_VIEW_FONT_CUSTOM, ID_VIEW_FONT_CUSTOM, "DisableMenuViewFontCustom", RunFontCustom, UpdateFont},
    {ID_VIEW_TEXTCOLOR_SYSTEM, ID_VIEW_TEXTCOLOR_SYSTEM, "DisableMenuViewTextColorSystem", RunColorSystem, UpdateColor},
    {ID_VIEW_TEXTCOLOR_CUSTOM, ID_VIEW_TEXTCOLOR_CUSTOM, "DisableMenuViewTextColorCustom", RunColorCustom, UpdateColor},
    {ID_VIEW_BKGCOLOR_SYSTEM, ID_VIEW_BKGCOLOR_SYSTEM, "DisableMenuViewBkgColorSystem", RunColorSystem, UpdateColor},
    {ID_VIEW_BKGCOLOR_CUSTOM, ID_VIEW_BKGCOLOR_CUSTOM, "DisableMenuViewBkgColorCustom", RunColorCustom, UpdateColor},
    {ID_VIEW_OPTIONS, ID_VIEW_OPTIONS, "DisableMenuViewOptions", RunOptions, nullptr},
    {ID_TOOLS_QUICKEDIT, ID_TOOLS_QUICKEDIT, "DisableMenuToolsQuickEdit", RunQuickEdit, UpdateQuickEdit},
    {ID_TOOLS_QUICKEDIT_ALT, ID_TOOLS_QUICKEDIT_ALT, "DisableMenuToolsQuickEditAlt", RunQuickEdit, UpdateQuickEdit},
    {ID_TOOLS_QUICK_NEW_FOLDER, ID_TOOLS_QUICK_NEW_FOLDER, nullptr, nullptr, nullptr},
    {ID_TOOLS_NEW_FOLDER, ID_TOOLS_NEW_FOLDER, "DisableMenuToolsNewFolder", nullptr, EnableOnFileSystem},
    {ID_TOOLS_FIND_FILES, ID_TOOLS_FIND_FILES, "DisableMenuToolsFindFiles", RunFindFiles, nullptr},
    {ID_TOOLS_IMAGE_PREVIEW, ID_TOOLS_IMAGE_PREVIEW, "DisableMenuToolsImagePreview", RunImagePreview, UpdateImagePreview},
    {ID_TOOLS_FOLDER_OPTIONS, ID_TOOLS_FOLDER_OPTIONS, nullptr, RunFolderOptions, nullptr},
    {ID_TOOLS_IMPORT_SETTINGS, ID_TOOLS_IMPORT_SETTINGS, "DisableMenuToolsImportSettings", RunSettingsTransfer, nullptr},
    {ID_TOOLS_EXPORT_SETTINGS, ID_TOOLS_EXPORT_SETTINGS, "DisableMenuToolsExportSettings", RunSettingsTransfer, nullptr},
    {ID_TOOLS_MAP_DRIVE, ID_TOOLS_MAP_DRIVE, "DisableMenuToolsMapNetworkDrive", RunMapDrive, nullptr},
    {ID_TOOLS_DISCONNECT_DRIVE, ID_TOOLS_DISCONNECT_DRIVE, "DisableMenuToolsDisconnectNetworkDrive", RunDisconnectDrive, nullptr},
    {ID_PANEL_TITLEBAR, ID_PANEL_TITLEBAR, "DisableMenuPanelTitlebar", nullptr, nullptr},
    {ID_PANEL_TOOLBAR, ID_PANEL_TOOLBAR, "DisableMenuPanelToolbar", nullptr, nullptr},
    {ID_PANEL_DRIVEBAR, ID_PANEL_DRIVEBAR, "DisableMenuViewDrivebarShow", nullptr, nullptr},
    {ID_PANEL_STATUSBAR, ID_PANEL_STATUSBAR, "DisableMenuPanelStatusbar", nullptr, nullptr},
    {ID_PANEL_CUSTOMIZE_TOOLBAR, ID_PANEL_CUSTOMIZE_TOOLBAR, "DisableMenuPanelCustomizeToolbar", RunCustomizeToolbar, nullptr},
    {ID_PANEL_DRIVEBAR_RESET, ID_PANEL_DRIVEBAR_RESET, "DisableMenuViewDrivebarReset", nullptr, nullptr},
    {ID_PANEL_SET_FILTER, ID_PANEL_SET_FILTER, "DisableMenuPanelSetFilter", nullptr, nullptr},
    {ID_PANEL_REMOVE_FILTER, ID_PANEL_REMOVE_FILTER, "DisableMenuPanelRemoveFilter", nullptr, UpdateRemoveFilter},
    {ID_PANEL_COMMAND, ID_PANEL_COMMAND, nullptr, nullptr, nullptr},
    {ID_PANEL_CHANGE_VIEW, ID_PANEL_CHANGE_VIEW, nullptr, nullptr, nullptr},
    {ID_HELP_TOPICS, ID_HELP_TOPICS, "DisableMenuHelpTopics", RunHelp, nullptr},
    {ID_HELP_F1, ID_HELP_F1, "DisableMenuHelpF1", RunHelp, nullptr},
    {ID_HELP_CONTEXT, ID_HELP_CONTEXT, "DisableMenuHelpContext", RunHelp, nullptr},
    {ID_HELP_WELCOME, ID_HELP_WELCOME, "DisableMenuHelpWelcome", RunWelcome, nullptr},
    {ID_HELP_TIP, ID_HELP_TIP, "DisableMenuHelpTipOfTheDay", RunTip, nullptr},
    {ID_HELP_SYSINFO, ID_HELP_SYSINFO, "DisableMenuHelpSystemInfo", RunSysInfo, nullptr},
    {ID_DRIVE_MENU_PANEL1, ID_DRIVE_MENU_PANEL2, "DisableMenuFolderDrive", RunDriveMenu, nullptr},
    {ID_NET_MENU_PANEL1, ID_NET_MENU_PANEL2, "DisableMenuFolderNetwork", RunNetworkMenu, nullptr},
    {ID_FAVORITES_ADD, ID_FAVORITES_ADD, "DisableMenuFolderFavoritesAdd", RunAddFavorite, nullptr},
    {ID_FAVORITES_ORGANIZE, ID_FAVORITES_ORGANIZE, "DisableMenuFolderFavoritesOrganize", RunOrganizeFavorites, nullptr},
    {ID_DRIVE_FIRST, ID_DRIVE_LAST, nullptr, RunDrive, UpdateDrive},
    {ID_DRIVE_ROOT, ID_DRIVE_PASSIVE_ROOT, nullptr, RunDriveVariant, nullptr},
};

const Command* FindCommand(UINT id)
{
    for (const Command& c : kCommands)
        if (id >= c.first && id <= c.last)
            return &c;
    return nullptr;
}

}  // namespace

int Welcome_FindPage(int from, int step)
{
    const int max = IDS_WELCOME_LAST - IDS_WELCOME_FIRST + 1;
    if (from < 1 || from > max || (step != 1 && step != -1))
        return 0;
    int page = from;
    for (int i = 0; i < max; i++) {
        char text[8];
        int n = LoadStringA(GetModuleHandleA(NULL), IDS_WELCOME_FIRST - 1 + page, text, sizeof(text));
        if (n > 0 && text[0] != '#')
            return page;
        page += step;
        if (page > max)
            page = 1;
        if (page < 1)
            page = max;
    }
    return 0;
}

bool CommandTable_OnCmdMsg(CMainFrame& frame, UINT id, int code, fw::CmdUI* ui)
{
    const Command* c = FindCommand(id);
    if (!c)
        return false;
    if (ui) {
        if (!c->update)
            return false;   // always enabled
        c->update(frame, id, *ui);
        return true;
    }
    if (code == fw::kQueryHandler)
        return true;
    // A locked command stays enabled; choosing it only shows the restriction.
    if (c->policy && IsPolicyOn(c->policy, true))
        return true;
    if (!c->run) {
        Msg(frame.m_hWnd, MB_OK | MB_ICONINFORMATION, IDS_NOT_AVAILABLE);
        return true;
    }
    c->run(frame, id);
    return true;
}

void CommandTable_Install(CMainFrame& frame)
{
    HMENU menu = LoadMenuA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_MAIN_MENU));
    if (!menu)
        return;
    HMENU old = GetMenu(frame.m_hWnd);
    SetMenu(frame.m_hWnd, menu);
    if (old && old != menu)
        DestroyMenu(old);
}

bool CommandTable_PreTranslate(CMainFrame& frame, MSG* msg)
{
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)
        return false;
    if (!GetMainApp().m_settings.IsOn(SO_ALT_FKEYS))
        return false;
    // Accelerators loaded from resources are freed with the module.
    static HACCEL accel = LoadAcceleratorsA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_ACCEL_ALT_FKEYS));
    return accel && TranslateAcceleratorA(frame.m_hWnd, accel, msg) != 0;
}

void CommandTable_ApplyLook(CMainFrame& frame)
{
    ApplyLook(frame);
}
