// The encodings of Quick Edit's text files: detection from the file's bytes, conversion to
// the text shown in the editor and back to the bytes written. Knows nothing of windows.
#pragma once
#include <windows.h>
#include <string>

enum TextEncoding : DWORD {
    TE_Unknown = 0,   // nothing decided yet
    TE_Ansi = 1,
    TE_Unicode = 2,             // UTF-16 little endian with mark
    TE_UnicodeBigEndian = 3,    // UTF-16 big endian with mark
    TE_Utf8 = 4,                // UTF-8 with mark
    TE_Unix = 5,                // 8-bit text whose lines end in LF alone
    TE_Binary = 6               // 8-bit content with control characters, shown read-only
};

// "ANSI", "UNICODE", "UNICODE B.E.", "UTF-8", "UNIX"; "Unknown" for every other value.
const char* TextEncodingName(DWORD encoding);

// A file's text as the editor holds it.
struct DecodedText {
    std::wstring text;
    DWORD encoding = TE_Unknown;
    // The 8-bit code page of Ansi, Unix and Binary texts: the process code page when every
    // byte is valid in it, else ISO 8859-1, which gives each byte a character of its own, so
    // that a text that is not in the process code page is saved back byte for byte.
    UINT codePage = CP_ACP;
};

// Detects the encoding of size bytes and converts them (byte-order marks first, then 8-bit
// text: control characters make it Binary and become spaces, the last line feed decides
// between Ansi and Unix, a Unix text gets a CR before each bare LF). A UTF-16 text ends at
// its first zero unit; an odd final byte is not part of it.
void DecodeText(const unsigned char* data, size_t size, DecodedText& out);

// The bytes of the text in the encoding: marks for the Unicode encodings, every CR dropped
// for Unix. An empty text, Unknown and Binary give no bytes. False (bytes empty) when a
// character cannot be written in the 8-bit code page or the text holds a broken surrogate
// pair that UTF-8 cannot carry: saving such a text would lose characters.
bool EncodeText(const std::wstring& text, DWORD encoding, UINT codePage, std::string& bytes);

// Swaps count/2 byte pairs in place.
void ReverseUnicodeBytes(void* data, size_t count);
