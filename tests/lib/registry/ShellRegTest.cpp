#include "RegFixture.h"
#include "registry/AppInfo.h"
#include "registry/RegUtil.h"

namespace {
const char* const kClassKeys[] = {"Drive", "Directory"};

std::string CommandKey(const char* cls)
{
    return std::string("Software\\Classes\\") + cls + "\\shell\\Open with Panorel\\command";
}

// Stores a home folder of its own for a product name of its own, so the command text is known.
class ShellRegTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_name = "PanorelTestShell" + std::to_string(GetCurrentProcessId());
        m_app = new AppInfo(NULL, m_name.c_str(), "x", "x", "x.hlp", 0, 0);
        char home[] = "C:\\Program Files\\Panorel QV";
        ASSERT_TRUE(ProcessHomeFolder(RegKey::OpUpdate, m_name.c_str(), home, sizeof(home)));
    }
    void TearDown() override
    {
        delete m_app;
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("Software\\Corvane\\" + m_name).c_str());
        for (const char* cls : kClassKeys)
            RegDeleteTreeA(HKEY_CURRENT_USER,
                           (std::string("Software\\Classes\\") + cls + "\\shell\\Open with Panorel").c_str());
    }
    std::string m_name;
    AppInfo* m_app = nullptr;
};
}  // namespace

// From Windows 2000 on the verb goes to the user's classes.
TEST_F(ShellRegTest, FolderVerbRegisterCheckRemove)
{
    EXPECT_EQ(0, RegisterFolderCtxMenuCommands(NULL, RegKey::OpCheck));
    EXPECT_EQ(0, RegisterFolderCtxMenuCommands(NULL, RegKey::OpRead));
    EXPECT_EQ(1, RegisterFolderCtxMenuCommands(NULL, RegKey::OpUpdate));
    for (const char* cls : kClassKeys) {
        SCOPED_TRACE(cls);
        EXPECT_EQ("\"C:\\Program Files\\Panorel QV\\panorel.exe\" /path,\"%L\"",
                  RawGetStr(HKEY_CURRENT_USER, CommandKey(cls), NULL));
    }
    EXPECT_EQ(1, RegisterFolderCtxMenuCommands(NULL, RegKey::OpCheck));
    EXPECT_EQ(1, RegisterFolderCtxMenuCommands(NULL, RegKey::OpRead));
    {
        ChangeWatch watch(HKEY_CURRENT_USER, CommandKey("Directory"));
        ASSERT_TRUE(watch.Armed());
        EXPECT_EQ(1, RegisterFolderCtxMenuCommands(NULL, RegKey::OpUpdate));
        EXPECT_FALSE(watch.Fired());
    }
    EXPECT_EQ(1, RegisterFolderCtxMenuCommands(NULL, RegKey::OpRemove));
    for (const char* cls : kClassKeys) {
        SCOPED_TRACE(cls);
        EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER,
                                  std::string("Software\\Classes\\") + cls + "\\shell\\Open with Panorel"));
        EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, std::string("Software\\Classes\\") + cls + "\\shell"));
    }
    EXPECT_EQ(0, RegisterFolderCtxMenuCommands(NULL, RegKey::OpCheck));
    // Removing what is not there succeeds.
    EXPECT_EQ(1, RegisterFolderCtxMenuCommands(NULL, RegKey::OpRemove));
}

TEST_F(ShellRegTest, CheckWantsTheExactCommandOnBothClasses)
{
    ASSERT_EQ(1, RegisterFolderCtxMenuCommands(NULL, RegKey::OpUpdate));
    RawSetStr(HKEY_CURRENT_USER, CommandKey("Drive"), NULL, "C:\\Other\\panorel.exe /path,\"%L\"");
    EXPECT_EQ(0, RegisterFolderCtxMenuCommands(NULL, RegKey::OpCheck));
    EXPECT_EQ(1, RegisterFolderCtxMenuCommands(NULL, RegKey::OpRead));   // present all the same
    ASSERT_EQ(1, RegisterFolderCtxMenuCommands(NULL, RegKey::OpUpdate));
    EXPECT_EQ(1, RegisterFolderCtxMenuCommands(NULL, RegKey::OpCheck));
    EXPECT_EQ(1, RegisterFolderCtxMenuCommands(NULL, RegKey::OpRemove));
}

namespace {
const char kClsid[] = "{6D3C1A52-0B7E-4F2A-9C11-5E0F00A1B2C3}";
const char kExtName[] = "PanorelTestExt";

class ShellExtTest : public ::testing::Test {
protected:
    void TearDown() override { SetupCtxMenuRegistry(RegKey::OpRemove, kClsid, kExtName, NULL, "*"); }
};
}  // namespace

TEST_F(ShellExtTest, ContextMenuHandlerRoundTrip)
{
    const char dll[] = "C:\\Program Files\\Panorel QV\\ext.dll";
    EXPECT_FALSE(SetupCtxMenuRegistry(RegKey::OpCheck, kClsid, kExtName, dll, "*"));
    ASSERT_TRUE(SetupCtxMenuRegistry(RegKey::OpUpdate, kClsid, kExtName, dll, "*"));
    std::string clsidKey = std::string("CLSID\\") + kClsid;
    EXPECT_EQ(kExtName, RawGetStr(HKEY_CLASSES_ROOT, clsidKey, NULL));
    EXPECT_EQ(dll, RawGetStr(HKEY_CLASSES_ROOT, clsidKey + "\\InProcServer32", NULL));
    EXPECT_EQ("Apartment", RawGetStr(HKEY_CLASSES_ROOT, clsidKey + "\\InProcServer32", "ThreadingModel"));
    EXPECT_EQ(kClsid, RawGetStr(HKEY_CLASSES_ROOT,
                                std::string("*\\shellex\\ContextMenuHandlers\\") + kExtName, NULL));
    EXPECT_EQ(kExtName,
              RawGetStr(HKEY_LOCAL_MACHINE,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", kClsid));
    EXPECT_TRUE(SetupCtxMenuRegistry(RegKey::OpCheck, kClsid, kExtName, dll, "*"));
    EXPECT_FALSE(SetupCtxMenuRegistry(RegKey::OpCheck, kClsid, kExtName, "C:\\other.dll", "*"));
    EXPECT_TRUE(SetupCtxMenuRegistry(RegKey::OpRemove, kClsid, kExtName, NULL, "*"));
    EXPECT_FALSE(RawKeyExists(HKEY_CLASSES_ROOT, clsidKey));
    EXPECT_FALSE(RawKeyExists(HKEY_CLASSES_ROOT, std::string("*\\shellex\\ContextMenuHandlers\\") + kExtName));
    EXPECT_EQ("<missing>",
              RawGetStr(HKEY_LOCAL_MACHINE,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", kClsid));
    EXPECT_FALSE(SetupCtxMenuRegistry(RegKey::OpRead, kClsid, kExtName, dll, "*"));
}

TEST_F(ShellExtTest, OtherHandlerKindAndBadNames)
{
    const char dll[] = "C:\\ext.dll";
    ASSERT_TRUE(RegisterShellExt(RegKey::OpUpdate, kClsid, kExtName, dll, "Directory", "DragDropHandlers"));
    EXPECT_TRUE(RawKeyExists(HKEY_CLASSES_ROOT, std::string("Directory\\shellex\\DragDropHandlers\\") + kExtName));
    EXPECT_TRUE(RegisterShellExt(RegKey::OpRead, kClsid, kExtName, dll, "Directory", "DragDropHandlers"));
    EXPECT_TRUE(RegisterShellExt(RegKey::OpRemove, kClsid, kExtName, NULL, "Directory", "DragDropHandlers"));
    EXPECT_FALSE(RawKeyExists(HKEY_CLASSES_ROOT, std::string("Directory\\shellex\\DragDropHandlers\\") + kExtName));
    EXPECT_FALSE(RegisterShellExt(RegKey::OpUpdate, "..\\evil", kExtName, dll, "*", "ContextMenuHandlers"));
    EXPECT_FALSE(RegisterShellExt(RegKey::OpUpdate, kClsid, NULL, dll, "*", "ContextMenuHandlers"));
    EXPECT_FALSE(SetupCtxMenuRegistry(RegKey::OpUpdate, kClsid, kExtName, NULL, "*"));
    EXPECT_FALSE(SetupCtxMenuRegistry(RegKey::OpUpdate, kClsid, kExtName, dll, ""));
}
