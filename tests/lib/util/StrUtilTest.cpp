#include <gtest/gtest.h>
#include <string>
#include "util/StrUtil.h"
#include "TestHelp.h"

class StrUtilMbcs : public MbcsTest {};

namespace {
// Runs a counting copy twice, measuring then writing, as its callers do.
template <typename F> std::string TwoPass(F copy, int* counted)
{
    char* none = nullptr;
    int count = 0;
    copy(none, count);
    std::string out(count + 8, '#');
    char* p = &out[0];
    int written = 0;
    copy(p, written);
    EXPECT_EQ(count, written);
    EXPECT_EQ(count, p - &out[0]);
    *counted = count;
    return out.substr(0, count);
}
}  // namespace

TEST_F(StrUtilMbcs, LeadBytesFollowTheCodePage)
{
    InitMBCS(932);
    EXPECT_TRUE(IsLead(0x81));
    EXPECT_FALSE(IsLead('A'));
    InitMBCS(1252);
    EXPECT_FALSE(IsLead(0x81));
}

TEST_F(StrUtilMbcs, NextCharAgreesWithTheSystem)
{
    InitMBCS(932);
    // The system's own walk over code page 932 is the reference.
    const char* texts[] = {"a\x95\x5C" "b", "\x83\x5C\x81\x40z", "\x81", "\x95\x5C\\", "plain"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        const char* mine = text;
        const char* sys = text;
        while (*sys) {
            EXPECT_EQ(CharNextExA(932, sys, 0) - text, NextChar(mine) - text);
            sys = CharNextExA(932, sys, 0);
            mine = NextChar(mine);
        }
        EXPECT_EQ(mine, NextChar(mine));   // the terminator stays
    }
}

TEST_F(StrUtilMbcs, CountingCopiesCountWhatTheyWrite)
{
    InitMBCS(932);
    int count = 0;
    std::string out = TwoPass(
        [](char*& o, int& c) {
            CopyStr(o, "ab\x95\x5C", c);
            CharAdd(o, 0, c);
            CopyStr(o, nullptr, c);
            CopyStr(o, "", c);
        },
        &count);
    EXPECT_EQ(5, count);
    EXPECT_EQ(std::string("ab\x95\x5C", 4) + std::string(1, '\0'), out);

    // StrCopy takes one character, both bytes of a pair.
    const char* in = "\x95\x5Cx";
    char buf[4] = {};
    char* p = buf;
    int n = 0;
    StrCopy(p, in, n);
    EXPECT_EQ(2, n);
    EXPECT_STREQ("x", in);
    StrCopy(p, in, n);
    StrCopy(p, in, n);   // at the end: nothing
    EXPECT_EQ(3, n);
    EXPECT_EQ(0, memcmp(buf, "\x95\x5Cx", 3));
}

TEST_F(StrUtilMbcs, CountingCopyDropsALeadByteCutByTheEnd)
{
    InitMBCS(932);
    int count = 0;
    std::string out = TwoPass([](char*& o, int& c) { CopyStr(o, "ab\x95", c); }, &count);
    EXPECT_EQ("ab", out);
    InitMBCS(1252);
    out = TwoPass([](char*& o, int& c) { CopyStr(o, "ab\x95", c); }, &count);
    EXPECT_EQ("ab\x95", out);   // a plain byte in a single-byte code page
}

TEST(StrUtil, AddQuotesIfSpace)
{
    struct Case { const char* in; const char* out; bool added; };
    const Case cases[] = {
        {"C:\\Program Files\\x.exe", "\"C:\\Program Files\\x.exe\"", true},
        {"C:\\dir\\x.exe", "C:\\dir\\x.exe", false},
        {"", "", false},
        {" ", "\" \"", true},
        {"\"a b\"", "\"a b\"", false},   // already quoted
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        GuardBuf<64> b(c.in);
        EXPECT_EQ(c.added, AddQuotesIfSpace(b.buf, sizeof(b.buf)));
        EXPECT_STREQ(c.out, b.buf);
        EXPECT_TRUE(b.GuardIntact());
    }
    EXPECT_FALSE(AddQuotesIfSpace(nullptr));
}

TEST(StrUtil, AddQuotesIfSpaceNeverWritesPastTheBuffer)
{
    GuardBuf<8> full("a b c d");   // 7 characters: no room for two quotes
    EXPECT_FALSE(AddQuotesIfSpace(full.buf, sizeof(full.buf)));
    EXPECT_STREQ("a b c d", full.buf);
    EXPECT_TRUE(full.GuardIntact());
    GuardBuf<8> fits("a b c");     // 5 + 2 + terminator = 8
    EXPECT_TRUE(AddQuotesIfSpace(fits.buf, sizeof(fits.buf)));
    EXPECT_STREQ("\"a b c\"", fits.buf);
    EXPECT_TRUE(fits.GuardIntact());
}

TEST(StrUtil, RemoveWhiteSpacesAndQuotes)
{
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"  \"C:\\My Files\\a.txt\"  ", "C:\\My Files\\a.txt"},
        {"\t\" C:\\x \"\t", "C:\\x"},
        {"plain", "plain"},
        {"   ", ""},
        {"", ""},
        {"\"", ""},
        {"\"\"", ""},
        {"a\"", "a"},
        {"\"a", "a"},
        {"\"\"a\"\"", "\"a\""},   // only one quote at each end goes
        {" a b ", "a b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        GuardBuf<64> b(c.in);
        EXPECT_TRUE(RemoveWhiteSpacesAndQuotes(b.buf));
        EXPECT_STREQ(c.out, b.buf);
        EXPECT_TRUE(b.GuardIntact());
    }
    EXPECT_FALSE(RemoveWhiteSpacesAndQuotes(nullptr));
}

TEST(StrUtil, StrFindInList)
{
    const char list[] = "alpha\0Beta\0gamma\0";
    EXPECT_EQ(0, StrFindInList(list, "alpha", true));
    EXPECT_EQ(1, StrFindInList(list, "Beta", true));
    EXPECT_EQ(-1, StrFindInList(list, "beta", true));
    EXPECT_EQ(1, StrFindInList(list, "BETA", false));
    EXPECT_EQ(2, StrFindInList(list, "Gamma", false));
    EXPECT_EQ(-1, StrFindInList(list, "delta", false));
    EXPECT_EQ(-1, StrFindInList(list, "alph", false));    // whole entries only
    EXPECT_EQ(-1, StrFindInList(list, "", false));        // the end marker is no entry
    EXPECT_EQ(-1, StrFindInList("", "alpha", false));
    EXPECT_EQ(-1, StrFindInList(nullptr, "alpha", false));
    EXPECT_EQ(-1, StrFindInList(list, nullptr, false));
}

TEST_F(StrUtilMbcs, StrCopyNCutsOnCharacterBoundaries)
{
    InitMBCS(932);
    GuardBuf<4> b;
    EXPECT_FALSE(StrCopyN(b.buf, "a\x95\x5C" "b", sizeof(b.buf)));
    EXPECT_STREQ("a\x95\x5C", b.buf);
    EXPECT_TRUE(b.GuardIntact());
    GuardBuf<3> c;
    EXPECT_FALSE(StrCopyN(c.buf, "a\x95\x5C", sizeof(c.buf)));
    EXPECT_STREQ("a", c.buf);   // the pair does not fit and is not split
    EXPECT_TRUE(c.GuardIntact());
    EXPECT_TRUE(StrCopyN(c.buf, "ab", sizeof(c.buf)));
    EXPECT_STREQ("ab", c.buf);
    EXPECT_FALSE(StrCopyN(c.buf, nullptr, sizeof(c.buf)));
    EXPECT_STREQ("", c.buf);
    EXPECT_FALSE(StrCopyN(nullptr, "ab", 3));
    EXPECT_FALSE(StrCopyN(c.buf, "ab", 0));
    EXPECT_TRUE(c.GuardIntact());
}

// Every test executable carries the programs' manifest; Wine 8 and Windows 10 1903 and later
// then run it with the UTF-8 process code page.
TEST(StrUtil, ProcessCodePageIsUtf8)
{
    EXPECT_EQ(65001u, GetACP());
    // A name outside every legacy code page survives the 8-bit round trip.
    const wchar_t wide[] = L"\u65e5\u672c\u8a9e \U0001F600.txt";
    char narrow[64];
    int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof(narrow), NULL, NULL);
    ASSERT_GT(n, 0);
    wchar_t back[64];
    ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, narrow, -1, back, 64), 0);
    EXPECT_STREQ(wide, back);
}
