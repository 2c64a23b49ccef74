// `tlwsim sync` and `tlwsim halt` against programs (forked children with a
// window and a message loop) on a temporary device.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "platform/kernel/clock.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "support/run_program.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

constexpr uint32_t kSlow = WM_USER + 1;   // takes a while, then counts
constexpr uint32_t kCount = WM_USER + 2;  // answers the count

int g_handled = 0;  // kSlow messages handled (in the child)

LResult ProgramProc(Hwnd hwnd, uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
    case kSlow:
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ++g_handled;
        return 0;
    case kCount: return g_handled;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

class SyncHaltCommandTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (pid_t pid : children_) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    // Runs "tlwsim COMMAND DIR ARGS...", its standard error merged into the output.
    ProgramResult Run(const std::string& command, std::initializer_list<std::string> args = {}) {
        return TlwsimCommand(command, device_.Root().string(), args, ErrorStream::kMerged);
    }
    // Starts a program with one window of the class; waits (hang guard 20 s)
    // until the window can be found.
    Hwnd StartProgram(const char16_t* className) {
        pid_t pid = fork();
        if (pid == 0) {
            UseDeviceClock();
            WndClass wc;
            wc.className = className;
            wc.proc = &ProgramProc;
            RegisterClass(wc);
            if (!CreateWindow(className, className, 0, 0, 0, 0, 0, Hwnd{})) _exit(20);
            _exit(RunMessageLoop());
        }
        children_.push_back(pid);
        for (int i = 0; i < 2000; ++i) {
            Hwnd found = FindWindow(className, nullptr);
            if (found) return found;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ADD_FAILURE() << "the program's window did not appear";
        return Hwnd{};
    }
    // Whether the child has ended (reaping it).
    bool Ended(pid_t pid) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) != pid) return false;
        children_.erase(std::find(children_.begin(), children_.end(), pid));
        return true;
    }

    TempDevice device_;
    std::vector<pid_t> children_;  // forked programs still to reap
};

TEST_F(SyncHaltCommandTest, SyncReturnsAfterEverySentMessageIsHandled) {
    Hwnd engine = StartProgram(u"Tallowd");
    ASSERT_TRUE(engine);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(SendNotifyMessage(engine, kSlow, 0, 0));
    ProgramResult run = Run("sync");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(SendMessage(engine, kCount, 0, 0), 3);

    // Another class by name.
    Hwnd other = StartProgram(u"Tlwconfig");
    ASSERT_TRUE(other);
    ASSERT_TRUE(SendNotifyMessage(other, kSlow, 0, 0));
    EXPECT_EQ(Run("sync", {"Tlwconfig"}).exitCode, 0);
    EXPECT_EQ(SendMessage(other, kCount, 0, 0), 1);
}

TEST_F(SyncHaltCommandTest, SyncWithoutSuchWindowFails) {
    ProgramResult run = Run("sync");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("no window of class 'Tallowd'"), std::string::npos) << run.output;
    EXPECT_EQ(Run("sync", {"Tallowd", "extra"}).exitCode, 2);
}

TEST_F(SyncHaltCommandTest, HaltClosesEveryProgramAndWaitsForItsEnd) {
    ASSERT_TRUE(StartProgram(u"Tallowd"));
    ASSERT_TRUE(StartProgram(u"Tlwconfig"));
    ProgramResult run = Run("halt");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("ended Tallowd"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("ended Tlwconfig"), std::string::npos) << run.output;
    // Both have ended when halt returns (they may still wait to be reaped).
    std::vector<pid_t> started = children_;
    for (pid_t pid : started) {
        siginfo_t info{};
        EXPECT_EQ(waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT), 0);
        EXPECT_EQ(info.si_pid, pid);
        EXPECT_TRUE(Ended(pid));
    }
    EXPECT_FALSE(FindWindow(u"Tallowd", nullptr));
    // Nothing left to halt: nothing to do.
    EXPECT_EQ(Run("halt").exitCode, 0);
}

}  // namespace
