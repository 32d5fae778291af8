#include "panels/JumpComplete.h"
#include <shldisp.h>
#include <shlobj.h>
#include <shlguid.h>
#include <new>

struct FolderNames {
    FolderNames(const FolderNames&) = delete;   // one lock, one owner group
    FolderNames& operator=(const FolderNames&) = delete;
    explicit FolderNames(const std::wstring& f) : folder(f) { InitializeCriticalSection(&lock); }
    ~FolderNames() { DeleteCriticalSection(&lock); }
    const std::wstring folder;   // with its trailing backslash
    CRITICAL_SECTION lock;
    std::vector<std::wstring> names;   // valid once ready
    bool ready = false;
};

namespace {

bool IsDots(const WCHAR* name)
{
    return name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2]));
}

// Subfolder names of folder matching pattern ("*" or "prefix*").
void ListFolders(const std::wstring& folder, const std::wstring& pattern, std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileExW((folder + pattern).c_str(), FindExInfoBasic, &fd, FindExSearchLimitToDirectories,
                                NULL, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDots(fd.cFileName))
            out.push_back(fd.cFileName);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

DWORD WINAPI ListWorker(void* param)
{
    std::shared_ptr<FolderNames>* held = static_cast<std::shared_ptr<FolderNames>*>(param);
    try {
        std::vector<std::wstring> names;
        ListFolders((*held)->folder, L"*", names);
        EnterCriticalSection(&(*held)->lock);
        (*held)->names.swap(names);
        (*held)->ready = true;
        LeaveCriticalSection(&(*held)->lock);
    } catch (...) {
        // Out of memory: the list keeps asking the system.
    }
    delete held;
    return 0;
}

bool StartsWithNoCase(const std::wstring& name, const std::wstring& prefix)
{
    return name.size() >= prefix.size() &&
           (prefix.empty() ||
            CompareStringOrdinal(name.c_str(), (int)prefix.size(), prefix.c_str(), (int)prefix.size(), TRUE) == CSTR_EQUAL);
}

}  // namespace

FolderCompletion::FolderCompletion(HWND edit) : m_edit(edit) {}

bool FolderCompletion::IsFolderListed() const
{
    if (!m_names)
        return false;
    EnterCriticalSection(&m_names->lock);
    bool ready = m_names->ready;
    LeaveCriticalSection(&m_names->lock);
    return ready;
}

bool FolderCompletion::Fill(const std::wstring& text)
{
    m_items.clear();
    m_next = 0;
    size_t cut = text.find_last_of(L"\\/");
    if (cut == std::wstring::npos)
        return false;
    std::wstring folder = text.substr(0, cut + 1), prefix = text.substr(cut + 1);
    // Wildcards typed into the field never reach the system as a pattern.
    if (text.find_first_of(L"*?") != std::wstring::npos)
        return false;
    bool same = m_names && CompareStringOrdinal(folder.c_str(), (int)folder.size(), m_names->folder.c_str(),
                                                (int)m_names->folder.size(), TRUE) == CSTR_EQUAL;
    if (!same) {
        if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
            return false;
        m_names = std::make_shared<FolderNames>(folder);
        // The whole folder is listed in the background; typing goes on meanwhile.
        std::shared_ptr<FolderNames>* held = new std::shared_ptr<FolderNames>(m_names);
        HANDLE thread = CreateThread(NULL, 0, ListWorker, held, 0, NULL);
        if (thread)
            CloseHandle(thread);
        else
            delete held;
    }
    EnterCriticalSection(&m_names->lock);
    if (m_names->ready) {
        for (const std::wstring& name : m_names->names)
            if (StartsWithNoCase(name, prefix))
                m_items.push_back(folder + name);
        LeaveCriticalSection(&m_names->lock);
        return true;
    }
    LeaveCriticalSection(&m_names->lock);
    // Not listed yet: only the names that match what was typed.
    std::vector<std::wstring> names;
    ListFolders(folder, prefix + L"*", names);
    for (const std::wstring& name : names)
        if (StartsWithNoCase(name, prefix))   // short-name matches are not what was typed
            m_items.push_back(folder + name);
    return true;
}

STDMETHODIMP FolderCompletion::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IEnumString) {
        *out = static_cast<IEnumString*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) FolderCompletion::AddRef()
{
    return (ULONG)InterlockedIncrement(&m_refs);
}

STDMETHODIMP_(ULONG) FolderCompletion::Release()
{
    LONG n = InterlockedDecrement(&m_refs);
    if (n == 0)
        delete this;
    return (ULONG)n;
}

STDMETHODIMP FolderCompletion::Next(ULONG count, LPOLESTR* out, ULONG* fetched)
{
    if (!out)
        return E_POINTER;
    ULONG n = 0;
    for (; n < count && m_next < m_items.size(); n++, m_next++) {
        const std::wstring& item = m_items[m_next];
        size_t bytes = (item.size() + 1) * sizeof(WCHAR);
        out[n] = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
        if (!out[n])
            break;
        CopyMemory(out[n], item.c_str(), bytes);
    }
    if (fetched)
        *fetched = n;
    return n == count ? S_OK : S_FALSE;
}

STDMETHODIMP FolderCompletion::Skip(ULONG count)
{
    m_next += count;
    if (m_next > m_items.size()) {
        m_next = m_items.size();
        return S_FALSE;
    }
    return S_OK;
}

STDMETHODIMP FolderCompletion::Reset()
{
    m_next = 0;
    if (m_edit) {
        int len = GetWindowTextLengthW(m_edit);
        std::wstring text((size_t)len + 1, L'\0');
        GetWindowTextW(m_edit, &text[0], len + 1);
        text.resize((size_t)len);
        Fill(text);
    }
    return S_OK;
}

STDMETHODIMP FolderCompletion::Clone(IEnumString** out)
{
    if (!out)
        return E_POINTER;
    FolderCompletion* copy = new (std::nothrow) FolderCompletion(m_edit);
    if (!copy)
        return E_OUTOFMEMORY;
    copy->m_names = m_names;
    copy->m_items = m_items;
    copy->m_next = m_next;
    *out = copy;
    return S_OK;
}

bool AttachFolderCompletion(HWND edit)
{
    IAutoComplete2* ac = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AutoComplete, NULL, CLSCTX_INPROC_SERVER, IID_IAutoComplete2, (void**)&ac)) || !ac)
        return false;
    FolderCompletion* list = new (std::nothrow) FolderCompletion(edit);
    bool ok = false;
    if (list) {
        ok = SUCCEEDED(ac->Init(edit, list, NULL, NULL));
        if (ok) {
            ac->SetOptions(ACO_AUTOSUGGEST | ACO_AUTOAPPEND | ACO_UPDOWNKEYDROPSLIST);
            // The field starts in the current folder: its names are listed while the user
            // begins to type.
            list->Reset();
        }
        list->Release();   // the auto-complete object keeps its own reference
    }
    // The object lives as long as the edit field (it holds itself to the window).
    ac->Release();
    return ok;
}
