// The engine's hot paths: a full re-evaluation over 99 profiles, and one
// hand-off from a second start of the program to the running engine. Beside
// the hand-off, in the same run, its anchor: starting and waiting for a
// device program that exits at once (a link to the host's "true").
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "common/config/config_file.h"
#include "common/config/config_paths.h"
#include "engine/engine_actions.h"
#include "base/text.h"
#include "engine/engine_messages.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/clock.h"
#include "platform/storage/device.h"
#include "platform/storage/file.h"
#include "platform/message/message_loop.h"
#include "platform/process/process.h"
#include "platform/kernel/wait.h"
#include "platform/window/window.h"
#include "sim/device_setup.h"

namespace {

struct BenchDevice {
    std::filesystem::path base;  // temporary folder holding the device
    std::filesystem::path root;  // the device
    BenchDevice() {
        char pattern[] = "/tmp/tlw-bench-XXXXXX";
        base = mkdtemp(pattern);
        root = base / "phone";
    }
    ~BenchDevice() {
        std::error_code ec;
        std::filesystem::remove_all(base, ec);
    }
};

void BM_FullReevaluation99Profiles(benchmark::State& state) {
    BenchDevice device;
    std::filesystem::create_directories(device.root / ".device");
    plat::SetDevice(device.root);
    plat::CreateDirectory(u"\\My Documents");
    plat::CreateDirectory(u"\\Windows");
    plat::SystemTime t;
    plat::ParseDeviceTime("2010-01-04T10:00:20", &t);
    plat::UseVirtualClock(t);
    auto engine = std::make_unique<tlw::EngineState>();
    engine->paths = tlw::BuildConfigPaths();
    tlw::ReadConfiguration(false, engine->model, engine->language);
    engine->model.profiles.count = 99;
    for (int i = 5; i < 99; ++i) {
        tlw::Profile& p = engine->model.profiles.profiles[i];
        p = engine->model.profiles.profiles[1 + i % 2];  // time profiles
        p.time[0] = tlw::Format(u"%02d:%02d", {i % 24, i % 60});
        p.time[1] = tlw::Format(u"%02d:%02d", {(i + 7) % 24, (i * 7) % 60});
        for (int day = 0; day < 7; ++day) p.schedule[day][1] = (i + day) % 3 == 0;
    }
    tlw::WriteConfiguration(false, "", engine->model, engine->language);
    for (auto _ : state) tlw::ProcessParameter(*engine, tlw::kParamReevaluate);
    plat::UseDeviceClock();
}
BENCHMARK(BM_FullReevaluation99Profiles)->Unit(benchmark::kMillisecond);

void BM_HandOff(benchmark::State& state) {
    BenchDevice device;
    sim::DeviceOptions options;
    std::string error;
    if (!sim::CreateDevice(device.root.string(), options, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    plat::ProcessInformation engine{};
    if (!plat::CreateProcess(u"\\Windows\\Tallowd.exe", u"", 0, &engine)) {
        state.SkipWithError("the engine does not start");
        return;
    }
    plat::Hwnd window;
    for (int i = 0; i < 500 && !window; ++i) {
        window = plat::FindWindow(tlw::kEngineClass, nullptr);
        if (!window) plat::Sleep(10);
    }
    if (!window) {
        state.SkipWithError("the engine window did not appear");
        return;
    }
    for (auto _ : state) {
        plat::ProcessInformation second{};
        plat::CreateProcess(u"\\Windows\\Tallowd.exe", u"1200", 0, &second);
        plat::WaitForSingleObject(second.process, plat::kInfinite);
        plat::CloseHandle(second.process);
        plat::SendMessage(window, plat::WM_NULL, 0, 0);  // returns once the hand-off was handled
    }
    plat::PostMessage(window, plat::WM_CLOSE, 0, 0);
    plat::WaitForSingleObject(engine.process, 10000);
    plat::CloseHandle(engine.process);
}
BENCHMARK(BM_HandOff)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_TrivialProcessStart(benchmark::State& state) {
    BenchDevice device;
    sim::DeviceOptions options;
    std::string error;
    if (!sim::CreateDevice(device.root.string(), options, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::error_code ec;
    std::filesystem::create_symlink("/bin/true", device.root / "Windows" / "true.exe", ec);
    if (ec) {
        state.SkipWithError("cannot make the program");
        return;
    }
    for (auto _ : state) {
        plat::ProcessInformation started{};
        if (!plat::CreateProcess(u"\\Windows\\true.exe", u"", 0, &started)) {
            state.SkipWithError("the program does not start");
            break;
        }
        plat::WaitForSingleObject(started.process, plat::kInfinite);
        plat::CloseHandle(started.process);
    }
}
BENCHMARK(BM_TrivialProcessStart)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
