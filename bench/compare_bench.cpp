// Compare of two trees of 10,000 files (100 folders of 100) through panorel.exe's Compare
// command, with subfolders, against `rsync -rn --itemize-changes` of the same trees, in the same
// run. Half the folders hold one file that is newer in the active tree; both panels' passes run
// (active and passive criteria: unique, newer, older). The time runs from OK until both panels
// show their selections and the progress dialog is gone; rsync runs in a shell through Wine
// that times it itself. Both results are checked: 50 folders selected in each panel, 50 lines
// of changed files from rsync. The same comparison swings several times over from one run to
// the next on a shared machine, and only ever upwards: the runs alternate which side goes
// first, and the medians are printed beside the minima.
#include "BenchUtil.h"
#include "driver/SplitDriver.h"

namespace {

const UINT kCompare = 38214;
const int kFolders = 100, kFiles = 100, kChanged = 50;
// Each timed part starts after a rest of the machine's: on the virtual machines this runs on,
// the first 50 ms or so of work after a rest go more than twice as fast as work that follows
// other work (a bare walk of both trees: 46 ms after a second's sleep, 105-117 ms at once after
// another walk). Without the rest, whichever side came just after the program's start-up and
// its dialog would pay for them.
const DWORD kRestMs = 1000;

bool Put(const std::string& path, int hour)
{
    return bench::PutStamped(path, path, 2024, 2, 3, hour);
}

// The two trees; the same bytes on both sides (the paths differ only in the root's last letter).
bool MakeTrees(const std::string& a, const std::string& p)
{
    char name[64];
    for (int side = 0; side < 2; side++) {
        const std::string& root = side == 0 ? a : p;
        CreateDirectoryA(root.c_str(), NULL);
        for (int d = 0; d < kFolders; d++) {
            snprintf(name, sizeof(name), "\\folder%03d", d);
            std::string folder = root + name;
            CreateDirectoryA(folder.c_str(), NULL);
            for (int i = 0; i < kFiles; i++) {
                snprintf(name, sizeof(name), "\\file%03d.dat", i);
                bool newer = side == 0 && d < kChanged && i == kFiles - 1;
                if (!Put(folder + name, newer ? 9 : 5))
                    return false;
            }
        }
    }
    return true;
}

int Selected(HWND list)
{
    DWORD_PTR n = 0;
    if (!list || !SendMessageTimeoutA(list, LVM_GETSELECTEDCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &n))
        return -1;
    return (int)n;
}

// The progress dialog is a top-level window of its own: asking each of the main window's many
// children for its text as well would cost a poll more than the comparison it waits for.
bool ProgressShown(const drv::AppProcess& app, HWND main)
{
    for (HWND w : drv::TopLevelWindows(app.Pid()))
        if (w != main && drv::AllTexts(w).find("Comparing...") != std::string::npos)
            return true;
    return false;
}

double TimeCompare(const std::string& a, const std::string& p, int got[2])
{
    bench::FreshSettings();
    // Active and passive: unique, newer, older; include subfolders.
    drv::SetUserDword(bench::kRootKey, "Settings2", (0x04F6B331u & ~0x0FF1u) | 0x0001u | 0x00B0u | 0x0B00u);
    drv::AppProcess app;
    if (!app.Start("panorel.exe", "\"" + a + "\",\"" + p + "\""))
        return -1;
    HWND main = app.WaitForMainWindow();
    double result = -1;
    if (main && drv::WaitFor([&] {
            return bench::ListCount(drv::PanelList(main, 0)) == kFolders &&
                   bench::ListCount(drv::PanelList(main, 1)) == kFolders;
        }, 60000)) {
        PostMessageA(main, WM_COMMAND, kCompare, 0);
        HWND dlg = drv::WaitForDialogCaption(app.Pid(), "Compare", 30000);
        if (dlg) {
            Sleep(kRestMs);   // as a user reads the dialog before pressing OK
            double t0 = bench::NowMs();
            drv::PressButton(dlg, IDOK);
            bool done = drv::WaitFor([&] {
                got[0] = Selected(drv::PanelList(main, 0));
                got[1] = Selected(drv::PanelList(main, 1));
                return got[0] == kChanged && got[1] == kChanged && !ProgressShown(app, main);
            }, 600000, 2);   // rsync is timed to the nanosecond: poll finely, not every 20 ms
            if (done)
                result = bench::NowMs() - t0;
        }
    }
    bench::Finish(app, main);
    return result;
}

// Every entry of both trees read once with FindFirstFileA: what any comparison under this
// platform must at least spend.
double TimeWalk(const std::string& a, const std::string& p, int* entries)
{
    Sleep(kRestMs);
    double t0 = bench::NowMs();
    *entries = bench::CountEntries(a, true) + bench::CountEntries(p, true);
    return bench::NowMs() - t0;
}

double TimeRsync(const std::string& a, const std::string& p, int* lines)
{
    std::string out;
    std::string script = "sleep " + std::to_string(kRestMs / 1000) + "; s=$(date +%s%N); rsync -rn --itemize-changes '" + drv::UnixPathOf(a) + "/' '" +
                         drv::UnixPathOf(p) + "/' > /tmp/compare_bench_rsync.txt || exit 1; e=$(date +%s%N); "
                         "echo ns=$((e-s)); echo lines=$(grep -c '^>f' /tmp/compare_bench_rsync.txt); rm -f /tmp/compare_bench_rsync.txt";
    if (!drv::RunUnixShell(script, &out, 600000))
        return -1;
    size_t at = out.find("ns="), l = out.find("lines=");
    *lines = l == std::string::npos ? -1 : atoi(out.c_str() + l + 6);
    return at == std::string::npos ? -1 : atof(out.c_str() + at + 3) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 && atoi(argv[1]) > 0 ? atoi(argv[1]) : 5;
    setvbuf(stdout, NULL, _IONBF, 0);
    std::string root = bench::TempPath("bench_compare");
    drv::RemoveTree(root);
    CreateDirectoryA(root.c_str(), NULL);
    std::string a = root + "\\A", p = root + "\\P";
    printf("compare_bench: two trees of %d files (%d folders), %d files newer in the active one\n",
           kFolders * kFiles, kFolders, kChanged);
    if (!MakeTrees(a, p)) {
        printf("  cannot make the trees\n");
        return 1;
    }
    std::vector<double> ours, peer, walk;
    bool ok = true;
    for (int run = 0; run < runs; run++) {
        int got[2] = {-1, -1}, lines = -1;
        double r = 0, o = 0;
        if (run % 2 == 0) {
            r = TimeRsync(a, p, &lines);
            o = TimeCompare(a, p, got);
        } else {
            o = TimeCompare(a, p, got);
            r = TimeRsync(a, p, &lines);
        }
        int entries = 0;
        walk.push_back(TimeWalk(a, p, &entries));
        ok = ok && lines == kChanged && got[0] == kChanged && got[1] == kChanged;
        if (o > 0)
            ours.push_back(o);
        if (r > 0)
            peer.push_back(r);
        printf("  run %d: panorel %.0f ms (selected %d and %d), rsync -rn %.0f ms (%d changed files), "
               "FindFirstFileA walk %.0f ms (%d entries)\n", run + 1, o, got[0], got[1], r, lines, walk.back(), entries);
    }
    bench::Stats so = bench::Summarize(ours), sp = bench::Summarize(peer), sw = bench::Summarize(walk);
    printf("  median: panorel Compare %.0f ms, rsync -rn --itemize-changes %.0f ms: %.2fx of rsync's time (target <= 1.5)\n",
           so.median, sp.median, bench::Ratio(so.median, sp.median));
    printf("  minimum: panorel Compare %.0f ms, rsync %.0f ms: %.2fx (%d runs)\n", so.min, sp.min,
           bench::Ratio(so.min, sp.min), so.runs);
    printf("  the platform's floor here: a bare FindFirstFileA walk of both trees %.0f ms (%.2fx of rsync's time); "
           "Compare is %.2fx of that walk\n", sw.median, sp.median > 0 ? sw.median / sp.median : 0.0,
           sw.median > 0 ? so.median / sw.median : 0.0);
    printf("  results %s\n", ok ? "checked: equal" : "WRONG");
    drv::RemoveTree(root);
    return ok ? 0 : 1;
}
