// The folder list behind the Jump field's auto-completion: the subfolders of the folder the
// typed text names so far, as full paths, offered to the system's auto-complete object.
// (The shell's own SHAutoComplete does nothing under Wine; IAutoComplete2 with our own list
// works on both.)
#pragma once
#include <windows.h>
#include <objidl.h>
#include <memory>
#include <string>
#include <vector>

// The subfolder names of one folder, listed once on a worker thread and shared by the lists
// made for the same field. The worker touches no window.
struct FolderNames;

class FolderCompletion : public IEnumString {
public:
    // edit: the field whose text decides the folder (read at each Reset).
    explicit FolderCompletion(HWND edit);
    FolderCompletion(const FolderCompletion&) = delete;   // reference counted
    FolderCompletion& operator=(const FolderCompletion&) = delete;

    // The folder part of text (up to its last backslash) and the name typed after it: the
    // subfolders of that folder whose names begin with it become the list. Once the folder's
    // names have been listed in the background they answer from memory; until then the system
    // is asked for the matching names only. False when the text names no folder.
    bool Fill(const std::wstring& text);
    // True once the background listing of the folder last filled is complete.
    bool IsFolderListed() const;
    size_t Count() const { return m_items.size(); }
    const std::wstring& At(size_t i) const { return m_items[i]; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IEnumString
    STDMETHODIMP Next(ULONG count, LPOLESTR* out, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumString** out) override;

private:
    virtual ~FolderCompletion() = default;
    LONG m_refs = 1;
    HWND m_edit;
    std::shared_ptr<FolderNames> m_names;   // the folder listed last, in the background
    std::vector<std::wstring> m_items;
    size_t m_next = 0;
};

// Turns auto-completion on for an edit field with a new FolderCompletion; false when the
// system offers no auto-complete object.
bool AttachFolderCompletion(HWND edit);
