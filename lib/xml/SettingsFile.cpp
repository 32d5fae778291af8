#include "SettingsFile.h"
#include "../LibRes.h"
#include "../Product.h"
#include "../files/Filter.h"
#include "../registry/AppInfo.h"
#include "../registry/RegUtil.h"
#include "../shell/PathConv.h"
#include "../ui/MsgUtil.h"
#include "../util/PathUtil.h"
#include "../util/StrUtil.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

// Names and texts go between the registry and the file through UTF-16 and UTF-8 with no
// regard to the process code page: the RunDll32 process that runs a transfer has the system's
// 8-bit code page, in which a Japanese or emoji name would be lost.

namespace {
const char kKey[] = "KEY";
const char kData[] = "DATA";
const char kName[] = "Name";
const char kType[] = "Type";
const char kValue[] = "Value";
const char kRegSz[] = "REG_SZ";
const char kRegDword[] = "REG_DWORD";
const char kRegBinary[] = "REG_BINARY";
const char kUnicodeEdition[] = "Panorel QV Unicode";

enum { KeyPathSize = 1024, KeyNameChars = 256, ValueNameChars = 16384 };

// The maker's key and the product's name: the grandparent and the parent of the application
// root key, so a program whose root key lies elsewhere transfers its own settings.
bool GetProductKey(char* maker, char* product)
{
    const char* root = GetAppRootKey();
    if (!*root) {
        StrCopyN(maker, sz_HKCU_Software_MyCompany, KeyPathSize);
        return StrCopyN(product, GetProductInfo().name, KeyPathSize);
    }
    if (!StrCopyN(maker, root, KeyPathSize))
        return false;
    char* sep = strrchr(maker, '\\');   // the application's own component
    if (!sep)
        return false;
    *sep = 0;
    sep = strrchr(maker, '\\');
    if (!sep || !sep[1])
        return false;
    StrCopyN(product, sep + 1, KeyPathSize);
    *sep = 0;
    return true;
}

// Exact conversions; they fail on an invalid sequence or a lone surrogate.
bool Utf8ToWide(const char* text, std::wstring& out)
{
    out.clear();
    if (!text)
        return false;
    int len = (int)strlen(text);
    if (!len)
        return true;
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, len, NULL, 0);
    if (n <= 0)
        return false;
    out.resize(n);
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, len, &out[0], n) == n;
}

bool WideToUtf8(const WCHAR* text, int chars, std::string& out)
{
    out.clear();
    if (chars <= 0)
        return chars == 0;
    int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, chars, NULL, 0, NULL, NULL);
    if (n <= 0)
        return false;
    out.resize(n);
    return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, chars, &out[0], n, NULL,
                               NULL) == n;
}

// A path of the process code page in UTF-16; false when it does not convert exactly.
bool AnsiPathToWide(const char* path, std::wstring& out)
{
    out.clear();
    if (!path || !*path)
        return false;
    std::vector<WCHAR> buf(strlen(path) + 1);
    if (!AnsiToWideExact(path, -1, buf.data(), (int)buf.size()))
        return false;
    out = buf.data();
    return !out.empty();
}

// A key name the file may give: one component, so it can only name a subkey of the key it
// is written into.
bool IsKeyNameSafe(const std::wstring& name)
{
    if (name.empty() || name.size() >= KeyNameChars)
        return false;
    if (name == L"." || name == L"..")
        return false;
    for (WCHAR c : name)
        if (c == L'\\' || c == 0)
            return false;
    return true;
}

bool AddData(XmlTree& level, const char* name, const char* type, const char* value)
{
    if (!XmlTree::IsValueWritable(name) || !XmlTree::IsValueWritable(value))
        return false;
    XmlTreeItem* item = level.AddItem(kData);
    return item && item->AddAttrib(kName, name) && item->AddAttrib(kType, type) &&
           item->AddAttrib(kValue, value);
}

// One value as a "DATA" element; types the file cannot hold are skipped.
bool AddValue(HKEY key, const WCHAR* name, const char* shownName, XmlTree& level)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name, NULL, &type, NULL, &size) != ERROR_SUCCESS)
        return true;   // gone meanwhile
    if (type != REG_SZ && type != REG_DWORD && type != REG_BINARY)
        return true;
    if (size > (XML_MAX_STR + 1) * 2)
        return false;   // its text would pass the tree's limit
    std::vector<BYTE> data(size + sizeof(WCHAR), 0);
    if (RegQueryValueExW(key, name, NULL, &type, data.data(), &size) != ERROR_SUCCESS)
        return false;
    if (type == REG_SZ) {
        // A stored string may lack its terminator, or hold one before its end.
        const WCHAR* wide = reinterpret_cast<const WCHAR*>(data.data());
        int chars = 0;
        while ((DWORD)chars < size / 2 && wide[chars])
            ++chars;
        std::string text;
        if (!WideToUtf8(wide, chars, text) || text.size() > XML_MAX_STR)
            return false;
        return AddData(level, shownName, kRegSz, text.c_str());
    }
    if (type == REG_DWORD) {
        DWORD value = 0;
        memcpy(&value, data.data(), size < sizeof(value) ? size : sizeof(value));
        char text[16];
        snprintf(text, sizeof(text), "%lu", (unsigned long)value);
        return AddData(level, shownName, kRegDword, text);
    }
    if (size * 2 > XML_MAX_STR)
        return false;
    std::vector<char> text(size * 2 + 1, 0);
    for (DWORD i = 0; i < size; ++i)
        snprintf(&text[i * 2], 3, "%02lX", (unsigned long)data[i]);
    return AddData(level, shownName, kRegBinary, text.data());
}

bool ReadKey(HKEY parent, const std::string& name, XmlTree& tree, const Filter* keyFilter,
             const Filter* valueFilter, bool filterDeep)
{
    std::wstring wideName;
    if (name.empty() || !XmlTree::IsValueWritable(name.c_str()) ||
        !Utf8ToWide(name.c_str(), wideName))
        return false;
    HKEY sub = NULL;
    if (RegOpenKeyExW(parent, wideName.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS)
        return false;
    XmlTreeItem* item = tree.AddItem(kKey);
    XmlTree* level = item && item->AddAttrib(kName, name.c_str()) ? tree.AddSubTree() : nullptr;
    bool ok = level != nullptr;
    const Filter* deepKeys = filterDeep ? keyFilter : nullptr;
    const Filter* deepValues = filterDeep ? valueFilter : nullptr;
    WCHAR subName[KeyNameChars];
    std::string text;
    for (DWORD i = 0; ok; ++i) {
        DWORD chars = KeyNameChars;
        LONG rc = RegEnumKeyExW(sub, i, subName, &chars, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        ok = rc == ERROR_SUCCESS && WideToUtf8(subName, (int)chars, text);
        if (ok && (!keyFilter || keyFilter->Match(text.c_str())))
            ok = ReadKey(sub, text, *level, deepKeys, deepValues, filterDeep);
    }
    if (ok && RegQueryValueExW(sub, NULL, NULL, NULL, NULL, NULL) == ERROR_SUCCESS &&
        (!valueFilter || valueFilter->Match("NULL")))
        ok = AddValue(sub, NULL, "", *level);
    std::vector<WCHAR> valueName(ValueNameChars + 1);
    for (DWORD i = 0; ok; ++i) {
        DWORD chars = ValueNameChars + 1;
        LONG rc = RegEnumValueW(sub, i, valueName.data(), &chars, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        ok = rc == ERROR_SUCCESS && WideToUtf8(valueName.data(), (int)chars, text);
        if (ok && chars && (!valueFilter || valueFilter->Match(text.c_str())))
            ok = AddValue(sub, valueName.data(), text.c_str(), *level);
    }
    RegCloseKey(sub);
    if (level && level->IsEmpty())
        tree.RemoveChild(tree.GetTailPos());
    return ok;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Decimal with an optional sign; digits wrap modulo 2^32, so every "%lu" text reads back.
DWORD ParseDword(const char* text)
{
    while (*text == ' ' || *text == '\t')
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    DWORD value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10 + (DWORD)(*text - '0');
    return negative ? 0 - value : value;
}

// The attribute's value in a buffer of its own ("" when missing).
std::vector<char> AttribOf(const XmlTreeItem* item, const char* name)
{
    std::vector<char> buf(item->GetAttrib(name, nullptr) + 1, 0);
    item->GetAttrib(name, buf.data());
    return buf;
}

bool SetValue(HKEY key, const std::wstring& name, DWORD type, const void* data, DWORD size)
{
    return RegSetValueExW(key, name.empty() ? NULL : name.c_str(), 0, type,
                          static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

// Checks a "DATA" element, and writes it when key is given.
bool DoData(HKEY key, const XmlTreeItem* item)
{
    std::vector<char> name = AttribOf(item, kName);
    std::vector<char> type = AttribOf(item, kType);
    std::vector<char> value = AttribOf(item, kValue);
    std::wstring wideName;
    if (!Utf8ToWide(name.data(), wideName) || wideName.size() > ValueNameChars)
        return false;
    if (strcmp(type.data(), kRegDword) == 0) {
        DWORD number = ParseDword(value.data());
        return !key || SetValue(key, wideName, REG_DWORD, &number, sizeof(number));
    }
    if (strcmp(type.data(), kRegSz) == 0) {
        std::wstring text;
        if (!Utf8ToWide(value.data(), text))
            return false;
        return !key || SetValue(key, wideName, REG_SZ, text.c_str(),
                                (DWORD)((text.size() + 1) * sizeof(WCHAR)));
    }
    if (strcmp(type.data(), kRegBinary) != 0)
        return false;
    size_t count = strlen(value.data()) / 2;   // a final odd digit is dropped
    std::vector<BYTE> bytes(count + 1);
    for (size_t i = 0; i < count; ++i) {
        int hi = HexDigit(value[i * 2]), lo = HexDigit(value[i * 2 + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes[i] = (BYTE)(hi * 16 + lo);
    }
    return !key || SetValue(key, wideName, REG_BINARY, bytes.data(), (DWORD)count);
}

// Checks a "KEY" element and its content, and writes them below parent when one is given.
// Every key name is one component, so nothing can land outside parent.
bool DoKey(HKEY parent, bool write, XmlTree& tree, POS pos)
{
    const XmlTreeItem* item = tree.GetItem(pos);
    if (!item || !item->GetName() || strcmp(item->GetName(), kKey) != 0)
        return false;
    std::vector<char> name = AttribOf(item, kName);
    std::wstring wideName;
    if (!Utf8ToWide(name.data(), wideName) || !IsKeyNameSafe(wideName))
        return false;
    HKEY key = NULL;
    if (write && RegCreateKeyExW(parent, wideName.c_str(), 0, NULL, REG_OPTION_NON_VOLATILE,
                                 KEY_READ | KEY_WRITE, NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    bool ok = true;
    XmlTree* children = tree.GetSubTree(pos);
    for (POS child = children ? children->GetHeadPos() : nullptr; child && ok;
         child = child->next) {
        const XmlTreeItem* sub = children->GetItem(child);
        const char* subName = sub->GetName() ? sub->GetName() : "";
        if (strcmp(subName, kKey) == 0)
            ok = DoKey(key, write, *children, child);
        else if (strcmp(subName, kData) == 0)
            ok = DoData(key, sub);
        else
            ok = false;
    }
    if (key)
        RegCloseKey(key);
    return ok;
}

// The whole file as a zero-terminated text; empty on failure.
std::vector<char> ReadWholeFile(const std::wstring& path)
{
    std::vector<char> text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart < 0x7FFFFFFF) {
        std::vector<char> buf((size_t)size.QuadPart + 1, 0);
        DWORD got = 0;
        if (ReadFile(file, buf.data(), (DWORD)size.QuadPart, &got, NULL) &&
            got == (DWORD)size.QuadPart)
            text.swap(buf);
    }
    CloseHandle(file);
    return text;
}

bool WriteWholeFile(const std::wstring& path, const char* bytes, DWORD size)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    bool ok = WriteFile(file, bytes, size, &done, NULL) && done == size && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

bool IsUnicodeText(const char* bytes, size_t size)
{
    return size >= 2 && (BYTE)bytes[0] == 0xFF && (BYTE)bytes[1] == 0xFE;
}

bool ExportTo(const std::wstring& path)
{
    char maker[KeyPathSize], product[KeyPathSize];
    if (path.empty() || !GetProductKey(maker, product))
        return false;
    RegKey makerKey(maker);
    if (!makerKey.IsOpen())
        return false;
    XmlTree tree;
    if (!ReadKey(makerKey, product, tree, nullptr, nullptr, false))
        return false;
    int count = tree.Put(nullptr);
    std::vector<char> text(count + 1, 0);
    char* out = text.data();
    tree.Put(out);
    return WriteWholeFile(path, text.data(), (DWORD)count);
}

bool ImportFrom(HWND owner, const std::wstring& path, bool quiet)
{
    char maker[KeyPathSize], product[KeyPathSize];
    if (path.empty() || !GetProductKey(maker, product))
        return false;
    RegKey makerKey(maker, 1);
    if (!makerKey.IsOpen())
        return false;
    std::vector<char> text = ReadWholeFile(path);
    if (text.empty() || IsUnicodeText(text.data(), text.size() - 1))
        return false;
    XmlTree tree;
    tree.SetQuiet(quiet);
    const char* p = text.data();
    if (!tree.Get(owner, p))
        return false;
    // The file names the product's own key, or it is not this product's settings: nothing
    // outside the product key may be written.
    XmlTreeItem* top = tree.GetItem(tree.GetHeadPos());
    if (!top || lstrcmpiA(AttribOf(top, kName).data(), product) != 0)
        return false;
    XmlAttrib* topName = top->FindAttrib(kName);
    if (!topName || !topName->SetNameValue(kName, product))   // the key keeps its spelling
        return false;
    // The whole tree is checked before the current settings go: a file of the wrong form
    // must not leave the program without any.
    if (!CheckRegSubKeyTree(tree))
        return false;
    if (!makerKey.DelSubKey(product))
        return false;
    return WriteRegSubKeyFromTree(makerKey, tree);
}

// A library message with its "%s" filled in order, shown in UTF-16: the path names the file
// whole whatever the process code page.
int ShowWide(HWND owner, UINT flags, int id, const std::vector<std::wstring>& args)
{
    WCHAR format[1024];
    if (LoadStringW(GetLibModule(), id, format, 1024) <= 0)
        return 0;
    std::wstring text;
    size_t next = 0;
    for (const WCHAR* p = format; *p; ++p) {
        if (p[0] == L'%' && p[1] == L's') {
            if (next < args.size())
                text += args[next++];
            ++p;
        } else {
            text += *p;
        }
    }
    std::wstring caption;
    AnsiPathToWide(GetProductInfo().name, caption);
    return MessageBoxW(owner, text.c_str(), caption.c_str(), flags | MB_SETFOREGROUND);
}

std::wstring WideOf(const char* ansi)
{
    std::wstring wide;
    AnsiPathToWide(ansi, wide);
    return wide;
}

bool CheckFormat(HWND owner, const std::wstring& path, const char* shownPath, bool quiet)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return true;
    char mark[2] = {};
    DWORD got = 0;
    bool unicode = ReadFile(file, mark, sizeof(mark), &got, NULL) && IsUnicodeText(mark, got);
    CloseHandle(file);
    if (!unicode)
        return true;
    if (!quiet && shownPath)
        Msg(owner, MB_OK | MB_ICONSTOP, -IDS_LIB_OPTS_WRONG_FORMAT, shownPath,
            GetProductInfo().name, kUnicodeEdition);
    else if (!quiet)
        ShowWide(owner, MB_OK | MB_ICONSTOP, IDS_LIB_OPTS_WRONG_FORMAT,
                 {path, WideOf(GetProductInfo().name), WideOf(kUnicodeEdition)});
    return false;
}

// The program again, from the product's home folder.
void StartProgram()
{
    char home[MAX_PATH], file[MAX_PATH];
    if (GetHomeDir(home) && MakePath(file, home, "panorel.exe"))
        RunFile(file, NULL, NULL);
}

void RunTransfer(HWND window, const std::wstring& path, bool import)
{
    InitMBCS();
    MakeAppInfo(GetLibModule());
    bool ok = !path.empty();
    if (ok && import)
        ok = CheckFormat(window, path, nullptr, false) && ImportFrom(window, path, false);
    else if (ok)
        ok = ExportTo(path);
    int id = import ? (ok ? IDS_LIB_OPTS_IMPORTED : IDS_LIB_OPTS_IMPORT_FAILED)
                    : (ok ? IDS_LIB_OPTS_EXPORTED : IDS_LIB_OPTS_EXPORT_FAILED);
    UINT icon = ok ? MB_ICONINFORMATION : MB_ICONSTOP;
    if (ShowWide(window, MB_YESNO | icon, id, {path}) == IDYES)
        StartProgram();
    MakeAppInfo(NULL);
}

// The command line's path without blanks and quotes around it.
std::wstring PathOfCommandLine(const WCHAR* line)
{
    std::wstring path = line ? line : L"";
    while (!path.empty() && (path.back() == L' ' || path.back() == L'\t'))
        path.pop_back();
    size_t first = path.find_first_not_of(L" \t");
    path.erase(0, first == std::wstring::npos ? path.size() : first);
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"')
        path = path.substr(1, path.size() - 2);
    return path;
}

void RunTransferW(HWND window, const WCHAR* commandLine, bool import)
{
    std::wstring path = PathOfCommandLine(commandLine);
    RunTransfer(window, path.size() < MAX_PATH ? path : std::wstring(), import);
}

void RunTransferA(HWND window, const char* commandLine, bool import)
{
    char path[MAX_PATH] = "";
    bool fits = commandLine && StrCopyN(path, commandLine, sizeof(path));
    RemoveWhiteSpacesAndQuotes(path);
    std::wstring wide;
    if (!fits || !AnsiPathToWide(path, wide))
        wide.clear();
    RunTransfer(window, wide, import);
}
}  // namespace

bool ReadRegSubKeyToTree(RegKey& key, const char* name, XmlTree& tree, const Filter* keyFilter,
                         const Filter* valueFilter, bool filterDeep)
{
    std::wstring wide;
    if (!key.IsOpen() || !name || !*name || !AnsiPathToWide(name, wide))
        return false;
    std::string utf8;
    if (!WideToUtf8(wide.c_str(), (int)wide.size(), utf8))
        return false;
    return ReadKey(key, utf8, tree, keyFilter, valueFilter, filterDeep);
}

bool CheckRegSubKeyTree(XmlTree& tree, POS entry)
{
    return DoKey(NULL, false, tree, entry ? entry : tree.GetHeadPos());
}

bool WriteRegSubKeyFromTree(RegKey& key, XmlTree& tree, POS entry)
{
    return key.IsOpen() && DoKey(key, true, tree, entry ? entry : tree.GetHeadPos());
}

bool DoExportOpts(HWND, const char* path)
{
    std::wstring wide;
    return AnsiPathToWide(path, wide) && ExportTo(wide);
}

bool DoImportOpts(HWND owner, const char* path)
{
    std::wstring wide;
    return AnsiPathToWide(path, wide) && ImportFrom(owner, wide, false);
}

bool DoImportOptsQuiet(const char* path)
{
    std::wstring wide;
    return AnsiPathToWide(path, wide) && ImportFrom(NULL, wide, true);
}

bool CheckImportFileFmtValid(HWND owner, const char* path, bool quiet)
{
    std::wstring wide;
    if (!AnsiPathToWide(path, wide))
        return true;
    return CheckFormat(owner, wide, path, quiet);
}

void CALLBACK LoadOptions(HWND window, HINSTANCE, LPSTR commandLine, int)
{
    RunTransferA(window, commandLine, true);
}

void CALLBACK LoadOptionsA(HWND window, HINSTANCE, LPSTR commandLine, int)
{
    RunTransferA(window, commandLine, true);
}

void CALLBACK LoadOptionsW(HWND window, HINSTANCE, LPWSTR commandLine, int)
{
    RunTransferW(window, commandLine, true);
}

void CALLBACK StoreOptions(HWND window, HINSTANCE, LPSTR commandLine, int)
{
    RunTransferA(window, commandLine, false);
}

void CALLBACK StoreOptionsA(HWND window, HINSTANCE, LPSTR commandLine, int)
{
    RunTransferA(window, commandLine, false);
}

void CALLBACK StoreOptionsW(HWND window, HINSTANCE, LPWSTR commandLine, int)
{
    RunTransferW(window, commandLine, false);
}
