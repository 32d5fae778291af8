// The command prompt's field: an editable combo box that shell objects can be dropped onto,
// and the text rules of inserting names and paths into it.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <functional>
#include <string>
#include <vector>

namespace prompt {
enum InsertKind { InsertName, InsertPath, InsertNameAlias, InsertPathAlias };

// The item in double quotes when it holds a space, else as it is.
std::string Quote(const std::string& item);
// What an Insert command or a drop puts into the prompt for an existing path: the path, its
// short form, or the last component of either. Empty when the path is not in the file system.
std::string PieceOf(const char* path, InsertKind kind);
// The kind a drop asks for with the keys held (MK_SHIFT, MK_ALT).
InsertKind KindOfKeys(DWORD keys);
// The text that a drop of pieces (already quoted) inserts at pos of text: a blank before the
// first piece when the character before pos is a letter or digit, one before every later
// piece, and one after the last when the character at pos is a letter or digit. caret gets
// the offset, within the inserted text, of the end of the last piece.
std::wstring DropText(const std::wstring& text, size_t pos, const std::vector<std::wstring>& pieces,
                      size_t* caret);
}  // namespace prompt

class PromptDropTarget;

class PromptField {
public:
    PromptField() = default;
    PromptField(const PromptField&) = delete;
    PromptField& operator=(const PromptField&) = delete;
    ~PromptField();

    // The combo box as a child of parent, registered as a drop target. It is a UTF-16 window
    // so that caret positions count the same units on every system.
    bool Create(HWND parent, UINT id);
    HWND Combo() const { return m_combo; }
    HWND Edit() const { return m_edit; }

    // Inserts the file-system objects of data at the character nearest pt (screen
    // coordinates); the number inserted. Objects outside the file system are skipped, paths
    // that cannot be given exactly are reported to onRefused and left out.
    int InsertDropped(IDataObject* data, POINT pt, prompt::InsertKind kind);
    // The boundary between characters of the field nearest the point (client coordinates of
    // the edit field).
    size_t NearestPosition(POINT pt) const;
    // The name or path, for a message, of an object that is left out.
    std::function<void(const char* name)> onRefused;
    // After a drop inserted text; before is the text as it was.
    std::function<void(const std::string& before)> onDropped;

private:
    void Revoke();
    static LRESULT CALLBACK EditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data);
    HWND m_combo = NULL;
    HWND m_edit = NULL;
    PromptDropTarget* m_target = nullptr;   // one reference held while registered
};
