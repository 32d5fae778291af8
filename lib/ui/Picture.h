// A picture loaded by the platform's picture loader (BMP, GIF, JPEG, PNG, ICO), its size and
// drawing scaled into a rectangle.
#pragma once
#include "../Panorel32.h"
#include <ocidl.h>
#include <olectl.h>

class VmFile;
class VmFileStream;

class PANOREL32_API iPicture {
public:
    iPicture() : m_picture(nullptr) {}
    iPicture(const iPicture&) = delete;   // one picture object, one owner
    iPicture& operator=(const iPicture&) = delete;
    ~iPicture() { Release(); }

    // True when a picture was obtained; the former one is released first in every case.
    bool Load(const char* path);
    bool Load(VmFile& file);
    bool Load(VmFileStream& stream);
    bool Load(IStream* stream);
    void Release();
    bool IsLoaded() const { return m_picture != nullptr; }

    // HIMETRIC units (0.01 mm); 0 and 0 without a picture.
    void GetHIMETRICSize(long& width, long& height) const;
    // Pixels of the device context; 0 by 0 without a picture.
    SIZE GetImageSize(HDC dc) const;
    // The picture's place in rect: an empty rect means the window's client area; a picture
    // that fits (and stretch false) keeps its size, centred; otherwise it is scaled to fit
    // keeping its proportions, centred. dc null: the window's.
    void GetBestFitRect(HWND window, RECT& rect, HDC dc, bool stretch) const;
    // Draws the whole picture upright into the rectangle (a degenerate one is widened to the
    // picture's pixel size from its corner). False on failure.
    bool Render(HDC dc, int left, int top, int right, int bottom, const RECT* clip = nullptr) const;

private:
    IPicture* m_picture;
};
