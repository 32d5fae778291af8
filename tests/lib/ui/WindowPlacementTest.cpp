#include <gtest/gtest.h>
#include <string.h>
#include "ui/WindowPlacement.h"
#include "registry/AppInfo.h"
#include "driver/Driver.h"

namespace {
const char kSub[] = "Software\\Corvane\\UiTestPlacement";
const char kKey[] = "HKCU\\Software\\Corvane\\UiTestPlacement\\Test";
const char kSubKey[] = "Software\\Corvane\\UiTestPlacement\\Test";

class PlacementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::DeleteUserKey(kSub);
        m_app = new AppInfo(GetModuleHandleA(NULL), "UiTestPlacement", "Test", NULL, NULL, 0, 0);
    }
    void TearDown() override
    {
        delete m_app;
        drv::DeleteUserKey(kSub);
    }
    void PutRaw(const char* name, const void* data, DWORD size)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSubKey, 0, NULL, 0,
                                                 KEY_WRITE, NULL, &key, NULL));
        RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    AppInfo* m_app = nullptr;
};

MyWindowPlacement Sample()
{
    MyWindowPlacement wp;
    wp.flags = WPF_SETMINPOSITION;
    wp.showCmd = SW_SHOWMAXIMIZED;
    wp.ptMinPosition = {-1, -2};
    wp.ptMaxPosition = {3, 4};
    wp.rcNormalPosition = {10, 20, 410, 320};
    return wp;
}
}  // namespace

TEST_F(PlacementTest, NewRecordIsNotInitialized)
{
    MyWindowPlacement wp;
    EXPECT_FALSE(wp.IsInitialized());
    EXPECT_EQ(-1234, wp.rcNormalPosition.left);
    EXPECT_EQ(44u, wp.length);
    EXPECT_FALSE(wp.Store("DlgNever"));
    EXPECT_FALSE(wp.ApplyTo(GetDesktopWindow()));
    EXPECT_FALSE(wp.Load("DlgMissing"));
    EXPECT_FALSE(wp.IsInitialized());
}

TEST_F(PlacementTest, StoredRecordRoundTrips)
{
    MyWindowPlacement wp = Sample();
    ASSERT_TRUE(wp.Store("DlgRound"));
    EXPECT_EQ(44, [] {
        HKEY key;
        DWORD size = 0;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSubKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            RegQueryValueExA(key, "DlgRound", NULL, NULL, NULL, &size);
            RegCloseKey(key);
        }
        return static_cast<int>(size);
    }());
    MyWindowPlacement back;
    ASSERT_TRUE(back.Load("DlgRound"));
    EXPECT_TRUE(back.IsInitialized());
    EXPECT_EQ(0, memcmp(static_cast<WINDOWPLACEMENT*>(&wp), static_cast<WINDOWPLACEMENT*>(&back),
                        sizeof(WINDOWPLACEMENT)));
    // An explicit key path works the same.
    MyWindowPlacement other;
    EXPECT_TRUE(other.Load("DlgRound", kKey));
    EXPECT_EQ(410, other.rcNormalPosition.right);
}

TEST_F(PlacementTest, MalformedValuesAreIgnored)
{
    MyWindowPlacement good = Sample();
    unsigned char big[45] = {};
    memcpy(big, static_cast<WINDOWPLACEMENT*>(&good), 44);
    PutRaw("DlgBig", big, sizeof(big));
    PutRaw("DlgSmall", big, 40);
    WINDOWPLACEMENT badLength = good;
    badLength.length = 12;
    PutRaw("DlgBadLength", &badLength, sizeof(badLength));
    const char* names[] = {"DlgBig", "DlgSmall", "DlgBadLength", "", nullptr};
    for (const char* name : names) {
        SCOPED_TRACE(name ? name : "(null)");
        MyWindowPlacement wp;
        EXPECT_FALSE(wp.Load(name));
        EXPECT_FALSE(wp.IsInitialized());
    }
    EXPECT_FALSE(good.Store(nullptr));
    EXPECT_FALSE(good.Store(""));
    EXPECT_FALSE(good.Store("DlgX", ""));   // no key
}

TEST_F(PlacementTest, WindowPlacementRoundTrip)
{
    HWND h = CreateWindowExA(0, "STATIC", "placed", WS_OVERLAPPEDWINDOW, 30, 40, 300, 200, NULL,
                             NULL, NULL, NULL);
    ASSERT_TRUE(h);
    MyWindowPlacement wp;
    ASSERT_TRUE(wp.GetFrom(h));
    ASSERT_TRUE(wp.Store("DlgWindow"));

    MoveWindow(h, 200, 220, 150, 120, FALSE);
    MyWindowPlacement back;
    ASSERT_TRUE(back.Load("DlgWindow"));
    // A minimized record comes back as a normal window.
    back.showCmd = SW_SHOWMINIMIZED;
    ASSERT_TRUE(back.ApplyTo(h));
    EXPECT_FALSE(IsIconic(h));
    RECT rc;
    GetWindowRect(h, &rc);
    EXPECT_EQ(30, rc.left);
    EXPECT_EQ(40, rc.top);
    EXPECT_EQ(300, rc.right - rc.left);
    EXPECT_EQ(200, rc.bottom - rc.top);
    DestroyWindow(h);
    EXPECT_FALSE(back.ApplyTo(h));
    EXPECT_FALSE(back.GetFrom(h));
    EXPECT_FALSE(back.GetFrom(NULL));
    EXPECT_EQ(30, back.rcNormalPosition.left);   // unchanged by the failures
}
