#include "platform/window/window_db.h"

#include <sys/stat.h>

#include "base/text.h"
#include "platform/storage/device_store.h"
#include "platform/storage/sqlite_errors.h"
#include "platform/kernel/last_error.h"
#include "platform/process/process_liveness.h"

namespace plat::windb {
namespace {

bool Run(bool create, const std::function<bool(sqlite3*)>& fn) {
    if (!create) {
        struct stat info {};
        std::string path = store::StorePath();
        if (path.empty() || ::stat(path.c_str(), &info) != 0) return false;
    }
    store::Session session;
    if (!session.Ok()) {
        SetLastError(session.Error());
        return false;
    }
    return fn(session.Handle());
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
        store::Session session;
        store::Transaction transaction(session);
        uint32_t error = transaction.Begin(true);
        if (error == kErrorSuccess) {
            RemoveProcessRows(db, pid);
            error = transaction.Commit();
        }
        if (error != kErrorSuccess) SetLastError(error);
        return error == kErrorSuccess;
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
