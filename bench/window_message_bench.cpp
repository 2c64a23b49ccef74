// The paths of every hand-off between the deliverables: finding the engine
// window in the device's window table, and a message to a window of another
// thread and of another process (over its socket); plus posting and pumping
// within one thread.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/storage/device.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"

namespace {

constexpr uint32_t kEcho = plat::WM_USER + 1;  // answers wParam + 1

plat::LResult EchoProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    if (message == kEcho) return static_cast<plat::LResult>(wParam + 1);
    if (message == plat::WM_DESTROY) plat::PostQuitMessage(0);
    return plat::DefWindowProc(hwnd, message, wParam, lParam);
}

// A temporary device with a few windows of this process; removed at the end.
class WindowBenchDevice {
public:
    WindowBenchDevice() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tlw-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return;
        root_ = pattern;
        std::filesystem::create_directory(root_ / ".device");
        plat::SetDevice(root_);
        plat::WndClass wc;
        wc.className = u"Echo";
        wc.proc = &EchoProc;
        plat::RegisterClass(wc);
        for (int i = 0; i < 8; ++i)
            windows_.push_back(plat::CreateWindow(u"Echo", u"Echo " + std::u16string(1, u'A' + i), 0, 0, 0, 10, 10,
                                                  plat::Hwnd{}));
    }
    ~WindowBenchDevice() {
        for (plat::Hwnd hwnd : windows_) plat::DestroyWindow(hwnd);
        plat::PumpMessagesUntilIdle();
        std::error_code ec;
        if (!root_.empty()) std::filesystem::remove_all(root_, ec);
    }
    plat::Hwnd first() const { return windows_.front(); }

private:
    std::filesystem::path root_;        // host folder of the device
    std::vector<plat::Hwnd> windows_;   // windows made for the table
};

void BM_FindWindowByClassAndTitle(benchmark::State& state) {
    WindowBenchDevice device;
    for (auto _ : state) benchmark::DoNotOptimize(plat::FindWindow(u"Echo", u"Echo D"));
}
BENCHMARK(BM_FindWindowByClassAndTitle);

void BM_PostAndPump(benchmark::State& state) {
    WindowBenchDevice device;
    for (auto _ : state) {
        plat::PostMessage(device.first(), kEcho, 1, 0);
        plat::PumpMessagesUntilIdle();
    }
}
BENCHMARK(BM_PostAndPump);

void BM_SendToAnotherThread(benchmark::State& state) {
    WindowBenchDevice device;
    std::atomic<uint64_t> window{0};
    std::thread owner([&] {
        plat::Hwnd w = plat::CreateWindow(u"Echo", u"Owner", 0, 0, 0, 1, 1, plat::Hwnd{});
        window = w.value;
        plat::RunMessageLoop();
    });
    while (window.load() == 0) std::this_thread::yield();
    plat::Hwnd target{window.load()};
    for (auto _ : state) benchmark::DoNotOptimize(plat::SendMessage(target, kEcho, 1, 0));
    plat::PostMessage(target, plat::WM_CLOSE, 0, 0);
    owner.join();
}
BENCHMARK(BM_SendToAnotherThread);

void BM_SendToAnotherProcess(benchmark::State& state) {
    WindowBenchDevice device;
    pid_t child = fork();
    if (child == 0) {
        plat::WndClass wc;
        wc.className = u"EchoProcess";
        wc.proc = &EchoProc;
        plat::RegisterClass(wc);
        plat::CreateWindow(u"EchoProcess", u"", 0, 0, 0, 1, 1, plat::Hwnd{});
        _exit(plat::RunMessageLoop());
    }
    plat::Hwnd target;
    for (int i = 0; i < 2000 && !target; ++i) {
        target = plat::FindWindow(u"EchoProcess", nullptr);
        if (!target) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!target) state.SkipWithError("the child's window did not appear");
    for (auto _ : state) benchmark::DoNotOptimize(plat::SendMessage(target, kEcho, 1, 0));
    plat::PostMessage(target, plat::WM_CLOSE, 0, 0);
    waitpid(child, nullptr, 0);
}
BENCHMARK(BM_SendToAnotherProcess);

}  // namespace

BENCHMARK_MAIN();
