// Path conversions that consult the file system, the network and the shell: short and long
// forms, universal names, special-folder paths, folder creation and starting files.
// All take 8-bit paths in buffers of MAX_PATH characters; "/" counts as "\". A text that does
// not fit MAX_PATH is refused (false) and left as it is.
#pragma once
#include "../Panorel32.h"
#include "Pidl.h"   // IsDosFolder, IsRootFolder, IsNetworkFolder

// The short (8.3) form in place. A path that does not exist yet keeps its missing tail:
// the longest existing prefix is shortened. False when nothing could be converted.
PANOREL32_API bool ConvertToShortPath(char* path);
// Every 8.3 component replaced by its long name, in place; false (path unchanged) when the
// path cannot be walked.
PANOREL32_API bool ShortToLFN(char* path);
// Long form with the file system's own spelling of each component, in place.
PANOREL32_API bool DosPathToShellPath(char* path);
// Universal (UNC) name of a path on a network drive into out (size bytes); out is "" and the
// result false when there is none or it does not fit.
PANOREL32_API bool GetUniversalName(char* out, int size, const char* path, int upper);
PANOREL32_API bool ConvertPathToUNC(char* path);
// Creates the folder and every missing parent; path must be a full path (drive or network).
PANOREL32_API bool CreateFolder(const char* path);
// File-system path of a shell special folder into out (MAX_PATH); "" and false when it has
// none or it is not an existing folder.
PANOREL32_API bool GetSpecialFolderPath(HWND owner, int csidl, char* out);
// Starts a file through the shell. With process given, the started process's handle (or null)
// is returned there and the caller closes it.
PANOREL32_API bool RunFile(const char* file, const char* parameters, const char* verb,
                           ULONG mask = 0, HANDLE* process = NULL);
