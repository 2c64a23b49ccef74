#include "platform/notify/user_notify_store.h"

#include <sqlite3.h>

#include "platform/storage/sqlite_errors.h"
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "platform/storage/device.h"
#include "platform/kernel/last_error.h"

namespace plat::notifystore {
namespace {

// How long a call waits for another process's write before giving up.
constexpr int kBusyTimeoutMs = 10000;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS notifications("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"  // the handle; never reused
    "  type INTEGER NOT NULL,"                 // trigger kind
    "  event INTEGER NOT NULL,"                // event number of the event kind, else 0
    "  application TEXT NOT NULL,"             // program path or named-event target
    "  arguments TEXT NOT NULL,"               // command line
    "  start_s INTEGER NOT NULL,"              // start time, seconds since 1601 (time kind)
    "  end_s INTEGER NOT NULL);"               // end time, seconds since 1601 (time kind)
    "CREATE INDEX IF NOT EXISTS notifications_due ON notifications(type, start_s, id);";

constexpr const char* kColumns = "id, type, event, application, arguments, start_s, end_s";

// The process's connection and the file it was opened for.
struct Connection {
    std::mutex lock;           // guards the fields and every use of the connection
    sqlite3* handle = nullptr; // the open database, null before the first use
    std::string path;          // host path of its notifications.db
    dev_t fileDevice = 0;      // identity of that file: a device made anew in
    ino_t fileInode = 0;       //   the same folder gets a new database
    pid_t pid = 0;             // process that opened it (a forked child reopens)
};

Connection& TheConnection() {
    static Connection connection;
    return connection;
}

// Runs SQL without rows, retrying while another process holds a lock the
// busy handler does not wait for (changing the journal mode).
int ExecRetrying(sqlite3* handle, const char* sql) {
    int rc = SQLITE_BUSY;
    for (int attempt = 0; attempt < 200; ++attempt) {
        rc = sqlite3_exec(handle, sql, nullptr, nullptr, nullptr);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return rc;
}

uint32_t Open(const std::string& path, sqlite3** out) {
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &handle,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(handle, kBusyTimeoutMs);
        rc = ExecRetrying(handle, "PRAGMA journal_mode=WAL");
    }
    if (rc == SQLITE_OK) rc = sqlite3_exec(handle, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = ExecRetrying(handle, kSchema);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(handle);
        return ErrorFromSqlite(rc);
    }
    *out = handle;
    return kErrorSuccess;
}

// The database of the current device, opened on first use and reopened when
// the device (or the process, after fork) changes. Caller holds c.lock.
uint32_t CurrentDb(Connection& c, sqlite3** out) {
    std::filesystem::path root = DeviceRoot();
    if (root.empty()) return kErrorPathNotFound;
    std::string path = (root / ".device" / "notifications.db").string();
    pid_t pid = ::getpid();
    struct stat info {};
    bool exists = ::stat(path.c_str(), &info) == 0;
    if (c.handle && exists && c.path == path && c.fileDevice == info.st_dev && c.fileInode == info.st_ino &&
        c.pid == pid) {
        *out = c.handle;
        return kErrorSuccess;
    }
    // A connection inherited through fork() belongs to the parent: leave it.
    if (c.handle && c.pid == pid) sqlite3_close_v2(c.handle);
    c.handle = nullptr;
    sqlite3* handle = nullptr;
    uint32_t error = Open(path, &handle);
    if (error != kErrorSuccess) return error;
    if (::stat(path.c_str(), &info) != 0) {
        sqlite3_close_v2(handle);
        return kErrorPathNotFound;
    }
    c.handle = handle;
    c.path = path;
    c.fileDevice = info.st_dev;
    c.fileInode = info.st_ino;
    c.pid = pid;
    *out = handle;
    return kErrorSuccess;
}

// One prepared statement, finalised when done.
class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) {
        rc_ = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int PrepareResult() const { return rc_; }
    void Bind(int column, int64_t value) { sqlite3_bind_int64(stmt_, column, value); }
    void Bind(int column, const std::u16string& text) {
        sqlite3_bind_text16(stmt_, column, text.data(), static_cast<int>(text.size() * sizeof(char16_t)),
                            SQLITE_TRANSIENT);
    }
    int Step() { return sqlite3_step(stmt_); }
    int64_t Int(int column) { return sqlite3_column_int64(stmt_, column); }
    std::u16string Text(int column) {
        auto* text = static_cast<const char16_t*>(sqlite3_column_text16(stmt_, column));
        int bytes = sqlite3_column_bytes16(stmt_, column);
        return text ? std::u16string(text, static_cast<size_t>(bytes) / sizeof(char16_t)) : std::u16string();
    }

private:
    sqlite3_stmt* stmt_ = nullptr;  // the statement, null when it did not prepare
    int rc_ = SQLITE_OK;            // result of preparing it
};

SystemTime TimeOfSeconds(int64_t seconds) {
    SystemTime t;
    FileTimeToSystemTime(static_cast<FileTime>(seconds) * 10000000u, &t);
    return t;
}

// Reads one row of kColumns.
UserNotificationInfo RowInfo(Statement& s) {
    UserNotificationInfo info;
    info.handle = static_cast<NotificationHandle>(s.Int(0));
    info.trigger.type = static_cast<uint32_t>(s.Int(1));
    info.trigger.event = static_cast<uint32_t>(s.Int(2));
    info.trigger.application = s.Text(3);
    info.trigger.arguments = s.Text(4);
    if (info.trigger.type == kNotificationTriggerTime) {
        info.trigger.startTime = TimeOfSeconds(s.Int(5));
        info.trigger.endTime = TimeOfSeconds(s.Int(6));
    }
    return info;
}

// Runs a query of kColumns and collects its rows.
uint32_t Collect(sqlite3* db, const std::string& sql, const std::vector<int64_t>& binds,
                 std::vector<UserNotificationInfo>* out) {
    Statement s(db, sql);
    if (s.PrepareResult() != SQLITE_OK) return ErrorFromSqlite(s.PrepareResult());
    for (size_t i = 0; i < binds.size(); ++i) s.Bind(static_cast<int>(i + 1), binds[i]);
    int rc;
    while ((rc = s.Step()) == SQLITE_ROW) out->push_back(RowInfo(s));
    return rc == SQLITE_DONE ? kErrorSuccess : ErrorFromSqlite(rc);
}

// Runs body with the device's database, holding the process's lock.
template <typename Body>
uint32_t WithDb(Body body) {
    Connection& c = TheConnection();
    std::lock_guard<std::mutex> guard(c.lock);
    sqlite3* db = nullptr;
    uint32_t error = CurrentDb(c, &db);
    if (error != kErrorSuccess) return error;
    return body(db);
}

}  // namespace

int64_t SecondsOf(const SystemTime& t) {
    FileTime ft = 0;
    if (!SystemTimeToFileTime(t, &ft)) return 0;
    return static_cast<int64_t>(ft / 10000000u);
}

uint32_t Insert(const NotificationTrigger& trigger, NotificationHandle* handle) {
    return WithDb([&](sqlite3* db) -> uint32_t {
        Statement s(db,
                    "INSERT INTO notifications(type, event, application, arguments, start_s, end_s)"
                    " VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
        if (s.PrepareResult() != SQLITE_OK) return ErrorFromSqlite(s.PrepareResult());
        bool timed = trigger.type == kNotificationTriggerTime;
        s.Bind(1, trigger.type);
        s.Bind(2, trigger.event);
        s.Bind(3, trigger.application);
        s.Bind(4, trigger.arguments);
        s.Bind(5, timed ? SecondsOf(trigger.startTime) : 0);
        s.Bind(6, timed ? SecondsOf(trigger.endTime) : 0);
        int rc = s.Step();
        if (rc != SQLITE_DONE) return ErrorFromSqlite(rc);
        int64_t id = sqlite3_last_insert_rowid(db);
        // Handles are 32-bit on the phone; a store that ran out of them
        // refuses new notifications instead of wrapping around.
        if (id <= 0 || id > static_cast<int64_t>(UINT32_MAX)) {
            Statement undo(db, "DELETE FROM notifications WHERE id = ?1");
            undo.Bind(1, id);
            undo.Step();
            return kErrorNotEnoughMemory;
        }
        *handle = static_cast<NotificationHandle>(id);
        return kErrorSuccess;
    });
}

uint32_t Remove(NotificationHandle handle) {
    return WithDb([&](sqlite3* db) -> uint32_t {
        Statement s(db, "DELETE FROM notifications WHERE id = ?1");
        if (s.PrepareResult() != SQLITE_OK) return ErrorFromSqlite(s.PrepareResult());
        s.Bind(1, handle);
        int rc = s.Step();
        if (rc != SQLITE_DONE) return ErrorFromSqlite(rc);
        return sqlite3_changes(db) == 1 ? kErrorSuccess : kErrorInvalidHandle;
    });
}

uint32_t Handles(std::vector<NotificationHandle>* out) {
    return WithDb([&](sqlite3* db) -> uint32_t {
        Statement s(db, "SELECT id FROM notifications ORDER BY id");
        if (s.PrepareResult() != SQLITE_OK) return ErrorFromSqlite(s.PrepareResult());
        int rc;
        while ((rc = s.Step()) == SQLITE_ROW) out->push_back(static_cast<NotificationHandle>(s.Int(0)));
        return rc == SQLITE_DONE ? kErrorSuccess : ErrorFromSqlite(rc);
    });
}

uint32_t Get(NotificationHandle handle, UserNotificationInfo* out) {
    return WithDb([&](sqlite3* db) -> uint32_t {
        std::vector<UserNotificationInfo> rows;
        uint32_t error = Collect(db, std::string("SELECT ") + kColumns + " FROM notifications WHERE id = ?1",
                                 {handle}, &rows);
        if (error != kErrorSuccess) return error;
        if (rows.empty()) return kErrorInvalidHandle;
        *out = rows.front();
        return kErrorSuccess;
    });
}

uint32_t List(std::vector<UserNotificationInfo>* out) {
    return WithDb([&](sqlite3* db) -> uint32_t {
        return Collect(db,
                       std::string("SELECT ") + kColumns +
                           " FROM notifications ORDER BY type = " + std::to_string(kNotificationTriggerTime) +
                           " DESC, start_s, event, id",
                       {}, out);
    });
}

uint32_t EarliestTime(SystemTime* out) {
    return WithDb([&](sqlite3* db) -> uint32_t {
        Statement s(db, "SELECT start_s FROM notifications WHERE type = ?1 ORDER BY start_s, id LIMIT 1");
        if (s.PrepareResult() != SQLITE_OK) return ErrorFromSqlite(s.PrepareResult());
        s.Bind(1, kNotificationTriggerTime);
        int rc = s.Step();
        if (rc == SQLITE_DONE) return kErrorNoMoreItems;
        if (rc != SQLITE_ROW) return ErrorFromSqlite(rc);
        *out = TimeOfSeconds(s.Int(0));
        return kErrorSuccess;
    });
}

uint32_t TakeEarliestDue(const SystemTime& now, UserNotificationInfo* out) {
    return WithDb([&](sqlite3* db) -> uint32_t {
        int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return ErrorFromSqlite(rc);
        std::vector<UserNotificationInfo> rows;
        uint32_t error = Collect(db,
                                 std::string("SELECT ") + kColumns +
                                     " FROM notifications WHERE type = ?1 AND start_s <= ?2"
                                     " ORDER BY start_s, id LIMIT 1",
                                 {kNotificationTriggerTime, SecondsOf(now)}, &rows);
        if (error == kErrorSuccess && rows.empty()) error = kErrorNoMoreItems;
        if (error == kErrorSuccess) {
            Statement s(db, "DELETE FROM notifications WHERE id = ?1");
            s.Bind(1, rows.front().handle);
            rc = s.Step();
            if (rc != SQLITE_DONE) error = ErrorFromSqlite(rc);
        }
        if (error == kErrorSuccess) {
            rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK) error = ErrorFromSqlite(rc);
        }
        if (error != kErrorSuccess) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            return error;
        }
        *out = rows.front();
        return kErrorSuccess;
    });
}

uint32_t ForEvent(uint32_t event, std::vector<UserNotificationInfo>* out) {
    return WithDb([&](sqlite3* db) -> uint32_t {
        return Collect(db,
                       std::string("SELECT ") + kColumns + " FROM notifications WHERE type = ?1 AND event = ?2 ORDER BY id",
                       {kNotificationTriggerEvent, event}, out);
    });
}

}  // namespace plat::notifystore
