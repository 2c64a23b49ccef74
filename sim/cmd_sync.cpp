// tlwsim sync DIR [CLASS]: returns once the window of CLASS (default
// "Tallowd") has handled every message sent to it before, by sending it a
// message that does nothing and waiting for the answer.
#include <cstdint>
#include <string>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "sim/command.h"

namespace {

// A window that has not answered after this long is reported as hung.
constexpr uint32_t kAnswerLimitMs = 60000;

int RunSync(const sim::CommandArgs& args) {
    if (args.empty() || args.size() > 2) return sim::Usage("sync");
    if (!sim::OpenDevice(args)) return 1;
    std::string className = args.size() == 2 ? args[1] : "Tallowd";
    if (className.empty()) return sim::Usage("sync");
    std::u16string name = tlw::Utf8ToUtf16(className);
    plat::Hwnd hwnd = plat::FindWindow(name.c_str(), nullptr);
    if (!hwnd) return sim::Fail("no window of class '" + className + "' on the device");
    plat::LResult answer = 0;
    if (!plat::SendMessageTimeout(hwnd, plat::WM_NULL, 0, 0, kAnswerLimitMs, &answer)) {
        if (plat::GetLastError() == plat::kErrorTimeout)
            return sim::Fail("the window of class '" + className + "' did not answer within " +
                             std::to_string(kAnswerLimitMs / 1000) + " s");
        return sim::Fail("the window of class '" + className + "' went away before it answered");
    }
    return 0;
}

}  // namespace

TLW_SIM_COMMAND("sync", "DIR [CLASS]",
                "Returns once the window of class CLASS (default Tallowd) has handled every\n"
                "message sent to it before: it sends the window a message that does nothing\n"
                "and waits for the answer (at most 60 s). Messages posted to the window are\n"
                "not waited for. Fails with exit code 1 when the device has no such window,\n"
                "or when it does not answer.",
                RunSync);
