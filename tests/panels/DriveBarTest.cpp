// The drive bar in this process: its buttons against the system's drives, the remembered
// folders and their registry values, the modifier rules of a click, the checked button, the
// tooltip and the painted faces.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>
#include "framework/FrameWnd.h"
#include "panels/DriveBar.h"
#include "registry/RegKey.h"

namespace {
const char kKey[] = "HKCU\\Software\\Corvane\\PanorelTests\\DriveBar";
const char kKeyParent[] = "Software\\Corvane\\PanorelTests";

class FakeHost : public DriveBarHost {
public:
    struct Call {
        UINT id;
        bool root, passive;
    };
    std::vector<Call> calls;
    int checked = -1;
    bool bold = false;
    void OnDriveCommand(DriveBar&, UINT id, bool root, bool passive) override
    {
        calls.push_back({id, root, passive});
    }
    int GetCheckedDrive(const DriveBar&) const override { return checked; }
    bool UseBoldDriveLetters() const override { return bold; }
    void GetFolderText(const ITEMIDLIST* folder, char* buf, int size) const override
    {
        GetShellNameOf(folder, buf, size, 1);
    }
};

// The drives that should have a button, as the system reports them.
std::vector<int> ExpectedDrives()
{
    std::vector<int> out;
    DWORD logical = GetLogicalDrives();
    for (int i = 0; i < 26; i++) {
        char root[4] = {(char)('A' + i), ':', '\\', 0};
        if ((logical & (1u << i)) && DriveImageOf(GetDriveTypeA(root)) >= 0)
            out.push_back(i);
    }
    return out;
}

int SystemDrive()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof(windows));
    return DriveIndexOfPath(windows);
}

std::string PathOf(const ITEMIDLIST* list)
{
    char path[MAX_PATH] = "";
    GetPathOf(list, path, sizeof(path));
    return path;
}

std::string MakeFolder(const std::string& path)
{
    CreateDirectoryA(path.c_str(), NULL);
    return path;
}

class DriveBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kKeyParent);
        ASSERT_TRUE(frame.LoadFrame(0, WS_OVERLAPPEDWINDOW, "DriveBarTestFrame", "drive bar test"));
        SetWindowPos(frame.m_hWnd, NULL, 0, 0, 600, 200, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(bar.Create(&frame, 59409, "Drive bar", &host, DriveBar::MainBar, kKey));
        drive = SystemDrive();
        ASSERT_GE(drive, 0);
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        base = MakeFolder(std::string(temp) + "drivebar_test");
        deep = MakeFolder(base + "\\deep");
        ASSERT_EQ(drive, DriveIndexOfPath(deep.c_str()));   // the temp folder is on the system drive
    }
    void TearDown() override
    {
        bar.DestroyWindow();
        frame.DestroyWindow();
        RemoveDirectoryA(deep.c_str());
        RemoveDirectoryA(base.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, kKeyParent);
    }
    UINT Id(int d) const { return DriveBar::kFirstCommand + d; }

    fw::FrameWnd frame;
    DriveBar bar;
    FakeHost host;
    int drive = -1;
    std::string base, deep;
};

TEST_F(DriveBarTest, ButtonsMatchTheDrivesOfAKnownType)
{
    std::vector<int> expected = ExpectedDrives();
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ((LRESULT)expected.size(), SendMessageA(bar.m_toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < 26; i++) {
        SCOPED_TRACE(i);
        bool want = std::find(expected.begin(), expected.end(), i) != expected.end();
        int index = (int)SendMessageA(bar.m_toolbar, TB_COMMANDTOINDEX, Id(i), 0);
        EXPECT_EQ(want, index >= 0);
        EXPECT_EQ(want, bar.HasDrive(i));
        if (index < 0)
            continue;
        TBBUTTON b = {};
        ASSERT_TRUE(SendMessageA(bar.m_toolbar, TB_GETBUTTON, index, (LPARAM)&b));
        char root[4] = {(char)('A' + i), ':', '\\', 0};
        EXPECT_EQ(DriveImageOf(GetDriveTypeA(root)), b.iBitmap);
        // Out of range: no drive.
    }
    EXPECT_FALSE(bar.HasDrive(-1));
    EXPECT_FALSE(bar.HasDrive(26));
    // The bar's images are loaded: five of them.
    HIMAGELIST images = (HIMAGELIST)SendMessageA(bar.m_toolbar, TB_GETIMAGELIST, 0, 0);
    ASSERT_TRUE(images != NULL);
    EXPECT_EQ(5, ImageList_GetImageCount(images));
}

TEST_F(DriveBarTest, TheTargetIsTheLastFolderOrTheDrive)
{
    PIDL target;
    ASSERT_TRUE(bar.GetTarget(drive, false, target));
    char root[4] = {(char)('A' + drive), ':', '\\', 0};
    EXPECT_EQ(root, PathOf(target));   // nothing visited yet: the drive

    PIDL visited;
    visited.Attach(GetPidlOf(deep.c_str()));
    ASSERT_TRUE(visited);
    bar.RecordVisit(drive, visited);
    ASSERT_TRUE(bar.GetTarget(drive, false, target));
    EXPECT_EQ(0, target.CompareAbs(visited));
    ASSERT_TRUE(bar.GetTarget(drive, true, target));
    EXPECT_EQ(root, PathOf(target));   // the root variant

    // A vanished folder falls back to the drive.
    RemoveDirectoryA(deep.c_str());
    ASSERT_TRUE(bar.GetTarget(drive, false, target));
    EXPECT_EQ(root, PathOf(target));
    MakeFolder(deep);

    // Bad drives change nothing and give no target.
    bar.RecordVisit(-1, visited);
    bar.RecordVisit(26, visited);
    bar.RecordVisit(drive, nullptr);
    EXPECT_FALSE(bar.GetTarget(-1, false, target));
    EXPECT_FALSE(bar.GetTarget(26, false, target));
    for (int i = 0; i < 26; i++)
        if (!bar.HasDrive(i)) {
            SCOPED_TRACE(i);
            EXPECT_FALSE(bar.GetTarget(i, false, target));
            bar.RecordVisit(i, visited);
            EXPECT_FALSE(bar.HasDrive(i));
            break;
        }
    ASSERT_TRUE(bar.GetTarget(drive, false, target));
    EXPECT_EQ(0, target.CompareAbs(visited));
}

TEST_F(DriveBarTest, RebuildKeepsTheFoldersOfDrivesThatStillExist)
{
    PIDL visited;
    visited.Attach(GetPidlOf(deep.c_str()));
    bar.RecordVisit(drive, visited);
    bar.Rebuild();
    EXPECT_EQ((LRESULT)ExpectedDrives().size(), SendMessageA(bar.m_toolbar, TB_BUTTONCOUNT, 0, 0));
    PIDL target;
    ASSERT_TRUE(bar.GetTarget(drive, false, target));
    EXPECT_EQ(0, target.CompareAbs(visited));
    // The rebuild stored the folder under the drive's letter, in the persisted form.
    RegKey key(kKey, RegKey::OpRead);
    ASSERT_TRUE(key.IsOpen());
    char name[2] = {(char)('A' + drive), 0};
    PIDL stored;
    stored.Persist(0, key, name);
    ASSERT_TRUE(stored);
    EXPECT_EQ(0, stored.CompareAbs(visited));
    EXPECT_EQ((int)visited.GetSizeTotal(), key.GetBinSize(name));
}

TEST_F(DriveBarTest, FoldersAreStoredWhenTheBarGoesAndLoadedByTheNextOne)
{
    PIDL visited;
    visited.Attach(GetPidlOf(deep.c_str()));
    bar.RecordVisit(drive, visited);
    bar.DestroyWindow();
    fw::FrameWnd other;   // outlives the bar it holds
    ASSERT_TRUE(other.LoadFrame(0, WS_OVERLAPPEDWINDOW, "DriveBarTestFrame", "other"));
    DriveBar next;
    ASSERT_TRUE(next.Create(&other, 59430, "Panel drive bar", &host, DriveBar::PanelBar, kKey));
    PIDL target;
    ASSERT_TRUE(next.GetTarget(drive, false, target));
    EXPECT_EQ(0, target.CompareAbs(visited));
}

TEST_F(DriveBarTest, StoredValuesOfAnotherDriveOrMalformedAreIgnored)
{
    char root[4] = {(char)('A' + drive), ':', '\\', 0};
    char name[2] = {(char)('A' + drive), 0};
    // Under this drive's letter: a folder of another drive, a list without a path, and a
    // list whose sizes run past the value.
    PIDL foreign;
    for (int i : ExpectedDrives())
        if (i != drive && !foreign) {
            char otherRoot[4] = {(char)('A' + i), ':', '\\', 0};
            foreign.Attach(GetPidlOf(otherRoot));
        }
    PIDL desktop;
    desktop.Make();
    BYTE bad[] = {40, 0, 1, 2, 3, 0, 0};
    for (int round = 0; round < 3; round++) {
        SCOPED_TRACE(round);
        if (round == 0 && !foreign)
            continue;   // a single drive: no other drive to take a folder from
        {
            RegKey key(kKey, RegKey::OpUpdate);
            ASSERT_TRUE(key.IsOpen());
            if (round == 0)
                foreign.Persist(1, key, name);
            else if (round == 1)
                desktop.Persist(1, key, name);
            else
                ASSERT_TRUE(key.PutBin(name, bad, sizeof(bad)));
        }
        fw::FrameWnd other;   // a frame per bar: each outlives its bar
        ASSERT_TRUE(other.LoadFrame(0, WS_OVERLAPPEDWINDOW, "DriveBarTestFrame", "other"));
        DriveBar next;
        ASSERT_TRUE(next.Create(&other, 59430, "Panel drive bar", &host, DriveBar::PanelBar, kKey));
        PIDL target;
        ASSERT_TRUE(next.GetTarget(drive, false, target));
        EXPECT_EQ(root, PathOf(target));
    }
}

TEST_F(DriveBarTest, AClickReadsShiftAndAltForTheVariants)
{
    BYTE keys[256], saved[256];
    ASSERT_TRUE(GetKeyboardState(saved));
    struct Case {
        BYTE shift, alt;
        bool root, passive;
    } cases[] = {{0, 0, false, false}, {0x80, 0, false, true}, {0, 0x80, true, false}, {0x80, 0x80, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.shift) + "/" + std::to_string(c.alt));
        memcpy(keys, saved, sizeof(keys));
        keys[VK_SHIFT] = c.shift;
        keys[VK_MENU] = c.alt;
        ASSERT_TRUE(SetKeyboardState(keys));
        host.calls.clear();
        // As the toolbar reports a click.
        SendMessageA(bar.m_hWnd, WM_COMMAND, Id(drive), (LPARAM)bar.m_toolbar);
        ASSERT_EQ(1u, host.calls.size());
        EXPECT_EQ(Id(drive), host.calls[0].id);
        EXPECT_EQ(c.root, host.calls[0].root);
        EXPECT_EQ(c.passive, host.calls[0].passive);
    }
    SetKeyboardState(saved);
    // Commands outside the drive range are not the bar's.
    host.calls.clear();
    bar.RunCommand(DriveBar::kLastCommand + 1);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(DriveBarTest, TheCheckedButtonFollowsTheHost)
{
    std::vector<int> drives = ExpectedDrives();
    auto checked = [&](int d) { return SendMessageA(bar.m_toolbar, TB_ISBUTTONCHECKED, Id(d), 0) != 0; };
    host.checked = drive;
    bar.UpdateItems(nullptr);
    for (int d : drives) {
        SCOPED_TRACE(d);
        EXPECT_EQ(d == drive, checked(d));
    }
    int other = drives.back() != drive ? drives.back() : drives.front();
    host.checked = other;
    bar.UpdateItems(nullptr);
    EXPECT_EQ(other != drive, !checked(drive));
    EXPECT_TRUE(checked(other));
    host.checked = -1;
    bar.UpdateItems(nullptr);
    for (int d : drives)
        EXPECT_FALSE(checked(d));
    // A rebuild starts unchecked and the next pass checks again.
    host.checked = drive;
    bar.UpdateItems(nullptr);
    bar.Rebuild();
    EXPECT_FALSE(checked(drive));
    bar.UpdateItems(nullptr);
    EXPECT_TRUE(checked(drive));
}

TEST_F(DriveBarTest, TheTooltipNamesTheTarget)
{
    PIDL visited;
    visited.Attach(GetPidlOf(deep.c_str()));
    bar.RecordVisit(drive, visited);
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = (HWND)SendMessageA(bar.m_toolbar, TB_GETTOOLTIPS, 0, 0);
    info.hdr.idFrom = Id(drive);
    info.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(bar.m_hWnd, WM_NOTIFY, 0, (LPARAM)&info);
    ASSERT_TRUE(info.lpszText != NULL);
    EXPECT_STREQ(deep.c_str(), info.lpszText);
}

TEST_F(DriveBarTest, TheFontIsEightPointsAndBoldWhenAsked)
{
    HDC screen = GetDC(NULL);
    int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(NULL, screen);
    LOGFONTA lf = {};
    ASSERT_TRUE(GetObjectA(bar.GetFont(), sizeof(lf), &lf));
    EXPECT_EQ(height, lf.lfHeight);
    EXPECT_EQ(FW_NORMAL, lf.lfWeight);
    host.bold = true;
    bar.Rebuild();
    ASSERT_TRUE(GetObjectA(bar.GetFont(), sizeof(lf), &lf));
    EXPECT_EQ(FW_BOLD, lf.lfWeight);
    EXPECT_EQ(height, lf.lfHeight);
}

// A 32-bit top-down DIB section to paint faces into and read back.
class Canvas {
public:
    Canvas(int w, int h) : m_w(w), m_h(h)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(NULL);
        m_bmp = CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, (void**)&m_bits, NULL, 0);
        m_old = SelectObject(m_dc, m_bmp);
        RECT r = {0, 0, w, h};
        FillRect(m_dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bmp);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    // Bounding box of the pixels of a colour inside a column range; empty when there are none.
    RECT Box(COLORREF color, int fromX, int toX) const
    {
        GdiFlush();
        DWORD want = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
        RECT box = {m_w, m_h, -1, -1};
        for (int y = 0; y < m_h; y++)
            for (int x = fromX; x < toX && x < m_w; x++)
                if ((m_bits[y * m_w + x] & 0xFFFFFF) == want) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }
    bool SameAs(const Canvas& other, int fromX) const
    {
        GdiFlush();
        for (int y = 0; y < m_h; y++)
            for (int x = fromX; x < m_w; x++)
                if ((m_bits[y * m_w + x] & 0xFFFFFF) != (other.m_bits[y * m_w + x] & 0xFFFFFF))
                    return false;
        return true;
    }

private:
    int m_w, m_h;
    HDC m_dc;
    HBITMAP m_bmp;
    HGDIOBJ m_old;
    DWORD* m_bits = nullptr;
};

TEST_F(DriveBarTest, TheFaceShowsTheLowerCaseLetterAndMovesWhenPressedOrChecked)
{
    DWORD size = (DWORD)SendMessageA(bar.m_toolbar, TB_GETBUTTONSIZE, 0, 0);
    int w = LOWORD(size), h = HIWORD(size);
    ASSERT_GT(w, 20);
    RECT rc = {0, 0, w, h};
    COLORREF text = GetSysColor(COLOR_BTNTEXT);
    const int textFrom = 3 + 16 + 2;   // right of the image, even when it moves
    Canvas normal(w, h), checked(w, h), pressed(w, h);
    bar.PaintFace(normal.Dc(), rc, 2, 1, 0);
    bar.PaintFace(checked.Dc(), rc, 2, 1, CDIS_CHECKED);
    bar.PaintFace(pressed.Dc(), rc, 2, 1, CDIS_SELECTED);
    RECT a = normal.Box(text, textFrom, w - 2), b = checked.Box(text, textFrom, w - 2),
         c = pressed.Box(text, textFrom, w - 2);
    ASSERT_LT(a.left, a.right);   // the text is there
    EXPECT_EQ(a.left + 1, b.left);
    EXPECT_EQ(a.top + 1, b.top);
    EXPECT_EQ(a.right + 1, b.right);
    EXPECT_EQ(a.bottom + 1, b.bottom);
    EXPECT_EQ(b.left, c.left);
    EXPECT_EQ(b.top, c.top);
    // Centred on one line in the part beside the image.
    int middle = (a.top + a.bottom) / 2;
    EXPECT_LE(std::abs(middle - h / 2), 2);

    // The text is "c:" as the bar's font draws it, not "C:".
    Canvas lower(w, h), upper(w, h);
    RECT tr = {rc.left + 3 + 16, rc.top, rc.right - 1, rc.bottom};
    for (Canvas* cv : {&lower, &upper}) {
        SelectObject(cv->Dc(), bar.GetFont());
        SetBkMode(cv->Dc(), TRANSPARENT);
        SetTextColor(cv->Dc(), text);
        DrawTextA(cv->Dc(), cv == &lower ? "c:" : "C:", 2, &tr, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    }
    Canvas plain(w, h);
    bar.PaintFace(plain.Dc(), rc, 2, -1, 0);   // no image: the text alone
    EXPECT_TRUE(plain.SameAs(lower, textFrom));
    EXPECT_FALSE(plain.SameAs(upper, textFrom));
}

}  // namespace

// A folder named in Japanese, Cyrillic and emoji, beside a sibling a pattern would also
// catch, is the drive's target again for the next bar, as the next start loads it.
TEST_F(DriveBarTest, AFolderNamedInEveryScriptComesBackExactly)
{
    std::string sibling = MakeFolder(base + "\\日本 Папка 😀_");
    std::string folder = MakeFolder(base + "\\日本 Папка 😀");
    PIDL visited;
    visited.Attach(GetPidlOf(folder.c_str()));
    ASSERT_TRUE(visited);
    bar.RecordVisit(drive, visited);
    bar.DestroyWindow();
    fw::FrameWnd other;
    ASSERT_TRUE(other.LoadFrame(0, WS_OVERLAPPEDWINDOW, "DriveBarTestFrame", "other"));
    DriveBar next;
    ASSERT_TRUE(next.Create(&other, 59430, "Panel drive bar", &host, DriveBar::PanelBar, kKey));
    PIDL target;
    ASSERT_TRUE(next.GetTarget(drive, false, target));
    EXPECT_EQ(folder, PathOf(target));
    EXPECT_EQ(0, target.CompareAbs(visited));
    next.DestroyWindow();
    other.DestroyWindow();
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA(sibling.c_str());
}
