// Administrator policies: values under the policy key that lock commands, shell keys and window
// positions, restrict browsing to a root folder or force a settings file at every start.
// They are read afresh at every check so a change takes effect at the next command.
#pragma once
#include <windows.h>
#include <shlobj.h>

extern const char sz_PolicyKey[];   // "HKCU\SOFTWARE\Policies\Corvane\Panorel"

// True when the DWORD policy is non-zero; shows the restriction message then if asked.
bool IsPolicyOn(const char* name, bool showMessage);
// The administrator's message, or the standard one, or nothing (custom message on but empty).
void ShowRestrictedMessage();
// A policy string of up to 260 bytes; true when it is not empty.
bool GetPolicyString(const char* name, char* buffer);

// Root paths: the folder the program must keep to, and the alternative one.
enum RootKind { ROOT_MAIN, ROOT_ALT };
// The policy's folder (MAX_PATH bytes); false when none is set.
bool GetRootPath(RootKind kind, char* buffer);
// True when no root is set or the path lies inside it (its first characters match the root's,
// without regard to case).
bool IsPathInRoot(RootKind kind, const char* path);
// True when the root is set but the folder does not exist (the start-up check).
bool IsRootPathMissing(RootKind kind);
// True when no root is set, or when the folder is an existing file-system folder that lies
// inside the root once links and junctions are resolved (the folder itself and the root both).
bool IsFolderInRoot(RootKind kind, const ITEMIDLIST* folder);
// The root that confines a panel: the alternative one for the second panel when it is set.
RootKind RootKindOfPanel(int index);
// The refusal of a folder outside the root.
void ShowOutsideRootMessage(HWND owner, const ITEMIDLIST* folder);

// The shell key filter for key messages bound for a panel: true when the message must be
// swallowed (the restriction message has been shown).
bool FilterShellKey(const MSG* msg);
