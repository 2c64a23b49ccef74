// tlwsim run: starts a device program as the platform does and waits for it
// unless it stays resident.
#include <cstdio>
#include <string>

#include "base/text.h"
#include "platform/kernel/kernel_errors.h"
#include "platform/process/process.h"
#include "platform/kernel/wait.h"
#include "platform/window/window.h"
#include "sim/command.h"
#include "sim/device_services.h"

namespace sim {
namespace {

constexpr char kHelp[] =
    "Starts the device program PROGRAM (a device path such as \\Windows\\Tallowd.exe;\n"
    "a bare name is looked for in \\Windows) with ARGS joined by blanks as its\n"
    "command line, exactly as the platform starts programs.\n"
    "\n"
    "A program that ends is waited for and its exit code printed:\n"
    "  exit code N\n"
    "A program that shows a top-level window before it ends stays resident: it\n"
    "keeps running after run returns, and run prints\n"
    "  PROGRAM resident, pid N\n"
    "(a program that neither ends nor opens a window is waited for).\n"
    "\n"
    "On a phone with the WIDCOMM Bluetooth stack, run first starts the stack's tray\n"
    "\\Windows\\BtTray.exe when it is not running, as the booted phone would have it.";

// How often run looks for the program's window while it waits.
constexpr uint32_t kWindowCheckMs = 50;

std::string DescribeError(uint32_t error) {
    switch (error) {
        case plat::kErrorFileNotFound:
            return "no such program on the device";
        case plat::kErrorBadExeFormat:
            return "not a program (or its host executable is not built)";
        case plat::kErrorAccessDenied:
            return "it is a folder";
        default:
            return "error " + std::to_string(error);
    }
}

// True when the process owns a top-level window of the device.
bool HasTopLevelWindow(uint32_t processId) {
    for (plat::Hwnd hwnd : plat::ListTopLevelWindows()) {
        uint32_t owner = 0;
        plat::GetWindowThreadProcessId(hwnd, &owner);
        if (owner == processId) return true;
    }
    return false;
}

int RunProgram(const CommandArgs& args) {
    if (args.size() < 2 || args[1].empty()) return Usage("run");
    if (!OpenDevice(args)) return 1;
    std::string commandLine;
    for (size_t i = 2; i < args.size(); ++i) {
        if (i > 2) commandLine.push_back(' ');
        commandLine += args[i];
    }
    // A booted phone runs its services (the WIDCOMM tray) before any program.
    std::string error;
    if (!tlw::EqualsNoCase(tlw::Utf8ToUtf16(args[1]), u"\\Windows\\BtTray.exe") && !StartDeviceServices(&error))
        return Fail(error);
    plat::ProcessInformation info{};
    if (!plat::CreateProcess(tlw::Utf8ToUtf16(args[1]), tlw::Utf8ToUtf16(commandLine), 0, &info))
        return Fail("cannot start " + args[1] + ": " + DescribeError(plat::GetLastError()));
    plat::CloseHandle(info.thread);
    int code = 0;
    for (;;) {
        if (plat::WaitForSingleObject(info.process, kWindowCheckMs) == plat::kWaitObject0) {
            uint32_t exitCode = 0;
            if (!plat::GetExitCodeProcess(info.process, &exitCode)) {
                code = Fail("cannot read the exit code of " + args[1]);
            } else {
                std::printf("exit code %u\n", exitCode);
            }
            break;
        }
        if (HasTopLevelWindow(info.processId)) {
            std::printf("%s resident, pid %u\n", args[1].c_str(), info.processId);
            break;
        }
    }
    plat::CloseHandle(info.process);
    return code;
}

}  // namespace

TLW_SIM_COMMAND("run", "DIR PROGRAM [ARGS]", kHelp, RunProgram);

}  // namespace sim
