// Every file name the file system holds, in the real program: Japanese, Cyrillic, accented,
// emoji and very long names are copied, moved, renamed and deleted exactly, beside siblings
// that a "?" or "*" pattern would catch; a program without the UTF-8 code page refuses them.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <string.h>
#include <string>
#include <vector>
#include "driver/Driver.h"
#include "driver/NamesDriver.h"
#include "driver/SelectDriver.h"

namespace {
enum : UINT { ID_COPY = 39401, ID_MOVE = 39402, ID_RENAME = 39403, ID_DELETE = 39404 };
enum : int { IDC_RENAME_TO = 1050, IDC_RECYCLE = 1301, IDC_SELECTION = 1060 };

// Three Japanese characters: "???.txt" under a code page that lacks them.
const std::string kJapanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt";
const std::string kCyrillic = "\xD0\x96\xD1\x83\xD1\x87\xD0\xBE\xD0\xBA.txt";   // 5 letters
const std::string kAccented = "caf\xC3\xA9-\xC3\xB1o.txt";
const std::string kEmoji = "\xF0\x9F\x98\x80smile.txt";
// 200 characters, 250 bytes in UTF-8: its full path is longer than 260 bytes.
std::string LongName()
{
    std::string name;
    for (int i = 0; i < 50; ++i)
        name += "\xC3\xA9";
    return name + std::string(146, 'a') + ".txt";
}
// Folder with a Japanese name and an emoji.
const std::string kFolder = "\xE3\x83\x95\xE3\x82\xA9\xE3\x83\xAB\xE3\x83\x80\xF0\x9F\x93\x81";

class FileNames : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        base = drv::TempFolder("names_cmd");
        drv::RemoveTree(base);
        CreateDirectoryA(base.c_str(), NULL);
        a = base + "\\A";
        b = base + "\\B";
        CreateDirectoryA(a.c_str(), NULL);
        CreateDirectoryA(b.c_str(), NULL);
        names = {kJapanese, kCyrillic, kAccented, kEmoji, LongName()};
        for (const std::string& n : names)
            ASSERT_TRUE(drv::WriteBytes(a + "\\" + n, "data of " + n)) << n;
        // Siblings that "???.txt", "*.txt" or a cut name would catch.
        for (const char* n : {"abc.txt", "zzz.txt", "ab.txt", "caf.txt"})
            ASSERT_TRUE(drv::WriteBytes(a + "\\" + n, std::string("sibling ") + n));
        before = drv::TreeOf(a);
        ASSERT_EQ(9u, before.size());
    }
    void TearDown() override
    {
        drv::DeleteUserKey("Software\\Corvane\\Panorel QV");
        drv::RemoveTree(base);
    }
    HWND Start(drv::AppProcess& app, const std::string& args, const char* exe = "panorel.exe",
               size_t items = 9)
    {
        EXPECT_TRUE(app.Start(exe, args));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelList(main, 0) && drv::PanelList(main, 1); }, 10000));
        EXPECT_TRUE(drv::WaitFor([&] { return drv::ListViewTexts(drv::PanelList(main, 0), false).size() >= items; }, 10000));
        return main;
    }
    HWND Open(drv::AppProcess& app, HWND main, UINT id, const char* caption,
              const std::vector<std::string>& items)
    {
        EXPECT_TRUE(drv::SelectListItems(drv::PanelList(main, 0), items));
        EXPECT_TRUE(app.PostCommand(id));
        HWND found = NULL;
        drv::WaitFor(
            [&] {
                for (HWND w : drv::TopLevelWindows(app.Pid()))
                    if (drv::ClassName(w) == "#32770" && drv::WindowText(w) == caption)
                        return (found = w) != NULL;
                return false;
            },
            10000);
        return found;
    }
    // Answers the shell's "Confirm ..." boxes with Yes until the dialog has gone.
    bool ConfirmUntilClosed(drv::AppProcess& app, HWND dlg)
    {
        return drv::WaitFor(
            [&] {
                for (HWND w : drv::TopLevelWindows(app.Pid()))
                    if (w != dlg && drv::ClassName(w) == "#32770" &&
                        drv::WindowText(w).find("Confirm") != std::string::npos) {
                        Sleep(200);
                        drv::PressButton(w, IDYES);
                    }
                return !IsWindow(dlg);
            },
            15000);
    }
    std::map<std::string, std::string> Without(std::vector<std::string> gone)
    {
        auto tree = before;
        for (auto& g : gone)
            tree.erase(g);
        return tree;
    }

    std::string base, a, b;
    std::vector<std::string> names;
    std::map<std::string, std::string> before;
};

TEST_F(FileNames, TheListShowsEveryName)
{
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b);
    ASSERT_TRUE(main);
    std::vector<std::string> shown = drv::ListViewTexts(drv::PanelList(main, 0), false);
    for (const std::string& n : names)
        EXPECT_NE(shown.end(), std::find(shown.begin(), shown.end(), n)) << n;
    // The menu bar holds the program's menus, not the view's placeholder.
    SetForegroundWindow(main);
    SetFocus(drv::PanelList(main, 0));
    HMENU bar = GetMenu(main);
    ASSERT_TRUE(bar);
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
        char text[64] = "";
        GetMenuStringA(bar, i, text, sizeof(text), MF_BYPOSITION);
        EXPECT_NE(0, strncmp(text, "dummy", 5)) << text;
    }
    drv::Screenshot("names_list", main);
    app.Close();
}

TEST_F(FileNames, DeleteOfAJapaneseNameDeletesOnlyThatFile)
{
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b);
    ASSERT_TRUE(main);
    HWND dlg = Open(app, main, ID_DELETE, "Delete", {kJapanese});
    ASSERT_TRUE(dlg);
    EXPECT_EQ(kJapanese, drv::WindowText(GetDlgItem(dlg, IDC_SELECTION)));
    SendMessageA(GetDlgItem(dlg, IDC_RECYCLE), BM_SETCHECK, BST_UNCHECKED, 0);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    EXPECT_TRUE(ConfirmUntilClosed(app, dlg));
    EXPECT_TRUE(drv::WaitFor([&] { return drv::TreeOf(a).size() == 8; }, 10000));
    EXPECT_EQ(Without({kJapanese}), drv::TreeOf(a));
    app.Close();
}

TEST_F(FileNames, CopyAndMoveTakeEveryNameExactly)
{
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    HWND dlg = Open(app, main, ID_COPY, "Copy", names);
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 15000));
    std::map<std::string, std::string> expect;
    for (const std::string& n : names)
        expect[n] = "data of " + n;
    EXPECT_TRUE(drv::WaitFor([&] { return drv::TreeOf(b) == expect; }, 10000));
    EXPECT_EQ(expect, drv::TreeOf(b));
    EXPECT_EQ(before, drv::TreeOf(a));
    EXPECT_TRUE(watcher.Answered().empty());

    // Move the emoji and the long name out of B back into A's sibling folder C.
    std::string c = base + "\\C";
    CreateDirectoryA(c.c_str(), NULL);
    app.Close();
    drv::AppProcess again;
    main = Start(again, b + "," + c, "panorel.exe", names.size());
    ASSERT_TRUE(main);
    dlg = Open(again, main, ID_MOVE, "Move", {kEmoji, LongName()});
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 15000));
    std::map<std::string, std::string> moved = {{kEmoji, "data of " + kEmoji},
                                                {LongName(), "data of " + LongName()}};
    EXPECT_TRUE(drv::WaitFor([&] { return drv::TreeOf(c) == moved; }, 10000));
    expect.erase(kEmoji);
    expect.erase(LongName());
    EXPECT_EQ(expect, drv::TreeOf(b));
    again.Close();
}

TEST_F(FileNames, RenameWithAndWithoutAMask)
{
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b);
    ASSERT_TRUE(main);
    drv::ModalWatcher watcher(app.Pid());
    // One name to a new Cyrillic name.
    HWND dlg = Open(app, main, ID_RENAME, "Rename", {kJapanese});
    ASSERT_TRUE(dlg);
    HWND to = GetDlgItem(dlg, IDC_RENAME_TO);
    EXPECT_EQ(kJapanese, drv::WindowText(to));
    const std::string renamed = "\xD0\x9D\xD0\xBE\xD0\xB2\xD1\x8B\xD0\xB9 " + kEmoji;
    SendMessageA(to, WM_SETTEXT, 0, (LPARAM)renamed.c_str());
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 15000));
    auto expect = Without({kJapanese});
    expect[renamed] = "data of " + kJapanese;
    EXPECT_TRUE(drv::WaitFor([&] { return drv::TreeOf(a) == expect; }, 10000));
    EXPECT_EQ(expect, drv::TreeOf(a));

    // A mask on the accented and the Cyrillic names.
    EXPECT_TRUE(drv::WaitFor([&] {
        std::vector<std::string> shown = drv::ListViewTexts(drv::PanelList(main, 0), false);
        return std::find(shown.begin(), shown.end(), renamed) != shown.end();
    }, 10000));
    dlg = Open(app, main, ID_RENAME, "Rename", {kAccented, kCyrillic});
    ASSERT_TRUE(dlg);
    SendMessageA(GetDlgItem(dlg, IDC_RENAME_TO), WM_SETTEXT, 0, (LPARAM) "*.bak");
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 15000));
    std::string accentedBak = kAccented.substr(0, kAccented.size() - 4) + ".bak";
    std::string cyrillicBak = kCyrillic.substr(0, kCyrillic.size() - 4) + ".bak";
    expect[accentedBak] = expect[kAccented];
    expect[cyrillicBak] = expect[kCyrillic];
    expect.erase(kAccented);
    expect.erase(kCyrillic);
    EXPECT_TRUE(drv::WaitFor([&] { return drv::TreeOf(a) == expect; }, 10000));
    EXPECT_EQ(expect, drv::TreeOf(a));
    EXPECT_TRUE(watcher.Answered().empty());
    app.Close();
}

TEST_F(FileNames, AFolderWithSuchANameComesBack)
{
    std::string folder = a + "\\" + kFolder;
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    drv::WriteBytes(folder + "\\" + kEmoji, "inside");
    {
        drv::AppProcess app;
        EXPECT_TRUE(app.Start("panorel.exe", "\"" + folder + "\""));
        HWND main = app.WaitForMainWindow();
        ASSERT_TRUE(main);
        // The command line names it; the title bar shows it whole.
        EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelTitle(main, 0) == folder; }, 10000))
            << drv::PanelTitle(main, 0);
        drv::Screenshot("names_folder_title", main);
        app.Close();
    }
    // Stored as "PIDL1" and brought back by a restart.
    EXPECT_TRUE(drv::UserValueExists("Software\\Corvane\\Panorel QV\\Panorel QV", "PIDL1"));
    drv::AppProcess app;
    EXPECT_TRUE(app.Start("panorel.exe", ""));
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main);
    EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelTitle(main, 0) == folder; }, 10000))
        << drv::PanelTitle(main, 0);
    // A command line handed over by WM_COPYDATA that is not valid UTF-8 is refused whole.
    std::string bad = "\"" + a + "\\\xE3\x83\"";
    EXPECT_EQ(0, app.CopyData(4, bad.c_str(), (DWORD)bad.size() + 1));
    std::string longer(400, 'x');
    EXPECT_EQ(0, app.CopyData(4, longer.c_str(), (DWORD)longer.size() + 1));
    EXPECT_EQ(0, app.CopyData(1, "C:\\???.txt", 11));
    EXPECT_EQ(folder, drv::PanelTitle(main, 0));
    // A valid one goes to the folder.
    std::string good = "\"" + a + "\"";
    EXPECT_EQ(1, app.CopyData(4, good.c_str(), (DWORD)good.size() + 1));
    EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelTitle(main, 0) == a; }, 10000))
        << drv::PanelTitle(main, 0);
    EXPECT_TRUE(app.Running());
    app.Close();
}

// The same program without the manifest's UTF-8 setting runs with the system's 8-bit code page (1252 here),
// which cannot hold the Japanese name: the operations refuse it and change nothing on disk.
TEST_F(FileNames, WithoutTheUtf8CodePageNamesAreRefusedNotGuessed)
{
    std::string exe = drv::CopyWithoutUtf8CodePage("panorel.exe", base + "\\prog");
    ASSERT_FALSE(exe.empty());
    drv::AppProcess app;
    HWND main = Start(app, a + "," + b, exe.c_str());
    ASSERT_TRUE(main);
    const std::string lost = "???.txt";   // how the program's 8-bit calls see the name
    for (UINT id : {ID_DELETE, ID_COPY}) {
        const char* caption = id == ID_DELETE ? "Delete" : "Copy";
        HWND dlg = Open(app, main, id, caption, {lost});
        ASSERT_TRUE(dlg) << caption;
        if (id == ID_DELETE)
            SendMessageA(GetDlgItem(dlg, IDC_RECYCLE), BM_SETCHECK, BST_UNCHECKED, 0);
        ASSERT_TRUE(drv::PressButton(dlg, IDOK));
        HWND box = app.WaitForWindowWithText("cannot be handed to the system exactly", 10000);
        ASSERT_TRUE(box) << caption;
        drv::Screenshot("names_refused", box);
        EXPECT_NE(std::string::npos, drv::AllTexts(box).find(lost));
        // No shell confirmation was asked for: nothing reached the shell.
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            EXPECT_EQ(std::string::npos, drv::WindowText(w).find("Confirm"));
        drv::PressButton(box, IDOK);
        EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
        EXPECT_EQ(before, drv::TreeOf(a)) << caption;
        EXPECT_TRUE(drv::TreeOf(b).empty()) << caption;
    }
    app.Close();
}
}  // namespace
