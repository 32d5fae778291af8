// The command prompt: a bar of the main window with an editable combo box that collects a
// command line, takes the names or paths of the active panel's selection and runs the line in
// the active panel's folder. Its history is "RunMRU".
#pragma once
#include "framework/ControlBar.h"
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

class PromptBar : public fw::ControlBar {
public:
    enum { ID_BAR = 59440, IDC_PROMPT = 1008, kHistorySize = 8 };
    enum InsertKind { InsertName, InsertPath, InsertNameAlias, InsertPathAlias };

    bool Create(fw::FrameWnd* frame);
    int CalcThickness(bool horz) override;
    void LayoutContent(const RECT& client) override;

    HWND Combo() const { return m_combo; }
    // The combo box, its edit field or its list.
    bool IsPromptWindow(HWND wnd) const;
    bool HasText() const;
    std::string GetText() const;
    void SetText(const std::string& text);
    void Focus();

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

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    HWND m_combo = NULL;
    std::string m_undo;
    VmHistList m_history;
};
