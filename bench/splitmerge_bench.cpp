// Split and Merge of one 2 GiB file through panorel.exe's commands against `split -b` and
// `cat` of the same file, in the same run: four segments of 512 MiB each way. The time runs
// from OK until the dialog closes (the run has ended); the Unix tools run in a shell started
// through Wine that times them itself. Every result is checked with `cmp` afterwards (not
// timed), the caches are flushed (`sync`) before each timed step, and panorel's peak working
// set is printed beside its working set before the run, to show the copying stays flat. Four
// rounds, who goes first alternating; the medians are compared.
#include "BenchUtil.h"
#include "driver/SplitDriver.h"
#include <psapi.h>

namespace {

const UINT kSplit = 39405, kMerge = 39406;
const DWORD kSegment = 512u << 20;
const ULONGLONG kSize = 2ull << 30;

typedef BOOL(WINAPI* MemInfoFn)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);

bool MemoryOf(HANDLE process, PROCESS_MEMORY_COUNTERS& pmc)
{
    static MemInfoFn fn = reinterpret_cast<MemInfoFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    ZeroMemory(&pmc, sizeof(pmc));
    pmc.cb = sizeof(pmc);
    return fn && fn(process, &pmc, sizeof(pmc));
}

bool MakeBig(const std::string& path)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    std::vector<unsigned> block(1 << 18);   // 1 MiB
    unsigned x = 2463534242u;
    bool ok = true;
    for (ULONGLONG done = 0; done < kSize && ok; done += block.size() * sizeof(unsigned)) {
        for (unsigned& v : block) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            v = x;
        }
        DWORD n = 0;
        ok = WriteFile(f, block.data(), (DWORD)(block.size() * sizeof(unsigned)), &n, NULL) != FALSE;
    }
    CloseHandle(f);
    return ok;
}

double ShellMs(const std::string& script)
{
    std::string out;
    if (!drv::RunUnixShell("s=$(date +%s%N); " + script + " || exit 1; e=$(date +%s%N); echo ns=$((e-s))", &out, 900000))
        return -1;
    size_t at = out.find("ns=");
    return at == std::string::npos ? -1 : atof(out.c_str() + at + 3) / 1e6;
}

// Runs Split or Merge on the one item `name` of src into dst; the milliseconds from OK, or -1.
double RunCommand(UINT id, const std::string& src, const std::string& dst, const char* name,
                  SIZE_T* before, SIZE_T* peak)
{
    bench::FreshSettings();
    drv::AppProcess app;
    if (!app.Start("panorel.exe", "\"" + src + "\",\"" + dst + "\""))
        return -1;
    HWND main = app.WaitForMainWindow();
    double result = -1;
    if (main && drv::WaitFor([&] { return bench::ListCount(drv::PanelList(main, 0)) == bench::CountEntries(src); }, 30000) &&
        drv::SelectListItems(drv::PanelList(main, 0), {name})) {
        PostMessageA(main, WM_COMMAND, id, 0);
        HWND dlg = drv::WaitForDialogCaption(app.Pid(), id == kSplit ? "Split" : "Merge", 30000);
        if (dlg) {
            if (id == kSplit) {
                HWND combo = GetDlgItem(dlg, 1212);
                char text[32];
                snprintf(text, sizeof(text), "%lu", (unsigned long)kSegment);
                SendMessageA(combo, WM_SETTEXT, 0, (LPARAM)text);
                SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(1212, CBN_EDITCHANGE), (LPARAM)combo);
            }
            PROCESS_MEMORY_COUNTERS pmc;
            if (MemoryOf(app.Process(), pmc))
                *before = pmc.WorkingSetSize;
            double t0 = bench::NowMs();
            drv::PressButton(dlg, IDOK);
            while (IsWindow(dlg) && bench::NowMs() - t0 < 900000)
                Sleep(bench::kPollMs);
            if (!IsWindow(dlg))
                result = bench::NowMs() - t0;
            if (MemoryOf(app.Process(), pmc))
                *peak = pmc.PeakWorkingSetSize;
        }
    }
    if (result < 0) {
        printf("  panorel.exe did not finish; its windows:");
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            printf(" [%s \"%s\"]", drv::ClassName(w).c_str(), drv::AllTexts(w).c_str());
        printf("\n");
    }
    bench::Finish(app, main);
    return result;
}

}  // namespace

int main()
{
    setvbuf(stdout, NULL, _IONBF, 0);
    std::string root = bench::TempPath("bench_splitmerge");
    drv::RemoveTree(root);
    std::string src = root + "\\src", ours = root + "\\ours", joined = root + "\\joined",
                theirs = root + "\\theirs";
    CreateDirectoryA(root.c_str(), NULL);
    for (const std::string& f : {src, ours, joined, theirs})
        CreateDirectoryA(f.c_str(), NULL);
    printf("splitmerge_bench: one file of 2 GiB into four segments of 512 MiB and back\n");
    if (!MakeBig(src + "\\big.bin")) {
        printf("  cannot write the 2 GiB file\n");
        drv::RemoveTree(root);
        return 1;
    }
    std::string uSrc = drv::UnixPathOf(src), uOurs = drv::UnixPathOf(ours), uJoined = drv::UnixPathOf(joined),
                uTheirs = drv::UnixPathOf(theirs);
    bool ok = true;
    SIZE_T before = 0, peak = 0, mBefore = 0, mPeak = 0;

    // Four rounds, each tool once a round; who goes first alternates, so that each is as often
    // the one that finds the other's written pages still being put to disk (here the second of
    // a round has been seen to take up to four times as long as the first).
    const int kRounds = 4;
    std::vector<double> splits, peerSplits, merges, peerCats;
    auto ratio = [](double ours, double peer) { return ours > 0 && peer > 0 ? peer / ours : 0.0; };
    for (int round = 0; round < kRounds; round++) {
        drv::RunUnixShell("rm -f '" + uOurs + "'/big.bin.* '" + uTheirs + "'/big.bin.* '" + uJoined + "'/big.bin; sync", nullptr, 300000);
        double split = -1, peerSplit = -1, merge = -1, peerCat = -1;
        for (int turn = 0; turn < 2; turn++) {
            drv::RunUnixShell("sync", nullptr, 300000);
            if ((turn == 0) == (round % 2 == 0))
                split = RunCommand(kSplit, src, ours, "big.bin", &before, &peak);
            else
                peerSplit = ShellMs("cd '" + uTheirs + "' && split -b " + std::to_string(kSegment) +
                                    " --numeric-suffixes=1 -a 3 '" + uSrc + "/big.bin' big.bin.");
        }
        ok = ok && drv::RunUnixShell("cd '" + uOurs + "' && for n in 001 002 003 004; do cmp big.bin.$n ../theirs/big.bin.$n || exit 1; done; test ! -e big.bin.005", nullptr, 900000);
        drv::RunUnixShell("rm -f '" + uTheirs + "'/big.bin.*; sync", nullptr, 300000);
        for (int turn = 0; turn < 2; turn++) {
            drv::RunUnixShell("sync", nullptr, 300000);
            if ((turn == 0) == (round % 2 == 0))
                merge = RunCommand(kMerge, ours, joined, "big.bin.001", &mBefore, &mPeak);
            else
                peerCat = ShellMs("cd '" + uOurs + "' && cat big.bin.001 big.bin.002 big.bin.003 big.bin.004 > '" + uTheirs + "/big.bin'");
        }
        ok = ok && drv::RunUnixShell("cmp '" + uJoined + "/big.bin' '" + uSrc + "/big.bin' && cmp '" + uTheirs + "/big.bin' '" + uSrc + "/big.bin'", nullptr, 900000);
        ok = ok && split > 0 && peerSplit > 0 && merge > 0 && peerCat > 0;
        printf("  round %d (%s first): split: panorel %.0f ms, split -b %.0f ms (%.2fx); merge: panorel %.0f ms, cat %.0f ms (%.2fx)\n",
               round + 1, round % 2 == 0 ? "panorel" : "the Unix tool", split, peerSplit, ratio(split, peerSplit), merge,
               peerCat, ratio(merge, peerCat));
        splits.push_back(split);
        peerSplits.push_back(peerSplit);
        merges.push_back(merge);
        peerCats.push_back(peerCat);
    }

    double split = bench::Summarize(splits).median, peerSplit = bench::Summarize(peerSplits).median;
    double merge = bench::Summarize(merges).median, peerCat = bench::Summarize(peerCats).median;
    printf("  split (median of %d): panorel %.0f ms, split -b %.0f ms: speed %.2fx of split -b (target >= 0.90)\n", kRounds,
           split, peerSplit, ratio(split, peerSplit));
    printf("  merge (median of %d): panorel %.0f ms, cat %.0f ms: speed %.2fx of cat (target >= 0.90)\n", kRounds, merge,
           peerCat, ratio(merge, peerCat));
    printf("  panorel working set: split %.1f MiB before, peak %.1f MiB; merge %.1f MiB before, peak %.1f MiB\n",
           before / 1048576.0, peak / 1048576.0, mBefore / 1048576.0, mPeak / 1048576.0);
    printf("  results %s\n", ok ? "checked byte for byte: equal" : "WRONG or missing");
    drv::RemoveTree(root);
    return ok ? 0 : 1;
}
