// The document behind one Quick Edit window: the file's path and folder, its encoding, the
// preview and read-only flags, loading into the window's text control and saving from it.
#pragma once
#include "quickedit/QuickEditText.h"
#include <windows.h>
#include <string>

class VmFile;

class QuickEditDoc {
public:
    // Load results besides the system's error codes.
    enum { ErrPreviewDeclined = 28, ErrShortRead = 30, ErrShortWrite = 29 };
    // Files larger than this are refused whole: the text control could not hold them.
    static const ULONGLONG MaxLoadSize = 256ull * 1024 * 1024;

    QuickEditDoc();
    QuickEditDoc(const QuickEditDoc&) = delete;   // bound to one window
    QuickEditDoc& operator=(const QuickEditDoc&) = delete;
    virtual ~QuickEditDoc() = default;

    // The window whose title shows the file's name and the text control holding the text.
    void Attach(HWND owner, HWND edit);

    // 0 or an error code: 2 the file does not exist, 30 short read, ERROR_FILE_TOO_LARGE,
    // otherwise the system's error of opening the file.
    int Load(const char* path);
    // 0 or an error code: 29 short write (the old file is kept), ERROR_NO_UNICODE_TRANSLATION
    // when the text cannot be written in the encoding, otherwise the system's error. The bytes
    // go to a temporary file beside the target, which replaces the target only when complete.
    int Save(const char* path);
    // Wait cursor, Load or Save; an error is shown (as the thread's last error). A declined
    // preview asks the window to close.
    bool LoadOrSave(bool save, const char* path);

    const char* EncodingName() const { return TextEncodingName(m_encoding); }
    // The Save command: an untitled document goes through Save As; the read-only question.
    bool SaveDocument();
    bool SaveDocumentAs();
    // True when the caller may go on (nothing to save, saved, or the user said No).
    bool AskToSave();
    void NewDocument();
    // The Open command: ask to save, the Open dialog, load.
    bool OpenDocument();

    const char* GetPath() const { return m_path; }
    void SetPath(const char* path);
    const char* GetFolder() const { return m_folder; }
    void SetFolder(const char* folder);
    // The folder from the path: the path less its name, less the trailing backslash.
    void SetFolderFromPath();
    DWORD GetEncoding() const { return m_encoding; }
    void SetEncoding(DWORD encoding) { m_encoding = encoding; }
    UINT GetCodePage() const { return m_codePage; }
    bool IsPreview() const { return m_preview; }
    bool IsReadOnly() const { return m_readOnly; }
    bool IsModified() const;
    bool WantsShow() const { return m_show; }
    HWND GetEdit() const { return m_edit; }

    // The whole text of the control.
    std::wstring GetText() const;

protected:
    // A question to the user (Msg with the string and the argument); the button pressed.
    virtual int Ask(UINT flags, int stringId, const char* arg);
    // Writes the prepared bytes to the open file; false when fewer were written.
    virtual bool WriteBytes(VmFile& file, const void* data, size_t size);
    // The Save As dialog on the path; the chosen type entry in `entry`. False on Cancel.
    virtual bool ChooseSavePath(char* path, int& entry);
    virtual bool ChooseOpenPath(char* path);

    void ShowTitle();
    void ClearText();

    HWND m_owner = NULL;
    HWND m_edit = NULL;
    char m_path[MAX_PATH];
    char m_folder[MAX_PATH];
    DWORD m_encoding = TE_Unknown;
    UINT m_codePage = CP_ACP;
    bool m_preview = false;
    bool m_readOnly = false;
    bool m_show = true;
};
