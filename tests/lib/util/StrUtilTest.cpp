#include <gtest/gtest.h>
#include "util/StrUtil.h"

TEST(StrUtil, LeadBytesFollowTheCodePage)
{
    InitMBCS(932);
    EXPECT_TRUE(IsLead(0x81));
    EXPECT_FALSE(IsLead('A'));
    InitMBCS(1252);
    EXPECT_FALSE(IsLead(0x81));
    InitMBCS();
}
