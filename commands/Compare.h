// Compare selects in both panels the objects that differ between the two folders by name and
// last-write time; Synchronize makes the passive folder a copy of the active selection.
#pragma once
#include <windows.h>
#include <string>

class CMainFrame;
class Progress;

// Command 38214; the command table has checked the policy.
void RunCompare(CMainFrame& frame, UINT id);
// Command 38215.
void RunSynchronize(CMainFrame& frame, UINT id);

class ViewFrame;

// The two panels that Compare and Synchronize work on and their file-system folders; false (after
// the user declined the warning about a panel filter) when there is nothing to do.
bool Compare_TakePanels(CMainFrame& frame, ViewFrame*& active, ViewFrame*& passive,
                        char (&pathA)[MAX_PATH], char (&pathP)[MAX_PATH]);

// What qualifies an entry of this folder against the other (bits of the compare choices).
struct CompareCriteria {
    bool unique = false, newer = false, same = false, older = false;
};

// Compares two folders in both directions at once, each folder of the two trees read once and
// the two folders of a pair at the same time (FolderPairReader):
// criteria[0] qualifies the entries of folder[0] against folder[1], criteria[1] the other way.
// For each side in `need` (bit 1: folder[0], bit 2: folder[1]) onMatch, when given, is called
// with every qualifying top-level name of that side; without it the comparison of a side ends
// at its first qualifying entry (the question asked of a subfolder). The bits of the sides
// that qualified; cancelled is set when the user cancelled (progress may be null). It touches
// no window but progress's, so it may run on a thread of its own.
typedef void (*CompareMatchFn)(int side, const char* name, void* context);
unsigned Compare_Trees(const std::string folder[2], const CompareCriteria criteria[2], bool subfolders,
                       unsigned need, Progress* progress, CompareMatchFn onMatch, void* context,
                       bool* cancelled);
