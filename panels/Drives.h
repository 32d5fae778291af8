// The drives and network places the drive bars and the Drive and Network menus offer: found in
// My Computer and the network neighbourhood as the shell lists them, each with its identifier
// lists, its type and its name.
#pragma once
#include "shell/Pidl.h"
#include <memory>
#include <vector>

// One drive of My Computer that has a drive-bar button.
struct DriveInfo {
    int index = -1;            // 0 = A: ... 25 = Z:
    UINT type = 0;             // GetDriveType of the root
    PIDL abs;                  // My Computer + the drive
    PIDL rel;                  // the drive, relative to My Computer
    char name[MAX_PATH] = "";  // the shell's normal display name
};
using DriveList = std::vector<std::unique_ptr<DriveInfo>>;

// A folder of the network neighbourhood.
struct NetPlace {
    PIDL abs;
    char name[MAX_PATH] = "";
};
using NetPlaceList = std::vector<std::unique_ptr<NetPlace>>;

// Image of a drive type in the drive bar bitmap: removable 0, fixed 1, remote 2, CD-ROM 3,
// RAM disk 4; -1 for the types that get no button.
int DriveImageOf(UINT driveType);
// Drive index of a path that starts with a drive letter and a colon, else -1.
int DriveIndexOfPath(const char* path);
// The drives of My Computer, in the shell's order: folders that are or hold file-system
// objects, whose parsing name is a drive root of a known type; their display names only when
// asked (a name may cost a look at the volume). False when My Computer cannot be read; the
// list is cleared first.
bool EnumDrives(DriveList& out, bool names);
// At most `max` folders of the network neighbourhood that are or hold file-system objects.
bool EnumNetPlaces(NetPlaceList& out, int max);
// A menu text for a name: any "&" of the name doubled, so that it shows as written, and for a
// drive (0 = A:; -1 for none) "&" put before the first occurrence of its letter, which becomes
// the mnemonic. Writes at most size - 1 bytes; returns the length written, -1 for bad arguments.
int MakeDriveMenuText(const char* name, int drive, char* out, int size);
// True when a remembered folder may be a drive's target: its full shell name names an existing
// folder outside the network shortcuts folder.
bool IsUsableDriveFolder(const ITEMIDLIST* folder);
