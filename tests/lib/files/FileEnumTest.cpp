#include "FileFixture.h"
#include <algorithm>
#include <string.h>
#include "files/FileEnum.h"
#include "files/VmFile.h"

using filetest::Exists;

namespace {
class FileEnumTest : public filetest::TempFolder {
protected:
    std::vector<std::string> Names(const char* folder, const char* mask, DWORD flags = 0)
    {
        std::vector<std::string> names;
        FileEnum e(flags);
        for (bool ok = e.Start(folder, mask); ok; ok = e.Next())
            names.push_back(e.Name());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// An enumerator whose volume kind and current time a test chooses.
class TimedEnum : public FileEnum {
public:
    TimedEnum(int fs, const FILETIME& time)
    {
        m_fat = fs;
        m_data.ftLastWriteTime = time;
    }
};

FILETIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms = 0)
{
    SYSTEMTIME st = {year, month, 0, day, hour, minute, second, ms};
    FILETIME ft = {0, 0};
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

typedef std::vector<std::string> Names_t;
}  // namespace

TEST_F(FileEnumTest, EmptyFolderHasNoEntriesButDotsOnRequest)
{
    FileEnum e;
    EXPECT_FALSE(e.Start(m_dir.c_str(), nullptr));   // only "." and ".." exist
    EXPECT_FALSE(e.IsOpen());
    EXPECT_EQ(Names_t({".", ".."}), Names(m_dir.c_str(), nullptr, FileEnum::ReportDots));
}

TEST_F(FileEnumTest, MasksPickEntriesOfAFolder)
{
    Make("a.txt");
    Make("b.TXT");
    Make("c.log");
    MakeDir("sub.txt");
    MakeDir("other");
    struct Row {
        const char* mask;
        Names_t names;
    } rows[] = {
        {nullptr, {"a.txt", "b.TXT", "c.log", "other", "sub.txt"}},
        {"*.*", {"a.txt", "b.TXT", "c.log", "other", "sub.txt"}},
        {"*.txt", {"a.txt", "b.TXT", "sub.txt"}},
        {"?.log", {"c.log"}},
        {"none*", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mask ? row.mask : "(null)");
        EXPECT_EQ(row.names, Names(m_dir.c_str(), row.mask));
    }
    // A folder given with a final backslash works the same.
    EXPECT_EQ(Names_t({"c.log"}), Names((m_dir + "\\").c_str(), "*.log"));
}

TEST_F(FileEnumTest, PathThatIsNoFolderIsThePattern)
{
    std::string file = Make("only.dat", "12345");
    Make("second.dat");
    FileEnum e;
    ASSERT_TRUE(e.Start(file.c_str(), "*.txt"));   // the mask is not used
    EXPECT_STREQ("only.dat", e.Name());
    EXPECT_FALSE(e.IsFolder());
    EXPECT_EQ(5u, e.SizeLow());
    EXPECT_FALSE(e.Next());
    EXPECT_FALSE(e.IsOpen());
    EXPECT_FALSE(e.Next());   // stays at the end
    EXPECT_EQ(Names_t({"only.dat", "second.dat"}), Names(P("*.dat").c_str(), nullptr));
    EXPECT_FALSE(e.Start(P("missing.dat").c_str(), nullptr));
    EXPECT_FALSE(e.Start(P("nofolder\\*.*").c_str(), nullptr));
}

TEST_F(FileEnumTest, EntryFieldsAttributesSizesAndTimes)
{
    std::string hidden = Make("h.bin", std::string(3000, 'h'));
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    FILETIME when = Time(2010, 3, 4, 5, 6, 8);
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
    VmFile::SetTime(hidden.c_str(), nullptr, nullptr, &when);
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    MakeDir("d");

    FileEnum e;
    ASSERT_TRUE(e.Start(m_dir.c_str(), "h.bin"));
    EXPECT_TRUE(e.Attr() & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(e.Attr() & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(e.IsFolder());
    EXPECT_EQ(0u, e.SizeHigh());
    EXPECT_EQ(3000u, e.SizeLow());
    LARGE_INTEGER size;
    ULARGE_INTEGER usize;
    e.SizeHigh() = 2;   // the halves are assembled, whatever they hold
    e.GetSize(size);
    e.GetSize(usize);
    EXPECT_EQ(0x200000000ll + 3000, size.QuadPart);
    EXPECT_EQ(0x200000000ull + 3000, usize.QuadPart);
    EXPECT_EQ(0, CompareFileTime(&when, &e.LastWrite()));
    EXPECT_NE(0u, e.LastAccess().dwLowDateTime | e.LastAccess().dwHighDateTime);
    EXPECT_NE(0u, e.Creation().dwLowDateTime | e.Creation().dwHighDateTime);
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);

    ASSERT_TRUE(e.Start(m_dir.c_str(), "d"));
    EXPECT_TRUE(e.IsFolder());
    EXPECT_STREQ("d", e.Name());
}

TEST_F(FileEnumTest, FileSystemOfTheFolder)
{
    Make("x");
    FileEnum e;
    EXPECT_EQ(FileEnum::FsUnknown, e.GetFileSystem());
    ASSERT_TRUE(e.Start(m_dir.c_str(), nullptr));
    char fs[64] = "";
    char root[4] = {m_dir[0], ':', '\\', 0};
    ASSERT_TRUE(GetVolumeInformationA(root, NULL, 0, NULL, NULL, NULL, fs, sizeof(fs)));
    EXPECT_EQ(strstr(fs, "FAT") ? FileEnum::FsFat : FileEnum::FsOther, e.GetFileSystem()) << fs;

    // A relative pattern names no volume: the kind stays unknown.
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof(cwd), cwd);
    SetCurrentDirectoryA(m_dir.c_str());
    FileEnum rel;
    EXPECT_TRUE(rel.Start("x", nullptr));
    SetCurrentDirectoryA(cwd);
    EXPECT_EQ(FileEnum::FsUnknown, rel.GetFileSystem());
}

TEST_F(FileEnumTest, LastWriteComparisonAllowsForTheTwoSecondsOfFat)
{
    // The FAT side holds an even second, as FAT stores it; the other side moves around it.
    const FILETIME fat = Time(2004, 6, 1, 12, 0, 10);
    struct Row {
        const char* name;
        FILETIME other;
        int acrossKinds;   // FAT against NTFS
        int sameKind;      // NTFS against NTFS: no allowance
    } rows[] = {
        {"same time", Time(2004, 6, 1, 12, 0, 10), 0, 0},
        {"0.5 s later", Time(2004, 6, 1, 12, 0, 10, 500), 0, -1},
        {"1 s later", Time(2004, 6, 1, 12, 0, 11), 0, -1},
        {"1.999 s later", Time(2004, 6, 1, 12, 0, 11, 999), 0, -1},
        {"2 s later", Time(2004, 6, 1, 12, 0, 12), -1, -1},
        {"3 s later", Time(2004, 6, 1, 12, 0, 13), -1, -1},
        {"1 ms earlier", Time(2004, 6, 1, 12, 0, 9, 999), 1, 1},
        {"1 s earlier", Time(2004, 6, 1, 12, 0, 9), 1, 1},
        {"a day later", Time(2004, 6, 2, 12, 0, 10), -1, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TimedEnum onFat(FileEnum::FsFat, fat), onNtfs(FileEnum::FsOther, row.other);
        EXPECT_EQ(row.acrossKinds, onFat.CompareLastWrite(onNtfs));
        // Seen from the other side the result turns round.
        EXPECT_EQ(-row.acrossKinds, onNtfs.CompareLastWrite(onFat));
        // An unknown volume is treated as FAT.
        TimedEnum unknown(FileEnum::FsUnknown, fat);
        EXPECT_EQ(row.acrossKinds, unknown.CompareLastWriteUTC(onNtfs));
        TimedEnum ntfsA(FileEnum::FsOther, fat), ntfsB(FileEnum::FsOther, row.other);
        EXPECT_EQ(row.sameKind, ntfsA.CompareLastWrite(ntfsB));
        TimedEnum fatA(FileEnum::FsFat, fat), fatB(FileEnum::FsFat, row.other);
        EXPECT_EQ(row.sameKind, fatA.CompareLastWrite(fatB));
    }
    // Outside the DOS years the times are compared as they are.
    TimedEnum old(FileEnum::FsFat, Time(1975, 1, 1, 0, 0, 0)),
        oldNtfs(FileEnum::FsOther, Time(1975, 1, 1, 0, 0, 1));
    EXPECT_EQ(-1, old.CompareLastWrite(oldNtfs));
}

TEST_F(FileEnumTest, LastWriteComparisonOnRealFiles)
{
    std::string a = Make("a"), b = Make("b");
    FILETIME ta = Time(2020, 2, 2, 2, 2, 2), tb = Time(2020, 2, 2, 2, 2, 3);
    VmFile::SetTime(a.c_str(), nullptr, nullptr, &ta);
    VmFile::SetTime(b.c_str(), nullptr, nullptr, &tb);
    FileEnum ea, eb;
    ASSERT_TRUE(ea.Start(a.c_str(), nullptr));
    ASSERT_TRUE(eb.Start(b.c_str(), nullptr));
    ASSERT_EQ(ea.GetFileSystem(), eb.GetFileSystem());   // one volume: exact comparison
    EXPECT_EQ(-1, ea.CompareLastWrite(eb));
    EXPECT_EQ(1, eb.CompareLastWrite(ea));
    EXPECT_EQ(0, ea.CompareLastWrite(ea));
}

namespace {
struct Walk {
    std::vector<std::string> seen;
    std::string stopAt;   // the callback answers 0 for this name
};

int Record(const char* folder, const WIN32_FIND_DATAA* data, void* context)
{
    Walk* walk = static_cast<Walk*>(context);
    std::string folderName = strrchr(folder, '\\') + 1;
    walk->seen.push_back(folderName + "/" + data->cFileName);
    return walk->stopAt != data->cFileName;
}
}  // namespace

TEST_F(FileEnumTest, TreeWalkOrdersAndFlags)
{
    // top/{f1, d1/{g1, d2/{h1}}}
    std::string top = MakeDir("top");
    Make("top\\f1");
    MakeDir("top\\d1");
    Make("top\\d1\\g1");
    MakeDir("top\\d1\\d2");
    Make("top\\d1\\d2\\h1");
    auto sorted = [](std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    auto index = [](const std::vector<std::string>& v, const std::string& s) {
        return std::find(v.begin(), v.end(), s) - v.begin();
    };

    Walk pre;
    ForEachFileObject(FEFO_PRE | FEFO_RECURSE, top.c_str(), nullptr, Record, &pre);
    EXPECT_EQ(sorted({"top/f1", "top/d1", "d1/g1", "d1/d2", "d2/h1"}), sorted(pre.seen));
    EXPECT_LT(index(pre.seen, "top/d1"), index(pre.seen, "d1/g1"));   // folder before contents
    EXPECT_LT(index(pre.seen, "d1/d2"), index(pre.seen, "d2/h1"));

    Walk post;
    ForEachFileObject(FEFO_POST | FEFO_RECURSE, top.c_str(), nullptr, Record, &post);
    EXPECT_EQ(5u, post.seen.size());
    EXPECT_GT(index(post.seen, "top/d1"), index(post.seen, "d1/g1"));   // after its contents

    Walk flat;
    ForEachFileObject(FEFO_PRE, top.c_str(), nullptr, Record, &flat);
    EXPECT_EQ(sorted({"top/f1", "top/d1"}), sorted(flat.seen));

    Walk files;
    ForEachFileObject(FEFO_PRE | FEFO_FILESONLY | FEFO_RECURSE, top.c_str(), nullptr, Record,
                      &files);
    EXPECT_EQ(sorted({"top/f1", "d1/g1", "d2/h1"}), sorted(files.seen));

    // The mask applies at every level: "d*" descends into d1 and d2 but reports no files.
    Walk masked;
    ForEachFileObject(FEFO_PRE | FEFO_RECURSE, top.c_str(), "d*", Record, &masked);
    EXPECT_EQ(sorted({"top/d1", "d1/d2"}), sorted(masked.seen));

    // Dots on request, never descended into (that would never end).
    Walk dots;
    ForEachFileObject(FEFO_PRE | FEFO_RECURSE | FEFO_DOTS, top.c_str(), nullptr, Record, &dots);
    EXPECT_EQ(5u + 3 * 2, dots.seen.size());
    EXPECT_NE(dots.seen.size(), index(dots.seen, "d2/.."));

    Walk none;
    ForEachFileObject(FEFO_PRE | FEFO_RECURSE, top.c_str(), nullptr, nullptr, &none);
    ForEachFileObject(FEFO_PRE, P("missing").c_str(), nullptr, Record, &none);
    EXPECT_TRUE(none.seen.empty());
}

TEST_F(FileEnumTest, FalseFromTheCallbackEndsOnlyThatFolder)
{
    std::string top = MakeDir("top");
    MakeDir("top\\a");
    for (const char* n : {"top\\a\\1", "top\\a\\2", "top\\a\\3", "top\\z1", "top\\z2"})
        Make(n);
    Walk walk;
    walk.stopAt = "1";
    ForEachFileObject(FEFO_PRE | FEFO_RECURSE, top.c_str(), nullptr, Record, &walk);
    // The walk of "a" ends at "1": it is the last entry of "a" reported, whatever the order.
    std::string lastInA;
    for (const std::string& s : walk.seen)
        if (s.compare(0, 2, "a/") == 0)
            lastInA = s;
    EXPECT_EQ("a/1", lastInA);
    // The parent goes on: z1 and z2 are both reported.
    EXPECT_NE(walk.seen.end(), std::find(walk.seen.begin(), walk.seen.end(), "top/z1"));
    EXPECT_NE(walk.seen.end(), std::find(walk.seen.begin(), walk.seen.end(), "top/z2"));
}

TEST_F(FileEnumTest, TreeWalkDeletesFiles)
{
    std::string top = MakeDir("top");
    Make("top\\f1");
    MakeDir("top\\d1");
    Make("top\\d1\\g1");
    Walk walk;
    ForEachFileObject(FEFO_DELETE | FEFO_POST | FEFO_RECURSE, top.c_str(), nullptr, Record,
                      &walk);
    EXPECT_FALSE(Exists(P("top\\f1")));
    EXPECT_FALSE(Exists(P("top\\d1\\g1")));
    EXPECT_TRUE(Exists(P("top\\d1")));   // folders are not files: they stay
    // Deleting without a callback works too.
    Make("top\\f2");
    ForEachFileObject(FEFO_DELETE, top.c_str(), "*", nullptr, nullptr);
    EXPECT_FALSE(Exists(P("top\\f2")));
}

TEST_F(FileEnumTest, VolumeRootsOfPaths)
{
    struct Row {
        const char* path;
        bool ok;
        const char* root;
    } rows[] = {
        {"C:\\windows\\system32", true, "C:\\"},
        {"d:", true, "d:\\"},
        {"\\\\server\\share\\dir\\file", true, "\\\\server\\share\\"},
        {"//server/share/dir", true, "//server/share\\"},
        {"\\\\server\\share", true, "\\\\server\\share\\"},
        {"\\\\server", true, "\\\\server\\"},
        {"relative\\path", false, ""},
        {"\\rooted", false, ""},
        {"", false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        char root[MAX_PATH] = "junk";
        EXPECT_EQ(row.ok, GetVolumeRoot(row.path, root, sizeof(root)));
        EXPECT_STREQ(row.root, root);
    }
    char root[MAX_PATH];
    EXPECT_FALSE(GetVolumeRoot(nullptr, root));
    EXPECT_FALSE(GetVolumeRoot("C:\\x", nullptr));
    // Too small a buffer or too long a share name is refused, never written past.
    struct {
        char buf[3];
        char guard[8];
    } small;
    memset(&small, 0x7E, sizeof(small));
    EXPECT_FALSE(GetVolumeRoot("C:\\x", small.buf, sizeof(small.buf)));
    for (char c : small.guard)
        EXPECT_EQ(0x7E, c);
    std::string longShare = "\\\\server\\" + std::string(400, 's') + "\\dir";
    EXPECT_FALSE(GetVolumeRoot(longShare.c_str(), root));
}

TEST_F(FileEnumTest, FreeSpaceOfVolumes)
{
    DWORD total = 0;
    DWORD freeKB = GetDiskFreeKB("C:\\", &total);
    EXPECT_GT(freeKB, 0u);
    EXPECT_GE(total, freeKB);
    DWORD total2 = 0;
    DWORD byNumber = GetDiskFreeKB(2, &total2);
    EXPECT_NEAR(static_cast<double>(freeKB), static_cast<double>(byNumber), 1024.0 * 64);
    EXPECT_EQ(total, total2);
    EXPECT_EQ(0u, GetDiskFreeKB(-1, &total2));
    EXPECT_EQ(0u, total2);
    EXPECT_EQ(0u, GetDiskFreeKB(26));
    EXPECT_EQ(0u, GetDiskFreeKB(static_cast<const char*>(nullptr)));
    EXPECT_EQ(0u, GetDiskFreeKB("Q:\\nonexistent\\"));

    DWORD bytes = GetFreeBytes(m_dir.c_str());
    EXPECT_GT(bytes, 0u);
    ULONGLONG expected = static_cast<ULONGLONG>(GetDiskFreeKB("C:\\")) * 1024;
    if (expected > 0xFFFFFFFFull) {
        EXPECT_EQ(0xFFFFFFFFu, bytes);   // more than 32 bits hold
    } else {
        EXPECT_NEAR(static_cast<double>(expected), static_cast<double>(bytes), 64.0 * 1024 * 1024);
    }
    EXPECT_EQ(0u, GetFreeBytes(""));
    EXPECT_EQ(0u, GetFreeBytes(nullptr));
    EXPECT_EQ(0u, GetFreeBytes("relative\\dir"));
    EXPECT_EQ(0u, GetFreeBytes("\\\\noserver\\noshare\\x"));   // Wine: no UNC volumes here
}

TEST_F(FileEnumTest, DaylightGuardChangesNothingOutsideSummerTime)
{
    TIME_ZONE_INFORMATION before, during, after;
    DWORD id = GetTimeZoneInformation(&before);
    {
        DisableDayLightSavings guard;
        EXPECT_EQ(id == TIME_ZONE_ID_DAYLIGHT, guard.IsActive());
        GetTimeZoneInformation(&during);
        if (!guard.IsActive()) {
            EXPECT_EQ(0, memcmp(&before, &during, sizeof(before)));
        } else {
            EXPECT_EQ(0, during.DaylightBias);
        }
    }
    GetTimeZoneInformation(&after);
    EXPECT_EQ(0, memcmp(&before, &after, sizeof(before)));
}

TEST_F(FileEnumTest, BadAndOverlongInputIsRefused)
{
    FileEnum e;
    EXPECT_FALSE(e.Start(nullptr, nullptr));
    EXPECT_FALSE(e.Start("", "*"));
    // A folder near the limit plus a mask does not fit MAX_PATH: refused, not cut (a cut
    // pattern would name other files).
    std::string deep = m_dir;
    while (deep.size() < 230) {
        deep += "\\" + std::string(std::min<size_t>(20, 240 - deep.size()), 'd');
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL)) << deep;
    }
    std::string inner = deep + "\\x.txt";
    filetest::WriteAll(inner, "x");
    ASSERT_TRUE(Exists(inner));
    EXPECT_TRUE(e.Start(deep.c_str(), "x.txt"));
    std::string longMask(300 - deep.size(), '*');
    EXPECT_FALSE(e.Start(deep.c_str(), longMask.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), GetLastError());
    std::string longPattern = deep + "\\" + std::string(100, 'p');
    EXPECT_FALSE(e.Start(longPattern.c_str(), nullptr));
    std::string huge(5000, 'h');
    EXPECT_FALSE(e.Start(huge.c_str(), nullptr));
    Walk walk;
    ForEachFileObject(FEFO_PRE | FEFO_RECURSE, huge.c_str(), nullptr, Record, &walk);
    ForEachFileObject(FEFO_PRE, deep.c_str(), longMask.c_str(), Record, &walk);
    ForEachFileObject(FEFO_PRE, nullptr, nullptr, Record, &walk);
    EXPECT_TRUE(walk.seen.empty());
    // The walk reaches the deep file; entries whose path would pass MAX_PATH are skipped.
    ForEachFileObject(FEFO_PRE | FEFO_RECURSE | FEFO_FILESONLY, m_dir.c_str(), nullptr, Record,
                      &walk);
    EXPECT_EQ(Names_t({std::string(strrchr(deep.c_str(), '\\') + 1) + "/x.txt"}), walk.seen);
}
