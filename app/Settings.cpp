#include "app/Settings.h"
#include <shlwapi.h>
#include <string.h>

WORD GetComCtlVersion()
{
    static WORD version = 0xFFFF;
    if (version != 0xFFFF)
        return version;
    version = 0;
    HMODULE dll = LoadLibraryA("comctl32.dll");
    if (dll) {
        DLLGETVERSIONPROC get = (DLLGETVERSIONPROC)(void*)GetProcAddress(dll, "DllGetVersion");
        DLLVERSIONINFO info = {};
        info.cbSize = sizeof(info);
        if (get && SUCCEEDED(get(&info)))
            version = (WORD)MAKEWORD(info.dwMinorVersion, info.dwMajorVersion);
        FreeLibrary(dll);
    }
    return version;
}

void PaneOpts::Reset()
{
    WORD version = GetComCtlVersion();
    comctl470 = version >= 0x0446;   // 4.70
    value = 0x1D | (comctl470 ? 0x40000 : 0);
    supportedMask = (comctl470 ? 0xF0000 : 0) | (version >= 0x0447 ? 0xB00000 : 0);
}

Settings2Opts::~Settings2Opts()
{
    delete qeFontVar;
    delete qeFontFixed;
}

void Settings2Opts::Reset()
{
    value = 0x04F6B331;
    splitSize = 1457152;
    defQEType = 0;
    delete qeFontVar;
    delete qeFontFixed;
    qeFontVar = qeFontFixed = nullptr;
}

// A stored font is exactly one 60-byte LOGFONT; anything else is ignored.
static LOGFONTA* LoadFont(RegKey& key, const char* name)
{
    static_assert(sizeof(LOGFONTA) == 60, "the stored font is a 60-byte LOGFONT");
    if (key.GetBinSize(name) != (int)sizeof(LOGFONTA))
        return nullptr;
    LOGFONTA* font = new LOGFONTA;
    if (!key.GetBin(name, font, sizeof(LOGFONTA))) {
        delete font;
        return nullptr;
    }
    font->lfFaceName[LF_FACESIZE - 1] = 0;
    return font;
}

static void StoreFont(RegKey& key, const char* name, const LOGFONTA* font)
{
    if (font)
        key.PutBin(name, font, sizeof(LOGFONTA));
    else
        key.DelValue(name);
}

void Settings2Opts::OnLoad(RegKey& key)
{
    splitSize = key.GetDword("SplitSize", splitSize);
    defQEType = key.GetDword("DefQE_Type", defQEType);
    qeFontVar = LoadFont(key, "QE_FontVar");
    qeFontFixed = LoadFont(key, "QE_FontFixed");
}

void Settings2Opts::OnStore(RegKey& key)
{
    key.PutDword("SplitSize", splitSize);
    key.PutDword("DefQE_Type", defQEType);
    StoreFont(key, "QE_FontVar", qeFontVar);
    StoreFont(key, "QE_FontFixed", qeFontFixed);
}

static bool IsWindowsXP()
{
    OSVERSIONINFOA vi = {};
    vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&vi))
        return false;
#pragma GCC diagnostic pop
    return vi.dwMajorVersion == 5 && vi.dwMinorVersion >= 1;
}

SettingsOpts::SettingsOpts() : BoolOpts("Settings")
{
    qePath[0] = qeArgs[0] = 0;
}

void SettingsOpts::Reset()
{
    value = 0x4C081860 | (IsWindowsXP() ? 0u : (DWORD)SO_WAVY_CAPTION);
    menuStyle = 0;
    optsPage = 0;
    mrvfHistSize = 20;
    lastWelcomeMsg = 0;
    lstrcpynA(qePath, "Notepad.exe", sizeof(qePath));
    lstrcpynA(qeArgs, "%1", sizeof(qeArgs));
    qeConfirmManyFiles = 1;
    qeConfirmLargeFile = 32;
    comctl470 = GetComCtlVersion() >= 0x0446;
    // The nested groups keep their defaults too when the root key cannot be opened.
    pane.Reset();
    settings2.Reset();
    settings3.Reset();
}

void SettingsOpts::OnLoad(RegKey& key)
{
    menuStyle = key.GetDword("MenuStyle", menuStyle);
    optsPage = key.GetDword("OptsPage", optsPage);
    mrvfHistSize = key.GetDword("MRVF_HistSize", mrvfHistSize);
    if (mrvfHistSize < 1)
        mrvfHistSize = 1;
    if (mrvfHistSize > 100)
        mrvfHistSize = 100;
    char text[MAX_PATH];
    // An empty stored text keeps the default.
    if (key.GetStr("QEPath", text, sizeof(text), "") > 0)
        lstrcpynA(qePath, text, sizeof(qePath));
    if (key.GetStr("QEArgs", text, sizeof(text), "") > 0)
        lstrcpynA(qeArgs, text, sizeof(qeArgs));
    qeConfirmManyFiles = key.GetDword("QEConfirmManyFiles", qeConfirmManyFiles);
    qeConfirmLargeFile = key.GetDword("QEConfirmLargeFile", qeConfirmLargeFile);
    lastWelcomeMsg = key.GetDword("LastWelcomeMsg", lastWelcomeMsg);
    pane.Load();
    settings2.Load();
    settings3.Load();
}

void SettingsOpts::OnStore(RegKey& key)
{
    key.PutDword("MenuStyle", menuStyle);
    key.PutDword("OptsPage", optsPage);
    key.PutDword("MRVF_HistSize", mrvfHistSize);
    key.PutStr("QEPath", qePath);
    key.PutStr("QEArgs", qeArgs);
    key.PutDword("QEConfirmManyFiles", qeConfirmManyFiles);
    key.PutDword("QEConfirmLargeFile", qeConfirmLargeFile);
    key.PutDword("LastWelcomeMsg", lastWelcomeMsg);
    pane.Store();
    settings2.Store();
    settings3.Store();
}

DWORD SettingsOpts::MenuDrawStyle() const
{
    DWORD edges = IsOn(SO_STRONG_MENU_EDGES) ? 4 : 0;
    if (menuStyle == 0)
        return 0x80000002 | edges;
    if (menuStyle == 1)
        return 1 | edges;
    return 0;
}
