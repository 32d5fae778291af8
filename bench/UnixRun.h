// Running a Unix command from a benchmark under Wine, for the peers the figures are set beside.
#pragma once
#include <windows.h>
#include <stdlib.h>
#include <string>
#include <vector>

namespace bench {

typedef char*(CDECL* UnixNameFn)(const WCHAR*);

// The Unix path of a Windows path, when running under Wine; empty otherwise.
inline std::string UnixPath(const std::string& path)
{
    static UnixNameFn fn = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!fn)
        return std::string();
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return std::string();
    char* unix = fn(wide);
    if (!unix)
        return std::string();
    std::string out = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

// Runs a shell script and waits for it: Wine cannot wait for a Unix process, so the script
// writes its output and exit code into a file that appears last.
inline bool RunUnixScript(const std::string& script, std::string* output, DWORD timeoutMs,
                          const std::string& doneFile)
{
    std::string part = doneFile + ".part";
    DeleteFileA(doneFile.c_str());
    std::string unixDone = UnixPath(doneFile), unixPart = UnixPath(part);
    if (unixDone.empty())
        return false;
    std::string cmd = "sh -c \"(" + script + ") > '" + unixPart + "' 2>&1; echo rc=$? >> '" +
                      unixPart + "'; mv '" + unixPart + "' '" + unixDone + "'\"";
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA("/bin/sh", line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    // Wine gives no handles for a Unix process: closing what comes back closes others.
    DWORD t0 = GetTickCount();
    while (GetFileAttributesA(doneFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - t0 > timeoutMs)
            return false;
        Sleep(5);
    }
    HANDLE f = CreateFileA(doneFile.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    std::string text;
    char buf[512];
    DWORD n = 0;
    while (f != INVALID_HANDLE_VALUE && ReadFile(f, buf, sizeof(buf), &n, NULL) && n)
        text.append(buf, n);
    if (f != INVALID_HANDLE_VALUE)
        CloseHandle(f);
    DeleteFileA(doneFile.c_str());
    if (output)
        *output = text;
    return text.find("rc=0") != std::string::npos;
}

// Milliseconds the shell measured around one command (its start not counted); -1 on failure.
inline double TimeUnixCommand(const std::string& command, const std::string& doneFile,
                              DWORD timeoutMs = 600000)
{
    std::string out;
    std::string script = "s=$(date +%s%N); " + command + " || exit 1; e=$(date +%s%N); echo ns=$((e-s))";
    if (!RunUnixScript(script, &out, timeoutMs, doneFile))
        return -1;
    size_t at = out.find("ns=");
    return at == std::string::npos ? -1 : atof(out.c_str() + at + 3) / 1e6;
}

}  // namespace bench
