#include <gtest/gtest.h>
#include <string>
#include <string.h>
#include "ui/Clipboard.h"

TEST(Clipboard, TextRoundTrip)
{
    const char text[] = "Panorel clipboard \xe4 text\r\nline two";
    {
        Clipboard cb(NULL);
        ASSERT_TRUE(cb.IsOpen());
        EXPECT_TRUE(cb.Clear());
        EXPECT_FALSE(cb.IsDataAvailable(CF_TEXT));
        EXPECT_TRUE(cb.AddStr(text));
        EXPECT_TRUE(cb.IsDataAvailable(CF_TEXT));
    }
    // Closed by the destructor: another opener sees the text.
    Clipboard cb(NULL);
    ASSERT_TRUE(cb.IsOpen());
    char buf[128];
    EXPECT_EQ(static_cast<int>(strlen(text)), cb.GetStr(buf, sizeof(buf)));
    EXPECT_STREQ(text, buf);
    char small[8];
    EXPECT_EQ(7, cb.GetStr(small, sizeof(small)));
    EXPECT_STREQ("Panorel", small);
    EXPECT_EQ(-1, cb.GetStr(nullptr, 5));
    EXPECT_EQ(-1, cb.GetStr(small, 0));
    cb.Close();
    EXPECT_FALSE(cb.IsOpen());
    EXPECT_EQ(-1, cb.GetStr(buf, sizeof(buf)));
    EXPECT_FALSE(cb.AddStr("closed"));
    EXPECT_FALSE(cb.Clear());
}

TEST(Clipboard, BinaryDataOfARegisteredFormat)
{
    UINT format = RegisterClipboardFormatA("PanorelUiTestFormat");
    ASSERT_NE(0u, format);
    const unsigned char bytes[] = {0, 1, 2, 0, 255, 7};
    {
        Clipboard cb(NULL);
        ASSERT_TRUE(cb.Clear());
        EXPECT_TRUE(cb.AddData(format, bytes, sizeof(bytes)));
        EXPECT_FALSE(cb.AddData(format, nullptr, 4));   // no bytes for a size
        EXPECT_FALSE(cb.AddData(0, bytes, 2));
        EXPECT_FALSE(cb.AddStr(nullptr));
    }
    Clipboard cb(NULL);
    EXPECT_TRUE(cb.IsDataAvailable(format));
    EXPECT_FALSE(cb.IsDataAvailable(0));
    HANDLE mem = GetClipboardData(format);
    ASSERT_TRUE(mem);
    ASSERT_GE(GlobalSize(mem), sizeof(bytes));
    const void* p = GlobalLock(mem);
    EXPECT_EQ(0, memcmp(p, bytes, sizeof(bytes)));
    GlobalUnlock(mem);
}

TEST(Clipboard, OpenByAnotherThreadFailsHere)
{
    struct Arg {
        HANDLE opened, release;
        bool open;
    } arg = {CreateEventA(NULL, TRUE, FALSE, NULL), CreateEventA(NULL, TRUE, FALSE, NULL), false};
    HANDLE t = CreateThread(
        NULL, 0,
        [](void* p) -> DWORD {
            Arg* a = static_cast<Arg*>(p);
            // With a window: Wine lets a second null owner in while the first is null too.
            HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                                         NULL, NULL);
            {
                Clipboard cb(owner);
                a->open = cb.IsOpen();
                SetEvent(a->opened);
                WaitForSingleObject(a->release, 10000);
            }
            DestroyWindow(owner);
            return 0;
        },
        &arg, 0, NULL);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(arg.opened, 5000));
    ASSERT_TRUE(arg.open);
    {
        Clipboard cb(NULL);
        EXPECT_FALSE(cb.IsOpen());
        EXPECT_FALSE(cb.AddStr("x"));
        char buf[4];
        EXPECT_EQ(-1, cb.GetStr(buf, sizeof(buf)));
    }
    SetEvent(arg.release);
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
    CloseHandle(arg.opened);
    CloseHandle(arg.release);
}
