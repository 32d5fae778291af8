#include "panels/ViewIconMemo.h"
#include "ui/VmWnd.h"
#include <shlobj.h>

namespace {

// Enough for every list a user scrolls through; past it the memo starts again.
const size_t kMaxImages = 100000;
// Bigger than any child identifier a file-system folder gives out.
const UINT kMaxKeyBytes = 2048;

bool RunsUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != NULL;
}

}  // namespace

ViewIconMemo::ViewIconMemo() : m_wine(RunsUnderWine()) {}

void ViewIconMemo::Start(bool fileSystemFolder)
{
    m_on = m_wine && fileSystemFolder;
    m_images.clear();
}

bool ViewIconMemo::KeyOf(LPARAM item, std::string& key)
{
    // Wine's view keeps the object's child identifier list as the item's data.
    const ITEMIDLIST* pidl = reinterpret_cast<const ITEMIDLIST*>(item);
    if (!pidl)
        return false;
    UINT size = ILGetSize(pidl);
    if (size <= sizeof(USHORT) || size > kMaxKeyBytes)
        return false;
    key.assign(reinterpret_cast<const char*>(pidl), size);
    return true;
}

bool ViewIconMemo::OnGetDispInfo(NMHDR* header, VmWnd& view, LRESULT* result)
{
    if (!m_on || !header || !result ||
        (header->code != LVN_GETDISPINFOA && header->code != LVN_GETDISPINFOW))
        return false;
    // The two forms share the layout of every field used here.
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
    std::string key;
    if (!(item.mask & LVIF_IMAGE) || item.iSubItem != 0 || !KeyOf(item.lParam, key))
        return false;
    auto found = m_images.find(key);
    if (found != m_images.end()) {
        // The view answers the rest; the list takes the image from the memo.
        item.mask &= ~LVIF_IMAGE;
        *result = item.mask ? view.Dispatch(WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header)) : 0;
        item.mask |= LVIF_IMAGE;
        item.iImage = found->second;
        return true;
    }
    *result = view.Dispatch(WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
    if ((item.mask & LVIF_IMAGE) && item.iImage >= 0) {
        if (m_images.size() >= kMaxImages)
            m_images.clear();
        m_images.emplace(std::move(key), item.iImage);
    }
    return true;
}
