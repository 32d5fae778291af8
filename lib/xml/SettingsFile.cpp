#include "SettingsFile.h"
#include "../LibRes.h"
#include "../Product.h"
#include "../files/Filter.h"
#include "../files/VmFile.h"
#include "../registry/AppInfo.h"
#include "../registry/RegUtil.h"
#include "../shell/PathConv.h"
#include "../ui/MsgUtil.h"
#include "../util/PathUtil.h"
#include "../util/StrUtil.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

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

enum { KeyPathSize = 1024, ValueNameSize = 16384 };

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

bool AddData(XmlTree& level, const char* name, const char* type, const char* value)
{
    if (!XmlTree::IsValueWritable(name) || !XmlTree::IsValueWritable(value))
        return false;
    XmlTreeItem* item = level.AddItem(kData);
    return item && item->AddAttrib(kName, name) && item->AddAttrib(kType, type) &&
           item->AddAttrib(kValue, value);
}

// One value as a "DATA" element; types the file cannot hold are skipped.
bool AddValue(RegKey& key, const char* name, XmlTree& level)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, NULL, &type, NULL, &size) != ERROR_SUCCESS)
        return true;   // gone meanwhile
    if (type != REG_SZ && type != REG_DWORD && type != REG_BINARY)
        return true;
    if (size > XML_MAX_STR + 1)
        return false;   // its text would pass the tree's limit
    std::vector<BYTE> data(size + 1, 0);
    if (RegQueryValueExA(key, name, NULL, &type, data.data(), &size) != ERROR_SUCCESS)
        return false;
    const char* shownName = name ? name : "";
    if (type == REG_SZ) {
        data[size] = 0;   // a stored string may lack its terminator
        return AddData(level, shownName, kRegSz, reinterpret_cast<const char*>(data.data()));
    }
    if (type == REG_DWORD) {
        DWORD value = 0;
        memcpy(&value, data.data(), size < sizeof(value) ? size : sizeof(value));
        char text[16];
        snprintf(text, sizeof(text), "%lu", (unsigned long)value);
        return AddData(level, shownName, kRegDword, text);
    }
    std::vector<char> text(size * 2 + 1, 0);
    for (DWORD i = 0; i < size; ++i)
        snprintf(&text[i * 2], 3, "%02lX", (unsigned long)data[i]);
    return AddData(level, shownName, kRegBinary, text.data());
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

// Checks a "DATA" element, and writes it when key is given.
bool DoData(RegKey* key, const XmlTreeItem* item)
{
    std::vector<char> name = AttribOf(item, kName);
    std::vector<char> type = AttribOf(item, kType);
    std::vector<char> value = AttribOf(item, kValue);
    const char* valueName = name[0] ? name.data() : nullptr;
    if (strcmp(type.data(), kRegDword) == 0)
        return !key || key->PutDword(valueName, ParseDword(value.data()));
    if (strcmp(type.data(), kRegSz) == 0)
        return !key || key->PutStr(valueName, value.data());
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
    return !key || key->PutBin(valueName, bytes.data(), (int)count);
}

// Checks a "KEY" element and its content, and writes them below parent when one is given.
bool DoKey(RegKey* parent, XmlTree& tree, POS pos)
{
    const XmlTreeItem* item = tree.GetItem(pos);
    if (!item || !item->GetName() || strcmp(item->GetName(), kKey) != 0)
        return false;
    std::vector<char> name = AttribOf(item, kName);
    if (!name[0])
        return false;
    RegKey key;
    if (parent && !key.Open(*parent, name.data(), 1))
        return false;
    XmlTree* children = tree.GetSubTree(pos);
    if (!children)
        return true;
    for (POS child = children->GetHeadPos(); child; child = child->next) {
        const XmlTreeItem* sub = children->GetItem(child);
        const char* subName = sub->GetName() ? sub->GetName() : "";
        bool ok;
        if (strcmp(subName, kKey) == 0)
            ok = DoKey(parent ? &key : nullptr, *children, child);
        else if (strcmp(subName, kData) == 0)
            ok = DoData(parent ? &key : nullptr, sub);
        else
            ok = false;
        if (!ok)
            return false;
    }
    return true;
}

// The whole file as a zero-terminated text; empty on failure.
std::vector<char> ReadWholeFile(const char* path)
{
    std::vector<char> text;
    VmFile file;
    if (!path || !*path || !file.Open(path, false))
        return text;
    DWORD size = file.GetSize();
    std::vector<char> buf(size + 1, 0);
    if (!file.ReadBin(buf.data(), size))
        return text;
    return buf;
}

bool IsUnicodeText(const char* bytes, size_t size)
{
    return size >= 2 && (BYTE)bytes[0] == 0xFF && (BYTE)bytes[1] == 0xFE;
}

// The program again, from the product's home folder.
void StartProgram()
{
    char home[MAX_PATH], file[MAX_PATH];
    if (GetHomeDir(home) && MakePath(file, home, "panorel.exe"))
        RunFile(file, NULL, NULL);
}

void RunTransfer(HWND window, const char* commandLine, bool import)
{
    InitMBCS();
    MakeAppInfo(GetLibModule());
    char path[MAX_PATH] = "";
    bool fits = commandLine && StrCopyN(path, commandLine, sizeof(path));
    RemoveWhiteSpacesAndQuotes(path);
    bool ok = fits && path[0];
    if (ok && import)
        ok = CheckImportFileFmtValid(window, path, false) && DoImportOpts(window, path);
    else if (ok)
        ok = DoExportOpts(window, path);
    int id = import ? (ok ? IDS_LIB_OPTS_IMPORTED : IDS_LIB_OPTS_IMPORT_FAILED)
                    : (ok ? IDS_LIB_OPTS_EXPORTED : IDS_LIB_OPTS_EXPORT_FAILED);
    UINT icon = ok ? MB_ICONINFORMATION : MB_ICONSTOP;
    if (Msg(window, MB_YESNO | icon, -id, path) == IDYES)
        StartProgram();
    MakeAppInfo(NULL);
}
}  // namespace

bool ReadRegSubKeyToTree(RegKey& key, const char* name, XmlTree& tree, const Filter* keyFilter,
                         const Filter* valueFilter, bool filterDeep)
{
    if (!name || !*name || !XmlTree::IsValueWritable(name))
        return false;
    RegKey sub(key, name);
    if (!sub.IsOpen())
        return false;
    XmlTreeItem* item = tree.AddItem(kKey);
    if (!item || !item->AddAttrib(kName, name))
        return false;
    XmlTree* level = tree.AddSubTree();
    if (!level)
        return false;
    const Filter* deepKeys = filterDeep ? keyFilter : nullptr;
    const Filter* deepValues = filterDeep ? valueFilter : nullptr;
    bool ok = true;
    char subName[256];
    for (bool more = sub.GetFirstSubKey(subName, sizeof(subName)); more && ok;
         more = sub.GetNextSubKey(subName, sizeof(subName))) {
        if (!subName[0])
            ok = false;   // a name longer than any key name can be
        else if (!keyFilter || keyFilter->Match(subName))
            ok = ReadRegSubKeyToTree(sub, subName, *level, deepKeys, deepValues, filterDeep);
    }
    if (ok && sub.FindValue(nullptr) && (!valueFilter || valueFilter->Match("NULL")))
        ok = AddValue(sub, nullptr, *level);
    std::vector<char> valueName(ValueNameSize + 1);
    for (bool more = sub.GetFirstValue(valueName.data(), ValueNameSize + 1); more && ok;
         more = sub.GetNextValue(valueName.data(), ValueNameSize + 1)) {
        if (valueName[0] && (!valueFilter || valueFilter->Match(valueName.data())))
            ok = AddValue(sub, valueName.data(), *level);
    }
    if (level->IsEmpty())
        tree.RemoveChild(tree.GetTailPos());
    return ok;
}

bool CheckRegSubKeyTree(XmlTree& tree, POS entry)
{
    return DoKey(nullptr, tree, entry ? entry : tree.GetHeadPos());
}

bool WriteRegSubKeyFromTree(RegKey& key, XmlTree& tree, POS entry)
{
    return key.IsOpen() && DoKey(&key, tree, entry ? entry : tree.GetHeadPos());
}

bool DoExportOpts(HWND, const char* path)
{
    char maker[KeyPathSize], product[KeyPathSize];
    if (!path || !*path || !GetProductKey(maker, product))
        return false;
    RegKey makerKey(maker);
    if (!makerKey.IsOpen())
        return false;
    XmlTree tree;
    if (!ReadRegSubKeyToTree(makerKey, product, tree))
        return false;
    int count = tree.Put(nullptr);
    std::vector<char> text(count + 1, 0);
    char* out = text.data();
    tree.Put(out);
    VmFile file;
    return file.Open(path, true) && file.WriteBin(text.data(), (DWORD)count) &&
           file.SetEndOfFile();
}

bool DoImportOpts(HWND owner, const char* path)
{
    char maker[KeyPathSize], product[KeyPathSize];
    if (!path || !*path || !GetProductKey(maker, product))
        return false;
    RegKey makerKey(maker, 1);
    if (!makerKey.IsOpen())
        return false;
    std::vector<char> text = ReadWholeFile(path);
    if (text.empty() || IsUnicodeText(text.data(), text.size() - 1))
        return false;
    XmlTree tree;
    const char* p = text.data();
    if (!tree.Get(owner, p))
        return false;
    // The whole tree is checked before the current settings go: a file of the wrong form
    // must not leave the program without any.
    if (!CheckRegSubKeyTree(tree))
        return false;
    if (!makerKey.DelSubKey(product))
        return false;
    return WriteRegSubKeyFromTree(makerKey, tree);
}

bool CheckImportFileFmtValid(HWND owner, const char* path, bool quiet)
{
    VmFile file;
    if (!path || !*path || !file.Open(path, false))
        return true;
    char mark[2];
    if (!file.ReadBin(mark, sizeof(mark)) || !IsUnicodeText(mark, sizeof(mark)))
        return true;
    if (!quiet)
        Msg(owner, MB_OK | MB_ICONSTOP, -IDS_LIB_OPTS_WRONG_FORMAT, path, GetProductInfo().name,
            kUnicodeEdition);
    return false;
}

void CALLBACK LoadOptions(HWND window, HINSTANCE, LPSTR commandLine, int)
{
    RunTransfer(window, commandLine, true);
}

void CALLBACK LoadOptionsA(HWND window, HINSTANCE, LPSTR commandLine, int)
{
    RunTransfer(window, commandLine, true);
}

void CALLBACK StoreOptions(HWND window, HINSTANCE, LPSTR commandLine, int)
{
    RunTransfer(window, commandLine, false);
}

void CALLBACK StoreOptionsA(HWND window, HINSTANCE, LPSTR commandLine, int)
{
    RunTransfer(window, commandLine, false);
}
