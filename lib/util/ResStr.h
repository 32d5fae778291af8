// Strings from the string tables, owned by the object.
#pragma once
#include "../Panorel32.h"
#include <stdarg.h>

// One owned copy of a string resource, or none. Copies deeply.
class PANOREL32_API ResStr {
public:
    enum { MaxLoad = 1024 };   // longest text loaded or formatted, with its terminator

    ResStr() : m_str(nullptr) {}
    // A negative id names the library's own table; no module means the application's.
    explicit ResStr(int id, HINSTANCE module = NULL);
    ResStr(const ResStr& other);
    ResStr& operator=(const ResStr& other);
    ~ResStr() { Empty(); }

    // False (and the object empty) when the string is missing or empty.
    bool Load(int id, HINSTANCE module = NULL);
    void Empty();
    bool IsEmpty() const { return !m_str; }
    int GetLength() const;
    // The text, or "" when empty; never null.
    operator const char*() const { return m_str ? m_str : ""; }
    const char* GetStr() const { return *this; }

protected:
    // Takes over a text allocated with malloc.
    void Attach(char* text);

    char* m_str;
};

// The resource string formatted printf-style into at most MaxLoad - 1 characters. When the
// result is empty (or formatting fails) the unformatted text stays.
class PANOREL32_API ResStrFmt : public ResStr {
public:
    ResStrFmt(int id, ...);
    // Loads the string and formats it with the arguments; false when nothing was loaded.
    bool FormatV(int id, HINSTANCE module, va_list args);
};
