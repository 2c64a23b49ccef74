#include "engine/time_schedule.h"

#include "base/text.h"

namespace tlw {
namespace {

bool IsTimeProfile(const Profile& p) { return p.enabled && p.eventType == kEventTime; }

// Hour and minute of a slot as the characters 0-1 and 3-4 convert.
void SlotClock(const Profile& p, int slot, int* hour, int* minute) {
    std::u16string_view text = p.time[slot].View();
    *hour = ParseInt(text.substr(0, std::min<std::size_t>(2, text.size())));
    *minute = text.size() > 3 ? ParseInt(text.substr(3, 2)) : 0;
}

// Slot later than the clock time of now (hours and minutes only); with
// orEqual the same minute counts too.
bool SlotLater(int hour, int minute, const plat::SystemTime& now, bool orEqual) {
    if (hour != now.hour) return hour > now.hour;
    return orEqual ? minute >= now.minute : minute > now.minute;
}

int64_t Seconds(const plat::SystemTime& t) {
    plat::FileTime ft = 0;
    plat::SystemTimeToFileTime(t, &ft);
    return static_cast<int64_t>(ft / 10000000ull);
}

}  // namespace

int DayIndex(const plat::SystemTime& t) { return t.dayOfWeek == 0 ? 6 : t.dayOfWeek - 1; }

plat::SystemTime SlotTime(const Profile& p, int slot, const plat::SystemTime& day) {
    int hour = 0, minute = 0;
    SlotClock(p, slot, &hour, &minute);
    plat::SystemTime t = day;
    t.hour = static_cast<uint16_t>(hour);
    t.minute = static_cast<uint16_t>(minute);
    t.second = 15;
    t.milliseconds = 0;
    return t;
}

SlotChoice NextSlotToday(const ProfileTable& profiles, const plat::SystemTime& nowIn, bool fromMinuteStart) {
    plat::SystemTime now = nowIn;
    if (fromMinuteStart) now.second = 1;
    else now = plat::AddSeconds(now, 10);
    int day = DayIndex(now);
    int64_t best = 86401;
    SlotChoice result;
    for (int i = 0; i < profiles.count && i < kMaxProfiles; ++i) {
        const Profile& p = profiles.profiles[i];
        if (!IsTimeProfile(p)) continue;
        for (int slot = 0; slot < kScheduleSlots; ++slot) {
            if (!p.schedule[day][slot]) continue;
            int hour = 0, minute = 0;
            SlotClock(p, slot, &hour, &minute);
            if (!SlotLater(hour, minute, now, true)) continue;
            plat::SystemTime start = SlotTime(p, slot, now);
            int64_t diff = Seconds(start) - Seconds(now);
            if (diff < 1) continue;
            if (diff < best) {
                best = diff;
                result.profile = i;
                result.start = start;
            }
        }
    }
    return result;
}

int32_t SlotInEffectNow(const ProfileTable& profiles, const plat::SystemTime& nowIn) {
    plat::SystemTime now = nowIn;
    now.second = 16;
    now.milliseconds = 0;
    int today = DayIndex(now);
    int yesterday = today == 0 ? 6 : today - 1;
    int32_t result = kNoDecision;

    int64_t best = INT64_MAX;
    for (int i = 0; i < profiles.count && i < kMaxProfiles; ++i) {
        const Profile& p = profiles.profiles[i];
        if (!IsTimeProfile(p)) continue;
        for (int slot = 0; slot < kScheduleSlots; ++slot) {
            if (!p.schedule[today][slot]) continue;
            int hour = 0, minute = 0;
            SlotClock(p, slot, &hour, &minute);
            if (SlotLater(hour, minute, now, false)) continue;
            int64_t diff = Seconds(now) - Seconds(SlotTime(p, slot, now));
            if (diff < 1) continue;
            if (diff < best) {
                best = diff;
                result = i;
            }
        }
    }
    if (result != kNoDecision) return result;

    int64_t latest = 0;
    for (int i = 0; i < profiles.count && i < kMaxProfiles; ++i) {
        const Profile& p = profiles.profiles[i];
        if (!IsTimeProfile(p)) continue;
        for (int slot = 0; slot < kScheduleSlots; ++slot) {
            if (!p.schedule[yesterday][slot]) continue;
            int hour = 0, minute = 0;
            SlotClock(p, slot, &hour, &minute);
            if (!SlotLater(hour, minute, now, true)) continue;
            int64_t diff = Seconds(SlotTime(p, slot, now)) - Seconds(now);
            if (diff < 1) continue;
            if (diff > latest) {
                latest = diff;
                result = i;
            }
        }
    }
    return result;
}

}  // namespace tlw
