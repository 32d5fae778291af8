// A favourite's stored form: its bytes, the round trip of a list of them, and reading damaged
// bytes without passing their end.
#include "ShellFixture.h"
#include "shell/FavItem.h"
#include "util/VmList.h"
#include <vector>

namespace {

class FavItemTest : public TempTree {
protected:
    void SetUp() override
    {
        TempTree::SetUp();
        MakeDir("Кириллица");
        MakeDir("日本語 😀");
        a.Attach(GetPidlOf(Path("Кириллица").c_str()));
        b.Attach(GetPidlOf(Path("日本語 😀").c_str()));
        ASSERT_TRUE(a.GetLpidl() && b.GetLpidl());
    }
    std::vector<unsigned char> Bytes(FavItem& item)
    {
        std::vector<unsigned char> out(item.GetPut(1, nullptr));
        EXPECT_EQ(out.size(), item.GetPut(1, out.data()));
        return out;
    }
    PIDL a, b;
};

int DeleteFav(void*, int, void* element)
{
    delete static_cast<FavItem*>(element);
    return 0;
}

TEST_F(FavItemTest, TheLabelTheFolderAndThePassiveFlagLieBackToBack)
{
    FavItem item;
    item.SetData("abc", a, nullptr);
    std::vector<unsigned char> bytes = Bytes(item);
    UINT list = a.GetSizeTotal();
    ASSERT_EQ(5 + list + 4, bytes.size());
    EXPECT_EQ((std::vector<unsigned char>{3, 0, 'a', 'b', 'c'}), std::vector<unsigned char>(bytes.begin(), bytes.begin() + 5));
    EXPECT_EQ(0, memcmp(bytes.data() + 5, a.GetLpidl(), list));
    EXPECT_EQ((std::vector<unsigned char>{0, 0, 0, 0}), std::vector<unsigned char>(bytes.end() - 4, bytes.end()));

    // With a passive folder the flag is 1 and its list follows; the label's length counts bytes.
    FavItem both;
    both.SetData("Ж😀", a, b);
    bytes = Bytes(both);
    EXPECT_EQ(6, bytes[0]);
    EXPECT_EQ(2 + 6 + list + 4 + b.GetSizeTotal(), bytes.size());
    EXPECT_EQ(1, bytes[2 + 6 + list]);
    FavItem back;
    ASSERT_EQ(bytes.size(), back.GetPut(0, bytes.data(), (UINT)bytes.size()));
    EXPECT_STREQ("Ж😀", back.GetLabel());
    EXPECT_EQ(0, PIDL(back.GetActive()).CompareAbs(a));
    EXPECT_EQ(0, PIDL(back.GetPassive()).CompareAbs(b));

    // An empty label clears it; a null one keeps it; ClearPidl removes one folder.
    back.SetData(nullptr, nullptr, nullptr);
    EXPECT_STREQ("Ж😀", back.GetLabel());
    back.SetData("", nullptr, nullptr);
    EXPECT_FALSE(back.HasLabel());
    back.ClearPidl(0);
    EXPECT_TRUE(back.GetPassive() == nullptr);
    EXPECT_TRUE(back.GetActive() != nullptr);
}

TEST_F(FavItemTest, DamagedBytesAreRefusedWithoutReadingPastThem)
{
    FavItem item;
    item.SetData("label", a, b);
    std::vector<unsigned char> bytes = Bytes(item);
    for (size_t cut = 0; cut < bytes.size(); cut++) {
        SCOPED_TRACE(cut);
        // A copy of exactly cut bytes, so a read past them would fault or show.
        std::vector<unsigned char> part(bytes.begin(), bytes.begin() + cut);
        FavItem back;
        back.SetData("kept", b, nullptr);
        EXPECT_EQ(0u, back.GetPut(0, part.empty() ? nullptr : part.data(), (UINT)cut));
        EXPECT_STREQ("kept", back.GetLabel());
        EXPECT_EQ(b.GetSizeTotal(), PIDL::GetSizeTotal(back.GetActive()));
        EXPECT_EQ(0, memcmp(back.GetActive(), b.GetLpidl(), b.GetSizeTotal()));
    }
    // A passive flag that is neither 0 nor 1 is no favourite.
    std::vector<unsigned char> bad(bytes);
    bad[2 + 5 + a.GetSizeTotal()] = 7;
    FavItem back;
    EXPECT_EQ(0u, back.GetPut(0, bad.data(), (UINT)bad.size()));
}

TEST_F(FavItemTest, AListRoundTripsAndStopsAtTheFirstDamagedItem)
{
    VmList list;
    list.SetCallback(nullptr, DeleteFav);
    const char* labels[] = {"", "Кириллица", "😀"};
    for (const char* l : labels) {
        FavItem* item = new FavItem;
        item->SetData(l, a, l[0] == 0 ? nullptr : (const ITEMIDLIST*)b);
        list.AddTail(item);
    }
    // An item without an active folder is not written: its bytes could not be read back.
    FavItem* empty = new FavItem;
    empty->SetData("no folder", nullptr, nullptr);
    list.AddTail(empty);
    UINT size = FavItem::GetPutList(list, 0, 1, nullptr);
    std::vector<unsigned char> bytes(size);
    int written = 0;
    ASSERT_EQ(size, FavItem::GetPutList(list, 0, 1, bytes.data(), size, &written));
    EXPECT_EQ(3, written);

    VmList back;
    back.SetCallback(nullptr, DeleteFav);
    for (int i = 0; i < 3; i++)
        back.AddTail(new FavItem);
    int read = 0;
    EXPECT_EQ(size, FavItem::GetPutList(back, 3, 0, bytes.data(), size, &read));
    EXPECT_EQ(3, read);
    POS pos = back.GetHeadPos();
    for (const char* l : labels) {
        FavItem* item = static_cast<FavItem*>(back.GetNext(pos));
        EXPECT_STREQ(l, item->GetLabel());
        EXPECT_EQ(l[0] != 0, item->GetPassive() != nullptr);
    }
    // Cut inside the second item: the first is read, the rest stay empty.
    VmList cut;
    cut.SetCallback(nullptr, DeleteFav);
    for (int i = 0; i < 3; i++)
        cut.AddTail(new FavItem);
    UINT first = static_cast<FavItem*>(list.GetHead())->GetPut(1, nullptr);
    EXPECT_EQ(first, FavItem::GetPutList(cut, 3, 0, bytes.data(), first + 5, &read));
    EXPECT_EQ(1, read);
    pos = cut.GetHeadPos();
    cut.GetNext(pos);
    EXPECT_TRUE(static_cast<FavItem*>(cut.GetNext(pos))->GetActive() == nullptr);
}

}  // namespace
