// Events, threads and waits: auto and manual reset, time-outs, waiting on
// several objects, and named events shared with another process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>

#include "platform/storage/journal.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/sync_objects.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/wait.h"
#include "support/temp_device.h"

namespace {

using plat::Handle;

// Runs body in a forked child and returns its exit code (-1 when it did not
// end normally).
template <typename Body>
int InChildProcess(Body body) {
    pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST(EventTest, AutoResetSignalGoesToOneWaitOnly) {
    Handle event = plat::CreateEvent(false, false);
    ASSERT_TRUE(event);
    EXPECT_EQ(plat::WaitForSingleObject(event, 0), plat::kWaitTimeout);
    ASSERT_TRUE(plat::SetEvent(event));
    ASSERT_TRUE(plat::SetEvent(event));  // a second set before any wait adds nothing
    EXPECT_EQ(plat::WaitForSingleObject(event, 0), plat::kWaitObject0);
    EXPECT_EQ(plat::WaitForSingleObject(event, 0), plat::kWaitTimeout);
    EXPECT_TRUE(plat::CloseHandle(event));
}

TEST(EventTest, ManualResetStaysSignalledUntilReset) {
    Handle event = plat::CreateEvent(true, true);
    ASSERT_TRUE(event);
    EXPECT_EQ(plat::WaitForSingleObject(event, 0), plat::kWaitObject0);
    EXPECT_EQ(plat::WaitForSingleObject(event, 0), plat::kWaitObject0);
    ASSERT_TRUE(plat::ResetEvent(event));
    EXPECT_EQ(plat::WaitForSingleObject(event, 0), plat::kWaitTimeout);
    plat::CloseHandle(event);
}

TEST(EventTest, WaitTimesOutAfterItsTime) {
    Handle event = plat::CreateEvent(false, false);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(plat::WaitForSingleObject(event, 120), plat::kWaitTimeout);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(120));
    plat::CloseHandle(event);
}

TEST(EventTest, SetFromAnotherThreadWakesTheWait) {
    Handle event = plat::CreateEvent(false, false);
    Handle thread = plat::CreateThread(
        [event]() {
            plat::Sleep(50);
            plat::SetEvent(event);
            return 0u;
        },
        nullptr);
    ASSERT_TRUE(thread);
    EXPECT_EQ(plat::WaitForSingleObject(event, 10000), plat::kWaitObject0);
    plat::WaitForSingleObject(thread, plat::kInfinite);
    plat::CloseHandle(thread);
    plat::CloseHandle(event);
}

TEST(EventTest, ClosedAndForeignHandlesAreRefused) {
    Handle event = plat::CreateEvent(false, false);
    ASSERT_TRUE(plat::CloseHandle(event));
    EXPECT_FALSE(plat::CloseHandle(event));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidHandle);
    EXPECT_FALSE(plat::SetEvent(event));
    EXPECT_EQ(plat::WaitForSingleObject(event, 0), plat::kWaitFailed);
    Handle reused = plat::CreateEvent(false, true);  // may take the freed slot
    EXPECT_NE(reused.value, event.value);
    EXPECT_EQ(plat::WaitForSingleObject(event, 0), plat::kWaitFailed);
    plat::CloseHandle(reused);
}

TEST(WaitMultipleTest, ReturnsTheSignalledObjectAndTakesOnlyItsSignal) {
    Handle first = plat::CreateEvent(false, false);
    Handle second = plat::CreateEvent(false, false);
    Handle both[2] = {first, second};
    EXPECT_EQ(plat::WaitForMultipleObjects(2, both, false, 30), plat::kWaitTimeout);
    plat::SetEvent(second);
    EXPECT_EQ(plat::WaitForMultipleObjects(2, both, false, 1000), plat::kWaitObject0 + 1);
    plat::SetEvent(first);
    plat::SetEvent(second);
    EXPECT_EQ(plat::WaitForMultipleObjects(2, both, false, 1000), plat::kWaitObject0);
    EXPECT_EQ(plat::WaitForMultipleObjects(2, both, false, 1000), plat::kWaitObject0 + 1);
    EXPECT_EQ(plat::WaitForMultipleObjects(2, both, false, 0), plat::kWaitTimeout);
    plat::CloseHandle(first);
    plat::CloseHandle(second);
}

TEST(WaitMultipleTest, BadRequestsFail) {
    Handle event = plat::CreateEvent(false, true);
    Handle two[2] = {event, Handle{}};
    EXPECT_EQ(plat::WaitForMultipleObjects(2, two, false, 0), plat::kWaitFailed);
    EXPECT_EQ(plat::WaitForMultipleObjects(1, two, true, 0), plat::kWaitFailed);  // "wait all" is not offered
    EXPECT_EQ(plat::WaitForMultipleObjects(0, two, false, 0), plat::kWaitFailed);
    EXPECT_EQ(plat::WaitForSingleObject(event, 0), plat::kWaitObject0);  // the failed waits took nothing
    plat::CloseHandle(event);
}

TEST(ThreadTest, HandleIsSignalledWithTheExitCodeWhenTheThreadEnds) {
    Handle release = plat::CreateEvent(true, false);
    uint32_t id = 0;
    Handle thread = plat::CreateThread(
        [release]() {
            plat::WaitForSingleObject(release, plat::kInfinite);
            return 42u;
        },
        &id);
    ASSERT_TRUE(thread);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, plat::GetCurrentThreadId());
    uint32_t code = 0;
    ASSERT_TRUE(plat::GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, plat::kStillActive);
    EXPECT_EQ(plat::WaitForSingleObject(thread, 50), plat::kWaitTimeout);
    plat::SetEvent(release);
    EXPECT_EQ(plat::WaitForSingleObject(thread, 10000), plat::kWaitObject0);
    EXPECT_EQ(plat::WaitForSingleObject(thread, 0), plat::kWaitObject0);  // stays signalled
    ASSERT_TRUE(plat::GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_FALSE(plat::GetExitCodeThread(release, &code));
    plat::CloseHandle(thread);
    plat::CloseHandle(release);
}

TEST(ThreadTest, CriticalSectionKeepsIncrementsWhole) {
    plat::CriticalSection section;
    plat::InitializeCriticalSection(&section);
    int counter = 0;
    auto work = [&]() {
        for (int i = 0; i < 20000; ++i) {
            plat::EnterCriticalSection(&section);
            plat::EnterCriticalSection(&section);  // the owner may enter again
            ++counter;
            plat::LeaveCriticalSection(&section);
            plat::LeaveCriticalSection(&section);
        }
        return 0u;
    };
    Handle threads[2] = {plat::CreateThread(work, nullptr), plat::CreateThread(work, nullptr)};
    for (Handle t : threads) {
        EXPECT_EQ(plat::WaitForSingleObject(t, 30000), plat::kWaitObject0);
        plat::CloseHandle(t);
    }
    EXPECT_EQ(counter, 40000);
    plat::DeleteCriticalSection(&section);
}

class NamedEventTest : public ::testing::Test {
protected:
    TempDevice device_;
};

TEST_F(NamedEventTest, SignalFromAnotherProcessWakesTheWaiter) {
    Handle event = plat::CreateEvent(false, false, u"TlwTestEvent");
    ASSERT_TRUE(event);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorSuccess);
    int child = InChildProcess([] {
        plat::Sleep(100);
        Handle mine = plat::CreateEvent(false, false, u"TlwTestEvent");
        if (!mine || plat::GetLastError() != plat::kErrorAlreadyExists) return 1;
        return plat::SetEvent(mine) ? 0 : 2;
    });
    EXPECT_EQ(child, 0);
    EXPECT_EQ(plat::WaitForSingleObject(event, 10000), plat::kWaitObject0);
    EXPECT_EQ(plat::WaitForSingleObject(event, 0), plat::kWaitTimeout);  // auto reset
    plat::CloseHandle(event);
}

TEST_F(NamedEventTest, WaiterInAnotherProcessIsWokenByANotificationTarget) {
    Handle ready = plat::CreateEvent(true, false, u"TlwTestReady");
    pid_t pid = fork();
    if (pid == 0) {
        Handle mine = plat::CreateEvent(false, false, u"TlwCellVerify");
        Handle started = plat::CreateEvent(true, false, u"TlwTestReady");
        plat::SetEvent(started);
        _exit(plat::WaitForSingleObject(mine, 10000) == plat::kWaitObject0 ? 0 : 1);
    }
    ASSERT_GT(pid, 0);
    ASSERT_EQ(plat::WaitForSingleObject(ready, 10000), plat::kWaitObject0);
    EXPECT_TRUE(plat::SignalNamedEvent(u"\\\\.\\Notifications\\NamedEvents\\TlwCellVerify"));
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // The journal lines of both processes may come in either order.
    int signalled = 0;
    for (const std::string& line : plat::JournalRead())
        if (line.find(" event TlwCellVerify set") != std::string::npos) ++signalled;
    EXPECT_EQ(signalled, 1);
    plat::CloseHandle(ready);
}

TEST_F(NamedEventTest, ManualResetReleasesEveryWaiter) {
    Handle event = plat::CreateEvent(true, false, u"TlwTestGate");
    std::atomic<int> released{0};
    auto waiter = [&released]() {
        Handle mine = plat::CreateEvent(true, false, u"TlwTestGate");
        if (plat::WaitForSingleObject(mine, 10000) == plat::kWaitObject0) ++released;
        plat::CloseHandle(mine);
        return 0u;
    };
    Handle threads[2] = {plat::CreateThread(waiter, nullptr), plat::CreateThread(waiter, nullptr)};
    plat::Sleep(50);
    plat::SetEvent(event);
    for (Handle t : threads) {
        plat::WaitForSingleObject(t, plat::kInfinite);
        plat::CloseHandle(t);
    }
    EXPECT_EQ(released.load(), 2);
    EXPECT_EQ(plat::WaitForSingleObject(event, 0), plat::kWaitObject0);
    plat::CloseHandle(event);
}

TEST_F(NamedEventTest, EventEndsWithItsLastHandle) {
    Handle event = plat::CreateEvent(true, true, u"TlwTestShortLived");
    Handle again = plat::OpenEvent(u"TlwTestShortLived");
    ASSERT_TRUE(again);
    EXPECT_EQ(plat::WaitForSingleObject(again, 0), plat::kWaitObject0);
    plat::CloseHandle(event);
    plat::CloseHandle(again);
    EXPECT_FALSE(plat::OpenEvent(u"TlwTestShortLived"));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorFileNotFound);
    // Made afresh: the new creator's kind and state count, not the old ones.
    Handle fresh = plat::CreateEvent(false, false, u"TlwTestShortLived");
    EXPECT_EQ(plat::GetLastError(), plat::kErrorSuccess);
    EXPECT_EQ(plat::WaitForSingleObject(fresh, 0), plat::kWaitTimeout);
    plat::CloseHandle(fresh);
}

TEST_F(NamedEventTest, SignalWithNobodyHoldingTheEventIsDropped) {
    EXPECT_TRUE(plat::SignalNamedEvent(u"TlwTestNobody"));
    Handle event = plat::CreateEvent(false, false, u"TlwTestNobody");
    EXPECT_EQ(plat::WaitForSingleObject(event, 0), plat::kWaitTimeout);
    plat::CloseHandle(event);
    std::vector<std::string> journal = plat::JournalRead();
    ASSERT_FALSE(journal.empty());
    EXPECT_NE(journal.back().find("event TlwTestNobody set, not open"), std::string::npos) << journal.back();
}

TEST_F(NamedEventTest, HandlesOfADeadProcessDoNotKeepTheEvent) {
    EXPECT_EQ(InChildProcess([] { return plat::CreateEvent(true, true, u"TlwTestOrphan") ? 0 : 1; }), 0);
    Handle event = plat::CreateEvent(false, false, u"TlwTestOrphan");
    EXPECT_EQ(plat::GetLastError(), plat::kErrorSuccess);
    EXPECT_EQ(plat::WaitForSingleObject(event, 0), plat::kWaitTimeout);
    plat::CloseHandle(event);
}

TEST(NotificationTargetTest, NamesTheEventBehindThePrefix) {
    std::u16string name;
    EXPECT_TRUE(plat::NamedEventOfNotificationTarget(u"\\\\.\\notifications\\namedevents\\TlwCellVerify", &name));
    EXPECT_EQ(name, u"TlwCellVerify");
    EXPECT_FALSE(plat::NamedEventOfNotificationTarget(u"\\Windows\\Tallowd.exe", &name));
    EXPECT_FALSE(plat::NamedEventOfNotificationTarget(u"\\\\.\\Notifications\\NamedEvents\\", &name));
}

}  // namespace
