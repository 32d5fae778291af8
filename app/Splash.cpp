#include "app/Splash.h"
#include "app/Resource.h"
#include "Product.h"
#include <stdio.h>

INT_PTR CALLBACK AboutDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: {
        const ProductInfo& info = GetProductInfo();
        char text[128];
        snprintf(text, sizeof(text), "%s Version %d.%d", info.name, HIBYTE(info.version),
                 LOBYTE(info.version));
        SetDlgItemTextA(dlg, IDC_ABOUT_VERSION, text);
        SetWindowTextA(dlg, info.name);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            if (GetWindow(dlg, GW_OWNER) || !GetParent(dlg))
                EndDialog(dlg, LOWORD(wp));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

static INT_PTR CALLBACK SplashDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        DestroyWindow(dlg);
        return TRUE;
    }
    if (msg == WM_DESTROY)
        PostQuitMessage(0);
    return AboutDlgProc(dlg, msg, wp, lp);
}

CSplashThread* CSplashThread::Start()
{
    CSplashThread* splash = new CSplashThread;
    if (!splash->CreateThread(CREATE_SUSPENDED)) {
        delete splash;
        return nullptr;
    }
    splash->ResumeThread();
    return splash;
}

void CSplashThread::Close(CSplashThread*& splash)
{
    if (!splash)
        return;
    splash->Quit();
    delete splash;
    splash = nullptr;
}

bool CSplashThread::InitInstance()
{
    m_mainWnd = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_ABOUTBOX), NULL,
                                   SplashDlgProc, 0);
    if (!m_mainWnd)
        return false;
    ShowWindow(m_mainWnd, SW_SHOW);
    return true;
}

int CSplashThread::ExitInstance()
{
    if (m_mainWnd && IsWindow(m_mainWnd))
        DestroyWindow(m_mainWnd);
    m_mainWnd = NULL;
    return 0;
}
