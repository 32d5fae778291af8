#include "panels/PromptField.h"
#include "panels/PromptRes.h"
#include "shell/IdList.h"
#include "shell/PathConv.h"
#include "shell/Pidl.h"
#include "util/PathUtil.h"
#include "util/StrUtil.h"
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

namespace prompt {

std::string Quote(const std::string& item)
{
    return item.find(' ') != std::string::npos ? '"' + item + '"' : item;
}

std::string PieceOf(const char* path, InsertKind kind)
{
    char buf[kMaxPathBytes] = "";
    if (!path || !StrCopyN(buf, path, sizeof(buf)) || GetFileAttributesA(buf) == INVALID_FILE_ATTRIBUTES)
        return std::string();
    if (kind == InsertNameAlias || kind == InsertPathAlias)
        ConvertToShortPath(buf);
    if (kind == InsertName || kind == InsertNameAlias) {
        // The last component (a drive root keeps its whole text).
        const char* name = FindNameExt(buf);
        if (name && *name)
            return name;
    }
    return buf;
}

InsertKind KindOfKeys(DWORD keys)
{
    bool shift = (keys & MK_SHIFT) != 0, alt = (keys & MK_ALT) != 0;
    return shift && alt ? InsertPathAlias : shift ? InsertPath : alt ? InsertNameAlias : InsertName;
}

static bool IsLetterOrDigit(wchar_t c)
{
    return c && IsCharAlphaNumericW(c);
}

std::wstring DropText(const std::wstring& text, size_t pos, const std::vector<std::wstring>& pieces,
                      size_t* caret)
{
    if (pos > text.size())
        pos = text.size();
    std::wstring out;
    for (size_t i = 0; i < pieces.size(); i++) {
        if (i > 0 || (pos > 0 && IsLetterOrDigit(text[pos - 1])))
            out += L' ';
        out += pieces[i];
    }
    if (caret)
        *caret = out.size();
    if (!pieces.empty() && pos < text.size() && IsLetterOrDigit(text[pos]))
        out += L' ';
    return out;
}

}  // namespace prompt

namespace {

// The exact 8-bit path of a dropped object: PathExact, PathNone outside the file system, or
// PathRefused with a name for the message.
int DroppedPathOf(const ITEMIDLIST* full, char* path, std::string& name)
{
    int status = GetExactPathOf(full, path, MAX_PATH);
    if (status == PathRefused) {
        char shown[MAX_PATH] = "";
        GetNameForMessage(full, shown, sizeof(shown));
        name = shown;
    }
    return status;
}

int DroppedPathOf(const WCHAR* wide, char* path, std::string& name)
{
    // The same refusals as for a list: a character the code page lacks, a wildcard, too long.
    if (lstrlenW(wide) < MAX_PATH && WideToAnsiExact(wide, -1, path, MAX_PATH) && !HasWildcard(path))
        return PathExact;
    char shown[MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, shown, sizeof(shown), NULL, NULL);
    shown[sizeof(shown) - 1] = 0;
    name = shown;
    path[0] = 0;
    return PathRefused;
}

// The exact paths of the dropped objects in the data object's order; refused ones reported.
std::vector<std::string> DroppedPaths(IDataObject* data, const std::function<void(const char*)>& onRefused)
{
    std::vector<std::string> paths;
    auto take = [&](int status, const char* path, const std::string& name) {
        if (status == PathExact && path[0])
            paths.push_back(path);
        else if (status == PathRefused && onRefused)
            onRefused(name.c_str());
    };
    ID_List list(data);
    if (list.IsReady() && list.GetCount() > 0) {
        const ITEMIDLIST* folder = list.GetFolderPidl();
        for (const ITEMIDLIST* item = list.GetFirstPidl(); item; item = list.GetNextPidl()) {
            PIDL full(folder);
            if (!full.AppendAll(item))
                continue;
            char path[kMaxPathBytes] = "";
            std::string name;
            int status = DroppedPathOf(full, path, name);
            take(status, path, name);
        }
        return paths;
    }
    // Programs that offer only a file list.
    FORMATETC fe = {CF_HDROP, NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&fe, &medium)))
        return paths;
    HDROP drop = static_cast<HDROP>(medium.hGlobal);
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, NULL, 0);
    for (UINT i = 0; i < count; i++) {
        UINT len = DragQueryFileW(drop, i, NULL, 0);
        std::vector<WCHAR> wide(len + 1, 0);
        if (DragQueryFileW(drop, i, wide.data(), len + 1) != len)
            continue;
        char path[kMaxPathBytes] = "";
        std::string name;
        int status = DroppedPathOf(wide.data(), path, name);
        take(status, path, name);
    }
    ReleaseStgMedium(&medium);
    return paths;
}

bool HasFormat(IDataObject* data, CLIPFORMAT format)
{
    FORMATETC fe = {format, NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data && data->QueryGetData(&fe) == S_OK;
}

}  // namespace

// The field's drop target: the keys held at the drop choose the kind of insertion, a drag with
// the right button asks by a menu.
class PromptDropTarget : public IDropTarget {
public:
    explicit PromptDropTarget(PromptField* field) : m_field(field) {}
    virtual ~PromptDropTarget() = default;
    void Detach() { m_field = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return (ULONG)InterlockedIncrement(&m_refs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG n = InterlockedDecrement(&m_refs);
        if (n == 0)
            delete this;
        return (ULONG)n;
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL, DWORD* effect) override
    {
        if (!effect)
            return E_INVALIDARG;
        if (!ID_List::cfIDLIST)
            ID_List::cfIDLIST = RegisterClipboardFormatA("Shell IDList Array");
        m_accept = m_field && (HasFormat(data, (CLIPFORMAT)ID_List::cfIDLIST) || HasFormat(data, CF_HDROP));
        m_right = (keys & MK_RBUTTON) != 0;
        *effect = Effect(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL, DWORD* effect) override
    {
        if (!effect)
            return E_INVALIDARG;
        if (keys & MK_RBUTTON)
            m_right = true;
        *effect = Effect(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        m_accept = m_right = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override
    {
        if (!effect)
            return E_INVALIDARG;
        DWORD allowed = Effect(*effect);
        bool right = m_right || (keys & MK_RBUTTON);
        m_accept = m_right = false;
        *effect = DROPEFFECT_NONE;
        if (!allowed || !m_field || !data)
            return S_OK;
        POINT at = {pt.x, pt.y};
        prompt::InsertKind kind = prompt::KindOfKeys(keys);
        if (right && !AskKind(at, kind))
            return S_OK;
        if (m_field->InsertDropped(data, at, kind) > 0)
            *effect = allowed;
        return S_OK;
    }

private:
    // Names are only read: a copy, or a link where the source offers no copy; never a move.
    DWORD Effect(DWORD offered) const
    {
        if (!m_accept)
            return DROPEFFECT_NONE;
        return (offered & DROPEFFECT_COPY) ? DROPEFFECT_COPY : (offered & DROPEFFECT_LINK) ? DROPEFFECT_LINK : DROPEFFECT_NONE;
    }
    bool AskKind(POINT at, prompt::InsertKind& kind)
    {
        HMENU menu = LoadMenuA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_PROMPT_DROP_MENU));
        if (!menu)
            return false;
        HMENU popup = GetSubMenu(menu, 0);
        SetMenuDefaultItem(popup, ID_PROMPT_DROP_NAME, FALSE);
        HWND owner = GetAncestor(m_field->Combo(), GA_ROOT);
        UINT cmd = (UINT)TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0,
                                        owner, NULL);
        DestroyMenu(menu);
        if (cmd < ID_PROMPT_DROP_NAME || cmd > ID_PROMPT_DROP_PATH_ALIAS)
            return false;   // Cancel, or the menu closed
        kind = static_cast<prompt::InsertKind>(cmd - ID_PROMPT_DROP_NAME);
        return true;
    }

    LONG m_refs = 1;
    PromptField* m_field;
    bool m_accept = false;
    bool m_right = false;   // the right button was held during the drag
};

PromptField::~PromptField()
{
    Revoke();
}

void PromptField::Revoke()
{
    if (!m_target)
        return;
    if (m_edit)
        RevokeDragDrop(m_edit);
    m_target->Detach();
    m_target->Release();
    m_target = nullptr;
}

LRESULT CALLBACK PromptField::EditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    if (msg == WM_DESTROY) {
        PromptField* self = reinterpret_cast<PromptField*>(data);
        self->Revoke();
        self->m_edit = self->m_combo = NULL;
        RemoveWindowSubclass(wnd, EditProc, 2);
    }
    return DefSubclassProc(wnd, msg, wp, lp);
}

bool PromptField::Create(HWND parent, UINT id)
{
    m_combo = CreateWindowExW(0, L"COMBOBOX", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                              0, 0, 100, 200, parent, (HMENU)(UINT_PTR)id, NULL, NULL);
    if (!m_combo)
        return false;
    COMBOBOXINFO info = {sizeof(info)};
    if (GetComboBoxInfo(m_combo, &info))
        m_edit = info.hwndItem;
    if (!m_edit)
        return false;
    SetWindowSubclass(m_edit, EditProc, 2, reinterpret_cast<DWORD_PTR>(this));
    m_target = new PromptDropTarget(this);
    // The application has initialised OLE; without it the field takes no drops.
    if (FAILED(RegisterDragDrop(m_edit, m_target))) {
        m_target->Detach();
        m_target->Release();
        m_target = nullptr;
    }
    return true;
}

size_t PromptField::NearestPosition(POINT pt) const
{
    int len = m_edit ? GetWindowTextLengthW(m_edit) : 0;
    if (len <= 0)
        return 0;
    std::vector<WCHAR> text((size_t)len + 1, 0);
    len = GetWindowTextW(m_edit, text.data(), len + 1);
    // Left edges of the characters; the end lies behind the last one by its width.
    std::vector<int> x((size_t)len + 1, 0);
    for (int i = 0; i < len; i++)
        x[i] = (short)LOWORD(SendMessageW(m_edit, EM_POSFROMCHAR, (WPARAM)i, 0));
    int last = len - 1;
    if (last > 0 && IS_LOW_SURROGATE(text[last]) && IS_HIGH_SURROGATE(text[last - 1]))
        last--;
    HDC dc = GetDC(m_edit);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageW(m_edit, WM_GETFONT, 0, 0));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.data() + last, len - last, &size);
    SelectObject(dc, old);
    ReleaseDC(m_edit, dc);
    x[len] = x[last] + size.cx;
    size_t best = 0;
    for (int i = 1; i <= len; i++) {
        if (i < len && IS_LOW_SURROGATE(text[i]) && IS_HIGH_SURROGATE(text[i - 1]))
            continue;   // never between the halves of one character
        if (abs(x[i] - pt.x) < abs(x[best] - pt.x))
            best = (size_t)i;
    }
    return best;
}

int PromptField::InsertDropped(IDataObject* data, POINT pt, prompt::InsertKind kind)
{
    if (!m_edit || !data)
        return 0;
    std::vector<std::wstring> pieces;
    for (const std::string& path : DroppedPaths(data, onRefused)) {
        std::string piece = prompt::PieceOf(path.c_str(), kind);
        if (piece.empty())
            continue;   // not in the file system (any more)
        piece = prompt::Quote(piece);
        std::vector<WCHAR> wide(piece.size() + 1, 0);
        if (!AnsiToWideExact(piece.c_str(), -1, wide.data(), (int)wide.size()))
            continue;
        pieces.push_back(wide.data());
    }
    if (pieces.empty())
        return 0;
    int len = GetWindowTextLengthW(m_edit);
    std::vector<WCHAR> buf((size_t)len + 1, 0);
    len = GetWindowTextW(m_edit, buf.data(), len + 1);
    std::wstring text(buf.data(), (size_t)len);
    std::vector<char> before((size_t)len * 3 + 1, 0);
    GetWindowTextA(m_combo, before.data(), (int)before.size());
    ScreenToClient(m_edit, &pt);
    size_t pos = NearestPosition(pt);
    size_t caret = 0;
    std::wstring insert = prompt::DropText(text, pos, pieces, &caret);
    SendMessageW(m_edit, EM_SETSEL, pos, pos);
    SendMessageW(m_edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(insert.c_str()));
    if ((size_t)GetWindowTextLengthW(m_edit) != text.size() + insert.size()) {
        // The field's limit cut the text: a cut path must not stay to be run.
        SendMessageW(m_edit, EM_UNDO, 0, 0);
        SetWindowTextW(m_edit, text.c_str());
        return 0;
    }
    // The owner may give the field the focus, which selects its whole text: the caret comes last.
    if (onDropped)
        onDropped(before.data());
    SendMessageW(m_edit, EM_SETSEL, pos + caret, pos + caret);
    return (int)pieces.size();
}
