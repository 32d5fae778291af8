// Synchronize of 2,000 changed files (20 folders of 100, each newer in the active tree) through
// panorel.exe's Synchronize command, preview skipped, against the Copy command of the same
// 2,000 files into an empty folder, in the same run. Each time runs from OK until the work has
// ended (Synchronize: its "complete" box shows; Copy: its dialog closes). Both results are
// checked against the source tree afterwards (not timed).
#include "BenchUtil.h"
#include "driver/SplitDriver.h"

namespace {

const UINT kSynchronize = 38215, kCopy = 39401;
const int kFolders = 20, kFiles = 100;

bool Put(const std::string& path, const std::string& bytes, int hour)
{
    return bench::PutStamped(path, bytes, 2024, 5, 6, hour);
}

bool MakeTree(const std::string& root, int hour, char fill)
{
    CreateDirectoryA(root.c_str(), NULL);
    char name[64];
    for (int d = 0; d < kFolders; d++) {
        snprintf(name, sizeof(name), "\\folder%02d", d);
        std::string folder = root + name;
        CreateDirectoryA(folder.c_str(), NULL);
        for (int i = 0; i < kFiles; i++) {
            snprintf(name, sizeof(name), "\\file%03d.dat", i);
            if (!Put(folder + name, std::string(1024 + (d * 131 + i * 997) % 5120, char(fill + i % 7)), hour))
                return false;
        }
    }
    return true;
}

bool SameTree(const std::string& a, const std::string& b)
{
    char name[64];
    for (int d = 0; d < kFolders; d++)
        for (int i = 0; i < kFiles; i++) {
            snprintf(name, sizeof(name), "\\folder%02d\\file%03d.dat", d, i);
            if (drv::ReadBytes(a + name) != drv::ReadBytes(b + name))
                return false;
        }
    return true;
}

bool SelectAll(HWND main)
{
    std::vector<std::string> names = drv::ListViewTexts(drv::PanelList(main, 0), false);
    return drv::SelectListItems(drv::PanelList(main, 0), names);
}

double TimeCommand(UINT id, const std::string& a, const std::string& p)
{
    bench::FreshSettings();
    drv::AppProcess app;
    if (!app.Start("panorel.exe", "\"" + a + "\",\"" + p + "\""))
        return -1;
    HWND main = app.WaitForMainWindow();
    double result = -1;
    int want = bench::CountEntries(p);
    if (main && drv::WaitFor([&] {
            return bench::ListCount(drv::PanelList(main, 0)) == kFolders &&
                   bench::ListCount(drv::PanelList(main, 1)) == want;
        }, 60000) && SelectAll(main)) {
        PostMessageA(main, WM_COMMAND, id, 0);
        HWND dlg = drv::WaitForDialogCaption(app.Pid(), id == kCopy ? "Copy" : "Synchronize", 30000);
        if (dlg) {
            if (id == kSynchronize) {
                for (int box : {1150, 1139, 1306})   // copy newer, subfolders, skip preview once
                    CheckDlgButton(dlg, box, BST_CHECKED);
                for (int box : {1305, 1152})
                    CheckDlgButton(dlg, box, BST_UNCHECKED);
            }
            double t0 = bench::NowMs();
            drv::PressButton(dlg, IDOK);
            bool done = id == kCopy
                            ? drv::WaitFor([&] { return !IsWindow(dlg); }, 600000)
                            : drv::WaitFor([&] { return app.FindWindowWithText("The synchronization is complete.") != NULL; }, 600000);
            if (done)
                result = bench::NowMs() - t0;
            if (HWND box = app.FindWindowWithText("The synchronization is complete."))
                drv::PressButton(box, IDOK);
        }
    }
    bench::Finish(app, main);
    return result;
}

}  // namespace

int main()
{
    setvbuf(stdout, NULL, _IONBF, 0);
    std::string root = bench::TempPath("bench_sync");
    drv::RemoveTree(root);
    CreateDirectoryA(root.c_str(), NULL);
    std::string a = root + "\\A", p = root + "\\P", empty = root + "\\E";
    printf("sync_bench: %d changed files in %d folders\n", kFolders * kFiles, kFolders);
    if (!MakeTree(a, 9, 'a')) {
        printf("  cannot make the tree\n");
        return 1;
    }
    std::vector<double> ours, peer;
    bool ok = true;
    for (int run = 0; run < 3; run++) {
        drv::RemoveTree(p);
        drv::RemoveTree(empty);
        MakeTree(p, 5, 'p');
        CreateDirectoryA(empty.c_str(), NULL);
        drv::RunUnixShell("sync", nullptr, 300000);
        double s = TimeCommand(kSynchronize, a, p);
        drv::RunUnixShell("sync", nullptr, 300000);
        double c = TimeCommand(kCopy, a, empty);
        bool same = SameTree(a, p) && SameTree(a, empty);
        ok = ok && same && s > 0 && c > 0;
        if (s > 0)
            ours.push_back(s);
        if (c > 0)
            peer.push_back(c);
        printf("  run %d: Synchronize %.0f ms, Copy %.0f ms%s\n", run + 1, s, c, same ? "" : " (trees differ!)");
    }
    bench::Stats so = bench::Summarize(ours), sp = bench::Summarize(peer);
    printf("  median: Synchronize %.0f ms, Copy command %.0f ms: %.2fx of Copy's time\n", so.median, sp.median,
           sp.median > 0 ? so.median / sp.median : 0.0);
    printf("  results %s\n", ok ? "checked byte for byte: equal" : "WRONG");
    drv::RemoveTree(root);
    return ok ? 0 : 1;
}
