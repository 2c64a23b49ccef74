#include "platform/process/process_liveness.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace plat {

namespace {

// Threads of the process besides its leader (from /proc/PID/status).
int OtherThreads(int32_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/status", static_cast<int>(pid));
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    char text[4096];
    ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0) return 0;
    text[n] = '\0';
    const char* line = std::strstr(text, "\nThreads:");
    if (!line) return 0;
    long threads = std::strtol(line + 9, nullptr, 10);
    return threads > 1 ? static_cast<int>(threads - 1) : 0;
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
    // A zombie leader is an ended process only when no other thread of it is
    // left: the leader is a zombie as soon as its own thread has ended, while
    // the others may still be running (after pthread_exit) or still tearing
    // down (after exit_group, under load this takes a while). A waiter that
    // took the leader's state for the process's would report it ended early.
    if (state == 'Z' && OtherThreads(pid) == 0) return 0;
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
