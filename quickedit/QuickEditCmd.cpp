#include "quickedit/QuickEditCmd.h"
#include "quickedit/QuickEditRes.h"
#include "quickedit/QuickEditWnd.h"
#include "app/MainApp.h"
#include "app/MainFrame.h"
#include "shell/IdList.h"
#include "shell/PathConv.h"
#include "shell/Pidl.h"
#include "ui/MsgUtil.h"
#include "ui/WaitCursor.h"
#include "util/PathUtil.h"
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>
#include <vector>

namespace {

const DWORD SO_EXTERNAL_PREFERRED = 1u << 23;
const DWORD SO_EXTERNAL_MAXIMIZED = 1u << 24;
const DWORD SO_EXTERNAL_SHORT_PATH = 1u << 25;
const DWORD SO_CONFIRM_MANY = 1u << 26;
const DWORD SO_CONFIRM_LARGE = 1u << 27;

bool FileExists(const char* path)
{
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The target of a shortcut file; false when it is not one or cannot be read.
bool ResolveShortcut(const char* path, char* target)
{
    const char* ext = strrchr(path, '.');
    if (!ext || lstrcmpiA(ext, ".lnk") != 0)
        return false;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&link)))
        return false;
    bool ok = false;
    IPersistFile* file = nullptr;
    wchar_t wide[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, wide, MAX_PATH) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
        if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) && target[0])
            ok = true;
        file->Release();
    }
    link->Release();
    return ok;
}

bool StartExternal(CMainFrame& f, const char* path, const char* folder)
{
    SettingsOpts& s = GetMainApp().m_settings;
    char file[MAX_PATH];
    lstrcpynA(file, path ? path : "", MAX_PATH);
    if (file[0] && s.IsOn(SO_EXTERNAL_SHORT_PATH))
        ConvertToShortPath(file);
    std::string args = MakeQuickEditArgs(s.qeArgs, file);
    char dir[MAX_PATH];
    lstrcpynA(dir, folder ? folder : "", MAX_PATH);
    RemoveBackSlash(dir);
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = f.m_hWnd;
    info.lpFile = s.qePath;
    info.lpParameters = args.empty() ? nullptr : args.c_str();
    info.lpDirectory = dir[0] ? dir : nullptr;
    info.nShow = s.IsOn(SO_EXTERNAL_MAXIMIZED) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    return ShellExecuteExA(&info) != FALSE;
}

}   // namespace

std::string MakeQuickEditArgs(const char* argTemplate, const char* path)
{
    std::string out;
    for (const char* p = argTemplate ? argTemplate : ""; *p;) {
        if (p[0] == '%' && p[1] == '1') {
            out += path ? path : "";
            p += 2;
            continue;
        }
        // A lead byte and its trail byte stay together.
        if (IsDBCSLeadByte((BYTE)*p) && p[1]) {
            out += p[0];
            out += p[1];
            p += 2;
            continue;
        }
        out += *p++;
    }
    return out;
}

bool QuickEditSelection(CMainFrame& f, bool alternative)
{
    SettingsOpts& s = GetMainApp().m_settings;
    bool external = s.IsOn(SO_EXTERNAL_PREFERRED) ? !alternative : alternative;
    VmWaitCursor wait;
    ViewFrame* panel = f.ActivePanel();
    const char* folder = panel ? panel->GetPath() : "";

    std::vector<std::string> paths;
    ID_List selection;
    if (panel && panel->GetSelection(selection)) {
        for (const ITEMIDLIST* item = selection.GetFirstPidl(); item; item = selection.GetNextPidl()) {
            PIDL full(selection.GetFolderPidl());
            char path[MAX_PATH];
            if (full.AppendAll(item) && GetPathOf(full, path, sizeof(path)))
                paths.push_back(path);
            else
                paths.push_back(std::string());
        }
    }
    int n = (int)paths.size();
    if (n && s.IsOn(SO_CONFIRM_MANY) && n > (int)s.qeConfirmManyFiles &&
        Msg(f.m_hWnd, MB_YESNO | MB_ICONQUESTION, IDS_QE_CONFIRM_MANY, n) != IDYES)
        return external;

    bool handled = false, declined = false;
    for (const std::string& p : paths) {
        if (p.empty() || !FileExists(p.c_str()))
            continue;
        char path[MAX_PATH];
        lstrcpynA(path, p.c_str(), MAX_PATH);
        char target[MAX_PATH];
        if (ResolveShortcut(path, target)) {
            if (!FileExists(target))
                continue;
            lstrcpynA(path, target, MAX_PATH);
        }
        if (n == 1 && s.IsOn(SO_CONFIRM_LARGE)) {
            WIN32_FILE_ATTRIBUTE_DATA data;
            if (GetFileAttributesExA(path, GetFileExInfoStandard, &data)) {
                ULONGLONG size = ((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
                if (size > (ULONGLONG)s.qeConfirmLargeFile * 1024 &&
                    Msg(f.m_hWnd, MB_YESNO | MB_ICONQUESTION, IDS_QE_CONFIRM_LARGE, path) != IDYES) {
                    handled = true;
                    declined = true;
                    continue;
                }
            }
        }
        if (external ? StartExternal(f, path, folder) : OpenQuickEdit(path, folder))
            handled = true;
    }
    if (!handled && !declined) {
        if (external)
            StartExternal(f, "", folder);
        else
            OpenQuickEdit("", folder);
    }
    return external;
}
