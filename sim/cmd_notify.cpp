// tlwsim notify DIR list|shown|show|dismiss: the device's pending user
// notifications, and the shell's shown notifications (the bubbles of a new
// message, a missed call, a voice mail or a reminder).
#include <cstdio>
#include <string>

#include "base/text.h"
#include "platform/hardware/device_model.h"
#include "platform/kernel/last_error.h"
#include "platform/notify/user_notify.h"
#include "platform/shell/shell_notifications.h"
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

// The events the phone raises a notification for, by the name the console
// gives them, with their notification class and the bubble's title.
struct NotificationKind {
    const char* name;         // console name
    const char16_t* classId;  // notification class
    const char16_t* title;    // bubble title
};

constexpr NotificationKind kKinds[] = {
    {"missedcall", u"{C3465585-39EF-4C9B-B2A3-5558BF27BFB0}", u"Missed call"},
    {"sms", u"{A877D65B-239C-47A7-9304-0D347F580408}", u"Text message"},
    {"email", u"{A877D65A-239C-47A7-9304-0D347F580408}", u"E-mail"},
    {"voicemail", u"{A877D660-239C-47A7-9304-0D347F580408}", u"Voice mail"},
    {"reminder", u"{15F11F90-8A5F-454C-89FC-BA9B7AAB0CAD}", u"Reminder"},
};
// A Palm Treo raises its text messages under a class of its own.
constexpr char16_t kTreoSmsClass[] = u"{283E0018-E5C9-44E4-9864-4C4A3DED3BC3}";

// The class of a kind name or a class identifier given as it stands;
// empty when the text is neither.
std::u16string ClassOf(const std::string& text, std::u16string* title) {
    for (const NotificationKind& kind : kKinds) {
        if (text != kind.name) continue;
        *title = kind.title;
        if (text == "sms" && plat::CurrentDeviceModel().oemInfo.find(u"Palm Treo") != std::u16string::npos)
            return kTreoSmsClass;
        return kind.classId;
    }
    std::u16string id = tlw::Utf8ToUtf16(text);
    *title = u"Notification";
    return plat::IsNotificationClassId(id) ? id : std::u16string();
}

bool ParseId(const std::string& text, uint32_t* out) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    unsigned long long v = std::stoull(text);
    if (v == 0 || v > 0xFFFFFFFFull) return false;
    *out = static_cast<uint32_t>(v);
    return true;
}

int ListPending() {
    std::vector<plat::UserNotificationInfo> all;
    if (!plat::ListUserNotifications(&all))
        return sim::Fail("cannot read the pending notifications (error " + std::to_string(plat::GetLastError()) +
                         ")");
    for (const plat::UserNotificationInfo& n : all) std::printf("%s\n", FormatNotification(n).c_str());
    return 0;
}

int ListShown() {
    std::vector<plat::ShellNotification> shown;
    if (!plat::ListShellNotifications(&shown)) return sim::Fail("cannot read the shown notifications");
    for (const plat::ShellNotification& n : shown)
        std::printf("%u %s %s %s\n", n.id, tlw::Utf16ToUtf8(n.classId).c_str(), n.time.c_str(),
                    tlw::Utf16ToUtf8(n.text).c_str());
    return 0;
}

int Show(const sim::CommandArgs& args) {
    if (args.size() < 3 || args.size() > 4) return sim::Usage("notify");
    std::u16string title;
    std::u16string classId = ClassOf(args[2], &title);
    if (classId.empty())
        return sim::Fail("unknown notification '" + args[2] +
                         "' (expected missedcall, sms, email, voicemail, reminder or a class {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX})");
    std::u16string text = args.size() == 4 ? tlw::Utf8ToUtf16(args[3]) : title;
    uint32_t id = plat::ShowShellNotification(classId, title, text);
    if (id == 0) return sim::Fail("cannot show the notification");
    std::printf("%u\n", id);
    return 0;
}

// Dismisses by number, by kind or class (every shown one of it), or all.
int Dismiss(const sim::CommandArgs& args) {
    if (args.size() != 3) return sim::Usage("notify");
    std::vector<plat::ShellNotification> shown;
    if (!plat::ListShellNotifications(&shown)) return sim::Fail("cannot read the shown notifications");
    uint32_t id = 0;
    if (ParseId(args[2], &id)) {
        if (!plat::DismissShellNotification(id)) return sim::Fail("no notification " + args[2] + " is shown");
        return 0;
    }
    std::u16string title;
    std::u16string classId = args[2] == "all" ? std::u16string() : ClassOf(args[2], &title);
    if (args[2] != "all" && classId.empty())
        return sim::Fail("unknown notification '" + args[2] + "' (expected a number, a kind, a class or all)");
    for (const plat::ShellNotification& n : shown) {
        if (!classId.empty() && !tlw::EqualsNoCase(n.classId, classId)) continue;
        if (!plat::DismissShellNotification(n.id)) return sim::Fail("cannot dismiss notification " + std::to_string(n.id));
    }
    return 0;
}

int RunNotify(const sim::CommandArgs& args) {
    if (args.size() < 2) return sim::Usage("notify");
    const std::string& action = args[1];
    if ((action == "list" || action == "shown") && args.size() != 2) return sim::Usage("notify");
    if (action != "list" && action != "shown" && action != "show" && action != "dismiss") return sim::Usage("notify");
    if (!sim::OpenDevice(args)) return 1;
    if (action == "list") return ListPending();
    if (action == "shown") return ListShown();
    if (action == "show") return Show(args);
    return Dismiss(args);
}

}  // namespace

TLW_SIM_COMMAND("notify", "DIR list | shown | show KIND|CLASS [TEXT] | dismiss ID|KIND|CLASS|all",
                "list: prints the pending user notifications, one line each: time\n"
                "notifications first, by their time, as\n"
                "  YYYY-MM-DDTHH:MM:SS APPLICATION ARGUMENTS\n"
                "then event notifications, by event number, as\n"
                "  event N APPLICATION ARGUMENTS\n"
                "(N 11: the device wakes up). APPLICATION is a program's device path or a\n"
                "named event \\\\.\\Notifications\\NamedEvents\\NAME.\n"
                "\n"
                "show: puts a notification on the screen as the event would: KIND is\n"
                "missedcall, sms, email, voicemail or reminder, or CLASS a notification\n"
                "class {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}; TEXT is the bubble's text.\n"
                "Its class's sound plays as the sound settings say. Prints the\n"
                "notification's number.\n"
                "dismiss: takes notification ID, every shown one of KIND or CLASS, or all\n"
                "of them off the screen.\n"
                "shown: prints the notifications on screen, oldest first, as\n"
                "  ID CLASS YYYY-MM-DDTHH:MM:SS TEXT",
                RunNotify);
