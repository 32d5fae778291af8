// The browser host and a real shell view of a scratch folder, hosted in a top-level window.
#include "ShellFixture.h"
#include "shell/ShellBrowser.h"
#include "shell/ShellView.h"
#include "shell/ShellFolder.h"
#include "shell/ContextMenu.h"
#include "shell/DataObj.h"
#include "shell/IdList.h"
#include "driver/Driver.h"
#include <commctrl.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// What the host saw and how it answers.
struct HostState {
    VmShellBrowser* browser = nullptr;
    iShellFolder* folder = nullptr;     // names IncludeObject items
    IShellView* view = nullptr;         // answer of QueryActiveShellView
    std::set<std::string> hidden;       // in-folder names IncludeObject rejects
    std::vector<int> codes;             // every method code, in order
    int includeCalls = 0;
    int defaultCommands = 0;
    int browseCalls = 0;
    PIDL browsed;
    UINT browseFlags = 0;
    UINT controlMsg = 0;
    LPARAM controlLParam = 0;
    bool nestOnce = false;              // GetWindow calls the browser again while answering
    UINT nestedSawMsg = 0;              // block seen after the nested call returned
    int calloutCount = 0;               // message callback reports of the list
    UINT calloutPhaseMask = 0;
};
HostState* g_host = nullptr;
const UINT kCalloutMsg = WM_APP + 7;

LRESULT Answer(HostState& h, int code)
{
    VmShellBrowserParams& p = h.browser->m_params;
    switch (code) {
    case SB_GetWindow:
        if (h.nestOnce) {
            h.nestOnce = false;
            LRESULT r = 0;
            h.browser->SendControlMsg(FCW_STATUS, WM_USER + 5, 0, 77, &r);
            h.nestedSawMsg = p.phWnd ? 1 : 0;
        }
        if (!p.phWnd)
            return E_INVALIDARG;
        *p.phWnd = h.browser->GetHost();
        return S_OK;
    case SB_GetControlWindow:
        if (p.phWnd)
            *p.phWnd = NULL;
        return E_NOTIMPL;
    case SB_SendControlMsg:
        h.controlMsg = p.uMsg;
        h.controlLParam = p.lParam;
        if (p.pResult)
            *p.pResult = 0;
        return S_OK;
    case SB_QueryActiveShellView:
        if (!h.view || !p.ppShellView)
            return E_FAIL;
        h.view->AddRef();
        *p.ppShellView = h.view;
        return S_OK;
    case SB_GetViewStateStream:
        return E_FAIL;
    case SB_TranslateAcceleratorSB:
        return S_FALSE;
    case SB_BrowseObject:
        h.browseCalls++;
        h.browsed.CopyAll(p.pidl);
        h.browseFlags = p.browseFlags;
        return S_OK;
    case SB_OnDefaultCommand:
        h.defaultCommands++;
        return S_OK;   // handled here: nothing is opened
    case SB_IncludeObject: {
        h.includeCalls++;
        char name[MAX_PATH];
        if (h.folder && h.folder->GetDisplayNameOf(p.pidl, SHGDN_INFOLDER, name, MAX_PATH) &&
            h.hidden.count(name))
            return S_FALSE;
        return S_OK;
    }
    default:
        return S_OK;
    }
}

LRESULT CALLBACK HostProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_host && g_host->browser && msg == g_host->browser->GetMsg() && msg) {
        g_host->codes.push_back((int)wParam);
        return Answer(*g_host, (int)wParam);
    }
    if (g_host && msg == kCalloutMsg) {
        MSG_CALLBACK_DATA* d = reinterpret_cast<MSG_CALLBACK_DATA*>(lParam);
        if (d && d->message == LVM_SETEXTENDEDLISTVIEWSTYLE) {
            g_host->calloutCount++;
            g_host->calloutPhaseMask |= 1u << d->phase;
        }
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND MakeHost(const char* title)
{
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hCursor = LoadCursor(NULL, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = "ShellBrowserTestHost";
        atom = RegisterClassA(&wc);
    }
    return CreateWindowExA(0, "ShellBrowserTestHost", title,
                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40, 640, 420,
                           NULL, NULL, GetModuleHandleA(NULL), NULL);
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG m;
        while (PeekMessageA(&m, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

bool HasCode(const HostState& h, int code)
{
    for (int c : h.codes)
        if (c == code)
            return true;
    return false;
}

}  // namespace

TEST(VmShellBrowser, QueryInterfaceGivesBothInterfacesAndCountsOnly)
{
    VmShellBrowser b;
    void* p = nullptr;
    EXPECT_EQ(S_OK, b.QueryInterface(IID_IUnknown, &p));
    EXPECT_EQ(static_cast<IShellBrowser*>(&b), p);
    EXPECT_EQ(S_OK, b.QueryInterface(IID_IShellBrowser, &p));
    EXPECT_EQ(static_cast<IShellBrowser*>(&b), p);
    EXPECT_EQ(S_OK, b.QueryInterface(IID_ICommDlgBrowser, &p));
    EXPECT_EQ(static_cast<ICommDlgBrowser*>(&b), p);
    EXPECT_EQ(3u, b.GetRefCount());
    p = &b;
    EXPECT_EQ((HRESULT)0x80004002, b.QueryInterface(IID_IDropTarget, &p));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(E_POINTER, b.QueryInterface(IID_IUnknown, nullptr));
    EXPECT_EQ(3u, b.GetRefCount());
    for (int i = 0; i < 5; i++)
        b.Release();   // more releases than references: stays at zero, nothing deleted
    EXPECT_EQ(0u, b.GetRefCount());
}

TEST(VmShellBrowser, WithoutHostEveryCallFails)
{
    VmShellBrowser b;
    HWND w = (HWND)1;
    EXPECT_FALSE(b.Init(NULL));
    EXPECT_TRUE(FAILED(b.GetWindow(&w)));
    EXPECT_TRUE(FAILED(b.IncludeObject(nullptr, nullptr)));
    EXPECT_TRUE(FAILED(b.BrowseObject(nullptr, SBSP_PARENT)));
}

TEST(VmShellBrowser, CallsReachTheHostWithTheirArguments)
{
    HostState h;
    VmShellBrowser b;
    h.browser = &b;
    g_host = &h;
    HWND host = MakeHost("Browser host");
    ASSERT_TRUE(host);
    ASSERT_TRUE(b.Init(host));
    EXPECT_EQ(RegisterWindowMessageA("VelmoraBrowserMsg"), b.GetMsg());

    HWND got = NULL;
    EXPECT_EQ(S_OK, b.GetWindow(&got));
    EXPECT_EQ(host, got);
    LRESULT r = 5;
    EXPECT_EQ(S_OK, b.SendControlMsg(FCW_STATUS, WM_USER + 1, 2, 3, &r));
    EXPECT_EQ((UINT)WM_USER + 1, h.controlMsg);
    EXPECT_EQ(3, h.controlLParam);
    EXPECT_EQ(0, r);
    EXPECT_EQ(S_FALSE, b.TranslateAcceleratorSB(nullptr, 0));
    IStream* s = (IStream*)&b;
    EXPECT_EQ(E_FAIL, b.GetViewStateStream(STGM_READ, &s));
    EXPECT_EQ(nullptr, s);   // never left pointing at garbage

    // The block of the outer call survives a call made while the host answers it.
    h.nestOnce = true;
    got = NULL;
    EXPECT_EQ(S_OK, b.GetWindow(&got));
    EXPECT_EQ(host, got);
    EXPECT_EQ(1u, h.nestedSawMsg);
    EXPECT_EQ(77, h.controlLParam);

    // BrowseObject through the interface pointer a view would use.
    IShellBrowser* sb = nullptr;
    ASSERT_EQ(S_OK, b.QueryInterface(IID_IShellBrowser, (void**)&sb));
    PIDL drives;
    ASSERT_TRUE(drives.Attach(CSIDL_DRIVES));
    EXPECT_EQ(S_OK, sb->BrowseObject(drives, SBSP_ABSOLUTE | SBSP_SAMEBROWSER));
    sb->Release();
    EXPECT_EQ(1, h.browseCalls);
    EXPECT_EQ(0, h.browsed.CompareAbs(drives));
    EXPECT_EQ((UINT)(SBSP_ABSOLUTE | SBSP_SAMEBROWSER), h.browseFlags);
    EXPECT_EQ(drives.GetLpidl(), b.m_params.pidl);   // the outermost call leaves its block

    std::vector<int> expect = {SB_GetWindow, SB_SendControlMsg, SB_TranslateAcceleratorSB,
                               SB_GetViewStateStream, SB_GetWindow, SB_SendControlMsg,
                               SB_BrowseObject};
    EXPECT_EQ(expect, h.codes);
    DestroyWindow(host);
    g_host = nullptr;
}

// A real view of a scratch folder hosted by VmShellBrowser.
class HostedView : public TempTree {
protected:
    void SetUp() override
    {
        TempTree::SetUp();
        MakeFile("alpha.txt", "alpha");
        MakeFile("beta.txt", "beta");
        MakeFile("gamma.log", "gamma");
        MakeFile("hide.me", "hidden");
        MakeDir("Sub");
        h.browser = &browser;
        h.hidden.insert("hide.me");
        g_host = &h;
        host = MakeHost("Hosted shell view");
        ASSERT_TRUE(host);
        ASSERT_TRUE(browser.Init(host));
        PIDL abs;
        folder.reset(new iShellFolder(m_root.c_str(), abs));
        ASSERT_TRUE(folder->IsReady()) << m_root;
        h.folder = folder.get();
        IShellView* v = nullptr;
        ASSERT_TRUE(folder->CreateShellViewObject(host, &v));
        view.Attach(v);
        h.view = v;
        FOLDERSETTINGS fs = {FVM_DETAILS, 0};
        RECT rc;
        GetClientRect(host, &rc);
        ASSERT_TRUE(view.CreateWnd(nullptr, &fs, &browser, &rc));
        view.FinishInit(42);
        view.Activate(1);
        Pump(300);
    }
    void TearDown() override
    {
        view.DestroyWnd();
        h.view = nullptr;
        view.Release();
        if (host)
            DestroyWindow(host);
        g_host = nullptr;
        folder.reset();
        TempTree::TearDown();
    }
    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        char buf[MAX_PATH];
        for (int i = 0; i < view.GetCountLV(); i++)
            if (view.GetItemName(buf, i))
                names.push_back(buf);
        return names;
    }
    bool Listed(const std::string& name)
    {
        for (const std::string& n : Names())
            if (_stricmp(n.c_str(), name.c_str()) == 0 ||
                _strnicmp(n.c_str(), name.c_str(), name.find('.')) == 0)
                return true;
        return false;
    }

    HostState h;
    VmShellBrowser browser;
    HWND host = NULL;
    std::unique_ptr<iShellFolder> folder;
    iShellView view;
};

TEST_F(HostedView, ViewWindowAndListAreFoundAndSubclassed)
{
    ASSERT_TRUE(view.GetWnd());
    EXPECT_TRUE(view.IsDefView());
    EXPECT_EQ(42, view.GetInitValue());
    ASSERT_TRUE(view.GetListView());
    EXPECT_EQ(view.GetWnd(), GetParent(view.GetListView()));
    EXPECT_EQ(view.GetWnd(), view.GetSVWnd().GetHWND());
    EXPECT_EQ(view.GetListView(), view.GetSVLVWnd().GetHWND());
    EXPECT_TRUE(view.GetHeader());
    EXPECT_TRUE(HasCode(h, SB_GetWindow));
    FOLDERSETTINGS fs = {};
    EXPECT_TRUE(view.GetCurrentInfo(&fs));
    EXPECT_EQ((UINT)FVM_DETAILS, fs.ViewMode);
    EXPECT_TRUE(view.HasFocus());
}

TEST_F(HostedView, ListHoldsTheFilesAndIncludeObjectHides)
{
    EXPECT_EQ(4, view.GetCountLV());   // alpha, beta, gamma, Sub; hide.me rejected by the host
    EXPECT_GE(h.includeCalls, 5);      // asked for every item
    EXPECT_TRUE(Listed("alpha.txt"));
    EXPECT_TRUE(Listed("beta.txt"));
    EXPECT_TRUE(Listed("gamma.log"));
    EXPECT_TRUE(Listed("Sub"));
    EXPECT_FALSE(Listed("hide.me"));
    std::string shot = drv::Screenshot("shellwrap_hosted_view", host);
    EXPECT_FALSE(shot.empty());

    // Showing it again after the host changes its mind.
    h.hidden.clear();
    h.hidden.insert("alpha.txt");
    ASSERT_TRUE(view.Refresh());
    Pump(300);
    EXPECT_EQ(4, view.GetCountLV());
    EXPECT_TRUE(Listed("hide.me"));
    EXPECT_FALSE(Listed("alpha.txt"));
}

TEST_F(HostedView, SelectionGivesADataObjectAndAContextMenu)
{
    ASSERT_TRUE(view.HighlightItem(Names()[0].c_str()));
    char first[MAX_PATH];
    ASSERT_TRUE(view.GetItemName(first, -1));
    EXPECT_EQ(Names()[0], first);
    EXPECT_EQ(1, view.GetSelCountLV());

    IDataObject* d = nullptr;
    ASSERT_TRUE(view.GetItemDataObj(SVGIO_SELECTION, &d));
    iDataObj data(d);
    d->Release();
    ID_List sel(data.Get());
    ASSERT_EQ(1, sel.GetCount());
    char name[MAX_PATH];
    ASSERT_TRUE(folder->GetDisplayNameOf(sel.GetFirstPidl(), SHGDN_INFOLDER, name, MAX_PATH));
    EXPECT_EQ(0, _strnicmp(name, first, strlen(first)));

    HGLOBAL mem = NULL;
    EXPECT_TRUE(data.GetData(ID_List::cfIDLIST, &mem));
    EXPECT_TRUE(mem);
    EXPECT_TRUE(data.HasMedium());
    data.ReleaseMedium();
    EXPECT_FALSE(data.HasMedium());
    mem = NULL;
    EXPECT_FALSE(data.GetData(RegisterClipboardFormatA("No Such Format Here"), &mem));
    EXPECT_EQ(nullptr, mem);

    // Verbs of the selection's menu, read without running any of them.
    IContextMenu* cm = nullptr;
    ASSERT_TRUE(view.GetItemObj(SVGIO_SELECTION, IID_IContextMenu, (void**)&cm));
    iContextMenu menu;
    menu.Attach(cm);
    HMENU popup = CreatePopupMenu();
    int added = menu.QueryContextMenu(popup, 0, 1, 0x7FFF, CMF_NORMAL);
    EXPECT_GT(added, 0);
    std::set<std::string> verbs;
    for (int i = 0; i < GetMenuItemCount(popup); i++) {
        UINT id = GetMenuItemID(popup, i);
        if (id == 0 || id == (UINT)-1)
            continue;
        char verb[64];
        if (menu.GetCommandString(id - 1, GCS_VERBA, verb, sizeof(verb)))
            verbs.insert(verb);
    }
    DestroyMenu(popup);
    EXPECT_TRUE(verbs.count("copy")) << "verbs found: " << verbs.size();
    char tiny[3];
    menu.GetCommandString(0, GCS_VERBA, tiny, sizeof(tiny));
    EXPECT_LT(strlen(tiny), sizeof(tiny));   // cut, always terminated
}

TEST_F(HostedView, EnterOnAnItemReachesTheHost)
{
    ASSERT_TRUE(view.SelectListItem(0));
    SetFocus(view.GetListView());
    SendMessageA(view.GetListView(), WM_KEYDOWN, VK_RETURN, 0);
    Pump(100);
    EXPECT_EQ(1, h.defaultCommands);
}

TEST_F(HostedView, ListSelectionMoves)
{
    int n = view.GetCountLV();
    ASSERT_EQ(4, n);
    ListView_SetItemState(view.GetListView(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(-1, view.GetFocusedItem());
    EXPECT_FALSE(view.SelectFirstItem());   // nothing focused: nothing happens
    EXPECT_EQ(0, view.GetSelCountLV());
    EXPECT_EQ(-1, view.CanSelectNextItem(1));

    ASSERT_TRUE(view.SelectListItem(n - 1));
    EXPECT_EQ(-1, view.CanSelectNextItem(1));
    EXPECT_FALSE(view.SelectNextItem(1));   // already last
    EXPECT_EQ(n - 1, view.GetFocusedItem());
    EXPECT_TRUE(view.SelectNextItem(0));
    EXPECT_EQ(n - 2, view.GetFocusedItem());
    EXPECT_EQ(1, view.GetSelCountLV());
    EXPECT_TRUE(view.SelectFirstItem());
    EXPECT_EQ(0, view.GetFocusedItem());
    EXPECT_FALSE(view.SelectNextItem(0));   // already first
    EXPECT_FALSE(view.SelectFirstItem());
    EXPECT_TRUE(view.SelectLastItem());
    EXPECT_EQ(n - 1, view.GetFocusedItem());
    EXPECT_EQ(1, view.GetSelCountLV());

    // Next unselected: after the focused one, else the nearest before it, else nothing.
    char buf[MAX_PATH];
    std::vector<std::string> names = Names();
    EXPECT_TRUE(view.GetNextUnselectedItem(buf));
    EXPECT_EQ(names[n - 2], buf);
    view.SelectListItem(0);
    EXPECT_TRUE(view.GetNextUnselectedItem(buf));
    EXPECT_EQ(names[1], buf);
    view.InvertSelectionLV();
    EXPECT_EQ(n - 2, view.GetSelCountLV());
    view.InvertSelectionLV();
    view.InvertSelectionLV();
    ListView_SetItemState(view.GetListView(), -1, LVIS_SELECTED, LVIS_SELECTED);
    strcpy(buf, "stale");
    EXPECT_FALSE(view.GetNextUnselectedItem(buf));
    EXPECT_STREQ("", buf);

    EXPECT_EQ(-1, view.FindItem("no such item", 0, -1, 0));
    int found = view.FindItem(names[2].c_str(), 0, -1, 0);
    EXPECT_EQ(2, found);
    EXPECT_EQ(2, view.FindItem(names[2].substr(0, 3).c_str(), 1, 1, 0));
    EXPECT_EQ(-1, view.FindItem(names[0].c_str(), 0, 0, 0));   // after the start, no wrap
    EXPECT_EQ(0, view.FindItem(names[0].c_str(), 0, 0, 1));
    EXPECT_TRUE(view.HighlightItem((const char*)nullptr));
    EXPECT_EQ(0, view.GetSelCountLV());
    EXPECT_FALSE(view.HighlightItem("no such item"));
    EXPECT_EQ(0, view.GetItemName(buf, n));   // past the end
    EXPECT_STREQ("", buf);
}

TEST_F(HostedView, ExtendedStylesAndMessageCallback)
{
    MSG_CALLBACK_ITEM table[] = {{LVM_SETEXTENDEDLISTVIEWSTYLE, MsgCallbackBefore | MsgCallbackAfter},
                                 {0, 0}};
    ASSERT_TRUE(view.SetLVMsgCallback(host, table, kCalloutMsg, 9));
    EXPECT_TRUE(view.ModifyLVStyleEx(0, 0));
    EXPECT_EQ(0, h.calloutCount);   // nothing sent
    EXPECT_TRUE(view.ModifyLVStyleEx(0, LVS_EX_GRIDLINES));
    EXPECT_EQ(2, h.calloutCount);   // before and after
    EXPECT_EQ(3u, h.calloutPhaseMask);
    HWND lv = view.GetListView();
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(lv) & LVS_EX_GRIDLINES);
    EXPECT_TRUE(view.ModifyLVStyleEx(LVS_EX_GRIDLINES, LVS_EX_FULLROWSELECT));
    DWORD ex = ListView_GetExtendedListViewStyle(lv);
    EXPECT_FALSE(ex & LVS_EX_GRIDLINES);
    EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
    EXPECT_EQ(6, h.calloutCount);

    EXPECT_TRUE(view.ModifyLVStyle(0, LVS_SHOWSELALWAYS));
    EXPECT_TRUE(GetWindowLongA(lv, GWL_STYLE) & LVS_SHOWSELALWAYS);
    EXPECT_TRUE(view.ModifyLVStyle(LVS_SHOWSELALWAYS, 0));
    EXPECT_FALSE(GetWindowLongA(lv, GWL_STYLE) & LVS_SHOWSELALWAYS);
    view.Redraw();
}

TEST_F(HostedView, DestroyLeavesNoSubclassBehind)
{
    HWND lv = view.GetListView();
    ASSERT_TRUE(view.DestroyWnd());
    EXPECT_FALSE(IsWindow(lv));
    EXPECT_EQ(NULL, view.GetWnd());
    EXPECT_EQ(NULL, view.GetListView());
    EXPECT_EQ(NULL, view.GetSVWnd().GetHWND());
    EXPECT_EQ(NULL, view.GetSVLVWnd().GetHWND());
    EXPECT_EQ(0, view.GetCountLV());
    EXPECT_EQ(-1, view.GetFocusedItem());
    EXPECT_FALSE(view.Activate(1));
}

TEST(iShellView, EmptyViewRefusesEverything)
{
    iShellView v;
    FOLDERSETTINGS fs = {FVM_ICON, 0};
    RECT rc = {0, 0, 10, 10};
    char buf[MAX_PATH] = "x";
    EXPECT_FALSE(v.CreateWnd(nullptr, &fs, nullptr, &rc));
    EXPECT_FALSE(v.Activate(1));
    EXPECT_FALSE(v.Refresh());
    EXPECT_FALSE(v.ModifyLVStyleEx(0, 1));
    EXPECT_EQ(0, v.GetCountLV());
    EXPECT_EQ(-1, v.GetFocusedItem());
    EXPECT_EQ(-1, v.FindItem("a", 0, -1, 1));
    EXPECT_EQ(0, v.GetItemName(buf, -1));
    EXPECT_STREQ("", buf);
    EXPECT_FALSE(v.GetNextUnselectedItem(buf));
    EXPECT_FALSE(v.InvokeCtxMenuCmd(NULL, "copy", SVGIO_SELECTION));
    IDataObject* d = (IDataObject*)1;
    EXPECT_FALSE(v.GetItemDataObj(SVGIO_SELECTION, &d));
    EXPECT_EQ(nullptr, d);
    EXPECT_FALSE(v.SelectNextItem(1));
    EXPECT_FALSE(v.HasFocus());
}
