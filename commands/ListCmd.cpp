#include "commands/ListCmd.h"
#include "commands/ListCells.h"
#include "app/MainFrame.h"
#include "commands/SelectCommands.h"
#include "commands/SelectRes.h"
#include "files/VmFile.h"
#include "LibRes.h"
#include "panels/ViewFrame.h"
#include "ui/MsgUtil.h"
#include "ui/VmDlg.h"
#include "util/StrUtil.h"
#include <commctrl.h>
#include <commdlg.h>
#include <string.h>
#include <vector>

namespace {

// The preview box shows six lines; a hundred rows leave enough to scroll through.
const int kPreviewRows = 100;
const char* const kDelimiterNames[] = {"Tab", "Semicolon", "Comma", "Space"};
const char kDelimiters[] = {'\t', ';', ',', ' '};
const char* const kQualifierNames[] = {"\"", "'", "{none}"};
const char* const kQualifiers[] = {"\"", "'", ""};

std::string AppString(UINT id)
{
    char text[1024];
    if (LoadStringA(GetModuleHandleA(NULL), id, text, sizeof(text)) <= 0)
        return std::string();
    return text;
}

// The list's columns in the order the user sees them: indexes of the list's own columns.
std::vector<int> ColumnOrder(HWND list)
{
    std::vector<int> order;
    HWND header = ListView_GetHeader(list);
    int count = header ? Header_GetItemCount(header) : 0;
    if (count <= 0)
        return order;
    order.resize(count);
    if (!ListView_GetColumnOrderArray(list, count, order.data()))
        for (int i = 0; i < count; ++i)
            order[i] = i;
    return order;
}

std::string ColumnTitle(HWND list, int column)
{
    char buf[MAX_PATH] = "";
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT;
    col.pszText = buf;
    col.cchTextMax = sizeof(buf);
    if (!ListView_GetColumn(list, column, &col))
        return std::string();
    return buf;
}

// A list of strings from the dialog's combo selections (index clamped to the table).
int Clamp(int index, int count) { return index >= 0 && index < count ? index : 0; }

// The bytes of the first `limit` characters of text: a cut never splits a character of the
// process code page (UTF-8 sequences, double-byte pairs).
size_t CutLength(const std::string& text, size_t limit)
{
    bool utf8 = GetACP() == CP_UTF8;
    size_t pos = 0, chars = 0;
    while (pos < text.size() && chars < limit) {
        unsigned char c = (unsigned char)text[pos];
        size_t len = 1;
        if (utf8) {
            while (pos + len < text.size() && ((unsigned char)text[pos + len] & 0xC0) == 0x80)
                ++len;
        } else if (IsDBCSLeadByte(c) && pos + 1 < text.size()) {
            len = 2;
        }
        pos += len;
        ++chars;
    }
    return pos;
}

void AddField(std::string& row, bool first, char delimiter, const char* qualifier,
              const std::string& text, size_t limit)
{
    if (!first)
        row += delimiter;
    row += qualifier;
    row.append(text, 0, CutLength(text, limit));
    row += qualifier;
}

}  // namespace

void ListOpts::Reset()
{
    value = Header | 20;
    columns = 0xFFFFFFFF;
    savePath[0] = 0;
}

void ListOpts::OnLoad(RegKey& key)
{
    columns = key.GetDword("ListColumns", 0xFFFFFFFF);
    key.GetStr("ListSavePath", savePath, sizeof(savePath), "");
}

void ListOpts::OnStore(RegKey& key)
{
    key.PutDword("ListColumns", columns);
    key.PutStr("ListSavePath", savePath);
}

std::string BuildListText(ListCells& cells, const ListOpts& opts, int maxRows)
{
    std::string out;
    HWND list = cells.List();
    if (!list)
        return out;
    cells.NewPass();
    bool all = opts.IsOn(ListOpts::AllObjects);
    int objects = all ? ListView_GetItemCount(list) : (int)ListView_GetSelectedCount(list);
    if (objects <= 0)
        return out;
    std::vector<int> order = ColumnOrder(list);
    if (order.empty())
        order.push_back(0);
    char delimiter = kDelimiters[Clamp(opts.Delimiter(), 4)];
    const char* qualifier = kQualifiers[Clamp(opts.Qualifier(), 3)];
    size_t limit = qualifier[0] ? 253 : 255;
    size_t nameLimit = opts.IsOn(ListOpts::LimitName) ? (size_t)opts.NameLimit() : limit;
    if (nameLimit > limit)
        nameLimit = limit;
    auto included = [&](size_t i) { return i < 32 && (opts.columns & (1u << i)) != 0; };

    if (opts.IsOn(ListOpts::Header)) {
        std::string row;
        bool first = true;
        for (size_t i = 0; i < order.size(); ++i) {
            if (!included(i))
                continue;
            AddField(row, first, delimiter, qualifier, ColumnTitle(list, order[i]), limit);
            first = false;
        }
        if (!row.empty())
            out += row + "\r\n";
    }
    int rows = 0;
    for (int item = all ? 0 : ListView_GetNextItem(list, -1, LVNI_SELECTED);
         item >= 0 && item < ListView_GetItemCount(list);
         item = all ? item + 1 : ListView_GetNextItem(list, item, LVNI_SELECTED)) {
        std::string row;
        bool first = true;
        for (size_t i = 0; i < order.size(); ++i) {
            if (!included(i))
                continue;
            AddField(row, first, delimiter, qualifier, cells.Text(item, order[i]),
                     i == 0 ? nameLimit : limit);
            first = false;
        }
        if (!row.empty())
            out += row + "\r\n";
        if (maxRows > 0 && ++rows >= maxRows)
            break;
    }
    return out;
}

namespace {

class ListDlg : public VmDlg {
public:
    ListDlg(ListCells& cells, ListOpts& opts, WINDOWPLACEMENT* placement)
        : m_cells(cells), m_panelList(cells.List()), m_opts(opts), m_placement(placement)
    {
    }

    BOOL OnInitDialog() override
    {
        HICON icon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_LIST));
        if (icon)
            SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, (LPARAM)icon);
        if (m_placement && m_placement->length == sizeof(WINDOWPLACEMENT))
            SetWindowPos(m_hWnd, NULL, m_placement->rcNormalPosition.left,
                         m_placement->rcNormalPosition.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        m_filling = true;
        CheckRadioButton(m_hWnd, IDC_LIST_SELECTED, IDC_LIST_ALL,
                         m_opts.IsOn(ListOpts::AllObjects) ? IDC_LIST_ALL : IDC_LIST_SELECTED);
        CheckRadioButton(m_hWnd, IDC_LIST_CLIPBOARD, IDC_LIST_FILE,
                         m_opts.IsOn(ListOpts::ToClipboard) ? IDC_LIST_CLIPBOARD : IDC_LIST_FILE);
        CheckDlgButton(m_hWnd, IDC_LIST_HEADER, m_opts.IsOn(ListOpts::Header));
        CheckDlgButton(m_hWnd, IDC_LIST_LIMIT, m_opts.IsOn(ListOpts::LimitName));
        SetDlgItemInt(m_hWnd, IDC_LIST_LIMIT_NUM, m_opts.NameLimit(), FALSE);
        SendDlgItemMessageA(m_hWnd, IDC_LIST_LIMIT_NUM, EM_LIMITTEXT, 3, 0);
        HWND delim = GetDlgItem(m_hWnd, IDC_LIST_DELIMITER);
        for (const char* name : kDelimiterNames)
            SendMessageA(delim, CB_ADDSTRING, 0, (LPARAM)name);
        SendMessageA(delim, CB_SETCURSEL, Clamp(m_opts.Delimiter(), 4), 0);
        HWND qual = GetDlgItem(m_hWnd, IDC_LIST_QUALIFIER);
        for (const char* name : kQualifierNames)
            SendMessageA(qual, CB_ADDSTRING, 0, (LPARAM)name);
        SendMessageA(qual, CB_SETCURSEL, Clamp(m_opts.Qualifier(), 3), 0);
        SendDlgItemMessageA(m_hWnd, IDC_LIST_PREVIEW, WM_SETFONT, (WPARAM)GetStockObject(ANSI_FIXED_FONT), FALSE);
        FillColumns();
        m_filling = false;
        Update();
        return TRUE;
    }

    bool OnCommand(int id, int code, HWND) override
    {
        if (m_filling)
            return false;
        switch (id) {
        case IDC_LIST_SELECTED:
        case IDC_LIST_ALL:
        case IDC_LIST_HEADER:
        case IDC_LIST_LIMIT:
        case IDC_LIST_CLIPBOARD:
        case IDC_LIST_FILE:
            if (code == BN_CLICKED)
                Update();
            return true;
        case IDC_LIST_DELIMITER:
        case IDC_LIST_QUALIFIER:
            if (code == CBN_SELCHANGE)
                Update();
            return true;
        case IDC_LIST_LIMIT_NUM:
            if (code == EN_CHANGE)
                Update();
            return true;
        case IDHELP:
            if (code == BN_CLICKED)
                OnHelp(IDD_LIST);
            return true;
        }
        return false;
    }

    bool OnNotify(int id, NMHDR* header, LRESULT& result) override
    {
        if (id == IDC_LIST_COLUMNS && header->code == LVN_ITEMCHANGED && !m_filling) {
            const NMLISTVIEW* nm = reinterpret_cast<const NMLISTVIEW*>(header);
            if (nm->uChanged & LVIF_STATE)
                Update();
        }
        return VmDlg::OnNotify(id, header, result);
    }

    void OnOK() override
    {
        ReadChoices();
        if (m_opts.IsOn(ListOpts::ToClipboard)) {
            std::string text;
            if (!Build(text))
                return;
            if (!PutTextOnClipboard(m_hWnd, text))
                Msg(m_hWnd, MB_OK | MB_ICONERROR, -IDS_LIB_FILEOP_NOMEMORY);
            CloseDialog(IDOK, 1);
            return;
        }
        char path[MAX_PATH];
        StrCopyN(path, m_opts.savePath, sizeof(path));
        std::string title = AppString(IDS_LIST_SAVE_TITLE);
        OPENFILENAMEA ofn = {};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = m_hWnd;
        ofn.lpstrFile = path;
        ofn.nMaxFile = sizeof(path);
        ofn.lpstrTitle = title.c_str();
        ofn.lpstrFilter = "Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
        ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
        if (!GetSaveFileNameA(&ofn))
            return;
        StrCopyN(m_opts.savePath, path, sizeof(m_opts.savePath));
        std::string text;
        if (!Build(text))
            return;
        DeleteFileA(path);
        VmFile file(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
        if (!file.IsReady() || !file.WriteBin(text.data(), (DWORD)text.size())) {
            DWORD error = GetLastError();
            file.Close();
            SetLastError(error);
            MsgLastError(m_hWnd);
            return;
        }
        file.Close();
        CloseDialog(IDOK, 1);
    }

    bool CanClose(INT_PTR result) override
    {
        if (m_placement && m_hWnd) {
            WINDOWPLACEMENT wp;
            wp.length = sizeof(wp);
            if (GetWindowPlacement(m_hWnd, &wp))
                *m_placement = wp;
        }
        return VmDlg::CanClose(result);
    }

private:
    // The whole text; false when there is none, or when memory ran short (reported, and the
    // dialog closed).
    bool Build(std::string& text)
    {
        try {
            text = BuildListText(m_cells, m_opts);
        } catch (...) {
            text.clear();
            Msg(m_hWnd, MB_OK | MB_ICONERROR, -IDS_LIB_FILEOP_NOMEMORY);
            CloseDialog(IDCANCEL, 0);
            return false;
        }
        return !text.empty();
    }

    void FillColumns()
    {
        HWND box = GetDlgItem(m_hWnd, IDC_LIST_COLUMNS);
        ListView_SetExtendedListViewStyle(box, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
        RECT rc;
        GetClientRect(box, &rc);
        LVCOLUMNA col = {};
        col.mask = LVCF_WIDTH;
        col.cx = rc.right - rc.left - GetSystemMetrics(SM_CXVSCROLL);
        ListView_InsertColumn(box, 0, &col);
        std::vector<int> order = m_panelList ? ColumnOrder(m_panelList) : std::vector<int>();
        for (size_t i = 0; i < order.size(); ++i) {
            std::string title = ColumnTitle(m_panelList, order[i]);
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = (int)i;
            item.pszText = const_cast<char*>(title.c_str());
            int at = ListView_InsertItem(box, &item);
            ListView_SetCheckState(box, at, i >= 32 || (m_opts.columns & (1u << i)) != 0);
        }
    }

    void ReadChoices()
    {
        DWORD& v = m_opts.value;
        auto set = [&](DWORD bit, bool on) { v = on ? (v | bit) : (v & ~bit); };
        set(ListOpts::AllObjects, IsDlgButtonChecked(m_hWnd, IDC_LIST_ALL) == BST_CHECKED);
        set(ListOpts::ToClipboard, IsDlgButtonChecked(m_hWnd, IDC_LIST_CLIPBOARD) == BST_CHECKED);
        set(ListOpts::Header, IsDlgButtonChecked(m_hWnd, IDC_LIST_HEADER) == BST_CHECKED);
        bool limit = IsDlgButtonChecked(m_hWnd, IDC_LIST_LIMIT) == BST_CHECKED;
        set(ListOpts::LimitName, limit);
        EnableWindow(GetDlgItem(m_hWnd, IDC_LIST_LIMIT_NUM), limit);
        BOOL ok = FALSE;
        UINT n = GetDlgItemInt(m_hWnd, IDC_LIST_LIMIT_NUM, &ok, FALSE);
        if (ok)
            m_opts.SetNameLimit(n > 255 ? 255 : (int)n);
        m_opts.SetDelimiter((int)SendDlgItemMessageA(m_hWnd, IDC_LIST_DELIMITER, CB_GETCURSEL, 0, 0));
        m_opts.SetQualifier((int)SendDlgItemMessageA(m_hWnd, IDC_LIST_QUALIFIER, CB_GETCURSEL, 0, 0));
        HWND box = GetDlgItem(m_hWnd, IDC_LIST_COLUMNS);
        int count = ListView_GetItemCount(box);
        for (int i = 0; i < count && i < 32; ++i) {
            if (ListView_GetCheckState(box, i))
                m_opts.columns |= 1u << i;
            else
                m_opts.columns &= ~(1u << i);
        }
    }

    void Update()
    {
        ReadChoices();
        // The preview shows the first objects only: enough to judge the choices by. Building
        // the rows takes a few milliseconds; filling the edit box is what costs (under Wine a
        // tenth of a second and more for a few hundred rows), so it is filled only when its
        // text changes.
        std::string text;
        try {
            text = BuildListText(m_cells, m_opts, kPreviewRows);
        } catch (...) {
            text.clear();
        }
        if (text != m_preview) {
            SetDlgItemTextA(m_hWnd, IDC_LIST_PREVIEW, text.c_str());
            m_preview.swap(text);
        }
        EnableWindow(GetDlgItem(m_hWnd, IDOK), !m_preview.empty());
    }

    ListCells& m_cells;   // kept while the dialog is open: what it learnt serves every rebuild
    HWND m_panelList;
    ListOpts& m_opts;
    WINDOWPLACEMENT* m_placement;
    bool m_filling = false;
    std::string m_preview;   // what the preview box holds
};

}  // namespace

void List_Run(CMainFrame& frame)
{
    ViewFrame* panel = frame.ActivePanel();
    if (!panel)
        return;
    ListOpts opts;
    opts.Load();
    WINDOWPLACEMENT* placement = nullptr;
    for (int i = 0; i < FrameOpts::kDialogs; ++i)
        if (!strcmp(FrameOpts::kDialogNames[i], "DlgList"))
            placement = &frame.Options().dialogs[i];
    ListCells cells(panel->GetListView(), panel->GetIShellView());
    ListDlg dlg(cells, opts, placement);
    if (dlg.Modal(IDD_LIST, GetModuleHandleA(NULL), frame.m_hWnd) == IDOK)
        opts.Store();
}
