// Integration-test driver: starts a program of ours in the test prefix, finds its windows,
// sends it commands and messages, answers its dialogs and takes screenshots.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace drv {

// Full path of a program built beside the running test executable ("panorel.exe").
std::string ProgramPath(const char* exeName);
// Folder for screenshots and logs (PANOREL_ARTIFACTS, else the temp folder); created on demand.
std::string ArtifactsDir();
// A folder of that name in the temporary folder, made when missing.
std::string TempFolder(const char* name);
// An empty file; true when it exists afterwards.
bool MakeFile(const std::string& path);
bool Exists(const std::string& path);
// Deletes a folder with everything in it, read-only files too.
void RemoveTree(const std::string& folder);
// A file of the given size: a 64-byte header naming it, then a pseudo-random body made from the
// seed, so a partial or misplaced copy shows in its checksum.
bool MakeBulky(const std::string& path, DWORD size, unsigned seed = 2463534242u);
// A window's rectangle in the client coordinates of another window.
RECT RectIn(HWND wnd, HWND parent);

std::string WindowText(HWND wnd);
std::string ClassName(HWND wnd);
// Visible top-level windows of a process, in Z order.
std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly = true);
// The identifiers of the process's threads, in no order.
std::vector<DWORD> ThreadIds(DWORD pid);
// The window's own text and the texts of all its descendants, joined by newlines.
std::string AllTexts(HWND wnd);
// Presses a button of a dialog by its caption (ignoring '&') or by its identifier.
bool PressButton(HWND dlg, const char* caption);
bool PressButton(HWND dlg, int id);
// Writes a 24-bit BMP of the window (or the whole screen when null) into the artifacts folder;
// returns the file's path, empty on failure.
std::string Screenshot(const char* name, HWND wnd = NULL);
// The pixels of a screen rectangle as the screen shows them, row by row from the top, one
// 0x00RRGGBB value each; empty for an empty rectangle.
std::vector<DWORD> ScreenPixels(const RECT& r);
// Polls cond every pollMs until it holds or the timeout passes.
template <class F> bool WaitFor(F cond, DWORD timeoutMs, DWORD pollMs = 20)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (cond())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(pollMs);
    }
}

class AppProcess {
public:
    AppProcess() = default;
    AppProcess(const AppProcess&) = delete;   // owns the process and thread handles
    AppProcess& operator=(const AppProcess&) = delete;
    ~AppProcess();

    // Starts exe (a full path or a name beside the test executable) with the argument text.
    bool Start(const char* exe, const std::string& args = std::string());
    // Waits until the process shows a visible top-level window of the class (any class when
    // null); null on timeout or when the process ended first.
    HWND WaitForMainWindow(const char* className = "PanorelMainFrame", DWORD timeoutMs = 30000);
    HWND MainWindow() const { return m_main; }
    DWORD Pid() const { return m_pi.dwProcessId; }
    HANDLE Process() const { return m_pi.hProcess; }
    bool Running() const;
    // Waits for the process to end; the exit code is stored when it did.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    // Posts WM_CLOSE to the main window and waits for the process to end.
    bool Close(DWORD timeoutMs = 15000);
    void Kill();

    // Messages to the main window; sent with a timeout so a hung program fails the test.
    LRESULT Send(UINT msg, WPARAM wp, LPARAM lp, DWORD timeoutMs = 10000, bool* ok = nullptr);
    LRESULT Command(UINT id, DWORD timeoutMs = 10000);
    bool PostCommand(UINT id);
    LRESULT SendRegistered(const char* name, WPARAM wp, LPARAM lp, DWORD timeoutMs = 10000);
    LRESULT CopyData(ULONG_PTR code, const void* data, DWORD size, DWORD timeoutMs = 10000);
    // A visible top-level window of the process whose texts (own or children's) contain text.
    HWND FindWindowWithText(const char* text) const;
    HWND WaitForWindowWithText(const char* text, DWORD timeoutMs = 10000) const;

private:
    PROCESS_INFORMATION m_pi = {};
    HWND m_main = NULL;
};

// Answers modal boxes of a process that no test expects, so nothing hangs: a dialog of the
// dialog class that stays up longer than the grace time and whose texts contain none of the
// allowed texts is closed with the given button. The texts of answered boxes are kept.
class ModalWatcher {
public:
    ModalWatcher(DWORD pid, int answerId = IDCANCEL, DWORD graceMs = 3000);
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;
    ~ModalWatcher();
    void Allow(const char* text);
    std::vector<std::string> Answered();

private:
    static DWORD WINAPI ThreadProc(void* param);
    void Run();

    DWORD m_pid;
    int m_answer;
    DWORD m_grace;
    CRITICAL_SECTION m_lock;
    std::vector<std::string> m_allowed, m_answered;
    HANDLE m_stop = NULL, m_thread = NULL;
};

// Registry helpers for tests: delete a whole key below HKCU; read values (defaults when missing).
bool DeleteUserKey(const char* subKey);
bool UserValueExists(const char* subKey, const char* name);
DWORD GetUserDword(const char* subKey, const char* name, DWORD def);
bool SetUserDword(const char* subKey, const char* name, DWORD value);
bool SetUserString(const char* subKey, const char* name, const char* value);
std::string GetUserString(const char* subKey, const char* name);

}  // namespace drv

namespace drv {
// Texts (first column) of a list view's items in another process: all, or only the selected.
std::vector<std::string> ListViewTexts(HWND list, bool selectedOnly);
// The texts of one column of another process's list, as the list gives them (all items, or
// the selected), in the list's order.
std::vector<std::string> ColumnTexts(HWND list, int column, bool selectedOnly);
}  // namespace drv

namespace drv {
// The windows of panorel's main frame, found by their control identifiers.
HWND PanelWindow(HWND main, int index);   // the panel frame in the splitter
std::string PanelTitle(HWND main, int index);
HWND PanelList(HWND main, int index);     // the list control of the panel's shell view
}  // namespace drv

namespace drv {
// Selects (and focuses) the item whose text is `text` in another process's list view, the
// other items deselected. False when no such item exists.
bool SelectListItem(HWND list, const char* text);
}  // namespace drv

namespace drv {
// Empties panorel's product key and the policy key, then stores the default settings without
// the splash screen and with the start-up tips off, so a started program shows only its main
// window.
void ResetProgramSettings();
// Turns the start-up tips off (they are on while the product key holds no choice).
void TipsOff();
}  // namespace drv

namespace drv {
// The status control of panorel's main status bar (control 59393), or null.
HWND MainStatusBar(HWND main);
// Texts of a status control's parts in another process, one per part. A part whose text does
// not fit the reader's 512-byte buffer reads as empty.
std::vector<std::string> StatusBarTexts(HWND bar);
}  // namespace drv

namespace drv {
// A wide text as UTF-8, the form the program's names take under its UTF-8 code page.
std::string U8(const wchar_t* w);
// The child dialog of parent (a page of a sheet) that holds a control with that identifier.
HWND ChildDialogWith(HWND parent, int controlId);
}  // namespace drv
