// Run by the command prompt in the tests: nav_probe.exe OUTFILE [arguments...] writes each
// argument and the working folder, one a line, into OUTFILE (UTF-8).
#include <windows.h>
#include <shellapi.h>
#include <string>

static std::string Utf8(const WCHAR* text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    std::string out(n > 0 ? (size_t)n : 1, 0);
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, NULL, NULL);
    out.resize(out.size() - 1);
    return out;
}

int wmain()
{
    int argc = 0;
    WCHAR** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2)
        return 2;
    std::string text;
    for (int i = 2; i < argc; i++)
        text += "ARG=" + Utf8(argv[i]) + "\n";
    WCHAR dir[MAX_PATH * 2] = L"";
    GetCurrentDirectoryW(MAX_PATH * 2, dir);
    text += "CWD=" + Utf8(dir) + "\n";
    HANDLE h = CreateFileW(argv[1], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return 3;
    DWORD written = 0;
    WriteFile(h, text.data(), (DWORD)text.size(), &written, NULL);
    CloseHandle(h);
    LocalFree(argv);
    return 0;
}
