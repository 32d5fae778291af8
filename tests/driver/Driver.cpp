#include "Driver.h"
#include <tlhelp32.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace drv {

std::string ProgramPath(const char* exeName)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof(path));
    if (n == 0 || n >= sizeof(path))
        return exeName;
    char* slash = strrchr(path, '\\');
    if (slash)
        slash[1] = 0;
    return std::string(path) + exeName;
}

std::string ArtifactsDir()
{
    char dir[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("PANOREL_ARTIFACTS", dir, sizeof(dir));
    if (n == 0 || n >= sizeof(dir))
        n = GetTempPathA(sizeof(dir), dir);
    std::string s(dir, n);
    if (!s.empty() && s.back() != '\\' && s.back() != '/')
        s += '\\';
    CreateDirectoryA(s.c_str(), NULL);
    return s;
}

std::string WindowText(HWND wnd)
{
    char text[1024];
    // WM_GETTEXT with a timeout: the window may belong to a busy process.
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG, 2000,
                             &len))
        return std::string();
    text[sizeof(text) - 1] = 0;
    return text;
}

std::string ClassName(HWND wnd)
{
    char name[256];
    int n = GetClassNameA(wnd, name, sizeof(name));
    return std::string(name, n > 0 ? n : 0);
}

namespace {
struct EnumTop {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK EnumTopProc(HWND wnd, LPARAM lp)
{
    EnumTop* e = reinterpret_cast<EnumTop*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == e->pid && (!e->visibleOnly || IsWindowVisible(wnd)))
        e->found.push_back(wnd);
    return TRUE;
}

BOOL CALLBACK CollectTextProc(HWND wnd, LPARAM lp)
{
    std::string* s = reinterpret_cast<std::string*>(lp);
    std::string t = WindowText(wnd);
    if (!t.empty()) {
        *s += '\n';
        *s += t;
    }
    return TRUE;
}

std::string StripAmp(const std::string& s)
{
    std::string r;
    for (char c : s)
        if (c != '&')
            r += c;
    return r;
}

struct FindButton {
    std::string caption;
    HWND found;
};

BOOL CALLBACK FindButtonProc(HWND wnd, LPARAM lp)
{
    FindButton* f = reinterpret_cast<FindButton*>(lp);
    if (_stricmp(ClassName(wnd).c_str(), "Button") == 0 &&
        _stricmp(StripAmp(WindowText(wnd)).c_str(), f->caption.c_str()) == 0) {
        f->found = wnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

std::vector<DWORD> ThreadIds(DWORD pid)
{
    std::vector<DWORD> ids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return ids;
    THREADENTRY32 te = {};
    te.dwSize = sizeof(te);
    for (BOOL more = Thread32First(snap, &te); more; more = Thread32Next(snap, &te))
        if (te.th32OwnerProcessID == pid)
            ids.push_back(te.th32ThreadID);
    CloseHandle(snap);
    return ids;
}

std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly)
{
    EnumTop e = {pid, visibleOnly, {}};
    EnumWindows(EnumTopProc, reinterpret_cast<LPARAM>(&e));
    return e.found;
}

std::string AllTexts(HWND wnd)
{
    std::string s = WindowText(wnd);
    EnumChildWindows(wnd, CollectTextProc, reinterpret_cast<LPARAM>(&s));
    return s;
}

bool PressButton(HWND dlg, const char* caption)
{
    FindButton f = {StripAmp(caption), NULL};
    EnumChildWindows(dlg, FindButtonProc, reinterpret_cast<LPARAM>(&f));
    if (!f.found)
        return false;
    // WM_COMMAND as the button itself would send it: works for message boxes and dialogs alike.
    int id = GetDlgCtrlID(f.found);
    return PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)f.found) != 0;
}

bool PressButton(HWND dlg, int id)
{
    HWND button = GetDlgItem(dlg, id);
    return PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button) != 0;
}

std::vector<DWORD> ScreenPixels(const RECT& r)
{
    std::vector<DWORD> pixels;
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return pixels;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;   // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    if (bmp) {
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        SelectObject(mem, old);
        GdiFlush();
        const DWORD* p = static_cast<const DWORD*>(bits);
        pixels.assign(p, p + (size_t)w * h);
        DeleteObject(bmp);
    }
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    return pixels;
}

std::string Screenshot(const char* name, HWND wnd)
{
    RECT r;
    if (wnd) {
        if (!GetWindowRect(wnd, &r))
            return std::string();
    } else {
        r.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
        r.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
        r.right = r.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
        r.bottom = r.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    }
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return std::string();
    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;   // bottom-up, as BMP files store rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    std::string path;
    if (bmp) {
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        SelectObject(mem, old);
        GdiFlush();
        DWORD stride = ((DWORD)w * 3 + 3) & ~3u;
        DWORD imageSize = stride * (DWORD)h;
        BITMAPFILEHEADER fh = {};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
        fh.bfSize = fh.bfOffBits + imageSize;
        bi.bmiHeader.biSizeImage = imageSize;
        path = ArtifactsDir() + name + ".bmp";
        FILE* f = fopen(path.c_str(), "wb");
        if (f) {
            bool ok = fwrite(&fh, sizeof(fh), 1, f) == 1 &&
                      fwrite(&bi.bmiHeader, sizeof(bi.bmiHeader), 1, f) == 1 &&
                      fwrite(bits, imageSize, 1, f) == 1;
            fclose(f);
            if (!ok)
                path.clear();
        } else {
            path.clear();
        }
        DeleteObject(bmp);
    }
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    return path;
}

AppProcess::~AppProcess()
{
    if (m_pi.hProcess) {
        if (Running())
            Kill();
        CloseHandle(m_pi.hProcess);
        CloseHandle(m_pi.hThread);
    }
}

bool AppProcess::Start(const char* exe, const std::string& args)
{
    std::string path = strchr(exe, '\\') || strchr(exe, '/') ? exe : ProgramPath(exe);
    std::string cmd = "\"" + path + "\"";
    if (!args.empty())
        cmd += " " + args;
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    m_main = NULL;
    // Wine has been seen to refuse a start once, right after the previous instance ended.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (CreateProcessA(path.c_str(), line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si,
                           &m_pi))
            return true;
        fprintf(stderr, "starting %s failed (error %lu)\n", path.c_str(), GetLastError());
        m_pi = PROCESS_INFORMATION();
        Sleep(500);
    }
    return false;
}

bool AppProcess::Running() const
{
    return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

HWND AppProcess::WaitForMainWindow(const char* className, DWORD timeoutMs)
{
    WaitFor(
        [&] {
            if (!Running())
                return true;
            for (HWND w : TopLevelWindows(m_pi.dwProcessId))
                if (!className || ClassName(w) == className) {
                    m_main = w;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return m_main;
}

bool AppProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (!m_pi.hProcess || WaitForSingleObject(m_pi.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(m_pi.hProcess, exitCode);
    return true;
}

bool AppProcess::Close(DWORD timeoutMs)
{
    if (m_main)
        PostMessageA(m_main, WM_CLOSE, 0, 0);
    return WaitForExit(timeoutMs);
}

void AppProcess::Kill()
{
    if (m_pi.hProcess) {
        TerminateProcess(m_pi.hProcess, 255);
        WaitForSingleObject(m_pi.hProcess, 5000);
    }
}

LRESULT AppProcess::Send(UINT msg, WPARAM wp, LPARAM lp, DWORD timeoutMs, bool* ok)
{
    DWORD_PTR result = 0;
    BOOL sent = SendMessageTimeoutA(m_main, msg, wp, lp, SMTO_ABORTIFHUNG, timeoutMs, &result);
    if (ok)
        *ok = sent != 0;
    return (LRESULT)result;
}

LRESULT AppProcess::Command(UINT id, DWORD timeoutMs)
{
    return Send(WM_COMMAND, MAKEWPARAM(id, 0), 0, timeoutMs);
}

bool AppProcess::PostCommand(UINT id)
{
    return PostMessageA(m_main, WM_COMMAND, MAKEWPARAM(id, 0), 0) != 0;
}

LRESULT AppProcess::SendRegistered(const char* name, WPARAM wp, LPARAM lp, DWORD timeoutMs)
{
    return Send(RegisterWindowMessageA(name), wp, lp, timeoutMs);
}

LRESULT AppProcess::CopyData(ULONG_PTR code, const void* data, DWORD size, DWORD timeoutMs)
{
    COPYDATASTRUCT cds = {code, size, const_cast<void*>(data)};
    return Send(WM_COPYDATA, 0, (LPARAM)&cds, timeoutMs);
}

HWND AppProcess::FindWindowWithText(const char* text) const
{
    for (HWND w : TopLevelWindows(m_pi.dwProcessId))
        if (AllTexts(w).find(text) != std::string::npos)
            return w;
    return NULL;
}

HWND AppProcess::WaitForWindowWithText(const char* text, DWORD timeoutMs) const
{
    HWND found = NULL;
    WaitFor([&] { return (found = FindWindowWithText(text)) != NULL; }, timeoutMs);
    return found;
}

ModalWatcher::ModalWatcher(DWORD pid, int answerId, DWORD graceMs)
    : m_pid(pid), m_answer(answerId), m_grace(graceMs)
{
    InitializeCriticalSection(&m_lock);
    m_stop = CreateEventA(NULL, TRUE, FALSE, NULL);
    m_thread = CreateThread(NULL, 0, ThreadProc, this, 0, NULL);
}

ModalWatcher::~ModalWatcher()
{
    SetEvent(m_stop);
    if (m_thread) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    CloseHandle(m_stop);
    DeleteCriticalSection(&m_lock);
}

void ModalWatcher::Allow(const char* text)
{
    EnterCriticalSection(&m_lock);
    m_allowed.push_back(text);
    LeaveCriticalSection(&m_lock);
}

std::vector<std::string> ModalWatcher::Answered()
{
    EnterCriticalSection(&m_lock);
    std::vector<std::string> copy = m_answered;
    LeaveCriticalSection(&m_lock);
    return copy;
}

DWORD WINAPI ModalWatcher::ThreadProc(void* param)
{
    static_cast<ModalWatcher*>(param)->Run();
    return 0;
}

void ModalWatcher::Run()
{
    struct Seen {
        HWND wnd;
        DWORD since;
    };
    std::vector<Seen> seen;
    while (WaitForSingleObject(m_stop, 100) == WAIT_TIMEOUT) {
        std::vector<Seen> now;
        for (HWND w : TopLevelWindows(m_pid)) {
            if (ClassName(w) != "#32770")
                continue;
            DWORD since = GetTickCount();
            for (const Seen& s : seen)
                if (s.wnd == w)
                    since = s.since;
            now.push_back({w, since});
            if (GetTickCount() - since < m_grace)
                continue;
            std::string texts = AllTexts(w);
            bool allowed = false;
            EnterCriticalSection(&m_lock);
            for (const std::string& a : m_allowed)
                if (texts.find(a) != std::string::npos)
                    allowed = true;
            if (!allowed)
                m_answered.push_back(texts);
            LeaveCriticalSection(&m_lock);
            if (!allowed) {
                PressButton(w, m_answer);
                PostMessageA(w, WM_CLOSE, 0, 0);
            }
        }
        seen.swap(now);
    }
}

namespace {
HKEY OpenUser(const char* subKey, REGSAM access)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, access, &key) != ERROR_SUCCESS)
        return NULL;
    return key;
}
}  // namespace

bool DeleteUserKey(const char* subKey)
{
    LONG r = RegDeleteTreeA(HKEY_CURRENT_USER, subKey);
    if (r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND)
        r = RegDeleteKeyA(HKEY_CURRENT_USER, subKey);
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

bool UserValueExists(const char* subKey, const char* name)
{
    HKEY key = OpenUser(subKey, KEY_READ);
    if (!key)
        return false;
    bool found = RegQueryValueExA(key, name, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

DWORD GetUserDword(const char* subKey, const char* name, DWORD def)
{
    HKEY key = OpenUser(subKey, KEY_READ);
    if (!key)
        return def;
    DWORD value = 0, size = sizeof(value), type = 0;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)&value, &size) != ERROR_SUCCESS ||
        size != sizeof(value))
        value = def;
    RegCloseKey(key);
    return value;
}

bool SetUserDword(const char* subKey, const char* name, DWORD value)
{
    HKEY key = NULL;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL))
        return false;
    bool ok = RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&value, sizeof(value)) == 0;
    RegCloseKey(key);
    return ok;
}

bool SetUserString(const char* subKey, const char* name, const char* value)
{
    HKEY key = NULL;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL))
        return false;
    bool ok = RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)value, strlen(value) + 1) == 0;
    RegCloseKey(key);
    return ok;
}

std::string GetUserString(const char* subKey, const char* name)
{
    HKEY key = OpenUser(subKey, KEY_READ);
    if (!key)
        return std::string();
    char buf[1024] = {};
    DWORD size = sizeof(buf) - 1, type = 0;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)buf, &size) != ERROR_SUCCESS)
        buf[0] = 0;
    RegCloseKey(key);
    return buf;
}

}  // namespace drv

#include <commctrl.h>

namespace drv {

std::vector<std::string> ColumnTexts(HWND list, int column, bool selectedOnly)
{
    std::vector<std::string> texts;
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return texts;
    // The item structure and its text buffer live in the list's own process.
    const SIZE_T textSize = 1024;
    BYTE* remote = static_cast<BYTE*>(
        VirtualAllocEx(process, NULL, sizeof(LVITEMA) + textSize, MEM_COMMIT, PAGE_READWRITE));
    if (remote) {
        int flags = selectedOnly ? LVNI_SELECTED : LVNI_ALL;
        // Bounded by the item count: a list destroyed while it is read answers 0 to everything.
        int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        int prev = -1;
        for (int i = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, flags);
             i > prev && i < count && (int)texts.size() < count;
             prev = i, i = (int)SendMessageA(list, LVM_GETNEXTITEM, i, flags)) {
            LVITEMA item = {};
            item.iItem = i;
            item.iSubItem = column;
            item.pszText = reinterpret_cast<char*>(remote + sizeof(LVITEMA));
            item.cchTextMax = (int)textSize;
            SIZE_T done = 0;
            WriteProcessMemory(process, remote, &item, sizeof(item), &done);
            SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)remote);
            char text[textSize] = "";
            ReadProcessMemory(process, remote + sizeof(LVITEMA), text, textSize, &done);
            text[textSize - 1] = 0;
            texts.push_back(text);
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return texts;
}

std::vector<std::string> ListViewTexts(HWND list, bool selectedOnly)
{
    return ColumnTexts(list, 0, selectedOnly);
}

}  // namespace drv

namespace drv {

HWND PanelWindow(HWND main, int index)
{
    HWND split = GetDlgItem(main, 0xE900);
    return split ? GetDlgItem(split, 0xE900 + index) : NULL;
}

std::string PanelTitle(HWND main, int index)
{
    HWND panel = PanelWindow(main, index);
    HWND title = panel ? GetDlgItem(panel, 59424) : NULL;
    return title ? WindowText(title) : std::string();
}

HWND PanelList(HWND main, int index)
{
    HWND panel = PanelWindow(main, index);
    HWND view = panel ? GetDlgItem(panel, 0xE900) : NULL;
    return view ? FindWindowExA(view, NULL, "SysListView32", NULL) : NULL;
}

}  // namespace drv

namespace drv {

bool SelectListItem(HWND list, const char* text)
{
    std::vector<std::string> all = ListViewTexts(list, false);
    int index = -1;
    for (size_t i = 0; i < all.size(); i++)
        if (all[i] == text)
            index = (int)i;
    if (index < 0)
        return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return false;
    void* remote = VirtualAllocEx(process, NULL, sizeof(LVITEMA), MEM_COMMIT, PAGE_READWRITE);
    bool ok = false;
    if (remote) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = 0;
        SIZE_T done = 0;
        WriteProcessMemory(process, remote, &item, sizeof(item), &done);
        SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)remote);
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        WriteProcessMemory(process, remote, &item, sizeof(item), &done);
        ok = SendMessageA(list, LVM_SETITEMSTATE, index, (LPARAM)remote) != 0;
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return ok;
}

}  // namespace drv

namespace drv {

void ResetProgramSettings()
{
    DeleteUserKey("Software\\Corvane\\Panorel QV");
    DeleteUserKey("SOFTWARE\\Policies\\Corvane\\Panorel");
    SetUserDword("Software\\Corvane\\Panorel QV\\Panorel QV", "Settings", 0x0C081870);
    TipsOff();
}

void TipsOff()
{
    SetUserDword("Software\\Corvane\\Panorel QV\\Tip", "StartUp", 1);
}

}  // namespace drv

namespace drv {

namespace {
BOOL CALLBACK FindStatusProc(HWND wnd, LPARAM lp)
{
    if (GetDlgCtrlID(wnd) == 59393 && ClassName(wnd) == "msctls_statusbar32") {
        *reinterpret_cast<HWND*>(lp) = wnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND MainStatusBar(HWND main)
{
    HWND found = NULL;
    if (main)
        EnumChildWindows(main, FindStatusProc, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<std::string> StatusBarTexts(HWND bar)
{
    std::vector<std::string> texts;
    DWORD_PTR parts = 0;
    if (!bar || !SendMessageTimeoutA(bar, SB_GETPARTS, 0, 0, SMTO_ABORTIFHUNG, 2000, &parts))
        return texts;
    DWORD pid = 0;
    GetWindowThreadProcessId(bar, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return texts;
    // The text buffer must live in the bar's own process.
    const SIZE_T size = 512;
    char* remote = static_cast<char*>(VirtualAllocEx(process, NULL, size, MEM_COMMIT, PAGE_READWRITE));
    if (remote) {
        for (int i = 0; i < (int)parts && i < 256; ++i) {
            DWORD_PTR len = 0;
            char text[size] = "";
            SendMessageTimeoutA(bar, SB_GETTEXTLENGTHA, i, 0, SMTO_ABORTIFHUNG, 2000, &len);
            // SB_GETTEXT writes the whole text: only a text that fits is asked for. A part
            // without text leaves the buffer as it was, so an empty one is not read at all.
            if (LOWORD(len) > 0 && LOWORD(len) < size) {
                DWORD_PTR ignored = 0;
                SendMessageTimeoutA(bar, SB_GETTEXTA, i, (LPARAM)remote, SMTO_ABORTIFHUNG, 2000, &ignored);
                SIZE_T done = 0;
                ReadProcessMemory(process, remote, text, size, &done);
                text[size - 1] = 0;
            }
            texts.push_back(text);
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return texts;
}

std::string TempFolder(const char* name)
{
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof(temp), temp);
    if (n == 0 || n >= sizeof(temp))
        return name;
    std::string path = std::string(temp) + name;
    CreateDirectoryA(path.c_str(), NULL);
    return path;
}

bool MakeFile(const std::string& path)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(f);
    return true;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

bool MakeBulky(const std::string& path, DWORD size, unsigned seed)
{
    if (size < 64)
        return false;
    std::vector<char> body(size - 64);
    unsigned x = seed ? seed : 1u;
    for (char& c : body) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x);
    }
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    std::string head = path.substr(path.rfind('\\') + 1);
    head.resize(64, ' ');
    DWORD n = 0, m = 0;
    bool ok = WriteFile(h, head.data(), 64, &n, NULL) &&
              WriteFile(h, body.data(), (DWORD)body.size(), &m, NULL) && n + m == size;
    CloseHandle(h);
    return ok;
}

RECT RectIn(HWND wnd, HWND parent)
{
    RECT r = {};
    GetWindowRect(wnd, &r);
    MapWindowPoints(NULL, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace drv

namespace drv {

std::string U8(const wchar_t* w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string s((size_t)n, 0);
    WideCharToMultiByte(CP_UTF8, 0, w, -1, &s[0], n, nullptr, nullptr);
    s.resize((size_t)n - 1);
    return s;
}

namespace {
struct ChildWith {
    int id;
    HWND found;
};
BOOL CALLBACK ChildWithProc(HWND wnd, LPARAM lp)
{
    ChildWith* f = reinterpret_cast<ChildWith*>(lp);
    if (ClassName(wnd) == "#32770" && GetDlgItem(wnd, f->id)) {
        f->found = wnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND ChildDialogWith(HWND parent, int controlId)
{
    ChildWith f = {controlId, NULL};
    EnumChildWindows(parent, ChildWithProc, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

}  // namespace drv
