// Built as a helper library of the test executable (TestLibs.cmake).
#include "UiTestUtil.h"
#include <string.h>

namespace uitest {

DlgTemplate::DlgTemplate(const char* title, short cx, short cy, DWORD style)
{
    DLGTEMPLATE t = {};
    t.style = style;
    t.cx = cx;
    t.cy = cy;
    m_words.resize(sizeof(t) / sizeof(WORD));
    memcpy(m_words.data(), &t, sizeof(t));
    m_words.push_back(0);   // no menu
    m_words.push_back(0);   // dialog class
    Str(title);
    if (style & DS_SETFONT) {
        m_words.push_back(8);
        Str("MS Shell Dlg");
    }
}

void DlgTemplate::Align(size_t bytes)
{
    while ((m_words.size() * sizeof(WORD)) % bytes)
        m_words.push_back(0);
}

void DlgTemplate::Str(const char* text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, NULL, 0);
    std::vector<wchar_t> w(n > 0 ? n : 1);
    MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, w.data(), n);
    for (wchar_t c : w)
        m_words.push_back(static_cast<WORD>(c));
}

void DlgTemplate::Add(Class cls, WORD id, const char* text, short x, short y, short cx,
                      short cy, DWORD style)
{
    Align(4);
    DLGITEMTEMPLATE item = {};
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = id;
    size_t at = m_words.size();
    m_words.resize(at + (sizeof(item) + 1) / sizeof(WORD));
    memcpy(&m_words[at], &item, sizeof(item));
    m_words.resize(at + sizeof(item) / sizeof(WORD));
    m_words.push_back(0xFFFF);
    m_words.push_back(cls);
    Str(text);
    m_words.push_back(0);   // no creation data
    ++m_count;
}

const DLGTEMPLATE* DlgTemplate::Get()
{
    reinterpret_cast<DLGTEMPLATE*>(m_words.data())->cdit = m_count;
    return reinterpret_cast<const DLGTEMPLATE*>(m_words.data());
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (GetTickCount() - start >= ms)
            break;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

namespace {
struct Find {
    const char* title;
    HWND found;
};

BOOL CALLBACK FindBox(HWND wnd, LPARAM param)
{
    Find* f = reinterpret_cast<Find*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    char cls[64] = "", text[256] = "";
    GetClassNameA(wnd, cls, sizeof(cls));
    // Not GetWindowText: it sends WM_GETTEXT, which deadlocks while the window's thread waits
    // for this one.
    WCHAR wide[256] = L"";
    InternalGetWindowText(wnd, wide, 256);
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), NULL, NULL);
    if (pid == GetCurrentProcessId() && IsWindowVisible(wnd) && !strcmp(cls, "#32770") &&
        !strcmp(text, f->title)) {
        f->found = wnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

BoxAnswerer::BoxAnswerer(const char* title, int buttonId, DWORD timeoutMs)
    : m_title(title), m_button(buttonId), m_timeout(timeoutMs)
{
    m_thread = CreateThread(NULL, 0, Proc, this, 0, NULL);
}

BoxAnswerer::~BoxAnswerer()
{
    if (m_thread) {
        Answered();
        CloseHandle(m_thread);
    }
}

DWORD WINAPI BoxAnswerer::Proc(void* param)
{
    BoxAnswerer* self = static_cast<BoxAnswerer*>(param);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < self->m_timeout) {
        Find f = {self->m_title.c_str(), NULL};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&f));
        if (f.found) {
            char text[2048] = "";
            // A message box shows its text in the static control 0xFFFF.
            GetDlgItemTextA(f.found, 0xFFFF, text, sizeof(text));
            self->m_text = text;
            self->m_owner = GetWindow(f.found, GW_OWNER);
            HWND button = GetDlgItem(f.found, self->m_button);
            if (button) {
                PostMessageA(f.found, WM_COMMAND, MAKEWPARAM(self->m_button, BN_CLICKED),
                             reinterpret_cast<LPARAM>(button));
                self->m_answered = true;
                return 0;
            }
        }
        Sleep(30);
    }
    return 0;
}

bool BoxAnswerer::Answered()
{
    // Keeps handling sent messages: the answerer reads texts of this thread's windows.
    while (m_thread && MsgWaitForMultipleObjects(1, &m_thread, FALSE, INFINITE, QS_SENDMESSAGE) !=
                           WAIT_OBJECT_0) {
        MSG msg;
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return m_answered;
}

std::string BoxAnswerer::Text()
{
    Answered();
    return m_text;
}

HWND BoxAnswerer::Owner()
{
    Answered();
    return m_owner;
}

}  // namespace uitest
