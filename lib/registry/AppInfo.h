// Application information: the module whose resources a program's messages come from, its names
// and its root key in the registry. Each module that registers itself makes one object; the most
// recently made one is current.
#pragma once
#include "../Panorel32.h"

struct AppData {
    HINSTANCE module;
    const char* name1;   // product name; first component of the root key
    const char* name2;   // second component of the root key
    const char* name3;   // kept for callers
    const char* helpFile;
    DWORD flags;
    char* rootKey;       // owned by the AppInfo object
};

class PANOREL32_API AppInfo {
public:
    AppInfo(HINSTANCE module, const char* name1, const char* name2, const char* name3,
            const char* helpFile, DWORD flags, int migrate);
    AppInfo(const AppInfo&) = delete;             // registered in the process-wide list by address
    AppInfo& operator=(const AppInfo&) = delete;
    ~AppInfo();

    static AppInfo* GetAppInfo();
    // The current object's data; all fields null when no object exists.
    static AppData& Data();
    static void SetAppRootKey(const char* path);
    // Positive id without a module: the current application's module. Negative id: the
    // library's own module, and the id is made positive.
    static void ConvertResourceId(int& id, HINSTANCE& module);

private:
    AppData m_data;
    AppInfo* m_next;   // the object that was current before this one
};

// The current application's root key path ("" when no application registered).
PANOREL32_API const char* GetAppRootKey();

// The main program's application information from the product identity (root key
// "HKCU\Software\Corvane\Panorel QV\Panorel QV"); a null module destroys it.
PANOREL32_API void MakeAppInfo(HINSTANCE module);
