#include "MsgUtil.h"
#include "UiText.h"
#include "../registry/AppInfo.h"
#include "../util/ResStr.h"
#include <stdarg.h>
#include <stdio.h>

namespace {
enum { MsgBufSize = 1024 };

int ShowBox(HWND owner, UINT flags, const char* format, va_list args)
{
    char buf[MsgBufSize];
    buf[0] = 0;
    vsnprintf(buf, sizeof(buf), format, args);
    buf[sizeof(buf) - 1] = 0;   // some runtimes leave a cut result unterminated
    char text[MsgBufSize];
    CopyCut(text, buf, sizeof(text));   // no half character at a cut
    if (owner == MSG_NO_OWNER)
        owner = NULL;
    else if (!owner)
        owner = GetActiveWindow();
    else if (IsWindow(owner))
        owner = GetLastActivePopup(owner);
    else
        owner = NULL;
    const char* caption = AppInfo::Data().name1;
    return MessageBoxA(owner, text, caption, flags | MB_SETFOREGROUND);
}
}  // namespace

int Msg(HWND owner, UINT flags, int stringId, ...)
{
    ResStr format(stringId);
    if (format.IsEmpty())
        return 0;
    va_list args;
    va_start(args, stringId);
    int ret = ShowBox(owner, flags, format, args);
    va_end(args);
    return ret;
}

int Msg(HWND owner, UINT flags, const char* text, ...)
{
    if (!text)
        return 0;
    va_list args;
    va_start(args, text);
    int ret = ShowBox(owner, flags, text, args);
    va_end(args);
    return ret;
}

int GetSystemErrorText(DWORD error, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = 0;
    char text[MsgBufSize];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                             error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text,
                             sizeof(text), NULL);
    if (!n)
        return 0;
    text[sizeof(text) - 1] = 0;
    int len = CopyCut(buffer, text, size);
    while (len > 0 && (buffer[len - 1] == '\r' || buffer[len - 1] == '\n'))
        buffer[--len] = 0;
    return len;
}

int MsgLastError(HWND owner)
{
    DWORD error = GetLastError();
    char text[MsgBufSize];
    GetSystemErrorText(error, text, sizeof(text));
    // The system text goes in as an argument: a '%' in it must not act as a format.
    int ret = Msg(owner, MB_ICONEXCLAMATION, "%s", text);
    SetLastError(error);
    return ret;
}

bool PostCommand(HWND window, UINT id, LPARAM lParam, UINT notifyCode)
{
    return PostMsg(window, WM_COMMAND, MAKEWPARAM(id, notifyCode), lParam);
}

bool PostMsg(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return window && PostMessageA(window, msg, wParam, lParam);
}

LRESULT SendMsg(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return window && IsWindow(window) ? SendMessageA(window, msg, wParam, lParam) : 0;
}

UINT GetMyCompanyMsg()
{
    static UINT msg = RegisterWindowMessageA("CorvaneMessage");
    return msg;
}

LRESULT SendMyCompanyMsg(HWND window, WPARAM wParam, LPARAM lParam)
{
    return SendMsg(window, GetMyCompanyMsg(), wParam, lParam);
}

bool ModifyWndStyle(HWND window, DWORD remove, DWORD add, bool extended)
{
    if (!window || !IsWindow(window))
        return false;
    int index = extended ? GWL_EXSTYLE : GWL_STYLE;
    DWORD old = static_cast<DWORD>(GetWindowLongPtrA(window, index));
    DWORD style = (old & ~remove) | add;
    if (style != old)
        SetWindowLongPtrA(window, index, static_cast<LONG_PTR>(style));
    return true;
}
