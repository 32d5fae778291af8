#include "PrevInstance.h"
#include <stdio.h>

static UINT CompanyMessage()
{
    static UINT msg = RegisterWindowMessageA("CorvaneMessage");
    return msg;
}

namespace {
struct Search {
    UINT message;
    WPARAM wp;
    LPARAM lp;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK AskProc(HWND wnd, LPARAM param)
{
    Search* s = reinterpret_cast<Search*>(param);
    DWORD_PTR answer = 0;
    // A hung window must not block us.
    if (SendMessageTimeoutA(wnd, s->message, s->wp, s->lp, SMTO_ABORTIFHUNG, 1000, &answer) &&
        answer) {
        s->found = wnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindProc(HWND wnd, LPARAM param)
{
    Search* s = reinterpret_cast<Search*>(param);
    char text[256];
    if (s->className) {
        if (!GetClassNameA(wnd, text, sizeof(text)) || lstrcmpA(text, s->className) != 0)
            return TRUE;
    }
    if (s->title) {
        GetWindowTextA(wnd, text, sizeof(text));
        if (lstrcmpA(text, s->title) != 0)
            return TRUE;
    }
    if (s->lp) {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(wnd, s->message, 121, s->lp, SMTO_ABORTIFHUNG, 1000, &answer) ||
            !answer)
            return TRUE;
    }
    s->found = wnd;
    return FALSE;
}

void Activate(HWND wnd)
{
    if (IsIconic(wnd))
        ShowWindow(wnd, SW_RESTORE);
    SetForegroundWindow(wnd);
}

HWND FindPrev(const char* className, const char* title, int code)
{
    Search s = {CompanyMessage(), 121, (LPARAM)code, className, title, NULL};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}
}  // namespace

HWND ActivatePreviousInstance(int id)
{
    Search s = {CompanyMessage(), 3, (LPARAM)id, nullptr, nullptr, NULL};
    EnumWindows(AskProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

LRESULT OnActivatePreviousInstance(int id, HWND window, UINT message, WPARAM wp, LPARAM lp)
{
    if (message != CompanyMessage() || wp != 3 || lp != (LPARAM)id || !window)
        return 0;
    Activate(window);
    return 1;
}

HWND ActivatePrevWnd(const char* className, const char* title, int code)
{
    HWND wnd = FindPrev(className, title, code);
    if (wnd)
        Activate(wnd);
    return wnd;
}

HWND ClosePrevWnd(const char* className, const char* title, int code)
{
    HWND wnd = FindPrev(className, title, code);
    if (wnd) {
        DWORD_PTR answer;
        SendMessageTimeoutA(wnd, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer);
    }
    return wnd;
}

HWND ActivatePrevDlg(int code)
{
    return ActivatePrevWnd("#32770", nullptr, code);
}

bool SingleInstanceXP::IsFirstInstance(const char* global, const char* name)
{
    if (!name)
        return false;
    char eventName[MAX_PATH];
    snprintf(eventName, sizeof(eventName), "%s\\Corvane_App_%s", global ? global : "Local", name);
    HANDLE event = CreateEventA(NULL, FALSE, FALSE, eventName);
    if (!event)
        return false;
    // The handle stays open for the life of the process: it is the instance's mark.
    return GetLastError() != ERROR_ALREADY_EXISTS;
}
