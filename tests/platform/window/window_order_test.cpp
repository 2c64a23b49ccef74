// The order in which a thread's queue hands out messages: sent before
// posted, then WM_QUIT, then paint, then due timers; and the handling of
// messages sent between threads.
#include <atomic>
#include <thread>

#include "platform/kernel/last_error.h"
#include "platform/message/timers.h"
#include "window_test_support.h"

namespace {

using namespace plat;
using wintest::Recorder;
using wintest::Seen;

class WindowOrderTest : public wintest::WindowTest {};

// Runs a GetMessage loop until WM_QUIT, recording the quit with its code
// after what the procedure saw.
void LoopUntilQuit() {
    Msg msg;
    while (GetMessage(&msg, Hwnd{}, 0, 0) > 0) DispatchMessage(&msg);
    Recorder::Instance().Add(WM_QUIT, msg.wParam);
}

TEST_F(WindowOrderTest, SentBeforePostedThenQuitThenPaintThenTimer) {
    Hwnd hwnd = MakeWindow(u"Order", WS_VISIBLE);  // visible: needs its first paint
    ASSERT_EQ(SetTimer(hwnd, 7, 1000), 7u);
    ASSERT_TRUE(AdvanceClock(2));  // the timer is due
    ASSERT_TRUE(PostMessage(hwnd, WM_USER + 1, 1, 0));
    ASSERT_TRUE(PostMessage(hwnd, WM_USER + 2, 2, 0));
    PostQuitMessage(3);
    // Sent from another thread after everything else: they still come first.
    std::thread other([hwnd] {
        EXPECT_TRUE(SendNotifyMessage(hwnd, WM_USER + 10, 10, 0));
        EXPECT_TRUE(SendNotifyMessage(hwnd, WM_USER + 11, 11, 0));
    });
    other.join();
    ASSERT_TRUE(PostMessage(hwnd, WM_USER + 3, 3, 0));

    LoopUntilQuit();
    // Paint and timer messages are made on demand once nothing else waits.
    PumpMessagesUntilIdle();
    std::vector<Seen> expected = {
        {WM_USER + 10, 10}, {WM_USER + 11, 11},                  // sent, in order
        {WM_USER + 1, 1},   {WM_USER + 2, 2},   {WM_USER + 3, 3},  // posted, in order
        {WM_QUIT, 3},                                            // then the quit
        {WM_PAINT, 0},                                           // then paint
        {WM_TIMER, 7},                                           // then the due timer
    };
    EXPECT_EQ(Recorder::Instance().Take(), expected);
}

TEST_F(WindowOrderTest, PaintAndTimerComeOnlyWhenNothingElseWaits) {
    Hwnd hwnd = MakeWindow(u"Quiet", WS_VISIBLE);
    SetTimer(hwnd, 1, 500);
    AdvanceClock(1);
    PostMessage(hwnd, WM_USER + 5, 5, 0);
    PumpMessagesUntilIdle();
    std::vector<Seen> expected = {{WM_USER + 5, 5}, {WM_PAINT, 0}, {WM_TIMER, 1}};
    EXPECT_EQ(Recorder::Instance().Take(), expected);

    // Painted once: no second WM_PAINT until invalidated again. A hidden
    // window gets none.
    PumpMessagesUntilIdle();
    EXPECT_TRUE(Recorder::Instance().Take().empty());
    InvalidateRect(hwnd, nullptr, false);
    ShowWindow(hwnd, SW_HIDE);
    PumpMessagesUntilIdle();
    EXPECT_TRUE(Recorder::Instance().Take().empty());
    ShowWindow(hwnd, SW_SHOW);
    PumpMessagesUntilIdle();
    EXPECT_EQ(Recorder::Instance().Take(), (std::vector<Seen>{{WM_PAINT, 0}}));
}

TEST_F(WindowOrderTest, FiltersLeaveOtherMessagesQueued) {
    Hwnd a = MakeWindow(u"A");
    Hwnd b = MakeWindow(u"B");
    PostMessage(a, WM_USER + 1, 1, 0);
    PostMessage(b, WM_USER + 2, 2, 0);
    PostMessage(a, WM_APP + 3, 3, 0);

    Msg msg;
    ASSERT_TRUE(PeekMessage(&msg, b, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2);
    ASSERT_TRUE(PeekMessage(&msg, Hwnd{}, WM_APP, WM_APP + 10, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_APP + 3);
    EXPECT_FALSE(PeekMessage(&msg, Hwnd{}, WM_APP, WM_APP + 10, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(&msg, Hwnd{}, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1);
    EXPECT_TRUE(msg.hwnd == a);
    ASSERT_TRUE(PeekMessage(&msg, Hwnd{}, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2);
    EXPECT_FALSE(PeekMessage(&msg, Hwnd{}, 0, 0, PM_REMOVE));
}

TEST_F(WindowOrderTest, QuitIsNotPostableAndThreadMessagesHaveNoWindow) {
    Hwnd hwnd = MakeWindow();
    EXPECT_FALSE(PostMessage(hwnd, WM_QUIT, 0, 0));
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);

    uint32_t pid = 0;
    uint32_t tid = GetWindowThreadProcessId(hwnd, &pid);
    ASSERT_NE(tid, 0u);
    ASSERT_TRUE(PostThreadMessage(tid, pid, WM_APP + 1, 9, 0));
    Msg msg;
    ASSERT_TRUE(PeekMessage(&msg, Hwnd{}, 0, 0, PM_REMOVE));
    EXPECT_FALSE(msg.hwnd);
    EXPECT_EQ(msg.message, WM_APP + 1);
    EXPECT_EQ(msg.wParam, 9u);
    EXPECT_FALSE(PostThreadMessage(tid + 100000, pid, WM_APP + 1, 0, 0));
}

// Answers 41 to WM_USER + 2; asked WM_USER + 4, asks the window in wParam
// for WM_USER + 2 and answers twice that. Its WM_DESTROY ends the loop.
LResult AnswerProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
    case WM_USER + 2: return 41;
    case WM_USER + 4: return SendMessage(Hwnd{static_cast<uint64_t>(wParam)}, WM_USER + 2, 0, 0) * 2;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// A thread with a window of class Answer and a loop until its window goes.
class AnswerThread {
public:
    AnswerThread() {
        thread_ = std::thread([this] {
            Hwnd w = CreateWindow(u"Answer", u"", 0, 0, 0, 10, 10, Hwnd{});
            window_ = w.value;
            RunMessageLoop();
        });
        while (window_.load() == 0) std::this_thread::yield();
    }
    ~AnswerThread() {
        if (thread_.joinable()) {
            PostMessage(window(), WM_CLOSE, 0, 0);
            thread_.join();
        }
    }
    Hwnd window() const { return Hwnd{window_.load()}; }
    void Join() { thread_.join(); }

private:
    std::atomic<uint64_t> window_{0};  // its window, 0 until made
    std::thread thread_;                // the thread
};

TEST_F(WindowOrderTest, SendBetweenThreadsWaitsAndHandlesSendsMeanwhile) {
    WndClass answer;
    answer.className = u"Answer";
    answer.proc = &AnswerProc;
    RegisterClass(answer);
    Hwnd mine = CreateWindow(u"Answer", u"", 0, 0, 0, 10, 10, Hwnd{});
    ASSERT_TRUE(mine);
    made_.push_back(mine);

    AnswerThread b;
    EXPECT_EQ(SendMessage(b.window(), WM_USER + 2, 0, 0), 41);
    // B asks the main thread's window back while the main thread waits for
    // B: the main thread answers from inside its SendMessage.
    EXPECT_EQ(SendMessage(b.window(), WM_USER + 4, mine.value, 0), 82);
    // And the other way round, on the main thread directly.
    EXPECT_EQ(SendMessage(mine, WM_USER + 4, b.window().value, 0), 82);
    EXPECT_FALSE(InSendMessage());

    // WM_CLOSE from another thread: the default handling destroys B's
    // window on B's thread, and its WM_DESTROY ends B's loop.
    Hwnd gone = b.window();
    EXPECT_TRUE(PostMessage(gone, WM_CLOSE, 0, 0));
    b.Join();
    EXPECT_FALSE(IsWindow(gone));
    EXPECT_EQ(SendMessage(gone, WM_USER + 2, 0, 0), 0);
    EXPECT_EQ(GetLastError(), kErrorInvalidWindowHandle);
    Recorder::Instance().Take();
}

TEST_F(WindowOrderTest, DestroyWindowFromAnotherThreadRunsOnTheOwner) {
    WndClass answer;
    answer.className = u"Answer";
    answer.proc = &AnswerProc;
    RegisterClass(answer);
    AnswerThread c;
    Hwnd w = c.window();
    uint32_t owner = GetWindowThreadProcessId(w, nullptr);
    EXPECT_NE(owner, GetWindowThreadProcessId(MakeWindow(), nullptr));
    EXPECT_TRUE(DestroyWindow(w));  // its WM_DESTROY, on C's thread, ends C's loop
    EXPECT_FALSE(IsWindow(w));
    c.Join();
    EXPECT_FALSE(DestroyWindow(w));
    EXPECT_EQ(GetLastError(), kErrorInvalidWindowHandle);
}

}  // namespace
