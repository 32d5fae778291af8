// Export and import of a product key holding 10,000 values (100 subkeys of 100 values: DWORDs,
// strings, 44-byte placements; a tenth of the names in Cyrillic or Japanese) as settings files,
// beside `reg export` and `reg import` of the same key by Wine's reg.exe, in the same run. The
// library is timed in-process and through its RunDll32 entry points (process start and the
// report box included, as reg.exe's times include its start). Every import is checked: the
// key holds the 10,000 values again. The product key the machine had is kept and put back.
#include "BenchUtil.h"
#include "registry/AppInfo.h"
#include "xml/SettingsFile.h"

namespace {
const char kProduct[] = "Software\\Corvane\\Panorel QV";
const char kBackup[] = "Software\\Corvane\\Panorel QV settings_bench backup";
const int kKeys = 100, kPerKey = 100, kRuns = 3;

using bench::NowMs;

double Median(const std::vector<double>& v)
{
    return bench::Summarize(v).median;
}

bool Fill()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kProduct);
    char sub[128], name[64];
    for (int k = 0; k < kKeys; k++) {
        snprintf(sub, sizeof(sub), "%s\\Panorel QV\\Group%03d", kProduct, k);
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, sub, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key,
                            NULL) != ERROR_SUCCESS)
            return false;
        for (int i = 0; i < kPerKey; i++) {
            const char* prefix = i % 10 == 3 ? "Значение" : i % 10 == 7 ? "日本語" : "Value";
            snprintf(name, sizeof(name), "%s%03d", prefix, i);
            LONG rc;
            if (i % 3 == 0) {
                DWORD v = (DWORD)(k * 1000 + i) * 2654435761u;
                rc = RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&v, sizeof(v));
            } else if (i % 3 == 1) {
                char text[64];
                snprintf(text, sizeof(text), "C:\\Folder %d\\File %d.txt", k, i);
                rc = RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text,
                                    (DWORD)strlen(text) + 1);
            } else {
                WINDOWPLACEMENT wp = {};
                wp.length = sizeof(wp);
                wp.rcNormalPosition = {k, i, k + 400, i + 300};
                rc = RegSetValueExA(key, name, 0, REG_BINARY, (const BYTE*)&wp, sizeof(wp));
            }
            if (rc != ERROR_SUCCESS) {
                RegCloseKey(key);
                return false;
            }
        }
        RegCloseKey(key);
    }
    return true;
}

// Values below the product key, counted through the plain API.
int CountValues(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD subs = 0, values = 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, &subs, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    int n = (int)values;
    char name[256];
    for (DWORD i = 0; i < subs; i++) {
        DWORD len = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &len, NULL, NULL, NULL, NULL) == ERROR_SUCCESS)
            n += CountValues(root, path + "\\" + name);
    }
    RegCloseKey(key);
    return n;
}

// Runs a command line and waits for it; with a report box to answer, answers it with No.
double RunTimed(const std::string& cmd, bool answerBox)
{
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    double t0 = NowMs();
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1;
    double end = -1;
    for (;;) {
        if (WaitForSingleObject(pi.hProcess, answerBox ? 2 : 60000) == WAIT_OBJECT_0)
            break;
        if (!answerBox)
            break;
        struct Find {
            DWORD pid;
            HWND box;
        } f = {pi.dwProcessId, NULL};
        EnumWindows(
            [](HWND w, LPARAM p) -> BOOL {
                Find* f = reinterpret_cast<Find*>(p);
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                char cls[16] = "";
                GetClassNameA(w, cls, sizeof(cls));
                if (pid == f->pid && !strcmp(cls, "#32770") && IsWindowVisible(w)) {
                    f->box = w;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&f));
        if (f.box && end < 0) {
            end = NowMs();   // the work is done once the report shows
            PostMessageA(f.box, WM_COMMAND, IDNO, 0);
        }
        if (NowMs() - t0 > 120000)
            break;
    }
    if (end < 0)
        end = NowMs();
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return end - t0;
}

std::string ShortLibPath()
{
    char dll[MAX_PATH], shortDll[MAX_PATH];
    GetModuleFileNameA(GetModuleHandleA("panorel32.dll"), dll, sizeof(dll));
    if (!GetShortPathNameA(dll, shortDll, sizeof(shortDll)))
        return dll;
    return shortDll;
}
}  // namespace

int main()
{
    setvbuf(stdout, NULL, _IONBF, 0);
    AppInfo app(GetModuleHandleA(NULL), "Panorel QV", "App", NULL, NULL, 0, 0);
    AppInfo::SetAppRootKey("HKCU\\Software\\Corvane\\Panorel QV\\Panorel QV");
    // Keep the machine's own settings aside.
    HKEY product = NULL, backup = NULL;
    bool had = RegOpenKeyExA(HKEY_CURRENT_USER, kProduct, 0, KEY_READ, &product) == ERROR_SUCCESS;
    if (had) {
        RegDeleteTreeA(HKEY_CURRENT_USER, kBackup);
        RegCreateKeyExA(HKEY_CURRENT_USER, kBackup, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &backup,
                        NULL);
        RegCopyTreeA(product, NULL, backup);
        RegCloseKey(product);
        RegCloseKey(backup);
    }
    if (!Fill()) {
        printf("settings_bench: cannot fill the product key\n");
        return 1;
    }
    const int expected = CountValues(HKEY_CURRENT_USER, kProduct);
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string opt = std::string(temp) + "settings_bench.opt";
    std::string reg = std::string(temp) + "settings_bench.reg";
    std::string lib = ShortLibPath();
    std::string regExe = "C:\\windows\\system32\\reg.exe";
    std::vector<double> exp, imp, rdExp, rdImp, regExp, regImp;
    bool ok = expected == kKeys * kPerKey;
    for (int run = 0; run < kRuns && ok; run++) {
        double t = NowMs();
        ok = DoExportOpts(NULL, opt.c_str());
        exp.push_back(NowMs() - t);
        t = NowMs();
        ok = ok && DoImportOptsQuiet(opt.c_str());
        imp.push_back(NowMs() - t);
        ok = ok && CountValues(HKEY_CURRENT_USER, kProduct) == expected;

        rdExp.push_back(RunTimed("rundll32.exe " + lib + ",StoreOptions " + opt, true));
        rdImp.push_back(RunTimed("rundll32.exe " + lib + ",LoadOptions " + opt, true));
        ok = ok && CountValues(HKEY_CURRENT_USER, kProduct) == expected;

        DeleteFileA(reg.c_str());
        regExp.push_back(RunTimed(regExe + " export \"HKCU\\" + kProduct + "\" \"" + reg + "\" /y", false));
        RegDeleteTreeA(HKEY_CURRENT_USER, kProduct);
        regImp.push_back(RunTimed(regExe + " import \"" + reg + "\"", false));
        ok = ok && CountValues(HKEY_CURRENT_USER, kProduct) == expected;
    }
    if (ok) {
        printf("settings_bench: %d values, median of %d runs\n", expected, kRuns);
        printf("  export  panorel32 in-process %8.1f ms   RunDll32 StoreOptions %8.1f ms   "
               "reg export %8.1f ms\n",
               Median(exp), Median(rdExp), Median(regExp));
        printf("  import  panorel32 in-process %8.1f ms   RunDll32 LoadOptions  %8.1f ms   "
               "reg import %8.1f ms\n",
               Median(imp), Median(rdImp), Median(regImp));
    } else {
        printf("settings_bench: a transfer did not give back the %d values (%d now)\n",
               kKeys * kPerKey, CountValues(HKEY_CURRENT_USER, kProduct));
    }
    DeleteFileA(opt.c_str());
    DeleteFileA(reg.c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, kProduct);
    RegDeleteKeyA(HKEY_CURRENT_USER, kProduct);
    if (had && RegOpenKeyExA(HKEY_CURRENT_USER, kBackup, 0, KEY_READ, &backup) == ERROR_SUCCESS) {
        RegCreateKeyExA(HKEY_CURRENT_USER, kProduct, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &product,
                        NULL);
        RegCopyTreeA(backup, NULL, product);
        RegCloseKey(product);
        RegCloseKey(backup);
        RegDeleteTreeA(HKEY_CURRENT_USER, kBackup);
        RegDeleteKeyA(HKEY_CURRENT_USER, kBackup);
    }
    return ok ? 0 : 1;
}
