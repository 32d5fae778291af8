// Stamp: sets the creation, last-access and/or last-write times of the active panel's
// selection to a typed date and/or time.
#pragma once
#include <windows.h>

class CMainFrame;
struct StampValue;

void Stamp_Run(CMainFrame& frame);

// Stamps one file or folder: the times whose flag is set get the value, the others are
// written back unchanged. False (nothing written) when it cannot be opened, a time has no
// real form, or the system refuses the times.
bool StampObject(const char* path, const StampValue& value, bool created, bool accessed,
                 bool modified);
