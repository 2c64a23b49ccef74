// tlwsim halt DIR: shuts the device's programs down. Every top-level window
// of every program receives WM_CLOSE; the command returns when their
// processes have ended, or reports those that did not end in time.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "platform/window/message_loop.h"
#include "platform/process/process_liveness.h"
#include "platform/window/window.h"
#include "sim/command.h"

namespace {

// How long the programs get to end.
constexpr std::chrono::seconds kEndLimit{20};
// How often the command looks whether they have ended.
constexpr std::chrono::milliseconds kLookInterval{50};

// A program asked to end.
struct Program {
    int32_t pid = 0;          // its process
    uint64_t startTime = 0;   // its start time (so a new process with its id does not count)
    std::string className;    // class of its first window, to name it
};

int RunHalt(const sim::CommandArgs& args) {
    if (args.size() != 1) return sim::Usage("halt");
    if (!sim::OpenDevice(args)) return 1;
    std::vector<Program> programs;
    int32_t self = static_cast<int32_t>(::getpid());
    for (plat::Hwnd hwnd : plat::ListTopLevelWindows()) {
        uint32_t pid = 0;
        plat::GetWindowThreadProcessId(hwnd, &pid);
        if (pid == 0 || static_cast<int32_t>(pid) == self) continue;
        std::string className = tlw::Utf16ToUtf8(plat::GetClassName(hwnd));
        // A window gone meanwhile needs no closing.
        if (!plat::PostMessage(hwnd, plat::WM_CLOSE, 0, 0)) continue;
        bool known = false;
        for (const Program& p : programs) known = known || p.pid == static_cast<int32_t>(pid);
        if (!known) programs.push_back({static_cast<int32_t>(pid), plat::ProcessStartTime(static_cast<int32_t>(pid)),
                                        className});
    }
    auto deadline = std::chrono::steady_clock::now() + kEndLimit;
    std::vector<Program> running = programs;
    while (!running.empty()) {
        std::vector<Program> still;
        for (const Program& p : running) {
            if (plat::ProcessAlive(p.pid, p.startTime)) still.push_back(p);
            else std::printf("ended %s (process %d)\n", p.className.c_str(), p.pid);
        }
        running.swap(still);
        if (running.empty() || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(kLookInterval);
    }
    std::fflush(stdout);
    if (running.empty()) return 0;
    std::string names;
    for (const Program& p : running)
        names += (names.empty() ? "" : ", ") + p.className + " (process " + std::to_string(p.pid) + ")";
    return sim::Fail("did not end within " + std::to_string(kEndLimit.count()) + " s: " + names);
}

}  // namespace

TLW_SIM_COMMAND("halt", "DIR",
                "Shuts the device's programs down: every top-level window of every running\n"
                "program receives WM_CLOSE, and the command returns when their processes\n"
                "have ended, printing \"ended CLASS (process PID)\" for each. Programs that\n"
                "have not ended after 20 s are named and the exit code is 1.",
                RunHalt);
