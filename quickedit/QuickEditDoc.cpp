#include "quickedit/QuickEditDoc.h"
#include "quickedit/QuickEditRes.h"
#include "files/VmFile.h"
#include "shell/PathConv.h"
#include "ui/MsgUtil.h"
#include "ui/WaitCursor.h"
#include "util/PathUtil.h"
#include "util/ResStr.h"
#include <commdlg.h>
#include <string.h>
#include <vector>

namespace {

void CopyPath(char* to, const char* from)
{
    lstrcpynA(to, from ? from : "", MAX_PATH);
}

// A wildcard in a path would let the system pick some other file than the one meant.
bool IsSafePath(const char* path)
{
    return path && *path && !strpbrk(path, "?*") && strlen(path) < MAX_PATH;
}

// "A|*.*|B|*.*|" into the dialog's zero-separated form, "All Files" added when the text does
// not end in "|".
std::vector<char> MakeFilter(const char* text)
{
    std::string s = text ? text : "";
    if (s.empty() || s.back() != '|')
        s += "|All Files|*.*|";
    std::vector<char> f(s.begin(), s.end());
    for (char& c : f)
        if (c == '|')
            c = 0;
    f.push_back(0);
    return f;
}

}   // namespace

QuickEditDoc::QuickEditDoc()
{
    m_path[0] = 0;
    m_folder[0] = 0;
}

void QuickEditDoc::Attach(HWND owner, HWND edit)
{
    m_owner = owner;
    m_edit = edit;
    if (m_edit)
        SendMessageW(m_edit, EM_SETLIMITTEXT, 0, 0);
}

void QuickEditDoc::SetPath(const char* path)
{
    CopyPath(m_path, path);
}

void QuickEditDoc::SetFolder(const char* folder)
{
    CopyPath(m_folder, folder);
}

void QuickEditDoc::SetFolderFromPath()
{
    if (!m_path[0])
        return;
    char folder[MAX_PATH];
    CopyPath(folder, m_path);
    char* name = FindNameExt(folder);
    if (name)
        *name = 0;
    RemoveBackSlash(folder);
    CopyPath(m_folder, folder);
}

bool QuickEditDoc::IsModified() const
{
    return m_edit && SendMessageW(m_edit, EM_GETMODIFY, 0, 0) != 0;
}

std::wstring QuickEditDoc::GetText() const
{
    std::wstring text;
    if (!m_edit)
        return text;
    int n = GetWindowTextLengthW(m_edit);
    if (n <= 0)
        return text;
    text.resize((size_t)n + 1);
    n = GetWindowTextW(m_edit, &text[0], n + 1);
    text.resize(n > 0 ? (size_t)n : 0);
    return text;
}

void QuickEditDoc::ClearText()
{
    if (!m_edit)
        return;
    SetWindowTextW(m_edit, L"");
    SendMessageW(m_edit, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(m_edit, EM_SETMODIFY, FALSE, 0);
}

void QuickEditDoc::ShowTitle()
{
    if (!m_owner)
        return;
    if (m_path[0])
        SetWindowTextA(m_owner, FindNameExt(m_path));
    else
        SetWindowTextA(m_owner, ResStr(IDS_QE_TITLE));
}

int QuickEditDoc::Ask(UINT flags, int stringId, const char* arg)
{
    return Msg(m_owner, flags, stringId, arg);
}

bool QuickEditDoc::WriteBytes(VmFile& file, const void* data, size_t size)
{
    // WriteFile moves at most 4 GB less one at a time; texts stay far below.
    const char* p = static_cast<const char*>(data);
    while (size) {
        DWORD chunk = size > 0x10000000 ? 0x10000000 : (DWORD)size;
        if (!file.WriteBin(p, chunk))
            return false;
        p += chunk;
        size -= chunk;
    }
    return true;
}

int QuickEditDoc::Load(const char* path)
{
    if (!IsSafePath(path))
        return ERROR_INVALID_NAME;
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        DWORD e = GetLastError();
        if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND)
            return ERROR_FILE_NOT_FOUND;
    }
    VmFile file(path, false);
    if (!file.IsReady())
        return (int)GetLastError();

    ClearText();
    m_preview = false;
    m_readOnly = false;
    m_encoding = TE_Unknown;
    m_codePage = CP_ACP;

    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.GetHandle(), &size))
        return (int)GetLastError();
    if ((ULONGLONG)size.QuadPart > MaxLoadSize)
        return ERROR_FILE_TOO_LARGE;   // never read whole

    DecodedText decoded;
    if (size.QuadPart == 0) {
        decoded.encoding = TE_Ansi;
    } else {
        std::vector<unsigned char> data;
        data.resize((size_t)size.QuadPart + 2);
        DWORD done = 0;
        if (!file.ReadBin(data.data(), (DWORD)size.QuadPart, &done) && done != size.QuadPart)
            return ErrShortRead;
        DecodeText(data.data(), (size_t)size.QuadPart, decoded);
    }
    m_encoding = decoded.encoding;
    m_codePage = decoded.codePage;
    m_readOnly = m_encoding == TE_Binary || m_preview;
    if (m_edit) {
        SetWindowTextW(m_edit, decoded.text.c_str());
        SendMessageW(m_edit, EM_EMPTYUNDOBUFFER, 0, 0);
        SendMessageW(m_edit, EM_SETREADONLY, m_readOnly, 0);
        SendMessageW(m_edit, EM_SETMODIFY, FALSE, 0);
    }
    CopyPath(m_path, path);
    ShowTitle();
    return 0;
}

int QuickEditDoc::Save(const char* path)
{
    if (!IsSafePath(path))
        return ERROR_INVALID_NAME;
    std::string bytes;
    if (!EncodeText(GetText(), m_encoding, m_codePage, bytes))
        return ERROR_NO_UNICODE_TRANSLATION;

    // The old file stays whole until the new content is complete on disk beside it, so a
    // full disk or a failing write never leaves a half-written file.
    char folder[MAX_PATH];
    CopyPath(folder, path);
    char* name = FindNameExt(folder);
    if (name)
        *name = 0;
    if (!folder[0])
        lstrcpyA(folder, ".");
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder, "qe", 0, temp))
        return (int)GetLastError();
    int err = 0;
    {
        VmFile file(temp, true);
        if (!file.IsReady()) {
            err = (int)GetLastError();
        } else if (!WriteBytes(file, bytes.data(), bytes.size())) {
            err = ErrShortWrite;
        } else if (!file.SetEndOfFile() || !FlushFileBuffers(file.GetHandle())) {
            err = ErrShortWrite;
        }
    }
    if (!err) {
        DWORD attr = GetFileAttributesA(path);
        bool replaced;
        if (attr != INVALID_FILE_ATTRIBUTES)
            // Keeps the target's attributes, times of creation and security.
            replaced = ReplaceFileA(path, temp, NULL, REPLACEFILE_IGNORE_MERGE_ERRORS, NULL,
                                    NULL) ||
                       MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        else
            replaced = MoveFileExA(temp, path, MOVEFILE_WRITE_THROUGH);
        if (!replaced)
            err = (int)GetLastError();
        else if (attr != INVALID_FILE_ATTRIBUTES)
            SetFileAttributesA(path, attr);
    }
    if (err) {
        DeleteFileA(temp);
        return err;
    }
    CopyPath(m_path, path);
    ShowTitle();
    return 0;
}

bool QuickEditDoc::LoadOrSave(bool save, const char* path)
{
    VmWaitCursor wait;
    char copy[MAX_PATH];
    CopyPath(copy, path);
    int err = save ? Save(copy) : Load(copy);
    if (err == 0)
        return true;
    if (err == ErrPreviewDeclined) {
        m_show = false;
        if (m_owner)
            PostMessageA(m_owner, WM_CLOSE, 0, 0);
        return false;
    }
    if (!save)
        m_path[0] = 0;
    if (err == ERROR_FILE_TOO_LARGE && !save) {
        // The system's text for it speaks of saving.
        Ask(MB_OK | MB_ICONEXCLAMATION, IDS_QE_REFUSED, copy);
        return false;
    }
    SetLastError((DWORD)err);
    MsgLastError(m_owner);
    return false;
}

bool QuickEditDoc::SaveDocument()
{
    if (!m_path[0]) {
        if (!SaveDocumentAs())
            return false;
        return true;
    }
    DWORD attr = GetFileAttributesA(m_path);
    bool changed = false;
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY)) {
        if (Ask(MB_YESNO | MB_ICONEXCLAMATION, IDS_QE_READONLY, m_path) != IDYES)
            return false;
        SetFileAttributesA(m_path, attr & ~FILE_ATTRIBUTE_READONLY);
        changed = true;
    }
    bool ok = LoadOrSave(true, m_path);
    if (ok && m_edit) {
        SendMessageW(m_edit, EM_SETMODIFY, FALSE, 0);
        SendMessageW(m_edit, EM_SETREADONLY, m_encoding == TE_Binary, 0);
    }
    if (changed)
        SetFileAttributesA(m_path, attr);
    return ok;
}

bool QuickEditDoc::ChooseSavePath(char* path, int& entry)
{
    std::vector<char> filter = MakeFilter(ResStr(IDS_QE_TYPES_NT));
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_owner;
    ofn.lpstrFilter = filter.data();
    ofn.nFilterIndex = (DWORD)entry;
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = m_folder[0] ? m_folder : nullptr;
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameA(&ofn))
        return false;
    entry = (int)ofn.nFilterIndex;
    return true;
}

bool QuickEditDoc::ChooseOpenPath(char* path)
{
    std::vector<char> filter = MakeFilter("");
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_owner;
    ofn.lpstrFilter = filter.data();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = m_folder[0] ? m_folder : nullptr;
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    return GetOpenFileNameA(&ofn) != 0;
}

bool QuickEditDoc::SaveDocumentAs()
{
    char path[MAX_PATH];
    CopyPath(path, m_path);
    int entry = (m_encoding >= TE_Ansi && m_encoding <= TE_Unix) ? (int)m_encoding : (int)TE_Ansi;
    if (!ChooseSavePath(path, entry))
        return false;
    DosPathToShellPath(path);
    if (!path[0])
        return false;
    char old[MAX_PATH];
    CopyPath(old, m_path);
    DWORD oldEncoding = m_encoding;
    CopyPath(m_path, path);
    m_encoding = (entry >= (int)TE_Ansi && entry <= (int)TE_Unix) ? (DWORD)entry : (DWORD)TE_Ansi;
    if (SaveDocument())
        return true;
    // A failed or declined save keeps the document as it was.
    CopyPath(m_path, old);
    m_encoding = oldEncoding;
    return false;
}

bool QuickEditDoc::AskToSave()
{
    if (!IsModified())
        return true;
    ResStr untitled(IDS_QE_UNTITLED);
    int answer = Ask(MB_YESNOCANCEL | MB_ICONEXCLAMATION, IDS_QE_SAVE_CHANGES,
                     m_path[0] ? m_path : untitled.GetStr());
    if (answer == IDCANCEL || answer == 0)
        return false;
    if (answer == IDYES)
        return SaveDocument();
    return true;
}

void QuickEditDoc::NewDocument()
{
    if (!AskToSave())
        return;
    SetFolderFromPath();
    m_path[0] = 0;
    ClearText();
    m_encoding = TE_Ansi;
    m_codePage = CP_ACP;
    m_preview = false;
    m_readOnly = false;
    if (m_edit)
        SendMessageW(m_edit, EM_SETREADONLY, FALSE, 0);
    ShowTitle();
}

bool QuickEditDoc::OpenDocument()
{
    if (!AskToSave())
        return false;
    char path[MAX_PATH];
    CopyPath(path, m_path);
    if (!ChooseOpenPath(path))
        return false;
    DosPathToShellPath(path);
    CopyPath(m_path, path);
    SetFolderFromPath();
    return LoadOrSave(false, path);
}
