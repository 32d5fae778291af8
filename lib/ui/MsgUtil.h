// Message boxes and message helpers used across the system.
#pragma once
#include "../Panorel32.h"

// Owner value that means "no owner" for Msg.
#define MSG_NO_OWNER (reinterpret_cast<HWND>(1))

// Formats the string resource (id < 0: the library's table) or the text printf-style into at
// most 1,023 characters and shows a message box captioned with the product name. A null owner
// means the active window, MSG_NO_OWNER none; a real owner is replaced by its last active
// pop-up. MB_SETFOREGROUND is added. Returns the button pressed, 0 when nothing was shown
// (missing string, null text, failed box).
PANOREL32_API int Msg(HWND owner, UINT flags, int stringId, ...);
PANOREL32_API int Msg(HWND owner, UINT flags, const char* text, ...);
// The system's text for the calling thread's last error, with the exclamation icon.
PANOREL32_API int MsgLastError(HWND owner);
// The system's text for an error code into buffer (cut, line breaks at the end removed).
PANOREL32_API int GetSystemErrorText(DWORD error, char* buffer, int size);

// WM_COMMAND with the code in the high word and the identifier in the low word. False for a
// null window (nothing is posted to the thread's queue by accident).
PANOREL32_API bool PostCommand(HWND window, UINT id, LPARAM lParam = 0, UINT notifyCode = 0);
PANOREL32_API bool PostMsg(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// 0 for a null or dead window.
PANOREL32_API LRESULT SendMsg(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

// The maker-wide registered message "CorvaneMessage" (registered once).
PANOREL32_API UINT GetMyCompanyMsg();
PANOREL32_API LRESULT SendMyCompanyMsg(HWND window, WPARAM wParam, LPARAM lParam);

// Clears `remove`, then sets `add` in the window's style (extended style when extended is
// true). False for a null window.
PANOREL32_API bool ModifyWndStyle(HWND window, DWORD remove, DWORD add, bool extended = false);
