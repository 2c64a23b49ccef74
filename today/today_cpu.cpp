// The CPU meter's sampler: every 2 seconds one load percentage into a ring
// of 30, from the kernel's idle time when it offers it, else from the summed
// times of every thread of the phone.
#include <algorithm>

#include "platform/kernel/cpu_time.h"
#include "platform/process/toolhelp.h"
#include "platform/message/timers.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"
#include "today/today_plugin.h"

namespace today {
namespace {

// Kernel and user time of every thread of the phone, 100 ns units. The walk
// needs access to every process for the time it runs.
uint64_t SumThreadTimes() {
    uint32_t previous = plat::SetProcPermissions(0xFFFFFFFFu);
    uint64_t sum = 0;
    plat::Handle snapshot = plat::CreateToolhelp32Snapshot(plat::kTh32csSnapThread, 0);
    if (snapshot) {
        plat::ThreadEntry32 entry;
        for (bool more = plat::Thread32First(snapshot, &entry); more; more = plat::Thread32Next(snapshot, &entry))
            sum += entry.kernelTime + entry.userTime;
        plat::CloseToolhelp32Snapshot(snapshot);
    }
    plat::SetProcPermissions(previous);
    return sum;
}

}  // namespace

int32_t CpuLoadFromIdle(uint32_t idleDelta, uint32_t tickDelta) {
    if (tickDelta == 0) return 0;
    int64_t load = 100 - static_cast<int64_t>(idleDelta) * 100 / tickDelta;
    return static_cast<int32_t>(std::clamp<int64_t>(load, 0, 100));
}

int32_t CpuLoadFromThreadTimes(uint64_t threadDelta, uint32_t tickDelta) {
    if (tickDelta == 0) return 0;
    uint64_t load = threadDelta / (static_cast<uint64_t>(tickDelta) * 100);
    return static_cast<int32_t>(std::min<uint64_t>(load, 100));
}

void StartCpuSampling() {
    TodayState& s = Plugin();
    if (!s.window) return;
    plat::SetTimer(s.window, kCpuTimerId, kCpuTimerMs);
    s.cpuTimerOn = true;
}

void TakeCpuSample() {
    TodayState& s = Plugin();
    uint32_t tick = plat::GetTickCount();
    uint32_t tickDelta = tick - s.lastTick;
    int32_t load = 0;
    if (s.cpuMethod == CpuMethod::kIdleTime && s.getIdleTime) {
        uint32_t idle = reinterpret_cast<uint32_t (*)()>(s.getIdleTime)();
        load = CpuLoadFromIdle(idle - s.lastIdle, tickDelta);
        s.lastIdle = idle;
    } else {
        uint64_t sum = SumThreadTimes();
        load = CpuLoadFromThreadTimes(sum - s.lastThreadTime, tickDelta);
        s.lastThreadTime = sum;
    }
    s.lastTick = tick;
    s.cpuSamples[s.cpuWrite] = load;
    s.cpuWrite = (s.cpuWrite + 1) % kCpuSampleCount;
}

void OnCpuTimer() {
    TodayState& s = Plugin();
    TakeCpuSample();
    // Only redraw while the Today screen is in front.
    plat::Hwnd front = plat::GetForegroundWindow();
    if (front && front != s.parent) return;
    if (s.layout.cpuHit < 0) return;
    s.cpuOnlyRepaint = true;
    plat::InvalidateRect(s.window, &s.layout.meterRect[s.layout.cpuHit], false);
}

}  // namespace today
