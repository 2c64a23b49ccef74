// The power-notification thread: it waits for the platform's power
// information changes and marks the battery state dirty, so that the next
// refresh reads it again. It ends when the window signals the stop event.
#include "platform/kernel/msg_queue.h"
#include "platform/kernel/sync_objects.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/wait.h"
#include "platform/power/power_notify.h"
#include "today/today_plugin.h"

namespace today {
namespace {

constexpr uint32_t kQueueMessages = 4;
constexpr uint32_t kQueueMessageBytes = 536;

uint32_t PowerNotificationThread(void*) {
    TodayState& s = Plugin();
    LogToday(u"TODAY PLUGIN: Starting PowerNotificationThread");
    plat::MsgQueueOptions options;
    options.flags = plat::kMsgQueueNoPrecommit;
    options.maxMessages = kQueueMessages;
    options.maxMessageSize = kQueueMessageBytes;
    options.readAccess = 1;
    plat::Handle queue = plat::CreateMsgQueue({}, &options);
    plat::Handle registration = queue ? plat::RequestPowerNotifications(queue, plat::kPbtPowerInfoChange) : plat::Handle{};
    plat::Handle waits[2] = {queue, s.stopEvent};
    for (;;) {
        uint32_t which = queue ? plat::WaitForMultipleObjects(2, waits, false, plat::kInfinite)
                               : plat::WaitForSingleObject(s.stopEvent, plat::kInfinite) + 1;
        if (which != plat::kWaitObject0) break;  // the stop event (or a failed wait)
        uint8_t buffer[kQueueMessageBytes];
        uint32_t bytes = 0, flags = 0;
        while (plat::ReadMsgQueue(queue, buffer, sizeof buffer, &bytes, 0, &flags)) {
            auto* message = reinterpret_cast<const plat::PowerBroadcast*>(buffer);
            if (bytes >= sizeof(uint32_t) && message->message == plat::kPbtPowerInfoChange) s.batteryDirty = true;
        }
    }
    if (registration) plat::StopPowerNotifications(registration);
    if (queue) plat::CloseMsgQueue(queue);
    return 0;
}

}  // namespace

void StartPowerThread() {
    TodayState& s = Plugin();
    s.stopEvent = plat::CreateEvent(false, false);
    if (!s.stopEvent) return;
    s.powerThread = plat::CreateThread(&PowerNotificationThread, nullptr, nullptr);
}

void StopPowerThread() {
    TodayState& s = Plugin();
    if (s.stopEvent) plat::SetEvent(s.stopEvent);
    if (s.powerThread) {
        plat::WaitForSingleObject(s.powerThread, plat::kInfinite);
        plat::CloseHandle(s.powerThread);
    }
    if (s.stopEvent) plat::CloseHandle(s.stopEvent);
    s.powerThread = {};
    s.stopEvent = {};
}

}  // namespace today
