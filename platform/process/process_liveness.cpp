#include "platform/process/process_liveness.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace plat {
namespace {

// Whether the process has threads besides its first one (listed in
// /proc/PID/task while they run).
bool ThreadsStillEnding(int32_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/task", static_cast<int>(pid));
    DIR* dir = ::opendir(path);
    if (!dir) return false;
    int threads = 0;
    while (const dirent* entry = ::readdir(dir))
        if (entry->d_name[0] != '.') ++threads;
    ::closedir(dir);
    return threads > 1;
}

}  // namespace

uint64_t ProcessStartTime(int32_t pid) {
    if (pid <= 0) return 0;
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(pid));
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    char text[1024];
    ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0) return 0;
    text[n] = '\0';
    // "pid (name) state ppid ...": the name may hold blanks and parentheses,
    // so the fields are counted from the last ')'.
    const char* p = std::strrchr(text, ')');
    if (!p || p[1] != ' ') return 0;
    p += 2;
    char state = *p;
    if (state == 'X' || state == 'x') return 0;
    // A zombie has ended, unless its first thread ended before the others:
    // they are still running down, and the process cannot be reaped yet.
    if (state == 'Z' && !ThreadsStillEnding(pid)) return 0;
    // Field 3 is the state; the start time is field 22.
    for (int field = 3; field < 22; ++field) {
        p = std::strchr(p, ' ');
        if (!p) return 0;
        ++p;
    }
    char* end = nullptr;
    unsigned long long start = std::strtoull(p, &end, 10);
    if (end == p) return 0;
    // A process started in the boot's first tick has start time 0; keep 0
    // for "not running".
    return start + 1;
}

uint64_t OwnStartTime() {
    // The time is stored before the pid it belongs to, so a thread that
    // sees this process's pid also sees its time. A forked child has another
    // pid and reads its own.
    static std::atomic<pid_t> cachedPid{0};
    static std::atomic<uint64_t> cached{0};
    pid_t pid = ::getpid();
    if (cachedPid.load() != pid) {
        cached.store(ProcessStartTime(pid));
        cachedPid.store(pid);
    }
    return cached.load();
}

bool ProcessAlive(int32_t pid, uint64_t startTime) {
    if (pid == ::getpid()) return startTime == OwnStartTime();
    return startTime != 0 && ProcessStartTime(pid) == startTime;
}

}  // namespace plat
