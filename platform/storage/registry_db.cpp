#include "platform/storage/registry_db.h"

#include <sqlite3.h>

#include "platform/storage/sqlite_errors.h"
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "base/text.h"
#include "platform/storage/device.h"
#include "platform/kernel/last_error.h"

namespace plat::regdb {
namespace {

// How long a call waits for another process's write before giving up.
constexpr int kBusyTimeoutMs = 10000;
// Version of the layout below, kept in the database's user_version.
constexpr int kSchemaVersion = 1;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS reg_keys("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"  // never reused: a stale handle finds nothing
    "  parent INTEGER,"                        // NULL for the two roots
    "  name TEXT NOT NULL,"                    // as first spelled
    "  folded TEXT NOT NULL,"                  // name with case folded, for matching
    "  UNIQUE(parent, folded));"
    "CREATE TABLE IF NOT EXISTS reg_values("
    "  key INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  folded TEXT NOT NULL,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  PRIMARY KEY(key, folded)) WITHOUT ROWID;"
    "INSERT OR IGNORE INTO reg_keys(id, parent, name, folded) VALUES"
    "  (1, NULL, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'),"
    "  (2, NULL, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER');"
    "PRAGMA user_version = 1;";
static_assert(kSchemaVersion == 1, "kSchema sets user_version 1");

// The statements every call uses, prepared once per connection.
enum StatementId {
    kBeginRead,
    kBeginWrite,
    kCommit,
    kRollback,
    kFindChild,
    kInsertChild,
    kKeyExists,
    kChildAt,
    kSubtreeValues,
    kDeleteSubtreeValues,
    kDeleteSubtreeKeys,
    kGetValue,
    kPutValue,
    kRemoveValue,
    kValueAt,
    kStatementCount
};

constexpr const char* kStatementSql[kStatementCount] = {
    "BEGIN",
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
    "SELECT id FROM reg_keys WHERE parent = ?1 AND folded = ?2",
    "INSERT INTO reg_keys(parent, name, folded) VALUES(?1, ?2, ?3)",
    "SELECT 1 FROM reg_keys WHERE id = ?1",
    "SELECT name FROM reg_keys WHERE parent = ?1 ORDER BY folded LIMIT 1 OFFSET ?2",
    "WITH RECURSIVE sub(id, path) AS (SELECT ?1, ''"
    "  UNION ALL SELECT k.id, sub.path || '\\' || k.name FROM reg_keys k JOIN sub ON k.parent = sub.id)"
    " SELECT sub.path, v.name FROM sub JOIN reg_values v ON v.key = sub.id",
    "WITH RECURSIVE sub(id) AS (SELECT ?1"
    "  UNION ALL SELECT k.id FROM reg_keys k JOIN sub ON k.parent = sub.id)"
    " DELETE FROM reg_values WHERE key IN sub",
    "WITH RECURSIVE sub(id) AS (SELECT ?1"
    "  UNION ALL SELECT k.id FROM reg_keys k JOIN sub ON k.parent = sub.id)"
    " DELETE FROM reg_keys WHERE id IN sub",
    "SELECT type, data FROM reg_values WHERE key = ?1 AND folded = ?2",
    "INSERT INTO reg_values(key, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5)"
    " ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data",
    "DELETE FROM reg_values WHERE key = ?1 AND folded = ?2",
    "SELECT name, type FROM reg_values WHERE key = ?1 ORDER BY folded LIMIT 1 OFFSET ?2",
};

}  // namespace

// The open database of one device in this process.
struct Db {
    sqlite3* handle = nullptr;                            // the connection
    sqlite3_stmt* statements[kStatementCount] = {};       // prepared on first use
};

namespace {

// The process's connection and what it was opened for.
struct Connection {
    Db* db = nullptr;        // open database, null before the first use
    std::string path;        // host path of its registry.db
    dev_t fileDevice = 0;    // identity of that file: a device made anew in
    ino_t fileInode = 0;     //   the same folder gets a new database
    pid_t pid = 0;           // process that opened it (a forked child reopens)
    uint64_t generation = 0; // bumped each time another database is opened
};

Connection& TheConnection() {
    static Connection connection;
    return connection;
}

void CloseDb(Db* db) {
    for (sqlite3_stmt*& s : db->statements) {
        sqlite3_finalize(s);
        s = nullptr;
    }
    sqlite3_close_v2(db->handle);
    delete db;
}

// Runs a statement that returns no rows, retrying while another process
// holds a lock the busy handler does not wait for (changing the journal mode).
int ExecRetrying(sqlite3* handle, const char* sql) {
    int rc = SQLITE_BUSY;
    for (int attempt = 0; attempt < 200; ++attempt) {
        rc = sqlite3_exec(handle, sql, nullptr, nullptr, nullptr);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return rc;
}

// The layout version the database was made with; 0 for a new file.
int SchemaVersion(sqlite3* handle) {
    sqlite3_stmt* stmt = nullptr;
    int version = 0;
    if (sqlite3_prepare_v2(handle, "PRAGMA user_version", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        version = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return version;
}

// Opens (creating when new) the database at path and makes sure its tables
// exist.
Db* OpenDb(const std::string& path, uint32_t* error) {
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &handle,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        *error = ErrorFromSqlite(rc);
        sqlite3_close_v2(handle);
        return nullptr;
    }
    sqlite3_busy_timeout(handle, kBusyTimeoutMs);
    rc = ExecRetrying(handle, "PRAGMA journal_mode=WAL");
    if (rc == SQLITE_OK) rc = sqlite3_exec(handle, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK && SchemaVersion(handle) < kSchemaVersion) {
        rc = sqlite3_exec(handle, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) {
            rc = sqlite3_exec(handle, kSchema, nullptr, nullptr, nullptr);
            rc = rc == SQLITE_OK ? sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr)
                                 : (sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr), rc);
        }
    }
    if (rc != SQLITE_OK) {
        *error = ErrorFromSqlite(rc);
        sqlite3_close_v2(handle);
        return nullptr;
    }
    Db* db = new Db;
    db->handle = handle;
    return db;
}

// A prepared statement in use: bound by the caller, reset when done.
class Use {
public:
    Use(Db* db, StatementId id, int* rc) {
        sqlite3_stmt*& s = db->statements[id];
        if (!s) {
            *rc = sqlite3_prepare_v3(db->handle, kStatementSql[id], -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr);
            if (*rc != SQLITE_OK) {
                s = nullptr;
                return;
            }
        }
        *rc = SQLITE_OK;
        stmt_ = s;
    }
    ~Use() {
        if (!stmt_) return;
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

    sqlite3_stmt* operator*() const { return stmt_; }
    bool Ok() const { return stmt_ != nullptr; }
    void BindId(int column, int64_t value) { sqlite3_bind_int64(stmt_, column, value); }
    void BindText(int column, std::u16string_view text) {
        sqlite3_bind_text16(stmt_, column, text.data(), static_cast<int>(text.size() * sizeof(char16_t)),
                            SQLITE_TRANSIENT);
    }
    int Step() { return sqlite3_step(stmt_); }
    std::u16string ColumnText(int column) {
        auto* text = static_cast<const char16_t*>(sqlite3_column_text16(stmt_, column));
        int bytes = sqlite3_column_bytes16(stmt_, column);
        return text ? std::u16string(text, static_cast<size_t>(bytes) / sizeof(char16_t)) : std::u16string();
    }

private:
    sqlite3_stmt* stmt_ = nullptr; // the statement, null when it could not be prepared
};

std::u16string Folded(std::u16string_view name) {
    std::u16string folded(name);
    for (char16_t& c : folded) c = tlw::FoldCase(c);
    return folded;
}

// Runs a statement without rows to its end.
uint32_t RunToEnd(Use& use) {
    int rc = use.Step();
    return rc == SQLITE_DONE ? kErrorSuccess : ErrorFromSqlite(rc);
}

}  // namespace

std::mutex& RegistryLock() {
    static std::mutex lock;
    return lock;
}

Db* CurrentDb(uint32_t* error) {
    std::filesystem::path root = DeviceRoot();
    if (root.empty()) {
        *error = kErrorPathNotFound;
        return nullptr;
    }
    std::string path = (root / ".device" / "registry.db").string();
    Connection& c = TheConnection();
    pid_t pid = getpid();
    struct stat info {};
    bool exists = ::stat(path.c_str(), &info) == 0;
    bool sameFile = exists && c.path == path && info.st_dev == c.fileDevice && info.st_ino == c.fileInode;
    if (c.db && sameFile && c.pid == pid) return c.db;
    if (c.db) {
        // A connection inherited through fork() belongs to the parent: leave
        // it untouched (closing it here could disturb the parent's locks).
        if (c.pid == pid) CloseDb(c.db);
        c.db = nullptr;
    }
    Db* db = OpenDb(path, error);
    if (!db) return nullptr;
    if (::stat(path.c_str(), &info) != 0) {
        CloseDb(db);
        *error = kErrorPathNotFound;
        return nullptr;
    }
    if (!(c.path == path && info.st_dev == c.fileDevice && info.st_ino == c.fileInode)) ++c.generation;
    c.db = db;
    c.path = path;
    c.fileDevice = info.st_dev;
    c.fileInode = info.st_ino;
    c.pid = pid;
    return c.db;
}

uint64_t DbGeneration(const Db*) { return TheConnection().generation; }

RegistryTransaction::~RegistryTransaction() {
    if (!open_) return;
    int rc;
    Use use(db_, kRollback, &rc);
    if (use.Ok()) use.Step();
}

uint32_t RegistryTransaction::Begin(bool write) {
    int rc;
    Use use(db_, write ? kBeginWrite : kBeginRead, &rc);
    if (!use.Ok()) return ErrorFromSqlite(rc);
    uint32_t error = RunToEnd(use);
    open_ = error == kErrorSuccess;
    return error;
}

uint32_t RegistryTransaction::Commit() {
    int rc;
    Use use(db_, kCommit, &rc);
    if (!use.Ok()) return ErrorFromSqlite(rc);
    uint32_t error = RunToEnd(use);
    if (error == kErrorSuccess) open_ = false;
    return error;
}

uint32_t FindChild(Db* db, int64_t parent, std::u16string_view name, int64_t* child) {
    int rc;
    Use use(db, kFindChild, &rc);
    if (!use.Ok()) return ErrorFromSqlite(rc);
    use.BindId(1, parent);
    use.BindText(2, Folded(name));
    rc = use.Step();
    if (rc == SQLITE_DONE) return kErrorFileNotFound;
    if (rc != SQLITE_ROW) return ErrorFromSqlite(rc);
    *child = sqlite3_column_int64(*use, 0);
    return kErrorSuccess;
}

uint32_t CreateChild(Db* db, int64_t parent, std::u16string_view name, int64_t* child, bool* created) {
    uint32_t error = FindChild(db, parent, name, child);
    if (error != kErrorFileNotFound) {
        if (error == kErrorSuccess) *created = false;
        return error;
    }
    int rc;
    Use use(db, kInsertChild, &rc);
    if (!use.Ok()) return ErrorFromSqlite(rc);
    use.BindId(1, parent);
    use.BindText(2, name);
    use.BindText(3, Folded(name));
    error = RunToEnd(use);
    if (error != kErrorSuccess) return error;
    *child = sqlite3_last_insert_rowid(db->handle);
    *created = true;
    return kErrorSuccess;
}

bool KeyExists(Db* db, int64_t id, uint32_t* error) {
    int rc;
    Use use(db, kKeyExists, &rc);
    if (!use.Ok()) {
        *error = ErrorFromSqlite(rc);
        return false;
    }
    use.BindId(1, id);
    rc = use.Step();
    if (rc == SQLITE_ROW) return true;
    *error = rc == SQLITE_DONE ? kErrorFileNotFound : ErrorFromSqlite(rc);
    return false;
}

uint32_t ChildAt(Db* db, int64_t parent, uint32_t index, std::u16string* name) {
    int rc;
    Use use(db, kChildAt, &rc);
    if (!use.Ok()) return ErrorFromSqlite(rc);
    use.BindId(1, parent);
    use.BindId(2, index);
    rc = use.Step();
    if (rc == SQLITE_DONE) return kErrorNoMoreItems;
    if (rc != SQLITE_ROW) return ErrorFromSqlite(rc);
    if (name) *name = use.ColumnText(0);
    return kErrorSuccess;
}

uint32_t DeleteSubtree(Db* db, int64_t id, std::vector<RemovedValue>* removed) {
    int rc;
    if (removed) {
        Use use(db, kSubtreeValues, &rc);
        if (!use.Ok()) return ErrorFromSqlite(rc);
        use.BindId(1, id);
        while ((rc = use.Step()) == SQLITE_ROW) removed->push_back({use.ColumnText(0), use.ColumnText(1)});
        if (rc != SQLITE_DONE) return ErrorFromSqlite(rc);
    }
    for (StatementId step : {kDeleteSubtreeValues, kDeleteSubtreeKeys}) {
        Use use(db, step, &rc);
        if (!use.Ok()) return ErrorFromSqlite(rc);
        use.BindId(1, id);
        uint32_t error = RunToEnd(use);
        if (error != kErrorSuccess) return error;
    }
    return kErrorSuccess;
}

uint32_t GetValue(Db* db, int64_t key, std::u16string_view name, uint32_t* type, std::vector<uint8_t>* data) {
    int rc;
    Use use(db, kGetValue, &rc);
    if (!use.Ok()) return ErrorFromSqlite(rc);
    use.BindId(1, key);
    use.BindText(2, Folded(name));
    rc = use.Step();
    if (rc == SQLITE_DONE) return kErrorFileNotFound;
    if (rc != SQLITE_ROW) return ErrorFromSqlite(rc);
    if (type) *type = static_cast<uint32_t>(sqlite3_column_int64(*use, 0));
    if (data) {
        auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(*use, 1));
        int size = sqlite3_column_bytes(*use, 1);
        data->assign(bytes, bytes + (bytes ? size : 0));
    }
    return kErrorSuccess;
}

uint32_t PutValue(Db* db, int64_t key, std::u16string_view name, uint32_t type, const uint8_t* data, size_t size) {
    int rc;
    Use use(db, kPutValue, &rc);
    if (!use.Ok()) return ErrorFromSqlite(rc);
    use.BindId(1, key);
    use.BindText(2, name);
    use.BindText(3, Folded(name));
    use.BindId(4, type);
    // An empty blob must still be a blob: binding a null pointer stores NULL.
    if (size == 0) sqlite3_bind_zeroblob(*use, 5, 0);
    else sqlite3_bind_blob(*use, 5, data, static_cast<int>(size), SQLITE_TRANSIENT);
    return RunToEnd(use);
}

uint32_t RemoveValue(Db* db, int64_t key, std::u16string_view name) {
    int rc;
    Use use(db, kRemoveValue, &rc);
    if (!use.Ok()) return ErrorFromSqlite(rc);
    use.BindId(1, key);
    use.BindText(2, Folded(name));
    uint32_t error = RunToEnd(use);
    if (error != kErrorSuccess) return error;
    return sqlite3_changes(db->handle) > 0 ? kErrorSuccess : kErrorFileNotFound;
}

uint32_t ValueAt(Db* db, int64_t key, uint32_t index, std::u16string* name, uint32_t* type) {
    int rc;
    Use use(db, kValueAt, &rc);
    if (!use.Ok()) return ErrorFromSqlite(rc);
    use.BindId(1, key);
    use.BindId(2, index);
    rc = use.Step();
    if (rc == SQLITE_DONE) return kErrorNoMoreItems;
    if (rc != SQLITE_ROW) return ErrorFromSqlite(rc);
    if (name) *name = use.ColumnText(0);
    if (type) *type = static_cast<uint32_t>(sqlite3_column_int64(*use, 1));
    return kErrorSuccess;
}

}  // namespace plat::regdb
