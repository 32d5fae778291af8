#include "panels/JumpComplete.h"
#include <shldisp.h>
#include <shlobj.h>
#include <shlguid.h>
#include <new>

FolderCompletion::FolderCompletion(HWND edit) : m_edit(edit) {}

bool FolderCompletion::Fill(const std::wstring& text)
{
    size_t cut = text.find_last_of(L"\\/");
    if (cut == std::wstring::npos) {
        m_items.clear();
        m_folder.clear();
        return false;
    }
    std::wstring folder = text.substr(0, cut + 1);
    if (CompareStringOrdinal(folder.c_str(), (int)folder.size(), m_folder.c_str(), (int)m_folder.size(),
                             TRUE) == CSTR_EQUAL && !m_folder.empty())
        return true;   // the same folder: its list stands
    m_items.clear();
    m_folder = folder;
    // Wildcards typed into the field never reach the enumeration as a pattern.
    if (folder.find_first_of(L"*?") != std::wstring::npos)
        return false;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &fd, FindExSearchLimitToDirectories,
                                NULL, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (fd.cFileName[0] == L'.' && (!fd.cFileName[1] || (fd.cFileName[1] == L'.' && !fd.cFileName[2])))
            continue;
        m_items.push_back(folder + fd.cFileName);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
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
    copy->m_folder = m_folder;
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
        if (ok)
            ac->SetOptions(ACO_AUTOSUGGEST | ACO_AUTOAPPEND | ACO_UPDOWNKEYDROPSLIST);
        list->Release();   // the auto-complete object keeps its own reference
    }
    // The object lives as long as the edit field (it holds itself to the window).
    ac->Release();
    return ok;
}
