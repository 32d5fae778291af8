// Start-up: from process start to a main window whose lists hold their folders' items,
// panorel.exe with two panels against explorer.exe with one folder.
#include "BenchUtil.h"

namespace {

std::string MakeFolder(const char* name, int files, int subfolders)
{
    std::string folder = bench::TempPath(name);
    CreateDirectoryA(folder.c_str(), NULL);
    char buf[64];
    for (int i = 0; i < files; i++) {
        snprintf(buf, sizeof(buf), "\\item%03d.txt", i);
        bench::MakeFile(folder + buf);
    }
    for (int i = 0; i < subfolders; i++) {
        snprintf(buf, sizeof(buf), "\\folder%02d", i);
        CreateDirectoryA((folder + buf).c_str(), NULL);
    }
    return folder;
}

}  // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    const int runs = argc > 1 ? atoi(argv[1]) : 5;
    const DWORD timeoutMs = 30000;
    std::string a = MakeFolder("bench_start_a", 120, 4);
    std::string b = MakeFolder("bench_start_b", 60, 2);
    const int want[2] = {bench::CountEntries(a), bench::CountEntries(b)};

    printf("startup_bench: process start to filled lists; A = %d items, B = %d items\n", want[0],
           want[1]);
    std::vector<double> ours, peer;
    for (int r = 0; r < runs; r++) {
        bench::FreshSettings();
        int got[2];
        double ms = bench::TimePanorel("\"" + a + "\",\"" + b + "\"", want, timeoutMs, got);
        if (ms < 0)
            printf("  run %d: panorel.exe timed out (lists hold %d and %d)\n", r + 1, got[0], got[1]);
        else
            ours.push_back(ms);

        int seen = 0;
        double pms = bench::TimeExplorer(a, want[0], timeoutMs, &seen);
        if (pms < 0)
            printf("  run %d: explorer.exe timed out (list holds %d)\n", r + 1, seen);
        else
            peer.push_back(pms);
        printf("  run %d: panorel.exe %.1f ms, explorer.exe %.1f ms\n", r + 1, ms, pms);
    }
    bench::FreshSettings();
    drv::DeleteUserKey(bench::kProductKey);

    bench::Stats s1 = bench::Summarize(ours), s2 = bench::Summarize(peer);
    bench::PrintRow("panorel.exe A,B (two panels)", s1);
    bench::PrintRow("explorer.exe A (one folder)", s2);
    printf("  ratio panorel/explorer: median %.2fx, min %.2fx\n", bench::Ratio(s1.median, s2.median),
           bench::Ratio(s1.min, s2.min));
    return s1.runs && s2.runs ? 0 : 1;
}
