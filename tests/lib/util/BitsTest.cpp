#include <gtest/gtest.h>
#include "util/Bits.h"

TEST(Bits, SetBitsBoolTouchesOnlyTheMask32)
{
    DWORD w = 0x80000001;
    SetBitsBool(w, 0x00FF0000, true);
    EXPECT_EQ(0x80FF0001u, w);
    SetBitsBool(w, 0x80010000, false);
    EXPECT_EQ(0x00FE0001u, w);
    SetBitsBool(w, 0, true);   // an empty mask changes nothing
    EXPECT_EQ(0x00FE0001u, w);
}

TEST(Bits, SetBitsBoolNarrowFormsKeepTheirWidth)
{
    WORD w = 0x00F0;
    SetBitsBool(w, static_cast<WORD>(0xFF00), true);
    EXPECT_EQ(0xFFF0, w);
    SetBitsBool(w, static_cast<WORD>(0x8010), false);
    EXPECT_EQ(0x7FE0, w);

    BYTE b = 0x0F;
    SetBitsBool(b, static_cast<BYTE>(0x81), false);
    EXPECT_EQ(0x0E, b);
    SetBitsBool(b, static_cast<BYTE>(0xF0), true);
    EXPECT_EQ(0xFE, b);

    UINT u = 0;
    SetBitsBool(u, 0xFFFFFFFFu, true);
    EXPECT_EQ(0xFFFFFFFFu, u);
}

TEST(Bits, SetBitsMaskTakesValueInsideMaskOnly)
{
    struct Case { DWORD word, mask, value, expected; };
    const Case cases[] = {
        {0x00000000, 0x0000000F, 0xFFFFFFFF, 0x0000000F},   // value bits outside the mask ignored
        {0xFFFFFFFF, 0x0000000F, 0x00000005, 0xFFFFFFF5},   // mask bits not in value cleared
        {0x12345678, 0x00000000, 0xFFFFFFFF, 0x12345678},   // empty mask
        {0x12345678, 0xFFFFFFFF, 0x0BADF00D, 0x0BADF00D},   // full mask takes value
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.word << " " << c.mask << " " << c.value);
        DWORD w = c.word;
        SetBitsMask(w, c.mask, c.value);
        EXPECT_EQ(c.expected, w);
    }
    BYTE b = 0xAA;
    SetBitsMask(b, static_cast<BYTE>(0x0F), static_cast<BYTE>(0x05));
    EXPECT_EQ(0xA5, b);
    WORD w = 0xAAAA;
    SetBitsMask(w, static_cast<WORD>(0xFF00), static_cast<WORD>(0x1234));
    EXPECT_EQ(0x12AA, w);
}
