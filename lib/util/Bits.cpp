#include "Bits.h"

namespace {
template <typename T> void SetBool(T& word, T mask, bool on)
{
    word = static_cast<T>(on ? (word | mask) : (word & ~mask));
}

template <typename T> void SetMask(T& word, T mask, T value)
{
    word = static_cast<T>((word & ~mask) | (value & mask));
}
}  // namespace

void SetBitsBool(DWORD& word, DWORD mask, bool on) { SetBool(word, mask, on); }
void SetBitsBool(UINT& word, UINT mask, bool on) { SetBool(word, mask, on); }
void SetBitsBool(WORD& word, WORD mask, bool on) { SetBool(word, mask, on); }
void SetBitsBool(BYTE& word, BYTE mask, bool on) { SetBool(word, mask, on); }

void SetBitsMask(DWORD& word, DWORD mask, DWORD value) { SetMask(word, mask, value); }
void SetBitsMask(UINT& word, UINT mask, UINT value) { SetMask(word, mask, value); }
void SetBitsMask(WORD& word, WORD mask, WORD value) { SetMask(word, mask, value); }
void SetBitsMask(BYTE& word, BYTE mask, BYTE value) { SetMask(word, mask, value); }
