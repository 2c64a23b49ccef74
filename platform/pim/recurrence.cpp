#include "platform/pim/recurrence.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/pim/appointment.h"

namespace plat {
namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kTicksPerSecond = 10000000;
constexpr int kLastYear = 30827;  // of SystemTime

const std::array<const char*, 7> kDayNames = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};

// Days since 1 January 1601 of t's date; false for an invalid date.
bool DayNumber(const SystemTime& t, int64_t* day) {
    SystemTime midnight = t;
    midnight.hour = midnight.minute = midnight.second = midnight.milliseconds = 0;
    FileTime ft = 0;
    if (!SystemTimeToFileTime(midnight, &ft)) return false;
    *day = static_cast<int64_t>(ft / kTicksPerSecond) / kSecondsPerDay;
    return true;
}

bool DayNumber(int year, int month, int day, int64_t* out) {
    SystemTime t;
    t.year = static_cast<uint16_t>(year);
    t.month = static_cast<uint16_t>(month);
    t.day = static_cast<uint16_t>(day);
    return DayNumber(t, out);
}

// 0 Sunday ... 6 Saturday (1 January 1601 was a Monday).
int WeekdayOf(int64_t day) { return static_cast<int>((day + 1) % 7); }

bool LeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && LeapYear(year) ? 29 : kDays[month - 1];
}

// Collects occurrences in start order until the pattern, the count or the
// horizon ends them.
class Collector {
public:
    Collector(const Appointment& series, const SystemTime& horizon, std::vector<Appointment>* out)
        : series_(series), out_(out) {
        const SystemTime& s = series.start;
        timeOfDay_ = s.hour * 3600 + s.minute * 60 + s.second;
        length_ = SecondsBetween(series.start, series.end);
        FileTime ft = 0;
        ok_ = DayNumber(s, &firstDay_) && SystemTimeToFileTime(horizon, &ft);
        horizonSeconds_ = static_cast<int64_t>(ft / kTicksPerSecond);
        const RecurrencePattern& p = series.recurrence;
        if (ok_ && p.hasEndDate) ok_ = DayNumber(p.patternEnd, &lastDay_);
        else lastDay_ = INT64_MAX;
        for (const SystemTime& d : p.deleted) {
            int64_t day = 0;
            if (DayNumber(d, &day)) deleted_.push_back(day);
        }
        std::sort(deleted_.begin(), deleted_.end());
    }

    bool Ok() const { return ok_; }
    int64_t FirstDay() const { return firstDay_; }

    // Adds the occurrence on `day` (skipped before the series' first day);
    // false once no later one may follow.
    bool Add(int64_t day) {
        if (day < firstDay_) return true;
        if (day > lastDay_) return false;
        int64_t startSeconds = day * kSecondsPerDay + timeOfDay_;
        if (startSeconds >= horizonSeconds_) return false;
        const RecurrencePattern& p = series_.recurrence;
        if (std::binary_search(deleted_.begin(), deleted_.end(), day)) {
            ++count_;  // deleted, but it still had its place in the series
            return p.occurrences <= 0 || count_ < p.occurrences;
        }
        Appointment a = series_;
        if (!FileTimeToSystemTime(static_cast<FileTime>(startSeconds) * kTicksPerSecond, &a.start)) return false;
        a.start.milliseconds = series_.start.milliseconds;
        if (!TryAddSeconds(a.start, length_, &a.end)) return false;
        out_->push_back(std::move(a));
        ++count_;
        return p.occurrences <= 0 || count_ < p.occurrences;
    }

private:
    const Appointment& series_;
    std::vector<Appointment>* out_;
    int64_t timeOfDay_ = 0;        // seconds after midnight of every start
    int64_t length_ = 0;           // seconds from start to end
    int64_t firstDay_ = 0;         // day of the series' start
    int64_t lastDay_ = INT64_MAX;  // last day an occurrence may start on
    int64_t horizonSeconds_ = 0;   // occurrences start before this
    std::vector<int64_t> deleted_; // days of deleted occurrences, sorted
    int32_t count_ = 0;            // occurrences given so far (deleted ones too)
    bool ok_ = false;              // the series' times are valid
};

// Monthly and yearly: the day of the month in month `index` counted from
// January of year 0 (clamped to the month's last day).
bool AddMonthIndex(Collector& c, int64_t index, int dayOfMonth) {
    int year = static_cast<int>(index / 12);
    int month = static_cast<int>(index % 12) + 1;
    if (year > kLastYear) return false;
    int64_t day = 0;
    if (!DayNumber(year, month, std::min(dayOfMonth, DaysInMonth(year, month)), &day)) return false;
    return c.Add(day);
}

}  // namespace

std::string CheckRecurrence(const Appointment& a) {
    if (!a.isRecurring) return {};
    const RecurrencePattern& p = a.recurrence;
    if (p.type != kRecursDaily && p.type != kRecursWeekly && p.type != kRecursMonthly && p.type != kRecursYearly)
        return "the recurrence must be daily, weekly, monthly or yearly";
    if (p.interval < 1 || p.interval > kMaxRecurrenceInterval) return "a recurrence repeats every 1 ... 999 units";
    if ((p.daysOfWeek & ~kEveryDayOfWeek) != 0) return "unknown days of the week";
    if (p.daysOfWeek != 0 && p.type != kRecursWeekly) return "days of the week belong to a weekly recurrence";
    if (p.occurrences < 0 || p.occurrences > kMaxOccurrences) return "a recurrence has 1 ... 999 occurrences";
    if (p.hasEndDate && p.occurrences > 0) return "a recurrence ends by a date or by a count, not both";
    if (p.deleted.size() > kMaxDeletedOccurrences) return "too many deleted occurrences";
    for (const SystemTime& d : p.deleted) {
        int64_t day = 0;
        if (!DayNumber(d, &day)) return "a deleted occurrence's day is no date";
    }
    if (p.hasEndDate) {
        int64_t first = 0, last = 0;
        if (!DayNumber(a.start, &first) || !DayNumber(p.patternEnd, &last)) return "the recurrence's end is no date";
        if (last < first) return "the recurrence ends before it starts";
    }
    return {};
}

void ExpandOccurrences(const Appointment& series, const SystemTime& horizon, std::vector<Appointment>* out) {
    if (!series.isRecurring || !CheckRecurrence(series).empty()) return;
    Collector c(series, horizon, out);
    if (!c.Ok()) return;
    const RecurrencePattern& p = series.recurrence;
    const int64_t first = c.FirstDay();
    switch (p.type) {
    case kRecursDaily:
        for (int64_t day = first; c.Add(day); day += p.interval) {
        }
        break;
    case kRecursWeekly: {
        uint32_t days = p.daysOfWeek != 0 ? p.daysOfWeek : 1u << WeekdayOf(first);
        bool more = true;
        for (int64_t week = first - WeekdayOf(first); more; week += 7 * static_cast<int64_t>(p.interval))
            for (int weekday = 0; weekday < 7 && more; ++weekday)
                if (days & (1u << weekday)) more = c.Add(week + weekday);
        break;
    }
    case kRecursMonthly:
    case kRecursYearly: {
        int64_t step = p.type == kRecursMonthly ? p.interval : 12 * static_cast<int64_t>(p.interval);
        int64_t index = static_cast<int64_t>(series.start.year) * 12 + (series.start.month - 1);
        for (; AddMonthIndex(c, index, series.start.day); index += step) {
        }
        break;
    }
    default:
        break;
    }
}

bool HasOccurrenceOn(const Appointment& series, const SystemTime& day) {
    int64_t wanted = 0;
    if (!DayNumber(day, &wanted)) return false;
    SystemTime horizon;
    FileTime ft = static_cast<FileTime>((wanted + 1) * kSecondsPerDay) * kTicksPerSecond;
    if (!FileTimeToSystemTime(ft, &horizon)) return false;
    std::vector<Appointment> occurrences;
    ExpandOccurrences(series, horizon, &occurrences);
    int64_t last = 0;
    return !occurrences.empty() && DayNumber(occurrences.back().start, &last) && last == wanted;
}

std::string FormatDaysOfWeek(uint32_t days) {
    std::string text;
    for (int weekday = 0; weekday < 7; ++weekday) {
        if (!(days & (1u << weekday))) continue;
        if (!text.empty()) text += ',';
        text += kDayNames[weekday];
    }
    return text;
}

bool ParseDaysOfWeek(std::string_view text, uint32_t* days) {
    uint32_t result = 0;
    size_t at = 0;
    while (at <= text.size()) {
        size_t comma = text.find(',', at);
        std::string_view word = text.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at);
        int found = -1;
        for (int weekday = 0; weekday < 7; ++weekday)
            if (word.size() == 2 && (word[0] | 0x20) == (kDayNames[weekday][0] | 0x20) &&
                (word[1] | 0x20) == kDayNames[weekday][1])
                found = weekday;
        if (found < 0 || (result & (1u << found))) return false;
        result |= 1u << found;
        if (comma == std::string_view::npos) break;
        at = comma + 1;
    }
    *days = result;
    return true;
}

}  // namespace plat
