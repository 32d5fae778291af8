#include "SysInfo.h"
#include "../LibRes.h"
#include <shlwapi.h>
#include <stdio.h>
#include <string.h>

bool GetVerDll(const char* dllName, DWORD* major, DWORD* minor, DWORD* build)
{
    if (major)
        *major = 0;
    if (minor)
        *minor = 0;
    if (build)
        *build = 0;
    if (!dllName || !*dllName)
        return false;
    HMODULE dll = LoadLibraryA(dllName);
    if (!dll)
        return false;
    bool ok = false;
    DLLGETVERSIONPROC get = (DLLGETVERSIONPROC)(void*)GetProcAddress(dll, "DllGetVersion");
    if (get) {
        DLLVERSIONINFO info = {};
        info.cbSize = sizeof(info);
        if (SUCCEEDED(get(&info))) {
            if (major)
                *major = info.dwMajorVersion;
            if (minor)
                *minor = info.dwMinorVersion;
            if (build)
                *build = info.dwBuildNumber;
            ok = true;
        }
    }
    FreeLibrary(dll);
    return ok;
}

namespace {

// Appends printf-style text, never past the end of the buffer.
struct TextSink {
    char* buf;
    int size;
    int used = 0;
    void Add(const char* format, ...)
    {
        if (used >= size - 1)
            return;
        va_list args;
        va_start(args, format);
        int n = _vsnprintf(buf + used, size - used - 1, format, args);
        va_end(args);
        used = n < 0 || n > size - used - 1 ? size - 1 : used + n;
        buf[used] = 0;
    }
};

}  // namespace

bool SysInfo::GetText(char* buffer, int size)
{
    if (!buffer || size <= 0)
        return false;
    buffer[0] = 0;
    TextSink out{buffer, size};
    OSVERSIONINFOA os = {};
    os.dwOSVersionInfoSize = sizeof(os);
    if (!GetVersionExA(&os)) {
        out.Add("No system information available.");
        return false;
    }
    bool nt = os.dwPlatformId == VER_PLATFORM_WIN32_NT;
    DWORD buildNo = nt ? os.dwBuildNumber : (os.dwBuildNumber & 0xFFFF);
    out.Add("Windows%s : %d.%d.%d %s\r\n\r\n", nt ? " NT" : "", (int)os.dwMajorVersion,
            (int)os.dwMinorVersion, (int)buildNo, os.szCSDVersion);

    static const char* const kDlls[] = {"Shell32.dll", "Comctl32.dll", "Shlwapi.dll"};
    for (int i = 0; i < 3; i++) {
        DWORD ma, mi, bu;
        GetVerDll(kDlls[i], &ma, &mi, &bu);
        out.Add("%s : %d.%d.%d\r\n%s", kDlls[i], (int)ma, (int)mi, (int)bu, i == 2 ? "\r\n" : "");
    }

    SYSTEM_INFO si = {};
    GetSystemInfo(&si);
    if (si.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL) {
        const char* type = si.dwProcessorType == 386   ? "386"
                           : si.dwProcessorType == 486 ? "486"
                           : si.dwProcessorType == 586 ? "Pentium"
                                                       : "Unknown";
        out.Add("Processor type : %s\r\n", type);
        out.Add("Number of processors : %d\r\n", (int)si.dwNumberOfProcessors);
    }

    // The full 64-bit size: more than 2 GB of memory must not show as a negative number.
    MEMORYSTATUSEX mem = {};
    mem.dwLength = sizeof(mem);
    GlobalMemoryStatusEx(&mem);
    out.Add("Physical RAM: %I64u bytes\r\n\r\n", (unsigned long long)mem.ullTotalPhys);

    char path[MAX_PATH];
    UINT n = GetWindowsDirectoryA(path, sizeof(path));
    if (n == 0 || n >= sizeof(path))
        path[0] = 0;
    out.Add("Windows folder: %s\r\n", path);
    n = GetSystemDirectoryA(path, sizeof(path));
    if (n == 0 || n >= sizeof(path))
        path[0] = 0;
    out.Add("System folder: %s\r\n\r\n", path);

    // A computer name is at most 15 characters; a longer host name is cut, not dropped.
    char computer[MAX_PATH] = "";
    DWORD len = sizeof(computer);
    if (!GetComputerNameA(computer, &len))
        computer[0] = 0;
    computer[15] = 0;
    out.Add("Computer name: %s\r\n", computer);

    char user[257] = "";
    len = sizeof(user);
    if (!GetUserNameA(user, &len))
        user[0] = 0;
    user[256] = 0;
    out.Add("User name: %s\r\n\r\n", user);
    return true;
}

INT_PTR SysInfo::Run(HWND owner)
{
    return Modal(-IDD_LIB_SYSINFO, NULL, owner);
}

BOOL SysInfo::OnInitDialog()
{
    VmDlg::OnInitDialog();
    HWND edit = GetDlgItem(m_hWnd, IDC_LIB_SYSINFO_TEXT);
    char text[4096];
    GetText(text, sizeof(text));
    // Each line goes at the end of what the box already holds.
    const char* p = text;
    while (*p && edit) {
        const char* end = strstr(p, "\r\n");
        size_t len = end ? (size_t)(end - p) + 2 : strlen(p);
        char line[1024];
        if (len >= sizeof(line))
            len = sizeof(line) - 1;
        memcpy(line, p, len);
        line[len] = 0;
        int at = GetWindowTextLengthA(edit);
        SendMessageA(edit, EM_SETSEL, at, at);
        SendMessageA(edit, EM_REPLACESEL, FALSE, (LPARAM)line);
        p += len;
    }
    // The focus on OK: the text is not shown all selected.
    SendMessageA(edit, EM_SETSEL, 0, 0);
    SetFocus(GetDlgItem(m_hWnd, IDOK));
    return FALSE;
}
