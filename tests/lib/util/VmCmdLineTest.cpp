#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "util/StrUtil.h"
#include "TestHelp.h"
#include "util/VmCmdLine.h"

class VmCmdLineMbcs : public MbcsTest {};

namespace {
// Records every handler call as "P<index>:<text>" or "O:<text>".
class Recorder : public VmCmdLine {
public:
    Recorder(const char* text, char sep) : VmCmdLine(text, sep) {}
    std::vector<std::string> calls;

protected:
    void ParseParam(int index, const char* text) override
    {
        calls.push_back("P" + std::to_string(index) + ":" + text);
    }
    void ParseOption(const char* text) override { calls.push_back(std::string("O:") + text); }
};

typedef std::vector<std::string> Calls;

Calls ParseText(const char* text, char sep)
{
    Recorder r(text, sep);
    EXPECT_TRUE(r.Parse());
    return r.calls;
}
}  // namespace

TEST(VmCmdLine, SplitsQuotesAndSwitches)
{
    struct Case { const char* text; char sep; Calls expected; };
    const Case cases[] = {
        {"a, b ,c", ',', {"P0:a", "P1:b", "P2:c"}},
        {"\"x,y\",z", ',', {"P0:x,y", "P1:z"}},
        {"\"\"word\"\"", ',', {"P0:\"word\""}},                // a doubled quote is one quote
        {"say \"\"hi\"\"", ' ', {"P0:say", "P1:\"hi\""}},
        {"\"a \"\"b\"\" c\"", ' ', {"P0:a \"b\" c"}},           // doubled inside quotes too
        {"/path \"C:\\Program Files\\x\"", ' ', {"O:path", "P0:C:\\Program Files\\x"}},
        {"/\"long name\" -v", ' ', {"O:long name", "O:v"}},
        {"-", ' ', {}},
        {"/ ", ' ', {}},
        {"/,a", ',', {"P0:a"}},
        {"a,,b", ',', {"P0:a", "P1:", "P2:b"}},                 // an empty piece takes an index
        {",", ',', {"P0:"}},
        {"a,b,", ',', {"P0:a", "P1:b"}},
        {"\" \"", ' ', {"P0: "}},                               // a blank piece keeps one blank
        {"\"   \"", ',', {"P0: "}},
        {"a\tb", ' ', {"P0:a\tb"}},                             // only character 32 is a blank
        {"  a   b  ", ' ', {"P0:a", "P1:b"}},
        {"\"unclosed, rest", ',', {"P0:unclosed, rest"}},
        {"/minimize,C:\\a, D:\\b", ',', {"O:minimize", "P0:C:\\a", "P1:D:\\b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.expected, ParseText(c.text, c.sep));
    }
}

TEST(VmCmdLine, EmptyAndBlankTextCallNothing)
{
    EXPECT_TRUE(ParseText("", ' ').empty());
    EXPECT_TRUE(ParseText("    ", ' ').empty());
    EXPECT_TRUE(ParseText("    ", ',').empty());
}

TEST(VmCmdLine, NoTextIsAFailure)
{
    Recorder r(nullptr, ' ');
    EXPECT_FALSE(r.Parse());
    EXPECT_TRUE(r.calls.empty());
    VmCmdLine base;   // the default has no text either
    EXPECT_FALSE(base.Parse());
}

TEST(VmCmdLine, PiecesLongerThanTheFirstBufferArriveWhole)
{
    for (size_t len : {258u, 259u, 260u, 261u, 1000u}) {
        SCOPED_TRACE(len);
        std::string piece(len, 'p');
        std::string text = "a," + piece + ",\"" + piece + "\",b";
        EXPECT_EQ(Calls({"P0:a", "P1:" + piece, "P2:" + piece, "P3:b"}), ParseText(text.c_str(), ','));
    }
}

TEST(VmCmdLine, CounterRestartsAndInitReplaces)
{
    Recorder r("a b", ' ');
    ASSERT_TRUE(r.Parse());
    EXPECT_EQ(2, r.GetParamCount());
    ASSERT_TRUE(r.Parse());
    EXPECT_EQ(Calls({"P0:a", "P1:b", "P0:a", "P1:b"}), r.calls);
    r.calls.clear();
    r.Init("x;y z", ';');
    ASSERT_TRUE(r.Parse());
    EXPECT_EQ(Calls({"P0:x", "P1:y z"}), r.calls);
    EXPECT_EQ(2, r.GetParamCount());
}

TEST(VmCmdLine, CopiesParseTheSameText)
{
    Recorder a("one,two", ',');
    Recorder b(a);
    Recorder c("other", ' ');
    c = a;
    ASSERT_TRUE(b.Parse());
    ASSERT_TRUE(c.Parse());
    EXPECT_EQ(Calls({"P0:one", "P1:two"}), b.calls);
    EXPECT_EQ(b.calls, c.calls);
}

// "|" is 0x7C, a valid trail byte of 932 ("\x83\x7C" is one character).
TEST_F(VmCmdLineMbcs, TrailBytesAreNeverSeparatorsOrQuotes)
{
    const char text[] = "\x83\x7C|b|\"\x95\x5C\"";
    InitMBCS(932);
    ASSERT_TRUE(IsDBCSLeadByteEx(932, 0x83));
    EXPECT_EQ(Calls({"P0:\x83\x7C", "P1:b", "P2:\x95\x5C"}), ParseText(text, '|'));
    InitMBCS(1252);
    EXPECT_EQ(Calls({"P0:\x83", "P1:", "P2:b", "P3:\x95\x5C"}), ParseText(text, '|'));
}
