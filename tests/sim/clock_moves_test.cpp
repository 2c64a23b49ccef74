// Moving the clock from the console fires the notifications falling due on
// the way, each at its own time and in time order.
#include "sim/clock_moves.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/kernel/clock.h"
#include "platform/storage/device.h"
#include "platform/storage/journal.h"
#include "platform/notify/user_notify.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

SystemTime At(uint16_t hour, uint16_t minute, uint16_t second, uint16_t day = 1) {
    SystemTime t{2010, 3, 0, day, hour, minute, second, 0};
    NormalizeSystemTime(&t);
    return t;
}

void Schedule(const SystemTime& when, std::u16string_view application, std::u16string_view arguments) {
    NotificationTrigger t;
    t.application = std::u16string(application);
    t.arguments = std::u16string(arguments);
    t.startTime = when;
    t.endTime = when;
    ASSERT_NE(SetUserNotification(t), 0u);
}

class ClockMovesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(UseVirtualClock(At(12, 0, 0)));
        savedName_ = ProgramName();
        SetProgramName("tlwsim");
        std::filesystem::create_directories(device_.Root() / "Windows");
        std::filesystem::create_symlink("/bin/true", device_.Root() / "Windows" / "Tallowd.exe");
    }
    void TearDown() override {
        UseDeviceClock();
        SetProgramName(savedName_);
    }
    TempDevice device_;
    std::string savedName_;  // the test program's own name, restored afterwards
};

TEST_F(ClockMovesTest, EachDueNotificationFiresAtItsTimeInOrder) {
    Schedule(At(12, 20, 15), u"\\Windows\\Tallowd.exe", u"201");
    Schedule(At(13, 0, 0), u"\\Windows\\Tallowd.exe", u"16");  // beyond the move
    Schedule(At(12, 5, 0), u"\\Windows\\Tallowd.exe", u"500");
    Schedule(At(12, 10, 0), u"\\\\.\\Notifications\\NamedEvents\\TlwCellVerify", u"");
    Schedule(At(12, 30, 0), u"\\Windows\\Tallowd.exe", u"2263");  // exactly at the target

    ASSERT_EQ(sim::MoveClockTo(At(12, 30, 0)), 0);
    EXPECT_EQ(FormatDeviceTime(GetLocalTime()), "2010-03-01T12:30:00");
    EXPECT_EQ(JournalRead(), (std::vector<std::string>{
                                 "2010-03-01T12:05:00 tlwsim start \\Windows\\Tallowd.exe 500",
                                 "2010-03-01T12:10:00 tlwsim event TlwCellVerify set, not open",
                                 "2010-03-01T12:20:15 tlwsim start \\Windows\\Tallowd.exe 201",
                                 "2010-03-01T12:30:00 tlwsim start \\Windows\\Tallowd.exe 2263",
                             }));
    std::vector<UserNotificationInfo> left;
    ASSERT_TRUE(ListUserNotifications(&left));
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].trigger.arguments, u"16");
}

TEST_F(ClockMovesTest, MovingBackFiresNothingLater) {
    Schedule(At(12, 30, 0), u"\\Windows\\Tallowd.exe", u"500");
    ASSERT_EQ(sim::MoveClockTo(At(11, 0, 0)), 0);
    EXPECT_EQ(FormatDeviceTime(GetLocalTime()), "2010-03-01T11:00:00");
    EXPECT_TRUE(JournalRead().empty());
    // Across midnight and days.
    ASSERT_EQ(sim::MoveClockTo(At(0, 0, 1, 3)), 0);
    EXPECT_EQ(JournalRead(), (std::vector<std::string>{
                                 "2010-03-01T12:30:00 tlwsim start \\Windows\\Tallowd.exe 500"}));
}

TEST_F(ClockMovesTest, OverdueNotificationFiresWithoutTurningTheClockBack) {
    Schedule(At(12, 10, 0), u"\\Windows\\Tallowd.exe", u"500");
    // The clock passed it without anyone firing it (a running clock, no host).
    ASSERT_TRUE(SetLocalTime(At(12, 20, 0)));
    ASSERT_EQ(sim::MoveClockTo(At(12, 25, 0)), 0);
    EXPECT_EQ(JournalRead(), (std::vector<std::string>{
                                 "2010-03-01T12:20:00 tlwsim start \\Windows\\Tallowd.exe 500"}));
    EXPECT_EQ(FormatDeviceTime(GetLocalTime()), "2010-03-01T12:25:00");
}

}  // namespace
