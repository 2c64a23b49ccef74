// tlwsim notify DIR list: the device's pending user notifications.
#include <cstdio>
#include <string>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/notify/user_notify.h"
#include "sim/command.h"

namespace {

// "TIME APPLICATION ARGUMENTS" or "event N APPLICATION ARGUMENTS".
std::string FormatNotification(const plat::UserNotificationInfo& n) {
    const plat::NotificationTrigger& t = n.trigger;
    std::string line = t.type == plat::kNotificationTriggerTime ? plat::FormatDeviceTime(t.startTime)
                                                                : "event " + std::to_string(t.event);
    line += " " + tlw::Utf16ToUtf8(t.application);
    if (!t.arguments.empty()) line += " " + tlw::Utf16ToUtf8(t.arguments);
    return line;
}

int RunNotify(const sim::CommandArgs& args) {
    if (args.size() != 2 || args[1] != "list") return sim::Usage("notify");
    if (!sim::OpenDevice(args)) return 1;
    std::vector<plat::UserNotificationInfo> all;
    if (!plat::ListUserNotifications(&all))
        return sim::Fail("cannot read the pending notifications (error " + std::to_string(plat::GetLastError()) +
                         ")");
    for (const plat::UserNotificationInfo& n : all) std::printf("%s\n", FormatNotification(n).c_str());
    return 0;
}

}  // namespace

TLW_SIM_COMMAND("notify", "DIR list",
                "Prints the pending user notifications, one line each: time notifications\n"
                "first, by their time, as\n"
                "  YYYY-MM-DDTHH:MM:SS APPLICATION ARGUMENTS\n"
                "then event notifications, by event number, as\n"
                "  event N APPLICATION ARGUMENTS\n"
                "(N 11: the device wakes up). APPLICATION is a program's device path or a\n"
                "named event \\\\.\\Notifications\\NamedEvents\\NAME.",
                RunNotify);
