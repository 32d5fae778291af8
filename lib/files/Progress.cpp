#include "Progress.h"
#include "../LibRes.h"
#include "../util/ResStr.h"
#include <commctrl.h>
#include <new>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {
char* CopyText(const char* text)
{
    if (!text)
        text = "";
    size_t n = strlen(text) + 1;
    char* copy = static_cast<char*>(malloc(n));
    if (copy)
        memcpy(copy, text, n);
    return copy;
}

// Tick counts wrap after 49 days: compare by difference.
bool TickReached(DWORD now, DWORD when)
{
    return static_cast<LONG>(now - when) >= 0;
}

// The status-bar copy of the bar, and which Progress writes to it.
HWND g_statusBar = NULL;
const Progress* g_statusOwner = nullptr;
DWORD g_statusPainted = 0;

void PumpOwnMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
}  // namespace

// ProgressDlg

ProgressDlg::ProgressDlg(VmThread* thread, HWND owner)
    : m_thread(thread), m_moving(false), m_hidden(false), m_owner(owner), m_foreground(NULL), m_window(NULL)
{
}

ProgressDlg::~ProgressDlg()
{
    // The window that was active before may carry traces of the dialog.
    if (m_foreground && IsWindow(m_foreground))
        RedrawWindow(m_foreground, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

BOOL ProgressDlg::OnInitDialog()
{
    BOOL result = VmDlg::OnInitDialog();
    m_window = m_hWnd;
    if (m_thread)
        m_thread->SetReady();
    if (m_owner && IsWindow(m_owner)) {
        RECT owner, self;
        GetWindowRect(m_owner, &owner);
        GetWindowRect(m_hWnd, &self);
        int w = self.right - self.left, h = self.bottom - self.top;
        int x = owner.left + ((owner.right - owner.left) - w) / 2;
        int y = owner.top + ((owner.bottom - owner.top) - h) / 2;
        SetWindowPos(m_hWnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_foreground = GetForegroundWindow();
    // Shown here, placed, rather than when the modal loop first idles.
    if (!m_hidden) {
        ShowWindow(m_hWnd, SW_SHOW);
        SetForegroundWindow(m_hWnd);
    }
    return result;
}

void ProgressDlg::ShowDlg(bool show)
{
    HWND window = GetDlgWindow();
    // The dialog box shows itself once its loop first idles, which may come after a request
    // to hide it: the flag keeps that show from happening.
    m_hidden = !show;
    if (!window)
        return;
    if (show) {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
    } else {
        ShowWindow(window, SW_HIDE);
    }
}

INT_PTR ProgressDlg::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_WINDOWPOSCHANGING && m_hidden && lParam)
        reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
    else if (msg == WM_ENTERSIZEMOVE)
        m_moving = true;
    else if (msg == WM_EXITSIZEMOVE)
        m_moving = false;
    else if (msg == WM_DESTROY)
        m_window = NULL;
    return VmDlg::OnDlgMessage(msg, wParam, lParam);
}

void ProgressDlg::OnOK()
{
    if (m_thread)
        m_thread->Cancel();
    VmDlg::OnOK();
}

void ProgressDlg::OnCancel()
{
    if (m_thread)
        m_thread->Cancel();
    m_moving = false;   // a dialog that ends is dragged no more
    VmDlg::OnCancel();
}

HWND ProgressDlg::GetDlgWindow() const
{
    HWND window = m_window;
    return window && IsWindow(window) ? window : NULL;
}

void ProgressDlg::SetTitle(const char* text)
{
    if (HWND window = GetDlgWindow())
        SetWindowTextA(window, text ? text : "");
}

void ProgressDlg::SetText(int line, const char* text)
{
    if (line < 0 || line >= Lines)
        return;
    if (HWND window = GetDlgWindow())
        SetDlgItemTextA(window, IDC_LIB_PROGRESS_TEXT0 + line, text ? text : "");
}

void ProgressDlg::SetRange(int min, int max)
{
    HWND window = GetDlgWindow();
    if (!window)
        return;
    HWND bar = GetDlgItem(window, IDC_LIB_PROGRESS_BAR);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(min, max));
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(min), 0);
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
}

void ProgressDlg::BringUp()
{
    if (HWND window = GetDlgWindow()) {
        BringWindowToTop(window);
        UpdateWindow(window);
    }
}

void ProgressDlg::StepIt()
{
    HWND window = GetDlgWindow();
    if (!window)
        return;
    SendDlgItemMessageA(window, IDC_LIB_PROGRESS_BAR, PBM_STEPIT, 0, 0);
    BringUp();
}

void ProgressDlg::SetPos(int pos)
{
    HWND window = GetDlgWindow();
    if (!window)
        return;
    SendDlgItemMessageA(window, IDC_LIB_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(pos), 0);
    BringUp();
}

// Progress

Progress::Progress(HWND owner, DWORD delay, DWORD textInterval)
    : m_owner(owner), m_dlg(nullptr), m_title(nullptr), m_steps(0), m_rangeMin(-1),
      m_rangeMax(-1), m_showAt(0), m_textInterval(textInterval), m_nextText(0),
      m_started(false), m_threadEnded(false)
{
    for (char*& text : m_texts)
        text = nullptr;
    if (!delay) {
        StartThread();
    } else {
        m_showAt = GetTickCount() + delay;
        if (!m_showAt)
            m_showAt = 1;   // 0 means started
    }
}

Progress::~Progress()
{
    FreePending();
    Close();
    ReleaseMirror();
}

void Progress::SetStatusBar(HWND bar)
{
    g_statusBar = bar;
    g_statusOwner = nullptr;
}

void Progress::Mirror(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND bar = g_statusBar;
    if (!bar || !IsWindow(bar))
        return;
    if (msg == PBM_SETRANGE32 && !g_statusOwner)
        g_statusOwner = this;
    if (g_statusOwner != this)
        return;
    if (GetWindowThreadProcessId(bar, NULL) != GetCurrentThreadId()) {
        PostMessageA(bar, msg, wParam, lParam);
        return;
    }
    SendMessageA(bar, msg, wParam, lParam);
    // The operation keeps this thread busy: paint now and then rather than at every step.
    DWORD now = GetTickCount();
    if (msg == PBM_SETRANGE32 || now - g_statusPainted >= 100) {
        g_statusPainted = now;
        UpdateWindow(bar);
    }
}

void Progress::ReleaseMirror()
{
    if (g_statusOwner != this)
        return;
    g_statusOwner = nullptr;
    HWND bar = g_statusBar;
    if (!bar || !IsWindow(bar))
        return;
    if (GetWindowThreadProcessId(bar, NULL) != GetCurrentThreadId()) {
        PostMessageA(bar, PBM_SETPOS, 0, 0);
        return;
    }
    SendMessageA(bar, PBM_SETRANGE32, 0, 100);
    SendMessageA(bar, PBM_SETPOS, 0, 0);
    UpdateWindow(bar);
}

void Progress::FreePending()
{
    free(m_title);
    m_title = nullptr;
    for (char*& text : m_texts) {
        free(text);
        text = nullptr;
    }
}

unsigned __stdcall Progress::ThreadProc(void* arg)
{
    Progress* self = static_cast<Progress*>(arg);
    try {
        ProgressDlg* dlg = new (std::nothrow) ProgressDlg(&self->m_thread, self->m_owner);
        if (dlg) {
            self->m_dlg = dlg;
            // Not owned by the caller's window: an owner on another thread would share its
            // input and freeze with it while the operation keeps that thread busy.
            dlg->Modal(-IDD_LIB_PROGRESS);
        }
    } catch (...) {
        // never unwind out of a thread
    }
    if (!self->m_thread.IsReady())
        self->m_thread.SetReady();   // no dialog: the caller need not wait any longer
    self->m_thread.SetDone();
    return 0;
}

void Progress::StartThread()
{
    m_showAt = 0;
    if (!m_thread.Create(ThreadProc, this))
        return;   // no dialog: reports stay kept
    m_started = true;
    m_threadEnded = false;
    m_thread.WaitForReady(VmThread::ReadyTimeout);
    ProgressDlg* dlg = m_dlg;
    if (!dlg)
        return;
    if (m_title) {
        dlg->SetTitle(m_title);
        free(m_title);
        m_title = nullptr;
    }
    for (int line = 0; line < ProgressDlg::Lines; ++line) {
        if (m_texts[line]) {
            dlg->SetText(line, m_texts[line]);
            free(m_texts[line]);
            m_texts[line] = nullptr;
        }
    }
    if (m_rangeMin >= 0 && m_rangeMax >= 0)
        dlg->SetRange(m_rangeMin, m_rangeMax);
    m_rangeMin = m_rangeMax = -1;
    if (m_steps) {
        dlg->SetPos(static_cast<int>(m_steps));
        m_steps = 0;
    }
}

void Progress::CheckDelay()
{
    if (!m_started && m_showAt && TickReached(GetTickCount(), m_showAt))
        StartThread();
}

HWND Progress::GetDlgHWND() const
{
    ProgressDlg* dlg = m_dlg;
    return dlg ? dlg->GetDlgWindow() : NULL;
}

bool Progress::IsCanceled() const
{
    return m_started && m_thread.IsCanceled();
}

void Progress::Close()
{
    ReleaseMirror();
    if (!m_started)
        return;
    ProgressDlg* dlg = m_dlg;
    if (dlg && !m_thread.IsCanceled()) {
        // Ending the dialog under the user's drag would tear the window from the mouse.
        while (dlg->IsMoving() && dlg->GetDlgWindow()) {
            PumpOwnMessages();
            Sleep(10);
        }
        // OnCancel runs on the dialog's own thread, which owns the window.
        if (HWND window = dlg->GetDlgWindow()) {
            DWORD_PTR result = 0;
            SendMessageTimeoutA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0, SMTO_NORMAL,
                                VmThread::ReadyTimeout, &result);
        }
    }
    if (!m_threadEnded)
        m_threadEnded = m_thread.WaitForThread(VmThread::ReadyTimeout);
    // A thread that is still running may use the dialog: it is then left to it.
    if (m_threadEnded && dlg) {
        m_dlg = nullptr;
        delete dlg;
    }
}

void Progress::Show(bool show)
{
    if (ProgressDlg* dlg = m_dlg)
        dlg->ShowDlg(show);
}

void Progress::SetTitle(const char* text)
{
    if (ProgressDlg* dlg = m_dlg) {
        dlg->SetTitle(text);
        return;
    }
    if (char* copy = CopyText(text)) {
        free(m_title);
        m_title = copy;
    }
}

void Progress::SetText(int line, const char* text)
{
    if (line < 0 || line >= ProgressDlg::Lines)
        return;
    if (ProgressDlg* dlg = m_dlg) {
        DWORD now = GetTickCount();
        if (m_textInterval && m_nextText && !TickReached(now, m_nextText))
            return;   // too soon after the last one
        dlg->SetText(line, text);
        m_nextText = m_textInterval ? now + m_textInterval : 0;
        if (m_textInterval && !m_nextText)
            m_nextText = 1;
        return;
    }
    if (char* copy = CopyText(text)) {
        free(m_texts[line]);
        m_texts[line] = copy;
    }
    CheckDelay();
}

void Progress::SetTextFmt(int line, const char* format, ...)
{
    if (!format)
        return;
    char buffer[1024];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    if (n < 0)
        buffer[0] = 0;
    buffer[sizeof(buffer) - 1] = 0;
    SetText(line, buffer);
}

void Progress::SetRange(int min, int max)
{
    Mirror(PBM_SETRANGE32, static_cast<WPARAM>(min), static_cast<LPARAM>(max));
    Mirror(PBM_SETPOS, static_cast<WPARAM>(min), 0);
    Mirror(PBM_SETSTEP, 1, 0);
    if (ProgressDlg* dlg = m_dlg) {
        dlg->SetRange(min, max);
        return;
    }
    m_rangeMin = min;
    m_rangeMax = max;
}

void Progress::StepIt()
{
    Mirror(PBM_STEPIT, 0, 0);
    if (ProgressDlg* dlg = m_dlg) {
        dlg->StepIt();
        return;
    }
    ++m_steps;
    CheckDelay();
}

void Progress::SetPos(int pos)
{
    Mirror(PBM_SETPOS, static_cast<WPARAM>(pos), 0);
    if (ProgressDlg* dlg = m_dlg) {
        dlg->SetPos(pos);
        return;
    }
    m_steps = pos > 0 ? static_cast<unsigned>(pos) : 0;
    CheckDelay();
}

void Progress::Init(int max, int titleId, int textId)
{
    SetRange(0, max);
    ResStr title(titleId);
    if (!title.IsEmpty())
        SetTitle(title);
    ResStr text(textId);
    SetText(1, text);
}

bool Progress::NextStep(int textId)
{
    if (IsCanceled())
        return false;
    StepIt();
    ResStr text(textId);
    SetText(1, text);
    return true;
}
