// Bit-field helpers for option words and style masks.
#pragma once
#include "../Panorel32.h"

// Sets (on) or clears the bits of mask in word.
PANOREL32_API void SetBitsBool(DWORD& word, DWORD mask, bool on);
PANOREL32_API void SetBitsBool(UINT& word, UINT mask, bool on);
PANOREL32_API void SetBitsBool(WORD& word, WORD mask, bool on);
PANOREL32_API void SetBitsBool(BYTE& word, BYTE mask, bool on);

// Sets the bits of mask that are set in value and clears the other bits of mask; bits outside
// mask are kept.
PANOREL32_API void SetBitsMask(DWORD& word, DWORD mask, DWORD value);
PANOREL32_API void SetBitsMask(UINT& word, UINT mask, UINT value);
PANOREL32_API void SetBitsMask(WORD& word, WORD mask, WORD value);
PANOREL32_API void SetBitsMask(BYTE& word, BYTE mask, BYTE value);
