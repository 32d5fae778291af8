// Stamp in the real program under three locales (set as the user's overrides before it
// starts): the hints, the checks, the times written and the objects below folders.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>
#include "driver/Driver.h"
#include "driver/SelectDriver.h"

namespace {
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const char kIntlKey[] = "Control Panel\\International";
const UINT ID_STAMP = 39407;
enum : int {
    IDC_SELECTION = 1060, IDC_FOLDER = 1047, IDC_SUBFOLDERS = 1236, IDC_DATE = 1229,
    IDC_DATE_HINT = 1230, IDC_TIME = 1231, IDC_TIME_HINT = 1232, IDC_CREATED = 1233,
    IDC_ACCESSED = 1234, IDC_MODIFIED = 1235
};
const char* const kIntlValues[] = {"iDate", "sDate", "iTime", "sTime", "s1159", "s2359", "iTimePrefix",
                                   "sShortDate", "sTimeFormat"};

// Wine keeps no creation time of its own: it reads back as the last write.
bool OnWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

struct Times {
    FILETIME created, accessed, written;
};

Times TimesOf(const std::string& path)
{
    Times t = {};
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    GetFileTime(h, &t.created, &t.accessed, &t.written);
    CloseHandle(h);
    return t;
}

void SetTimes(const std::string& path, const SYSTEMTIME& utc)
{
    FILETIME c, a, w;
    SystemTimeToFileTime(&utc, &w);
    ULARGE_INTEGER u;
    u.LowPart = w.dwLowDateTime, u.HighPart = w.dwHighDateTime;
    u.QuadPart -= 864000000000ull * 40;   // accessed 40 days before the write
    a.dwLowDateTime = u.LowPart, a.dwHighDateTime = u.HighPart;
    u.QuadPart -= 864000000000ull * 40;
    c.dwLowDateTime = u.LowPart, c.dwHighDateTime = u.HighPart;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    SetFileTime(h, &c, &a, &w);
    CloseHandle(h);
}

SYSTEMTIME Local(const FILETIME& utc)
{
    FILETIME local;
    SYSTEMTIME st;
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &st);
    return st;
}

std::string Text(const SYSTEMTIME& st)
{
    char buf[64];
    snprintf(buf, sizeof(buf), "%04d-%02d-%02d %02d:%02d:%02d", st.wYear, st.wMonth, st.wDay,
             st.wHour, st.wMinute, st.wSecond);
    return buf;
}

// The run goes on after the dialog closed: the last write time is waited for.
bool WrittenBecomes(const std::string& path, const std::string& text)
{
    return drv::WaitFor([&] { return Text(Local(TimesOf(path).written)) == text; }, 10000);
}

bool Same(const FILETIME& a, const FILETIME& b)
{
    return CompareFileTime(&a, &b) == 0;
}

class Stamp : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        for (const char* name : kIntlValues) {
            if (drv::UserValueExists(kIntlKey, name))
                saved[name] = drv::GetUserString(kIntlKey, name);
        }
        base = drv::TempFolder("stamp_cmd");
        drv::RemoveTree(base);
        CreateDirectoryA(base.c_str(), NULL);
        other = drv::TempFolder("stamp_cmd_other");
        SYSTEMTIME start = {2010, 6, 0, 15, 8, 9, 10, 0};
        for (const char* name : {"日本語.txt", "Кириллица.doc", "😀.txt", "plain.txt"}) {
            drv::WriteBytes(base + "\\" + name, name);
            SetTimes(base + "\\" + name, start);
        }
        for (const char* folder : {"\\tree", "\\tree\\deep", "\\tree\\deep\\deeper"})
            CreateDirectoryA((base + folder).c_str(), NULL);
        for (const char* file : {"\\tree\\a.txt", "\\tree\\deep\\b.txt", "\\tree\\deep\\deeper\\c.txt"}) {
            drv::WriteBytes(base + file, file);
            SetTimes(base + file, start);
        }
        for (const char* folder : {"\\tree", "\\tree\\deep", "\\tree\\deep\\deeper"})
            SetTimes(base + folder, start);
    }
    void TearDown() override
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kIntlKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            for (const char* name : kIntlValues) {
                auto it = saved.find(name);
                if (it == saved.end())
                    RegDeleteValueA(key, name);
                else
                    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)it->second.c_str(),
                                   (DWORD)it->second.size() + 1);
            }
            RegCloseKey(key);
        }
        drv::DeleteUserKey(kProductKey);
        drv::RemoveTree(base);
        drv::RemoveTree(other);
    }
    void SetLocale(const char* iDate, const char* sDate, const char* iTime, const char* prefix,
                   const char* am, const char* pm, const char* shortDate, const char* timeFormat)
    {
        drv::SetUserString(kIntlKey, "iDate", iDate);
        drv::SetUserString(kIntlKey, "sDate", sDate);
        drv::SetUserString(kIntlKey, "iTime", iTime);
        drv::SetUserString(kIntlKey, "sTime", ":");
        drv::SetUserString(kIntlKey, "iTimePrefix", prefix);
        drv::SetUserString(kIntlKey, "s1159", am);
        drv::SetUserString(kIntlKey, "s2359", pm);
        drv::SetUserString(kIntlKey, "sShortDate", shortDate);
        drv::SetUserString(kIntlKey, "sTimeFormat", timeFormat);
    }
    HWND Start(drv::AppProcess& app)
    {
        EXPECT_TRUE(app.Start("panorel.exe", base + "," + other));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelList(main, 0) && drv::ItemCount(drv::PanelList(main, 0)) >= 5; }, 15000));
        return main;
    }
    // Opens Stamp on the named objects with the texts and time kinds.
    HWND Open(drv::AppProcess& app, HWND main, const std::vector<std::string>& names)
    {
        EXPECT_TRUE(drv::SelectNames(drv::PanelList(main, 0), names));
        EXPECT_TRUE(app.PostCommand(ID_STAMP));
        return drv::WaitForDialog(app.Pid(), "Stamp");
    }
    void Fill(HWND dlg, const char* date, const char* time, bool c, bool a, bool m, bool sub = false)
    {
        drv::SetItemText(dlg, IDC_DATE, date);
        drv::SetItemText(dlg, IDC_TIME, time);
        SendMessageA(GetDlgItem(dlg, IDC_CREATED), BM_SETCHECK, c, 0);
        SendMessageA(GetDlgItem(dlg, IDC_ACCESSED), BM_SETCHECK, a, 0);
        SendMessageA(GetDlgItem(dlg, IDC_MODIFIED), BM_SETCHECK, m, 0);
        SendMessageA(GetDlgItem(dlg, IDC_SUBFOLDERS), BM_SETCHECK, sub, 0);
    }
    // OK, then waits until the run is over (the UI thread answers again and no progress shows).
    void Run(drv::AppProcess& app, HWND dlg)
    {
        ASSERT_TRUE(drv::PressButton(dlg, IDOK));
        EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
        app.Send(WM_NULL, 0, 0, 30000);
        EXPECT_TRUE(drv::WaitFor([&] { return !drv::WaitForDialog(app.Pid(), "Stamping...", 0); }, 10000));
    }
    // OK on invalid input: the message names the word, the dialog stays.
    void Refused(drv::AppProcess& app, HWND dlg, const char* date, const char* time, const char* word)
    {
        SCOPED_TRACE(std::string(date) + " | " + time);
        Fill(dlg, date, time, false, false, true);
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);
        std::string text;
        EXPECT_TRUE(drv::AnswerBox(app.Pid(), (std::string("The ") + word + " you have entered is invalid").c_str(),
                                   IDOK, &text))
            << text;
        EXPECT_TRUE(IsWindow(dlg));
    }
    std::map<std::string, std::string> saved;
    std::string base, other;
};

TEST_F(Stamp, MonthDayYearWithTheDesignatorAfter)
{
    SetLocale("0", "/", "0", "0", "AM", "PM", "M/d/yyyy", "h:mm:ss tt");
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    Times before = TimesOf(base + "\\日本語.txt");
    HWND dlg = Open(app, main, {"日本語.txt", "Кириллица.doc"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ("MM/DD/YYYY", drv::ItemText(dlg, IDC_DATE_HINT));
    EXPECT_EQ("hh:mm:ss AM|PM", drv::ItemText(dlg, IDC_TIME_HINT));
    EXPECT_EQ("2 objects", drv::ItemText(dlg, IDC_SELECTION));
    EXPECT_EQ("Selection:", drv::ItemText(dlg, 1218));
    EXPECT_EQ(base, drv::ItemText(dlg, IDC_FOLDER));
    EXPECT_FALSE(drv::Screenshot("stamp_dialog", dlg).empty());

    // Bad input is refused in the dialog, whatever its form.
    Refused(app, dlg, "99/99/99", "", "month");
    Refused(app, dlg, "1/2", "", "date");
    Refused(app, dlg, "1/32/2003", "", "day");
    Refused(app, dlg, "", "7:05:09", "time");
    Refused(app, dlg, "", "noon", "time");
    Refused(app, dlg, "", "25:00:00 PM", "hour");
    Refused(app, dlg, "", "10:60:00 AM", "minute");
    Refused(app, dlg, "", "10:00:60 AM", "second");
    EXPECT_TRUE(Same(before.written, TimesOf(base + "\\日本語.txt").written));

    // Only the last write: the other times are written back as they were.
    Fill(dlg, "3/4/2005", "7:05:09 pm", false, false, true);
    Run(app, dlg);
    for (const char* name : {"日本語.txt", "Кириллица.doc"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(WrittenBecomes(base + "\\" + name, "2005-03-04 19:05:09"));
        Times after = TimesOf(base + "\\" + name);
        EXPECT_TRUE(Same(before.accessed, after.accessed)) << Text(Local(after.accessed));
        if (!OnWine()) {   // Wine: the creation time reads as the last write
            EXPECT_TRUE(Same(before.created, after.created)) << Text(Local(after.created));
        }
    }
    // The object not selected is untouched.
    EXPECT_TRUE(Same(before.written, TimesOf(base + "\\plain.txt").written));
    DWORD s2 = drv::GetUserDword(kRootKey, "Settings2", 0);
    EXPECT_EQ(0x800000u, s2 & 0xF00000);
    EXPECT_TRUE(drv::UserValueExists(kRootKey, "StampDateMRU"));
    EXPECT_TRUE(drv::UserValueExists(kRootKey, "StampTimeMRU"));

    // 30 February passes the dialog and fails on every object; nothing is written.
    Times mid = TimesOf(base + "\\日本語.txt");
    dlg = Open(app, main, {"日本語.txt", "Кириллица.doc"});
    ASSERT_TRUE(dlg);
    Fill(dlg, "2/30/2003", "", false, false, true);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    std::string texts;
    for (int i = 0; i < 2; ++i) {
        std::string text;
        EXPECT_TRUE(drv::AnswerBox(app.Pid(), "Cannot stamp", IDOK, &text)) << i;
        texts += text;
    }
    for (const char* name : {"日本語.txt", "Кириллица.doc"})
        EXPECT_NE(std::string::npos, texts.find(name)) << texts;
    EXPECT_FALSE(drv::AnswerBox(app.Pid(), "Cannot stamp", IDOK, nullptr, 800));
    EXPECT_TRUE(Same(mid.written, TimesOf(base + "\\日本語.txt").written));

    // "//" names month 0: the same, and Cancel stops after the first.
    dlg = Open(app, main, {"日本語.txt", "Кириллица.doc"});
    ASSERT_TRUE(dlg);
    Fill(dlg, "//", "", false, false, true);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    EXPECT_TRUE(drv::AnswerBox(app.Pid(), "Cannot stamp", IDCANCEL));
    EXPECT_FALSE(drv::AnswerBox(app.Pid(), "Cannot stamp", IDOK, nullptr, 800));

    // Midnight and noon; a time alone keeps each object's date.
    dlg = Open(app, main, {"plain.txt"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ("plain.txt", drv::ItemText(dlg, IDC_SELECTION));
    EXPECT_EQ("File:", drv::ItemText(dlg, 1218));
    Fill(dlg, "", "12:30:00 AM", false, true, true);
    Run(app, dlg);
    EXPECT_TRUE(WrittenBecomes(base + "\\plain.txt", "2010-06-15 00:30:00"));
    Times plain = TimesOf(base + "\\plain.txt");
    EXPECT_EQ(" 00:30:00", Text(Local(plain.accessed)).substr(10));
    dlg = Open(app, main, {"plain.txt"});
    ASSERT_TRUE(dlg);
    Fill(dlg, "", "12:00:00 PM", false, false, true);
    Run(app, dlg);
    EXPECT_TRUE(WrittenBecomes(base + "\\plain.txt", "2010-06-15 12:00:00"));
    app.Close();
}

TEST_F(Stamp, DayMonthYearTwentyFourHoursAndAWholeTree)
{
    SetLocale("1", ".", "1", "0", "", "", "dd.MM.yyyy", "HH:mm:ss");
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    HWND dlg = Open(app, main, {"😀.txt"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ("DD.MM.YYYY", drv::ItemText(dlg, IDC_DATE_HINT));
    EXPECT_EQ("HH:mm:ss", drv::ItemText(dlg, IDC_TIME_HINT));
    // A date alone changes only the day of each chosen time.
    Fill(dlg, "1.2.03", "", true, true, true);
    Run(app, dlg);
    EXPECT_TRUE(WrittenBecomes(base + "\\😀.txt", "2003-02-01 08:09:10"));
    Times t = TimesOf(base + "\\😀.txt");
    EXPECT_EQ("2003-02-01", Text(Local(t.accessed)).substr(0, 10));
    if (!OnWine()) {   // Wine: the creation time reads as the last write
        EXPECT_EQ("2003-02-01", Text(Local(t.created)).substr(0, 10));
    }

    dlg = Open(app, main, {"😀.txt"});
    ASSERT_TRUE(dlg);
    Fill(dlg, "1.2.85", "23:59:58", false, false, true);
    Run(app, dlg);
    EXPECT_TRUE(WrittenBecomes(base + "\\😀.txt", "1985-02-01 23:59:58"));

    // A folder with its subfolders: every object below it, folders included.
    dlg = Open(app, main, {"tree"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ("Folder:", drv::ItemText(dlg, 1218));
    Fill(dlg, "24.12.2012", "18:30:00", false, false, true, true);
    Run(app, dlg);
    for (const char* rel : {"\\tree", "\\tree\\a.txt", "\\tree\\deep", "\\tree\\deep\\b.txt",
                            "\\tree\\deep\\deeper", "\\tree\\deep\\deeper\\c.txt"}) {
        SCOPED_TRACE(rel);
        EXPECT_TRUE(WrittenBecomes(base + rel, "2012-12-24 18:30:00"));
    }
    // Without the box only the folder itself.
    dlg = Open(app, main, {"tree"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ(BST_CHECKED, (int)SendMessageA(GetDlgItem(dlg, IDC_SUBFOLDERS), BM_GETCHECK, 0, 0));
    Fill(dlg, "25.12.2012", "", false, false, true, false);
    Run(app, dlg);
    EXPECT_TRUE(WrittenBecomes(base + "\\tree", "2012-12-25 18:30:00"));
    EXPECT_TRUE(WrittenBecomes(base + "\\tree\\a.txt", "2012-12-24 18:30:00"));
    app.Close();
}

TEST_F(Stamp, YearMonthDayWithTheDesignatorBefore)
{
    SetLocale("2", "-", "0", "1", "vm.", "nm.", "yyyy-MM-dd", "tt h:mm:ss");
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    HWND dlg = Open(app, main, {"plain.txt", "Кириллица.doc", "😀.txt"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ("YYYY-MM-DD", drv::ItemText(dlg, IDC_DATE_HINT));
    EXPECT_EQ("vm.|nm. hh:mm:ss", drv::ItemText(dlg, IDC_TIME_HINT));
    EXPECT_EQ("3 objects", drv::ItemText(dlg, IDC_SELECTION));
    Refused(app, dlg, "", "7:05:09", "time");
    Refused(app, dlg, "2004/05/06", "", "date");
    Fill(dlg, "2004-05-06", "NM. 7:05:09", false, false, true);
    Run(app, dlg);
    for (const char* name : {"plain.txt", "Кириллица.doc", "😀.txt"})
        EXPECT_TRUE(WrittenBecomes(base + "\\" + name, "2004-05-06 19:05:09")) << name;
    EXPECT_TRUE(WrittenBecomes(base + "\\日本語.txt", "2010-06-15 08:09:10"));
    app.Close();
}

// The progress control of the status bar's progress pane, found by its identifier.
HWND StatusProgress(HWND main)
{
    HWND status = drv::MainStatusBar(main);
    return status ? GetDlgItem(status, 1009) : NULL;
}

// With the progress pane on, the status bar's bar follows the operation's own and empties at
// its end. A date that fails on every object holds the run at each object with a question.
TEST_F(Stamp, TheStatusBarProgressPaneFollowsTheRun)
{
    SetLocale("0", "/", "0", "0", "AM", "PM", "M/d/yyyy", "h:mm:ss tt");
    drv::SetUserDword(kRootKey, "Settings", 0x4C081860 | 0x2000);
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    HWND bar = StatusProgress(main);
    ASSERT_TRUE(bar);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(0, (int)SendMessageA(bar, PBM_GETPOS, 0, 0));

    HWND dlg = Open(app, main, {"日本語.txt", "Кириллица.doc", "😀.txt"});
    ASSERT_TRUE(dlg);
    Fill(dlg, "2/30/2003", "", false, false, true);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(app.WaitForWindowWithText("Cannot stamp"));
        // Objects 1..3: the bar stands at the object being done.
        EXPECT_EQ(1, (int)SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
        EXPECT_EQ(3, (int)SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
        EXPECT_EQ(1 + i, (int)SendMessageA(bar, PBM_GETPOS, 0, 0));
        if (i == 1)
            EXPECT_FALSE(drv::Screenshot("status_progress_pane", main).empty());
        EXPECT_TRUE(drv::AnswerBox(app.Pid(), "Cannot stamp", IDOK));
    }
    EXPECT_TRUE(drv::WaitFor([&] { return SendMessageA(bar, PBM_GETPOS, 0, 0) == 0; }, 5000));
    EXPECT_EQ(0, (int)SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
    app.Close();
}

}  // namespace
