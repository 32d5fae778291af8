#include "ShellBrowser.h"

VmShellBrowser::VmShellBrowser() : m_refs(0), m_hWndHost(NULL), m_msg(0), m_depth(0)
{
    ZeroMemory(&m_params, sizeof(m_params));
}

VmShellBrowser::~VmShellBrowser() {}

bool VmShellBrowser::Init(HWND host)
{
    m_hWndHost = host;
    m_msg = RegisterWindowMessageA("VelmoraBrowserMsg");
    return host != NULL && m_msg != 0;
}

HRESULT VmShellBrowser::Send(int code, const VmShellBrowserParams& params)
{
    if (!m_hWndHost || !m_msg || !IsWindow(m_hWndHost))
        return E_FAIL;
    // An outer call's arguments come back once a nested call is answered; the outermost call
    // leaves its own in the block.
    VmShellBrowserParams outer = m_params;
    m_params = params;
    ++m_depth;
    HRESULT hr = (HRESULT)SendMessageA(m_hWndHost, m_msg, (WPARAM)code, 0);
    --m_depth;
    if (m_depth > 0)
        m_params = outer;
    return hr;
}

STDMETHODIMP VmShellBrowser::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = NULL;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IShellBrowser) ||
        IsEqualIID(iid, IID_IOleWindow))
        *out = static_cast<IShellBrowser*>(this);
    else if (IsEqualIID(iid, IID_ICommDlgBrowser))
        *out = static_cast<ICommDlgBrowser*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) VmShellBrowser::AddRef() { return ++m_refs; }

STDMETHODIMP_(ULONG) VmShellBrowser::Release()
{
    // Never below zero, and never self-deleting: the host owns the object.
    if (m_refs)
        --m_refs;
    return m_refs;
}

// Each method copies the current block (a call fills only its own fields) and hands it over.
#define SB_BLOCK VmShellBrowserParams p = m_params

STDMETHODIMP VmShellBrowser::GetWindow(HWND* phwnd)
{
    SB_BLOCK;
    p.phWnd = phwnd;
    return Send(SB_GetWindow, p);
}

STDMETHODIMP VmShellBrowser::ContextSensitiveHelp(BOOL enterMode)
{
    SB_BLOCK;
    p.enterMode = enterMode;
    return Send(SB_ContextSensitiveHelp, p);
}

STDMETHODIMP VmShellBrowser::InsertMenusSB(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS widths)
{
    SB_BLOCK;
    p.hMenuShared = hmenuShared;
    p.menuWidths = widths;
    return Send(SB_InsertMenusSB, p);
}

STDMETHODIMP VmShellBrowser::SetMenuSB(HMENU hmenuShared, HOLEMENU holemenu, HWND activeObject)
{
    SB_BLOCK;
    p.hMenuShared = hmenuShared;
    p.hOleMenu = holemenu;
    p.hWndActiveObject = activeObject;
    return Send(SB_SetMenuSB, p);
}

STDMETHODIMP VmShellBrowser::RemoveMenusSB(HMENU hmenuShared)
{
    SB_BLOCK;
    p.hMenuShared = hmenuShared;
    return Send(SB_RemoveMenusSB, p);
}

STDMETHODIMP VmShellBrowser::SetStatusTextSB(LPCWSTR text)
{
    SB_BLOCK;
    p.statusText = text;
    return Send(SB_SetStatusTextSB, p);
}

STDMETHODIMP VmShellBrowser::EnableModelessSB(BOOL enable)
{
    SB_BLOCK;
    p.enable = enable;
    return Send(SB_EnableModelessSB, p);
}

STDMETHODIMP VmShellBrowser::TranslateAcceleratorSB(MSG* msg, WORD id)
{
    SB_BLOCK;
    p.msg = msg;
    p.wId = id;
    return Send(SB_TranslateAcceleratorSB, p);
}

STDMETHODIMP VmShellBrowser::BrowseObject(PCUIDLIST_RELATIVE pidl, UINT flags)
{
    SB_BLOCK;
    p.pidl = pidl;
    p.browseFlags = flags;
    return Send(SB_BrowseObject, p);
}

STDMETHODIMP VmShellBrowser::GetViewStateStream(DWORD mode, IStream** stream)
{
    if (stream)
        *stream = NULL;   // the host sets it when it has one
    SB_BLOCK;
    p.grfMode = mode;
    p.ppStream = stream;
    return Send(SB_GetViewStateStream, p);
}

STDMETHODIMP VmShellBrowser::GetControlWindow(UINT id, HWND* phwnd)
{
    SB_BLOCK;
    p.controlId = id;
    p.phWnd = phwnd;
    return Send(SB_GetControlWindow, p);
}

STDMETHODIMP VmShellBrowser::SendControlMsg(UINT id, UINT msg, WPARAM wParam, LPARAM lParam,
                                            LRESULT* result)
{
    SB_BLOCK;
    p.controlId = id;
    p.uMsg = msg;
    p.wParam = wParam;
    p.lParam = lParam;
    p.pResult = result;
    return Send(SB_SendControlMsg, p);
}

STDMETHODIMP VmShellBrowser::QueryActiveShellView(IShellView** view)
{
    if (view)
        *view = NULL;
    SB_BLOCK;
    p.ppShellView = view;
    return Send(SB_QueryActiveShellView, p);
}

STDMETHODIMP VmShellBrowser::OnViewWindowActive(IShellView* view)
{
    SB_BLOCK;
    p.shellView = view;
    return Send(SB_OnViewWindowActive, p);
}

STDMETHODIMP VmShellBrowser::SetToolbarItems(LPTBBUTTONSB buttons, UINT count, UINT flags)
{
    SB_BLOCK;
    p.buttons = buttons;
    p.buttonCount = count;
    p.toolbarFlags = flags;
    return Send(SB_SetToolbarItems, p);
}

STDMETHODIMP VmShellBrowser::OnDefaultCommand(IShellView* view)
{
    SB_BLOCK;
    p.shellView = view;
    return Send(SB_OnDefaultCommand, p);
}

STDMETHODIMP VmShellBrowser::OnStateChange(IShellView* view, ULONG change)
{
    SB_BLOCK;
    p.shellView = view;
    p.stateChange = change;
    return Send(SB_OnStateChange, p);
}

STDMETHODIMP VmShellBrowser::IncludeObject(IShellView* view, PCUITEMID_CHILD pidl)
{
    SB_BLOCK;
    p.shellView = view;
    p.pidl = pidl;
    return Send(SB_IncludeObject, p);
}
