#include "engine/wake_ups.h"

#include <vector>

#include "base/text.h"
#include "engine/engine_log.h"
#include "engine/sound_repetition.h"
#include "engine/time_schedule.h"
#include "platform/notify/user_notify.h"

namespace tlw {
namespace {

inline constexpr char16_t kCellVerifyApplication[] = u"\\\\.\\Notifications\\NamedEvents\\TlwCellVerify";

// What a query does with one of the engine's notifications.
bool Matches(int32_t kind, std::u16string_view arguments) {
    switch (kind) {
    case kDeleteReevaluations: return arguments == u"500";
    // The repetition wake-ups also begin with '2' but belong to notifications
    // still on screen: rescheduling the day keeps them.
    case kDeleteTimeWakeUps: return !arguments.empty() && arguments[0] < u'3' && !IsRepetitionWakeUpArgument(arguments);
    case kDeleteCalendarWakeUps: return !arguments.empty() && arguments[0] == u'3';
    default: return false;
    }
}

// A wake-up the engine wants pending, and whether one is pending already.
struct WantedWakeUp {
    plat::SystemTime when;
    std::u16string argument;
    bool pending = false;
};

bool SameSecond(const plat::SystemTime& a, const plat::SystemTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second;
}

// Whether a pending notification is one of the wanted wake-ups not yet
// found; it is then marked as found.
bool TakeWanted(const plat::NotificationTrigger& t, std::vector<WantedWakeUp>* wanted) {
    if (!wanted || t.type != plat::kNotificationTriggerTime) return false;
    for (WantedWakeUp& w : *wanted) {
        if (!w.pending && t.arguments == w.argument && SameSecond(t.startTime, w.when) && SameSecond(t.endTime, w.when)) {
            w.pending = true;
            return true;
        }
    }
    return false;
}

// FindOwnWakeUps; a notification that the query would delete but that is
// one of `keep` stays (deleting and setting it again would change nothing
// but cost two writes).
bool WalkOwnWakeUps(const EngineState& engine, int32_t kind, std::vector<WantedWakeUp>* keep) {
    // One read of every pending notification: a notification another
    // program removes meanwhile is simply not in it (reading each by its
    // handle would find it gone and stop the whole query).
    std::vector<plat::UserNotificationInfo> all;
    if (!plat::ListUserNotifications(&all)) {
        LogEvent(engine, u"Error getting Notifications-2", {}, false);
        return false;
    }
    if (all.empty()) {
        LogEvent(engine, u"Error getting Notifications-1", {}, false);
        return false;
    }
    std::u16string_view engineProgram = engine.paths.engineProgram.View();
    bool found = false;
    for (const plat::UserNotificationInfo& info : all) {
        const plat::NotificationTrigger& t = info.trigger;
        if (kind == kDeleteCellVerify) {
            if (EqualsNoCase(t.application, kCellVerifyApplication)) plat::ClearUserNotification(info.handle);
            continue;
        }
        if (!EqualsNoCase(t.application, engineProgram)) continue;
        if (kind == kFindDelayedActivation) {
            if (t.arguments == u"500") found = true;
        } else if (Matches(kind, t.arguments) && !TakeWanted(t, keep)) {
            plat::ClearUserNotification(info.handle);
        }
    }
    return found;
}

}  // namespace

bool FindOwnWakeUps(const EngineState& engine, int32_t kind) { return WalkOwnWakeUps(engine, kind, nullptr); }

plat::NotificationHandle ScheduleWakeUp(const EngineState& engine, const plat::SystemTime& when,
                                        std::u16string_view argument) {
    plat::NotificationTrigger t;
    t.type = plat::kNotificationTriggerTime;
    t.application = engine.paths.engineProgram.Str();
    t.arguments = std::u16string(argument);
    t.startTime = when;
    t.endTime = when;
    return plat::SetUserNotification(t);
}

bool WakeUpPending(plat::NotificationHandle handle) {
    if (handle == 0) return false;
    uint32_t size = 0;
    plat::GetUserNotification(handle, 0, &size, nullptr);
    return size != 0;
}

void RescheduleTimeWakeUps(EngineState& engine, bool fromMinuteStart) {
    plat::SystemTime now = plat::GetLocalTime();
    plat::SystemTime midnight = now;
    midnight.hour = 0;
    midnight.minute = 0;
    midnight.second = 1;
    midnight.milliseconds = 0;
    midnight = plat::AddSeconds(midnight, 86400);
    // The midnight wake-up and the next slot's; those already pending stay.
    SlotChoice next = NextSlotToday(engine.model.profiles, now, fromMinuteStart);
    std::vector<WantedWakeUp> wanted;
    wanted.push_back({midnight, u"16"});
    if (next.profile != kNoDecision) wanted.push_back({next.start, Format(u"%d", {200 + next.profile})});
    WalkOwnWakeUps(engine, kDeleteTimeWakeUps, &wanted);
    for (const WantedWakeUp& w : wanted)
        if (!w.pending) ScheduleWakeUp(engine, w.when, w.argument);
    if (next.profile == kNoDecision)
        LogEvent(engine, u"No more Time profiles today.");
    else
        LogEvent(engine, u"Next Time Prof.: %02d:%02d:%02d", {next.start.hour, next.start.minute, next.start.second});
}

void DeleteAllOwnWakeUps(const EngineState& engine) {
    std::vector<plat::UserNotificationInfo> all;
    if (!plat::ListUserNotifications(&all)) return;
    for (const plat::UserNotificationInfo& info : all)
        if (EqualsNoCase(info.trigger.application, engine.paths.engineProgram.View()))
            plat::ClearUserNotification(info.handle);
}

}  // namespace tlw
