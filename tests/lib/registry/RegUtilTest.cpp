#include "RegFixture.h"
#include "registry/RegUtil.h"

namespace {
class RegUtilTest : public RegFixture {
};
}  // namespace

TEST_F(RegUtilTest, RectRoundTripUnderPrefixedNames)
{
    RegKey key(Path().c_str(), 1);
    const RECT rects[] = {{10, 20, 300, 400}, {-1600, -5, -10, 0}, {0, 0, 0, 0}};
    for (const RECT& r : rects) {
        SCOPED_TRACE(r.left);
        ASSERT_TRUE(RegPutRect(key, &r, "DlgTest"));
        EXPECT_EQ((DWORD)r.left, key.GetDword("DlgTestL", 1));
        EXPECT_EQ((DWORD)r.top, key.GetDword("DlgTestT", 1));
        EXPECT_EQ((DWORD)r.right, key.GetDword("DlgTestR", 1));
        EXPECT_EQ((DWORD)r.bottom, key.GetDword("DlgTestB", 1));
        RECT back = {1, 2, 3, 4};
        EXPECT_TRUE(RegGetRect(key, &back, "DlgTest"));
        EXPECT_TRUE(EqualRect(&r, &back));
    }
}

TEST_F(RegUtilTest, RectReadKeepsFieldsOfMissingValues)
{
    RawSetDword(HKEY_CURRENT_USER, Sub(), "WinL", 5);
    RawSetDword(HKEY_CURRENT_USER, Sub(), "WinB", 50);
    RawSetStr(HKEY_CURRENT_USER, Sub(), "WinT", "not a number");
    RegKey key(Path().c_str());
    RECT r = {1, 2, 3, 4};
    EXPECT_FALSE(RegGetRect(key, &r, "Win"));
    EXPECT_EQ(5, r.left);
    EXPECT_EQ(2, r.top);
    EXPECT_EQ(3, r.right);
    EXPECT_EQ(50, r.bottom);
}

TEST_F(RegUtilTest, RectBadArguments)
{
    RegKey key(Path().c_str(), 1);
    RECT r = {1, 2, 3, 4};
    EXPECT_FALSE(RegGetRect(key, NULL, "X"));
    EXPECT_FALSE(RegPutRect(key, NULL, "X"));
    RegKey closed;
    EXPECT_FALSE(RegPutRect(closed, &r, "X"));
    EXPECT_FALSE(RegGetRect(closed, &r, "X"));
    EXPECT_EQ(1, r.left);
    std::string longPrefix(MAX_PATH, 'p');
    EXPECT_FALSE(RegPutRect(key, &r, longPrefix.c_str()));
    // No prefix: the bare side letters.
    EXPECT_TRUE(RegPutRect(key, &r, NULL));
    EXPECT_EQ(4u, key.GetDword("B", 0));
}

TEST_F(RegUtilTest, PowerUserLeavesNoTrace)
{
    // Wine lets every user write HKLM; on Windows this depends on the account.
    bool power = IsPowerUser();
    EXPECT_TRUE(power);
    RegKey key(sz_HKLM_Software_MyCompany);
    EXPECT_FALSE(key.FindValue("Temp"));
}
