#include "platform/pim/calendar_db.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "platform/kernel/last_error.h"
#include "platform/storage/device.h"
#include "platform/storage/sqlite_errors.h"

namespace plat::calendardb {
namespace {

// How long a call waits for another process's write before giving up.
constexpr int kBusyTimeoutMs = 10000;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS appointments("
    "  oid INTEGER PRIMARY KEY AUTOINCREMENT,"  // object identifier; never reused
    "  subject TEXT NOT NULL,"
    "  start_s INTEGER NOT NULL,"               // local start, seconds since 1601
    "  end_s INTEGER NOT NULL,"                 // local end, seconds since 1601
    "  all_day INTEGER NOT NULL,"
    "  busy INTEGER NOT NULL,"
    "  meeting INTEGER NOT NULL,"
    "  sensitivity INTEGER NOT NULL,"
    "  categories TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS appointments_start ON appointments(start_s, oid);"
    "CREATE TABLE IF NOT EXISTS watchers("
    "  window INTEGER PRIMARY KEY,"             // the window's handle value
    "  pid INTEGER NOT NULL);";                 // the process that registered it

constexpr const char* kColumns = "oid, subject, start_s, end_s, all_day, busy, meeting, sensitivity, categories";

// The process's connection and the file it was opened for.
struct Connection {
    std::mutex lock;            // guards the fields and every use of the connection
    sqlite3* handle = nullptr;  // the open database, null before the first use
    std::string path;           // host path of its calendar.db
    dev_t fileDevice = 0;       // identity of that file: a device made anew in
    ino_t fileInode = 0;        //   the same folder gets a new database
    pid_t pid = 0;              // process that opened it (a forked child reopens)
};

Connection& TheConnection() {
    static Connection connection;
    return connection;
}

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
    std::string path = (root / ".device" / "calendar.db").string();
    pid_t pid = ::getpid();
    struct stat info {};
    bool exists = ::stat(path.c_str(), &info) == 0;
    if (c.handle && exists && c.path == path && c.fileDevice == info.st_dev && c.fileInode == info.st_ino &&
        c.pid == pid) {
        *out = c.handle;
        return kErrorSuccess;
    }
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
    Statement(sqlite3* db, const std::string& sql) { rc_ = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr); }
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

int64_t SecondsOf(const SystemTime& t) {
    FileTime ft = 0;
    if (!SystemTimeToFileTime(t, &ft)) return 0;
    return static_cast<int64_t>(ft / 10000000u);
}

SystemTime TimeOfSeconds(int64_t seconds) {
    SystemTime t;
    FileTimeToSystemTime(static_cast<FileTime>(seconds) * 10000000u, &t);
    return t;
}

Appointment RowAppointment(Statement& s) {
    Appointment a;
    a.oid = s.Int(0);
    a.subject = s.Text(1);
    a.start = TimeOfSeconds(s.Int(2));
    a.end = TimeOfSeconds(s.Int(3));
    a.allDay = s.Int(4) != 0;
    a.busyStatus = static_cast<int32_t>(s.Int(5));
    a.meetingStatus = static_cast<int32_t>(s.Int(6));
    a.sensitivity = static_cast<int32_t>(s.Int(7));
    a.categories = s.Text(8);
    return a;
}

// Binds the fields of a to ?1 ... ?8 in the order of kColumns after oid.
void BindFields(Statement& s, const Appointment& a) {
    s.Bind(1, a.subject);
    s.Bind(2, SecondsOf(a.start));
    s.Bind(3, SecondsOf(a.end));
    s.Bind(4, static_cast<int64_t>(a.allDay));
    s.Bind(5, static_cast<int64_t>(a.busyStatus));
    s.Bind(6, static_cast<int64_t>(a.meetingStatus));
    s.Bind(7, static_cast<int64_t>(a.sensitivity));
    s.Bind(8, a.categories);
}

// Runs body with the device's database inside one transaction (a write
// takes the write lock at once), holding the process's lock.
template <typename Body>
uint32_t WithDb(bool write, Body body) {
    Connection& c = TheConnection();
    std::lock_guard<std::mutex> guard(c.lock);
    sqlite3* db = nullptr;
    uint32_t error = CurrentDb(c, &db);
    if (error != kErrorSuccess) return error;
    int rc = ExecRetrying(db, write ? "BEGIN IMMEDIATE" : "BEGIN");
    if (rc != SQLITE_OK) return ErrorFromSqlite(rc);
    error = body(db);
    rc = ExecRetrying(db, error == kErrorSuccess ? "COMMIT" : "ROLLBACK");
    if (error == kErrorSuccess && rc != SQLITE_OK) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return ErrorFromSqlite(rc);
    }
    return error;
}

uint32_t Done(int rc) { return rc == SQLITE_DONE ? kErrorSuccess : ErrorFromSqlite(rc); }

}  // namespace

uint32_t Insert(const Appointment& appointment, int64_t* oid) {
    return WithDb(true, [&](sqlite3* db) -> uint32_t {
        Statement s(db,
                    "INSERT INTO appointments(subject, start_s, end_s, all_day, busy, meeting, sensitivity, categories)"
                    " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
        if (s.PrepareResult() != SQLITE_OK) return ErrorFromSqlite(s.PrepareResult());
        BindFields(s, appointment);
        uint32_t error = Done(s.Step());
        if (error == kErrorSuccess) *oid = sqlite3_last_insert_rowid(db);
        return error;
    });
}

uint32_t Update(const Appointment& appointment) {
    return WithDb(true, [&](sqlite3* db) -> uint32_t {
        Statement s(db,
                    "UPDATE appointments SET subject = ?1, start_s = ?2, end_s = ?3, all_day = ?4, busy = ?5,"
                    " meeting = ?6, sensitivity = ?7, categories = ?8 WHERE oid = ?9");
        if (s.PrepareResult() != SQLITE_OK) return ErrorFromSqlite(s.PrepareResult());
        BindFields(s, appointment);
        s.Bind(9, appointment.oid);
        uint32_t error = Done(s.Step());
        if (error == kErrorSuccess && sqlite3_changes(db) == 0) return kErrorInvalidParameter;
        return error;
    });
}

uint32_t Remove(int64_t oid) {
    return WithDb(true, [&](sqlite3* db) -> uint32_t {
        Statement s(db, "DELETE FROM appointments WHERE oid = ?1");
        if (s.PrepareResult() != SQLITE_OK) return ErrorFromSqlite(s.PrepareResult());
        s.Bind(1, oid);
        uint32_t error = Done(s.Step());
        if (error == kErrorSuccess && sqlite3_changes(db) == 0) return kErrorInvalidParameter;
        return error;
    });
}

uint32_t RemoveAll(std::vector<int64_t>* oids) {
    oids->clear();
    return WithDb(true, [&](sqlite3* db) -> uint32_t {
        {
            Statement s(db, "SELECT oid FROM appointments ORDER BY start_s, oid");
            if (s.PrepareResult() != SQLITE_OK) return ErrorFromSqlite(s.PrepareResult());
            int rc;
            while ((rc = s.Step()) == SQLITE_ROW) oids->push_back(s.Int(0));
            if (rc != SQLITE_DONE) return ErrorFromSqlite(rc);
        }
        Statement s(db, "DELETE FROM appointments");
        if (s.PrepareResult() != SQLITE_OK) return ErrorFromSqlite(s.PrepareResult());
        return Done(s.Step());
    });
}

uint32_t List(std::vector<Appointment>* out) {
    out->clear();
    return WithDb(false, [&](sqlite3* db) -> uint32_t {
        Statement s(db, std::string("SELECT ") + kColumns + " FROM appointments ORDER BY start_s, oid");
        if (s.PrepareResult() != SQLITE_OK) return ErrorFromSqlite(s.PrepareResult());
        int rc;
        while ((rc = s.Step()) == SQLITE_ROW) out->push_back(RowAppointment(s));
        return Done(rc);
    });
}

uint32_t AddWatcher(const Watcher& watcher) {
    return WithDb(true, [&](sqlite3* db) -> uint32_t {
        Statement s(db, "INSERT OR REPLACE INTO watchers(window, pid) VALUES(?1, ?2)");
        if (s.PrepareResult() != SQLITE_OK) return ErrorFromSqlite(s.PrepareResult());
        s.Bind(1, static_cast<int64_t>(watcher.window.value));
        s.Bind(2, static_cast<int64_t>(watcher.processId));
        return Done(s.Step());
    });
}

uint32_t RemoveWatcher(Hwnd window) {
    return WithDb(true, [&](sqlite3* db) -> uint32_t {
        Statement s(db, "DELETE FROM watchers WHERE window = ?1");
        if (s.PrepareResult() != SQLITE_OK) return ErrorFromSqlite(s.PrepareResult());
        s.Bind(1, static_cast<int64_t>(window.value));
        return Done(s.Step());
    });
}

uint32_t Watchers(std::vector<Watcher>* out) {
    out->clear();
    return WithDb(false, [&](sqlite3* db) -> uint32_t {
        Statement s(db, "SELECT window, pid FROM watchers ORDER BY window");
        if (s.PrepareResult() != SQLITE_OK) return ErrorFromSqlite(s.PrepareResult());
        int rc;
        while ((rc = s.Step()) == SQLITE_ROW) {
            Watcher w;
            w.window.value = static_cast<uint64_t>(s.Int(0));
            w.processId = static_cast<uint32_t>(s.Int(1));
            out->push_back(w);
        }
        return Done(rc);
    });
}

}  // namespace plat::calendardb
