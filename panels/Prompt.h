// The command prompt: an editable combo box and a small toolbar in the main status bar that
// collect a command line, take the names or paths of the active panel's selection (or of
// objects dropped onto the field) and run the line in the active panel's folder. Its history
// is "RunMRU".
#pragma once
#include "framework/ControlBar.h"
#include "panels/PromptField.h"
#include "util/VmHistList.h"
#include <string>

class ViewFrame;

// The text rules of the prompt, apart from any window.
namespace prompt {
// The old text, one space unless it is empty or ends in one, then item (quoted when it holds a
// space).
std::string Append(const std::string& text, const std::string& item);
// Every drive letter and colon not followed by a backslash, at the start or after one of the
// separating characters, replaced by that drive's current directory in short form with a
// trailing backslash. Drives without a current directory stay as written.
std::string ExpandDriveLetters(const std::string& text);
// Program and parameters: a leading quoted part, or up to the first space; the parameters are
// the rest after one separating space.
void SplitCommand(const std::string& text, std::string& program, std::string& params);
}  // namespace prompt

class PromptBar {
public:
    enum { IDC_PROMPT = 1008, kHistorySize = 8 };
    using InsertKind = prompt::InsertKind;

    // The field and its toolbar as children of the host bar's status control; commands of the
    // toolbar go to the frame.
    bool Create(fw::FrameWnd* frame, fw::StatusBar* host);
    // Places the field and the toolbar in area (client coordinates of the status control);
    // an empty area hides them.
    void Place(const RECT& area);
    // Height the field and the toolbar need.
    int Height() const;

    HWND Combo() const { return m_field.Combo(); }
    HWND ToolBar() const { return m_toolbar; }
    // The combo box, its edit field or its list.
    bool IsPromptWindow(HWND wnd) const;
    // The host bar is shown and the field is not hidden (as while a menu is open).
    bool IsVisible() const;
    // Shows the host bar when it is hidden.
    void Show();
    bool HasText() const;
    std::string GetText() const;
    void SetText(const std::string& text);
    void Focus();
    // Runs the update handlers of the toolbar's buttons through target.
    void UpdateButtons(fw::Wnd* target);

    // Inserts the panel's selected file-system items; the number inserted. Items whose path
    // cannot be given exactly are refused with a message.
    int Insert(ViewFrame* panel, InsertKind kind, HWND owner);
    void Undo();
    // Empties the field, remembering its text for undo.
    void Clear();
    // Runs the command line in the panel's folder; true when the shell started it.
    bool Execute(ViewFrame* panel, HWND owner);
    // Loads the history into the box.
    void LoadHistory();
    // The drop-down list is open and Delete was pressed: the highlighted entry leaves the box
    // and the history.
    bool DeleteHighlighted();
    // After objects were dropped onto the field (the text before is kept for undo).
    std::function<void()> onDropped;

private:
    static LRESULT CALLBACK HostProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data);
    fw::FrameWnd* m_frame = nullptr;
    fw::StatusBar* m_host = nullptr;
    PromptField m_field;
    HWND m_toolbar = NULL;
    std::string m_undo;
    VmHistList m_history;
};
