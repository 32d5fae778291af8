// The Image Preview window.
#pragma once
#include "app/ToolWindow.h"
#include "ui/Picture.h"
#include "ui/VmDlg.h"
#include <commctrl.h>
#include <string>

class CMainFrame;

class ImageViewWnd : public VmDlg, public ToolWindow {
public:
    explicit ImageViewWnd(CMainFrame& frame) : m_frame(frame) {}
    bool Create();
    // The panel's current item and the number of selected items; path null: the show ended.
    void ShowItem(const char* path, int count);
    // Reads the active panel's selection once the waiting messages are handled.
    void RequestRefresh();

    // ToolWindow
    HWND GetToolHWND() const override { return m_hWnd; }
    void CloseWithFrame() override;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
    INT_PTR OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnCancel() override;
    void OnPostNcDestroy() override;
    void OnResize(int dx, int dy) override;

private:
    static LRESULT CALLBACK KeyHook(int code, WPARAM wp, LPARAM lp);
    void Refresh();
    bool CanMove(bool forward) const;
    // Moves the panel's selection to the item at index (-1 first, -2 last handled by callers).
    bool SelectIndex(int index);
    void Move(bool forward);
    void Run();
    void Stop();
    void EnterFullScreen();
    void LeaveFullScreen();
    HICON CommandIcon(int id, bool enabled) const;
    void ShowPointer(bool show);
    void ContextMenu(POINT at);
    void Options();
    void Paint(HDC dc);
    RECT PictureRect() const;
    void UpdateCommands();
    void SetStatus();
    bool IsEnabled(int id) const;

    CMainFrame& m_frame;
    iPicture m_picture;
    bool m_loaded = false;
    SIZE m_size = {0, 0};
    std::string m_path;
    std::string m_message;
    bool m_forward = false, m_backward = false;
    bool m_running = false;   // the slide show runs (its timer may be paused)
    bool m_timer1 = false;
    bool m_fullScreen = false;
    RECT m_savedRect = {};
    POINT m_lastMouse = {};
    bool m_menuOpen = false;
    bool m_pointerHidden = false;
    bool m_refreshPending = false;
    HWND m_toolbar = NULL;
    HWND m_status = NULL;
    HACCEL m_accel = NULL;
    HIMAGELIST m_images = NULL;   // the toolbar and menu pictures (owned)
    HHOOK m_hook = NULL;
};
