// Processes of device programs: starting them, their handles (pidfd-backed,
// so a wait is one poll()), exit codes and termination. Children whose
// handles are all closed before they end are reaped by one idle thread, so
// that they do not stay behind as zombies.
#include "platform/process/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/text.h"
#include "platform/storage/device.h"
#include "platform/process/host_process.h"
#include "platform/storage/journal.h"
#include "platform/kernel/kernel_object.h"
#include "platform/process/program_file.h"
#include "platform/storage/device_store.h"

extern char** environ;

namespace plat {
namespace {

// The process-descriptor calls, made directly: the C library's wrappers are
// not declared for C++ on every system.
int PidfdOpen(pid_t pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}
int PidfdKill(int pidfd) {
    return static_cast<int>(::syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0));
}

// Longest wait for a new program's environment to become readable.
constexpr int kEnvironmentWaitMs = 1000;

// Reaps children that nobody holds a handle of any more, as they end.
class Reaper {
public:
    // Takes over the descriptor of an unreaped child.
    void Adopt(int pidfd) {
        if (Reap(pidfd)) return;
        std::lock_guard<std::mutex> guard(mutex_);
        if (wakeFd_ < 0) {
            wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
            if (wakeFd_ < 0) {
                ::close(pidfd);  // the child stays a zombie until this process ends
                return;
            }
            try {
                std::thread([this] { Run(); }).detach();
            } catch (const std::system_error&) {
                ::close(wakeFd_);
                wakeFd_ = -1;
                ::close(pidfd);
                return;
            }
        }
        fds_.push_back(pidfd);
        uint64_t one = 1;
        if (::write(wakeFd_, &one, sizeof one) < 0) {
            // An eventfd only refuses at its maximum count; the thread is awake then anyway.
        }
    }

private:
    // Reaps the child when it has ended; true (descriptor closed) then.
    static bool Reap(int pidfd) {
        siginfo_t info{};
        if (::waitid(P_PIDFD, static_cast<id_t>(pidfd), &info, WEXITED | WNOHANG) == 0 && info.si_pid == 0)
            return false;  // still running
        ::close(pidfd);
        return true;
    }

    void Run() {
        for (;;) {
            std::vector<pollfd> polled;
            {
                std::lock_guard<std::mutex> guard(mutex_);
                polled.push_back({wakeFd_, POLLIN, 0});
                for (int fd : fds_) polled.push_back({fd, POLLIN, 0});
            }
            if (::poll(polled.data(), polled.size(), -1) < 0) continue;
            uint64_t count;
            if (::read(wakeFd_, &count, sizeof count) < 0) {
                // Nothing to read: woken by a child.
            }
            std::lock_guard<std::mutex> guard(mutex_);
            for (size_t i = 1; i < polled.size(); ++i) {
                if (!polled[i].revents || !Reap(polled[i].fd)) continue;
                for (auto it = fds_.begin(); it != fds_.end(); ++it) {
                    if (*it == polled[i].fd) {
                        fds_.erase(it);
                        break;
                    }
                }
            }
        }
    }

    std::mutex mutex_;      // guards the fields
    std::vector<int> fds_;  // pidfds of the children being watched
    int wakeFd_ = -1;       // eventfd that tells the thread of a new child; -1 before the first
};

Reaper& TheReaper() {
    static Reaper* reaper = new Reaper;  // never destroyed: its thread runs to the end of the process
    return *reaper;
}

// A process as the handles of this process see it.
struct ProcessCore {
    pid_t pid = 0;                  // host process id
    int pidfd = -1;                 // readable once the process has ended
    bool child = false;             // started by this process (its exit code can be had)
    std::u16string devicePath;      // the program's device path; empty when opened by id
    std::mutex mutex;               // guards the fields below
    bool reaped = false;            // the exit status has been collected
    uint32_t exitCode = kStillActive;  // valid once reaped
    bool terminated = false;        // TerminateProcess was called
    uint32_t terminateCode = 0;     // the code it was given

    ~ProcessCore() {
        if (pidfd < 0) return;
        if (child && !reaped)
            TheReaper().Adopt(pidfd);
        else
            ::close(pidfd);
    }

    bool Ended() {
        {
            std::lock_guard<std::mutex> guard(mutex);
            if (reaped) return true;
        }
        pollfd p{pidfd, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }

    // Collects the exit status of an ended child. Caller holds mutex.
    void TryReap() {
        if (!child || reaped) return;
        siginfo_t info{};
        if (::waitid(P_PIDFD, static_cast<id_t>(pidfd), &info, WEXITED | WNOHANG) != 0 || info.si_pid == 0) return;
        reaped = true;
        if (info.si_code == CLD_EXITED)
            exitCode = static_cast<uint32_t>(info.si_status);
        else if (terminated && info.si_status == SIGKILL)
            exitCode = terminateCode;
        else
            exitCode = 128u + static_cast<uint32_t>(info.si_status);
    }
};

// Children of this process by id, so that OpenProcess shares what
// CreateProcess knows.
struct ChildList {
    std::mutex mutex;                                      // guards children
    std::map<pid_t, std::weak_ptr<ProcessCore>> children;  // live cores by process id
};

ChildList& Children() {
    static ChildList* list = new ChildList;  // never destroyed: handles may close during exit
    return *list;
}

// A process or thread handle: signalled once the process has ended.
class ProcessEnd : public KernelObject {
public:
    explicit ProcessEnd(std::shared_ptr<ProcessCore> core) : core_(std::move(core)) {}
    int BeginWait() override { return core_->pidfd; }
    bool TryAcquire() override { return core_->Ended(); }
    ProcessCore& Core() { return *core_; }

private:
    std::shared_ptr<ProcessCore> core_;  // shared by every handle of the process
};

// The environment of a device program: this process's, with TLW_DEVICE and
// TLW_PROGRAM set.
std::vector<std::string> ProgramEnvironment(const std::u16string& devicePath) {
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) {
        std::string_view entry(*e);
        if (entry.rfind("TLW_DEVICE=", 0) == 0 || entry.rfind("TLW_PROGRAM=", 0) == 0) continue;
        env.emplace_back(entry);
    }
    env.push_back("TLW_DEVICE=" + DeviceRoot().string());
    env.push_back("TLW_PROGRAM=" + tlw::Utf16ToUtf8(devicePath));
    return env;
}

// Starts the executable; the child's id, or -1 with errno set.
pid_t Spawn(const ProgramFile& program, const std::string& commandLine) {
    std::string argv0 = tlw::Utf16ToUtf8(program.devicePath);
    std::vector<std::string> envStrings = ProgramEnvironment(program.devicePath);
    std::vector<char*> argv = {argv0.data(), const_cast<char*>(commandLine.c_str()), nullptr};
    std::vector<char*> envp;
    for (std::string& s : envStrings) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string log = (DeviceStateDir() / "programs.log").string();

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    int error = posix_spawn(&pid, program.executable.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return pid;
}

std::string JournalName(const ProcessCore& core) {
    return core.devicePath.empty() ? "pid " + std::to_string(core.pid) : tlw::Utf16ToUtf8(core.devicePath);
}

}  // namespace

bool CreateProcess(std::u16string_view imageName, std::u16string_view commandLine, uint32_t creationFlags,
                   ProcessInformation* info) {
    bool journalled = false;
    return CreateProcessJournalled(imageName, commandLine, creationFlags, info, &journalled);
}

bool CreateProcessJournalled(std::u16string_view imageName, std::u16string_view commandLine, uint32_t creationFlags,
                             ProcessInformation* info, bool* journalled) {
    store::EndBatch();  // the new program reads the changes made before
    (void)creationFlags;  // programs have no console; no other flag changes a start here
    *journalled = false;
    if (!info || DeviceRoot().empty()) {
        SetLastError(info ? kErrorPathNotFound : kErrorInvalidParameter);
        return false;
    }
    ProgramFile program;
    if (uint32_t error = FindProgramFile(imageName, &program); error != kErrorSuccess) {
        SetLastError(error);
        return false;
    }
    std::string line = tlw::Utf16ToUtf8(commandLine);
    if (line.find('\0') != std::string::npos) line.resize(line.find('\0'));  // the platform's strings end at NUL

    // The start goes into the journal before the program can run, so that
    // whatever the program does is journalled after it.
    std::string started = tlw::Utf16ToUtf8(program.devicePath) + (line.empty() ? "" : " " + line);
    JournalAppend("start " + started);
    *journalled = true;
    auto failed = [&](uint32_t error) {
        JournalAppend("start failed " + started + " (error " + std::to_string(error) + ")");
        SetLastError(error);
        return false;
    };

    ChildList& list = Children();
    std::lock_guard<std::mutex> guard(list.mutex);
    pid_t pid = Spawn(program, line);
    if (pid < 0) return failed(errno == ENOEXEC || errno == EACCES ? uint32_t{kErrorBadExeFormat} : uint32_t{kErrorNotEnoughMemory});
    int pidfd = PidfdOpen(pid);
    if (pidfd < 0) {
        // Without a descriptor the process cannot be watched: do not leave it running unseen.
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return failed(kErrorNotEnoughMemory);
    }
    // The parent resumes while the kernel still builds the new program's
    // environment; wait until it is readable, so that the process is on
    // the device's snapshot when CreateProcess returns.
    for (int i = 0; i < kEnvironmentWaitMs && !HostProcessEnvironment(pid, "TLW_DEVICE"); ++i) {
        pollfd ended{pidfd, POLLIN, 0};
        if (::poll(&ended, 1, 1) > 0) break;
    }
    auto core = std::make_shared<ProcessCore>();
    core->pid = pid;
    core->pidfd = pidfd;  // pidfd_open descriptors are close-on-exec
    core->child = true;
    core->devicePath = program.devicePath;
    for (auto it = list.children.begin(); it != list.children.end();) {
        it = it->second.expired() ? list.children.erase(it) : std::next(it);
    }
    list.children[pid] = core;

    Handle process = InsertKernelObject(std::make_shared<ProcessEnd>(core));
    Handle thread = InsertKernelObject(std::make_shared<ProcessEnd>(core));
    if (!process || !thread) {
        if (process) CloseHandle(process);
        if (thread) CloseHandle(thread);
        SetLastError(kErrorNotEnoughMemory);
        return false;  // the process runs on; the reaper collects it
    }
    info->process = process;
    info->thread = thread;
    info->processId = static_cast<uint32_t>(pid);
    info->threadId = static_cast<uint32_t>(pid);
    SetLastError(kErrorSuccess);
    return true;
}

Handle ShellExecute(std::u16string_view file, std::u16string_view parameters, uint32_t* processId) {
    ProcessInformation info{};
    if (!CreateProcess(file, parameters, 0, &info)) return Handle{};
    CloseHandle(info.thread);
    if (processId) *processId = info.processId;
    return info.process;
}

Handle OpenProcess(uint32_t processId) {
    pid_t pid = static_cast<pid_t>(processId);
    std::shared_ptr<ProcessCore> core;
    {
        ChildList& list = Children();
        std::lock_guard<std::mutex> guard(list.mutex);
        auto it = list.children.find(pid);
        if (it != list.children.end()) core = it->second.lock();
    }
    if (!core) {
        if (pid <= 0) {
            SetLastError(kErrorInvalidParameter);
            return Handle{};
        }
        int pidfd = PidfdOpen(pid);
        if (pidfd < 0) {
            SetLastError(kErrorInvalidParameter);
            return Handle{};
        }
        core = std::make_shared<ProcessCore>();
        core->pid = pid;
        core->pidfd = pidfd;
        if (core->Ended()) {  // a zombie of someone else: it has ended
            SetLastError(kErrorInvalidParameter);
            return Handle{};
        }
    }
    return InsertKernelObject(std::make_shared<ProcessEnd>(std::move(core)));
}

bool GetExitCodeProcess(Handle process, uint32_t* exitCode) {
    auto end = LookupKernelObjectAs<ProcessEnd>(process);
    if (!end) return false;
    if (!exitCode) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    ProcessCore& core = end->Core();
    if (core.child) {
        std::lock_guard<std::mutex> guard(core.mutex);
        core.TryReap();
        *exitCode = core.reaped ? core.exitCode : kStillActive;
        return true;
    }
    if (!core.Ended()) {
        *exitCode = kStillActive;
        return true;
    }
    SetLastError(kErrorAccessDenied);
    return false;
}

bool TerminateProcess(Handle process, uint32_t exitCode) {
    auto end = LookupKernelObjectAs<ProcessEnd>(process);
    if (!end) return false;
    ProcessCore& core = end->Core();
    if (core.Ended()) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    {
        std::lock_guard<std::mutex> guard(core.mutex);
        core.terminated = true;
        core.terminateCode = exitCode;
    }
    if (PidfdKill(core.pidfd) != 0) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    JournalAppend("terminate " + JournalName(core));
    return true;
}

uint32_t GetProcessId(Handle process) {
    auto end = LookupKernelObjectAs<ProcessEnd>(process);
    return end ? static_cast<uint32_t>(end->Core().pid) : 0;
}

}  // namespace plat
