#include "FileFixture.h"
#include <olectl.h>
#include <string.h>
#include "files/VmFile.h"
#include "util/StrUtil.h"

using filetest::ReadAll;
using filetest::WriteAll;
using filetest::Exists;

namespace {
class VmFileTest : public filetest::TempFolder {};

// A VmFile with its fields in view.
class FileFields : public VmFile {
public:
    using VmFile::m_file;
    using VmFile::m_map;
    using VmFile::m_view;
    using VmFile::m_write;
};

FILETIME MakeTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                  WORD ms = 0)
{
    SYSTEMTIME st = {year, month, 0, day, hour, minute, second, ms};
    FILETIME ft = {0, 0};
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

std::string LongPath(size_t length)
{
    return "C:\\" + std::string(length - 3, 'a');
}
}  // namespace

TEST_F(VmFileTest, FreshAndClosedObjectsHoldNothing)
{
    FileFields f;
    EXPECT_EQ(INVALID_HANDLE_VALUE, f.m_file);
    EXPECT_EQ(NULL, f.m_map);
    EXPECT_EQ(nullptr, f.m_view);
    EXPECT_FALSE(f.m_write);
    EXPECT_FALSE(f.IsReady());
    EXPECT_TRUE(f == nullptr);
    f.Close();   // safe on a closed object
    ASSERT_TRUE(f.Open(P("a.bin").c_str(), true));
    EXPECT_TRUE(f.m_write);
    EXPECT_TRUE(f != nullptr);
    f.Close();
    EXPECT_EQ(INVALID_HANDLE_VALUE, f.m_file);
    EXPECT_FALSE(f.m_write);
}

TEST_F(VmFileTest, OpenForReadingNeedsTheFileOpenForWritingKeepsIt)
{
    VmFile missing(P("none.bin").c_str(), false);
    EXPECT_FALSE(missing.IsReady());
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(Exists(P("none.bin")));

    std::string path = Make("keep.bin", "0123456789");
    {
        VmFile w(path.c_str(), true);   // opened, not truncated
        ASSERT_TRUE(w.IsReady());
        EXPECT_EQ(10u, w.GetSize());
        ASSERT_TRUE(w.WriteBin("AB", 2));
    }
    EXPECT_EQ("AB23456789", ReadAll(path));

    // The writer shares nothing; a reader shares reading only.
    VmFile w(path.c_str(), true);
    VmFile r2(path.c_str(), false);
    EXPECT_FALSE(r2.IsReady());
    w.Close();
    VmFile r(path.c_str(), false);
    ASSERT_TRUE(r.IsReady());
    VmFile r3(path.c_str(), false);
    EXPECT_TRUE(r3.IsReady());
    EXPECT_FALSE(VmFile(path.c_str(), true).IsReady());

    // The explicit form passes its values and records write access.
    FileFields e;
    ASSERT_TRUE(e.Open(P("new.bin").c_str(), GENERIC_WRITE, 0, CREATE_NEW, 0));
    EXPECT_TRUE(e.m_write);
    EXPECT_FALSE(VmFile(P("new.bin").c_str(), GENERIC_WRITE, 0, CREATE_NEW, 0).IsReady());
}

TEST_F(VmFileTest, TypedValuesRoundTripInMachineWidthLittleEndian)
{
    std::string path = P("typed.bin");
    {
        VmFile f(path.c_str(), true);
        ASSERT_TRUE(f.IsReady());
        EXPECT_TRUE(f.Write(static_cast<unsigned char>(0xA1)));
        EXPECT_TRUE(f.Write(static_cast<unsigned short>(0xB2C3)));
        EXPECT_TRUE(f.Write(static_cast<int>(-2)));
        EXPECT_TRUE(f.Write(static_cast<unsigned int>(0x01020304)));
        EXPECT_TRUE(f.Write(static_cast<unsigned long>(0xF0E0D0C0)));
    }
    std::string bytes = ReadAll(path);
    ASSERT_EQ(15u, bytes.size());
    EXPECT_EQ(std::string("\xA1\xC3\xB2\xFE\xFF\xFF\xFF\x04\x03\x02\x01\xC0\xD0\xE0\xF0", 15),
              bytes);

    VmFile f(path.c_str(), false);
    unsigned char c = 0;
    unsigned short s = 0;
    int i = 0;
    unsigned int u = 0;
    unsigned long l = 0;
    EXPECT_TRUE(f.Read(c));
    EXPECT_TRUE(f.Read(s));
    EXPECT_TRUE(f.Read(i));
    EXPECT_TRUE(f.Read(u));
    EXPECT_TRUE(f.Read(l));
    EXPECT_EQ(0xA1, c);
    EXPECT_EQ(0xB2C3, s);
    EXPECT_EQ(-2, i);
    EXPECT_EQ(0x01020304u, u);
    EXPECT_EQ(0xF0E0D0C0ul, l);
    EXPECT_FALSE(f.Read(c));   // at the end
    // Two bytes left: an int read moves them but fails.
    f.MoveTo(-2, FILE_END);
    EXPECT_FALSE(f.Read(i));
}

TEST_F(VmFileTest, ZeroCountsSucceedWithoutTheFileShortMovesFail)
{
    VmFile closed;
    DWORD done = 99;
    EXPECT_TRUE(closed.ReadBin(nullptr, 0, &done));   // no handle needed: nothing is touched
    EXPECT_EQ(0u, done);
    EXPECT_TRUE(closed.WriteBin(nullptr, 0));
    char buf[16];
    EXPECT_FALSE(closed.ReadBin(buf, 4));
    EXPECT_FALSE(closed.WriteBin("x", 1));

    std::string path = Make("four.bin", "abcd");
    VmFile f(path.c_str(), false);
    done = 0;
    EXPECT_FALSE(f.ReadBin(buf, 10, &done));
    EXPECT_EQ(4u, done);
    EXPECT_EQ(0, memcmp(buf, "abcd", 4));
    EXPECT_FALSE(f.ReadBin(nullptr, 3));   // no buffer for a real count
    EXPECT_FALSE(f.WriteBin("zz", 2));     // opened for reading
}

TEST_F(VmFileTest, PositionsMoveSkipEndAndTruncate)
{
    std::string path = Make("pos.bin", "0123456789");
    VmFile f(path.c_str(), true);
    EXPECT_EQ(4u, f.MoveTo(4));
    EXPECT_EQ(7u, f.Skip(3));
    EXPECT_EQ(5u, f.Skip(-2));
    EXPECT_EQ(10u, f.MoveToEnd());
    EXPECT_EQ(8u, f.MoveTo(-2, FILE_END));
    EXPECT_EQ(INVALID_SET_FILE_POINTER, f.MoveTo(-1));   // before the start
    EXPECT_EQ(static_cast<DWORD>(ERROR_NEGATIVE_SEEK), GetLastError());
    EXPECT_EQ(6u, f.MoveTo(6));
    EXPECT_TRUE(f.SetEndOfFile());
    EXPECT_EQ(6u, f.GetSize());
    EXPECT_EQ(12u, f.MoveTo(12));   // past the end, then extended there
    EXPECT_TRUE(f.SetEndOfFile());
    EXPECT_EQ(12u, f.GetSize());
    f.Close();
    EXPECT_EQ(std::string("012345\0\0\0\0\0\0", 12), ReadAll(path));
    VmFile closed;
    EXPECT_EQ(INVALID_SET_FILE_POINTER, closed.MoveTo(0));
    EXPECT_FALSE(closed.SetEndOfFile());
    EXPECT_EQ(0u, closed.GetSize());
}

TEST_F(VmFileTest, CopyBinFromMovesThroughTheCallersBuffer)
{
    std::string src = Make("src.bin", "hello world");
    VmFile in(src.c_str(), false), out(P("dst.bin").c_str(), true);
    char buf[5];
    EXPECT_TRUE(out.CopyBinFrom(in, buf, 0));
    EXPECT_TRUE(out.CopyBinFrom(in, buf, 5));
    EXPECT_TRUE(out.CopyBinFrom(in, buf, 5));
    EXPECT_FALSE(out.CopyBinFrom(in, buf, 5));   // one byte left
    out.Close();
    EXPECT_EQ("hello worl", ReadAll(P("dst.bin")));
}

TEST_F(VmFileTest, StringsWithALengthByte)
{
    std::string path = P("str.bin");
    std::string max(255, 'm');
    {
        VmFile f(path.c_str(), true);
        EXPECT_TRUE(f.WriteStr("abc"));
        EXPECT_TRUE(f.WriteStr(""));
        EXPECT_TRUE(f.WriteStr(max.c_str()));
        // 256 bytes would store length 0 and leave the reader out of step: refused, no bytes.
        EXPECT_FALSE(f.WriteStr(std::string(256, 'x').c_str()));
        EXPECT_TRUE(f.WriteStr("tail"));
    }
    std::string bytes = ReadAll(path);
    ASSERT_EQ(4u + 1u + 256u + 5u, bytes.size());
    EXPECT_EQ(std::string("\x03" "abc\x00", 5), bytes.substr(0, 5));

    VmFile f(path.c_str(), false);
    char text[256];
    memset(text, 'Z', sizeof(text));
    EXPECT_TRUE(f.ReadStr(text));
    EXPECT_STREQ("abc", text);
    EXPECT_TRUE(f.ReadStr(text));
    EXPECT_STREQ("", text);
    struct {
        char buf[8];
        char guard[8];
    } small;
    memset(&small, 0x7E, sizeof(small));
    EXPECT_TRUE(f.ReadStr(small.buf, sizeof(small.buf)));   // cut, the rest skipped
    EXPECT_STREQ("mmmmmmm", small.buf);
    for (char c : small.guard)
        EXPECT_EQ(0x7E, c);
    EXPECT_TRUE(f.ReadStr(text));
    EXPECT_STREQ("tail", text);
    EXPECT_FALSE(f.ReadStr(text));   // at the end
    EXPECT_FALSE(f.ReadStr(nullptr));
}

TEST_F(VmFileTest, PutsFormatsAndEndsLinesWithCrLf)
{
    struct Row {
        const char* text;
        const char* expected;
    } rows[] = {
        {"abc\n", "abc\r\n"},
        {"abc\r\n", "abc\r\n"},
        {"\n", "\n"},   // a single character stays as it is
        {"a\nb", "a\nb"},
        {"", ""},
        {"x", "x"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        std::string path = P("puts.txt");
        DeleteFileA(path.c_str());
        VmFile f(path.c_str(), true);
        ASSERT_TRUE(f.puts("%s", row.text));
        f.Close();
        EXPECT_EQ(row.expected, ReadAll(path));
    }
    VmFile f(P("fmt.txt").c_str(), true);
    EXPECT_TRUE(f.puts("%d-%s-%c\n", 42, "x", 'y'));
    // A longer result is cut to 1023 bytes, never written past the buffer.
    std::string big(3000, 'q');
    EXPECT_TRUE(f.puts("%s\n", big.c_str()));
    EXPECT_FALSE(f.puts(nullptr));
    f.Close();
    std::string all = ReadAll(P("fmt.txt"));
    EXPECT_EQ("42-x-y\r\n" + std::string(1023, 'q'), all);
}

TEST_F(VmFileTest, PutsNeverEndsOnHalfADoubleByteCharacter)
{
    InitMBCS(932);
    std::string text(1022, 'a');
    text += "\x82\xA0";   // one double-byte character across the cut at 1023
    VmFile f(P("dbcs.txt").c_str(), true);
    EXPECT_TRUE(f.puts("%s", text.c_str()));
    f.Close();
    InitMBCS();
    EXPECT_EQ(std::string(1022, 'a'), ReadAll(P("dbcs.txt")));
}

TEST_F(VmFileTest, SizesTimesAndAttributesOfPaths)
{
    std::string path = Make("t.bin", std::string(1234, 'z'));
    EXPECT_EQ(1234u, VmFile::GetSize(path.c_str()));
    EXPECT_EQ(0u, VmFile::GetSize(P("missing").c_str()));
    WIN32_FIND_DATAA data;
    ASSERT_TRUE(VmFile::GetInfo(path.c_str(), data));
    EXPECT_STREQ("t.bin", data.cFileName);
    EXPECT_FALSE(VmFile::GetInfo(P("missing").c_str(), data));

    FILETIME when = MakeTime(2003, 7, 14, 10, 20, 30);
    EXPECT_TRUE(VmFile::SetTime(path.c_str(), nullptr, nullptr, &when));
    FILETIME write = {0, 0};
    EXPECT_TRUE(VmFile::GetTime(path.c_str(), nullptr, nullptr, &write));
    EXPECT_EQ(0, CompareFileTime(&when, &write));
    EXPECT_FALSE(VmFile::GetTime(P("missing").c_str(), nullptr, nullptr, &write));

    // Setting times on a missing file creates it (empty).
    std::string created = P("created.bin");
    EXPECT_TRUE(VmFile::SetTime(created.c_str(), nullptr, nullptr, &when));
    EXPECT_TRUE(Exists(created));
    EXPECT_EQ(0u, VmFile::GetSize(created.c_str()));
    // Folders cannot be opened this way.
    EXPECT_FALSE(VmFile::SetTime(MakeDir("dir").c_str(), nullptr, nullptr, &when));

    EXPECT_TRUE(VmFile::GetAttrib(P("dir").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, VmFile::GetAttrib(P("missing").c_str()));

    EXPECT_TRUE(VmFile::Delete(path.c_str()));
    EXPECT_FALSE(Exists(path));
    EXPECT_FALSE(VmFile::Delete(path.c_str()));
}

TEST_F(VmFileTest, CanFindAnswersWhetherAPathIsNotKnownToBeMissing)
{
    std::string file = Make("here.txt");
    EXPECT_TRUE(VmFile::CanFind(file.c_str()));
    EXPECT_TRUE(VmFile::CanFind(m_dir.c_str()));
    EXPECT_FALSE(VmFile::CanFind(P("gone.txt").c_str()));
    // A missing folder gives ERROR_PATH_NOT_FOUND, which does not prove the file missing.
    EXPECT_TRUE(VmFile::CanFind(P("nofolder\\gone.txt").c_str()));
    EXPECT_FALSE(VmFile::CanFind(nullptr));
    EXPECT_FALSE(VmFile::CanFind(""));
}

TEST_F(VmFileTest, CopyOfSmallFilesByFlags)
{
    struct Row {
        const char* name;
        const char* source;   // null: missing
        const char* target;   // null: missing
        DWORD flags;
        bool result;
        const char* after;    // null: target missing afterwards
    } rows[] = {
        {"plain copy", "new text", "old longer text", 0, true, "new text"},
        {"to missing target", "new", nullptr, 0, true, "new"},
        {"keep existing", "new", "old", VmFile::CopyKeepTarget, true, "old"},
        {"keep flag, no target", "new", nullptr, VmFile::CopyKeepTarget, true, "new"},
        {"empty source truncates", "", "old", 0, true, ""},
        {"no source deletes", nullptr, "old", 0, true, nullptr},
        {"no source, keep empty flag", nullptr, "old", VmFile::CopyEmptyIfNoSource, true, "old"},
        {"no source makes empty", nullptr, nullptr, VmFile::CopyEmptyIfNoSource, true, ""},
        {"nothing at all", nullptr, nullptr, 0, true, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string src = P("src.txt"), dst = P("dst.txt");
        DeleteFileA(src.c_str());
        DeleteFileA(dst.c_str());
        if (row.source)
            WriteAll(src, row.source);
        if (row.target)
            WriteAll(dst, row.target);
        EXPECT_EQ(row.result, VmFile::Copy(dst.c_str(), src.c_str(), row.flags));
        if (row.after) {
            EXPECT_TRUE(Exists(dst));
            EXPECT_EQ(row.after, ReadAll(dst));
        } else {
            EXPECT_FALSE(Exists(dst));
        }
    }
    // A source that is locked for reading: the open fails and the target is untouched.
    std::string src = Make("locked.txt", "abc");
    Make("dst2.txt", "keep");
    HANDLE lock = CreateFileA(src.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_FALSE(VmFile::Copy(P("dst2.txt").c_str(), src.c_str()));
    CloseHandle(lock);
    EXPECT_EQ("keep", ReadAll(P("dst2.txt")));
    EXPECT_FALSE(VmFile::Copy(nullptr, src.c_str()));
    EXPECT_FALSE(VmFile::Copy(P("x").c_str(), ""));
}

TEST_F(VmFileTest, ReadTextByMark)
{
    struct Row {
        const char* name;
        std::string bytes;
        std::string text;
    } rows[] = {
        {"ansi", "plain\r\ntext", "plain\r\ntext"},
        // Unicode texts come in the process code page, UTF-8.
        {"utf-16le", std::string("\xFF\xFE" "A\0b\0\xE9\0", 8), "Ab\xC3\xA9"},
        {"utf-16be", std::string("\xFE\xFF\0A\0b\0\xE9", 8), "Ab\xC3\xA9"},
        {"utf-16 odd size", std::string("\xFF\xFE" "A\0b", 5), "A"},
        {"utf-8 mark dropped", "\xEF\xBB\xBF" "caf\xC3\xA9", "caf\xC3\xA9"},
        {"only the mark", "\xFF\xFE", ""},
        {"only the utf-8 mark", "\xEF\xBB\xBF", ""},
        {"one byte", "Q", "Q"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string path = Make("text.txt", row.bytes);
        char* text = VmFile::ReadText(path.c_str());
        ASSERT_NE(nullptr, text);
        EXPECT_EQ(row.text, std::string(text));
        VmFile::FreeText(text);
    }
    Make("empty.txt", "");
    EXPECT_EQ(nullptr, VmFile::ReadText(P("empty.txt").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_EMPTY), GetLastError());
    EXPECT_EQ(nullptr, VmFile::ReadText(P("missing.txt").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(nullptr, VmFile::ReadText(nullptr));
    FreeDllBuf(nullptr);   // freeing nothing is harmless
}

TEST_F(VmFileTest, WriteTextBytesByFormatAndRoundTrip)
{
    struct Row {
        int format;
        std::string bytes;
    } rows[] = {
        {VmFileAnsi, "Ab\xC3\xA9"},
        {VmFileUnicode, std::string("\xFF\xFE" "A\0b\0\xE9\0\0\0", 10)},
        {VmFileUnicodeBE, std::string("\xFE\xFF\0A\0b\0\xE9\0\0", 10)},
        {VmFileUtf8, "\xEF\xBB\xBF" "Ab\xC3\xA9"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.format);
        // A longer file is truncated after what was written.
        std::string path = Make("w.txt", std::string(100, '#'));
        SetLastError(12345);
        EXPECT_TRUE(VmFile::WriteText(path.c_str(), "Ab\xC3\xA9", row.format));
        EXPECT_EQ(0u, GetLastError());
        EXPECT_EQ(row.bytes, ReadAll(path));
        char* back = VmFile::ReadText(path.c_str());
        ASSERT_NE(nullptr, back);
        EXPECT_STREQ("Ab\xC3\xA9", back);   // the text comes back as written
        VmFile::FreeText(back);
    }
    std::string path = Make("e.txt", "old");
    EXPECT_TRUE(VmFile::WriteText(path.c_str(), "", VmFileAnsi));
    EXPECT_EQ("", ReadAll(path));
    EXPECT_FALSE(VmFile::WriteText(path.c_str(), "x", 4));
    EXPECT_FALSE(VmFile::WriteText(path.c_str(), nullptr, VmFileAnsi));
    EXPECT_FALSE(VmFile::WriteText(P("nofolder\\x.txt").c_str(), "x", VmFileAnsi));
    EXPECT_NE(0u, GetLastError());
}

TEST_F(VmFileTest, ReadTextOfUnicodeOnADoubleByteCodePageNeedsTwoBytesACharacter)
{
    if (GetACP() != 932)
        GTEST_SKIP() << "needs the system code page 932 (run with LANG=ja_JP.UTF-8)";
    // Three hiragana: six bytes in code page 932, more than (size - 2) / 2 + 1.
    std::string path = Make("jp.txt", std::string("\xFF\xFE\x42\x30\x44\x30\x46\x30", 8));
    char* text = VmFile::ReadText(path.c_str());
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ("\x82\xA0\x82\xA2\x82\xA4", text);
    VmFile::FreeText(text);
}

TEST_F(VmFileTest, MappedViewsStartAtTheOffset)
{
    std::string bytes(200000, 0);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    std::string path = Make("map.bin", bytes);
    {
        FileFields f;
        ASSERT_TRUE(f.Open(path.c_str(), false));
        const DWORD offsets[] = {0, 1, 65535, 65536, 70001, 199999};
        for (DWORD offset : offsets) {
            SCOPED_TRACE(offset);
            const char* p = static_cast<const char*>(f.OpenMap(offset, 1));
            ASSERT_NE(nullptr, p);
            EXPECT_EQ(bytes[offset], *p);
            EXPECT_NE(nullptr, f.m_map);
            p = static_cast<const char*>(f.OpenMap(offset, 0));   // to the end
            ASSERT_NE(nullptr, p);
            EXPECT_EQ(0, memcmp(p, bytes.data() + offset, bytes.size() - offset));
        }
        f.CloseMap();
        EXPECT_EQ(nullptr, f.m_view);
        EXPECT_EQ(NULL, f.m_map);
    }
    {
        VmFile f(path.c_str(), true);
        char* p = static_cast<char*>(f.OpenMap(100000, 4));
        ASSERT_NE(nullptr, p);
        memcpy(p, "MAPW", 4);
        f.Close();   // unmaps before closing the file
    }
    EXPECT_EQ("MAPW", ReadAll(path).substr(100000, 4));
    VmFile closed;
    EXPECT_EQ(nullptr, closed.OpenMap(0, 0));
    VmFile empty(Make("empty.bin", "").c_str(), false);
    EXPECT_EQ(nullptr, empty.OpenMap(0, 0));   // an empty file cannot be mapped
}

TEST_F(VmFileTest, StreamReadsWritesAndSeeksThroughIStream)
{
    std::string path = P("stream.bin");
    VmFile file(path.c_str(), true);
    VmFileStream stream(&file);
    IStream* s = &stream;
    IUnknown* unk = nullptr;
    EXPECT_EQ(S_OK, s->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unk)));
    EXPECT_EQ(static_cast<IUnknown*>(s), unk);
    IStream* again = nullptr;
    EXPECT_EQ(S_OK, s->QueryInterface(IID_IStream, reinterpret_cast<void**>(&again)));
    EXPECT_EQ(s, again);
    void* other = &other;
    EXPECT_EQ(E_NOINTERFACE, s->QueryInterface(IID_IPersistStream, &other));
    EXPECT_EQ(nullptr, other);
    EXPECT_EQ(1u, s->AddRef());
    EXPECT_EQ(0u, s->Release());

    ULONG done = 0;
    EXPECT_EQ(S_OK, s->Write("0123456789", 10, &done));
    EXPECT_EQ(10u, done);
    ULARGE_INTEGER pos;
    LARGE_INTEGER move;
    move.QuadPart = 2;
    EXPECT_EQ(S_OK, s->Seek(move, STREAM_SEEK_SET, &pos));
    EXPECT_EQ(2u, pos.QuadPart);
    char buf[20] = {};
    EXPECT_EQ(S_OK, s->Read(buf, 3, &done));
    EXPECT_EQ(3u, done);
    EXPECT_EQ(std::string("234"), std::string(buf, 3));
    move.QuadPart = -4;
    EXPECT_EQ(S_OK, s->Seek(move, STREAM_SEEK_CUR, &pos));
    EXPECT_EQ(1u, pos.QuadPart);
    move.QuadPart = -3;
    EXPECT_EQ(S_OK, s->Seek(move, STREAM_SEEK_END, nullptr));
    // A short read is no error: the count shows it.
    EXPECT_EQ(S_OK, s->Read(buf, 20, &done));
    EXPECT_EQ(3u, done);
    EXPECT_EQ(S_OK, s->Read(buf, 5, nullptr));
    move.QuadPart = 0x100000000ll;   // beyond 32 bits
    EXPECT_EQ(E_NOTIMPL, s->Seek(move, STREAM_SEEK_SET, &pos));
    move.QuadPart = -0x100000000ll;
    EXPECT_EQ(E_NOTIMPL, s->Seek(move, STREAM_SEEK_CUR, &pos));
    move.QuadPart = -20;   // before the start: a failure, not a position
    EXPECT_NE(S_OK, s->Seek(move, STREAM_SEEK_SET, &pos));

    ULARGE_INTEGER u = {};
    STATSTG stat;
    IStream* clone = nullptr;
    EXPECT_EQ(E_NOTIMPL, s->SetSize(u));
    EXPECT_EQ(E_NOTIMPL, s->CopyTo(s, u, nullptr, nullptr));
    EXPECT_EQ(E_NOTIMPL, s->Commit(0));
    EXPECT_EQ(E_NOTIMPL, s->Revert());
    EXPECT_EQ(E_NOTIMPL, s->LockRegion(u, u, 0));
    EXPECT_EQ(E_NOTIMPL, s->UnlockRegion(u, u, 0));
    EXPECT_EQ(E_NOTIMPL, s->Stat(&stat, 0));
    EXPECT_EQ(E_NOTIMPL, s->Clone(&clone));
    file.Close();
    EXPECT_EQ("0123456789", ReadAll(path));

    VmFileStream none(nullptr);
    EXPECT_EQ(E_UNEXPECTED, none.Read(buf, 1, &done));
    EXPECT_EQ(0u, done);
    EXPECT_EQ(E_UNEXPECTED, none.Write(buf, 1, nullptr));
    EXPECT_EQ(E_UNEXPECTED, none.Seek(move, STREAM_SEEK_SET, nullptr));
}

TEST_F(VmFileTest, PictureLoadsThroughTheStream)
{
    // A 2x1 24-bit bitmap.
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof(ih);
    ih.biWidth = 2;
    ih.biHeight = 1;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    const BYTE pixels[8] = {0, 0, 255, 0, 255, 0, 0, 0};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + sizeof(pixels);
    std::string bytes(reinterpret_cast<char*>(&fh), sizeof(fh));
    bytes.append(reinterpret_cast<char*>(&ih), sizeof(ih));
    bytes.append(reinterpret_cast<const char*>(pixels), sizeof(pixels));
    std::string path = Make("pic.bmp", bytes);

    VmFile file(path.c_str(), false);
    VmFileStream stream(&file);
    IPicture* picture = nullptr;
    HRESULT hr = OleLoadPicture(&stream, static_cast<LONG>(file.GetSize()), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&picture));
    ASSERT_EQ(S_OK, hr);
    ASSERT_NE(nullptr, picture);
    SHORT type = 0;
    EXPECT_EQ(S_OK, picture->get_Type(&type));
    EXPECT_EQ(PICTYPE_BITMAP, type);
    OLE_XSIZE_HIMETRIC width = 0;
    picture->get_Width(&width);
    EXPECT_GT(width, 0);
    picture->Release();
}

TEST_F(VmFileTest, AttributeGuardLiftsAndRestores)
{
    std::string path = Make("ro.txt");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    // Wine run as root may still open a read-only file for writing; Windows refuses.
    {
        VmFileAttrib guard(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_TRUE(guard.GetOldAttrib() & FILE_ATTRIBUTE_READONLY);
        VmFile w(path.c_str(), true);
        EXPECT_TRUE(w.IsReady());
    }
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    std::string missing = P("missing.txt");
    {
        VmFileAttrib guard(missing.c_str(), FILE_ATTRIBUTE_READONLY);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, guard.GetOldAttrib());
    }
    EXPECT_FALSE(Exists(missing));
    VmFileAttrib none(nullptr, FILE_ATTRIBUTE_READONLY);   // nothing to guard, no crash
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, none.GetOldAttrib());
}

TEST_F(VmFileTest, NullEmptyAndOverlongNamesFailWithoutCrash)
{
    VmFile f;
    EXPECT_FALSE(f.Open(nullptr, true));
    EXPECT_FALSE(f.Open("", false));
    EXPECT_FALSE(f.Open(nullptr, GENERIC_READ, 0, OPEN_EXISTING, 0));
    WIN32_FIND_DATAA data;
    EXPECT_FALSE(VmFile::GetInfo(nullptr, data));
    EXPECT_FALSE(VmFile::GetInfo("", data));
    EXPECT_EQ(0u, VmFile::GetSize(static_cast<const char*>(nullptr)));
    EXPECT_FALSE(VmFile::GetTime(nullptr, nullptr, nullptr, nullptr));
    EXPECT_FALSE(VmFile::SetTime(static_cast<const char*>(nullptr), nullptr, nullptr, nullptr));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, VmFile::GetAttrib(nullptr));
    EXPECT_FALSE(VmFile::Delete(nullptr));
    EXPECT_FALSE(VmFile::Delete(""));
    EXPECT_FALSE(VmFile::WriteText(nullptr, "x", VmFileAnsi));
    EXPECT_FALSE(VmFile::WriteText("", "x", VmFileAnsi));

    for (size_t length : {261u, 300u, 1000u, 5000u}) {
        SCOPED_TRACE(length);
        std::string name = LongPath(length);
        EXPECT_FALSE(f.Open(name.c_str(), true));
        EXPECT_FALSE(VmFile::GetInfo(name.c_str(), data));
        EXPECT_EQ(nullptr, VmFile::ReadText(name.c_str()));
        EXPECT_FALSE(VmFile::WriteText(name.c_str(), "x", VmFileAnsi));
        EXPECT_FALSE(VmFile::SetTime(name.c_str(), nullptr, nullptr, nullptr));
        EXPECT_FALSE(VmFile::Copy(name.c_str(), name.c_str(), VmFile::CopyEmptyIfNoSource));
        VmFileAttrib guard(name.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, guard.GetOldAttrib());
    }
}
