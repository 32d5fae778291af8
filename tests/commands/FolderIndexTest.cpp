// The folder index Compare and Synchronize read each folder into: what it finds and what it
// refuses, and the time rule they apply across volume kinds.
#include <windows.h>
#include <gtest/gtest.h>
#include "commands/FolderIndex.h"
#include "driver/Driver.h"
#include "files/FileEnum.h"

namespace {

FILETIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms = 0)
{
    SYSTEMTIME st = {year, month, 0, day, hour, minute, second, ms};
    FILETIME ft = {0, 0};
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

class FolderIndexTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = drv::TempFolder("folder_index_test");
        drv::RemoveTree(m_dir);
        CreateDirectoryA(m_dir.c_str(), NULL);
    }
    void TearDown() override { drv::RemoveTree(m_dir); }
    std::string m_dir;
};

}  // namespace

TEST_F(FolderIndexTest, FindsEachEntryByAnyCaseOfItsNameAndNothingElse)
{
    const char* names[] = {"ReadMe.TXT", "Файл.txt", "Ärger.doc", "日本.txt", "😀.txt", "ab.txt", "Sub"};
    for (const char* n : names) {
        std::string path = m_dir + "\\" + n;
        if (!strcmp(n, "Sub"))
            ASSERT_TRUE(CreateDirectoryA(path.c_str(), NULL));
        else
            ASSERT_TRUE(drv::MakeFile(path)) << n;
    }
    FolderIndex index;
    ASSERT_TRUE(index.Load(m_dir.c_str()));
    EXPECT_EQ(sizeof(names) / sizeof(names[0]), index.Count());   // no "." or ".."
    EXPECT_EQ(FileEnum::FsOther, index.FileSystem());
    struct Row {
        const char* asked;
        const char* found;   // null: nothing
    } rows[] = {
        {"readme.txt", "ReadMe.TXT"}, {"README.TXT", "ReadMe.TXT"}, {"фАЙЛ.TXT", "Файл.txt"},
        {"äRGER.DOC", "Ärger.doc"},   {"日本.TXT", "日本.txt"},       {"😀.TXT", "😀.txt"},
        {"sub", "Sub"},               {"ab.txt", "ab.txt"},
        // Neither patterns nor near names find anything.
        {"??.txt", nullptr}, {"*.txt", nullptr}, {"Файл", nullptr}, {"readme.txt ", nullptr},
        {"Arger.doc", nullptr}, {"", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.asked);
        const WIN32_FIND_DATAA* e = index.Find(row.asked);
        if (!row.found) {
            EXPECT_EQ(nullptr, e);
            continue;
        }
        ASSERT_NE(nullptr, e);
        EXPECT_STREQ(row.found, e->cFileName);
    }
    const WIN32_FIND_DATAA* sub = index.Find("SUB");
    ASSERT_NE(nullptr, sub);
    EXPECT_TRUE(sub->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(FolderIndexTest, WhatIsNoFolderHasNoEntries)
{
    ASSERT_TRUE(drv::MakeFile(m_dir + "\\a.txt"));
    ASSERT_TRUE(drv::MakeFile(m_dir + "\\b.txt"));
    CreateDirectoryA((m_dir + "\\inner").c_str(), NULL);
    ASSERT_TRUE(drv::MakeFile(m_dir + "\\inner\\c.txt"));
    FolderIndex index;
    // A file, a missing folder and paths that only a pattern would match: never the parent's
    // entries or anyone else's.
    for (std::string path : {m_dir + "\\a.txt", m_dir + "\\missing", m_dir + "\\*", m_dir + "\\inn?r",
                             m_dir + "\\*.txt", std::string()}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(index.Load(path.c_str()));
        EXPECT_EQ(0u, index.Count());
        EXPECT_EQ(nullptr, index.Find("a.txt"));
        EXPECT_EQ(nullptr, index.Find("c.txt"));
    }
    // Loading again after a refusal reads the folder afresh.
    ASSERT_TRUE(index.Load((m_dir + "\\inner").c_str()));
    EXPECT_EQ(1u, index.Count());
    EXPECT_NE(nullptr, index.Find("C.TXT"));
    EXPECT_EQ(nullptr, index.Find("a.txt"));
}

TEST_F(FolderIndexTest, PairReaderGivesEachSideItsOwnFolderAndAnswer)
{
    // Two folders of different sizes, so that the two reads end at different times, and a
    // third that is missing.
    const std::string a = m_dir + "\\Левая", b = m_dir + "\\右", missing = m_dir + "\\missing";
    ASSERT_TRUE(CreateDirectoryA(a.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA(b.c_str(), NULL));
    char name[32];
    for (int i = 0; i < 300; ++i) {
        snprintf(name, sizeof(name), "\\a%03d.txt", i);
        ASSERT_TRUE(drv::MakeFile(a + name));
    }
    ASSERT_TRUE(drv::MakeFile(b + "\\😀 only.txt"));
    FolderPairReader reader;
    // The same reader again and again, the sides turned round and one side missing: every
    // answer belongs to its own side, and nothing is left over from the pair before.
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        const std::string folders[3][2] = {{a, b}, {b, a}, {missing, a}};
        const std::string* pair = folders[round % 3];
        FolderIndex index[2];
        bool read[2] = {false, false};
        reader.Load(index, pair, read);
        for (int side = 0; side < 2; ++side) {
            const std::string& f = pair[side];
            EXPECT_EQ(f != missing, read[side]);
            EXPECT_EQ(f == a ? 300u : f == b ? 1u : 0u, index[side].Count());
            EXPECT_EQ(f == a, index[side].Find("A299.TXT") != nullptr);
            EXPECT_EQ(f == b, index[side].Find("😀 ONLY.TXT") != nullptr);
        }
    }
}

TEST(CompareLastWriteOn, AllowsForFatResolutionOnlyAcrossVolumeKinds)
{
    // The FAT side holds an even second, as FAT stores it; the other side moves around it.
    const FILETIME fat = Time(2004, 6, 1, 12, 0, 10);
    struct Row {
        const char* name;
        FILETIME other;
        int acrossKinds;   // FAT (or an unknown kind) against another file system
        int sameKind;      // no allowance
    } rows[] = {
        {"same time", Time(2004, 6, 1, 12, 0, 10), 0, 0},
        {"0.5 s later", Time(2004, 6, 1, 12, 0, 10, 500), 0, -1},
        {"1.999 s later", Time(2004, 6, 1, 12, 0, 11, 999), 0, -1},
        {"2 s later", Time(2004, 6, 1, 12, 0, 12), -1, -1},
        {"1 ms earlier", Time(2004, 6, 1, 12, 0, 9, 999), 1, 1},
        {"a day later", Time(2004, 6, 2, 12, 0, 10), -1, -1},
    };
    const int Fat = FileEnum::FsFat, Other = FileEnum::FsOther, Unknown = FileEnum::FsUnknown;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.acrossKinds, CompareLastWriteOn(fat, Fat, row.other, Other));
        EXPECT_EQ(-row.acrossKinds, CompareLastWriteOn(row.other, Other, fat, Fat));
        EXPECT_EQ(row.acrossKinds, CompareLastWriteOn(fat, Unknown, row.other, Other));
        EXPECT_EQ(-row.acrossKinds, CompareLastWriteOn(row.other, Other, fat, Unknown));
        EXPECT_EQ(row.sameKind, CompareLastWriteOn(fat, Other, row.other, Other));
        EXPECT_EQ(row.sameKind, CompareLastWriteOn(fat, Fat, row.other, Fat));
    }
}
