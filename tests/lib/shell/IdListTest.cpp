#include "ShellFixture.h"
#include "shell/IdList.h"

namespace {

// Three files of a scratch folder, selected through the folder's own data object.
class IdListTest : public TempTree {
protected:
    void SetUp() override
    {
        TempTree::SetUp();
        for (const char* n : names)
            MakeFile(n);
        folderList.Attach(GetPidlOf(m_root.c_str()));
        ASSERT_NE(nullptr, folderList.GetLpidl());
        IShellFolder* desktop;
        ASSERT_EQ(S_OK, SHGetDesktopFolder(&desktop));
        ASSERT_EQ(S_OK, desktop->BindToObject(folderList, NULL, IID_IShellFolder, (void**)&folder));
        desktop->Release();
        for (int i = 0; i < 3; i++) {
            WCHAR wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, names[i], -1, wide, MAX_PATH);
            ULONG eaten;
            ASSERT_EQ(S_OK, folder->ParseDisplayName(NULL, NULL, wide, &eaten, &items[i], NULL));
        }
        ASSERT_EQ(S_OK, folder->GetUIObjectOf(NULL, 3, (LPCITEMIDLIST*)items, IID_IDataObject,
                                              NULL, (void**)&data));
    }
    void TearDown() override
    {
        if (data)
            data->Release();
        for (ITEMIDLIST* item : items)
            FreePIDL(item);
        if (folder)
            folder->Release();
        TempTree::TearDown();
    }

    const char* names[3] = {"first.txt", "second.dat", "third file.bin"};
    PIDL folderList;
    IShellFolder* folder = NULL;
    ITEMIDLIST* items[3] = {};
    IDataObject* data = NULL;
};

// A caller's block in the "Shell IDList Array" layout.
HGLOBAL MakeCida(const std::vector<UINT>& header, const std::vector<BYTE>& body)
{
    size_t size = header.size() * sizeof(UINT) + body.size();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
    BYTE* p = (BYTE*)GlobalLock(h);
    memcpy(p, header.data(), header.size() * sizeof(UINT));
    if (!body.empty())
        memcpy(p + header.size() * sizeof(UINT), body.data(), body.size());
    GlobalUnlock(h);
    return h;
}

}  // namespace

TEST_F(IdListTest, ReadsTheSelectionOfARealDataObject)
{
    ID_List sel(data);
    ASSERT_TRUE(sel.IsReady());
    ASSERT_EQ(3, sel.GetCount());
    EXPECT_EQ(0, folderList.CompareAbs(sel.GetFolderPidl()));
    int n = 0;
    for (const ITEMIDLIST* item = sel.GetFirstPidl(); item; item = sel.GetNextPidl(), n++) {
        ASSERT_LT(n, 3);
        SCOPED_TRACE(names[n]);
        PIDL full(sel.GetFolderPidl());
        full.AppendAll(item);
        char path[MAX_PATH];
        GetPathOf(full, path, sizeof(path));
        EXPECT_EQ(0, lstrcmpiA(Path(names[n]).c_str(), path)) << path;
    }
    EXPECT_EQ(3, n);
    EXPECT_EQ(nullptr, sel.GetNextPidl());
    // Starting again gives the first item again.
    const ITEMIDLIST* again = sel.GetFirstPidl();
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(BytesOf(items[0]), BytesOf(again));
}

TEST_F(IdListTest, InitReplacesTheHeldSelection)
{
    ID_List sel;
    EXPECT_FALSE(sel.IsReady());
    EXPECT_EQ(0, sel.GetCount());
    EXPECT_EQ(nullptr, sel.GetFirstPidl());
    EXPECT_EQ(nullptr, sel.GetFolderPidl());
    EXPECT_TRUE(sel.Init(data, NULL));
    EXPECT_EQ(3, sel.GetCount());
    EXPECT_TRUE(sel.Init(data, NULL));   // the first medium is released, not leaked
    EXPECT_EQ(3, sel.GetCount());
    EXPECT_FALSE(sel.Init(NULL, NULL));
    EXPECT_FALSE(sel.IsReady());
}

TEST(IdList, CallersBlockIsReadAndKept)
{
    std::vector<BYTE> body;
    AddTerminator(body);         // the folder: the Desktop
    AddItem(body, 6, 0x11);      // item 1
    AddTerminator(body);
    AddItem(body, 4, 0x22);      // item 2
    AddTerminator(body);
    UINT base = 4 * sizeof(UINT);
    HGLOBAL h = MakeCida({2, base, base + 2, base + 10}, body);
    {
        ID_List sel(h);
        ASSERT_TRUE(sel.IsReady());
        ASSERT_EQ(2, sel.GetCount());
        ASSERT_NE(nullptr, sel.GetFolderPidl());
        EXPECT_EQ(0, sel.GetFolderPidl()->mkid.cb);
        const ITEMIDLIST* a = sel.GetFirstPidl();
        ASSERT_NE(nullptr, a);
        EXPECT_EQ(6, a->mkid.cb);
        const ITEMIDLIST* b = sel.GetNextPidl();
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(4, b->mkid.cb);
        EXPECT_EQ(nullptr, sel.GetNextPidl());
    }
    // Still ours, unlocked.
    EXPECT_EQ(0u, GlobalFlags(h) & GMEM_LOCKCOUNT);
    EXPECT_EQ(nullptr, GlobalFree(h));
}

TEST(IdList, MalformedBlocksAreNotReadPastTheirEnd)
{
    UINT base = 3 * sizeof(UINT);
    std::vector<BYTE> good;
    AddTerminator(good);
    AddItem(good, 6);
    AddTerminator(good);
    std::vector<BYTE> noEnd;
    AddTerminator(noEnd);
    AddItem(noEnd, 6);   // the item's list has no terminator before the block ends

    HGLOBAL countTooBig = MakeCida({1000, base, base + 2}, good);
    HGLOBAL offsetPast = MakeCida({1, base, 5000}, good);
    HGLOBAL listPast = MakeCida({1, base, base + 2}, noEnd);
    HGLOBAL tiny = GlobalAlloc(GMEM_MOVEABLE, 2);
    {
        ID_List sel(countTooBig);
        EXPECT_EQ(0, sel.GetCount());
        EXPECT_EQ(nullptr, sel.GetFirstPidl());
    }
    {
        ID_List sel(offsetPast);
        EXPECT_EQ(1, sel.GetCount());
        EXPECT_NE(nullptr, sel.GetFolderPidl());
        EXPECT_EQ(nullptr, sel.GetFirstPidl());
    }
    {
        ID_List sel(listPast);
        EXPECT_EQ(1, sel.GetCount());
        EXPECT_EQ(nullptr, sel.GetFirstPidl());
    }
    {
        ID_List sel(tiny);
        EXPECT_EQ(0, sel.GetCount());
    }
    for (HGLOBAL h : {countTooBig, offsetPast, listPast, tiny})
        GlobalFree(h);
}

namespace {
// A data object that offers nothing, as an application other than the shell might hand over.
class EmptyData : public IDataObject {
public:
    ULONG refs = 1;
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IDataObject) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC*) override { return DV_E_FORMATETC; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
};
}  // namespace

TEST(IdList, DataObjectWithoutTheFormat)
{
    EmptyData empty;
    {
        ID_List sel(&empty);
        EXPECT_EQ(2u, empty.refs);   // held while the selection lives
        EXPECT_EQ(0, sel.GetCount());
        EXPECT_EQ(nullptr, sel.GetFirstPidl());
        EXPECT_EQ(nullptr, sel.GetFolderPidl());
    }
    EXPECT_EQ(1u, empty.refs);
    EXPECT_NE(0u, ID_List::cfIDLIST);
}
