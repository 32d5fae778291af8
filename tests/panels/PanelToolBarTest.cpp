// The panel toolbar: the shell view's buttons merged behind the program's own, and the routing
// of commands and notifications between the shell's buttons and the program's.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <vector>
#include "framework/FrameWnd.h"
#include "panels/PanelToolBar.h"

namespace {

const UINT kChangeView = 32815;

// Stands in for the shell view window and the main window: records what reaches it.
struct Recorder {
    HWND wnd = NULL;
    std::vector<UINT> commands;
    std::vector<UINT> notifications;
    LRESULT notifyAnswer = 0;
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
    {
        Recorder* self = reinterpret_cast<Recorder*>(GetWindowLongPtrA(w, GWLP_USERDATA));
        if (self && msg == WM_COMMAND) {
            self->commands.push_back(LOWORD(wp));
            return 0;
        }
        if (self && msg == WM_NOTIFY) {
            self->notifications.push_back(reinterpret_cast<NMHDR*>(lp)->code);
            return self->notifyAnswer;
        }
        return DefWindowProcA(w, msg, wp, lp);
    }
    void Create()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "PanelToolBarTestRecorder";
        RegisterClassA(&wc);   // a second registration fails harmlessly
        wnd = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Recorder()
    {
        if (wnd)
            DestroyWindow(wnd);
    }
};

class TestPanel : public fw::FrameWnd {
public:
    std::vector<UINT> commands;
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override
    {
        if (!ui && code != fw::kQueryHandler)
            commands.push_back(id);
        return !ui;
    }
};

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::vector<UINT> ButtonIds(HWND toolbar)
{
    std::vector<UINT> ids;
    int n = (int)SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0);
    for (int i = 0; i < n; i++) {
        TBBUTTON b = {};
        SendMessageA(toolbar, TB_GETBUTTON, i, (LPARAM)&b);
        ids.push_back((b.fsStyle & TBSTYLE_SEP) ? 0u : (UINT)b.idCommand);
    }
    return ids;
}

TBBUTTON Button(int id, BYTE style = TBSTYLE_BUTTON)
{
    TBBUTTON b = {};
    b.idCommand = id;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = style;
    return b;
}

class PanelToolBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(panel.CreateEx(0, "PanelToolBarTestFrame", "panel", WS_OVERLAPPEDWINDOW, 10, 10, 500, 300,
                                   NULL, NULL));
        const fw::ToolBar::Button own[] = {{38102, 0, 0}, {38106, 1, 0}, {38107, 2, 0}, {38108, 3, 0}};
        ASSERT_TRUE(bar.Create(&panel, 59425, "Panel Toolbar", fw::DockTop, NULL, 0, 0, own, 4));
        view.Create();
        main.Create();
        bar.SetViewWindow(view.wnd);
        bar.SetCommandTarget(main.wnd);
    }
    void TearDown() override { panel.DestroyWindow(); }
    LRESULT Notify(NMHDR& hdr) { return SendMessageA(bar.m_hWnd, WM_NOTIFY, hdr.idFrom, (LPARAM)&hdr); }
    TestPanel panel;
    PanelToolBar bar;
    Recorder view, main;
};

TEST_F(PanelToolBarTest, ViewButtonsFollowTheOwnOnesAndAreReplacedOrHidden)
{
    const TBBUTTON views[] = {Button(0x701E), Button(0x701F), Button(0, TBSTYLE_SEP), Button(0x7031, BTNS_DROPDOWN)};
    EXPECT_EQ(bar.MergeViewButtons(views, 4, false), 3);
    EXPECT_EQ(ButtonIds(bar.m_toolbar),
              (std::vector<UINT>{38102, 38106, 38107, 38108, 0, 0x701E, 0x701F, 0, 0x7031}));
    EXPECT_EQ(bar.MergedCount(), 3);
    // The drop-down needs its arrow.
    EXPECT_TRUE(SendMessageA(bar.m_toolbar, TB_GETEXTENDEDSTYLE, 0, 0) & TBSTYLE_EX_DRAWDDARROWS);

    // A second merge replaces the first; a list that starts with a separator brings its own.
    const TBBUTTON other[] = {Button(0, TBSTYLE_SEP), Button(0x7029)};
    EXPECT_EQ(bar.MergeViewButtons(other, 2, false), 1);
    EXPECT_EQ(ButtonIds(bar.m_toolbar), (std::vector<UINT>{38102, 38106, 38107, 38108, 0, 0x7029}));

    // Hidden by the option, or no buttons at all: only the own buttons stay.
    EXPECT_EQ(bar.MergeViewButtons(views, 4, true), 0);
    EXPECT_EQ(ButtonIds(bar.m_toolbar), (std::vector<UINT>{38102, 38106, 38107, 38108}));
    bar.MergeViewButtons(views, 4, false);
    EXPECT_EQ(bar.MergeViewButtons(nullptr, 3, false), 0);
    EXPECT_EQ(bar.MergedCount(), 0);
    EXPECT_EQ(ButtonIds(bar.m_toolbar).size(), 4u);

    // Own buttons rebuilt after a merge are told apart from the view's.
    bar.MergeViewButtons(views, 4, false);
    const fw::ToolBar::Button two[] = {{38102, 0, 0}, {38106, 1, 0}};
    bar.SetButtons(two, 2);
    bar.MergeViewButtons(other, 2, false);
    EXPECT_EQ(ButtonIds(bar.m_toolbar), (std::vector<UINT>{38102, 38106, 0, 0x7029}));
}

TEST_F(PanelToolBarTest, ShellButtonsSpeakToTheViewOwnButtonsToThePanel)
{
    const TBBUTTON views[] = {Button(0x7029), Button(0x7031, BTNS_DROPDOWN)};
    bar.MergeViewButtons(views, 2, false);
    // A click on a shell button is the view's command; an own button's is the panel's.
    SendMessageA(bar.m_hWnd, WM_COMMAND, MAKEWPARAM(0x7029, BN_CLICKED), (LPARAM)bar.m_toolbar);
    SendMessageA(bar.m_hWnd, WM_COMMAND, MAKEWPARAM(38106, BN_CLICKED), (LPARAM)bar.m_toolbar);
    EXPECT_EQ(view.commands, (std::vector<UINT>{0x7029}));
    EXPECT_EQ(panel.commands, (std::vector<UINT>{38106}));
    // Without a view a shell button does nothing.
    bar.SetViewWindow(NULL);
    SendMessageA(bar.m_hWnd, WM_COMMAND, MAKEWPARAM(0x7029, BN_CLICKED), (LPARAM)bar.m_toolbar);
    EXPECT_EQ(panel.commands.size(), 1u);
}

TEST_F(PanelToolBarTest, ViewsDropDownPostsTheViewMenuCommandFromShell471)
{
    struct Case {
        DWORD shell;
        UINT viewsButton, item;
        bool posts;
    } cases[] = {
        {0x00060000, 0x7031, 0x7031, true},    // XP's views button
        {0x00040047, 0x702E, 0x702E, true},    // 4.71, classic views button
        {0x00040046, 0x702E, 0x702E, false},   // 4.70: the view handles it
        {0x00060000, 0x7031, 0x702E, false},   // not the views button of this variant
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.shell << " item " << c.item);
        bar.SetShell(c.shell, c.viewsButton);
        main.commands.clear();
        view.notifications.clear();
        NMTOOLBARA nm = {};
        nm.hdr.hwndFrom = bar.m_toolbar;
        nm.hdr.idFrom = 59425;
        nm.hdr.code = TBN_DROPDOWN;
        nm.iItem = (int)c.item;
        EXPECT_EQ(Notify(nm.hdr), TBDDRET_DEFAULT);
        Pump();
        EXPECT_EQ(main.commands, c.posts ? std::vector<UINT>{kChangeView} : std::vector<UINT>{});
        // A drop-down the program does not take goes on to the view.
        EXPECT_EQ(view.notifications.size(), c.posts ? 0u : 1u);
    }
}

TEST_F(PanelToolBarTest, TooltipsOfTheShellsCopyAndMoveButtonsFromShell50)
{
    bar.SetShell(0x00050000, 0x7031);
    for (UINT id : {28702u, 28703u}) {
        SCOPED_TRACE(id);
        NMTTDISPINFOA a = {};
        a.hdr.code = TTN_GETDISPINFOA;
        a.hdr.idFrom = id;
        Notify(a.hdr);
        EXPECT_STREQ(a.lpszText, id == 28702 ? "Copy To" : "Move To");
        NMTTDISPINFOW w = {};
        w.hdr.code = TTN_GETDISPINFOW;
        w.hdr.idFrom = id;
        Notify(w.hdr);
        EXPECT_STREQ(w.lpszText, id == 28702 ? L"Copy To" : L"Move To");
    }
    EXPECT_TRUE(view.notifications.empty());
    // Other shell buttons ask the view; so do Copy To and Move To on an older shell.
    NMTTDISPINFOA other = {};
    other.hdr.code = TTN_GETDISPINFOA;
    other.hdr.idFrom = 0x7029;
    Notify(other.hdr);
    bar.SetShell(0x00040047, 0x702E);
    NMTTDISPINFOA old = {};
    old.hdr.code = TTN_GETDISPINFOA;
    old.hdr.idFrom = 28702;
    Notify(old.hdr);
    EXPECT_EQ(view.notifications.size(), 2u);
    EXPECT_TRUE(old.lpszText == NULL);
    // The program's own buttons keep their string resource's tooltip, never the view's.
    NMTTDISPINFOA own = {};
    own.hdr.code = TTN_GETDISPINFOA;
    own.hdr.idFrom = 38106;
    Notify(own.hdr);
    EXPECT_EQ(view.notifications.size(), 2u);
    // Answered by the bar itself with the command string's text (none in this test program).
    ASSERT_TRUE(own.lpszText != NULL);
    EXPECT_NE(LPSTR_TEXTCALLBACKA, own.lpszText);
    EXPECT_STREQ("", own.lpszText);
}

}  // namespace
