#include <gtest/gtest.h>
#include <string>
#include "util/PathUtil.h"
#include "util/StrUtil.h"
#include "TestHelp.h"

namespace {
class PathUtil : public MbcsTest {};

// Code page 932 characters whose trail byte is a path separator character.
const char kHyo[] = "\x95\x5C";    // trail "\"
const char kSo[] = "\x83\x5C";     // trail "\"
const char kDash[] = "\x81\x5C";   // trail "\"

std::string S(const char* a, const char* b = "", const char* c = "", const char* d = "")
{
    return std::string(a) + b + c + d;
}

void KeepLastComponent(char* p)
{
    char* last = FindLastPathComponent(p);
    memmove(p, last, strlen(last) + 1);
}

// Runs an in-place helper on a copy with guard bytes and gives the result text.
template <typename F> std::string InPlace(const std::string& in, F f)
{
    GuardBuf<MAX_PATH> b(in.c_str());
    f(b.buf);
    EXPECT_TRUE(b.GuardIntact());
    EXPECT_TRUE(b.Terminated());
    return b.buf;
}
}  // namespace

TEST_F(PathUtil, TheTestCharactersAreDoubleByteIn932)
{
    // Checked against the system: these are real lead bytes of 932, and 0x5C is their trail.
    for (const char* c : {kHyo, kSo, kDash}) {
        SCOPED_TRACE(static_cast<int>(static_cast<BYTE>(c[0])));
        EXPECT_TRUE(IsDBCSLeadByteEx(932, static_cast<BYTE>(c[0])));
        EXPECT_EQ(c + 2, CharNextExA(932, c, 0));
    }
    EXPECT_FALSE(IsDBCSLeadByteEx(1252, static_cast<BYTE>(kHyo[0])));
}

TEST_F(PathUtil, IsSep)
{
    EXPECT_TRUE(IsSep('\\'));
    EXPECT_TRUE(IsSep('/'));
    EXPECT_FALSE(IsSep(':'));
    EXPECT_FALSE(IsSep(0));
}

TEST_F(PathUtil, AppendBackSlash)
{
    InitMBCS(1252);
    struct Case { const char* in; const char* out; bool ends; };
    const Case cases[] = {
        {"C:\\dir", "C:\\dir\\", true},
        {"C:\\dir\\", "C:\\dir\\", true},
        {"C:/dir/", "C:/dir/", true},
        {"C:", "C:\\", true},
        {"", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        bool ends = false;
        EXPECT_EQ(c.out, InPlace(c.in, [&](char* p) { ends = AppendBackSlash(p); }));
        EXPECT_EQ(c.ends, ends);
    }
    EXPECT_FALSE(AppendBackSlash(nullptr));
}

TEST_F(PathUtil, AppendBackSlashStopsAtTheBufferEnd)
{
    GuardBuf<6> full("C:\\ab");   // 5 characters: the separator would take the terminator's place
    EXPECT_FALSE(AppendBackSlash(full.buf, sizeof(full.buf)));
    EXPECT_STREQ("C:\\ab", full.buf);
    EXPECT_TRUE(full.GuardIntact());
    GuardBuf<6> fits("C:\\a");
    EXPECT_TRUE(AppendBackSlash(fits.buf, sizeof(fits.buf)));
    EXPECT_STREQ("C:\\a\\", fits.buf);
    EXPECT_TRUE(fits.GuardIntact());
}

TEST_F(PathUtil, RemoveAndStripBackSlash)
{
    InitMBCS(1252);
    struct Case { const char* in; const char* removed; const char* stripped; };
    const Case cases[] = {
        {"C:\\dir\\", "C:\\dir", "C:\\dir"},
        {"C:\\dir/", "C:\\dir", "C:\\dir"},
        {"C:\\", "C:\\", "C:"},               // drive root stays for Remove
        {"\\", "\\", ""},                      // a lone separator too
        {"\\\\server\\", "\\\\server", "\\\\server"},
        {"C:\\dir\\\\", "C:\\dir\\\\", "C:\\dir\\"},
        {"C:\\dir", "C:\\dir", "C:\\dir"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(c.removed, InPlace(c.in, [](char* p) { RemoveBackSlash(p); }));
        EXPECT_EQ(c.stripped, InPlace(c.in, [](char* p) { StripBackSlash(p); }));
    }
    EXPECT_FALSE(RemoveBackSlash(nullptr));
    EXPECT_FALSE(StripBackSlash(nullptr));
}

TEST_F(PathUtil, StripFileNameAndExt)
{
    InitMBCS(1252);
    struct Case { const char* in; const char* noName; const char* noExt; };
    const Case cases[] = {
        {"C:\\dir\\file.txt", "C:\\dir\\", "C:\\dir\\file"},
        {"file.txt", "", "file"},
        {"C:file.txt", "C:", "C:file"},
        {"C:\\a.b\\file", "C:\\a.b\\", "C:\\a.b\\file"},   // the dot in the folder stays
        {"C:/x/y.tar.gz", "C:/x/", "C:/x/y.tar"},
        {"name.", "", "name"},
        {"C:\\dir\\", "C:\\dir\\", "C:\\dir\\"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(c.noName, InPlace(c.in, [](char* p) { StripFileName(p); }));
        EXPECT_EQ(c.noExt, InPlace(c.in, [](char* p) { StripFileExt(p); }));
    }
    char bare[] = "file";
    EXPECT_FALSE(StripFileName(bare));
    char path[] = "C:\\f";
    EXPECT_TRUE(StripFileName(path));
    EXPECT_FALSE(StripFileName(nullptr));
    EXPECT_FALSE(StripFileExt(nullptr));
}

TEST_F(PathUtil, FindNameExtAndLastComponent)
{
    InitMBCS(1252);
    struct Case { const char* in; const char* name; const char* last; };
    const Case cases[] = {
        {"C:\\dir\\file.txt", "file.txt", "file.txt"},
        {"C:\\dir\\", nullptr, "dir"},
        {"C:/dir/sub", "sub", "sub"},
        {"file", "file", "file"},
        {"C:\\", nullptr, "C:"},
        {"", nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        const char* name = FindNameExt(c.in);
        if (c.name)
            EXPECT_STREQ(c.name, name);
        else
            EXPECT_EQ(nullptr, name);
        GuardBuf<MAX_PATH> b(c.in);
        char* last = FindLastPathComponent(b.buf);
        ASSERT_NE(nullptr, last);
        EXPECT_STREQ(c.last, last);
        EXPECT_TRUE(last >= b.buf && last <= b.buf + strlen(b.buf));
    }
    EXPECT_EQ(nullptr, FindNameExt(static_cast<const char*>(nullptr)));
    EXPECT_EQ(nullptr, FindLastPathComponent(nullptr));
}

// The same texts read one way in 932 and another in 1252: the trail byte 0x5C is a
// separator only in the single-byte code page.
TEST_F(PathUtil, TrailByteIsNoSeparatorIn932)
{
    const std::string dirHyo = S("C:\\dir\\", kHyo);         // ends in the trail byte 0x5C
    const std::string fileSo = S("C:\\", kSo, "\\a", kSo);   // C:\ソ\aソ
    const std::string extDash = S("C:\\x\\", kDash, ".t", kDash);

    InitMBCS(932);
    EXPECT_EQ(dirHyo + "\\", InPlace(dirHyo, [](char* p) { AppendBackSlash(p); }));
    EXPECT_EQ(dirHyo, InPlace(dirHyo, [](char* p) { RemoveBackSlash(p); }));
    EXPECT_EQ(dirHyo, InPlace(dirHyo + "\\", [](char* p) { RemoveBackSlash(p); }));
    EXPECT_EQ(dirHyo, InPlace(dirHyo, [](char* p) { StripBackSlash(p); }));
    EXPECT_EQ("C:\\dir\\", InPlace(dirHyo, [](char* p) { StripFileName(p); }));
    EXPECT_EQ(S("C:\\", kSo, "\\"), InPlace(fileSo, [](char* p) { StripFileName(p); }));
    EXPECT_EQ(S("C:\\x\\", kDash), InPlace(extDash, [](char* p) { StripFileExt(p); }));
    EXPECT_STREQ(kHyo, FindNameExt(dirHyo.c_str()));
    EXPECT_STREQ(S("a", kSo).c_str(), FindNameExt(fileSo.c_str()));
    EXPECT_EQ(kHyo, InPlace(dirHyo, KeepLastComponent));
    EXPECT_EQ(S("a", kSo), InPlace(fileSo + "\\", KeepLastComponent));

    InitMBCS(1252);   // the same bytes, read as single bytes
    EXPECT_EQ(dirHyo, InPlace(dirHyo, [](char* p) { AppendBackSlash(p); }));
    EXPECT_EQ(S("C:\\dir\\\x95"), InPlace(dirHyo, [](char* p) { RemoveBackSlash(p); }));
    EXPECT_EQ(dirHyo, InPlace(dirHyo, [](char* p) { StripFileName(p); }));
    EXPECT_EQ(nullptr, FindNameExt(dirHyo.c_str()));
    EXPECT_EQ(fileSo, InPlace(fileSo, [](char* p) { StripFileName(p); }));   // ends in 0x5C
}

// A lead byte always takes the next byte along, as the system's own walk does, even where that
// byte ("/" here) is no valid trail of 932.
TEST_F(PathUtil, LeadByteTakesASlashAlong)
{
    InitMBCS(932);
    const std::string odd = S("C:\\d\\x\x81/");
    ASSERT_EQ(odd.c_str() + odd.size(), CharNextExA(932, odd.c_str() + 6, 0));
    EXPECT_EQ(odd + "\\", InPlace(odd, [](char* p) { AppendBackSlash(p); }));
    EXPECT_EQ(odd, InPlace(odd, [](char* p) { RemoveBackSlash(p); }));
    EXPECT_STREQ("x\x81/", FindNameExt(odd.c_str()));
    InitMBCS(1252);
    EXPECT_EQ(S("C:\\d\\x\x81"), InPlace(odd, [](char* p) { RemoveBackSlash(p); }));
}

TEST_F(PathUtil, MakePath)
{
    InitMBCS(1252);
    struct Case { const char* folder; const char* name; const char* ext; const char* out; };
    const Case cases[] = {
        {"C:\\dir", "file", "txt", "C:\\dir\\file.txt"},
        {"C:\\dir\\", "file", ".txt", "C:\\dir\\file.txt"},
        {"C:\\dir/", "file", nullptr, "C:\\dir/file"},
        {"C:\\dir", "file", "", "C:\\dir\\file"},
        {"", "file", "txt", "file.txt"},
        {nullptr, "file", nullptr, "file"},
        {"C:\\dir", nullptr, nullptr, "C:\\dir\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        GuardBuf<MAX_PATH> b;
        EXPECT_TRUE(MakePath(b.buf, c.folder, c.name, c.ext));
        EXPECT_STREQ(c.out, b.buf);
        EXPECT_TRUE(b.GuardIntact());
    }
    char same[MAX_PATH] = "C:\\dir";
    EXPECT_TRUE(MakePath(same, same, "x", "y"));   // the folder may be the output
    EXPECT_STREQ("C:\\dir\\x.y", same);
    EXPECT_FALSE(MakePath(nullptr, "C:\\", "x"));
}

TEST_F(PathUtil, MakePathCutsAtTheBuffer)
{
    InitMBCS(1252);
    const std::string longName(400, 'n');
    GuardBuf<MAX_PATH> b;
    EXPECT_FALSE(MakePath(b.buf, "C:\\dir", longName.c_str(), "txt"));
    EXPECT_EQ(MAX_PATH - 1, static_cast<int>(strlen(b.buf)));
    EXPECT_TRUE(b.GuardIntact());

    const struct { int size; const char* ext; } cuts[] = {{9, "txt"}, {10, "txt"}, {11, "txt"}, {7, nullptr}};
    for (const auto& c : cuts) {
        SCOPED_TRACE(c.size);
        GuardBuf<16> small;
        EXPECT_FALSE(MakePath(small.buf, "C:\\d", "fi", c.ext, c.size));   // "C:\d\fi.txt" is 11 + 1
        EXPECT_LT(static_cast<int>(strlen(small.buf)), c.size);
        EXPECT_EQ(0x7E, small.buf[c.size]);   // nothing written past the given size
        EXPECT_TRUE(small.GuardIntact());
    }
    GuardBuf<16> exact;
    EXPECT_TRUE(MakePath(exact.buf, "C:\\d", "fi", "txt", 12));
    EXPECT_STREQ("C:\\d\\fi.txt", exact.buf);
}

TEST_F(PathUtil, MakePathKeepsDoubleBytePairs)
{
    InitMBCS(932);
    GuardBuf<MAX_PATH> b;
    EXPECT_TRUE(MakePath(b.buf, S("C:\\", kHyo).c_str(), kSo, "txt"));
    EXPECT_EQ(S("C:\\", kHyo, "\\", kSo) + ".txt", b.buf);   // a separator was still needed
    GuardBuf<16> small;
    EXPECT_FALSE(MakePath(small.buf, "C:", S("ab", kSo).c_str(), nullptr, 7));
    EXPECT_STREQ("C:\\ab", small.buf);   // the pair does not fit whole and is left out
    EXPECT_TRUE(small.GuardIntact());
}

TEST_F(PathUtil, MakeFullPathName)
{
    InitMBCS(1252);
    struct Case { const char* path; const char* base; const char* out; bool ok; };
    const Case cases[] = {
        {"  \"C:\\My Dir\\a.txt\"  ", "D:\\base", "C:\\My Dir\\a.txt", true},
        {"C:/dir/sub/", "D:\\base", "C:\\dir\\sub\\", true},
        {"sub\\file", "D:\\base", "D:\\base\\sub\\file", true},
        {"sub/file", "D:\\base\\", "D:\\base\\sub\\file", true},
        {"..\\x", "D:\\base\\deep", "D:\\base\\x", true},
        {".\\x\\.\\y", "D:\\base", "D:\\base\\x\\y", true},
        {"..\\..\\..\\x", "D:\\base", "D:\\x", true},          // never above the root
        {"\\top", "D:\\base\\deep", "D:\\top", true},           // the base's drive
        {"\\top", "\\\\srv\\share\\dir", "\\\\srv\\share\\top", true},
        {"x", "\\\\srv\\share", "\\\\srv\\share\\x", true},
        {"\\\\srv\\share\\a\\..\\b", "D:\\", "\\\\srv\\share\\b", true},
        {"d:x", "D:\\base", "D:\\base\\x", true},              // same drive as the base
        {"E:x", "D:\\base", "E:\\x", true},
        {"rel\\x", "", "rel\\x", false},                         // nothing to resolve against
        {"\\top", nullptr, "\\top", false},
        {"   ", "D:\\", "", false},
        {"", "D:\\", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        bool ok = false;
        EXPECT_EQ(c.out, InPlace(c.path, [&](char* p) { ok = MakeFullPathName(p, c.base); }));
        EXPECT_EQ(c.ok, ok);
    }
    EXPECT_FALSE(MakeFullPathName(nullptr, "C:\\"));
}

TEST_F(PathUtil, MakeFullPathNameCutsAtTheBuffer)
{
    InitMBCS(1252);
    const std::string base = "C:\\" + std::string(250, 'b');
    GuardBuf<MAX_PATH> b("sub\\file.txt");
    EXPECT_FALSE(MakeFullPathName(b.buf, base.c_str()));
    EXPECT_EQ(MAX_PATH - 1, static_cast<int>(strlen(b.buf)));
    EXPECT_TRUE(b.GuardIntact());
    GuardBuf<12> small("abcdef");
    EXPECT_TRUE(MakeFullPathName(small.buf, "C:\\x", sizeof(small.buf)));
    EXPECT_STREQ("C:\\x\\abcdef", small.buf);   // 11 characters fit exactly
    GuardBuf<11> smaller("abcdef");
    EXPECT_FALSE(MakeFullPathName(smaller.buf, "C:\\x", sizeof(smaller.buf)));
    EXPECT_STREQ("C:\\x\\abcde", smaller.buf);
    EXPECT_TRUE(smaller.GuardIntact());
}

TEST_F(PathUtil, MakeFullPathNameOnDoubleBytePaths)
{
    const std::string rel = S(kHyo, "/", kSo, "\\..\\x");   // 表/ソ\..\x
    InitMBCS(932);
    // Only the real "/" turns; the trail bytes stay, and ".." removes the whole ソ.
    EXPECT_EQ(S("C:\\b\\", kHyo, "\\x"), InPlace(rel, [](char* p) { MakeFullPathName(p, "C:\\b"); }));
    const std::string slashTrail = S("C:/", kDash, "/z");
    EXPECT_EQ(S("C:\\", kDash, "\\z"), InPlace(slashTrail, [](char* p) { MakeFullPathName(p, nullptr); }));
    // "表..": in 932 one name; read as single bytes, 0x5C ends the folder "\x95" and ".." climbs out.
    const std::string dots = S(kHyo, "..\\x");
    EXPECT_EQ(S("C:\\b\\", kHyo, "..\\x"), InPlace(dots, [](char* p) { MakeFullPathName(p, "C:\\b"); }));
    InitMBCS(1252);
    EXPECT_EQ("C:\\b\\x", InPlace(dots, [](char* p) { MakeFullPathName(p, "C:\\b"); }));
}
