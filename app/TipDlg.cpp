#include "app/TipDlg.h"
#include "app/Resource.h"
#include "framework/App.h"
#include "util/ResStr.h"
#include <sys/stat.h>
#include <string.h>
#include <time.h>

namespace {
const char kSection[] = "Tip";
const int kMaxTip = 999;   // characters of one tip line

// The file's modification time in the C run-time's ctime form, trailing white space removed.
std::string TimeStampOf(FILE* file)
{
    struct _stat64 st;
    if (_fstat64(_fileno(file), &st) != 0)
        return std::string();
    __time64_t t = st.st_mtime;
    const char* text = _ctime64(&t);
    std::string s = text ? text : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' || s.back() == '\t'))
        s.pop_back();
    return s;
}

bool IsSkipped(const std::string& line)
{
    return line.empty() || line[0] == ' ' || line[0] == '\t' || line[0] == ';';
}
}  // namespace

bool CTipDlg::GetTipsPath(char* path, int size)
{
    char module[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, module, sizeof(module));
    if (n == 0 || n >= sizeof(module))
        return false;
    char* name = strrchr(module, '\\');
    name = name ? name + 1 : module;
    *name = 0;
    if ((size_t)(name - module) + sizeof("panorel.tod") > (size_t)size)
        return false;
    strcpy(path, module);
    strcat(path, "panorel.tod");
    return true;
}

CTipDlg::CTipDlg()
{
    fw::App* app = fw::App::Get();
    m_showAtStartUp = !(app && app->GetProfileInt(kSection, "StartUp", 0));
    long pos = app ? (long)app->GetProfileInt(kSection, "FilePos", 0) : 0;

    char path[MAX_PATH];
    if (GetTipsPath(path, sizeof(path)))
        m_file = fopen(path, "rb");
    if (!m_file) {
        m_tip = ResStr(IDS_TIP_MISSING_FILE).GetStr();
        return;
    }
    std::string stamp = TimeStampOf(m_file);
    if (!app || app->GetProfileString(kSection, "TimeStamp") != stamp) {
        if (app)
            app->WriteProfileString(kSection, "TimeStamp", stamp.c_str());
        pos = 0;
    }
    if (pos < 0 || fseek(m_file, pos, SEEK_SET) != 0) {
        m_tip = ResStr(IDS_TIP_CORRUPT_FILE).GetStr();
        return;
    }
    ReadNextTip();
}

CTipDlg::~CTipDlg()
{
    // Only a dialog that was shown moves the tips on: the start-up check reads a tip too.
    if (m_file)
        fclose(m_file);
    if (m_headingFont)
        DeleteObject(m_headingFont);
}

void CTipDlg::StorePosition()
{
    if (!m_file)
        return;
    long pos = ftell(m_file);
    fw::App* app = fw::App::Get();
    if (app && pos >= 0)
        app->WriteProfileInt(kSection, "FilePos", (int)pos);
    fclose(m_file);
    m_file = nullptr;
}

// One line of the file into m_tip, without its line end; a longer line is cut to a tip's
// length and the rest of it passed over. False at the end of the file.
bool CTipDlg::ReadTipLine()
{
    m_tip.clear();
    int c = fgetc(m_file);
    if (c == EOF)
        return false;
    for (; c != EOF && c != '\n'; c = fgetc(m_file)) {
        if ((int)m_tip.size() < kMaxTip)
            m_tip += (char)c;
    }
    if (!m_tip.empty() && m_tip.back() == '\r')
        m_tip.pop_back();
    return true;
}

void CTipDlg::ReadNextTip()
{
    if (!m_file)
        return;
    bool rewound = false;
    for (;;) {
        if (ReadTipLine()) {
            if (!IsSkipped(m_tip))
                return;
            continue;
        }
        // At the end: once more from the start; a file with no tip at all is corrupt.
        if (rewound || fseek(m_file, 0, SEEK_SET) != 0)
            break;
        rewound = true;
    }
    m_tip = ResStr(IDS_TIP_CORRUPT_FILE).GetStr();
}

INT_PTR CTipDlg::Run(HWND owner)
{
    return Modal(IDD_TIP, NULL, owner);
}

BOOL CTipDlg::OnInitDialog()
{
    VmDlg::OnInitDialog();
    HWND dlg = m_hWnd;
    CheckDlgButton(dlg, IDC_TIP_STARTUP, m_showAtStartUp ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextA(dlg, IDC_TIP_TEXT, m_tip.c_str());
    EnableWindow(GetDlgItem(dlg, IDC_TIP_NEXT), m_file != nullptr);

    // The heading in a large bold form of the dialog's font.
    HFONT base = (HFONT)SendDlgItemMessageA(dlg, IDC_TIP_HEADING, WM_GETFONT, 0, 0);
    LOGFONTA lf;
    if (base && GetObjectA(base, sizeof(lf), &lf)) {
        lf.lfHeight = lf.lfHeight * 3 / 2;
        lf.lfWeight = FW_BOLD;
        m_headingFont = CreateFontIndirectA(&lf);
        if (m_headingFont)
            SendDlgItemMessageA(dlg, IDC_TIP_HEADING, WM_SETFONT, (WPARAM)m_headingFont, FALSE);
    }
    return TRUE;
}

bool CTipDlg::OnCommand(int id, int code, HWND control)
{
    switch (id) {
    case IDC_TIP_NEXT:
        ReadNextTip();
        SetDlgItemTextA(m_hWnd, IDC_TIP_TEXT, m_tip.c_str());
        return true;
    }
    return VmDlg::OnCommand(id, code, control);
}

// Close (and Esc) keep the choice of the start-up box.
void CTipDlg::OnOK()
{
    fw::App* app = fw::App::Get();
    m_showAtStartUp = IsDlgButtonChecked(m_hWnd, IDC_TIP_STARTUP) == BST_CHECKED;
    if (app)
        app->WriteProfileInt(kSection, "StartUp", m_showAtStartUp ? 0 : 1);
    CloseDialog(IDOK, 1);
}

void CTipDlg::OnCancel()
{
    OnOK();
}

INT_PTR CTipDlg::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The tip and its heading lie on a white page, as a note would.
    if (msg == WM_ERASEBKGND) {
        HDC dc = (HDC)wParam;
        RECT client, page = {7, 7, 265, 111};   // dialog units, above the buttons
        GetClientRect(m_hWnd, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        MapDialogRect(m_hWnd, &page);
        FillRect(dc, &page, GetSysColorBrush(COLOR_WINDOW));
        DrawEdge(dc, &page, EDGE_SUNKEN, BF_RECT);
        return SetMsgResult(TRUE);
    }
    if (msg == WM_CTLCOLORSTATIC) {
        int id = GetDlgCtrlID((HWND)lParam);
        if (id == IDC_TIP_TEXT || id == IDC_TIP_HEADING || id == IDC_TIP_ICON) {
            SetBkColor((HDC)wParam, GetSysColor(COLOR_WINDOW));
            SetTextColor((HDC)wParam, GetSysColor(COLOR_WINDOWTEXT));
            return (INT_PTR)GetSysColorBrush(COLOR_WINDOW);
        }
    }
    return VmDlg::OnDlgMessage(msg, wParam, lParam);
}

void CTipDlg::OnPostNcDestroy()
{
    StorePosition();
    VmDlg::OnPostNcDestroy();
}
