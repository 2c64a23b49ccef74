// Device programs as processes: starting one (this test program, linked into
// the device, plays it), its command line and environment, waiting, exit
// codes, termination and the snapshot of the device's processes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/storage/device.h"
#include "platform/storage/journal.h"
#include "platform/kernel/kernel_errors.h"
#include "platform/process/process.h"
#include "platform/process/process_liveness.h"
#include "platform/kernel/threads.h"
#include "platform/process/toolhelp.h"
#include "platform/kernel/wait.h"
#include "support/run_program.h"
#include "support/store_sql.h"
#include "support/temp_device.h"
#include "support/test_program.h"

namespace {

const bool g_actingAsProgram = ActAsDeviceProgramWhenStartedAsOne();

using plat::Handle;

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LinkTestProgram(u"\\Windows\\child.exe")); }

    // Starts the linked program; fails the test when it does not start.
    plat::ProcessInformation Start(std::u16string_view commandLine, std::u16string_view name = u"\\Windows\\child.exe") {
        plat::ProcessInformation info{};
        EXPECT_TRUE(plat::CreateProcess(name, commandLine, 0, &info)) << plat::GetLastError();
        return info;
    }

    // The processes of the snapshot with this id, and the threads they own.
    static void Find(uint32_t pid, int* processes, int* threads, std::u16string* exePath) {
        *processes = *threads = 0;
        Handle snapshot = plat::CreateToolhelp32Snapshot(plat::kTh32csSnapProcess | plat::kTh32csSnapThread, 0);
        ASSERT_TRUE(snapshot);
        plat::ProcessEntry32 process;
        for (bool more = plat::Process32First(snapshot, &process); more; more = plat::Process32Next(snapshot, &process)) {
            if (process.processId != pid) continue;
            ++*processes;
            *exePath = process.exePath;
        }
        plat::ThreadEntry32 thread;
        for (bool more = plat::Thread32First(snapshot, &thread); more; more = plat::Thread32Next(snapshot, &thread))
            if (thread.ownerProcessId == pid) ++*threads;
        EXPECT_TRUE(plat::CloseToolhelp32Snapshot(snapshot));
    }

    // How many processes of "\\Windows\\child.exe" the device has.
    static int ChildProcesses() {
        int count = 0;
        Handle snapshot = plat::CreateToolhelp32Snapshot(plat::kTh32csSnapProcess, 0);
        plat::ProcessEntry32 process;
        for (bool more = plat::Process32First(snapshot, &process); more; more = plat::Process32Next(snapshot, &process))
            count += process.exePath == u"\\Windows\\child.exe";
        plat::CloseToolhelp32Snapshot(snapshot);
        return count;
    }

    TempDevice device_;
};

TEST_F(ProcessTest, CommandLineArrivesWholeWithTheDevice) {
    const std::u16string line = u"say \"hello  world\" 'single' \\back\\slash \u00e9t\u00e9";
    plat::ProcessInformation info = Start(line);
    ASSERT_TRUE(info.process);
    EXPECT_EQ(plat::WaitForSingleObject(info.process, 30000), plat::kWaitObject0);
    TestProgramReport report;
    ASSERT_TRUE(ReadTestProgramReport(&report));
    EXPECT_EQ(report.commandLine, "say \"hello  world\" 'single' \\back\\slash \xc3\xa9t\xc3\xa9");
    EXPECT_TRUE(std::filesystem::equivalent(report.device, device_.Root()));
    EXPECT_EQ(report.program, "\\Windows\\child.exe");
    std::vector<std::string> journal = plat::JournalRead();
    ASSERT_FALSE(journal.empty());
    EXPECT_NE(journal.back().find(" start \\Windows\\child.exe say \"hello  world\""), std::string::npos)
        << journal.back();
    plat::CloseHandle(info.thread);
    plat::CloseHandle(info.process);
}

// Another connection holds the device store's write lock, so that the
// journal's start line waits for it. While the start line waits there, the
// program must not run yet: whatever it does comes after its start.
TEST_F(ProcessTest, TheStartIsJournalledBeforeTheProgramRuns) {
    StoreWriteLock busy(device_.Root());

    std::atomic<pid_t> starter{0};
    plat::ProcessInformation info{};
    bool started = false;
    std::thread start([&] {
        starter = static_cast<pid_t>(::syscall(SYS_gettid));
        started = plat::CreateProcess(u"\\Windows\\child.exe", u"wait", 0, &info);
    });
    // The starting thread waits for the store (the busy handler sleeps).
    auto waiting = [&] {
        if (starter == 0) return false;
        std::ifstream call("/proc/self/task/" + std::to_string(starter.load()) + "/syscall");
        std::string number;
        call >> number;
        return number == std::to_string(SYS_clock_nanosleep) || number == std::to_string(SYS_nanosleep);
    };
    EXPECT_TRUE(WaitUntil(waiting, 5000));
    EXPECT_EQ(ChildProcesses(), 0);

    // Letting the store go lets the start go on.
    busy.Release();
    start.join();
    std::vector<std::string> journal = plat::JournalRead();
    ASSERT_FALSE(journal.empty());
    EXPECT_NE(journal.back().find(" start \\Windows\\child.exe wait"), std::string::npos) << journal.back();
    ASSERT_TRUE(started);
    EXPECT_EQ(ChildProcesses(), 1);
    EXPECT_TRUE(plat::TerminateProcess(info.process, 1));
    plat::CloseHandle(info.thread);
    plat::CloseHandle(info.process);
}

TEST_F(ProcessTest, WaitAndExitCode) {
    plat::ProcessInformation info = Start(u"exit 7");
    ASSERT_TRUE(info.process);
    EXPECT_EQ(plat::GetProcessId(info.process), info.processId);
    EXPECT_EQ(plat::WaitForSingleObject(info.thread, 30000), plat::kWaitObject0);
    uint32_t code = 0;
    ASSERT_TRUE(plat::GetExitCodeProcess(info.process, &code));
    EXPECT_EQ(code, 7u);
    ASSERT_TRUE(plat::GetExitCodeProcess(info.process, &code));  // asked again: the same
    EXPECT_EQ(code, 7u);
    EXPECT_FALSE(plat::TerminateProcess(info.process, 1));  // already ended
    plat::CloseHandle(info.thread);
    plat::CloseHandle(info.process);
}

TEST_F(ProcessTest, BareNameIsFoundInTheWindowsFolder) {
    plat::ProcessInformation info = Start(u"exit 3", u"CHILD");
    ASSERT_TRUE(info.process);
    EXPECT_EQ(plat::WaitForSingleObject(info.process, 30000), plat::kWaitObject0);
    uint32_t code = 0;
    EXPECT_TRUE(plat::GetExitCodeProcess(info.process, &code));
    EXPECT_EQ(code, 3u);
    plat::CloseHandle(info.thread);
    plat::CloseHandle(info.process);
}

TEST_F(ProcessTest, SnapshotSeesALiveProcessAndNotAnEndedOne) {
    plat::ProcessInformation info = Start(u"wait");
    ASSERT_TRUE(info.process);
    uint32_t code = 0;
    ASSERT_TRUE(plat::GetExitCodeProcess(info.process, &code));
    EXPECT_EQ(code, plat::kStillActive);
    EXPECT_EQ(plat::WaitForSingleObject(info.process, 100), plat::kWaitTimeout);

    int processes = 0, threads = 0;
    std::u16string exePath;
    Find(info.processId, &processes, &threads, &exePath);
    EXPECT_EQ(processes, 1);
    EXPECT_GE(threads, 1);
    EXPECT_EQ(exePath, u"\\Windows\\child.exe");
    EXPECT_TRUE(plat::IsDeviceProcessAlive(info.processId));
    Find(plat::GetCurrentProcessId(), &processes, &threads, &exePath);
    EXPECT_EQ(processes, 1);  // the caller is on its device

    ASSERT_TRUE(plat::TerminateProcess(info.process, 42));
    EXPECT_EQ(plat::WaitForSingleObject(info.process, 30000), plat::kWaitObject0);
    // Ended but not yet reaped: already gone from the device's view.
    EXPECT_FALSE(plat::IsDeviceProcessAlive(info.processId));
    Find(info.processId, &processes, &threads, &exePath);
    EXPECT_EQ(processes, 0);
    EXPECT_EQ(threads, 0);
    ASSERT_TRUE(plat::GetExitCodeProcess(info.process, &code));
    EXPECT_EQ(code, 42u);
    std::vector<std::string> journal = plat::JournalRead();
    ASSERT_FALSE(journal.empty());
    EXPECT_NE(journal.back().find("terminate \\Windows\\child.exe"), std::string::npos) << journal.back();
    plat::CloseHandle(info.thread);
    plat::CloseHandle(info.process);
}

TEST_F(ProcessTest, OpenedProcessCanBeWaitedForAndEnded) {
    uint32_t pid = 0;
    Handle started = plat::ShellExecute(u"\"\\Windows\\child.exe\"", u"wait", &pid);
    ASSERT_TRUE(started);
    ASSERT_NE(pid, 0u);
    plat::CloseHandle(started);  // the process runs on without a handle
    EXPECT_TRUE(plat::IsDeviceProcessAlive(pid));
    Handle opened = plat::OpenProcess(pid);
    ASSERT_TRUE(opened);
    EXPECT_EQ(plat::WaitForSingleObject(opened, 50), plat::kWaitTimeout);
    ASSERT_TRUE(plat::TerminateProcess(opened, 5));
    EXPECT_EQ(plat::WaitForSingleObject(opened, 30000), plat::kWaitObject0);
    EXPECT_FALSE(plat::IsDeviceProcessAlive(pid));
    plat::CloseHandle(opened);
    EXPECT_FALSE(plat::OpenProcess(0));
}

TEST_F(ProcessTest, FilesThatAreNoProgramsFailCleanly) {
    plat::ProcessInformation info{};
    EXPECT_FALSE(plat::CreateProcess(u"\\Windows\\missing.exe", u"", 0, &info));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorFileNotFound);

    std::ofstream(device_.Root() / "Windows" / "notes.exe") << "text";
    EXPECT_FALSE(plat::CreateProcess(u"\\Windows\\notes.exe", u"", 0, &info));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorBadExeFormat);

    std::filesystem::create_symlink(device_.Root() / "not-built-yet", device_.Root() / "Windows" / "later.exe");
    EXPECT_FALSE(plat::CreateProcess(u"\\Windows\\later.exe", u"", 0, &info));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorBadExeFormat);

    std::filesystem::create_directory(device_.Root() / "Windows" / "folder.exe");
    EXPECT_FALSE(plat::CreateProcess(u"\\Windows\\folder.exe", u"", 0, &info));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorAccessDenied);

    EXPECT_FALSE(plat::CreateProcess(u"\\..\\escape.exe", u"", 0, &info));
    EXPECT_FALSE(plat::ShellExecute(u"\\Windows\\notes.exe", u"", nullptr));
    EXPECT_FALSE(info.process);
    for (const std::string& line : plat::JournalRead()) EXPECT_EQ(line.find(" start "), std::string::npos) << line;
}

}  // namespace

namespace {

// A child whose first thread ends while a second one keeps the process
// running: its leader shows as a zombie, yet the process is alive until the
// second thread ends it.
TEST(ProcessLivenessTest, AZombieLeaderWithARunningThreadIsAlive) {
    int release[2];
    ASSERT_EQ(::pipe(release), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(release[1]);
        static int readEnd;
        readEnd = release[0];
        pthread_t thread;
        pthread_create(&thread, nullptr, [](void*) -> void* {
            char c;
            (void)::read(readEnd, &c, 1);  // until the test lets go
            _exit(0);
        }, nullptr);
        ::syscall(SYS_exit, 0);  // ends this thread only, without unwinding
    }
    ::close(release[0]);
    uint64_t start = plat::ProcessStartTime(pid);
    ASSERT_NE(start, 0u);
    // Wait until the leader's own thread has ended.
    auto state = [pid] {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text;
        std::getline(stat, text);
        size_t close = text.rfind(')');
        return close == std::string::npos || close + 2 >= text.size() ? '?' : text[close + 2];
    };
    for (int i = 0; i < 2000 && state() != 'Z'; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(state(), 'Z');
    EXPECT_TRUE(plat::ProcessAlive(pid, start));

    ::close(release[1]);
    siginfo_t info{};
    ASSERT_EQ(::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT), 0);
    // Ended but not reaped yet: no longer alive.
    EXPECT_FALSE(plat::ProcessAlive(pid, start));
    ::waitpid(pid, nullptr, 0);
}

}  // namespace
