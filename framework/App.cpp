#include "App.h"
#include <stdlib.h>
#include <string.h>

namespace fw {

App* App::s_app;

App::App(const char* appName)
{
    s_app = this;
    if (appName)
        m_appName = appName;
}

App::~App()
{
    if (s_app == this)
        s_app = nullptr;
}

App* App::Get()
{
    return s_app;
}

bool App::InitInstance()
{
    return true;
}

bool App::PreTranslateMessage(MSG* msg)
{
    // The window that got the message first, then its top-level frame.
    for (HWND w = msg->hwnd; w; w = GetParent(w)) {
        Wnd* obj = Wnd::FromHandle(w);
        if (obj && obj->PreTranslateMessage(msg))
            return true;
    }
    return false;
}

bool App::OnIdle(long)
{
    return false;
}

bool App::PumpMessage()
{
    MSG msg;
    if (GetMessageA(&msg, NULL, 0, 0) <= 0)
        return false;
    if (!PreTranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

int App::Run()
{
    long idleCount = 0;
    bool idle = true;
    for (;;) {
        MSG msg;
        while (idle && !PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idle = false;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            // Mouse moves and timers do not restart the idle work on their own.
            if (msg.message != WM_MOUSEMOVE && msg.message != WM_TIMER && msg.message != 0x0118) {
                idle = true;
                idleCount = 0;
            }
        } while (PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
    }
}

int App::ExitInstance()
{
    return 0;
}

void App::SetRegistryKey(const char* company)
{
    m_registryKey = company ? company : "";
}

std::string App::ProfileKey() const
{
    if (m_registryKey.empty())
        return std::string();
    return "Software\\" + m_registryKey + "\\" + m_appName;
}

namespace {
HKEY OpenSection(const std::string& base, const char* section, bool create)
{
    if (base.empty() || !section)
        return NULL;
    std::string path = base + "\\" + section;
    HKEY key = NULL;
    LONG r = create ? RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, NULL, 0,
                                      KEY_READ | KEY_WRITE, NULL, &key, NULL)
                    : RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
    return r == ERROR_SUCCESS ? key : NULL;
}
}  // namespace

UINT App::GetProfileInt(const char* section, const char* entry, int def)
{
    HKEY key = OpenSection(ProfileKey(), section, false);
    if (!key)
        return def;
    DWORD value = 0, size = sizeof(value), type = 0;
    LONG r = RegQueryValueExA(key, entry, NULL, &type, (BYTE*)&value, &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(value) ? value : (UINT)def;
}

bool App::WriteProfileInt(const char* section, const char* entry, int value)
{
    HKEY key = OpenSection(ProfileKey(), section, true);
    if (!key)
        return false;
    DWORD v = value, old = 0, size = sizeof(old), type = 0;
    // Unchanged values are not written again.
    bool same = RegQueryValueExA(key, entry, NULL, &type, (BYTE*)&old, &size) == ERROR_SUCCESS &&
                type == REG_DWORD && size == sizeof(old) && old == v;
    bool ok = same || RegSetValueExA(key, entry, 0, REG_DWORD, (const BYTE*)&v, sizeof(v)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

std::string App::GetProfileString(const char* section, const char* entry, const char* def)
{
    std::string result = def ? def : "";
    HKEY key = OpenSection(ProfileKey(), section, false);
    if (!key)
        return result;
    DWORD size = 0, type = 0;
    if (RegQueryValueExA(key, entry, NULL, &type, NULL, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::string buf(size + 1, '\0');
        if (RegQueryValueExA(key, entry, NULL, &type, (BYTE*)&buf[0], &size) == ERROR_SUCCESS)
            result = buf.c_str();
    }
    RegCloseKey(key);
    return result;
}

bool App::WriteProfileString(const char* section, const char* entry, const char* value)
{
    HKEY key = OpenSection(ProfileKey(), section, true);
    if (!key)
        return false;
    bool ok = value ? RegSetValueExA(key, entry, 0, REG_SZ, (const BYTE*)value,
                                     (DWORD)strlen(value) + 1) == ERROR_SUCCESS
                    : RegDeleteValueA(key, entry) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool App::GetProfileBinary(const char* section, const char* entry, std::string& data)
{
    data.clear();
    HKEY key = OpenSection(ProfileKey(), section, false);
    if (!key)
        return false;
    DWORD size = 0, type = 0;
    bool ok = false;
    if (RegQueryValueExA(key, entry, NULL, &type, NULL, &size) == ERROR_SUCCESS &&
        type == REG_BINARY) {
        data.resize(size);
        ok = RegQueryValueExA(key, entry, NULL, &type, (BYTE*)&data[0], &size) == ERROR_SUCCESS;
        data.resize(ok ? size : 0);
    }
    RegCloseKey(key);
    return ok;
}

bool App::WriteProfileBinary(const char* section, const char* entry, const void* data, UINT size)
{
    HKEY key = OpenSection(ProfileKey(), section, true);
    if (!key)
        return false;
    bool ok = RegSetValueExA(key, entry, 0, REG_BINARY, (const BYTE*)data, size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

void App::LoadStdProfileSettings(UINT mruCount)
{
    m_mruCount = mruCount;
}

void App::ParseCommandLine(CommandLineInfo& info)
{
    // The C run-time split: quotes group, a backslash before a quote escapes it.
    for (int i = 1; i < __argc; i++) {
        const char* arg = __argv[i];
        bool isSwitch = arg[0] == '/' || arg[0] == '-';
        info.ParseParam(isSwitch ? arg + 1 : arg, isSwitch, i + 1 == __argc);
    }
}

bool App::ProcessShellCommand(CommandLineInfo& info)
{
    // The program builds its main window itself; only an unknown request fails.
    return info.m_nShellCommand == CommandLineInfo::FileNew ||
           info.m_nShellCommand == CommandLineInfo::FileNothing;
}

int AppMain(HINSTANCE inst, const char* cmdLine, int show)
{
    App* app = App::Get();
    if (!app)
        return 1;
    app->m_hInstance = inst;
    app->m_lpCmdLine = cmdLine ? cmdLine : "";
    app->m_nCmdShow = show;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd)
            DestroyWindow(app->m_pMainWnd->m_hWnd);
        return app->ExitInstance();
    }
    return app->Run();
}

}  // namespace fw
