// Time records: calendar checks, file times, OLE dates, second arithmetic and
// the console's text forms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "platform/kernel/clock.h"
#include "support/system_time_fields.h"

namespace {

// Compares every field but dayOfWeek.
void ExpectTime(const plat::SystemTime& actual, int year, int month, int day, int hour, int minute, int second,
                int ms = 0) {
    EXPECT_EQ(plat::FormatDeviceTime(actual), plat::FormatDeviceTime(Time(year, month, day, hour, minute, second)));
    EXPECT_EQ(actual.milliseconds, ms);
}

TEST(NormalizeSystemTime, FillsDayOfWeekFromSunday) {
    plat::SystemTime t = Time(2010, 1, 1, 12);  // a Friday
    t.dayOfWeek = 3;
    ASSERT_TRUE(plat::NormalizeSystemTime(&t));
    EXPECT_EQ(t.dayOfWeek, 5);
    t = Time(2012, 2, 26);  // a Sunday
    ASSERT_TRUE(plat::NormalizeSystemTime(&t));
    EXPECT_EQ(t.dayOfWeek, 0);
}

TEST(NormalizeSystemTime, ChecksLeapYearsAndFieldRanges) {
    plat::SystemTime t = Time(2012, 2, 29);
    EXPECT_TRUE(plat::NormalizeSystemTime(&t));
    t = Time(2000, 2, 29);
    EXPECT_TRUE(plat::NormalizeSystemTime(&t));
    const plat::SystemTime invalid[] = {
        Time(2011, 2, 29),  Time(1900, 2, 29),       Time(2010, 4, 31),       Time(2010, 13, 1),
        Time(2010, 0, 1),   Time(2010, 1, 0),        Time(2010, 1, 1, 24),    Time(2010, 1, 1, 0, 60),
        Time(2010, 1, 1, 0, 0, 60), Time(2010, 1, 1, 0, 0, 0, 1000), Time(1600, 12, 31), Time(30828, 1, 1),
    };
    for (const plat::SystemTime& bad : invalid) {
        plat::SystemTime copy = bad;
        EXPECT_FALSE(plat::NormalizeSystemTime(&copy)) << plat::FormatDeviceTime(bad);
        EXPECT_EQ(plat::CompareSystemTime(copy, bad), 0) << "an invalid time is left as it was";
    }
}

TEST(FileTime, CountsHundredNanosecondsSince1601) {
    plat::FileTime ft = 1;
    ASSERT_TRUE(plat::SystemTimeToFileTime(Time(1601, 1, 1), &ft));
    EXPECT_EQ(ft, 0u);
    ASSERT_TRUE(plat::SystemTimeToFileTime(Time(1970, 1, 1), &ft));
    EXPECT_EQ(ft, 116444736000000000ull);
    ASSERT_TRUE(plat::SystemTimeToFileTime(Time(2010, 1, 1, 12, 0, 0, 250), &ft));
    EXPECT_EQ(ft, 116444736000000000ull + 1262347200250ull * 10000);
}

TEST(FileTime, RoundTripsAndCutsBelowMilliseconds) {
    plat::SystemTime t = Time(2012, 2, 29, 23, 59, 59, 999);
    plat::FileTime ft = 0;
    ASSERT_TRUE(plat::SystemTimeToFileTime(t, &ft));
    plat::SystemTime back;
    ASSERT_TRUE(plat::FileTimeToSystemTime(ft + 9999, &back));
    ExpectTime(back, 2012, 2, 29, 23, 59, 59, 999);
    EXPECT_EQ(back.dayOfWeek, 3);  // a Wednesday
}

TEST(FileTime, RefusesTimesOutsideTheRecordsRange) {
    plat::FileTime ft = 0;
    EXPECT_FALSE(plat::SystemTimeToFileTime(Time(2011, 2, 29), &ft));
    ASSERT_TRUE(plat::SystemTimeToFileTime(Time(30827, 12, 31, 23, 59, 59, 999), &ft));
    plat::SystemTime t;
    ASSERT_TRUE(plat::FileTimeToSystemTime(ft, &t));
    ExpectTime(t, 30827, 12, 31, 23, 59, 59, 999);
    plat::SystemTime untouched = Time(2000, 1, 1);
    EXPECT_FALSE(plat::FileTimeToSystemTime(ft + 10000, &untouched));
    EXPECT_FALSE(plat::FileTimeToSystemTime(UINT64_MAX, &untouched));
    ExpectTime(untouched, 2000, 1, 1, 0, 0, 0);
}

TEST(VariantTime, CountsDaysAndTimeOfDayFrom1899) {
    double v = -1;
    ASSERT_TRUE(plat::SystemTimeToVariantTime(Time(1899, 12, 30), &v));
    EXPECT_EQ(v, 0.0);
    ASSERT_TRUE(plat::SystemTimeToVariantTime(Time(2010, 1, 1, 12), &v));
    EXPECT_EQ(v, 40179.5);
    // The stored manual time-out end: the OLE date times 10000, truncated.
    EXPECT_EQ(static_cast<uint32_t>(v * 10000), 401795000u);
    ASSERT_TRUE(plat::SystemTimeToVariantTime(Time(1900, 1, 2, 6), &v));
    EXPECT_EQ(v, 3.25);
}

TEST(VariantTime, BeforeTheEpochTheFractionStillCountsForward) {
    double v = 0;
    ASSERT_TRUE(plat::SystemTimeToVariantTime(Time(1899, 12, 29, 6), &v));
    EXPECT_EQ(v, -1.25);
    ASSERT_TRUE(plat::SystemTimeToVariantTime(Time(1899, 12, 29), &v));
    EXPECT_EQ(v, -1.0);
    plat::SystemTime t;
    ASSERT_TRUE(plat::VariantTimeToSystemTime(-1.25, &t));
    ExpectTime(t, 1899, 12, 29, 6, 0, 0);
    ASSERT_TRUE(plat::VariantTimeToSystemTime(-2.5, &t));
    ExpectTime(t, 1899, 12, 28, 12, 0, 0);
    // Between -1 and 0 the whole part is 0: the epoch day itself.
    ASSERT_TRUE(plat::VariantTimeToSystemTime(-0.5, &t));
    ExpectTime(t, 1899, 12, 30, 12, 0, 0);
}

TEST(VariantTime, ResolvesToTheNearestSecond) {
    double v = 0;
    ASSERT_TRUE(plat::SystemTimeToVariantTime(Time(2010, 1, 1, 12, 0, 0, 999), &v));
    EXPECT_EQ(v, 40179.5) << "milliseconds are ignored";
    plat::SystemTime t;
    ASSERT_TRUE(plat::VariantTimeToSystemTime(40179.99999999, &t));
    ExpectTime(t, 2010, 1, 2, 0, 0, 0);
    ASSERT_TRUE(plat::VariantTimeToSystemTime(-1.99999999, &t));
    ExpectTime(t, 1899, 12, 28, 0, 0, 0);
    // A time-out ending 11:30:20 comes back from its stored value 8.64 s
    // resolution later as 11:30:12.
    ASSERT_TRUE(plat::SystemTimeToVariantTime(Time(2010, 1, 1, 11, 30, 20), &v));
    uint32_t stored = static_cast<uint32_t>(v * 10000);
    ASSERT_TRUE(plat::VariantTimeToSystemTime(stored / 10000.0, &t));
    ExpectTime(t, 2010, 1, 1, 11, 30, 12);
}

TEST(VariantTime, RoundTripsWholeSeconds) {
    const plat::SystemTime times[] = {Time(1601, 1, 1),          Time(1899, 12, 29, 23, 59, 59),
                                      Time(1899, 12, 31, 0, 0, 1), Time(2000, 2, 29, 13, 14, 15),
                                      Time(2038, 1, 19, 3, 14, 8), Time(9999, 12, 31, 23, 59, 59)};
    for (const plat::SystemTime& t : times) {
        double v = 0;
        plat::SystemTime back;
        ASSERT_TRUE(plat::SystemTimeToVariantTime(t, &v)) << plat::FormatDeviceTime(t);
        ASSERT_TRUE(plat::VariantTimeToSystemTime(v, &back)) << v;
        EXPECT_EQ(plat::CompareSystemTime(back, t), 0) << plat::FormatDeviceTime(t) << " came back as "
                                                         << plat::FormatDeviceTime(back);
    }
}

TEST(VariantTime, RefusesWhatNoOleDateHolds) {
    double v = 7;
    EXPECT_FALSE(plat::SystemTimeToVariantTime(Time(10000, 1, 1), &v));
    EXPECT_FALSE(plat::SystemTimeToVariantTime(Time(2010, 2, 30), &v));
    EXPECT_EQ(v, 7);
    plat::SystemTime t = Time(2000, 1, 1);
    EXPECT_FALSE(plat::VariantTimeToSystemTime(NAN, &t));
    EXPECT_FALSE(plat::VariantTimeToSystemTime(INFINITY, &t));
    EXPECT_FALSE(plat::VariantTimeToSystemTime(2958466.0, &t));  // 1 January 10000
    EXPECT_FALSE(plat::VariantTimeToSystemTime(-109206.0, &t));  // 31 December 1600
    EXPECT_FALSE(plat::VariantTimeToSystemTime(1e300, &t));
    ExpectTime(t, 2000, 1, 1, 0, 0, 0);
}

TEST(AddSeconds, CarriesAcrossTheYearEnd) {
    plat::SystemTime t = plat::AddSeconds(Time(2009, 12, 31, 23, 55, 0, 120), 600);
    ExpectTime(t, 2010, 1, 1, 0, 5, 0, 120);
    EXPECT_EQ(t.dayOfWeek, 5);
    ExpectTime(plat::AddSeconds(Time(2010, 1, 1, 0, 5), -600), 2009, 12, 31, 23, 55, 0);
}

TEST(AddSeconds, KnowsLeapDays) {
    ExpectTime(plat::AddSeconds(Time(2012, 2, 28, 23, 59, 30), 60), 2012, 2, 29, 0, 0, 30);
    ExpectTime(plat::AddSeconds(Time(2012, 2, 29, 23), 3600), 2012, 3, 1, 0, 0, 0);
    ExpectTime(plat::AddSeconds(Time(2011, 2, 28, 23), 3600), 2011, 3, 1, 0, 0, 0);
    ExpectTime(plat::AddSeconds(Time(2100, 2, 28, 12), 86400), 2100, 3, 1, 12, 0, 0);
    ExpectTime(plat::AddSeconds(Time(2012, 3, 1), -1), 2012, 2, 29, 23, 59, 59);
}

TEST(AddSeconds, RefusesToLeaveTheRange) {
    plat::SystemTime out = Time(2000, 1, 1);
    EXPECT_FALSE(plat::TryAddSeconds(Time(1601, 1, 1), -1, &out));
    EXPECT_FALSE(plat::TryAddSeconds(Time(30827, 12, 31, 23, 59, 59), 1, &out));
    EXPECT_FALSE(plat::TryAddSeconds(Time(2010, 1, 1), INT64_MAX, &out));
    EXPECT_FALSE(plat::TryAddSeconds(Time(2010, 1, 1), INT64_MIN, &out));
    EXPECT_FALSE(plat::TryAddSeconds(Time(2010, 2, 30), 1, &out));
    ExpectTime(out, 2000, 1, 1, 0, 0, 0);
    ExpectTime(plat::AddSeconds(Time(1601, 1, 1, 0, 0, 5), -10), 1601, 1, 1, 0, 0, 5);
}

TEST(SecondsBetween, IsTheSignedDistance) {
    EXPECT_EQ(plat::SecondsBetween(Time(2009, 12, 31, 23, 55), Time(2010, 1, 1, 0, 5)), 600);
    EXPECT_EQ(plat::SecondsBetween(Time(2010, 1, 1, 0, 5), Time(2009, 12, 31, 23, 55)), -600);
    EXPECT_EQ(plat::SecondsBetween(Time(2012, 1, 1), Time(2013, 1, 1)), 366 * 86400);
    EXPECT_EQ(plat::SecondsBetween(Time(2010, 1, 1, 0, 0, 0, 900), Time(2010, 1, 1, 0, 0, 2, 100)), 1);
    EXPECT_EQ(plat::SecondsBetween(Time(2010, 1, 1, 0, 0, 2, 100), Time(2010, 1, 1, 0, 0, 0, 900)), -1);
    EXPECT_EQ(plat::SecondsBetween(Time(2010, 2, 30), Time(2010, 3, 2)), 0);
}

TEST(CompareSystemTime, OrdersByEveryFieldButTheWeekday) {
    plat::SystemTime a = Time(2010, 5, 6, 7, 8, 9, 10);
    plat::SystemTime b = a;
    b.dayOfWeek = 4;
    EXPECT_EQ(plat::CompareSystemTime(a, b), 0);
    b.milliseconds = 11;
    EXPECT_LT(plat::CompareSystemTime(a, b), 0);
    EXPECT_GT(plat::CompareSystemTime(b, a), 0);
    EXPECT_LT(plat::CompareSystemTime(Time(2009, 12, 31, 23, 59, 59), Time(2010, 1, 1)), 0);
    EXPECT_GT(plat::CompareSystemTime(Time(2010, 2, 1), Time(2010, 1, 31)), 0);
}

TEST(DeviceTimeText, ParsesAndFormatsTheConsolesForm) {
    plat::SystemTime t;
    ASSERT_TRUE(plat::ParseDeviceTime("2012-02-29T07:08:09", &t));
    ExpectTime(t, 2012, 2, 29, 7, 8, 9, 0);
    EXPECT_EQ(t.dayOfWeek, 3);
    EXPECT_EQ(plat::FormatDeviceTime(t), "2012-02-29T07:08:09");
    EXPECT_EQ(plat::FormatDeviceTime(Time(30827, 1, 2, 3, 4, 5)), "30827-01-02T03:04:05");
}

TEST(DeviceTimeText, RefusesAnythingElse) {
    const char* bad[] = {"",
                         "2010-01-01",
                         "2010-01-01T12:00",
                         "2010-01-01T12:00:00Z",
                         "2010-01-01 12:00:00",
                         "2010-1-01T12:00:00",
                         "2010-01-01T12:0a:00",
                         "+010-01-01T12:00:00",
                         "2010/01/01T12:00:00",
                         "2010-02-30T00:00:00",
                         "2010-01-01T24:00:00",
                         "1600-12-31T23:59:59",
                         " 2010-01-01T12:00:00"};
    for (const char* text : bad) {
        plat::SystemTime t = Time(2000, 1, 1);
        EXPECT_FALSE(plat::ParseDeviceTime(text, &t)) << '"' << text << '"';
        ExpectTime(t, 2000, 1, 1, 0, 0, 0);
    }
    plat::SystemTime t;
    EXPECT_FALSE(plat::ParseDeviceTime(nullptr, &t));
}

TEST(Duration, ParsesUnitsAndTheirCombinations) {
    struct Case {
        const char* text;  // the duration
        int64_t seconds;   // its length
    } cases[] = {{"90s", 90},   {"15m", 900},  {"1h30m", 5400},         {"2d", 172800},
                 {"0s", 0},     {"1d1s", 86401}, {"1d2h3m4s", 93784},   {"007m", 420},
                 {"100h", 360000}};
    for (const Case& c : cases) {
        int64_t seconds = -1;
        EXPECT_TRUE(plat::ParseDuration(c.text, &seconds)) << c.text;
        EXPECT_EQ(seconds, c.seconds) << c.text;
    }
}

TEST(Duration, RefusesGarbageAndOverflow) {
    const char* bad[] = {"",     "90",   "s",   "1x",    "1H",   "30m1h", "1h1h",  "1h ",
                         " 1h",  "-5m",  "+5m", "1.5h",  "1h30", "h30m",  "1d-1h", "99999999999999999999s",
                         "106751991167301d", "106751991167300d86400s"};
    for (const char* text : bad) {
        int64_t seconds = 42;
        EXPECT_FALSE(plat::ParseDuration(text, &seconds)) << '"' << text << '"';
        EXPECT_EQ(seconds, 42);
    }
    int64_t seconds = 0;
    EXPECT_FALSE(plat::ParseDuration(nullptr, &seconds));
    EXPECT_TRUE(plat::ParseDuration("9223372036854775807s", &seconds));
    EXPECT_EQ(seconds, INT64_MAX);
}

}  // namespace
