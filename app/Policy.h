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
// True when path is folder or lies below it (case-insensitive, matching whole components).
bool PathLiesIn(const char* path, const char* folder);
// The root that confines panel index (0 or 1): the alternative root for the second panel when
// it is set, else the root. False when neither applies.
bool GetPanelRoot(int panelIndex, RootKind& kind);
// True when no root confines the panel or the folder lies inside it. Both sides are compared
// as canonical final paths (links, junctions, "..", trailing dots and spaces resolved), never
// as text prefixes; a folder without a file-system path lies outside any root.
bool IsFolderInRoot(int panelIndex, const ITEMIDLIST* folder);
bool IsPathInPanelRoot(int panelIndex, const char* path);
// True when the root is set but the folder does not exist (the start-up check).
bool IsRootPathMissing(RootKind kind);

// The shell key filter for key messages bound for a panel: true when the message must be
// swallowed (the restriction message has been shown).
bool FilterShellKey(const MSG* msg);
