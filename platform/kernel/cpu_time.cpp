#include "platform/kernel/cpu_time.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace plat {
namespace {

// Permissions of the calling process; starts with access to itself only.
std::atomic<uint32_t> g_permissions{1};

}  // namespace

uint32_t GetTickCount() {
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

uint32_t GetIdleTime() {
    // /proc/stat's first line sums all processors: user nice system idle
    // iowait ... in clock ticks. Idle and I/O wait both count as idle.
    std::FILE* stat = std::fopen("/proc/stat", "r");
    if (!stat) return 0;
    unsigned long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0;
    int read = std::fscanf(stat, "cpu %llu %llu %llu %llu %llu", &user, &nice, &system, &idle, &iowait);
    std::fclose(stat);
    if (read < 4) return 0;
    long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    if (ticksPerSecond <= 0) return 0;
    unsigned long long ms = (idle + iowait) * 1000ull / static_cast<unsigned long long>(ticksPerSecond) / processors;
    return static_cast<uint32_t>(ms);
}

uint32_t SetProcPermissions(uint32_t permissions) { return g_permissions.exchange(permissions); }

uint32_t GetCurrentPermissions() { return g_permissions.load(); }

}  // namespace plat
