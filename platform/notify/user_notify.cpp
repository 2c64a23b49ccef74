#include "platform/notify/user_notify.h"

#include <algorithm>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/notify/user_notify_fire.h"
#include "platform/notify/user_notify_store.h"

namespace plat {
namespace {

bool ValidTime(const SystemTime& t) {
    SystemTime copy = t;
    return NormalizeSystemTime(&copy);
}

// The checks every new notification passes; false with the last error set.
bool CheckTrigger(const NotificationTrigger& t) {
    bool ok = true;
    if (t.type == kNotificationTriggerTime) {
        ok = ValidTime(t.startTime) && ValidTime(t.endTime) && CompareSystemTime(t.endTime, t.startTime) >= 0;
    } else if (t.type == kNotificationTriggerEvent) {
        ok = t.event != kNotificationEventNone && t.event <= kNotificationEventLast;
    } else {
        ok = false;
    }
    ok = ok && !t.application.empty() && t.application.size() <= kMaxNotificationApplication &&
         t.arguments.size() <= kMaxNotificationArguments &&
         t.application.find(u'\0') == std::u16string::npos && t.arguments.find(u'\0') == std::u16string::npos;
    // A named-event target must name its event.
    if (ok && tlw::StartsWithNoCase(t.application, kNamedEventTargetPrefix))
        ok = NamedEventOfNotificationTarget(t.application, nullptr);
    if (!ok) SetLastError(kErrorInvalidParameter);
    return ok;
}

// Seconds resolution: the store keeps whole seconds.
NotificationTrigger WholeSeconds(NotificationTrigger t) {
    t.startTime.milliseconds = 0;
    t.endTime.milliseconds = 0;
    if (t.type != kNotificationTriggerTime) {
        t.startTime = SystemTime{};
        t.endTime = SystemTime{};
    } else {
        t.event = kNotificationEventNone;
        NormalizeSystemTime(&t.startTime);
        NormalizeSystemTime(&t.endTime);
    }
    return t;
}

FiredNotification Fire(const UserNotificationInfo& info) {
    FiredNotification fired;
    fired.handle = info.handle;
    fired.trigger = info.trigger;
    fired.processId = StartNotificationTarget(info.trigger);
    return fired;
}

}  // namespace

uint32_t UserNotificationRecordSize(const NotificationTrigger& trigger) {
    size_t text = (trigger.application.size() + 1 + trigger.arguments.size() + 1) * sizeof(char16_t);
    return kNotificationHeaderBytes + kNotificationTriggerBytes + static_cast<uint32_t>(text);
}

NotificationHandle SetUserNotification(const NotificationTrigger& trigger) {
    if (!CheckTrigger(trigger)) return 0;
    NotificationTrigger stored = WholeSeconds(trigger);
    NotificationHandle handle = 0;
    uint32_t error = notifystore::Insert(stored, &handle);
    if (error != kErrorSuccess) {
        SetLastError(error);
        return 0;
    }
    // A time that has come already: fire now, from this process. Taking it
    // back out of the store (rather than never storing it) keeps a device
    // host that fires at the same moment from firing it a second time.
    if (stored.type == kNotificationTriggerTime &&
        CompareSystemTime(stored.startTime, GetLocalTime()) <= 0 && notifystore::Remove(handle) == kErrorSuccess) {
        Fire({handle, stored});
    }
    SetLastError(kErrorSuccess);
    return handle;
}

bool ClearUserNotification(NotificationHandle handle) {
    uint32_t error = handle == 0 ? kErrorInvalidHandle : notifystore::Remove(handle);
    SetLastError(error);
    return error == kErrorSuccess;
}

bool GetUserNotificationHandles(NotificationHandle* handles, uint32_t capacity, uint32_t* needed) {
    std::vector<NotificationHandle> all;
    uint32_t error = notifystore::Handles(&all);
    if (error != kErrorSuccess) {
        if (needed) *needed = 0;
        SetLastError(error);
        return false;
    }
    if (needed) *needed = static_cast<uint32_t>(all.size());
    if (all.size() > capacity || (!handles && !all.empty())) {
        SetLastError(kErrorInsufficientBuffer);
        return false;
    }
    std::copy(all.begin(), all.end(), handles);
    SetLastError(kErrorSuccess);
    return true;
}

bool GetUserNotification(NotificationHandle handle, uint32_t bufferSize, uint32_t* bytesNeeded,
                         UserNotificationInfo* out) {
    if (bytesNeeded) *bytesNeeded = 0;
    UserNotificationInfo info;
    uint32_t error = handle == 0 ? kErrorInvalidHandle : notifystore::Get(handle, &info);
    if (error != kErrorSuccess) {
        SetLastError(error);
        return false;
    }
    uint32_t size = UserNotificationRecordSize(info.trigger);
    if (bytesNeeded) *bytesNeeded = size;
    if (bufferSize < size || !out) {
        SetLastError(kErrorInsufficientBuffer);
        return false;
    }
    *out = std::move(info);
    SetLastError(kErrorSuccess);
    return true;
}

bool ListUserNotifications(std::vector<UserNotificationInfo>* out) {
    out->clear();
    uint32_t error = notifystore::List(out);
    SetLastError(error);
    return error == kErrorSuccess;
}

bool NextNotificationTime(SystemTime* out) {
    uint32_t error = notifystore::EarliestTime(out);
    SetLastError(error == kErrorNoMoreItems ? kErrorSuccess : error);
    return error == kErrorSuccess;
}

bool FireNextDueNotification(FiredNotification* fired) {
    UserNotificationInfo info;
    uint32_t error = notifystore::TakeEarliestDue(GetLocalTime(), &info);
    if (error != kErrorSuccess) {
        SetLastError(error == kErrorNoMoreItems ? kErrorSuccess : error);
        return false;
    }
    FiredNotification result = Fire(info);
    if (fired) *fired = std::move(result);
    return true;
}

int FireDueNotifications(std::vector<FiredNotification>* fired) {
    int count = 0;
    FiredNotification one;
    while (FireNextDueNotification(&one)) {
        ++count;
        if (fired) fired->push_back(std::move(one));
    }
    return count;
}

int FireEventNotifications(uint32_t event, std::vector<FiredNotification>* fired) {
    std::vector<UserNotificationInfo> waiting;
    if (notifystore::ForEvent(event, &waiting) != kErrorSuccess) return 0;
    for (const UserNotificationInfo& info : waiting) {
        FiredNotification one = Fire(info);
        if (fired) fired->push_back(std::move(one));
    }
    return static_cast<int>(waiting.size());
}

}  // namespace plat
