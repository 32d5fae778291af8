// tovrex: run by the installer before it removes the product. Loads the class library named
// on the command line from this program's own folder and asks it whether removal may go on.
// Exit code 1: go on (also when the library cannot be used); 0: the library refused.
#include <windows.h>
#include <string.h>

typedef int(WINAPI* CanUninstallProc)(HWND owner);

// The argument: the command line after the program's own name, quoted or not, and the
// blanks after it.
static const char* SkipProgramName(const char* p)
{
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            p = CharNextA(p);
        if (*p == '"')
            ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            p = CharNextA(p);
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

int main()
{
    // An installer may quote the name and leave blanks after it: no file name holds either.
    char arg[MAX_PATH];
    lstrcpynA(arg, SkipProgramName(GetCommandLineA()), sizeof(arg));
    size_t len = strlen(arg);
    while (len && (arg[len - 1] == ' ' || arg[len - 1] == '\t'))
        arg[--len] = 0;
    if (len >= 2 && arg[0] == '"' && arg[len - 1] == '"') {
        memmove(arg, arg + 1, len - 2);
        arg[len - 2] = 0;
    }
    if (!*arg)
        return 1;

    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    // Cut after the last separator, multi-byte aware.
    char* cut = path;
    for (char* p = path; *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/')
            cut = p + 1;
    *cut = 0;
    size_t used = (size_t)(cut - path);
    size_t argLen = strlen(arg);
    if (used + argLen + sizeof(".DLL") > MAX_PATH) {
        MessageBoxA(NULL, arg, "Can't load", MB_ICONERROR);
        return 1;
    }
    memcpy(cut, arg, argLen);
    strcpy(cut + argLen, ".DLL");

    int code = 1;
    bool used_lib = false;
    DWORD attr = GetFileAttributesA(path);
    if (attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY)) {
        if (HMODULE lib = LoadLibraryA(path)) {
            if (CanUninstallProc proc = (CanUninstallProc)(void*)GetProcAddress(lib, "CanUninstall")) {
                code = proc(NULL) ? 1 : 0;
                used_lib = true;
            }
            FreeLibrary(lib);
        }
    }
    if (!used_lib)
        MessageBoxA(NULL, path, "Can't load", MB_ICONERROR);
    return code;
}
