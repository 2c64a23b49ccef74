#include "platform/window/window_db.h"

#include <sys/stat.h>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/process/process_liveness.h"

// Every statement goes through the store's statement cache: the window table
// is read on every find-window, message send and paint, so none of them
// parses SQL after the first time.
namespace plat::windb {
namespace {

// Whether the device has a store file (a read does not make one).
bool StoreExists() {
    struct stat info {};
    std::string path = store::StorePath();
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool Succeeded(uint32_t error) {
    if (error == kErrorSuccess) return true;
    SetLastError(error);
    return false;
}

// One statement in its own write transaction.
bool WriteOne(std::string_view sql, const std::function<void(store::Query&)>& bind) {
    return windb::Write([&](store::Transaction& t) -> uint32_t {
        store::Query q(t, sql);
        bind(q);
        return q.Run();
    });
}

WindowRow RowOf(const store::Query& q) {
    WindowRow row;
    row.hwnd.value = static_cast<uint64_t>(q.Int(0));
    row.pid = static_cast<int32_t>(q.Int(1));
    row.startTime = static_cast<uint64_t>(q.Int(2));
    row.threadId = static_cast<uint32_t>(q.Int(3));
    row.parent.value = static_cast<uint64_t>(q.Int(4));
    row.topLevel = q.Int(5) != 0;
    row.className = q.Text16(6);
    row.title = q.Text16(7);
    row.style = static_cast<uint32_t>(q.Int(8));
    row.rect = {static_cast<int32_t>(q.Int(9)), static_cast<int32_t>(q.Int(10)), static_cast<int32_t>(q.Int(11)),
                static_cast<int32_t>(q.Int(12))};
    row.visible = q.Int(13) != 0;
    row.z = q.Int(14);
    row.shellFlags = static_cast<uint32_t>(q.Int(15));
    return row;
}

#define TLW_WINDOW_COLUMNS                                                                                          \
    "hwnd, pid, start_time, thread_id, parent, top_level, class, title, style, left_edge, top_edge, right_edge, " \
    "bottom_edge, visible, z, shell_flags"

// Runs the statements with the same parameters, in the transaction.
uint32_t RunEach(store::Transaction& t, std::initializer_list<const char*> statements,
                 const std::function<void(store::Query&)>& bind) {
    for (const char* sql : statements) {
        store::Query q(t, sql);
        bind(q);
        if (uint32_t error = q.Run(); error != kErrorSuccess) return error;
    }
    return kErrorSuccess;
}

// Removes every row of the process (windows, watches, icons, menu bars).
uint32_t RemoveProcessRows(store::Transaction& t, int32_t pid) {
    return RunEach(t,
                   {"DELETE FROM windows WHERE pid = ?1", "DELETE FROM registry_watches WHERE pid = ?1",
                    "DELETE FROM notify_icons WHERE pid = ?1", "DELETE FROM menu_bars WHERE pid = ?1"},
                   [&](store::Query& q) { q.Bind(1, static_cast<int64_t>(pid)); });
}

// Removes the rows of one process that has ended: the start time keeps the
// rows of a new process that got the same id.
uint32_t RemoveOwnerRows(store::Transaction& t, int32_t pid, uint64_t startTime) {
    return RunEach(t,
                   {"DELETE FROM windows WHERE pid = ?1 AND start_time = ?2",
                    "DELETE FROM registry_watches WHERE pid = ?1 AND start_time = ?2",
                    "DELETE FROM notify_icons WHERE pid = ?1 AND start_time = ?2",
                    "DELETE FROM menu_bars WHERE pid = ?1 AND start_time = ?2"},
                   [&](store::Query& q) { q.Bind(1, static_cast<int64_t>(pid)).Bind(2, static_cast<int64_t>(startTime)); });
}

// Removes the rows of the ended owners in one transaction.
void RemoveEnded(const std::vector<std::pair<int32_t, uint64_t>>& ended) {
    if (ended.empty()) return;
    windb::Write([&](store::Transaction& t) -> uint32_t {
        for (const auto& [pid, start] : ended)
            if (uint32_t error = RemoveOwnerRows(t, pid, start); error != kErrorSuccess) return error;
        return kErrorSuccess;
    });
}

// Reads window rows of a query, keeping those of live processes and noting
// the owners that ended.
uint32_t CollectLive(store::Query& q, std::vector<WindowRow>* rows, std::vector<std::pair<int32_t, uint64_t>>* ended) {
    while (q.Next()) {
        WindowRow row = RowOf(q);
        if (ProcessAlive(row.pid, row.startTime)) rows->push_back(std::move(row));
        else ended->emplace_back(row.pid, row.startTime);
    }
    return q.Error();
}

}  // namespace

bool Write(const std::function<uint32_t(store::Transaction&)>& body) { return Succeeded(store::Write(body)); }

bool ReadExisting(const std::function<uint32_t(store::Transaction&)>& body) {
    if (!StoreExists()) return false;
    return Succeeded(store::Read(body));
}

bool WriteExisting(const std::function<uint32_t(store::Transaction&)>& body) {
    if (!StoreExists()) return false;
    return windb::Write(body);
}

std::u16string Folded(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded) c = tlw::FoldCase(c);
    return folded;
}

bool InsertWindow(const WindowRow& row) {
    return WriteOne(
        "INSERT OR REPLACE INTO windows (hwnd, seq, pid, start_time, thread_id, parent, top_level, class, "
        "class_folded, title, title_folded, style, left_edge, top_edge, right_edge, bottom_edge, visible, z, "
        "shell_flags) VALUES "
        "(?1, (SELECT IFNULL(MAX(seq), 0) + 1 FROM windows), ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, "
        "?14, ?15, ?16, (SELECT IFNULL(MAX(z), 0) + 1 FROM windows), 0)",
        [&](store::Query& q) {
            q.Bind(1, static_cast<int64_t>(row.hwnd.value));
            q.Bind(2, static_cast<int64_t>(row.pid));
            q.Bind(3, static_cast<int64_t>(row.startTime));
            q.Bind(4, static_cast<int64_t>(row.threadId));
            q.Bind(5, static_cast<int64_t>(row.parent.value));
            q.Bind(6, static_cast<int64_t>(row.topLevel ? 1 : 0));
            q.Bind(7, std::u16string_view(row.className));
            q.Bind(8, std::u16string_view(Folded(row.className)));
            q.Bind(9, std::u16string_view(row.title));
            q.Bind(10, std::u16string_view(Folded(row.title)));
            q.Bind(11, static_cast<int64_t>(row.style));
            q.Bind(12, static_cast<int64_t>(row.rect.left));
            q.Bind(13, static_cast<int64_t>(row.rect.top));
            q.Bind(14, static_cast<int64_t>(row.rect.right));
            q.Bind(15, static_cast<int64_t>(row.rect.bottom));
            q.Bind(16, static_cast<int64_t>(row.visible ? 1 : 0));
        });
}

bool RemoveWindow(Hwnd hwnd) {
    return windb::Write([&](store::Transaction& t) -> uint32_t {
        return RunEach(t,
                       {"DELETE FROM windows WHERE hwnd = ?1", "DELETE FROM notify_icons WHERE hwnd = ?1",
                        "DELETE FROM menu_bars WHERE hwnd = ?1"},
                       [&](store::Query& q) { q.Bind(1, static_cast<int64_t>(hwnd.value)); });
    });
}

bool RaiseWindow(Hwnd hwnd) {
    return WriteOne("UPDATE windows SET z = (SELECT IFNULL(MAX(z), 0) + 1 FROM windows) WHERE hwnd = ?1",
                    [&](store::Query& q) { q.Bind(1, static_cast<int64_t>(hwnd.value)); });
}

bool LowerWindow(Hwnd hwnd) {
    return WriteOne("UPDATE windows SET z = (SELECT IFNULL(MIN(z), 0) - 1 FROM windows) WHERE hwnd = ?1",
                    [&](store::Query& q) { q.Bind(1, static_cast<int64_t>(hwnd.value)); });
}

bool UpdateShellFlags(Hwnd hwnd, uint32_t set, uint32_t clear) {
    return WriteOne("UPDATE windows SET shell_flags = (shell_flags & ~?3) | ?2 WHERE hwnd = ?1", [&](store::Query& q) {
        q.Bind(1, static_cast<int64_t>(hwnd.value));
        q.Bind(2, static_cast<int64_t>(set));
        q.Bind(3, static_cast<int64_t>(clear));
    });
}

ScreenState ReadScreenState() {
    ScreenState state;
    windb::ReadExisting([&](store::Transaction& t) -> uint32_t {
        store::Query q(t, "SELECT foreground, focus, capture FROM screen_state WHERE id = 1");
        if (q.Next()) {
            state.foreground.value = static_cast<uint64_t>(q.Int(0));
            state.focus.value = static_cast<uint64_t>(q.Int(1));
            state.capture.value = static_cast<uint64_t>(q.Int(2));
        }
        return q.Error();
    });
    return state;
}

Hwnd ExchangeScreenState(ScreenField field, Hwnd value) {
    static const char* const kRead[] = {"SELECT foreground FROM screen_state WHERE id = 1",
                                        "SELECT focus FROM screen_state WHERE id = 1",
                                        "SELECT capture FROM screen_state WHERE id = 1"};
    static const char* const kWrite[] = {"UPDATE screen_state SET foreground = ?1 WHERE id = 1",
                                         "UPDATE screen_state SET focus = ?1 WHERE id = 1",
                                         "UPDATE screen_state SET capture = ?1 WHERE id = 1"};
    int index = static_cast<int>(field);
    Hwnd previous;
    windb::Write([&](store::Transaction& t) -> uint32_t {
        // The one row is made when first written.
        store::Query make(t, "INSERT OR IGNORE INTO screen_state (id, foreground, focus, capture) VALUES (1, 0, 0, 0)");
        if (uint32_t error = make.Run(); error != kErrorSuccess) return error;
        Hwnd was;
        {
            store::Query get(t, kRead[index]);
            if (get.Next()) was.value = static_cast<uint64_t>(get.Int(0));
            if (get.Error() != kErrorSuccess) return get.Error();
        }
        store::Query set(t, kWrite[index]);
        set.Bind(1, static_cast<int64_t>(value.value));
        if (uint32_t error = set.Run(); error != kErrorSuccess) return error;
        previous = was;
        return kErrorSuccess;
    });
    return previous;
}

std::vector<WindowRow> AllRows() {
    std::vector<WindowRow> rows;
    std::vector<std::pair<int32_t, uint64_t>> ended;
    windb::ReadExisting([&](store::Transaction& t) -> uint32_t {
        store::Query q(t, "SELECT " TLW_WINDOW_COLUMNS " FROM windows ORDER BY z ASC, seq ASC");
        return CollectLive(q, &rows, &ended);
    });
    RemoveEnded(ended);
    return rows;
}

bool RemoveWindowsOfProcess(int32_t pid) {
    return windb::Write([&](store::Transaction& t) -> uint32_t { return RemoveProcessRows(t, pid); });
}

bool UpdateTitle(Hwnd hwnd, std::u16string_view title) {
    return WriteOne("UPDATE windows SET title = ?2, title_folded = ?3 WHERE hwnd = ?1", [&](store::Query& q) {
        q.Bind(1, static_cast<int64_t>(hwnd.value));
        q.Bind(2, title);
        q.Bind(3, std::u16string_view(Folded(title)));
    });
}

bool UpdateRect(Hwnd hwnd, const Rect& rect) {
    return WriteOne(
        "UPDATE windows SET left_edge = ?2, top_edge = ?3, right_edge = ?4, bottom_edge = ?5 WHERE hwnd = ?1",
        [&](store::Query& q) {
            q.Bind(1, static_cast<int64_t>(hwnd.value));
            q.Bind(2, static_cast<int64_t>(rect.left));
            q.Bind(3, static_cast<int64_t>(rect.top));
            q.Bind(4, static_cast<int64_t>(rect.right));
            q.Bind(5, static_cast<int64_t>(rect.bottom));
        });
}

bool UpdateVisible(Hwnd hwnd, bool visible) {
    return WriteOne("UPDATE windows SET visible = ?2 WHERE hwnd = ?1", [&](store::Query& q) {
        q.Bind(1, static_cast<int64_t>(hwnd.value));
        q.Bind(2, static_cast<int64_t>(visible ? 1 : 0));
    });
}

bool UpdateStyle(Hwnd hwnd, uint32_t style, bool topLevel) {
    return WriteOne("UPDATE windows SET style = ?2, top_level = ?3 WHERE hwnd = ?1", [&](store::Query& q) {
        q.Bind(1, static_cast<int64_t>(hwnd.value));
        q.Bind(2, static_cast<int64_t>(style));
        q.Bind(3, static_cast<int64_t>(topLevel ? 1 : 0));
    });
}

std::optional<WindowRow> FindRow(Hwnd hwnd) {
    std::optional<WindowRow> found;
    if (!hwnd) return found;
    windb::ReadExisting([&](store::Transaction& t) -> uint32_t {
        store::Query q(t, "SELECT " TLW_WINDOW_COLUMNS " FROM windows WHERE hwnd = ?1");
        q.Bind(1, static_cast<int64_t>(hwnd.value));
        if (q.Next()) found = RowOf(q);
        return q.Error();
    });
    if (found && !ProcessAlive(found->pid, found->startTime)) found.reset();
    return found;
}

std::vector<WindowRow> TopLevelRows(const char16_t* className, const char16_t* title) {
    std::vector<WindowRow> rows;
    std::vector<std::pair<int32_t, uint64_t>> ended;
    windb::ReadExisting([&](store::Transaction& t) -> uint32_t {
        store::Query q(t, "SELECT " TLW_WINDOW_COLUMNS
                          " FROM windows WHERE top_level = 1 AND (?1 IS NULL OR class_folded = ?1) AND "
                          "(?2 IS NULL OR title_folded = ?2) ORDER BY seq DESC");
        if (className) q.Bind(1, std::u16string_view(Folded(className)));
        if (title) q.Bind(2, std::u16string_view(Folded(title)));
        return CollectLive(q, &rows, &ended);
    });
    RemoveEnded(ended);
    return rows;
}

void RemoveEndedProcesses() {
    std::vector<std::pair<int32_t, uint64_t>> owners;
    windb::ReadExisting([&](store::Transaction& t) -> uint32_t {
        store::Query q(t, "SELECT pid, start_time FROM windows UNION SELECT pid, start_time FROM registry_watches");
        while (q.Next()) owners.emplace_back(static_cast<int32_t>(q.Int(0)), static_cast<uint64_t>(q.Int(1)));
        return q.Error();
    });
    std::vector<std::pair<int32_t, uint64_t>> ended;
    for (const auto& owner : owners)
        if (!ProcessAlive(owner.first, owner.second)) ended.push_back(owner);
    RemoveEnded(ended);
}

}  // namespace plat::windb
