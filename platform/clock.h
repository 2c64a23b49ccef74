// The device clock and the time records and conversions of the platform.
//
// The device has one local time shared by all its processes, kept in
// "<root>/.device/clock". It either runs (host time plus an offset) or is
// frozen (it moves only when the console sets or advances it). In-process
// tests replace it with a virtual clock of this process only, which moves
// only when the test moves it.
#pragma once

#include <cstdint>

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

// The device's current local time (virtual clock when one is in use).
SystemTime GetLocalTime();
// Sets the device clock to t, keeping it running or frozen as it is.
// Returns false for an invalid time.
bool SetLocalTime(const SystemTime& t);

// Clock mode of the device.
bool ClockIsFrozen();
void FreezeClock();  // stops the clock at its current time
void ThawClock();    // lets it run on from its current time
// Moves the device clock forward (or back, for negative seconds).
void AdvanceClock(int64_t seconds);

// The device's clock as seconds since 1 January 1601, local time.
int64_t DeviceSeconds();

// A virtual clock for in-process tests: frozen at start, moved only by
// AdvanceClock/SetLocalTime, never touching the device's clock file.
void UseVirtualClock(const SystemTime& start);
void UseDeviceClock();
bool UsingVirtualClock();

// Conversions. Each returns false for an invalid input and leaves *out.
bool SystemTimeToFileTime(const SystemTime& t, FileTime* out);
bool FileTimeToSystemTime(FileTime ft, SystemTime* out);  // also fills dayOfWeek
// OLE automation date: days since 30 December 1899, fraction = time of day.
bool SystemTimeToVariantTime(const SystemTime& t, double* out);
bool VariantTimeToSystemTime(double v, SystemTime* out);

// Fills dayOfWeek from the date; false when the date is invalid.
bool NormalizeSystemTime(SystemTime* t);
// Adds seconds (may be negative) to a local time, across days, months and
// years; milliseconds are kept.
SystemTime AddSeconds(const SystemTime& t, int64_t seconds);
// Seconds from a to b (b - a).
int64_t SecondsBetween(const SystemTime& a, const SystemTime& b);
// Compares two times: <0, 0, >0.
int CompareSystemTime(const SystemTime& a, const SystemTime& b);

// Parses "YYYY-MM-DDTHH:MM:SS" (the console's form); false when malformed.
bool ParseDeviceTime(const char* text, SystemTime* out);
// Formats a time as "YYYY-MM-DDTHH:MM:SS".
void FormatDeviceTime(const SystemTime& t, char out[20]);
// Parses a duration "90s", "15m", "1h30m", "2d" into seconds; false when malformed.
bool ParseDuration(const char* text, int64_t* seconds);

}  // namespace plat
