// Tools - Import settings and Export settings: the program closes itself and its other
// instances and hands the file to the library's RunDll32 entry points.
#pragma once

class CMainFrame;

void SettingsTransfer_Run(CMainFrame& frame, bool import);
