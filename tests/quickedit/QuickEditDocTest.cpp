// The Quick Edit document on a real text control: detection, load, save and their round trips.
#include "quickedit/QuickEditDoc.h"
#include "quickedit/QuickEditRes.h"
#include "files/VmFile.h"
#include "driver/Driver.h"
#include <gtest/gtest.h>
#include <deque>
#include <string>

namespace {

std::string U8(const wchar_t* w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string s((size_t)n, 0);
    WideCharToMultiByte(CP_UTF8, 0, w, -1, &s[0], n, nullptr, nullptr);
    s.resize((size_t)n - 1);
    return s;
}

bool WriteAll(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    bool ok = bytes.empty() || (WriteFile(h, bytes.data(), (DWORD)bytes.size(), &done, NULL) &&
                                done == bytes.size());
    CloseHandle(h);
    return ok;
}

std::string ReadAll(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string s;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof(buf), &got, NULL) && got)
        s.append(buf, got);
    CloseHandle(h);
    return s;
}

int CountFiles(const std::string& folder)
{
    WIN32_FIND_DATAA d;
    HANDLE f = FindFirstFileA((folder + "\\*").c_str(), &d);
    int n = 0;
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            n++;
    } while (FindNextFileA(f, &d));
    FindClose(f);
    return n;
}

// Answers the document's questions from a queue and can make the write fail part way.
class TestDoc : public QuickEditDoc {
public:
    std::deque<int> answers;
    std::deque<int> asked;
    size_t failAfter = (size_t)-1;   // bytes written before the "disk is full"
    std::string savePath;
    int saveEntry = 0;

protected:
    int Ask(UINT, int stringId, const char*) override
    {
        asked.push_back(stringId);
        if (answers.empty())
            return IDCANCEL;
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    bool WriteBytes(VmFile& file, const void* data, size_t size) override
    {
        if (size > failAfter) {
            file.WriteBin(data, (DWORD)failAfter);
            return false;
        }
        return QuickEditDoc::WriteBytes(file, data, size);
    }
    bool ChooseSavePath(char* path, int& entry) override
    {
        if (savePath.empty())
            return false;
        lstrcpynA(path, savePath.c_str(), MAX_PATH);
        entry = saveEntry;
        return true;
    }
};

class QuickEditDocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = drv::TempFolder("qedoc");
        drv::RemoveTree(folder);
        CreateDirectoryA(folder.c_str(), NULL);
        owner = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, NULL,
                                NULL, NULL, NULL);
        edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_MULTILINE | ES_AUTOVSCROLL |
                               ES_AUTOHSCROLL | ES_WANTRETURN, 0, 0, 300, 200, owner, NULL,
                               NULL, NULL);
        doc.Attach(owner, edit);
    }
    void TearDown() override
    {
        DestroyWindow(owner);
        drv::RemoveTree(folder);
    }
    std::string File(const char* name) { return folder + "\\" + name; }
    std::string File(const wchar_t* name) { return folder + "\\" + U8(name); }
    // Loads bytes written to a file; the load's result.
    int LoadBytes(const std::string& bytes, const std::string& name = "t.txt")
    {
        path = folder + "\\" + name;
        EXPECT_TRUE(WriteAll(path, bytes));
        return doc.Load(path.c_str());
    }
    void SetText(const wchar_t* text)
    {
        SetWindowTextW(edit, text);
        SendMessageW(edit, EM_SETMODIFY, TRUE, 0);
    }
    // Loads, saves under another name without a change, and compares the bytes.
    void ExpectRoundTrip(const std::string& bytes, DWORD encoding, int line)
    {
        SCOPED_TRACE(line);
        ASSERT_EQ(0, LoadBytes(bytes));
        EXPECT_EQ(encoding, doc.GetEncoding());
        std::string out = File("out.txt");
        ASSERT_EQ(0, doc.Save(out.c_str()));
        EXPECT_EQ(bytes, ReadAll(out));
    }

    std::string folder, path;
    HWND owner = NULL, edit = NULL;
    TestDoc doc;
};

TEST_F(QuickEditDocTest, DetectsTheEncodingFromMarksAndLineEnds)
{
    struct Case {
        std::string bytes;
        DWORD encoding;
        const wchar_t* text;
        const char* name;
    } cases[] = {
        {"a\r\nb\nc\r\n", TE_Ansi, L"a\r\nb\nc\r\n", "ANSI"},           // the last LF decides
        {"a\nb\r\nc\n", TE_Unix, L"a\r\nb\r\nc\r\n", "UNIX"},           // bare LFs get a CR
        {"\nabc", TE_Ansi, L"\nabc", "ANSI"},                           // first byte LF alone
        {"no line end", TE_Ansi, L"no line end", "ANSI"},
        {std::string("\xFF\xFE" "h\0i\0", 6), TE_Unicode, L"hi", "UNICODE"},
        {std::string("\xFE\xFF\0h\0i", 6), TE_UnicodeBigEndian, L"hi", "UNICODE B.E."},
        {"\xEF\xBB\xBF\xD0\x96\xE6\x97\xA5", TE_Utf8, L"\x0416\x65E5", "UTF-8"},
        {"\xEF\xBB\xBF", TE_Utf8, L"", "UTF-8"},
        {"", TE_Ansi, L"", "ANSI"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0, LoadBytes(c.bytes));
        EXPECT_EQ(c.encoding, doc.GetEncoding());
        EXPECT_STREQ(c.name, doc.EncodingName());
        EXPECT_EQ(std::wstring(c.text), doc.GetText());
        EXPECT_FALSE(doc.IsReadOnly());
        EXPECT_FALSE(doc.IsModified());
        EXPECT_FALSE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
    }
}

TEST_F(QuickEditDocTest, ControlBytesMakeABinaryReadOnlyDocument)
{
    for (const char* b : {"\x00", "\x07", "\x7F"}) {
        std::string bytes = std::string("ab") + std::string(b, 1) + "c\r\n";
        ASSERT_EQ(0, LoadBytes(bytes));
        EXPECT_EQ((DWORD)TE_Binary, doc.GetEncoding());
        EXPECT_STREQ("Unknown", doc.EncodingName());
        EXPECT_EQ(L"ab c\r\n", doc.GetText());
        EXPECT_TRUE(doc.IsReadOnly());
        EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
    }
    // Every byte value: the controls are blanks, everything else is text.
    std::string all;
    for (int i = 0; i < 256; i++)
        all.push_back((char)i);
    ASSERT_EQ(0, LoadBytes(all));
    EXPECT_EQ((DWORD)TE_Binary, doc.GetEncoding());
    std::wstring text = doc.GetText();
    ASSERT_EQ(256u, text.size());
    for (int i = 0; i < 256; i++) {
        bool control = (i < 0x20 && i != 9 && i != 10 && i != 12 && i != 13) || i == 0x7F;
        EXPECT_EQ(control ? L' ' : (wchar_t)i, text[i]) << i;
    }
    // Bytes 0x80 to 0xFF alone are ordinary text.
    std::string high;
    for (int i = 0x80; i < 0x100; i++)
        high.push_back((char)i);
    ASSERT_EQ(0, LoadBytes(high + "\r\n"));
    EXPECT_EQ((DWORD)TE_Ansi, doc.GetEncoding());
    EXPECT_FALSE(doc.IsReadOnly());
}

TEST_F(QuickEditDocTest, TextsRoundTripByteForByte)
{
    ExpectRoundTrip("a\r\nb\nc\r\n", TE_Ansi, __LINE__);          // mixed line ends
    ExpectRoundTrip("lone\rCR\r\nend", TE_Ansi, __LINE__);
    ExpectRoundTrip("a\nb\nc\n", TE_Unix, __LINE__);
    ExpectRoundTrip(std::string("\xFF\xFE" "a\0\r\0\n\0\x16\x04", 10), TE_Unicode, __LINE__);
    ExpectRoundTrip(std::string("\xFE\xFF\0a\0\r\0\n\x04\x16", 10), TE_UnicodeBigEndian, __LINE__);
    ExpectRoundTrip("\xEF\xBB\xBF" + U8(L"\x65E5\x672C \x0416 \xD83D\xDE00\r\n"), TE_Utf8, __LINE__);
    // Without a mark, UTF-8 under the UTF-8 code page is text in the process code page.
    ExpectRoundTrip(U8(L"\x65E5\x672C\x8A9E \x041F\x0440\x0438\x0432\x0435\x0442 \xD83D\xDE00\r\n"),
                    TE_Ansi, __LINE__);
    EXPECT_EQ(std::wstring(L"\x65E5\x672C\x8A9E \x041F\x0440\x0438\x0432\x0435\x0442 \xD83D\xDE00\r\n"),
              doc.GetText());
    // Bytes that are not valid in the process code page still come back unchanged.
    std::string high;
    for (int i = 0x80; i < 0x100; i++)
        high.push_back((char)i);
    ExpectRoundTrip(high + "\r\n" + high, TE_Ansi, __LINE__);
    // Long lines.
    ExpectRoundTrip(std::string(100000, 'x') + "\r\n" + std::string(100000, 'y'), TE_Ansi, __LINE__);
    ExpectRoundTrip(std::string(100000, 'x') + "\n" + std::string(100000, 'y') + "\n", TE_Unix,
                    __LINE__);
}

TEST_F(QuickEditDocTest, Utf16EndsAtWholeUnits)
{
    // An odd final byte is not part of the text; a zero unit ends it.
    ASSERT_EQ(0, LoadBytes(std::string("\xFF\xFE" "a\0b\0c", 7)));
    EXPECT_EQ(L"ab", doc.GetText());
    std::string out = File("odd.txt");
    ASSERT_EQ(0, doc.Save(out.c_str()));
    EXPECT_EQ(std::string("\xFF\xFE" "a\0b\0", 6), ReadAll(out));
    ASSERT_EQ(0, LoadBytes(std::string("\xFE\xFF\0a\0\0\0b", 8)));
    EXPECT_EQ(L"a", doc.GetText());
}

TEST_F(QuickEditDocTest, SavesEachEncoding)
{
    ASSERT_EQ(0, LoadBytes("x"));
    std::string out = File("enc.txt");
    SetText(L"a\r\nb\rc");
    doc.SetEncoding(TE_Unix);
    ASSERT_EQ(0, doc.Save(out.c_str()));
    EXPECT_EQ("a\nbc", ReadAll(out));   // lone CRs go too
    doc.SetEncoding(TE_UnicodeBigEndian);
    SetText(L"\x0416z");
    ASSERT_EQ(0, doc.Save(out.c_str()));
    EXPECT_EQ(std::string("\xFE\xFF\x04\x16\0z", 6), ReadAll(out));
    ASSERT_EQ(0, doc.Load(out.c_str()));
    EXPECT_EQ(L"\x0416z", doc.GetText());
    // Empty texts are empty files, without a mark.
    for (DWORD e : {TE_Utf8, TE_Unicode, TE_UnicodeBigEndian, TE_Ansi}) {
        SetText(L"");
        doc.SetEncoding(e);
        ASSERT_EQ(0, doc.Save(out.c_str()));
        EXPECT_EQ("", ReadAll(out)) << e;
    }
}

TEST_F(QuickEditDocTest, AShorterTextLeavesNoTrailingBytes)
{
    ASSERT_EQ(0, LoadBytes(std::string(5000, 'L') + "\r\n"));
    SetText(L"short");
    ASSERT_EQ(0, doc.Save(path.c_str()));
    EXPECT_EQ("short", ReadAll(path));
    EXPECT_EQ(1, CountFiles(folder));   // no temporary file left
}

TEST_F(QuickEditDocTest, AFailingWriteKeepsTheOldFile)
{
    std::string old = std::string(3000, 'o') + "\r\n";
    ASSERT_EQ(0, LoadBytes(old));
    SetText(std::wstring(9000, L'n').c_str());
    doc.failAfter = 4096;   // the disk fills after 4 KB
    EXPECT_EQ((int)QuickEditDoc::ErrShortWrite, doc.Save(path.c_str()));
    EXPECT_EQ(old, ReadAll(path));
    EXPECT_EQ(1, CountFiles(folder));
    EXPECT_TRUE(doc.IsModified());   // the user can try again
    // SaveDocument reports it and keeps the text modified.
    doc.failAfter = (size_t)-1;
    ASSERT_EQ(0, doc.Save(path.c_str()));
    EXPECT_EQ(std::string(9000, 'n'), ReadAll(path));
}

TEST_F(QuickEditDocTest, ReadOnlyFilesAskAndStayReadOnly)
{
    ASSERT_EQ(0, LoadBytes("old\r\n"));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    SetText(L"new");
    doc.answers = {IDNO};
    EXPECT_FALSE(doc.SaveDocument());
    EXPECT_EQ(std::deque<int>{IDS_QE_READONLY}, doc.asked);
    EXPECT_EQ("old\r\n", ReadAll(path));
    doc.answers = {IDYES};
    EXPECT_TRUE(doc.SaveDocument());
    EXPECT_EQ("new", ReadAll(path));
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(doc.IsModified());
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(QuickEditDocTest, MissingEmptyHugeAndVanishingFiles)
{
    std::string missing = File("missing.txt");
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, doc.Load(missing.c_str()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, doc.Load(File("nofolder\\x.txt").c_str()));
    ASSERT_EQ(0, LoadBytes(""));
    EXPECT_EQ((DWORD)TE_Ansi, doc.GetEncoding());
    EXPECT_EQ(L"", doc.GetText());

    // A 2 GB file is refused at once, not read.
    std::string huge = File("huge.txt");
    HANDLE h = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER size;
    size.QuadPart = 2048ll * 1024 * 1024;
    ASSERT_TRUE(SetFilePointerEx(h, size, NULL, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
    DWORD start = GetTickCount();
    EXPECT_EQ(ERROR_FILE_TOO_LARGE, doc.Load(huge.c_str()));
    EXPECT_LT(GetTickCount() - start, 5000u);
    DeleteFileA(huge.c_str());

    // The file goes while it is open; saving makes it again.
    ASSERT_EQ(0, LoadBytes("here\r\n"));
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    SetText(L"back");
    EXPECT_TRUE(doc.SaveDocument());
    EXPECT_EQ("back", ReadAll(path));
}

TEST_F(QuickEditDocTest, TextThatTheCodePageCannotHoldIsNotSaved)
{
    std::string high = "caf\xE9\r\n";   // not UTF-8: kept as single bytes
    ASSERT_EQ(0, LoadBytes(high));
    EXPECT_EQ(L"caf\xE9\r\n", doc.GetText());
    SetText(L"caf\xE9 \x65E5");
    EXPECT_EQ(ERROR_NO_UNICODE_TRANSLATION, doc.Save(path.c_str()));
    EXPECT_EQ(high, ReadAll(path));
    // As UTF-8 it is saved whole.
    doc.SetEncoding(TE_Utf8);
    ASSERT_EQ(0, doc.Save(path.c_str()));
    EXPECT_EQ("\xEF\xBB\xBF" + U8(L"caf\xE9 \x65E5"), ReadAll(path));
}

TEST_F(QuickEditDocTest, NamesInOtherScriptsAndWildcards)
{
    const wchar_t* names[] = {L"\x65E5\x672C.txt", L"\x0416\x0443\x043A.txt", L"\xD83D\xDE00.txt"};
    // Siblings a wrong pattern would catch.
    ASSERT_TRUE(WriteAll(File(L"ab.txt"), "sibling"));
    ASSERT_TRUE(WriteAll(File(L"a.txt"), "sibling"));
    for (const wchar_t* n : names) {
        std::string p = File(n);
        ASSERT_TRUE(WriteAll(p, "text " + U8(n)));
        ASSERT_EQ(0, doc.Load(p.c_str())) << U8(n);
        EXPECT_STREQ(p.c_str(), doc.GetPath());
        char title[MAX_PATH];
        GetWindowTextA(owner, title, sizeof(title));
        EXPECT_EQ(U8(n), title);
        SetText((std::wstring(L"changed ") + n).c_str());
        ASSERT_EQ(0, doc.Save(p.c_str()));
        EXPECT_EQ("changed " + U8(n), ReadAll(p));
    }
    EXPECT_EQ("sibling", ReadAll(File(L"ab.txt")));
    EXPECT_EQ("sibling", ReadAll(File(L"a.txt")));
    EXPECT_EQ(ERROR_INVALID_NAME, doc.Load(File("?.txt").c_str()));
    EXPECT_EQ(ERROR_INVALID_NAME, doc.Save(File("*.txt").c_str()));
    EXPECT_EQ("sibling", ReadAll(File(L"a.txt")));
}

TEST_F(QuickEditDocTest, AskToSaveNewAndSaveAs)
{
    ASSERT_EQ(0, LoadBytes("one\r\n"));
    EXPECT_TRUE(doc.AskToSave());   // not modified: no question
    EXPECT_TRUE(doc.asked.empty());
    SetText(L"two");
    doc.answers = {IDCANCEL};
    EXPECT_FALSE(doc.AskToSave());
    doc.answers = {IDNO};
    EXPECT_TRUE(doc.AskToSave());
    EXPECT_EQ("one\r\n", ReadAll(path));
    doc.answers = {IDYES};
    EXPECT_TRUE(doc.AskToSave());
    EXPECT_EQ("two", ReadAll(path));

    doc.NewDocument();
    EXPECT_STREQ("", doc.GetPath());
    EXPECT_STREQ(folder.c_str(), doc.GetFolder());
    EXPECT_EQ((DWORD)TE_Ansi, doc.GetEncoding());
    char title[64];
    GetWindowTextA(owner, title, sizeof(title));
    EXPECT_STREQ("Quick Edit", title);

    // An untitled document's Save goes through Save As, which picks the encoding.
    SetText(L"\x0416");
    doc.savePath = File("as.txt");
    doc.saveEntry = TE_Unicode;
    EXPECT_TRUE(doc.SaveDocument());
    EXPECT_EQ(std::string("\xFF\xFE\x16\x04", 4), ReadAll(File("as.txt")));
    EXPECT_EQ((DWORD)TE_Unicode, doc.GetEncoding());
    EXPECT_STREQ(File("as.txt").c_str(), doc.GetPath());
}

}   // namespace
