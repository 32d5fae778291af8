// A shell folder view hosted by us: its interface, its window, its list control and header.
#pragma once
#include "ShellFolder.h"
#include "SVWnd.h"

class PANOREL32_API iShellView : public iUnk {
public:
    iShellView();
    explicit iShellView(IShellView* view);   // adds a reference
    ~iShellView() override;

    IShellView* Get() const { return static_cast<IShellView*>(m_pUnk); }

    // Creates the view window; the subclasses see the windows' first messages.
    bool CreateWnd(IShellView* previous, FOLDERSETTINGS* settings, IShellBrowser* browser,
                   RECT* rect);
    bool CreateWnd2(IShellView2* view2, SV2CVW2_PARAMS* params);
    bool GetISV2(IShellView2** out);
    void FinishInit(int value);
    bool DestroyWnd();
    void UnsubclassChildren();
    void Reset();

    bool Activate(int focus);
    bool Deactivate();
    bool GetCurrentInfo(FOLDERSETTINGS* settings);
    bool SaveViewState();
    bool Refresh();
    bool HasFocus() const;
    void RestoreFocus();

    HWND GetWnd() const { return m_hWnd; }
    bool IsDefView() const { return m_isDefView; }
    int GetInitValue() const { return m_initValue; }
    HWND GetListView() const { return m_hLV; }
    HWND GetHeader();
    SVWnd& GetSVWnd() { return m_svWnd; }
    SVLVWnd& GetSVLVWnd() { return m_lvWnd; }

    bool ModifyLVStyle(DWORD remove, DWORD add);
    bool ModifyLVStyleEx(DWORD remove, DWORD add);
    int GetCountLV() const;
    int GetSelCountLV() const;
    int GetFocusedItem() const;
    // buf holds MAX_PATH characters; index -1 is the focused item. Length, 0 without item.
    int GetItemName(char* buf, int index) const;
    int FindItem(const char* name, int partial, int start, int wrap) const;
    bool SelectListItem(int index);
    bool SelectItem(const ITEMIDLIST* item, int select);
    bool HighlightItem(const ITEMIDLIST* item);
    bool HighlightItem(const char* name);
    void SetSelMarkOnFocused();
    void SelectFocusedItem();
    void UnFocus();
    void InvertSelectionLV();
    int CanSelectNextItem(int forward) const;
    bool SelectNextItem(int forward);
    bool SelectFirstItem();
    bool SelectLastItem();
    // buf holds MAX_PATH characters; empty when every item is selected.
    bool GetNextUnselectedItem(char* buf) const;
    bool EnsureSelVisible(int post, int focused);
    bool EditSelItemLabel(int post, int focused);

    bool GetItemObj(UINT item, REFIID iid, void** out);
    bool GetItemDataObj(UINT item, IDataObject** out);
    bool InvokeCtxMenuCmd(HWND owner, const char* verb, UINT item);
    bool SetLVMsgCallback(HWND target, MSG_CALLBACK_ITEM* items, UINT message, LPARAM cookie);
    void Redraw();

private:
    friend struct ViewCreateHook;
    void OnWindowCreated(HWND window);
    bool MoveTo(int target);
    int TargetOf(int focused) const;
    void SubclassView(HWND window);
    void SubclassList(HWND window);

    SVWnd m_svWnd;
    HWND m_hWnd;
    bool m_isDefView;
    SVLVWnd m_lvWnd;
    HWND m_hLV;
    HWND m_hHeader;
    int m_initValue;
};
