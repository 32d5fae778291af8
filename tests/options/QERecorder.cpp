// Stands for an external editor in the tests: writes what it was started with (its command
// line, working folder and show command) as UTF-8 lines into qe_recorder.txt beside itself.
#include <windows.h>
#include <string>

namespace {
std::string U8(const wchar_t* w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? (size_t)n : 1, 0);
    WideCharToMultiByte(CP_UTF8, 0, w, -1, &s[0], n, nullptr, nullptr);
    s.resize(s.size() - 1);
    return s;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t self[MAX_PATH], dir[MAX_PATH];
    GetModuleFileNameW(NULL, self, MAX_PATH);
    std::wstring out = self;
    out = out.substr(0, out.find_last_of(L'\\') + 1) + L"qe_recorder.txt";
    GetCurrentDirectoryW(MAX_PATH, dir);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    GetStartupInfoW(&si);
    int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;
    std::string text = "cmd=" + U8(GetCommandLineW()) + "\ndir=" + U8(dir) + "\nshow=" +
                       std::to_string(show) + "\n";
    HANDLE f = CreateFileW(out.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return 1;
    DWORD done = 0;
    WriteFile(f, text.data(), (DWORD)text.size(), &done, NULL);
    CloseHandle(f);
    return 0;
}
