#include "FileFixture.h"
#include <commctrl.h>
#include <shlobj.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <memory>
#include <thread>
#include "LibRes.h"
#include "util/StrUtil.h"
#include "driver/Driver.h"
#include "files/FileOp.h"
#include "shell/IdList.h"

using filetest::Exists;
using filetest::ReadAll;

namespace {
using drv::MakeBulky;

const UINT kQuiet = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_NOCONFIRMMKDIR;

// The entries of a path list, read within size bytes only.
std::vector<std::string> Entries(const char* list, int size)
{
    std::vector<std::string> out;
    int at = 0;
    while (at < size && list[at]) {
        int len = (int)strnlen(list + at, size - at);
        if (at + len >= size)
            break;
        out.push_back(std::string(list + at, len));
        at += len + 1;
    }
    return out;
}

// A buffer whose last byte is the last byte before an inaccessible page.
class PageEndBuffer {
public:
    explicit PageEndBuffer(int size) : m_size(size)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        m_page = info.dwPageSize;
        m_pages = (size + m_page - 1) / m_page + 1;
        m_base = static_cast<char*>(VirtualAlloc(NULL, m_pages * m_page, MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(m_base + (m_pages - 1) * m_page, m_page, PAGE_NOACCESS, &old);
        memset(m_base, 0x5A, (m_pages - 1) * m_page);
    }
    PageEndBuffer(const PageEndBuffer&) = delete;
    PageEndBuffer& operator=(const PageEndBuffer&) = delete;
    ~PageEndBuffer() { VirtualFree(m_base, 0, MEM_RELEASE); }
    char* Get() const { return m_base + (m_pages - 1) * m_page - m_size; }

private:
    int m_size;
    DWORD m_page;
    DWORD m_pages;
    char* m_base;
};

// A "Shell IDList Array" block for items of one folder, as a view hands out its selection.
HGLOBAL MakeCida(const ITEMIDLIST* folder, const std::vector<const ITEMIDLIST*>& items)
{
    UINT count = (UINT)items.size();
    UINT header = sizeof(UINT) * (count + 2);
    UINT total = header + ILGetSize(folder);
    for (auto* item : items)
        total += ILGetSize(item);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, total);
    BYTE* p = static_cast<BYTE*>(GlobalLock(mem));
    CIDA* cida = reinterpret_cast<CIDA*>(p);
    cida->cidl = count;
    UINT at = header;
    cida->aoffset[0] = at;
    memcpy(p + at, folder, ILGetSize(folder));
    at += ILGetSize(folder);
    for (UINT i = 0; i < count; ++i) {
        cida->aoffset[i + 1] = at;
        memcpy(p + at, items[i], ILGetSize(items[i]));
        at += ILGetSize(items[i]);
    }
    GlobalUnlock(mem);
    return mem;
}

// A selection of the named entries of folder, in the given order.
class Selection {
public:
    Selection(const std::string& folder, const std::vector<std::string>& names)
    {
        m_folder = ILCreateFromPathA(folder.c_str());
        std::vector<const ITEMIDLIST*> items;
        for (auto& name : names) {
            ITEMIDLIST* full = ILCreateFromPathA((folder + "\\" + name).c_str());
            m_full.push_back(full);
            items.push_back(full ? ILFindLastID(full) : nullptr);
        }
        Build(m_folder, items);
    }
    Selection(const ITEMIDLIST* folder, const std::vector<const ITEMIDLIST*>& items) : m_folder(nullptr)
    {
        Build(folder, items);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection()
    {
        m_list.reset();
        if (m_mem)
            GlobalFree(m_mem);
        for (auto* p : m_full)
            ILFree(p);
        ILFree(m_folder);
    }
    ID_List* Get() { return m_list.get(); }

private:
    void Build(const ITEMIDLIST* folder, const std::vector<const ITEMIDLIST*>& items)
    {
        m_mem = MakeCida(folder, items);
        m_list.reset(new ID_List(m_mem));
    }
    ITEMIDLIST* m_folder;
    std::vector<ITEMIDLIST*> m_full;
    HGLOBAL m_mem = NULL;
    std::unique_ptr<ID_List> m_list;
};

class FileOpTest : public filetest::TempFolder {
protected:
    std::vector<std::string> Src(int type, FileOpSrcData& data, int* count = nullptr,
                                 unsigned __int64* total = nullptr)
    {
        int need = FileOp_MakeSrc(type, &data, nullptr, nullptr, nullptr, 0);
        std::vector<char> buf(need + 16, 0x5A);
        EXPECT_EQ(need, FileOp_MakeSrc(type, &data, count, total, buf.data(), need));
        EXPECT_EQ(0, buf[need - 1]);
        EXPECT_EQ(0x5A, buf[need]) << "written past the measured size";
        return Entries(buf.data(), need);
    }
    std::vector<std::string> Dst(int op, const char* mask, const std::vector<std::string>& srcs,
                                 const char* folder, const char* name, FileOpErr* err = nullptr,
                                 char* errPath = nullptr)
    {
        std::string list;
        for (auto& s : srcs)
            list += s + '\0';
        list += '\0';
        FileOpErr e = FileOpErrNone;
        int need = FileOp_MakeDst(op, mask, list.c_str(), folder, name, &e, errPath, nullptr, 0);
        if (err)
            *err = e;
        if (!need)
            return {};
        std::vector<char> buf(need + 1, 0x5A);
        EXPECT_EQ(need, FileOp_MakeDst(op, mask, list.c_str(), folder, name, &e, errPath,
                                       buf.data(), need));
        EXPECT_EQ(0x5A, buf[need]);
        return Entries(buf.data(), need);
    }
};

TEST(FileOpMask, NamePartsByTheMaskRule)
{
    struct Case {
        const char* src;
        const char* dst;
        const char* name;
        bool ext;
        const char* expect;
    } cases[] = {
        {"*", "old_*", "report", false, "old_report"},
        {".txt", ".bak", ".txt", true, ".bak"},
        {"", "*", "anything", false, "anything"},
        {"", ".*", ".doc", true, ".doc"},
        {"", ".*", "", true, ""},            // a lone dot is removed again
        {"", "copy", "report", false, "copy"},
        {"", "", ".txt", true, ""},
        {"*_old", "*", "report_old", false, "report"},
        {"pre*post", "[*]", "preMIDpost", false, "[MID]"},
        {"long*mask", "x*", "short", false, "x"},   // the mask's ends do not fit the name
        {"*", "a*b*c", "N", false, "aNb*c"},        // the rest after the first "*" is literal
        {"..tx*", "...b*", "..txt", true, ".bt"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(std::string(c.src) + " | " + c.dst + " | " + c.name);
        char out[MAX_PATH];
        FileOp_ApplyMask(c.src, c.dst, c.name, c.ext, out, sizeof(out));
        EXPECT_STREQ(c.expect, out);
    }
    char small[4];
    FileOp_ApplyMask(nullptr, "*", "abcdefgh", false, small, sizeof(small));
    EXPECT_STREQ("abc", small);
    FileOp_ApplyMask(nullptr, nullptr, nullptr, false, nullptr, 10);   // no crash
}

// "?" has no meaning in a destination mask and only the first "*" has one: what would reach
// a name literally is refused before the shell could take it as a wildcard.
TEST_F(FileOpTest, DestinationMaskWithALiteralWildcardIsRefused)
{
    const std::vector<std::string> names = {"C:\\x\\日本語.txt", "C:\\x\\Привет.txt", "C:\\x\\a😀.txt"};
    for (int op : {FileOpRename, FileOpCopy, FileOpMove}) {
        for (const char* mask : {"new?.txt", "*.t?t", "?", "a*b*c.txt", "*.*?"}) {
            SCOPED_TRACE(std::string(mask) + " op " + std::to_string(op));
            FileOpErr err = FileOpErrNone;
            char errPath[MAX_PATH] = "";
            EXPECT_TRUE(Dst(op, nullptr, names, "D:\\to", mask, &err, errPath).empty());
            EXPECT_EQ(FileOpErrName, err);
            EXPECT_TRUE(HasWildcard(errPath)) << errPath;
        }
    }
    // The masks the rule means still work, with every kind of name.
    FileOpErr err = FileOpErrNone;
    EXPECT_EQ((std::vector<std::string>{"C:\\x\\日本語.bak", "C:\\x\\Привет.bak", "C:\\x\\a😀.bak"}),
              Dst(FileOpRename, nullptr, names, "C:\\x", "*.bak", &err));
    EXPECT_EQ(FileOpErrNone, err);
    EXPECT_EQ((std::vector<std::string>{"D:\\to\\old_日本語.txt"}),
              Dst(FileOpCopy, "*.txt", {names[0]}, "D:\\to", "old_*.txt", &err));
    EXPECT_EQ(FileOpErrNone, err);
}

TEST_F(FileOpTest, DestinationsForRenameCopyAndMove)
{
    // Without a source mask "*" stands for the whole name.
    EXPECT_EQ((std::vector<std::string>{"C:\\x\\a.bak", "C:\\x\\b.bak"}),
              Dst(FileOpRename, nullptr, {"C:\\x\\a.txt", "C:\\x\\b.doc"}, "C:\\elsewhere", "*.bak"));
    EXPECT_EQ((std::vector<std::string>{"C:\\x\\report.txt", "C:\\x\\list.txt"}),
              Dst(FileOpRename, "*_old.txt", {"C:\\x\\report_old.txt", "C:\\x\\list_old.txt"},
                  "C:\\x", "*.txt"));
    EXPECT_EQ((std::vector<std::string>{"D:\\to\\old_report.bak"}),
              Dst(FileOpCopy, "*.txt", {"C:\\x\\report.txt"}, "D:\\to", "old_*.bak"));
    // Empty name keeps every name; folder with or without its final separator.
    EXPECT_EQ((std::vector<std::string>{"D:\\to\\a.txt", "D:\\to\\noext", "D:\\to\\.cfg"}),
              Dst(FileOpCopy, nullptr, {"C:\\x\\a.txt", "C:\\x\\noext", "C:\\x\\.cfg"}, "D:\\to\\", ""));
    EXPECT_EQ((std::vector<std::string>{"D:\\to\\copy", "D:\\to\\copy"}),
              Dst(FileOpMove, nullptr, {"C:\\x\\a.txt", "C:\\x\\b"}, "D:\\to", "copy"));
    // A destination without drive takes the source's; a network one keeps its own.
    EXPECT_EQ((std::vector<std::string>{"C:\\to\\a.txt"}),
              Dst(FileOpCopy, nullptr, {"C:\\x\\a.txt"}, "\\to", "*.*"));
    EXPECT_EQ((std::vector<std::string>{"\\\\srv\\share\\a.txt"}),
              Dst(FileOpCopy, nullptr, {"C:\\x\\a.txt"}, "\\\\srv\\share", "*.*"));
    // Without destination folder the source's folder is kept.
    EXPECT_EQ((std::vector<std::string>{"C:\\x\\a.txt"}),
              Dst(FileOpCopy, nullptr, {"C:\\x\\a.txt"}, "", nullptr));
    EXPECT_TRUE(Dst(FileOpCopy, nullptr, {}, "D:\\to", "*.*").empty());
}

TEST_F(FileOpTest, FolderOntoItselfOrIntoItsSubfolder)
{
    std::string a = MakeDir("a");
    MakeDir("a\\b");
    MakeDir("ab");
    struct Case {
        std::string dst;
        FileOpErr err;
    } cases[] = {
        {a, FileOpErrSelf},              // into itself
        {m_dir, FileOpErrSelf},          // onto itself in its own folder
        {a + "\\", FileOpErrSelf},
        {a + "\\b", FileOpErrSubfolder},
        {a + "\\B\\deeper", FileOpErrSubfolder},
        {P("ab"), FileOpErrNone},        // a sibling that only starts alike
    };
    for (auto& c : cases) {
        for (int op : {FileOpCopy, FileOpMove}) {
            SCOPED_TRACE(c.dst + " op " + std::to_string(op));
            FileOpErr err = FileOpErr(-1);
            char errPath[MAX_PATH] = "junk";
            auto dst = Dst(op, nullptr, {P("x.txt"), a}, c.dst.c_str(), "*.*", &err, errPath);
            EXPECT_EQ(c.err, err);
            if (c.err != FileOpErrNone) {
                EXPECT_TRUE(dst.empty());
                EXPECT_EQ(a, errPath);
            } else {
                EXPECT_EQ(2u, dst.size());
                EXPECT_STREQ("", errPath);
            }
        }
    }
    // Rename stays in the folder: no such check.
    FileOpErr err = FileOpErr(-1);
    EXPECT_EQ(1u, Dst(FileOpRename, nullptr, {a}, a.c_str(), "*.*", &err).size());
    EXPECT_EQ(FileOpErrNone, err);
}

TEST_F(FileOpTest, SourceFromPattern)
{
    Make("one.txt", "12345");
    Make("two.TXT", "123");
    Make("two.txt.bak", "1");
    Make("three_old.txt", "1234567");
    Make("three_older.txt", "1");
    MakeDir("dir.txt");
    FileOpSrcData data = {0, nullptr, nullptr};
    std::string pattern = P("*.txt");
    data.mask = pattern.c_str();
    int count = 0;
    unsigned __int64 total = 99;
    auto all = Src(FileOpSrcPattern, data, &count, &total);
    std::sort(all.begin(), all.end());
    EXPECT_EQ((std::vector<std::string>{P("dir.txt"), P("one.txt"), P("three_old.txt"),
                                        P("three_older.txt"), P("two.TXT")}),
              all);
    EXPECT_EQ(5, count);
    EXPECT_EQ(5u + 3 + 7 + 1, total);

    auto files = Src(FileOpSrcPatternFiles, data, &count);
    EXPECT_EQ(4u, files.size());
    EXPECT_EQ(4, count);

    pattern = P("*_OLD.*");
    data.mask = pattern.c_str();
    EXPECT_EQ((std::vector<std::string>{P("three_old.txt")}), Src(FileOpSrcPattern, data));

    // Sizes are summed only while filling.
    total = 77;
    FileOp_MakeSrc(FileOpSrcPattern, &data, &count, &total, nullptr, 0);
    EXPECT_EQ(77u, total);

    // Empty or missing patterns and unknown types give the empty list.
    for (const char* p : {"", (const char*)nullptr}) {
        data.mask = p;
        char buf[4] = {'x', 'x', 'x', 'x'};
        EXPECT_EQ(2, FileOp_MakeSrc(FileOpSrcPattern, &data, &count, nullptr, buf, sizeof(buf)));
        EXPECT_EQ(0, buf[0]);
        EXPECT_EQ(0, buf[1]);
        EXPECT_EQ(0, count);
    }
    data.mask = pattern.c_str();
    EXPECT_EQ(2, FileOp_MakeSrc(7, &data, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(2, FileOp_MakeSrc(FileOpSrcPattern, nullptr, nullptr, nullptr, nullptr, 0));
    std::string none = P("nothing*.zz");
    data.mask = none.c_str();
    EXPECT_TRUE(Src(FileOpSrcPattern, data).empty());
}

TEST_F(FileOpTest, SourceFromSelection)
{
    Make("b.txt", "12");
    Make("a.log", "1234");
    MakeDir("sub.txt");
    Make("c.txt", "123456");
    Selection sel(m_dir, {"c.txt", "sub.txt", "a.log", "b.txt"});
    ASSERT_NE(nullptr, sel.Get());
    FileOpSrcData data = {0, nullptr, sel.Get()};
    int count = 0;
    unsigned __int64 total = 0;
    // Selection order is kept; folders count 0 bytes.
    EXPECT_EQ((std::vector<std::string>{P("c.txt"), P("sub.txt"), P("a.log"), P("b.txt")}),
              Src(FileOpSrcIDList, data, &count, &total));
    EXPECT_EQ(4, count);
    EXPECT_EQ(12u, total);

    data.mask = "*.TXT|*.none";
    EXPECT_EQ((std::vector<std::string>{P("c.txt"), P("sub.txt"), P("b.txt")}),
              Src(FileOpSrcIDList, data));
    data.skipFolders = 1;
    EXPECT_EQ((std::vector<std::string>{P("c.txt"), P("b.txt")}), Src(FileOpSrcIDList, data, &count));
    EXPECT_EQ(2, count);

    // Virtual objects (here My Computer on the desktop) have no path and are left out.
    ITEMIDLIST* drives = nullptr;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(NULL, CSIDL_DRIVES, &drives));
    ITEMIDLIST* desktop = nullptr;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(NULL, CSIDL_DESKTOP, &desktop));
    {
        Selection virt(desktop, {drives});
        FileOpSrcData v = {0, nullptr, virt.Get()};
        EXPECT_TRUE(Src(FileOpSrcIDList, v).empty());
    }
    ILFree(drives);
    ILFree(desktop);

    // No selection at all.
    FileOpSrcData nothing = {0, nullptr, nullptr};
    EXPECT_EQ(2, FileOp_MakeSrc(FileOpSrcIDList, &nothing, &count, nullptr, nullptr, 0));
    EXPECT_EQ(0, count);
    ID_List empty;
    nothing.selection = &empty;
    EXPECT_EQ(2, FileOp_MakeSrc(FileOpSrcIDList, &nothing, nullptr, nullptr, nullptr, 0));
}

// Hundreds of names near the path limit, written into buffers that end at an inaccessible page.
TEST_F(FileOpTest, LongListsNeverOverrun)
{
    const int kFiles = 300;
    // Separator, name and ".dat", with room for "\\into" once copied.
    int room = MAX_PATH - 1 - (int)m_dir.size() - 1 - 4 - 5;
    ASSERT_GT(room, 150);
    std::vector<std::string> names;
    for (int i = 0; i < kFiles; ++i) {
        char num[8];
        wsprintfA(num, "%03d", i);
        std::string name = num + std::string(room - 3 - (i % 5), 'n') + ".dat";
        names.push_back(name);
        ASSERT_TRUE(filetest::WriteAll(P(name), "z")) << i;
    }
    std::string pattern = P("*.dat");
    FileOpSrcData data = {0, pattern.c_str(), nullptr};
    int need = FileOp_MakeSrc(FileOpSrcPattern, &data, nullptr, nullptr, nullptr, 0);
    ASSERT_GT(need, kFiles * 200);
    {
        PageEndBuffer exact(need);
        int count = 0;
        unsigned __int64 total = 0;
        EXPECT_EQ(need, FileOp_MakeSrc(FileOpSrcPattern, &data, &count, &total, exact.Get(), need));
        auto got = Entries(exact.Get(), need);
        EXPECT_EQ((size_t)kFiles, got.size());
        EXPECT_EQ(kFiles, count);
        EXPECT_EQ((unsigned __int64)kFiles, total);
        EXPECT_EQ(0, exact.Get()[need - 1]);
        EXPECT_EQ(0, exact.Get()[need - 2]);
    }
    // Too small by one, or much too small: whole entries only, still terminated inside.
    for (int size : {need - 1, need / 2, 300, 2, 1}) {
        SCOPED_TRACE(size);
        PageEndBuffer small(size);
        EXPECT_EQ(need, FileOp_MakeSrc(FileOpSrcPattern, &data, nullptr, nullptr, small.Get(), size));
        auto got = Entries(small.Get(), size);
        EXPECT_LT(got.size(), (size_t)kFiles);
        size_t end = 0;
        for (auto& path : got) {
            EXPECT_TRUE(Exists(path)) << path;   // never a cut path
            end += path.size() + 1;
        }
        ASSERT_LT(end, (size_t)size);
        EXPECT_EQ(0, small.Get()[end]);   // the list's own end lies inside
    }
    // The destination list of those sources, the same way.
    std::vector<char> src(need);
    FileOp_MakeSrc(FileOpSrcPattern, &data, nullptr, nullptr, src.data(), need);
    std::string into = MakeDir("into");
    FileOpErr err;
    int dstNeed = FileOp_MakeDst(FileOpCopy, nullptr, src.data(), into.c_str(), nullptr, &err,
                                 nullptr, nullptr, 0);
    ASSERT_EQ(need + kFiles * 5, dstNeed);   // each path gains "\into"
    PageEndBuffer dst(dstNeed);
    EXPECT_EQ(dstNeed, FileOp_MakeDst(FileOpCopy, nullptr, src.data(), into.c_str(), nullptr, &err,
                                      nullptr, dst.Get(), dstNeed));
    EXPECT_EQ((size_t)kFiles, Entries(dst.Get(), dstNeed).size());
    PageEndBuffer dstSmall(dstNeed - 1);
    EXPECT_EQ(dstNeed, FileOp_MakeDst(FileOpCopy, nullptr, src.data(), into.c_str(), nullptr, &err,
                                      nullptr, dstSmall.Get(), dstNeed - 1));
    EXPECT_EQ((size_t)kFiles - 1, Entries(dstSmall.Get(), dstNeed - 1).size());

    // And the shell copies all of them.
    EXPECT_TRUE(FileOp_DoWork(NULL, FileOpCopy, kQuiet, FileOpSrcPattern, &data, into.c_str(),
                              "*.*", &err, nullptr));
    EXPECT_EQ(FileOpErrNone, err);
    for (int i = 0; i < kFiles; i += 37)
        EXPECT_EQ("z", ReadAll(into + "\\" + names[i])) << i;
}

TEST_F(FileOpTest, DoWorkCopiesMovesRenamesDeletes)
{
    Make("a.txt", "alpha");
    Make("b.doc", "bravo!");
    MakeDir("sub");
    Make("sub\\inner.txt", "inner");
    std::string to = MakeDir("to");
    FileOpErr err = FileOpErr(-1);
    char errPath[MAX_PATH] = "junk";
    {
        Selection sel(m_dir, {"a.txt", "sub"});
        FileOpSrcData data = {0, nullptr, sel.Get()};
        EXPECT_TRUE(FileOp_DoWork(NULL, FileOpCopy, kQuiet, FileOpSrcIDList, &data, to.c_str(), "",
                                  &err, errPath));
        EXPECT_EQ(FileOpErrNone, err);
        EXPECT_STREQ("", errPath);
    }
    EXPECT_EQ("alpha", ReadAll(P("to\\a.txt")));
    EXPECT_EQ("inner", ReadAll(P("to\\sub\\inner.txt")));
    EXPECT_EQ("alpha", ReadAll(P("a.txt")));

    // Rename every ".txt" and ".doc" at the top to ".bak".
    std::string pattern = P("*.*");
    FileOpSrcData files = {0, pattern.c_str(), nullptr};
    EXPECT_TRUE(FileOp_DoWork(NULL, FileOpRename, kQuiet, FileOpSrcPatternFiles, &files, m_dir.c_str(),
                              "*.bak", &err, nullptr));
    EXPECT_EQ("alpha", ReadAll(P("a.bak")));
    EXPECT_EQ("bravo!", ReadAll(P("b.bak")));
    EXPECT_FALSE(Exists(P("a.txt")));
    EXPECT_TRUE(Exists(P("sub")));

    // Move a folder with its contents.
    std::string moved = MakeDir("moved");
    {
        Selection sel(m_dir, {"sub", "b.bak"});
        FileOpSrcData data = {0, nullptr, sel.Get()};
        EXPECT_TRUE(FileOp_DoWork(NULL, FileOpMove, kQuiet, FileOpSrcIDList, &data, moved.c_str(),
                                  nullptr, &err, nullptr));
    }
    EXPECT_FALSE(Exists(P("sub")));
    EXPECT_EQ("inner", ReadAll(P("moved\\sub\\inner.txt")));
    EXPECT_EQ("bravo!", ReadAll(P("moved\\b.bak")));

    // Delete for good (no undo), and to the recycle bin.
    {
        Selection sel(m_dir, {"moved", "a.bak"});
        FileOpSrcData data = {0, nullptr, sel.Get()};
        EXPECT_TRUE(FileOp_DoWork(NULL, FileOpDelete, kQuiet, FileOpSrcIDList, &data, nullptr,
                                  nullptr, &err, nullptr));
    }
    EXPECT_FALSE(Exists(P("moved")));
    EXPECT_FALSE(Exists(P("a.bak")));
    Make("trash.txt");
    {
        Selection sel(m_dir, {"trash.txt"});
        FileOpSrcData data = {0, nullptr, sel.Get()};
        EXPECT_TRUE(FileOp_DoWork(NULL, FileOpDelete, kQuiet | FOF_ALLOWUNDO, FileOpSrcIDList,
                                  &data, nullptr, nullptr, &err, nullptr));
    }
    EXPECT_FALSE(Exists(P("trash.txt")));
}

TEST_F(FileOpTest, DoWorkErrors)
{
    std::string a = MakeDir("a");
    MakeDir("a\\b");
    Make("a\\f.txt", "data");
    FileOpErr err = FileOpErr(-1);
    char errPath[MAX_PATH] = "junk";

    // Nothing to do: an empty selection and a pattern without matches succeed with error 1.
    ID_List empty;
    FileOpSrcData none = {0, nullptr, &empty};
    EXPECT_TRUE(FileOp_DoWork(NULL, FileOpCopy, kQuiet, FileOpSrcIDList, &none, a.c_str(), nullptr,
                              &err, errPath));
    EXPECT_EQ(FileOpErrNothing, err);
    std::string nomatch = P("*.nomatch");
    FileOpSrcData pat = {0, nomatch.c_str(), nullptr};
    err = FileOpErr(-1);
    EXPECT_TRUE(FileOp_DoWork(NULL, FileOpDelete, kQuiet, FileOpSrcPattern, &pat, nullptr, nullptr,
                              &err, nullptr));
    EXPECT_EQ(FileOpErrNothing, err);

    // Onto itself, into its subfolder: refused before the shell sees it, nothing changes.
    Selection sel(m_dir, {"a"});
    FileOpSrcData data = {0, nullptr, sel.Get()};
    for (int op : {FileOpCopy, FileOpMove}) {
        SCOPED_TRACE(op);
        EXPECT_FALSE(FileOp_DoWork(NULL, op, kQuiet, FileOpSrcIDList, &data, a.c_str(), nullptr,
                                   &err, errPath));
        EXPECT_EQ(FileOpErrSelf, err);
        EXPECT_EQ(a, errPath);
        std::string sub = a + "\\b";
        EXPECT_FALSE(FileOp_DoWork(NULL, op, kQuiet, FileOpSrcIDList, &data, sub.c_str(), nullptr,
                                   &err, errPath));
        EXPECT_EQ(FileOpErrSubfolder, err);
        EXPECT_EQ(a, errPath);
    }
    EXPECT_EQ("data", ReadAll(P("a\\f.txt")));
    EXPECT_FALSE(Exists(P("a\\a")));
    EXPECT_FALSE(Exists(P("a\\b\\a")));

    // Bad operation numbers do nothing; missing out-parameters are allowed.
    EXPECT_FALSE(FileOp_DoWork(NULL, 0, kQuiet, FileOpSrcIDList, &data, P("x").c_str(), nullptr,
                               &err, errPath));
    EXPECT_FALSE(FileOp_DoWork(NULL, 9, kQuiet, FileOpSrcIDList, &data, P("x").c_str(), nullptr,
                               nullptr, nullptr));
    EXPECT_TRUE(Exists(a));
}

// A move where one file cannot go: every source is either untouched or whole at its target.
TEST_F(FileOpTest, FailedMoveLeavesEachSourceWholeSomewhere)
{
    std::vector<std::string> names = {"one.bin", "two.bin", "three.bin", "four.bin"};
    std::vector<std::string> contents;
    for (size_t i = 0; i < names.size(); ++i) {
        std::string bytes;
        for (size_t k = 0; k < 20000 + i * 777; ++k)
            bytes += char((k * 31 + i) & 0xFF);
        contents.push_back(bytes);
        Make(names[i], bytes);
    }
    std::string to = MakeDir("to");
    // "three.bin" is held open without sharing, so it cannot be moved.
    HANDLE lock = CreateFileA(P("three.bin").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    Selection sel(m_dir, names);
    FileOpSrcData data = {0, nullptr, sel.Get()};
    FileOpErr err = FileOpErr(-1);
    bool ok = FileOp_DoWork(NULL, FileOpMove, kQuiet, FileOpSrcIDList, &data, to.c_str(), nullptr,
                            &err, nullptr);
    CloseHandle(lock);
    // Wine's shell answers 0 although the locked file stayed; Windows reports the failure.
    (void)ok;
    int whole = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        std::string target = to + "\\" + names[i];
        bool targetIsFile = Exists(target) && !(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
        bool untouched = ReadAll(P(names[i])) == contents[i] && !targetIsFile;
        bool arrived = targetIsFile && ReadAll(target) == contents[i] && !Exists(P(names[i]));
        EXPECT_TRUE(untouched || arrived);
        whole += untouched || arrived;
    }
    EXPECT_EQ((int)names.size(), whole);
    EXPECT_EQ(contents[2], ReadAll(P("three.bin")));
    EXPECT_EQ(contents[2], ReadAll(P("three.bin")));
}

// FNV-1a over the whole file; 0 when it cannot be read.
unsigned long long Checksum(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    std::vector<unsigned char> buf(1 << 20);
    unsigned long long hash = 14695981039346656037ull;
    DWORD n = 0;
    while (ReadFile(h, buf.data(), (DWORD)buf.size(), &n, NULL) && n) {
        for (DWORD i = 0; i < n; ++i)
            hash = (hash ^ buf[i]) * 1099511628211ull;
    }
    CloseHandle(h);
    return hash;
}

int CountIn(const std::string& folder)
{
    int n = 0;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        n += strcmp(data.cFileName, ".") && strcmp(data.cFileName, "..");
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return n;
}

// A visible dialog of this process with that caption.
HWND OwnDialog(const char* caption)
{
    for (HWND w : drv::TopLevelWindows(GetCurrentProcessId()))
        if (drv::ClassName(w) == "#32770" && drv::WindowText(w) == caption)
            return w;
    return NULL;
}

// The shell copies from the cache far faster than anyone can press a button: two targets that
// exist make it stop and ask, which holds the operation at known items. The first question
// outlasts the dialog's delay, the user cancels during the second.
TEST_F(FileOpTest, CancelStopsCopyingBetweenItems)
{
    std::vector<std::string> names;
    char name[32];
    for (int i = 0; i < 10; ++i) {
        snprintf(name, sizeof(name), i == 2 || i == 6 ? "hold%02d.bin" : "big%02d.bin", i);
        names.push_back(name);
        ASSERT_TRUE(MakeBulky(P(name), (4u << 20) + i * 4099));
    }
    MakeDir("tree");
    Make("tree\\leaf.txt", "leaf");
    names.push_back("tree");
    std::vector<unsigned long long> sums;
    for (auto& n : names)
        sums.push_back(Checksum(P(n)));
    std::string to = MakeDir("to");
    filetest::WriteAll(to + "\\hold02.bin", "old");
    filetest::WriteAll(to + "\\hold06.bin", "old");

    // The user: answers the first question late, then cancels while the second is open.
    std::string title, from, target, item;
    int pos = -1, max = -1;
    bool answered = false;
    std::thread user([&] {
        auto question = [] {
            for (HWND w : drv::TopLevelWindows(GetCurrentProcessId()))
                if (drv::ClassName(w) == "#32770" && drv::WindowText(w).find("Confirm") == 0)
                    return w;
            return HWND(NULL);
        };
        HWND ask = NULL;
        if (!drv::WaitFor([&] { return (ask = question()) != NULL; }, 10000))
            return;
        Sleep(700);
        drv::PressButton(ask, IDYES);
        HWND dlg = NULL, second = NULL;
        if (!drv::WaitFor([&] { return (dlg = OwnDialog("Copying...")) && (second = question()) && second != ask; }, 10000))
            return;
        title = drv::WindowText(dlg);
        item = drv::WindowText(GetDlgItem(dlg, IDC_LIB_PROGRESS_TEXT2));
        from = drv::WindowText(GetDlgItem(dlg, IDC_LIB_PROGRESS_TEXT0));
        target = drv::WindowText(GetDlgItem(dlg, IDC_LIB_PROGRESS_TEXT1));
        pos = (int)SendDlgItemMessageA(dlg, IDC_LIB_PROGRESS_BAR, PBM_GETPOS, 0, 0);
        max = (int)SendDlgItemMessageA(dlg, IDC_LIB_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0);
        PostMessageA(GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0);
        drv::WaitFor([&] { return !IsWindow(dlg); }, 5000);
        Sleep(200);
        answered = drv::PressButton(second, IDYES);
    });
    Selection sel(m_dir, names);
    FileOpSrcData data = {0, nullptr, sel.Get()};
    FileOpErr err = FileOpErrNone;
    const UINT asking = FOF_NOERRORUI | FOF_SILENT | FOF_NOCONFIRMMKDIR;
    bool ok = FileOp_DoWork(NULL, FileOpCopy, asking, FileOpSrcIDList, &data, to.c_str(), nullptr,
                            &err, nullptr);
    user.join();
    EXPECT_TRUE(answered);
    EXPECT_FALSE(ok);
    EXPECT_EQ(FileOpErrAborted, err);
    EXPECT_FALSE(OwnDialog("Copying..."));

    // What the dialog showed: the item under way of all of them, its source and target.
    EXPECT_EQ("Copying...", title);
    EXPECT_EQ("7 of 11", item);
    EXPECT_EQ(P("hold06.bin"), from);
    EXPECT_EQ("to " + to + "\\hold06.bin", target);
    EXPECT_EQ(11, max);
    EXPECT_EQ(6, pos);   // one step for each item done

    // The item under way was finished, the ones after it never reached the destination.
    EXPECT_EQ(7, CountIn(to));
    for (size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(sums[i], Checksum(P(names[i])));   // sources untouched
        if (i < 7) {
            EXPECT_EQ(sums[i], Checksum(to + "\\" + names[i]));
        } else {
            EXPECT_FALSE(Exists(to + "\\" + names[i]));
        }
    }
}

TEST_F(FileOpTest, FailedItemEndsTheCopyAndLeavesEveryFileWhole)
{
    std::vector<std::string> names = {"c1.bin", "c2.bin", "c3.bin", "c4.bin"};
    std::vector<unsigned long long> sums;
    for (auto& n : names) {
        ASSERT_TRUE(MakeBulky(P(n), 1u << 20));
        sums.push_back(Checksum(P(n)));
    }
    std::string to = MakeDir("to");
    // A read-only target is replaced; a target held open without sharing cannot be.
    ASSERT_TRUE(filetest::WriteAll(to + "\\c2.bin", "old two"));
    SetFileAttributesA((to + "\\c2.bin").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(filetest::WriteAll(to + "\\c3.bin", "old three"));
    HANDLE lock = CreateFileA((to + "\\c3.bin").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    Selection sel(m_dir, names);
    FileOpSrcData data = {0, nullptr, sel.Get()};
    FileOpErr err = FileOpErrNone;
    bool ok = FileOp_DoWork(NULL, FileOpCopy, kQuiet, FileOpSrcIDList, &data, to.c_str(), nullptr,
                            &err, nullptr);
    CloseHandle(lock);
    EXPECT_FALSE(ok);
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(sums[i], Checksum(P(names[i]))) << names[i];
    EXPECT_EQ(sums[0], Checksum(to + "\\c1.bin"));
    // Windows asks before replacing a read-only file; with no questions Wine replaces it.
    EXPECT_EQ(sums[1], Checksum(to + "\\c2.bin"));
    EXPECT_EQ("old three", ReadAll(to + "\\c3.bin"));
    EXPECT_FALSE(Exists(to + "\\c4.bin"));   // nothing after the failure
}

TEST_F(FileOpTest, QuickCopyShowsNoProgress)
{
    std::vector<std::string> names = {"q1.txt", "q2.txt", "q3.txt"};
    for (auto& n : names)
        Make(n, n);
    std::string to = MakeDir("to");
    volatile bool running = true;
    bool sawDialog = false;
    std::thread watch([&] {
        while (running) {
            for (HWND w : drv::TopLevelWindows(GetCurrentProcessId()))
                sawDialog |= drv::ClassName(w) == "#32770";
            Sleep(5);
        }
    });
    Selection sel(m_dir, names);
    FileOpSrcData data = {0, nullptr, sel.Get()};
    FileOpErr err = FileOpErr(-1);
    EXPECT_TRUE(FileOp_DoWork(NULL, FileOpCopy, kQuiet, FileOpSrcIDList, &data, to.c_str(), nullptr,
                              &err, nullptr));
    running = false;
    watch.join();
    EXPECT_EQ(FileOpErrNone, err);
    EXPECT_FALSE(sawDialog);
    for (auto& n : names)
        EXPECT_EQ(n, ReadAll(to + "\\" + n));
}

}  // namespace
