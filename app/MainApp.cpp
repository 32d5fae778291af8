#include "app/MainApp.h"
#include "app/TipDlg.h"
#include "app/MainFrame.h"
#include "app/Policy.h"
#include "app/Resource.h"
#include "app/Splash.h"
#include "Product.h"
#include "registry/AppInfo.h"
#include "registry/RegKey.h"
#include "registry/RegUtil.h"
#include "ui/PrevInstance.h"
#include "util/PathUtil.h"
#include "util/ResStr.h"
#include "util/StrUtil.h"
#include "xml/SettingsFile.h"
#include <objbase.h>
#include <shlobj.h>
#include <locale.h>
#include <stdio.h>
#include <string.h>

static CMainApp theApp;
static HANDLE s_singleInstance;
static bool s_existed;

CMainApp& GetMainApp()
{
    return theApp;
}

CMainApp::CMainApp() : fw::App(GetProductInfo().name)
{
    m_transferCommand[0] = 0;
    m_helpPath[0] = 0;
    // COM lives as long as the application object.
    OleInitialize(NULL);
}

CMainApp::~CMainApp()
{
    OleUninitialize();
}

CMainFrame* CMainApp::MainFrame() const
{
    return static_cast<CMainFrame*>(m_pMainWnd);
}

bool CMainApp::PreloadSettings()
{
    char path[MAX_PATH];
    if (!GetPolicyString("PreloadSettingsQV", path))
        return true;
    return CheckImportFileFmtValid(NULL, path, true) && DoImportOpts(NULL, path);
}

static bool ProbeAutoComplete()
{
    IUnknown* unk = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AutoComplete, NULL, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                (void**)&unk)))
        return false;
    unk->Release();
    return true;
}

bool CMainApp::CheckRootPaths()
{
    const char* caption = GetProductInfo().name;
    if (IsRootPathMissing(ROOT_MAIN)) {
        MessageBoxA(NULL, ResStr(IDS_ROOTPATH_INVALID), caption, MB_OK | MB_ICONSTOP);
        return false;
    }
    if (IsRootPathMissing(ROOT_ALT)) {
        MessageBoxA(NULL, ResStr(IDS_ALTROOTPATH_INVALID), caption, MB_OK | MB_ICONSTOP);
        return false;
    }
    return true;
}

bool CMainApp::InitInstance()
{
    const ProductInfo& product = GetProductInfo();
    if (!PreloadSettings()) {
        MessageBoxA(NULL, "Error processing PreloadSettings policy.", product.name,
                    MB_OK | MB_ICONSTOP);
        return false;
    }
    setlocale(LC_ALL, "");
    InitMBCS();

    m_panorelMsg = RegisterWindowMessageA("PanorelMsg");
    m_companyMsg = RegisterWindowMessageA("CorvaneMessage");

    char unused[MAX_PATH] = "";
    ProcessHomeFolder(RegKey::OpRemove, product.name, unused, sizeof(unused));
    MakeAppInfo(m_hInstance);
    SetRegistryKey("Corvane");

    m_settings.Load();

    if (m_settings.IsOn(SO_SINGLE_INSTANCE)) {
        // The handle stays open until the process ends: it marks the running instance.
        if (!s_singleInstance) {
            s_singleInstance = CreateEventA(NULL, FALSE, FALSE, "PANOREL_EVENT_SINGLE_INSTANCE");
            s_existed = s_singleInstance && GetLastError() == ERROR_ALREADY_EXISTS;
        }
        if (s_existed) {
            HWND first = ActivatePreviousInstance(4);
            if (first && m_lpCmdLine[0] && m_settings.settings3.IsOn(S3_FORWARD_CMDLINE)) {
                COPYDATASTRUCT cds = {4, (DWORD)strlen(m_lpCmdLine) + 1,
                                      const_cast<char*>(m_lpCmdLine)};
                DWORD_PTR answer;
                SendMessageTimeoutA(first, WM_COPYDATA, 0, (LPARAM)&cds, SMTO_ABORTIFHUNG, 5000,
                                    &answer);
            }
            return false;
        }
    }

    m_canAutoComplete = ProbeAutoComplete();
    if (!CheckRootPaths())
        return false;
    m_started = true;

    if (m_settings.IsOn(SO_SPLASH))
        m_splash = CSplashThread::Start();

    LoadStdProfileSettings(4);
    CMainFrame* frame = new CMainFrame;
    m_pMainWnd = frame;
    if (!frame->Create()) {
        delete frame;
        m_pMainWnd = nullptr;
        return false;
    }

    CMainCmdLineInfo info(m_request);
    ParseCommandLine(info);
    if (!ProcessShellCommand(info))
        return false;
    frame->m_bAutoMenuEnable = false;

    char home[MAX_PATH];
    if (GetHomeDir(home))
        MakePath(m_helpPath, home, product.helpFile);
    m_helpFilePath = m_helpPath;
    SetForegroundWindow(frame->m_hWnd);
    if (!info.m_bRunEmbedded && !info.m_bRunAutomated)
        OfferTipOfTheDay(frame->m_hWnd);
    // The frame finishes its set-up once the loop runs (it posts that to itself on creation).
    return true;
}

void CMainApp::OfferTipOfTheDay(HWND owner)
{
    // The dialog's loop also runs the frame's posted set-up, so the main window comes up behind it.
    CTipDlg tip;
    if (!tip.ShowAtStartUp())
        return;
    if (IsPolicyOn("DisableMenuHelpTipOfTheDay", true))
        return;
    tip.Run(owner);
}

bool CMainApp::OnIdle(long count)
{
    if (count == 0 && MainFrame() && MainFrame()->m_hWnd)
        MainFrame()->OnIdleUpdate();
    return fw::App::OnIdle(count);
}

void CMainApp::CloseSplash()
{
    CSplashThread::Close(m_splash);
}

void CMainApp::OnEndSession()
{
    if (GetAppRootKey()[0])
        m_settings.Store();
    if (m_settings.IsOn(SO_REOPEN_AFTER_RESTART)) {
        char module[MAX_PATH];
        DWORD n = GetModuleFileNameA(NULL, module, sizeof(module));
        if (n && n < sizeof(module)) {
            RegKey runOnce("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", 1);
            runOnce.PutStr(GetProductInfo().name, module);
        }
    }
}

void CMainApp::RunTransferCommand()
{
    if (!m_transferCommand[0])
        return;
    char lib[MAX_PATH], shortLib[MAX_PATH];
    if (!GetModuleFileNameA(GetLibModule(), lib, sizeof(lib)))
        return;
    if (!GetShortPathNameA(lib, shortLib, sizeof(shortLib)))
        lstrcpynA(shortLib, lib, sizeof(shortLib));
    char params[2 * MAX_PATH + 2];
    snprintf(params, sizeof(params), "%s,%s", shortLib, m_transferCommand);
    ShellExecuteA(NULL, NULL, "RunDll32.exe", params, NULL, SW_SHOWNORMAL);
    m_transferCommand[0] = 0;
}

int CMainApp::ExitInstance()
{
    CloseSplash();
    // Nothing is stored when the start ended early (another instance, a missing root path).
    if (m_started && GetAppRootKey()[0])
        m_settings.Store();
    RunTransferCommand();
    MakeAppInfo(NULL);
    return fw::App::ExitInstance();
}
