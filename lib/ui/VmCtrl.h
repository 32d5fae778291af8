// Control objects of a dialog: bound when the dialog initializes, committed when it closes with OK.
#pragma once
#include "VmWnd.h"

class VmDlg;

class PANOREL32_API VmCtrl : public VmWnd {
public:
    VmCtrl();
    // Called once the control window is bound (WM_INITDIALOG of the dialog).
    virtual void OnInit();
    // The commit operation: the dialog closes with OK.
    virtual void OnOK();

    // Subclasses the dialog's control `id`; false when the dialog has no such control.
    bool Attach(VmDlg* dlg, int id);
    // Name under which the control keeps its state (a registry value name); cut to MAX_PATH-1.
    void SetName(const char* name);
    const char* GetName() const { return m_name; }
    int GetID() const { return m_id; }
    VmDlg* GetDlg() const { return m_dlg; }

    // Window text cut to size - 1 characters; 0 when there is no window or buffer.
    int GetText(char* buffer, int size) const;
    bool SetText(const char* text);
    void Enable(bool on);

protected:
    VmDlg* m_dlg;
    int m_id;
    char m_name[MAX_PATH];
};

class VmCombo;

// The edit field inside a combo box; its messages are offered to the combo object first.
class PANOREL32_API VmCBEdit : public VmWnd {
public:
    explicit VmCBEdit(VmCombo* combo) : m_combo(combo) {}
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    VmCombo* m_combo;
};

class PANOREL32_API VmCombo : public VmCtrl {
public:
    VmCombo();
    void OnInit() override;
    // Messages of the inner edit field; return non-zero when handled.
    virtual BOOL OnEditMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    int AddString(const char* text);   // index, or CB_ERR
    int InsertString(int index, const char* text);
    int DeleteString(int index);       // remaining count, or CB_ERR
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    int FindStringExact(const char* text, int start = -1) const;
    // Item text cut to size - 1 characters; -1 for a bad index or buffer.
    int GetLBText(int index, char* buffer, int size) const;
    HWND GetEditHWND() const { return m_edit.GetHWND(); }

protected:
    VmCBEdit m_edit;
};
