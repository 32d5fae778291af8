#include <gtest/gtest.h>
#include "ui/VmThread.h"

namespace {
// Reports ready, waits for cancel (or a limit), reports done.
class Worker : public VmThreadEx {
public:
    DWORD limit = 10000;
    volatile LONG ran = 0;
    // The override must not outlive the thread that calls it.
    ~Worker() override { Destroy(5000); }
    unsigned DoThreadEx() override
    {
        InterlockedIncrement(&ran);
        return WaitForCancel(limit) ? 1 : 2;
    }
};

// Never reports ready; ends when its event is set.
struct Silent {
    HANDLE release;
    static unsigned __stdcall Proc(void* arg)
    {
        WaitForSingleObject(static_cast<Silent*>(arg)->release, 20000);
        return 0;
    }
};

// Reports ready, then waits for cancel.
unsigned __stdcall UntilCancel(void* arg)
{
    VmThread* t = static_cast<VmThread*>(arg);
    t->SetReady();
    WaitForSingleObject(t->GetCancelEvent(), 10000);
    t->SetDone();
    return 0;
}

unsigned __stdcall Quick(void* arg)
{
    VmThread* t = static_cast<VmThread*>(arg);
    t->SetReady();
    t->SetDone();
    return 3;
}
}  // namespace

TEST(VmThread, EventsStartUnsignalled)
{
    VmThread t;
    EXPECT_TRUE(t.GetReadyEvent() && t.GetDoneEvent() && t.GetCancelEvent());
    EXPECT_FALSE(t.IsReady());
    EXPECT_FALSE(t.IsDone());
    EXPECT_FALSE(t.IsCanceled());
    EXPECT_FALSE(t.WaitForThread(0));   // no thread
    EXPECT_TRUE(t.Destroy(0));          // nothing to stop
    EXPECT_FALSE(t.Create(nullptr, nullptr));
    EXPECT_EQ(NULL, t.GetThreadHandle());
}

TEST(VmThread, ReadyDoneAndCancel)
{
    Worker w;
    ASSERT_TRUE(w.Start());
    EXPECT_TRUE(w.IsReady());   // Start returns after the ready report
    EXPECT_NE(0u, w.GetThreadId());
    EXPECT_FALSE(w.IsDone());
    EXPECT_FALSE(w.IsCanceled());
    EXPECT_FALSE(w.Start());    // one thread at a time

    w.Cancel();
    EXPECT_TRUE(w.WaitForDone(5000));
    EXPECT_TRUE(w.WaitForThread(5000));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(w.GetThreadHandle(), &code));
    EXPECT_EQ(1u, code);   // it saw the cancel
    EXPECT_TRUE(w.Stop());
    EXPECT_EQ(NULL, w.GetThreadHandle());

    // Starting again resets the events.
    ASSERT_TRUE(w.Start());
    EXPECT_FALSE(w.IsCanceled());
    EXPECT_FALSE(w.IsDone());
    // The thread counts its run just after it reports ready, so the count may come a moment
    // after Start returns.
    for (int i = 0; i < 500 && w.ran < 2; ++i)
        Sleep(10);
    EXPECT_EQ(2, w.ran);
    EXPECT_TRUE(w.Destroy(5000));
    EXPECT_TRUE(w.IsCanceled());
}

TEST(VmThread, DestroyGivesUpAfterTheTimeout)
{
    Worker w;
    ASSERT_TRUE(w.Start());
    HANDLE dup = NULL;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), w.GetThreadHandle(), GetCurrentProcess(),
                                &dup, 0, FALSE, DUPLICATE_SAME_ACCESS));
    // The worker honours cancel, so it ends; a thread that ignores it makes Destroy time out.
    EXPECT_TRUE(w.Destroy(5000));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(dup, 5000));
    CloseHandle(dup);

    VmThread t;
    Silent s = {CreateEventA(NULL, TRUE, FALSE, NULL)};
    DWORD start = GetTickCount();
    ASSERT_TRUE(t.Create(Silent::Proc, &s));   // started, though it never reports ready
    DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 4900u);
    EXPECT_LT(waited, 9000u);
    EXPECT_FALSE(t.IsReady());
    start = GetTickCount();
    HANDLE thread = NULL;
    DuplicateHandle(GetCurrentProcess(), t.GetThreadHandle(), GetCurrentProcess(), &thread, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
    EXPECT_FALSE(t.Destroy(200));   // done never comes
    waited = GetTickCount() - start;
    EXPECT_GE(waited, 190u);
    EXPECT_LT(waited, 3000u);
    EXPECT_TRUE(t.IsCanceled());
    EXPECT_EQ(NULL, t.GetThreadHandle());
    SetEvent(s.release);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 5000));
    CloseHandle(thread);
    CloseHandle(s.release);
}

TEST(VmThread, PlainProcedureAndRestartAfterEnd)
{
    VmThread t;
    ASSERT_TRUE(t.Create(Quick, &t));
    EXPECT_TRUE(t.WaitForDone(5000));
    EXPECT_TRUE(t.WaitForThread(5000));
    // The ended thread's handle is replaced by a new one.
    ASSERT_TRUE(t.Create(Quick, &t));
    EXPECT_TRUE(t.WaitForThread(5000));
    DWORD code = 0;
    GetExitCodeThread(t.GetThreadHandle(), &code);
    EXPECT_EQ(3u, code);
    EXPECT_TRUE(t.Destroy(1000));
}

TEST(VmThread, DestructorCancelsARunningThread)
{
    HANDLE thread = NULL;
    DWORD start = GetTickCount();
    {
        VmThread t;
        ASSERT_TRUE(t.Create(UntilCancel, &t));
        DuplicateHandle(GetCurrentProcess(), t.GetThreadHandle(), GetCurrentProcess(), &thread,
                        0, FALSE, DUPLICATE_SAME_ACCESS);
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 5000));
    EXPECT_LT(GetTickCount() - start, 5000u);   // cancelled, not the thread's own limit
    CloseHandle(thread);
}
