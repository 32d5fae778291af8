#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <string>
#include "files/Filter.h"
#include "util/StrUtil.h"

namespace {
// Access to the protected steps.
class OpenFilter : public Filter {
public:
    using Filter::Filter;
    using Filter::MatchCore;
    using Filter::MatchOkay;
    using Filter::MatchWithSep;
};

const DWORD FileAttr = SFGAO_FILESYSTEM;
const DWORD FolderAttr = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR;
const DWORD HiddenFileAttr = SFGAO_FILESYSTEM | SFGAO_HIDDEN;
const DWORD LinkAttr = SFGAO_FILESYSTEM | SFGAO_LINK;
const DWORD VirtFolderAttr = SFGAO_FOLDER;
const DWORD VirtObjectAttr = 0;
const DWORD DriveAttr = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;   // My Computer's kind
const DWORD H = ShellObjFilter::HideShift;
}  // namespace

TEST(Filter, EveryRuleOfMatching)
{
    struct Row {
        const char* what;
        const char* separators;   // "-" for a ShellObjFilter
        const char* include;
        const char* exclude;
        DWORD flags;
        DWORD attributes;
        const char* name;
        bool pass;
    } rows[] = {
        {"include and exclude: included", ";", "*.txt;*.doc", "~*", 0, 0, "notes.txt", true},
        {"include and exclude: excluded", ";", "*.txt;*.doc", "~*", 0, 0, "~notes.txt", false},
        {"include and exclude: not included", ";", "*.txt;*.doc", "~*", 0, 0, "a.bmp", false},
        {"second mask", ";", "*.txt;*.doc", NULL, 0, 0, "a.doc", true},
        {"blank after separator starts the next mask", ";", "*.txt; *.doc", NULL, 0, 0, "a.doc",
         false},
        {"blank mask matches a name with the blank", ";", "*.txt; *.doc", NULL, 0, 0, " a.doc",
         true},
        {"empty include, exclude *.tmp: other", ";", "", "*.tmp", 0, 0, "a.txt", true},
        {"empty include, exclude *.tmp: tmp", ";", "", "*.tmp", 0, 0, "x.TMP", false},
        {"no lists: everything", ";", NULL, NULL, 0, 0, "anything.at.all", true},
        {"null name passes", ";", "*.txt", NULL, 0, 0, NULL, true},
        {"empty name passes", ";", "*.txt", "*", 0, 0, "", true},
        {"case-insensitive", ";", "*.TXT", NULL, 0, 0, "a.txt", true},
        {"*.txt matches README.TXT", ";", "*.txt", NULL, 0, 0, "README.TXT", true},
        {"*.txt does not match a.txt.bak", ";", "*.txt", NULL, 0, 0, "a.txt.bak", false},
        {"backtracking over a repeated suffix", ";", "*.txt", NULL, 0, 0, "a.txt.txt", true},
        {"a* matches a", ";", "a*", NULL, 0, 0, "a", true},
        {"a* matches abc", ";", "a*", NULL, 0, 0, "abc", true},
        {"a*b does not match a", ";", "a*b", NULL, 0, 0, "a", false},
        {"a*b*c backtracks", ";", "a*b*c", NULL, 0, 0, "abxbyc", true},
        {"a*b*c needs the c", ";", "a*b*c", NULL, 0, 0, "abxbyd", false},
        {"* matches everything", ";", "*", NULL, 0, 0, "x", true},
        {"** matches everything", ";", "**", NULL, 0, 0, "x", true},
        {"? is no wildcard", ";", "a?c", NULL, 0, 0, "abc", false},
        {"? matches itself", ";", "a?c", NULL, 0, 0, "a?c", true},
        {"exact mask", ";", "readme", NULL, 0, 0, "README", true},
        {"mask longer than the name", ";", "readme.txt", NULL, 0, 0, "readme", false},
        {"name longer than the mask", ";", "readme", NULL, 0, 0, "readme.txt", false},
        {"separators only: a list with no mask passes nothing", ";", ";;;", NULL, 0, 0, "a", false},
        {"runs of separators skipped", ";", ";;*.c;;;*.h;", NULL, 0, 0, "x.h", true},
        {"several separator characters", "; ,", "*.c, *.h", NULL, 0, 0, "x.h", true},
        {"no separators: one mask", NULL, "*.c;*.h", NULL, 0, 0, "x.h", false},
        {"no separators: the whole text", "", "*.c;*.h", NULL, 0, 0, "x.c;y.h", true},
        {"exclude only with separators", ";", NULL, "*.obj;*.o", 0, 0, "main.o", false},
        {"exclude wins over include", ";", "*.c", "main*", 0, 0, "main.c", false},
        // Panel filter: flags against the object's kinds.
        {"no flags: lists decide", "-", "*.txt", NULL, 0, FileAttr, "a.bmp", false},
        {"show folders beats the include list", "-", "*.txt", NULL, ShellObjFilter::ShowFolders,
         FolderAttr, "Folder", true},
        {"show folders does not show files", "-", "*.txt", NULL, ShellObjFilter::ShowFolders,
         FileAttr, "a.bmp", false},
        {"show folders beats the exclude list", "-", NULL, "F*", ShellObjFilter::ShowFolders,
         FolderAttr, "Folder", true},
        {"hide hidden beats show files", "-", NULL, NULL,
         ShellObjFilter::ShowFiles | (ShellObjFilter::ShowHidden << H), HiddenFileAttr, "h.txt",
         false},
        {"show files without hidden", "-", "*.none", NULL,
         ShellObjFilter::ShowFiles | (ShellObjFilter::ShowHidden << H), FileAttr, "a.txt", true},
        {"hide links", "-", NULL, NULL, ShellObjFilter::ShowLinks << H, LinkAttr, "a.lnk", false},
        {"hide files hides links too", "-", NULL, NULL, ShellObjFilter::ShowFiles << H, LinkAttr,
         "a.lnk", false},
        {"hide virtual folders", "-", NULL, NULL, ShellObjFilter::ShowVirtFolders << H,
         VirtFolderAttr, "Printers", false},
        {"hide virtual folders keeps drives", "-", NULL, NULL,
         ShellObjFilter::ShowVirtFolders << H, DriveAttr, "My Computer", true},
        {"show ancestors", "-", "*.txt", NULL, ShellObjFilter::ShowFsAncestors, DriveAttr,
         "My Computer", true},
        {"hide virtual objects", "-", NULL, NULL, ShellObjFilter::ShowVirtObjects << H,
         VirtObjectAttr, "Printer", false},
        {"show virtual objects", "-", "*.txt", NULL, ShellObjFilter::ShowVirtObjects,
         VirtObjectAttr, "Printer", true},
        {"flags of other kinds: lists decide", "-", "*.txt", NULL,
         ShellObjFilter::ShowVirtObjects | (ShellObjFilter::ShowLinks << H), FileAttr, "a.txt",
         true},
        {"hide beats show of another kind", "-", NULL, NULL,
         ShellObjFilter::ShowFolders | (ShellObjFilter::ShowHidden << H),
         FolderAttr | SFGAO_HIDDEN, "Hidden Folder", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        if (strcmp(r.separators ? r.separators : "", "-") == 0) {
            ShellObjFilter f;
            f.SetFilters(r.include, r.exclude);
            f.SetFlag(r.flags, true);
            EXPECT_EQ(r.pass, f.Match(r.name, ShellObjFilter::TypeWordOf(r.attributes)));
        } else {
            Filter f(r.include, r.exclude, r.separators);
            EXPECT_EQ(r.pass, f.Match(r.name));
        }
    }
}

TEST(Filter, TypeWordsOfShellObjects)
{
    struct Row {
        const char* what;
        DWORD attributes;
        DWORD show;
    } rows[] = {
        {"file", FileAttr, ShellObjFilter::ShowFiles},
        {"folder", FolderAttr, ShellObjFilter::ShowFolders | ShellObjFilter::ShowFsAncestors},
        {"folder without ancestor bit", SFGAO_FOLDER | SFGAO_FILESYSTEM,
         ShellObjFilter::ShowFolders},
        {"hidden link file", HiddenFileAttr | SFGAO_LINK,
         ShellObjFilter::ShowFiles | ShellObjFilter::ShowLinks | ShellObjFilter::ShowHidden},
        {"virtual folder", VirtFolderAttr, ShellObjFilter::ShowVirtFolders},
        {"virtual object", VirtObjectAttr, ShellObjFilter::ShowVirtObjects},
        {"drive-like ancestor", DriveAttr, ShellObjFilter::ShowFsAncestors},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(r.show | (r.show << 16), ShellObjFilter::TypeWordOf(r.attributes));
    }
}

TEST(Filter, ListsAreCopiedAndReadBack)
{
    char inc[] = "*.txt;*.doc";
    Filter f(inc, "~*", ";");
    inc[0] = 'X';   // the filter keeps its own copy
    EXPECT_TRUE(f.Match("a.txt"));
    EXPECT_FALSE(f.IsEmpty());

    char a[MAX_PATH], b[MAX_PATH];
    f.GetFilters(a, b);
    EXPECT_STREQ("*.txt;*.doc", a);
    EXPECT_STREQ("~*", b);

    // Cut to the caller's buffer, never past it.
    char small[8];
    memset(small, 0x7E, sizeof(small));
    f.GetFilters(small, NULL, 5);
    EXPECT_STREQ("*.tx", small);
    EXPECT_EQ(0x7E, (BYTE)small[5]);

    // Handing the filter its own lists back.
    f.GetFilters(a, b);
    f.SetFilters(a, b);
    f.GetFilters(a, b);
    EXPECT_STREQ("*.txt;*.doc", a);

    f.SetFilters("", NULL);
    EXPECT_TRUE(f.IsEmpty());
    f.GetFilters(a, b);
    EXPECT_STREQ("", a);
    EXPECT_STREQ("", b);
    f.SetFilters("*.c", NULL);
    f.Reset();
    EXPECT_TRUE(f.IsEmpty());
    EXPECT_TRUE(f.Match("anything"));
}

TEST(Filter, PanelFilterFlagsAndEmptiness)
{
    ShellObjFilter f;
    EXPECT_TRUE(f.IsEmpty());
    f.SetFlag(ShellObjFilter::ShowFiles | ShellObjFilter::ShowLinks, true);
    EXPECT_TRUE(f.GetFlag(ShellObjFilter::ShowLinks));
    EXPECT_FALSE(f.GetFlag(ShellObjFilter::ShowHidden));
    EXPECT_FALSE(f.IsEmpty());
    EXPECT_TRUE(f.IsEmptyFilters());
    EXPECT_FALSE(f.IsEmptyFlags());
    f.SetFlag(ShellObjFilter::ShowFiles, false);
    EXPECT_EQ((DWORD)ShellObjFilter::ShowLinks, f.GetFlags());
    // The panel filter splits at ";".
    f.SetFilters("*.a;*.b", NULL);
    EXPECT_TRUE(f.Match("x.b", ShellObjFilter::TypeWordOf(FileAttr)));
    f.Reset();
    EXPECT_TRUE(f.IsEmpty());
    EXPECT_EQ(0u, f.GetFlags());
}

TEST(Filter, ProtectedSteps)
{
    EXPECT_FALSE(OpenFilter::MatchCore("", "a"));
    EXPECT_FALSE(OpenFilter::MatchCore(NULL, "a"));
    EXPECT_FALSE(OpenFilter::MatchCore("*", NULL));
    EXPECT_TRUE(OpenFilter::MatchCore("*", ""));
    EXPECT_TRUE(OpenFilter::MatchOkay(""));
    EXPECT_TRUE(OpenFilter::MatchOkay("***"));
    EXPECT_FALSE(OpenFilter::MatchOkay("*a"));
    OpenFilter f(NULL, NULL, ";");
    EXPECT_FALSE(f.MatchWithSep(NULL, "a"));
    EXPECT_FALSE(f.MatchWithSep("", "a"));
    EXPECT_TRUE(f.MatchWithSep("b;a", "a"));
}

TEST(Filter, LongNamesAndMasks)
{
    std::string name(5000, 'a');
    name += ".txt";
    Filter f("*.txt", NULL, ";");
    EXPECT_TRUE(f.Match(name.c_str()));
    // Many stars against a long name that fails: finishes without blowing up.
    Filter slow("*a*a*a*a*a*a*a*a*b", NULL, ";");
    EXPECT_FALSE(slow.Match(name.c_str()));
}

TEST(Filter, DoubleByteCharactersAreOneUnit)
{
    // 0x83 0x5C is one character in code page 932; its trail byte is no backslash of its own.
    InitMBCS(932);
    Filter f("*\\", NULL, ";");
    EXPECT_FALSE(f.Match("a\x83\x5C"));
    Filter g("*\x83\x5C", NULL, ";");
    EXPECT_TRUE(g.Match("a\x83\x5C"));
    Filter h("a\x83", NULL, ";");   // half a character never matches a whole one
    EXPECT_FALSE(h.Match("a\x83\x5C"));
    InitMBCS(1252);
    EXPECT_TRUE(f.Match("a\x83\x5C"));
    InitMBCS();
}
