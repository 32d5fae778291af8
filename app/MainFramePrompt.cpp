// The main frame's side of Go to, Jump and the command prompt.
#include "app/MainFrame.h"
#include "app/MainApp.h"
#include "app/Policy.h"
#include "app/Resource.h"
#include "panels/Goto.h"
#include "panels/Jump.h"

void CMainFrame::GotoFolder()
{
    ViewFrame* panel = ActivePanel();
    if (!panel)
        return;
    // Centred on the active panel unless the options say otherwise.
    RunGotoDialog(m_hWnd, panel, true);
}

void CMainFrame::JumpToFolder()
{
    ViewFrame* panel = ActivePanel();
    if (!panel)
        return;
    const Settings2Opts& s2 = GetMainApp().m_settings.settings2;
    OpenJumpField(panel, m_hWnd, s2.IsOn(0x80000000), s2.IsOn(0x40000000));
}

void CMainFrame::SetPromptMode(bool on)
{
    ViewFrame* panel = ActivePanel();
    m_promptMode = on;
    if (on) {
        m_prompt.Show();   // the status bar that holds it
        if (panel)
            panel->SetActiveLook(false);
        m_prompt.Focus();
    } else if (panel) {
        panel->Activate(true);
    }
}

void CMainFrame::OnPromptCommand(UINT id)
{
    ViewFrame* panel = ActivePanel();
    switch (id) {
    case ID_PROMPT_SWITCH_TO:
        SetPromptMode(!(m_promptMode && m_prompt.IsPromptWindow(GetFocus())));
        break;
    case ID_PROMPT_EXECUTE:
        // Enter in a panel: with text in the prompt, go there; else open the selection.
        if (m_prompt.HasText())
            SetPromptMode(true);
        else if (panel)
            panel->OpenSelection();
        break;
    case ID_PROMPT_EXECUTE_ENTER:
        if (m_prompt.Execute(panel, m_hWnd) && m_promptMode)
            SetPromptMode(false);
        break;
    case ID_PROMPT_CLEAR:
        m_prompt.Clear();
        if (m_promptMode)
            SetPromptMode(false);
        break;
    case ID_PROMPT_UNDO_INSERT:
        m_prompt.Undo();
        break;
    case ID_PROMPT_INSERT_NAME:
    case ID_PROMPT_INSERT_PATH:
    case ID_PROMPT_INSERT_NAME_ALIAS:
    case ID_PROMPT_INSERT_PATH_ALIAS: {
        static_assert(ID_PROMPT_INSERT_PATH_ALIAS - ID_PROMPT_INSERT_NAME == 3, "insert commands in a row");
        PromptBar::InsertKind kind = static_cast<PromptBar::InsertKind>(id - ID_PROMPT_INSERT_NAME);
        m_prompt.Insert(panel, kind, m_hWnd);
        break;
    }
    case ID_PROMPT_COMMAND:
        // Ctrl+Backspace in the prompt: the last word goes.
        if (m_prompt.IsPromptWindow(GetFocus())) {
            std::string text = m_prompt.GetText();
            while (!text.empty() && text.back() == ' ')
                text.pop_back();
            size_t cut = text.find_last_of(' ');
            m_prompt.SetText(cut == std::string::npos ? std::string() : text.substr(0, cut + 1));
        }
        break;
    }
}

bool CMainFrame::PreTranslatePromptKey(MSG* msg)
{
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return false;
    HWND jump = JumpFieldWindow();
    if (jump && (msg->hwnd == jump || IsChild(jump, msg->hwnd))) {
        // The Jump field takes every key as text; it handles Enter and Esc itself.
        TranslateMessage(msg);
        DispatchMessageA(msg);
        return true;
    }
    bool inPrompt = m_prompt.IsPromptWindow(msg->hwnd);
    if (!inPrompt && !(m_prompt.HasText() && PanelOfWindow(msg->hwnd)))
        return false;
    // Accelerators loaded from resources are freed with the module.
    static HACCEL table = LoadAcceleratorsA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_ACCEL_PROMPT));
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE && inPrompt &&
        !SendMessageA(m_prompt.Combo(), CB_GETDROPPEDSTATE, 0, 0)) {
        // Esc (with or without Shift) goes back to the panel.
        PostMessageA(m_hWnd, WM_COMMAND, ID_PROMPT_SWITCH_TO, 0);
        return true;
    }
    if (table && TranslateAcceleratorA(m_hWnd, table, msg))
        return true;
    if (!inPrompt)
        return false;
    // Plain keys are text in the prompt, never the frame's commands.
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return true;
}
