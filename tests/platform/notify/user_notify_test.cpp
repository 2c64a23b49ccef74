// User notifications: the store shared by the device's processes, the
// two-step reads the engine makes, and firing (programs, named events,
// wake-up events), on a temporary device with a virtual clock.
#include "platform/notify/user_notify.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/kernel/clock.h"
#include "platform/storage/device.h"
#include "platform/storage/journal.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/sync_objects.h"
#include "platform/kernel/wait.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

constexpr char16_t kEngine[] = u"\\Windows\\Tallowd.exe";
constexpr char16_t kCellVerify[] = u"\\\\.\\Notifications\\NamedEvents\\TlwCellVerify";

SystemTime At(uint16_t hour, uint16_t minute, uint16_t second, uint16_t day = 1) {
    SystemTime t{2010, 3, 0, day, hour, minute, second, 0};
    NormalizeSystemTime(&t);
    return t;
}

NotificationTrigger TimeTrigger(const SystemTime& when, std::u16string_view application,
                                std::u16string_view arguments) {
    NotificationTrigger t;
    t.type = kNotificationTriggerTime;
    t.application = std::u16string(application);
    t.arguments = std::u16string(arguments);
    t.startTime = when;
    t.endTime = when;
    return t;
}

NotificationTrigger EventTrigger(uint32_t event, std::u16string_view application, std::u16string_view arguments) {
    NotificationTrigger t;
    t.type = kNotificationTriggerEvent;
    t.event = event;
    t.application = std::u16string(application);
    t.arguments = std::u16string(arguments);
    return t;
}

class UserNotifyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(UseVirtualClock(At(12, 0, 0)));
        // The engine's program plays itself with a host program that ends at once.
        std::filesystem::create_directories(device_.Root() / "Windows");
        std::filesystem::create_symlink("/bin/true", device_.Root() / "Windows" / "Tallowd.exe");
    }
    void TearDown() override { UseDeviceClock(); }

    std::vector<UserNotificationInfo> Pending() {
        std::vector<UserNotificationInfo> all;
        EXPECT_TRUE(ListUserNotifications(&all));
        return all;
    }

    TempDevice device_;
};

TEST_F(UserNotifyTest, SetReadWithSizeAndClear) {
    NotificationHandle slot = SetUserNotification(TimeTrigger(At(13, 0, 15), kEngine, u"201"));
    NotificationHandle wake = SetUserNotification(EventTrigger(kNotificationEventWakeup, kEngine, u"40"));
    ASSERT_NE(slot, 0u);
    ASSERT_NE(wake, 0u);
    EXPECT_NE(slot, wake);

    // The engine's walk: the count, then the handles, then each record's
    // size, then the record.
    uint32_t count = 0;
    EXPECT_FALSE(GetUserNotificationHandles(nullptr, 0, &count));
    EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
    ASSERT_EQ(count, 2u);
    std::vector<NotificationHandle> handles(count);
    ASSERT_TRUE(GetUserNotificationHandles(handles.data(), count, &count));
    EXPECT_EQ(handles, (std::vector<NotificationHandle>{slot, wake}));

    uint32_t size = 0;
    UserNotificationInfo info;
    EXPECT_FALSE(GetUserNotification(slot, 0, &size, &info));
    EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
    // Header, trigger, "\Windows\Tallowd.exe" and "201" with terminators.
    EXPECT_EQ(size, 16u + 52u + 2u * (20u + 1u) + 2u * (3u + 1u));
    EXPECT_FALSE(GetUserNotification(slot, size - 1, &size, &info));
    ASSERT_TRUE(GetUserNotification(slot, size, &size, &info));
    EXPECT_EQ(info.handle, slot);
    EXPECT_EQ(info.trigger.type, kNotificationTriggerTime);
    EXPECT_EQ(info.trigger.application, kEngine);
    EXPECT_EQ(info.trigger.arguments, u"201");
    EXPECT_EQ(FormatDeviceTime(info.trigger.startTime), "2010-03-01T13:00:15");
    EXPECT_EQ(FormatDeviceTime(info.trigger.endTime), "2010-03-01T13:00:15");
    ASSERT_TRUE(GetUserNotification(wake, 1000, &size, &info));
    EXPECT_EQ(info.trigger.type, kNotificationTriggerEvent);
    EXPECT_EQ(info.trigger.event, kNotificationEventWakeup);
    EXPECT_EQ(info.trigger.arguments, u"40");

    EXPECT_TRUE(ClearUserNotification(slot));
    EXPECT_FALSE(ClearUserNotification(slot));
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
    EXPECT_FALSE(GetUserNotification(slot, 1000, &size, &info));
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
    ASSERT_TRUE(GetUserNotificationHandles(handles.data(), 2, &count));
    EXPECT_EQ(count, 1u);

    // A cleared handle is never handed out again.
    NotificationHandle next = SetUserNotification(TimeTrigger(At(14, 0, 0), kEngine, u"16"));
    EXPECT_GT(next, wake);
}

TEST_F(UserNotifyTest, NoNotificationsGiveCountZero) {
    uint32_t count = 99;
    EXPECT_TRUE(GetUserNotificationHandles(nullptr, 0, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(Pending().empty());
    SystemTime next;
    EXPECT_FALSE(NextNotificationTime(&next));
    EXPECT_EQ(FireDueNotifications(), 0);
}

TEST_F(UserNotifyTest, ListIsInTimeOrderWithEventsLast) {
    SetUserNotification(EventTrigger(kNotificationEventWakeup, kEngine, u"40"));
    SetUserNotification(TimeTrigger(At(0, 0, 1, 2), kEngine, u"16"));
    SetUserNotification(TimeTrigger(At(13, 0, 15), kEngine, u"201"));
    SetUserNotification(TimeTrigger(At(12, 10, 0), kCellVerify, u""));
    std::vector<std::u16string> arguments;
    for (const UserNotificationInfo& n : Pending()) arguments.push_back(n.trigger.arguments);
    EXPECT_EQ(arguments, (std::vector<std::u16string>{u"", u"201", u"16", u"40"}));
    SystemTime next;
    ASSERT_TRUE(NextNotificationTime(&next));
    EXPECT_EQ(FormatDeviceTime(next), "2010-03-01T12:10:00");
}

TEST_F(UserNotifyTest, BadTriggersAreRefusedAndNothingIsStored) {
    NotificationTrigger good = TimeTrigger(At(13, 0, 0), kEngine, u"500");
    std::vector<NotificationTrigger> bad;
    NotificationTrigger t = good;
    t.type = 3;
    bad.push_back(t);
    t = good;
    t.application.clear();
    bad.push_back(t);
    t = good;
    t.application = std::u16string(261, u'a');
    bad.push_back(t);
    t = good;
    t.arguments = std::u16string(1025, u'1');
    bad.push_back(t);
    t = good;
    t.endTime = At(12, 59, 59);  // ends before it starts
    bad.push_back(t);
    t = good;
    t.startTime.month = 13;
    bad.push_back(t);
    t = good;
    t.application = u"\\\\.\\Notifications\\NamedEvents\\";  // no event named
    bad.push_back(t);
    bad.push_back(EventTrigger(kNotificationEventNone, kEngine, u"40"));
    bad.push_back(EventTrigger(kNotificationEventLast + 1, kEngine, u"40"));
    for (size_t i = 0; i < bad.size(); ++i) {
        EXPECT_EQ(SetUserNotification(bad[i]), 0u) << "case " << i;
        EXPECT_EQ(GetLastError(), kErrorInvalidParameter) << "case " << i;
    }
    EXPECT_TRUE(Pending().empty());
    EXPECT_TRUE(JournalRead().empty());
}

TEST_F(UserNotifyTest, HandlesAreTheSameInEveryProcess) {
    NotificationHandle mine = SetUserNotification(TimeTrigger(At(13, 0, 0), kEngine, u"200"));
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Another process of the device: sees the parent's notification
        // under its handle and adds one of its own.
        UserNotificationInfo info;
        uint32_t size = 0;
        bool sees = GetUserNotification(mine, 1000, &size, &info) && info.trigger.arguments == u"200";
        NotificationHandle theirs = SetUserNotification(TimeTrigger(At(13, 30, 0), kEngine, u"500"));
        NotificationHandle reply[2] = {sees ? 1u : 0u, theirs};
        ssize_t n = write(pipeFds[1], reply, sizeof reply);
        _exit(n == sizeof reply ? 0 : 1);
    }
    close(pipeFds[1]);
    NotificationHandle reply[2] = {};
    ASSERT_EQ(read(pipeFds[0], reply, sizeof reply), static_cast<ssize_t>(sizeof reply));
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(reply[0], 1u);
    ASSERT_NE(reply[1], 0u);
    UserNotificationInfo info;
    uint32_t size = 0;
    ASSERT_TRUE(GetUserNotification(reply[1], 1000, &size, &info));
    EXPECT_EQ(info.trigger.arguments, u"500");
    EXPECT_TRUE(ClearUserNotification(reply[1]));
    EXPECT_EQ(Pending().size(), 1u);
}

TEST_F(UserNotifyTest, DueNotificationsFireOnceInTimeOrder) {
    SetUserNotification(TimeTrigger(At(12, 30, 0), kEngine, u"500"));
    SetUserNotification(TimeTrigger(At(12, 10, 15), kEngine, u"201"));
    SetUserNotification(TimeTrigger(At(12, 10, 15), kEngine, u"2263"));  // same time: set later, fires later
    SetUserNotification(TimeTrigger(At(13, 0, 0), kEngine, u"16"));
    EXPECT_EQ(FireDueNotifications(), 0);

    AdvanceClock(30 * 60);  // 12:30:00
    std::vector<FiredNotification> fired;
    EXPECT_EQ(FireDueNotifications(&fired), 3);
    ASSERT_EQ(fired.size(), 3u);
    EXPECT_EQ(fired[0].trigger.arguments, u"201");
    EXPECT_EQ(fired[1].trigger.arguments, u"2263");
    EXPECT_EQ(fired[2].trigger.arguments, u"500");
    EXPECT_NE(fired[0].processId, 0u);
    EXPECT_EQ(JournalEffects(), (std::vector<std::string>{"start \\Windows\\Tallowd.exe 201",
                                                          "start \\Windows\\Tallowd.exe 2263",
                                                          "start \\Windows\\Tallowd.exe 500"}));
    // Fired notifications are gone; the later one waits.
    ASSERT_EQ(Pending().size(), 1u);
    EXPECT_EQ(Pending()[0].trigger.arguments, u"16");
    EXPECT_EQ(FireDueNotifications(), 0);
}

TEST_F(UserNotifyTest, NotificationNotInTheFutureFiresAtOnce) {
    NotificationHandle now = SetUserNotification(TimeTrigger(At(12, 0, 0), kEngine, u"500"));
    NotificationHandle past = SetUserNotification(TimeTrigger(At(11, 0, 0), kEngine, u"201"));
    EXPECT_NE(now, 0u);
    EXPECT_NE(past, 0u);
    EXPECT_TRUE(Pending().empty());
    EXPECT_FALSE(ClearUserNotification(now));
    EXPECT_EQ(JournalEffects(), (std::vector<std::string>{"start \\Windows\\Tallowd.exe 500",
                                                          "start \\Windows\\Tallowd.exe 201"}));
    // One second ahead waits.
    SetUserNotification(TimeTrigger(At(12, 0, 1), kEngine, u"16"));
    EXPECT_EQ(Pending().size(), 1u);
}

TEST_F(UserNotifyTest, NamedEventTargetSignalsTheEvent) {
    Handle event = CreateEvent(false, false, u"TlwCellVerify");
    ASSERT_TRUE(event);
    SetUserNotification(TimeTrigger(At(12, 10, 0), kCellVerify, u""));
    EXPECT_EQ(WaitForSingleObject(event, 0), kWaitTimeout);
    AdvanceClock(600);
    std::vector<FiredNotification> fired;
    EXPECT_EQ(FireDueNotifications(&fired), 1);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].processId, 0u);
    EXPECT_EQ(WaitForSingleObject(event, 0), kWaitObject0);
    EXPECT_EQ(JournalEffects(), (std::vector<std::string>{"event TlwCellVerify set"}));
    CloseHandle(event);
}

TEST_F(UserNotifyTest, MissingProgramIsJournalledAndTheNotificationGone) {
    SetUserNotification(TimeTrigger(At(12, 0, 30), u"\\Windows\\Gone.exe", u"7"));
    AdvanceClock(30);
    std::vector<FiredNotification> fired;
    EXPECT_EQ(FireDueNotifications(&fired), 1);
    EXPECT_EQ(fired[0].processId, 0u);
    std::vector<std::string> effects = JournalEffects();
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_EQ(effects[0].rfind("start failed \\Windows\\Gone.exe 7 (error ", 0), 0u) << effects[0];
    EXPECT_TRUE(Pending().empty());
}

TEST_F(UserNotifyTest, EventNotificationsFireEachTimeAndStay) {
    NotificationHandle wake = SetUserNotification(EventTrigger(kNotificationEventWakeup, kEngine, u"40"));
    SetUserNotification(EventTrigger(kNotificationEventAcPowerOn, kEngine, u"10"));
    EXPECT_EQ(FireEventNotifications(kNotificationEventWakeup), 1);
    EXPECT_EQ(FireEventNotifications(kNotificationEventWakeup), 1);
    EXPECT_EQ(JournalEffects(), (std::vector<std::string>{"start \\Windows\\Tallowd.exe 40",
                                                          "start \\Windows\\Tallowd.exe 40"}));
    EXPECT_EQ(Pending().size(), 2u);
    // Time does not fire them.
    AdvanceClock(86400);
    EXPECT_EQ(FireDueNotifications(), 0);
    EXPECT_TRUE(ClearUserNotification(wake));
    EXPECT_EQ(FireEventNotifications(kNotificationEventWakeup), 0);
}

TEST_F(UserNotifyTest, TwoProcessesFiringTogetherFireEachOnce) {
    constexpr int kCount = 40;
    for (int i = 0; i < kCount; ++i)
        SetUserNotification(TimeTrigger(At(12, 1, 0), kCellVerify, u""));
    AdvanceClock(60);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(FireDueNotifications() <= kCount ? 0 : 1);
    int mine = FireDueNotifications();
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // Nobody has the event open, so each firing journals that its signal was
    // dropped: one line per notification, whoever fired it.
    EXPECT_EQ(JournalEffects().size(), static_cast<size_t>(kCount));
    EXPECT_LE(mine, kCount);
    EXPECT_TRUE(Pending().empty());
}

}  // namespace
