#include "commands/SplitMerge.h"
#include "app/MainApp.h"
#include "app/MainFrame.h"
#include "app/Policy.h"
#include "app/Resource.h"
#include "app/Settings.h"
#include "commands/FileCommands.h"
#include "commands/FileOpsRes.h"
#include "commands/SplitMergeRes.h"
#include "commands/SplitMergeUi.h"
#include "files/FileEnum.h"
#include "files/FileOp.h"
#include "files/Progress.h"
#include "LibRes.h"
#include "panels/ViewFrame.h"
#include "shell/IdList.h"
#include "shell/Pidl.h"
#include "ui/MsgUtil.h"
#include "ui/VmDlg.h"
#include "ui/VmHistCB.h"
#include "ui/WaitCursor.h"
#include "util/PathUtil.h"
#include "util/ResStr.h"
#include "util/StrUtil.h"
#include <commdlg.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>
#include <vector>

namespace {

// Bit of Settings2: delete the source files when done (Split and Merge).
const DWORD S2_DELETE_SOURCE = 0x80000;
const DWORD kBlock = 262144;   // one buffer of this size serves all copying
const int kMaxSegments = 999;
const DWORD kFloppySize = 1457152;

bool SameText(const char* a, const char* b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

// A path the file system takes as exactly this object: no wildcard (a lost character of a
// name arrives as '?'), and short enough to be whole.
bool IsExactPath(const char* path)
{
    return path && path[0] && strlen(path) < MAX_PATH && !strpbrk(path, "?*");
}

bool PathExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const char* path)
{
    DWORD attr = GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// ---- names

std::string SplitMerge_BaseOf(const char* path)
{
    std::string p = path ? path : "";
    size_t dot = p.find_last_of(".\\/:");
    if (dot == std::string::npos || p[dot] != '.' || dot + 1 >= p.size())
        return p;
    bool digits = true, positive = false;
    for (size_t i = dot + 1; i < p.size(); ++i) {
        if (p[i] < '0' || p[i] > '9')
            digits = false;
        else if (p[i] != '0')
            positive = true;
    }
    return digits && positive ? p.substr(0, dot) : p;
}

bool SplitMerge_MakeName(const char* source, const char* dstFolder, const char* mask, int number,
                         std::string& out)
{
    std::string src = source ? source : "";
    size_t sep = src.find_last_of("\\/:");
    std::string folder = sep == std::string::npos ? std::string() : src.substr(0, sep + 1);
    std::string file = sep == std::string::npos ? src : src.substr(sep + 1);
    size_t dot = file.rfind('.');
    std::string srcName = dot == std::string::npos ? file : file.substr(0, dot);
    std::string srcExt = dot == std::string::npos ? std::string() : file.substr(dot);

    std::string m = mask && mask[0] ? mask : "*.*";
    size_t mdot = m.rfind('.');
    std::string maskName = mdot == std::string::npos ? m : m.substr(0, mdot);
    std::string maskExt = mdot == std::string::npos ? std::string() : m.substr(mdot);

    std::string name = !maskName.empty() && maskName[0] == '*' ? srcName : maskName;
    std::string ext = maskExt.compare(0, 2, ".*") == 0 ? srcExt : maskExt;
    if (dstFolder && dstFolder[0]) {
        folder = dstFolder;
        if (!IsSep(folder.back()))
            folder += '\\';
    }
    out = folder + name + ext;
    if (number > 0) {
        char num[8];
        snprintf(num, sizeof(num), ".%03d", number);
        out += num;
    }
    return out.size() < MAX_PATH && (!name.empty() || !ext.empty());
}

DWORD SplitMerge_ParseSize(const char* text)
{
    if (!text)
        return 0;
    while (*text == ' ' || *text == '\t')
        ++text;
    unsigned long long value = 0;
    int digits = 0;
    for (; *text >= '0' && *text <= '9'; ++text, ++digits) {
        value = value * 10 + (*text - '0');
        if (value > 0xFFFFFFFFull)
            return 0;
    }
    while (*text == ' ' || *text == '\t')
        ++text;
    return digits && !*text ? static_cast<DWORD>(value) : 0;
}

namespace {

// ---- the run

class SplitMergeRun {
public:
    SplitMergeRun(HWND owner, FrameOpts& opts, bool merge, bool deleteSource)
        : m_owner(owner), m_opts(opts), m_merge(merge), m_deleteSource(deleteSource),
          m_progress(owner)
    {
        m_buffer = static_cast<char*>(VirtualAlloc(NULL, kBlock, MEM_COMMIT, PAGE_READWRITE));
        m_overwrite.placement = m_delete.placement = SplitMergeUi_Placement(opts, "DlgYesNoToAll");
    }
    SplitMergeRun(const SplitMergeRun&) = delete;
    SplitMergeRun& operator=(const SplitMergeRun&) = delete;
    ~SplitMergeRun()
    {
        m_progress.Close();
        if (m_buffer)
            VirtualFree(m_buffer, 0, MEM_RELEASE);
    }

    bool HasBuffer() const { return m_buffer != nullptr; }
    // sources: a shell path list. True when every source was handled (or skipped by the user).
    bool Split(const char* sources, const char* dstFolder, const char* mask, DWORD segSize);
    bool Merge(const char* sources, const char* dstFolder, const char* mask);

private:
    enum CopyResult { CopyDone, CopyCancelled, CopyFailed };
    CopyResult CopyBlocks(HANDLE from, HANDLE to, ULONGLONG length);
    void Start();
    void NotifyChanged(const char* path);
    bool DeleteOrReport(const char* path);
    void RefuseName(const char* path);
    // Retry and Cancel around a failed open; true for Retry.
    bool AskRetry(int stringId, const char* path);

    HWND m_owner;
    FrameOpts& m_opts;
    bool m_merge;
    bool m_deleteSource;
    Progress m_progress;
    char* m_buffer;
    YesNoToAllDlg m_overwrite;
    YesNoToAllDlg m_delete;
    int m_barPos = 1;         // the bar's position in whole blocks, from its range's start
    DWORD m_barShown = 0;     // when it was last shown
};

void SplitMergeRun::Start()
{
    m_progress.SetTitle(ResStr(m_merge ? IDS_SM_MERGING : IDS_SM_SPLITTING));
    m_progress.SetText(0, ResStr(IDS_SM_SOURCE));
    m_progress.SetText(2, ResStr(IDS_SM_TARGET));
}

SplitMergeRun::CopyResult SplitMergeRun::CopyBlocks(HANDLE from, HANDLE to, ULONGLONG length)
{
    // Asking for a cancel is a wait on an event (a trip to the server under Wine): it is asked
    // at most ten times a second, with the bar, not once a block.
    DWORD asked = GetTickCount();
    if (m_progress.IsCanceled())
        return CopyCancelled;
    while (length) {
        if (GetTickCount() - asked >= 100) {
            asked = GetTickCount();
            if (m_progress.IsCanceled())
                return CopyCancelled;
        }
        DWORD chunk = length >= kBlock ? kBlock : static_cast<DWORD>(length);
        DWORD done = 0;
        if (!ReadFile(from, m_buffer, chunk, &done, NULL) || done != chunk) {
            if (GetLastError() == ERROR_SUCCESS)
                SetLastError(ERROR_HANDLE_EOF);   // the source shrank under us
            MsgLastError(m_owner);
            return CopyFailed;
        }
        if (!WriteFile(to, m_buffer, chunk, &done, NULL) || done != chunk) {
            if (GetLastError() == ERROR_SUCCESS)
                SetLastError(ERROR_DISK_FULL);
            MsgLastError(m_owner);
            return CopyFailed;
        }
        length -= chunk;
        if (chunk == kBlock) {
            // A message to the dialog's thread for every block would cost more than the copy.
            ++m_barPos;
            if (GetTickCount() - m_barShown >= 100) {
                m_progress.SetPos(m_barPos);
                m_barShown = GetTickCount();
            }
        }
    }
    m_progress.SetPos(m_barPos);
    return CopyDone;
}

void SplitMergeRun::NotifyChanged(const char* path)
{
    SHChangeNotify(SHCNE_UPDATEITEM, SHCNF_PATHA | SHCNF_FLUSH, path, NULL);
}

bool SplitMergeRun::DeleteOrReport(const char* path)
{
    if (DeleteFileA(path) || !PathExists(path))
        return true;
    Msg(m_owner, MB_OK | MB_ICONERROR, IDS_SM_CANNOT_DELETE, path);
    return false;
}

void SplitMergeRun::RefuseName(const char* path)
{
    Msg(m_owner, MB_OK | MB_ICONERROR, IDS_SM_UNSAFE_NAME, path ? path : "");
}

bool SplitMergeRun::AskRetry(int stringId, const char* path)
{
    return Msg(m_owner, MB_RETRYCANCEL | MB_ICONERROR, stringId, path) == IDRETRY;
}

bool SplitMergeRun::Split(const char* sources, const char* dstFolder, const char* mask, DWORD segSize)
{
    if (!segSize)
        return false;
    Start();
    for (const char* src = sources; *src; src += strlen(src) + 1) {
        if (m_progress.IsCanceled())
            break;
        if (!IsExactPath(src)) {
            RefuseName(src);
            continue;
        }
        WIN32_FILE_ATTRIBUTE_DATA info;
        if (!GetFileAttributesExA(src, GetFileExInfoStandard, &info) ||
            (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;   // folders are not split
        ULONGLONG size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        ULONGLONG count64 = (size + segSize - 1) / segSize;
        if (count64 == 0)
            continue;
        if (count64 > kMaxSegments) {
            Msg(m_owner, MB_OK | MB_ICONERROR, "%s\n\n%s", ResStr(IDS_SEG_CANNOT_SPLIT).GetStr(), src);
            continue;
        }
        int count = static_cast<int>(count64);
        m_progress.SetRange(1, static_cast<int>((segSize / kBlock + 1) * count + 1));
        m_barPos = 1;
        m_progress.SetText(1, src);

        std::string folder = dstFolder ? dstFolder : "";
        bool complete = true;
        for (int k = 1; k <= count && complete; ++k) {
            if (m_progress.IsCanceled()) {
                complete = false;
                break;
            }
            ULONGLONG length = k < count ? segSize : size - static_cast<ULONGLONG>(count - 1) * segSize;
            std::string seg;
            if (!SplitMerge_MakeName(src, folder.c_str(), mask, k, seg) || !IsExactPath(seg.c_str())) {
                RefuseName(seg.c_str());
                complete = false;
                break;
            }
            if (PathExists(seg.c_str())) {
                if (m_overwrite.noAll ||
                    (!m_overwrite.yesAll &&
                     m_overwrite.Ask(m_owner, ResStrFmt(IDS_SM_OVERWRITE, seg.c_str())) != IDYES) ||
                    !DeleteOrReport(seg.c_str())) {
                    complete = false;
                    break;
                }
                // Yes to all: the rest of an older, longer set goes too.
                for (int j = k + 1; m_overwrite.yesAll && j <= kMaxSegments; ++j) {
                    std::string next;
                    if (!SplitMerge_MakeName(src, folder.c_str(), mask, j, next) ||
                        !PathExists(next.c_str()))
                        break;
                    DeleteOrReport(next.c_str());
                }
            }
            // Ask for another place while this one has too little room. A destination whose
            // volume cannot be measured is not asked about for every segment.
            char root[MAX_PATH];
            while (GetVolumeRoot(seg.c_str(), root, sizeof(root)) && GetFreeBytes(seg.c_str()) < length) {
                std::string entered = seg;
                if (!SplitMergePathDlg::Ask(m_owner, m_opts, false, entered)) {
                    complete = false;
                    break;
                }
                char full[MAX_PATH];
                StrCopyN(full, entered.c_str(), sizeof(full));
                if (entered.size() >= MAX_PATH || !MakeFullPathName(full, folder.c_str(), sizeof(full)) ||
                    !IsExactPath(full) || IsFolder(full)) {
                    RefuseName(entered.c_str());
                    continue;
                }
                if (k >= 2 && PathExists(full) && !DeleteOrReport(full))
                    continue;
                seg = full;
                StrCopyN(full, seg.c_str(), sizeof(full));
                StripFileName(full);
                folder = full;
            }
            if (!complete)
                break;

            HANDLE in;
            while ((in = CreateFileA(src, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, NULL)) == INVALID_HANDLE_VALUE) {
                if (!AskRetry(IDS_SPLIT_CANNOT_OPEN, src)) {
                    complete = false;
                    break;
                }
            }
            if (!complete)
                break;
            // A new file is made as new: "always" truncates what it opens, and a file truncated
            // to nothing is put to disk as it is closed (ext4, under Wine): a tenth of a second
            // and more a segment. One that exists after all (the check above raced) is replaced.
            HANDLE out = CreateFileA(seg.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
            while (out == INVALID_HANDLE_VALUE &&
                   (out = CreateFileA(seg.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, NULL)) == INVALID_HANDLE_VALUE) {
                if (!AskRetry(IDS_SPLIT_CANNOT_WRITE, seg.c_str())) {
                    CloseHandle(in);
                    return false;
                }
            }
            m_progress.SetText(3, seg.c_str());
            LARGE_INTEGER at;
            at.QuadPart = static_cast<LONGLONG>(k - 1) * segSize;
            CopyResult result = CopyFailed;
            if (!SetFilePointerEx(in, at, NULL, FILE_BEGIN))
                MsgLastError(m_owner);
            else
                result = CopyBlocks(in, out, length);
            CloseHandle(in);
            if (result != CopyDone) {
                // A cut segment would merge into a wrong file without a word: it goes.
                CloseHandle(out);
                DeleteFileA(seg.c_str());
                if (result == CopyFailed)
                    return false;
                complete = false;
                break;
            }
            SetFileTime(out, &info.ftCreationTime, &info.ftLastAccessTime, &info.ftLastWriteTime);
            CloseHandle(out);
            SetFileAttributesA(seg.c_str(), info.dwFileAttributes);
            NotifyChanged(seg.c_str());
        }
        // Only a source whose every segment is written and closed may go.
        if (complete && m_deleteSource && !m_delete.noAll &&
            (m_delete.yesAll || m_delete.Ask(m_owner, ResStrFmt(IDS_SPLIT_DELETE_SOURCE, src)) == IDYES)) {
            if (DeleteOrReport(src))
                NotifyChanged(src);
        }
    }
    return true;
}

bool SplitMergeRun::Merge(const char* sources, const char* dstFolder, const char* mask)
{
    // Selected files that reduce to the same base are merged once, in order of appearance.
    std::vector<std::string> bases;
    for (const char* src = sources; *src; src += strlen(src) + 1) {
        if (!IsExactPath(src)) {
            RefuseName(src);
            continue;
        }
        if (IsFolder(src))
            continue;
        std::string base = SplitMerge_BaseOf(src);
        bool known = false;
        for (const std::string& b : bases)
            known = known || SameText(b.c_str(), base.c_str());
        if (!known)
            bases.push_back(base);
    }
    Start();
    for (const std::string& firstBase : bases) {
        if (m_progress.IsCanceled())
            break;
        std::string target;
        if (!SplitMerge_MakeName(firstBase.c_str(), dstFolder, mask, 0, target) ||
            !IsExactPath(target.c_str())) {
            RefuseName(target.c_str());
            continue;
        }
        // The target must not be one of the segments it is made of.
        if (SplitMerge_BaseOf(target.c_str()) != target &&
            SameText(SplitMerge_BaseOf(target.c_str()).c_str(), firstBase.c_str())) {
            Msg(m_owner, MB_OK | MB_ICONERROR, IDS_SM_TARGET_IS_SEGMENT, target.c_str());
            continue;
        }
        if (PathExists(target.c_str())) {
            if (m_overwrite.noAll)
                continue;
            bool gone = false;
            while (m_overwrite.yesAll ||
                   m_overwrite.Ask(m_owner, ResStrFmt(IDS_SM_OVERWRITE, target.c_str())) == IDYES) {
                if (DeleteFileA(target.c_str()) || !PathExists(target.c_str())) {
                    gone = true;
                    break;
                }
                if (m_overwrite.yesAll) {
                    // Asking again would never end: report it and leave this base.
                    Msg(m_owner, MB_OK | MB_ICONERROR, IDS_SM_CANNOT_DELETE, target.c_str());
                    break;
                }
            }
            if (!gone)
                continue;
        }

        std::string base = firstBase;
        std::vector<std::string> merged;
        HANDLE out = INVALID_HANDLE_VALUE;
        BY_HANDLE_FILE_INFORMATION last;
        bool asked = false, cancelled = false;
        for (int n = 1; n <= kMaxSegments; ++n) {
            if (m_progress.IsCanceled()) {
                cancelled = true;
                break;
            }
            char num[8];
            snprintf(num, sizeof(num), ".%03d", n);
            std::string seg = base + num;
            HANDLE in = INVALID_HANDLE_VALUE;
            if (!IsFolder(seg.c_str()))
                in = CreateFileA(seg.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, NULL);
            bool finished = false;
            while (in == INVALID_HANDLE_VALUE) {
                // Past the second segment a missing one ends a set nobody was asked about.
                if (n >= 3 && !asked) {
                    finished = true;
                    break;
                }
                asked = true;
                std::string entered = seg;
                if (!SplitMergePathDlg::Ask(m_owner, m_opts, true, entered)) {
                    finished = true;
                    break;
                }
                char full[MAX_PATH], folder[MAX_PATH];
                StrCopyN(folder, base.c_str(), sizeof(folder));
                StripFileName(folder);
                StrCopyN(full, entered.c_str(), sizeof(full));
                if (entered.size() >= MAX_PATH || !MakeFullPathName(full, folder, sizeof(full)) ||
                    !IsExactPath(full)) {
                    RefuseName(entered.c_str());
                    continue;
                }
                if (SameText(full, target.c_str())) {
                    Msg(m_owner, MB_OK | MB_ICONERROR, IDS_SM_TARGET_IS_SEGMENT, full);
                    continue;
                }
                if (!IsFolder(full))
                    in = CreateFileA(full, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, NULL);
                if (in != INVALID_HANDLE_VALUE) {
                    seg = full;
                    base = SplitMerge_BaseOf(full);   // later segments lie beside this one
                }
            }
            if (finished)
                break;
            GetFileInformationByHandle(in, &last);
            if (out == INVALID_HANDLE_VALUE) {
                while ((out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, NULL, OPEN_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, NULL)) == INVALID_HANDLE_VALUE) {
                    if (!AskRetry(IDS_MERGE_CANNOT_WRITE, target.c_str())) {
                        CloseHandle(in);
                        return false;
                    }
                }
                LARGE_INTEGER zero = {};
                SetFilePointerEx(out, zero, NULL, FILE_END);
            }
            ULONGLONG size = (static_cast<ULONGLONG>(last.nFileSizeHigh) << 32) | last.nFileSizeLow;
            m_progress.SetText(3, target.c_str());
            m_progress.SetRange(1, static_cast<int>(size / kBlock + 1));
            m_barPos = 1;
            m_progress.SetText(1, seg.c_str());
            CopyResult result = CopyBlocks(in, out, size);
            CloseHandle(in);
            if (result == CopyFailed) {
                CloseHandle(out);
                DeleteFileA(target.c_str());   // an incomplete file must not pass for the whole
                return false;
            }
            if (result == CopyCancelled) {
                cancelled = true;
                break;
            }
            merged.push_back(seg);
        }
        if (out == INVALID_HANDLE_VALUE)
            continue;
        if (cancelled) {
            CloseHandle(out);
            DeleteFileA(target.c_str());
            continue;
        }
        SetFileTime(out, &last.ftCreationTime, &last.ftLastAccessTime, &last.ftLastWriteTime);
        CloseHandle(out);
        SetFileAttributesA(target.c_str(), last.dwFileAttributes);
        NotifyChanged(target.c_str());
        // The segments go only once the whole file is written and closed.
        for (const std::string& seg : merged) {
            if (!m_deleteSource || m_delete.noAll)
                break;
            if (m_delete.yesAll ||
                m_delete.Ask(m_owner, ResStrFmt(IDS_MERGE_DELETE_SEGMENT, seg.c_str())) == IDYES) {
                if (DeleteOrReport(seg.c_str()))
                    NotifyChanged(seg.c_str());
            }
        }
    }
    return true;
}

// ---- the dialog (template 901, shared with Copy and Move)

class SplitMergeDlg : public VmDlg {
public:
    SplitMergeDlg(bool merge, ID_List& selection, const char* from, const char* to, FrameOpts& opts)
        : m_merge(merge), m_selection(selection), m_opts(opts)
    {
        StrCopyN(m_from, from ? from : "", sizeof(m_from));
        StrCopyN(m_to, to ? to : "", sizeof(m_to));
        m_renameTo.SetMaxHistSize(9);
        m_sizes.SetMaxHistSize(9);
        AddCtrl(&m_renameTo, IDC_FILEOP_RENAME_TO, "RenameToMRU");
        if (!merge)
            AddCtrl(&m_sizes, IDC_FILEOP_SEG_SIZE, "SplitSizeMRU");
        m_placement = SplitMergeUi_Placement(opts, merge ? "DlgMerge" : "DlgSplit");
    }

    bool deleteSource = false;
    DWORD segSize = 0;       // in: the remembered size; out: the size used
    bool worked = false;     // the run changed something on disk, whatever its result

    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    bool CanClose(INT_PTR result) override;

private:
    void InitSelection();
    void HideSizeControls();
    void UpdatePreview();
    void ShowSizeMenu();
    void Browse();
    std::string FirstPath();

    bool m_merge;
    ID_List& m_selection;
    FrameOpts& m_opts;
    WINDOWPLACEMENT* m_placement;
    char m_from[MAX_PATH];
    char m_to[MAX_PATH];
    ULONGLONG m_fileSize = 0;
    bool m_folder = false;   // the one selected item is a folder
    VmHistCB m_renameTo;
    VmHistCB m_sizes;
};

std::string SplitMergeDlg::FirstPath()
{
    if (m_selection.GetCount() < 1)
        return std::string();
    PIDL full(m_selection.GetFolderPidl());
    char path[MAX_PATH] = "";
    const ITEMIDLIST* item = m_selection.GetFirstPidl();
    if (!item || !full.AppendAll(item) || !GetPathOf(full, path, sizeof(path)))
        return std::string();
    return path;
}

BOOL SplitMergeDlg::OnInitDialog()
{
    SetWindowTextA(m_hWnd, m_merge ? "Merge" : "Split");
    SetIcon(m_merge ? IDI_MERGE : IDI_SPLIT);
    if (m_merge)
        HideSizeControls();
    SplitMergeUi_PlaceDialog(m_hWnd, m_placement);

    SetDlgItemTextA(m_hWnd, IDC_FILEOP_FROM_FOLDER, m_from);
    SetDlgItemTextA(m_hWnd, IDC_FILEOP_TO_FOLDER, m_to);
    CheckDlgButton(m_hWnd, IDC_FILEOP_DELETE_SOURCE, deleteSource ? BST_CHECKED : BST_UNCHECKED);
    // Segments and joined files keep their source's name unless the user types another.
    m_renameTo.SetText("*.*");

    std::string first = FirstPath();
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!first.empty() && GetFileAttributesExA(first.c_str(), GetFileExInfoStandard, &info)) {
        m_folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!m_folder)
            m_fileSize = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    }
    if (!m_merge) {
        // The remembered size, replaced by what fits: the destination's free space when the
        // file is larger, else the file's own size.
        char text[32];
        snprintf(text, sizeof(text), "%lu", (unsigned long)segSize);
        m_sizes.SetText(text);
        ULONGLONG free = GetFreeBytes(m_to);
        ULONGLONG size = free && free < m_fileSize ? free : m_fileSize;
        if (size > 0xFFFFFFFFull)
            size = 0xFFFFFFFFull;
        snprintf(text, sizeof(text), "%lu", (unsigned long)size);
        m_sizes.SetText(text);
    }
    InitSelection();
    if (!m_merge)
        UpdatePreview();
    if (m_folder && m_selection.GetCount() == 1) {
        SendMessageA(m_hWnd, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(m_hWnd, IDC_FILEOP_SELECTION), TRUE);
        return FALSE;
    }
    HWND to = GetDlgItem(m_hWnd, IDC_FILEOP_TO_FOLDER);
    SetFocus(to);
    SendMessageA(to, EM_SETSEL, 0, -1);
    return FALSE;
}

void SplitMergeDlg::InitSelection()
{
    int count = m_selection.GetCount();
    char text[MAX_PATH] = "";
    const char* verb = m_merge ? "merge" : "split";
    if (count == 1) {
        std::string path = FirstPath();
        const char* name = FindNameExt(path.c_str());
        StrCopyN(text, name ? name : path.c_str(), sizeof(text));
        if (m_folder) {
            ResStrFmt cannot(IDS_SM_CANNOT_FOLDER, verb);
            StrCopyN(text, cannot, sizeof(text));
        } else if (m_merge) {
            StrCopyN(text, SplitMerge_BaseOf(text).c_str(), sizeof(text));
        }
        int label = m_folder ? IDS_FILEOP_FOLDER : IDS_FILEOP_FILE;
        SetDlgItemTextA(m_hWnd, IDC_FILEOP_SEL_LABEL,
                        ResStr(m_merge && !m_folder ? IDS_SM_SEGMENTS_OF : label));
    } else {
        wsprintfA(text, ResStr(IDS_FILEOP_OBJECTS), count);
        if (m_merge)
            SetDlgItemTextA(m_hWnd, IDC_FILEOP_SEL_LABEL, ResStr(IDS_SM_SEGMENTS_OF));
    }
    SetDlgItemTextA(m_hWnd, IDC_FILEOP_SELECTION, text);
    if (m_folder && count == 1)
        EnableWindow(GetDlgItem(m_hWnd, IDOK), FALSE);
}

// Merge has no size: the size block goes and the dialog shrinks by its height.
void SplitMergeDlg::HideSizeControls()
{
    static const int hidden[] = {IDC_FILEOP_SEG_LABEL, IDC_FILEOP_SEG_SIZE, IDC_FILEOP_SEG_MORE,
                                 IDC_FILEOP_SEG_BYTES, IDC_FILEOP_SEG_INFO};
    CollapseDialogBlock(m_hWnd, hidden, (int)(sizeof(hidden) / sizeof(hidden[0])), IDC_FILEOP_SEG_SIZE);
}

void SplitMergeDlg::UpdatePreview()
{
    char text[64];
    GetWindowTextA(m_sizes.GetHWND(), text, sizeof(text));
    DWORD seg = SplitMerge_ParseSize(text);
    std::string info;
    bool ok = false;
    if (m_folder && m_selection.GetCount() == 1) {
        info.clear();
    } else if (m_fileSize == 0 && seg) {
        info.clear();
    } else {
        ULONGLONG count = seg ? (m_fileSize + seg - 1) / seg : 0;
        if (seg >= 1 && seg <= m_fileSize && count >= 1 && count <= kMaxSegments) {
            char buf[128];
            wsprintfA(buf, ResStr(IDS_SEG_COUNT), (DWORD)count);
            info = buf;
            if (count > 1) {
                info += ResStr(IDS_SEG_PLURAL).GetStr();
                if (m_fileSize % seg) {
                    wsprintfA(buf, ResStr(IDS_SEG_LAST), (DWORD)(m_fileSize - (count - 1) * seg));
                    info += buf;
                }
            }
            ok = count > 1;
        } else {
            info = ResStr(IDS_SEG_CANNOT_SPLIT).GetStr();
        }
    }
    SetDlgItemTextA(m_hWnd, IDC_FILEOP_SEG_INFO, info.c_str());
    EnableWindow(GetDlgItem(m_hWnd, IDOK), ok);
}

void SplitMergeDlg::ShowSizeMenu()
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    AppendMenuA(menu, MF_STRING, ID_SEGSIZE_FLOPPY, ResStr(IDS_SM_FLOPPY));
    if (m_fileSize) {
        for (int id = ID_SEGSIZE_HALF; id <= ID_SEGSIZE_TENTH; ++id)
            AppendMenuA(menu, MF_STRING, id, ResStrFmt(IDS_SM_FRACTION, id - ID_SEGSIZE_HALF + 2));
    }
    RECT r;
    GetWindowRect(GetDlgItem(m_hWnd, IDC_FILEOP_SEG_MORE), &r);
    int id = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN,
                            (r.left + r.right) / 2, (r.top + r.bottom) / 2, 0, m_hWnd, NULL);
    DestroyMenu(menu);
    ULONGLONG size = 0;
    if (id == ID_SEGSIZE_FLOPPY)
        size = kFloppySize;
    else if (id >= ID_SEGSIZE_HALF && id <= ID_SEGSIZE_TENTH) {
        int parts = id - ID_SEGSIZE_HALF + 2;
        size = (m_fileSize + parts - 1) / parts;
    }
    if (!size || size > 0xFFFFFFFFull)
        return;
    char text[32];
    snprintf(text, sizeof(text), "%lu", (unsigned long)size);
    m_sizes.SetText(text);
    UpdatePreview();
}

void SplitMergeDlg::Browse()
{
    char path[MAX_PATH] = "";
    BROWSEINFOA bi;
    ZeroMemory(&bi, sizeof(bi));
    bi.hwndOwner = m_hWnd;
    bi.pszDisplayName = path;
    ResStr title(IDS_FILEOP_BROWSE_TITLE);
    bi.lpszTitle = title;
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    ITEMIDLIST* chosen = SHBrowseForFolderA(&bi);
    if (chosen) {
        if (GetPathOf(chosen, path, sizeof(path)))
            SetDlgItemTextA(m_hWnd, IDC_FILEOP_TO_FOLDER, path);
        FreePIDL(chosen);
    }
}

bool SplitMergeDlg::OnCommand(int id, int code, HWND)
{
    switch (id) {
    case IDC_FILEOP_BROWSE:
        if (code == BN_CLICKED)
            Browse();
        return true;
    case IDC_FILEOP_SEG_MORE:
        if (code == BN_CLICKED)
            ShowSizeMenu();
        return true;
    case IDC_FILEOP_SEG_SIZE:
        if (m_merge)
            return false;
        if (code == CBN_EDITCHANGE) {
            UpdatePreview();
        } else if (code == CBN_SELCHANGE) {
            int sel = m_sizes.GetCurSel();
            char text[64];
            if (sel >= 0 && m_sizes.GetLBText(sel, text, sizeof(text)) > 0) {
                SetWindowTextA(m_sizes.GetHWND(), text);
                UpdatePreview();
            }
        }
        return false;
    case IDHELP:
        if (code == BN_CLICKED)
            OnHelp(m_merge ? 39506 : 39505);
        return true;
    }
    return false;
}

void SplitMergeDlg::OnOK()
{
    if (!IsWindowEnabled(GetDlgItem(m_hWnd, IDOK)))
        return;   // Enter while there is nothing to split
    VmWaitCursor wait;
    char dst[MAX_PATH] = "", mask[MAX_PATH] = "", text[64] = "";
    GetDlgItemTextA(m_hWnd, IDC_FILEOP_TO_FOLDER, dst, sizeof(dst));
    RemoveWhiteSpacesAndQuotes(dst);
    if (!MakeFullPathName(dst, m_from, sizeof(dst)))
        StrCopyN(dst, m_from, sizeof(dst));
    m_renameTo.GetText(mask, sizeof(mask));
    RemoveWhiteSpacesAndQuotes(mask);
    if (!mask[0])
        StrCopyN(mask, "*.*", sizeof(mask));
    deleteSource = IsDlgButtonChecked(m_hWnd, IDC_FILEOP_DELETE_SOURCE) == BST_CHECKED;
    if (!m_merge) {
        GetWindowTextA(m_sizes.GetHWND(), text, sizeof(text));
        segSize = SplitMerge_ParseSize(text);
        if (!segSize)
            return;
    }
    if (!IsExactPath(dst) || strpbrk(mask, "\\/:")) {
        Msg(m_hWnd, MB_OK | MB_ICONERROR, IDS_SM_UNSAFE_NAME, strpbrk(mask, "\\/:") ? mask : dst);
        return;
    }
    char root[MAX_PATH], alt[MAX_PATH];
    bool hasRoot = GetRootPath(ROOT_MAIN, root), hasAlt = GetRootPath(ROOT_ALT, alt);
    if ((hasRoot || hasAlt) && !(hasAlt && IsPathInRoot(ROOT_ALT, dst)) &&
        !(hasRoot && IsPathInRoot(ROOT_MAIN, dst))) {
        Msg(m_hWnd, MB_OK | MB_ICONERROR, -IDS_LIB_FILEOP_ROOT, m_merge ? "merge" : "split", dst);
        return;
    }

    int count = 0;
    int size = FileOp_MakeSrcFromIDList(&m_selection, 0, nullptr, &count, nullptr, nullptr, 0);
    if (size <= 2) {
        Msg(m_hWnd, MB_OK | MB_ICONERROR, -IDS_LIB_FILEOP_NOTHING, m_merge ? "merge" : "split", "");
        return;
    }
    std::vector<char> sources(size + 2, 0);
    FileOp_MakeSrcFromIDList(&m_selection, 0, nullptr, &count, nullptr, sources.data(), size);
    OKControls();   // the histories take the typed texts now

    SplitMergeRun run(m_hWnd, m_opts, m_merge, deleteSource);
    if (!run.HasBuffer()) {
        Msg(m_hWnd, MB_OK | MB_ICONERROR, -IDS_LIB_FILEOP_NOMEMORY, m_merge ? "merge" : "split", "");
        return;
    }
    worked = true;
    if (m_merge)
        run.Merge(sources.data(), dst, mask);
    else
        run.Split(sources.data(), dst, mask, segSize);
    CloseDialog(IDOK, 0);
}

bool SplitMergeDlg::CanClose(INT_PTR result)
{
    SplitMergeUi_SavePlacement(m_hWnd, m_placement);
    return VmDlg::CanClose(result);
}

}  // namespace

void RunSplitMerge(CMainFrame& frame, UINT id)
{
    bool merge = id == ID_CMD_MERGE;
    ViewFrame* active = frame.ActivePanel();
    ViewFrame* passive = frame.PassivePanel();
    if (!active || !passive)
        return;
    ID_List selection;
    char from[MAX_PATH] = "", to[MAX_PATH] = "";
    {
        VmWaitCursor wait;
        active->GetSelection(selection);
        GetPathOf(active->GetCurrentFolder(), from, sizeof(from));
        if (!from[0])
            StrCopyN(from, active->GetPath(), sizeof(from));
        GetPathOf(passive->GetCurrentFolder(), to, sizeof(to));
        if (!to[0])
            StrCopyN(to, passive->GetPath(), sizeof(to));
    }
    Settings2Opts& s2 = GetMainApp().m_settings.settings2;
    SplitMergeDlg dlg(merge, selection, from, to, frame.Options());
    dlg.deleteSource = s2.IsOn(S2_DELETE_SOURCE);
    dlg.segSize = s2.splitSize;
    bool ok = dlg.Modal(IDD_FILEOP, GetModuleHandleA(NULL), frame.m_hWnd) == IDOK;
    if (ok) {
        s2.Set(S2_DELETE_SOURCE, dlg.deleteSource);
        if (!merge && dlg.segSize)
            s2.splitSize = dlg.segSize;
        s2.Store();
    }
    if (!dlg.worked)
        return;
    active->Refresh();
    passive->Refresh();
    frame.UpdateStatusBar(true);
}
