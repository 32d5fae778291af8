// The program's main window. It answers the messages of running instances and outside callers
// and applies start-up requests; until the panels exist it shows each panel's requested folder.
#pragma once
#include "framework/FrameWnd.h"
#include "shell/Pidl.h"

struct StartRequest;

class CMainFrame : public fw::FrameWnd {
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
    // The folder a panel shows (MAX_PATH bytes), "" when none.
    void GetPanelPath(int panel, char* buffer) const;
    bool m_closingForTransfer = false;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;

private:
    void FinishSetUp();
    void LayoutPanels();
    void ShowPanelFolder(int panel, const ITEMIDLIST* folder, const char* file);
    LRESULT OnCopyData(const COPYDATASTRUCT* cds);
    LRESULT OnCompanyMessage(WPARAM wp, LPARAM lp, bool& handled);
    LRESULT OnProgramMessage(WPARAM wp, LPARAM lp);
    void Iconize();
    void RestoreFromIcon(bool thenClose);
    void SaveState();

    bool m_setUp = false;
    bool m_closing = false;
    bool m_iconShown = false;
    HWND m_panel[2] = {};
    PIDL m_panelFolder[2];
    PIDL m_pending;   // folder set by WM_COPYDATA codes 1 to 3, taken by "PanorelMsg" code 12
    int m_activePanel = 0;
};
