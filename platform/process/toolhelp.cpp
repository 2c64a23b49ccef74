#include "platform/process/toolhelp.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/storage/device.h"
#include "platform/process/host_process.h"
#include "platform/kernel/kernel_object.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace {

// The numeric entries of a /proc folder (process or thread ids).
std::vector<pid_t> NumericEntries(const std::string& folder) {
    std::vector<pid_t> ids;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return ids;
    while (dirent* entry = ::readdir(dir)) {
        char* end = nullptr;
        long id = std::strtol(entry->d_name, &end, 10);
        if (id > 0 && end && *end == 0) ids.push_back(static_cast<pid_t>(id));
    }
    ::closedir(dir);
    return ids;
}

// User and kernel time of a thread from its stat line, in 100 ns units.
void ReadThreadTimes(pid_t pid, pid_t tid, ThreadEntry32* entry) {
    std::string path = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(tid) + "/stat";
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    char buffer[1024];
    ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
    ::close(fd);
    if (n <= 0) return;
    buffer[n] = 0;
    std::string stat(buffer);
    size_t close = stat.rfind(')');
    if (close == std::string::npos) return;
    // After ") ": state is field 3; utime and stime are fields 14 and 15.
    const char* p = stat.c_str() + close + 1;
    unsigned long long values[13] = {};
    int field = 3;
    while (*p && field <= 15) {
        while (*p == ' ') ++p;
        char* end = nullptr;
        unsigned long long v = std::strtoull(p, &end, 10);
        if (field >= 3) values[field - 3] = (end == p) ? 0 : v;
        if (end == p)
            while (*p && *p != ' ') ++p;
        else
            p = end;
        ++field;
    }
    long ticks = ::sysconf(_SC_CLK_TCK);
    if (ticks <= 0) ticks = 100;
    uint64_t per = 10000000ull / static_cast<uint64_t>(ticks);
    entry->userTime = values[14 - 3] * per;
    entry->kernelTime = values[15 - 3] * per;
}

// The snapshot's object: lists taken at creation and the walk positions.
class Snapshot : public KernelObject {
public:
    std::mutex mutex;                       // guards the positions
    std::vector<ProcessEntry32> processes;  // processes of the device
    std::vector<ThreadEntry32> threads;     // their threads
    size_t nextProcess = 0;                 // index the next Process32Next returns
    size_t nextThread = 0;                  // index the next Thread32Next returns
};

ProcessEntry32 DescribeProcess(pid_t pid) {
    ProcessEntry32 entry;
    entry.processId = static_cast<uint32_t>(pid);
    std::optional<std::string> program = HostProcessEnvironment(pid, "TLW_PROGRAM");
    if (pid == ::getpid()) {
        const char* own = std::getenv("TLW_PROGRAM");
        program = own ? std::optional<std::string>(own) : std::nullopt;
    }
    if (program && !program->empty()) {
        entry.exePath = tlw::Utf8ToUtf16(*program);
        size_t slash = entry.exePath.rfind(u'\\');
        entry.exeFile = slash == std::u16string::npos ? entry.exePath : entry.exePath.substr(slash + 1);
    } else {
        char target[4096];
        std::string link = "/proc/" + std::to_string(pid) + "/exe";
        ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
        if (n > 0) {
            std::string exe(target, static_cast<size_t>(n));
            size_t slash = exe.rfind('/');
            entry.exeFile = tlw::Utf8ToUtf16(slash == std::string::npos ? exe : exe.substr(slash + 1));
        }
    }
    return entry;
}

// Hands out the entry at *position (after rewinding for a First call) and
// moves on; false (kErrorNoMoreFiles) past the end.
template <typename Entry>
bool Walk(Snapshot& snapshot, const std::vector<Entry>& list, size_t* position, bool rewind, Entry* out) {
    std::lock_guard<std::mutex> guard(snapshot.mutex);
    if (rewind) *position = 0;
    if (*position >= list.size()) {
        SetLastError(kErrorNoMoreFiles);
        return false;
    }
    *out = list[(*position)++];
    return true;
}

}  // namespace

Handle CreateToolhelp32Snapshot(uint32_t flags, uint32_t processId) {
    (void)processId;  // every process of the device is listed
    if (DeviceRoot().empty()) {
        SetLastError(kErrorPathNotFound);
        return Handle{};
    }
    auto snapshot = std::make_shared<Snapshot>();
    for (pid_t pid : NumericEntries("/proc")) {
        if (!HostProcessOnDevice(pid) || !HostProcessRunning(pid)) continue;
        std::vector<pid_t> tids = NumericEntries("/proc/" + std::to_string(pid) + "/task");
        if (tids.empty()) continue;  // ended while we looked
        if (flags & kTh32csSnapProcess) {
            ProcessEntry32 entry = DescribeProcess(pid);
            entry.threadCount = static_cast<uint32_t>(tids.size());
            snapshot->processes.push_back(std::move(entry));
        }
        if (flags & kTh32csSnapThread) {
            for (pid_t tid : tids) {
                ThreadEntry32 thread;
                thread.threadId = static_cast<uint32_t>(tid);
                thread.ownerProcessId = static_cast<uint32_t>(pid);
                ReadThreadTimes(pid, tid, &thread);
                snapshot->threads.push_back(thread);
            }
        }
    }
    return InsertKernelObject(std::move(snapshot));
}

bool CloseToolhelp32Snapshot(Handle snapshot) {
    if (!LookupKernelObjectAs<Snapshot>(snapshot)) return false;
    return CloseHandle(snapshot);
}

bool Process32First(Handle snapshot, ProcessEntry32* entry) {
    auto s = LookupKernelObjectAs<Snapshot>(snapshot);
    return s && entry && Walk(*s, s->processes, &s->nextProcess, true, entry);
}

bool Process32Next(Handle snapshot, ProcessEntry32* entry) {
    auto s = LookupKernelObjectAs<Snapshot>(snapshot);
    return s && entry && Walk(*s, s->processes, &s->nextProcess, false, entry);
}

bool Thread32First(Handle snapshot, ThreadEntry32* entry) {
    auto s = LookupKernelObjectAs<Snapshot>(snapshot);
    return s && entry && Walk(*s, s->threads, &s->nextThread, true, entry);
}

bool Thread32Next(Handle snapshot, ThreadEntry32* entry) {
    auto s = LookupKernelObjectAs<Snapshot>(snapshot);
    return s && entry && Walk(*s, s->threads, &s->nextThread, false, entry);
}

bool IsDeviceProcessAlive(uint32_t processId) {
    pid_t pid = static_cast<pid_t>(processId);
    return pid > 0 && HostProcessRunning(pid) && HostProcessOnDevice(pid);
}

}  // namespace plat
