#include "FileOp.h"
#include "Filter.h"
#include "Progress.h"
#include "../LibRes.h"
#include "../shell/IdList.h"
#include "../shell/Pidl.h"
#include "../ui/WaitCursor.h"
#include "../util/PathUtil.h"
#include "../util/StrUtil.h"
#include "../util/VmHistList.h"
#include <shellapi.h>
#include <string>
#include <string.h>

namespace {

// Writes a path list into a caller's buffer of size bytes while measuring the whole list. An
// entry that does not fit is left out whole, and so is every later one, so a cut list never
// holds a path that was not asked for.
class PathListWriter {
public:
    PathListWriter(char* buffer, int size) : m_buf(size > 0 ? buffer : nullptr), m_size(size) {}
    PathListWriter(const PathListWriter&) = delete;
    PathListWriter& operator=(const PathListWriter&) = delete;

    bool Filling() const { return m_buf != nullptr; }
    // True when the entry was written.
    bool Add(const char* text, size_t len)
    {
        m_need += (long long)len + 1;
        if (!m_buf || m_full)
            return false;
        if (m_need > m_size) {
            m_full = true;
            return false;
        }
        memcpy(m_buf + m_used, text, len);
        m_buf[m_used + len] = 0;
        m_used += (int)len + 1;
        return true;
    }
    bool Add(const char* text) { return Add(text, strlen(text)); }
    // Terminates the list; the bytes the whole list needs (saturated at INT_MAX).
    int Finish()
    {
        if (m_buf) {
            if (m_used == 0) {
                m_buf[0] = 0;
                if (m_size >= 2)
                    m_buf[1] = 0;
            } else {
                m_buf[m_used] = 0;
            }
        }
        long long need = m_used == 0 && m_need == 1 ? 2 : m_need;
        return need > 0x7FFFFFFF ? 0x7FFFFFFF : (int)need;
    }

private:
    char* m_buf;
    int m_size;
    int m_used = 0;
    long long m_need = 1;   // the final zero
    bool m_full = false;
};

// Offset just past the last "\", "/" or ":" (the folder part), stepping over double-byte
// characters whole.
size_t FolderPartLen(const char* path)
{
    size_t end = 0;
    for (const char* p = path; *p; p = NextChar(p)) {
        if (*p == '\\' || *p == '/' || *p == ':')
            end = (size_t)(p - path) + 1;
    }
    return end;
}

// Offset of the last "." of a name (its length when it has none).
size_t ExtStart(const char* name)
{
    const char* dot = nullptr;
    const char* p = name;
    for (; *p; p = NextChar(p)) {
        if (*p == '.')
            dot = p;
    }
    return dot ? (size_t)(dot - name) : (size_t)(p - name);
}

// Offset of the first "*" of text, or npos.
size_t FindStar(const std::string& text)
{
    for (size_t i = 0; i < text.size(); i += IsLead((BYTE)text[i]) && i + 1 < text.size() ? 2 : 1) {
        if (text[i] == '*')
            return i;
    }
    return std::string::npos;
}

// Case-insensitive comparison that never folds a trail byte.
bool SameNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && VmHistList::EqualNoCase(a.c_str(), b.c_str());
}

bool EndsWithNoCase(const std::string& text, const std::string& ending)
{
    if (ending.size() > text.size())
        return false;
    // The cut must fall on a character boundary of text.
    size_t at = text.size() - ending.size();
    size_t i = 0;
    while (i < at)
        i += IsLead((BYTE)text[i]) && i + 1 < text.size() ? 2 : 1;
    return i == at && SameNoCase(text.substr(at), ending);
}

struct SplitParts {
    std::string drive, dir, name, ext;   // ext keeps its dot
};

// "C:" or nothing; the folder part with its final separator; the name; the extension.
SplitParts SplitPathParts(const char* path)
{
    SplitParts parts;
    if (path[0] && !IsLead((BYTE)path[0]) && path[1] == ':') {
        parts.drive.assign(path, 2);
        path += 2;
    }
    size_t folder = FolderPartLen(path);
    parts.dir.assign(path, folder);
    const char* name = path + folder;
    size_t ext = ExtStart(name);
    parts.name.assign(name, ext);
    parts.ext.assign(name + ext);
    return parts;
}

// The text after the last "*" of a mask part, when one is present and only plain text follows.
std::string RequiredEnding(const std::string& part)
{
    size_t star = part.rfind('*');
    if (star == std::string::npos)
        return std::string();
    std::string ending = part.substr(star + 1);
    return ending.find('?') == std::string::npos ? ending : std::string();
}

std::string ApplyMask(const std::string& srcMask, const std::string& dstMask,
                      const std::string& name, bool extension)
{
    std::string src = srcMask, dst = dstMask, from = name;
    if (extension) {
        src.erase(0, src.find_first_not_of('.') == std::string::npos ? src.size() : src.find_first_not_of('.'));
        dst.erase(0, dst.find_first_not_of('.') == std::string::npos ? dst.size() : dst.find_first_not_of('.'));
        from.erase(0, from.find_first_not_of('.') == std::string::npos ? from.size() : from.find_first_not_of('.'));
    }
    std::string out;
    size_t star = FindStar(dst);
    if (star == std::string::npos) {
        out = dst;
    } else {
        out = dst.substr(0, star);
        size_t p = 0, s = 0;
        size_t srcStar = FindStar(src);
        if (srcStar != std::string::npos) {
            p = srcStar;
            s = src.size() - srcStar - 1;
        }
        if (p + s <= from.size())
            out += from.substr(p, from.size() - p - s);
        out += dst.substr(star + 1);
    }
    if (extension && !out.empty())
        out.insert(0, ".");
    return out;
}

void SetErrPath(char* errPath, const char* path)
{
    if (errPath)
        StrCopyN(errPath, path, MAX_PATH);
}

bool IsFolderPath(const char* path)
{
    DWORD attr = GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

unsigned __int64 FileSizeOf(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    return ((unsigned __int64)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// The path without final separators, except the one of a root ("C:\", "\").
std::string StripSep(const char* path)
{
    std::string text = path;
    while (text.size() > 1 && FolderPartLen(text.c_str()) == text.size() && text.back() != ':' &&
           !(text.size() == 3 && text[1] == ':'))
        text.pop_back();
    return text;
}

// True when path lies below folder (both without final separators).
bool IsInside(const std::string& path, const std::string& folder)
{
    if (folder.empty() || path.size() <= folder.size() ||
        !SameNoCase(path.substr(0, folder.size()), folder))
        return false;
    char next = path[folder.size()];
    char last = folder.back();
    return next == '\\' || next == '/' || last == '\\' || last == '/';
}

std::string LibString(UINT id)
{
    char text[MAX_PATH];
    if (LoadStringA(GetLibModule(), id, text, sizeof(text)) <= 0)
        return std::string();
    return text;
}

// Measures, allocates and fills a list. The source can grow between the passes (a folder
// that gets new entries): the fill is then repeated with the larger size.
template <class Build> char* BuildList(Build build, int& size, bool& noMemory)
{
    noMemory = false;
    size = build(nullptr, 0);
    for (int attempt = 0; attempt < 4 && size > 0; ++attempt) {
        char* list = static_cast<char*>(malloc((size_t)size));
        if (!list) {
            noMemory = true;
            return nullptr;
        }
        int need = build(list, size);
        if (need > 0 && need <= size) {
            size = need;
            return list;
        }
        free(list);
        size = need;
    }
    return nullptr;
}

// The "Processing..." dialog waits this long, so a quick operation shows none.
const DWORD kProgressDelayMs = 500;

int CountEntries(const char* list)
{
    int count = 0;
    for (const char* p = list; *p; p += strlen(p) + 1)
        ++count;
    return count;
}

// Hands the shell one entry of the lists at a time under the "Processing..." dialog, so that
// the user sees how far the operation is and can stop it between items: not every shell shows
// a progress window of its own or lets its work be cancelled midway. Each item the shell has
// done is whole; the ones after a cancel or a failure are not touched. Returns the shell's
// result of the last item run (ERROR_CANCELLED when the user stopped before an item).
int ShellOpByItem(const SHFILEOPSTRUCTA& whole, int count, FileOpErr& err)
{
    Progress progress(whole.hwnd, kProgressDelayMs, 0);
    progress.SetTitle(whole.lpszProgressTitle);
    // The bar keeps 16 bits of its range: many items share one step.
    const int range = count < 0x7FFF ? count : 0x7FFF;
    progress.SetRange(0, range);
    const std::string itemOf = LibString(IDS_LIB_FILEOP_ITEM_OF);
    const std::string toText = LibString(IDS_LIB_FILEOP_TO);
    const bool multiDest = (whole.fFlags & FOF_MULTIDESTFILES) != 0;
    // Without one target for each source every item goes to the same destination list.
    std::string sameTo;
    if (!multiDest) {
        const char* end = whole.pTo;
        while (*end)
            end += strlen(end) + 1;
        sameTo.assign(whole.pTo, (size_t)(end - whole.pTo) + 1);
    }
    const char* from = whole.pFrom;
    const char* to = whole.pTo;
    int result = 0;
    int bar = 0;
    for (int i = 0; i < count && *from; ++i) {
        if (progress.IsCanceled()) {
            err = FileOpErrAborted;
            result = ERROR_CANCELLED;
            break;
        }
        size_t fromLen = strlen(from);
        size_t toLen = multiDest ? strlen(to) : 0;
        std::string oneFrom(from, fromLen);
        oneFrom.append(2, '\0');
        std::string oneTo = multiDest ? std::string(to, toLen) + std::string(2, '\0') : sameTo;
        progress.SetText(0, from);
        progress.SetTextFmt(1, toText.c_str(), oneTo.c_str());
        progress.SetTextFmt(2, itemOf.c_str(), i + 1, count);

        SHFILEOPSTRUCTA shop = whole;
        shop.pFrom = oneFrom.c_str();
        shop.pTo = oneTo.c_str();
        shop.fAnyOperationsAborted = FALSE;
        result = SHFileOperationA(&shop);
        if (shop.fAnyOperationsAborted)
            err = FileOpErrAborted;
        for (int next = MulDiv(i + 1, range, count); bar < next; ++bar)
            progress.StepIt();
        // A failure ends the operation here, as one call of the shell would.
        if (result != 0)
            break;
        from += fromLen + 1;
        if (multiDest)
            to += toLen + 1;
    }
    return result;
}

}  // namespace

void FileOp_ApplyMask(const char* srcMask, const char* dstMask, const char* name, bool extension,
                      char* out, int size)
{
    if (!out || size <= 0)
        return;
    std::string result = ApplyMask(srcMask ? srcMask : "", dstMask ? dstMask : "",
                                   name ? name : "", extension);
    StrCopyN(out, result.c_str(), size);
}

int FileOp_MakeSrcFromMask(int filesOnly, const char* pattern, int* count,
                           unsigned __int64* totalSize, char* buffer, int size)
{
    PathListWriter list(buffer, size);
    int entries = 0;
    unsigned __int64 total = 0;
    if (pattern && *pattern) {
        size_t folder = FolderPartLen(pattern);
        std::string prefix(pattern, folder);
        const char* maskName = pattern + folder;
        size_t maskExt = ExtStart(maskName);
        // The shell's wildcards also match short names ("*.htm" finds "a.html" as "A~1.HTM"):
        // a text after a "*" must really end the long name.
        std::string nameEnding = RequiredEnding(std::string(maskName, maskExt));
        std::string extEnding = RequiredEnding(maskName[maskExt] ? maskName + maskExt + 1 : "");
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA(pattern, &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const char* name = found.cFileName;
                bool folderEntry = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                if (filesOnly && folderEntry)
                    continue;
                if (!strcmp(name, ".") || !strcmp(name, ".."))
                    continue;
                // A lost character came back as "?": the name would match its siblings.
                if (HasWildcard(name))
                    continue;
                size_t ext = ExtStart(name);
                if (!nameEnding.empty() && !EndsWithNoCase(std::string(name, ext), nameEnding))
                    continue;
                if (!extEnding.empty() &&
                    !EndsWithNoCase(name[ext] ? name + ext + 1 : "", extEnding))
                    continue;
                std::string path = prefix + name;
                ++entries;
                if (list.Add(path.c_str(), path.size()) && !folderEntry)
                    total += ((unsigned __int64)found.nFileSizeHigh << 32) | found.nFileSizeLow;
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
    }
    if (count)
        *count = entries;
    if (totalSize && list.Filling())
        *totalSize = total;
    return list.Finish();
}

int FileOp_MakeSrcFromIDList(ID_List* selection, int skipFolders, const char* mask, int* count,
                             unsigned __int64* totalSize, char* buffer, int size)
{
    PathListWriter list(buffer, size);
    int entries = 0;
    unsigned __int64 total = 0;
    if (selection && selection->IsReady() && selection->GetCount() > 0 &&
        selection->GetFolderPidl()) {
        Filter filter(mask && *mask ? mask : nullptr, nullptr, "|");
        PIDL folder(selection->GetFolderPidl());
        for (const ITEMIDLIST* item = selection->GetFirstPidl(); item;
             item = selection->GetNextPidl()) {
            PIDL full(folder.GetLpidl());
            char path[kMaxPathBytes];
            if (!full.AppendAll(item) || GetExactPathOf(full, path, sizeof(path)) != PathExact)
                continue;   // virtual objects have no path; refused ones are counted apart
            DWORD attr = GetFileAttributesA(path);
            if (attr == INVALID_FILE_ATTRIBUTES)
                continue;   // not the object selected
            bool isFolder = (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (mask && *mask) {
                const char* name = FindNameExt(path);
                if (!filter.Match(name ? name : path))
                    continue;
            }
            if (skipFolders && isFolder)
                continue;
            ++entries;
            if (list.Add(path) && !isFolder)
                total += FileSizeOf(path);
        }
    }
    if (count)
        *count = entries;
    if (totalSize && list.Filling())
        *totalSize = total;
    return list.Finish();
}

int FileOp_MakeSrc(int type, const FileOpSrcData* data, int* count, unsigned __int64* totalSize,
                   char* buffer, int size)
{
    if (data) {
        switch (type) {
        case FileOpSrcPattern:
        case FileOpSrcPatternFiles:
            return FileOp_MakeSrcFromMask(type == FileOpSrcPatternFiles, data->mask, count,
                                          totalSize, buffer, size);
        case FileOpSrcIDList:
            return FileOp_MakeSrcFromIDList(data->selection, data->skipFolders, data->mask, count,
                                            totalSize, buffer, size);
        }
    }
    return FileOp_MakeSrcFromMask(0, nullptr, count, totalSize, buffer, size);
}

int FileOp_MakeDst(int op, const char* mask, const char* sources, const char* dstFolder,
                   const char* dstName, FileOpErr* err, char* errPath, char* buffer, int size)
{
    if (err)
        *err = FileOpErrNone;
    SetErrPath(errPath, "");
    PathListWriter list(buffer, size);
    if (!sources)
        return list.Finish();

    std::string folder = dstFolder ? dstFolder : "";
    if (!folder.empty() && FolderPartLen(folder.c_str()) != folder.size())
        folder += '\\';
    SplitParts dst = SplitPathParts(folder.c_str());
    bool dstNetwork = IsNetworkFolder(dstFolder);

    std::string nameMask = "*", extMask = ".*";
    if (dstName && *dstName) {
        size_t ext = ExtStart(dstName);
        nameMask.assign(dstName, ext);
        extMask.assign(dstName + ext);
    }
    std::string srcNameMask, srcExtMask;
    if (mask && *mask) {
        mask += FolderPartLen(mask);   // a pattern's folder is no part of the mask
        size_t ext = ExtStart(mask);
        srcNameMask.assign(mask, ext);
        srcExtMask.assign(mask + ext);
    }

    for (const char* src = sources; *src; src += strlen(src) + 1) {
        SplitParts parts = SplitPathParts(src);
        std::string name = ApplyMask(srcNameMask, nameMask, parts.name, false) +
                           ApplyMask(srcExtMask, extMask, parts.ext, true);
        // A "?" typed in the mask, or a "*" after its first one, is copied as it stands: no
        // file may have such a name, and the shell would take it as a wildcard for others.
        if (HasWildcard(name.c_str())) {
            if (err)
                *err = FileOpErrName;
            SetErrPath(errPath, (parts.drive + parts.dir + name).c_str());
            return 0;
        }
        std::string target;
        if (op == FileOpRename) {
            target = parts.drive + parts.dir + name;
        } else {
            std::string drive = dst.drive;
            if (drive.empty() && !dstNetwork)
                drive = parts.drive;
            std::string dir = drive + (dst.dir.empty() ? parts.dir : dst.dir);
            target = dir + name;
            if (IsFolderPath(src)) {
                std::string source = StripSep(src);
                std::string into = StripSep(dir.c_str());
                // The shell would quietly do nothing (or recurse) with these.
                FileOpErr found = FileOpErrNone;
                if (SameNoCase(into, source) || SameNoCase(target, source))
                    found = FileOpErrSelf;
                else if (IsInside(into, source))
                    found = FileOpErrSubfolder;
                if (found != FileOpErrNone) {
                    if (err)
                        *err = found;
                    SetErrPath(errPath, src);
                    return 0;
                }
            }
        }
        list.Add(target.c_str(), target.size());
    }
    return list.Finish();
}

static bool FileOp_DoWorkOn(HWND owner, int op, UINT flags, int type, const FileOpSrcData* data,
                            const char* dstFolder, const char* dstName, FileOpErr* err,
                            char* errPath);

int FileOp_CountRefused(int type, const FileOpSrcData* data, char* firstName, int size)
{
    if (firstName && size > 0)
        *firstName = 0;
    int refused = 0;
    auto note = [&](const char* name) {
        if (!refused++ && firstName && size > 0)
            StrCopyN(firstName, name, size);
    };
    if (!data)
        return 0;
    if (type == FileOpSrcIDList) {
        ID_List* selection = data->selection;
        if (!selection || !selection->IsReady() || !selection->GetFolderPidl())
            return 0;
        PIDL folder(selection->GetFolderPidl());
        // The selection is walked again from its start by the list builder.
        for (const ITEMIDLIST* item = selection->GetFirstPidl(); item;
             item = selection->GetNextPidl()) {
            PIDL full(folder.GetLpidl());
            if (!full.AppendAll(item))
                continue;
            char path[kMaxPathBytes];
            int status = GetExactPathOf(full, path, sizeof(path));
            if (status == PathNone)
                continue;   // a virtual object, left out as ever
            if (status == PathExact && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
                continue;
            char name[MAX_PATH];
            GetNameForMessage(full, name, sizeof(name));
            note(name);
        }
    } else if ((type == FileOpSrcPattern || type == FileOpSrcPatternFiles) && data->mask &&
               *data->mask) {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA(data->mask, &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (type == FileOpSrcPatternFiles && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    continue;
                if (HasWildcard(found.cFileName))
                    note(found.cFileName);
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
    }
    return refused;
}

bool FileOp_DoWork(HWND owner, int op, UINT flags, int type, const FileOpSrcData* data,
                   const char* dstFolder, const char* dstName, FileOpErr* err, char* errPath)
{
    char refusedName[MAX_PATH];
    int refused = FileOp_CountRefused(type, data, refusedName, sizeof(refusedName));
    bool done = FileOp_DoWorkOn(owner, op, flags, type, data, dstFolder, dstName, err, errPath);
    if (refused > 0 && (done || (err && *err == FileOpErrNothing))) {
        // What could not be named exactly was skipped; the rest is done.
        if (err)
            *err = FileOpErrName;
        SetErrPath(errPath, refusedName);
        return false;
    }
    return done;
}

static bool FileOp_DoWorkOn(HWND owner, int op, UINT flags, int type, const FileOpSrcData* data,
                            const char* dstFolder, const char* dstName, FileOpErr* err,
                            char* errPath)
{
    VmWaitCursor wait;
    FileOpErr dummy;
    if (!err)
        err = &dummy;
    *err = FileOpErrNone;
    SetErrPath(errPath, "");
    if (op < FileOpCopy || op > FileOpDelete)
        return false;

    int srcSize = 0;
    bool noMemory = false;
    char* src = BuildList(
        [&](char* buf, int size) { return FileOp_MakeSrc(type, data, nullptr, nullptr, buf, size); },
        srcSize, noMemory);
    if (!src || srcSize <= 2) {
        free(src);
        *err = noMemory ? FileOpErrMemory : FileOpErrNothing;
        return !noMemory;
    }

    char* dst = nullptr;
    bool ftp = false;
    // A "?" or "*" in the destination folder is a lost character, never one the user meant.
    if (op != FileOpDelete && HasWildcard(dstFolder)) {
        *err = FileOpErrName;
        SetErrPath(errPath, dstFolder);
        free(src);
        return false;
    }
    if (op != FileOpDelete) {
        ftp = IsFtpFolder(dstFolder);
        if (ftp) {
            size_t len = strlen(dstFolder);
            dst = static_cast<char*>(calloc(len + 2, 1));
            if (dst)
                memcpy(dst, dstFolder, len);
            else
                noMemory = true;
        } else {
            int dstSize = FileOp_MakeDst(op, data ? data->mask : nullptr, src, dstFolder, dstName,
                                         err, errPath, nullptr, 0);
            if (dstSize > 0) {
                dst = static_cast<char*>(malloc((size_t)dstSize));
                if (!dst)
                    noMemory = true;
                else if (FileOp_MakeDst(op, data ? data->mask : nullptr, src, dstFolder,
                                        dstName, err, errPath, dst, dstSize) != dstSize) {
                    free(dst);
                    dst = nullptr;
                }
            }
        }
        if (!dst) {
            if (noMemory)
                *err = FileOpErrMemory;
            free(src);
            return false;
        }
    }

    static const UINT funcs[] = {0, FO_COPY, FO_MOVE, FO_MOVE, FO_DELETE};
    static const UINT titles[] = {0, IDS_LIB_FILEOP_COPYING, IDS_LIB_FILEOP_MOVING,
                                  IDS_LIB_FILEOP_RENAMING, IDS_LIB_FILEOP_DELETING};
    std::string title = LibString(titles[op]);
    SHFILEOPSTRUCTA shop;
    ZeroMemory(&shop, sizeof(shop));
    shop.hwnd = owner;
    shop.wFunc = funcs[op];
    shop.pFrom = src;
    shop.pTo = dst;
    shop.fFlags = (FILEOP_FLAGS)(flags | FOF_MULTIDESTFILES);
    if (op == FileOpDelete || ftp)
        shop.fFlags &= ~FOF_MULTIDESTFILES;
    shop.lpszProgressTitle = title.c_str();
    // Copying and moving can take long: item by item they can be followed and stopped.
    // Renaming and deleting are quick, and deleting asks once for the whole list.
    int count = CountEntries(src);
    int result = 0;
    if ((op == FileOpCopy || op == FileOpMove) && count > 1) {
        result = ShellOpByItem(shop, count, *err);
    } else {
        result = SHFileOperationA(&shop);
        if (shop.fAnyOperationsAborted)
            *err = FileOpErrAborted;
    }
    free(src);
    free(dst);
    return result == 0;
}
