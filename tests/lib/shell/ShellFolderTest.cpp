// Folder and enumerator wrappers on a scratch folder of real files.
#include "ShellFixture.h"
#include "shell/ShellFolder.h"
#include "shell/ContextMenu.h"
#include "shell/DataObj.h"
#include <set>
#include <string>

class ShellFolderTest : public TempTree {
protected:
    void SetUp() override
    {
        TempTree::SetUp();
        MakeFile("one.txt");
        MakeFile("two.txt");
        MakeFile("Case.txt");
        MakeDir("Inner");
        MakeFile("Inner\\deep.txt");
    }
    std::set<std::string> Enumerate(iShellFolder& f, DWORD flags)
    {
        std::set<std::string> names;
        iEnumIDList e(f, NULL, flags);
        while (ITEMIDLIST* item = e.Next()) {
            char name[MAX_PATH];
            if (f.GetDisplayNameOf(item, SHGDN_INFOLDER | SHGDN_FORPARSING, name, MAX_PATH))
                names.insert(name);
            FreePIDL(item);
        }
        return names;
    }
};

TEST_F(ShellFolderTest, BindsToAPathAndBuildsItsList)
{
    PIDL abs;
    iShellFolder f(m_root.c_str(), abs);
    ASSERT_TRUE(f.IsReady());
    EXPECT_TRUE(f.IsFolder());
    EXPECT_TRUE(f.IsFileSystem());
    EXPECT_TRUE(f.IsDosFolder());
    PIDL expect;
    expect.Attach(GetPidlOf(m_root.c_str()));
    ASSERT_FALSE(expect.IsEmpty());
    EXPECT_EQ(0, abs.CompareAbs(expect));
    char path[MAX_PATH];
    ASSERT_TRUE(GetPathOf(abs, path, MAX_PATH));
    EXPECT_EQ(0, _stricmp(m_root.c_str(), path));

    // Forward slashes and a trailing separator name the same folder.
    std::string slashed = m_root + "\\";
    for (char& c : slashed)
        if (c == '\\')
            c = '/';
    PIDL abs2;
    iShellFolder f2(slashed.c_str(), abs2);
    ASSERT_TRUE(f2.IsReady()) << slashed;
    EXPECT_EQ(0, abs2.CompareAbs(expect));
}

TEST_F(ShellFolderTest, PathsThatCannotBeBoundLeaveItEmpty)
{
    // Not a missing drive letter: Wine parses and binds any drive, present or not.
    const char* bad[] = {"", "C:\\no such folder here\\x", "\\single"};
    for (const char* p : bad) {
        SCOPED_TRACE(p);
        PIDL out;
        out.MakeRoot();
        iShellFolder f(p, out);
        EXPECT_FALSE(f.IsReady());
        EXPECT_TRUE(out.IsEmpty());
    }
    PIDL out;
    iShellFolder f(nullptr, out);
    EXPECT_FALSE(f.IsReady());
    std::string longPath = m_root + "\\" + std::string(300, 'a');
    iShellFolder g(longPath.c_str(), out);
    EXPECT_FALSE(g.IsReady());
}

TEST_F(ShellFolderTest, EnumeratesFoldersAndFiles)
{
    PIDL abs;
    iShellFolder f(m_root.c_str(), abs);
    ASSERT_TRUE(f.IsReady());
    std::set<std::string> all = {"Case.txt", "Inner", "one.txt", "two.txt"};
    EXPECT_EQ(all, Enumerate(f, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS));
    EXPECT_EQ(std::set<std::string>{"Inner"}, Enumerate(f, SHCONTF_FOLDERS));

    iEnumIDList e(f, NULL, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
    ITEMIDLIST* items[8] = {};
    ULONG got = e.Next(8, items);
    EXPECT_EQ(4u, got);
    for (ULONG i = 0; i < got; i++)
        FreePIDL(items[i]);
    EXPECT_EQ(nullptr, e.Next());
    ASSERT_TRUE(e.Reset());
    ITEMIDLIST* again = e.Next();
    EXPECT_TRUE(again);
    FreePIDL(again);

    iEnumIDList none;
    EXPECT_EQ(nullptr, none.Next());
    EXPECT_FALSE(none.Reset());
}

TEST_F(ShellFolderTest, BindToWalksDownAndKeepsTheFolderOnFailure)
{
    iShellFolder empty;
    EXPECT_FALSE(empty.IsReady());
    PIDL junk;
    junk.MakeRoot();
    EXPECT_TRUE(empty.BindTo(junk));   // an empty object becomes the Desktop whatever the item
    EXPECT_TRUE(empty.IsReady());
    EXPECT_FALSE(empty.IsFolder());
    EXPECT_FALSE(empty.IsFileSystem());

    PIDL abs;
    iShellFolder f(m_root.c_str(), abs);
    ASSERT_TRUE(f.IsReady());
    ITEMIDLIST* inner = f.ParseDisplayName("Inner", nullptr);
    ASSERT_TRUE(inner);
    ITEMIDLIST* file = f.ParseDisplayName("one.txt", nullptr);
    ASSERT_TRUE(file);
    EXPECT_TRUE(f.GetAttributesOf(inner, SFGAO_FOLDER) & SFGAO_FOLDER);
    EXPECT_EQ(0u, f.GetAttributesOf(file, SFGAO_FOLDER) & SFGAO_FOLDER);   // Wine adds bits beyond the mask
    EXPECT_EQ(0u, f.GetAttributesOf(nullptr, SFGAO_FOLDER));

    iShellFolder child(&f, inner);
    ASSERT_TRUE(child.IsReady());
    EXPECT_TRUE(child.IsDosFolder());
    EXPECT_EQ(std::set<std::string>{"deep.txt"}, Enumerate(child, SHCONTF_NONFOLDERS));

    IShellFolder* before = f.Get();
    EXPECT_FALSE(f.BindTo(file));   // a file is not a folder to bind
    EXPECT_EQ(before, f.Get());
    ASSERT_TRUE(f.BindTo(inner));
    EXPECT_EQ(std::set<std::string>{"deep.txt"}, Enumerate(f, SHCONTF_NONFOLDERS));

    // Absolute lists: the scratch folder again, then a list with a file in the middle.
    ASSERT_TRUE(f.BindToAbs(abs));
    EXPECT_EQ(4u, Enumerate(f, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS).size());
    PIDL through(abs.GetLpidl());
    through.AppendOne(file);
    through.AppendOne(inner);
    EXPECT_FALSE(f.BindToAbs(through));
    EXPECT_FALSE(f.IsReady());
    FreePIDL(inner);
    FreePIDL(file);
}

TEST_F(ShellFolderTest, DisplayNamesAndComparison)
{
    PIDL abs;
    iShellFolder f(m_root.c_str(), abs);
    ASSERT_TRUE(f.IsReady());
    ITEMIDLIST* one = f.ParseDisplayName("one.txt", nullptr);
    ITEMIDLIST* two = f.ParseDisplayName("two.txt", nullptr);
    ITEMIDLIST* caseA = f.ParseDisplayName("Case.txt", nullptr);
    ASSERT_TRUE(one && two && caseA);

    char buf[MAX_PATH];
    ASSERT_TRUE(f.GetDisplayNameOf(one, SHGDN_INFOLDER | SHGDN_FORPARSING, buf, MAX_PATH));
    EXPECT_STREQ("one.txt", buf);
    char tiny[4];
    // A cut name would name another object: none is given.
    EXPECT_FALSE(f.GetDisplayNameOf(one, SHGDN_INFOLDER | SHGDN_FORPARSING, tiny, sizeof(tiny)));
    EXPECT_STREQ("", tiny);
    ASSERT_TRUE(f.GetDisplayNameOf(one, SHGDN_FORPARSING, buf, MAX_PATH));
    EXPECT_EQ(0, _stricmp((m_root + "\\one.txt").c_str(), buf));
    strcpy(buf, "stale");
    EXPECT_FALSE(f.GetDisplayNameOf(nullptr, SHGDN_NORMAL, buf, MAX_PATH));
    EXPECT_STREQ("", buf);

    int r = 99;
    ASSERT_TRUE(f.Compare(one, two, 0, r));
    EXPECT_LT(r, 0);
    ASSERT_TRUE(f.Compare(two, one, 1, r));
    EXPECT_GT(r, 0);
    ASSERT_TRUE(f.Compare(one, one, 0, r));
    EXPECT_EQ(0, r);

    // An item whose name differs only in case: equal without asking the folder.
    PIDL upper(caseA);
    char* bytes = (char*)upper.GetLpidl();
    bool changed = false;
    for (UINT i = 2; i + 8 <= caseA->mkid.cb; i++)
        if (memcmp(bytes + i, "Case.txt", 8) == 0) {
            memcpy(bytes + i, "CASE.TXT", 8);
            changed = true;
        }
    if (changed) {
        ASSERT_TRUE(f.GetDisplayNameOf(upper, SHGDN_INFOLDER, buf, MAX_PATH));
        r = 99;
        EXPECT_TRUE(f.Compare(caseA, upper, 0, r));
        EXPECT_EQ(0, r);
    }

    r = 5;
    EXPECT_FALSE(f.Compare(nullptr, one, 0, r));
    EXPECT_EQ(5, r);
    std::string longName(400, 'z');
    EXPECT_EQ(nullptr, f.ParseDisplayName(longName.c_str(), nullptr));
    EXPECT_EQ(nullptr, f.ParseDisplayName("", nullptr));
    EXPECT_EQ(nullptr, f.ParseDisplayName("missing.file", nullptr));

    WIN32_FIND_DATAA fd = {};
    EXPECT_TRUE(f.GetDataFromIDList(one, SHGDFIL_FINDDATA, &fd, sizeof(fd)));
    EXPECT_STREQ("one.txt", fd.cFileName);
    FreePIDL(one);
    FreePIDL(two);
    FreePIDL(caseA);
}

TEST_F(ShellFolderTest, ItemObjectsOfTheFolder)
{
    PIDL abs;
    iShellFolder f(m_root.c_str(), abs);
    ASSERT_TRUE(f.IsReady());
    ITEMIDLIST* one = f.ParseDisplayName("one.txt", nullptr);
    ITEMIDLIST* two = f.ParseDisplayName("two.txt", nullptr);
    ASSERT_TRUE(one && two);
    const ITEMIDLIST* both[] = {one, two};
    IDataObject* d = nullptr;
    ASSERT_TRUE(f.GetUIObjectOf(NULL, 2, both, IID_IDataObject, (void**)&d));
    iDataObj data;
    data.Attach(d);
    HGLOBAL mem = NULL;
    EXPECT_TRUE(data.GetData(RegisterClipboardFormatA("Shell IDList Array"), &mem));
    ASSERT_TRUE(mem);
    CIDA* cida = (CIDA*)GlobalLock(mem);
    ASSERT_TRUE(cida);
    EXPECT_EQ(2u, cida->cidl);
    GlobalUnlock(mem);

    IContextMenu* cm = nullptr;
    ASSERT_TRUE(f.GetItemObj(NULL, one, IID_IContextMenu, (void**)&cm));
    iContextMenu menu;
    menu.Attach(cm);
    EXPECT_EQ(0, menu.QueryContextMenu(NULL, 0, 1, 100, CMF_NORMAL));
    EXPECT_FALSE(menu.InvokeCtxMenuCmd(NULL, nullptr));
    void* out = (void*)1;
    EXPECT_FALSE(f.GetUIObjectOf(NULL, 0, both, IID_IDataObject, &out));
    EXPECT_EQ(nullptr, out);
    FreePIDL(one);
    FreePIDL(two);

    iContextMenu none;
    char verb[8] = "x";
    EXPECT_FALSE(none.GetCommandString(0, GCS_VERBA, verb, sizeof(verb)));
    EXPECT_STREQ("", verb);
    iContextMenu bogus(IID_IDropTarget, nullptr, nullptr, NULL);   // no such class
    EXPECT_FALSE(bogus.IsReady());
}
