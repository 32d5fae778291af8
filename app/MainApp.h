// The application object of panorel: start-up, the single-instance rule, the start-up request,
// the messages between instances, and what is stored and run at exit.
#pragma once
#include "framework/App.h"
#include "app/MainCmdLine.h"
#include "app/Settings.h"

class CMainFrame;
class CSplashThread;

class CMainApp : public fw::App {
public:
    CMainApp();
    ~CMainApp() override;

    bool InitInstance() override;
    int ExitInstance() override;
    bool OnIdle(long count) override;

    // Stores the option groups and, when asked to reopen after a restart, the RunOnce entry.
    void OnEndSession();
    // Closes the splash if it is still up.
    void CloseSplash();
    CMainFrame* MainFrame() const;

    SettingsOpts m_settings;
    StartRequest m_request;
    char m_transferCommand[MAX_PATH];   // handed to RunDll32 at exit; empty unless a transfer runs
    UINT m_panorelMsg = 0;               // "PanorelMsg"
    UINT m_companyMsg = 0;               // "CorvaneMessage"
    char m_helpPath[MAX_PATH];
    bool m_canAutoComplete = false;

private:
    bool PreloadSettings();
    bool CheckRootPaths();
    void RunTransferCommand();
    void OfferTipOfTheDay(HWND owner);

    CSplashThread* m_splash = nullptr;
    bool m_started = false;   // InitInstance got past the single-instance and root checks
};

CMainApp& GetMainApp();
