// Message hooks: objects that see a window's or a dialog's messages before the window does.
#pragma once
#include "../Panorel32.h"
#include <vector>

class VmWnd;
class VmDlg;
class WMHook;

// The hooks of one window (or of one dialog procedure) in dispatch order. Entries removed while
// a dispatch runs are nulled and compacted when the outermost dispatch returns, so a running
// dispatch never walks a changed list.
class PANOREL32_API WMHookList {
public:
    WMHookList() = default;
    WMHookList(const WMHookList&) = delete;   // hooks point back at the list
    WMHookList& operator=(const WMHookList&) = delete;
    ~WMHookList();

    bool Add(WMHook* hook);      // false for null or a hook already in the list
    bool Remove(WMHook* hook);   // false when the hook is not in the list
    // Removes every hook; while a dispatch runs, only after the outermost one returns.
    void RemoveAll();
    bool Contains(const WMHook* hook) const;
    int GetCount() const;   // hooks not removed
    bool IsRemoveAllPending() const { return m_pendingRemove > 0; }
    int GetNesting() const { return m_nesting; }

    // Dispatch bookkeeping: Begin before walking, End after; End applies deferred removals.
    void BeginDispatch() { ++m_nesting; }
    void EndDispatch();
    // Index where a dispatch starts: 0, or the entry after `after` (the end when absent).
    size_t StartIndex(const WMHook* after) const;
    size_t Size() const { return m_hooks.size(); }
    WMHook* At(size_t i) const { return m_hooks[i]; }

private:
    void ClearFirst(size_t count);
    std::vector<WMHook*> m_hooks;
    int m_nesting = 0;
    size_t m_pendingRemove = 0;   // entries a deferred RemoveAll takes (hooks added later stay)
};

class PANOREL32_API WMHook {
public:
    WMHook() = default;
    WMHook(const WMHook&) = delete;   // registered with windows by address
    WMHook& operator=(const WMHook&) = delete;
    // Leaves every list it is in.
    virtual ~WMHook();
    // Return non-zero when the message was handled; result is then the window's answer.
    virtual BOOL OnWndMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual BOOL OnDlgMessage(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    bool AddToWnd(VmWnd* wnd);
    bool RemoveFromWnd(VmWnd* wnd);
    bool AddToDlg(VmDlg* dlg);
    bool RemoveFromDlg(VmDlg* dlg);

private:
    friend class WMHookList;
    std::vector<WMHookList*> m_lists;   // lists this hook is in
};
