#include "platform/window/window_db.h"

#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "base/text.h"
#include "platform/storage/device.h"
#include "platform/storage/sqlite_errors.h"
#include "platform/kernel/last_error.h"
#include "platform/process/process_liveness.h"

namespace plat::windb {
namespace {

constexpr int kBusyTimeoutMs = 10000;
constexpr int kSchemaVersion = 2;

// seq orders rows by creation across processes (FindWindow takes the newest).
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS windows (
    hwnd INTEGER PRIMARY KEY,
    seq INTEGER NOT NULL,
    pid INTEGER NOT NULL,
    start_time INTEGER NOT NULL,
    thread_id INTEGER NOT NULL,
    parent INTEGER NOT NULL,
    top_level INTEGER NOT NULL,
    class TEXT NOT NULL,
    class_folded TEXT NOT NULL,
    title TEXT NOT NULL,
    title_folded TEXT NOT NULL,
    style INTEGER NOT NULL,
    left_edge INTEGER NOT NULL,
    top_edge INTEGER NOT NULL,
    right_edge INTEGER NOT NULL,
    bottom_edge INTEGER NOT NULL,
    visible INTEGER NOT NULL,
    z INTEGER NOT NULL DEFAULT 0,
    shell_flags INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS windows_by_class ON windows (class_folded);
CREATE INDEX IF NOT EXISTS windows_by_pid ON windows (pid);
CREATE TABLE IF NOT EXISTS registry_watches (
    handle INTEGER PRIMARY KEY AUTOINCREMENT,
    pid INTEGER NOT NULL,
    start_time INTEGER NOT NULL,
    hwnd INTEGER NOT NULL,
    message INTEGER NOT NULL,
    user_data INTEGER NOT NULL,
    root INTEGER NOT NULL,
    key_folded TEXT NOT NULL,
    value_folded TEXT NOT NULL,
    kind INTEGER NOT NULL,
    mask INTEGER NOT NULL,
    last_exists INTEGER NOT NULL,
    last_type INTEGER NOT NULL,
    last_data BLOB NOT NULL
);
CREATE INDEX IF NOT EXISTS watches_by_value ON registry_watches (root, key_folded, value_folded);
CREATE TABLE IF NOT EXISTS screen_state (
    id INTEGER PRIMARY KEY CHECK (id = 1),
    foreground INTEGER NOT NULL,
    focus INTEGER NOT NULL,
    capture INTEGER NOT NULL
);
INSERT OR IGNORE INTO screen_state (id, foreground, focus, capture) VALUES (1, 0, 0, 0);
CREATE TABLE IF NOT EXISTS notify_icons (
    hwnd INTEGER NOT NULL,
    id INTEGER NOT NULL,
    seq INTEGER NOT NULL,
    pid INTEGER NOT NULL,
    start_time INTEGER NOT NULL,
    callback INTEGER NOT NULL,
    width INTEGER NOT NULL,
    height INTEGER NOT NULL,
    pixels BLOB NOT NULL,
    tip TEXT NOT NULL,
    PRIMARY KEY (hwnd, id)
);
CREATE TABLE IF NOT EXISTS menu_bars (
    hwnd INTEGER PRIMARY KEY,
    pid INTEGER NOT NULL,
    start_time INTEGER NOT NULL,
    items BLOB NOT NULL
);
PRAGMA user_version = 2;
)sql";

// What a version 1 table lacks.
constexpr const char* kUpgradeFrom1 = R"sql(
ALTER TABLE windows ADD COLUMN z INTEGER NOT NULL DEFAULT 0;
ALTER TABLE windows ADD COLUMN shell_flags INTEGER NOT NULL DEFAULT 0;
)sql";

// The process's connection and what it was opened for.
struct Connection {
    std::mutex* lock = new std::mutex;  // guards the rest; replaced in a forked child
    sqlite3* db = nullptr;              // open database, null before the first use
    std::string path;                   // host path of its windows.db
    dev_t fileDevice = 0;               // identity of that file: a device made anew
    ino_t fileInode = 0;                //   in the same folder gets a new database
    pid_t pid = 0;                      // process that opened it
};

Connection& TheConnection() {
    static Connection* connection = [] {
        // A child of fork() must not wait for a lock held by a parent's thread
        // that does not exist in it, nor use the parent's connection.
        pthread_atfork(nullptr, nullptr, [] {
            Connection& c = TheConnection();
            c.lock = new std::mutex;
            c.db = nullptr;
        });
        return new Connection;
    }();
    return *connection;
}

int ExecRetrying(sqlite3* db, const char* sql) {
    int rc = SQLITE_BUSY;
    for (int attempt = 0; attempt < 200; ++attempt) {
        rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return rc;
}

int SchemaVersion(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    int version = 0;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        version = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return version;
}

sqlite3* OpenDb(const std::string& path) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        rc = ExecRetrying(db, "PRAGMA journal_mode=WAL");
    }
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK && SchemaVersion(db) < kSchemaVersion) {
        rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) {
            // Another process may have made or upgraded it meanwhile.
            int version = SchemaVersion(db);
            if (version == 1) rc = sqlite3_exec(db, kUpgradeFrom1, nullptr, nullptr, nullptr);
            if (rc == SQLITE_OK && version < kSchemaVersion) rc = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
            if (rc == SQLITE_OK) rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            else sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
    if (rc != SQLITE_OK) {
        SetErrorFromSqlite(rc);
        sqlite3_close_v2(db);
        return nullptr;
    }
    return db;
}

// The connection for the current device, opened when needed. Called with
// the connection's lock held.
sqlite3* CurrentDb(Connection& c, bool create) {
    const std::filesystem::path& root = DeviceRoot();
    if (root.empty()) {
        SetLastError(kErrorPathNotFound);
        return nullptr;
    }
    std::string path = (root / ".device" / "windows.db").string();
    struct stat info {};
    bool exists = ::stat(path.c_str(), &info) == 0;
    pid_t pid = ::getpid();
    if (c.db && exists && c.pid == pid && c.path == path && info.st_dev == c.fileDevice &&
        info.st_ino == c.fileInode)
        return c.db;
    if (c.db && c.pid == pid) sqlite3_close_v2(c.db);
    c.db = nullptr;
    if (!exists && !create) return nullptr;
    sqlite3* db = OpenDb(path);
    if (!db) return nullptr;
    if (::stat(path.c_str(), &info) != 0) {
        sqlite3_close_v2(db);
        SetLastError(kErrorPathNotFound);
        return nullptr;
    }
    c.db = db;
    c.path = path;
    c.fileDevice = info.st_dev;
    c.fileInode = info.st_ino;
    c.pid = pid;
    return db;
}

bool Run(bool create, const std::function<bool(sqlite3*)>& fn) {
    Connection& c = TheConnection();
    std::lock_guard<std::mutex> guard(*c.lock);
    sqlite3* db = CurrentDb(c, create);
    if (!db) return false;
    return fn(db);
}

// One write in its own transaction.
bool WriteOne(const char* sql, const std::function<void(Statement&)>& bind) {
    return WithDb([&](sqlite3* db) {
        Statement s(db, sql);
        if (!s.ok()) return false;
        bind(s);
        int rc = s.Step();
        if (rc != SQLITE_DONE) {
            SetErrorFromSqlite(rc);
            return false;
        }
        return true;
    });
}

WindowRow RowOf(const Statement& s) {
    WindowRow row;
    row.hwnd.value = static_cast<uint64_t>(s.Int(0));
    row.pid = static_cast<int32_t>(s.Int(1));
    row.startTime = static_cast<uint64_t>(s.Int(2));
    row.threadId = static_cast<uint32_t>(s.Int(3));
    row.parent.value = static_cast<uint64_t>(s.Int(4));
    row.topLevel = s.Int(5) != 0;
    row.className = s.Text(6);
    row.title = s.Text(7);
    row.style = static_cast<uint32_t>(s.Int(8));
    row.rect = {static_cast<int32_t>(s.Int(9)), static_cast<int32_t>(s.Int(10)), static_cast<int32_t>(s.Int(11)),
                static_cast<int32_t>(s.Int(12))};
    row.visible = s.Int(13) != 0;
    row.z = s.Int(14);
    row.shellFlags = static_cast<uint32_t>(s.Int(15));
    return row;
}

constexpr const char* kRowColumns =
    "hwnd, pid, start_time, thread_id, parent, top_level, class, title, style, left_edge, top_edge, right_edge, "
    "bottom_edge, visible, z, shell_flags";

// Removes every row of the process (windows and watches); with the
// connection held.
void RemoveProcessRows(sqlite3* db, int32_t pid) {
    Statement windows(db, "DELETE FROM windows WHERE pid = ?1");
    windows.Bind(1, pid);
    windows.Step();
    Statement watches(db, "DELETE FROM registry_watches WHERE pid = ?1");
    watches.Bind(1, pid);
    watches.Step();
    Statement icons(db, "DELETE FROM notify_icons WHERE pid = ?1");
    icons.Bind(1, pid);
    icons.Step();
    Statement bars(db, "DELETE FROM menu_bars WHERE pid = ?1");
    bars.Bind(1, pid);
    bars.Step();
}

// Removes the rows (windows and watches) of one process that has ended: the
// start time keeps the rows of a new process that got the same id.
void RemoveOwnerRows(sqlite3* db, int32_t pid, uint64_t startTime) {
    Statement windows(db, "DELETE FROM windows WHERE pid = ?1 AND start_time = ?2");
    windows.Bind(1, pid);
    windows.Bind(2, static_cast<int64_t>(startTime));
    windows.Step();
    Statement watches(db, "DELETE FROM registry_watches WHERE pid = ?1 AND start_time = ?2");
    watches.Bind(1, pid);
    watches.Bind(2, static_cast<int64_t>(startTime));
    watches.Step();
    Statement icons(db, "DELETE FROM notify_icons WHERE pid = ?1 AND start_time = ?2");
    icons.Bind(1, pid);
    icons.Bind(2, static_cast<int64_t>(startTime));
    icons.Step();
    Statement bars(db, "DELETE FROM menu_bars WHERE pid = ?1 AND start_time = ?2");
    bars.Bind(1, pid);
    bars.Bind(2, static_cast<int64_t>(startTime));
    bars.Step();
}

}  // namespace

Statement::Statement(sqlite3* db, const char* sql) {
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        SetErrorFromSqlite(rc);
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::Bind(int index, int64_t value) {
    if (stmt_) sqlite3_bind_int64(stmt_, index, value);
}

void Statement::Bind(int index, std::u16string_view text) {
    if (!stmt_) return;
    std::string utf8 = tlw::Utf16ToUtf8(text);
    sqlite3_bind_text(stmt_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void Statement::BindBlob(int index, const void* data, size_t size) {
    if (!stmt_) return;
    static const uint8_t kEmpty = 0;
    sqlite3_bind_blob(stmt_, index, size ? data : &kEmpty, static_cast<int>(size), SQLITE_TRANSIENT);
}

int Statement::Step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_MISUSE; }

int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::u16string Statement::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    int size = sqlite3_column_bytes(stmt_, column);
    if (!text) return {};
    return tlw::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(size)));
}

std::vector<uint8_t> Statement::Blob(int column) const {
    const uint8_t* data = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, column));
    int size = sqlite3_column_bytes(stmt_, column);
    if (!data || size <= 0) return {};
    return std::vector<uint8_t>(data, data + size);
}

bool Exec(sqlite3* db, const char* sql) {
    int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) SetErrorFromSqlite(rc);
    return rc == SQLITE_OK;
}

uint32_t SetErrorFromSqlite(int rc) {
    uint32_t error = ErrorFromSqlite(rc);
    SetLastError(error);
    return error;
}

std::u16string Folded(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded) c = tlw::FoldCase(c);
    return folded;
}

bool WithDb(const std::function<bool(sqlite3*)>& fn) { return Run(true, fn); }
bool WithExistingDb(const std::function<bool(sqlite3*)>& fn) { return Run(false, fn); }

bool InsertWindow(const WindowRow& row) {
    return WriteOne(
        "INSERT OR REPLACE INTO windows (hwnd, seq, pid, start_time, thread_id, parent, top_level, class, "
        "class_folded, title, title_folded, style, left_edge, top_edge, right_edge, bottom_edge, visible, z, "
        "shell_flags) VALUES "
        "(?1, (SELECT IFNULL(MAX(seq), 0) + 1 FROM windows), ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, "
        "?14, ?15, ?16, (SELECT IFNULL(MAX(z), 0) + 1 FROM windows), 0)",
        [&](Statement& s) {
            s.Bind(1, static_cast<int64_t>(row.hwnd.value));
            s.Bind(2, row.pid);
            s.Bind(3, static_cast<int64_t>(row.startTime));
            s.Bind(4, static_cast<int64_t>(row.threadId));
            s.Bind(5, static_cast<int64_t>(row.parent.value));
            s.Bind(6, row.topLevel ? 1 : 0);
            s.Bind(7, row.className);
            s.Bind(8, Folded(row.className));
            s.Bind(9, row.title);
            s.Bind(10, Folded(row.title));
            s.Bind(11, static_cast<int64_t>(row.style));
            s.Bind(12, row.rect.left);
            s.Bind(13, row.rect.top);
            s.Bind(14, row.rect.right);
            s.Bind(15, row.rect.bottom);
            s.Bind(16, row.visible ? 1 : 0);
        });
}

bool RemoveWindow(Hwnd hwnd) {
    return WithDb([&](sqlite3* db) {
        if (!Exec(db, "BEGIN IMMEDIATE")) return false;
        for (const char* sql : {"DELETE FROM windows WHERE hwnd = ?1", "DELETE FROM notify_icons WHERE hwnd = ?1",
                                "DELETE FROM menu_bars WHERE hwnd = ?1"}) {
            Statement s(db, sql);
            s.Bind(1, static_cast<int64_t>(hwnd.value));
            s.Step();
        }
        return Exec(db, "COMMIT") || (Exec(db, "ROLLBACK"), false);
    });
}

bool RaiseWindow(Hwnd hwnd) {
    return WriteOne("UPDATE windows SET z = (SELECT IFNULL(MAX(z), 0) + 1 FROM windows) WHERE hwnd = ?1",
                    [&](Statement& s) { s.Bind(1, static_cast<int64_t>(hwnd.value)); });
}

bool LowerWindow(Hwnd hwnd) {
    return WriteOne("UPDATE windows SET z = (SELECT IFNULL(MIN(z), 0) - 1 FROM windows) WHERE hwnd = ?1",
                    [&](Statement& s) { s.Bind(1, static_cast<int64_t>(hwnd.value)); });
}

bool UpdateShellFlags(Hwnd hwnd, uint32_t set, uint32_t clear) {
    return WriteOne("UPDATE windows SET shell_flags = (shell_flags & ~?3) | ?2 WHERE hwnd = ?1", [&](Statement& s) {
        s.Bind(1, static_cast<int64_t>(hwnd.value));
        s.Bind(2, static_cast<int64_t>(set));
        s.Bind(3, static_cast<int64_t>(clear));
    });
}

ScreenState ReadScreenState() {
    ScreenState state;
    WithExistingDb([&](sqlite3* db) {
        Statement s(db, "SELECT foreground, focus, capture FROM screen_state WHERE id = 1");
        if (s.Step() == SQLITE_ROW) {
            state.foreground.value = static_cast<uint64_t>(s.Int(0));
            state.focus.value = static_cast<uint64_t>(s.Int(1));
            state.capture.value = static_cast<uint64_t>(s.Int(2));
        }
        return true;
    });
    return state;
}

Hwnd ExchangeScreenState(ScreenField field, Hwnd value) {
    static const char* const kColumns[] = {"foreground", "focus", "capture"};
    const char* column = kColumns[static_cast<int>(field)];
    Hwnd previous;
    WithDb([&](sqlite3* db) {
        if (!Exec(db, "BEGIN IMMEDIATE")) return false;
        // The one row is made when first written.
        Exec(db, "INSERT OR IGNORE INTO screen_state (id, foreground, focus, capture) VALUES (1, 0, 0, 0)");
        std::string read = std::string("SELECT ") + column + " FROM screen_state WHERE id = 1";
        Statement get(db, read.c_str());
        if (get.Step() == SQLITE_ROW) previous.value = static_cast<uint64_t>(get.Int(0));
        std::string write = std::string("UPDATE screen_state SET ") + column + " = ?1 WHERE id = 1";
        Statement set(db, write.c_str());
        set.Bind(1, static_cast<int64_t>(value.value));
        int rc = set.Step();
        if (rc != SQLITE_DONE) {
            SetErrorFromSqlite(rc);
            Exec(db, "ROLLBACK");
            return false;
        }
        return Exec(db, "COMMIT") || (Exec(db, "ROLLBACK"), false);
    });
    return previous;
}

std::vector<WindowRow> AllRows() {
    std::vector<WindowRow> rows;
    std::vector<std::pair<int32_t, uint64_t>> ended;
    WithExistingDb([&](sqlite3* db) {
        std::string sql = std::string("SELECT ") + kRowColumns + " FROM windows ORDER BY z ASC, seq ASC";
        Statement s(db, sql.c_str());
        while (s.Step() == SQLITE_ROW) {
            WindowRow row = RowOf(s);
            if (ProcessAlive(row.pid, row.startTime)) rows.push_back(std::move(row));
            else ended.emplace_back(row.pid, row.startTime);
        }
        return true;
    });
    if (!ended.empty()) {
        WithDb([&](sqlite3* db) {
            for (const auto& [pid, start] : ended) RemoveOwnerRows(db, pid, start);
            return true;
        });
    }
    return rows;
}

bool RemoveWindowsOfProcess(int32_t pid) {
    return WithDb([&](sqlite3* db) {
        if (!Exec(db, "BEGIN IMMEDIATE")) return false;
        RemoveProcessRows(db, pid);
        return Exec(db, "COMMIT") || (Exec(db, "ROLLBACK"), false);
    });
}

bool UpdateTitle(Hwnd hwnd, std::u16string_view title) {
    return WriteOne("UPDATE windows SET title = ?2, title_folded = ?3 WHERE hwnd = ?1", [&](Statement& s) {
        s.Bind(1, static_cast<int64_t>(hwnd.value));
        s.Bind(2, title);
        s.Bind(3, Folded(title));
    });
}

bool UpdateRect(Hwnd hwnd, const Rect& rect) {
    return WriteOne(
        "UPDATE windows SET left_edge = ?2, top_edge = ?3, right_edge = ?4, bottom_edge = ?5 WHERE hwnd = ?1",
        [&](Statement& s) {
            s.Bind(1, static_cast<int64_t>(hwnd.value));
            s.Bind(2, rect.left);
            s.Bind(3, rect.top);
            s.Bind(4, rect.right);
            s.Bind(5, rect.bottom);
        });
}

bool UpdateVisible(Hwnd hwnd, bool visible) {
    return WriteOne("UPDATE windows SET visible = ?2 WHERE hwnd = ?1", [&](Statement& s) {
        s.Bind(1, static_cast<int64_t>(hwnd.value));
        s.Bind(2, visible ? 1 : 0);
    });
}

bool UpdateStyle(Hwnd hwnd, uint32_t style, bool topLevel) {
    return WriteOne("UPDATE windows SET style = ?2, top_level = ?3 WHERE hwnd = ?1", [&](Statement& s) {
        s.Bind(1, static_cast<int64_t>(hwnd.value));
        s.Bind(2, static_cast<int64_t>(style));
        s.Bind(3, topLevel ? 1 : 0);
    });
}

std::optional<WindowRow> FindRow(Hwnd hwnd) {
    std::optional<WindowRow> found;
    if (!hwnd) return found;
    WithExistingDb([&](sqlite3* db) {
        std::string sql = std::string("SELECT ") + kRowColumns + " FROM windows WHERE hwnd = ?1";
        Statement s(db, sql.c_str());
        s.Bind(1, static_cast<int64_t>(hwnd.value));
        if (s.Step() == SQLITE_ROW) found = RowOf(s);
        return true;
    });
    if (found && !ProcessAlive(found->pid, found->startTime)) found.reset();
    return found;
}

std::vector<WindowRow> TopLevelRows(const char16_t* className, const char16_t* title) {
    std::vector<WindowRow> rows;
    std::vector<std::pair<int32_t, uint64_t>> ended;
    WithExistingDb([&](sqlite3* db) {
        std::string sql = std::string("SELECT ") + kRowColumns +
                          " FROM windows WHERE top_level = 1 AND (?1 IS NULL OR class_folded = ?1) AND "
                          "(?2 IS NULL OR title_folded = ?2) ORDER BY seq DESC";
        Statement s(db, sql.c_str());
        if (className) s.Bind(1, Folded(className));
        if (title) s.Bind(2, Folded(title));
        while (s.Step() == SQLITE_ROW) {
            WindowRow row = RowOf(s);
            if (ProcessAlive(row.pid, row.startTime)) rows.push_back(std::move(row));
            else ended.emplace_back(row.pid, row.startTime);
        }
        return true;
    });
    if (!ended.empty()) {
        WithDb([&](sqlite3* db) {
            for (const auto& [pid, start] : ended) RemoveOwnerRows(db, pid, start);
            return true;
        });
    }
    return rows;
}

void RemoveEndedProcesses() {
    std::vector<std::pair<int32_t, uint64_t>> owners;
    WithExistingDb([&](sqlite3* db) {
        Statement s(db,
                    "SELECT pid, start_time FROM windows UNION SELECT pid, start_time FROM registry_watches");
        while (s.Step() == SQLITE_ROW) owners.emplace_back(static_cast<int32_t>(s.Int(0)), s.Int(1));
        return true;
    });
    WithDb([&](sqlite3* db) {
        for (const auto& [pid, start] : owners)
            if (!ProcessAlive(pid, start)) RemoveOwnerRows(db, pid, start);
        return true;
    });
}

}  // namespace plat::windb
