// The device clock and the time records and conversions of the platform.
//
// The device has one local time shared by all its processes, kept in the
// device store (the table clock of "<root>/.device/device.db"). It either runs (host time plus an offset) or is
// frozen (it moves only when the console sets or advances it). In-process
// tests replace it with a virtual clock of this process only, which moves
// only when the test moves it.
#pragma once

#include <cstdint>
#include <string>

namespace plat {

// A local time as the platform's time record holds it.
struct SystemTime {
    uint16_t year = 0;          // 1601 ... 30827
    uint16_t month = 0;         // 1 ... 12
    uint16_t dayOfWeek = 0;     // 0 Sunday ... 6 Saturday
    uint16_t day = 0;           // 1 ... 31
    uint16_t hour = 0;          // 0 ... 23
    uint16_t minute = 0;        // 0 ... 59
    uint16_t second = 0;        // 0 ... 59
    uint16_t milliseconds = 0;  // 0 ... 999
};
static_assert(sizeof(SystemTime) == 16, "the platform's time record is 16 bytes");

// File time: 100-nanosecond intervals since 1 January 1601.
using FileTime = uint64_t;

// The device's current local time (virtual clock when one is in use), with
// dayOfWeek filled. Without a stored clock the device runs at host local time.
SystemTime GetLocalTime();
// Sets the device clock to t, keeping it running or frozen as it is.
// Returns false (last error set) for an invalid time or when the clock
// cannot be stored; the clock then stays as it was.
bool SetLocalTime(const SystemTime& t);

// Clock mode of the device. The changes return false (last error set) when
// the clock cannot be stored; the clock then stays as it was.
bool ClockIsFrozen();
bool FreezeClock();  // stops the clock at its current time
bool ThawClock();    // lets it run on from its current time (false on a virtual clock, which never runs)
// Moves the device clock forward (or back, for negative seconds). False when
// the result would leave the range of SystemTime.
bool AdvanceClock(int64_t seconds);

// The device's clock as seconds since 1 January 1601, local time.
int64_t DeviceSeconds();

// A virtual clock for in-process tests: frozen at start, moved only by
// AdvanceClock/SetLocalTime, never touching the device's stored clock. False
// (and no change) when start is invalid.
bool UseVirtualClock(const SystemTime& start);
void UseDeviceClock();
bool UsingVirtualClock();

// Conversions. Each returns false for an invalid input and leaves *out.
bool SystemTimeToFileTime(const SystemTime& t, FileTime* out);
bool FileTimeToSystemTime(FileTime ft, SystemTime* out);  // also fills dayOfWeek
// OLE automation date: days since 30 December 1899, fraction = time of day.
// Before that day the whole part counts back and the fraction still counts
// forward from midnight: -1.25 is 29 December 1899, 06:00. The resolution is
// one second: milliseconds are ignored going in, and a date coming out is
// rounded to the nearest second. Years 1601 ... 9999.
bool SystemTimeToVariantTime(const SystemTime& t, double* out);
bool VariantTimeToSystemTime(double v, SystemTime* out);

// Fills dayOfWeek from the date; false when the date is invalid.
bool NormalizeSystemTime(SystemTime* t);
// Adds seconds (may be negative) to a local time, across days, months and
// years; milliseconds are kept and dayOfWeek is filled. False, leaving *out,
// when t is invalid or the result leaves the range of SystemTime.
bool TryAddSeconds(const SystemTime& t, int64_t seconds, SystemTime* out);
// The same for callers that know both ends are in range: returns t
// unchanged when TryAddSeconds fails.
SystemTime AddSeconds(const SystemTime& t, int64_t seconds);
// Seconds from a to b (b - a), milliseconds included and the result cut
// toward zero; 0 when either time is invalid.
int64_t SecondsBetween(const SystemTime& a, const SystemTime& b);
// Compares two times field by field (dayOfWeek ignored): <0, 0, >0.
int CompareSystemTime(const SystemTime& a, const SystemTime& b);

// Parses "YYYY-MM-DDTHH:MM:SS" (the console's form), milliseconds 0 and
// dayOfWeek filled; false when malformed or not a valid date and time.
bool ParseDeviceTime(const char* text, SystemTime* out);
// Formats a time as "YYYY-MM-DDTHH:MM:SS" (five year digits after 9999).
std::string FormatDeviceTime(const SystemTime& t);
// Parses a duration into seconds: one or more of a decimal number followed by
// d, h, m or s, units in that order and each at most once ("90s", "15m",
// "1h30m", "2d"). False for anything else, an empty text or an overflow.
bool ParseDuration(const char* text, int64_t* seconds);

}  // namespace plat
