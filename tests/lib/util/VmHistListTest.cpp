#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "util/VmHistList.h"
#include "registry/AppInfo.h"
#include "lib/registry/RegFixture.h"
#include "TestHelp.h"

namespace {
std::vector<std::string> Entries(const VmHistList& list)
{
    std::vector<std::string> out;
    for (POS pos = list.GetHeadPos(); pos;)
        out.push_back(list.GetNextStr(pos));
    return out;
}

typedef std::vector<std::string> Strs;

// A stored value's bytes from its parts: maximum, entries, and optionally the ending NUL.
std::string Value(DWORD max, const Strs& entries, bool end = true)
{
    std::string v(reinterpret_cast<const char*>(&max), 4);
    for (const std::string& e : entries)
        v += e + std::string(1, '\0');
    if (end)
        v += std::string(1, '\0');
    return v;
}

// Bytes placed so that their last one is the last readable byte of the process: a read past
// the end faults.
class GuardedBytes {
public:
    explicit GuardedBytes(const std::string& bytes)
    {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        m_page = si.dwPageSize;
        m_base = static_cast<BYTE*>(
            VirtualAlloc(NULL, 2 * m_page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (!m_base)
            return;
        DWORD old;
        VirtualProtect(m_base + m_page, m_page, PAGE_NOACCESS, &old);
        m_data = m_base + m_page - bytes.size();
        memcpy(m_data, bytes.data(), bytes.size());
    }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    ~GuardedBytes()
    {
        if (m_base)
            VirtualFree(m_base, 0, MEM_RELEASE);
    }
    const BYTE* Data() const { return m_data; }

private:
    BYTE* m_base = nullptr;
    BYTE* m_data = nullptr;
    DWORD m_page = 0;
};

class VmHistListMbcs : public MbcsTest {};

// Histories kept under a throwaway application root key.
class VmHistListReg : public RegFixture {
protected:
    void SetUp() override
    {
        RegFixture::SetUp();
        m_app = new AppInfo(NULL, "PanorelTestHist", "Hist", "Hist", "x.hlp", 0, 0);
        AppInfo::SetAppRootKey(Path("Root").c_str());
    }
    void TearDown() override
    {
        delete m_app;
        RegFixture::TearDown();
    }
    AppInfo* m_app = nullptr;
};
}  // namespace

TEST(VmHistList, NewSpellingOfARepeatedTextWinsAtTheHead)
{
    VmHistList list;
    list.Update("ABC");
    list.Update("other");
    EXPECT_TRUE(list.Update("abc"));
    EXPECT_EQ((Strs{"abc", "other"}), Entries(list));
}

TEST(VmHistList, UpdateSequences)
{
    struct Case {
        int max;
        Strs uses;
        Strs expect;
    } cases[] = {
        {3, {"a", "b", "c", "d"}, {"d", "c", "b"}},
        {3, {"a", "b", "A"}, {"A", "b"}},
        {3, {"a", "b", "c", "a"}, {"a", "c", "b"}},   // a repeat at the tail is not lost
        {2, {"x", "", "y"}, {"y", "x"}},              // empty text is not recorded
        {1, {"x", "y", "Y"}, {"Y"}},
        {3, {"C:\\Temp", "c:\\temp", "C:\\TEMP\\"}, {"C:\\TEMP\\", "c:\\temp"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.uses));
        VmHistList list;
        list.SetMaxHistSize(c.max);
        for (const std::string& u : c.uses)
            list.Update(u.c_str());
        EXPECT_EQ(c.expect, Entries(list));
    }
}

TEST(VmHistList, AFullListLosesItsOldestEntry)
{
    VmHistList list;
    EXPECT_EQ(15, list.GetMaxHistSize());
    for (int i = 0; i < 15; ++i)
        list.Update(("t" + std::to_string(i)).c_str());
    ASSERT_EQ(15, list.GetCount());
    list.Update("new");
    EXPECT_EQ(15, list.GetCount());
    EXPECT_STREQ("new", static_cast<const char*>(list.GetHead()));
    EXPECT_STREQ("t1", static_cast<const char*>(list.GetTail()));
    // A smaller maximum trims at the next use.
    list.SetMaxHistSize(4);
    list.Update("t3");
    EXPECT_EQ((Strs{"t3", "new", "t14", "t13"}), Entries(list));
}

TEST(VmHistList, NoRoomMeansNoGrowth)
{
    for (int max : {0, -1, -100}) {
        SCOPED_TRACE(max);
        VmHistList list;
        list.SetMaxHistSize(max);
        EXPECT_FALSE(list.Update("a"));
        EXPECT_FALSE(list.Update("b"));
        EXPECT_EQ(0, list.GetCount());
        EXPECT_TRUE(list.SetFromBytes(Value(5, {"a", "b"}).data(), 11));
        EXPECT_EQ(2, list.GetCount());   // a believable stored maximum replaces it
    }
}

TEST(VmHistList, NullAndEmptyTextChangeNothing)
{
    VmHistList list;
    list.Update("a");
    EXPECT_FALSE(list.Update(nullptr));
    EXPECT_FALSE(list.Update(""));
    EXPECT_EQ((Strs{"a"}), Entries(list));
    EXPECT_FALSE(list.SetFromBytes(nullptr, 10));
    EXPECT_EQ(0, list.GetCount());
}

TEST_F(VmHistListMbcs, TrailBytesAreNeverFolded)
{
    // 0x83 0x41 and 0x83 0x61 are two different double-byte characters of code page 932.
    InitMBCS(932);
    VmHistList list;
    list.Update("\x83\x41");
    list.Update("\x83\x61");
    EXPECT_EQ((Strs{"\x83\x61", "\x83\x41"}), Entries(list));
    // Single-byte letters around them still fold.
    list.Update("x\x83\x41Y");
    list.Update("X\x83\x41y");
    EXPECT_EQ((Strs{"X\x83\x41y", "\x83\x61", "\x83\x41"}), Entries(list));
    EXPECT_FALSE(VmHistList::EqualNoCase("\x83\x41", "\x83\x61"));
    EXPECT_FALSE(VmHistList::EqualNoCase("\x83\x41", "\x83"));
    EXPECT_TRUE(VmHistList::EqualNoCase("\x83", "\x83"));   // a lead byte cut off by the end

    // In a single-byte code page the same bytes are two characters each, and 'A' is 'a'.
    InitMBCS(1252);
    VmHistList single;
    single.Update("\x83\x41");
    single.Update("\x83\x61");
    EXPECT_EQ((Strs{"\x83\x61"}), Entries(single));
}

TEST(VmHistList, StoredBytesFollowTheLayout)
{
    VmHistList list;
    int size = -1;
    void* bytes = list.MakeBytes(size);
    ASSERT_NE(nullptr, bytes);
    EXPECT_EQ(Value(15, {}), std::string(static_cast<char*>(bytes), size));
    EXPECT_EQ(5, size);
    free(bytes);

    list.SetMaxHistSize(0x01020304);
    list.Update("old");
    list.Update("new one");
    bytes = list.MakeBytes(size);
    ASSERT_NE(nullptr, bytes);
    EXPECT_EQ(4 + 4 + 8 + 1, size);
    EXPECT_EQ(std::string("\x04\x03\x02\x01new one\0old\0\0", 17),
              std::string(static_cast<char*>(bytes), size));
    free(bytes);
}

TEST(VmHistList, StoredMaximumLimitsTheEntriesRead)
{
    std::string v = Value(3, {"a", "b", "c", "d", "e"});
    VmHistList list;
    EXPECT_TRUE(list.SetFromBytes(v.data(), (int)v.size()));
    EXPECT_EQ((Strs{"a", "b", "c"}), Entries(list));
    EXPECT_EQ(3, list.GetMaxHistSize());
}

TEST_F(VmHistListMbcs, MalformedBytesAreNeverReadPastTheirEnd)
{
    struct Case {
        const char* what;
        UINT codePage;
        std::string bytes;
        Strs expect;
        int max;
    } cases[] = {
        {"well formed", 1252, Value(15, {"a", "bc"}), {"a", "bc"}, 15},
        {"no extra NUL", 1252, Value(15, {"a", "bc"}, false), {"a", "bc"}, 15},
        {"last entry without NUL", 1252, Value(15, {"a"}, false) + "tail", {"a"}, 15},
        {"only the maximum", 1252, Value(7, {}, false), {}, 7},
        {"three bytes", 1252, std::string("\x05\0\0", 3), {}, 9},
        {"one byte", 1252, std::string("\x05", 1), {}, 9},
        {"count past the end", 1252, Value(10, {"x", "y"}, false), {"x", "y"}, 10},
        {"empty entry ends the list", 1252, Value(10, {"x", "", "y"}), {"x"}, 10},
        {"maximum zero not believed", 1252, Value(0, {"x", "y"}), {"x", "y"}, 9},
        {"huge maximum not believed", 1252, Value(0x7FFFFFFF, {"x"}, false) + "zzzz", {"x"}, 9},
        {"negative maximum not believed", 1252, Value(0xFFFFFFFF, {"x"}), {"x"}, 9},
        {"lead byte as the last byte", 932, Value(15, {"ok"}, false) + "ab\x83", {"ok"}, 15},
        {"lead byte before the NUL", 932, Value(15, {"a\x83", "b"}), {"a\x83", "b"}, 15},
        {"double-byte entries", 932, Value(15, {"\x83\x41\x83\x61", "\x95\x5C"}),
         {"\x83\x41\x83\x61", "\x95\x5C"}, 15},
        {"double-byte with trail like NUL", 932, Value(15, {"\x95"}, false), {"\x95"}, 15},
        {"no NUL at all", 1252, std::string("\x0f\0\0\0abcdef", 10), {}, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InitMBCS(c.codePage);
        GuardedBytes guarded(c.bytes);
        ASSERT_NE(nullptr, guarded.Data());
        VmHistList list;
        list.SetMaxHistSize(9);
        list.SetFromBytes(guarded.Data(), (int)c.bytes.size());
        EXPECT_EQ(c.expect, Entries(list));
        EXPECT_EQ(c.max, list.GetMaxHistSize());
    }
}

TEST_F(VmHistListReg, RoundTripThroughOneBinaryValue)
{
    VmHistList list;
    list.Load("HistTestMRU", 5);
    EXPECT_EQ(0, list.GetCount());
    EXPECT_EQ(5, list.GetMaxHistSize());
    for (const char* t : {"one", "two", "three", "Two"})
        list.Update(t);
    ASSERT_TRUE(list.Store());

    // The registry holds exactly one binary value with the documented bytes.
    RawTree tree;
    ASSERT_TRUE(ReadRawTree(HKEY_CURRENT_USER, Sub("Root"), tree));
    ASSERT_EQ(1u, tree.values.size());
    const RawValue& v = tree.values["HistTestMRU"];
    EXPECT_EQ((DWORD)REG_BINARY, v.type);
    EXPECT_EQ(Value(5, {"Two", "three", "one"}), std::string(v.data.begin(), v.data.end()));

    VmHistList back;
    back.Load("HistTestMRU", 15);
    EXPECT_EQ((Strs{"Two", "three", "one"}), Entries(back));
    EXPECT_EQ(5, back.GetMaxHistSize());
    EXPECT_STREQ("HistTestMRU", back.GetName());

    // An emptied list is stored as its maximum and one NUL.
    back.RemoveAll();
    ASSERT_TRUE(back.Store());
    RawValue empty;
    ASSERT_TRUE(RawGet(HKEY_CURRENT_USER, Sub("Root"), "HistTestMRU", empty));
    EXPECT_EQ(Value(5, {}), std::string(empty.data.begin(), empty.data.end()));
    list.Load("HistTestMRU", 15);
    EXPECT_EQ(0, list.GetCount());
}

TEST_F(VmHistListReg, LoadEmptiesTheListFirst)
{
    VmHistList list;
    list.Update("stale");
    list.Load("MissingMRU", 7);
    EXPECT_EQ(0, list.GetCount());
    EXPECT_EQ(7, list.GetMaxHistSize());
}

TEST_F(VmHistListReg, ValuesThatAreNoHistoryAreIgnored)
{
    std::string good = Value(4, {"kept"});
    std::vector<char> big(VmHistList::MaxValueSize + 1, 'a');
    memcpy(big.data(), good.data(), good.size());
    DWORD number = 3;
    struct Case {
        const char* what;
        DWORD type;
        const void* data;
        DWORD size;
    } cases[] = {
        {"string value", REG_SZ, "\x03\0\0\0abc\0\0", 10},
        {"dword value", REG_DWORD, &number, 4},
        {"oversized", REG_BINARY, big.data(), (DWORD)big.size()},
        {"too short", REG_BINARY, "\x03\0", 2},
        {"empty", REG_BINARY, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RawSet(HKEY_CURRENT_USER, Sub("Root"), "OddMRU", c.type, c.data, c.size);
        VmHistList list;
        list.Update("stale");
        list.Load("OddMRU", 6);
        EXPECT_EQ(0, list.GetCount());
        EXPECT_EQ(6, list.GetMaxHistSize());
    }
    // The same bytes as a binary value of the right size are read.
    RawSet(HKEY_CURRENT_USER, Sub("Root"), "OddMRU", REG_BINARY, good.data(), (DWORD)good.size());
    VmHistList list;
    list.Load("OddMRU", 6);
    EXPECT_EQ((Strs{"kept"}), Entries(list));
    EXPECT_EQ(4, list.GetMaxHistSize());
}

TEST_F(VmHistListReg, NoRootKeyMeansNothingReadOrWritten)
{
    RawSet(HKEY_CURRENT_USER, Sub("Root"), "HistTestMRU", REG_BINARY, Value(5, {"x"}).data(), 7);
    AppInfo::SetAppRootKey("HKXX\\Nowhere");
    VmHistList list;
    list.Load("HistTestMRU", 5);
    EXPECT_EQ(0, list.GetCount());
    list.Update("y");
    EXPECT_FALSE(list.Store());
    AppInfo::SetAppRootKey(Path("Root").c_str());
    list.Load("HistTestMRU", 5);
    EXPECT_EQ((Strs{"x"}), Entries(list));   // the stored value is untouched

    // A list that was never loaded has no value name to store under.
    VmHistList unnamed;
    unnamed.Update("z");
    EXPECT_FALSE(unnamed.Store());
}
