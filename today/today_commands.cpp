// Commands to the engine: a window message to the engine window when it
// runs, else a start of the engine with the command as its command line.
#include "base/text.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/process/process.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "today/today_plugin.h"

namespace today {
namespace {

constexpr char16_t kEngineWindow[] = u"Tallowd";  // class and title of the engine window
constexpr uint32_t kMsgParameter = 2261;          // a parameter or command in wParam
constexpr uint32_t kMsgTodayMenu = 2268;          // show the engine's own profile menu

}  // namespace

void SendEngineCommand(int32_t code) {
    plat::Hwnd engine = plat::FindWindow(kEngineWindow, nullptr);
    if (!engine) engine = plat::FindWindow(nullptr, kEngineWindow);
    if (engine) {
        if (code == static_cast<int32_t>(kMsgTodayMenu)) plat::SendNotifyMessage(engine, kMsgTodayMenu, 0, 0);
        else plat::SendNotifyMessage(engine, kMsgParameter, static_cast<plat::WParam>(code), 0);
        return;
    }
    plat::ProcessInformation info{};
    std::u16string commandLine = tlw::Format(u"%d", {code});
    if (plat::CreateProcess(Plugin().paths.engineProgram.View(), commandLine, plat::kCreateNewConsole, &info)) {
        plat::CloseHandle(info.thread);
        plat::CloseHandle(info.process);
    }
}

}  // namespace today
