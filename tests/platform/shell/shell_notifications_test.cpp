// The shell's shown notifications: the state registry a raise and a
// dismissal leave, the Active value a watcher hears, the class's sound, and
// refused requests.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "platform/hardware/hardware.h"
#include "platform/kernel/clock.h"
#include "platform/shell/shell_notifications.h"
#include "platform/storage/file.h"
#include "platform/storage/registry.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

constexpr char16_t kSmsClass[] = u"{A877D65B-239C-47A7-9304-0D347F580408}";
constexpr char16_t kMissedClass[] = u"{C3465585-39EF-4C9B-B2A3-5558BF27BFB0}";

class ShellNotificationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SystemTime start{};
        ASSERT_TRUE(ParseDeviceTime("2010-01-04T10:00:00", &start));
        ASSERT_TRUE(UseVirtualClock(start));
    }
    void TearDown() override { UseDeviceClock(); }
    uint32_t ActiveId() {
        uint32_t id = 0;
        EXPECT_TRUE(RegReadDword(kHkeyLocalMachine, kShellNotificationsActiveKey, kShellNotificationsActiveValue, &id));
        return id;
    }
    bool Shown(std::u16string_view classId, uint32_t id) {
        HKey key = 0;
        std::u16string path = std::u16string(kShellNotificationsKey) + u"\\" + std::u16string(classId) + u"\\" +
                              std::u16string(1, static_cast<char16_t>(u'0' + id));
        if (RegOpenKey(kHkeyLocalMachine, path, &key) != 0) return false;
        RegCloseKey(key);
        return true;
    }
    TempDevice device_;
};

TEST_F(ShellNotificationsTest, RaiseAndDismissLeaveTheStateRegistryAndChangeActiveEachTime) {
    uint32_t sms = ShowShellNotification(kSmsClass, u"Text message", u"From Anna");
    uint32_t missed = ShowShellNotification(kMissedClass, u"Missed call", u"0171 555");
    ASSERT_EQ(sms, 1u);
    ASSERT_EQ(missed, 2u);
    EXPECT_EQ(ActiveId(), missed);
    EXPECT_TRUE(Shown(kSmsClass, sms));
    EXPECT_TRUE(Shown(kMissedClass, missed));

    std::vector<ShellNotification> shown;
    ASSERT_TRUE(ListShellNotifications(&shown));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].classId, kSmsClass);
    EXPECT_EQ(shown[0].title, u"Text message");
    EXPECT_EQ(shown[0].text, u"From Anna");
    EXPECT_EQ(shown[0].time, "2010-01-04T10:00:00");

    // Dismissing the older one changes Active although the newest stays.
    ASSERT_TRUE(DismissShellNotification(sms));
    EXPECT_FALSE(Shown(kSmsClass, sms));
    EXPECT_EQ(ActiveId(), 3u);
    EXPECT_FALSE(DismissShellNotification(sms));
    ASSERT_TRUE(DismissShellNotification(missed));
    EXPECT_EQ(ActiveId(), 4u);
    ASSERT_TRUE(ListShellNotifications(&shown));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(ShowShellNotification(kSmsClass, u"", u""), 5u);  // numbers are never reused
    EXPECT_EQ(JournalEffects(),
              (std::vector<std::string>{"notification 1 of {A877D65B-239C-47A7-9304-0D347F580408} shown",
                                        "notification 2 of {C3465585-39EF-4C9B-B2A3-5558BF27BFB0} shown",
                                        "notification 1 of {A877D65B-239C-47A7-9304-0D347F580408} dismissed",
                                        "notification 2 of {C3465585-39EF-4C9B-B2A3-5558BF27BFB0} dismissed",
                                        "notification 5 of {A877D65B-239C-47A7-9304-0D347F580408} shown"}));
}

TEST_F(ShellNotificationsTest, ARaisePlaysTheClassSoundWhenItsSettingsAndTheSoundProfileAllow) {
    ASSERT_TRUE(CreateDirectory(u"\\Windows"));
    File f;
    ASSERT_TRUE(f.Open(u"\\Windows\\Notify.wav", kGenericWrite, kShareNone, kCreateAlways));
    f.Close();
    std::u16string key = std::u16string(u"ControlPanel\\Notifications\\") + kSmsClass;
    ASSERT_TRUE(RegWriteString(kHkeyCurrentUser, key, u"Wave", u"Notify"));  // bare name: \Windows, .wav
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, key, u"Options", 0x9));     // sound and message
    ShowShellNotification(kSmsClass, u"", u"");
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, key, u"Options", 0x8));     // message only
    ShowShellNotification(kSmsClass, u"", u"");
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, key, u"Options", 0x1));
    ASSERT_TRUE(ChangeHardwareState([](HardwareState& s) { s.soundProfile = 2; }));  // vibrate
    ShowShellNotification(kSmsClass, u"", u"");
    std::vector<std::string> effects = JournalEffects();
    ASSERT_EQ(effects.size(), 4u);
    EXPECT_EQ(effects[1], "sound play \\Windows\\Notify.wav");
    EXPECT_EQ(effects[3].find("notification 3 of"), 0u);
}

// Three programs raising and dismissing at once: every raise gets a number of
// its own, nothing is lost, Active ends at the newest number, and the store's
// transaction is all the locking there is (no lock file beside it).
TEST_F(ShellNotificationsTest, ProgramsRaisingAtOnceGetNumbersOfTheirOwn) {
    constexpr int kChildren = 3;
    constexpr int kRaises = 15;
    ASSERT_NE(ShowShellNotification(kSmsClass, u"first", u""), 0u);  // the parent's store is open before the forks
    std::vector<pid_t> children;
    for (int child = 0; child < kChildren; ++child) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            for (int i = 0; i < kRaises; ++i) {
                uint32_t id = ShowShellNotification(child == 0 ? kSmsClass : kMissedClass, u"t", u"x");
                if (id == 0) ++failures;
                // Every other one is taken off again.
                else if (i % 2 == 1 && !DismissShellNotification(id)) ++failures;
            }
            _exit(failures);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    std::vector<ShellNotification> shown;
    ASSERT_TRUE(ListShellNotifications(&shown));
    ASSERT_EQ(shown.size(), 1u + kChildren * ((kRaises + 1) / 2));
    std::set<uint32_t> numbers;
    for (const ShellNotification& n : shown) numbers.insert(n.id);
    EXPECT_EQ(numbers.size(), shown.size());
    // One number per raise and per dismissal, none twice.
    uint32_t last = 1 + kChildren * (kRaises + kRaises / 2);
    EXPECT_EQ(ActiveId(), last);
    EXPECT_LE(*numbers.rbegin(), last);
    for (const auto& entry : std::filesystem::directory_iterator(device_.StateDir()))
        EXPECT_EQ(entry.path().filename().string().rfind("device.db", 0), 0u) << entry.path();
}

TEST_F(ShellNotificationsTest, RefusesMalformedClasses) {
    for (const char16_t* bad : {u"", u"A877D65B-239C-47A7-9304-0D347F580408", u"{A877D65B-239C-47A7-9304-0D347F58040}",
                                u"{A877D65B-239C-47A7-9304_0D347F580408}", u"{G877D65B-239C-47A7-9304-0D347F580408}",
                                u"Active"})
        EXPECT_EQ(ShowShellNotification(bad, u"", u""), 0u);
    EXPECT_TRUE(IsNotificationClassId(u"{a877d65b-239c-47a7-9304-0d347f580408}"));
    std::vector<ShellNotification> shown;
    ASSERT_TRUE(ListShellNotifications(&shown));
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(JournalEffects().empty());
}

}  // namespace
