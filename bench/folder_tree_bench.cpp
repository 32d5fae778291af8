// The folder tree expanding a folder of 5,000 subfolders, beside the panel listing the same
// folder. Both are timed inside one running program: the tree from the key press that expands
// the folder until it holds every child, the panel from the request to show the folder until its
// list holds every item.
#include "BenchUtil.h"
#include "driver/NavDriver.h"

namespace {

const int kFolders = 5000;
const UINT ID_FOLDER_TREE = 38109;

// Created once; a later run reuses it and only adds what is missing.
std::string Parent()
{
    std::string parent = bench::TempPath("bench_tree");
    std::string big = parent + "\\big";
    CreateDirectoryA(parent.c_str(), NULL);
    CreateDirectoryA(big.c_str(), NULL);
    if (bench::CountEntries(big) == kFolders)
        return parent;
    printf("  creating %d folders in %s ...\n", kFolders, big.c_str());
    char name[64];
    for (int i = 0; i < kFolders; i++) {
        snprintf(name, sizeof(name), "\\folder%05d", i);
        CreateDirectoryA((big + name).c_str(), NULL);
    }
    return parent;
}

HWND TreeOf(drv::AppProcess& app)
{
    HWND tree = NULL;
    drv::WaitFor([&] {
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if (drv::WindowText(w) == "Folder Tree")
                tree = GetDlgItem(w, 1041);
        return tree != NULL;
    }, 10000);
    return tree;
}

int TreeCount(HWND tree)
{
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutA(tree, TVM_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &n))
        return -1;
    return (int)n;
}

void Key(HWND wnd, UINT vk)
{
    PostMessageA(wnd, WM_KEYDOWN, vk, 0);
    PostMessageA(wnd, WM_KEYUP, vk, 0xC0000001);
}

// One run: the tree's expansion and the panel's listing in milliseconds (-1: timed out).
void RunOnce(const std::string& parent, DWORD timeoutMs, double& treeMs, double& panelMs)
{
    treeMs = panelMs = -1;
    bench::FreshSettings();
    drv::AppProcess app;
    if (!app.Start("panorel.exe", "\"" + parent + "," + parent + "\""))
        return;
    HWND main = app.WaitForMainWindow();
    if (!main || !drv::WaitFor([&] { return bench::ListCount(drv::PanelList(main, 0)) == 1; }, 10000)) {
        bench::Finish(app, main);
        return;
    }
    std::string big = parent + "\\big";
    app.Command(ID_FOLDER_TREE);
    HWND tree = TreeOf(app);
    // The tree opens on the parent, whose one child is the big folder, not yet expanded.
    if (tree && drv::WaitFor([&] { return drv::TreeItemText(tree) == "bench_tree"; }, 10000)) {
        Key(tree, VK_DOWN);
        if (drv::WaitFor([&] { return drv::TreeItemText(tree) == "big"; }, 5000)) {
            int before = TreeCount(tree);
            double t0 = bench::NowMs();
            Key(tree, VK_RIGHT);
            for (;;) {
                if (TreeCount(tree) >= before + kFolders) {
                    treeMs = bench::NowMs() - t0;
                    break;
                }
                if (bench::NowMs() - t0 > timeoutMs)
                    break;
                Sleep(bench::kPollMs);
            }
        }
    }
    double t0 = bench::NowMs();
    if (drv::SendPanelTo(app, big)) {
        for (;;) {
            if (bench::ListCount(drv::PanelList(main, 0)) == kFolders) {
                panelMs = bench::NowMs() - t0;
                break;
            }
            if (bench::NowMs() - t0 > timeoutMs)
                break;
            Sleep(bench::kPollMs);
        }
    }
    // Not reopened with the next run.
    drv::SetUserDword(bench::kRootKey, "Frame", 0);
    bench::Finish(app, main);
}

}  // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    const int runs = argc > 1 ? atoi(argv[1]) : 3;
    const DWORD timeoutMs = 180000;
    printf("folder_tree_bench: the folder tree expanding a folder of %d subfolders beside the panel listing it\n",
           kFolders);
    std::string parent = Parent();
    std::vector<double> trees, panels;
    for (int r = 0; r < runs; r++) {
        double t, p;
        RunOnce(parent, timeoutMs, t, p);
        printf("  run %d: tree %.1f ms, panel %.1f ms\n", r + 1, t, p);
        if (t >= 0)
            trees.push_back(t);
        if (p >= 0)
            panels.push_back(p);
    }
    bench::Stats tree = bench::Summarize(trees), panel = bench::Summarize(panels);
    printf("  %-28s median %9.1f ms  min %9.1f ms  (%d runs)\n", "folder tree expands", tree.median, tree.min, tree.runs);
    printf("  %-28s median %9.1f ms  min %9.1f ms  (%d runs)\n", "panel lists the folder", panel.median, panel.min, panel.runs);
    if (tree.runs && panel.runs && panel.median > 0)
        printf("  tree / panel: %.2fx (target at most 1.5x)\n", tree.median / panel.median);
    bench::FreshSettings();
    drv::DeleteUserKey(bench::kProductKey);
    return tree.runs && panel.runs ? 0 : 1;
}
