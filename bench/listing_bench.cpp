// Listing a folder of 20,000 files: panorel.exe's panel without and with a filter of five
// masks, against explorer.exe on the same folder. Each figure runs from process start until
// the list holds every item.
#include "BenchUtil.h"

namespace {

const int kFiles = 20000;
const char* const kExts[] = {"txt", "dat", "log", "bin", "tmp"};
const char kMasks[] = "*.txt;*.dat;*.log;*.bin;*.tmp";

// Created once; a later run reuses it and only adds what is missing.
std::string BigFolder()
{
    std::string folder = bench::TempPath("bench_list_20000");
    CreateDirectoryA(folder.c_str(), NULL);
    if (bench::CountEntries(folder) == kFiles)
        return folder;
    printf("  creating %d files in %s ...\n", kFiles, folder.c_str());
    double t0 = bench::NowMs();
    char buf[64];
    for (int i = 0; i < kFiles; i++) {
        // Every name matches one of the filter's masks, so the filtered list is complete too.
        snprintf(buf, sizeof(buf), "\\entry%05d.%s", i, kExts[i % 5]);
        bench::MakeFile(folder + buf);
    }
    printf("  created in %.0f ms\n", bench::NowMs() - t0);
    return folder;
}

bench::Stats RunPanorel(const char* label, const std::string& args, int want, bool filter, int runs,
                        DWORD timeoutMs)
{
    std::vector<double> times;
    for (int r = 0; r < runs; r++) {
        bench::FreshSettings();
        if (filter) {
            drv::SetUserDword(bench::kRootKey, "P1", 0x10000000);
            drv::SetUserString(bench::kRootKey, "FilterIncl1", kMasks);
        }
        const int wants[2] = {want, -1};
        int got[2];
        double ms = bench::TimePanorel(args, wants, timeoutMs, got);
        if (ms < 0)
            printf("  run %d %s: timed out, list holds %d of %d\n", r + 1, label, got[0], want);
        else {
            printf("  run %d %s: %.1f ms\n", r + 1, label, ms);
            times.push_back(ms);
        }
    }
    return bench::Summarize(times);
}

}  // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    const int runs = argc > 1 ? atoi(argv[1]) : 3;
    const DWORD timeoutMs = 180000;
    printf("listing_bench: process start until the list holds every item of a %d-file folder\n",
           kFiles);
    std::string folder = BigFolder();
    std::string empty = bench::TempPath("bench_list_empty");
    CreateDirectoryA(empty.c_str(), NULL);
    const int want = bench::CountEntries(folder);
    // Panel 2 shows an empty folder so that only one big listing is timed.
    const std::string args = "\"" + folder + "\",\"" + empty + "\"";

    bench::Stats plain = RunPanorel("panorel.exe", args, want, false, runs, timeoutMs);
    bench::Stats filtered = RunPanorel("panorel.exe + filter", args, want, true, runs, timeoutMs);
    std::vector<double> times;
    for (int r = 0; r < runs; r++) {
        int seen = 0;
        double ms = bench::TimeExplorer(folder, want, timeoutMs, &seen);
        if (ms < 0)
            printf("  run %d explorer.exe: timed out, list holds %d of %d\n", r + 1, seen, want);
        else {
            printf("  run %d explorer.exe: %.1f ms\n", r + 1, ms);
            times.push_back(ms);
        }
    }
    bench::Stats peer = bench::Summarize(times);
    drv::DeleteUserKey(bench::kProductKey);

    printf("listing_bench: %d items\n", want);
    bench::PrintRow("panorel.exe, no filter", plain);
    bench::PrintRow("panorel.exe, filter of 5 masks", filtered);
    bench::PrintRow("explorer.exe", peer);
    double r1 = bench::Ratio(plain.median, peer.median);
    double r2 = bench::Ratio(filtered.median, plain.median);
    printf("  no filter / explorer.exe: %.2fx (target at most 1.10x: %s)\n", r1,
           r1 > 0 && r1 <= 1.10 ? "met" : "missed");
    printf("  filter / no filter:       %.2fx (target under 1.10x: %s)\n", r2,
           r2 > 0 && r2 < 1.10 ? "met" : "missed");
    return plain.runs && filtered.runs && peer.runs ? 0 : 1;
}
