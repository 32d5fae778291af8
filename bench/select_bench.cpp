// Select All, Invert Selection and List on a folder of 20,000 files in panorel.exe, each beside
// the time the panel took to list that folder (from process start, and by Refresh).
#include "BenchUtil.h"
#include "driver/SelectDriver.h"

namespace {

const int kFiles = 20000;
const char* const kExts[] = {"txt", "dat", "log", "bin", "tmp"};
enum : UINT { ID_SELECT_ALL = 38207, ID_DESELECT_ALL = 38206, ID_INVERT = 32930, ID_REFRESH = 38510,
              ID_LIST = 38216 };

// The listing benchmark's folder: created once, reused afterwards.
std::string BigFolder()
{
    std::string folder = bench::TempPath("bench_list_20000");
    CreateDirectoryA(folder.c_str(), NULL);
    if (bench::CountEntries(folder) == kFiles)
        return folder;
    printf("  creating %d files in %s ...\n", kFiles, folder.c_str());
    char buf[64];
    for (int i = 0; i < kFiles; i++) {
        snprintf(buf, sizeof(buf), "\\entry%05d.%s", i, kExts[i % 5]);
        bench::MakeFile(folder + buf);
    }
    return folder;
}

// A command sent to the main window, until the program is idle again.
double TimeCommand(drv::AppProcess& app, UINT id)
{
    double t0 = bench::NowMs();
    app.Command(id, 120000);
    WaitForInputIdle(app.Process(), 120000);
    return bench::NowMs() - t0;
}

// Selects items 0, 2, 4, ... of another process's list (the rest deselected).
void SelectEveryOther(HWND list, int count)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return;
    void* remote = VirtualAllocEx(process, NULL, sizeof(LVITEMA), MEM_COMMIT, PAGE_READWRITE);
    if (remote) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED;
        SIZE_T done = 0;
        WriteProcessMemory(process, remote, &item, sizeof(item), &done);
        SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)remote);
        item.state = LVIS_SELECTED;
        WriteProcessMemory(process, remote, &item, sizeof(item), &done);
        for (int i = 0; i < count; i += 2)
            SendMessageA(list, LVM_SETITEMSTATE, i, (LPARAM)remote);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
}

HWND FileNameField(HWND dlg)
{
    for (int id : {1148, 1152}) {
        HWND w = GetDlgItem(dlg, id);
        if (w && IsWindowVisible(w))
            return w;
    }
    return NULL;
}

}  // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    const int runs = argc > 1 ? atoi(argv[1]) : 3;
    printf("select_bench: Select All, Invert and List on a %d-file folder\n", kFiles);
    std::string folder = BigFolder();
    std::string empty = bench::TempPath("bench_list_empty");
    CreateDirectoryA(empty.c_str(), NULL);
    const int want = bench::CountEntries(folder);
    std::string out = bench::TempPath("bench_select_listing.txt");

    std::vector<double> start, refresh, all, none, invert, invertHalf, preview, save, saveName;
    for (int r = 0; r < runs; r++) {
        bench::FreshSettings();
        drv::TipsOff();
        drv::AppProcess app;
        double t0 = bench::NowMs();
        if (!app.Start("panorel.exe", "\"" + folder + "\",\"" + empty + "\""))
            return 1;
        HWND main = app.WaitForMainWindow("PanorelMainFrame", 60000);
        HWND list = NULL;
        drv::WaitFor([&] { return (list = drv::PanelList(main, 0)) && bench::ListCount(list) == want; }, 180000);
        if (bench::ListCount(list) != want) {
            printf("  run %d: the list did not fill\n", r + 1);
            bench::Finish(app, main);
            continue;
        }
        start.push_back(bench::NowMs() - t0);

        double t1 = bench::NowMs();
        app.Command(ID_REFRESH, 120000);
        drv::WaitFor([&] { return bench::ListCount(list) == want; }, 180000);
        WaitForInputIdle(app.Process(), 120000);
        refresh.push_back(bench::NowMs() - t1);

        all.push_back(TimeCommand(app, ID_SELECT_ALL));
        int selected = drv::SelectedCount(list);
        none.push_back(TimeCommand(app, ID_DESELECT_ALL));
        app.Command(ID_SELECT_ALL);
        invert.push_back(TimeCommand(app, ID_INVERT));
        int afterInvert = drv::SelectedCount(list);
        // Every other item selected, then inverted: every item changes one by one.
        SelectEveryOther(list, want);
        int half = drv::SelectedCount(list);
        invertHalf.push_back(TimeCommand(app, ID_INVERT));
        int afterHalf = drv::SelectedCount(list);

        // List: every object, saved to a file; all columns, then the name column alone.
        int lines = 0;
        for (int pass = 0; pass < 2; ++pass) {
            if (pass == 1)
                drv::SetUserDword(bench::kRootKey, "ListColumns", 1);
            DeleteFileA(out.c_str());
            app.PostCommand(ID_LIST);
            HWND dlg = drv::WaitForDialog(app.Pid(), "List", 30000);
            double tp = bench::NowMs();
            drv::ClickButton(dlg, 1178);   // "All objects": the preview is rebuilt
            if (pass == 0)
                preview.push_back(bench::NowMs() - tp);
            PostMessageA(dlg, WM_COMMAND, IDOK, 0);
            HWND saveDlg = drv::WaitForDialog(app.Pid(), "Save to File", 30000);
            HWND field = NULL;
            drv::WaitFor([&] { return (field = FileNameField(saveDlg)) != NULL; }, 5000);
            SendMessageA(field, WM_SETTEXT, 0, (LPARAM)out.c_str());
            double ts = bench::NowMs();
            drv::PressButton(saveDlg, IDOK);
            drv::WaitFor([&] { return !IsWindow(dlg); }, 120000);
            (pass == 0 ? save : saveName).push_back(bench::NowMs() - ts);
            std::string text = drv::ReadBytes(out);
            lines = (int)std::count(text.begin(), text.end(), '\n');
        }
        printf("  run %d: listed %.0f ms, refresh %.0f ms, select all %.1f ms (%d selected), "
               "deselect all %.1f ms, invert %.1f ms (%d selected), invert of %d %.1f ms (%d selected), "
               "List preview %.0f ms, List save %.0f ms, names only %.0f ms (%d lines)\n",
               r + 1, start.back(), refresh.back(), all.back(), selected, none.back(), invert.back(),
               afterInvert, half, invertHalf.back(), afterHalf, preview.back(), save.back(),
               saveName.back(), lines);
        bench::Finish(app, main);
    }
    DeleteFileA(out.c_str());
    drv::DeleteUserKey(bench::kProductKey);

    bench::Stats sStart = bench::Summarize(start), sRefresh = bench::Summarize(refresh);
    bench::Stats sAll = bench::Summarize(all), sNone = bench::Summarize(none);
    bench::Stats sHalf = bench::Summarize(invertHalf);
    bench::Stats sInvert = bench::Summarize(invert), sPreview = bench::Summarize(preview);
    bench::Stats sSave = bench::Summarize(save), sSaveName = bench::Summarize(saveName);
    printf("select_bench: %d items\n", want);
    bench::PrintRow("listing from process start", sStart);
    bench::PrintRow("listing by Refresh", sRefresh);
    bench::PrintRow("Select All", sAll);
    bench::PrintRow("Deselect All", sNone);
    bench::PrintRow("Invert Selection (all to none)", sInvert);
    bench::PrintRow("Invert Selection (every other)", sHalf);
    bench::PrintRow("List preview of all objects", sPreview);
    bench::PrintRow("List saved to a file", sSave);
    bench::PrintRow("List saved, name column only", sSaveName);
    double listing = sRefresh.median;
    double rAll = bench::Ratio(sAll.median, listing);
    double rInv = bench::Ratio(std::max(sInvert.median, sHalf.median), listing);
    double rList = bench::Ratio(sSave.median, listing);
    printf("  Select All / listing: %.3f (target under 0.10: %s)\n", rAll, rAll < 0.10 ? "met" : "missed");
    printf("  Invert / listing:     %.3f (target under 0.10: %s)\n", rInv, rInv < 0.10 ? "met" : "missed");
    printf("  List / listing:       %.3f (target under 0.50: %s)\n", rList, rList < 0.50 ? "met" : "missed");
    return sAll.runs ? 0 : 1;
}
