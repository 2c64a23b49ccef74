#include "engine/calendar_trigger.h"

#include <cmath>

#include "base/text.h"
#include "engine/engine_actions.h"
#include "engine/engine_log.h"
#include "engine/wake_ups.h"
#include "platform/kernel/clock.h"
#include "platform/pim/calendar_store.h"

namespace tlw {
namespace {

// The profile `state` index of a busy status.
int StateIndex(int32_t busyStatus) {
    switch (busyStatus) {
    case plat::kBusyFree: return 4;
    case plat::kBusyTentative: return 1;
    case plat::kBusyBusy: return 2;
    case plat::kBusyOutOfOffice: return 3;
    default: return 2;
    }
}

bool HasEnabledOutlookProfile(const EngineState& engine) {
    const ProfileTable& t = engine.model.profiles;
    for (int i = 0; i < t.count && i < kMaxProfiles; ++i)
        if (t.profiles[i].enabled && t.profiles[i].eventType == kEventOutlook) return true;
    return false;
}

// What the walk over the items found.
struct CalendarScan {
    int32_t current = kNoDecision;  // profile of the appointments in progress
    plat::SystemTime next;          // the next change; valid when hasNext
    bool hasNext = false;
    bool nextIsStart = false;       // next is a start ("30"), else an end ("34")
};

void TakeNext(CalendarScan& scan, const plat::SystemTime& when, bool isStart) {
    scan.next = when;
    scan.hasNext = true;
    scan.nextIsStart = isStart;
}

// Walks the items in start order from the first that has not ended.
void ScanItems(const EngineState& engine, plat::PimItems& items, const plat::SystemTime& now, CalendarScan& scan) {
    double today = 0;
    plat::SystemTimeToVariantTime(now, &today);
    std::u16string day = Format(u"<%d", {static_cast<int>(std::floor(today))});
    std::u16string restriction = Format(u"[AllDayEvent] = FALSE and [End] >= \"%s\"", {day});

    plat::Appointment item;
    bool have = plat::PimFindItem(&items, restriction, &item);
    while (have && plat::CompareSystemTime(item.end, now) <= 0) have = plat::PimFindNextItem(&items, &item);
    if (!have) return;

    if (plat::CompareSystemTime(item.start, now) > 0) {
        TakeNext(scan, item.start, true);
        return;
    }
    scan.current = MatchAppointment(engine, item);
    TakeNext(scan, item.end, false);
    int64_t firstOid = item.oid;
    plat::SystemTime walkEnd = item.end;
    while (plat::PimFindNextItem(&items, &item) && plat::CompareSystemTime(item.start, walkEnd) < 0 &&
           item.oid != firstOid) {
        if (plat::CompareSystemTime(item.start, now) > 0) {
            // The next start; an end already taken that comes before it
            // stays the next change, so that it is not missed.
            if (plat::CompareSystemTime(item.start, scan.next) < 0) TakeNext(scan, item.start, true);
            break;
        }
        if (plat::CompareSystemTime(item.end, now) > 0) {
            walkEnd = item.end;
            if (plat::CompareSystemTime(item.end, scan.next) < 0) TakeNext(scan, item.end, false);
            int32_t match = MatchAppointment(engine, item);
            if (match != kNoDecision) scan.current = match;  // a later appointment overrides an earlier one
        }
    }
}

}  // namespace

void RegisterCalendarNotifications(EngineState& engine) {
    if (!plat::PimLogOn(&engine.calendar, engine.mainWindow)) return;
    plat::PimFolder folder;
    if (plat::PimGetDefaultFolder(&engine.calendar, plat::kPimFolderCalendar, &folder))
        plat::PimSetFolderProperty(&folder, plat::kPimPropFolderNotifications, 1);
}

void LogOffCalendar(EngineState& engine) { plat::PimLogOff(&engine.calendar); }

int32_t MatchAppointment(const EngineState& engine, const plat::Appointment& appointment) {
    int index = StateIndex(appointment.busyStatus);
    std::u16string_view anyCategory = engine.language.text[kTextAnyCategory].View();
    const ProfileTable& t = engine.model.profiles;
    for (int i = 0; i < t.count && i < kMaxProfiles; ++i) {
        const Profile& p = t.profiles[i];
        if (p.eventType != kEventOutlook || !p.state[index] || !p.enabled) continue;
        if (p.state[0] && appointment.meetingStatus != plat::kMeetingOrganised &&
            appointment.meetingStatus != plat::kMeetingReceived)
            continue;
        if (p.sensitivity != 0 && p.sensitivity != appointment.sensitivity + 1) continue;
        std::u16string_view category = p.category.View();
        bool anyOf = category.empty() || category == anyCategory;
        if (!anyOf && std::u16string_view(appointment.categories).find(category) == std::u16string_view::npos) continue;
        return i;
    }
    return kNoDecision;
}

void RescheduleCalendarWakeUp(EngineState& engine) { EvaluateCalendar(engine); }

int32_t EvaluateCalendar(EngineState& engine) {
    FindOwnWakeUps(engine, kDeleteCalendarWakeUps);
    if (!HasEnabledOutlookProfile(engine)) return kNoDecision;

    plat::PimSession session;
    plat::PimFolder folder;
    plat::PimItems items;
    CalendarScan scan;
    plat::SystemTime now = plat::GetLocalTime();
    if (plat::PimLogOn(&session, {}) && plat::PimGetDefaultFolder(&session, plat::kPimFolderCalendar, &folder) &&
        plat::PimGetItems(folder, &items)) {
        plat::PimSortItems(&items, u"[Start]", false);
        plat::PimIncludeRecurrences(&items, true);
        ScanItems(engine, items, now, scan);
    }
    plat::PimLogOff(&session);

    plat::SystemTime wake;
    if (scan.hasNext) {
        wake = plat::AddSeconds(scan.next, 30);
        ScheduleWakeUp(engine, wake, scan.nextIsStart ? u"30" : u"34");
    }
    LogEvent(engine, u"Current OL Profile: %d; Next Outl Event: day %d %02d:%02d:%02d",
             {scan.current, wake.day, wake.hour, wake.minute, wake.second});
    return scan.current;
}

}  // namespace tlw
