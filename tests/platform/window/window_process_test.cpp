// Windows of another process: found in the device's window table by class
// and title, sent, notified and posted to over the process sockets, closed
// with WM_CLOSE; a window of a process that ended does not count.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/storage/device.h"
#include "platform/storage/journal.h"
#include "platform/kernel/last_error.h"
#include "window_test_support.h"

namespace {

using namespace plat;

constexpr uint32_t kDouble = WM_USER + 1;     // answers wParam * 2
constexpr uint32_t kLogEntry = WM_USER + 3;   // answers log entry wParam (message * 1000 + its wParam), -1 past the end
constexpr uint32_t kLogSize = WM_USER + 4;    // answers the number of log entries
constexpr uint32_t kPostedA = WM_USER + 5;    // logged
constexpr uint32_t kNotified = WM_USER + 6;   // logged
constexpr uint32_t kPostedB = WM_USER + 7;    // logged
constexpr uint32_t kAskBack = WM_USER + 8;    // sends kAnswer to the window in wParam, answers that + 1
constexpr uint32_t kDie = WM_USER + 9;        // the process ends without answering
constexpr uint32_t kAnswer = WM_USER + 20;    // the parent's window answers 41

// The child's log of messages (a forked child has its own copy).
std::vector<int64_t> g_childLog;

LResult ChildProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
    case kDouble: return static_cast<LResult>(wParam * 2);
    case kLogEntry: return wParam < g_childLog.size() ? g_childLog[wParam] : -1;
    case kLogSize: return static_cast<LResult>(g_childLog.size());
    case kPostedA:
    case kNotified:
    case kPostedB: g_childLog.push_back(static_cast<int64_t>(message) * 1000 + static_cast<int64_t>(wParam)); return 0;
    case kAskBack: return SendMessage(Hwnd{static_cast<uint64_t>(wParam)}, kAnswer, 0, 0) + 1;
    case kDie: _exit(3);
    case WM_DESTROY: PostQuitMessage(7); return 0;
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

LResult ParentProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    if (message == kAnswer) return 41;
    return DefWindowProc(hwnd, message, wParam, lParam);
}

// Runs in the forked child: one window, its loop, then the loop's code as
// exit code. With holdFd, waits for a byte on it after making the window and
// ends without destroying it (as a crashed program).
[[noreturn]] void ChildMain(int holdFd) {
    UseDeviceClock();
    SetProgramName("child");
    WndClass wc;
    wc.className = u"ProcTest";
    wc.proc = &ChildProc;
    RegisterClass(wc);
    Hwnd hwnd = CreateWindow(u"ProcTest", u"Proc Window", 0, 0, 50, 0, 50, Hwnd{});
    if (!hwnd) _exit(20);
    if (holdFd >= 0) {
        char byte;
        while (read(holdFd, &byte, 1) < 0 && errno == EINTR) {
        }
        _exit(0);
    }
    _exit(RunMessageLoop());
}

class WindowProcessTest : public wintest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        UseDeviceClock();
        WndClass wc;
        wc.className = u"ParentTest";
        wc.proc = &ParentProc;
        RegisterClass(wc);
    }
    void TearDown() override {
        if (child_ > 0) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
        WindowTest::TearDown();
    }
    // Starts the child and waits (a hang guard of 20 s) for its window.
    Hwnd StartChild(int holdFd = -1) {
        child_ = fork();
        if (child_ == 0) ChildMain(holdFd);
        for (int i = 0; i < 2000; ++i) {
            Hwnd found = FindWindow(u"ProcTest", nullptr);
            if (found) return found;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ADD_FAILURE() << "the child's window did not appear";
        return Hwnd{};
    }
    // Waits for the child to end; its exit code.
    int Reap() {
        int status = 0;
        waitpid(child_, &status, 0);
        child_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    pid_t child_ = -1;  // the forked child, -1 when none runs
};

TEST_F(WindowProcessTest, FoundByClassThenTitleAndAnswersSends) {
    Hwnd hwnd = StartChild();
    ASSERT_TRUE(hwnd);
    EXPECT_TRUE(FindWindow(nullptr, u"Proc Window") == hwnd);
    EXPECT_TRUE(FindWindow(u"proctest", u"PROC WINDOW") == hwnd);
    EXPECT_FALSE(FindWindow(u"ProcTest", u"Other"));
    EXPECT_TRUE(IsWindow(hwnd));
    uint32_t pid = 0;
    EXPECT_NE(GetWindowThreadProcessId(hwnd, &pid), 0u);
    EXPECT_EQ(static_cast<pid_t>(pid), child_);
    EXPECT_EQ(GetWindowText(hwnd), u"Proc Window");
    EXPECT_EQ(GetClassName(hwnd), u"ProcTest");
    Rect rect;
    ASSERT_TRUE(GetWindowRect(hwnd, &rect));
    EXPECT_EQ(rect.top, 50);
    EXPECT_EQ(rect.bottom, 100);
    // Changes belong to the owner.
    EXPECT_FALSE(SetWindowText(hwnd, u"Mine"));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);

    EXPECT_EQ(SendMessage(hwnd, kDouble, 21, 0), 42);
    std::vector<std::string> journal = JournalRead();
    EXPECT_TRUE(std::any_of(journal.begin(), journal.end(), [](const std::string& line) {
        return line.find("message 1025 to ProcTest (21, 0)") != std::string::npos;
    }));

    // Messages whose parameters are pointers never leave the process.
    EXPECT_EQ(SendMessage(hwnd, WM_SETTEXT, 0, 0), 0);
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    EXPECT_FALSE(PostMessage(hwnd, WM_QUIT, 0, 0));

    // The child asks a window of this process back while this thread waits
    // for its answer.
    Hwnd mine = CreateWindow(u"ParentTest", u"", 0, 0, 0, 1, 1, Hwnd{});
    ASSERT_TRUE(mine);
    made_.push_back(mine);
    EXPECT_EQ(SendMessage(hwnd, kAskBack, mine.value, 0), 42);

    // WM_CLOSE: the default handling destroys the window, its WM_DESTROY
    // ends the loop with code 7.
    EXPECT_TRUE(PostMessage(hwnd, WM_CLOSE, 0, 0));
    EXPECT_EQ(Reap(), 7);
    EXPECT_FALSE(FindWindow(u"ProcTest", nullptr));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(PostMessage(hwnd, kPostedA, 0, 0));
    EXPECT_EQ(GetLastError(), kErrorInvalidWindowHandle);
}

TEST_F(WindowProcessTest, NotifiedAndPostedMessagesArriveInOrder) {
    Hwnd hwnd = StartChild();
    ASSERT_TRUE(hwnd);
    const int kRounds = 20;
    for (int i = 0; i < kRounds; ++i) {
        ASSERT_TRUE(PostMessage(hwnd, kPostedA, static_cast<WParam>(i), 0));
        ASSERT_TRUE(SendNotifyMessage(hwnd, kNotified, static_cast<WParam>(i), 0));
        ASSERT_TRUE(PostMessage(hwnd, kPostedB, static_cast<WParam>(i), 0));
    }
    // Sent messages go before posted ones: wait (hang guard 20 s) until the
    // posted ones are handled too.
    for (int i = 0; i < 2000 && SendMessage(hwnd, kLogSize, 0, 0) < 3 * kRounds; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(SendMessage(hwnd, kLogSize, 0, 0), 3 * kRounds);
    std::vector<int64_t> posted;
    std::vector<int64_t> notified;
    for (int i = 0; i < 3 * kRounds; ++i) {
        int64_t entry = SendMessage(hwnd, kLogEntry, static_cast<WParam>(i), 0);
        (entry / 1000 == kNotified ? notified : posted).push_back(entry);
    }
    std::vector<int64_t> expectedPosted;
    std::vector<int64_t> expectedNotified;
    for (int i = 0; i < kRounds; ++i) {
        expectedPosted.push_back(kPostedA * 1000 + i);
        expectedPosted.push_back(kPostedB * 1000 + i);
        expectedNotified.push_back(kNotified * 1000 + i);
    }
    EXPECT_EQ(posted, expectedPosted);
    EXPECT_EQ(notified, expectedNotified);
}

TEST_F(WindowProcessTest, WindowOfAProcessThatEndedDoesNotCount) {
    int hold[2];
    ASSERT_EQ(pipe(hold), 0);
    Hwnd hwnd = StartChild(hold[0]);
    close(hold[0]);
    ASSERT_TRUE(hwnd);
    // The child ends without destroying its window; it is not yet reaped.
    ASSERT_EQ(write(hold[1], "x", 1), 1);
    close(hold[1]);
    siginfo_t info{};
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(child_), &info, WEXITED | WNOWAIT), 0);
    EXPECT_FALSE(FindWindow(u"ProcTest", nullptr));
    EXPECT_FALSE(FindWindow(nullptr, u"Proc Window"));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(SendMessage(hwnd, kDouble, 1, 0), 0);
    EXPECT_EQ(GetLastError(), kErrorInvalidWindowHandle);
    EXPECT_FALSE(SendNotifyMessage(hwnd, kNotified, 0, 0));
    for (Hwnd listed : ListTopLevelWindows()) EXPECT_FALSE(listed == hwnd);
    EXPECT_EQ(Reap(), 0);
}

TEST_F(WindowProcessTest, SendToAProcessThatEndsBeforeAnsweringFails) {
    Hwnd hwnd = StartChild();
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(SendMessage(hwnd, kDie, 0, 0), 0);
    EXPECT_EQ(GetLastError(), kErrorInvalidWindowHandle);
    EXPECT_EQ(Reap(), 3);
}

}  // namespace
