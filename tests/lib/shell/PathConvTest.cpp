#include "ShellFixture.h"
#include "shell/PathConv.h"

namespace {

class PathConvTest : public TempTree {
protected:
    void SetUp() override
    {
        TempTree::SetUp();
        MakeDir("Long Folder Name");
        MakeDir("Long Folder Name\\Mixed Case Inner");
        MakeFile("Long Folder Name\\Mixed Case Inner\\Some File.txt");
    }
};

std::string ShortOf(const std::string& path)
{
    char buf[MAX_PATH];
    DWORD n = GetShortPathNameA(path.c_str(), buf, MAX_PATH);
    return n && n < MAX_PATH ? std::string(buf) : std::string();
}

std::string Lower(std::string s)
{
    CharLowerBuffA(&s[0], (DWORD)s.size());
    return s;
}

// A buffer of 260 characters with guard bytes behind it.
struct PathBuf {
    char buf[MAX_PATH];
    char guard[32];
    explicit PathBuf(const std::string& text)
    {
        memset(this, 0x7E, sizeof(*this));
        lstrcpynA(buf, text.c_str(), MAX_PATH);
    }
    bool GuardIntact() const
    {
        for (char c : guard)
            if (c != 0x7E)
                return false;
        return true;
    }
};

// A drive letter that nothing uses, for device names made by the test.
char FreeDrive()
{
    DWORD used = GetLogicalDrives();
    for (char d = 'P'; d <= 'Y'; d++)
        if (!(used & (1u << (d - 'A'))))
            return d;
    return 0;
}

// A drive letter defined for the test's lifetime with a raw device name.
class DosDevice {
public:
    DosDevice(char drive, const char* target) : m_name{drive, ':', 0}
    {
        m_ok = DefineDosDeviceA(DDD_RAW_TARGET_PATH, m_name, target) != FALSE;
    }
    ~DosDevice()
    {
        if (m_ok)
            DefineDosDeviceA(DDD_REMOVE_DEFINITION | DDD_RAW_TARGET_PATH, m_name, NULL);
    }
    bool ok() const { return m_ok; }

private:
    char m_name[3];
    bool m_ok;
};

}  // namespace

TEST_F(PathConvTest, ShortPathOfExistingAndMissingPaths)
{
    PathBuf root("c:\\");
    EXPECT_TRUE(ConvertToShortPath(root.buf));
    EXPECT_STREQ("C:\\", root.buf);

    std::string inner = Path("Long Folder Name\\Mixed Case Inner");
    std::string shortInner = ShortOf(inner);
    ASSERT_FALSE(shortInner.empty());
    PathBuf whole(inner);
    EXPECT_TRUE(ConvertToShortPath(whole.buf));
    EXPECT_EQ(shortInner, whole.buf);

    // An existing folder and a name that does not exist yet.
    PathBuf missing(inner + "\\not there yet\\new file.txt");
    EXPECT_TRUE(ConvertToShortPath(missing.buf));
    EXPECT_EQ(shortInner + "\\not there yet\\new file.txt", missing.buf);

    // Slashes become backslashes on the way.
    std::string slashed = inner + "/new name";
    for (char& c : slashed)
        if (c == '\\')
            c = '/';
    PathBuf s(slashed);
    EXPECT_TRUE(ConvertToShortPath(s.buf));
    EXPECT_EQ(shortInner + "\\new name", s.buf);

    // A drive that does not exist: nothing converts and the text stays.
    char drive = FreeDrive();
    ASSERT_NE(0, drive);
    std::string nowhere = std::string(1, drive) + ":\\no where\\x";
    PathBuf n(nowhere);
    // Wine converts the root of a missing drive; Windows converts nothing there.
    ConvertToShortPath(n.buf);
    EXPECT_EQ(nowhere, n.buf);
    EXPECT_TRUE(whole.GuardIntact() && missing.GuardIntact() && n.GuardIntact());
}

TEST_F(PathConvTest, LongFormWithTheStoredSpelling)
{
    std::string file = Path("Long Folder Name\\Mixed Case Inner\\Some File.txt");
    std::string shortFile = ShortOf(file);
    ASSERT_FALSE(shortFile.empty());

    PathBuf lfn(shortFile);
    EXPECT_TRUE(ShortToLFN(lfn.buf));
    EXPECT_EQ(0, lstrcmpiA(file.c_str(), lfn.buf)) << lfn.buf;

    // Short form, lower case: back to the long names as the file system spells them.
    PathBuf fromShort(Lower(shortFile));
    EXPECT_TRUE(DosPathToShellPath(fromShort.buf));
    EXPECT_EQ(file, fromShort.buf);

    // Long form in the wrong case, with slashes.
    std::string wrong = Lower(file);
    for (char& c : wrong)
        if (c == '\\')
            c = '/';
    PathBuf fromLong(wrong);
    EXPECT_TRUE(DosPathToShellPath(fromLong.buf));
    EXPECT_EQ(file, fromLong.buf);

    PathBuf root("d:/");
    EXPECT_TRUE(DosPathToShellPath(root.buf));
    EXPECT_STREQ("D:\\", root.buf);
    PathBuf empty("");
    EXPECT_TRUE(DosPathToShellPath(empty.buf));
    EXPECT_STREQ("", empty.buf);

    PathBuf missing(Path("no such folder\\x"));
    EXPECT_FALSE(DosPathToShellPath(missing.buf));
    EXPECT_FALSE(ShortToLFN(missing.buf));
}

TEST_F(PathConvTest, WildcardsAreNotTakenForAName)
{
    // "Long*" would find "Long Folder Name" through a directory search.
    PathBuf wild(Path("Long*"));
    EXPECT_FALSE(DosPathToShellPath(wild.buf));
    EXPECT_EQ(Path("Long*"), wild.buf);
    PathBuf mark(Path("Long Folder Nam?\\Mixed Case Inner"));
    EXPECT_FALSE(ShortToLFN(mark.buf));
}

TEST(PathConv, UniversalNames)
{
    char out[MAX_PATH];
    EXPECT_TRUE(GetUniversalName(out, sizeof(out), "\\\\server\\share\\Docs\\a.txt", 0));
    EXPECT_STREQ("\\\\server\\share\\Docs\\a.txt", out);
    EXPECT_TRUE(GetUniversalName(out, sizeof(out), "\\\\server\\share\\Docs\\a.txt", 1));
    EXPECT_STREQ("\\\\SERVER\\SHARE\\DOCS\\A.TXT", out);

    // A local drive has no universal name.
    strcpy(out, "junk");
    EXPECT_FALSE(GetUniversalName(out, sizeof(out), "C:\\windows", 0));
    EXPECT_STREQ("", out);
    EXPECT_FALSE(GetUniversalName(out, sizeof(out), "1:\\x", 0));
    EXPECT_FALSE(GetUniversalName(out, sizeof(out), "relative", 0));
    EXPECT_FALSE(GetUniversalName(out, sizeof(out), NULL, 0));
    EXPECT_FALSE(GetUniversalName(NULL, 0, "\\\\server\\share", 0));
}

// Wine has no network list (WNetOpenEnum fails): these drives are found by their device name.
TEST(PathConv, UniversalNamesOfSubstitutedAndRedirectedDrives)
{
    char drive = FreeDrive();
    ASSERT_NE(0, drive);
    std::string path = std::string(1, drive) + ":\\docs\\a.txt";
    char out[MAX_PATH];
    {
        DosDevice dev(drive, "\\??\\UNC\\server\\share");
        ASSERT_TRUE(dev.ok());
        EXPECT_TRUE(GetUniversalName(out, sizeof(out), path.c_str(), 0));
        EXPECT_STREQ("\\\\server\\share\\docs\\a.txt", out);
        // Lower-case drive letters name the same drive.
        std::string lower = path;
        lower[0] = (char)tolower(lower[0]);
        EXPECT_TRUE(GetUniversalName(out, sizeof(out), lower.c_str(), 1));
        EXPECT_STREQ("\\\\SERVER\\SHARE\\DOCS\\A.TXT", out);
        // A result that does not fit is refused, not cut.
        char small[16];
        memset(small, 0x7E, sizeof(small));
        EXPECT_FALSE(GetUniversalName(small, 12, path.c_str(), 0));
        EXPECT_STREQ("", small);
        EXPECT_EQ(0x7E, (BYTE)small[12]);

        char inPlace[MAX_PATH];
        strcpy(inPlace, path.c_str());
        EXPECT_TRUE(ConvertPathToUNC(inPlace));
        EXPECT_STREQ("\\\\server\\share\\docs\\a.txt", inPlace);
    }
    {
        std::string target = std::string("\\Device\\LanmanRedirector\\;") + drive + ":0\\srv\\pub";
        DosDevice dev(drive, target.c_str());
        ASSERT_TRUE(dev.ok());
        EXPECT_TRUE(GetUniversalName(out, sizeof(out), path.c_str(), 0));
        EXPECT_STREQ("\\\\srv\\pub\\docs\\a.txt", out);
    }
    {
        // The logon session's digits after the drive are not part of the share.
        std::string target =
            std::string("\\Device\\LanmanRedirector\\;") + drive + ":0000000000003e7\\srv\\pub";
        DosDevice dev(drive, target.c_str());
        ASSERT_TRUE(dev.ok());
        EXPECT_TRUE(GetUniversalName(out, sizeof(out), path.c_str(), 0));
        EXPECT_STREQ("\\\\srv\\pub\\docs\\a.txt", out);
    }
    char keep[MAX_PATH] = "C:\\windows";
    EXPECT_FALSE(ConvertPathToUNC(keep));
    EXPECT_STREQ("C:\\windows", keep);
}

TEST_F(PathConvTest, CreateFolderMakesEveryMissingParent)
{
    ASSERT_TRUE(IsDir(Path("Long Folder Name")));
    std::string deep = Path("Long Folder Name\\b\\c\\d");
    EXPECT_TRUE(CreateFolder(deep.c_str()));
    EXPECT_TRUE(IsDir(Path("Long Folder Name\\b\\c\\d")));
    EXPECT_TRUE(CreateFolder(deep.c_str()));   // existing already

    std::string slashed = Path("x/y/z/");
    EXPECT_TRUE(CreateFolder(slashed.c_str()));
    EXPECT_TRUE(IsDir(Path("x\\y\\z")));

    // A file in the way stops it.
    MakeFile("blocker");
    EXPECT_FALSE(CreateFolder(Path("blocker\\sub").c_str()));
    EXPECT_FALSE(Exists(Path("blocker\\sub")));

    // Not a full path: nothing is created.
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    SetCurrentDirectoryA(m_root.c_str());
    EXPECT_FALSE(CreateFolder("rel_a\\rel_b"));
    EXPECT_FALSE(Exists(Path("rel_a")));
    SetCurrentDirectoryA(cwd);
    EXPECT_FALSE(CreateFolder("C:"));
    EXPECT_FALSE(CreateFolder("C:relative\\x"));
    EXPECT_FALSE(CreateFolder("\\\\server"));
    EXPECT_FALSE(CreateFolder(""));
    EXPECT_FALSE(CreateFolder(NULL));
    EXPECT_TRUE(CreateFolder("C:\\"));
}

TEST_F(PathConvTest, OverlongPathsAreRefusedUntouched)
{
    std::string tail(300, 'n');
    std::string longPath = Path("Long Folder Name\\") + tail;
    std::vector<char> buf(longPath.begin(), longPath.end());
    buf.push_back(0);
    EXPECT_FALSE(ConvertToShortPath(buf.data()));
    EXPECT_EQ(longPath, buf.data());
    EXPECT_FALSE(DosPathToShellPath(buf.data()));
    EXPECT_EQ(longPath, buf.data());
    EXPECT_FALSE(ShortToLFN(buf.data()));
    EXPECT_EQ(longPath, buf.data());
    EXPECT_FALSE(CreateFolder(longPath.c_str()));
    char out[MAX_PATH];
    EXPECT_FALSE(GetUniversalName(out, sizeof(out), ("\\\\s\\" + tail).c_str(), 0));
    EXPECT_STREQ("", out);

    // 259 characters fit; the separator CreateFolder adds would not.
    std::string edge = Path("");
    edge += std::string(MAX_PATH - 1 - edge.size(), 'e');
    ASSERT_EQ((size_t)MAX_PATH - 1, edge.size());
    EXPECT_FALSE(CreateFolder(edge.c_str()));

    EXPECT_FALSE(ConvertToShortPath(NULL));
    EXPECT_FALSE(DosPathToShellPath(NULL));
    EXPECT_FALSE(ShortToLFN(NULL));
}

TEST(PathConv, SpecialFolderPaths)
{
    char out[MAX_PATH];
    ASSERT_TRUE(GetSpecialFolderPath(NULL, CSIDL_DESKTOPDIRECTORY, out));
    char expect[MAX_PATH];
    ASSERT_EQ(S_OK, SHGetFolderPathA(NULL, CSIDL_DESKTOPDIRECTORY, NULL, 0, expect));
    EXPECT_EQ(0, lstrcmpiA(expect, out));
    strcpy(out, "junk");
    EXPECT_FALSE(GetSpecialFolderPath(NULL, CSIDL_DRIVES, out));   // no path of its own
    EXPECT_STREQ("", out);
    EXPECT_FALSE(GetSpecialFolderPath(NULL, CSIDL_DESKTOPDIRECTORY, NULL));
}

TEST(PathConv, RunFileStartsAProgram)
{
    HANDLE process = NULL;
    ASSERT_TRUE(RunFile("cmd.exe", "/c exit 7", NULL, SEE_MASK_FLAG_NO_UI, &process));
    ASSERT_NE(nullptr, process);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 30000));
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    EXPECT_EQ(7u, code);
    CloseHandle(process);

    process = (HANDLE)1;
    EXPECT_FALSE(RunFile("C:\\no such folder\\no such program.exe", NULL, NULL,
                         SEE_MASK_FLAG_NO_UI, &process));
    EXPECT_EQ(nullptr, process);
    EXPECT_FALSE(RunFile(NULL, NULL, NULL));
    EXPECT_FALSE(RunFile("", NULL, NULL));
}
