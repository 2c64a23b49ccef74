#include "platform/shell/soft_reset.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "base/text.h"
#include "platform/process/host_process.h"
#include "platform/storage/journal.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/shell/startup_programs.h"
#include "platform/process/toolhelp.h"

namespace plat {
namespace {

// How long programs get to end after SIGTERM before they are killed, and
// how long a killed program may take to disappear.
constexpr auto kTermGrace = std::chrono::milliseconds(3000);
constexpr auto kKillGrace = std::chrono::milliseconds(2000);
// A resetting process that has not finished after this many seconds ends
// itself (it must never linger).
constexpr unsigned kResetLimitSeconds = 60;

// A device program that runs now.
struct RunningProgram {
    uint32_t processId = 0;  // host process id
    std::u16string path;     // its device path
};

std::vector<RunningProgram> RunningDevicePrograms() {
    std::vector<RunningProgram> programs;
    Handle snapshot = CreateToolhelp32Snapshot(kTh32csSnapProcess, 0);
    if (!snapshot) return programs;
    uint32_t self = static_cast<uint32_t>(::getpid());
    ProcessEntry32 entry;
    for (bool more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.processId != self && !entry.exePath.empty()) programs.push_back({entry.processId, entry.exePath});
    }
    CloseToolhelp32Snapshot(snapshot);
    return programs;
}

// Waits until none of the programs runs or the grace period ends; returns
// those still running.
std::vector<RunningProgram> WaitUntilGone(std::vector<RunningProgram> programs, std::chrono::milliseconds grace) {
    auto deadline = std::chrono::steady_clock::now() + grace;
    while (true) {
        std::erase_if(programs, [](const RunningProgram& p) { return !HostProcessRunning(static_cast<pid_t>(p.processId)); });
        if (programs.empty() || std::chrono::steady_clock::now() >= deadline) return programs;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void SignalAll(const std::vector<RunningProgram>& programs, int signal) {
    for (const RunningProgram& p : programs) ::kill(static_cast<pid_t>(p.processId), signal);
}

}  // namespace

std::vector<uint32_t> RestartDevicePrograms() {
    std::vector<RunningProgram> programs = RunningDevicePrograms();
    for (const RunningProgram& p : programs)
        JournalAppend("reset ends " + tlw::Utf16ToUtf8(p.path) + " (" + std::to_string(p.processId) + ")");
    SignalAll(programs, SIGTERM);
    programs = WaitUntilGone(std::move(programs), kTermGrace);
    SignalAll(programs, SIGKILL);
    WaitUntilGone(std::move(programs), kKillGrace);
    return StartStartupPrograms();
}

bool RequestSoftReset() {
    JournalAppend("soft reset");
    pid_t child = ::fork();
    if (child < 0) {
        JournalAppend("soft reset failed");
        return false;
    }
    if (child == 0) {
        // A session of its own, and orphaned at once through a second fork,
        // so that the reset outlives the program that asked for it and
        // leaves no child behind in it.
        ::setsid();
        pid_t resetter = ::fork();
        if (resetter != 0) ::_exit(resetter < 0 ? 1 : 0);
        ::alarm(kResetLimitSeconds);
        RestartDevicePrograms();
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        JournalAppend("soft reset failed");
        return false;
    }
    return true;
}

}  // namespace plat
