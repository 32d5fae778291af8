// Dropping objects onto the command prompt's field: the text rules, and the real field with its
// registered drop target fed real data objects.
#include <windows.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>
#include "driver/Driver.h"
#include "panels/PromptField.h"

namespace {

std::wstring W(const std::string& utf8)
{
    std::wstring out(utf8.size() + 1, L'\0');
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &out[0], (int)out.size());
    out.resize(n > 0 ? (size_t)n - 1 : 0);
    return out;
}

std::string U(const std::wstring& wide)
{
    std::string out(wide.size() * 3 + 1, '\0');
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &out[0], (int)out.size(), NULL, NULL);
    out.resize(n > 0 ? (size_t)n - 1 : 0);
    return out;
}

// Inserted text and the caret behind the last piece, as one string with "|" at the caret.
std::string Drop(const std::string& text, size_t pos, const std::vector<std::string>& pieces)
{
    std::vector<std::wstring> wide;
    for (const std::string& p : pieces)
        wide.push_back(W(p));
    std::wstring t = W(text);
    size_t caret = 99;
    std::wstring ins = prompt::DropText(t, pos, wide, &caret);
    EXPECT_LE(caret, ins.size());
    pos = std::min(pos, t.size());
    return U(t.substr(0, pos) + ins.substr(0, caret) + L"|" + ins.substr(caret) + t.substr(pos));
}

TEST(PromptDropText, BlanksGoWhereLettersOrDigitsWouldTouch)
{
    EXPECT_EQ("a.txt|", Drop("", 0, {"a.txt"}));
    EXPECT_EQ("run a.txt|", Drop("run", 3, {"a.txt"}));
    EXPECT_EQ("run a.txt|", Drop("run ", 4, {"a.txt"}));
    EXPECT_EQ("x1 a.txt|", Drop("x1", 2, {"a.txt"}));
    // Before a letter: a blank after, the caret behind the name.
    EXPECT_EQ("a.txt| run", Drop("run", 0, {"a.txt"}));
    EXPECT_EQ("cp a.txt| b", Drop("cp b", 3, {"a.txt"}));
    EXPECT_EQ("cp a| 7", Drop("cp 7", 3, {"a"}));
    // Punctuation and quotes touch without blanks.
    EXPECT_EQ("(a.txt|)", Drop("()", 1, {"a.txt"}));
    EXPECT_EQ("x=a.txt|;", Drop("x=;", 2, {"a.txt"}));
    EXPECT_EQ("\"q\"a.txt|", Drop("\"q\"", 3, {"a.txt"}));
    // Every piece after the first gets one blank.
    EXPECT_EQ("a b \"c d\"|", Drop("", 0, {"a", "b", "\"c d\""}));
    EXPECT_EQ("go a b| now", Drop("go now", 3, {"a", "b"}));
    // Japanese and Cyrillic letters count as letters, an emoji does not.
    EXPECT_EQ("日本 名前.txt|", Drop("日本", 2, {"名前.txt"}));
    EXPECT_EQ("файл.txt| Папка", Drop("Папка", 0, {"файл.txt"}));
    EXPECT_EQ("😀файл.txt|", Drop("😀", 2, {"файл.txt"}));
    EXPECT_EQ("файл.txt|😀", Drop("😀", 0, {"файл.txt"}));
    // A point behind the end is the end.
    EXPECT_EQ("ab x|", Drop("ab", 7, {"x"}));
    // Nothing dropped, nothing inserted.
    EXPECT_EQ("ab|", Drop("ab", 2, {}));
}

TEST(PromptDropText, QuotesAndKinds)
{
    EXPECT_EQ("\"two words.txt\"", prompt::Quote("two words.txt"));
    EXPECT_EQ("plain.txt", prompt::Quote("plain.txt"));
    EXPECT_EQ(prompt::InsertName, prompt::KindOfKeys(0));
    EXPECT_EQ(prompt::InsertName, prompt::KindOfKeys(MK_LBUTTON | MK_CONTROL));
    EXPECT_EQ(prompt::InsertPath, prompt::KindOfKeys(MK_SHIFT));
    EXPECT_EQ(prompt::InsertNameAlias, prompt::KindOfKeys(MK_ALT));
    EXPECT_EQ(prompt::InsertPathAlias, prompt::KindOfKeys(MK_SHIFT | MK_ALT));
}

// A data object holding a file list only, as some programs offer.
class FileListData : public IDataObject {
public:
    explicit FileListData(const std::vector<std::wstring>& paths) : m_paths(paths) {}
    virtual ~FileListData() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG n = --m_refs;
        if (!n)
            delete this;
        return n;
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* fe, STGMEDIUM* medium) override
    {
        if (QueryGetData(fe) != S_OK)
            return DV_E_FORMATETC;
        size_t chars = 1;
        for (const std::wstring& p : m_paths)
            chars += p.size() + 1;
        HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(WCHAR));
        DROPFILES* df = static_cast<DROPFILES*>(GlobalLock(block));
        df->pFiles = sizeof(DROPFILES);
        df->fWide = TRUE;
        WCHAR* at = reinterpret_cast<WCHAR*>(df + 1);
        for (const std::wstring& p : m_paths) {
            memcpy(at, p.c_str(), (p.size() + 1) * sizeof(WCHAR));
            at += p.size() + 1;
        }
        GlobalUnlock(block);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        medium->pUnkForRelease = NULL;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* fe) override
    {
        return !m_paths.empty() && fe && fe->cfFormat == CF_HDROP && (fe->tymed & TYMED_HGLOBAL) ? S_OK
                                                                                               : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = NULL;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ULONG m_refs = 1;
    std::vector<std::wstring> m_paths;
};

// The shell's own data object over items of one folder, as a panel's drag gives it.
IDataObject* ShellData(const std::wstring& folder, const std::vector<std::wstring>& names)
{
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)))
        return nullptr;
    ITEMIDLIST* folderPidl = nullptr;
    IShellFolder* sf = nullptr;
    IDataObject* data = nullptr;
    std::vector<ITEMIDLIST*> items;
    if (folder.empty()) {
        sf = desktop;
        sf->AddRef();
    } else if (SUCCEEDED(desktop->ParseDisplayName(NULL, NULL, const_cast<WCHAR*>(folder.c_str()), NULL,
                                                    &folderPidl, NULL))) {
        desktop->BindToObject(folderPidl, NULL, IID_IShellFolder, (void**)&sf);
    }
    if (sf) {
        bool all = true;
        for (const std::wstring& n : names) {
            ITEMIDLIST* item = nullptr;
            if (FAILED(sf->ParseDisplayName(NULL, NULL, const_cast<WCHAR*>(n.c_str()), NULL, &item, NULL))) {
                all = false;
                break;
            }
            items.push_back(item);
        }
        if (all)
            sf->GetUIObjectOf(NULL, (UINT)items.size(), const_cast<LPCITEMIDLIST*>(items.data()), IID_IDataObject,
                              NULL, (void**)&data);
        sf->Release();
    }
    for (ITEMIDLIST* i : items)
        CoTaskMemFree(i);
    CoTaskMemFree(folderPidl);
    desktop->Release();
    return data;
}

// Answers the drop menu by keys once it is open.
class MenuAnswer {
public:
    explicit MenuAnswer(std::vector<WPARAM> keys)
        : m_thread([this, keys] {
              HWND menu = NULL;
              for (int i = 0; i < 100 && !m_stop; i++) {
                  menu = FindWindowA("#32768", NULL);
                  if (menu && IsWindowVisible(menu))
                      break;
                  menu = NULL;
                  Sleep(50);
              }
              if (!menu)
                  return;
              m_seen = true;
              Sleep(200);
              drv::Screenshot("prompt_drop_menu", NULL);
              for (WPARAM k : keys) {
                  PostMessageA(menu, WM_KEYDOWN, k, 0);
                  PostMessageA(menu, WM_KEYUP, k, 0xC0000001);
                  Sleep(100);
              }
          })
    {
    }
    ~MenuAnswer()
    {
        m_stop = true;
        m_thread.join();
    }
    bool Seen() const { return m_seen; }

private:
    std::atomic<bool> m_stop{false}, m_seen{false};
    std::thread m_thread;
};

class PromptDrop : public ::testing::Test {
protected:
    void SetUp() override
    {
        base = drv::TempFolder("prompt_drop");
        drv::RemoveTree(base);
        ASSERT_TRUE(CreateDirectoryA(base.c_str(), NULL));
        ASSERT_TRUE(drv::MakeFile(base + "\\" + kOdd));
        ASSERT_TRUE(drv::MakeFile(base + "\\plain.txt"));
        ASSERT_TRUE(drv::MakeFile(base + "\\plain2.txt"));
        ASSERT_TRUE(drv::MakeFile(base + "\\plain3.txt"));
        top = CreateWindowExA(0, "STATIC", "Prompt drop", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 560, 120, NULL,
                              NULL, NULL, NULL);
        ASSERT_TRUE(top != NULL);
        ASSERT_TRUE(field.Create(top, 1008));
        SendMessageA(field.Combo(), WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), TRUE);
        MoveWindow(field.Combo(), 10, 10, 520, 200, TRUE);
        field.onRefused = [this](const char* name) { refused.push_back(name); };
        field.onDropped = [this](const std::string& b) { before.push_back(b); };
        // The drop target as the system holds it for the window.
        target = static_cast<IDropTarget*>(GetPropA(field.Edit(), "OleDropTargetInterface"));
        ASSERT_TRUE(target != nullptr) << "no drop target registered on the field";
    }
    void TearDown() override
    {
        if (top)
            DestroyWindow(top);
        drv::RemoveTree(base);
    }

    void SetField(const std::string& text) { SetWindowTextW(field.Edit(), W(text).c_str()); }
    std::string FieldText() const
    {
        WCHAR buf[4096] = L"";
        GetWindowTextW(field.Edit(), buf, 4096);
        return U(buf);
    }
    // The text with "|" at the caret.
    std::string WithCaret() const
    {
        WCHAR buf[4096] = L"";
        GetWindowTextW(field.Edit(), buf, 4096);
        DWORD s = 0, e = 0;
        SendMessageW(field.Edit(), EM_GETSEL, (WPARAM)&s, (LPARAM)&e);
        std::wstring t = buf;
        EXPECT_EQ(s, e);
        if (s > t.size())
            return "caret out of range";
        return U(t.substr(0, s) + L"|" + t.substr(s));
    }
    // A screen point in the field at the left edge of character index (or behind the end).
    POINTL PointAt(int index) const
    {
        int len = GetWindowTextLengthW(field.Edit());
        RECT rc;
        GetClientRect(field.Edit(), &rc);
        POINT pt = {rc.right - 4, (rc.top + rc.bottom) / 2};
        if (index < len) {
            LRESULT r = SendMessageW(field.Edit(), EM_POSFROMCHAR, (WPARAM)index, 0);
            pt.x = (short)LOWORD(r) + 1;
        }
        ClientToScreen(field.Edit(), &pt);
        return {pt.x, pt.y};
    }
    // One drag over the field and a drop with keys; the effect the target answered.
    DWORD DragDrop(IDataObject* data, DWORD dragKeys, DWORD dropKeys, POINTL pt)
    {
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        EXPECT_EQ(S_OK, target->DragEnter(data, dragKeys, pt, &effect));
        EXPECT_EQ((DWORD)DROPEFFECT_COPY, effect);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        EXPECT_EQ(S_OK, target->DragOver(dragKeys, pt, &effect));
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        EXPECT_EQ(S_OK, target->Drop(data, dropKeys, pt, &effect));
        return effect;
    }
    IDataObject* Files(const std::vector<std::string>& names)
    {
        std::vector<std::wstring> w;
        for (const std::string& n : names)
            w.push_back(W(n));
        return ShellData(W(base), w);
    }
    std::string Short(const std::string& path)
    {
        WCHAR out[MAX_PATH] = L"";
        GetShortPathNameW(W(path).c_str(), out, MAX_PATH);
        return U(out);
    }

    const std::string kOdd = "名前 файл 😀.txt";
    std::string base;
    HWND top = NULL;
    PromptField field;
    IDropTarget* target = nullptr;
    std::vector<std::string> refused, before;
};

TEST_F(PromptDrop, TheKeysChooseNamesPathsOrShortForms)
{
    IDataObject* plain = Files({"plain.txt"});
    ASSERT_TRUE(plain != nullptr);
    SetField("");
    EXPECT_EQ((DWORD)DROPEFFECT_COPY, DragDrop(plain, MK_LBUTTON, 0, PointAt(0)));
    EXPECT_EQ("plain.txt|", WithCaret());
    ASSERT_EQ(1u, before.size());
    EXPECT_EQ("", before[0]);

    // Shift: the full path, behind a word with one blank.
    SetField("type");
    DragDrop(plain, MK_LBUTTON | MK_SHIFT, MK_SHIFT, PointAt(99));
    EXPECT_EQ("type " + base + "\\plain.txt|", WithCaret());
    EXPECT_EQ("type", before.back());

    // A name with spaces, Japanese, Cyrillic and an emoji is quoted whole.
    IDataObject* odd = Files({kOdd});
    ASSERT_TRUE(odd != nullptr);
    SetField("edit");
    DragDrop(odd, MK_LBUTTON, 0, PointAt(99));
    EXPECT_EQ("edit \"" + kOdd + "\"|", WithCaret());

    // Alt: the short name; Shift+Alt: the short path.
    std::string shortOdd = Short(base + "\\" + kOdd);
    ASSERT_FALSE(shortOdd.empty());
    SetField("");
    DragDrop(odd, MK_LBUTTON | MK_ALT, MK_ALT, PointAt(0));
    EXPECT_EQ(prompt::Quote(shortOdd.substr(shortOdd.rfind('\\') + 1)) + "|", WithCaret());
    SetField("");
    DragDrop(odd, MK_LBUTTON | MK_SHIFT | MK_ALT, MK_SHIFT | MK_ALT, PointAt(0));
    EXPECT_EQ(prompt::Quote(shortOdd) + "|", WithCaret());
    EXPECT_TRUE(refused.empty());
    plain->Release();
    odd->Release();
}

TEST_F(PromptDrop, ObjectsGoInAtTheNearestCharacterInTheirOrder)
{
    IDataObject* two = Files({"plain3.txt", "plain.txt"});
    ASSERT_TRUE(two != nullptr);
    // Before the "d" of "def": a blank between the objects and one before the word.
    SetField("abc def");
    DragDrop(two, MK_LBUTTON, 0, PointAt(4));
    EXPECT_EQ("abc plain3.txt plain.txt| def", WithCaret());
    // Between two Cyrillic letters: blanks on both sides.
    SetField("Папка");
    DragDrop(two, MK_LBUTTON, 0, PointAt(2));
    EXPECT_EQ("Па plain3.txt plain.txt| пка", WithCaret());
    // Behind an emoji: no blank.
    SetField("😀");
    DragDrop(two, MK_LBUTTON, 0, PointAt(99));
    EXPECT_EQ("😀plain3.txt plain.txt|", WithCaret());
    // The drop is one undoable change.
    SendMessageW(field.Edit(), EM_UNDO, 0, 0);
    EXPECT_EQ("😀", FieldText());
    two->Release();
}

TEST_F(PromptDrop, TheRightButtonAsksByAMenu)
{
    IDataObject* plain = Files({"plain2.txt"});
    ASSERT_TRUE(plain != nullptr);
    SetField("");
    {
        MenuAnswer answer({VK_DOWN, VK_DOWN, VK_RETURN});   // the default item, then Insert Path
        EXPECT_EQ((DWORD)DROPEFFECT_COPY, DragDrop(plain, MK_RBUTTON, 0, PointAt(0)));
        EXPECT_TRUE(answer.Seen());
    }
    EXPECT_EQ(base + "\\plain2.txt|", WithCaret());
    SetField("x");
    {
        MenuAnswer answer({VK_ESCAPE});
        EXPECT_EQ((DWORD)DROPEFFECT_NONE, DragDrop(plain, MK_RBUTTON, 0, PointAt(99)));
        EXPECT_TRUE(answer.Seen());
    }
    EXPECT_EQ("x", FieldText());
    plain->Release();
}

TEST_F(PromptDrop, FileListsToSkipsOutsideObjectsAndRefusals)
{
    // A plain file list, as other programs give it.
    FileListData* list = new FileListData({W(base + "\\plain.txt"), W(base + "\\" + kOdd)});
    SetField("");
    DragDrop(list, MK_LBUTTON, 0, PointAt(0));
    EXPECT_EQ("plain.txt \"" + kOdd + "\"|", WithCaret());
    list->Release();

    // Objects that are not in the file system are skipped.
    ITEMIDLIST* drives = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(NULL, CSIDL_DRIVES, &drives)));
    IShellFolder* desktop = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetDesktopFolder(&desktop)));
    IDataObject* outside = nullptr;
    LPCITEMIDLIST items[] = {drives};
    desktop->GetUIObjectOf(NULL, 1, items, IID_IDataObject, NULL, (void**)&outside);
    desktop->Release();
    CoTaskMemFree(drives);
    ASSERT_TRUE(outside != nullptr);
    SetField("keep");
    DWORD effect = DROPEFFECT_COPY;
    POINTL pt = PointAt(99);
    target->DragEnter(outside, MK_LBUTTON, pt, &effect);
    effect = DROPEFFECT_COPY;
    target->Drop(outside, 0, pt, &effect);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, effect);
    EXPECT_EQ("keep", FieldText());
    outside->Release();

    // Paths that cannot be given exactly are refused with their names; their siblings stay.
    std::wstring lone = W(base + "\\bad") + L"\xD800" + L".txt";
    std::wstring longPath = W(base + "\\") + std::wstring(300, L'x');
    FileListData* bad = new FileListData({W(base + "\\plain?.txt"), lone, longPath, W(base + "\\plain2.txt")});
    SetField("");
    DragDrop(bad, MK_LBUTTON, 0, PointAt(0));
    EXPECT_EQ("plain2.txt|", WithCaret());
    ASSERT_EQ(3u, refused.size());
    EXPECT_EQ(base + "\\plain?.txt", refused[0]);
    bad->Release();

    // A missing file is left out; nothing to drop leaves the text alone.
    FileListData* gone = new FileListData({W(base + "\\missing.txt")});
    SetField("ab");
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, DragDrop(gone, MK_LBUTTON, 0, PointAt(1)));
    EXPECT_EQ("ab", FieldText());
    gone->Release();

    // A data object without names is not taken at all.
    FileListData* empty = new FileListData({});
    effect = DROPEFFECT_COPY;
    target->DragEnter(empty, MK_LBUTTON, pt, &effect);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, effect);
    target->DragLeave();
    empty->Release();
}

}  // namespace
