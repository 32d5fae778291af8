// List in the real program: the preview, the text saved to a file or put on the clipboard, and
// the options kept in the registry.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>
#include "driver/BarsDriver.h"
#include "driver/Driver.h"
#include "driver/SelectDriver.h"

namespace {
const char kProductKey[] = "Software\\Corvane\\Panorel QV";
const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const UINT ID_LIST = 38216;
enum : int {
    IDC_SELECTED = 1177, IDC_ALL = 1178, IDC_COLUMNS = 1307, IDC_HEADER = 1174, IDC_DELIMITER = 1308,
    IDC_QUALIFIER = 1175, IDC_LIMIT = 1183, IDC_LIMIT_NUM = 1184, IDC_CLIPBOARD = 1179,
    IDC_FILE = 1180, IDC_PREVIEW = 1176
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            out.push_back(text.substr(pos) + "<no line end>");
            break;
        }
        out.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

std::vector<std::string> Fields(const std::string& line, char delimiter)
{
    std::vector<std::string> out;
    size_t pos = 0;
    for (;;) {
        size_t end = line.find(delimiter, pos);
        out.push_back(line.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        if (end == std::string::npos)
            return out;
        pos = end + 1;
    }
}

void ChooseCombo(HWND dlg, int id, int index)
{
    HWND combo = GetDlgItem(dlg, id);
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)combo);
}

class List : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        base = drv::TempFolder("list_cmd");
        drv::RemoveTree(base);
        CreateDirectoryA(base.c_str(), NULL);
        other = drv::TempFolder("list_cmd_other");
        out = drv::TempFolder("list_cmd_out");
        for (const char* name : {"Reports 2003.xls", "a,b.txt", "日本語.txt", "Кириллица.doc"})
            drv::WriteBytes(base + "\\" + name, std::string(1000, 'z'));
    }
    void TearDown() override
    {
        drv::DeleteUserKey(kProductKey);
        drv::RemoveTree(base);
        drv::RemoveTree(other);
        drv::RemoveTree(out);
    }
    HWND Start(drv::AppProcess& app)
    {
        EXPECT_TRUE(app.Start("panorel.exe", base + "," + other));
        HWND main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        EXPECT_TRUE(drv::WaitFor([&] { return drv::PanelList(main, 0) && drv::ItemCount(drv::PanelList(main, 0)) >= 4; }, 15000));
        return main;
    }
    HWND Open(drv::AppProcess& app, HWND main, const std::vector<std::string>& names)
    {
        EXPECT_TRUE(drv::SelectNames(drv::PanelList(main, 0), names));
        EXPECT_TRUE(app.PostCommand(ID_LIST));
        return drv::WaitForDialog(app.Pid(), "List");
    }
    // OK in the List dialog, then the path typed into the save dialog and its OK.
    bool SaveTo(drv::AppProcess& app, HWND dlg, const std::string& path)
    {
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);
        HWND save = drv::WaitForDialog(app.Pid(), "Save to File");
        if (!save)
            return false;
        saveDialog = save;
        HWND field = NULL;
        drv::WaitFor([&] { return (field = drv::FileDialogNameField(save)) != NULL; }, 5000);
        if (!field)
            return false;
        SendMessageA(field, WM_SETTEXT, 0, (LPARAM)path.c_str());
        Sleep(100);
        return drv::PressButton(save, IDOK);
    }
    std::string base, other, out;
    HWND saveDialog = NULL;
};

TEST_F(List, DefaultsGiveAHeaderAndOneQuotedTabbedLinePerObject)
{
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    HWND dlg = Open(app, main, {"日本語.txt", "Кириллица.doc"});
    ASSERT_TRUE(dlg);
    EXPECT_EQ(BST_CHECKED, (int)SendMessageA(GetDlgItem(dlg, IDC_SELECTED), BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_CHECKED, (int)SendMessageA(GetDlgItem(dlg, IDC_HEADER), BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_CHECKED, (int)SendMessageA(GetDlgItem(dlg, IDC_FILE), BM_GETCHECK, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_LIMIT_NUM)));
    std::string preview = drv::ItemText(dlg, IDC_PREVIEW);
    auto lines = Lines(preview);
    ASSERT_EQ(3u, lines.size()) << preview;
    auto header = Fields(lines[0], '\t');
    // The name column's title is the shell's: "Name" on Windows, "File" under Wine.
    EXPECT_TRUE(header[0] == "\"Name\"" || header[0] == "\"File\"") << header[0];
    std::vector<std::string> names;
    for (size_t i = 0; i < 3; ++i) {
        auto f = Fields(lines[i], '\t');
        EXPECT_EQ(header.size(), f.size()) << lines[i];
        for (const std::string& field : f)
            EXPECT_TRUE(field.size() >= 2 && field.front() == '"' && field.back() == '"') << field;
        if (i)
            names.push_back(f[0]);
    }
    EXPECT_TRUE((names == std::vector<std::string>{"\"日本語.txt\"", "\"Кириллица.doc\""}) ||
                (names == std::vector<std::string>{"\"Кириллица.doc\"", "\"日本語.txt\""}))
        << preview;
    RedrawWindow(dlg, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    EXPECT_FALSE(drv::Screenshot("list_dialog", dlg).empty());

    // Saved over a longer file: the file is the text, nothing of the old one stays.
    std::string path = out + "\\listing.txt";
    drv::WriteBytes(path, std::string(20000, 'x'));
    ASSERT_TRUE(SaveTo(app, dlg, path));
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    EXPECT_EQ(preview, drv::ReadBytes(path));
    EXPECT_EQ(path, drv::GetUserString(kRootKey, "ListSavePath"));
    drv::WaitFor([&] { return drv::GetUserDword(kRootKey, "ListOpts", 0) == 0x20014u; }, 5000);
    EXPECT_EQ(0x20014u, drv::GetUserDword(kRootKey, "ListOpts", 0));
    EXPECT_EQ(0xFFFFFFFFu, drv::GetUserDword(kRootKey, "ListColumns", 0) | ~((1u << header.size()) - 1));
    app.Close();
}

TEST_F(List, CommaWithoutQualifierNameLimitAndTheClipboard)
{
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    HWND dlg = Open(app, main, {"a,b.txt"});
    ASSERT_TRUE(dlg);
    ChooseCombo(dlg, IDC_DELIMITER, 2);
    ChooseCombo(dlg, IDC_QUALIFIER, 2);
    auto lines = Lines(drv::ItemText(dlg, IDC_PREVIEW));
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(0u, lines[1].find("a,b.txt,")) << lines[1];   // the comma stands as it is
    EXPECT_EQ(std::string::npos, lines[1].find('"'));
    // The second column's box cleared: one field less on every line.
    size_t fields = Fields(lines[0], ',').size();
    ASSERT_TRUE(drv::SetItemState(GetDlgItem(dlg, IDC_COLUMNS), 1, INDEXTOSTATEIMAGEMASK(1), LVIS_STATEIMAGEMASK));
    lines = Lines(drv::ItemText(dlg, IDC_PREVIEW));
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(fields - 1, Fields(lines[0], ',').size()) << lines[0];
    EXPECT_EQ(fields - 1 + 1, Fields(lines[1], ',').size()) << lines[1];   // the name's own comma

    // Every object, names cut to 8 characters, the other columns whole; no header.
    drv::ClickButton(dlg, IDC_ALL);
    drv::ClickButton(dlg, IDC_HEADER);
    drv::ClickButton(dlg, IDC_LIMIT);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_LIMIT_NUM)));
    drv::SetItemText(dlg, IDC_LIMIT_NUM, "8");
    ChooseCombo(dlg, IDC_DELIMITER, 1);
    std::string preview = drv::ItemText(dlg, IDC_PREVIEW);
    lines = Lines(preview);
    ASSERT_EQ(4u, lines.size()) << preview;
    // Eight characters, whole characters of every script.
    std::set<std::string> cut;
    for (const std::string& line : lines) {
        auto f = Fields(line, ';');
        cut.insert(f[0]);
        ASSERT_GE(f.size(), 3u) << line;
        EXPECT_GT(f[2].size(), 8u) << line;   // the time column (the size one is out), not cut to 8
    }
    EXPECT_EQ((std::set<std::string>{"Reports ", "a,b.txt", "Кириллиц", "日本語.txt"}), cut) << preview;

    // The clipboard form gives the preview's text.
    drv::SetClipboardText("marker");
    drv::ClickButton(dlg, IDC_CLIPBOARD);
    ASSERT_TRUE(drv::PressButton(dlg, IDOK));
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    EXPECT_EQ(preview, drv::ClipboardText());
    // The choices are stored once the dialog has gone.
    const DWORD want = 0x10000u | 0x40000u | 0x80000u | (1u << 12) | (2u << 8) | 8u;
    drv::WaitFor([&] { return drv::GetUserDword(kRootKey, "ListOpts", 0) == want; }, 5000);
    EXPECT_EQ(0u, drv::GetUserDword(kRootKey, "ListColumns", 0) & 2);
    DWORD opts = drv::GetUserDword(kRootKey, "ListOpts", 0);
    EXPECT_EQ(want, opts);

    // The choices come back next time.
    ASSERT_TRUE(app.PostCommand(ID_LIST));
    dlg = drv::WaitForDialog(app.Pid(), "List");
    ASSERT_TRUE(dlg);
    EXPECT_EQ(preview, drv::ItemText(dlg, IDC_PREVIEW));
    EXPECT_EQ("8", drv::ItemText(dlg, IDC_LIMIT_NUM));
    drv::PressButton(dlg, IDCANCEL);
    app.Close();
}

// Every cell List writes is the one the panel's list shows, in every column: files and folders
// of several types (a folder named like a document), names in three scripts, sizes on both
// sides of the kilobyte steps; then the selected objects only.
TEST_F(List, EveryCellIsTheTextTheViewShows)
{
    std::string mixed = drv::TempFolder("list_cmd_cells");
    drv::RemoveTree(mixed);
    CreateDirectoryA(mixed.c_str(), NULL);
    struct File { const char* name; size_t size; };
    const File files[] = {{"empty.txt", 0}, {"one.txt", 1}, {"k1023.dat", 1023}, {"k1024.dat", 1024},
                          {"k1025.log", 1025}, {"k10239.bin", 10239}, {"k10240.bin", 10240},
                          {"m1.tmp", 1048575}, {"m1b.tmp", 1048576}, {"日本語.txt", 2047},
                          {"Кириллица.doc", 2049}, {"😀.txt", 512}, {"README", 5000},
                          {"a.b.c.ini", 100}, {"UPPER.TXT", 3000}, {"noext.", 0}};
    for (const File& f : files)
        drv::WriteBytes(mixed + "\\" + f.name, std::string(f.size, 'x'));
    for (const char* name : {"sub.txt", "docs", "フォルダ", "Папка"})
        CreateDirectoryA((mixed + "\\" + name).c_str(), NULL);
    const int total = 16 + 4;

    drv::AppProcess app;
    ASSERT_TRUE(app.Start("panorel.exe", mixed + "," + other));
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main);
    ASSERT_TRUE(drv::WaitFor([&] { return drv::PanelList(main, 0) && drv::ItemCount(drv::PanelList(main, 0)) == total; }, 15000));
    HWND list = drv::PanelList(main, 0);
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    int columns = header ? (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    ASSERT_GE(columns, 4);   // name, size, type, time at least

    // The cells as the view gives them to its list, row by row.
    auto viewRows = [&](bool selectedOnly) {
        std::vector<std::vector<std::string>> byColumn;
        for (int c = 0; c < columns; ++c)
            byColumn.push_back(drv::ColumnTexts(list, c, selectedOnly));
        std::vector<std::string> rows;
        for (size_t r = 0; r < byColumn[0].size(); ++r) {
            std::string row;
            for (int c = 0; c < columns; ++c)
                row += (c ? "\t" : "") + (r < byColumn[c].size() ? byColumn[c][r] : "<missing>");
            rows.push_back(row);
        }
        return rows;
    };
    std::vector<std::string> all = viewRows(false);
    ASSERT_EQ((size_t)total, all.size());
    // The sizes really are on both sides of the steps (the view's own texts differ).
    std::set<std::string> sizes;
    for (const std::string& size : drv::ColumnTexts(list, 1, false))
        sizes.insert(size);
    EXPECT_GE(sizes.size(), 5u);

    // Every column, tab-separated, no qualifier, no header: the rows as read from the list.
    auto open = [&](int objects) {
        HWND d = app.PostCommand(ID_LIST) ? drv::WaitForDialog(app.Pid(), "List") : NULL;
        if (d) {
            drv::ClickButton(d, objects);
            if (SendMessageA(GetDlgItem(d, IDC_HEADER), BM_GETCHECK, 0, 0) == BST_CHECKED)
                drv::ClickButton(d, IDC_HEADER);
            ChooseCombo(d, IDC_DELIMITER, 0);
            ChooseCombo(d, IDC_QUALIFIER, 2);
        }
        return d;
    };
    HWND dlg = open(IDC_ALL);
    ASSERT_TRUE(dlg);
    std::vector<std::string> listed = Lines(drv::ItemText(dlg, IDC_PREVIEW));
    EXPECT_EQ(all, listed);

    // Selected objects only: a file of each script, a folder and a size on a step.
    drv::PressButton(dlg, IDCANCEL);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    ASSERT_TRUE(drv::SelectNames(list, {"日本語.txt", "Кириллица.doc", "😀.txt", "Папка", "k1024.dat"}));
    std::vector<std::string> selected = viewRows(true);
    ASSERT_EQ(5u, selected.size());
    dlg = open(IDC_SELECTED);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(selected, Lines(drv::ItemText(dlg, IDC_PREVIEW)));

    // Saved to a file: the same text, every object.
    drv::ClickButton(dlg, IDC_ALL);
    std::string path = out + "\\cells.txt";
    ASSERT_TRUE(SaveTo(app, dlg, path));
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 10000));
    EXPECT_EQ(all, Lines(drv::ReadBytes(path)));
    app.Close();
    drv::RemoveTree(mixed);
}

TEST_F(List, NothingSelectedAndAMissingFolderChangeNothing)
{
    drv::AppProcess app;
    HWND main = Start(app);
    ASSERT_TRUE(main);
    HWND dlg = Open(app, main, {});
    ASSERT_TRUE(dlg);
    EXPECT_EQ("", drv::ItemText(dlg, IDC_PREVIEW));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDOK)));
    drv::ClickButton(dlg, IDC_ALL);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDOK)));

    // A path in a folder that does not exist: a message, no file, the List dialog stays.
    std::string missing = out + "\\no such folder\\listing.txt";
    ASSERT_TRUE(SaveTo(app, dlg, missing));
    std::string text;
    HWND box = NULL;
    EXPECT_TRUE(drv::WaitFor([&] {
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if (w != dlg && w != saveDialog && drv::ClassName(w) == "#32770")
                return (box = w) != NULL;
        return false;
    }, 10000));
    if (box) {
        text = drv::AllTexts(box);
        Sleep(100);
        drv::PressButton(box, IDOK);
    }
    EXPECT_FALSE(text.empty());
    // The save dialog may have kept the request for itself; leave it.
    HWND save = drv::WaitForDialog(app.Pid(), "Save to File", 1000);
    if (save)
        drv::PressButton(save, IDCANCEL);
    EXPECT_TRUE(drv::WaitFor([&] { return !drv::WaitForDialog(app.Pid(), "Save to File", 0); }, 5000));
    EXPECT_TRUE(IsWindow(dlg));
    EXPECT_FALSE(drv::Exists(missing));
    EXPECT_FALSE(drv::UserValueExists(kRootKey, "ListOpts"));
    drv::PressButton(dlg, IDCANCEL);
    app.Close();
}

}  // namespace
