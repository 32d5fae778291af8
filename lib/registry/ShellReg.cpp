#include "RegUtil.h"
#include "../LibRes.h"
#include "../ui/MsgUtil.h"
#include <stdio.h>
#include <string.h>

namespace {
const char kVerb[] = "Open with Panorel";

// From Windows 2000 on, a user may register verbs for himself under HKCU.
bool Win2KOrLater()
{
    return LOBYTE(LOWORD(GetVersion())) >= 5;
}

// Names that become one key component must not reach into other keys.
bool IsKeyName(const char* s)
{
    return s && *s && !strchr(s, '\\');
}

// Opens keyPath with the operation's access; removing from a missing key succeeds without
// making the key.
bool OpenFor(RegKey& key, RegKey::Op op, const char* keyPath)
{
    if (op == RegKey::OpRemove && !key.Open(keyPath, 0))
        return false;
    return key.Open(keyPath, op);
}

// One string value by operation code; remove deletes the value.
bool StrEntry(RegKey::Op op, const char* keyPath, const char* valueName, const char* text)
{
    RegKey key;
    if (!OpenFor(key, op, keyPath))
        return op == RegKey::OpRemove;
    if (op == RegKey::OpRead) {
        char stored[MAX_PATH];
        return key.ProcessEntry(op, valueName, stored, sizeof(stored));
    }
    return key.ProcessEntry(op, valueName, text);
}

// Deletes the subkey `name` of keyPath for remove; other operations leave it alone.
bool SubKeyEntry(RegKey::Op op, const char* keyPath, const char* name)
{
    RegKey key;
    if (!OpenFor(key, op, keyPath))
        return true;
    return key.ProcessSubKey(op, name);
}
}  // namespace

int RegisterFolderCtxMenuCommands(HWND owner, RegKey::Op op)
{
    static const char* const kClasses[] = {"Drive", "Directory"};
    const char* classesPath = Win2KOrLater() ? "HKCU\\Software\\Classes" : "HKLM\\Software\\Classes";

    char command[MAX_PATH + 64];
    char home[MAX_PATH];
    bool ok = false;
    if (op == RegKey::OpRemove || GetHomeDir(home)) {
        if (op != RegKey::OpRemove) {
            size_t len = strlen(home);
            const char* sep = len && home[len - 1] == '\\' ? "" : "\\";
            // A program path with a blank is quoted, or the shell would try "C:\Program.exe".
            const char* quote = strchr(home, ' ') ? "\"" : "";
            int n = snprintf(command, sizeof(command), "%s%s%spanorel.exe%s /path,\"%%L\"", quote,
                             home, sep, quote);
            if (n < 0 || (size_t)n >= sizeof(command))
                command[0] = 0;   // never a command cut short
        }
        RegKey classes(classesPath, op);
        ok = classes.IsOpen() && (op == RegKey::OpRemove || command[0]);
        for (const char* cls : kClasses) {
            if (!ok)
                break;
            char shellPath[64];
            snprintf(shellPath, sizeof(shellPath), "%s\\shell", cls);
            if (op == RegKey::OpRemove) {
                RegKey shell(classes, shellPath, 0);
                if (shell.IsOpen()) {
                    shell.Open(classes, shellPath, 1);
                    ok = shell.IsOpen() && shell.ProcessSubKey(op, kVerb);
                }
                continue;
            }
            char commandPath[128];
            snprintf(commandPath, sizeof(commandPath), "%s\\%s\\command", shellPath, kVerb);
            RegKey cmd(classes, commandPath, op);
            if (op == RegKey::OpRead) {
                char stored[MAX_PATH + 64];
                ok = cmd.ProcessEntry(op, NULL, stored, sizeof(stored));
            } else {
                ok = cmd.ProcessEntry(op, NULL, command);
            }
        }
    }
    if (!ok && RegKey::IsWritable(op)) {
        Msg(owner, MB_ICONHAND, -IDS_LIB_REGISTER_FAILED, op == RegKey::OpUpdate ? "create" : "delete");
    }
    return ok ? 1 : 0;
}

bool RegisterShellExt(RegKey::Op op, const char* clsid, const char* name, const char* dllPath,
                      const char* fileType, const char* handlerKind)
{
    if (!IsKeyName(clsid) || !IsKeyName(name) || !fileType || !*fileType ||
        !IsKeyName(handlerKind) || (op != RegKey::OpRemove && (!dllPath || !*dllPath)))
        return false;
    char clsidPath[300], serverPath[320], handlerPath[700], handlerEntry[1000], approvedPath[200];
    if ((size_t)snprintf(clsidPath, sizeof(clsidPath), "HKCLS\\CLSID\\%s", clsid) >= sizeof(clsidPath) ||
        (size_t)snprintf(handlerPath, sizeof(handlerPath), "HKEY_CLASSES_ROOT\\%s\\shellex\\%s",
                         fileType, handlerKind) >= sizeof(handlerPath) ||
        (size_t)snprintf(handlerEntry, sizeof(handlerEntry), "%s\\%s", handlerPath, name) >=
            sizeof(handlerEntry))
        return false;
    snprintf(serverPath, sizeof(serverPath), "%s\\InProcServer32", clsidPath);
    snprintf(approvedPath, sizeof(approvedPath), "%s\\Shell Extensions\\Approved", sz_HKLM_WinCurVer);

    if (op == RegKey::OpRemove) {
        bool ok = SubKeyEntry(op, "HKCLS\\CLSID", clsid);
        ok = SubKeyEntry(op, handlerPath, name) && ok;
        ok = StrEntry(op, approvedPath, clsid, NULL) && ok;
        return ok;
    }
    // Every entry is visited even after a failure, so an update writes all it can.
    bool ok = StrEntry(op, clsidPath, NULL, name);
    ok = StrEntry(op, serverPath, NULL, dllPath) && ok;
    ok = StrEntry(op, serverPath, "ThreadingModel", "Apartment") && ok;
    ok = StrEntry(op, handlerEntry, NULL, clsid) && ok;
    ok = StrEntry(op, approvedPath, clsid, name) && ok;
    return ok;
}

bool SetupCtxMenuRegistry(RegKey::Op op, const char* clsid, const char* name, const char* dllPath,
                          const char* fileType)
{
    return RegisterShellExt(op, clsid, name, dllPath, fileType, "ContextMenuHandlers");
}
