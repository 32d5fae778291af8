// The splash: the About box shown without owner on a user-interface thread of its own, ended
// by the main thread once the main window is set up.
#pragma once
#include "framework/WinThread.h"

class CSplashThread : public fw::WinThread {
public:
    // Creates the thread suspended and resumes it.
    static CSplashThread* Start();
    // Ends the splash thread and deletes the object; null is fine.
    static void Close(CSplashThread*& splash);

protected:
    bool InitInstance() override;
    int ExitInstance() override;
};

// The About box (dialog 142), filled with the product name and version.
INT_PTR CALLBACK AboutDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
