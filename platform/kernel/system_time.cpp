// The platform's time records and their conversions: calendar checks, file
// times, OLE automation dates, second arithmetic and the console's text forms.
// Calendar math is std::chrono's; every time is reduced to milliseconds since
// 1 January 1601 (local calendar) and built back from there.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/kernel/clock.h"

namespace plat {
namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr int64_t kMsPerSecond = 1000;
constexpr int64_t kMsPerDay = 86400 * kMsPerSecond;
constexpr int64_t kFileTimePerMs = 10000;  // 100-ns intervals per millisecond
constexpr int kFirstYear = 1601;
constexpr int kLastYear = 30827;
constexpr int kLastVariantYear = 9999;  // OLE dates end with the year 9999

// Day 0 of file times and of OLE dates, as days of the system clock.
constexpr sys_days kFileTimeEpoch = sys_days{std::chrono::year{kFirstYear} / std::chrono::January / 1};
constexpr sys_days kVariantEpoch = sys_days{std::chrono::year{1899} / std::chrono::December / 30};
constexpr int64_t kVariantEpochDays = (kVariantEpoch - kFileTimeEpoch).count();

// Milliseconds of the last valid moment: 31 December 30827, 23:59:59.999.
constexpr int64_t kLastDay =
    (sys_days{std::chrono::year{kLastYear} / std::chrono::December / 31} - kFileTimeEpoch).count();
constexpr int64_t kMaxMs = kLastDay * kMsPerDay + kMsPerDay - 1;

bool FieldsValid(const SystemTime& t) {
    if (t.year < kFirstYear || t.year > kLastYear) return false;
    year_month_day date{std::chrono::year{t.year}, std::chrono::month{t.month}, std::chrono::day{t.day}};
    return date.ok() && t.hour < 24 && t.minute < 60 && t.second < 60 && t.milliseconds < 1000;
}

// Days since 1 January 1601 of a valid time's date.
int64_t DayNumber(const SystemTime& t) {
    year_month_day date{std::chrono::year{t.year}, std::chrono::month{t.month}, std::chrono::day{t.day}};
    return (sys_days{date} - kFileTimeEpoch).count();
}

int64_t MsOfDay(const SystemTime& t) {
    return ((t.hour * 60 + t.minute) * 60 + t.second) * kMsPerSecond + t.milliseconds;
}

// Milliseconds since 1601 of a valid time.
int64_t ToMs(const SystemTime& t) { return DayNumber(t) * kMsPerDay + MsOfDay(t); }

// The time of a millisecond count in [0, kMaxMs].
SystemTime FromMs(int64_t ms) {
    int64_t dayNumber = ms / kMsPerDay;
    int64_t rest = ms % kMsPerDay;
    sys_days date = kFileTimeEpoch + days{dayNumber};
    year_month_day ymd{date};
    SystemTime t;
    t.year = static_cast<uint16_t>(static_cast<int>(ymd.year()));
    t.month = static_cast<uint16_t>(static_cast<unsigned>(ymd.month()));
    t.day = static_cast<uint16_t>(static_cast<unsigned>(ymd.day()));
    t.dayOfWeek = static_cast<uint16_t>(std::chrono::weekday{date}.c_encoding());
    t.hour = static_cast<uint16_t>(rest / (3600 * kMsPerSecond));
    t.minute = static_cast<uint16_t>(rest / (60 * kMsPerSecond) % 60);
    t.second = static_cast<uint16_t>(rest / kMsPerSecond % 60);
    t.milliseconds = static_cast<uint16_t>(rest % kMsPerSecond);
    return t;
}

// Reads exactly `count` decimal digits at text[0 .. count-1].
bool ReadDigits(const char* text, int count, unsigned* value) {
    unsigned v = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + static_cast<unsigned>(text[i] - '0');
    }
    *value = v;
    return true;
}

}  // namespace

bool NormalizeSystemTime(SystemTime* t) {
    if (!t || !FieldsValid(*t)) return false;
    t->dayOfWeek = static_cast<uint16_t>(std::chrono::weekday{kFileTimeEpoch + days{DayNumber(*t)}}.c_encoding());
    return true;
}

bool SystemTimeToFileTime(const SystemTime& t, FileTime* out) {
    if (!out || !FieldsValid(t)) return false;
    *out = static_cast<FileTime>(ToMs(t)) * kFileTimePerMs;
    return true;
}

bool FileTimeToSystemTime(FileTime ft, SystemTime* out) {
    if (!out) return false;
    FileTime ms = ft / kFileTimePerMs;
    if (ms > static_cast<FileTime>(kMaxMs)) return false;
    *out = FromMs(static_cast<int64_t>(ms));
    return true;
}

bool SystemTimeToVariantTime(const SystemTime& t, double* out) {
    if (!out || !FieldsValid(t) || t.year > kLastVariantYear) return false;
    int64_t dayNumber = DayNumber(t) - kVariantEpochDays;
    double fraction = static_cast<double>(MsOfDay(t) / kMsPerSecond) / 86400.0;
    // Before the epoch the whole part counts back while the time of day still
    // counts forward: 29 December 1899 06:00 is -1.25.
    *out = dayNumber >= 0 ? static_cast<double>(dayNumber) + fraction : static_cast<double>(dayNumber) - fraction;
    return true;
}

bool VariantTimeToSystemTime(double v, SystemTime* out) {
    if (!out || !std::isfinite(v)) return false;
    // Whole days toward zero; the fraction's size is the time of day either side.
    double whole = std::trunc(v);
    if (whole < -1e7 || whole > 1e7) return false;
    int64_t dayNumber = static_cast<int64_t>(whole);
    int64_t seconds = std::llround(std::fabs(v - whole) * 86400.0);
    if (seconds >= 86400) {
        // Rounded up to the next midnight: one day further from the epoch,
        // which before the epoch is one day further back.
        seconds = 0;
        dayNumber += v < 0 ? -1 : 1;
    }
    int64_t ms = (dayNumber + kVariantEpochDays) * kMsPerDay + seconds * kMsPerSecond;
    if (ms < 0 || ms > kMaxMs) return false;
    SystemTime t = FromMs(ms);
    if (t.year > kLastVariantYear) return false;
    *out = t;
    return true;
}

bool TryAddSeconds(const SystemTime& t, int64_t seconds, SystemTime* out) {
    if (!out || !FieldsValid(t)) return false;
    constexpr int64_t kMaxSeconds = kMaxMs / kMsPerSecond + 1;
    if (seconds > kMaxSeconds || seconds < -kMaxSeconds) return false;
    int64_t ms = ToMs(t) + seconds * kMsPerSecond;
    if (ms < 0 || ms > kMaxMs) return false;
    *out = FromMs(ms);
    return true;
}

SystemTime AddSeconds(const SystemTime& t, int64_t seconds) {
    SystemTime result = t;
    TryAddSeconds(t, seconds, &result);
    return result;
}

int64_t SecondsBetween(const SystemTime& a, const SystemTime& b) {
    if (!FieldsValid(a) || !FieldsValid(b)) return 0;
    return (ToMs(b) - ToMs(a)) / kMsPerSecond;
}

int CompareSystemTime(const SystemTime& a, const SystemTime& b) {
    const uint16_t SystemTime::*fields[] = {&SystemTime::year,   &SystemTime::month,  &SystemTime::day,
                                            &SystemTime::hour,   &SystemTime::minute, &SystemTime::second,
                                            &SystemTime::milliseconds};
    for (auto field : fields) {
        if (a.*field != b.*field) return a.*field < b.*field ? -1 : 1;
    }
    return 0;
}

bool ParseDeviceTime(const char* text, SystemTime* out) {
    if (!text || !out) return false;
    // "YYYY-MM-DDTHH:MM:SS": fixed positions, nothing before or after.
    for (int i = 0; i < 19; ++i) {
        if (text[i] == '\0') return false;
    }
    if (text[19] != '\0') return false;
    if (text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':') return false;
    unsigned year, month, day, hour, minute, second;
    if (!ReadDigits(text, 4, &year) || !ReadDigits(text + 5, 2, &month) || !ReadDigits(text + 8, 2, &day) ||
        !ReadDigits(text + 11, 2, &hour) || !ReadDigits(text + 14, 2, &minute) || !ReadDigits(text + 17, 2, &second)) {
        return false;
    }
    SystemTime t;
    t.year = static_cast<uint16_t>(year);
    t.month = static_cast<uint16_t>(month);
    t.day = static_cast<uint16_t>(day);
    t.hour = static_cast<uint16_t>(hour);
    t.minute = static_cast<uint16_t>(minute);
    t.second = static_cast<uint16_t>(second);
    if (!NormalizeSystemTime(&t)) return false;
    *out = t;
    return true;
}

std::string FormatDeviceTime(const SystemTime& t) {
    char text[40];  // room for any field values, so nothing is ever cut
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u", unsigned{t.year}, unsigned{t.month},
                  unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute}, unsigned{t.second});
    return text;
}

bool ParseDuration(const char* text, int64_t* seconds) {
    if (!text || !seconds || *text == '\0') return false;
    static constexpr struct {
        char unit;     // the letter after the number
        int64_t size;  // seconds per unit
    } kUnits[] = {{'d', 86400}, {'h', 3600}, {'m', 60}, {'s', 1}};
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    int64_t total = 0;
    size_t nextUnit = 0;  // units must come in the order of kUnits, each once
    const char* p = text;
    while (*p) {
        if (*p < '0' || *p > '9') return false;
        int64_t number = 0;
        for (; *p >= '0' && *p <= '9'; ++p) {
            int digit = *p - '0';
            if (number > (kMax - digit) / 10) return false;
            number = number * 10 + digit;
        }
        while (nextUnit < std::size(kUnits) && kUnits[nextUnit].unit != *p) ++nextUnit;
        if (nextUnit == std::size(kUnits)) return false;  // no unit, an unknown one, or out of order
        int64_t size = kUnits[nextUnit].size;
        if (number > (kMax - total) / size) return false;
        total += number * size;
        ++nextUnit;
        ++p;
    }
    *seconds = total;
    return true;
}

}  // namespace plat
