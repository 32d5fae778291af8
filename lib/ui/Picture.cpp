#include "Picture.h"
#include "../files/VmFile.h"

void iPicture::Release()
{
    if (m_picture) {
        m_picture->Release();
        m_picture = nullptr;
    }
}

bool iPicture::Load(const char* path)
{
    Release();
    if (!path || !*path)
        return false;
    VmFile file(path, false);
    return file.IsReady() && Load(file);
}

bool iPicture::Load(VmFile& file)
{
    Release();
    if (!file.IsReady())
        return false;
    VmFileStream stream(&file);
    return Load(stream);
}

bool iPicture::Load(VmFileStream& stream)
{
    return Load(static_cast<IStream*>(&stream));
}

bool iPicture::Load(IStream* stream)
{
    Release();
    if (!stream)
        return false;
    void* out = nullptr;
    HRESULT hr;
    hr = OleLoadPicture(stream, 0, FALSE, IID_IPicture, &out);
    if (FAILED(hr) || !out) {
        if (out)
            static_cast<IPicture*>(out)->Release();
        return false;
    }
    m_picture = static_cast<IPicture*>(out);
    long w = 0, h = 0;
    GetHIMETRICSize(w, h);
    if (w <= 0 || h <= 0) {   // nothing to show
        Release();
        return false;
    }
    return true;
}

void iPicture::GetHIMETRICSize(long& width, long& height) const
{
    width = height = 0;
    if (!m_picture)
        return;
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    if (SUCCEEDED(m_picture->get_Width(&w)) && SUCCEEDED(m_picture->get_Height(&h))) {
        width = w;
        height = h;
    }
}

SIZE iPicture::GetImageSize(HDC dc) const
{
    SIZE s = {0, 0};
    if (!m_picture)
        return s;
    long w, h;
    GetHIMETRICSize(w, h);
    HDC screen = dc ? dc : GetDC(NULL);
    s.cx = MulDiv(w, GetDeviceCaps(screen, LOGPIXELSX), 2540);
    s.cy = MulDiv(h, GetDeviceCaps(screen, LOGPIXELSY), 2540);
    if (!dc)
        ReleaseDC(NULL, screen);
    return s;
}

void iPicture::GetBestFitRect(HWND window, RECT& rect, HDC dc, bool stretch) const
{
    HDC own = (!dc && window) ? GetDC(window) : NULL;
    SIZE pic = GetImageSize(dc ? dc : own);
    if (own)
        ReleaseDC(window, own);
    if ((rect.right - rect.left == 0 || rect.bottom - rect.top == 0) && window)
        GetClientRect(window, &rect);
    int rw = rect.right - rect.left, rh = rect.bottom - rect.top;
    if (pic.cx <= 0 || pic.cy <= 0 || rw <= 0 || rh <= 0)
        return;
    if (!stretch && pic.cx <= rw && pic.cy <= rh) {
        rect.left += (rw - pic.cx) / 2;
        rect.top += (rh - pic.cy) / 2;
        rect.right = rect.left + pic.cx;
        rect.bottom = rect.top + pic.cy;
        return;
    }
    int fitH = MulDiv(rw, pic.cy, pic.cx);
    if (rh >= fitH) {
        rect.top += (rh - fitH) / 2;
        rect.bottom = rect.top + fitH;
    } else {
        int fitW = MulDiv(rh, pic.cx, pic.cy);
        rect.left += (rw - fitW) / 2;
        rect.right = rect.left + fitW;
    }
}

bool iPicture::Render(HDC dc, int left, int top, int right, int bottom, const RECT* clip) const
{
    if (!m_picture || !dc)
        return false;
    long w, h;
    GetHIMETRICSize(w, h);
    if (left == right && top == bottom) {
        SIZE s = GetImageSize(dc);
        right = left + s.cx;
        bottom = top + s.cy;
    }
    // Source from the bottom with a negative height: the picture stands upright.
    return SUCCEEDED(m_picture->Render(dc, left, top, right - left, bottom - top, 0, h, w, -h,
                                       clip));
}
