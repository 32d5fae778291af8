#include "XmlFixture.h"
#include "lib/registry/RegFixture.h"
#include "lib/ui/UiTestUtil.h"
#include "files/Filter.h"
#include "registry/RegKey.h"
#include "xml/SettingsFile.h"
#include <string>
#include <vector>

namespace {

std::string TempFile(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof(dir), dir);
    return std::string(dir) + name + "_" + std::to_string(GetCurrentProcessId()) + ".opt";
}

std::string ReadFileText(const std::string& path)
{
    std::string text;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buf[4096];
    DWORD got;
    while (ReadFile(h, buf, sizeof(buf), &got, NULL) && got)
        text.append(buf, got);
    CloseHandle(h);
    return text;
}

void WriteFileText(const std::string& path, const std::string& text)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD done;
    WriteFile(h, text.data(), (DWORD)text.size(), &done, NULL);
    CloseHandle(h);
}

void WriteRawTree(HKEY root, const std::string& path, const RawTree& tree)
{
    for (const auto& v : tree.values)
        RawSet(root, path, v.first.empty() ? NULL : v.first.c_str(), v.second.type,
               v.second.data.data(), (DWORD)v.second.data.size());
    HKEY key;
    RegCreateKeyExA(root, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    RegCloseKey(key);
    for (const auto& k : tree.keys)
        WriteRawTree(root, path + "\\" + k.first, k.second);
}

// A throwaway product key "Prod" below the test key, with the test application's root key
// "Prod\App" pointing at it.
class SettingsFileTest : public RegFixture {
protected:
    void SetUp() override
    {
        RegFixture::SetUp();
        AppInfo::SetAppRootKey(Path("Prod\\App").c_str());
        m_file = TempFile("SettingsFileTest");
    }
    void TearDown() override
    {
        DeleteFileA(m_file.c_str());
        RegFixture::TearDown();
    }

    void FillProduct()
    {
        DWORD all = 0xFFFFFFFF;
        const BYTE bin[] = {0x01, 0xAB, 0xFF};
        RawSetStr(HKEY_CURRENT_USER, Sub("Prod"), NULL, "default text");
        RawSetDword(HKEY_CURRENT_USER, Sub("Prod"), "Options", 0x12345678);
        RawSet(HKEY_CURRENT_USER, Sub("Prod"), "All", REG_DWORD, &all, sizeof(all));
        RawSet(HKEY_CURRENT_USER, Sub("Prod"), "Bin", REG_BINARY, bin, sizeof(bin));
        RawSet(HKEY_CURRENT_USER, Sub("Prod"), "EmptyBin", REG_BINARY, bin, 0);
        RawSetStr(HKEY_CURRENT_USER, Sub("Prod"), "Empty", "");
        RawSetStr(HKEY_CURRENT_USER, Sub("Prod"), "Cmd", "\"C:\\Program Files\\x.exe\" \"%1\"");
        RawSetStr(HKEY_CURRENT_USER, Sub("Prod"), "Amp", "a &amp; b <c> it's");
        RawSetStr(HKEY_CURRENT_USER, Sub("Prod"), "Long", std::string(1000, 'L').c_str());
        RawSetStr(HKEY_CURRENT_USER, Sub("Prod\\App"), "Folder", "C:\\windows");
        std::vector<BYTE> big(4000);
        for (size_t i = 0; i < big.size(); ++i)
            big[i] = (BYTE)(i * 7);
        RawSet(HKEY_CURRENT_USER, Sub("Prod\\App\\1"), "ViewView", REG_BINARY, big.data(),
               (DWORD)big.size());
        RawSetStr(HKEY_CURRENT_USER, Sub("Prod\\App\\Deep\\Deeper"), NULL, "d");
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, Sub("Prod\\EmptyKey").c_str(), 0, NULL, 0,
                        KEY_ALL_ACCESS, NULL, &key, NULL);
        RegCloseKey(key);
    }

    RawTree Product()
    {
        RawTree tree;
        ReadRawTree(HKEY_CURRENT_USER, Sub("Prod"), tree);
        return tree;
    }

    XmlAppInfo m_app;
    std::string m_file;
};

}  // namespace

TEST_F(SettingsFileTest, ExportThenImportGivesTheSameKey)
{
    FillProduct();
    RawTree before = Product();
    ASSERT_TRUE(DoExportOpts(NULL, m_file.c_str()));
    std::string text = ReadFileText(m_file);
    EXPECT_EQ(0u, text.find("<?xml version=\"1.0\"?>\r\n<KEY Name=\"Prod\">\r\n"));
    EXPECT_NE(std::string::npos,
              text.find("<DATA Name=\"All\" Type=\"REG_DWORD\" Value=\"4294967295\"/>"));
    EXPECT_NE(std::string::npos,
              text.find("<DATA Name=\"Bin\" Type=\"REG_BINARY\" Value=\"01ABFF\"/>"));
    EXPECT_NE(std::string::npos,
              text.find("<DATA Name=\"\" Type=\"REG_SZ\" Value=\"default text\"/>"));
    EXPECT_NE(std::string::npos, text.find("\t<KEY Name=\"EmptyKey\"/>\r\n"));

    // Extra settings go; everything else comes back as it was.
    RawSetStr(HKEY_CURRENT_USER, Sub("Prod\\Stale"), "x", "y");
    RawSetDword(HKEY_CURRENT_USER, Sub("Prod"), "Options", 1);
    ASSERT_TRUE(DoImportOpts(NULL, m_file.c_str()));
    EXPECT_TRUE(before == Product());

    // A second export of the imported key is the same file.
    std::string again = TempFile("SettingsFileTest2");
    ASSERT_TRUE(DoExportOpts(NULL, again.c_str()));
    EXPECT_EQ(text, ReadFileText(again));
    DeleteFileA(again.c_str());
}

TEST_F(SettingsFileTest, SubkeysComeBeforeTheDefaultValueBeforeNamedValues)
{
    RawSetStr(HKEY_CURRENT_USER, Sub("Prod"), "Named", "n");
    RawSetStr(HKEY_CURRENT_USER, Sub("Prod"), NULL, "def");
    RawSetStr(HKEY_CURRENT_USER, Sub("Prod\\Sub"), "v", "1");
    ASSERT_TRUE(DoExportOpts(NULL, m_file.c_str()));
    std::string text = ReadFileText(m_file);
    size_t sub = text.find("<KEY Name=\"Sub\">");
    size_t def = text.find("<DATA Name=\"\" ");
    size_t named = text.find("<DATA Name=\"Named\"");
    ASSERT_NE(std::string::npos, sub);
    ASSERT_NE(std::string::npos, def);
    ASSERT_NE(std::string::npos, named);
    EXPECT_LT(sub, def);
    EXPECT_LT(def, named);
}

TEST_F(SettingsFileTest, ExportFailsWithoutProductKeyOrWithAnUnwritableValue)
{
    EXPECT_FALSE(DoExportOpts(NULL, m_file.c_str()));   // no "Prod" yet
    EXPECT_EQ("<missing>", ReadFileText(m_file));
    RawSetStr(HKEY_CURRENT_USER, Sub("Prod"), "Both", "\" and '");
    EXPECT_FALSE(DoExportOpts(NULL, m_file.c_str()));
    EXPECT_FALSE(DoExportOpts(NULL, NULL));
    EXPECT_FALSE(DoExportOpts(NULL, ""));
}

TEST_F(SettingsFileTest, ExportCutsALongerOldFile)
{
    RawSetStr(HKEY_CURRENT_USER, Sub("Prod"), "v", "1");
    WriteFileText(m_file, std::string(20000, 'Q'));
    ASSERT_TRUE(DoExportOpts(NULL, m_file.c_str()));
    std::string text = ReadFileText(m_file);
    EXPECT_EQ(std::string::npos, text.find('Q'));
    EXPECT_LT(text.size(), 200u);
}

TEST_F(SettingsFileTest, OtherValueTypesAreLeftOut)
{
    RawSet(HKEY_CURRENT_USER, Sub("Prod"), "Expand", REG_EXPAND_SZ, "%TEMP%", 7);
    RawSetStr(HKEY_CURRENT_USER, Sub("Prod"), "Kept", "k");
    ASSERT_TRUE(DoExportOpts(NULL, m_file.c_str()));
    std::string text = ReadFileText(m_file);
    EXPECT_EQ(std::string::npos, text.find("Expand"));
    EXPECT_NE(std::string::npos, text.find("Kept"));
}

TEST_F(SettingsFileTest, ImportedNumbersAndBytes)
{
    WriteFileText(m_file, "<?xml version=\"1.0\"?>\r\n<KEY Name=\"Prod\">\r\n"
                          "<DATA Name=\"neg\" Type=\"REG_DWORD\" Value=\"-1\"/>\r\n"
                          "<DATA Name=\"wrap\" Type=\"REG_DWORD\" Value=\"4294967297\"/>\r\n"
                          "<DATA Name=\"plus\" Type=\"REG_DWORD\" Value=\"+7x\"/>\r\n"
                          "<DATA Name=\"odd\" Type=\"REG_BINARY\" Value=\"abC\"/>\r\n"
                          "<DATA Name=\"none\" Type=\"REG_BINARY\" Value=\"\"/>\r\n"
                          "<DATA Name=\"\" Type=\"REG_SZ\" Value=\"root\"/>\r\n"
                          "<KEY Name=\"A\"><KEY Name=\"B\"/></KEY>\r\n"
                          "</KEY>\r\n");
    ASSERT_TRUE(DoImportOpts(NULL, m_file.c_str()));
    RawTree t = Product();
    auto dword = [&](const char* name) {
        const RawValue& v = t.values[name];
        DWORD x = 0;
        if (v.type == REG_DWORD && v.data.size() == 4)
            memcpy(&x, v.data.data(), 4);
        return x;
    };
    EXPECT_EQ(0xFFFFFFFFu, dword("neg"));
    EXPECT_EQ(1u, dword("wrap"));
    EXPECT_EQ(7u, dword("plus"));
    EXPECT_EQ(REG_BINARY, t.values["odd"].type);
    EXPECT_EQ(std::vector<BYTE>({0xAB}), t.values["odd"].data);
    EXPECT_EQ(REG_BINARY, t.values["none"].type);
    EXPECT_TRUE(t.values["none"].data.empty());
    EXPECT_EQ("root", RawGetStr(HKEY_CURRENT_USER, Sub("Prod"), NULL));
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, Sub("Prod\\A\\B")));
}

// Files that do not describe a key leave the product key as it was.
TEST_F(SettingsFileTest, InvalidFilesImportNothing)
{
    FillProduct();
    RawTree before = Product();
    ASSERT_TRUE(DoExportOpts(NULL, m_file.c_str()));
    std::string good = ReadFileText(m_file);
    struct Case {
        std::string text;
        bool box;   // the parser reports a syntax error
    } cases[] = {
        {good.substr(0, good.size() / 2), true},
        {good.substr(0, good.size() - 3), true},
        {good.substr(0, good.find("\r\n") + 2), false},   // prolog only
        {"", false},
        {"<?xml version=\"1.0\"?>\r\n<DATA Name=\"x\" Type=\"REG_SZ\" Value=\"1\"/>\r\n", false},
        {"<?xml version=\"1.0\"?>\r\n<KEY Name=\"\"/>\r\n", false},
        {"<?xml version=\"1.0\"?>\r\n<KEY/>\r\n", false},
        {"<?xml version=\"1.0\"?>\r\n<KEY Name=\"Prod\"><VALUE/></KEY>\r\n", false},
        {"<?xml version=\"1.0\"?>\r\n<KEY Name=\"Prod\"><DATA Name=\"a\" Type=\"REG_QWORD\" "
         "Value=\"1\"/></KEY>\r\n",
         false},
        {"<?xml version=\"1.0\"?>\r\n<KEY Name=\"Prod\"><KEY Name=\"A\"><DATA Name=\"a\" "
         "Type=\"REG_BINARY\" Value=\"0G\"/></KEY></KEY>\r\n",
         false},
        // Valid elements before an unknown one: nothing is written either.
        {"<?xml version=\"1.0\"?>\r\n<KEY Name=\"Prod\"><KEY Name=\"A\"/><DATA Name=\"x\" "
         "Type=\"REG_DWORD\" Value=\"1\"/><Other/></KEY>\r\n",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 120));
        WriteFileText(m_file, c.text);
        EXPECT_TRUE(CheckImportFileFmtValid(NULL, m_file.c_str(), true));
        if (c.box) {
            uitest::BoxAnswerer box(XML_TEST_PRODUCT, IDOK, 5000);
            EXPECT_FALSE(DoImportOpts(NULL, m_file.c_str()));
            EXPECT_TRUE(box.Answered());
            EXPECT_EQ(0u, box.Text().find("Error parsing XML document in line"));
        } else {
            EXPECT_FALSE(DoImportOpts(NULL, m_file.c_str()));
        }
        EXPECT_TRUE(before == Product());
    }
    DeleteFileA(m_file.c_str());
    EXPECT_TRUE(CheckImportFileFmtValid(NULL, m_file.c_str(), true));   // cannot be opened
    EXPECT_FALSE(DoImportOpts(NULL, m_file.c_str()));
    EXPECT_FALSE(DoImportOpts(NULL, NULL));
    EXPECT_TRUE(before == Product());
}

TEST_F(SettingsFileTest, UnicodeFilesAreRefused)
{
    FillProduct();
    RawTree before = Product();
    std::string text = "\xFF\xFE<\0?\0x\0m\0l\0";
    text.assign("\xFF\xFE<\0?\0", 6);
    WriteFileText(m_file, text);
    EXPECT_FALSE(CheckImportFileFmtValid(NULL, m_file.c_str(), true));
    {
        uitest::BoxAnswerer box(XML_TEST_PRODUCT, IDOK, 5000);
        EXPECT_FALSE(CheckImportFileFmtValid(NULL, m_file.c_str(), false));
        ASSERT_TRUE(box.Answered());
        EXPECT_NE(std::string::npos, box.Text().find(m_file));
        EXPECT_NE(std::string::npos, box.Text().find("is incompatible with Panorel QV"));
    }
    EXPECT_FALSE(DoImportOpts(NULL, m_file.c_str()));
    EXPECT_TRUE(before == Product());
    // A UTF-8 mark or a single FF byte is no UTF-16 mark.
    WriteFileText(m_file, "\xEF\xBB\xBF<?xml?>");
    EXPECT_TRUE(CheckImportFileFmtValid(NULL, m_file.c_str(), true));
    WriteFileText(m_file, "\xFF");
    EXPECT_TRUE(CheckImportFileFmtValid(NULL, m_file.c_str(), true));
}

TEST_F(SettingsFileTest, FiltersSelectKeysAndValues)
{
    RawSetStr(HKEY_CURRENT_USER, Sub("Prod"), NULL, "def");
    RawSetStr(HKEY_CURRENT_USER, Sub("Prod"), "KeepTop", "1");
    RawSetStr(HKEY_CURRENT_USER, Sub("Prod"), "DropTop", "2");
    RawSetStr(HKEY_CURRENT_USER, Sub("Prod\\KeepKey"), "KeepIn", "3");
    RawSetStr(HKEY_CURRENT_USER, Sub("Prod\\KeepKey"), "DropIn", "4");
    RawSetStr(HKEY_CURRENT_USER, Sub("Prod\\KeepKey\\DropSub"), "x", "5");
    RawSetStr(HKEY_CURRENT_USER, Sub("Prod\\DropKey"), "y", "6");
    Filter keys("Keep*"), values("Keep*;NULL", NULL, ";");
    RegKey maker(Path().c_str());
    ASSERT_TRUE(maker.IsOpen());
    for (int deep = 0; deep < 2; ++deep) {
        SCOPED_TRACE(deep);
        XmlTree tree;
        ASSERT_TRUE(ReadRegSubKeyToTree(maker, "Prod", tree, &keys, &values, deep != 0));
        int count = tree.Put(nullptr);
        std::string text(count, 0);
        char* out = &text[0];
        tree.Put(out);
        EXPECT_NE(std::string::npos, text.find("KeepTop"));
        EXPECT_NE(std::string::npos, text.find("Value=\"def\""));
        EXPECT_EQ(std::string::npos, text.find("DropTop"));
        EXPECT_EQ(std::string::npos, text.find("DropKey"));
        EXPECT_NE(std::string::npos, text.find("KeepIn"));
        EXPECT_EQ(deep == 0, text.find("DropIn") != std::string::npos);
        EXPECT_EQ(deep == 0, text.find("DropSub") != std::string::npos);
    }
    XmlTree none;
    EXPECT_FALSE(ReadRegSubKeyToTree(maker, "Missing", none));
    EXPECT_FALSE(ReadRegSubKeyToTree(maker, NULL, none));
    EXPECT_EQ(0, none.GetCount());
}

TEST_F(SettingsFileTest, WriteFromTreeTakesTheGivenEntry)
{
    XmlTree tree;
    tree.AddItem("KEY")->AddAttrib("Name", "First");
    tree.AddItem("KEY")->AddAttrib("Name", "Second");
    XmlTreeItem* d = tree.AddSubTree()->AddItem("DATA");
    d->AddAttrib("Name", "v");
    d->AddAttrib("Type", "REG_SZ");
    d->AddAttrib("Value", "2");
    RegKey key(Path().c_str(), 1);
    ASSERT_TRUE(WriteRegSubKeyFromTree(key, tree, tree.GetTailPos()));
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, Sub("First")));
    EXPECT_EQ("2", RawGetStr(HKEY_CURRENT_USER, Sub("Second"), "v"));
    ASSERT_TRUE(WriteRegSubKeyFromTree(key, tree));
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, Sub("First")));
    RegKey closed;
    EXPECT_FALSE(WriteRegSubKeyFromTree(closed, tree));
    XmlTree empty;
    EXPECT_FALSE(WriteRegSubKeyFromTree(key, empty));
}

// The transfer entry points through the system's RunDll32, on the real product key (kept and
// put back around the test).
class RunDllTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_had = RawKeyExists(HKEY_CURRENT_USER, kProduct);
        if (m_had)
            ReadRawTree(HKEY_CURRENT_USER, kProduct, m_saved);
        m_file = TempFile("RunDllTest");
    }
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kProduct);
        RegDeleteKeyA(HKEY_CURRENT_USER, kProduct);
        if (m_had)
            WriteRawTree(HKEY_CURRENT_USER, kProduct, m_saved);
        DeleteFileA(m_file.c_str());
    }

    // Runs "rundll32 <short dll path>,<entry> <args>", answers its report with No and returns
    // the report's text.
    std::string Run(const char* entry, const std::string& args)
    {
        char dll[MAX_PATH], shortDll[MAX_PATH];
        GetModuleFileNameA(GetModuleHandleA("panorel32.dll"), dll, sizeof(dll));
        if (!GetShortPathNameA(dll, shortDll, sizeof(shortDll)))
            strcpy(shortDll, dll);
        std::string cmd = std::string("rundll32.exe ") + shortDll + "," + entry + " " + args;
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back(0);
        if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
            ADD_FAILURE() << "cannot start " << cmd;
            return "";
        }
        std::string text;
        DWORD start = GetTickCount();
        while (GetTickCount() - start < 20000 && text.empty()) {
            Find f = {pi.dwProcessId, NULL};
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&f));
            if (f.box) {
                char buf[2048] = "";
                GetDlgItemTextA(f.box, 0xFFFF, buf, sizeof(buf));
                text = buf;
                PostMessageA(f.box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(f.box, IDNO)));
            }
            Sleep(50);
        }
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 20000));
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return text;
    }

    struct Find {
        DWORD pid;
        HWND box;
    };
    static BOOL CALLBACK FindBox(HWND wnd, LPARAM param)
    {
        Find* f = reinterpret_cast<Find*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(wnd, &pid);
        char cls[32] = "";
        GetClassNameA(wnd, cls, sizeof(cls));
        if (pid == f->pid && strcmp(cls, "#32770") == 0 && IsWindowVisible(wnd) &&
            GetDlgItem(wnd, IDNO)) {
            f->box = wnd;
            return FALSE;
        }
        return TRUE;
    }

    static constexpr const char* kProduct = "Software\\Corvane\\Panorel QV";
    bool m_had = false;
    RawTree m_saved;
    std::string m_file;
};

TEST_F(RunDllTest, StoreThenLoadOptionsRestoreTheProductKey)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kProduct);
    const BYTE bin[] = {0x01, 0xAB, 0xFF};
    RawSetDword(HKEY_CURRENT_USER, kProduct, "All", 0xFFFFFFFF);
    RawSet(HKEY_CURRENT_USER, std::string(kProduct) + "\\Panorel QV", "Bin", REG_BINARY, bin,
           sizeof(bin));
    RawSetStr(HKEY_CURRENT_USER, std::string(kProduct) + "\\Panorel QV\\Sub", NULL, "x y");
    RawTree before;
    ASSERT_TRUE(ReadRawTree(HKEY_CURRENT_USER, kProduct, before));

    std::string report = Run("StoreOptions", m_file);
    EXPECT_EQ("The settings have been saved in " + m_file +
                  ".\n\nDo you want to return to Panorel?",
              report);
    std::string text = ReadFileText(m_file);
    EXPECT_EQ(0u, text.find("<?xml version=\"1.0\"?>\r\n<KEY Name=\"Panorel QV\">"));
    EXPECT_NE(std::string::npos, text.find("Value=\"4294967295\""));

    RawSetStr(HKEY_CURRENT_USER, std::string(kProduct) + "\\Stale", "x", "y");
    report = Run("LoadOptions", "\"" + m_file + "\"");   // quotes around the path are taken off
    EXPECT_EQ("The settings have been imported from " + m_file +
                  ".\n\nDo you want to return to Panorel?",
              report);
    RawTree after;
    ASSERT_TRUE(ReadRawTree(HKEY_CURRENT_USER, kProduct, after));
    EXPECT_TRUE(before == after);
}

TEST_F(RunDllTest, LoadOptionsReportsAMissingFile)
{
    RawSetStr(HKEY_CURRENT_USER, kProduct, "Keep", "1");
    std::string report = Run("LoadOptions", m_file);
    EXPECT_EQ(0u, report.find("Cannot import settings from file " + m_file + "."));
    EXPECT_EQ("1", RawGetStr(HKEY_CURRENT_USER, kProduct, "Keep"));
}
