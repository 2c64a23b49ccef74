// The device store when the disk fails it or a process dies inside a
// transaction: a change is kept whole or not at all, what was committed
// before stays, and the store goes on working once the fault is gone.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/hardware/hardware.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/device_store.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"
#include "support/store_sql.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

// A SQLite file system in front of the real one whose writes to the store
// and its write-ahead log can be made to fail, as on a full disk: after
// writesLeft more writes every write fails with failWith. Registered as the
// default, it serves every store opened meanwhile.
struct FailingDisk {
    static inline sqlite3_vfs* real = nullptr;
    static inline sqlite3_vfs vfs{};
    static inline sqlite3_io_methods methods{};
    static inline std::atomic<int> writesLeft{-1};  // -1: writes never fail
    static inline std::atomic<int> writes{0};       // writes to the store's files so far
    static inline int failWith = SQLITE_FULL;

    struct File {
        sqlite3_file base;     // this file system's part, first as SQLite wants
        bool faulty;           // the store or its log (not the shared-memory index)
        sqlite3_file* inner() { return reinterpret_cast<sqlite3_file*>(this + 1); }
    };

    static File* Of(sqlite3_file* f) { return reinterpret_cast<File*>(f); }
    static sqlite3_file* In(sqlite3_file* f) { return Of(f)->inner(); }

    static int Write(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset) {
        if (Of(f)->faulty) {
            writes++;
            int left = writesLeft.load();
            if (left == 0) return failWith;
            if (left > 0) writesLeft--;
        }
        return In(f)->pMethods->xWrite(In(f), data, amount, offset);
    }

    static int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
        File* file = Of(f);
        file->base.pMethods = nullptr;
        file->faulty = (flags & (SQLITE_OPEN_MAIN_DB | SQLITE_OPEN_WAL)) != 0;
        int rc = real->xOpen(real, name, file->inner(), flags, outFlags);
        if (rc != SQLITE_OK || !file->inner()->pMethods) return rc;
        static const bool made = [&] {
            // Every call but the write goes straight to the real file.
            const sqlite3_io_methods* m = file->inner()->pMethods;
            methods.iVersion = m->iVersion;
            methods.xClose = [](sqlite3_file* x) { return In(x)->pMethods->xClose(In(x)); };
            methods.xRead = [](sqlite3_file* x, void* p, int n, sqlite3_int64 o) { return In(x)->pMethods->xRead(In(x), p, n, o); };
            methods.xWrite = Write;
            methods.xTruncate = [](sqlite3_file* x, sqlite3_int64 n) { return In(x)->pMethods->xTruncate(In(x), n); };
            methods.xSync = [](sqlite3_file* x, int how) { return In(x)->pMethods->xSync(In(x), how); };
            methods.xFileSize = [](sqlite3_file* x, sqlite3_int64* n) { return In(x)->pMethods->xFileSize(In(x), n); };
            methods.xLock = [](sqlite3_file* x, int l) { return In(x)->pMethods->xLock(In(x), l); };
            methods.xUnlock = [](sqlite3_file* x, int l) { return In(x)->pMethods->xUnlock(In(x), l); };
            methods.xCheckReservedLock = [](sqlite3_file* x, int* r) { return In(x)->pMethods->xCheckReservedLock(In(x), r); };
            methods.xFileControl = [](sqlite3_file* x, int op, void* a) { return In(x)->pMethods->xFileControl(In(x), op, a); };
            methods.xSectorSize = [](sqlite3_file* x) { return In(x)->pMethods->xSectorSize(In(x)); };
            methods.xDeviceCharacteristics = [](sqlite3_file* x) { return In(x)->pMethods->xDeviceCharacteristics(In(x)); };
            methods.xShmMap = [](sqlite3_file* x, int i, int n, int e, void volatile** p) { return In(x)->pMethods->xShmMap(In(x), i, n, e, p); };
            methods.xShmLock = [](sqlite3_file* x, int o, int n, int fl) { return In(x)->pMethods->xShmLock(In(x), o, n, fl); };
            methods.xShmBarrier = [](sqlite3_file* x) { In(x)->pMethods->xShmBarrier(In(x)); };
            methods.xShmUnmap = [](sqlite3_file* x, int d) { return In(x)->pMethods->xShmUnmap(In(x), d); };
            methods.xFetch = [](sqlite3_file* x, sqlite3_int64 o, int n, void** p) { return In(x)->pMethods->xFetch(In(x), o, n, p); };
            methods.xUnfetch = [](sqlite3_file* x, sqlite3_int64 o, void* p) { return In(x)->pMethods->xUnfetch(In(x), o, p); };
            if (methods.iVersion > 3) methods.iVersion = 3;
            return true;
        }();
        (void)made;
        file->base.pMethods = &methods;
        return rc;
    }

    static void Install() {
        if (!real) {
            real = sqlite3_vfs_find(nullptr);
            vfs = *real;  // the real one's helpers (paths, time, randomness) as they are
            vfs.zName = "tlw-failing-disk";
            vfs.szOsFile = static_cast<int>(sizeof(File)) + real->szOsFile;
            vfs.xOpen = Open;
            vfs.pNext = nullptr;
        }
        writesLeft = -1;
        writes = 0;
        failWith = SQLITE_FULL;
        sqlite3_vfs_register(&vfs, 1);
    }
    static void Remove() {
        writesLeft = -1;
        sqlite3_vfs_unregister(&vfs);
        if (real) sqlite3_vfs_register(real, 1);
    }
};

// The registry key of one batch of values: "Batch\\Aa", "Batch\\Ab", ...
std::u16string BatchKey(int batch) {
    return u"Batch\\" + std::u16string{static_cast<char16_t>(u'A' + batch / 26), static_cast<char16_t>(u'a' + batch % 26)};
}

// Value names "V00", "V01", ...
std::u16string ValueName(int i) {
    return std::u16string{u'V', static_cast<char16_t>(u'0' + i / 10), static_cast<char16_t>(u'0' + i % 10)};
}

// Writes values 0 ... count-1 of the batch's key, each size characters long,
// in one transaction: kept all together or not at all.
uint32_t WriteBatch(int batch, int count, size_t size = 400) {
    const std::u16string key = BatchKey(batch);
    const std::u16string text(size, static_cast<char16_t>(u'a' + batch % 26));
    const auto bytes = static_cast<uint32_t>((text.size() + 1) * sizeof(char16_t));
    return store::Write([&](store::Transaction&) {
        HKey handle{};
        uint32_t error = RegCreateKey(kHkeyCurrentUser, key, &handle);
        for (int i = 0; i < count && error == kErrorSuccess; ++i)
            error = RegSetValue(handle, ValueName(i), kRegSz, text.c_str(), bytes);
        if (handle) RegCloseKey(handle);
        return error;
    });
}

// How many values of the batch the store holds (0 when its key is missing).
int BatchValues(int batch) {
    HKey key{};
    if (RegOpenKey(kHkeyCurrentUser, BatchKey(batch), &key) != kErrorSuccess) return 0;
    int count = 0;
    std::u16string name;
    uint32_t type = 0;
    while (RegEnumValue(key, static_cast<uint32_t>(count), &name, &type) == kErrorSuccess) ++count;
    RegCloseKey(key);
    return count;
}

class StoreFaultTest : public ::testing::Test {
protected:
    void TearDown() override { FailingDisk::Remove(); }

    // The store's own verdict on its file.
    std::string Integrity() { return StoreQuery(device_.Root(), "PRAGMA integrity_check"); }

    TempDevice device_;
};

// A full disk: every change is refused with "disk full" and nothing of it is
// kept, reads still work, what was committed before stays, and once there
// is room again the store takes changes as before.
TEST_F(StoreFaultTest, AFullDiskRefusesChangesAndKeepsWhatWasCommitted) {
    FailingDisk::Install();
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Kept", u"Value", 1));
    ASSERT_TRUE(ChangeHardwareState([](HardwareState& h) { h.batteryPercent = 42; }));
    JournalAppend("before the disk filled");

    FailingDisk::writesLeft = 0;
    HKey key{};
    ASSERT_EQ(RegOpenKey(kHkeyCurrentUser, u"Kept", &key), kErrorSuccess);
    uint32_t two = 2;
    EXPECT_EQ(RegSetValue(key, u"New", kRegDword, &two, sizeof(two)), kErrorDiskFull);
    EXPECT_EQ(RegSetValue(key, u"Value", kRegDword, &two, sizeof(two)), kErrorDiskFull);
    EXPECT_EQ(RegDeleteValue(key, u"Value"), kErrorDiskFull);
    HKey other{};
    EXPECT_EQ(RegCreateKey(kHkeyCurrentUser, u"Other", &other), kErrorDiskFull);
    EXPECT_FALSE(ChangeHardwareState([](HardwareState& h) { h.batteryPercent = 7; }));
    JournalAppend("while the disk is full");
    uint32_t value = 0;
    EXPECT_TRUE(RegReadDword(kHkeyCurrentUser, u"Kept", u"Value", &value));
    EXPECT_EQ(value, 1u);

    FailingDisk::writesLeft = -1;
    EXPECT_EQ(RegSetValue(key, u"New", kRegDword, &two, sizeof(two)), kErrorSuccess);
    RegCloseKey(key);
    EXPECT_TRUE(RegReadDword(kHkeyCurrentUser, u"Kept", u"Value", &value));
    EXPECT_EQ(value, 1u);
    HardwareState hardware;
    ASSERT_TRUE(ReadHardwareState(&hardware));
    EXPECT_EQ(hardware.batteryPercent, 42);
    std::vector<std::string> journal = JournalRead();
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_NE(journal[0].find("before the disk filled"), std::string::npos);
    EXPECT_EQ(Integrity(), "ok\n");
}

// The disk fails at each write of one large change in turn (its pages, its
// log frames, the commit): each time the change is kept whole or not at all,
// the earlier changes stay, and the file stays sound. A disk failing with an
// I/O error rather than "full" is reported as such.
TEST_F(StoreFaultTest, AFailureAtAnyWriteOfAChangeKeepsItWholeOrNotAtAll) {
    FailingDisk::Install();
    ASSERT_EQ(WriteBatch(0, 30), kErrorSuccess);
    FailingDisk::writes = 0;
    ASSERT_EQ(WriteBatch(1, 30), kErrorSuccess);
    const int writesOfOneChange = FailingDisk::writes;
    ASSERT_GT(writesOfOneChange, 3);

    int refused = 0;
    for (int n = 0; n < writesOfOneChange + 2; ++n) {
        const int batch = 2 + n;
        FailingDisk::failWith = n % 2 ? SQLITE_IOERR_WRITE : SQLITE_FULL;
        FailingDisk::writesLeft = n;
        uint32_t error = WriteBatch(batch, 30);
        FailingDisk::writesLeft = -1;
        if (error == kErrorSuccess) {
            EXPECT_EQ(BatchValues(batch), 30) << "failing at write " << n;
        } else {
            ++refused;
            EXPECT_EQ(error, n % 2 ? kErrorIoDevice : kErrorDiskFull) << "failing at write " << n;
            EXPECT_EQ(BatchValues(batch), 0) << "failing at write " << n;
        }
        // The next change after the failure goes through.
        ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"After", u"Round", static_cast<uint32_t>(n)));
    }
    EXPECT_GT(refused, writesOfOneChange / 2);
    EXPECT_EQ(BatchValues(0), 30);
    EXPECT_EQ(BatchValues(1), 30);
    EXPECT_EQ(Integrity(), "ok\n");
}

// Reads one batch number the child reports after each commit; -1 at the end.
int ReadReport(int fd) {
    int batch = -1;
    return read(fd, &batch, sizeof(batch)) == static_cast<ssize_t>(sizeof(batch)) ? batch : -1;
}

// A process killed while it holds a write transaction open: its half change
// is gone, the lock dies with it (the next write goes through at once), and
// what was committed before stays.
TEST_F(StoreFaultTest, AProcessKilledInsideATransactionLeavesNoHalfChange) {
    ASSERT_EQ(WriteBatch(0, 10), kErrorSuccess);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        store::Write([&](store::Transaction&) {
            for (int i = 0; i < 10; ++i) RegWriteDword(kHkeyCurrentUser, u"Half", ValueName(i), 1);
            int batch = 1;
            (void)!write(ready[1], &batch, sizeof(batch));
            for (;;) pause();  // killed here, the transaction open
            return kErrorSuccess;
        });
        _exit(0);
    }
    close(ready[1]);
    EXPECT_EQ(ReadReport(ready[0]), 1);
    close(ready[0]);
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    store::SetBusyTimeout(2000);
    EXPECT_TRUE(RegWriteDword(kHkeyCurrentUser, u"After", u"Kill", 1));
    store::SetBusyTimeout(10000);
    HKey half{};
    EXPECT_EQ(RegOpenKey(kHkeyCurrentUser, u"Half", &half), kErrorFileNotFound);
    EXPECT_EQ(BatchValues(0), 10);
    EXPECT_EQ(Integrity(), "ok\n");
}

// A writer killed at arbitrary moments of a run of changes (between them,
// inside one, in its commit): every change it reported committed is there
// whole, the one it was making is whole or absent, and the file stays sound.
TEST_F(StoreFaultTest, AWriterKilledAtAnyMomentLosesNoCommittedChange) {
    int next = 0;
    for (int round = 0; round < 8; ++round) {
        int reports[2];
        ASSERT_EQ(pipe(reports), 0);
        const int first = next;
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(reports[0]);
            for (int batch = first;; ++batch) {
                if (WriteBatch(batch, 12, 200) != kErrorSuccess) _exit(1);
                if (write(reports[1], &batch, sizeof(batch)) != static_cast<ssize_t>(sizeof(batch))) _exit(1);
            }
        }
        close(reports[1]);
        // Killed after a different number of commits each round, so that it
        // dies in a different part of its work.
        int committed = -1;
        for (int seen = 0; seen <= round % 4 + 1; ++seen) {
            int batch = ReadReport(reports[0]);
            ASSERT_GE(batch, 0) << "the writer stopped reporting";
            committed = batch;
        }
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        // Reports written before the kill and not read yet count as committed.
        for (int batch; (batch = ReadReport(reports[0])) >= 0;) committed = batch;
        close(reports[0]);

        for (int batch = first; batch <= committed; ++batch)
            EXPECT_EQ(BatchValues(batch), 12) << "round " << round << ", batch " << batch;
        int open = BatchValues(committed + 1);
        EXPECT_TRUE(open == 0 || open == 12) << "round " << round << ": " << open << " values of the change in progress";
        EXPECT_EQ(BatchValues(committed + 2), 0);
        next = committed + 3;
    }
    EXPECT_EQ(Integrity(), "ok\n");
}

}  // namespace
