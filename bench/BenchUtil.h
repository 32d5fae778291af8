// Helpers shared by the benchmarks that start a program and wait for its lists to fill.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <algorithm>
#include <string>
#include <vector>
#include "driver/Driver.h"

namespace bench {

const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const DWORD kQuietSettings = 0x0C081870;   // the defaults without the splash
const char kExplorer[] = "C:\\windows\\explorer.exe";

inline double NowMs()
{
    static LARGE_INTEGER freq = {};
    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(freq.QuadPart);
}

struct Stats {
    double median = 0, min = 0;
    int runs = 0;
};

inline Stats Summarize(std::vector<double> v)
{
    Stats s;
    s.runs = (int)v.size();
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    s.min = v.front();
    size_t n = v.size();
    s.median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
    return s;
}

inline std::string TempPath(const char* name)
{
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof(temp), temp);
    if (n == 0 || n >= sizeof(temp))
        return name;
    return std::string(temp) + name;
}

inline bool MakeFile(const std::string& path)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_EXISTS;
    CloseHandle(f);
    return true;
}

// A new file holding bytes, written on day (year, month, day) at hour: trees that differ only in
// their stamps.
inline bool PutStamped(const std::string& path, const std::string& bytes, WORD year, WORD month,
                       WORD day, int hour)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = 0;
    BOOL ok = WriteFile(f, bytes.data(), (DWORD)bytes.size(), &n, NULL) && n == bytes.size();
    SYSTEMTIME st = {};
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    st.wHour = (WORD)hour;
    FILETIME ft;
    ok = ok && SystemTimeToFileTime(&st, &ft) && SetFileTime(f, NULL, NULL, &ft);
    CloseHandle(f);
    return ok != FALSE;
}

// Entries of a folder as the shell lists them: everything but "." and "..". With below, the
// entries of every subfolder too, each folder read once.
inline int CountEntries(const std::string& folder, bool below = false)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do {
        if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, ".."))
            continue;
        n++;
        if (below && (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            n += CountEntries(folder + "\\" + fd.cFileName, true);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

// Items in a list view of another process; -1 when it does not answer.
inline int ListCount(HWND list)
{
    DWORD_PTR n = 0;
    if (!list || !SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &n))
        return -1;
    return (int)n;
}

inline BOOL CALLBACK FindListProc(HWND wnd, LPARAM lp)
{
    if (drv::ClassName(wnd) == "SysListView32") {
        *reinterpret_cast<HWND*>(lp) = wnd;
        return FALSE;
    }
    return TRUE;
}

// The first list view anywhere below a window.
inline HWND FindList(HWND top)
{
    HWND found = NULL;
    EnumChildWindows(top, FindListProc, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Starts from empty settings with no splash; extra values may be set afterwards.
inline void FreshSettings()
{
    drv::DeleteUserKey(kProductKey);
    drv::SetUserDword(kRootKey, "Settings", kQuietSettings);
}

// Closes the program's main window and waits; kills it when it does not end.
inline void Finish(drv::AppProcess& app, HWND main)
{
    if (main)
        PostMessageA(main, WM_CLOSE, 0, 0);
    if (!app.WaitForExit(15000))
        app.Kill();
}

const DWORD kPollMs = 5;

// Starts panorel with the argument text and waits until panel i's list holds want[i] items
// (want < 0: ignore that panel). Returns the milliseconds from the start, or -1 on timeout;
// got receives the counts last seen.
inline double TimePanorel(const std::string& args, const int want[2], DWORD timeoutMs, int got[2])
{
    drv::AppProcess app;
    got[0] = got[1] = -1;
    double t0 = NowMs();
    if (!app.Start("panorel.exe", args))
        return -1;
    HWND main = NULL;
    double result = -1;
    for (;;) {
        if (!main) {
            std::vector<HWND> tops = drv::TopLevelWindows(app.Pid());
            for (HWND w : tops)
                if (drv::ClassName(w) == "PanorelMainFrame")
                    main = w;
        }
        if (main) {
            bool done = true;
            for (int i = 0; i < 2; i++) {
                got[i] = ListCount(drv::PanelList(main, i));
                if (want[i] >= 0 && got[i] != want[i])
                    done = false;
            }
            if (done) {
                result = NowMs() - t0;
                break;
            }
        }
        if (NowMs() - t0 > timeoutMs || !app.Running())
            break;
        Sleep(kPollMs);
    }
    Finish(app, main);
    return result;
}

// Starts explorer.exe on a folder and waits until its list holds want items.
inline double TimeExplorer(const std::string& folder, int want, DWORD timeoutMs, int* got)
{
    drv::AppProcess app;
    *got = -1;
    double t0 = NowMs();
    // The plain folder argument: Wine's explorer.exe takes "/n,<folder>" as a path starting
    // with the comma and shows the desktop instead.
    if (!app.Start(kExplorer, "\"" + folder + "\""))
        return -1;
    HWND main = NULL, list = NULL;
    double result = -1;
    for (;;) {
        if (!list) {
            for (HWND w : drv::TopLevelWindows(app.Pid()))
                if ((list = FindList(w)) != NULL) {
                    main = w;
                    break;
                }
        }
        if (list) {
            *got = ListCount(list);
            if (*got == want) {
                result = NowMs() - t0;
                break;
            }
        }
        if (NowMs() - t0 > timeoutMs || !app.Running())
            break;
        Sleep(kPollMs);
    }
    if (list && result < 0)
        printf("  explorer.exe window \"%s\" lists %d items\n", drv::WindowText(main).c_str(), *got);
    if (!list) {
        // Tell what the process showed instead, so a changed peer is easy to see.
        printf("  explorer.exe showed no list; its windows:");
        for (HWND w : drv::TopLevelWindows(app.Pid(), false))
            printf(" [%s \"%s\"]", drv::ClassName(w).c_str(), drv::WindowText(w).c_str());
        printf("\n");
    }
    Finish(app, main);
    return result;
}

inline void PrintRow(const char* name, const Stats& s)
{
    printf("  %-34s median %8.1f ms   min %8.1f ms   (%d runs)\n", name, s.median, s.min, s.runs);
}

inline double Ratio(double a, double b)
{
    return b > 0 ? a / b : 0;
}

}  // namespace bench
