// The folder tree window: a modeless tool window showing the shell namespace from the Desktop
// down, folders only, that sends the active panel to the chosen folder and, with Auto Match,
// follows the panel and leads it.
#pragma once
#include "shell/Pidl.h"
#include "shell/ShellFolder.h"
#include "ui/VmDlg.h"
#include <commctrl.h>

class FrameOpts;

// What the tree needs of the main window.
class FolderTreeHost {
public:
    virtual ~FolderTreeHost() = default;
    // The active panel's folder.
    virtual const ITEMIDLIST* GetTreeTarget() = 0;
    // The active panel goes to the folder (the panel's own navigation, with its checks).
    virtual void MatchFolder(const ITEMIDLIST* folder) = 0;
    // The window is gone (its object deletes itself afterwards).
    virtual void OnFolderTreeClosed() = 0;
};

// The tree control: every item owns a PIDL in its parameter (the root item an absolute list,
// the others one level below their parent).
class FolderTreeCtrl {
public:
    FolderTreeCtrl() = default;
    FolderTreeCtrl(const FolderTreeCtrl&) = delete;   // owns the image list
    FolderTreeCtrl& operator=(const FolderTreeCtrl&) = delete;
    ~FolderTreeCtrl();

    // Binds the control; root null means the Desktop.
    bool Init(HWND tree, const ITEMIDLIST* root, bool showIcons);
    HWND GetHwnd() const { return m_tree; }
    HTREEITEM GetRoot() const { return TreeView_GetRoot(m_tree); }
    // The item's absolute list (the root's list, then each level's item).
    bool GetAbsolute(HTREEITEM item, PIDL& out) const;
    // Inserts the item's children when it has none yet.
    void Expand(HTREEITEM item);
    // Selects the deepest item on the way to the folder; true when the folder itself was found.
    bool SelectFolder(const ITEMIDLIST* folder);
    // Notifications of the control; true when handled.
    bool OnNotify(NMHDR* header, LRESULT& result);

private:
    static PIDL* ItemPidl(HWND tree, HTREEITEM item);
    void FillImages(NMTVDISPINFOA& info);

    HWND m_tree = NULL;
    bool m_showIcons = false;
    HIMAGELIST m_images = NULL;
};

class FolderTreeWnd : public VmDlg {
public:
    FolderTreeWnd(FolderTreeHost& host, FrameOpts& opts) : m_host(host), m_opts(opts) {}
    bool Create(HWND owner);
    // The active panel went to a folder: with Auto Match on the tree selects it.
    void OnPanelNavigated(const ITEMIDLIST* folder);
    void Match();
    void ToggleAutoMatch();
    void Close();
    // Keeps the window's place in the frame's options.
    void RememberPlacement();
    // Keys of the window that the program's loop sees first; true when handled.
    bool PreTranslate(MSG* msg);
    FolderTreeCtrl& Tree() { return m_tree; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
    INT_PTR OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override;
    void OnPostNcDestroy() override;

private:
    void CreateToolBar();
    void Layout();
    void ApplyLook();
    void StopTimer();

    FolderTreeHost& m_host;
    FrameOpts& m_opts;
    FolderTreeCtrl m_tree;
    HWND m_toolbar = NULL;
    PIDL m_selected;         // the folder to show as selected
    UINT_PTR m_timer = 0;    // the pending Auto Match, 0 when none
    bool m_selecting = false;   // the program moves the selection, not the user
    HFONT m_font = NULL;     // owned
};
