#include "support/memory_peak.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

// VmPeak of this process in kilobytes, -1 when it cannot be read.
int64_t VmPeakKb() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return -1;
    char line[256];
    int64_t kb = -1;
    while (std::fgets(line, sizeof line, status)) {
        long long value = 0;
        if (std::sscanf(line, "VmPeak: %lld kB", &value) == 1) {
            kb = value;
            break;
        }
    }
    std::fclose(status);
    return kb;
}

}  // namespace

int64_t PeakMemoryGrowthKb(const std::function<void()>& work) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return -1;
    }
    if (child == 0) {
        // A new process starts with its peak at its size when forked.
        ::close(fds[0]);
        int64_t before = VmPeakKb();
        work();
        int64_t after = VmPeakKb();
        int64_t growth = before < 0 || after < 0 ? -1 : after - before;
        ssize_t written = ::write(fds[1], &growth, sizeof growth);
        _exit(written == sizeof growth ? 0 : 1);
    }
    ::close(fds[1]);
    int64_t growth = -1;
    if (::read(fds[0], &growth, sizeof growth) != sizeof growth) growth = -1;
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return growth;
}
