#include "Install.h"
#include "RegKey.h"
#include "RegUtil.h"
#include "../LibRes.h"
#include "../Product.h"
#include "../ui/HotKey.h"
#include "../ui/MsgUtil.h"
#include "../ui/WaitCursor.h"
#include "../util/PathUtil.h"
#include <string.h>

namespace {
const char kCompany[] = "Corvane";
const char kFormerRelease[] = "Meridel";

// Deletes the product key below root\Software\Corvane, and the company key when it is left empty.
void RemoveProductKey(const char* root)
{
    char company[MAX_PATH];
    wsprintfA(company, "%s\\Software\\%s", root, kCompany);
    RegKey key;
    if (!key.Open(company, 0) || !key.Open(company, 1))
        return;
    key.DelSubKey(GetProductInfo().name);
    key.Close();
    char software[MAX_PATH];
    wsprintfA(software, "%s\\Software", root);
    RegKey parent;
    if (parent.Open(software, 1))
        parent.DelSubKeyIfEmpty(kCompany);
}

// Deletes the files matching mask in folder (no subfolders).
void DeleteFilesIn(const char* folder, const char* mask)
{
    char pattern[MAX_PATH];
    if (!MakePath(pattern, folder, mask))
        return;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(pattern, &fd);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        char path[MAX_PATH];
        if (MakePath(path, folder, fd.cFileName))
            DeleteFileA(path);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
}
}  // namespace

void CloseRunningInstances(DWORD waitMs)
{
    VmWaitCursor wait;
    UINT former = RegisterWindowMessageA("VelmoraMessage");
    UINT company = RegisterWindowMessageA("CorvaneMessage");
    WORD code = GetProductInfo().code;
    PostMessageA(HWND_BROADCAST, former, 1, code);
    PostMessageA(HWND_BROADCAST, company, 1, code);
    if (FindWindowA(HOTKEY_MONITOR_CLASS, NULL))
        ProcessHotKey(false);
    Sleep(waitMs);
}

int CanUninstall(HWND owner)
{
    if (!RegisterFolderCtxMenuCommands(owner, RegKey::OpRemove))
        return 0;
    CloseRunningInstances();
    RemoveProductKey("HKCU");
    RemoveProductKey("HKLM");
    // The help viewer's index files beside the library.
    char folder[MAX_PATH];
    DWORD n = GetModuleFileNameA(GetLibModule(), folder, sizeof(folder));
    if (n && n < sizeof(folder)) {
        StripFileName(folder);
        DeleteFilesIn(folder, "*.GID");
        DeleteFilesIn(folder, "*.FTS");
    }
    return 1;
}

int CanReinstall(HWND)
{
    CloseRunningInstances();
    return 1;
}

int PostInstall(HWND owner)
{
    const char* product = GetProductInfo().name;
    char productKey[MAX_PATH], settings[MAX_PATH], rootKey[MAX_PATH], former[MAX_PATH];
    wsprintfA(productKey, "HKCU\\Software\\%s\\%s", kCompany, product);
    wsprintfA(settings, "%s\\Settings", productKey);
    // The settings proper live in the application root key (product key + product name).
    wsprintfA(rootKey, "%s\\%s", productKey, product);
    wsprintfA(former, "HKCU\\Software\\%s\\%s", kCompany, kFormerRelease);
    RegKey probe;
    if (probe.Open(settings, 0) || probe.Open(rootKey, 0))
        return 1;   // an upgrade: this release's settings are there
    RegKey old;
    if (!old.Open(former, 0))
        return 1;
    if (Msg(owner, MB_YESNO | MB_ICONQUESTION, -IDS_LIB_FORMER_SETTINGS) != IDYES)
        return 1;
    RegKey dest;
    if (!dest.Open(productKey, 1) || !old.CopyTo(dest))
        return 1;
    // The former release kept its values under its own name: move them to this product's.
    RegKey from, to;
    if (from.Open(dest, kFormerRelease, 1) && to.Open(dest, product, 1) && from.CopyTo(to)) {
        from.Close();
        dest.DelSubKey(kFormerRelease);
    }
    return 1;
}
