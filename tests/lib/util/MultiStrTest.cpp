#include <gtest/gtest.h>
#include <malloc.h>
#include <string>
#include <vector>
#include "util/MultiStr.h"
#include "util/StrUtil.h"
#include "TestHelp.h"

class MultiStrMbcs : public MbcsTest {};

namespace {
// The same adder calls in both passes, as the callers do.
void AddNames(MultiStr& m, const std::vector<std::string>& names)
{
    for (const std::string& n : names)
        m.AddStrZ(n.c_str());
}

std::vector<std::string> Split(const char* list)
{
    std::vector<std::string> out;
    for (const char* p = list; *p; p += strlen(p) + 1)
        out.push_back(p);
    return out;
}
}  // namespace

TEST(MultiStr, TwoPassesBuildADoubleZeroList)
{
    const std::vector<std::string> names = {"C:\\a.txt", "C:\\dir\\b", "x"};
    MultiStr m;
    EXPECT_TRUE(m.IsEmpty());
    AddNames(m, names);
    EXPECT_EQ(nullptr, m.GetBuffer());   // counting only
    int counted = m.GetCount();
    EXPECT_EQ(9 + 9 + 2, counted);
    ASSERT_TRUE(m.Start());
    EXPECT_TRUE(m.IsEmpty());
    AddNames(m, names);
    EXPECT_TRUE(m.Finish());
    EXPECT_EQ(counted, m.GetCount());
    EXPECT_EQ(names, Split(m));
    EXPECT_EQ(0, m.GetBuffer()[counted]);   // the final zero after the last terminator
    EXPECT_EQ(0, m.GetBuffer()[counted - 1]);
    EXPECT_EQ(static_cast<size_t>(counted + 1), _msize(const_cast<char*>(m.GetBuffer())));
}

TEST(MultiStr, CharsAndZerosCountLikeText)
{
    MultiStr m;
    auto adders = [](MultiStr& s) {
        s.AddChar('a');
        s.AddStr("bc");
        s.AddZ();
        s.AddStr(nullptr);
        s.AddStr("");
        s.AddStrZ("d");
    };
    adders(m);
    EXPECT_EQ(6, m.GetCount());
    ASSERT_TRUE(m.Start());
    adders(m);
    m.Finish();
    EXPECT_EQ(0, memcmp(m.GetBuffer(), "abc\0d\0\0", 7));
}

TEST(MultiStr, NothingAddedGivesAnEmptyList)
{
    MultiStr m;
    ASSERT_TRUE(m.Start());
    m.Finish();
    ASSERT_NE(nullptr, m.GetBuffer());
    EXPECT_EQ(0, m.GetBuffer()[0]);
    EXPECT_TRUE(m.IsEmpty());
    m.Free();
    EXPECT_EQ(nullptr, m.GetBuffer());
    EXPECT_EQ(0, m.GetCount());
    EXPECT_FALSE(m.Finish());   // no buffer: nothing to write
}

TEST(MultiStr, ALongerSecondPassDropsTheEntryThatDidNotFit)
{
    MultiStr m;
    m.AddStrZ("C:\\one");
    m.AddStrZ("C:\\two");
    ASSERT_TRUE(m.Start());
    m.AddStrZ("C:\\one");
    m.AddStrZ("C:\\two\\longer");   // a cut would name another file: it goes whole
    m.AddStrZ("C:\\x");
    EXPECT_FALSE(m.Finish());
    ASSERT_EQ(15u, _msize(const_cast<char*>(m.GetBuffer())));
    EXPECT_EQ(0, memcmp(m.GetBuffer(), "C:\\one\0\0", 8));
    EXPECT_GT(m.GetCount(), 14);   // the count shows the passes differed
}

TEST(MultiStr, ALongerSingleTextIsCutToNothing)
{
    MultiStr m;
    m.AddStr("abc");
    ASSERT_TRUE(m.Start());
    m.AddStr("abcdefgh");
    m.AddChar('z');
    EXPECT_FALSE(m.Finish());
    ASSERT_EQ(4u, _msize(const_cast<char*>(m.GetBuffer())));
    EXPECT_STREQ("", m.GetBuffer());
}

TEST_F(MultiStrMbcs, DoubleByteNamesRoundTrip)
{
    InitMBCS(932);
    // Trail bytes 0x5C are no separators and no terminators: the list comes back as given.
    const std::vector<std::string> names = {"C:\\\x95\x5C\\a", "\x83\x5C", "b\x81\x5C"};
    MultiStr m;
    AddNames(m, names);
    EXPECT_EQ(8 + 3 + 4, m.GetCount());
    ASSERT_TRUE(m.Start());
    AddNames(m, names);
    EXPECT_TRUE(m.Finish());
    EXPECT_EQ(names, Split(m));
}

TEST_F(MultiStrMbcs, ALeadByteCutByTheTextEndIsDroppedInBothPasses)
{
    InitMBCS(932);
    MultiStr m;
    m.AddStrZ("a\x95");
    EXPECT_EQ(2, m.GetCount());
    ASSERT_TRUE(m.Start());
    m.AddStrZ("a\x95");
    EXPECT_TRUE(m.Finish());
    EXPECT_EQ(0, memcmp(m.GetBuffer(), "a\0\0", 3));
}

TEST(MultiStr, StartAgainReplacesTheBuffer)
{
    MultiStr m;
    m.AddStrZ("one");
    ASSERT_TRUE(m.Start());
    m.AddStrZ("one");
    m.Finish();
    m.Free();
    m.AddStrZ("second");
    ASSERT_TRUE(m.Start());
    m.AddStrZ("second");
    m.Finish();
    EXPECT_EQ(std::vector<std::string>({"second"}), Split(m));
}
