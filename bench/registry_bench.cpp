// Registry reads happen at every event the deliverables handle (LogMode,
// Locked, ManualProfile, ...): one-call reads and writes, a read through an
// open handle, and a read of a missing value.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/storage/device.h"
#include "platform/storage/registry.h"

namespace {

constexpr std::u16string_view kAppKey = u"Software\\Korvel\\Tallowin";

// A temporary device with a few values in its registry; removed at the end.
class RegistryBenchDevice {
public:
    RegistryBenchDevice() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tlw-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return;
        root_ = pattern;
        std::filesystem::create_directory(root_ / ".device");
        plat::SetDevice(root_);
        for (uint32_t i = 0; i < 20; ++i) {
            plat::RegWriteDword(plat::kHkeyCurrentUser, kAppKey, u"Value" + std::u16string(1, u'A' + i), i);
        }
        plat::RegWriteDword(plat::kHkeyCurrentUser, kAppKey, u"LogMode", 7);
    }
    ~RegistryBenchDevice() {
        std::error_code ec;
        if (!root_.empty()) std::filesystem::remove_all(root_, ec);
    }

private:
    std::filesystem::path root_;  // host folder of the device
};

void BM_RegReadDword(benchmark::State& state) {
    RegistryBenchDevice device;
    uint32_t value = 0;
    for (auto _ : state) benchmark::DoNotOptimize(plat::RegReadDword(plat::kHkeyCurrentUser, kAppKey, u"logmode", &value));
}
BENCHMARK(BM_RegReadDword);

void BM_RegReadDwordMissing(benchmark::State& state) {
    RegistryBenchDevice device;
    uint32_t value = 0;
    for (auto _ : state) benchmark::DoNotOptimize(plat::RegReadDword(plat::kHkeyCurrentUser, kAppKey, u"Absent", &value));
}
BENCHMARK(BM_RegReadDwordMissing);

void BM_RegQueryValueOpenHandle(benchmark::State& state) {
    RegistryBenchDevice device;
    plat::HKey key = 0;
    plat::RegOpenKey(plat::kHkeyCurrentUser, kAppKey, &key);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    for (auto _ : state) benchmark::DoNotOptimize(plat::RegQueryValue(key, u"LogMode", &type, &data));
    plat::RegCloseKey(key);
}
BENCHMARK(BM_RegQueryValueOpenHandle);

void BM_RegWriteDword(benchmark::State& state) {
    RegistryBenchDevice device;
    uint32_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(plat::RegWriteDword(plat::kHkeyCurrentUser, kAppKey, u"Locked", ++i));
}
BENCHMARK(BM_RegWriteDword);

}  // namespace

BENCHMARK_MAIN();
