#include "panels/Favorites.h"
#include "app/Resource.h"
#include "registry/RegKey.h"
#include "shell/Pidl.h"
#include "ui/IconMenu.h"
#include "ui/MsgUtil.h"
#include "ui/VmDlg.h"
#include "util/StrUtil.h"
#include <commctrl.h>
#include <shlobj.h>
#include <string.h>
#include <vector>

namespace {
const char kCountEx[] = "FavoritesCountEx";
const char kDataEx[] = "FavoritesEx";
const char kCount[] = "FavoritesCount";
const char kData[] = "Favorites";
const UINT kMaxStoredBytes = 1024 * 1024;   // far beyond 100 favourites: anything larger is not ours

// A count value of the right type, else -1.
int ReadCount(RegKey& key, const char* name)
{
    if (key.GetValueType(name) != REG_DWORD)
        return -1;
    DWORD n = key.GetDword(name, 0);
    return n > (DWORD)Favorites::kMaxItems ? Favorites::kMaxItems : (int)n;
}

// A binary value's bytes; empty when missing, of another type or too large.
std::vector<unsigned char> ReadBytes(RegKey& key, const char* name)
{
    std::vector<unsigned char> bytes;
    if (key.GetValueType(name) != REG_BINARY)
        return bytes;
    int size = key.GetBinSize(name);
    if (size <= 0 || (UINT)size > kMaxStoredBytes)
        return bytes;
    bytes.resize(size);
    if (!key.GetBin(name, bytes.data(), size))
        bytes.clear();
    return bytes;
}
}  // namespace

Favorites::Favorites()
{
    m_list.SetCallback(this, &Favorites::RemoveItem);
}

Favorites::~Favorites()
{
    m_list.RemoveAll();
}

int Favorites::RemoveItem(void*, int code, void* element)
{
    if (code == VmList::CodeRemove)
        delete static_cast<FavItem*>(element);
    return 0;
}

FavItem* Favorites::GetAt(int index) const
{
    return static_cast<FavItem*>(m_list.GetAt(m_list.FindIndex(index)));
}

void Favorites::Load(RegKey& key)
{
    m_list.RemoveAll();
    int count = ReadCount(key, kCountEx);
    if (count < 0)
        count = ReadCount(key, kCount);
    for (int i = 0; i < count; i++)
        m_list.AddTail(new FavItem);
    std::vector<unsigned char> bytes = ReadBytes(key, kDataEx);
    if (!bytes.empty()) {
        FavItem::GetPutList(m_list, count, 0, bytes.data(), (UINT)bytes.size());
    } else {
        bytes = ReadBytes(key, kData);
        UINT at = 0;
        for (POS pos = m_list.GetHeadPos(); pos && at < bytes.size();) {
            FavItem* item = static_cast<FavItem*>(m_list.GetNext(pos));
            PIDL folder;
            UINT n = folder.GetPut(0, bytes.data() + at, (UINT)bytes.size() - at);
            if (!n)
                break;
            at += n;
            item->SetData(nullptr, folder, nullptr);
        }
    }
    // Items the data ran out for name no folder: nothing to show or open.
    for (POS pos = m_list.GetHeadPos(); pos;) {
        POS at = pos;
        FavItem* item = static_cast<FavItem*>(m_list.GetNext(pos));
        if (!item->GetActive())
            m_list.RemoveAt(at);
    }
}

void Favorites::Store(RegKey& key)
{
    UINT size = FavItem::GetPutList(m_list, 0, 1, nullptr);
    std::vector<unsigned char> bytes(size);
    int written = 0;
    FavItem::GetPutList(m_list, 0, 1, size ? bytes.data() : nullptr, size, &written);
    key.PutDword(kCountEx, (DWORD)written);
    if (key.FindValue(kCount))
        key.DelValue(kCount);
    if (size)
        key.PutBin(kDataEx, bytes.data(), (int)size);
    else
        key.DelValue(kDataEx);
    if (key.FindValue(kData))
        key.DelValue(kData);
}

bool Favorites::Add(const ITEMIDLIST* folder)
{
    if (!folder)
        return false;
    PIDL copy(folder);
    for (POS pos = m_list.GetHeadPos(); pos;) {
        POS at = pos;
        FavItem* item = static_cast<FavItem*>(m_list.GetNext(pos));
        if (item->GetActive() && copy.CompareAbs(item->GetActive()) == 0) {
            m_list.RemoveAt(at);
            break;
        }
    }
    while (m_list.GetCount() >= kMaxItems)
        m_list.RemoveHead();   // the oldest gives way: every favourite needs a menu command
    FavItem* item = new FavItem;
    item->SetData(nullptr, copy, nullptr);
    m_list.AddTail(item);
    return true;
}

void Favorites::GetText(const FavItem& item, const TextOf& textOf, char* buf, int size)
{
    buf[0] = 0;
    if (item.HasLabel())
        StrCopyN(buf, item.GetLabel(), size);
    else if (item.GetActive() && textOf)
        textOf(item.GetActive(), buf, size);
}

bool Favorites::AppendToMenu(IconMenu& menu, UINT firstId, const ITEMIDLIST* current, const TextOf& textOf)
{
    bool removed = false;
    UINT id = firstId;
    for (POS pos = m_list.GetHeadPos(); pos;) {
        POS at = pos;
        FavItem* item = static_cast<FavItem*>(m_list.GetNext(pos));
        char text[2 * MAX_PATH];
        GetText(*item, textOf, text, sizeof(text));
        if (!text[0]) {
            m_list.RemoveAt(at);
            removed = true;
            continue;
        }
        // "&" in a name is shown, not taken as a key.
        char shown[4 * MAX_PATH];
        int n = 0;
        for (const char* c = text; *c && n < (int)sizeof(shown) - 2; c++) {
            if (*c == '&')
                shown[n++] = '&';
            shown[n++] = *c;
        }
        shown[n] = 0;
        menu.AppendItem(id, shown, GetIconOf(item->GetActive(), 0, 0, 0));
        if (current && PIDL(item->GetActive()).CompareAbs(current) == 0)
            SetMenuDefaultItem(menu, id, FALSE);
        id++;
    }
    return removed;
}

void CopyFavorites(VmList& from, VmList& to)
{
    for (POS pos = from.GetHeadPos(); pos;) {
        FavItem* item = static_cast<FavItem*>(from.GetNext(pos));
        FavItem* copy = new FavItem;
        copy->CopyFrom(*item);
        to.AddTail(copy);
    }
}

// ---- the item dialog

namespace {

class FavItemDlg : public VmDlg {
public:
    FavItemDlg(FavItem& item, bool create) : m_item(item), m_create(create) {}

protected:
    BOOL OnInitDialog() override
    {
        if (m_create)
            SetWindowTextA(m_hWnd, "Create Favorite Item");
        SendDlgItemMessageA(m_hWnd, IDC_FAV_LABEL, EM_LIMITTEXT, MAX_PATH, 0);
        SetDlgItemTextA(m_hWnd, IDC_FAV_LABEL, m_item.GetLabel());
        m_folder[0].CopyAll(m_item.GetActive());
        if (!m_item.GetActive())
            m_folder[0].Free();
        m_folder[1].CopyAll(m_item.GetPassive());
        if (!m_item.GetPassive())
            m_folder[1].Free();
        ShowFolder(0);
        ShowFolder(1);
        return TRUE;
    }

    bool OnCommand(int id, int code, HWND) override
    {
        switch (id) {
        case IDC_FAV_ACTIVE:
        case IDC_FAV_PASSIVE:
            if (code == EN_CHANGE && !m_filling)
                m_typed[id == IDC_FAV_PASSIVE] = true;
            return true;
        case IDC_FAV_ACTIVE_BROWSE:
        case IDC_FAV_PASSIVE_BROWSE:
            Browse(id == IDC_FAV_PASSIVE_BROWSE);
            return true;
        case IDC_FAV_ACTIVE_CLEAR:
        case IDC_FAV_PASSIVE_CLEAR: {
            int which = id == IDC_FAV_PASSIVE_CLEAR;
            m_folder[which].Free();
            ShowFolder(which);
            m_typed[which] = true;   // an empty field now
            return true;
        }
        }
        return false;
    }

    void OnOK() override
    {
        for (int which = 0; which < 2; which++) {
            if (!m_typed[which] && (which == 1 || m_folder[0]))
                continue;
            int field = which ? IDC_FAV_PASSIVE : IDC_FAV_ACTIVE;
            char path[MAX_PATH * 3 + 1] = "";
            GetDlgItemTextA(m_hWnd, field, path, sizeof(path));
            TrimBlanks(path);
            if (!path[0]) {
                if (which == 1) {
                    m_folder[1].Free();
                    continue;
                }
                Msg(m_hWnd, MB_OK | MB_ICONERROR, IDS_FAV_NO_ACTIVE_PATH);
                SetFocus(GetDlgItem(m_hWnd, field));
                return;
            }
            // A wildcard would let the shell choose the folder: such a text names none.
            DWORD attr = HasWildcard(path) ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path);
            PIDL folder;
            if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY))
                folder.Attach(GetPidlOf(path));
            if (!folder) {
                Msg(m_hWnd, MB_OK | MB_ICONERROR, IDS_FAV_NO_FOLDER, path);
                SetFocus(GetDlgItem(m_hWnd, field));
                return;
            }
            m_folder[which].Attach(folder.Detach());
        }
        char label[MAX_PATH * 3 + 1] = "";
        GetDlgItemTextA(m_hWnd, IDC_FAV_LABEL, label, sizeof(label));
        m_item.SetData(label, m_folder[0], m_folder[1]);
        if (!m_folder[0])
            m_item.ClearPidl(1);
        if (!m_folder[1])
            m_item.ClearPidl(0);
        CloseDialog(IDOK, 1);
    }

private:
    static void TrimBlanks(char* text)
    {
        char* start = text;
        while (*start == ' ')
            start++;
        size_t n = strlen(start);
        while (n > 0 && start[n - 1] == ' ')
            n--;
        memmove(text, start, n);
        text[n] = 0;
    }

    // A folder with a file-system path shows it; another one shows its name and is kept as
    // its identifier list until the field is edited.
    void ShowFolder(int which)
    {
        char text[kMaxPathBytes] = "";
        if (m_folder[which] && GetExactPathOf(m_folder[which], text, sizeof(text)) != PathExact)
            GetShellNameOf(m_folder[which], text, sizeof(text), 0);
        m_filling = true;
        SetDlgItemTextA(m_hWnd, which ? IDC_FAV_PASSIVE : IDC_FAV_ACTIVE, text);
        m_filling = false;
        m_typed[which] = false;
    }

    void Browse(int which)
    {
        BROWSEINFOA bi = {};
        bi.hwndOwner = m_hWnd;
        bi.lpszTitle = which ? "Folder for the Passive panel" : "Folder for the Active panel";
        bi.ulFlags = BIF_RETURNONLYFSDIRS;
        ITEMIDLIST* chosen = SHBrowseForFolderA(&bi);
        if (!chosen)
            return;
        m_folder[which].Attach(chosen);
        ShowFolder(which);
    }

    FavItem& m_item;
    bool m_create;
    PIDL m_folder[2];
    bool m_typed[2] = {false, false};
    bool m_filling = false;
};

class OrganizeDlg : public VmDlg {
public:
    OrganizeDlg(VmList& items, const Favorites::TextOf& textOf) : m_items(items), m_textOf(textOf) {}

protected:
    BOOL OnInitDialog() override
    {
        SendDlgItemMessageA(m_hWnd, IDC_FAV_MOVE, UDM_SETRANGE32, 0, 0x7FFF);
        SendDlgItemMessageA(m_hWnd, IDC_FAV_MOVE, UDM_SETPOS32, 0, 0x3FFF);
        Fill(0);
        return TRUE;
    }

    bool OnCommand(int id, int code, HWND) override
    {
        int sel = (int)SendDlgItemMessageA(m_hWnd, IDC_FAV_LIST, LB_GETCURSEL, 0, 0);
        switch (id) {
        case IDC_FAV_LIST:
            if (code == LBN_DBLCLK && sel >= 0)
                Modify(sel);
            return true;
        case IDC_FAV_NEW: {
            if (m_items.GetCount() >= Favorites::kMaxItems)
                return true;
            FavItem* item = new FavItem;
            item->SetData("New item", nullptr, nullptr);
            FavItemDlg dlg(*item, true);
            if (dlg.Modal(IDD_FAV_ITEM, NULL, m_hWnd) != IDOK || !item->GetActive()) {
                delete item;
                return true;
            }
            m_items.AddTail(item);
            Fill(m_items.GetCount() - 1);
            return true;
        }
        case IDC_FAV_MODIFY:
            if (sel >= 0)
                Modify(sel);
            return true;
        case IDC_FAV_DELETE:
            if (sel >= 0) {
                POS pos = m_items.FindIndex(sel);
                m_items.RemoveAt(pos);
                Fill(sel < m_items.GetCount() ? sel : sel - 1);
            }
            return true;
        case IDC_FAV_DELETE_ALL:
            m_items.RemoveAll();
            Fill(-1);
            return true;
        }
        return false;
    }

    bool OnNotify(int id, NMHDR* header, LRESULT& result) override
    {
        if (id != IDC_FAV_MOVE || header->code != UDN_DELTAPOS)
            return false;
        // Up moves the item towards the top of the list.
        const NMUPDOWN* ud = reinterpret_cast<const NMUPDOWN*>(header);
        Move(ud->iDelta > 0 ? -1 : 1);
        result = TRUE;   // the control keeps no position of its own
        return true;
    }

private:
    void Fill(int select)
    {
        HWND list = GetDlgItem(m_hWnd, IDC_FAV_LIST);
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        for (POS pos = m_items.GetHeadPos(); pos;) {
            FavItem* item = static_cast<FavItem*>(m_items.GetNext(pos));
            char text[2 * MAX_PATH];
            Favorites::GetText(*item, m_textOf, text, sizeof(text));
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)text);
        }
        SendMessageA(list, LB_SETCURSEL, select, 0);
    }

    void Modify(int index)
    {
        FavItem* item = static_cast<FavItem*>(m_items.GetAt(m_items.FindIndex(index)));
        if (!item)
            return;
        FavItemDlg dlg(*item, false);
        if (dlg.Modal(IDD_FAV_ITEM, NULL, m_hWnd) == IDOK)
            Fill(index);
    }

    void Move(int step)
    {
        int sel = (int)SendDlgItemMessageA(m_hWnd, IDC_FAV_LIST, LB_GETCURSEL, 0, 0);
        int to = sel + step;
        if (sel < 0 || to < 0 || to >= m_items.GetCount())
            return;
        POS pos = m_items.FindIndex(sel);
        POS other = m_items.FindIndex(to);
        void* a = m_items.GetAt(pos);
        m_items.SetAt(pos, m_items.GetAt(other));
        m_items.SetAt(other, a);
        Fill(to);
    }

    VmList& m_items;
    const Favorites::TextOf& m_textOf;
};

}  // namespace

bool Favorites::Organize(HWND owner, const TextOf& textOf)
{
    Favorites work;
    CopyFavorites(m_list, work.m_list);
    OrganizeDlg dlg(work.m_list, textOf);
    if (dlg.Modal(IDD_FAV_ORGANIZE, NULL, owner) != IDOK)
        return false;
    m_list.RemoveAll();
    CopyFavorites(work.m_list, m_list);
    return true;
}
