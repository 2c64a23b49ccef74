// The engine walks the pending user notifications at every re-evaluation
// (count, handles, then each record's size and record) and reschedules its
// time wake-ups (clear two, set two): both against the device's store.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/kernel/clock.h"
#include "platform/storage/device.h"
#include "platform/notify/user_notify.h"

namespace {

// A temporary device with a virtual clock; removed at the end.
class NotifyBenchDevice {
public:
    NotifyBenchDevice() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tlw-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return;
        root_ = pattern;
        std::filesystem::create_directory(root_ / ".device");
        plat::SetDevice(root_);
        plat::UseVirtualClock(plat::SystemTime{2010, 3, 0, 1, 12, 0, 0, 0});
    }
    ~NotifyBenchDevice() {
        plat::UseDeviceClock();
        std::error_code ec;
        if (!root_.empty()) std::filesystem::remove_all(root_, ec);
    }

private:
    std::filesystem::path root_;  // host folder of the device
};

plat::NotificationTrigger WakeUp(int minutesAhead, std::u16string_view arguments) {
    plat::NotificationTrigger t;
    t.application = u"\\Windows\\Tallowd.exe";
    t.arguments = std::u16string(arguments);
    t.startTime = plat::AddSeconds(plat::GetLocalTime(), 60 * minutesAhead);
    t.endTime = t.startTime;
    return t;
}

// The walk of the engine's wake-up queries over n pending notifications.
void BM_WalkNotifications(benchmark::State& state) {
    NotifyBenchDevice device;
    for (int i = 0; i < state.range(0); ++i) plat::SetUserNotification(WakeUp(10 + i, u"2263"));
    for (auto _ : state) {
        uint32_t count = 0;
        plat::GetUserNotificationHandles(nullptr, 0, &count);
        std::vector<plat::NotificationHandle> handles(count);
        plat::GetUserNotificationHandles(handles.data(), count, &count);
        for (plat::NotificationHandle h : handles) {
            uint32_t size = 0;
            plat::UserNotificationInfo info;
            plat::GetUserNotification(h, 0, &size, &info);
            plat::GetUserNotification(h, size, &size, &info);
            benchmark::DoNotOptimize(info.trigger.arguments.data());
        }
    }
}
BENCHMARK(BM_WalkNotifications)->Arg(2)->Arg(10);

// Clearing the two time wake-ups and setting them again.
void BM_RescheduleTwo(benchmark::State& state) {
    NotifyBenchDevice device;
    plat::NotificationHandle midnight = plat::SetUserNotification(WakeUp(720, u"16"));
    plat::NotificationHandle slot = plat::SetUserNotification(WakeUp(60, u"201"));
    for (auto _ : state) {
        plat::ClearUserNotification(midnight);
        plat::ClearUserNotification(slot);
        midnight = plat::SetUserNotification(WakeUp(720, u"16"));
        slot = plat::SetUserNotification(WakeUp(60, u"201"));
    }
}
BENCHMARK(BM_RescheduleTwo);

}  // namespace

BENCHMARK_MAIN();
