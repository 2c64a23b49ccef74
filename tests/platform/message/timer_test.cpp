// Timers on device time: due by the virtual clock, restarted by setting
// again, killed, one-shot when killed in their handler, one message however
// long overdue, and loops woken when the clock moves.
#include <atomic>
#include <thread>

#include "platform/kernel/last_error.h"
#include "platform/message/timers.h"
#include "platform/window/window_test_support.h"

namespace {

using namespace plat;
using wintest::Recorder;
using wintest::Seen;

class WindowTimerTest : public wintest::WindowTest {
protected:
    // The timer messages the window handled since the last call.
    std::vector<WParam> Fired() {
        PumpMessagesUntilIdle();
        std::vector<WParam> ids;
        for (const Seen& s : Recorder::Instance().Take())
            if (s.message == WM_TIMER) ids.push_back(s.wParam);
        return ids;
    }
    // Moves the virtual clock by whole seconds.
    void Advance(int64_t seconds) { ASSERT_TRUE(AdvanceClock(seconds)); }
};

TEST_F(WindowTimerTest, FiresByDeviceTimeOnly) {
    Hwnd hwnd = MakeWindow();
    ASSERT_EQ(SetTimer(hwnd, 5, 5000), 5u);
    EXPECT_TRUE(Fired().empty());
    Advance(4);
    EXPECT_TRUE(Fired().empty());
    Advance(1);
    EXPECT_EQ(Fired(), (std::vector<WParam>{5}));
    // Periodic: again five seconds later, not before.
    Advance(4);
    EXPECT_TRUE(Fired().empty());
    Advance(1);
    EXPECT_EQ(Fired(), (std::vector<WParam>{5}));
}

TEST_F(WindowTimerTest, OverdueManyTimesGivesOneMessage) {
    Hwnd hwnd = MakeWindow();
    SetTimer(hwnd, 1, 1000);
    Advance(3600);
    EXPECT_EQ(Fired(), (std::vector<WParam>{1}));
    EXPECT_TRUE(Fired().empty());
    Advance(1);
    EXPECT_EQ(Fired(), (std::vector<WParam>{1}));
}

TEST_F(WindowTimerTest, SettingAgainRestartsIt) {
    Hwnd hwnd = MakeWindow();
    SetTimer(hwnd, 12587, 5000);
    Advance(3);
    SetTimer(hwnd, 12587, 5000);
    Advance(3);
    EXPECT_TRUE(Fired().empty());
    Advance(2);
    EXPECT_EQ(Fired(), (std::vector<WParam>{12587}));
    // A new interval replaces the old one.
    SetTimer(hwnd, 12587, 15000);
    Advance(10);
    SetTimer(hwnd, 12587, 5000);
    Advance(4);
    EXPECT_TRUE(Fired().empty());
    Advance(1);
    EXPECT_EQ(Fired(), (std::vector<WParam>{12587}));
}

TEST_F(WindowTimerTest, KillStopsEvenADueTimer) {
    Hwnd hwnd = MakeWindow();
    SetTimer(hwnd, 3, 1000);
    SetTimer(hwnd, 4, 1000);
    Advance(2);
    EXPECT_TRUE(KillTimer(hwnd, 3));
    EXPECT_EQ(Fired(), (std::vector<WParam>{4}));
    EXPECT_FALSE(KillTimer(hwnd, 3));
    Advance(10);
    EXPECT_EQ(Fired(), (std::vector<WParam>{4}));
}

// Kills its timer when it fires, as a debounce does.
LResult OneShotProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == WM_TIMER) {
        KillTimer(hwnd, static_cast<uint32_t>(wParam));
        Recorder::Instance().Add(message, wParam);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

TEST_F(WindowTimerTest, KilledInItsHandlerFiresOnce) {
    WndClass wc;
    wc.className = u"OneShot";
    wc.proc = &OneShotProc;
    RegisterClass(wc);
    Hwnd hwnd = CreateWindow(u"OneShot", u"", 0, 0, 0, 1, 1, Hwnd{});
    ASSERT_TRUE(hwnd);
    made_.push_back(hwnd);

    // Three changes 2 s apart, each arming the timer for 5 s: one firing,
    // 5 s after the last.
    SetTimer(hwnd, 12587, 5000);
    Advance(2);
    SetTimer(hwnd, 12587, 5000);
    Advance(2);
    SetTimer(hwnd, 12587, 5000);
    Advance(4);
    EXPECT_TRUE(Fired().empty());
    Advance(1);
    EXPECT_EQ(Fired(), (std::vector<WParam>{12587}));
    Advance(60);
    EXPECT_TRUE(Fired().empty());
}

TEST_F(WindowTimerTest, DestroyedWindowTakesItsTimersAndBadWindowsAreRefused) {
    Hwnd hwnd = CreateWindow(u"Recording", u"", 0, 0, 0, 1, 1, Hwnd{});
    ASSERT_TRUE(hwnd);
    SetTimer(hwnd, 1, 1000);
    Recorder::Instance().Take();
    EXPECT_TRUE(DestroyWindow(hwnd));
    Advance(5);
    PumpMessagesUntilIdle();
    std::vector<Seen> seen = Recorder::Instance().Take();
    EXPECT_EQ(seen, (std::vector<Seen>{{WM_DESTROY, 0}}));
    EXPECT_EQ(SetTimer(hwnd, 1, 1000), 0u);
    EXPECT_EQ(GetLastError(), kErrorInvalidWindowHandle);
}

TEST_F(WindowTimerTest, ThreadTimerWithoutWindow) {
    uint32_t id = SetTimer(Hwnd{}, 0, 1000);
    ASSERT_NE(id, 0u);
    // Naming it again restarts it rather than making another.
    EXPECT_EQ(SetTimer(Hwnd{}, id, 1000), id);
    Advance(1);
    Msg msg;
    ASSERT_TRUE(PeekMessage(&msg, Hwnd{}, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.wParam, id);
    EXPECT_FALSE(msg.hwnd);
    EXPECT_FALSE(PeekMessage(&msg, Hwnd{}, 0, 0, PM_REMOVE));
    EXPECT_TRUE(KillTimer(Hwnd{}, id));
}

// A thread that waits in GetMessage for its window's timer and reports the
// first WM_TIMER.
class WaitingThread {
public:
    explicit WaitingThread(uint32_t intervalMs) {
        thread_ = std::thread([this, intervalMs] {
            Hwnd w = CreateWindow(u"Recording", u"", 0, 0, 0, 1, 1, Hwnd{});
            SetTimer(w, 9, intervalMs);
            ready_ = true;
            Msg msg;
            while (GetMessage(&msg, Hwnd{}, 0, 0) > 0) {
                if (msg.message == WM_TIMER) {
                    fired_ = true;
                    break;
                }
            }
            DestroyWindow(w);
        });
        while (!ready_.load()) std::this_thread::yield();
    }
    // Waits (up to a minute, a hang guard) for the timer.
    bool WaitFired() {
        for (int i = 0; i < 6000 && !fired_.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        bool fired = fired_.load();
        if (fired) thread_.join();
        else thread_.detach();
        return fired;
    }
    bool fired() const { return fired_.load(); }

private:
    std::atomic<bool> ready_{false};  // window and timer made
    std::atomic<bool> fired_{false};  // WM_TIMER arrived
    std::thread thread_;
};

TEST_F(WindowTimerTest, MovingTheVirtualClockWakesAWaitingLoop) {
    WaitingThread waiting(30000);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(waiting.fired());
    Advance(30);
    WakeMessageLoops();
    EXPECT_TRUE(waiting.WaitFired());
}

TEST_F(WindowTimerTest, FrozenDeviceClockMovedByTheConsoleWakesLoops) {
    UseDeviceClock();
    ASSERT_TRUE(FreezeClock());
    WaitingThread waiting(60000);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(waiting.fired());
    ASSERT_TRUE(AdvanceClock(61));
    BroadcastClockChanged();
    EXPECT_TRUE(waiting.WaitFired());
}

TEST_F(WindowTimerTest, RunningDeviceClockFiresOnItsOwn) {
    UseDeviceClock();
    ASSERT_TRUE(ThawClock());
    WaitingThread waiting(50);
    EXPECT_TRUE(waiting.WaitFired());
}

}  // namespace
