// The weekly time schedule of `Time` profiles: which slot starts next today
// and which slot is in effect now. Slots start at second 15 of their minute.
#pragma once

#include <cstdint>

#include "common/config/profile.h"
#include "platform/kernel/clock.h"

namespace tlw {

// Monday 0 ... Sunday 6, from the platform's day of week (Sunday 0).
int DayIndex(const plat::SystemTime& t);

// The start of slot `slot` of profile p on the date of day: hour and minute
// from its "HH:MM" text, second 15.
plat::SystemTime SlotTime(const Profile& p, int slot, const plat::SystemTime& day);

// A profile index with the start time of one of its slots.
struct SlotChoice {
    int32_t profile = kNoDecision;  // the profile, or 600 when none
    plat::SystemTime start;         // the slot's start (valid with a profile)
};

// The nearest slot still to come today, counted from now plus 10 seconds, or
// from the start of now's minute (second 1) with fromMinuteStart.
SlotChoice NextSlotToday(const ProfileTable& profiles, const plat::SystemTime& now, bool fromMinuteStart);

// The profile of the slot that started last: today, or failing that the
// latest slot of yesterday whose clock time is not before now's. 600 when none.
int32_t SlotInEffectNow(const ProfileTable& profiles, const plat::SystemTime& now);

}  // namespace tlw
