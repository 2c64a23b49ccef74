// The device clock is read on every timer check and log line: reading it
// through the shared clock file, cached or read again, without a clock file,
// and from the virtual clock of tests.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <thread>

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

// A clock file written long ago: its parsed content is reused.
void BM_GetLocalTimeCached(benchmark::State& state) {
    BenchDevice device;
    FreezeAt2010();
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    for (auto _ : state) benchmark::DoNotOptimize(plat::GetLocalTime());
}
BENCHMARK(BM_GetLocalTimeCached);

// A clock file changed just now (here: stamped in the future, so it stays
// "just changed"): every read opens and parses it.
void BM_GetLocalTimeReread(benchmark::State& state) {
    BenchDevice device;
    FreezeAt2010();
    std::filesystem::last_write_time(device.Root() / ".device" / "clock",
                                     std::filesystem::file_time_type::clock::now() + std::chrono::hours(1));
    for (auto _ : state) benchmark::DoNotOptimize(plat::GetLocalTime());
}
BENCHMARK(BM_GetLocalTimeReread);

void BM_GetLocalTimeNoClockFile(benchmark::State& state) {
    BenchDevice device;
    plat::UseDeviceClock();
    for (auto _ : state) benchmark::DoNotOptimize(plat::GetLocalTime());
}
BENCHMARK(BM_GetLocalTimeNoClockFile);

void BM_GetLocalTimeVirtual(benchmark::State& state) {
    plat::UseVirtualClock(plat::SystemTime{2010, 1, 5, 1, 12, 0, 0, 0});
    for (auto _ : state) benchmark::DoNotOptimize(plat::GetLocalTime());
    plat::UseDeviceClock();
}
BENCHMARK(BM_GetLocalTimeVirtual);

}  // namespace

BENCHMARK_MAIN();
