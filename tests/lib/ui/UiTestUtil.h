// Helpers of the window and dialog tests: dialog templates in memory, message pumping and a
// watcher that answers message boxes so that no test waits on a modal box.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace uitest {

// Builds a DLGTEMPLATE with items in memory (dialog units).
class DlgTemplate {
public:
    DlgTemplate(const char* title, short cx, short cy,
                DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
    enum Class : WORD { Button = 0x80, Edit = 0x81, Static = 0x82, ComboBox = 0x85 };
    void Add(Class cls, WORD id, const char* text, short x, short y, short cx, short cy,
             DWORD style);
    const DLGTEMPLATE* Get();

private:
    void Align(size_t bytes);
    void Str(const char* text);
    std::vector<WORD> m_words;
    WORD m_count = 0;
};

// Handles messages of this thread until the time passes or cond holds.
void Pump(DWORD ms);
template <class F> bool PumpUntil(F cond, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Pump(10);
    }
    return true;
}

// Finds a visible dialog-class window of this process captioned `title`, remembers its
// texts, and presses `buttonId`. Runs on its own thread until it answered once or gave up.
class BoxAnswerer {
public:
    BoxAnswerer(const char* title, int buttonId, DWORD timeoutMs = 10000);
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;
    ~BoxAnswerer();
    bool Answered();                // waits for the thread
    std::string Text();             // the box's message text
    HWND Owner();                   // the box's owner window

private:
    static DWORD WINAPI Proc(void* self);
    std::string m_title;
    int m_button;
    DWORD m_timeout;
    HANDLE m_thread = NULL;
    bool m_answered = false;
    std::string m_text;
    HWND m_owner = NULL;
};

}  // namespace uitest
