// tlwsim boot DIR: runs the device host until the device is halted: the
// shell (taskbar, menu bar, Today screen), the Startup programs, and the
// notifications that fall due while the clock runs.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "base/text.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/sync_objects.h"
#include "platform/notify/user_notify.h"
#include "platform/shell/shell_host.h"
#include "platform/shell/startup_programs.h"
#include "platform/storage/device.h"
#include "platform/storage/journal.h"
#include "platform/window/compositor.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "sim/command.h"
#include "sim/shell.h"

namespace sim {
namespace {

constexpr char kHelp[] =
    "Runs the device host of the phone in DIR until `tlwsim halt DIR`: the shell\n"
    "with the taskbar (class HHTaskBar: the foreground window's title, the\n"
    "notification icons, the clock), the menu bar with the foreground window's\n"
    "two soft keys, and the Today screen (the date, the owner, the Today items\n"
    "listed under HKLM\\Software\\Microsoft\\Today\\Items). It then starts the\n"
    "programs of the Startup folder, and while the device clock runs it fires\n"
    "the notifications that fall due. Only one host runs per device.\n"
    "\n"
    "Prints one line per started program and \"device host running\", then\n"
    "stays until the device is halted. Run it in the background (tlwsim boot DIR &)\n"
    "and look at the phone with tlwsim shot, tlwsim windows or tlwsim view.";

// How often the host looks at the device (screen, clock, icons, soft keys,
// due notifications), in real time.
constexpr std::chrono::milliseconds kTick{250};

// The name of the event programs wait for before they use the shell.
constexpr char16_t kShellReadyEvent[] = u"SYSTEM/ShellAPIReady";

// Fires every notification due by the running clock (a frozen clock is
// moved by the console, which fires them itself).
void FireDue() {
    if (plat::ClockIsFrozen()) return;
    plat::SystemTime next;
    for (int i = 0; i < 100 && plat::NextNotificationTime(&next); ++i) {
        if (plat::CompareSystemTime(next, plat::GetLocalTime()) > 0) break;
        if (!plat::FireNextDueNotification(nullptr)) break;
    }
}

int RunBoot(const CommandArgs& args) {
    if (args.size() != 1) return Usage("boot");
    if (!OpenDevice(args)) return 1;
    int32_t holder = 0;
    if (!plat::ClaimShellHost(&holder)) {
        if (holder != 0)
            return Fail("a device host already runs for " + args[0] + " (process " + std::to_string(holder) + ")");
        return Fail("cannot claim the device " + args[0] + " (error " + std::to_string(plat::GetLastError()) + ")");
    }
    if (!StartShell()) {
        plat::ReleaseShellHost();
        return Fail("cannot make the shell's windows");
    }
    plat::Handle ready = plat::CreateEvent(true, true, kShellReadyEvent);
    plat::JournalAppend("shell ready");

    for (const plat::ShortcutCommand& command : plat::ListStartupCommands())
        std::printf("startup %s\n", tlw::Utf16ToUtf8(command.program).c_str());
    std::vector<uint32_t> started = plat::StartStartupPrograms();
    std::printf("device host running (%zu startup program%s started); tlwsim halt %s ends it\n", started.size(),
                started.size() == 1 ? "" : "s", args[0].c_str());
    std::fflush(stdout);

    // The ticker wakes the shell in real time: the clock, the foreground and
    // the icons may change in any process; due notifications fire.
    std::atomic<bool> running{true};
    plat::Hwnd taskBar = Shell().taskBar;
    std::thread ticker([&] {
        while (running) {
            std::this_thread::sleep_for(kTick);
            if (!running) break;
            FireDue();
            plat::PostMessage(taskBar, plat::WM_SHELLCHANGED, 0, 0);
        }
    });
    int32_t code = plat::RunMessageLoop();
    running = false;
    ticker.join();
    StopShell();
    plat::CloseHandle(ready);
    plat::JournalAppend("shell ended");
    plat::ReleaseShellHost();
    return code < 0 ? 1 : 0;
}

}  // namespace

TLW_SIM_COMMAND("boot", "DIR", kHelp, RunBoot);

}  // namespace sim
