// The device clock shared through the device store, and the virtual clock of
// in-process tests.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "platform/kernel/clock.h"
#include "platform/kernel/last_error.h"
#include "support/store_sql.h"
#include "support/system_time_fields.h"
#include "support/temp_device.h"

namespace {

// Milliseconds since 1601 of a time, for distances below a second.
int64_t Ms(const plat::SystemTime& t) {
    plat::FileTime ft = 0;
    EXPECT_TRUE(plat::SystemTimeToFileTime(t, &ft));
    return static_cast<int64_t>(ft / 10000);
}

// The stored clock as the sqlite3 shell lists it.
std::string ClockRow(const std::filesystem::path& root) {
    return StoreQuery(root, "SELECT mode, offset_ms, time_ms FROM clock");
}

// Stores the clock as another process of the device would.
void WriteClockRow(const std::filesystem::path& root, const std::string& mode, const std::string& offsetMs,
                   const std::string& timeMs) {
    StoreExec(root, "INSERT OR REPLACE INTO clock(id, mode, offset_ms, time_ms) VALUES(1, " + mode + ", " + offsetMs +
                        ", " + timeMs + ")");
}

void WriteFrozenAt(const std::filesystem::path& root, const plat::SystemTime& t) {
    WriteClockRow(root, "'frozen'", "NULL", std::to_string(Ms(t)));
}

// Each test starts on the device clock and leaves it so.
class ClockTest : public ::testing::Test {
protected:
    void SetUp() override { plat::UseDeviceClock(); }
    void TearDown() override { plat::UseDeviceClock(); }
    TempDevice device_;
};

TEST_F(ClockTest, WithoutAClockFileTheDeviceRunsAtHostLocalTime) {
    std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_r(&now, &local);
    plat::SystemTime host = Time(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                                 local.tm_sec);
    plat::SystemTime device = plat::GetLocalTime();
    EXPECT_LE(std::abs(plat::SecondsBetween(host, device)), 2);
    EXPECT_FALSE(plat::ClockIsFrozen());
    EXPECT_EQ(ClockRow(device_.Root()), "");
    plat::SystemTime normalized = device;
    ASSERT_TRUE(plat::NormalizeSystemTime(&normalized));
    EXPECT_EQ(device.dayOfWeek, normalized.dayOfWeek);
}

TEST_F(ClockTest, FrozenClockStandsStillAndMovesOnlyWhenTold) {
    ASSERT_TRUE(plat::FreezeClock());
    ASSERT_TRUE(plat::SetLocalTime(Time(2010, 1, 1, 12)));
    EXPECT_TRUE(plat::ClockIsFrozen());
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2010-01-01T12:00:00");
    EXPECT_EQ(plat::GetLocalTime().milliseconds, 0);
    ASSERT_TRUE(plat::AdvanceClock(90));
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2010-01-01T12:01:30");
    ASSERT_TRUE(plat::AdvanceClock(-86400));
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2009-12-31T12:01:30");
    EXPECT_EQ(plat::DeviceSeconds(), Ms(Time(2009, 12, 31, 12, 1, 30)) / 1000);
}

TEST_F(ClockTest, FrozenStateIsReadBackFromTheStoreByEveryProcess) {
    ASSERT_TRUE(plat::FreezeClock());
    ASSERT_TRUE(plat::SetLocalTime(Time(2010, 1, 1, 12)));
    ASSERT_TRUE(plat::AdvanceClock(3600));
    // Another process knows only the store: copy the row into a fresh device.
    std::string row = StoreQuery(device_.Root(), "SELECT quote(mode), quote(offset_ms), quote(time_ms) FROM clock");
    ASSERT_FALSE(row.empty());
    row.pop_back();
    for (char& c : row)
        if (c == '|') c = ',';
    TempDevice other;
    StoreExec(other.Root(), "INSERT INTO clock(mode, offset_ms, time_ms) VALUES(" + row + ")");
    EXPECT_TRUE(plat::ClockIsFrozen());
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2010-01-01T13:00:00");
}

TEST_F(ClockTest, ChangesWrittenByAnotherProcessAreSeen) {
    WriteFrozenAt(device_.Root(), Time(2010, 1, 1));
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2010-01-01T00:00:00");
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2010-01-01T00:00:00");
    WriteFrozenAt(device_.Root(), Time(2011, 1, 1));
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2011-01-01T00:00:00");
    WriteFrozenAt(device_.Root(), Time(2012, 1, 1));
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2012-01-01T00:00:00");
    WriteFrozenAt(device_.Root(), Time(2013, 1, 1));
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2013-01-01T00:00:00");
}

TEST_F(ClockTest, ReplacingALongUnchangedClockIsSeen) {
    WriteFrozenAt(device_.Root(), Time(2010, 1, 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2010-01-01T00:00:00");
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2010-01-01T00:00:00");
    WriteFrozenAt(device_.Root(), Time(2011, 1, 1));
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2011-01-01T00:00:00");
}

TEST_F(ClockTest, RunningClockMovesWithHostTime) {
    ASSERT_TRUE(plat::SetLocalTime(Time(2010, 1, 1, 12)));
    EXPECT_FALSE(plat::ClockIsFrozen());
    int64_t first = Ms(plat::GetLocalTime());
    EXPECT_GE(first, Ms(Time(2010, 1, 1, 12)));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    int64_t second = Ms(plat::GetLocalTime());
    EXPECT_GE(second - first, 50);
    EXPECT_LT(second - Ms(Time(2010, 1, 1, 12)), 60000);
    // Advancing a running clock keeps it running.
    ASSERT_TRUE(plat::AdvanceClock(3600));
    EXPECT_FALSE(plat::ClockIsFrozen());
    int64_t third = Ms(plat::GetLocalTime());
    EXPECT_GE(third - second, 3600000);
    EXPECT_LT(third - second, 3660000);
}

TEST_F(ClockTest, FreezeAndThawContinueFromTheCurrentTime) {
    ASSERT_TRUE(plat::SetLocalTime(Time(2010, 6, 1, 8)));
    ASSERT_TRUE(plat::FreezeClock());
    plat::SystemTime frozen = plat::GetLocalTime();
    EXPECT_LT(plat::SecondsBetween(Time(2010, 6, 1, 8), frozen), 60);
    // Frozen for far longer than thawing and reading take even on a busy
    // machine (or under a sanitizer), so that counting the frozen time shows.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_TRUE(plat::ThawClock());
    EXPECT_FALSE(plat::ClockIsFrozen());
    int64_t after = Ms(plat::GetLocalTime()) - Ms(frozen);
    EXPECT_GE(after, 0) << "thawing does not jump back";
    EXPECT_LT(after, 1500) << "thawing does not count the time spent frozen";
    // Repeating a mode change changes nothing.
    ASSERT_TRUE(plat::ThawClock());
    ASSERT_TRUE(plat::FreezeClock());
    std::string row = ClockRow(device_.Root());
    ASSERT_TRUE(plat::FreezeClock());
    EXPECT_EQ(ClockRow(device_.Root()), row);
}

TEST_F(ClockTest, BadChangesAreRefusedAndLeaveTheClock) {
    ASSERT_TRUE(plat::FreezeClock());
    ASSERT_TRUE(plat::SetLocalTime(Time(2010, 1, 1, 12)));
    plat::SetLastError(0);
    EXPECT_FALSE(plat::SetLocalTime(Time(2010, 2, 30)));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidParameter);
    EXPECT_FALSE(plat::AdvanceClock(INT64_MAX));
    EXPECT_FALSE(plat::AdvanceClock(-500LL * 365 * 86400));
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2010-01-01T12:00:00");
    EXPECT_TRUE(plat::ClockIsFrozen());
}

TEST_F(ClockTest, DamagedClockRowCountsAsMissingAndIsRepaired) {
    WriteClockRow(device_.Root(), "'stopped'", "NULL", "12");
    EXPECT_FALSE(plat::ClockIsFrozen());
    std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_r(&now, &local);
    EXPECT_EQ(plat::GetLocalTime().year, local.tm_year + 1900);
    struct Row {
        const char* mode;
        const char* offset;
        const char* time;
    };
    for (const Row& row : {Row{"'frozen'", "5", "NULL"}, Row{"'frozen'", "NULL", "NULL"},
                           Row{"'frozen'", "NULL", "'1x'"}, Row{"'frozen'", "5", "6"},
                           Row{"'running'", "9223372036854775807", "NULL"}, Row{"'garbage'", "NULL", "NULL"}}) {
        WriteClockRow(device_.Root(), row.mode, row.offset, row.time);
        std::string text = std::string(row.mode) + " " + row.offset + " " + row.time;
        EXPECT_FALSE(plat::ClockIsFrozen()) << text;
        EXPECT_EQ(plat::GetLocalTime().year, local.tm_year + 1900) << text;
    }
    ASSERT_TRUE(plat::FreezeClock());
    ASSERT_TRUE(plat::SetLocalTime(Time(2010, 1, 1)));
    EXPECT_TRUE(plat::ClockIsFrozen());
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2010-01-01T00:00:00");
}

TEST_F(ClockTest, ConcurrentAdvancesAllCount) {
    ASSERT_TRUE(plat::FreezeClock());
    ASSERT_TRUE(plat::SetLocalTime(Time(2010, 1, 1)));
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i) {
        threads.emplace_back([] {
            for (int j = 0; j < 20; ++j) EXPECT_TRUE(plat::AdvanceClock(1));
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2010-01-01T00:01:00");
}

TEST_F(ClockTest, VirtualClockLeavesTheDeviceClockAlone) {
    ASSERT_TRUE(plat::FreezeClock());
    ASSERT_TRUE(plat::SetLocalTime(Time(2010, 1, 1)));
    std::string row = ClockRow(device_.Root());

    ASSERT_TRUE(plat::UseVirtualClock(Time(2020, 5, 5, 5)));
    EXPECT_TRUE(plat::UsingVirtualClock());
    EXPECT_TRUE(plat::ClockIsFrozen());
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2020-05-05T05:00:00");
    EXPECT_EQ(plat::GetLocalTime().dayOfWeek, 2);
    ASSERT_TRUE(plat::AdvanceClock(3600));
    ASSERT_TRUE(plat::SetLocalTime(plat::AddSeconds(plat::GetLocalTime(), 60)));
    EXPECT_TRUE(plat::FreezeClock());
    EXPECT_FALSE(plat::ThawClock()) << "a virtual clock never runs";
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2020-05-05T06:01:00");
    EXPECT_EQ(ClockRow(device_.Root()), row);

    plat::UseDeviceClock();
    EXPECT_FALSE(plat::UsingVirtualClock());
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2010-01-01T00:00:00");
}

TEST_F(ClockTest, VirtualClockRefusesBadTimesAndIsSafeAcrossThreads) {
    EXPECT_FALSE(plat::UseVirtualClock(Time(2010, 2, 30)));
    EXPECT_FALSE(plat::UsingVirtualClock());
    ASSERT_TRUE(plat::UseVirtualClock(Time(2010, 1, 1)));
    EXPECT_FALSE(plat::AdvanceClock(-1LL << 40));
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([] {
            for (int j = 0; j < 900; ++j) {
                plat::AdvanceClock(1);
                (void)plat::GetLocalTime();
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2010-01-01T01:00:00");
}

}  // namespace
