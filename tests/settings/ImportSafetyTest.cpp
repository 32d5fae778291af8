// Settings files that try to write outside the product key, and thousands of damaged settings
// files: none may crash or hang the importer, and a file that fails the check imports nothing.
#include <gtest/gtest.h>
#include <windows.h>
#include <random>
#include <string>
#include <vector>
#include "driver/SelectDriver.h"
#include "lib/registry/RegFixture.h"
#include "lib/xml/XmlFixture.h"
#include "registry/AppInfo.h"
#include "xml/SettingsFile.h"
#include "xml/XmlTree.h"

namespace {
const char kMaker[] = "Software\\Corvane";
const char kProduct[] = "Software\\Corvane\\Panorel QV";

std::string TempFile(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof(dir), dir);
    return std::string(dir) + name + "_" + std::to_string(GetCurrentProcessId()) + ".opt";
}

// The names of a key's subkeys.
std::vector<std::string> SubKeys(HKEY root, const char* path)
{
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    char name[512];
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &len, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    RegCloseKey(key);
    return names;
}

// Everything an import could reach that is not the product key.
struct Outside {
    RawTree maker;   // the maker's key without the product
    std::vector<std::string> userSoftware, machineSoftware, userRoot, machineRoot;
    RawTree machineMaker;
    bool operator==(const Outside& o) const
    {
        return maker == o.maker && userSoftware == o.userSoftware &&
               machineSoftware == o.machineSoftware && userRoot == o.userRoot &&
               machineRoot == o.machineRoot && machineMaker == o.machineMaker;
    }
};

Outside ReadOutside()
{
    Outside o;
    ReadRawTree(HKEY_CURRENT_USER, kMaker, o.maker);
    o.maker.keys.erase("Panorel QV");
    ReadRawTree(HKEY_LOCAL_MACHINE, kMaker, o.machineMaker);
    o.userSoftware = SubKeys(HKEY_CURRENT_USER, "Software");
    o.machineSoftware = SubKeys(HKEY_LOCAL_MACHINE, "Software");
    o.userRoot = SubKeys(HKEY_CURRENT_USER, "");
    o.machineRoot = SubKeys(HKEY_LOCAL_MACHINE, "");
    return o;
}

RawTree Product()
{
    RawTree t;
    ReadRawTree(HKEY_CURRENT_USER, kProduct, t);
    return t;
}

// The real product key, saved and put back around each test.
class ImportSafety : public ::testing::Test {
protected:
    ImportSafety() : m_info(GetModuleHandleA(NULL), "Panorel QV", "App", NULL, NULL, 0, 0) {}
    void SetUp() override
    {
        AppInfo::SetAppRootKey("HKCU\\Software\\Corvane\\Panorel QV\\Panorel QV");
        m_had = RawKeyExists(HKEY_CURRENT_USER, kProduct);
        if (m_had)
            ReadRawTree(HKEY_CURRENT_USER, kProduct, m_saved);
        RegDeleteTreeA(HKEY_CURRENT_USER, kProduct);
        m_file = TempFile("ImportSafety");
        Fill();
    }
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kProduct);
        RegDeleteKeyA(HKEY_CURRENT_USER, kProduct);
        if (m_had)
            Restore(kProduct, m_saved);
        DeleteFileA(m_file.c_str());
    }
    static void Restore(const std::string& path, const RawTree& tree)
    {
        for (const auto& v : tree.values)
            RawSet(HKEY_CURRENT_USER, path, v.first.empty() ? NULL : v.first.c_str(),
                   v.second.type, v.second.data.data(), (DWORD)v.second.data.size());
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key,
                        NULL);
        RegCloseKey(key);
        for (const auto& k : tree.keys)
            Restore(path + "\\" + k.first, k.second);
    }
    static void Fill()
    {
        std::string root = std::string(kProduct) + "\\Panorel QV";
        RawSetDword(HKEY_CURRENT_USER, root, "Settings", 0x0C081870);
        RawSetDword(HKEY_CURRENT_USER, root, "All", 0xFFFFFFFF);
        const BYTE bin[] = {0x01, 0xAB, 0xFF, 0x00, 0x7F};
        RawSet(HKEY_CURRENT_USER, root, "Bin", REG_BINARY, bin, sizeof(bin));
        RawSetStr(HKEY_CURRENT_USER, root, "日本語", "Кириллица 🎛");
        RawSetStr(HKEY_CURRENT_USER, root + "\\Sub\\Deeper", NULL, "default");
        RawSetStr(HKEY_CURRENT_USER, root + "\\1", "ViewView", "x");
    }
    std::string Doc(const std::string& body)
    {
        return "<?xml version=\"1.0\"?>\r\n" + body + "\r\n";
    }

    AppInfo m_info;
    bool m_had = false;
    RawTree m_saved;
    std::string m_file;
};

}  // namespace

TEST_F(ImportSafety, KeyPathsInTheFileNeverLeaveTheProductKey)
{
    RawTree before = Product();
    Outside outside = ReadOutside();
    const std::string data = "<DATA Name=\"x\" Type=\"REG_SZ\" Value=\"evil\"/>";
    const char* topNames[] = {"..\\Evil1", "Panorel QV\\..\\Evil2", "Other Product",
                              "HKEY_LOCAL_MACHINE\\Software\\Evil3", "\\Software\\Evil4",
                              "HKLM\\Software\\Corvane\\Panorel QV", "..", ".",
                              "Panorel QV\\Panorel QV", "", "C:\\Evil5"};
    const char* subNames[] = {"..\\..\\Evil6", "..", ".", "\\Software\\Evil7",
                              "HKEY_LOCAL_MACHINE\\Software\\Evil8", "HKCU\\Software\\Evil9",
                              "a\\b", "C:\\Evil10", "\\\\server\\share", "Evil\\", "\xC3\x28",
                              "\xED\xA0\x80"};
    std::vector<std::string> files;
    for (const char* n : topNames)
        files.push_back(Doc("<KEY Name=\"" + std::string(n) + "\">" + data + "</KEY>"));
    for (const char* n : subNames)
        files.push_back(Doc("<KEY Name=\"Panorel QV\"><KEY Name=\"Panorel QV\">" + data +
                            "</KEY><KEY Name=\"" + n + "\">" + data + "</KEY></KEY>"));
    files.push_back(Doc("<KEY Name=\"Panorel QV\"><KEY Name=\"" + std::string(300, 'k') +
                        "\"/></KEY>"));
    // A second top-level element is never imported.
    for (const std::string& text : files) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(drv::WriteBytes(m_file, text));
        EXPECT_FALSE(DoImportOptsQuiet(m_file.c_str()));
        EXPECT_TRUE(before == Product());
        EXPECT_TRUE(outside == ReadOutside());
    }
    for (const char* evil : {"Software\\Evil1", "Software\\Corvane\\Evil2",
                             "Software\\Corvane\\Other Product", "Evil1", "Software\\Evil4"})
        EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, evil)) << evil;
    EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, "Software\\Evil3"));
    EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, "Software\\Evil8"));
}

TEST_F(ImportSafety, ValueNamesAndTheProductNameInAnyCaseStayInside)
{
    Outside outside = ReadOutside();
    ASSERT_TRUE(drv::WriteBytes(m_file,
                   Doc("<KEY Name=\"panorel qv\">"
                       "<KEY Name=\"Panorel QV\"><DATA Name=\"..\\..\\HKLM\\x\" Type=\"REG_SZ\" "
                       "Value=\"inside\"/></KEY></KEY>\r\n<KEY Name=\"Other\"/>")));
    ASSERT_TRUE(DoImportOptsQuiet(m_file.c_str()));
    EXPECT_EQ("inside",
              RawGetStr(HKEY_CURRENT_USER, std::string(kProduct) + "\\Panorel QV", "..\\..\\HKLM\\x"));
    EXPECT_TRUE(outside == ReadOutside());
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, "Software\\Corvane\\Other"));
}

// A deterministic mutation fuzzer: fixed seeds, a bounded number of cases.
class ImportFuzz : public ImportSafety {
protected:
    using Rng = std::mt19937;

    static size_t Pick(Rng& rng, size_t n) { return n ? (size_t)(rng() % n) : 0; }

    static std::string Mutate(Rng& rng, std::string s)
    {
        static const char* pieces[] = {"<", ">", "/", "/>", "</", "\"", "'", "=", "<!--", "-->",
                                       "<KEY>", "</KEY>", "<DATA/>", "Name=", "Type=\"REG_SZ\"",
                                       "Type=\"REG_DWORD\"", "Type=\"REG_BINARY\"", "Value=\"",
                                       "\r\n", "\t", "&amp;", "\xC3\x28", "\xC0\x80",
                                       "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xFF\xFE",
                                       "\\", "..\\", "HKEY_LOCAL_MACHINE\\"};
        int steps = 1 + (int)Pick(rng, 4);
        for (int i = 0; i < steps; i++) {
            size_t at = Pick(rng, s.size() + 1);
            switch (Pick(rng, 10)) {
            case 0:   // truncated
                s.resize(at);
                break;
            case 1:   // a span lost
                s.erase(at, Pick(rng, 64));
                break;
            case 2:   // a token of the syntax where it does not belong
                s.insert(at, pieces[Pick(rng, sizeof(pieces) / sizeof(pieces[0]))]);
                break;
            case 3: {   // a span repeated elsewhere: wrong nesting
                size_t from = Pick(rng, s.size() + 1);
                std::string span = s.substr(from, Pick(rng, 200));
                s.insert(Pick(rng, s.size() + 1), span);
                break;
            }
            case 4:   // any byte
                if (!s.empty())
                    s[Pick(rng, s.size())] = (char)(rng() & 0xFF);
                break;
            case 5: {   // a name misspelt
                size_t k = s.find("KEY", Pick(rng, s.size() + 1));
                if (k != std::string::npos)
                    s[k + Pick(rng, 3)] = "XYZ_k"[Pick(rng, 5)];
                break;
            }
            case 6:   // a huge attribute
                s.insert(at, " Big=\"" + std::string(20000 + Pick(rng, 30000), 'A') + "\"");
                break;
            case 7: {   // deep nesting, closed or not
                size_t depth = 1 + Pick(rng, 2000);
                std::string open, close;
                for (size_t d = 0; d < depth; d++) {
                    open += "<KEY Name=\"d\">";
                    close += "</KEY>";
                }
                s.insert(at, Pick(rng, 2) ? open + close : open);
                break;
            }
            case 8:   // a value's quotes or digits broken
                if (!s.empty()) {
                    size_t q = s.find('"', at);
                    if (q != std::string::npos)
                        s.erase(q, 1);
                }
                break;
            default:   // random bytes
                for (size_t n = Pick(rng, 16); n; n--)
                    s.insert(s.begin() + Pick(rng, s.size() + 1), (char)(rng() & 0xFF));
                break;
            }
        }
        return s;
    }
};

TEST_F(ImportFuzz, DamagedFilesNeverCrashAndImportNothingUnlessTheyPass)
{
    ASSERT_TRUE(DoExportOpts(NULL, m_file.c_str()));
    std::vector<std::string> seeds = {
        drv::ReadBytes(m_file),
        Doc("<KEY Name=\"Panorel QV\"><KEY Name=\"Panorel QV\"><DATA Name=\"a\" "
            "Type=\"REG_DWORD\" Value=\"4294967295\"/><DATA Name=\"\" Type=\"REG_SZ\" "
            "Value='it&apos;s \"q\"'/><!-- c --><KEY Name=\"S\"><DATA Name=\"b\" "
            "Type=\"REG_BINARY\" Value=\"01ABFF\"/></KEY></KEY></KEY>"),
    };
    ASSERT_GT(seeds[0].size(), 100u);
    RawTree before = Product();
    Outside outside = ReadOutside();
    int imported = 0, refused = 0, parsed = 0;
    DWORD start = GetTickCount();
    const int kCases = 3000;
    for (unsigned seed = 1; seed <= (unsigned)kCases; ++seed) {
        Rng rng(seed);
        std::string text = Mutate(rng, seeds[seed % seeds.size()]);
        SCOPED_TRACE(seed);
        {
            // In memory, at the very end of readable memory: no read past the terminator.
            GuardedText guarded(text.c_str(), strlen(text.c_str()));
            XmlTree tree;
            tree.SetQuiet(true);
            const char* p = guarded.Get();
            parsed += tree.Get(NULL, p) ? 1 : 0;
        }
        ASSERT_TRUE(drv::WriteBytes(m_file, text));
        if (DoImportOptsQuiet(m_file.c_str())) {
            ++imported;
            before = Product();   // the file passed: it is the product key now
            ASSERT_TRUE(RawKeyExists(HKEY_CURRENT_USER, kProduct));
        } else {
            ++refused;
            ASSERT_TRUE(before == Product()) << text.substr(0, 300);
        }
        if (seed % 20 == 0) {   // the whole rest of the registry is slow to read
            ASSERT_TRUE(outside == ReadOutside()) << "by case " << seed;
        }
        if (GetTickCount() - start > 240000)
            break;   // bounded: a slow machine runs fewer cases
    }
    EXPECT_TRUE(outside == ReadOutside());
    printf("fuzz: %d cases, %d parsed, %d imported, %d refused, %lu ms\n", imported + refused,
           parsed, imported, refused, (unsigned long)(GetTickCount() - start));
    EXPECT_GT(refused, 0);
    EXPECT_GT(imported, 0);
}

TEST_F(ImportFuzz, NestingFarBeyondTheRegistryLimitIsAnErrorNotACrash)
{
    std::string open, close;
    for (int d = 0; d < 200000; d++) {
        open += "<KEY Name=\"d\">";
        close += "</KEY>";
    }
    RawTree before = Product();
    std::string text = Doc("<KEY Name=\"Panorel QV\">" + open + close + "</KEY>");
    XmlTree tree;
    tree.SetQuiet(true);
    const char* p = text.c_str();
    EXPECT_FALSE(tree.Get(NULL, p));
    EXPECT_EQ(XmlTree::ErrSyntax, tree.GetErrorId());
    ASSERT_TRUE(drv::WriteBytes(m_file, text));
    EXPECT_FALSE(DoImportOptsQuiet(m_file.c_str()));
    EXPECT_TRUE(before == Product());
    // The deepest the registry itself allows still reads.
    std::string ok;
    for (int d = 0; d < XML_MAX_DEPTH - 1; d++)
        ok += "<A>";
    ok += "<B/>";
    for (int d = 0; d < XML_MAX_DEPTH - 1; d++)
        ok += "</A>";
    std::string doc = Doc(ok);
    const char* q = doc.c_str();
    XmlTree deep;
    deep.SetQuiet(true);
    EXPECT_TRUE(deep.Get(NULL, q));
}
