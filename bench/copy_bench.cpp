// Copying through panorel.exe's Copy command against the platform alone (one SHFileOperationA
// call, a bare CopyFileA loop) and `cp -r` of the same data, in the same run:
// a tree of 2,000 small files in subfolders, and one file of 1 GiB. panorel.exe shows the source
// in panel 1 and an empty destination in panel 2; all is selected, Copy runs, its dialog gets
// OK, and the time runs from OK until the operation has ended and both panels show the result.
// `cp -r` runs in a Unix shell started through Wine, which times it itself; the shell's start
// is not counted. Every copy is checked byte for byte afterwards (not timed), and the caches
// are flushed (`sync`) before each timed copy.
#include "BenchUtil.h"
#include "driver/SelectDriver.h"
#include "UnixRun.h"
#include <shellapi.h>
#include <shlobj.h>

namespace {
using drv::RemoveTree;

const UINT kCopyCommand = 39401;
const int kFolders = 20;
const int kFilesPerFolder = 100;
const DWORD kBigSize = 1u << 30;

using bench::UnixPath;

bool WriteBytes(const std::string& path, const char* data, DWORD size, DWORD repeat = 1)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (DWORD i = 0; i < repeat && ok; i++) {
        DWORD done = 0;
        ok = WriteFile(f, data, size, &done, NULL) && done == size;
    }
    CloseHandle(f);
    return ok;
}

std::vector<char> Noise(size_t size, unsigned seed)
{
    std::vector<char> bytes(size);
    unsigned x = seed | 1;
    for (char& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x);
    }
    return bytes;
}

// 2,000 files of 1 to 6 KB in 20 subfolders.
bool MakeTree(const std::string& root)
{
    CreateDirectoryA(root.c_str(), NULL);
    std::vector<char> noise = Noise(64 * 1024, 12345);
    char name[64];
    for (int d = 0; d < kFolders; d++) {
        snprintf(name, sizeof(name), "\\folder%02d", d);
        std::string folder = root + name;
        CreateDirectoryA(folder.c_str(), NULL);
        for (int i = 0; i < kFilesPerFolder; i++) {
            snprintf(name, sizeof(name), "\\file%03d.dat", i);
            DWORD size = 1024 + (DWORD)((d * 131 + i * 997) % 5120);
            if (!WriteBytes(folder + name, noise.data() + (d * 7 + i) % 1000, size))
                return false;
        }
    }
    return true;
}

// One file of 1 GiB: 4 MB of noise whose first bytes change with each block.
bool MakeBig(const std::string& path)
{
    std::vector<char> block = Noise(4u << 20, 777);
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (DWORD i = 0; i < kBigSize / block.size() && ok; i++) {
        memcpy(block.data(), &i, sizeof(i));
        DWORD done = 0;
        ok = WriteFile(f, block.data(), (DWORD)block.size(), &done, NULL) && done == block.size();
    }
    CloseHandle(f);
    return ok;
}

// True when both files hold the same bytes.
bool SameFile(const std::string& a, const std::string& b)
{
    HANDLE fa = CreateFileA(a.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    HANDLE fb = CreateFileA(b.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    bool same = fa != INVALID_HANDLE_VALUE && fb != INVALID_HANDLE_VALUE;
    static std::vector<char> ba(1 << 20), bb(1 << 20);
    while (same) {
        DWORD na = 0, nb = 0;
        same = ReadFile(fa, ba.data(), (DWORD)ba.size(), &na, NULL) &&
               ReadFile(fb, bb.data(), (DWORD)bb.size(), &nb, NULL) && na == nb &&
               !memcmp(ba.data(), bb.data(), na);
        if (na == 0)
            break;
    }
    if (fa != INVALID_HANDLE_VALUE)
        CloseHandle(fa);
    if (fb != INVALID_HANDLE_VALUE)
        CloseHandle(fb);
    return same;
}

// Every file below src is at the same place below dst with the same bytes, and dst holds
// nothing else. files receives the number of files compared.
bool SameTree(const std::string& src, const std::string& dst, int* files)
{
    if (bench::CountEntries(src) != bench::CountEntries(dst))
        return false;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((src + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return true;
    bool same = true;
    do {
        if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, ".."))
            continue;
        std::string a = src + "\\" + fd.cFileName, b = dst + "\\" + fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            same = SameTree(a, b, files);
        } else {
            same = SameFile(a, b);
            ++*files;
        }
    } while (same && FindNextFileA(h, &fd));
    FindClose(h);
    return same;
}

bool RunUnix(const std::string& script, std::string* output, DWORD timeoutMs)
{
    return bench::RunUnixScript(script, output, timeoutMs, bench::TempPath("bench_copy_unix.out"));
}

// Flushes written data to the disk, so that one copy's write-back does not slow the next.
void Sync()
{
    RunUnix("sync", nullptr, 300000);
}

// `cp -r` of the contents of src into the empty folder dst, timed by the shell around cp
// alone; -1 on failure.
double TimeCp(const std::string& src, const std::string& dst, DWORD timeoutMs)
{
    CreateDirectoryA(dst.c_str(), NULL);
    std::string from = UnixPath(src), to = UnixPath(dst);
    std::string out;
    std::string script = "s=$(date +%s%N); cp -r '" + from + "/.' '" + to +
                         "' || exit 1; e=$(date +%s%N); echo ns=$((e-s))";
    if (!RunUnix(script, &out, timeoutMs))
        return -1;
    size_t at = out.find("ns=");
    return at == std::string::npos ? -1 : atof(out.c_str() + at + 3) / 1e6;
}

// The platform alone, in this process (which has no shell views to tell): one SHFileOperationA
// of every top-level object of src into dst, with the flags the Copy command passes.
double TimeShellOp(const std::string& src, const std::string& dst)
{
    CreateDirectoryA(dst.c_str(), NULL);
    std::string from;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((src + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return -1;
    do {
        if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, ".."))
            from += src + "\\" + fd.cFileName + '\0';
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    from += '\0';
    std::string to = dst + '\0' + '\0';
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR;
    double t0 = bench::NowMs();
    int rc = SHFileOperationA(&op);
    double ms = bench::NowMs() - t0;
    return rc == 0 && !op.fAnyOperationsAborted ? ms : -1;
}

// The same call with two windows of this process registered for the shell's change notices
// of the destination's parent, as the program's two panel views are: what the platform charges
// for telling them, even when they ignore every notice.
double TimeShellOpWatched(const std::string& src, const std::string& dst)
{
    HWND watchers[2] = {};
    ULONG ids[2] = {};
    std::string parent = dst.substr(0, dst.find_last_of('\\'));
    for (int i = 0; i < 2; i++) {
        watchers[i] = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
        SHChangeNotifyEntry entry;
        entry.pidl = ILCreateFromPathA(parent.c_str());
        entry.fRecursive = TRUE;
        if (watchers[i] && entry.pidl)
            ids[i] = SHChangeNotifyRegister(watchers[i], SHCNRF_InterruptLevel | SHCNRF_ShellLevel,
                                            SHCNE_ALLEVENTS, WM_USER + 77, 1, &entry);
        ILFree(const_cast<LPITEMIDLIST>(entry.pidl));
    }
    double ms = TimeShellOp(src, dst);
    for (int i = 0; i < 2; i++) {
        if (ids[i])
            SHChangeNotifyDeregister(ids[i]);
        if (watchers[i])
            DestroyWindow(watchers[i]);
    }
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    return ms;
}

// A bare loop of CreateDirectoryA and CopyFileA over the tree.
bool CopyLoop(const std::string& src, const std::string& dst)
{
    CreateDirectoryA(dst.c_str(), NULL);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((src + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    do {
        if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, ".."))
            continue;
        std::string a = src + "\\" + fd.cFileName, b = dst + "\\" + fd.cFileName;
        ok = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? CopyLoop(a, b) : CopyFileA(a.c_str(), b.c_str(), TRUE) != 0;
    } while (ok && FindNextFileA(h, &fd));
    FindClose(h);
    return ok;
}

double TimeCopyLoop(const std::string& src, const std::string& dst)
{
    double t0 = bench::NowMs();
    bool ok = CopyLoop(src, dst);
    double ms = bench::NowMs() - t0;
    return ok ? ms : -1;
}

// Selects every item of a list view in another process.
bool SelectAll(HWND list)
{
    return drv::SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
}

HWND FindDialog(DWORD pid, const char* caption)
{
    for (HWND w : drv::TopLevelWindows(pid))
        if (drv::ClassName(w) == "#32770" && drv::WindowText(w) == caption)
            return w;
    return NULL;
}

// panorel.exe copies everything of src into the empty dst through its Copy command; the time
// from OK until the operation has ended and both panels show the result, or -1. dialogMs
// receives how long the dialog took to open after the command.
double TimePanorel(const std::string& src, const std::string& dst, DWORD timeoutMs, double* dialogMs)
{
    CreateDirectoryA(dst.c_str(), NULL);
    bench::FreshSettings();
    const int want[2] = {bench::CountEntries(src), 0};
    drv::AppProcess app;
    if (!app.Start("panorel.exe", "\"" + src + "\",\"" + dst + "\""))
        return -1;
    HWND main = app.WaitForMainWindow();
    double result = -1;
    HWND list = main ? drv::PanelList(main, 0) : NULL;
    bool ready = list && drv::WaitFor(
                             [&] {
                                 return bench::ListCount(drv::PanelList(main, 0)) == want[0] &&
                                        bench::ListCount(drv::PanelList(main, 1)) == want[1];
                             },
                             30000);
    if (ready && SelectAll(drv::PanelList(main, 0))) {
        double c0 = bench::NowMs();
        PostMessageA(main, WM_COMMAND, kCopyCommand, 0);
        HWND dlg = NULL;
        while (!(dlg = FindDialog(app.Pid(), "Copy")) && bench::NowMs() - c0 < 30000)
            Sleep(bench::kPollMs);
        *dialogMs = bench::NowMs() - c0;
        if (dlg) {
            double t0 = bench::NowMs();
            drv::PressButton(dlg, IDOK);
            // The dialog closes once the engine has returned from the last item; the time ends
            // when both panels show the result (their views may come back anew after it).
            auto shown = [&] {
                return !IsWindow(dlg) && bench::ListCount(drv::PanelList(main, 0)) == want[0] &&
                       bench::ListCount(drv::PanelList(main, 1)) == want[0];
            };
            while (!shown() && bench::NowMs() - t0 < timeoutMs)
                Sleep(bench::kPollMs);
            if (shown())
                result = bench::NowMs() - t0;
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

// The copiers compared, in the order of the table.
enum { kPanorel, kShellOp, kShellOpWatched, kCopyLoop, kCp, kSides };
const char* const kSideNames[kSides] = {"Copy command", "SHFileOperationA", "SHFileOp, 2 watchers",
                                        "CopyFileA loop", "cp -r"};

struct Part {
    const char* name;
    std::string src;
    std::vector<double> times[kSides];
};

// One timed copy by each side, each checked afterwards; the destination goes again. The
// order turns with each run, so that no side always meets another's cache state.
void RunPart(Part& part, int run, DWORD timeoutMs, bool& ok)
{
    std::string dst = bench::TempPath("bench_copy_dst");
    for (int k = 0; k < kSides; k++) {
        int side = (k + run) % kSides;
        RemoveTree(dst);
        Sync();
        double dialogMs = 0;
        double ms = side == kPanorel    ? TimePanorel(part.src, dst, timeoutMs, &dialogMs)
                    : side == kShellOp  ? TimeShellOp(part.src, dst)
                    : side == kShellOpWatched ? TimeShellOpWatched(part.src, dst)
                    : side == kCopyLoop ? TimeCopyLoop(part.src, dst)
                                        : TimeCp(part.src, dst, timeoutMs);
        int files = 0;
        bool same = ms >= 0 && SameTree(part.src, dst, &files);
        printf("  %-10s %-20s %9.1f ms  %s (%d files compared)", part.name, kSideNames[side], ms,
               same ? "complete" : "INCOMPLETE", files);
        if (side == kPanorel)
            printf(", dialog opened in %.0f ms", dialogMs);
        printf("\n");
        if (same)
            part.times[side].push_back(ms);
        else
            ok = false;
    }
    RemoveTree(dst);
}

}  // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    const int runs = argc > 1 ? atoi(argv[1]) : 3;
    const DWORD timeoutMs = 600000;
    printf("copy_bench: panorel.exe's Copy command (from OK to its end) against cp -r, %d runs\n", runs);
    if (UnixPath("C:\\").empty()) {
        printf("  not running under Wine: no cp -r to compare with\n");
        return 1;
    }
    Part tree = {"2000 files", bench::TempPath("bench_copy_tree"), {}};
    Part big = {"1 GiB", bench::TempPath("bench_copy_big"), {}};
    RemoveTree(tree.src);
    RemoveTree(big.src);
    double t0 = bench::NowMs();
    bool made = MakeTree(tree.src);
    CreateDirectoryA(big.src.c_str(), NULL);
    made = made && MakeBig(big.src + "\\big.bin");
    printf("  data made in %.0f ms: %d folders of %d files, one file of %lu bytes (%s)\n",
           bench::NowMs() - t0, kFolders, kFilesPerFolder, (unsigned long)kBigSize,
           UnixPath(tree.src).c_str());
    bool ok = made;
    for (int r = 0; ok && r < runs; r++) {
        RunPart(tree, r, timeoutMs, ok);
        RunPart(big, r + 1, timeoutMs, ok);
    }
    RemoveTree(tree.src);
    RemoveTree(big.src);   // the 1 GiB file goes, whatever happened
    drv::DeleteUserKey(bench::kProductKey);

    printf("copy_bench:\n");
    for (Part* p : {&tree, &big}) {
        bench::Stats st[kSides];
        for (int side = 0; side < kSides; side++) {
            st[side] = bench::Summarize(p->times[side]);
            std::string row = std::string(kSideNames[side]) + ", " + p->name;
            bench::PrintRow(row.c_str(), st[side]);
        }
        printf("  %s: Copy command / SHFileOperationA median %.2fx (target <= 1.2), min %.2fx; "
               "/ SHFileOperationA with two watchers %.2fx; / CopyFileA loop %.2fx; / cp -r %.2fx\n",
               p->name, bench::Ratio(st[kPanorel].median, st[kShellOp].median),
               bench::Ratio(st[kPanorel].min, st[kShellOp].min),
               bench::Ratio(st[kPanorel].median, st[kShellOpWatched].median),
               bench::Ratio(st[kPanorel].median, st[kCopyLoop].median),
               bench::Ratio(st[kPanorel].median, st[kCp].median));
    }
    return ok ? 0 : 1;
}
