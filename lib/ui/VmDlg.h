// Dialog objects: modal and modeless dialogs with a lifecycle of virtual operations.
#pragma once
#include "VmWnd.h"
#include "VmCtrl.h"
#include "WindowPlacement.h"
#include <vector>

class PANOREL32_API VmDlg : public VmWnd {
public:
    enum ResizeFlags { ResizeWidth = 1, ResizeHeight = 2, ResizeBoth = 3 };
    enum { HelpTopicOffset = 0x50000, IdHelpButton = 9 };

    VmDlg();
    ~VmDlg() override;

    // templateId < 0 names the library's own resources; a null module means the application's.
    // Returns the result given to CloseDialog, or -1 when the dialog could not be made.
    INT_PTR Modal(int templateId, HINSTANCE module = NULL, HWND owner = NULL);
    // Shows and updates the dialog at once; null when it could not be made.
    HWND Modeless(int templateId, HINSTANCE module = NULL, HWND owner = NULL);
    // The same from a template in memory (template identifier 0).
    INT_PTR ModalIndirect(const DLGTEMPLATE* dlgTemplate, HWND owner = NULL,
                          HINSTANCE module = NULL);
    HWND ModelessIndirect(const DLGTEMPLATE* dlgTemplate, HWND owner = NULL,
                          HINSTANCE module = NULL);

    enum { CommitDefault = -1 };
    // Asks CanClose; when it agrees stores the result, commits the controls (commit != 0, or by
    // default for every result but IDCANCEL) and ends the dialog. False when refused or unbound.
    // A modeless dialog is destroyed here: OnPostNcDestroy may have run when this returns.
    bool CloseDialog(INT_PTR result, int commit = CommitDefault);
    void OKControls();
    // Registers a control object, bound to control `id` when the dialog initializes.
    bool AddCtrl(VmCtrl* ctrl, int id, const char* name = NULL);
    // Makes the dialog resizable: its initial size is the minimum, its placement is restored
    // from and saved under placementName (none when null).
    void SetResizable(DWORD flags, const char* placementName = NULL);
    // The program's icon resource `id` as the dialog's big and small icon.
    void SetIcon(int id);

    int GetTemplateId() const { return m_templateId; }
    INT_PTR GetResult() const { return m_result; }
    bool IsModeless() const { return m_modeless; }
    bool IsResizable() const { return m_resizeFlags != 0; }
    WMHookList& GetDlgHookList() { return m_dlgHooks; }
    // Runs a message through the dialog hooks after `after`, then OnDlgMessage.
    INT_PTR DispatchDlg(UINT msg, WPARAM wParam, LPARAM lParam, WMHook* after = nullptr);

    // Process-wide settings: a font for every dialog, and the base of help topic numbers.
    static void SetDlgFont(HFONT font);
    static HFONT GetDlgFont();
    static void SetHelpBase(DWORD base);
    static INT_PTR CALLBACK DlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

    void PreInit() override;
    virtual void OnOK();
    virtual void OnCancel();
    // May refuse closing with this result; the base saves a resizable dialog's placement.
    virtual bool CanClose(INT_PTR result);
    // Shows help topic helpId + help base + 0x50000 of the application's help file.
    virtual bool OnHelp(DWORD helpId);
    virtual void OnHtmlHelpError();
    virtual bool OnCommand(int id, int code, HWND control);
    virtual bool OnNotify(int id, NMHDR* header, LRESULT& result);
    // Return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog();
    // Messages no dialog hook handled; the base routes them to the operations above.
    virtual INT_PTR OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnPostNcDestroy() override;
    virtual void OnResize(int dx, int dy);

protected:
    // Sets the message's result for the dialog manager and reports it handled.
    INT_PTR SetMsgResult(LRESULT result);
    bool BindDialog(HWND dialog, int templateId);
    INT_PTR Run(bool modal, const DLGTEMPLATE* indirect, int templateId, HINSTANCE module,
                HWND owner);
    void InitControls();
    void InitResizing();

    struct CtrlEntry {
        VmCtrl* ctrl;
        int id;
    };
    int m_templateId;
    INT_PTR m_result;
    bool m_modeless;
    std::vector<CtrlEntry> m_ctrls;
    WMHookList m_dlgHooks;
    MyWindowPlacement* m_placement;   // owned; only for resizable dialogs with a name
    char m_placementName[64];
    DWORD m_resizeFlags;
    SIZE m_minSize;    // window size at initialization
    SIZE m_curSize;    // client size last seen
};

// A dialog used as an application's main window.
class PANOREL32_API VmDlgMain : public VmDlg {
public:
    enum { IdmAbout = 0x0010 };   // system-menu command; low four bits clear as the system needs

    // Placement under the application's settings key; skipped for a resizable dialog that
    // keeps its own placement.
    bool StorePosition(const char* valueName = "DlgMain");
    bool RestorePosition(const char* valueName = "DlgMain");
    virtual void OnPaint();
    virtual void OnAbout();
    INT_PTR OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
};
