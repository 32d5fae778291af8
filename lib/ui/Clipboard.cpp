#include "Clipboard.h"
#include "UiText.h"
#include <stdlib.h>
#include <string.h>

Clipboard::Clipboard(HWND owner) : m_open(false)
{
    for (int attempt = 0; attempt < 10 && !m_open; ++attempt) {
        m_open = OpenClipboard(owner) != FALSE;
        if (!m_open)
            Sleep(20);
    }
}

void Clipboard::Close()
{
    if (m_open)
        CloseClipboard();
    m_open = false;
}

bool Clipboard::Clear()
{
    return m_open && EmptyClipboard();
}

bool Clipboard::AddData(UINT format, const void* bytes, SIZE_T size)
{
    if (!m_open || !format || (!bytes && size))
        return false;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    if (!mem)
        return false;
    void* p = GlobalLock(mem);
    if (!p) {
        GlobalFree(mem);
        return false;
    }
    if (size)
        memcpy(p, bytes, size);
    GlobalUnlock(mem);
    if (!SetClipboardData(format, mem)) {
        GlobalFree(mem);   // still ours when the clipboard did not take it
        return false;
    }
    return true;
}

bool Clipboard::AddStr(const char* text)
{
    return text && AddData(CF_TEXT, text, strlen(text) + 1);
}

bool Clipboard::IsDataAvailable(UINT format) const
{
    return format && IsClipboardFormatAvailable(format);
}

int Clipboard::GetStr(char* buffer, int size) const
{
    if (!buffer || size <= 0)
        return -1;
    buffer[0] = 0;
    if (!m_open)
        return -1;
    HANDLE mem = GetClipboardData(CF_TEXT);
    if (!mem)
        return -1;
    const char* p = static_cast<const char*>(GlobalLock(mem));
    if (!p)
        return -1;
    // The block need not be terminated: never read past its size.
    SIZE_T avail = GlobalSize(mem);
    SIZE_T n = 0;
    while (n < avail && p[n])
        ++n;
    char* tmp = static_cast<char*>(malloc(n + 1));
    int len = -1;
    if (tmp) {
        memcpy(tmp, p, n);
        tmp[n] = 0;
        len = CopyCut(buffer, tmp, size);
        free(tmp);
    }
    GlobalUnlock(mem);
    return len;
}
