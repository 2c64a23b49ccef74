// Registry-change notification to a window: any change, a change of the
// bits in a mask, names without regard to case, closing, and writes by
// another process.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/storage/device.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/registry.h"
#include "platform/window/registry_notify.h"
#include "platform/window/window_db.h"
#include "window_test_support.h"

namespace {

using namespace plat;
using wintest::Recorder;
using wintest::Seen;

constexpr uint32_t kAccessory = 2271;
constexpr uint32_t kLocked = 2273;
const char16_t* const kHardware = u"System\\State\\Hardware";
const char16_t* const kTallowin = u"Software\\Korvel\\Tallowin";

class RegistryNotifyTest : public wintest::WindowTest {
protected:
    // The messages the window handled since the last call, with lParam
    // dropped (the recorder keeps message and wParam).
    std::vector<Seen> Handled() {
        PumpMessagesUntilIdle();
        return Recorder::Instance().Take();
    }
    HRegNotify Watch(HKey root, const char16_t* key, const char16_t* value, Hwnd hwnd, uint32_t message,
                     const RegistryNotifyCondition* condition) {
        HRegNotify handle = 0;
        EXPECT_EQ(RegistryNotifyWindow(root, key, value, hwnd, message, 0, condition, &handle), kErrorSuccess);
        EXPECT_NE(handle, 0u);
        return handle;
    }
};

TEST_F(RegistryNotifyTest, MaskedWatchSeesOnlyItsBits) {
    Hwnd hwnd = MakeWindow();
    ASSERT_TRUE(RegWriteDword(kHkeyLocalMachine, kHardware, u"Bluetooth", 0x01));
    RegistryNotifyCondition mask;
    mask.kind = RegistryNotifyCondition::kRegMaskChange;
    mask.mask = 0x10;
    HRegNotify handle = Watch(kHkeyLocalMachine, kHardware, u"Bluetooth", hwnd, kAccessory, &mask);

    ASSERT_TRUE(RegWriteDword(kHkeyLocalMachine, kHardware, u"Bluetooth", 0x03));  // outside the mask
    EXPECT_TRUE(Handled().empty());
    ASSERT_TRUE(RegWriteDword(kHkeyLocalMachine, kHardware, u"Bluetooth", 0x13));  // bit 0x10 set
    EXPECT_EQ(Handled(), (std::vector<Seen>{{kAccessory, 0x13}}));
    ASSERT_TRUE(RegWriteDword(kHkeyLocalMachine, kHardware, u"Bluetooth", 0x17));
    EXPECT_TRUE(Handled().empty());
    ASSERT_TRUE(RegWriteDword(kHkeyLocalMachine, kHardware, u"Bluetooth", 0x07));  // bit 0x10 cleared
    EXPECT_EQ(Handled(), (std::vector<Seen>{{kAccessory, 0x07}}));
    // A deleted value reads as 0: bit 0x10 stays clear.
    HKey key = 0;
    ASSERT_EQ(RegOpenKey(kHkeyLocalMachine, kHardware, &key), kErrorSuccess);
    ASSERT_EQ(RegDeleteValue(key, u"Bluetooth"), kErrorSuccess);
    RegCloseKey(key);
    EXPECT_TRUE(Handled().empty());
    ASSERT_TRUE(RegWriteDword(kHkeyLocalMachine, kHardware, u"Bluetooth", 0x10));
    EXPECT_EQ(Handled(), (std::vector<Seen>{{kAccessory, 0x10}}));

    EXPECT_EQ(RegistryCloseNotification(handle), kErrorSuccess);
    ASSERT_TRUE(RegWriteDword(kHkeyLocalMachine, kHardware, u"Bluetooth", 0x00));
    EXPECT_TRUE(Handled().empty());
    EXPECT_EQ(RegistryCloseNotification(handle), kErrorInvalidHandle);
}

TEST_F(RegistryNotifyTest, AnyChangeWatchSeesChangesNotRewrites) {
    Hwnd hwnd = MakeWindow();
    // The value need not exist yet; names match without regard to case.
    Watch(kHkeyCurrentUser, u"software\\KORVEL\\tallowin\\", u"locked", hwnd, kLocked, nullptr);
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kTallowin, u"Locked", 1));
    EXPECT_EQ(Handled(), (std::vector<Seen>{{kLocked, 1}}));
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kTallowin, u"Locked", 1));  // the same value again
    EXPECT_TRUE(Handled().empty());
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kTallowin, u"LOCKED", 0));
    EXPECT_EQ(Handled(), (std::vector<Seen>{{kLocked, 0}}));
    // A string value: the message carries 0 in wParam.
    ASSERT_TRUE(RegWriteString(kHkeyCurrentUser, kTallowin, u"Locked", u"yes"));
    EXPECT_EQ(Handled(), (std::vector<Seen>{{kLocked, 0}}));
    // Deleting the whole key deletes the value: a change.
    ASSERT_EQ(RegDeleteKey(kHkeyCurrentUser, u"Software\\Korvel"), kErrorSuccess);
    EXPECT_EQ(Handled(), (std::vector<Seen>{{kLocked, 0}}));
    // Another value of the key does not concern it.
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kTallowin, u"LockedNot", 5));
    EXPECT_TRUE(Handled().empty());
}

TEST_F(RegistryNotifyTest, WatcherOnTheWritingThreadHearsThroughItsQueue) {
    Hwnd hwnd = MakeWindow();
    Watch(kHkeyCurrentUser, kTallowin, u"Locked", hwnd, kLocked, nullptr);
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kTallowin, u"Locked", 1));
    // Not handled inside the write: it waits for the loop.
    EXPECT_TRUE(Recorder::Instance().Take().empty());
    EXPECT_EQ(Handled(), (std::vector<Seen>{{kLocked, 1}}));
}

TEST_F(RegistryNotifyTest, EveryWatchOfAValueGetsItsOwnMessage) {
    Hwnd a = MakeWindow(u"A");
    Hwnd b = MakeWindow(u"B");
    Watch(kHkeyLocalMachine, kHardware, u"Headset", a, kAccessory, nullptr);
    Watch(kHkeyLocalMachine, kHardware, u"Headset", b, kAccessory + 1, nullptr);
    ASSERT_TRUE(RegWriteDword(kHkeyLocalMachine, kHardware, u"Headset", 1));
    EXPECT_EQ(Handled(), (std::vector<Seen>{{kAccessory, 1}, {kAccessory + 1, 1}}));
}

TEST_F(RegistryNotifyTest, BadArgumentsAreRefusedAndDestroyedWindowsDropTheirWatches) {
    Hwnd hwnd = CreateWindow(u"Recording", u"", 0, 0, 0, 1, 1, Hwnd{});
    ASSERT_TRUE(hwnd);
    HRegNotify handle = 0;
    EXPECT_EQ(RegistryNotifyWindow(kHkeyLocalMachine, kHardware, u"Cradled", Hwnd{12345}, 1, 0, nullptr, &handle),
              kErrorInvalidWindowHandle);
    EXPECT_EQ(RegistryNotifyWindow(0x1234, kHardware, u"Cradled", hwnd, 1, 0, nullptr, &handle),
              kErrorInvalidParameter);
    EXPECT_EQ(RegistryNotifyWindow(kHkeyLocalMachine, kHardware, u"Cradled", hwnd, 1, 0, nullptr, nullptr),
              kErrorInvalidParameter);
    handle = Watch(kHkeyLocalMachine, kHardware, u"Cradled", hwnd, 2270, nullptr);
    DestroyWindow(hwnd);
    Recorder::Instance().Take();
    ASSERT_TRUE(RegWriteDword(kHkeyLocalMachine, kHardware, u"Cradled", 1));
    EXPECT_TRUE(Handled().empty());
    EXPECT_EQ(RegistryCloseNotification(handle), kErrorInvalidHandle);
}

// Rows of the watch table, for checking that ended watchers are removed.
int WatchRows() {
    int rows = -1;
    windb::ReadExisting([&](store::Transaction& t) {
        store::Query count(t, "SELECT COUNT(*) FROM registry_watches");
        if (count.Next()) rows = static_cast<int>(count.Int(0));
        return count.Error();
    });
    return rows;
}

TEST_F(RegistryNotifyTest, WritesOfAnotherProcessReachTheWatcher) {
    UseDeviceClock();
    Hwnd hwnd = MakeWindow();
    Watch(kHkeyCurrentUser, kTallowin, u"Locked", hwnd, kLocked, nullptr);
    pid_t child = fork();
    if (child == 0) _exit(RegWriteDword(kHkeyCurrentUser, kTallowin, u"Locked", 1) ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // The child's send-notify was accepted before it ended.
    EXPECT_EQ(Handled(), (std::vector<Seen>{{kLocked, 1}}));
}

TEST_F(RegistryNotifyTest, WatchesOfEndedProcessesAreIgnoredAndRemoved) {
    int before = WatchRows();
    pid_t child = fork();
    if (child == 0) {
        SetProgramName("watcher");
        wintest::RegisterRecordingClass();  // a forked child starts without the parent's classes
        Hwnd w = CreateWindow(u"Recording", u"", 0, 0, 0, 1, 1, Hwnd{});
        HRegNotify handle = 0;
        _exit(RegistryNotifyWindow(kHkeyCurrentUser, kTallowin, u"Locked", w, kLocked, 0, nullptr, &handle) ==
                      kErrorSuccess
                  ? 0
                  : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(WatchRows(), std::max(before, 0) + 1);
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kTallowin, u"Locked", 1));
    EXPECT_EQ(WatchRows(), std::max(before, 0));
}

}  // namespace
