// The device clock is read on every timer check and log line: reading it
// from the device store, without a stored clock, and from the virtual clock
// of tests.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/kernel/clock.h"
#include "platform/storage/device.h"

namespace {

// A temporary device with a frozen clock; removed at the end.
class BenchDevice {
public:
    BenchDevice() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tlw-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return;
        root_ = pattern;
        std::filesystem::create_directory(root_ / ".device");
        plat::SetDevice(root_);
    }
    ~BenchDevice() {
        std::error_code ec;
        if (!root_.empty()) std::filesystem::remove_all(root_, ec);
    }
    const std::filesystem::path& Root() const { return root_; }

private:
    std::filesystem::path root_;  // host folder of the device
};

void FreezeAt2010() {
    plat::UseDeviceClock();
    plat::FreezeClock();
    plat::SetLocalTime(plat::SystemTime{2010, 1, 5, 1, 12, 0, 0, 0});
}

// A frozen clock stored in the device store: every read looks it up.
void BM_GetLocalTimeStored(benchmark::State& state) {
    BenchDevice device;
    FreezeAt2010();
    for (auto _ : state) benchmark::DoNotOptimize(plat::GetLocalTime());
}
BENCHMARK(BM_GetLocalTimeStored);

// A device whose clock was never set runs at host local time.
void BM_GetLocalTimeNotStored(benchmark::State& state) {
    BenchDevice device;
    plat::UseDeviceClock();
    for (auto _ : state) benchmark::DoNotOptimize(plat::GetLocalTime());
}
BENCHMARK(BM_GetLocalTimeNotStored);

void BM_GetLocalTimeVirtual(benchmark::State& state) {
    plat::UseVirtualClock(plat::SystemTime{2010, 1, 5, 1, 12, 0, 0, 0});
    for (auto _ : state) benchmark::DoNotOptimize(plat::GetLocalTime());
    plat::UseDeviceClock();
}
BENCHMARK(BM_GetLocalTimeVirtual);

}  // namespace

BENCHMARK_MAIN();
