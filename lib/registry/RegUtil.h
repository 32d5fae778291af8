// Registry helpers of the maker's products: the move from the former company's key, the
// machine-wide home folder, window rectangles and the shell registrations.
#pragma once
#include "RegKey.h"

// Moves the subkey `name` of the former company's key ("Software\Velmora" under HKCU when perUser
// is non-zero, else HKLM) under the maker's key, unless the new key exists already. The old key
// is removed only after a complete copy; false when the copy could not be made.
PANOREL32_API bool MoveFormerKey(int perUser, const char* name);

// True when the machine-wide maker's key can be written.
PANOREL32_API bool IsPowerUser();

// A rectangle as the DWORD values prefix+"L", "T", "R", "B". Reading keeps the fields whose
// values are missing and is true only when all four were found.
PANOREL32_API bool RegGetRect(RegKey& key, RECT* rect, const char* prefix);
PANOREL32_API bool RegPutRect(RegKey& key, const RECT* rect, const char* prefix);

// The string "Home" in "HKLM\Software\Corvane\<name>\Setup" by operation code. Remove and update
// move the former machine key first; check and read fall back to the former key.
PANOREL32_API bool ProcessHomeFolder(RegKey::Op op, const char* name, char* text, int size);
// Reads the home folder into buffer (MAX_PATH bytes, emptied first).
PANOREL32_API bool GetHomeFolder(const char* name, char* buffer);
// The current application's home folder (MAX_PATH bytes): the stored one, else the folder of
// the library's own file, which is then stored.
PANOREL32_API bool GetHomeDir(char* buffer);

// The shell verb "Open with Panorel" on drives and folders. Update writes it, remove deletes
// it, check is true when both carry exactly our command, read when both carry a command.
// A failed update or remove tells the user (owned by `owner`).
PANOREL32_API int RegisterFolderCtxMenuCommands(HWND owner, RegKey::Op op);

// An in-process shell extension: its server key under "HKCLS\CLSID", the handler entry
// "<fileType>\shellex\<handlerKind>\<name>" and its approval. clsid is "{...}".
PANOREL32_API bool RegisterShellExt(RegKey::Op op, const char* clsid, const char* name,
                                    const char* dllPath, const char* fileType,
                                    const char* handlerKind);
// The same as a context-menu handler.
PANOREL32_API bool SetupCtxMenuRegistry(RegKey::Op op, const char* clsid, const char* name,
                                        const char* dllPath, const char* fileType);
