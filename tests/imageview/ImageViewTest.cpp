// Image Preview in the real program: pictures of every format from the panel's selection,
// where they are drawn, walking the panel's items, the slide show and the full-screen view.
#include "driver/Driver.h"
#include "imageview/ImageViewRes.h"
#include "tests/imageview/ImageViewTestData.h"
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kRootKey[] = "Software\\Corvane\\Panorel QV\\Panorel QV";
const UINT ID_IMAGE_PREVIEW = 38602;

void Write(const std::string& path, const void* data, size_t size)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD done = 0;
    if (size)
        WriteFile(f, data, (DWORD)size, &done, NULL);
    CloseHandle(f);
}

bool WriteResource(const std::string& path, int id)
{
    HRSRC r = FindResourceA(NULL, MAKEINTRESOURCEA(id), (LPCSTR)RT_RCDATA);
    HGLOBAL g = r ? LoadResource(NULL, r) : NULL;
    if (!g)
        return false;
    Write(path, LockResource(g), SizeofResource(NULL, r));
    return true;
}

// A 24-bit bottom-up BMP of one colour.
void WriteBmp(const std::string& path, int w, int h, COLORREF c)
{
    int stride = (w * 3 + 3) & ~3;
    std::vector<unsigned char> px((size_t)stride * h, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            px[(size_t)y * stride + x * 3 + 0] = GetBValue(c);
            px[(size_t)y * stride + x * 3 + 1] = GetGValue(c);
            px[(size_t)y * stride + x * 3 + 2] = GetRValue(c);
        }
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof(ih);
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = (DWORD)px.size();
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + (DWORD)px.size();
    std::string bytes((const char*)&fh, sizeof(fh));
    bytes.append((const char*)&ih, sizeof(ih));
    bytes.append((const char*)px.data(), px.size());
    Write(path, bytes.data(), bytes.size());
}

// Selects exactly one item of a list view in another process.
bool SelectOne(HWND list, const std::string& name)
{
    return drv::SelectListItem(list, name.c_str());
}

COLORREF ScreenPixel(int x, int y)
{
    HDC dc = GetDC(NULL);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(NULL, dc);
    return c;
}

bool Near(COLORREF a, COLORREF b)
{
    return abs(GetRValue(a) - GetRValue(b)) < 40 && abs(GetGValue(a) - GetGValue(b)) < 40 &&
           abs(GetBValue(a) - GetBValue(b)) < 40;
}

// How many pixels of a screen rectangle are near the colour (one copy of the screen).
int CountNear(const RECT& r, COLORREF c)
{
    int count = 0;
    for (DWORD v : drv::ScreenPixels(r))
        if (Near(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF), c))
            count++;
    return count;
}

class ImagePreview : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv::ResetProgramSettings();
        drv::SetUserDword(kRootKey, "ImgRunDelay", 1);
        folder = drv::TempFolder("imgview");
        drv::RemoveTree(folder);
        CreateDirectoryA(folder.c_str(), NULL);
        struct { const char* name; int id; } files[] = {
            {"a_small.png", IDR_PIC_A_SMALL_PNG},   {"b_small.gif", IDR_PIC_B_SMALL_GIF},
            {"c_bad.png", IDR_PIC_C_BAD_PNG},       {"e_small.jpg", IDR_PIC_E_SMALL_JPG},
            {"f_small.ico", IDR_PIC_F_SMALL_ICO},   {"h_wide.png", IDR_PIC_H_WIDE_PNG},
            {"i_garbage.gif", IDR_PIC_I_GARBAGE_GIF}, {"j_trunc.gif", IDR_PIC_J_TRUNC_GIF},
            {"k_trunc.jpg", IDR_PIC_K_TRUNC_JPG},   {"l_trunc.ico", IDR_PIC_L_TRUNC_ICO},
            {"m_trunc.bmp", IDR_PIC_M_TRUNC_BMP},
        };
        for (auto& f : files)
            ASSERT_TRUE(WriteResource(folder + "\\" + f.name, f.id)) << f.name;
        Write(folder + "\\d_note.txt", "not a picture", 13);
        WriteBmp(folder + "\\g_small.bmp", 40, 30, RGB(0, 255, 255));
    }
    void TearDown() override
    {
        app.Kill();
        drv::RemoveTree(folder);
        drv::ResetProgramSettings();
    }
    HWND Start()
    {
        EXPECT_TRUE(app.Start("panorel.exe", folder + "," + folder));
        main = app.WaitForMainWindow();
        EXPECT_TRUE(main != NULL);
        EXPECT_TRUE(drv::WaitFor([&] { return drv::ListViewTexts(drv::PanelList(main, 0), false).size() >= 13; }, 15000));
        EXPECT_TRUE(app.PostCommand(ID_IMAGE_PREVIEW));
        HWND view = NULL;
        drv::WaitFor([&] {
            for (HWND w : drv::TopLevelWindows(app.Pid()))
                if (GetDlgItem(w, IDC_IV_PICTURE) && GetDlgItem(w, IDC_IV_STATUS))
                    view = w;
            return view != NULL;
        }, 15000);
        return view;
    }
    bool Select(const std::string& name) { return SelectOne(drv::PanelList(main, 0), name); }
    bool WaitTitle(HWND view, const std::string& title)
    {
        return drv::WaitFor([&] { return drv::WindowText(view) == title; }, 8000);
    }
    std::vector<std::string> Status(HWND view)
    {
        return drv::StatusBarTexts(GetDlgItem(view, IDC_IV_STATUS));
    }
    RECT Area(HWND view)
    {
        RECT r;
        GetWindowRect(GetDlgItem(view, IDC_IV_PICTURE), &r);
        return r;
    }
    // The picture area's pixels are painted: the colour at its centre is c.
    bool WaitCentre(HWND view, COLORREF c)
    {
        return drv::WaitFor([&] {
            RECT a = Area(view);
            return Near(ScreenPixel((a.left + a.right) / 2, (a.top + a.bottom) / 2), c);
        }, 8000);
    }

    drv::AppProcess app;
    HWND main = NULL;
    std::string folder;
};

TEST_F(ImagePreview, ShowsEveryFormatSmallOnesCentredAtTheirSize)
{
    HWND view = Start();
    ASSERT_TRUE(view);
    SetForegroundWindow(view);
    struct { const char* name; COLORREF colour; const char* size; } pics[] = {
        {"a_small.png", RGB(255, 0, 0), "40 x 30"},   {"b_small.gif", RGB(0, 0, 255), "40 x 30"},
        {"e_small.jpg", RGB(0, 255, 0), "40 x 30"},   {"f_small.ico", RGB(255, 255, 0), "32 x 32"},
        {"g_small.bmp", RGB(0, 255, 255), "40 x 30"},
    };
    for (auto& p : pics) {
        SCOPED_TRACE(p.name);
        ASSERT_TRUE(Select(p.name));
        ASSERT_TRUE(WaitTitle(view, p.name));
        auto status = Status(view);
        ASSERT_EQ(2u, status.size());
        EXPECT_EQ(folder + "\\" + p.name, status[0]);
        EXPECT_EQ(p.size, status[1]);
        ASSERT_TRUE(WaitCentre(view, p.colour));
        // Its own size, centred: the colour ends half the picture's size from the centre.
        RECT a = Area(view);
        int cx = (a.left + a.right) / 2, cy = (a.top + a.bottom) / 2;
        int half = p.size[0] == '3' ? 16 : 20, halfH = p.size[0] == '3' ? 16 : 15;
        EXPECT_TRUE(Near(ScreenPixel(cx - half + 2, cy), p.colour));
        EXPECT_TRUE(Near(ScreenPixel(cx + half - 3, cy), p.colour));
        EXPECT_TRUE(Near(ScreenPixel(cx, cy - halfH + 2), p.colour));
        EXPECT_TRUE(Near(ScreenPixel(cx, cy + halfH - 3), p.colour));
        EXPECT_FALSE(Near(ScreenPixel(cx - half - 3, cy), p.colour));
        EXPECT_FALSE(Near(ScreenPixel(cx + half + 3, cy), p.colour));
        EXPECT_FALSE(Near(ScreenPixel(cx, cy - halfH - 3), p.colour));
        EXPECT_FALSE(Near(ScreenPixel(cx, cy + halfH + 3), p.colour));
    }
    ASSERT_TRUE(Select("a_small.png"));
    ASSERT_TRUE(WaitCentre(view, RGB(255, 0, 0)));
    EXPECT_FALSE(drv::Screenshot("imageview_small_png", view).empty());

    // A larger picture is scaled down to the area's width, keeping its proportions, centred.
    ASSERT_TRUE(Select("h_wide.png"));
    ASSERT_TRUE(WaitTitle(view, "h_wide.png"));
    EXPECT_EQ("1600 x 800", Status(view)[1]);
    ASSERT_TRUE(WaitCentre(view, RGB(255, 0, 255)));
    RECT a = Area(view);
    int w = a.right - a.left, cy = (a.top + a.bottom) / 2, cx = (a.left + a.right) / 2;
    int h = w / 2;
    ASSERT_LT(h, a.bottom - a.top);
    EXPECT_TRUE(Near(ScreenPixel(a.left + 1, cy), RGB(255, 0, 255)));
    EXPECT_TRUE(Near(ScreenPixel(a.right - 2, cy), RGB(255, 0, 255)));
    EXPECT_TRUE(Near(ScreenPixel(cx, cy - h / 2 + 2), RGB(255, 0, 255)));
    EXPECT_FALSE(Near(ScreenPixel(cx, cy - h / 2 - 3), RGB(255, 0, 255)));
    EXPECT_FALSE(Near(ScreenPixel(cx, cy + h / 2 + 3), RGB(255, 0, 255)));
    EXPECT_FALSE(drv::Screenshot("imageview_wide_png", view).empty());
}

TEST_F(ImagePreview, BrokenFilesShowNoPreview)
{
    HWND view = Start();
    ASSERT_TRUE(view);
    for (const char* name : {"c_bad.png", "d_note.txt", "i_garbage.gif", "j_trunc.gif",
                             "k_trunc.jpg", "l_trunc.ico", "m_trunc.bmp"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Select("a_small.png"));
        ASSERT_TRUE(WaitTitle(view, "a_small.png"));
        ASSERT_TRUE(Select(name));
        // The title goes back, no path and no size are shown, and the program lives on.
        EXPECT_TRUE(WaitTitle(view, "Image Preview"));
        auto status = Status(view);
        ASSERT_EQ(2u, status.size());
        EXPECT_EQ("", status[0]);
        EXPECT_EQ("", status[1]);
        EXPECT_TRUE(app.Running());
    }
    EXPECT_FALSE(drv::Screenshot("imageview_no_preview", view).empty());
    // Two files: "Multiple files selected." and the plain title.
    ASSERT_TRUE(Select("a_small.png"));
    ASSERT_TRUE(WaitTitle(view, "a_small.png"));
    HWND list = drv::PanelList(main, 0);
    std::vector<std::string> names = drv::ListViewTexts(list, false);
    int b = (int)(std::find(names.begin(), names.end(), "b_small.gif") - names.begin());
    LVITEMA item = {};
    item.stateMask = item.state = LVIS_SELECTED;
    DWORD pid = app.Pid();
    HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    void* remote = VirtualAllocEx(proc, NULL, sizeof(item), MEM_COMMIT, PAGE_READWRITE);
    SIZE_T done = 0;
    WriteProcessMemory(proc, remote, &item, sizeof(item), &done);
    SendMessageA(list, LVM_SETITEMSTATE, b, (LPARAM)remote);
    VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    CloseHandle(proc);
    EXPECT_TRUE(WaitTitle(view, "Image Preview"));
}

TEST_F(ImagePreview, NextAndLastSkipFilesThatAreNotPictures)
{
    HWND view = Start();
    ASSERT_TRUE(view);
    ASSERT_TRUE(Select("b_small.gif"));
    ASSERT_TRUE(WaitTitle(view, "b_small.gif"));
    // c_bad.png and d_note.txt are passed over.
    PostMessageA(view, WM_COMMAND, ID_IV_NEXT, 0);
    EXPECT_TRUE(WaitTitle(view, "e_small.jpg"));
    PostMessageA(view, WM_COMMAND, ID_IV_PREVIOUS, 0);
    EXPECT_TRUE(WaitTitle(view, "b_small.gif"));
    // The last items are broken: Last walks back to the last picture.
    PostMessageA(view, WM_COMMAND, ID_IV_LAST, 0);
    EXPECT_TRUE(WaitTitle(view, "h_wide.png"));
    PostMessageA(view, WM_COMMAND, ID_IV_FIRST, 0);
    EXPECT_TRUE(WaitTitle(view, "a_small.png"));
    // The keys of the window: Down is Next.
    PostMessageA(view, WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_TRUE(WaitTitle(view, "b_small.gif"));
    // The panel's selection moved with it.
    EXPECT_EQ(std::vector<std::string>{"b_small.gif"},
              drv::ListViewTexts(drv::PanelList(main, 0), true));
}

TEST_F(ImagePreview, FullScreenAndEscTwice)
{
    HWND view = Start();
    ASSERT_TRUE(view);
    ASSERT_TRUE(Select("a_small.png"));
    ASSERT_TRUE(WaitTitle(view, "a_small.png"));
    RECT normal;
    GetWindowRect(view, &normal);
    PostMessageA(view, WM_COMMAND, ID_IV_FULLSCREEN, 0);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_TRUE(drv::WaitFor([&] {
        RECT a = Area(view);
        return a.left == 0 && a.top == 0 && a.right == sw && a.bottom == sh;
    }, 8000)) << Area(view).left << "," << Area(view).top << "," << Area(view).right << ","
              << Area(view).bottom << " screen " << sw << "x" << sh;
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(view, IDC_IV_TOOLBAR)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(view, IDC_IV_STATUS)));
    // Black around the picture, the picture at the centre of the screen.
    EXPECT_TRUE(drv::WaitFor([&] { return Near(ScreenPixel(sw / 2, sh / 2), RGB(255, 0, 0)); }, 8000));
    EXPECT_TRUE(drv::WaitFor([&] { return Near(ScreenPixel(10, 10), RGB(0, 0, 0)); }, 8000));
    EXPECT_FALSE(drv::Screenshot("imageview_fullscreen", NULL).empty());
    // The first Esc returns to the normal view, the second closes the window.
    PostMessageA(view, WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_TRUE(drv::WaitFor([&] {
        RECT r;
        GetWindowRect(view, &r);
        return EqualRect(&r, &normal) != 0;
    }, 8000)) << [&] {
        RECT r;
        GetWindowRect(view, &r);
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
               "," + std::to_string(r.bottom) + " was " + std::to_string(normal.left) + "," +
               std::to_string(normal.top) + "," + std::to_string(normal.right) + "," +
               std::to_string(normal.bottom) + (IsWindow(view) ? "" : " closed");
    }();
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(view, IDC_IV_TOOLBAR)));
    EXPECT_TRUE(IsWindow(view));
    PostMessageA(view, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(drv::WaitFor([&] { return !IsWindow(view); }, 8000));
    EXPECT_TRUE(drv::UserValueExists(kRootKey, "DlgImgView"));
}

TEST_F(ImagePreview, SlideShowWalksToTheEndInFullScreenAndReturns)
{
    HWND view = Start();
    ASSERT_TRUE(view);
    ASSERT_TRUE(Select("e_small.jpg"));
    ASSERT_TRUE(WaitTitle(view, "e_small.jpg"));
    DWORD start = GetTickCount();
    PostMessageA(view, WM_COMMAND, ID_IV_RUN, 0);
    // With the defaults the show enters full screen first.
    int sw = GetSystemMetrics(SM_CXSCREEN);
    ASSERT_TRUE(drv::WaitFor([&] { return Area(view).right - Area(view).left == sw; }, 8000));
    std::vector<std::string> seen;
    drv::WaitFor([&] {
        std::string t = drv::WindowText(view);
        if (seen.empty() || seen.back() != t)
            seen.push_back(t);
        return Area(view).right - Area(view).left != sw;   // back in the normal view
    }, 30000);
    // One picture a second; the broken ones at the end are passed over, and the last
    // picture stays when the show ends.
    EXPECT_EQ(std::vector<std::string>({"e_small.jpg", "f_small.ico", "g_small.bmp", "h_wide.png"}),
              std::vector<std::string>(seen.begin(), seen.begin() + std::min<size_t>(seen.size(), 4)));
    EXPECT_GE(GetTickCount() - start, 2000u);
    EXPECT_NE(Area(view).right - Area(view).left, sw);
    // The show ended on the broken files: "The end." is shown instead of a picture.
    EXPECT_EQ("Image Preview", drv::WindowText(view));
    EXPECT_EQ("", Status(view)[1]);
}

}   // namespace

namespace {

TEST_F(ImagePreview, TheContextMenuOpensInFullScreenOnly)
{
    HWND view = Start();
    ASSERT_TRUE(view);
    ASSERT_TRUE(Select("a_small.png"));
    ASSERT_TRUE(WaitTitle(view, "a_small.png"));
    auto menuShown = [&] {
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if (drv::ClassName(w) == "#32768")
                return true;
        return false;
    };
    // Not in the normal view.
    PostMessageA(view, WM_RBUTTONUP, 0, MAKELPARAM(50, 60));
    Sleep(700);
    EXPECT_FALSE(menuShown());
    PostMessageA(view, WM_COMMAND, ID_IV_FULLSCREEN, 0);
    int sw = GetSystemMetrics(SM_CXSCREEN);
    ASSERT_TRUE(drv::WaitFor([&] { return Area(view).right - Area(view).left == sw; }, 8000));
    PostMessageA(view, WM_RBUTTONUP, 0, MAKELPARAM(200, 200));
    ASSERT_TRUE(drv::WaitFor(menuShown, 8000));
    HWND menu = NULL;
    for (HWND w : drv::TopLevelWindows(app.Pid()))
        if (drv::ClassName(w) == "#32768")
            menu = w;
    // The items carry the toolbar's pictures beside their texts: Run's green triangle, and Stop
    // (no show runs) greyed, so none of its red shows.
    RECT mr = {};
    GetWindowRect(menu, &mr);
    RECT icons = {mr.left, mr.top, mr.left + 30, mr.bottom};
    Sleep(300);
    EXPECT_GT(CountNear(icons, RGB(0, 150, 0)), 20);
    EXPECT_EQ(0, CountNear(icons, RGB(200, 0, 0)));
    EXPECT_GT(CountNear(icons, RGB(0, 64, 192)), 20);   // Pause, Previous, Next
    EXPECT_FALSE(drv::Screenshot("imageview_context_menu", NULL).empty());
    // Next from the menu shows the next picture and opens the menu again.
    PostMessageA(menu, WM_CHAR, 'x', 1);   // "Ne&xt"
    EXPECT_TRUE(WaitTitle(view, "b_small.gif"));
    EXPECT_TRUE(drv::WaitFor(menuShown, 8000));
    PostMessageA(view, WM_CANCELMODE, 0, 0);
    for (HWND w : drv::TopLevelWindows(app.Pid()))
        if (drv::ClassName(w) == "#32768")
            PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(drv::WaitFor([&] { return !menuShown(); }, 8000));
    EXPECT_TRUE(app.Running());
}

}   // namespace

namespace {

// The pointer's visibility as the system reports it; under Wine the state of the thread under
// the pointer is seen from another process.
bool PointerShown()
{
    CURSORINFO ci = {sizeof(ci)};
    return GetCursorInfo(&ci) && (ci.flags & CURSOR_SHOWING);
}

TEST_F(ImagePreview, ThePointerHidesInFullScreenOneSecondAfterItStops)
{
    HWND view = Start();
    ASSERT_TRUE(view);
    ASSERT_TRUE(Select("a_small.png"));
    ASSERT_TRUE(WaitTitle(view, "a_small.png"));
    PostMessageA(view, WM_COMMAND, ID_IV_FULLSCREEN, 0);
    int sw = GetSystemMetrics(SM_CXSCREEN);
    ASSERT_TRUE(drv::WaitFor([&] { return Area(view).right - Area(view).left == sw; }, 8000));
    EXPECT_TRUE(drv::WaitFor([&] { return !PointerShown(); }, 3000));
    // A move shows it; one second later it is hidden again.
    POINT p;
    GetCursorPos(&p);
    PostMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    SetCursorPos(p.x + 40, p.y + 30);
    PostMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(p.x + 40, p.y + 30));
    EXPECT_TRUE(drv::WaitFor(PointerShown, 3000));
    DWORD shown = GetTickCount();
    EXPECT_TRUE(drv::WaitFor([&] { return !PointerShown(); }, 5000));
    EXPECT_GE(GetTickCount() - shown, 700u);
    // Leaving full screen shows it.
    PostMessageA(view, WM_COMMAND, ID_IV_FULLSCREEN, 0);
    EXPECT_TRUE(drv::WaitFor(PointerShown, 5000));
}

}   // namespace

namespace {

TEST_F(ImagePreview, OptionsSetTheDelayAndTheFullScreenStart)
{
    HWND view = Start();
    ASSERT_TRUE(view);
    ASSERT_TRUE(Select("a_small.png"));
    ASSERT_TRUE(WaitTitle(view, "a_small.png"));
    PostMessageA(view, WM_COMMAND, ID_IV_OPTIONS, 0);
    HWND dlg = NULL;
    ASSERT_TRUE(drv::WaitFor([&] {
        for (HWND w : drv::TopLevelWindows(app.Pid()))
            if (drv::WindowText(w) == "Options for Image Preview")
                dlg = w;
        return dlg != NULL;
    }, 8000));
    EXPECT_EQ("1", drv::WindowText(GetDlgItem(dlg, IDC_IV_DELAY)));   // as stored
    EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(dlg, IDC_IV_FULLSCREEN_START), BM_GETCHECK, 0, 0));
    EXPECT_FALSE(drv::Screenshot("imageview_options", dlg).empty());
    SendMessageA(GetDlgItem(dlg, IDC_IV_DELAY), WM_SETTEXT, 0, (LPARAM)"2");
    SendMessageA(GetDlgItem(dlg, IDC_IV_FULLSCREEN_START), BM_SETCHECK, BST_UNCHECKED, 0);
    drv::PressButton(dlg, IDOK);
    ASSERT_TRUE(drv::WaitFor([&] { return !IsWindow(dlg); }, 5000));
    EXPECT_EQ(2u, drv::GetUserDword(kRootKey, "ImgRunDelay", 0));
    EXPECT_FALSE(drv::GetUserDword(kRootKey, "Frame", 0xFF) & 0x40);
    // The show now runs in the normal view, two seconds a picture.
    PostMessageA(view, WM_COMMAND, ID_IV_RUN, 0);
    ASSERT_TRUE(WaitTitle(view, "b_small.gif"));
    DWORD shown = GetTickCount();
    EXPECT_NE(Area(view).right - Area(view).left, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_TRUE(WaitTitle(view, "e_small.jpg"));
    EXPECT_GE(GetTickCount() - shown, 1500u);
    PostMessageA(view, WM_COMMAND, ID_IV_STOP, 0);
}

}   // namespace
