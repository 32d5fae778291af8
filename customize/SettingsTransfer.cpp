#include "customize/SettingsTransfer.h"
#include "customize/CustomizeRes.h"
#include "app/MainApp.h"
#include "app/MainFrame.h"
#include "Product.h"
#include "registry/RegUtil.h"
#include "ui/BrowseFile.h"
#include "ui/MsgUtil.h"
#include "util/PathUtil.h"
#include "util/ResStr.h"
#include "util/StrUtil.h"
#include "xml/SettingsFile.h"
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

namespace {
struct Others {
    HWND self;
    UINT message;
    WORD code;
    bool failed;
};

BOOL CALLBACK CloseInstance(HWND wnd, LPARAM param)
{
    Others* o = reinterpret_cast<Others*>(param);
    if (wnd == o->self)
        return TRUE;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(wnd, o->message, 14, o->code, SMTO_ABORTIFHUNG, 1000, &answer) ||
        answer != 1)
        return TRUE;   // not an instance of ours
    answer = 0;
    if (SendMessageTimeoutA(wnd, o->message, 13, o->code, SMTO_ABORTIFHUNG, 1000, &answer) &&
        answer == 1)
        PostMessageA(wnd, WM_CLOSE, 0, 0);
    else
        o->failed = true;
    return TRUE;
}

// Asks every other instance to close; false when the user gives up on one that refuses.
bool CloseOtherInstances(HWND self)
{
    for (;;) {
        Others o = {self, GetMyCompanyMsg(), GetProductInfo().code, false};
        EnumWindows(CloseInstance, reinterpret_cast<LPARAM>(&o));
        if (!o.failed)
            return true;
        if (Msg(self, MB_RETRYCANCEL | MB_ICONWARNING, IDS_TRANSFER_CLOSE_OTHERS) != IDRETRY)
            return false;
    }
}

void SuggestedFolder(char* folder)
{
    folder[0] = 0;
    if (FAILED(SHGetFolderPathA(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, folder)) ||
        !folder[0])
        GetHomeDir(folder);
    StripBackSlash(folder);
}
}  // namespace

void SettingsTransfer_Run(CMainFrame& frame, bool import)
{
    HWND owner = frame.m_hWnd;
    if (import && Msg(owner, MB_YESNO | MB_ICONWARNING, IDS_TRANSFER_IMPORT_CONFIRM) != IDYES)
        return;
    char folder[MAX_PATH];
    SuggestedFolder(folder);
    char path[MAX_PATH];
    snprintf(path, sizeof(path), "%s\\%s.opt", folder, import ? "*" : GetProductInfo().name);
    ResStr title(import ? IDS_TRANSFER_IMPORT_TITLE : IDS_TRANSFER_EXPORT_TITLE);
    ResStr filter(IDS_TRANSFER_FILTER);
    const char* entry = import ? "LoadOptions" : "StoreOptions";
    CMainApp& app = GetMainApp();
    char command[sizeof(app.m_transferCommand)];
    for (;;) {
        if (!BrowseForFile(owner, import, title, filter, path, sizeof(path)))
            return;
        // The path goes on a command line whole or not at all.
        int n = snprintf(command, sizeof(command), "%s %s", entry, path);
        if (n < 0 || n >= (int)sizeof(command) || HasWildcard(path) || !IsValidAnsiText(path)) {
            Msg(owner, MB_OK | MB_ICONSTOP, IDS_TRANSFER_BAD_PATH, path);
            continue;
        }
        if (!import || CheckImportFileFmtValid(owner, path, false))
            break;
    }
    if (!CloseOtherInstances(owner))
        return;
    frame.m_closingForTransfer = true;
    memcpy(app.m_transferCommand, command, sizeof(command));
    PostMessageA(owner, WM_CLOSE, 0, 0);
}
