// The drive and network lists, menu texts of drives and the test of a remembered folder.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>
#include <string>
#include "driver/Driver.h"
#include "panels/Drives.h"
#include "util/StrUtil.h"

namespace {
using drv::TempFolder;

TEST(Drives, ImagesByDriveType)
{
    struct Case {
        UINT type;
        int image;
    } cases[] = {{DRIVE_REMOVABLE, 0}, {DRIVE_FIXED, 1},        {DRIVE_REMOTE, 2},
                 {DRIVE_CDROM, 3},     {DRIVE_RAMDISK, 4},      {DRIVE_UNKNOWN, -1},
                 {DRIVE_NO_ROOT_DIR, -1}, {7, -1}, {0xFFFFFFFF, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(c.image, DriveImageOf(c.type));
    }
}

TEST(Drives, DriveIndexOfPath)
{
    struct Case {
        const char* path;
        int index;
    } cases[] = {{"C:\\", 2},  {"c:", 2},     {"z:foo", 25}, {"A:\\x\\y", 0}, {"", -1},
                 {"C", -1},    {"\\\\server\\share", -1}, {"1:\\", -1}, {"::{20D04FE0}", -1},
                 {"[:\\", -1}, {"@:", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.index, DriveIndexOfPath(c.path));
    }
    EXPECT_EQ(-1, DriveIndexOfPath(nullptr));
}

TEST(Drives, EnumDrivesListsTheLogicalDrivesOfAKnownType)
{
    DriveList drives;
    ASSERT_TRUE(EnumDrives(drives, true));
    DWORD logical = GetLogicalDrives();
    int expected = 0;
    for (int i = 0; i < 26; i++) {
        char root[4] = {(char)('A' + i), ':', '\\', 0};
        if ((logical & (1u << i)) && DriveImageOf(GetDriveTypeA(root)) >= 0)
            expected++;
    }
    EXPECT_EQ(expected, (int)drives.size());
    EXPECT_GE(drives.size(), 1u);   // the system drive at least
    int last = -1;
    for (const std::unique_ptr<DriveInfo>& d : drives) {
        SCOPED_TRACE(d->index);
        char root[4] = {(char)('A' + d->index), ':', '\\', 0};
        EXPECT_TRUE(logical & (1u << d->index));
        EXPECT_EQ(GetDriveTypeA(root), d->type);
        EXPECT_GT(d->index, last);   // My Computer lists drives in letter order, each once
        last = d->index;
        char path[MAX_PATH] = "";
        EXPECT_TRUE(GetPathOf(d->abs, path, sizeof(path)));
        EXPECT_STREQ(root, path);
        EXPECT_EQ(1, d->rel.GetCount());
        EXPECT_NE(0, d->name[0]);
        // The absolute list is My Computer's followed by the relative one.
        PIDL computer;
        ASSERT_TRUE(computer.Attach(CSIDL_DRIVES));
        EXPECT_EQ(-2, computer.CompareAbs(d->abs));
    }
    // Without names the same drives, nameless.
    DriveList bare;
    ASSERT_TRUE(EnumDrives(bare, false));
    ASSERT_EQ(drives.size(), bare.size());
    for (size_t i = 0; i < bare.size(); i++) {
        EXPECT_EQ(drives[i]->index, bare[i]->index);
        EXPECT_EQ(0, bare[i]->name[0]);
    }
}

TEST(Drives, NetworkPlacesStayWithinTheLimit)
{
    NetPlaceList places;
    ASSERT_TRUE(EnumNetPlaces(places, 0));
    EXPECT_TRUE(places.empty());
    ASSERT_TRUE(EnumNetPlaces(places, 100));
    EXPECT_LE(places.size(), 100u);
    for (const std::unique_ptr<NetPlace>& p : places)
        EXPECT_GT(p->abs.GetCount(), 0);
    // Wine has no network provider: its neighbourhood lists nothing (Windows lists its places).
}

TEST(Drives, MenuTextMarksTheDriveLetterAndKeepsAmpersands)
{
    struct Case {
        const char* name;
        int drive;
        const char* text;
    } cases[] = {
        {" (C:)", 2, " (&C:)"},
        {"Local Disk (C:)", 2, "Local Disk (&C:)"},   // the upper-case letter wins over "Lo_cal"
        {"R&D (D:)", 3, "R&&&D (D:)"},                 // the name's own "&" doubled; first "D" marked
        {"Sales (S:)", 18, "&Sales (S:)"},
        {"backup", 1, "&backup"},                    // only a lower-case one: that one
        {"Data", 25, "Data"},                         // no letter: no mnemonic
        {"A&B", -1, "A&&B"},                          // no drive: ampersands only
        {"&&", -1, "&&&&"},
        {"", 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char out[64];
        EXPECT_EQ((int)strlen(c.text), MakeDriveMenuText(c.name, c.drive, out, sizeof(out)));
        EXPECT_STREQ(c.text, out);
    }
}

TEST(Drives, MenuTextRefusesBadArgumentsAndCutsToTheBuffer)
{
    char out[8] = "xxxxxxx";
    EXPECT_EQ(-1, MakeDriveMenuText(nullptr, 2, out, sizeof(out)));
    EXPECT_EQ(-1, MakeDriveMenuText(" (C:)", 2, nullptr, 8));
    EXPECT_EQ(-1, MakeDriveMenuText(" (C:)", 2, out, 0));
    EXPECT_EQ(-1, MakeDriveMenuText(" (C:)", 26, out, sizeof(out)));
    EXPECT_EQ(-1, MakeDriveMenuText(" (C:)", -2, out, sizeof(out)));
    EXPECT_STREQ("xxxxxxx", out);
    // Cut: never past the buffer, always terminated.
    char small[6];
    memset(small, 'y', sizeof(small));
    EXPECT_EQ(5, MakeDriveMenuText("Local Disk (C:)", 2, small, sizeof(small)));
    EXPECT_STREQ("Local", small);
    char one[1] = {'z'};
    EXPECT_EQ(0, MakeDriveMenuText(" (C:)", 2, one, 1));
    EXPECT_EQ(0, one[0]);
}

TEST(Drives, MenuTextSkipsTrailBytesOfDoubleByteCharacters)
{
    // In code page 932, 0x83 0x43 is one character whose trail byte is 'C'.
    InitMBCS(932);
    if (!IsLead(0x83)) {
        InitMBCS();
        GTEST_SKIP() << "code page 932 is not available";
    }
    char out[32];
    MakeDriveMenuText("\x83\x43 (C:)", 2, out, sizeof(out));
    std::string got = out;
    // A double-byte character is never split by the cut either.
    char cut[3];
    int n = MakeDriveMenuText("a\x83\x43", -1, cut, sizeof(cut));
    InitMBCS();
    EXPECT_EQ("\x83\x43 (&C:)", got);
    EXPECT_EQ(1, n);
    EXPECT_STREQ("a", cut);
}

TEST(Drives, ARememberedFolderIsUsableOnlyWhileItExistsAsAFolder)
{
    EXPECT_FALSE(IsUsableDriveFolder(nullptr));
    std::string folder = TempFolder("drives_usable");
    PIDL list;
    list.Attach(GetPidlOf(folder.c_str()));
    ASSERT_TRUE(list);
    EXPECT_TRUE(IsUsableDriveFolder(list));
    RemoveDirectoryA(folder.c_str());
    EXPECT_FALSE(IsUsableDriveFolder(list));   // vanished

    // A file is no folder to go to.
    std::string file = TempFolder("drives_usable_file") + "\\f.txt";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    PIDL fileList;
    fileList.Attach(GetPidlOf(file.c_str()));
    ASSERT_TRUE(fileList);
    EXPECT_FALSE(IsUsableDriveFolder(fileList));
    DeleteFileA(file.c_str());

    // The drive root itself is.
    PIDL root;
    root.Attach(GetPidlOf("C:\\"));
    ASSERT_TRUE(root);
    EXPECT_TRUE(IsUsableDriveFolder(root));
}

TEST(Drives, AFolderInsideTheNetworkShortcutsIsNotUsable)
{
    char nethood[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(NULL, CSIDL_NETHOOD | CSIDL_FLAG_CREATE, NULL, 0, nethood)) || !nethood[0])
        GTEST_SKIP() << "no network shortcuts folder";
    std::string inside = std::string(nethood) + "\\drives_place";
    CreateDirectoryA(inside.c_str(), NULL);
    PIDL list;
    list.Attach(GetPidlOf(inside.c_str()));
    ASSERT_TRUE(list);
    EXPECT_FALSE(IsUsableDriveFolder(list));
    RemoveDirectoryA(inside.c_str());
}

}  // namespace
