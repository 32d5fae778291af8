// The folder history on real identifier lists: walking order, duplicates, bounds, trimming,
// clearing and the stored form.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "driver/Driver.h"
#include "panels/FolderHistory.h"
#include "registry/RegKey.h"

namespace {

class History : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        base = std::string(temp) + "hist";
        CreateDirectoryA(base.c_str(), NULL);
        for (char c = 'A'; c <= 'L'; c++) {
            std::string path = base + "\\" + c;
            CreateDirectoryA(path.c_str(), NULL);
            folders[c - 'A'].Attach(GetPidlOf(path.c_str()));
            ASSERT_TRUE(folders[c - 'A']) << path;
        }
        std::string sub = base + "\\A\\B";
        CreateDirectoryA(sub.c_str(), NULL);
        aSub.Attach(GetPidlOf(sub.c_str()));
        ASSERT_TRUE(aSub);
    }
    void TearDown() override { drv::DeleteUserKey("Software\\PanorelTests\\History"); }
    // The letters of the entries, the current one in brackets.
    std::string Shape(const FolderHistory& h)
    {
        std::string s;
        for (int i = 0; i < h.Count(); i++) {
            char letter = '?';
            for (int f = 0; f < 12; f++)
                if (folders[f].CompareAbs(h.At(i)) == 0)
                    letter = (char)('A' + f);
            if (aSub.CompareAbs(h.At(i)) == 0)
                letter = 'b';
            s += i == h.Current() ? std::string("[") + letter + "]" : std::string(1, letter);
        }
        return s;
    }
    std::string base;
    PIDL folders[12];
    PIDL aSub;   // A\B
};

TEST_F(History, DownThenUpMirrorsTheWalkAndNextReturnsWithoutInserting)
{
    FolderHistory h;
    h.Record(folders[0], true, 20);
    h.Record(aSub, true, 20);
    EXPECT_EQ(Shape(h), "A[b]");
    h.Record(folders[0], false, 20);   // up to the parent: the neighbour before is A itself
    EXPECT_EQ(Shape(h), "[A]b");
    // The folder just left is the first level below A in the next entry.
    const ITEMIDLIST* below = h.NextBelow(folders[0]);
    ASSERT_TRUE(below != nullptr);
    PIDL first;
    first.CopyOne(below);
    PIDL expected(folders[0].GetLpidl());
    expected.AppendOne(first);
    EXPECT_EQ(expected.CompareAbs(aSub), 0);
    // Walking: the move comes first, then the visit is recorded without inserting.
    h.Record(h.MoveNext(false), true, 20);
    EXPECT_EQ(Shape(h), "A[b]");
    EXPECT_FALSE(h.CanNext());
    EXPECT_TRUE(h.MoveNext(false) == nullptr);
}

TEST_F(History, RevisitingMovesTheFolderBesideTheCurrentPosition)
{
    FolderHistory h;
    for (int i = 0; i < 4; i++)
        h.Record(folders[i], true, 20);
    EXPECT_EQ(Shape(h), "ABC[D]");
    h.Record(folders[1], true, 20);   // B again: inserted after D, the old B removed
    EXPECT_EQ(Shape(h), "ACD[B]");
    h.MovePrevious(true);
    EXPECT_EQ(Shape(h), "[A]CDB");
    h.Record(folders[4], false, 20);   // going up from the head: new head
    EXPECT_EQ(Shape(h), "[E]ACDB");
    h.Record(folders[5], true, 20);   // between E and A
    EXPECT_EQ(Shape(h), "E[F]ACDB");
}

TEST_F(History, TheBoundDropsTheFarEndAndNeverTheCurrentEntry)
{
    FolderHistory one;
    for (int i = 0; i < 5; i++) {
        one.Record(folders[i], true, 1);
        EXPECT_EQ(one.Count(), 1);
    }
    EXPECT_EQ(Shape(one), "[E]");

    FolderHistory h;
    for (int i = 0; i < 6; i++)
        h.Record(folders[i], true, 6);
    h.Record(folders[6], true, 6);   // current at the tail: the head goes
    EXPECT_EQ(Shape(h), "BCDEF[G]");
    h.MovePrevious(true);
    h.Record(folders[7], false, 6);   // current at the head: the tail goes
    EXPECT_EQ(Shape(h), "[H]BCDEF");
}

TEST_F(History, TrimKeepsAWindowAroundTheCurrentEntry)
{
    FolderHistory h;
    for (int i = 0; i < 10; i++)
        h.Record(folders[i], true, 20);
    h.MoveTo(2);
    h.Trim(4);   // one before the current entry, two after it
    EXPECT_EQ(Shape(h), "B[C]DE");
    FolderHistory t;
    for (int i = 0; i < 10; i++)
        t.Record(folders[i], true, 20);
    t.Trim(4);   // current at the tail: the window slides back
    EXPECT_EQ(Shape(t), "GHI[J]");
}

TEST_F(History, ClearKeepsOnlyTheCurrentEntry)
{
    FolderHistory h;
    for (int i = 0; i < 5; i++)
        h.Record(folders[i], true, 20);
    h.MoveTo(2);
    h.Clear();
    EXPECT_EQ(Shape(h), "[C]");
    FolderHistory empty;
    empty.Clear();
    EXPECT_EQ(empty.Count(), 0);
}

TEST_F(History, StoredFormRoundTripsAndBadValuesAreIgnored)
{
    RegKey key("HKCU\\Software\\PanorelTests\\History", 1);
    ASSERT_TRUE(key.IsOpen());
    FolderHistory h;
    for (int i = 0; i < 4; i++)
        h.Record(folders[i], true, 20);
    h.MoveTo(1);
    h.Store(key, 2);
    EXPECT_EQ(key.GetDword("MRVF2Count", 0), 4u);
    EXPECT_EQ(key.GetDword("MRVF2Ind", 9), 1u);
    FolderHistory back;
    back.Load(key, 2);
    EXPECT_EQ(Shape(back), "A[B]CD");

    // A truncated value: the lists that are whole are kept, reading stops at the end.
    int size = key.GetBinSize("MRVF2");
    std::string bytes(size, '\0');
    ASSERT_TRUE(key.GetBin("MRVF2", &bytes[0], size));
    key.PutBin("MRVF2", bytes.data(), size - 3);
    FolderHistory cut;
    cut.Load(key, 2);
    EXPECT_EQ(Shape(cut), "A[B]C");
    // A count far beyond the lists and an index outside them.
    key.PutDword("MRVF2Count", 1000);
    cut.Load(key, 2);
    EXPECT_EQ(cut.Count(), 0);
    key.PutDword("MRVF2Count", 4);
    key.PutDword("MRVF2Ind", 77);
    key.PutBin("MRVF2", bytes.data(), size);
    cut.Load(key, 2);
    EXPECT_EQ(Shape(cut), "ABCD");
    // Junk bytes: nothing is loaded.
    const BYTE junk[] = {0xFF, 0x7F, 1, 2, 3};
    key.PutBin("MRVF2", junk, sizeof(junk));
    cut.Load(key, 2);
    EXPECT_EQ(cut.Count(), 0);
    // An empty history deletes the binary value.
    FolderHistory none;
    none.Store(key, 2);
    EXPECT_FALSE(key.FindValue("MRVF2"));
}
}  // namespace

// Folders named in Japanese, Cyrillic and emoji, beside siblings a pattern would also catch,
// come back from the stored form as exactly those folders.
TEST_F(History, NamesInEveryScriptComeBackExactlyFromTheStoredForm)
{
    const std::string names[] = {"日本語フォルダ", "日本語フォルダ2", "Папка", "Папка_", "emoji 😀", "emoji _"};
    std::string paths[6];
    PIDL lists[6];
    FolderHistory h;
    for (int i = 0; i < 6; i++) {
        paths[i] = base + "\\" + names[i];
        CreateDirectoryA(paths[i].c_str(), NULL);
        lists[i].Attach(GetPidlOf(paths[i].c_str()));
        ASSERT_TRUE(lists[i]) << paths[i];
        h.Record(lists[i], true, 20);
    }
    RegKey key("HKCU\\Software\\PanorelTests\\History", 1);
    ASSERT_TRUE(key.IsOpen());
    h.Store(key, 1);
    FolderHistory back;   // as the next start reads it
    back.Load(key, 1);
    ASSERT_EQ(6, back.Count());
    for (int i = 0; i < 6; i++) {
        char path[MAX_PATH] = "";
        EXPECT_TRUE(GetPathOf(back.At(i), path, sizeof(path)));
        EXPECT_EQ(paths[i], path);
        EXPECT_EQ(0, lists[i].CompareAbs(back.At(i)));
    }
    for (int i = 5; i >= 0; i--)
        RemoveDirectoryA(paths[i].c_str());
}
