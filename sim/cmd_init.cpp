// tlwsim init: creates a fresh simulated phone in a host folder.
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/config/config_paths.h"
#include "platform/kernel/clock.h"
#include "platform/storage/device.h"
#include "platform/storage/file.h"
#include "platform/storage/journal.h"
#include "platform/storage/paths.h"
#include "platform/storage/registry.h"
#include "sim/command.h"
#include "sim/device_setup.h"

namespace sim {
namespace {

constexpr char kHelp[] =
    "Creates a fresh simulated phone in DIR (created when missing; an existing\n"
    "device is refused): its folders, the platform state in DIR/.device, the\n"
    "device model's registry and hardware state, the language file, the default\n"
    "skins and icon store, the ring tones and sounds in \\Windows and\n"
    "\\Windows\\Rings with the sound panel's registry, \\Windows\\Tallowd.exe with\n"
    "its Startup shortcut, the install folder with Tlwconfig.exe and InstallDir,\n"
    "the stand-in programs, and no configuration file.\n"
    "\n"
    "  --model NAME   device model (default: the generic QVGA phone)\n"
    "  --screen qvga|vga  screen class, overriding the model's\n"
    "  --time YYYY-MM-DDTHH:MM:SS  the device clock's start time (default: host time)\n"
    "  --frozen       the clock stands still; it moves only by 'tlwsim time'";

int RunInit(const CommandArgs& args) {
    if (args.empty() || args[0].empty() || args[0][0] == '-') return Usage("init");
    DeviceOptions options;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= args.size()) return false;
            *out = args[++i];
            return true;
        };
        if (a == "--model") {
            if (!value(&options.model)) return Usage("init");
        } else if (a == "--screen") {
            if (!value(&options.screen) || (options.screen != "qvga" && options.screen != "vga"))
                return Fail("--screen takes qvga or vga");
        } else if (a == "--time") {
            std::string t;
            if (!value(&t) || !plat::ParseDeviceTime(t.c_str(), &options.time))
                return Fail("--time takes a device time like 2010-01-01T12:00:00");
            options.timeGiven = true;
        } else if (a == "--frozen") {
            options.frozen = true;
        } else {
            return Fail("unknown option '" + a + "' (try tlwsim init --help)");
        }
    }
    std::string error;
    if (!CreateDevice(args[0], options, &error)) return Fail(error);
    std::string now = plat::FormatDeviceTime(plat::GetLocalTime());
    std::printf("device %s created, clock %s%s\n", args[0].c_str(), now.c_str(), plat::ClockIsFrozen() ? " (frozen)" : "");
    return 0;
}

}  // namespace

TLW_SIM_COMMAND("init", "DIR [--model NAME] [--screen qvga|vga] [--time YYYY-MM-DDTHH:MM:SS] [--frozen]", kHelp,
                RunInit);

}  // namespace sim
