#include "AppInfo.h"
#include "RegUtil.h"
#include "../Product.h"
#include <stdio.h>
#include <string.h>
#include <stdlib.h>

namespace {
// The list is process-wide and may be touched from any thread that loads a module.
struct AppList {
    CRITICAL_SECTION lock;
    AppInfo* head = nullptr;
    AppData empty = {};
    AppList() { InitializeCriticalSection(&lock); }
    ~AppList() { DeleteCriticalSection(&lock); }
};

AppList& List()
{
    static AppList list;
    return list;
}

char* CopyStr(const char* s)
{
    if (!s)
        return nullptr;
    size_t n = strlen(s) + 1;
    char* p = static_cast<char*>(malloc(n));
    if (p)
        memcpy(p, s, n);
    return p;
}
}  // namespace

AppInfo::AppInfo(HINSTANCE module, const char* name1, const char* name2, const char* name3,
                 const char* helpFile, DWORD flags, int migrate)
{
    if (migrate)
        MoveFormerKey(1, name1);
    m_data.module = module;
    m_data.name1 = name1;
    m_data.name2 = name2;
    m_data.name3 = name3;
    m_data.helpFile = helpFile;
    m_data.flags = flags;
    char root[1024];
    snprintf(root, sizeof(root), "%s\\%s\\%s", "HKCU\\Software\\Corvane", name1 ? name1 : "",
             name2 ? name2 : "");
    m_data.rootKey = CopyStr(root);
    AppList& list = List();
    EnterCriticalSection(&list.lock);
    m_next = list.head;
    list.head = this;
    LeaveCriticalSection(&list.lock);
}

AppInfo::~AppInfo()
{
    AppList& list = List();
    EnterCriticalSection(&list.lock);
    for (AppInfo** p = &list.head; *p; p = &(*p)->m_next) {
        if (*p == this) {
            *p = m_next;
            break;
        }
    }
    LeaveCriticalSection(&list.lock);
    free(m_data.rootKey);
}

AppInfo* AppInfo::GetAppInfo()
{
    return List().head;
}

AppData& AppInfo::Data()
{
    AppList& list = List();
    EnterCriticalSection(&list.lock);
    AppData* data = &list.empty;
    if (list.head)
        data = &list.head->m_data;
    else
        list.empty = AppData();
    LeaveCriticalSection(&list.lock);
    return *data;
}

void AppInfo::SetAppRootKey(const char* path)
{
    AppList& list = List();
    EnterCriticalSection(&list.lock);
    if (list.head && path) {
        char* copy = CopyStr(path);
        if (copy) {
            free(list.head->m_data.rootKey);
            list.head->m_data.rootKey = copy;
        }
    }
    LeaveCriticalSection(&list.lock);
}

void AppInfo::ConvertResourceId(int& id, HINSTANCE& module)
{
    if (id < 0) {
        id = -id;
        module = GetLibModule();
    } else if (!module) {
        AppInfo* info = GetAppInfo();
        module = info && info->m_data.module ? info->m_data.module : GetModuleHandleA(NULL);
    }
}

const char* GetAppRootKey()
{
    const char* key = AppInfo::Data().rootKey;
    return key ? key : "";
}

namespace {
const DWORD kMainFlags = 0x300000;

AppInfo* g_mainInfo;
}  // namespace

void MakeAppInfo(HINSTANCE module)
{
    delete g_mainInfo;
    g_mainInfo = nullptr;
    if (!module)
        return;
    // The cached home folder is derived afresh from the program's folder at each start.
    const ProductInfo& product = GetProductInfo();
    ProcessHomeFolder(RegKey::OpRemove, product.name, nullptr, 0);
    g_mainInfo = new AppInfo(module, product.name, product.name, product.name3, product.helpFile,
                             kMainFlags, 1);
}
