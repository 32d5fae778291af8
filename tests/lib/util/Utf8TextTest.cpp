// The string and path helpers on UTF-8 text (the process code page), and the exact
// conversions between UTF-16 and the code page.
#include <windows.h>
#include <string>
#include "TestHelp.h"
#include "util/PathUtil.h"
#include "util/StrUtil.h"

namespace {
// "日本語" (3 bytes each), "Жук" (2 bytes each), "é", and an emoji (4 bytes, a surrogate pair).
const char kJapanese[] = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
const char kCyrillic[] = "\xD0\x96\xD1\x83\xD0\xBA";
const char kEmoji[] = "\xF0\x9F\x98\x80";
const WCHAR kJapaneseW[] = L"\x65E5\x672C\x8A9E";
const WCHAR kEmojiW[] = L"\xD83D\xDE00";

class Utf8Text : public MbcsTest {
protected:
    void SetUp() override { InitMBCS(CP_UTF8); }
};

// Every cut of a text made of several-byte characters ends on a character boundary.
bool EndsWhole(const std::string& text)
{
    int len = (int)text.size();
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), len, NULL, 0) > 0 ||
           len == 0;
}
}  // namespace

TEST_F(Utf8Text, CharBytesStepsWholeSequences)
{
    EXPECT_TRUE(IsUtf8CodePage());
    EXPECT_EQ(3, CharBytes(kJapanese));
    EXPECT_EQ(2, CharBytes(kCyrillic));
    EXPECT_EQ(4, CharBytes(kEmoji));
    EXPECT_EQ(1, CharBytes("a"));
    EXPECT_EQ(0, CharBytes(""));
    // Broken sequences move on one byte at a time and never past the terminator.
    EXPECT_EQ(1, CharBytes("\xE6\x97"));
    EXPECT_EQ(1, CharBytes("\x97\x97"));
    EXPECT_EQ(1, CharBytes("\xC0\x80"));       // overlong
    EXPECT_EQ(1, CharBytes("\xED\xA0\x80"));   // a surrogate in UTF-8
    const char* p = kJapanese;
    int steps = 0;
    while (*p) {
        p = NextChar(p);
        ++steps;
    }
    EXPECT_EQ(3, steps);
}

TEST_F(Utf8Text, StrCopyNNeverSplitsASequence)
{
    std::string text = std::string("a") + kJapanese + kEmoji + kCyrillic + "z";
    for (int size = 1; size <= (int)text.size() + 2; ++size) {
        GuardBuf<64> out;
        bool whole = StrCopyN(out.buf, text.c_str(), size);
        std::string got = out.buf;
        EXPECT_LE((int)got.size(), size - 1) << size;
        EXPECT_TRUE(EndsWhole(got)) << "size " << size;
        EXPECT_EQ(0u, text.compare(0, got.size(), got)) << size;
        EXPECT_EQ(whole, got == text) << size;
        EXPECT_TRUE(out.GuardIntact());
    }
}

TEST_F(Utf8Text, CutLenDropsASequenceCutByTheEnd)
{
    std::string text = std::string("ab") + kJapanese;
    EXPECT_EQ(2, CutLen(text.c_str(), (int)text.size(), 4));
    EXPECT_EQ(5, CutLen(text.c_str(), (int)text.size(), 5));
    // The text itself ends in half a character.
    EXPECT_EQ(2, CutLen("ab\xE6\x97", 4, 10));
    EXPECT_EQ(2, CutLen("ab\xE6\x97", 10, 10));
}

TEST_F(Utf8Text, PathHelpersKeepNamesWhole)
{
    std::string path = std::string("C:\\") + kJapanese + "\\" + kEmoji + kCyrillic + ".txt";
    char buf[MAX_PATH];
    lstrcpyA(buf, path.c_str());
    EXPECT_EQ(std::string(kEmoji) + kCyrillic + ".txt", FindNameExt(buf));
    ASSERT_TRUE(StripFileExt(buf));
    EXPECT_EQ(std::string("C:\\") + kJapanese + "\\" + kEmoji + kCyrillic, buf);
    ASSERT_TRUE(StripFileName(buf));
    EXPECT_EQ(std::string("C:\\") + kJapanese + "\\", buf);
    EXPECT_TRUE(RemoveBackSlash(buf));
    EXPECT_EQ(std::string("C:\\") + kJapanese, buf);
    // MakePath into a buffer too small refuses and never ends inside a character.
    char small[8];
    EXPECT_FALSE(MakePath(small, "C:\\", kJapanese, nullptr, sizeof(small)));
    EXPECT_TRUE(EndsWhole(small));
}

TEST_F(Utf8Text, CountingCopyCopiesWholeCharacters)
{
    const char* in = kEmoji;
    char out[8] = {};
    char* w = out;
    int count = 0;
    StrCopy(w, in, count);
    EXPECT_EQ(4, count);
    EXPECT_EQ(std::string(kEmoji), std::string(out, 4));
}

TEST(ExactText, WideToAnsiExactUnderUtf8)
{
    ASSERT_EQ(CP_UTF8, GetACP());
    char buf[32];
    ASSERT_TRUE(WideToAnsiExact(kJapaneseW, -1, buf, sizeof(buf)));
    EXPECT_STREQ(kJapanese, buf);
    ASSERT_TRUE(WideToAnsiExact(kEmojiW, -1, buf, sizeof(buf)));
    EXPECT_STREQ(kEmoji, buf);
    // A lone surrogate has no UTF-8 form: refused, not replaced.
    const WCHAR lone[] = L"a\xD83D" L"b";
    EXPECT_FALSE(WideToAnsiExact(lone, -1, buf, sizeof(buf)));
    EXPECT_STREQ("", buf);
    // Too long for the buffer: refused, not cut.
    EXPECT_FALSE(WideToAnsiExact(kJapaneseW, -1, buf, 9));
    EXPECT_STREQ("", buf);
    EXPECT_TRUE(WideToAnsiExact(kJapaneseW, -1, buf, 10));
}

TEST(ExactText, AnsiToWideExactRefusesInvalidUtf8)
{
    WCHAR wide[16];
    ASSERT_TRUE(AnsiToWideExact(kJapanese, -1, wide, 16));
    EXPECT_EQ(0, lstrcmpW(kJapaneseW, wide));
    EXPECT_FALSE(AnsiToWideExact("C:\\\xE6\x97", -1, wide, 16));
    EXPECT_FALSE(AnsiToWideExact("C:\\\xFF", -1, wide, 16));
    EXPECT_FALSE(AnsiToWideExact(kJapanese, -1, wide, 3));   // does not fit
    EXPECT_TRUE(IsValidAnsiText(kEmoji));
    EXPECT_FALSE(IsValidAnsiText("a\xC0\x80"));
    EXPECT_TRUE(HasWildcard("C:\\???.txt"));
    EXPECT_TRUE(HasWildcard("a*"));
    EXPECT_FALSE(HasWildcard(kJapanese));
}
