// A panel: a frame of its own that hosts the shell's folder view of one folder, with a title
// bar, a toolbar and a status bar around it.
#pragma once
#include "framework/ControlBar.h"
#include "framework/FrameWnd.h"
#include "panels/DriveBar.h"
#include "panels/FolderHistory.h"
#include "panels/PanelSettings.h"
#include "panels/PanelToolBar.h"
#include "panels/PanelViewState.h"
#include "panels/ViewIconMemo.h"
#include "shell/ShellFolder.h"
#include "shell/IdList.h"
#include "shell/ShellView.h"
#include <memory>
#include <string>
#include <unordered_set>

class VmShellBrowser;
class ViewFrame;

// What a panel needs of the main frame.
class PanelHost {
public:
    virtual ~PanelHost() = default;
    virtual VmShellBrowser* GetShellBrowser() = 0;
    // The panel that answers the shell view's calls from now on.
    virtual void SetBrowserPanel(ViewFrame* panel) = 0;
    // The panel got the focus or was clicked: it becomes the active one.
    virtual void OnPanelActivated(ViewFrame* panel) = 0;
    virtual bool IsPanelActive(const ViewFrame* panel) const = 0;
    // The panel's folder changed.
    virtual void OnPanelFolderChanged(ViewFrame* panel) = 0;
    // The panel's list got (or lost) the keyboard focus.
    virtual void OnPanelFocus(ViewFrame* panel, bool gained) = 0;
    // An in-place rename in the panel's list ended (accepted or cancelled).
    virtual void OnPanelLabelEdited(ViewFrame* panel) = 0;
    // A menu of the shell view opened or an item of it was highlighted: the frame's menu
    // handling (WM_INITMENUPOPUP, WM_MENUSELECT).
    virtual void OnViewMenuMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
};

// The panel's title bar: the folder's name, drawn in the active or inactive caption colours.
class PanelTitleBar : public fw::ControlBar {
public:
    void SetText(const char* text);
    void SetActiveLook(bool active);
    int CalcThickness(bool horz) override;
    void LayoutContent(const RECT&) override {}

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool m_active = false;
};

class ViewFrame : public fw::FrameWnd {
public:
    enum { ID_TITLEBAR = 59424, ID_TOOLBAR = 59425, ID_STATUSBAR = 59426, ID_DRIVEBAR = 59430 };
    ViewFrame(PanelHost* host, int index);
    ~ViewFrame() override;

    // Loads the settings, binds the start folder (a given one wins over the stored one) and
    // creates the window inside parent with its bars and view.
    bool Create(HWND parent, const ITEMIDLIST* folder, const char* selectName);

    // Navigation as the shell's BrowseObject asks: SBSP_PARENT, SBSP_RELATIVE or absolute.
    bool BrowseObject(const ITEMIDLIST* list, UINT flags);
    void Refresh();
    // For a long file operation. The shell tells every view of the process about each object it
    // touches, and under Wine matching each notice against each view costs more than copying a
    // small file. The view leaves for the length of the operation (the panel keeps a picture of
    // it meanwhile) and comes back anew for the same folder, with the same view settings,
    // selection and focus: the one refresh the operation needs anyway.
    bool PutViewAside();
    bool IsViewAside() const { return m_aside != nullptr; }
    void BringViewBack(bool focus);
    CustomToolBar& ToolBar() { return m_toolbar; }
    // Gives the view the focus (or only the active look).
    void Activate(bool focus);
    void SetActiveLook(bool active);
    // Saves the bars, the view state, the folder settings and the current folder.
    void SaveState();

    // The shell view's questions.
    HRESULT IncludeObject(const ITEMIDLIST* item);
    void SetStatusText(const char* text);
    // The view-state stream of the view being shown (E_FAIL when there is none).
    HRESULT GetViewStateStream(DWORD mode, IStream** out);
    // The panel's bars the shell view may address (FCW_STATUS, FCW_TOOLBAR); null otherwise.
    HWND GetControlWindow(UINT id) const;
    // The view's buttons join the panel toolbar, unless the option hides the shell's buttons.
    void MergeToolbarItems(const TBBUTTON* buttons, UINT count);
    // The selection shown in the panel's status bar is brought up to date once the messages
    // waiting now are handled (selections change item by item).
    void RequestSelectionDisplay();
    void UpdateSelectionDisplay();
    // A change of many items' selection at once: meanwhile the list's notice of every item
    // stops at the panel (each would reach the view, the browser and the frame); at its end the
    // view hears one notice for the whole list (item -1) with the states given, and tells the
    // browser once. Not nested.
    void BeginSelectionBatch();
    void EndSelectionBatch(UINT oldState, UINT newState);

    int GetIndex() const { return m_index; }
    // Swapping panels exchanges their numbers, window identifiers and value names.
    void SetIndex(int index);
    const ITEMIDLIST* GetCurrentFolder() const { return m_current; }
    const char* GetPath() const { return m_path; }
    int GetDrive() const { return m_drive; }
    iShellView* GetView() const { return m_view.get(); }
    IShellView* GetIShellView() const { return m_view ? m_view->Get() : nullptr; }
    HWND GetListView() const { return m_view ? m_view->GetListView() : NULL; }
    PanelSettings& Settings() { return m_settings; }
    // The view's selected items (none when nothing is selected or the view has no selection).
    bool GetSelection(ID_List& selection) const;
    bool HasFilter() const { return m_settings.filterOn && !m_settings.filter.IsEmpty(); }
    // Filters: the panel filter on or off, and the quick filter's text (empty removes it).
    void SetFilterOn(bool on);
    void SetQuickFilter(const char* text);
    // The folder's display text for the title bar and menus.
    void GetDisplayText(char* buf, int size) const;
    void SetMaximized(bool maximized);
    FolderHistory& History() { return m_history; }
    DriveBar& GetDriveBar() { return m_driveBar; }
    HWND GetTitleWnd() const { return m_title.m_hWnd; }
    // Navigation commands of the panel (Selected, Parent, Root, Desktop, Previous, Next,
    // History); true when id is one of them.
    bool OnPanelCommand(UINT id, fw::CmdUI* ui, bool run);
    // Opens the selection: folders in the panel, files with their programs.
    void OpenSelection();
    // The history menu at a screen point (below the title bar when null).
    void ShowHistoryMenu(const POINT* at);
    // The view-mode menu, below the shell's views button when the toolbar shows it, else below
    // the title bar; the choice goes to the view as the shell's own command.
    void ShowViewMenu();
    // The title bar's menu of navigation commands; the choice goes to the main window.
    void ShowTitleMenu();
    // Colours and font of the panel's list as the frame options say.
    void ApplyListStyles();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;

private:
    // The objects selected and focused, by their parsing names, to find again in a new list.
    struct NamedSelection {
        std::unordered_set<std::string> selected;
        std::string focused;
    };
    struct Aside;
    struct AsideDeleter {
        void operator()(Aside* aside) const;
    };
    // revisit: the same folder shown anew (no history entry, no folder-changed report);
    // viewId, when given, is the view to show in the absence of an old view to carry it over.
    bool ShowFolder(bool extendHistory, bool focus, bool revisit = false, const SHELLVIEWID* viewId = nullptr);
    bool CaptureSelection(NamedSelection& out);
    void RestoreSelection(const NamedSelection& names);
    void RecordVisit(bool extend);
    bool BrowseHistory(const ITEMIDLIST* folder);
    void UpdateTitle();
    void ApplyPendingSelection();
    LRESULT OnViewMessage(WPARAM cookie, MSG_CALLBACK_DATA* data);
    LRESULT OnViewWindowMessage(MSG_CALLBACK_DATA& data);
    LRESULT OnListMessage(MSG_CALLBACK_DATA& data);
    static BOOL ViewNotify(LPARAM cookie, NMHDR* header, LRESULT* result);
    BOOL OnViewNotify(NMHDR* header, LRESULT* result);
    void InstallViewCallbacks();
    // Leaves a margin around the view on each side where no bar lies.
    void InsetViewPos(WINDOWPOS* pos) const;
    POINT ViewMenuPoint(UINT viewsButton) const;
    void LayoutView();

    PanelHost* m_host;
    int m_index;
    PanelSettings m_settings;
    FolderHistory m_history;
    iShellFolder m_folder;
    std::unique_ptr<iShellView> m_view;
    PanelViewState m_viewState;
    PIDL m_current;
    int m_drive = -1;
    char m_path[MAX_PATH];
    char m_pendingSelect[MAX_PATH];
    bool m_maximized = false;
    bool m_itemsInserted = false;        // list items came in since the last scroll-into-view
    bool m_selectionDisplayPending = false;
    bool m_selectionBatch = false;       // the list's item notices stop here
    ViewIconMemo m_icons;                // the icons the view gave its objects
    PanelTitleBar m_title;
    PanelToolBar m_toolbar;
    fw::StatusBar m_status;
    DriveBar m_driveBar;
    HFONT m_font = NULL;   // the custom list font, owned
    std::unique_ptr<Aside, AsideDeleter> m_aside;   // while the view is set aside
};

// A selection change of the whole panel: the view and the status bar hear of it once, at the
// end, not once per item.
class SelectionBatch {
public:
    SelectionBatch(ViewFrame& panel, UINT oldState, UINT newState)
        : m_panel(panel), m_old(oldState), m_new(newState)
    {
        m_panel.BeginSelectionBatch();
    }
    ~SelectionBatch() { m_panel.EndSelectionBatch(m_old, m_new); }
    SelectionBatch(const SelectionBatch&) = delete;
    SelectionBatch& operator=(const SelectionBatch&) = delete;

private:
    ViewFrame& m_panel;
    UINT m_old, m_new;
};

