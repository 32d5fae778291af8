#include <gtest/gtest.h>
#include <string>
#include "ui/Sync.h"

namespace {
struct Shared {
    CritSec cs;
    volatile LONG inside = 0;
    volatile LONG overlap = 0;
    long counter = 0;
};

DWORD WINAPI Bump(void* arg)
{
    Shared* s = static_cast<Shared*>(arg);
    for (int i = 0; i < 2000; ++i) {
        CritSecLock lock(s->cs);
        if (InterlockedIncrement(&s->inside) != 1)
            InterlockedIncrement(&s->overlap);
        long v = s->counter;
        if (i % 100 == 0)
            Sleep(0);
        s->counter = v + 1;
        InterlockedDecrement(&s->inside);
    }
    return 0;
}

struct Holder {
    CritSec* cs;
    HANDLE entered, release;
};

DWORD WINAPI HoldSection(void* arg)
{
    Holder* h = static_cast<Holder*>(arg);
    h->cs->Enter();
    SetEvent(h->entered);
    WaitForSingleObject(h->release, 10000);
    Sleep(100);
    h->cs->Leave();
    return 0;
}

struct MutexArg {
    const char* name;
    bool got;
};

DWORD WINAPI TryMutex(void* arg)
{
    MutexArg* a = static_cast<MutexArg*>(arg);
    MyMutex m(false, a->name);
    a->got = m.Wait(50);
    if (a->got)
        m.Release();
    return 0;
}
}  // namespace

TEST(CritSec, GuardsSharedData)
{
    Shared s;
    HANDLE threads[3];
    for (HANDLE& t : threads)
        t = CreateThread(NULL, 0, Bump, &s, 0, NULL);
    WaitForMultipleObjects(3, threads, TRUE, 20000);
    for (HANDLE t : threads)
        CloseHandle(t);
    EXPECT_EQ(6000, s.counter);
    EXPECT_EQ(0, s.overlap);
}

TEST(CritSec, WaitReturnsOnceNoOtherThreadHoldsIt)
{
    CritSec cs;
    cs.Wait();   // free: returns at once
    Holder h = {&cs, CreateEventA(NULL, TRUE, FALSE, NULL), CreateEventA(NULL, TRUE, FALSE, NULL)};
    HANDLE t = CreateThread(NULL, 0, HoldSection, &h, 0, NULL);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h.entered, 5000));
    EXPECT_FALSE(cs.TryEnter());
    SetEvent(h.release);
    DWORD start = GetTickCount();
    cs.Wait();
    EXPECT_GE(GetTickCount() - start, 80u);
    // Wait left the section: another thread (and we) can take it.
    EXPECT_TRUE(cs.TryEnter());
    cs.Leave();
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
    CloseHandle(h.entered);
    CloseHandle(h.release);
}

TEST(MyMutex, NamedMutexExcludesOtherThreads)
{
    const char* name = "PanorelUiTestMutex";
    MyMutex owner(true, name);
    ASSERT_TRUE(owner.IsValid());
    EXPECT_FALSE(owner.AlreadyExisted());
    MutexArg a = {name, true};
    HANDLE t = CreateThread(NULL, 0, TryMutex, &a, 0, NULL);
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
    EXPECT_FALSE(a.got);   // we own it

    MyMutex second(false, name);
    EXPECT_TRUE(second.AlreadyExisted());
    EXPECT_TRUE(owner.Release());
    EXPECT_FALSE(owner.Release());   // not owned any more
    a.got = false;
    t = CreateThread(NULL, 0, TryMutex, &a, 0, NULL);
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
    EXPECT_TRUE(a.got);
    EXPECT_TRUE(owner.Wait(0));
    EXPECT_TRUE(owner.Wait(0));   // recursive for its owner
    EXPECT_TRUE(owner.Release());
    EXPECT_TRUE(owner.Release());
}

TEST(MyMutex, BadNamesGiveAnInvalidMutexThatFailsQuietly)
{
    std::string tooLong(40000, 'm');
    MyMutex bad(false, tooLong.c_str());
    EXPECT_FALSE(bad.IsValid());
    EXPECT_FALSE(bad.Wait(0));
    EXPECT_FALSE(bad.Release());
    MyMutex unnamed(false, nullptr);
    EXPECT_TRUE(unnamed.IsValid());
    EXPECT_TRUE(unnamed.Wait(0));
    EXPECT_TRUE(unnamed.Release());
}
