#include "platform/notify/user_notify_fire.h"

#include "base/text.h"
#include "platform/storage/journal.h"
#include "platform/kernel/last_error.h"
#include "platform/process/process.h"
#include "platform/kernel/sync_objects.h"

namespace plat {

uint32_t StartNotificationTarget(const NotificationTrigger& trigger) {
    std::u16string event;
    if (NamedEventOfNotificationTarget(trigger.application, &event)) {
        SignalNamedEvent(event);  // journalled by the event
        return 0;
    }
    ProcessInformation info{};
    bool journalled = false;
    if (!CreateProcessJournalled(trigger.application, trigger.arguments, 0, &info, &journalled)) {
        // The notification is gone either way, as on the phone; the journal
        // shows why nothing ran (a start that was attempted says so itself).
        if (journalled) return 0;
        std::string line = "start failed " + tlw::Utf16ToUtf8(trigger.application);
        if (!trigger.arguments.empty()) line += " " + tlw::Utf16ToUtf8(trigger.arguments);
        JournalAppend(line + " (error " + std::to_string(GetLastError()) + ")");
        return 0;
    }
    CloseHandle(info.thread);
    CloseHandle(info.process);
    return info.processId;
}

}  // namespace plat
