// Progress of a long operation: the "Processing..." dialog runs on a thread of its own so that
// its Cancel button answers while the operation's loop keeps the caller's thread busy.
#pragma once
#include "../Panorel32.h"
#include "../ui/VmDlg.h"
#include "../ui/VmThread.h"

// The dialog itself; lives on the dialog thread. Every setter may be called from any thread
// and does nothing once the window is gone.
class PANOREL32_API ProgressDlg : public VmDlg {
public:
    enum { Lines = 4 };

    ProgressDlg(VmThread* thread, HWND owner);
    ~ProgressDlg() override;
    BOOL OnInitDialog() override;
    INT_PTR OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override;

    void SetTitle(const char* text);
    void SetText(int line, const char* text);
    // The bar keeps 16 bits of each bound.
    void SetRange(int min, int max);
    void StepIt();
    void SetPos(int pos);
    bool IsMoving() const { return m_moving; }
    // Shows or hides the dialog; a hidden dialog stays hidden until shown again.
    void ShowDlg(bool show);
    // The window while it exists, else null.
    HWND GetDlgWindow() const;

protected:
    void BringUp();

    VmThread* m_thread;          // not owned
    volatile bool m_moving;      // the user is moving or sizing the dialog
    volatile bool m_hidden;      // hidden on request: the dialog box's own first show must not undo it
    HWND m_owner;                // centred on when given
    HWND m_foreground;           // foreground window when the dialog opened
    HWND volatile m_window;      // kept apart from the binding, read by the caller's thread
};

class PANOREL32_API Progress {
public:
    // delay 0 shows the dialog at once; otherwise not before delay ms, checked at the next
    // SetText or StepIt. textInterval non-zero drops texts that come sooner than that.
    Progress(HWND owner = NULL, DWORD delay = 0, DWORD textInterval = 0);
    Progress(const Progress&) = delete;   // owns its thread and dialog
    Progress& operator=(const Progress&) = delete;
    ~Progress();

    HWND GetDlgHWND() const;
    bool IsCanceled() const;
    // Ends the dialog (waiting while the user drags it) and its thread.
    void Close();
    void Show(bool show);
    void SetTitle(const char* text);
    void SetText(int line, const char* text);   // line 0 to 3
    void SetTextFmt(int line, const char* format, ...);
    void SetRange(int min, int max);
    void StepIt();
    // Moves the bar to pos at once: a long loop steps in bulk rather than a message a step.
    void SetPos(int pos);
    // Range 0..max, title and line 1 from string resources (negative: the library's).
    void Init(int max, int titleId, int textId);
    // False when cancelled; else a step and line 1 from a string resource.
    bool NextStep(int textId);

    bool IsStarted() const { return m_started; }

    // A progress bar of the program's own window (its status bar) that shows the bar of the
    // operation in progress as well; null for none. The first Progress that sets a range owns
    // it until it closes, then the bar is emptied.
    static void SetStatusBar(HWND bar);

protected:
    void Mirror(UINT msg, WPARAM wParam, LPARAM lParam);
    void ReleaseMirror();

    void StartThread();
    void CheckDelay();
    void FreePending();
    static unsigned __stdcall ThreadProc(void* arg);

    HWND m_owner;
    ProgressDlg* volatile m_dlg;   // set by the dialog thread before it reports ready
    VmThread m_thread;
    char* m_title;
    char* m_texts[ProgressDlg::Lines];
    unsigned m_steps;
    int m_rangeMin, m_rangeMax;    // -1 when none is pending
    DWORD m_showAt;                // 0 once the thread was started
    DWORD m_textInterval;
    DWORD m_nextText;              // 0: no limit
    bool m_started;
    bool m_threadEnded;            // the dialog object may be freed
};
