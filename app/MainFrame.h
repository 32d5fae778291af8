// The program's main window: two panels in a splitter, the main toolbar and status bar, full
// screen and the notification area, the messages of running instances and outside callers, the
// shell views' calls, and the close test.
#pragma once
#include "customize/CustomToolBar.h"
#include "app/FrameOpts.h"
#include "app/ToolWindow.h"
#include "app/VmMainFrame.h"
#include "customize/CaptionPainter.h"
#include "framework/ControlBar.h"
#include "framework/Splitter.h"
#include "panels/DriveBar.h"
#include "panels/Favorites.h"
#include "panels/FolderTree.h"
#include "panels/Prompt.h"
#include "panels/ViewFrame.h"
#include "shell/Pidl.h"
#include "shell/ShellBrowser.h"
#include <string>
#include <vector>

struct StartRequest;

class Animator;

class CMainFrame : public VmMainFrame, public PanelHost, public DriveBarHost, public FolderTreeHost {
public:
    CMainFrame();
    ~CMainFrame() override;
    bool Create();
    // Shows the window as the request asks; after a forwarded request also sends the panels to
    // their folders.
    void ApplyStartRequest(StartRequest& request, bool forwarded);
    // The close test shared by WM_CLOSE, Folder - Exit and the maker-wide query.
    bool CanClose();
    bool IsSetUp() const { return m_setUp; }
    bool m_closingForTransfer = false;

    ViewFrame* ActivePanel() const { return m_panel[m_active]; }
    ViewFrame* PassivePanel() const { return m_panel[1 - m_active]; }
    ViewFrame* Panel(int index) const { return index == 0 || index == 1 ? m_panel[index] : nullptr; }
    FrameOpts& Options() { return m_opts; }
    CustomToolBar& MainToolBar() { return m_toolbar; }
    void OnIdleUpdate();
    // Sets the indicator panes for the active panel: its drive's free space and its number
    // of objects. remeasure also measures a removable or network drive again, as after a
    // file operation.
    void UpdateStatusBar(bool remeasure);
    // View - Status bar - Indicators: the dialog, then the rebuilt bar.
    void ChooseIndicators();
    // After the Options: the drive bars, the status bar, the caption and the panels' lists.
    void ApplySettings();

    // PanelHost
    VmShellBrowser* GetShellBrowser() override { return &m_browser; }
    void SetBrowserPanel(ViewFrame* panel) override { m_browserPanel = panel; }
    void OnPanelActivated(ViewFrame* panel) override;
    bool IsPanelActive(const ViewFrame* panel) const override { return ActivePanel() == panel; }
    void OnPanelFolderChanged(ViewFrame* panel) override;
    void OnPanelFocus(ViewFrame* panel, bool gained) override;
    void OnPanelLabelEdited(ViewFrame* panel) override;
    void OnViewMenuMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    // Drives (MainFrameDrives.cpp): the main drive bar, the Drive and Network menus of a panel
    // (index -1: the active one) opened for a command, and the network drive dialogs.
    DriveBar& MainDriveBar() { return m_driveBar; }
    void RebuildDriveBars();
    void ShowDriveMenu(int index, UINT command);
    void ShowNetworkMenu(int index, UINT command);
    void MapNetworkDrive();
    void DisconnectNetworkDrive();

    // Tool windows: an activated one not yet listed goes to the head of the list; a closed one
    // leaves it, except while the main window closes them all.
    void AddToolWindow(ToolWindow* wnd);
    void RemoveToolWindow(ToolWindow* wnd);
    int ToolWindowCount() const { return (int)m_toolWindows.size(); }
    ToolWindow* ToolWindowAt(int index) const { return m_toolWindows[index]; }
    // Go to, Jump and the command prompt (MainFramePrompt.cpp).
    void OnPromptCommand(UINT id);
    void GotoFolder();
    void JumpToFolder();
    PromptBar& Prompt() { return m_prompt; }
    bool IsPromptMode() const { return m_promptMode; }
    // DriveBarHost
    void OnDriveCommand(DriveBar& bar, UINT id, bool root, bool passive) override;
    int GetCheckedDrive(const DriveBar& bar) const override;
    bool UseBoldDriveLetters() const override;
    void GetFolderText(const ITEMIDLIST* folder, char* buf, int size) const override;

    // Favourites (MainFrameFavorites.cpp): the menu of command (below its toolbar button or the
    // active panel's title), adding the active folder, the organize dialog, and opening one.
    Favorites& GetFavorites() { return m_favorites; }
    void ShowFavoritesMenu(UINT command);
    void AddFavorite();
    void OrganizeFavorites();
    void OpenFavorite(int index);
    // Reads the stored favourites again (another instance stored them).
    void LoadFavorites();
    // Stores them and tells the other instances.
    void StoreFavorites();
    // The folder tree window: opened, or activated when open.
    void ShowFolderTree();
    bool IsFolderTreeOpen() const { return m_tree != nullptr; }
    FolderTreeWnd* GetFolderTree() const { return m_tree; }
    // FolderTreeHost
    const ITEMIDLIST* GetTreeTarget() override;
    void MatchFolder(const ITEMIDLIST* folder) override;
    void OnFolderTreeClosed() override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;
    bool PreTranslateMessage(MSG* msg) override;
    bool CanMoveBar(fw::ControlBar* bar) override;

private:
    void FinishSetUp();
    LRESULT OnBrowserCall(int code);
    LRESULT OnCopyData(const COPYDATASTRUCT* cds);
    LRESULT OnCompanyMessage(WPARAM wp, LPARAM lp, bool& handled);
    LRESULT OnProgramMessage(WPARAM wp, LPARAM lp);
    ViewFrame* PanelOfView(IShellView* view) const;
    ViewFrame* PanelOfWindow(HWND wnd) const;
    // The selection-dependent display after a selection change in a panel.
    void OnSelectionChanged(ViewFrame* panel);
    // The frame's own menu bar (not a shell view's combined menu).
    HMENU OwnMenu();
    void ShowMenuHelp(WPARAM wp, bool skipEmpty);
    // Whether wnd is the in-place rename box of a panel's list.
    bool IsLabelEdit(HWND wnd) const;
    void SetActivePanel(int index, bool focus);
    void Split(bool sideBySide);
    void MaximizeOrSplit();
    void SwapPanels();
    void NextPanel();
    void ApplySplitSize();
    void ToggleFullScreen();
    void Iconize();
    void RestoreFromIcon(bool thenClose);
    void RefreshAll();
    void SaveState();
    // Status bar indicators (MainFrameStatus.cpp).
    void BuildIndicators();
    void SetIndicatorText(int index, const char* text);
    void PlaceProgress();
    // The prompt and its toolbar at the right end of the message pane; hidden while a menu's
    // description takes the bar.
    void PlacePrompt();
    bool m_promptHadFocus = false;
    // While a menu is open the descriptions take the whole bar, the panes and controls return
    // when it closes.
    void SetMenuHelpMode(bool on);
    bool m_menuHelp = false;
    bool OnStatusBarMenu(HWND wnd, LPARAM pos);
    void IndicatorText(UINT id, bool remeasure, char* text, int size);
    void CreateDriveBar();
    void OnDeviceChange(WPARAM event);
    void RecordDriveVisit(ViewFrame* panel);
    // Browses the active panel, or the passive one while the active panel stays active.
    void BrowseFolderIn(const ITEMIDLIST* folder, bool passive);
    POINT MenuPointFor(UINT command, ViewFrame* panel) const;
    // Makes the panel the active one unless the policy keeps the other; true when it is.
    bool MakeActive(ViewFrame* panel);
    void ReportNetworkResult(DWORD result);
    void SetPromptMode(bool on);
    // Keys bound for the prompt, or for a panel while the prompt holds text.
    bool PreTranslatePromptKey(MSG* msg);

    VmShellBrowser m_browser;
    fw::Splitter m_splitter;
    CustomToolBar m_toolbar;
    fw::StatusBar m_status;
    DriveBar m_driveBar;
    PromptBar m_prompt;
    bool m_promptMode = false;
    ViewFrame* m_panel[2] = {};
    int m_active = 0;
    ViewFrame* m_browserPanel = nullptr;
    FrameOpts m_opts;
    bool m_setUp = false;
    bool m_closing = false;
    std::vector<ToolWindow*> m_toolWindows;   // most recently activated first
    bool m_fullScreen = false;
    bool m_stateSaved = false;
    RECT m_savedRect = {};
    RECT m_fullRect = {};
    SIZE m_lastClient = {};
    PIDL m_pending;   // folder set by WM_COPYDATA codes 1 to 3, taken by "PanorelMsg" code 12
    enum { kMaxIndicators = 10 };
    UINT m_indicatorIds[kMaxIndicators] = {};
    int m_indicatorWidths[kMaxIndicators] = {};
    int m_indicatorCount = 0;
    char m_freeDrive = 0;      // the removable or network drive measured last
    DWORD m_freeKB = 0;
    std::string m_sizePath, m_sizeText;   // the file whose size was shown last, and the text
    HWND m_progress = NULL;    // the progress control in the progress pane
    UINT m_browserMsg = 0;
    HMENU m_ownMenu = NULL;      // the menu bar from the resources
    HMENU m_sharedMenu = NULL;   // a shell view's combined menu while it is installed
    bool m_forwardingMenu = false;   // WM_INITMENUPOPUP is on its way to the active view
    Favorites m_favorites;
    FolderTreeWnd* m_tree = nullptr;   // deletes itself when its window goes
    bool m_treeOpenAtExit = false;
    CCaptionPainter m_caption;
    Animator* m_animator = nullptr;   // owned; the title bar's animated icon
    void SetUpCaption();
    void StopAnimation();
};
