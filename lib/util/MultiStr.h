// Two-pass builder of zero-separated string lists ended by a second zero (the shell's path
// lists). Pass one only counts; Start allocates; pass two repeats the same calls and copies.
#pragma once
#include "../Panorel32.h"

class PANOREL32_API MultiStr {
public:
    MultiStr() : m_count(0), m_buffer(nullptr), m_pos(nullptr), m_capacity(0), m_cut(false) {}
    MultiStr(const MultiStr&) = delete;   // owns its buffer
    MultiStr& operator=(const MultiStr&) = delete;
    ~MultiStr() { Free(); }

    // The characters without a terminator.
    void AddStr(const char* text);
    void AddChar(char c);
    // One zero byte.
    void AddZ();
    void AddStrZ(const char* text);

    // Allocates the counted bytes plus the final zero, resets the count and starts copying.
    // False when memory ran out (the builder is then back in its counting pass).
    bool Start();
    // Writes the final zero (not counted). False when the copying pass ran past the counted
    // size: the entry that did not fit is then dropped whole, so a cut never turns a path into
    // a different one.
    bool Finish();
    // Nothing counted (or copied) in the current pass.
    bool IsEmpty() const { return m_count == 0; }
    void Free();

    int GetCount() const { return m_count; }
    // The list; null before Start.
    const char* GetBuffer() const { return m_buffer; }
    operator const char*() const { return m_buffer; }

private:
    // In the copying pass a call sequence longer than the counted one is cut, never written past
    // the buffer: the last byte always stays for the final zero. Once cut, nothing more is
    // written.
    bool Room(int bytes);

    int m_count;
    char* m_buffer;
    char* m_pos;
    int m_capacity;
    bool m_cut;
};
