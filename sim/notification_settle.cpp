#include "sim/notification_settle.h"

#include <cstdint>

#include "platform/kernel/kernel_handle.h"
#include "platform/message/message_loop.h"
#include "platform/process/process.h"
#include "platform/kernel/wait.h"
#include "platform/window/window.h"

namespace sim {
namespace {

// How long a started program may take to end or open its window, how often
// it is looked at meanwhile, and how long the engine window may take to
// answer.
constexpr uint32_t kProgramLimitMs = 30000;
constexpr uint32_t kWindowCheckMs = 50;
constexpr uint32_t kAnswerLimitMs = 60000;

bool HasTopLevelWindow(uint32_t processId) {
    for (plat::Hwnd hwnd : plat::ListTopLevelWindows()) {
        uint32_t owner = 0;
        plat::GetWindowThreadProcessId(hwnd, &owner);
        if (owner == processId) return true;
    }
    return false;
}

// Waits for the program to end or to become resident (a window of its own).
void WaitForProgram(uint32_t processId) {
    plat::Handle process = plat::OpenProcess(processId);
    if (!process) return;  // ended already
    for (uint32_t waited = 0; waited < kProgramLimitMs; waited += kWindowCheckMs) {
        if (plat::WaitForSingleObject(process, kWindowCheckMs) != plat::kWaitTimeout) break;
        if (HasTopLevelWindow(processId)) break;
    }
    plat::CloseHandle(process);
}

}  // namespace

void SettleAfterFiring(const plat::FiredNotification& fired) {
    if (fired.processId != 0) WaitForProgram(fired.processId);
    plat::Hwnd engine = plat::FindWindow(u"Tallowd", nullptr);
    if (!engine) return;
    plat::LResult answer = 0;
    plat::SendMessageTimeout(engine, plat::WM_NULL, 0, 0, kAnswerLimitMs, &answer);
}

}  // namespace sim
