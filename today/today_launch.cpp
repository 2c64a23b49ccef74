// The programs the item opens: the configuration program from the profile
// icon, the call log from the missed-calls counter.
#include "platform/kernel/threads.h"
#include "platform/process/process.h"
#include "platform/message/messages.h"
#include "platform/window/window.h"
#include "platform/window/window_order.h"
#include "today/today_plugin.h"

namespace today {
namespace {

constexpr char16_t kCallLogClass[] = u"MSClog";
constexpr char16_t kCallLogProgram[] = u"\\windows\\cprog.exe";
constexpr uint32_t kCallLogStartMs = 2000;

bool Start(std::u16string_view program) {
    plat::ProcessInformation info{};
    if (!plat::CreateProcess(program, u"", 0, &info)) return false;
    plat::CloseHandle(info.thread);
    plat::CloseHandle(info.process);
    return true;
}

}  // namespace

void StartConfigurationProgram() { Start(Plugin().paths.configProgram.View()); }

void OpenCallLog() {
    plat::Hwnd log = plat::FindWindow(kCallLogClass, nullptr);
    if (!log) {
        Start(kCallLogProgram);
        plat::Sleep(kCallLogStartMs);
        log = plat::FindWindow(kCallLogClass, nullptr);
    }
    if (!log) return;
    plat::BringWindowToTop(log);
    plat::ShowWindow(log, plat::SW_SHOW);
    plat::SetForegroundWindow(log);
}

}  // namespace today
