// AddSecondsToTime: calendar carries across days, months, years and leap
// days, in both directions; invalid input leaves the time alone.
#include "common/device/device_time.h"

#include <gtest/gtest.h>

#include "support/system_time_fields.h"

namespace {

using tlw::AddSecondsToTime;

void ExpectTime(const plat::SystemTime& t, int y, int mo, int d, int h, int mi, int s) {
    EXPECT_EQ(t.year, y);
    EXPECT_EQ(t.month, mo);
    EXPECT_EQ(t.day, d);
    EXPECT_EQ(t.hour, h);
    EXPECT_EQ(t.minute, mi);
    EXPECT_EQ(t.second, s);
}

TEST(AddSecondsToTime, AcrossTheYearEnd) {
    plat::SystemTime t = Time(2009, 12, 31, 23, 55, 0);
    ASSERT_TRUE(AddSecondsToTime(600, &t));
    ExpectTime(t, 2010, 1, 1, 0, 5, 0);
    EXPECT_EQ(t.dayOfWeek, 5);  // 1 January 2010 was a Friday
    ASSERT_TRUE(AddSecondsToTime(-600, &t));
    ExpectTime(t, 2009, 12, 31, 23, 55, 0);
}

TEST(AddSecondsToTime, LeapDaysAndMonthEnds) {
    plat::SystemTime t = Time(2012, 2, 28, 12, 0, 0);
    ASSERT_TRUE(AddSecondsToTime(86400, &t));
    ExpectTime(t, 2012, 2, 29, 12, 0, 0);
    t = Time(2011, 2, 28, 12, 0, 0);
    ASSERT_TRUE(AddSecondsToTime(86400, &t));
    ExpectTime(t, 2011, 3, 1, 12, 0, 0);
    t = Time(2010, 4, 30, 23, 59, 59, 250);
    ASSERT_TRUE(AddSecondsToTime(1, &t));
    ExpectTime(t, 2010, 5, 1, 0, 0, 0);
    EXPECT_EQ(t.milliseconds, 250);
    t = Time(2010, 1, 1, 0, 0, 0);
    ASSERT_TRUE(AddSecondsToTime(7 * 86400 + 3600, &t));  // a whole week and an hour
    ExpectTime(t, 2010, 1, 8, 1, 0, 0);
}

TEST(AddSecondsToTime, InvalidInputLeavesTheTime) {
    plat::SystemTime t = Time(2010, 2, 30, 0, 0, 0);
    EXPECT_FALSE(AddSecondsToTime(60, &t));
    EXPECT_EQ(t.day, 30);
    t = Time(1601, 1, 1, 0, 0, 30);
    EXPECT_FALSE(AddSecondsToTime(-60, &t));  // before the platform's first day
    ExpectTime(t, 1601, 1, 1, 0, 0, 30);
    t = Time(2010, 1, 1, 0, 0, 0);
    EXPECT_FALSE(AddSecondsToTime(INT64_MAX, &t));
    EXPECT_FALSE(AddSecondsToTime(INT64_MIN, &t));
    ExpectTime(t, 2010, 1, 1, 0, 0, 0);
}

}  // namespace
