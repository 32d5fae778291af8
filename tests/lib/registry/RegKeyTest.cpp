#include "RegFixture.h"
#include "registry/RegKey.h"
#include "util/StrUtil.h"
#include <initializer_list>
#include <sddl.h>
#include <set>

namespace {
class RegKeyTest : public RegFixture {
};

std::set<std::string> SubKeys(RegKey& key)
{
    std::set<std::string> names;
    char name[256];
    for (bool ok = key.GetFirstSubKey(name, sizeof(name)); ok; ok = key.GetNextSubKey(name, sizeof(name)))
        names.insert(name);
    return names;
}

std::set<std::string> Values(RegKey& key)
{
    std::set<std::string> names;
    char name[256];
    for (bool ok = key.GetFirstValue(name, sizeof(name)); ok; ok = key.GetNextValue(name, sizeof(name)))
        names.insert(name);
    return names;
}

// A small tree with every value type we carry, two levels deep.
void BuildSampleTree(HKEY root, const std::string& sub)
{
    const BYTE bin[] = {0, 1, 2, 0xFF, 0x80};
    RawSetStr(root, sub, NULL, "default text");
    RawSetStr(root, sub, "Name", "Panorel");
    RawSetDword(root, sub, "Count", 42);
    RawSet(root, sub, "Blob", REG_BINARY, bin, sizeof(bin));
    RawSet(root, sub, "Empty", REG_BINARY, NULL, 0);
    RawSetStr(root, sub + "\\A", "Inner", "a");
    RawSetDword(root, sub + "\\A\\Deeper", "Level", 3);
    RawSetStr(root, sub + "\\A\\Deeper", NULL, "deep default");
    RawSetStr(root, sub + "\\B", "Inner", "b");
    HKEY key;
    RegCreateKeyExA(root, (sub + "\\EmptyKey").c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    RegCloseKey(key);
}
}  // namespace

TEST_F(RegKeyTest, RootNamesShortLongAndAnyCase)
{
    RawSetDword(HKEY_CURRENT_USER, Sub(), "Mark", 77);
    const char* roots[] = {"HKCU", "hkcu", "HKEY_CURRENT_USER", "hkey_current_user", "HkEy_CuRrEnT_uSeR"};
    for (const char* root : roots) {
        SCOPED_TRACE(root);
        RegKey key((std::string(root) + "\\" + Sub()).c_str());
        ASSERT_TRUE(key.IsOpen());
        EXPECT_EQ(77u, key.GetDword("Mark", 0));
    }
    struct {
        const char* path;
        HKEY root;
    } machine[] = {{"HKLM\\Software", HKEY_LOCAL_MACHINE},
                   {"hklm\\Software", HKEY_LOCAL_MACHINE},
                   {"HKEY_LOCAL_MACHINE\\Software", HKEY_LOCAL_MACHINE},
                   {"HKCLS\\CLSID", HKEY_CLASSES_ROOT},
                   {"HKEY_CLASSES_ROOT\\CLSID", HKEY_CLASSES_ROOT},
                   {"HKU\\.DEFAULT", HKEY_USERS},
                   {"HKEY_USERS\\.DEFAULT", HKEY_USERS}};
    for (const auto& m : machine) {
        SCOPED_TRACE(m.path);
        RegKey key(m.path);
        EXPECT_TRUE(key.IsOpen());
    }
}

TEST_F(RegKeyTest, RootAloneOpensThePredefinedKey)
{
    RegKey key("HKCU");
    ASSERT_TRUE(key.IsOpen());
    EXPECT_EQ(HKEY_CURRENT_USER, key.GetKey());
    key.Close();
    // The predefined handle stays usable after our object let it go.
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, Sub()));
}

TEST_F(RegKeyTest, UnknownRootNullAndEmptyPathsFail)
{
    const char* bad[] = {"", "HKXX\\Software", "Software\\Microsoft", "\\\\", "HKCUX\\Software"};
    for (const char* path : bad) {
        SCOPED_TRACE(path);
        RegKey key(path);
        EXPECT_FALSE(key.IsOpen());
        RegKey created(path, 1);
        EXPECT_FALSE(created.IsOpen());
    }
    RegKey none(static_cast<const char*>(NULL));
    EXPECT_FALSE(none.IsOpen());
    EXPECT_FALSE(none.Open(static_cast<const char*>(NULL), 1));
    EXPECT_FALSE(none.OpenParent(NULL, 1, 1));
}

TEST_F(RegKeyTest, DoubledAndTrailingBackslashesOpenTheSameKey)
{
    RawSetStr(HKEY_CURRENT_USER, Sub("X\\Y"), "V", "same");
    std::string messy = "HKCU\\\\" + Sub() + "\\\\X\\Y\\\\";
    RegKey key(messy.c_str());
    ASSERT_TRUE(key.IsOpen());
    char buf[32];
    EXPECT_EQ(4, key.GetStr("V", buf, sizeof(buf)));
    EXPECT_STREQ("same", buf);
}

TEST_F(RegKeyTest, ComponentLongerThanAKeyNameFails)
{
    std::string longName(300, 'k');
    RegKey key((Path() + "\\" + longName).c_str(), 1);
    EXPECT_FALSE(key.IsOpen());
}

TEST_F(RegKeyTest, OpenWithoutCreateDoesNotMakeKeys)
{
    RegKey key(Path("A\\B").c_str(), 0);
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Sub("A")));
    EXPECT_EQ(0u, key.GetDword("x", 0));
    EXPECT_FALSE(key.PutDword("x", 1));
    EXPECT_TRUE(key.Open(Path("A\\B").c_str(), 1));
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, Sub("A\\B")));
}

TEST_F(RegKeyTest, OperationCodesCreateOnlyWhenWritable)
{
    struct {
        RegKey::Op op;
        bool creates;
    } cases[] = {{RegKey::OpCheck, false}, {RegKey::OpRemove, true}, {RegKey::OpUpdate, true},
                 {RegKey::OpRead, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        std::string sub = "Op" + std::to_string(c.op);
        EXPECT_EQ(c.creates, RegKey::IsWritable(c.op));
        RegKey key(Path(sub).c_str(), c.op);
        EXPECT_EQ(c.creates, key.IsOpen());
        EXPECT_EQ(c.creates, RawKeyExists(HKEY_CURRENT_USER, Sub(sub)));
        RegKey parent(Path().c_str());
        RegKey rel(parent, (sub + "R").c_str(), c.op);
        EXPECT_EQ(c.creates, rel.IsOpen());
    }
}

TEST_F(RegKeyTest, ReadOpenedKeyCannotWrite)
{
    RegKey key(Path().c_str(), RegKey::OpRead);
    ASSERT_TRUE(key.IsOpen());
    EXPECT_FALSE(key.PutStr("x", "y"));
    EXPECT_FALSE(key.FindValue("x"));
}

TEST_F(RegKeyTest, OpenParentDropsTheLastLevels)
{
    RawSetStr(HKEY_CURRENT_USER, Sub("A\\B\\C"), "Where", "C");
    RawSetStr(HKEY_CURRENT_USER, Sub("A\\B"), "Where", "B");
    RawSetStr(HKEY_CURRENT_USER, Sub("A"), "Where", "A");
    char buf[8];
    RegKey key;
    ASSERT_TRUE(key.OpenParent(Path("A\\B\\C").c_str(), 0, 1));
    key.GetStr("Where", buf, sizeof(buf));
    EXPECT_STREQ("B", buf);
    ASSERT_TRUE(key.OpenParent(Path("A\\B\\C\\").c_str(), 0, 2));   // trailing "\" is no level
    key.GetStr("Where", buf, sizeof(buf));
    EXPECT_STREQ("A", buf);
    // Levels reaching up to the root give the root; beyond it nothing.
    ASSERT_TRUE(key.OpenParent("HKCU\\Software\\Microsoft", 0, 2));
    EXPECT_EQ(HKEY_CURRENT_USER, key.GetKey());
    EXPECT_FALSE(key.OpenParent("HKCU\\Software\\Microsoft", 0, 3));
    // With create, the missing parent is made but not the last level.
    ASSERT_TRUE(key.OpenParent(Path("N\\M").c_str(), 1, 1));
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, Sub("N")));
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Sub("N\\M")));
}

TEST_F(RegKeyTest, RelativeOpenTakesTheSubpathWholeAndRejectsEmpty)
{
    RegKey parent(Path().c_str(), 1);
    ASSERT_TRUE(parent.IsOpen());
    RegKey child(parent, "P\\Q", 1);
    ASSERT_TRUE(child.IsOpen());
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, Sub("P\\Q")));
    RegKey none(parent, "", 1);
    EXPECT_FALSE(none.IsOpen());
    RegKey null(parent, NULL, 1);
    EXPECT_FALSE(null.IsOpen());
    RegKey closed;
    RegKey fromClosed(closed, "P", 1);
    EXPECT_FALSE(fromClosed.IsOpen());
    // Reopening relative to itself moves down one level.
    ASSERT_TRUE(parent.Open(parent, "P", 0));
    EXPECT_EQ(std::set<std::string>{"Q"}, SubKeys(parent));
}

TEST_F(RegKeyTest, CopiesShareTheHandleAndTheLastOneCloses)
{
    RegKey* first = new RegKey(Path().c_str(), 1);
    RegKey second(*first);
    EXPECT_EQ(first->GetKey(), second.GetKey());
    RegKey third;
    third = second;
    delete first;
    // Still open for the remaining copies.
    EXPECT_TRUE(second.PutDword("Alive", 1));
    EXPECT_EQ(1u, third.GetDword("Alive", 0));
    second.Close();
    EXPECT_EQ(1u, third.GetDword("Alive", 0));
    third = third;
    EXPECT_EQ(1u, third.GetDword("Alive", 0));
}

TEST_F(RegKeyTest, DetachHandsOutAHandleThatStaysOpen)
{
    RegKey key(Path().c_str(), 1);
    RegKey copy(key);
    HKEY handle = key.Detach();
    ASSERT_NE((HKEY)NULL, handle);
    EXPECT_FALSE(key.IsOpen());
    EXPECT_TRUE(copy.PutDword("Copy", 2));   // the copy keeps its own handle
    DWORD v = 0, size = sizeof(v);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(handle, "Copy", NULL, NULL, (BYTE*)&v, &size));
    EXPECT_EQ(2u, v);
    RegCloseKey(handle);
    RegKey attached;
    HKEY raw;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Sub().c_str(), 0, KEY_READ, &raw));
    attached.Attach(raw);
    EXPECT_EQ(2u, attached.GetDword("Copy", 0));
}

TEST_F(RegKeyTest, GetDwordReadsExactlyFourBytesOfAnyType)
{
    RawSetStr(HKEY_CURRENT_USER, Sub(), "Four", "abc");   // 4 bytes with the zero
    RawSetStr(HKEY_CURRENT_USER, Sub(), "Long", "abcdefgh");
    RawSetStr(HKEY_CURRENT_USER, Sub(), "Short", "a");
    const BYTE qword[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    RawSet(HKEY_CURRENT_USER, Sub(), "Q", REG_QWORD, qword, sizeof(qword));
    RawSetDword(HKEY_CURRENT_USER, Sub(), "D", 0xDEADBEEF);
    RegKey key(Path().c_str());
    DWORD abc;
    memcpy(&abc, "abc", 4);
    EXPECT_EQ(abc, key.GetDword("Four", 9));
    EXPECT_EQ(9u, key.GetDword("Long", 9));
    EXPECT_EQ(9u, key.GetDword("Short", 9));
    EXPECT_EQ(9u, key.GetDword("Q", 9));
    EXPECT_EQ(9u, key.GetDword("Missing", 9));
    EXPECT_EQ(0xDEADBEEFu, key.GetDword("D", 9));
    EXPECT_EQ((int)0xDEADBEEF, key.GetInt("D", 9));
    EXPECT_EQ(-5, key.GetInt("Missing", -5));
}

TEST_F(RegKeyTest, PutDwordWritesOnlyWhenDifferent)
{
    RegKey key(Path().c_str(), 1);
    {
        ChangeWatch watch(HKEY_CURRENT_USER, Sub());
        ASSERT_TRUE(watch.Armed());
        EXPECT_TRUE(key.PutDword("N", 5));   // missing: always written
        EXPECT_TRUE(watch.Fired());
    }
    {
        ChangeWatch watch(HKEY_CURRENT_USER, Sub());
        EXPECT_TRUE(key.PutDword("N", 5));
        EXPECT_FALSE(watch.Fired());
    }
    {
        ChangeWatch watch(HKEY_CURRENT_USER, Sub());
        EXPECT_TRUE(key.PutInt("N", -1));
        EXPECT_TRUE(watch.Fired());
    }
    EXPECT_EQ(-1, key.GetInt("N", 0));
    RawValue v;
    ASSERT_TRUE(RawGet(HKEY_CURRENT_USER, Sub(), "N", v));
    EXPECT_EQ((DWORD)REG_DWORD, v.type);
    // The same four bytes under another type are rewritten as a DWORD.
    RawSetStr(HKEY_CURRENT_USER, Sub(), "S", "abc");
    DWORD abc;
    memcpy(&abc, "abc", 4);
    EXPECT_TRUE(key.PutDword("S", abc));
    EXPECT_EQ((DWORD)REG_DWORD, key.GetValueType("S"));
}

TEST_F(RegKeyTest, PutStrWritesOnlyWhenTextDiffersExactly)
{
    RegKey key(Path().c_str(), 1);
    EXPECT_TRUE(key.PutStr("T", "Hello"));
    RawValue v;
    ASSERT_TRUE(RawGet(HKEY_CURRENT_USER, Sub(), "T", v));
    EXPECT_EQ((DWORD)REG_SZ, v.type);
    EXPECT_EQ(6u, v.data.size());   // with the terminating zero
    {
        ChangeWatch watch(HKEY_CURRENT_USER, Sub());
        EXPECT_TRUE(key.PutStr("T", "Hello"));
        EXPECT_FALSE(watch.Fired());
    }
    {
        ChangeWatch watch(HKEY_CURRENT_USER, Sub());
        EXPECT_TRUE(key.PutStr("T", "hello"));   // case counts
        EXPECT_TRUE(watch.Fired());
    }
    EXPECT_EQ("hello", RawGetStr(HKEY_CURRENT_USER, Sub(), "T"));
    EXPECT_TRUE(key.PutStr("T", ""));
    EXPECT_EQ("", RawGetStr(HKEY_CURRENT_USER, Sub(), "T"));
    EXPECT_FALSE(key.PutStr("T", NULL));
}

TEST_F(RegKeyTest, GetStrCutsToTheBufferAndNeverWritesPastIt)
{
    RawSetStr(HKEY_CURRENT_USER, Sub(), "Long", "0123456789ABCDEF");
    RegKey key(Path().c_str());
    for (int size : {1, 2, 5, 16, 17, 18}) {
        SCOPED_TRACE(size);
        char buf[32];
        memset(buf, '#', sizeof(buf));
        int len = key.GetStr("Long", buf, size);
        int expect = size - 1 < 16 ? size - 1 : 16;
        EXPECT_EQ(expect, len);
        EXPECT_EQ(0, buf[expect]);
        EXPECT_EQ(0, memcmp(buf, "0123456789ABCDEF", expect));
        for (int i = size; i < (int)sizeof(buf); ++i)
            ASSERT_EQ('#', buf[i]) << "guard byte " << i;
    }
    char guard[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(0, key.GetStr("Long", guard, 0));
    EXPECT_EQ('#', guard[0]);
    EXPECT_EQ(0, key.GetStr("Long", NULL, 10));
}

// The process code page is UTF-8: a cut never splits a character's sequence. (The double-byte
// rules of code page 932 are tested on the helpers themselves: the registry converts with the
// process code page.)
TEST_F(RegKeyTest, GetStrNeverSplitsACharacter)
{
    RawSetStr(HKEY_CURRENT_USER, Sub(), "Utf8", "ab\xE6\x97\xA5" "c");
    RegKey key(Path().c_str());
    char buf[8];
    memset(buf, '#', sizeof(buf));
    EXPECT_EQ(2, key.GetStr("Utf8", buf, 4));   // the three bytes of the character would not fit
    EXPECT_STREQ("ab", buf);
    EXPECT_EQ(2, key.GetStr("Utf8", buf, 5));
    EXPECT_EQ(5, key.GetStr("Utf8", buf, 6));
    EXPECT_EQ(0, memcmp(buf, "ab\xE6\x97\xA5", 6));
}

TEST_F(RegKeyTest, GetStrDefaults)
{
    RawSetDword(HKEY_CURRENT_USER, Sub(), "Number", 3);
    RegKey key(Path().c_str());
    char buf[8];
    memset(buf, '#', sizeof(buf));
    EXPECT_EQ(3, key.GetStr("Missing", buf, sizeof(buf), "def"));
    EXPECT_STREQ("def", buf);
    memset(buf, '#', sizeof(buf));
    EXPECT_EQ(0, key.GetStr("Missing", buf, sizeof(buf)));
    EXPECT_STREQ("", buf);
    // A default longer than the buffer is cut like a stored text.
    char small[4 + 4];
    memset(small, '#', sizeof(small));
    EXPECT_EQ(3, key.GetStr("Missing", small, 4, "defaults"));
    EXPECT_STREQ("def", small);
    EXPECT_EQ('#', small[4]);
    // A value that is not a string reads as missing.
    EXPECT_EQ(1, key.GetStr("Number", buf, sizeof(buf), "x"));
    EXPECT_STREQ("x", buf);
    // A closed key gives the default too.
    RegKey closed;
    EXPECT_EQ(2, closed.GetStr("Any", buf, sizeof(buf), "cl"));
    EXPECT_STREQ("cl", buf);
}

TEST_F(RegKeyTest, GetStrTerminatesTextStoredWithoutZero)
{
    RawSet(HKEY_CURRENT_USER, Sub(), "Raw", REG_SZ, "abcd", 4);
    RegKey key(Path().c_str());
    char buf[16];
    memset(buf, '#', sizeof(buf));
    EXPECT_EQ(4, key.GetStr("Raw", buf, sizeof(buf)));
    EXPECT_STREQ("abcd", buf);
}

TEST_F(RegKeyTest, DefaultValueByNullName)
{
    RegKey key(Path().c_str(), 1);
    EXPECT_FALSE(key.FindValue(NULL));
    EXPECT_TRUE(key.PutStr(NULL, "default"));
    EXPECT_EQ("default", RawGetStr(HKEY_CURRENT_USER, Sub(), NULL));
    char buf[16];
    EXPECT_EQ(7, key.GetStr(NULL, buf, sizeof(buf)));
    EXPECT_STREQ("default", buf);
    EXPECT_EQ((DWORD)REG_SZ, key.GetValueType(NULL));
    EXPECT_TRUE(key.PutDword(NULL, 12));
    EXPECT_EQ(12u, key.GetDword(NULL, 0));
    EXPECT_TRUE(key.DelValue(NULL));
    EXPECT_FALSE(key.FindValue(NULL));
}

TEST_F(RegKeyTest, BinaryValues)
{
    RegKey key(Path().c_str(), 1);
    const BYTE ten[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(0, key.GetBinSize("Bin"));
    EXPECT_TRUE(key.PutBin("Bin", ten, sizeof(ten)));
    EXPECT_EQ(10, key.GetBinSize("Bin"));
    EXPECT_EQ((DWORD)REG_BINARY, key.GetValueType("Bin"));
    BYTE buf[16];
    memset(buf, 0xEE, sizeof(buf));
    EXPECT_FALSE(key.GetBin("Bin", buf, 8));
    EXPECT_EQ(0xEE, buf[0]);   // nothing read on failure
    EXPECT_TRUE(key.GetBin("Bin", buf, 0));
    EXPECT_EQ(0, memcmp(buf, ten, 10));
    EXPECT_EQ(0xEE, buf[10]);
    memset(buf, 0, sizeof(buf));
    EXPECT_TRUE(key.GetBin("Bin", buf, sizeof(buf)));
    EXPECT_EQ(0, memcmp(buf, ten, 10));
    EXPECT_FALSE(key.GetBin("Missing", buf, sizeof(buf)));
    EXPECT_FALSE(key.GetBin("Bin", NULL, 10));
    {
        ChangeWatch watch(HKEY_CURRENT_USER, Sub());
        EXPECT_TRUE(key.PutBin("Bin", ten, sizeof(ten)));
        EXPECT_FALSE(watch.Fired());
    }
    {
        ChangeWatch watch(HKEY_CURRENT_USER, Sub());
        EXPECT_TRUE(key.PutBin("Bin", ten, 9));   // a shorter prefix differs
        EXPECT_TRUE(watch.Fired());
    }
    EXPECT_EQ(9, key.GetBinSize("Bin"));
    EXPECT_TRUE(key.PutBin("Zero", NULL, 0));
    EXPECT_TRUE(key.FindValue("Zero"));
    EXPECT_EQ(0, key.GetBinSize("Zero"));
    EXPECT_FALSE(key.PutBin("Bad", NULL, 4));
    EXPECT_FALSE(key.PutBin("Bad", ten, -1));
}

TEST_F(RegKeyTest, DelValueOfMissingValueSucceeds)
{
    RegKey key(Path().c_str(), 1);
    EXPECT_TRUE(key.DelValue("Nothing"));
    key.PutDword("X", 1);
    EXPECT_TRUE(key.FindValue("X"));
    EXPECT_TRUE(key.DelValue("X"));
    EXPECT_FALSE(key.FindValue("X"));
    EXPECT_EQ(0u, key.GetValueType("X"));
    RegKey closed;
    EXPECT_FALSE(closed.DelValue("X"));
}

TEST_F(RegKeyTest, ProcessEntryStringForEachOperation)
{
    RegKey key(Path().c_str(), 1);
    EXPECT_FALSE(key.ProcessEntry(RegKey::OpCheck, "S", "text"));   // missing
    key.PutStr("S", "");
    EXPECT_FALSE(key.ProcessEntry(RegKey::OpCheck, "S", ""));   // empty never matches
    EXPECT_TRUE(key.ProcessEntry(RegKey::OpUpdate, "S", "text"));
    EXPECT_EQ("text", RawGetStr(HKEY_CURRENT_USER, Sub(), "S"));
    EXPECT_TRUE(key.ProcessEntry(RegKey::OpCheck, "S", "text"));
    EXPECT_FALSE(key.ProcessEntry(RegKey::OpCheck, "S", "TEXT"));
    {
        ChangeWatch watch(HKEY_CURRENT_USER, Sub());
        EXPECT_TRUE(key.ProcessEntry(RegKey::OpUpdate, "S", "text"));
        EXPECT_FALSE(watch.Fired());
    }
    char buf[3];
    memset(buf, '#', sizeof(buf));
    EXPECT_TRUE(key.ProcessEntry(RegKey::OpRead, "S", buf, sizeof(buf)));
    EXPECT_STREQ("te", buf);   // cut to the buffer
    char big[16];
    EXPECT_TRUE(key.ProcessEntry(RegKey::OpRead, "S", big, sizeof(big)));
    EXPECT_STREQ("text", big);
    EXPECT_TRUE(key.ProcessEntry(RegKey::OpRemove, "S", big, sizeof(big)));
    EXPECT_FALSE(key.FindValue("S"));
    EXPECT_FALSE(key.ProcessEntry(RegKey::OpRead, "S", big, sizeof(big)));
    EXPECT_FALSE(key.ProcessEntry(RegKey::OpRead, "S", NULL, 10));
    EXPECT_FALSE(key.ProcessEntry(RegKey::OpUpdate, "S", static_cast<const char*>(NULL)));
}

TEST_F(RegKeyTest, ProcessEntryDwordForEachOperation)
{
    RegKey key(Path().c_str(), 1);
    DWORD zero = 0, seven = 7;
    EXPECT_TRUE(key.ProcessEntry(RegKey::OpCheck, "D", zero));   // missing reads as 0
    EXPECT_FALSE(key.ProcessEntry(RegKey::OpCheck, "D", seven));
    EXPECT_TRUE(key.ProcessEntry(RegKey::OpUpdate, "D", seven));
    EXPECT_EQ(7u, key.GetDword("D", 0));
    EXPECT_TRUE(key.ProcessEntry(RegKey::OpCheck, "D", seven));
    DWORD read = 99;
    EXPECT_TRUE(key.ProcessEntry(RegKey::OpRead, "D", read));
    EXPECT_EQ(7u, read);
    EXPECT_TRUE(key.ProcessEntry(RegKey::OpUpdate, "D", zero));   // 0 deletes
    EXPECT_FALSE(key.FindValue("D"));
    read = 99;
    EXPECT_TRUE(key.ProcessEntry(RegKey::OpRead, "D", read));
    EXPECT_EQ(0u, read);
    key.PutDword("D", 3);
    EXPECT_TRUE(key.ProcessEntry(RegKey::OpRemove, "D", seven));
    EXPECT_FALSE(key.FindValue("D"));
    RegKey closed;
    read = 99;
    EXPECT_FALSE(closed.ProcessEntry(RegKey::OpRead, "D", read));
    EXPECT_EQ(99u, read);
}

TEST_F(RegKeyTest, EnumeratesSubkeysAndValues)
{
    RawSetDword(HKEY_CURRENT_USER, Sub("One"), "x", 1);
    RawSetDword(HKEY_CURRENT_USER, Sub("Two"), "x", 1);
    RawSetDword(HKEY_CURRENT_USER, Sub("Three"), "x", 1);
    RawSetDword(HKEY_CURRENT_USER, Sub(), "V1", 1);
    RawSetStr(HKEY_CURRENT_USER, Sub(), "V2", "s");
    RegKey key(Path().c_str());
    EXPECT_EQ((std::set<std::string>{"One", "Two", "Three"}), SubKeys(key));
    EXPECT_EQ((std::set<std::string>{"V1", "V2"}), Values(key));
    // Starting again restarts from the first item.
    EXPECT_EQ(3u, SubKeys(key).size());
}

TEST_F(RegKeyTest, EnumerationGoesOnPastNamesTooLongForTheBuffer)
{
    RawSetDword(HKEY_CURRENT_USER, Sub("A"), "x", 1);
    RawSetDword(HKEY_CURRENT_USER, Sub("LongerName"), "x", 1);
    RegKey key(Path().c_str());
    char buf[4];
    int steps = 0, shortNames = 0;
    for (bool ok = key.GetFirstSubKey(buf, sizeof(buf)); ok && steps < 10; ok = key.GetNextSubKey(buf, sizeof(buf))) {
        ++steps;
        if (buf[0])
            ++shortNames;
        else
            EXPECT_STREQ("", buf);
    }
    EXPECT_EQ(2, steps);
    EXPECT_EQ(1, shortNames);
}

TEST_F(RegKeyTest, EnumerationOfClosedKeyStopsAtOnce)
{
    RegKey closed;
    char buf[16];
    EXPECT_FALSE(closed.GetFirstSubKey(buf, sizeof(buf)));
    EXPECT_FALSE(closed.GetNextSubKey(buf, sizeof(buf)));
    EXPECT_FALSE(closed.GetFirstValue(buf, sizeof(buf)));
    RegKey key(Path().c_str());
    EXPECT_FALSE(key.GetFirstSubKey(NULL, 16));
    EXPECT_FALSE(key.GetFirstValue(buf, 0));
}

TEST_F(RegKeyTest, IsKeyEmptyAndDelSubKeyIfEmpty)
{
    RegKey key(Path().c_str(), 1);
    EXPECT_TRUE(key.IsKeyEmpty());
    RawSetStr(HKEY_CURRENT_USER, Sub(), NULL, "d");   // the default value counts
    EXPECT_FALSE(key.IsKeyEmpty());
    key.DelValue(NULL);
    EXPECT_TRUE(key.IsKeyEmpty());
    RawSetDword(HKEY_CURRENT_USER, Sub("Full"), "x", 1);
    RawSetDword(HKEY_CURRENT_USER, Sub("Parent\\Child"), "x", 1);
    RegKey empty(key, "Empty", 1);
    empty.Close();
    EXPECT_FALSE(key.IsKeyEmpty());
    EXPECT_FALSE(key.DelSubKeyIfEmpty("Full"));
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, Sub("Full")));
    EXPECT_FALSE(key.DelSubKeyIfEmpty("Parent"));
    EXPECT_TRUE(key.DelSubKeyIfEmpty("Empty"));
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Sub("Empty")));
    EXPECT_FALSE(key.DelSubKeyIfEmpty("Missing"));
    EXPECT_FALSE(key.DelSubKeyIfEmpty(""));
    RegKey closed;
    EXPECT_FALSE(closed.IsKeyEmpty());
}

TEST_F(RegKeyTest, DelSubKeyRemovesDeepTrees)
{
    std::string deep = "Top";
    for (int i = 0; i < 25; ++i) {
        RawSetDword(HKEY_CURRENT_USER, Sub(deep), "Level", i);
        RawSetStr(HKEY_CURRENT_USER, Sub(deep), NULL, "default");
        RawSetDword(HKEY_CURRENT_USER, Sub(deep + "\\Side" + std::to_string(i)), "x", i);
        deep += "\\L" + std::to_string(i);
    }
    RawSetDword(HKEY_CURRENT_USER, Sub("Keep"), "x", 1);
    RegKey key(Path().c_str(), 1);
    EXPECT_TRUE(key.DelSubKey("Top"));
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Sub("Top")));
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, Sub("Keep")));
    EXPECT_TRUE(key.DelSubKey("Top"));   // missing counts as deleted
    // A subpath deletes only its last component.
    RawSetDword(HKEY_CURRENT_USER, Sub("Keep\\Inner\\More"), "x", 1);
    EXPECT_TRUE(key.DelSubKey("Keep\\Inner"));
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, Sub("Keep")));
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Sub("Keep\\Inner")));
}

TEST_F(RegKeyTest, DelSubKeyRefusesEmptyNameAndClosedKey)
{
    RawSetDword(HKEY_CURRENT_USER, Sub(), "Keep", 1);
    RegKey key(Path().c_str(), 1);
    EXPECT_FALSE(key.DelSubKey(""));
    EXPECT_FALSE(key.DelSubKey(NULL));
    EXPECT_EQ(1u, key.GetDword("Keep", 0));
    RegKey closed;
    EXPECT_FALSE(closed.DelSubKey("x"));
}

TEST_F(RegKeyTest, DelSubKeyReportsASubkeyItMayNotChange)
{
    // A subkey everyone may read but nobody may change.
    PSECURITY_DESCRIPTOR sd = NULL;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &sd, NULL));
    SECURITY_ATTRIBUTES sa = {sizeof(sa), sd, FALSE};
    HKEY locked;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, Sub("Locked").c_str(), 0, NULL, 0,
                                             KEY_ALL_ACCESS, &sa, &locked, NULL));
    RegCloseKey(locked);
    LocalFree(sd);
    HKEY probe;
    bool enforced = RegOpenKeyExA(HKEY_CURRENT_USER, Sub("Locked").c_str(), 0, KEY_ALL_ACCESS, &probe) != ERROR_SUCCESS;
    if (!enforced)
        RegCloseKey(probe);
    RegKey key(Path().c_str(), 1);
    bool deleted = key.DelSubKey("Locked");
    // Our answer must match what really happened.
    EXPECT_EQ(deleted, !RawKeyExists(HKEY_CURRENT_USER, Sub("Locked")));
    if (enforced) {   // Wine 8 does not enforce key rights: there the delete just succeeds
        EXPECT_FALSE(deleted);
    }
    // Let the owner open it up again so the fixture can clean up.
    HKEY dac;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Sub("Locked").c_str(), 0, WRITE_DAC, &dac) == ERROR_SUCCESS) {
        PSECURITY_DESCRIPTOR open = NULL;
        ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;KA;;;WD)", SDDL_REVISION_1, &open, NULL);
        RegSetKeySecurity(dac, DACL_SECURITY_INFORMATION, open);
        LocalFree(open);
        RegCloseKey(dac);
    }
}

TEST_F(RegKeyTest, DelAllRemovesEverythingWithTheDefaultValue)
{
    BuildSampleTree(HKEY_CURRENT_USER, Sub());
    RegKey key(Path().c_str(), 1);
    ASSERT_FALSE(key.IsKeyEmpty());
    EXPECT_TRUE(key.DelAll());
    EXPECT_TRUE(key.IsKeyEmpty());
    EXPECT_FALSE(key.FindValue(NULL));
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, Sub()));   // the key itself stays
    RegKey closed;
    EXPECT_TRUE(closed.DelAll());
}

TEST_F(RegKeyTest, ProcessSubKeyDeletesOnlyForWritableOperations)
{
    RegKey key(Path().c_str(), 1);
    for (RegKey::Op op : {RegKey::OpCheck, RegKey::OpRead, RegKey::OpRemove, RegKey::OpUpdate}) {
        SCOPED_TRACE(op);
        RawSetDword(HKEY_CURRENT_USER, Sub("S\\T"), "x", 1);
        EXPECT_TRUE(key.ProcessSubKey(op, "S"));
        EXPECT_EQ(!RegKey::IsWritable(op), RawKeyExists(HKEY_CURRENT_USER, Sub("S")));
    }
}

TEST_F(RegKeyTest, CopyValueToCarriesOurTypesAndSkipsOthers)
{
    BuildSampleTree(HKEY_CURRENT_USER, Sub("Src"));
    const char multi[] = "a\0b\0";
    RawSet(HKEY_CURRENT_USER, Sub("Src"), "Multi", REG_MULTI_SZ, multi, sizeof(multi));
    RegKey src(Path("Src").c_str());
    RegKey dst(Path("Dst").c_str(), 1);
    for (const char* name : {"Name", "Count", "Blob", "Empty"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(src.CopyValueTo(dst, name));
        RawValue a, b;
        ASSERT_TRUE(RawGet(HKEY_CURRENT_USER, Sub("Src"), name, a));
        ASSERT_TRUE(RawGet(HKEY_CURRENT_USER, Sub("Dst"), name, b));
        EXPECT_TRUE(a == b);
    }
    EXPECT_TRUE(src.CopyValueTo(dst, NULL));
    EXPECT_EQ("default text", RawGetStr(HKEY_CURRENT_USER, Sub("Dst"), NULL));
    EXPECT_TRUE(src.CopyValueTo(dst, "Multi"));
    EXPECT_FALSE(dst.FindValue("Multi"));
    EXPECT_FALSE(src.CopyValueTo(dst, "Missing"));
}

TEST_F(RegKeyTest, CopyToRoundTripAndSecondCopyWritesNothing)
{
    BuildSampleTree(HKEY_CURRENT_USER, Sub("Src"));
    RegKey src(Path("Src").c_str());
    RegKey dst(Path("Dst").c_str(), 1);
    EXPECT_TRUE(src.CopyTo(dst));
    RawTree a, b;
    ASSERT_TRUE(ReadRawTree(HKEY_CURRENT_USER, Sub("Src"), a));
    ASSERT_TRUE(ReadRawTree(HKEY_CURRENT_USER, Sub("Dst"), b));
    EXPECT_TRUE(a == b);
    EXPECT_EQ(3u, a.keys.size());
    ChangeWatch watch(HKEY_CURRENT_USER, Sub("Dst"), true);
    ASSERT_TRUE(watch.Armed());
    EXPECT_TRUE(src.CopyTo(dst));
    EXPECT_FALSE(watch.Fired());
    RegKey closed;
    EXPECT_FALSE(closed.CopyTo(dst));
    EXPECT_FALSE(src.CopyTo(closed));
}

TEST_F(RegKeyTest, FlushNeedsAnOpenKey)
{
    RegKey key(Path().c_str(), 1);
    EXPECT_TRUE(key.Flush());
    RegKey closed;
    EXPECT_FALSE(closed.Flush());
}

namespace {
std::string TempFile(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof(dir), dir);
    return std::string(dir) + name + std::to_string(GetCurrentProcessId());
}
}  // namespace

TEST_F(RegKeyTest, SaveAndLoadKeyRoundTrip)
{
    BuildSampleTree(HKEY_CURRENT_USER, Sub("Src"));
    std::string file = TempFile("PanorelSave");
    DeleteFileA(file.c_str());
    RegKey src(Path("Src").c_str());
    ASSERT_TRUE(src.Save(file.c_str()));
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(file.c_str()));
    std::string hive = "PanorelHive" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(RegKey::LoadKey(HKEY_USERS, hive.c_str(), file.c_str()));
    RawTree a, b;
    ASSERT_TRUE(ReadRawTree(HKEY_CURRENT_USER, Sub("Src"), a));
    EXPECT_TRUE(ReadRawTree(HKEY_USERS, hive, b));
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(RegKey::UnLoadKey(HKEY_USERS, hive.c_str()));
    EXPECT_FALSE(RawKeyExists(HKEY_USERS, hive));
    DeleteFileA(file.c_str());
}

TEST_F(RegKeyTest, SaveReplacesAFileAndKeepsItsAttributes)
{
    RawSetDword(HKEY_CURRENT_USER, Sub(), "First", 1);
    std::string file = TempFile("PanorelSaveRO");
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD written;
    WriteFile(h, "old", 3, &written, NULL);
    CloseHandle(h);
    DWORD attrs = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), attrs));
    attrs = GetFileAttributesA(file.c_str());   // Wine adds the archive bit here
    ASSERT_TRUE(attrs & FILE_ATTRIBUTE_READONLY);
    RegKey key(Path().c_str());
    EXPECT_TRUE(key.Save(file.c_str()));
    EXPECT_EQ(attrs, GetFileAttributesA(file.c_str()));
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data));
    EXPECT_GT(data.nFileSizeLow, 3u);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(file.c_str());
}

TEST_F(RegKeyTest, SaveAndLoadRejectBadArguments)
{
    RegKey closed;
    EXPECT_FALSE(closed.Save("x"));
    RegKey key(Path().c_str());
    EXPECT_FALSE(key.Save(NULL));
    EXPECT_FALSE(key.Save(""));
    char dir[MAX_PATH];
    GetTempPathA(sizeof(dir), dir);
    EXPECT_FALSE(key.Save(dir));   // a folder is never replaced
    EXPECT_TRUE(GetFileAttributesA(dir) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(RegKey::LoadKey(HKEY_USERS, "PanorelNoFile", "C:\\no\\such\\file"));
    EXPECT_FALSE(RegKey::LoadKey(HKEY_USERS, NULL, "x"));
    EXPECT_FALSE(RegKey::UnLoadKey(HKEY_USERS, ""));
}

TEST(RegKeyNames, MakerWideKeys)
{
    EXPECT_STREQ("HKCU\\Software\\Corvane", sz_HKCU_Software_MyCompany);
    EXPECT_STREQ("HKLM\\Software\\Corvane", sz_HKLM_Software_MyCompany);
    EXPECT_STREQ("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion", sz_HKCU_WinCurVer);
    EXPECT_STREQ("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion", sz_HKLM_WinCurVer);
    EXPECT_STREQ("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion", sz_HKLM_WinNTCurVer);
    RegKey key(sz_HKLM_WinNTCurVer);
    EXPECT_TRUE(key.IsOpen());
}
