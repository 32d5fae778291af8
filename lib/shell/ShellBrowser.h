// The host object of shell views. Every call a view makes is handed to the host window as the
// registered message "VelmoraBrowserMsg" (wParam = method code); the host reads the arguments
// from the parameter block and writes outputs through the pointers stored there. The message's
// result is the method's result.
#pragma once
#include "../Panorel32.h"
#include <shlobj.h>

enum VmShellBrowserCode {
    SB_GetWindow = 1,
    SB_ContextSensitiveHelp = 2,
    SB_InsertMenusSB = 3,
    SB_SetMenuSB = 4,
    SB_RemoveMenusSB = 5,
    SB_SetStatusTextSB = 6,
    SB_EnableModelessSB = 7,
    SB_TranslateAcceleratorSB = 8,
    SB_BrowseObject = 9,
    SB_GetViewStateStream = 10,
    SB_GetControlWindow = 11,
    SB_SendControlMsg = 12,
    SB_QueryActiveShellView = 13,
    SB_OnViewWindowActive = 14,
    SB_SetToolbarItems = 15,
    SB_OnDefaultCommand = 51,
    SB_OnStateChange = 52,
    SB_IncludeObject = 53,
};

// Arguments of the call being handed to the host; a call fills only its own fields.
struct VmShellBrowserParams {
    HWND* phWnd;                       // GetWindow, GetControlWindow
    BOOL enterMode;                    // ContextSensitiveHelp
    HMENU hMenuShared;                 // InsertMenusSB, SetMenuSB, RemoveMenusSB
    OLEMENUGROUPWIDTHS* menuWidths;    // InsertMenusSB
    HOLEMENU hOleMenu;                 // SetMenuSB
    HWND hWndActiveObject;             // SetMenuSB
    const WCHAR* statusText;           // SetStatusTextSB
    BOOL enable;                       // EnableModelessSB
    MSG* msg;                          // TranslateAcceleratorSB
    WORD wId;                          // TranslateAcceleratorSB
    const ITEMIDLIST* pidl;            // BrowseObject, IncludeObject
    UINT browseFlags;                  // BrowseObject
    DWORD grfMode;                     // GetViewStateStream
    IStream** ppStream;                // GetViewStateStream
    UINT controlId;                    // GetControlWindow, SendControlMsg
    UINT uMsg;                         // SendControlMsg
    WPARAM wParam;
    LPARAM lParam;
    LRESULT* pResult;
    IShellView** ppShellView;          // QueryActiveShellView
    IShellView* shellView;             // OnViewWindowActive, OnDefaultCommand, OnStateChange,
                                       // IncludeObject
    TBBUTTON* buttons;                 // SetToolbarItems
    UINT buttonCount;
    UINT toolbarFlags;
    ULONG stateChange;                 // OnStateChange
};

class PANOREL32_API VmShellBrowser : public IShellBrowser, public ICommDlgBrowser {
public:
    VmShellBrowser();
    VmShellBrowser(const VmShellBrowser&) = delete;   // views hold its address
    VmShellBrowser& operator=(const VmShellBrowser&) = delete;
    virtual ~VmShellBrowser();

    // Records the host and registers "VelmoraBrowserMsg". False without a host window.
    bool Init(HWND host);
    HWND GetHost() const { return m_hWndHost; }
    UINT GetMsg() const { return m_msg; }
    ULONG GetRefCount() const { return m_refs; }

    // IUnknown: the reference count only counts; the host owns the object.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;

    // IShellBrowser
    STDMETHODIMP InsertMenusSB(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS widths) override;
    STDMETHODIMP SetMenuSB(HMENU hmenuShared, HOLEMENU holemenu, HWND activeObject) override;
    STDMETHODIMP RemoveMenusSB(HMENU hmenuShared) override;
    STDMETHODIMP SetStatusTextSB(LPCWSTR text) override;
    STDMETHODIMP EnableModelessSB(BOOL enable) override;
    STDMETHODIMP TranslateAcceleratorSB(MSG* msg, WORD id) override;
    STDMETHODIMP BrowseObject(PCUIDLIST_RELATIVE pidl, UINT flags) override;
    STDMETHODIMP GetViewStateStream(DWORD mode, IStream** stream) override;
    STDMETHODIMP GetControlWindow(UINT id, HWND* phwnd) override;
    STDMETHODIMP SendControlMsg(UINT id, UINT msg, WPARAM wParam, LPARAM lParam,
                                LRESULT* result) override;
    STDMETHODIMP QueryActiveShellView(IShellView** view) override;
    STDMETHODIMP OnViewWindowActive(IShellView* view) override;
    STDMETHODIMP SetToolbarItems(LPTBBUTTONSB buttons, UINT count, UINT flags) override;

    // ICommDlgBrowser
    STDMETHODIMP OnDefaultCommand(IShellView* view) override;
    STDMETHODIMP OnStateChange(IShellView* view, ULONG change) override;
    STDMETHODIMP IncludeObject(IShellView* view, PCUITEMID_CHILD pidl) override;

    VmShellBrowserParams m_params;   // read by the host while it handles the message

private:
    // Hands the filled block to the host; the block of an outer call is put back afterwards,
    // so a host that is called again while it answers still finds its own arguments.
    HRESULT Send(int code, const VmShellBrowserParams& params);

    ULONG m_refs;
    HWND m_hWndHost;
    UINT m_msg;
    int m_depth;   // calls being answered by the host right now
};
