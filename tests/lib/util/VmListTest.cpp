#include <gtest/gtest.h>
#include <vector>
#include "util/VmList.h"

namespace {
struct Log {
    std::vector<void*> removed;
    std::vector<int> codes;
};

int Record(void* user, int code, void* element)
{
    Log* log = static_cast<Log*>(user);
    log->removed.push_back(element);
    log->codes.push_back(code);
    return 0;
}

// Element pointers that are easy to tell apart.
void* E(intptr_t n)
{
    return reinterpret_cast<void*>(n);
}

// Walks both ways, checks the links agree with the count, and gives the elements head first.
std::vector<intptr_t> Walk(const VmList& list)
{
    std::vector<intptr_t> forward, backward;
    for (POS pos = list.GetHeadPos(); pos;)
        forward.push_back(reinterpret_cast<intptr_t>(list.GetNext(pos)));
    for (POS pos = list.GetTailPos(); pos;)
        backward.insert(backward.begin(), reinterpret_cast<intptr_t>(list.GetPrev(pos)));
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(static_cast<int>(forward.size()), list.GetCount());
    EXPECT_EQ(forward.empty(), list.IsEmpty());
    return forward;
}

typedef std::vector<intptr_t> V;
}  // namespace

TEST(VmList, EmptyListAnswersWithoutElements)
{
    VmList list;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(0, list.GetCount());
    EXPECT_EQ(nullptr, list.GetHeadPos());
    EXPECT_EQ(nullptr, list.GetTailPos());
    EXPECT_EQ(nullptr, list.GetHead());
    EXPECT_EQ(nullptr, list.RemoveHead());   // a caller error, answered without a crash
    EXPECT_EQ(nullptr, list.RemoveTail());
    EXPECT_EQ(nullptr, list.FindIndex(0));
    EXPECT_EQ(nullptr, list.Find(nullptr));
    EXPECT_EQ(-1, list.GetIndex(nullptr));
    POS none = nullptr;
    EXPECT_EQ(nullptr, list.GetNext(none));
    list.RemoveAt(none);
    list.RemoveAll();
    EXPECT_TRUE(Walk(list).empty());
}

TEST(VmList, OneElementIsHeadAndTail)
{
    Log log;
    VmList list;
    list.SetCallback(&log, Record);
    POS pos = list.AddTail(E(7));
    EXPECT_EQ(pos, list.GetHeadPos());
    EXPECT_EQ(pos, list.GetTailPos());
    EXPECT_EQ(E(7), list.GetHead());
    EXPECT_EQ(E(7), list.GetTail());
    EXPECT_EQ(0, list.GetIndex(pos));

    list.RemoveAt(pos);
    EXPECT_EQ(nullptr, pos);   // no following node
    EXPECT_EQ(nullptr, list.GetHeadPos());
    EXPECT_EQ(nullptr, list.GetTailPos());
    EXPECT_EQ(0, list.GetCount());
    ASSERT_EQ(1u, log.removed.size());
    EXPECT_EQ(E(7), log.removed[0]);
    EXPECT_EQ(VmList::CodeRemove, log.codes[0]);

    list.AddHead(E(8));   // a fresh start after emptying
    EXPECT_EQ(list.GetHeadPos(), list.GetTailPos());
    EXPECT_EQ(V({8}), Walk(list));
}

TEST(VmList, AddAndInsertKeepOrder)
{
    VmList list;
    POS two = list.AddTail(E(2));
    list.AddHead(E(1));
    POS four = list.AddTail(E(4));
    list.InsertAfter(two, E(3));
    list.InsertBefore(four, E(35));
    list.InsertBefore(nullptr, E(0));   // no position: the head
    list.InsertAfter(nullptr, E(5));    // no position: the tail
    list.InsertAfter(list.GetTailPos(), E(6));
    list.InsertBefore(list.GetHeadPos(), E(-1));
    EXPECT_EQ(V({-1, 0, 1, 2, 3, 35, 4, 5, 6}), Walk(list));
}

TEST(VmList, SetAtReplacesWithoutCallback)
{
    Log log;
    VmList list;
    list.SetCallback(&log, Record);
    POS pos = list.AddTail(E(1));
    list.SetAt(pos, E(2));
    EXPECT_TRUE(log.removed.empty());
    EXPECT_EQ(E(2), list.GetAt(pos));
}

TEST(VmList, AddListKeepsTheOtherOrder)
{
    VmList a, b;
    a.AddTail(E(10));
    a.AddTail(E(11));
    b.AddTail(E(1));
    b.AddTail(E(2));
    b.AddTail(E(3));
    a.AddHead(&b);
    EXPECT_EQ(V({1, 2, 3, 10, 11}), Walk(a));
    a.AddTail(&b);
    EXPECT_EQ(V({1, 2, 3, 10, 11, 1, 2, 3}), Walk(a));
    EXPECT_EQ(V({1, 2, 3}), Walk(b));   // the other list keeps its elements

    VmList empty;
    a.AddTail(&empty);
    a.AddHead(static_cast<VmList*>(nullptr));
    EXPECT_EQ(8, a.GetCount());
}

TEST(VmList, AddingAListToItselfDoublesItOnce)
{
    VmList list;
    list.AddTail(E(1));
    list.AddTail(E(2));
    list.AddTail(&list);
    EXPECT_EQ(V({1, 2, 1, 2}), Walk(list));
    list.AddHead(&list);
    EXPECT_EQ(V({1, 2, 1, 2, 1, 2, 1, 2}), Walk(list));
}

TEST(VmList, RemoveWhileWalkingCallsOwnerForEachRemoved)
{
    Log log;
    VmList list;
    list.SetCallback(&log, Record);
    for (intptr_t i = 1; i <= 6; ++i)
        list.AddTail(E(i));
    for (POS pos = list.GetHeadPos(); pos;) {
        if (reinterpret_cast<intptr_t>(list.GetAt(pos)) % 2 == 0)
            list.RemoveAt(pos);   // pos moves on by itself
        else
            list.GetNext(pos);
    }
    EXPECT_EQ(V({1, 3, 5}), Walk(list));
    EXPECT_EQ(std::vector<void*>({E(2), E(4), E(6)}), log.removed);
}

TEST(VmList, RemoveEndsReturnElementAfterTheCallback)
{
    Log log;
    VmList list;
    list.SetCallback(&log, Record);
    list.AddTail(E(1));
    list.AddTail(E(2));
    list.AddTail(E(3));
    EXPECT_EQ(E(1), list.RemoveHead());
    EXPECT_EQ(E(3), list.RemoveTail());
    EXPECT_EQ(std::vector<void*>({E(1), E(3)}), log.removed);
    EXPECT_EQ(V({2}), Walk(list));
    EXPECT_EQ(list.GetHeadPos(), list.GetTailPos());
}

TEST(VmList, RemoveAllAndDestructorReleaseFromTheTail)
{
    Log log;
    {
        VmList list;
        list.SetCallback(&log, Record);
        list.AddTail(E(1));
        list.AddTail(E(2));
        list.RemoveAll();
        EXPECT_TRUE(list.IsEmpty());
        EXPECT_EQ(std::vector<void*>({E(2), E(1)}), log.removed);
        list.AddTail(E(3));
        list.AddTail(E(4));
        log.removed.clear();
    }
    EXPECT_EQ(std::vector<void*>({E(4), E(3)}), log.removed);
}

TEST(VmList, NoCallbackMeansNothingIsCalled)
{
    Log log;
    VmList list;
    list.SetCallback(&log, Record);
    list.SetCallback(nullptr, nullptr);
    list.AddTail(E(1));
    list.RemoveAll();
    EXPECT_TRUE(log.removed.empty());
}

TEST(VmList, MoveAfter)
{
    VmList list;
    POS p[5];
    for (int i = 0; i < 5; ++i)
        p[i] = list.AddTail(E(i));

    EXPECT_EQ(p[3], list.MoveAfter(p[3], nullptr));   // none: to the front
    EXPECT_EQ(V({3, 0, 1, 2, 4}), Walk(list));
    EXPECT_EQ(p[3], list.GetHeadPos());

    list.MoveAfter(p[1], p[1]);                        // itself: nothing
    list.MoveAfter(p[1], p[0]);                        // already there: nothing
    list.MoveAfter(p[3], nullptr);                     // already the head: nothing
    EXPECT_EQ(V({3, 0, 1, 2, 4}), Walk(list));

    list.MoveAfter(p[3], p[4]);                        // to the tail
    EXPECT_EQ(V({0, 1, 2, 4, 3}), Walk(list));
    EXPECT_EQ(p[3], list.GetTailPos());

    list.MoveAfter(p[4], p[0]);                        // former second-last into the middle
    EXPECT_EQ(V({0, 4, 1, 2, 3}), Walk(list));
    list.MoveAfter(p[0], p[3]);                        // head to tail
    EXPECT_EQ(V({4, 1, 2, 3, 0}), Walk(list));
    EXPECT_EQ(p[4], list.GetHeadPos());
}

TEST(VmList, IndexesRoundTrip)
{
    VmList list, other;
    for (int i = 0; i < 4; ++i)
        list.AddTail(E(i * 10));
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        POS pos = list.FindIndex(i);
        ASSERT_NE(nullptr, pos);
        EXPECT_EQ(E(i * 10), list.GetAt(pos));
        EXPECT_EQ(i, list.GetIndex(pos));
    }
    EXPECT_EQ(nullptr, list.FindIndex(4));
    EXPECT_EQ(nullptr, list.FindIndex(-1));
    POS foreign = other.AddTail(E(0));
    EXPECT_EQ(-1, list.GetIndex(foreign));
}

TEST(VmList, FindStartsAfterTheGivenPosition)
{
    VmList list;
    POS a = list.AddTail(E(5));
    list.AddTail(E(6));
    POS b = list.AddTail(E(5));
    EXPECT_EQ(a, list.Find(E(5)));
    EXPECT_EQ(b, list.Find(E(5), a));        // never the start itself
    EXPECT_EQ(nullptr, list.Find(E(5), b));
    EXPECT_EQ(nullptr, list.Find(E(9)));
}
