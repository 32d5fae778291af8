#include <gtest/gtest.h>
#include "util/VmBuf.h"

TEST(VmBuf, BlockIsZeroFilled)
{
    VmBuf buf(300);
    ASSERT_NE(nullptr, static_cast<char*>(buf));
    EXPECT_EQ(300, buf.GetSize());
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(0, buf.GetAt(i)) << i;
    EXPECT_TRUE(buf.IsEmpty());   // first byte 0
}

TEST(VmBuf, SetAtShowsThroughThePointer)
{
    VmBuf buf(4);
    buf.SetAt(0, 'h');
    buf.SetAt(1, 'i');
    EXPECT_FALSE(buf.IsEmpty());
    EXPECT_STREQ("hi", buf);
    EXPECT_EQ('i', buf.GetAt(1));
}

TEST(VmBuf, SizeZeroOrLessHasNoBlock)
{
    for (int size : {0, -1}) {
        SCOPED_TRACE(size);
        VmBuf buf(size);
        EXPECT_EQ(nullptr, static_cast<char*>(buf));
        EXPECT_TRUE(buf.IsEmpty());
        EXPECT_EQ(0, buf.GetAt(0));
        buf.SetAt(0, 1);   // nothing to write to
        EXPECT_EQ(0, buf.GetSize());
    }
}

TEST(VmBuf, IndexesOutsideTheBlockTouchNothing)
{
    VmBuf buf(2);
    buf.SetAt(2, 0x55);
    buf.SetAt(-1, 0x55);
    EXPECT_EQ(0, buf.GetAt(2));
    EXPECT_EQ(0, buf.GetAt(-1));
    EXPECT_EQ(0, buf.GetAt(0));
    EXPECT_EQ(0, buf.GetAt(1));
}
