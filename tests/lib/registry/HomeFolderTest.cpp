#include "RegFixture.h"
#include "registry/AppInfo.h"
#include "registry/RegUtil.h"

namespace {
class HomeFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_name = "PanorelTestHome" + std::to_string(GetCurrentProcessId());
        CleanUp();
    }
    void TearDown() override { CleanUp(); }
    void CleanUp()
    {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("Software\\Corvane\\" + m_name).c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("Software\\Velmora\\" + m_name).c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Velmora");   // only when empty
    }
    std::string Setup() const { return "Software\\Corvane\\" + m_name + "\\Setup"; }
    std::string m_name;
};

std::string LibFolder()
{
    char file[MAX_PATH];
    GetModuleFileNameA(GetLibModule(), file, sizeof(file));
    char* slash = strrchr(file, '\\');
    if (slash)
        *slash = 0;
    char longName[MAX_PATH];
    if (GetLongPathNameA(file, longName, sizeof(longName)))
        return longName;
    return file;
}
}  // namespace

TEST_F(HomeFolderTest, EachOperationRoundTrip)
{
    const char* name = m_name.c_str();
    char text[MAX_PATH] = "C:\\Program Files\\Panorel";
    EXPECT_FALSE(ProcessHomeFolder(RegKey::OpCheck, name, text, sizeof(text)));
    EXPECT_TRUE(ProcessHomeFolder(RegKey::OpUpdate, name, text, sizeof(text)));
    EXPECT_EQ(text, RawGetStr(HKEY_LOCAL_MACHINE, Setup(), "Home"));
    EXPECT_TRUE(ProcessHomeFolder(RegKey::OpCheck, name, text, sizeof(text)));
    char read[MAX_PATH];
    memset(read, '#', sizeof(read));
    EXPECT_TRUE(GetHomeFolder(name, read));
    EXPECT_STREQ(text, read);
    EXPECT_TRUE(ProcessHomeFolder(RegKey::OpRemove, name, NULL, 0));
    EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, Setup()) &&
                 RawGetStr(HKEY_LOCAL_MACHINE, Setup(), "Home") != "<missing>");
    read[0] = 'x';
    EXPECT_FALSE(GetHomeFolder(name, read));
    EXPECT_STREQ("", read);   // emptied first
}

TEST_F(HomeFolderTest, RemovingWhenNothingIsStoredMakesNoKey)
{
    EXPECT_TRUE(ProcessHomeFolder(RegKey::OpRemove, m_name.c_str(), NULL, 0));
    EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, "Software\\Corvane\\" + m_name));
}

TEST_F(HomeFolderTest, ReadsFallBackToTheFormerCompany)
{
    std::string former = "Software\\Velmora\\" + m_name + "\\Setup";
    RawSetStr(HKEY_LOCAL_MACHINE, former, "Home", "D:\\Old");
    char read[MAX_PATH];
    EXPECT_TRUE(GetHomeFolder(m_name.c_str(), read));
    EXPECT_STREQ("D:\\Old", read);
    char text[] = "D:\\Old";
    EXPECT_TRUE(ProcessHomeFolder(RegKey::OpCheck, m_name.c_str(), text, sizeof(text)));
    // A write moves the former key first, then works on the new one.
    char newer[] = "E:\\New";
    EXPECT_TRUE(ProcessHomeFolder(RegKey::OpUpdate, m_name.c_str(), newer, sizeof(newer)));
    EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, former));
    EXPECT_EQ("E:\\New", RawGetStr(HKEY_LOCAL_MACHINE, Setup(), "Home"));
}

TEST_F(HomeFolderTest, BadArguments)
{
    char buf[MAX_PATH];
    EXPECT_FALSE(ProcessHomeFolder(RegKey::OpRead, NULL, buf, sizeof(buf)));
    EXPECT_FALSE(ProcessHomeFolder(RegKey::OpUpdate, "", buf, sizeof(buf)));
    EXPECT_FALSE(GetHomeFolder(m_name.c_str(), NULL));
    EXPECT_FALSE(GetHomeDir(NULL));
}

TEST_F(HomeFolderTest, HomeDirFallsBackToTheLibraryFolderAndStoresIt)
{
    AppInfo app(NULL, m_name.c_str(), m_name.c_str(), m_name.c_str(), "x.hlp", 0, 0);
    char dir[MAX_PATH];
    memset(dir, '#', sizeof(dir));
    ASSERT_TRUE(GetHomeDir(dir));
    EXPECT_STREQ(LibFolder().c_str(), dir);
    EXPECT_EQ(LibFolder(), RawGetStr(HKEY_LOCAL_MACHINE, Setup(), "Home"));
    // Once stored, the stored folder wins.
    RawSetStr(HKEY_LOCAL_MACHINE, Setup(), "Home", "C:\\Elsewhere");
    ASSERT_TRUE(GetHomeDir(dir));
    EXPECT_STREQ("C:\\Elsewhere", dir);
}
