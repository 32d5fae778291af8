// Window objects are found only through windows that run the framework's procedure: a foreign
// window's user-data word (the shell view keeps its own object there) is never taken for one.
#include <windows.h>
#include <gtest/gtest.h>
#include "framework/App.h"
#include "framework/Wnd.h"

namespace {

class PlainWnd : public fw::Wnd {
public:
    int translated = 0;
    bool PreTranslateMessage(MSG*) override
    {
        translated++;
        return false;
    }
};

// A foreign object as the shell's view keeps it: a table of methods in its first word. Called
// as if it were a window object, its method would write its window into the message.
int g_foreignCalls = 0;
long __stdcall ForeignMethod(void*, HWND* out)
{
    g_foreignCalls++;
    if (out)
        *out = (HWND)(UINT_PTR)0xBADu;
    return 0;
}
struct ForeignObject {
    void* const* table;
};
void* const kForeignTable[16] = {(void*)ForeignMethod, (void*)ForeignMethod, (void*)ForeignMethod,
                                 (void*)ForeignMethod, (void*)ForeignMethod, (void*)ForeignMethod,
                                 (void*)ForeignMethod, (void*)ForeignMethod, (void*)ForeignMethod,
                                 (void*)ForeignMethod, (void*)ForeignMethod, (void*)ForeignMethod,
                                 (void*)ForeignMethod, (void*)ForeignMethod, (void*)ForeignMethod,
                                 (void*)ForeignMethod};

TEST(Wnd, ObjectsComeOnlyFromTheFrameworksOwnWindows)
{
    PlainWnd own;
    ASSERT_TRUE(own.CreateEx(0, "FwWndTestOwn", "own", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL));
    EXPECT_EQ(fw::Wnd::FromHandle(own.m_hWnd), &own);
    EXPECT_EQ(fw::Wnd::FromHandle(NULL), nullptr);
    // A control that stores something in its user-data word is not a window object, even when
    // that something is one.
    HWND foreign = CreateWindowExA(0, "Static", "foreign", WS_CHILD, 0, 0, 10, 10, own.m_hWnd, NULL, NULL, NULL);
    ASSERT_TRUE(foreign != NULL);
    SetWindowLongPtrA(foreign, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&own));
    EXPECT_EQ(fw::Wnd::FromHandle(foreign), nullptr);
    own.DestroyWindow();
    EXPECT_EQ(own.m_hWnd, (HWND)NULL);
}

TEST(Wnd, MessagesForForeignChildrenReachTheOwnParentUntouched)
{
    PlainWnd own;
    ASSERT_TRUE(own.CreateEx(0, "FwWndTestOwn", "own", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL));
    HWND view = CreateWindowExA(0, "Static", "view", WS_CHILD, 0, 0, 10, 10, own.m_hWnd, NULL, NULL, NULL);
    HWND list = CreateWindowExA(0, "Static", "list", WS_CHILD, 0, 0, 10, 10, view, NULL, NULL, NULL);
    static ForeignObject object = {kForeignTable};
    SetWindowLongPtrA(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&object));
    MSG msg = {};
    msg.hwnd = list;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_BACK;
    g_foreignCalls = 0;
    ASSERT_TRUE(fw::App::Get() != nullptr);
    EXPECT_FALSE(fw::App::Get()->PreTranslateMessage(&msg));
    EXPECT_EQ(g_foreignCalls, 0);
    EXPECT_EQ(msg.hwnd, list);   // still addressed to the list
    EXPECT_EQ(own.translated, 1);
    own.DestroyWindow();
}

}  // namespace
