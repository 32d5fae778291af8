#include "RegFixture.h"
#include "registry/RegUtil.h"

namespace {
// Works on the real maker's keys with a product name of its own.
class FormerKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_name = "PanorelTestMove" + std::to_string(GetCurrentProcessId());
        CleanUp();
    }
    void TearDown() override { CleanUp(); }
    void CleanUp()
    {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            RegDeleteTreeA(root, Old().c_str());
            RegDeleteTreeA(root, New().c_str());
            RegDeleteTreeA(root, "Software\\Velmora\\PanorelTestSibling");
            RegDeleteKeyA(root, "Software\\Velmora");   // only when empty
        }
    }
    std::string Old() const { return "Software\\Velmora\\" + m_name; }
    std::string New() const { return "Software\\Corvane\\" + m_name; }

    void BuildOld(HKEY root)
    {
        RawSetStr(root, Old(), NULL, "former default");
        RawSetDword(root, Old(), "Opts", 0x1234);
        RawSetStr(root, Old() + "\\Settings", "Path", "C:\\data");
        const BYTE bin[] = {9, 8, 7};
        RawSet(root, Old() + "\\Settings\\Deep", "Bin", REG_BINARY, bin, sizeof(bin));
    }
    std::string m_name;
};
}  // namespace

TEST_F(FormerKeyTest, MovesTheUserKeyAndRemovesTheEmptyFormerCompany)
{
    BuildOld(HKEY_CURRENT_USER);
    RawTree before;
    ASSERT_TRUE(ReadRawTree(HKEY_CURRENT_USER, Old(), before));
    EXPECT_TRUE(MoveFormerKey(1, m_name.c_str()));
    RawTree after;
    ASSERT_TRUE(ReadRawTree(HKEY_CURRENT_USER, New(), after));
    EXPECT_TRUE(before == after);
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Old()));
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, "Software\\Velmora"));
}

TEST_F(FormerKeyTest, MovesTheMachineKeyAndKeepsOtherProductsOfTheFormerCompany)
{
    BuildOld(HKEY_LOCAL_MACHINE);
    RawSetDword(HKEY_LOCAL_MACHINE, "Software\\Velmora\\PanorelTestSibling", "x", 1);
    EXPECT_TRUE(MoveFormerKey(0, m_name.c_str()));
    EXPECT_TRUE(RawKeyExists(HKEY_LOCAL_MACHINE, New() + "\\Settings\\Deep"));
    EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, Old()));
    EXPECT_TRUE(RawKeyExists(HKEY_LOCAL_MACHINE, "Software\\Velmora\\PanorelTestSibling"));
    // The user's side is not touched by the machine move.
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, New()));
}

TEST_F(FormerKeyTest, ExistingNewKeyLeavesTheOldOneUntouched)
{
    BuildOld(HKEY_CURRENT_USER);
    RawSetDword(HKEY_CURRENT_USER, New(), "Opts", 1);
    RawTree before;
    ASSERT_TRUE(ReadRawTree(HKEY_CURRENT_USER, Old(), before));
    EXPECT_TRUE(MoveFormerKey(1, m_name.c_str()));
    RawTree old, now;
    ASSERT_TRUE(ReadRawTree(HKEY_CURRENT_USER, Old(), old));
    EXPECT_TRUE(before == old);
    ASSERT_TRUE(ReadRawTree(HKEY_CURRENT_USER, New(), now));
    EXPECT_EQ(1u, now.values.size());
    EXPECT_TRUE(now.keys.empty());
}

TEST_F(FormerKeyTest, NothingToMoveCreatesNothing)
{
    EXPECT_TRUE(MoveFormerKey(1, m_name.c_str()));
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, New()));
    EXPECT_FALSE(MoveFormerKey(1, ""));
    EXPECT_FALSE(MoveFormerKey(1, NULL));
}
