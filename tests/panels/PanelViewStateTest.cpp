// Where a panel's view keeps its layout, and the stream handed to the view: tested directly,
// since Wine's shell view never asks for it (GetViewStateStream is not called under Wine).
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "driver/Driver.h"
#include "panels/PanelViewState.h"
#include "registry/AppInfo.h"

namespace {

const char kTestKey[] = "Software\\PanorelTests\\PanelViewState";

std::string ReadValue(const std::string& sub, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kTestKey) + "\\" + sub).c_str(), 0, KEY_READ, &key))
        return "<missing>";
    char data[256] = {};
    DWORD size = sizeof(data) - 1;
    LONG r = RegQueryValueExA(key, name, NULL, NULL, (BYTE*)data, &size);
    RegCloseKey(key);
    if (r)
        return "<missing>";
    while (size && !data[size - 1])
        size--;   // strings come with their terminator
    return std::string(data, size);
}

void Write(PanelViewState& state, DWORD mode, const std::string& text)
{
    IStream* s = nullptr;
    ASSERT_EQ(state.GetStream(mode, &s), S_OK);
    ASSERT_TRUE(s != nullptr);
    ULONG done = 0;
    s->Write(text.data(), (ULONG)text.size(), &done);
    s->Release();
}

std::string Read(PanelViewState& state)
{
    IStream* s = nullptr;
    if (state.GetStream(STGM_READ, &s) != S_OK || !s)
        return "<none>";
    char buf[64] = {};
    ULONG done = 0;
    s->Read(buf, sizeof(buf) - 1, &done);
    s->Release();
    return std::string(buf, done);
}

class PanelViewStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::DeleteUserKey(kTestKey);
        // Per-panel state lives below the application's root key.
        app.reset(new AppInfo(NULL, "PanorelTestViewState", "One", "Third", "t.hlp", 1, 0));
        AppInfo::SetAppRootKey((std::string("HKCU\\") + kTestKey + "\\App").c_str());
        root = std::string("HKCU\\") + kTestKey + "\\Root";
        RegStream::SetFolderRoot(root.c_str());
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        folder = std::string(temp) + "panelviewstate";
        CreateDirectoryA(folder.c_str(), NULL);
        pidl = ILCreateFromPathA(folder.c_str());
        ASSERT_TRUE(pidl != nullptr);
    }
    void TearDown() override
    {
        RegStream::SetFolderRoot(nullptr);
        app.reset();
        ILFree(pidl);
        RemoveDirectoryA(folder.c_str());
        drv::DeleteUserKey(kTestKey);
    }
    std::unique_ptr<AppInfo> app;
    std::string root, folder;
    ITEMIDLIST* pidl = nullptr;
};

TEST(PanelViewStateChoice, PanelStreamForFileSystemFoldersTheDesktopAndDrivePaths)
{
    struct Case {
        bool plain, desktop;
        const char* path;
        bool perPanel;
    } cases[] = {
        {true, false, "C:\\windows", true},
        {true, false, "", true},             // plain file-system folder without a drive path
        {false, true, "", true},             // the Desktop
        {false, false, "C:\\", true},        // a drive root bound as a virtual item
        {false, false, "z:\\some\\where", true},
        {false, false, "", false},           // Control Panel, printers and the like
        {false, false, nullptr, false},
        {false, false, "C:", false},         // no separator: not a drive path
        {false, false, "\\\\server\\share", false},
        {false, false, "ftp://host/dir", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.plain << c.desktop << " " << (c.path ? c.path : "(null)"));
        EXPECT_EQ(PanelViewState::UsesPanelStream(c.plain, c.desktop, c.path), c.perPanel);
    }
}

TEST_F(PanelViewStateTest, PanelStreamKeepsWhatTheViewWroteForWriting)
{
    PanelViewState state;
    IStream* none = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(state.GetStream(STGM_READ, &none), E_FAIL);   // nothing open
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(state.GetStream(STGM_READ, nullptr), E_INVALIDARG);

    ASSERT_TRUE(state.Open(2, pidl, true, true));
    EXPECT_TRUE(state.IsPerPanel());
    EXPECT_EQ(state.GetKind(), RegStream::KindViewView2);
    Write(state, STGM_WRITE, "columns");
    state.Close();
    EXPECT_FALSE(state.IsOpen());
    EXPECT_EQ(ReadValue("App\\2", "ViewView2"), "columns");

    // Read back; a view that only reads leaves the stored state alone, whatever it does to it.
    ASSERT_TRUE(state.Open(2, pidl, true, true));
    EXPECT_EQ(Read(state), "columns");
    IStream* s = nullptr;
    ASSERT_EQ(state.GetStream(STGM_READ, &s), S_OK);
    ULONG done = 0;
    s->Write("XXXX", 4, &done);
    s->Release();
    state.Close();
    EXPECT_EQ(ReadValue("App\\2", "ViewView2"), "columns");

    // Views without IShellView2 keep theirs apart; the panels keep theirs apart.
    ASSERT_TRUE(state.Open(1, pidl, true, false));
    EXPECT_EQ(state.GetKind(), RegStream::KindViewView);
    EXPECT_EQ(Read(state), "");
    Write(state, STGM_READWRITE, "icons");
    // Opening again (the next folder) stores the state first.
    ASSERT_TRUE(state.Open(1, pidl, true, false));
    EXPECT_EQ(ReadValue("App\\1", "ViewView"), "icons");
    EXPECT_EQ(ReadValue("App\\2", "ViewView"), "<missing>");
}

TEST_F(PanelViewStateTest, FolderStreamIsKeyedByTheFolder)
{
    PanelViewState state;
    ASSERT_TRUE(state.Open(1, pidl, false, false));
    EXPECT_FALSE(state.IsPerPanel());
    Write(state, STGM_WRITE, "layout");
    state.Close();
    // The first folder takes slot 0 ("a") of the shared list.
    EXPECT_EQ(ReadValue("Root\\Explorer\\StreamMRU", "MRUList"), "a");
    EXPECT_EQ(ReadValue("Root\\Explorer\\Streams\\0", "ViewView"), "layout");
    EXPECT_EQ(ReadValue("App\\1", "ViewView"), "<missing>");
    // The same folder from the other panel finds the same state.
    ASSERT_TRUE(state.Open(2, pidl, false, false));
    EXPECT_EQ(Read(state), "layout");
    state.Close();
    // Without a folder there is nothing to key it by.
    EXPECT_FALSE(state.Open(1, nullptr, false, false));
    EXPECT_FALSE(state.IsOpen());
}

}  // namespace
