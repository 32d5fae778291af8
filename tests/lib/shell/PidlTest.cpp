#include "ShellFixture.h"
#include <shlwapi.h>
#include "registry/RegKey.h"
#include "util/StrUtil.h"
#include "util/VmList.h"

namespace {

// A folder tree "<root>\Sub Folder\Deep", "<root>\Other", "<root>\a.txt" and their lists.
class PidlTest : public TempTree {
protected:
    void SetUp() override
    {
        TempTree::SetUp();
        MakeDir("Sub Folder");
        MakeDir("Sub Folder\\Deep");
        MakeDir("Other");
        MakeFile("a.txt");
        root.Attach(GetPidlOf(m_root.c_str()));
        sub.Attach(GetPidlOf(Path("Sub Folder").c_str()));
        deep.Attach(GetPidlOf(Path("Sub Folder\\Deep").c_str()));
        other.Attach(GetPidlOf(Path("Other").c_str()));
        file.Attach(GetPidlOf(Path("a.txt").c_str()));
        ASSERT_TRUE(root.GetLpidl() && sub.GetLpidl() && deep.GetLpidl() && other.GetLpidl() &&
                    file.GetLpidl());
    }

    PIDL root, sub, deep, other, file;
};

std::string PathOf(const ITEMIDLIST* list, int desktop = 0)
{
    char buf[MAX_PATH];
    GetPathOf(list, buf, sizeof(buf), desktop);
    return buf;
}

bool SameText(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// The test's registry key below HKCU, removed afterwards.
class PidlStore : public PidlTest {
protected:
    void SetUp() override
    {
        PidlTest::SetUp();
        m_sub = "Software\\PanorelTest\\Pidl_" + std::to_string(GetCurrentProcessId());
        RegDeleteTreeA(HKEY_CURRENT_USER, m_sub.c_str());
        ASSERT_TRUE(m_key.Open(("HKCU\\" + m_sub).c_str(), 1));
    }
    void TearDown() override
    {
        m_key.Close();
        RegDeleteTreeA(HKEY_CURRENT_USER, m_sub.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, m_sub.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\PanorelTest");   // only when empty
        PidlTest::TearDown();
    }
    void Store(const std::vector<BYTE>& bytes)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(m_key, "PIDL1", 0, REG_BINARY, bytes.data(),
                                                (DWORD)bytes.size()));
    }
    std::vector<BYTE> Stored()
    {
        DWORD size = 0, type = 0;
        if (RegQueryValueExA(m_key, "PIDL1", NULL, &type, NULL, &size) != ERROR_SUCCESS)
            return {};
        std::vector<BYTE> v(size);
        RegQueryValueExA(m_key, "PIDL1", NULL, &type, v.data(), &size);
        EXPECT_EQ((DWORD)REG_BINARY, type);
        return v;
    }
    bool HasValue() { return RegQueryValueExA(m_key, "PIDL1", NULL, NULL, NULL, NULL) == 0; }

    std::string m_sub;
    RegKey m_key;
};

}  // namespace

TEST_F(PidlTest, WalkingARealListEndsAtItsTerminator)
{
    ASSERT_GE(deep.GetCount(), 3);   // at least My Computer, the drive, the folders below
    EXPECT_EQ(deep.GetCount(), sub.GetCount() + 1);
    UINT sum = 0;
    ITEMIDLIST* last = NULL;
    int n = 0;
    for (ITEMIDLIST* p = PIDL::GetFirst(deep); p && p->mkid.cb; p = PIDL::GetNext(p)) {
        sum += p->mkid.cb;
        last = p;
        n++;
    }
    EXPECT_EQ(deep.GetCount(), n);
    EXPECT_EQ(sum, deep.GetSizeAll());
    EXPECT_EQ(sum + 2, deep.GetSizeTotal());
    EXPECT_EQ(last, deep.GetLast());
    ITEMIDLIST* end = PIDL::GetNext(last);
    ASSERT_NE(nullptr, end);
    EXPECT_EQ(0, end->mkid.cb);
    EXPECT_EQ(end, deep.GetEnd());
    EXPECT_EQ(nullptr, PIDL::GetNext(end));
    EXPECT_EQ(deep.GetLpidl()->mkid.cb, deep.GetSizeOne());
}

TEST(Pidl, NullAndEmptyLists)
{
    PIDL none;
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ(0, none.GetCount());
    EXPECT_EQ(0u, none.GetSizeAll());
    EXPECT_EQ(0u, none.GetSizeTotal());
    EXPECT_EQ(0u, none.GetSizeOne());
    EXPECT_EQ(nullptr, none.GetLast());
    EXPECT_EQ(nullptr, none.GetEnd());
    EXPECT_EQ(nullptr, PIDL::GetFirst(NULL));
    EXPECT_EQ(nullptr, PIDL::GetNext(NULL));
    none.RemoveLast();   // nothing to cut
    EXPECT_EQ(nullptr, none.GetLpidl());

    PIDL desk;
    ASSERT_TRUE(desk.Make());
    EXPECT_TRUE(desk.IsEmpty());
    EXPECT_EQ((UINT)PIDL::iMinSize, desk.GetSizeTotal());
    EXPECT_EQ(nullptr, PIDL::GetFirst(desk));
    desk.RemoveLast();
    EXPECT_EQ((UINT)PIDL::iMinSize, desk.GetSizeTotal());

    PIDL copy(NULL);   // a null source gives the Desktop
    ASSERT_NE(nullptr, copy.GetLpidl());
    EXPECT_TRUE(copy.IsEmpty());
}

TEST_F(PidlTest, CopyAppendAndRemoveRebuildTheSameList)
{
    PIDL built(sub.GetLpidl());
    ASSERT_TRUE(built.AppendOne(deep.GetLast()));
    EXPECT_EQ(BytesOf(deep), BytesOf(built));
    EXPECT_EQ(0, built.CompareAbs(deep));

    built.RemoveLast();
    EXPECT_EQ(BytesOf(sub), BytesOf(built));

    PIDL one;
    ASSERT_TRUE(one.CopyOne(deep));
    EXPECT_EQ(1, one.GetCount());
    EXPECT_EQ(deep.GetSizeOne(), one.GetSizeAll());
    one.RemoveLast();
    EXPECT_TRUE(one.IsEmpty());
    EXPECT_NE(nullptr, one.GetLpidl());

    // Appending to a null object makes a copy; appending a list to itself doubles it.
    PIDL grow;
    ASSERT_TRUE(grow.AppendAll(sub));
    EXPECT_EQ(BytesOf(sub), BytesOf(grow));
    ASSERT_TRUE(grow.AppendAll(grow));
    EXPECT_EQ(2 * sub.GetCount(), grow.GetCount());
    EXPECT_EQ(2 * sub.GetSizeAll(), grow.GetSizeAll());
    EXPECT_EQ(0, memcmp(grow.GetLpidl(), (BYTE*)grow.GetLpidl() + sub.GetSizeAll(),
                        sub.GetSizeAll()));

    // Copying from inside the held list.
    PIDL self(deep.GetLpidl());
    ASSERT_TRUE(self.CopyAll(PIDL::GetNext(self)));
    EXPECT_EQ(deep.GetCount() - 1, self.GetCount());

    PIDL firstOnly;
    firstOnly.AppendOne(NULL);
    EXPECT_TRUE(firstOnly.IsEmpty());
}

TEST(Pidl, AttachDetachAndSpecialFolders)
{
    PIDL drives;
    EXPECT_NE(0, drives.Attach(CSIDL_DRIVES));
    EXPECT_EQ(1, drives.GetCount());
    EXPECT_EQ(0, drives.Attach(0x00FE));   // no such folder
    EXPECT_EQ(nullptr, drives.GetLpidl());

    PIDL desk;
    EXPECT_NE(0, desk.Attach(CSIDL_DESKTOP));
    EXPECT_TRUE(desk.IsEmpty());

    ITEMIDLIST* raw = AllocPIDL((unsigned short)16);
    ASSERT_NE(nullptr, raw);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(0, ((BYTE*)raw)[i]);
    PIDL holder;
    holder.Attach(raw);
    EXPECT_EQ(raw, holder.GetLpidl());
    EXPECT_EQ(raw, holder.Detach());
    EXPECT_EQ(nullptr, holder.GetLpidl());
    FreePIDL(raw);
    FreePIDL(NULL);
    EXPECT_EQ(nullptr, AllocPIDL((const ITEMIDLIST*)NULL));
}

TEST_F(PidlTest, AllocPIDLCopiesTheFirstItemOnly)
{
    ITEMIDLIST* first = AllocPIDL((const ITEMIDLIST*)deep);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(deep.GetSizeOne(), PIDL::GetSizeAll(first));
    EXPECT_EQ(0, memcmp(first, deep.GetLpidl(), deep.GetSizeOne()));
    FreePIDL(first);
}

TEST(Pidl, IsValidWalksOnlyTheGivenBytes)
{
    std::vector<BYTE> good;
    AddItem(good, 10);
    AddItem(good, 6);
    AddTerminator(good);
    std::vector<BYTE> runsPast;
    AddItem(runsPast, 40);   // claims more than there is
    std::vector<BYTE> noEnd;
    AddItem(noEnd, 4);
    AddItem(noEnd, 4);
    std::vector<BYTE> overlap = {1, 0, 0, 0};   // an item smaller than its own size field

    struct Row {
        const char* what;
        const std::vector<BYTE>* bytes;
        UINT size;
        bool valid;
    } rows[] = {
        {"well formed", &good, (UINT)good.size(), true},
        {"size one short", &good, (UINT)good.size() - 1, false},
        {"size field past the end", &runsPast, (UINT)runsPast.size(), false},
        {"no terminator", &noEnd, (UINT)noEnd.size(), false},
        {"item of one byte", &overlap, (UINT)overlap.size(), false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        GuardedBytes g(r.bytes->data(), r.size);
        EXPECT_EQ(r.valid, PIDL::IsValid((ITEMIDLIST*)g.data(), r.size));
    }
    EXPECT_TRUE(PIDL::IsValid(NULL, 0));
    EXPECT_FALSE(PIDL::IsValid(NULL, 2));
    GuardedBytes g(good);
    EXPECT_FALSE(PIDL::IsValid((ITEMIDLIST*)g.data(), 0));
    // A valid list followed by more bytes is not a list of that size.
    std::vector<BYTE> trailing = good;
    trailing.push_back(0);
    trailing.push_back(0);
    GuardedBytes t(trailing);
    EXPECT_FALSE(PIDL::IsValid((ITEMIDLIST*)t.data(), (UINT)trailing.size()));
}

TEST_F(PidlTest, GetPutRoundTripAndSize)
{
    UINT size = deep.GetPut(1, NULL);
    EXPECT_EQ(deep.GetSizeTotal(), size);
    std::vector<BYTE> buf(size);
    EXPECT_EQ(size, deep.GetPut(1, buf.data()));
    EXPECT_EQ(BytesOf(deep), buf);

    GuardedBytes g(buf);
    PIDL back;
    EXPECT_EQ(size, back.GetPut(0, g.data(), size));
    EXPECT_EQ(buf, BytesOf(back));
    EXPECT_EQ(0, back.CompareAbs(deep));

    PIDL none;
    EXPECT_EQ(0u, none.GetPut(1, NULL));
    EXPECT_EQ(0u, back.GetPut(0, NULL));
    EXPECT_EQ(buf, BytesOf(back));
}

TEST_F(PidlTest, GetPutIgnoresMalformedStreams)
{
    std::vector<BYTE> runsPast;
    AddItem(runsPast, 8);
    runsPast.push_back(0xF0);   // next size field cut in half by the end of the data
    std::vector<BYTE> sizePast;
    AddItem(sizePast, 8);
    sizePast.push_back(0x40);   // an item of 64 bytes where 2 remain
    sizePast.push_back(0x00);
    std::vector<BYTE> noEnd;
    AddItem(noEnd, 12);
    std::vector<BYTE> huge;
    AddItem(huge, 4095);   // total 4097
    AddTerminator(huge);
    std::vector<BYTE> tiny = {0};
    struct Row {
        const char* what;
        const std::vector<BYTE>* bytes;
    } rows[] = {
        {"size field cut by the end", &runsPast},
        {"item running past the end", &sizePast},
        {"no terminator", &noEnd},
        {"longer than 4096", &huge},
        {"one byte", &tiny},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        GuardedBytes g(*r.bytes);
        PIDL held(sub.GetLpidl());
        EXPECT_EQ(0u, held.GetPut(0, g.data(), (UINT)r.bytes->size()));
        EXPECT_EQ(BytesOf(sub), BytesOf(held));
    }
    // The most a stored list may take.
    std::vector<BYTE> max;
    AddItem(max, 4094);
    AddTerminator(max);
    GuardedBytes g(max);
    PIDL held;
    EXPECT_EQ(4096u, held.GetPut(0, g.data(), 4096));
    EXPECT_EQ(max, BytesOf(held));
}

TEST_F(PidlTest, ListOfListsRoundTrip)
{
    PIDL desk;
    desk.Make();
    VmList list;
    list.AddTail(&desk);
    list.AddTail(&deep);
    list.AddTail(&file);
    UINT size = PIDL::GetPutPIDLList(list, 3, 1, NULL);
    EXPECT_EQ(desk.GetSizeTotal() + deep.GetSizeTotal() + file.GetSizeTotal(), size);
    std::vector<BYTE> buf(size);
    EXPECT_EQ(size, PIDL::GetPutPIDLList(list, 3, 1, buf.data()));
    // Back to back, nothing between them.
    EXPECT_EQ(0, memcmp(buf.data() + 2, deep.GetLpidl(), deep.GetSizeTotal()));

    GuardedBytes g(buf);
    PIDL a, b, c;
    VmList read;
    read.AddTail(&a);
    read.AddTail(&b);
    read.AddTail(&c);
    EXPECT_EQ(size, PIDL::GetPutPIDLList(read, 3, 0, g.data(), size));
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_NE(nullptr, a.GetLpidl());
    EXPECT_EQ(BytesOf(deep), BytesOf(b));
    EXPECT_EQ(BytesOf(file), BytesOf(c));

    // Cut short inside the last list: the first two load, the third stays as it was.
    UINT cut = size - 3;
    GuardedBytes g2(buf.data(), cut);
    PIDL x, y, z(sub.GetLpidl());
    VmList part;
    part.AddTail(&x);
    part.AddTail(&y);
    part.AddTail(&z);
    EXPECT_EQ(desk.GetSizeTotal() + deep.GetSizeTotal(),
              PIDL::GetPutPIDLList(part, 3, 0, g2.data(), cut));
    EXPECT_EQ(BytesOf(deep), BytesOf(y));
    EXPECT_EQ(BytesOf(sub), BytesOf(z));
}

TEST_F(PidlStore, PersistRoundTrip)
{
    EXPECT_EQ(1, deep.Persist(1, m_key, "PIDL1"));
    EXPECT_EQ(BytesOf(deep), Stored());
    PIDL back;
    EXPECT_EQ(1, back.Persist(0, m_key, "PIDL1"));
    EXPECT_EQ(BytesOf(deep), BytesOf(back));
    EXPECT_EQ(0, back.CompareAbs(deep));
}

TEST_F(PidlStore, DesktopIsTwoBytesAndNullDeletesTheValue)
{
    PIDL desk;
    desk.Make();
    desk.Persist(1, m_key, "PIDL1");
    EXPECT_EQ(std::vector<BYTE>({0, 0}), Stored());
    PIDL back(deep.GetLpidl());
    back.Persist(0, m_key, "PIDL1");
    EXPECT_TRUE(back.IsEmpty());
    EXPECT_NE(nullptr, back.GetLpidl());

    PIDL none;
    none.Persist(1, m_key, "PIDL1");
    EXPECT_FALSE(HasValue());
    PIDL kept(deep.GetLpidl());
    EXPECT_EQ(1, kept.Persist(0, m_key, "PIDL1"));   // a missing value changes nothing
    EXPECT_EQ(BytesOf(deep), BytesOf(kept));
}

TEST_F(PidlStore, MalformedStoredValuesAreIgnored)
{
    std::vector<BYTE> huge;
    AddItem(huge, 4095);
    AddTerminator(huge);   // 4097 bytes
    std::vector<BYTE> max;
    AddItem(max, 4094);
    AddTerminator(max);    // 4096 bytes
    std::vector<BYTE> firstPast;
    AddItem(firstPast, 6);
    firstPast.resize(4);   // the first item claims 6 bytes of 4
    firstPast[0] = 60;
    std::vector<BYTE> trailing;
    AddItem(trailing, 6);
    AddTerminator(trailing);
    AddItem(trailing, 4);  // the terminator is not at the last two bytes
    std::vector<BYTE> noEnd;
    AddItem(noEnd, 6);
    std::vector<BYTE> half = {7};
    std::vector<BYTE> empty;
    std::vector<BYTE> cutTerminator;
    AddItem(cutTerminator, 6);
    cutTerminator.push_back(0);   // one byte of the terminator

    struct Row {
        const char* what;
        const std::vector<BYTE>* bytes;
        bool loads;
    } rows[] = {
        {"4097 bytes", &huge, false},
        {"4096 bytes, well formed", &max, true},
        {"first size field past the end", &firstPast, false},
        {"terminator not at the end", &trailing, false},
        {"no terminator", &noEnd, false},
        {"one byte", &half, false},
        {"empty value", &empty, false},
        {"half a terminator", &cutTerminator, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Store(*r.bytes);
        PIDL held(sub.GetLpidl());
        EXPECT_EQ(1, held.Persist(0, m_key, "PIDL1"));
        EXPECT_EQ(r.loads ? *r.bytes : BytesOf(sub), BytesOf(held));
    }
}

TEST_F(PidlTest, CompareAbsOrdersAncestorsAndBranches)
{
    EXPECT_EQ(0, deep.CompareAbs(deep));
    EXPECT_EQ(2, deep.CompareAbs(sub));
    EXPECT_EQ(-2, sub.CompareAbs(deep));
    EXPECT_EQ(2, deep.CompareAbs(root));
    EXPECT_EQ(-2, root.CompareAbs(deep));

    int r = sub.CompareAbs(other);
    EXPECT_TRUE(r == 1 || r == -1) << r;
    EXPECT_EQ(-r, other.CompareAbs(sub));
    r = deep.CompareAbs(other);   // apart below a common ancestor
    EXPECT_TRUE(r == 1 || r == -1) << r;

    // A list parsed from another spelling of the same folder names the same folder.
    std::string upper = Path("SUB FOLDER\\deep");
    PIDL spelled;
    spelled.Attach(GetPidlOf(upper.c_str()));
    ASSERT_NE(nullptr, spelled.GetLpidl());
    EXPECT_EQ(0, spelled.CompareAbs(deep));

    PIDL desk, none, drives;
    desk.Make();
    drives.Attach(CSIDL_DRIVES);
    EXPECT_EQ(-2, desk.CompareAbs(deep));
    EXPECT_EQ(2, deep.CompareAbs(desk));
    EXPECT_EQ(0, desk.CompareAbs(desk));
    EXPECT_EQ(-2, drives.CompareAbs(deep));
    EXPECT_EQ(-2, none.CompareAbs(deep));
    EXPECT_EQ(0, none.CompareAbs(NULL));
    EXPECT_EQ(2, deep.CompareAbs(NULL));
}

TEST_F(PidlTest, GetChildOfPointsAtTheRelativePart)
{
    ITEMIDLIST* rel = deep.GetChildOf(sub);
    ASSERT_NE(nullptr, rel);
    EXPECT_EQ(deep.GetLast(), rel);
    rel = deep.GetChildOf(root);
    ASSERT_NE(nullptr, rel);
    EXPECT_EQ((BYTE*)deep.GetLpidl() + root.GetSizeAll(), (BYTE*)rel);
    PIDL desk;
    desk.Make();
    EXPECT_EQ(deep.GetLpidl(), deep.GetChildOf(desk));

    EXPECT_EQ(nullptr, deep.GetChildOf(deep));
    EXPECT_EQ(nullptr, sub.GetChildOf(deep));
    EXPECT_EQ(nullptr, deep.GetChildOf(other));
    EXPECT_EQ(nullptr, deep.GetChildOf(NULL));
    PIDL none;
    EXPECT_EQ(nullptr, none.GetChildOf(desk));
}

TEST_F(PidlTest, PathsOfFileSystemAndVirtualFolders)
{
    EXPECT_TRUE(SameText(Path("Sub Folder\\Deep"), PathOf(deep)));
    EXPECT_TRUE(SameText(Path("a.txt"), PathOf(file)));

    PIDL drives, desk;
    drives.Attach(CSIDL_DRIVES);
    desk.Make();
    char buf[MAX_PATH] = "junk";
    EXPECT_EQ(0, GetPathOf(drives, buf, sizeof(buf)));
    EXPECT_STREQ("", buf);
    EXPECT_EQ("", PathOf(desk));
    char desktopDir[MAX_PATH];
    ASSERT_EQ(S_OK, SHGetFolderPathA(NULL, CSIDL_DESKTOPDIRECTORY, NULL, 0, desktopDir));
    EXPECT_TRUE(SameText(desktopDir, PathOf(desk, 1)));

    // Wine answers the network neighbourhood with its "::{CLSID}" name; never a path here.
    PIDL net;
    if (net.Attach(CSIDL_NETWORK)) {
        EXPECT_EQ("", PathOf(net));
    }

    // A short buffer gets no path at all (a cut one would name another object).
    char small[12];
    memset(small, 0x7E, sizeof(small));
    EXPECT_EQ(0, GetPathOf(deep, small, 8));
    EXPECT_EQ(0u, strlen(small));
    EXPECT_EQ(0x7E, (BYTE)small[8]);
    EXPECT_EQ(PathRefused, GetExactPathOf(deep, small, 8));
    EXPECT_EQ(0, GetPathOf(NULL, buf, sizeof(buf)));
    EXPECT_STREQ("", buf);
    EXPECT_EQ(0, GetPathOf(deep, NULL, MAX_PATH));
}

TEST_F(PidlTest, ShellNamesOfFileSystemAndVirtualFolders)
{
    char buf[MAX_PATH];
    EXPECT_NE(0, GetShellNameOf(deep, buf, sizeof(buf), 0));
    EXPECT_STREQ("Deep", buf);
    EXPECT_NE(0, GetShellNameOf(deep, buf, sizeof(buf), 1));
    EXPECT_TRUE(SameText(Path("Sub Folder\\Deep"), buf));

    PIDL desk, drives, panel;
    desk.Make();
    drives.Attach(CSIDL_DRIVES);
    IShellFolder* desktop;
    ASSERT_EQ(S_OK, SHGetDesktopFolder(&desktop));
    STRRET ret;
    char expect[MAX_PATH];
    ASSERT_EQ(S_OK, desktop->GetDisplayNameOf(desk, SHGDN_NORMAL, &ret));
    StrRetToBufA(&ret, desk, expect, MAX_PATH);
    EXPECT_NE(0, GetShellNameOf(desk, buf, sizeof(buf), 0));
    EXPECT_STREQ(expect, buf);
    ASSERT_EQ(S_OK, desktop->GetDisplayNameOf(drives, SHGDN_INFOLDER, &ret));
    StrRetToBufA(&ret, drives, expect, MAX_PATH);
    desktop->Release();
    EXPECT_NE(0, GetShellNameOf(drives, buf, sizeof(buf), 0));
    EXPECT_STREQ(expect, buf);

    // No file-system folder above it: no full name.
    strcpy(buf, "junk");
    EXPECT_EQ(0, GetShellNameOf(drives, buf, sizeof(buf), 1));
    EXPECT_STREQ("", buf);
    if (panel.Attach(CSIDL_CONTROLS)) {
        EXPECT_EQ(0, GetShellNameOf(panel, buf, sizeof(buf), 1));
        EXPECT_NE(0, GetShellNameOf(panel, buf, sizeof(buf), 0));
    }

    EXPECT_NE(0, GetShellPathOf(Path("Other").c_str(), buf, sizeof(buf), 0));
    EXPECT_STREQ("Other", buf);
    EXPECT_EQ(0, GetShellPathOf(Path("missing\\nowhere").c_str(), buf, sizeof(buf), 1));
    EXPECT_STREQ("", buf);
    EXPECT_EQ(0, GetShellPathOf(NULL, buf, sizeof(buf), 1));
    EXPECT_EQ(0, GetShellNameOf(NULL, buf, sizeof(buf), 1));
    EXPECT_EQ(nullptr, GetPidlOf(NULL));
}

TEST(Pidl, LongInputIsRefused)
{
    std::string longPath = "C:\\" + std::string(400, 'a');
    EXPECT_EQ(nullptr, GetPidlOf(longPath.c_str()));
    char buf[MAX_PATH];
    EXPECT_EQ(0, GetShellPathOf(longPath.c_str(), buf, sizeof(buf), 1));
}

TEST(Pidl, SpecialFolderTableAndShellNames)
{
    SPEC_FOLDER_DATA* table = GetSPEC_FOLDER_DATA(0);
    ASSERT_NE(nullptr, table);
    EXPECT_EQ(CSIDL_DESKTOPDIRECTORY, table[0].csidlPath);
    EXPECT_EQ(CSIDL_DESKTOP, table[0].csidlName);
    EXPECT_EQ(CSIDL_NETHOOD, table[1].csidlPath);
    EXPECT_EQ(CSIDL_NETWORK, table[1].csidlName);
    EXPECT_EQ(CSIDL_PERSONAL, table[2].csidlPath);
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ((int)strlen(table[i].path), table[i].pathLen);
        if (table[i].pathLen) {
            EXPECT_EQ('\\', table[i].path[table[i].pathLen - 1]);
        }
    }
    char desktopDir[MAX_PATH];
    ASSERT_EQ(S_OK, SHGetFolderPathA(NULL, CSIDL_DESKTOPDIRECTORY, NULL, 0, desktopDir));
    std::string inside = std::string(desktopDir) + "\\notes\\a.txt";
    char buf[MAX_PATH];
    strcpy(buf, inside.c_str());
    SimplifyShellName(buf, sizeof(buf));
    EXPECT_EQ(std::string(table[0].name) + "\\notes\\a.txt", buf);
    EXPECT_EQ(&table[0], GetAnySpecialSubFolderData(inside.c_str()));

    // The folder itself without its separator and unrelated paths stay as they are.
    strcpy(buf, desktopDir);
    SimplifyShellName(buf, sizeof(buf));
    EXPECT_STREQ(desktopDir, buf);
    strcpy(buf, "C:\\windows\\x");
    SimplifyShellName(buf, sizeof(buf));
    EXPECT_STREQ("C:\\windows\\x", buf);
    EXPECT_EQ(nullptr, GetAnySpecialSubFolderData("C:\\windows"));
    EXPECT_EQ(nullptr, GetAnySpecialSubFolderData(NULL));

    // A result longer than the buffer is cut, not written past it.
    std::string shortInside = std::string(desktopDir) + "\\x";
    char big[MAX_PATH];
    strcpy(big, shortInside.c_str());
    SimplifyShellName(big, 10);
    EXPECT_LT(strlen(big), 10u);

    std::string net = std::string(table[1].path) + "Share on server";
    EXPECT_STREQ("Share on server", GetNetHoodSubFolder(net.c_str()));
    EXPECT_EQ(nullptr, GetNetHoodSubFolder(inside.c_str()));
    EXPECT_EQ(nullptr, GetNetHoodSubFolder(NULL));

    // Released and built again.
    GetSPEC_FOLDER_DATA(1);
    table = GetSPEC_FOLDER_DATA(0);
    EXPECT_EQ((int)strlen(desktopDir) + 1, table[0].pathLen);
}

TEST(Pidl, PathTests)
{
    struct Row {
        const char* path;
        bool dos, root, rootNet, network;
    } rows[] = {
        {"C:\\", true, true, true, false},
        {"c:/", true, true, true, false},
        {"C:\\dir", true, false, false, false},
        {"C:", false, false, false, false},
        {"1:\\", false, false, false, false},
        {"\\\\server", false, false, true, true},
        {"//server", false, false, true, false},
        {"\\\\server\\", false, false, false, true},
        {"\\\\server\\share", false, false, false, true},
        {"\\\\", false, false, false, false},
        {"\\\\\\x", false, false, false, true},
        {"", false, false, false, false},
        {"relative\\path", false, false, false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        EXPECT_EQ(r.dos, IsDosFolder(r.path));
        EXPECT_EQ(r.root, IsRootFolder(r.path, 0));
        EXPECT_EQ(r.rootNet, IsRootFolder(r.path, 1));
        EXPECT_EQ(r.network, IsNetworkFolder(r.path));
    }
    EXPECT_FALSE(IsDosFolder(NULL));
    EXPECT_FALSE(IsRootFolder(NULL, 1));
    EXPECT_FALSE(IsNetworkFolder(NULL));
    EXPECT_FALSE(IsFtpFolder("http://host/"));
    EXPECT_FALSE(IsFtpFolder("ftp:"));
    EXPECT_EQ(IsFtpFolder(NULL), IsFtpFolder("FTP://host/dir"));
}

TEST(Pidl, ServerNameWithADoubleByteBackslash)
{
    // 0x83 0x5C is one character in code page 932; its trail byte is no separator.
    const char server[] = "\\\\\x83\x5C";
    InitMBCS(932);
    EXPECT_TRUE(IsRootFolder(server, 1));
    InitMBCS(1252);
    EXPECT_FALSE(IsRootFolder(server, 1));
    InitMBCS();
}

TEST_F(PidlTest, MakeRootCutsToTheDrive)
{
    PIDL cut(deep.GetLpidl());
    cut.MakeRoot();
    char path[MAX_PATH];
    GetPathOf(cut, path, sizeof(path));
    EXPECT_TRUE(IsRootFolder(path, 0)) << path;
    EXPECT_EQ(toupper(m_root[0]), toupper(path[0]));
    EXPECT_EQ(-2, cut.CompareAbs(deep));

    // A drive root and a folder without a path become the Desktop.
    cut.MakeRoot();
    EXPECT_TRUE(cut.IsEmpty());
    PIDL drives;
    drives.Attach(CSIDL_DRIVES);
    drives.MakeRoot();
    EXPECT_TRUE(drives.IsEmpty());
    PIDL none;
    none.MakeRoot();
    EXPECT_EQ(nullptr, none.GetLpidl());
}

TEST_F(PidlTest, AttributesAndIcons)
{
    DWORD folder = GetAttributesOf(deep);
    EXPECT_TRUE(folder & SFGAO_FOLDER);
    EXPECT_TRUE(folder & SFGAO_FILESYSTEM);
    DWORD plain = GetAttributesOf(file);
    EXPECT_FALSE(plain & SFGAO_FOLDER);
    EXPECT_TRUE(plain & SFGAO_FILESYSTEM);
    EXPECT_EQ(0u, GetAttributesOf(NULL));

    EXPECT_GE(GetSysIconIndex(deep, 0, 0, 0), 0);
    EXPECT_EQ(-1, GetSysIconIndex(NULL, 0, 0, 0));
    int index = -5;
    HICON icon = GetIconOf((const ITEMIDLIST*)file, 0, 1, 0, &index);
    ASSERT_NE(nullptr, icon);
    EXPECT_GE(index, 0);
    DestroyIcon(icon);
    icon = GetIconOf(Path("a.txt").c_str());
    ASSERT_NE(nullptr, icon);
    DestroyIcon(icon);
    EXPECT_EQ(nullptr, GetIconOf((const ITEMIDLIST*)NULL, 0, 0, 0, &index));
    EXPECT_EQ(-1, index);
    EXPECT_EQ(0, RunPidl(NULL, NULL));
}

TEST_F(PidlTest, InternetFolder)
{
    PIDL ie;
    if (!ie.Attach(CSIDL_INTERNET))
        GTEST_SKIP() << "no Internet folder";
    EXPECT_TRUE(ie.IsIE(NULL));
    EXPECT_FALSE(deep.IsIE(NULL));
    PIDL none;
    EXPECT_FALSE(none.IsIE(NULL));
}

TEST_F(PidlTest, RunPidlStartsTheItemsDefaultVerb)
{
    std::string marker = Path("ran.txt");
    std::string script = "@echo ran> \"" + marker + "\"\r\n";
    MakeFile("job.bat", script.c_str());
    PIDL bat;
    bat.Attach(GetPidlOf(Path("job.bat").c_str()));
    ASSERT_NE(nullptr, bat.GetLpidl());
    ASSERT_NE(0, RunPidl(NULL, bat));
    for (int i = 0; i < 200 && !Exists(marker); i++)
        Sleep(50);
    EXPECT_TRUE(Exists(marker));
}

TEST_F(PidlTest, NetworkShortcutsResolveToTheirTarget)
{
    SPEC_FOLDER_DATA* table = GetSPEC_FOLDER_DATA(0);
    if (!table[1].pathLen)
        GTEST_SKIP() << "no network shortcuts folder";
    std::string nethood(table[1].path, table[1].pathLen - 1);
    bool made = !IsDir(nethood) && SHCreateDirectoryExA(NULL, nethood.c_str(), NULL) == 0;
    std::string lnk = nethood + "\\Shell Test " + std::to_string(GetCurrentProcessId()) + ".lnk";

    IShellLinkA* link = NULL;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                     (void**)&link));
    link->SetPath(Path("Other").c_str());
    IPersistFile* file = NULL;
    ASSERT_EQ(S_OK, link->QueryInterface(IID_IPersistFile, (void**)&file));
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, lnk.c_str(), -1, wide, MAX_PATH);
    ASSERT_EQ(S_OK, file->Save(wide, TRUE));
    file->Release();
    link->Release();

    PIDL list;
    list.Attach(GetPidlOf(lnk.c_str()));
    ASSERT_NE(nullptr, list.GetLpidl());
    char buf[MAX_PATH];
    GetPathOf(list, buf, sizeof(buf), 0, 0);
    EXPECT_TRUE(SameText(lnk, buf)) << buf;
    GetPathOf(list, buf, sizeof(buf), 0, 1);
    EXPECT_TRUE(SameText(Path("Other"), buf)) << buf;

    // The same shortcut outside the network shortcuts stays a shortcut.
    std::string outside = Path("copy.lnk");
    ASSERT_TRUE(CopyFileA(lnk.c_str(), outside.c_str(), FALSE));
    PIDL copy;
    copy.Attach(GetPidlOf(outside.c_str()));
    GetPathOf(copy, buf, sizeof(buf), 0, 1);
    EXPECT_TRUE(SameText(outside, buf)) << buf;

    DeleteFileA(lnk.c_str());
    if (made)
        RemoveDirectoryA(nethood.c_str());
}
