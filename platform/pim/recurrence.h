// Recurring appointments: the pattern a series repeats by, as the calendar's
// object model describes it (type, interval, days of the week, an end date
// or a number of occurrences, or no end), and the occurrences it gives.
//
// Each occurrence is a copy of the series' appointment (the same identifier
// and fields) with its own start and end: the start's time of day and the
// series' length are kept. Dates are the device's local dates; the device
// time has no daylight-saving shifts, so every occurrence starts at the same
// time of day.
//   daily    every `interval` days from the start.
//   weekly   every `interval` weeks (weeks begin on Sunday) on each day of
//            `daysOfWeek` (none: the start's weekday), from the start on.
//   monthly  every `interval` months on the start's day of the month; a
//            month without that day has it on its last day (31 → 30 April,
//            28 or 29 February).
//   yearly   every `interval` years on the start's day and month (29
//            February → 28 February in other years).
// The first occurrence is the series' own start when that day belongs to the
// pattern (it always does, except a weekly pattern whose days leave out the
// start's weekday). An occurrence deleted on its own (the user removed one
// meeting of the series) is left out; it still counts toward `occurrences`,
// so the series ends where it did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/kernel/clock.h"

namespace plat {

struct Appointment;

// How a series repeats (the object model's RecurrenceType values).
enum RecurrenceType : int32_t {
    kRecursDaily = 0,
    kRecursWeekly = 1,
    kRecursMonthly = 2,
    kRecursYearly = 5,
};

// Days of the week for a weekly pattern (the object model's DayOfWeekMask).
enum DayOfWeekBits : uint32_t {
    kDaySunday = 0x01,
    kDayMonday = 0x02,
    kDayTuesday = 0x04,
    kDayWednesday = 0x08,
    kDayThursday = 0x10,
    kDayFriday = 0x20,
    kDaySaturday = 0x40,
};
constexpr uint32_t kEveryDayOfWeek = 0x7F;
constexpr int32_t kMaxRecurrenceInterval = 999;
constexpr int32_t kMaxOccurrences = 999;

struct RecurrencePattern {
    int32_t type = kRecursDaily;  // RecurrenceType
    int32_t interval = 1;         // every N days, weeks, months or years (1 ... 999)
    uint32_t daysOfWeek = 0;      // weekly: DayOfWeekBits; 0 for the start's weekday
    bool hasEndDate = false;      // ends with the day patternEnd
    SystemTime patternEnd;        // the last day an occurrence may start on (time of day ignored)
    int32_t occurrences = 0;      // ends after this many (1 ... 999); 0 when not counted
    std::vector<SystemTime> deleted;  // days whose occurrence was deleted (time of day ignored)
};
constexpr size_t kMaxDeletedOccurrences = 999;

// Why the series' pattern cannot be stored, or empty when it can: a type,
// interval or count out of range, days given to a pattern that is not
// weekly, both an end date and a count, an end date before the start, or a
// deleted day that is no date.
std::string CheckRecurrence(const Appointment& series);

// The occurrences of a recurring appointment that start before `horizon`,
// in start order, appended to *out. A series without an end is cut there.
void ExpandOccurrences(const Appointment& series, const SystemTime& horizon, std::vector<Appointment>* out);

// Whether the series has an occurrence starting on that day (deleted ones do
// not count).
bool HasOccurrenceOn(const Appointment& series, const SystemTime& day);

// "Mo,We" for kDayMonday | kDayWednesday (Sunday first: "Su,Mo,...,Sa"),
// and back; false for a word that is no day or a day given twice.
std::string FormatDaysOfWeek(uint32_t days);
bool ParseDaysOfWeek(std::string_view text, uint32_t* days);

}  // namespace plat
