// tlwsim time DIR [set T | advance DURATION | freeze | thaw]: prints the
// device clock, after moving it or changing its mode when asked to.
#include <cstdio>
#include <string>

#include "platform/kernel/clock.h"
#include "platform/kernel/last_error.h"
#include "sim/clock_moves.h"
#include "sim/command.h"

namespace {

void PrintDeviceTime() {
    std::string text = plat::FormatDeviceTime(plat::GetLocalTime());
    std::printf("%s%s\n", text.c_str(), plat::ClockIsFrozen() ? " (frozen)" : "");
}

int FailClock(const char* what) {
    return sim::Fail(std::string("cannot ") + what + " the device clock (error " +
                     std::to_string(plat::GetLastError()) + ")");
}

int RunTime(const sim::CommandArgs& args) {
    std::string action = args.size() >= 2 ? args[1] : "";
    bool takesValue = action == "set" || action == "advance";
    bool plain = action.empty() || action == "freeze" || action == "thaw";
    size_t expected = action.empty() ? 1 : takesValue ? 3 : 2;
    if (args.size() != expected || (!takesValue && !plain)) return sim::Usage("time");
    // Check the value before touching the device.
    plat::SystemTime target;
    int64_t seconds = 0;
    if (action == "set" && !plat::ParseDeviceTime(args[2].c_str(), &target)) {
        return sim::Fail("'" + args[2] + "' is no device time (YYYY-MM-DDTHH:MM:SS)");
    }
    if (action == "advance" && !plat::ParseDuration(args[2].c_str(), &seconds)) {
        return sim::Fail("'" + args[2] + "' is no duration (like 90s, 15m, 1h30m, 2d)");
    }
    if (!sim::OpenDevice(args)) return 1;

    int code = 0;
    if (action == "set") {
        code = sim::MoveClockTo(target);
    } else if (action == "advance") {
        if (!plat::TryAddSeconds(plat::GetLocalTime(), seconds, &target)) {
            return sim::Fail("advancing by '" + args[2] + "' leaves the range of device times");
        }
        code = sim::MoveClockTo(target);
    } else if (action == "freeze") {
        if (!plat::FreezeClock()) code = FailClock("freeze");
    } else if (action == "thaw") {
        if (!plat::ThawClock()) code = FailClock("thaw");
    }
    if (code != 0) return code;
    PrintDeviceTime();
    return 0;
}

}  // namespace

TLW_SIM_COMMAND("time", "DIR [set YYYY-MM-DDTHH:MM:SS | advance DURATION | freeze | thaw]",
                "Prints the device clock as YYYY-MM-DDTHH:MM:SS, followed by \" (frozen)\" when it\n"
                "is stopped. With an action, first changes it and then prints the new time:\n"
                "  set T             sets the clock to T; it keeps running or stays frozen\n"
                "  advance DURATION  moves the clock forward, e.g. 90s, 15m, 1h30m, 2d\n"
                "  freeze            stops the clock; it then moves only by set and advance\n"
                "  thaw              lets the clock run on from where it stands",
                RunTime);
