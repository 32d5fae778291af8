// The view-state streams are exercised directly: Wine's shell view never asks for them.
#include "XmlFixture.h"
#include "lib/registry/RegFixture.h"
#include "registry/RegStream.h"
#include <shlobj.h>
#include <string>
#include <vector>

namespace {

class RegStreamTest : public RegFixture {
protected:
    void SetUp() override
    {
        RegFixture::SetUp();
        m_root = Path("Root");
        RegStream::SetFolderRoot(m_root.c_str());
        AppInfo::SetAppRootKey(Path("App").c_str());
        char tmp[MAX_PATH];
        GetTempPathA(sizeof(tmp), tmp);
        m_dir = std::string(tmp) + "RegStreamTest_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(m_dir.c_str(), NULL);
    }
    void TearDown() override
    {
        RegStream::SetFolderRoot(nullptr);
        for (ITEMIDLIST* p : m_pidls)
            ILFree(p);
        for (int i = 0; i < 31; ++i)
            RemoveDirectoryA(Folder(i).c_str());
        RemoveDirectoryA(m_dir.c_str());
        RegFixture::TearDown();
    }
    std::string Folder(int i) const { return m_dir + "\\f" + std::to_string(i); }
    // A real folder's identifier list (kept until the test ends).
    const ITEMIDLIST* Pidl(int i)
    {
        CreateDirectoryA(Folder(i).c_str(), NULL);
        ITEMIDLIST* p = ILCreateFromPathA(Folder(i).c_str());
        EXPECT_NE(nullptr, p);
        m_pidls.push_back(p);
        return p;
    }
    std::string Mru() { return RawGetStr(HKEY_CURRENT_USER, Sub("Root\\Explorer\\StreamMRU"), "MRUList"); }
    std::string State(int slot, const char* kind)
    {
        RawValue v;
        if (!RawGet(HKEY_CURRENT_USER, Sub("Root\\Explorer\\Streams\\" + std::to_string(slot)), kind, v))
            return "<missing>";
        return std::string(v.data.begin(), v.data.end());
    }
    static void Write(RegStream& rs, const std::string& text)
    {
        IStream* s = rs.GetStream(true);
        ASSERT_NE(nullptr, s);
        ULONG done = 0;
        s->Write(text.data(), (ULONG)text.size(), &done);
        s->Release();
    }
    static std::string Read(RegStream& rs)
    {
        IStream* s = rs.GetStream(false);
        if (!s)
            return "<none>";
        char buf[256];
        ULONG got = 0;
        s->Read(buf, sizeof(buf), &got);
        s->Release();
        return std::string(buf, got);
    }

    XmlAppInfo m_app;
    std::string m_root;
    std::string m_dir;
    std::vector<ITEMIDLIST*> m_pidls;
};

}  // namespace

TEST_F(RegStreamTest, FolderStateIsStoredAndReadBack)
{
    const ITEMIDLIST* f0 = Pidl(0);
    {
        RegStream rs;
        ASSERT_TRUE(rs.Open(f0, RegStream::KindViewView));
        EXPECT_EQ(0, rs.GetSlot());
        EXPECT_EQ(-1, rs.GetPanel());
        EXPECT_EQ("", Read(rs));
        Write(rs, "columns");
        EXPECT_TRUE(rs.IsWritten());
    }   // the destructor closes and stores
    EXPECT_EQ("a", Mru());
    RawValue stored;
    ASSERT_TRUE(RawGet(HKEY_CURRENT_USER, Sub("Root\\Explorer\\StreamMRU"), "a", stored));
    EXPECT_EQ(REG_BINARY, stored.type);
    ASSERT_EQ(ILGetSize(f0), stored.data.size());
    EXPECT_EQ(0, memcmp(stored.data.data(), f0, stored.data.size()));
    EXPECT_EQ("columns", State(0, "ViewView"));

    RegStream rs;
    ASSERT_TRUE(rs.Open(Pidl(0), RegStream::KindViewView));   // an equal list, another copy
    EXPECT_EQ(0, rs.GetSlot());
    EXPECT_EQ("columns", Read(rs));
    EXPECT_EQ("columns", Read(rs));   // each hand-out starts at the beginning
    rs.Close();
    EXPECT_EQ(RegStream::KindNone, rs.GetKind());
    EXPECT_EQ(nullptr, rs.GetStream(false));
}

TEST_F(RegStreamTest, ReadingOnlyLeavesTheRegistryAlone)
{
    {
        RegStream rs;
        ASSERT_TRUE(rs.Open(Pidl(0), RegStream::KindCabView));
        Write(rs, "x");
    }
    RawTree before;
    ReadRawTree(HKEY_CURRENT_USER, Sub(), before);
    {
        RegStream rs;
        ASSERT_TRUE(rs.Open(Pidl(0), RegStream::KindCabView));
        EXPECT_EQ("x", Read(rs));
    }
    RawTree after;
    ReadRawTree(HKEY_CURRENT_USER, Sub(), after);
    EXPECT_TRUE(before == after);
}

TEST_F(RegStreamTest, EmptyWrittenStateIsNotStored)
{
    RegStream rs;
    ASSERT_TRUE(rs.Open(Pidl(0), RegStream::KindViewView2));
    IStream* s = rs.GetStream(true);
    ASSERT_NE(nullptr, s);
    s->Release();
    rs.Close();
    EXPECT_EQ("<missing>", State(0, "ViewView2"));
}

TEST_F(RegStreamTest, MostRecentlyUsedFirst)
{
    for (int i = 0; i < 3; ++i) {
        RegStream rs;
        ASSERT_TRUE(rs.Open(Pidl(i), RegStream::KindViewView));
        EXPECT_EQ(i, rs.GetSlot());
    }
    EXPECT_EQ("cba", Mru());
    RegStream rs;
    ASSERT_TRUE(rs.Open(Pidl(0), RegStream::KindViewView));
    EXPECT_EQ(0, rs.GetSlot());
    EXPECT_EQ("acb", Mru());
}

TEST_F(RegStreamTest, ThirtiethFolderReusesTheLeastRecentSlotAndClearsIt)
{
    for (int i = 0; i < RegStream::MaxSlots; ++i) {
        RegStream rs;
        ASSERT_TRUE(rs.Open(Pidl(i), RegStream::KindViewView));
        Write(rs, "s" + std::to_string(i));
    }
    {
        RegStream rs;
        ASSERT_TRUE(rs.Open(Pidl(0), RegStream::KindCabView));   // f0 twice: now the newest
        Write(rs, "cab0");
    }
    std::string mru = Mru();
    ASSERT_EQ((size_t)RegStream::MaxSlots, mru.size());
    EXPECT_EQ('a', mru[0]);
    EXPECT_EQ('b', mru.back());   // f1 is the least recently used
    EXPECT_EQ('}', mru[1]);       // slot 28
    RegStream rs;
    ASSERT_TRUE(rs.Open(Pidl(30), RegStream::KindViewView));
    EXPECT_EQ(1, rs.GetSlot());
    EXPECT_EQ("", Read(rs));   // f1's state is not handed to f30
    rs.Close();
    mru = Mru();
    EXPECT_EQ((size_t)RegStream::MaxSlots, mru.size());
    EXPECT_EQ("ba", mru.substr(0, 2));
    EXPECT_EQ("<missing>", State(1, "ViewView"));
    EXPECT_EQ("cab0", State(0, "CabView"));
    EXPECT_EQ("s0", State(0, "ViewView"));
}

TEST_F(RegStreamTest, PanelStateLivesBelowTheApplicationKey)
{
    {
        RegStream rs;
        ASSERT_TRUE(rs.OpenFileSys(2, RegStream::KindViewView2));
        EXPECT_EQ(2, rs.GetPanel());
        EXPECT_EQ("", Read(rs));
        Write(rs, "panel two");
    }
    RawValue v;
    ASSERT_TRUE(RawGet(HKEY_CURRENT_USER, Sub("App\\2"), "ViewView2", v));
    EXPECT_EQ("panel two", std::string(v.data.begin(), v.data.end()));
    RegStream rs;
    ASSERT_TRUE(rs.OpenFileSys(2, RegStream::KindViewView2));
    EXPECT_EQ("panel two", Read(rs));
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Sub("Root\\Explorer\\StreamMRU")));
}

TEST_F(RegStreamTest, BadInputAndDamagedListsAreSurvived)
{
    RegStream rs;
    EXPECT_FALSE(rs.Open(nullptr, RegStream::KindViewView));
    EXPECT_FALSE(rs.Open(Pidl(0), 3));
    EXPECT_FALSE(rs.OpenFileSys(1, -1));
    EXPECT_EQ(nullptr, rs.GetStream(true));
    rs.Close();
    // Characters outside the slots, duplicates and a stored list that is not whole.
    const BYTE junk[] = {0x40, 0x00, 0x01};
    RawSetStr(HKEY_CURRENT_USER, Sub("Root\\Explorer\\StreamMRU"), "MRUList", "~!aa");
    RawSet(HKEY_CURRENT_USER, Sub("Root\\Explorer\\StreamMRU"), "a", REG_BINARY, junk, sizeof(junk));
    RawSetStr(HKEY_CURRENT_USER, Sub("Root\\Explorer\\Streams\\1"), "ViewView", "stale");
    ASSERT_TRUE(rs.Open(Pidl(0), RegStream::KindViewView));
    EXPECT_EQ(1, rs.GetSlot());
    EXPECT_EQ("", Read(rs));
    rs.Close();
    EXPECT_EQ("ba", Mru());
    EXPECT_EQ("<missing>", State(1, "ViewView"));
}
