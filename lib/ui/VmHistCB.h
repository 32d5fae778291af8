// A combo box that shows a history list, offers an entry to clear it and records the typed
// text when its dialog is confirmed. The registry value name is the control's name.
#pragma once
#include "VmCtrl.h"
#include "WMHook.h"
#include "../util/VmHistList.h"

class VmHistCB;

// Sees the dialog's WM_COMMAND for the box: its notifications go to the dialog, not to it.
class PANOREL32_API VmHistCBHook : public WMHook {
public:
    explicit VmHistCBHook(VmHistCB* box) : m_box(box) {}
    BOOL OnDlgMessage(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam,
                      INT_PTR& result) override;

private:
    VmHistCB* m_box;
};

class PANOREL32_API VmHistCB : public VmCombo {
public:
    enum Style : unsigned long {
        StyleClearEntry = 1,    // "<Clear list...>" as the last item of the drop-down list
        StyleStoreOnClear = 2   // a cleared list is stored at once
    };
    static const char ClearEntryText[];   // "<Clear list...>"

    explicit VmHistCB(unsigned long style = 0);

    void OnInit() override;
    void OnOK() override;
    // Refills the box from the registry: newest entry in the edit field, all entries in order.
    virtual void Load();
    // A non-empty edit text is recorded in the list.
    virtual void UpdateHistory();
    virtual void Store();
    BOOL OnEditMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The user confirmed item `index` of the drop-down list (CBN_SELENDOK). Choosing the clear
    // entry asks once the box has closed up, so that the box's own updates of the field are
    // over before the list is emptied.
    virtual void OnSelEndOK(int index);
    // Asks whether to clear; on Yes empties list and box (the typed text stays) and, with
    // StyleStoreOnClear, commits at once. True when cleared.
    virtual bool AskClear();

    int GetMaxHistSize() const { return m_list.GetMaxHistSize(); }
    void SetMaxHistSize(int max) { m_list.SetMaxHistSize(max); }
    VmHistList& GetHistList() { return m_list; }
    unsigned long GetStyle() const { return m_style; }

protected:
    bool IsClearItem(int index) const;
    // The box's whole text (not cut), from malloc; null when memory is short.
    char* GetWholeText() const;

    VmHistList m_list;
    unsigned long m_style;
    VmHistCBHook m_hook;
};
