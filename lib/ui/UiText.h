// Text copying shared by the window classes (library internal).
#pragma once
#include "../util/StrUtil.h"
#include <string.h>

// Copies src into dst of size bytes, cut so that no double-byte character is split; returns the
// length copied. Nothing happens for a null or empty destination.
inline int CopyCut(char* dst, const char* src, int size)
{
    if (!dst || size <= 0)
        return 0;
    int n = 0;
    if (src) {
        while (src[n] && n < size - 1) {
            if (IsLead(static_cast<BYTE>(src[n]))) {
                if (!src[n + 1] || n + 2 > size - 1)
                    break;
                dst[n] = src[n];
                ++n;
            }
            dst[n] = src[n];
            ++n;
        }
    }
    dst[n] = 0;
    return n;
}
