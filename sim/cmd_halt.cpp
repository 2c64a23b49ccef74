// tlwsim halt DIR: shuts the device's programs down. Every top-level window
// of every program receives WM_CLOSE; the command returns when the device's
// processes have ended, or reports those that did not end in time. It goes
// round until none is left: a program may start another while it closes
// (the configuration program starts the engine again when it ends), and that
// one is asked to end too, as the phone's shutdown ends every program.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "platform/process/process_liveness.h"
#include "platform/process/toolhelp.h"
#include "platform/message/message_loop.h"
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
    std::string name;         // class of its first window, or its program file, to name it
};

// The host name of a process that is not a device program (the device host).
std::string HostName(int32_t pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? "process" : name;
}

bool Known(const std::vector<Program>& programs, int32_t pid) {
    for (const Program& p : programs)
        if (p.pid == pid) return true;
    return false;
}

// Posts WM_CLOSE to every top-level window of another process not closed
// before, and adds its process to `programs`.
void CloseNewWindows(int32_t self, std::set<plat::Hwnd>* closed, std::vector<Program>* programs) {
    for (plat::Hwnd hwnd : plat::ListTopLevelWindows()) {
        if (closed->count(hwnd)) continue;
        uint32_t pid = 0;
        plat::GetWindowThreadProcessId(hwnd, &pid);
        if (pid == 0 || static_cast<int32_t>(pid) == self) continue;
        std::string className = tlw::Utf16ToUtf8(plat::GetClassName(hwnd));
        // A window gone meanwhile needs no closing.
        if (!plat::PostMessage(hwnd, plat::WM_CLOSE, 0, 0)) continue;
        closed->insert(hwnd);
        int32_t id = static_cast<int32_t>(pid);
        if (!Known(*programs, id)) programs->push_back({id, plat::ProcessStartTime(id), className});
    }
}

// Adds the device's processes not in `programs` yet (one without a window,
// or one started since the last look).
void AddDeviceProcesses(int32_t self, std::vector<Program>* programs) {
    plat::Handle snapshot = plat::CreateToolhelp32Snapshot(plat::kTh32csSnapProcess, 0);
    plat::ProcessEntry32 entry;
    for (bool more = plat::Process32First(snapshot, &entry); more; more = plat::Process32Next(snapshot, &entry)) {
        int32_t id = static_cast<int32_t>(entry.processId);
        if (id == self || Known(*programs, id)) continue;
        std::string name = entry.exeFile.empty() ? HostName(id) : tlw::Utf16ToUtf8(entry.exeFile);
        programs->push_back({id, plat::ProcessStartTime(id), name});
    }
    plat::CloseToolhelp32Snapshot(snapshot);
}

int RunHalt(const sim::CommandArgs& args) {
    if (args.size() != 1) return sim::Usage("halt");
    if (!sim::OpenDevice(args)) return 1;
    int32_t self = static_cast<int32_t>(::getpid());
    std::set<plat::Hwnd> closed;
    std::vector<Program> running;
    auto deadline = std::chrono::steady_clock::now() + kEndLimit;
    for (;;) {
        CloseNewWindows(self, &closed, &running);
        AddDeviceProcesses(self, &running);
        std::vector<Program> still;
        for (const Program& p : running) {
            if (plat::ProcessAlive(p.pid, p.startTime)) still.push_back(p);
            else std::printf("ended %s (process %d)\n", p.name.c_str(), p.pid);
        }
        running.swap(still);
        if (running.empty() || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(kLookInterval);
    }
    std::fflush(stdout);
    if (running.empty()) return 0;
    std::string names;
    for (const Program& p : running)
        names += (names.empty() ? "" : ", ") + p.name + " (process " + std::to_string(p.pid) + ")";
    return sim::Fail("did not end within " + std::to_string(kEndLimit.count()) + " s: " + names);
}

}  // namespace

TLW_SIM_COMMAND("halt", "DIR",
                "Shuts the device's programs down: every top-level window of every running\n"
                "program receives WM_CLOSE, and the command returns when the device's\n"
                "processes have ended, printing \"ended CLASS (process PID)\" for each (the\n"
                "program file for one without a window). A program started while the others\n"
                "close is asked to end too. Programs that have not ended after 20 s are\n"
                "named and the exit code is 1.",
                RunHalt);
