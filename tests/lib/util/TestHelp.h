// Helpers of the util tests.
#pragma once
#include <gtest/gtest.h>
#include <string.h>
#include "util/StrUtil.h"

// Tests that switch the library's double-byte handling; the system's comes back after each.
class MbcsTest : public ::testing::Test {
protected:
    void TearDown() override { InitMBCS(); }
};

// A text buffer followed by guard bytes, to catch writes past its end.

template <int N> struct GuardBuf {
    char buf[N];
    char guard[16];
    explicit GuardBuf(const char* text = "")
    {
        memset(this, 0x7E, sizeof(*this));
        size_t n = strlen(text);
        if (n > N - 1)
            n = N - 1;
        memcpy(buf, text, n);   // the rest keeps the pattern: a stray write shows
        buf[n] = 0;
    }
    bool GuardIntact() const
    {
        for (char c : guard)
            if (c != 0x7E)
                return false;
        return true;
    }
    // The text ends inside the buffer.
    bool Terminated() const { return memchr(buf, 0, N) != nullptr; }
};
