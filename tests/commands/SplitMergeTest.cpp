// Split and Merge in the real program: the dialog's preview, the segments on disk, the joined
// files byte for byte, the prompts, and the Unix split and cat as peers.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "driver/Driver.h"
#include "driver/SplitDriver.h"

namespace {
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kPolicyKey[] = "SOFTWARE\\Policies\\Corvane\\Panorel";
enum : UINT { ID_SPLIT = 39405, ID_MERGE = 39406 };
enum : int { IDC_SELECTION = 1060, IDC_SEL_LABEL = 1218, IDC_TO_FOLDER = 1054, IDC_RENAME_TO = 1050,
             IDC_DELETE_SOURCE = 1200, IDC_SEG_SIZE = 1212, IDC_SEG_INFO = 1224, IDC_PATH = 1202,
             IDC_YES_TO_ALL = 3601, IDC_NO_TO_ALL = 3602, IDC_PROGRESS_BAR = 7030 };

std::string Segment(const std::string& base, int n)
{
    char num[8];
    snprintf(num, sizeof(num), ".%03d", n);
    return base + num;
}

FILETIME Stamp(WORD year, WORD second)
{
    SYSTEMTIME st = {};
    st.wYear = year;
    st.wMonth = 3;
    st.wDay = 14;
    st.wHour = 10;
    st.wMinute = 20;
    st.wSecond = second;
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

bool SetWriteTime(const std::string& path, const FILETIME& ft)
{
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool ok = SetFileTime(h, NULL, NULL, &ft) != FALSE;
    CloseHandle(h);
    return ok;
}

FILETIME WriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA info = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info);
    return info.ftLastWriteTime;
}

// The file's size, or -1 when it cannot be seen.
long long SizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info))
        return -1;
    return (static_cast<long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

std::string Noise(size_t size, unsigned seed)
{
    std::string bytes(size, 0);
    unsigned x = seed | 1;
    for (char& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x);
    }
    return bytes;
}

class SplitMerge : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        base = std::string(temp) + "splitmerge_cmd";
        drv::RemoveTree(base);
        CreateDirectoryA(base.c_str(), NULL);
        a = base + "\\A";
        b = base + "\\B";
        c = base + "\\C";
        for (const std::string& f : {a, b, c})
            CreateDirectoryA(f.c_str(), NULL);
        CreateDirectoryA((a + "\\sub").c_str(), NULL);
        data = Noise(1000, 77);
        drv::WriteBytes(a + "\\data.txt", data);
        // A sibling that a loose pattern would catch.
        drv::WriteBytes(a + "\\data.txt.bak", "not a segment");
    }
    void TearDown() override
    {
        drv::DeleteUserKey(kPolicyKey);
        drv::DeleteUserKey(kProductKey);
        drv::RemoveTree(base);
    }
    HWND Start(drv::AppProcess& app, const std::string& args, size_t items)
    {
        EXPECT_TRUE(app.Start("panorel.exe", args));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelList(main, 0) && drv::PanelList(main, 1); }, 10000));
        EXPECT_TRUE(drv::WaitFor([&] { return drv::ListViewTexts(drv::PanelList(main, 0), false).size() >= items; }, 10000));
        return main;
    }
    HWND Open(drv::AppProcess& app, HWND main, UINT id, const std::vector<std::string>& names)
    {
        EXPECT_TRUE(drv::SelectListItems(drv::PanelList(main, 0), names));
        EXPECT_TRUE(app.PostCommand(id));
        return drv::WaitForDialogCaption(app.Pid(), id == ID_SPLIT ? "Split" : "Merge");
    }
    // Types a size as the user would: the text, then the box's change notification.
    static std::string SetSize(HWND dlg, const char* text)
    {
        HWND combo = GetDlgItem(dlg, IDC_SEG_SIZE);
        SendMessageA(combo, WM_SETTEXT, 0, (LPARAM)text);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_SEG_SIZE, CBN_EDITCHANGE), (LPARAM)combo);
        return drv::WindowText(GetDlgItem(dlg, IDC_SEG_INFO));
    }
    // The Split/Merge Path prompt (the progress dialog carries the same caption).
    static HWND PathDialog(drv::AppProcess& app, const char* caption, DWORD timeoutMs = 10000)
    {
        HWND found = NULL;
        drv::WaitFor(
            [&] {
                for (HWND w : drv::TopLevelWindows(app.Pid()))
                    if (drv::ClassName(w) == "#32770" && drv::WindowText(w) == caption && GetDlgItem(w, IDC_PATH))
                        return (found = w) != NULL;
                return false;
            },
            timeoutMs);
        return found;
    }
    // The progress dialog of a run (the one with the bar; the path prompt shares its caption).
    static HWND ProgressDialog(drv::AppProcess& app, const char* caption, DWORD timeoutMs = 10000)
    {
        HWND found = NULL;
        drv::WaitFor(
            [&] {
                for (HWND w : drv::TopLevelWindows(app.Pid()))
                    if (drv::ClassName(w) == "#32770" && drv::WindowText(w) == caption &&
                        GetDlgItem(w, IDC_PROGRESS_BAR))
                        return (found = w) != NULL;
                return false;
            },
            timeoutMs);
        return found;
    }
    // True when the program still answers a message.
    static bool StillAnswers(drv::AppProcess& app)
    {
        bool answered = false;
        app.Send(WM_NULL, 0, 0, 10000, &answered);
        return answered;
    }
    // Segment k (1-based) of a set cut from `whole` in pieces of `size` holds its bytes.
    static bool SegmentHolds(const std::string& base, const std::string& whole, size_t size, size_t k)
    {
        return whole.substr((k - 1) * size, size) == drv::ReadBytes(Segment(base, (int)k));
    }
    // Presses Cancel on the progress dialog once `growing` has bytes, with the program's copying
    // thread held still from just before the press until the dialog has gone: on a fast disk
    // tens of MiB are copied sooner than a press could land, so without the hold the press
    // would find the run over. `atPress` runs while the thread is held. True when the press
    // was taken (the dialog went).
    template <class F>
    static bool CancelMidCopy(drv::AppProcess& app, HWND main, const char* caption,
                              const std::string& growing, F atPress)
    {
        HWND progress = ProgressDialog(app, caption);
        EXPECT_TRUE(progress != NULL);
        if (!progress)
            return false;
        EXPECT_TRUE(drv::WaitFor([&] { return SizeOf(growing) > 0; }, 20000)) << growing;
        HANDLE worker = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(main, NULL));
        EXPECT_TRUE(worker != NULL);
        if (!worker)
            return false;
        bool held = SuspendThread(worker) != (DWORD)-1;
        EXPECT_TRUE(held);
        atPress();
        bool pressed = drv::PressButton(progress, IDCANCEL);
        // Closing may wait on the held thread (a message to the dialog's owner): then the
        // press is taken once the thread goes on.
        drv::WaitFor([&] { return !IsWindow(progress); }, 5000);
        if (held)
            ResumeThread(worker);
        CloseHandle(worker);
        return pressed && drv::WaitFor([&] { return !IsWindow(progress); }, 10000);
    }
    static bool OkEnabled(HWND dlg) { return IsWindowEnabled(GetDlgItem(dlg, IDOK)) != FALSE; }
    static bool Confirm(HWND dlg)
    {
        return drv::PressButton(dlg, IDOK) && drv::WaitFor([&] { return !IsWindow(dlg); }, 60000);
    }
    // A Yes/No-to-All box of the run whose text holds `text`, answered with the button.
    static bool Answer(drv::AppProcess& app, const char* text, int button)
    {
        HWND box = app.WaitForWindowWithText(text, 10000);
        return box && drv::PressButton(box, button);
    }

    std::string base, a, b, c, data;
};

TEST_F(SplitMerge, SplitsIntoNumberedSegmentsAndMergesThemBack)
{
    FILETIME when = Stamp(2021, 6);
    ASSERT_TRUE(SetWriteTime(a + "\\data.txt", when));
    SetFileAttributesA((a + "\\data.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    {
        drv::AppProcess app;
        HWND main = Start(app, a + "," + b, 3);
        ASSERT_TRUE(main);
        drv::ModalWatcher watcher(app.Pid());
        HWND dlg = Open(app, main, ID_SPLIT, {"data.txt"});
        ASSERT_TRUE(dlg);
        EXPECT_EQ("File:", drv::WindowText(GetDlgItem(dlg, IDC_SEL_LABEL)));
        EXPECT_EQ("data.txt", drv::WindowText(GetDlgItem(dlg, IDC_SELECTION)));
        EXPECT_EQ(b, drv::WindowText(GetDlgItem(dlg, IDC_TO_FOLDER)));
        // The destination has room: the file's own size is offered, which splits nothing.
        EXPECT_EQ("1000", drv::WindowText(GetDlgItem(dlg, IDC_SEG_SIZE)));
        EXPECT_EQ("1 segment", drv::WindowText(GetDlgItem(dlg, IDC_SEG_INFO)));
        EXPECT_FALSE(OkEnabled(dlg));
        EXPECT_EQ("4 segment(s) (Last segment: 100 bytes)", SetSize(dlg, "300"));
        EXPECT_TRUE(OkEnabled(dlg));
        RedrawWindow(dlg, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(500);   // let it paint before the picture
        EXPECT_FALSE(drv::Screenshot("split_dialog", dlg).empty());
        ASSERT_TRUE(Confirm(dlg));
        const size_t sizes[] = {300, 300, 300, 100};
        std::string joined;
        for (int k = 1; k <= 4; ++k) {
            std::string seg = Segment(b + "\\data.txt", k);
            std::string bytes = drv::ReadBytes(seg);
            EXPECT_EQ(sizes[k - 1], bytes.size()) << seg;
            joined += bytes;
            // Each segment carries its source's time stamp and attributes.
            EXPECT_TRUE(SameTime(when, WriteTime(seg))) << seg;
            EXPECT_TRUE(GetFileAttributesA(seg.c_str()) & FILE_ATTRIBUTE_READONLY) << seg;
        }
        EXPECT_FALSE(drv::Exists(Segment(b + "\\data.txt", 5)));
        EXPECT_EQ(data, joined);
        EXPECT_EQ(data, drv::ReadBytes(a + "\\data.txt"));   // the source stays
        EXPECT_EQ(300u, drv::GetUserDword(kRootKey, "SplitSize", 0));
        EXPECT_TRUE(watcher.Answered().empty());
        app.Close();
    }
    // The last segment's stamp differs: the joined file takes it.
    FILETIME later = Stamp(2022, 8);
    std::string last = Segment(b + "\\data.txt", 4);
    SetFileAttributesA(last.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(SetWriteTime(last, later));
    SetFileAttributesA(last.c_str(), FILE_ATTRIBUTE_READONLY);
    drv::AppProcess app;
    HWND main = Start(app, b + "," + c, 4);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    HWND dlg = Open(app, main, ID_MERGE, {"data.txt.001"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ("Segments of:", drv::WindowText(GetDlgItem(dlg, IDC_SEL_LABEL)));
    EXPECT_EQ("data.txt", drv::WindowText(GetDlgItem(dlg, IDC_SELECTION)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, IDC_SEG_SIZE)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, IDC_DELETE_SOURCE)));
    EXPECT_FALSE(drv::Screenshot("merge_dialog", dlg).empty());
    ASSERT_TRUE(Confirm(dlg));
    EXPECT_EQ(data, drv::ReadBytes(c + "\\data.txt"));
    EXPECT_TRUE(SameTime(later, WriteTime(c + "\\data.txt")));
    EXPECT_TRUE(GetFileAttributesA((c + "\\data.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(drv::Exists(Segment(b + "\\data.txt", 1)));   // segments stay unless asked
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
}

TEST_F(SplitMerge, UnixSplitAndCatAgreeWithUs)
{
    std::string ua = drv::UnixPathOf(a), ub = drv::UnixPathOf(b);
    ASSERT_FALSE(ua.empty());
    ASSERT_TRUE(drv::RunUnixShell("cd '" + ua + "' && split -b 300 --numeric-suffixes=1 -a 3 data.txt theirs.txt."));
    ASSERT_TRUE(drv::Exists(a + "\\theirs.txt.004"));
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b, 7);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    // Their segments merge back with us.
    HWND dlg = Open(app, main, ID_MERGE, {"theirs.txt.001"});
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(Confirm(dlg));
    EXPECT_EQ(data, drv::ReadBytes(b + "\\theirs.txt"));
    // Our segments join with cat.
    dlg = Open(app, main, ID_SPLIT, {"data.txt"});
    ASSERT_TRUE(dlg);
    SetSize(dlg, "300");
    ASSERT_TRUE(Confirm(dlg));
    ASSERT_TRUE(drv::RunUnixShell("cd '" + ub + "' && cat data.txt.001 data.txt.002 data.txt.003 data.txt.004 > joined.txt && cmp data.txt.001 '" +
                                  ua + "/theirs.txt.001' && cmp data.txt.004 '" + ua + "/theirs.txt.004'"));
    EXPECT_EQ(data, drv::ReadBytes(b + "\\joined.txt"));
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
}

TEST_F(SplitMerge, PreviewRefusesSizesThatCannotSplit)
{
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b, 3);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    HWND dlg = Open(app, main, ID_SPLIT, {"data.txt"});
    ASSERT_TRUE(dlg);
    struct Case {
        const char* size;
        const char* text;
        bool ok;
    } cases[] = {
        {"1000", "1 segment", false},
        {"500", "2 segment(s)", true},
        {"333", "4 segment(s) (Last segment: 1 bytes)", true},
        {"2", "500 segment(s)", true},
        {"1", "Cannot split", false},   // 1000 segments
        {"1001", "Cannot split", false},
        {"0", "Cannot split", false},
        {"-300", "Cannot split", false},
        {"99999999999", "Cannot split", false},
        {"4294967296", "Cannot split", false},
        {"abc", "Cannot split", false},
        {"30x", "Cannot split", false},
        {"", "Cannot split", false},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(t.size);
        EXPECT_EQ(t.text, SetSize(dlg, t.size));
        EXPECT_EQ(t.ok, OkEnabled(dlg));
    }
    // Enter while nothing can be split does nothing.
    SendMessageA(dlg, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(IsWindow(dlg));
    ASSERT_TRUE(drv::PressButton(dlg, IDCANCEL));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    // A folder cannot be split or merged.
    for (UINT id : {ID_SPLIT, ID_MERGE}) {
        dlg = Open(app, main, id, {"sub"});
        ASSERT_TRUE(dlg);
        EXPECT_EQ(id == ID_SPLIT ? "Cannot split a folder!" : "Cannot merge a folder!",
                  drv::WindowText(GetDlgItem(dlg, IDC_SELECTION)));
        EXPECT_EQ("Folder:", drv::WindowText(GetDlgItem(dlg, IDC_SEL_LABEL)));
        EXPECT_FALSE(OkEnabled(dlg));
        ASSERT_TRUE(drv::PressButton(dlg, IDCANCEL));
        ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    }
    EXPECT_EQ(0u, drv::ListViewTexts(drv::PanelList(main, 1), false).size());
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((b + "\\*.0*").c_str(), &fd);
    EXPECT_EQ(INVALID_HANDLE_VALUE, find);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
}

TEST_F(SplitMerge, TheRenameToMaskNamesTheSegments)
{
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b, 3);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    for (const char* mask : {"backup.*", "part.bin", "*.dat"}) {
        SCOPED_TRACE(mask);
        HWND dlg = Open(app, main, ID_SPLIT, {"data.txt"});
        ASSERT_TRUE(dlg);
        SetDlgItemTextA(dlg, IDC_RENAME_TO, mask);
        SetSize(dlg, "400");
        ASSERT_TRUE(Confirm(dlg));
    }
    std::string expect[] = {"backup.txt", "part.bin", "data.dat"};
    for (const std::string& name : expect) {
        SCOPED_TRACE(name);
        EXPECT_EQ(data.substr(0, 400), drv::ReadBytes(Segment(b + "\\" + name, 1)));
        EXPECT_EQ(data.substr(400, 400), drv::ReadBytes(Segment(b + "\\" + name, 2)));
        EXPECT_EQ(data.substr(800), drv::ReadBytes(Segment(b + "\\" + name, 3)));
        EXPECT_FALSE(drv::Exists(Segment(b + "\\" + name, 4)));
    }
    EXPECT_FALSE(drv::Exists(Segment(b + "\\data.txt", 1)));
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
}

TEST_F(SplitMerge, MergeAsksOnlyForAMissingFirstOrSecondSegment)
{
    std::string one = Noise(700, 1), two = Noise(500, 2), three = Noise(42, 3);
    drv::WriteBytes(a + "\\pair.txt.001", one);
    drv::WriteBytes(a + "\\pair.txt.002", two);
    drv::WriteBytes(a + "\\solo.txt.001", one);
    drv::WriteBytes(a + "\\mix.txt.001", one);
    drv::WriteBytes(a + "\\mix.txt.002", two);
    drv::WriteBytes(a + "\\MIX.TXT.003", three);
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b, 9);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    watcher.Allow("Merging the segment:");
    watcher.Allow("Overwrite it?");

    // Two segments: joined without a question.
    HWND dlg = Open(app, main, ID_MERGE, {"pair.txt.001"});
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(Confirm(dlg));
    EXPECT_EQ(one + two, drv::ReadBytes(b + "\\pair.txt"));

    // The second is missing: asked for, and Finish ends the set.
    dlg = Open(app, main, ID_MERGE, {"solo.txt.001"});
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    HWND ask = PathDialog(app, "Merging...");
    ASSERT_TRUE(ask);
    EXPECT_EQ(a + "\\solo.txt.002", drv::WindowText(GetDlgItem(ask, IDC_PATH)));
    EXPECT_EQ("&Finish", drv::WindowText(GetDlgItem(ask, IDCANCEL)));
    EXPECT_NE(std::string::npos, drv::AllTexts(ask).find("Merging the segment:"));
    EXPECT_FALSE(drv::Screenshot("merge_path_dialog", ask).empty());
    ASSERT_TRUE(drv::PressButton(ask, IDCANCEL));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    EXPECT_EQ(one, drv::ReadBytes(b + "\\solo.txt"));

    // Names of one set in mixed case: merged once (a second merge would ask to overwrite).
    dlg = Open(app, main, ID_MERGE, {"mix.txt.001", "mix.txt.002", "MIX.TXT.003"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ("3 objects", drv::WindowText(GetDlgItem(dlg, IDC_SELECTION)));
    ASSERT_TRUE(Confirm(dlg));
    EXPECT_EQ(one + two + three, drv::ReadBytes(b + "\\mix.txt"));
    EXPECT_TRUE(watcher.Answered().empty());

    // A set with a gap: the user is asked for segment 2 and points at a segment elsewhere;
    // the rest is looked for beside it.
    CreateDirectoryA((c + "\\disk2").c_str(), NULL);
    drv::WriteBytes(c + "\\disk2\\solo.txt.002", two);
    drv::WriteBytes(c + "\\disk2\\solo.txt.003", three);
    dlg = Open(app, main, ID_MERGE, {"solo.txt.001"});
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    HWND overwrite = app.WaitForWindowWithText("Overwrite it?", 10000);
    ASSERT_TRUE(overwrite);
    ASSERT_TRUE(drv::PressButton(overwrite, IDYES));
    ask = PathDialog(app, "Merging...");
    ASSERT_TRUE(ask);
    SetDlgItemTextA(ask, IDC_PATH, (c + "\\disk2\\solo.txt.002").c_str());
    ASSERT_TRUE(drv::PressButton(ask, IDOK));
    // Once asked, every later missing segment is asked for too.
    ASSERT_TRUE(drv::WaitFor([&] {
        HWND w = PathDialog(app, "Merging...", 100);
        return w && w != ask && drv::WindowText(GetDlgItem(w, IDC_PATH)) == c + "\\disk2\\solo.txt.004";
    }, 10000));
    ASSERT_TRUE(drv::PressButton(PathDialog(app, "Merging..."), IDCANCEL));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    EXPECT_EQ(one + two + three, drv::ReadBytes(b + "\\solo.txt"));
    app.Close();
}

TEST_F(SplitMerge, SourcesGoOnlyAfterTheWholeOutputIsWritten)
{
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b, 3);
    ASSERT_TRUE(main);
    HWND dlg = Open(app, main, ID_SPLIT, {"data.txt"});
    ASSERT_TRUE(dlg);
    CheckDlgButton(dlg, IDC_DELETE_SOURCE, BST_CHECKED);
    SetSize(dlg, "256");
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    HWND box = app.WaitForWindowWithText("The following file has been split:", 20000);
    ASSERT_TRUE(box);
    // Asked only once every segment is there.
    std::string joined;
    for (int k = 1; k <= 4; ++k)
        joined += drv::ReadBytes(Segment(b + "\\data.txt", k));
    EXPECT_EQ(data, joined);
    EXPECT_TRUE(drv::Exists(a + "\\data.txt"));
    EXPECT_FALSE(drv::Screenshot("split_delete_question", box).empty());
    ASSERT_TRUE(drv::PressButton(box, IDYES));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    EXPECT_FALSE(drv::Exists(a + "\\data.txt"));
    EXPECT_TRUE(drv::Exists(a + "\\data.txt.bak"));
    // Stored once the dialog has gone.
    EXPECT_TRUE(drv::WaitFor([&] { return (drv::GetUserDword(kRootKey, "Settings2", 0) & 0x80000u) != 0; }, 5000));

    // Merge back into A with the box remembered; Yes to All takes every segment after the
    // joined file is complete.
    app.Close();
    drv::AppProcess app2;
    main = Start(app2, b + "," + a, 4);
    ASSERT_TRUE(main);
    dlg = Open(app2, main, ID_MERGE, {"data.txt.002"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ(BST_CHECKED, (int)SendMessageA(GetDlgItem(dlg, IDC_DELETE_SOURCE), BM_GETCHECK, 0, 0));
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    box = app2.WaitForWindowWithText("The following segment has been merged:", 20000);
    ASSERT_TRUE(box);
    EXPECT_EQ(data, drv::ReadBytes(a + "\\data.txt"));
    ASSERT_TRUE(drv::PressButton(box, IDC_YES_TO_ALL));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    for (int k = 1; k <= 4; ++k)
        EXPECT_FALSE(drv::Exists(Segment(b + "\\data.txt", k))) << k;
    EXPECT_EQ(data, drv::ReadBytes(a + "\\data.txt"));
    app2.Close();
}

TEST_F(SplitMerge, OverwriteQuestionNoKeepsTheSourceAndTheOldSegments)
{
    drv::WriteBytes(Segment(b + "\\data.txt", 1), "old one");
    drv::WriteBytes(Segment(b + "\\data.txt", 2), "old two");
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b, 3);
    ASSERT_TRUE(main);
    HWND dlg = Open(app, main, ID_SPLIT, {"data.txt"});
    ASSERT_TRUE(dlg);
    CheckDlgButton(dlg, IDC_DELETE_SOURCE, BST_CHECKED);
    SetSize(dlg, "600");
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    ASSERT_TRUE(Answer(app, "Destination file already exists:", IDNO));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    EXPECT_EQ("old one", drv::ReadBytes(Segment(b + "\\data.txt", 1)));
    EXPECT_EQ("old two", drv::ReadBytes(Segment(b + "\\data.txt", 2)));
    EXPECT_EQ(data, drv::ReadBytes(a + "\\data.txt"));   // never deleted for a skipped split
    app.Close();
}

TEST_F(SplitMerge, YesToAllReplacesAnOlderLongerSetWhole)
{
    // An older set of six segments, and one beyond a gap that is not of the set.
    std::vector<std::string> old;
    for (int k = 1; k <= 6; ++k) {
        old.push_back(Noise(450 + k, 100 + k));
        drv::WriteBytes(Segment(b + "\\data.txt", k), old.back());
    }
    drv::WriteBytes(Segment(b + "\\data.txt", 8), "past a gap");
    {
        drv::AppProcess app;
        HWND main = Start(app, a + "," + b, 3);
        ASSERT_TRUE(main);
        drv::ModalWatcher watcher(app.Pid());
        HWND dlg = Open(app, main, ID_SPLIT, {"data.txt"});
        ASSERT_TRUE(dlg);
        EXPECT_EQ("4 segment(s) (Last segment: 100 bytes)", SetSize(dlg, "300"));
        ASSERT_TRUE(drv::PressButton(dlg, IDOK));
        HWND box = app.WaitForWindowWithText("Destination file already exists:", 10000);
        ASSERT_TRUE(box);
        EXPECT_NE(std::string::npos, drv::AllTexts(box).find(Segment(b + "\\data.txt", 1)));
        EXPECT_EQ("Yes to &All", drv::WindowText(GetDlgItem(box, IDC_YES_TO_ALL)));
        ASSERT_TRUE(drv::PressButton(box, IDC_YES_TO_ALL));
        ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 20000));
        const size_t sizes[] = {300, 300, 300, 100};
        for (int k = 1; k <= 4; ++k) {
            std::string bytes = drv::ReadBytes(Segment(b + "\\data.txt", k));
            EXPECT_EQ(sizes[k - 1], bytes.size()) << k;
            EXPECT_EQ(data.substr((k - 1) * 300, 300), bytes) << k;
        }
        // The rest of the old set went; what lies past its end stays.
        EXPECT_FALSE(drv::Exists(Segment(b + "\\data.txt", 5)));
        EXPECT_FALSE(drv::Exists(Segment(b + "\\data.txt", 6)));
        EXPECT_EQ("past a gap", drv::ReadBytes(Segment(b + "\\data.txt", 8)));
        EXPECT_EQ(data, drv::ReadBytes(a + "\\data.txt"));
        // One question for the whole set: any other would have been answered by the watcher.
        EXPECT_TRUE(watcher.Answered().empty());
        app.Close();
    }
    // The new set merges back byte for byte, ending where it should.
    drv::AppProcess app;
    HWND main = Start(app, b + "," + c, 5);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    HWND dlg = Open(app, main, ID_MERGE, {"data.txt.001"});
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(Confirm(dlg));
    EXPECT_EQ(data, drv::ReadBytes(c + "\\data.txt"));
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
}

TEST_F(SplitMerge, NoToAllSkipsEverySourceAndChangesNothing)
{
    std::string other = Noise(900, 8);
    drv::WriteBytes(a + "\\data2.txt", other);
    drv::WriteBytes(Segment(b + "\\data.txt", 1), "old one");
    drv::WriteBytes(Segment(b + "\\data.txt", 2), "old two");
    drv::WriteBytes(Segment(b + "\\data2.txt", 1), "other old one");
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b, 4);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    HWND dlg = Open(app, main, ID_SPLIT, {"data.txt", "data2.txt"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ("2 objects", drv::WindowText(GetDlgItem(dlg, IDC_SELECTION)));
    CheckDlgButton(dlg, IDC_DELETE_SOURCE, BST_CHECKED);
    SetSize(dlg, "300");
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    HWND box = app.WaitForWindowWithText("Destination file already exists:", 10000);
    ASSERT_TRUE(box);
    EXPECT_EQ("N&o to All", drv::WindowText(GetDlgItem(box, IDC_NO_TO_ALL)));
    ASSERT_TRUE(drv::PressButton(box, IDC_NO_TO_ALL));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 20000));
    // Neither source asked again, split or deleted; no segment made or changed.
    EXPECT_TRUE(watcher.Answered().empty());
    EXPECT_EQ(data, drv::ReadBytes(a + "\\data.txt"));
    EXPECT_EQ(other, drv::ReadBytes(a + "\\data2.txt"));
    EXPECT_EQ("old one", drv::ReadBytes(Segment(b + "\\data.txt", 1)));
    EXPECT_EQ("old two", drv::ReadBytes(Segment(b + "\\data.txt", 2)));
    EXPECT_EQ("other old one", drv::ReadBytes(Segment(b + "\\data2.txt", 1)));
    EXPECT_FALSE(drv::Exists(Segment(b + "\\data.txt", 3)));
    EXPECT_FALSE(drv::Exists(Segment(b + "\\data2.txt", 2)));
    app.Close();
}

TEST_F(SplitMerge, CancelDuringSplitKeepsTheSourceAndTheWholeSegments)
{
    const size_t kSeg = 4 << 20, kCount = 16;
    std::string big = Noise(kSeg * kCount, 31);
    ASSERT_TRUE(drv::WriteBytes(a + "\\big.bin", big));
    FILETIME when = Stamp(2020, 4);
    ASSERT_TRUE(SetWriteTime(a + "\\big.bin", when));
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b, 4);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    HWND dlg = Open(app, main, ID_SPLIT, {"big.bin"});
    ASSERT_TRUE(dlg);
    CheckDlgButton(dlg, IDC_DELETE_SOURCE, BST_CHECKED);
    EXPECT_EQ("16 segment(s)", SetSize(dlg, "4194304"));
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    // Segments finished when Cancel is pressed.
    size_t whole = 0;
    ASSERT_TRUE(CancelMidCopy(app, main, "Splitting...", Segment(b + "\\big.bin", 1), [&] {
        while (whole < kCount && SizeOf(Segment(b + "\\big.bin", (int)whole + 2)) >= 0)
            ++whole;
    }));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 30000));
    ASSERT_LT(whole, kCount);

    // The run ended early: what was whole stays, byte for byte; a cut segment does not stay
    // to pass for a whole one; nothing past it was made.
    size_t kept = 0;
    while (kept < kCount && drv::Exists(Segment(b + "\\big.bin", (int)kept + 1)))
        ++kept;
    EXPECT_GE(kept, whole);
    EXPECT_LT(kept, kCount);
    for (size_t k = 1; k <= kept; ++k)
        EXPECT_TRUE(SegmentHolds(b + "\\big.bin", big, kSeg, k)) << k;
    for (size_t k = kept + 1; k <= kCount; ++k)
        EXPECT_FALSE(drv::Exists(Segment(b + "\\big.bin", (int)k))) << k;
    // The source is untouched and, though the box was checked, not deleted nor asked about.
    EXPECT_TRUE(big == drv::ReadBytes(a + "\\big.bin"));
    EXPECT_TRUE(SameTime(when, WriteTime(a + "\\big.bin")));
    EXPECT_TRUE(watcher.Answered().empty());

    // The program still answers and splits again.
    EXPECT_TRUE(StillAnswers(app));
    dlg = Open(app, main, ID_SPLIT, {"data.txt"});
    ASSERT_TRUE(dlg);
    CheckDlgButton(dlg, IDC_DELETE_SOURCE, BST_UNCHECKED);
    SetSize(dlg, "300");
    ASSERT_TRUE(Confirm(dlg));
    std::string joined;
    for (int k = 1; k <= 4; ++k)
        joined += drv::ReadBytes(Segment(b + "\\data.txt", k));
    EXPECT_EQ(data, joined);
    EXPECT_TRUE(watcher.Answered().empty());
    EXPECT_TRUE(app.Close());
}

TEST_F(SplitMerge, CancelDuringMergeKeepsEverySegment)
{
    const size_t kSeg = 4 << 20, kCount = 16;
    std::string big = Noise(kSeg * kCount, 37);
    for (size_t k = 1; k <= kCount; ++k)
        ASSERT_TRUE(drv::WriteBytes(Segment(b + "\\big.bin", (int)k), big.substr((k - 1) * kSeg, kSeg)));
    drv::AppProcess app;
    HWND main = Start(app, b + "," + c, kCount);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    HWND dlg = Open(app, main, ID_MERGE, {"big.bin.001"});
    ASSERT_TRUE(dlg);
    CheckDlgButton(dlg, IDC_DELETE_SOURCE, BST_CHECKED);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    long long atPress = 0;
    ASSERT_TRUE(CancelMidCopy(app, main, "Merging...", c + "\\big.bin", [&] { atPress = SizeOf(c + "\\big.bin"); }));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 30000));
    EXPECT_GT(atPress, 0);
    EXPECT_LT(atPress, (long long)big.size());

    // Every segment stays as it was, though the box was checked; no question was asked; the
    // cut target does not stay to pass for the whole file.
    for (size_t k = 1; k <= kCount; ++k)
        EXPECT_TRUE(SegmentHolds(b + "\\big.bin", big, kSeg, k)) << k;
    EXPECT_FALSE(drv::Exists(c + "\\big.bin"));
    EXPECT_TRUE(watcher.Answered().empty());

    // The program still answers, and the same set merges whole.
    EXPECT_TRUE(StillAnswers(app));
    dlg = Open(app, main, ID_MERGE, {"big.bin.001"});
    ASSERT_TRUE(dlg);
    CheckDlgButton(dlg, IDC_DELETE_SOURCE, BST_UNCHECKED);
    ASSERT_TRUE(Confirm(dlg));
    EXPECT_TRUE(big == drv::ReadBytes(c + "\\big.bin"));
    EXPECT_TRUE(drv::Exists(Segment(b + "\\big.bin", 1)));
    EXPECT_TRUE(watcher.Answered().empty());
    EXPECT_TRUE(app.Close());
}

TEST_F(SplitMerge, NamesInAnyScriptFoldersAsSegmentsAndRelativeDestinations)
{
    // Names the 8-bit code pages cannot hold, beside siblings a wrong pattern would catch.
    const std::string name = "данные 日本 😀.bin";
    std::string bytes = Noise(1000, 5);
    drv::WriteBytes(a + "\\" + name, bytes);
    drv::WriteBytes(a + "\\данные 日本 xx.bin", "sibling");
    drv::WriteBytes(b + "\\данные 日本 xx.bin.001", "sibling segment");
    // A folder where segment 2 should be.
    drv::WriteBytes(a + "\\fold.txt.001", "first");
    CreateDirectoryA((a + "\\fold.txt.002").c_str(), NULL);
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b, 7);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    watcher.Allow("Merging the segment:");

    HWND dlg = Open(app, main, ID_SPLIT, {name});
    ASSERT_TRUE(dlg);
    EXPECT_EQ(name, drv::WindowText(GetDlgItem(dlg, IDC_SELECTION)));
    EXPECT_EQ("3 segment(s) (Last segment: 200 bytes)", SetSize(dlg, "400"));
    ASSERT_TRUE(Confirm(dlg));
    EXPECT_EQ(bytes.substr(0, 400), drv::ReadBytes(Segment(b + "\\" + name, 1)));
    EXPECT_EQ(bytes.substr(800), drv::ReadBytes(Segment(b + "\\" + name, 3)));
    EXPECT_EQ("sibling segment", drv::ReadBytes(b + "\\данные 日本 xx.bin.001"));

    // A To folder relative to the From folder: a folder inside the source's own.
    dlg = Open(app, main, ID_SPLIT, {name});
    ASSERT_TRUE(dlg);
    SetDlgItemTextA(dlg, IDC_TO_FOLDER, "sub");
    SetSize(dlg, "600");
    ASSERT_TRUE(Confirm(dlg));
    EXPECT_EQ(bytes.substr(0, 600), drv::ReadBytes(Segment(a + "\\sub\\" + name, 1)));
    EXPECT_EQ(bytes.substr(600), drv::ReadBytes(Segment(a + "\\sub\\" + name, 2)));

    // A folder in the set counts as a missing segment: asked for, and Finish keeps the first.
    dlg = Open(app, main, ID_MERGE, {"fold.txt.001"});
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    HWND ask = PathDialog(app, "Merging...");
    ASSERT_TRUE(ask);
    EXPECT_EQ(a + "\\fold.txt.002", drv::WindowText(GetDlgItem(ask, IDC_PATH)));
    ASSERT_TRUE(drv::PressButton(ask, IDCANCEL));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    EXPECT_EQ("first", drv::ReadBytes(b + "\\fold.txt"));
    app.Close();

    // Their segments of that name merge back, the sibling's set untouched.
    drv::AppProcess app2;
    main = Start(app2, b + "," + c, 4);
    ASSERT_TRUE(main);
    dlg = Open(app2, main, ID_MERGE, {Segment(name, 2)});
    ASSERT_TRUE(dlg);
    EXPECT_EQ(name, drv::WindowText(GetDlgItem(dlg, IDC_SELECTION)));
    ASSERT_TRUE(Confirm(dlg));
    EXPECT_EQ(bytes, drv::ReadBytes(c + "\\" + name));
    EXPECT_FALSE(drv::Exists(c + "\\данные 日本 xx.bin"));
    app2.Close();
}

// A small tmpfs mounted as drive R: stands for a full diskette. Needs root for the mount.
class SplitMergeRoom : public SplitMerge {
protected:
    void SetUp() override
    {
        SplitMerge::SetUp();
        unixMount = drv::UnixPathOf(base) + "/small";
        const char* prefix = getenv("WINEPREFIX");
        if (!prefix || unixMount.size() < 8)
            return;
        dosLink = std::string(prefix) + "/dosdevices/r:";
        mounted = drv::RunUnixShell("mkdir -p '" + unixMount + "' && mount -t tmpfs -o size=100k tmpfs '" +
                                    unixMount + "' && ln -sfn '" + unixMount + "' '" + dosLink + "'");
        mounted = mounted && drv::WaitFor([] { return GetFileAttributesA("R:\\") != INVALID_FILE_ATTRIBUTES; }, 5000);
    }
    void TearDown() override
    {
        if (!dosLink.empty())
            drv::RunUnixShell("rm -f '" + dosLink + "'; umount '" + unixMount + "' 2>/dev/null; rmdir '" + unixMount + "'");
        SplitMerge::TearDown();
    }
    std::string unixMount, dosLink;
    bool mounted = false;
};

TEST_F(SplitMergeRoom, TooLittleRoomAsksForAnotherFolderAndCancelKeepsTheSource)
{
    if (!mounted)
        GTEST_SKIP() << "no size-limited drive (mounting a tmpfs needs root)";
    ULARGE_INTEGER free = {};
    ASSERT_TRUE(GetDiskFreeSpaceExA("R:\\", &free, NULL, NULL));
    ASSERT_LT(free.QuadPart, 200000u);
    std::string big = Noise(110 * 1024, 9);
    drv::WriteBytes(a + "\\big.bin", big);   // 100 KiB of room: two 40 KiB segments fit, the 30 KiB third not
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b, 4);
    ASSERT_TRUE(main);
    // First run: the third segment goes elsewhere.
    HWND dlg = Open(app, main, ID_SPLIT, {"big.bin"});
    ASSERT_TRUE(dlg);
    SetDlgItemTextA(dlg, IDC_TO_FOLDER, "R:\\");
    SetSize(dlg, "40960");
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    HWND ask = PathDialog(app, "Splitting...");
    ASSERT_TRUE(ask);
    EXPECT_EQ("R:\\big.bin.003", drv::WindowText(GetDlgItem(ask, IDC_PATH)));
    EXPECT_NE(std::string::npos, drv::AllTexts(ask).find("There is not enough free space to create the segment:"));
    EXPECT_FALSE(drv::Screenshot("split_no_room", ask).empty());
    SetDlgItemTextA(ask, IDC_PATH, (c + "\\big.bin.003").c_str());
    ASSERT_TRUE(drv::PressButton(ask, IDOK));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 20000));
    EXPECT_EQ(big.substr(0, 40960), drv::ReadBytes("R:\\big.bin.001"));
    EXPECT_EQ(big.substr(40960, 40960), drv::ReadBytes("R:\\big.bin.002"));
    EXPECT_EQ(big.substr(81920), drv::ReadBytes(c + "\\big.bin.003"));
    EXPECT_FALSE(drv::Exists("R:\\big.bin.003"));

    // Second run into a fresh R: with the delete box: Cancel ends the source; what was
    // written stays, and the source is not deleted.
    DeleteFileA("R:\\big.bin.001");
    DeleteFileA("R:\\big.bin.002");
    dlg = Open(app, main, ID_SPLIT, {"big.bin"});
    ASSERT_TRUE(dlg);
    SetDlgItemTextA(dlg, IDC_TO_FOLDER, "R:\\");
    CheckDlgButton(dlg, IDC_DELETE_SOURCE, BST_CHECKED);
    SetSize(dlg, "40960");
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    ask = PathDialog(app, "Splitting...");
    ASSERT_TRUE(ask);
    ASSERT_TRUE(drv::PressButton(ask, IDCANCEL));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 20000));
    EXPECT_TRUE(drv::Exists("R:\\big.bin.001"));
    EXPECT_TRUE(drv::Exists("R:\\big.bin.002"));
    EXPECT_EQ(big, drv::ReadBytes(a + "\\big.bin"));
    app.Close();
}

}  // namespace
