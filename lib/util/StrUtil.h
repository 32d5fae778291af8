// String and path helpers that honour double-byte code pages.
#pragma once
#include "../Panorel32.h"

// Reads the lead-byte ranges of a code page (the ANSI code page by default) and turns
// double-byte handling on when a character can take more than one byte.
PANOREL32_API void InitMBCS(UINT codePage = CP_ACP);
// True when double-byte handling is on and the byte starts a two-byte character.
PANOREL32_API bool IsLead(BYTE c);
// True when the ANSI code page is UTF-8 (lead bytes then follow UTF-8's bit patterns).
PANOREL32_API bool IsUtf8CodePage();
// Bytes of the character at p: a whole UTF-8 sequence under UTF-8, lead and trail in a
// double-byte code page, else 1; 0 at the terminator.
PANOREL32_API int CharBytes(const char* p);
// The longest prefix of text (at most len bytes) that fits max bytes without splitting a
// character.
PANOREL32_API int CutLen(const char* text, int len, int max);
// The character after the one at p: a lead byte takes its trail byte along, unless the trail
// is the terminator. p itself at the terminator stays.
PANOREL32_API const char* NextChar(const char* p);
PANOREL32_API char* NextChar(char* p);

// Counting copies: every byte is counted; bytes are written (and out advanced) only when out
// is not null, so one routine serves both the measuring and the writing pass. No terminator.
// One byte.
PANOREL32_API void CharAdd(char*& out, char c, int& count);
// One character from in (both bytes of a double-byte one), advancing in; nothing at the end
// of the text, and a lead byte cut off by the end is dropped.
PANOREL32_API void StrCopy(char*& out, const char*& in, int& count);
// The whole text.
PANOREL32_API void CopyStr(char*& out, const char* text, int& count);

// Encloses a text holding a space in double quotes when size (the whole buffer) leaves room
// for both; a text already in quotes stays. True when it added them.
PANOREL32_API bool AddQuotesIfSpace(char* text, int size = MAX_PATH);
// Removes surrounding blanks and tabs and one pair of enclosing double quotes (with blanks
// inside them). False for null.
PANOREL32_API bool RemoveWhiteSpacesAndQuotes(char* text);
// Index of text in a list of zero-terminated strings ended by an empty one; exact or without
// regard to case. -1 when absent or on null or empty input.
PANOREL32_API int StrFindInList(const char* list, const char* text, bool exact);
// Copies at most size - 1 bytes, never half a double-byte character; always terminates when
// size > 0. False when the text was cut or an argument is missing.
PANOREL32_API bool StrCopyN(char* out, const char* text, int size);

// Exact conversions between UTF-16 and the ANSI code page. They fail (leaving an empty text)
// rather than give a text that names something else: a character the code page cannot hold,
// a best-fit substitute, an invalid sequence, or a result longer than the buffer. chars or len
// -1 means up to the terminator; size counts the terminator.
PANOREL32_API bool WideToAnsiExact(const WCHAR* wide, int chars, char* out, int size);
PANOREL32_API bool AnsiToWideExact(const char* text, int len, WCHAR* out, int size);
// True when the bytes are a valid text of the ANSI code page (valid UTF-8 under UTF-8).
PANOREL32_API bool IsValidAnsiText(const char* text, int len = -1);
// True when the text holds "?" or "*": no file name does, and the shell takes them as wildcards.
PANOREL32_API bool HasWildcard(const char* text);
