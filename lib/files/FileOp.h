// The file-operation engine: builds the shell's double-zero-terminated path lists (paths
// separated by one zero byte, ended by a second; an empty list is two zero bytes) and hands
// copying, moving, renaming and deleting to SHFileOperationA.
#pragma once
#include "../Panorel32.h"

class ID_List;

enum FileOp { FileOpCopy = 1, FileOpMove = 2, FileOpRename = 3, FileOpDelete = 4 };

enum FileOpSrcType {
    FileOpSrcPattern = 1,        // all entries matching a path pattern
    FileOpSrcPatternFiles = 2,   // the same, files only
    FileOpSrcIDList = 10         // the items of a selection
};

struct FileOpSrcData {
    int skipFolders;       // leave folders out of a selection
    const char* mask;      // may be null
    ID_List* selection;
};

enum FileOpErr {
    FileOpErrNone = 0,
    FileOpErrNothing = 1,      // the source list is empty
    FileOpErrSelf = 2,         // a folder would be copied or moved onto itself
    FileOpErrSubfolder = 3,    // ... into its own subfolder
    FileOpErrMemory = 4,
    FileOpErrAborted = 5,      // the user cancelled some of the shell's operations
    FileOpErrRoot = 6,         // the destination lies outside the allowed root path
    FileOpErrName = 7          // objects were skipped: their paths cannot be handed on exactly
};

// The list builders return the bytes the whole list needs (2 for an empty list). With a buffer
// of size bytes they also write it: entries that do not fit are left out whole and the list is
// always terminated within size, so a result larger than size means the list was cut (the
// folder may have grown since it was measured). count and totalSize, when not null, receive
// the number of entries and the sum of their sizes; sizes are summed only while filling.
PANOREL32_API int FileOp_MakeSrc(int type, const FileOpSrcData* data, int* count,
                                 unsigned __int64* totalSize, char* buffer, int size);
PANOREL32_API int FileOp_MakeSrcFromMask(int filesOnly, const char* pattern, int* count,
                                         unsigned __int64* totalSize, char* buffer, int size);
PANOREL32_API int FileOp_MakeSrcFromIDList(ID_List* list, int skipFolders, const char* mask,
                                           int* count, unsigned __int64* totalSize,
                                           char* buffer, int size);

// One destination path for each source of the list, in the same order, built from dstFolder
// and the name mask dstName (empty: "*.*") and, when given, the source mask. Returns the
// list's size, 0 on error: err is then set and errPath (MAX_PATH bytes, may be null) receives
// the source concerned. The same rule as above applies to buffer and size.
PANOREL32_API int FileOp_MakeDst(int op, const char* mask, const char* sources,
                                 const char* dstFolder, const char* dstName, FileOpErr* err,
                                 char* errPath, char* buffer, int size);

// Performs the operation; flags are the shell's FOF_ flags. True on success; "nothing to do"
// is a success with err FileOpErrNothing. errPath holds MAX_PATH bytes (may be null).
// Copying and moving more than one item hand the shell one item at a time under the
// "Processing..." dialog (owner: the window to centre it on), which appears after half a
// second; its Cancel stops the operation before the next item (err FileOpErrAborted, false),
// and so does the first item the shell fails. Items done are whole, the rest untouched.
// The objects of the source that are left out because their paths cannot be handed to the
// shell as the very objects chosen: a name the code page cannot hold, a "?" or "*" that came
// from a selection or an enumeration, a path too long, or an object that is not there.
// firstName (size bytes, may be null) receives the first one's name for a message.
PANOREL32_API int FileOp_CountRefused(int type, const FileOpSrcData* data, char* firstName,
                                      int size);
// With refused objects (FileOp_CountRefused) the rest is done, then the result is false with
// err FileOpErrName and errPath the first refused name.
PANOREL32_API bool FileOp_DoWork(HWND owner, int op, UINT flags, int type,
                                 const FileOpSrcData* data, const char* dstFolder,
                                 const char* dstName, FileOpErr* err, char* errPath);

// The new name part by the mask rule: the destination mask's text before its first "*", then
// (when it has one) the part of name that the source mask's "*" matched and the rest of the
// destination mask. Extension parts drop their leading dots and the result gets one back when
// anything follows it. The result is cut to fit size bytes.
PANOREL32_API void FileOp_ApplyMask(const char* srcMask, const char* dstMask, const char* name,
                                    bool extension, char* out, int size);
