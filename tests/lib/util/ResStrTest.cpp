#include <gtest/gtest.h>
#include <string>
#include <string.h>
#include "LibRes.h"
#include "util/ResStr.h"
#include "util/StrUtil.h"
#include "TestHelp.h"

class ResStrFmtMbcs : public MbcsTest {};

namespace {
// The library's own table, read directly, as the reference.
std::string LibString(int id)
{
    char buf[1024] = "";
    LoadStringA(GetLibModule(), id, buf, sizeof(buf));
    return buf;
}
}  // namespace

TEST(ResStr, NegativeIdReadsTheLibraryTable)
{
    std::string expected = LibString(IDS_LIB_REGISTER_FAILED);
    ASSERT_FALSE(expected.empty());
    ResStr s(-IDS_LIB_REGISTER_FAILED);
    EXPECT_FALSE(s.IsEmpty());
    EXPECT_STREQ(expected.c_str(), s);
    EXPECT_EQ(static_cast<int>(expected.size()), s.GetLength());
}

TEST(ResStr, ExplicitModuleIsUsedForPositiveIds)
{
    ResStr s(IDS_LIB_ABOUT, GetLibModule());
    EXPECT_STREQ(LibString(IDS_LIB_ABOUT).c_str(), s);
}

TEST(ResStr, MissingStringIsEmptyNotNull)
{
    ResStr s(-31999);
    EXPECT_TRUE(s.IsEmpty());
    const char* text = s;
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ("", text);
    EXPECT_EQ(0, s.GetLength());

    // The test program has no string table: a positive id is missing too.
    ResStr app(IDS_LIB_ABOUT);
    EXPECT_TRUE(app.IsEmpty());
    EXPECT_STREQ("", app);

    ResStr none;
    EXPECT_STREQ("", none);
}

TEST(ResStr, LoadReplacesAndEmptyFrees)
{
    ResStr s(-IDS_LIB_ABOUT);
    ASSERT_FALSE(s.IsEmpty());
    EXPECT_TRUE(s.Load(-IDS_LIB_REGISTER_FAILED));
    EXPECT_STREQ(LibString(IDS_LIB_REGISTER_FAILED).c_str(), s);
    EXPECT_FALSE(s.Load(-31999));   // a failed load leaves nothing of the old text
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_TRUE(s.Load(-IDS_LIB_ABOUT));
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ("", s);
}

TEST(ResStr, CopiesAreIndependent)
{
    ResStr a(-IDS_LIB_ABOUT);
    ResStr b(a);
    ASSERT_STREQ(a, b);
    EXPECT_NE(static_cast<const char*>(a), static_cast<const char*>(b));
    a.Empty();
    EXPECT_STREQ(LibString(IDS_LIB_ABOUT).c_str(), b);
    ResStr c;
    c = b;
    c = c;   // self-assignment keeps the text
    EXPECT_STREQ(b, c);
}

TEST(ResStrFmt, FormatsTheLibraryString)
{
    std::string format = LibString(IDS_LIB_REGISTER_FAILED);
    ASSERT_NE(std::string::npos, format.find("%s"));
    char expected[1024];
    snprintf(expected, sizeof(expected), format.c_str(), "remove the registration");
    ResStrFmt s(-IDS_LIB_REGISTER_FAILED, "remove the registration");
    EXPECT_STREQ(expected, s);
    EXPECT_NE(nullptr, strstr(s, "remove the registration"));
}

TEST(ResStrFmt, LongResultIsCutAt1023Characters)
{
    std::string arg(3000, 'x');
    ResStrFmt s(-IDS_LIB_REGISTER_FAILED, arg.c_str());
    EXPECT_EQ(1023, s.GetLength());
    std::string prefix = LibString(IDS_LIB_REGISTER_FAILED);
    prefix = prefix.substr(0, prefix.find("%s"));
    EXPECT_EQ(0, strncmp(s, prefix.c_str(), prefix.size()));
    EXPECT_EQ('x', static_cast<const char*>(s)[1022]);
}

TEST_F(ResStrFmtMbcs, CutNeverLeavesHalfADoubleByteCharacter)
{
    InitMBCS(932);
    // Each "\x82\xA0" is one character: 1,023 bytes cannot end on a whole one after the prefix.
    std::string prefix = LibString(IDS_LIB_REGISTER_FAILED);
    size_t before = prefix.find("%s");
    std::string arg;
    while (arg.size() < 2000)
        arg += "\x82\xA0";
    ResStrFmt s(-IDS_LIB_REGISTER_FAILED, arg.c_str());
    size_t expected = before + ((1023 - before) / 2) * 2;
    EXPECT_EQ(static_cast<int>(expected), s.GetLength());
}

TEST(ResStrFmt, MissingStringStaysEmpty)
{
    ResStrFmt s(-31999, "anything", 5);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ("", s);
}
