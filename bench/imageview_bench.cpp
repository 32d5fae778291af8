// Image Preview's opening of a 20-megapixel JPEG (5472 x 3648): the picture loaded by the
// platform's loader and drawn scaled into a 1280 x 1024 area, as the preview does it, beside
// ImageMagick's `convert` decoding the same file (to raw pixels, and decoding plus scaling to
// the same area) in the same run. Medians of three runs.
#include "BenchUtil.h"
#include "UnixRun.h"
#include "files/VmFile.h"
#include "ui/Picture.h"

int main()
{
    setvbuf(stdout, NULL, _IONBF, 0);
    OleInitialize(NULL);
    std::string dir = bench::TempPath("iv_bench");
    CreateDirectoryA(dir.c_str(), NULL);
    std::string jpg = dir + "\\big.jpg", done = dir + "\\unix.done";
    std::string ux = bench::UnixPath(jpg);
    if (bench::TimeUnixCommand("convert -size 5472x3648 gradient:'#204080'-'#f0c020' -attenuate 1.5 "
                               "+noise Gaussian -quality 90 '" + ux + "'", done) < 0) {
        printf("imageview_bench: convert could not make the picture\n");
        return 1;
    }
    printf("imageview_bench: %s, %.1f MB\n", "5472 x 3648 JPEG", VmFile::GetSize(jpg.c_str()) / 1048576.0);

    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 1280, 1024);
    HGDIOBJ old = SelectObject(mem, bmp);
    std::vector<double> load, draw, peerDecode, peerScale;
    SIZE size = {};
    for (int run = 0; run < 3; run++) {
        double t0 = bench::NowMs();
        iPicture pic;
        bool ok = pic.Load(jpg.c_str());
        double t1 = bench::NowMs();
        RECT r = {0, 0, 1280, 1024};
        if (ok) {
            pic.GetBestFitRect(NULL, r, mem, false);
            ok = pic.Render(mem, r.left, r.top, r.right, r.bottom);
            size = pic.GetImageSize(mem);
        }
        double t2 = bench::NowMs();
        if (ok) {
            load.push_back(t1 - t0);
            draw.push_back(t2 - t1);
        }
        double d = bench::TimeUnixCommand("convert '" + ux + "' rgb:/dev/null", done);
        if (d >= 0)
            peerDecode.push_back(d);
        double s = bench::TimeUnixCommand("convert '" + ux + "' -resize 1280x1024 bmp:/dev/null", done);
        if (s >= 0)
            peerScale.push_back(s);
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    double l = bench::Summarize(load).median, d = bench::Summarize(draw).median;
    double pd = bench::Summarize(peerDecode).median, ps = bench::Summarize(peerScale).median;
    printf("  picture size read: %ld x %ld\n", size.cx, size.cy);
    printf("  Image Preview: load %6.0f ms  draw scaled %6.0f ms  open %6.0f ms\n", l, d, l + d);
    printf("  convert (peer): decode %6.0f ms  decode and scale %6.0f ms\n", pd, ps);
    printf("  open / peer decode: %.2fx   open / peer decode and scale: %.2fx\n",
           pd > 0 ? (l + d) / pd : 0.0, ps > 0 ? (l + d) / ps : 0.0);
    DeleteFileA(jpg.c_str());
    RemoveDirectoryA(dir.c_str());
    OleUninitialize();
    return 0;
}
