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

// What qualifies an entry of this folder against the other (bits of the compare choices).
struct CompareCriteria {
    bool unique = false, newer = false, same = false, older = false;
};

// The folder comparison below the top level: true as soon as one entry of thisFolder
// qualifies against otherFolder. At the top level onMatch is called for each qualifying name
// (and the comparison goes on); progress may be null.
typedef void (*CompareMatchFn)(const char* name, void* context);
bool Compare_Folders(const std::string& thisFolder, const std::string& otherFolder,
                     const CompareCriteria& criteria, bool subfolders, Progress* progress,
                     CompareMatchFn onMatch, void* context);
