// The Quick Edit window: one document in a text control with a toolbar and a status bar,
// and its modeless find and replace dialog.
#pragma once
#include "app/ToolWindow.h"
#include "quickedit/QuickEditDoc.h"
#include "ui/VmDlg.h"
#include "ui/VmHistCB.h"
#include <string>

class QuickEditWnd;

class QuickEditFindDlg : public VmDlg {
public:
    explicit QuickEditFindDlg(QuickEditWnd* editor) : m_editor(editor) {}
    bool Open(HWND owner);
    void SetTitleName(const char* name);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    INT_PTR OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnCancel() override;
    void OnPostNcDestroy() override;

private:
    bool FindNext();
    bool ReplaceOnce();
    void EnableReplace();
    std::wstring ComboText(int id) const;

    QuickEditWnd* m_editor;
    std::string m_titleName;
    VmHistCB m_findHist;      // "QEFindMRU"
    VmHistCB m_replaceHist;   // "QEReplaceMRU"
};

class QuickEditWnd : public VmDlg, public ToolWindow {
public:
    QuickEditWnd();
    ~QuickEditWnd() override;

    // Loads the path (none: an empty window) while the window initialises; false when the
    // window was not made or closed itself (a declined preview).
    bool Create(const char* path, const char* folder);
    QuickEditDoc& Doc() { return m_doc; }
    HWND GetEdit() const { return m_edit; }

    // Searches from the end of the selection; asks to go on from the beginning.
    bool FindText(const std::wstring& text, bool matchCase);
    void FindNext();
    void OnFindClosed() { m_find = nullptr; }
    HWND GetFindHWND() const { return m_find ? m_find->GetHWND() : NULL; }
    void SetFont();
    bool IsFixedFont() const { return m_fixedFont; }
    // The window list: the most recently opened first.
    static QuickEditWnd* FindByPath(const char* path);
    static int Count();
    static QuickEditWnd* At(int index);
    // Asks every modified window to save; false when the user stopped.
    static bool AskToSaveAll();
    static void ApplyFontAll(bool fixed);

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
    static LRESULT CALLBACK EditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR data);
    void CreateBars();
    void UpdateCommands();
    void UpdateStatus();
    void SetPaneText(int pane, const char* text);
    bool IsEnabled(int id) const;

    QuickEditDoc m_doc;
    HWND m_edit = NULL;
    HWND m_toolbar = NULL;
    HWND m_status = NULL;
    HACCEL m_accel = NULL;
    HFONT m_customFont = NULL;   // owned
    bool m_fixedFont = false;
    QuickEditFindDlg* m_find = nullptr;
    std::wstring m_lastSearch;
    bool m_lastMatchCase = false;
    int m_cachedLine = -1;
    std::wstring m_lineText;
    std::string m_path;
    int m_paneWidth[3] = {0, 0, 0};
};

// The main window's operations: an editor for the path (an open one when it shows that file
// already, compared without regard to case); true when a window was found or made.
bool OpenQuickEdit(const char* path, const char* folder);
