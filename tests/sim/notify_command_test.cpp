// `tlwsim notify list` and `tlwsim time` firing notifications, run as real
// processes against a temporary device.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/kernel/clock.h"
#include "platform/storage/journal.h"
#include "platform/notify/user_notify.h"
#include "support/run_program.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

SystemTime At(uint16_t hour, uint16_t minute, uint16_t second) {
    SystemTime t{2010, 3, 0, 1, hour, minute, second, 0};
    NormalizeSystemTime(&t);
    return t;
}

class NotifyCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseDeviceClock();
        std::filesystem::create_directories(device_.Root() / "Windows");
        std::filesystem::create_symlink("/bin/true", device_.Root() / "Windows" / "Tallowd.exe");
        ASSERT_EQ(Console("time", {"freeze"}).exitCode, 0);
        ASSERT_EQ(Console("time", {"set", "2010-03-01T12:00:00"}).exitCode, 0);
    }
    ProgramResult Console(const std::string& command, std::initializer_list<std::string> args) {
        return TlwsimCommand(command, device_.Root().string(), args, ErrorStream::kCaptured);
    }
    void Schedule(const SystemTime& when, std::u16string_view arguments) {
        NotificationTrigger t;
        t.application = u"\\Windows\\Tallowd.exe";
        t.arguments = std::u16string(arguments);
        t.startTime = when;
        t.endTime = when;
        ASSERT_NE(SetUserNotification(t), 0u);
    }
    TempDevice device_;
};

TEST_F(NotifyCommandTest, ListShowsTimeOrderThenEvents) {
    EXPECT_EQ(Console("notify", {"list"}).output, "");
    NotificationTrigger wake;
    wake.type = kNotificationTriggerEvent;
    wake.event = kNotificationEventWakeup;
    wake.application = u"\\Windows\\Tallowd.exe";
    wake.arguments = u"40";
    ASSERT_NE(SetUserNotification(wake), 0u);
    Schedule(At(13, 0, 15), u"201");
    Schedule(At(12, 30, 20), u"500");
    NotificationTrigger cell;
    cell.application = u"\\\\.\\Notifications\\NamedEvents\\TlwCellVerify";
    cell.startTime = cell.endTime = At(12, 10, 0);
    ASSERT_NE(SetUserNotification(cell), 0u);
    ProgramResult r = Console("notify", {"list"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.output,
              "2010-03-01T12:10:00 \\\\.\\Notifications\\NamedEvents\\TlwCellVerify\n"
              "2010-03-01T12:30:20 \\Windows\\Tallowd.exe 500\n"
              "2010-03-01T13:00:15 \\Windows\\Tallowd.exe 201\n"
              "event 11 \\Windows\\Tallowd.exe 40\n");
}

TEST_F(NotifyCommandTest, BadArgumentsAreRefused) {
    EXPECT_EQ(Console("notify", {}).exitCode, 2);
    EXPECT_EQ(Console("notify", {"clear"}).exitCode, 2);
    EXPECT_EQ(Console("notify", {"show"}).exitCode, 2);
    EXPECT_EQ(Console("notify", {"list", "extra"}).exitCode, 2);
    EXPECT_EQ(Console("notify", {"show", "telegram"}).exitCode, 1);
    EXPECT_EQ(Console("notify", {"show", "{A877D65B-239C-47A7-9304}"}).exitCode, 1);
    EXPECT_EQ(Console("notify", {"dismiss", "7"}).exitCode, 1);  // not shown
    EXPECT_EQ(Console("notify", {"dismiss", "nothing"}).exitCode, 1);
    EXPECT_EQ(Console("notify", {"shown"}).output, "");  // nothing was raised by the refused ones
    EXPECT_EQ(Tlwsim({"notify", "/nonexistent/device", "list"}, ErrorStream::kCaptured).exitCode, 1);
}

TEST_F(NotifyCommandTest, AdvanceFiresWhatFallsDue) {
    Schedule(At(12, 30, 20), u"500");
    Schedule(At(12, 45, 15), u"201");
    Schedule(At(14, 0, 0), u"16");
    ProgramResult r = Console("time", {"advance", "1h"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.output, "2010-03-01T13:00:00 (frozen)\n");
    std::vector<std::string> lines = JournalRead();
    std::vector<std::string> starts;
    for (const std::string& line : lines)
        if (line.find(" start ") != std::string::npos) starts.push_back(line);
    EXPECT_EQ(starts, (std::vector<std::string>{"2010-03-01T12:30:20 tlwsim start \\Windows\\Tallowd.exe 500",
                                                "2010-03-01T12:45:15 tlwsim start \\Windows\\Tallowd.exe 201"}));
    EXPECT_EQ(Console("notify", {"list"}).output, "2010-03-01T14:00:00 \\Windows\\Tallowd.exe 16\n");
    // set fires the rest.
    EXPECT_EQ(Console("time", {"set", "2010-03-02T00:00:00"}).exitCode, 0);
    EXPECT_EQ(Console("notify", {"list"}).output, "");
}

TEST_F(NotifyCommandTest, ShowAndDismissRaiseAndClearTheShownNotifications) {
    ProgramResult sms = Console("notify", {"show", "sms", "From Anna"});
    ASSERT_EQ(sms.exitCode, 0);
    EXPECT_EQ(sms.output, "1\n");
    EXPECT_EQ(Console("notify", {"show", "missedcall"}).output, "2\n");
    EXPECT_EQ(Console("notify", {"show", "{a877d65b-239c-47a7-9304-0d347f580408}", "Again"}).output, "3\n");
    EXPECT_EQ(Console("reg", {"get", "HKLM\\System\\State\\Shell\\Notifications\\Active", "ID"}).output, "3\n");
    EXPECT_EQ(Console("reg", {"get", "HKLM\\System\\State\\Shell\\Notifications\\{A877D65B-239C-47A7-9304-0D347F580408}\\1",
                             "Text"}).output,
              "From Anna\n");
    EXPECT_EQ(Console("notify", {"shown"}).output,
              "1 {A877D65B-239C-47A7-9304-0D347F580408} 2010-03-01T12:00:00 From Anna\n"
              "2 {C3465585-39EF-4C9B-B2A3-5558BF27BFB0} 2010-03-01T12:00:00 Missed call\n"
              "3 {A877D65B-239C-47A7-9304-0D347F580408} 2010-03-01T12:00:00 Again\n");  // the class key's spelling

    // By number, then every one of a kind (both text messages), then all.
    EXPECT_EQ(Console("notify", {"dismiss", "2"}).exitCode, 0);
    EXPECT_EQ(Console("reg", {"get", "HKLM\\System\\State\\Shell\\Notifications\\Active", "ID"}).output, "4\n");
    EXPECT_EQ(Console("notify", {"show", "reminder"}).output, "5\n");
    EXPECT_EQ(Console("notify", {"dismiss", "sms"}).exitCode, 0);
    EXPECT_EQ(Console("notify", {"shown"}).output, "5 {15F11F90-8A5F-454C-89FC-BA9B7AAB0CAD} 2010-03-01T12:00:00 Reminder\n");
    EXPECT_EQ(Console("notify", {"dismiss", "all"}).exitCode, 0);
    EXPECT_EQ(Console("notify", {"shown"}).output, "");
    std::vector<std::string> raised;
    for (const std::string& line : JournalRead())
        if (line.find(" notification ") != std::string::npos) raised.push_back(line.substr(line.find(" notification ") + 1));
    EXPECT_EQ(raised.size(), 8u);
    EXPECT_EQ(raised.back(), "notification 5 of {15F11F90-8A5F-454C-89FC-BA9B7AAB0CAD} dismissed");
}

}  // namespace
