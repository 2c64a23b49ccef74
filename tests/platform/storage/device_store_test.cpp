#include "platform/storage/device_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "platform/hardware/hardware.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/kernel/wait.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/sync_objects.h"
#include "platform/notify/user_notify.h"
#include "platform/pim/categories.h"
#include "platform/power/power_state.h"
#include "platform/shell/input_panel.h"
#include "platform/shell/shell_notifications.h"
#include "platform/storage/device.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"
#include "platform/window/cursor.h"
#include "support/store_sql.h"
#include "support/temp_device.h"

namespace {

using namespace plat;
using store::Transaction;

class DeviceStoreTest : public ::testing::Test {
protected:
    void TearDown() override { UseDeviceClock(); }

    // The number of rows of a table, read by a connection of its own.
    int Rows(const std::string& table) {
        return std::stoi(StoreQuery(device_.Root(), "SELECT COUNT(*) FROM " + table));
    }
    // Inserts one row of the scratch table; the row's number.
    static uint32_t AddScratch(Transaction& t, int64_t n) {
        store::Query q(t, "INSERT INTO scratch(n) VALUES(?1)");
        q.Bind(1, n);
        return q.Run();
    }

    TempDevice device_;
};

// Every service keeps its state in the one store, where the sqlite3 shell
// finds it, and nothing else is left in the state folder.
TEST_F(DeviceStoreTest, TheWholeStateIsInTheStoreAndNothingBesideIt) {
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Software\\Korvel\\Tallowin", u"Enabled", 1));
    ASSERT_TRUE(FreezeClock());
    ASSERT_TRUE(SetLocalTime(SystemTime{2010, 1, 0, 1, 12, 0, 0, 0}));
    ASSERT_TRUE(ChangeHardwareState([](HardwareState& h) { h.batteryPercent = 42; }));
    ASSERT_TRUE(SetDevicePower(DevicePower::kIdle));
    ASSERT_TRUE(PowerPolicyNotify(kPpnUnattendedMode, 1));
    NotificationTrigger trigger;
    trigger.type = kNotificationTriggerEvent;
    trigger.event = kNotificationEventWakeup;
    trigger.application = u"\\Windows\\Tallowd.exe";
    ASSERT_NE(SetUserNotification(trigger), 0u);

    std::string tables = StoreQuery(device_.Root(), "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
    for (const char* table :
         {"appointment_exceptions", "appointment_recurrences", "appointments", "calendar_watchers", "categories",
          "category_list", "clock", "hardware", "input_panel", "journal", "menu_bars", "notifications", "notify_icons",
          "power_state", "reg_keys", "reg_values", "registered_messages", "registry_watches", "screen_state",
          "shell_host", "unattended_holders", "wait_cursor", "windows"})
        EXPECT_NE(tables.find(std::string(table) + "\n"), std::string::npos) << table << " missing from\n" << tables;

    EXPECT_EQ(StoreQuery(device_.Root(), "SELECT name, length(data) FROM reg_values WHERE name = 'Enabled'"),
              "Enabled|4\n");
    EXPECT_EQ(StoreQuery(device_.Root(), "SELECT mode, time_ms IS NOT NULL FROM clock"), "frozen|1\n");
    EXPECT_EQ(StoreQuery(device_.Root(), "SELECT value FROM hardware WHERE key = 'battery'"), "42\n");
    EXPECT_EQ(StoreQuery(device_.Root(), "SELECT power FROM power_state"), "idle\n");
    EXPECT_EQ(Rows("unattended_holders"), 1);
    EXPECT_EQ(Rows("notifications"), 1);
    EXPECT_EQ(StoreQuery(device_.Root(), "SELECT time, effect FROM journal ORDER BY id"),
              "2010-01-01T12:00:00|power idle\n2010-01-01T12:00:00|unattended mode on\n");

    // The shell's numbering, the calendar's categories, the wait cursor and
    // the input panel keep no file of their own either.
    ASSERT_NE(ShowShellNotification(u"{A877D65B-239C-47A7-9304-0D347F580408}", u"Text", u"Anna"), 0u);
    ASSERT_TRUE(AddCalendarCategory(u"Gym"));
    SetCursor(LoadCursor(IDC_WAIT));
    EXPECT_TRUE(WaitCursorShown());
    ASSERT_TRUE(SipShowIM(SIPF_ON));
    EXPECT_EQ(StoreQuery(device_.Root(), "SELECT name FROM categories ORDER BY seq"), "Business\nHoliday\nPersonal\nGym\n");
    EXPECT_EQ(Rows("wait_cursor"), 1);
    EXPECT_EQ(Rows("input_panel"), 1);
    SetCursor(LoadCursor(IDC_ARROW));
    EXPECT_FALSE(WaitCursorShown());
    ASSERT_TRUE(SipShowIM(SIPF_OFF));
    EXPECT_EQ(Rows("wait_cursor"), 0);
    EXPECT_EQ(Rows("input_panel"), 0);

    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(device_.StateDir()))
        files.insert(entry.path().filename().string());
    for (const std::string& file : files)
        EXPECT_EQ(file.rfind("device.db", 0), 0u) << "stray file in the state folder: " << file;
    EXPECT_EQ(files.count("device.db"), 1u);
    PowerPolicyNotify(kPpnUnattendedMode, 0);
}

// A service called inside another's transaction joins it: what it does is
// undone alone when it fails, and kept only when the outer one commits.
TEST_F(DeviceStoreTest, TransactionsInsideTransactionsJoinThem) {
    StoreExec(device_.Root(), "CREATE TABLE scratch(n INTEGER)");
    uint32_t error = store::Write([&](Transaction& outer) -> uint32_t {
        EXPECT_EQ(AddScratch(outer, 1), kErrorSuccess);
        EXPECT_EQ(store::Write([&](Transaction& inner) { return AddScratch(inner, 2); }), kErrorSuccess);
        EXPECT_EQ(store::Write([&](Transaction& inner) -> uint32_t {
                      AddScratch(inner, 3);
                      return kErrorAccessDenied;
                  }),
                  kErrorAccessDenied);
        return kErrorSuccess;
    });
    EXPECT_EQ(error, kErrorSuccess);
    EXPECT_EQ(StoreQuery(device_.Root(), "SELECT n FROM scratch ORDER BY n"), "1\n2\n");

    // An outer transaction that fails takes its inner ones with it.
    error = store::Write([&](Transaction& outer) -> uint32_t {
        store::Write([&](Transaction& inner) { return AddScratch(inner, 4); });
        AddScratch(outer, 5);
        return kErrorInvalidParameter;
    });
    EXPECT_EQ(error, kErrorInvalidParameter);
    EXPECT_EQ(Rows("scratch"), 2);

    // A statement that does not prepare is an error, not a crash.
    EXPECT_NE(store::Read([](Transaction& t) {
                  store::Query q(t, "SELECT nothing FROM nowhere");
                  return q.Run();
              }),
              kErrorSuccess);
}

// A batch joins the calls of its stretch into one transaction: the others
// see its changes only when it ends, a call that fails undoes only its own
// changes, and watchers hear of a registry change once it is committed.
TEST_F(DeviceStoreTest, ABatchJoinsItsCallsAndCommitsThemAtItsEnd) {
    StoreExec(device_.Root(), "CREATE TABLE scratch(n INTEGER)");
    static int heard = 0;
    heard = 0;
    SetRegistryChangeHook([](HKey, const std::u16string&, const std::u16string&) { ++heard; });
    {
        store::Batch batch;
        ASSERT_TRUE(batch.Joining());
        EXPECT_EQ(store::Write([&](Transaction& t) { return AddScratch(t, 1); }), kErrorSuccess);
        EXPECT_EQ(store::Write([&](Transaction& t) -> uint32_t {
                      AddScratch(t, 2);
                      return kErrorAccessDenied;
                  }),
                  kErrorAccessDenied);
        ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Software\\Korvel\\Tallowin", u"Locked", 1));
        JournalAppend("inside the batch");
        store::Batch inner;  // adds nothing: the outer one joins its calls
        EXPECT_FALSE(inner.Joining());
        EXPECT_EQ(Rows("scratch"), 0);  // another connection sees nothing yet
        EXPECT_EQ(heard, 0);
        uint32_t value = 0;  // this thread reads its own changes
        EXPECT_TRUE(RegReadDword(kHkeyCurrentUser, u"Software\\Korvel\\Tallowin", u"Locked", &value));
        EXPECT_EQ(value, 1u);
    }
    SetRegistryChangeHook(nullptr);
    EXPECT_EQ(StoreQuery(device_.Root(), "SELECT n FROM scratch ORDER BY n"), "1\n");
    EXPECT_EQ(heard, 1);
    EXPECT_NE(JournalRead().back().find("inside the batch"), std::string::npos);
}

// A batch ends, committing, before its thread waits: a thread it waits for
// can then use the store, and other programs see what was done before.
TEST_F(DeviceStoreTest, ABatchEndsBeforeItsThreadWaits) {
    StoreExec(device_.Root(), "CREATE TABLE scratch(n INTEGER)");
    store::Batch batch;
    ASSERT_TRUE(batch.Joining());
    ASSERT_EQ(store::Write([&](Transaction& t) { return AddScratch(t, 1); }), kErrorSuccess);
    Handle done = CreateEvent(true, false);
    Handle worker = CreateThread(
        [&]() -> uint32_t {
            uint32_t error = store::Write([&](Transaction& t) { return AddScratch(t, 2); });
            SetEvent(done);
            return error;
        },
        nullptr);
    // Without the batch ending here the worker could never write: the wait
    // would run into its (generous) limit.
    ASSERT_EQ(WaitForSingleObject(done, 30000), kWaitObject0);
    EXPECT_FALSE(batch.Joining());
    ASSERT_EQ(WaitForSingleObject(worker, 30000), kWaitObject0);
    uint32_t code = 1;
    EXPECT_TRUE(GetExitCodeThread(worker, &code));
    EXPECT_EQ(code, kErrorSuccess);
    EXPECT_EQ(StoreQuery(device_.Root(), "SELECT n FROM scratch ORDER BY n"), "1\n2\n");
    // The rest of the stretch runs call by call.
    ASSERT_EQ(store::Write([&](Transaction& t) { return AddScratch(t, 3); }), kErrorSuccess);
    EXPECT_EQ(Rows("scratch"), 3);
    CloseHandle(worker);
    CloseHandle(done);
}

// A store made before a table was added to the schema gets it when a process
// next opens the store; the rows already there stay.
TEST_F(DeviceStoreTest, AnOlderStoreGetsTheTablesItMisses) {
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Kept", u"Value", 7));
    StoreExec(device_.Root(), "DROP TABLE journal; PRAGMA user_version = 0;");
    {
        TempDevice other;  // another device's store in between: this one is opened again after it
        JournalRead();
    }
    ASSERT_TRUE(SetDevice(device_.Root()));
    JournalAppend("after the upgrade");
    EXPECT_EQ(JournalRead().size(), 1u);
    uint32_t value = 0;
    EXPECT_TRUE(RegReadDword(kHkeyCurrentUser, u"Kept", u"Value", &value));
    EXPECT_EQ(value, 7u);
}

TEST_F(DeviceStoreTest, WithoutTheStateFolderTheStoreIsNotMade) {
    std::filesystem::remove_all(device_.StateDir());
    EXPECT_EQ(store::Write([](Transaction&) -> uint32_t { return kErrorSuccess; }), kErrorPathNotFound);
    EXPECT_FALSE(std::filesystem::exists(device_.StateDir()));
}

// Another program in the middle of a long change: reads go on, a write waits
// for the busy time-out and then fails with a sharing violation, changing
// nothing; once the other program is done, writes go through again and
// neither program's change is lost.
TEST_F(DeviceStoreTest, AStoreHeldByAnotherProgramRefusesWritesAndLosesNothing) {
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Held", u"Before", 1));
    store::SetBusyTimeout(200);
    {
        StoreWriteLock other(device_.Root());
        uint32_t value = 0;
        EXPECT_TRUE(RegReadDword(kHkeyCurrentUser, u"Held", u"Before", &value));
        EXPECT_EQ(value, 1u);
        HKey key{};
        ASSERT_EQ(RegOpenKey(kHkeyCurrentUser, u"Held", &key), kErrorSuccess);
        uint32_t during = 2;
        EXPECT_EQ(RegSetValue(key, u"During", kRegDword, &during, sizeof(during)), kErrorSharingViolation);
        RegCloseKey(key);
        EXPECT_FALSE(ChangeHardwareState([](HardwareState& h) { h.batteryPercent = 17; }));
    }
    store::SetBusyTimeout(10000);
    uint32_t value = 0;
    EXPECT_FALSE(RegReadDword(kHkeyCurrentUser, u"Held", u"During", &value));
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Held", u"After", 3));
    EXPECT_TRUE(RegReadDword(kHkeyCurrentUser, u"Held", u"Before", &value));
    EXPECT_EQ(value, 1u);
    HardwareState hardware;
    ASSERT_TRUE(ReadHardwareState(&hardware));
    EXPECT_NE(hardware.batteryPercent, 17);
}

// A store file that is no database (or a damaged one) is reported in words
// and never written over: whatever is in it can still be rescued. A new
// store is made only once a person moves the file aside.
TEST_F(DeviceStoreTest, ADamagedStoreIsReportedAndLeftAsItIs) {
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Before", u"Value", 1));
    std::filesystem::path path = device_.StateDir() / "device.db";
    const std::string garbage(8192, 'x');
    {
        // A new file in its place (as a copy from elsewhere would be), without
        // the old one's write-ahead log.
        std::filesystem::path fresh = device_.StateDir() / "fresh";
        std::ofstream(fresh, std::ios::binary) << garbage;
        std::filesystem::remove(device_.StateDir() / "device.db-wal");
        std::filesystem::remove(device_.StateDir() / "device.db-shm");
        std::filesystem::rename(fresh, path);
    }
    std::string problem;
    EXPECT_EQ(store::Check(&problem), kErrorInvalidData);
    EXPECT_NE(problem.find("damaged"), std::string::npos) << problem;
    EXPECT_NE(problem.find(path.string()), std::string::npos) << problem;

    uint32_t value = 0;
    EXPECT_FALSE(RegReadDword(kHkeyCurrentUser, u"Before", u"Value", &value));
    HKey key{};
    EXPECT_EQ(RegCreateKey(kHkeyCurrentUser, u"Other", &key), kErrorInvalidData);
    JournalAppend("not kept");
    EXPECT_FALSE(ChangeHardwareState([](HardwareState& h) { h.batteryPercent = 17; }));
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);

    std::filesystem::rename(path, device_.StateDir() / "device.db.damaged");
    EXPECT_EQ(store::Check(&problem), kErrorSuccess);
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Other", u"Value", 2));
}

// A table dropped by hand while the phone runs (the store's schema number
// unchanged) is made again: the call that found it missing runs on the new,
// empty table, and the other tables keep their rows.
TEST_F(DeviceStoreTest, ATableDroppedByHandIsMadeAgain) {
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Kept", u"Value", 7));
    ASSERT_TRUE(ChangeHardwareState([](HardwareState& h) { h.batteryPercent = 42; }));
    StoreExec(device_.Root(), "DROP TABLE hardware");
    ASSERT_TRUE(ChangeHardwareState([](HardwareState& h) { h.batteryPercent = 43; }));
    HardwareState hardware;
    ASSERT_TRUE(ReadHardwareState(&hardware));
    EXPECT_EQ(hardware.batteryPercent, 43);

    // Dropped while no process had the store open: made again on opening.
    StoreExec(device_.Root(), "DROP TABLE journal");
    {
        TempDevice other;
        JournalRead();
    }
    ASSERT_TRUE(SetDevice(device_.Root()));
    JournalAppend("after the repair");
    EXPECT_EQ(JournalRead().size(), 1u);
    uint32_t value = 0;
    EXPECT_TRUE(RegReadDword(kHkeyCurrentUser, u"Kept", u"Value", &value));
    EXPECT_EQ(value, 7u);
}

}  // namespace
