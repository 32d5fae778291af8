#include "RegFixture.h"
#include "registry/AppInfo.h"
#include "registry/BoolOpts.h"

namespace {
// An option group with defaults and one extra value of its own, as the program's groups are.
class SampleOpts : public BoolOpts {
public:
    SampleOpts() : BoolOpts("SampleOpts") {}
    void Reset() override
    {
        value = 0x81;
        extra = 10;
    }
    void OnLoad(RegKey& key) override
    {
        ++loads;
        extra = key.GetDword("SampleExtra", extra);
    }
    void OnStore(RegKey& key) override
    {
        ++stores;
        key.PutDword("SampleExtra", extra);
    }
    DWORD extra = 0;
    int loads = 0, stores = 0;
};

class BoolOptsTest : public RegFixture {
protected:
    void SetUp() override
    {
        RegFixture::SetUp();
        m_app = new AppInfo(NULL, "PanorelTestApp", "Opts", "Opts", "x.hlp", 0, 0);
        AppInfo::SetAppRootKey(Path("Root").c_str());
    }
    void TearDown() override
    {
        delete m_app;
        RegFixture::TearDown();
    }
    AppInfo* m_app = nullptr;
};
}  // namespace

TEST_F(BoolOptsTest, BitOperations)
{
    BoolOpts opts("Bits");
    EXPECT_EQ(0u, (DWORD)opts);
    opts.Set(0x0F, 1);
    EXPECT_EQ(0x0Fu, (DWORD)opts);
    EXPECT_TRUE(opts.IsOn(0x10 | 0x01));   // any bit of the mask
    EXPECT_FALSE(opts.IsOn(0xF0));
    opts.Set(0x03, 0);
    EXPECT_EQ(0x0Cu, (DWORD)opts);
    int on = -1;
    opts.Get(0x04, on);
    EXPECT_EQ(1, on);
    opts.Get(0x01, on);
    EXPECT_EQ(0, on);
    opts.Set(0x80000000, 5);   // any non-zero switches on
    EXPECT_TRUE(opts.IsOn(0x80000000));
}

TEST_F(BoolOptsTest, LoadWithoutRootKeyKeepsDefaults)
{
    SampleOpts opts;
    opts.value = 0xFFFF;
    EXPECT_FALSE(opts.Load());
    EXPECT_EQ(0x81u, opts.value);
    EXPECT_EQ(10u, opts.extra);
    EXPECT_EQ(0, opts.loads);
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Sub("Root")));
}

TEST_F(BoolOptsTest, MissingValueMeansDefaults)
{
    RawSetDword(HKEY_CURRENT_USER, Sub("Root"), "Other", 1);
    SampleOpts opts;
    opts.value = 0;
    EXPECT_TRUE(opts.Load());
    EXPECT_EQ(0x81u, opts.value);
    EXPECT_EQ(10u, opts.extra);
    EXPECT_EQ(1, opts.loads);
}

TEST_F(BoolOptsTest, StoreAndLoadRoundTrip)
{
    SampleOpts stored;
    stored.Reset();
    stored.Set(0x01, 0);
    stored.Set(0x40000000, 1);
    stored.extra = 1234;
    ASSERT_TRUE(stored.Store());
    EXPECT_EQ(1, stored.stores);
    RawValue v;
    ASSERT_TRUE(RawGet(HKEY_CURRENT_USER, Sub("Root"), "SampleOpts", v));
    EXPECT_EQ((DWORD)REG_DWORD, v.type);
    SampleOpts loaded;
    EXPECT_TRUE(loaded.Load());
    EXPECT_EQ(0x40000080u, loaded.value);
    EXPECT_EQ(1234u, loaded.extra);
}

TEST_F(BoolOptsTest, StoringUnchangedBitsWritesNothing)
{
    SampleOpts opts;
    opts.Reset();
    ASSERT_TRUE(opts.Store());
    ChangeWatch watch(HKEY_CURRENT_USER, Sub("Root"));
    ASSERT_TRUE(watch.Armed());
    ASSERT_TRUE(opts.Store());
    EXPECT_FALSE(watch.Fired());
}

TEST_F(BoolOptsTest, StoreFailsWithoutRootKey)
{
    AppInfo::SetAppRootKey("HKXX\\Nowhere");
    SampleOpts opts;
    EXPECT_FALSE(opts.Store());
    EXPECT_EQ(0, opts.stores);
}

TEST_F(BoolOptsTest, BaseGroupDefaultsToZero)
{
    RawSetDword(HKEY_CURRENT_USER, Sub("Root"), "Plain", 0x55);
    BoolOpts plain("Plain");
    plain.value = 7;
    EXPECT_TRUE(plain.Load());
    EXPECT_EQ(0x55u, plain.value);
    BoolOpts missing("NotThere");
    missing.value = 7;
    EXPECT_TRUE(missing.Load());
    EXPECT_EQ(0u, missing.value);
}
