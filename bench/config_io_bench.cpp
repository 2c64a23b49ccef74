// Reading and writing a configuration of 99 profiles.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "common/config/config_file.h"
#include "platform/storage/device.h"
#include "platform/storage/file.h"

namespace {

struct BenchDevice {
    std::filesystem::path root;  // temporary device folder
    BenchDevice() {
        char pattern[] = "/tmp/tlw-bench-XXXXXX";
        root = mkdtemp(pattern);
        std::filesystem::create_directories(root / ".device");
        plat::SetDevice(root);
        plat::CreateDirectory(u"\\My Documents");
    }
    ~BenchDevice() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

std::unique_ptr<tlw::ConfigModel> NinetyNineProfiles(const tlw::LanguageTable& language) {
    auto model = std::make_unique<tlw::ConfigModel>();
    tlw::ReadConfiguration(false, *model, language);
    model->profiles.count = 99;
    for (int i = 0; i < 99; ++i) {
        tlw::Profile& p = model->profiles.profiles[i];
        p = model->profiles.profiles[i % 5];
        p.name = u"Profile";
        p.program = u"\\Program Files\\Some Program\\program.exe";
        p.ringtone[0] = u"\\Windows\\Ring.wav";
    }
    return model;
}

void BM_WriteConfiguration(benchmark::State& state) {
    BenchDevice device;
    auto language = std::make_unique<tlw::LanguageTable>();
    auto model = NinetyNineProfiles(*language);
    for (auto _ : state) benchmark::DoNotOptimize(tlw::WriteConfiguration(false, "", *model, *language));
}
BENCHMARK(BM_WriteConfiguration)->Unit(benchmark::kMillisecond);

void BM_ReadConfiguration(benchmark::State& state) {
    BenchDevice device;
    auto language = std::make_unique<tlw::LanguageTable>();
    auto model = NinetyNineProfiles(*language);
    tlw::WriteConfiguration(false, "", *model, *language);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tlw::ReadConfiguration(false, *model, *language));
        if (model->profiles.count != 99) state.SkipWithError("the configuration did not read back");
    }
}
BENCHMARK(BM_ReadConfiguration)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
