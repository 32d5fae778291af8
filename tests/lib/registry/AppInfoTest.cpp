#include "RegFixture.h"
#include "registry/AppInfo.h"
#include "registry/RegUtil.h"

TEST(AppInfo, MostRecentIsCurrentAndDestroyingRestoresThePrevious)
{
    AppInfo* first = new AppInfo(NULL, "PanorelTestA", "One", "Third", "a.hlp", 1, 0);
    EXPECT_STREQ("HKCU\\Software\\Corvane\\PanorelTestA\\One", GetAppRootKey());
    AppInfo* second = new AppInfo(NULL, "PanorelTestB", "Two", "Third", "b.hlp", 2, 0);
    EXPECT_EQ(second, AppInfo::GetAppInfo());
    EXPECT_STREQ("HKCU\\Software\\Corvane\\PanorelTestB\\Two", GetAppRootKey());
    AppInfo::SetAppRootKey("HKCU\\Software\\Elsewhere");
    EXPECT_STREQ("HKCU\\Software\\Elsewhere", GetAppRootKey());
    delete second;
    EXPECT_EQ(first, AppInfo::GetAppInfo());
    EXPECT_STREQ("a.hlp", AppInfo::Data().helpFile);
    EXPECT_STREQ("HKCU\\Software\\Corvane\\PanorelTestA\\One", GetAppRootKey());
    delete first;
    EXPECT_EQ(nullptr, AppInfo::GetAppInfo());
    EXPECT_STREQ("", GetAppRootKey());
    EXPECT_EQ(nullptr, AppInfo::Data().name1);
}

TEST(AppInfo, ResourceIdsFollowTheirSign)
{
    AppInfo app(GetModuleHandleA(NULL), "PanorelTestC", "C", "C", "c.hlp", 0, 0);
    int id = -105;
    HINSTANCE module = NULL;
    AppInfo::ConvertResourceId(id, module);
    EXPECT_EQ(105, id);
    EXPECT_EQ(GetLibModule(), module);
    id = 7;
    module = NULL;
    AppInfo::ConvertResourceId(id, module);
    EXPECT_EQ(GetModuleHandleA(NULL), module);
    char text[256];
    EXPECT_GT(LoadStringA(GetLibModule(), 105, text, sizeof(text)), 0);
    EXPECT_NE(nullptr, strstr(text, "'Open with Panorel'"));
}

TEST(AppInfo, MigrationOnConstructionMovesTheFormerUserKey)
{
    std::string name = "PanorelTestMig" + std::to_string(GetCurrentProcessId());
    std::string old = "Software\\Velmora\\" + name;
    RawSetDword(HKEY_CURRENT_USER, old + "\\" + name, "Opts", 3);
    {
        AppInfo app(NULL, name.c_str(), name.c_str(), "x", "x.hlp", 0, 1);
        RegKey key(GetAppRootKey());
        EXPECT_EQ(3u, key.GetDword("Opts", 0));
    }
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, old));
    RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\Corvane\\" + name).c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmora");
}

TEST(AppInfo, MakeAppInfoForTheMainProgram)
{
    // A cached home folder is dropped at each start.
    RawSetStr(HKEY_LOCAL_MACHINE, "Software\\Corvane\\Panorel QV\\Setup", "Home", "C:\\Stale");
    MakeAppInfo(GetModuleHandleA(NULL));
    ASSERT_NE(nullptr, AppInfo::GetAppInfo());
    EXPECT_STREQ("HKCU\\Software\\Corvane\\Panorel QV\\Panorel QV", GetAppRootKey());
    const AppData& data = AppInfo::Data();
    EXPECT_EQ(GetModuleHandleA(NULL), data.module);
    EXPECT_STREQ("Panorel QV", data.name1);
    EXPECT_STREQ("Panorel QV", data.name3);
    EXPECT_STREQ("panorel.hlp", data.helpFile);
    EXPECT_EQ(0x300000u, data.flags);
    EXPECT_EQ("<missing>", RawGetStr(HKEY_LOCAL_MACHINE, "Software\\Corvane\\Panorel QV\\Setup", "Home"));
    MakeAppInfo(GetModuleHandleA(NULL));   // a second call replaces, never stacks
    MakeAppInfo(NULL);
    EXPECT_EQ(nullptr, AppInfo::GetAppInfo());
    RegKey product("HKLM\\Software\\Corvane\\Panorel QV", 1);
    product.DelSubKeyIfEmpty("Setup");
}
