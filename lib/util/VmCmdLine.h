// Splits a command-line text into switches and parameters and hands each to a handler.
#pragma once
#include "../Panorel32.h"

class PANOREL32_API VmCmdLine {
public:
    VmCmdLine() : m_count(0), m_text(nullptr), m_sep(' ') {}
    // The text is not copied: it must outlive Parse.
    explicit VmCmdLine(const char* text, char separator = ' ')
        : m_count(0), m_text(text), m_sep(separator) {}
    // Copyable: the copy reads the same text.

    void Init(const char* text, char separator = ' ')
    {
        m_text = text;
        m_sep = separator;
    }

    // Calls the handlers in text order. False when there is no text or memory ran out.
    bool Parse();
    // Parameters handed out by the last Parse.
    int GetParamCount() const { return m_count; }

    // The handlers come first among the virtual operations, the destructor after them.
    // A piece that is not a switch; index counts parameters from 0. The text lives until the
    // next piece: a handler that keeps it copies it.
    virtual void ParseParam(int index, const char* text);
    // A switch, without its "/" or "-".
    virtual void ParseOption(const char* text);
    virtual ~VmCmdLine() {}

protected:
    int m_count;
    const char* m_text;
    char m_sep;
};
