// A full repaint of a list of 100 folders and 100 files: panorel.exe's panel beside Wine's
// explorer.exe showing the same folder through the same shell view. Each repaint runs from
// the invalidation of the whole list until it has drawn (no update region left and a message
// answered), ten times after the list has settled; the list's view mode and the rows in sight
// are printed with each, since a view in another mode draws another amount.
#include "BenchUtil.h"

namespace {

const int kFolders = 100, kFiles = 100, kRepaints = 10;

std::string MakeFolder()
{
    std::string folder = bench::TempPath("bench_repaint");
    drv::RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), NULL);
    char name[64];
    for (int i = 0; i < kFolders; i++) {
        snprintf(name, sizeof(name), "\\folder%03d", i);
        CreateDirectoryA((folder + name).c_str(), NULL);
    }
    const char* exts[] = {"txt", "bmp", "ini", "log"};
    for (int i = 0; i < kFiles; i++) {
        snprintf(name, sizeof(name), "\\file%03d.%s", i, exts[i % 4]);
        bench::MakeFile(folder + name);
    }
    return folder;
}

// One full repaint of a list of another process, in milliseconds; -1 when it did not draw.
double Repaint(HWND list)
{
    double t0 = bench::NowMs();
    if (!InvalidateRect(list, NULL, TRUE))
        return -1;
    while (GetUpdateRect(list, NULL, FALSE)) {
        if (bench::NowMs() - t0 > 10000)
            return -1;
        Sleep(0);
    }
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(list, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &r))
        return -1;
    return bench::NowMs() - t0;
}

const char* ModeName(HWND list)
{
    switch (GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK) {
    case LVS_ICON: return "icons";
    case LVS_SMALLICON: return "small icons";
    case LVS_LIST: return "list";
    default: return "details";
    }
}

bench::Stats TimeRepaints(const char* label, HWND list)
{
    std::vector<double> times;
    Sleep(500);   // whatever the listing left to draw is drawn
    for (int i = 0; i < kRepaints; i++) {
        double ms = Repaint(list);
        if (ms >= 0)
            times.push_back(ms);
    }
    bench::Stats s = bench::Summarize(times);
    printf("  %s (%s, %d rows in sight): median %.1f ms, min %.1f ms (%d repaints)\n", label, ModeName(list),
           (int)SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0), s.median, s.min, s.runs);
    return s;
}

bench::Stats RunPanorel(const std::string& folder, const std::string& empty, const char* label)
{
    bench::FreshSettings();
    drv::AppProcess app;
    bench::Stats s;
    if (!app.Start("panorel.exe", "\"" + folder + "\",\"" + empty + "\""))
        return s;
    HWND main = app.WaitForMainWindow();
    HWND list = main ? drv::PanelList(main, 0) : NULL;
    if (list && drv::WaitFor([&] { return bench::ListCount(drv::PanelList(main, 0)) == kFolders + kFiles; }, 30000))
        s = TimeRepaints(label, drv::PanelList(main, 0));
    else
        printf("  %s: the list did not fill\n", label);
    bench::Finish(app, main);
    return s;
}

bench::Stats RunExplorer(const std::string& folder)
{
    drv::AppProcess app;
    bench::Stats s;
    if (!app.Start(bench::kExplorer, "\"" + folder + "\""))
        return s;
    HWND main = NULL, list = NULL;
    drv::WaitFor([&] {
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if ((list = bench::FindList(w)) != NULL) {
                main = w;
                return bench::ListCount(list) == kFolders + kFiles;
            }
        return false;
    }, 30000);
    if (list && bench::ListCount(list) == kFolders + kFiles)
        s = TimeRepaints("explorer.exe", list);
    else
        printf("  explorer.exe: no full list\n");
    bench::Finish(app, main);
    return s;
}

}  // namespace

int main()
{
    setvbuf(stdout, NULL, _IONBF, 0);
    printf("repaint_bench: full repaints of a list of %d folders and %d files\n", kFolders, kFiles);
    std::string folder = MakeFolder();
    std::string empty = bench::TempPath("bench_repaint_empty");
    CreateDirectoryA(empty.c_str(), NULL);
    bench::Stats ours = RunPanorel(folder, empty, "panorel.exe");
    bench::Stats peer = RunExplorer(folder);
    bench::Stats ours2 = RunPanorel(folder, empty, "panorel.exe again");
    drv::DeleteUserKey(bench::kProductKey);
    drv::RemoveTree(folder);
    printf("repaint_bench: panorel.exe median %.1f and %.1f ms, explorer.exe %.1f ms a repaint\n", ours.median,
           ours2.median, peer.median);
    return ours.runs && peer.runs ? 0 : 1;
}
