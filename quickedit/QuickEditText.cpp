#include "quickedit/QuickEditText.h"
#include <string.h>

namespace {

const UINT kLatin1 = 28591;   // one character per byte: any bytes round-trip

bool MultiByteToWide(UINT codePage, DWORD flags, const char* data, size_t size, std::wstring& out)
{
    out.clear();
    if (size == 0)
        return true;
    int n = MultiByteToWideChar(codePage, flags, data, (int)size, nullptr, 0);
    if (n <= 0)
        return false;
    out.resize((size_t)n);
    return MultiByteToWideChar(codePage, flags, data, (int)size, &out[0], n) == n;
}

// Latin-1 without the system's tables: the byte is the character.
void Latin1ToWide(const char* data, size_t size, std::wstring& out)
{
    out.resize(size);
    for (size_t i = 0; i < size; i++)
        out[i] = (wchar_t)(unsigned char)data[i];
}

bool WideToLatin1(const wchar_t* text, size_t length, std::string& out)
{
    out.resize(length);
    for (size_t i = 0; i < length; i++) {
        if (text[i] > 0xFF)
            return false;
        out[i] = (char)text[i];
    }
    return true;
}

bool WideToMultiByte(UINT codePage, const wchar_t* text, size_t length, std::string& out)
{
    out.clear();
    if (length == 0)
        return true;
    if (codePage == kLatin1)
        return WideToLatin1(text, length, out);
    UINT cp = codePage == CP_ACP ? GetACP() : codePage;
    BOOL lost = FALSE;
    // UTF-8 reports an unpaired surrogate by failing; other pages by the default character.
    DWORD flags = cp == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL* lostPtr = cp == CP_UTF8 ? nullptr : &lost;
    int n = WideCharToMultiByte(cp, flags, text, (int)length, nullptr, 0, nullptr, lostPtr);
    if (n <= 0 || lost)
        return false;
    out.resize((size_t)n);
    return WideCharToMultiByte(cp, flags, text, (int)length, &out[0], n, nullptr, lostPtr) == n &&
           !lost;
}

// UTF-16 units after a mark, up to the first zero unit; the data is little endian here.
void UnitsToText(const unsigned char* data, size_t size, std::wstring& out)
{
    size_t units = size / 2;
    out.clear();
    out.reserve(units);
    for (size_t i = 0; i < units; i++) {
        wchar_t c = (wchar_t)(data[2 * i] | (data[2 * i + 1] << 8));
        if (!c)
            break;
        out.push_back(c);
    }
}

}   // namespace

const char* TextEncodingName(DWORD encoding)
{
    switch (encoding) {
    case TE_Ansi: return "ANSI";
    case TE_Unicode: return "UNICODE";
    case TE_UnicodeBigEndian: return "UNICODE B.E.";
    case TE_Utf8: return "UTF-8";
    case TE_Unix: return "UNIX";
    default: return "Unknown";
    }
}

void ReverseUnicodeBytes(void* data, size_t count)
{
    unsigned char* p = static_cast<unsigned char*>(data);
    for (size_t i = 0; i + 1 < count; i += 2) {
        unsigned char t = p[i];
        p[i] = p[i + 1];
        p[i + 1] = t;
    }
}

void DecodeText(const unsigned char* data, size_t size, DecodedText& out)
{
    out.text.clear();
    out.codePage = CP_ACP;
    out.encoding = TE_Unknown;
    if (size == 0) {
        out.encoding = TE_Ansi;
        return;
    }
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        out.encoding = TE_Unicode;
        UnitsToText(data + 2, size - 2, out.text);
        return;
    }
    if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
        out.encoding = TE_UnicodeBigEndian;
        std::string swapped((const char*)data + 2, size - 2);
        ReverseUnicodeBytes(&swapped[0], swapped.size());
        UnitsToText((const unsigned char*)swapped.data(), swapped.size(), out.text);
        return;
    }
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        out.encoding = TE_Utf8;
        MultiByteToWide(CP_UTF8, 0, (const char*)data + 3, size - 3, out.text);
        size_t zero = out.text.find(L'\0');
        if (zero != std::wstring::npos)
            out.text.resize(zero);
        return;
    }

    // 8-bit text: one pass decides the encoding and blanks the control characters.
    std::string bytes;
    bytes.reserve(size + size / 32);
    size_t bare = 0;
    DWORD enc = TE_Unknown;
    for (size_t i = 0; i < size; i++) {
        unsigned char c = data[i];
        if ((c < 0x20 && c != 9 && c != 10 && c != 12 && c != 13) || c == 0x7F) {
            enc = TE_Binary;
            c = ' ';
        } else if (c == 10 && i > 0 && enc != TE_Binary) {
            if (data[i - 1] == 13) {
                enc = TE_Ansi;
            } else {
                enc = TE_Unix;
                bare++;
            }
        }
        bytes.push_back((char)c);
    }
    if (enc == TE_Unknown)
        enc = TE_Ansi;
    if (enc == TE_Unix && bare) {
        std::string withCr;
        withCr.reserve(bytes.size() + bare);
        for (size_t i = 0; i < bytes.size(); i++) {
            if (bytes[i] == '\n' && i > 0 && bytes[i - 1] != '\r')
                withCr.push_back('\r');
            withCr.push_back(bytes[i]);
        }
        bytes.swap(withCr);
    }
    out.encoding = enc;
    if (MultiByteToWide(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), bytes.size(), out.text)) {
        out.codePage = CP_ACP;
    } else {
        out.codePage = kLatin1;
        Latin1ToWide(bytes.data(), bytes.size(), out.text);
    }
}

bool EncodeText(const std::wstring& text, DWORD encoding, UINT codePage, std::string& bytes)
{
    bytes.clear();
    if (text.empty())
        return true;
    switch (encoding) {
    case TE_Unicode:
    case TE_UnicodeBigEndian: {
        bytes.resize((text.size() + 1) * 2);
        bytes[0] = (char)0xFF;
        bytes[1] = (char)0xFE;
        for (size_t i = 0; i < text.size(); i++) {
            bytes[2 + 2 * i] = (char)(text[i] & 0xFF);
            bytes[3 + 2 * i] = (char)(text[i] >> 8);
        }
        if (encoding == TE_UnicodeBigEndian)
            ReverseUnicodeBytes(&bytes[0], bytes.size());
        return true;
    }
    case TE_Utf8: {
        std::string body;
        if (!WideToMultiByte(CP_UTF8, text.data(), text.size(), body))
            return false;
        bytes = "\xEF\xBB\xBF";
        bytes += body;
        return true;
    }
    case TE_Unix: {
        std::wstring noCr;
        noCr.reserve(text.size());
        for (wchar_t c : text)
            if (c != L'\r')
                noCr.push_back(c);
        if (!WideToMultiByte(codePage, noCr.data(), noCr.size(), bytes)) {
            bytes.clear();
            return false;
        }
        return true;
    }
    case TE_Ansi:
        if (!WideToMultiByte(codePage, text.data(), text.size(), bytes)) {
            bytes.clear();
            return false;
        }
        return true;
    default:
        return true;
    }
}
