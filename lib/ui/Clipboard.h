// The clipboard, open for the object's lifetime.
#pragma once
#include "../Panorel32.h"

class PANOREL32_API Clipboard {
public:
    // Opens the clipboard for owner (may be null); retries briefly while another holds it.
    explicit Clipboard(HWND owner);
    Clipboard(const Clipboard&) = delete;   // one open clipboard
    Clipboard& operator=(const Clipboard&) = delete;
    ~Clipboard() { Close(); }
    bool IsOpen() const { return m_open; }
    bool Clear();
    // Copies size bytes into a new clipboard block of the format.
    bool AddData(UINT format, const void* bytes, SIZE_T size);
    bool AddStr(const char* text);   // CF_TEXT with its terminator
    bool IsDataAvailable(UINT format) const;
    // CF_TEXT cut to size - 1 bytes; -1 when there is none.
    int GetStr(char* buffer, int size) const;
    void Close();

private:
    bool m_open;
};
