// The application object: one per process. Runs InitInstance, the message loop with
// accelerators and idle update of command states, and ExitInstance; keeps profile values in the
// registry under HKCU\Software\<registry key>\<profile name>.
#pragma once
#include <windows.h>
#include <string>
#include "CmdLineInfo.h"
#include "Wnd.h"

namespace fw {

class App {
public:
    explicit App(const char* appName = nullptr);
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    virtual ~App();
    static App* Get();

    virtual bool InitInstance();
    virtual int Run();
    virtual int ExitInstance();
    // Idle work after the queue empties; return true to be called again.
    virtual bool OnIdle(long count);
    virtual bool PreTranslateMessage(MSG* msg);

    void SetRegistryKey(const char* company);
    // Profile values; all return the default when the value is missing or of another size.
    UINT GetProfileInt(const char* section, const char* entry, int def);
    bool WriteProfileInt(const char* section, const char* entry, int value);
    std::string GetProfileString(const char* section, const char* entry, const char* def = "");
    bool WriteProfileString(const char* section, const char* entry, const char* value);
    bool GetProfileBinary(const char* section, const char* entry, std::string& data);
    bool WriteProfileBinary(const char* section, const char* entry, const void* data, UINT size);
    // The profile's key path below HKCU ("Software\<key>\<profile>"), empty without a key.
    std::string ProfileKey() const;
    void LoadStdProfileSettings(UINT mruCount);

    void ParseCommandLine(CommandLineInfo& info);
    bool ProcessShellCommand(CommandLineInfo& info);

    HINSTANCE m_hInstance = NULL;
    const char* m_lpCmdLine = "";
    int m_nCmdShow = SW_SHOWNORMAL;
    Wnd* m_pMainWnd = nullptr;
    std::string m_appName;
    std::string m_registryKey;
    std::string m_helpFilePath;
    UINT m_mruCount = 0;

private:
    bool PumpMessage();
    static App* s_app;
};

// Program entry for a program whose application object exists: InitInstance, Run, ExitInstance.
int AppMain(HINSTANCE inst, const char* cmdLine, int show);

}  // namespace fw
