#include "platform/notify/user_notify_store.h"

#include <sqlite3.h>

#include <string>

#include "platform/storage/device_store.h"
#include "platform/storage/sqlite_errors.h"
#include "platform/kernel/last_error.h"

namespace plat::notifystore {
namespace {

constexpr const char* kColumns = "id, type, event, application, arguments, start_s, end_s";

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

// Runs body with the device store's connection, in a store session.
template <typename Body>
uint32_t WithDb(Body body) {
    store::Session session;
    if (!session.Ok()) return session.Error();
    return body(session.Handle());
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
        store::Session session;
        store::Transaction transaction(session);
        uint32_t error = transaction.Begin(true);
        if (error != kErrorSuccess) return error;
        std::vector<UserNotificationInfo> rows;
        error = Collect(db,
                        std::string("SELECT ") + kColumns +
                            " FROM notifications WHERE type = ?1 AND start_s <= ?2"
                                     " ORDER BY start_s, id LIMIT 1",
                                 {kNotificationTriggerTime, SecondsOf(now)}, &rows);
        if (error == kErrorSuccess && rows.empty()) error = kErrorNoMoreItems;
        if (error == kErrorSuccess) {
            Statement s(db, "DELETE FROM notifications WHERE id = ?1");
            s.Bind(1, rows.front().handle);
            int rc = s.Step();
            if (rc != SQLITE_DONE) error = ErrorFromSqlite(rc);
        }
        if (error == kErrorSuccess) error = transaction.Commit();
        if (error != kErrorSuccess) return error;  // rolled back
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
