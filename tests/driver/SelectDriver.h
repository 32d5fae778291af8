// Driver helpers for the selection commands and the dialogs of Select, New Folder, Filter,
// Stamp and List: selections in another process's list, keys, texts and the clipboard.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace drv {

// Selects exactly the named items (the first of them focused); false when one is missing.
bool SelectNames(HWND list, const std::vector<std::string>& names);
int SelectedCount(HWND list);
// Sets state bits of one item of another process's list (LVM_SETITEMSTATE).
bool SetItemState(HWND list, int index, UINT state, UINT mask);
// The image index another process's list holds or is given for an item; -1 when unknown.
int ItemImage(HWND list, int index);
int ItemCount(HWND list);
// The focused item's index, -1 when none is.
int FocusedItem(HWND list);
// Presses and releases a key with the modifiers held (VK_CONTROL, VK_SHIFT, VK_MENU), with
// the window brought to the foreground first.
bool PressKey(HWND foreground, WORD vk, const std::vector<WORD>& modifiers = {});
// Holds a key down through the keyboard's own state, for mouse messages posted meanwhile;
// ReleaseKey lets it go. False when the key would not stay down.
bool HoldKey(HWND foreground, WORD vk);
void ReleaseKey(WORD vk);
// CF_TEXT of the clipboard; "<none>" when it holds no text.
std::string ClipboardText();
// CF_UNICODETEXT of the clipboard as UTF-8; "<none>" when it holds none.
std::string ClipboardUnicodeText();
// Puts a marker text on the clipboard, so a command that leaves it alone shows.
void SetClipboardText(const std::string& text);
// Clicks a dialog's button as the mouse would (BM_CLICK, sent): check boxes and radio buttons
// change their state before the dialog hears of it.
bool ClickButton(HWND dlg, int id);
std::string ItemText(HWND dlg, int id);
bool SetItemText(HWND dlg, int id, const std::string& text);
// A top-level dialog (class #32770) of the process with exactly that caption, waited for.
HWND WaitForDialog(DWORD pid, const char* caption, DWORD timeoutMs = 10000);
// A dialog of the process whose texts contain text; its whole text into texts when given,
// then it is answered with the button.
bool AnswerBox(DWORD pid, const char* text, int button = IDOK, std::string* texts = nullptr,
               DWORD timeoutMs = 10000);
// Writes the bytes into a new file.
bool WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

}  // namespace drv
