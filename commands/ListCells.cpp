#include "commands/ListCells.h"
#include <commctrl.h>
#include <ntquery.h>
#include <shlwapi.h>

namespace {

// The list is asked with a buffer of this size, as List always asked it.
const int kTextSize = 1024;

// The path of the folder the view shows; empty outside the file system.
std::wstring FolderPath(IShellFolder2* folder)
{
    IPersistFolder2* persist = nullptr;
    if (FAILED(folder->QueryInterface(IID_IPersistFolder2, (void**)&persist)) || !persist)
        return std::wstring();
    ITEMIDLIST* pidl = nullptr;
    wchar_t path[MAX_PATH] = L"";
    if (SUCCEEDED(persist->GetCurFolder(&pidl)) && pidl) {
        if (!SHGetPathFromIDListW(pidl, path))
            path[0] = 0;
        CoTaskMemFree(pidl);
    }
    persist->Release();
    return path;
}

}  // namespace

ListCells::ListCells(HWND list, IShellView* view) : m_list(list)
{
    if (!view || FAILED(view->QueryInterface(IID_IFolderView, (void**)&m_folderView)) || !m_folderView) {
        m_folderView = nullptr;
        return;
    }
    if (FAILED(m_folderView->GetFolder(IID_IShellFolder2, (void**)&m_folder)) || !m_folder) {
        m_folder = nullptr;
        return;
    }
    // The columns the folder offers, by title; the list's columns are found among them.
    for (int c = 0; c < 256; ++c) {
        SHELLDETAILS sd = {};
        if (FAILED(m_folder->GetDetailsOf(NULL, c, &sd)))
            break;
        wchar_t title[kTextSize] = L"";
        if (FAILED(StrRetToBufW(&sd.str, NULL, title, kTextSize)))
            title[0] = 0;
        m_folderTitles.push_back(title);
    }
    m_folderColumns = (int)m_folderTitles.size();
    std::wstring path = FolderPath(m_folder);
    m_desktopIni = !path.empty() &&
                   GetFileAttributesW((path + (path.back() == L'\\' ? L"" : L"\\") + L"desktop.ini").c_str()) !=
                       INVALID_FILE_ATTRIBUTES;
}

ListCells::~ListCells()
{
    FreeItem();
    if (m_folder)
        m_folder->Release();
    if (m_folderView)
        m_folderView->Release();
}

void ListCells::NewPass()
{
    FreeItem();
}

void ListCells::FreeItem()
{
    if (m_item.pidl)
        CoTaskMemFree(m_item.pidl);
    m_item = Item();
}

ListCells::Source ListCells::SourceOf(int column)
{
    return ColumnAt(column).source;
}

ListCells::Column& ListCells::ColumnAt(int column)
{
    if (column >= (int)m_columns.size())
        m_columns.resize(column + 1);
    Column& col = m_columns[column];
    if (!col.ready) {
        col.ready = true;
        SetUp(column, col);
    }
    return col;
}

void ListCells::SetUp(int column, Column& col)
{
    col.source = FromList;
    if (!m_folder || column < 0)
        return;
    char title[MAX_PATH] = "";
    LVCOLUMNA lvc = {};
    lvc.mask = LVCF_TEXT;
    lvc.pszText = title;
    lvc.cchTextMax = sizeof(title);
    if (!ListView_GetColumn(m_list, column, &lvc))
        return;
    // The folder's column of that title; the one of the same index first.
    int found = -1;
    if (column < m_folderColumns && Narrow(m_folderTitles[column]) == title)
        found = column;
    for (int c = 0; found < 0 && c < m_folderColumns; ++c)
        if (Narrow(m_folderTitles[c]) == title)
            found = c;
    if (found < 0)
        return;
    col.folderColumn = found;
    col.source = FromFolder;
    SHCOLUMNID scid = {};
    if (SUCCEEDED(m_folder->MapColumnToSCID(found, &scid)) && IsEqualGUID(scid.fmtid, FMTID_Storage)) {
        if (scid.pid == PID_STG_NAME)
            col.source = NameRule;
        else if (scid.pid == PID_STG_STORAGETYPE)
            col.source = TypeRule;
    }
    // The folder's texts must be the list's on items of the list itself: the first ones (the
    // first of a kind answered by the folder, the next worked out), the middle and the last.
    int count = ListView_GetItemCount(m_list);
    int samples[] = {0, 1, 2, count / 2, count - 1};
    for (int i = 0; i < 5; ++i) {
        int item = samples[i];
        if (item < 0 || item >= count || (i > 0 && item <= samples[i - 1]))
            continue;
        if (Produce(item, column, col) != ListText(item, column)) {
            col.source = FromList;
            return;
        }
    }
}

std::string ListCells::Text(int item, int column)
{
    Column& col = ColumnAt(column);
    if (col.source == FromList)
        return ListText(item, column);
    return Produce(item, column, col);
}

std::string ListCells::ListText(int item, int column) const
{
    char buf[kTextSize] = "";
    ListView_GetItemText(m_list, item, column, buf, kTextSize);
    return buf;
}

bool ListCells::LoadItem(int index)
{
    if (m_item.index == index && m_item.pidl)
        return true;
    FreeItem();
    ITEMIDLIST* pidl = nullptr;
    if (!m_folderView || FAILED(m_folderView->Item(index, &pidl)) || !pidl)
        return false;
    m_item.index = index;
    m_item.pidl = pidl;
    WIN32_FIND_DATAW fd = {};
    STRRET name = {};
    wchar_t parsing[kTextSize] = L"";
    if (SUCCEEDED(SHGetDataFromIDListW(m_folder, pidl, SHGDFIL_FINDDATA, &fd, sizeof(fd))) &&
        SUCCEEDED(m_folder->GetDisplayNameOf(pidl, SHGDN_INFOLDER | SHGDN_FORPARSING, &name)) &&
        SUCCEEDED(StrRetToBufW(&name, pidl, parsing, kTextSize)) && parsing[0]) {
        m_item.fileSystem = true;
        m_item.folder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A read-only or system folder may name and type itself (desktop.ini).
        m_item.ownTexts = m_item.folder && (fd.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM));
        m_item.parsing = parsing;
        size_t dot = m_item.parsing.rfind(L'.');
        // The extension as it is written: a type made of it keeps its case ("TXT file").
        std::wstring ext = dot == std::wstring::npos ? std::wstring() : m_item.parsing.substr(dot);
        m_item.key = (m_item.folder ? L"d" : L"f") + ext;
    }
    return true;
}

bool ListCells::FolderText(int folderColumn, std::wstring& text)
{
    text.clear();
    SHELLDETAILS sd = {};
    HRESULT hr = m_folder->GetDetailsOf(m_item.pidl, folderColumn, &sd);
    // The view shows nothing for a cell its folder does not answer with S_OK.
    if (hr != S_OK) {
        if (SUCCEEDED(hr) && sd.str.uType == STRRET_WSTR)
            CoTaskMemFree(sd.str.pOleStr);
        return false;
    }
    wchar_t buf[kTextSize] = L"";
    if (FAILED(StrRetToBufW(&sd.str, m_item.pidl, buf, kTextSize)))
        return false;
    text = buf;
    return true;
}

std::string ListCells::Produce(int item, int column, Column& col)
{
    if (!LoadItem(item))
        return ListText(item, column);
    std::wstring text;
    const Item& it = m_item;
    bool byKind = it.fileSystem && !it.ownTexts && !it.key.empty();
    if (col.source == NameRule && byKind && !(m_desktopIni && !it.folder)) {
        size_t dot = it.parsing.rfind(L'.');
        // A leading or trailing dot leaves no name or no extension to go by: asked each time.
        bool plain = dot == std::wstring::npos || (dot > 0 && dot + 1 < it.parsing.size());
        auto rule = m_nameRules.find(it.key);
        if (plain && rule != m_nameRules.end()) {
            if (rule->second == SameAsParsing)
                return Narrow(it.parsing);
            if (rule->second == WithoutExtension && dot != std::wstring::npos)
                return Narrow(it.parsing.substr(0, dot));
        }
        FolderText(col.folderColumn, text);
        if (plain && rule == m_nameRules.end()) {
            NameForm found = AskFolder;
            if (text == it.parsing)
                found = SameAsParsing;
            else if (dot != std::wstring::npos && text == it.parsing.substr(0, dot))
                found = WithoutExtension;
            m_nameRules[it.key] = found;
        }
        return Narrow(text);
    }
    if (col.source == TypeRule && byKind) {
        auto type = m_types.find(it.key);
        if (type != m_types.end())
            return Narrow(type->second);
        // Only a text the folder gave is kept for the kind.
        if (FolderText(col.folderColumn, text))
            m_types[it.key] = text;
        return Narrow(text);
    }
    FolderText(col.folderColumn, text);
    return Narrow(text);
}

std::string ListCells::Narrow(const std::wstring& text) const
{
    if (text.empty())
        return std::string();
    // As the list converts the view's text for a caller of the 8-bit message.
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
    if (n <= 0)
        return std::string();
    std::string out(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), &out[0], n, NULL, NULL);
    return out;
}
