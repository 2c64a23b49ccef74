#include "platform/storage/device_store.h"

#include <pthread.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "platform/kernel/last_error.h"
#include "platform/storage/device.h"
#include "platform/storage/sqlite_errors.h"

namespace plat::store {

// The text of device_schema.sql, built in by platform/CMakeLists.txt.
extern const char kDeviceSchema[];

namespace {

// How long a call waits for another process's write before giving up.
constexpr int kDefaultBusyTimeoutMs = 10000;

// A statement kept for the connection's life, and whether a query uses it.
struct Kept {
    sqlite3_stmt* stmt = nullptr;
    bool inUse = false;
};

// Finds kept statements by their text without making a string to look up.
struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};

// The process's connection and what it was opened for.
struct Connection {
    std::recursive_mutex* lock = new std::recursive_mutex;  // replaced in a forked child
    sqlite3* handle = nullptr;   // open store, null before the first use
    std::string path;            // host path of its device.db
    std::string root;            // the device root last asked for, and
    std::string rootPath;        //   the store's path in it
    dev_t fileDevice = 0;        // identity of that file: a device made anew
    ino_t fileInode = 0;         //   in the same folder gets a new store
    pid_t pid = 0;               // process that opened it
    uint64_t generation = 0;     // bumped each time another file is opened
    int depth = 0;               // sessions open (all on the thread holding the lock)
    int busyTimeoutMs = kDefaultBusyTimeoutMs;  // see SetBusyTimeout
    bool missingTable = false;   // a statement named a table the store lacks: run the schema again
    std::string problem;         // why the store last failed to open, in words
    std::vector<std::function<void()>> pending;    // AfterCommit calls waiting for the open transaction
    std::vector<std::function<void()>> committed;  // waiting for the last session to end
    std::unordered_map<std::string, Kept, TextHash, std::equal_to<>> statements;  // by their text
};

Connection& TheConnection() {
    static Connection* connection = [] {
        // A child of fork() must not wait for a lock held by a parent's
        // thread that does not exist in it, nor use the parent's connection
        // (closing it could disturb the parent's locks): it opens its own.
        pthread_atfork(nullptr, nullptr, [] {
            Connection& c = TheConnection();
            c.lock = new std::recursive_mutex;
            c.handle = nullptr;
            c.statements.clear();
            c.depth = 0;
            c.pending.clear();
            c.committed.clear();
        });
        return new Connection;
    }();
    return *connection;
}

// The schema's checksum, kept in the store's user_version: a store whose
// number differs runs the schema (again).
int SchemaChecksum() {
    uint32_t hash = 2166136261u;  // FNV-1a
    for (const char* p = kDeviceSchema; *p; ++p) hash = (hash ^ static_cast<unsigned char>(*p)) * 16777619u;
    hash &= 0x7FFFFFFF;
    return static_cast<int>(hash == 0 ? 1 : hash);
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

int UserVersion(sqlite3* handle) {
    sqlite3_stmt* stmt = nullptr;
    int version = 0;
    if (sqlite3_prepare_v2(handle, "PRAGMA user_version", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        version = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return version;
}

// A statement counting how many of the schema's tables and indexes the
// store has; its answer is the second member.
const std::pair<std::string, int>& SchemaObjectsQuery() {
    static const std::pair<std::string, int> query = [] {
        std::string names;
        int count = 0;
        std::string_view schema(kDeviceSchema);
        for (std::string_view head : {"CREATE TABLE IF NOT EXISTS ", "CREATE INDEX IF NOT EXISTS "}) {
            for (size_t at = schema.find(head); at != std::string_view::npos; at = schema.find(head, at + 1)) {
                size_t start = at + head.size();
                size_t end = schema.find_first_of(" (\n", start);
                names += std::string(names.empty() ? "'" : ", '") + std::string(schema.substr(start, end - start)) + "'";
                ++count;
            }
        }
        return std::make_pair("SELECT COUNT(*) FROM sqlite_master WHERE name IN (" + names + ")", count);
    }();
    return query;
}

// Whether the store holds every table and index of the schema (a person may
// have dropped one with the sqlite3 shell).
bool HasEveryTable(sqlite3* handle) {
    const auto& [sql, expected] = SchemaObjectsQuery();
    sqlite3_stmt* stmt = nullptr;
    int found = -1;
    if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        found = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return found == expected;
}

// Makes sure the store has every table of the schema: a store made before a
// table was added, or one that lost a table, gets it; what it holds stays.
int ApplySchema(sqlite3* handle, bool force = false) {
    int checksum = SchemaChecksum();
    if (!force && UserVersion(handle) == checksum && HasEveryTable(handle)) return SQLITE_OK;
    int rc = sqlite3_exec(handle, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
    if (UserVersion(handle) != checksum || !HasEveryTable(handle)) {  // another process may have done it meanwhile
        rc = sqlite3_exec(handle, kDeviceSchema, nullptr, nullptr, nullptr);
        std::string pragma = "PRAGMA user_version = " + std::to_string(checksum);
        if (rc == SQLITE_OK) rc = sqlite3_exec(handle, pragma.c_str(), nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK) rc = sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
    return rc;
}

// Why the store at path could not be opened, in words a person can act on.
std::string Problem(const std::string& path, int rc, sqlite3* handle) {
    std::string detail = handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc);
    switch (rc & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return "the device store " + path + " is damaged (" + detail +
               "); it was left as it is: move it aside to start the phone's state afresh";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "the device store " + path + " is held by another program (" + detail + ")";
    case SQLITE_FULL:
    case SQLITE_IOERR:
        return "the device store " + path + " cannot be opened (" + detail + "): its disk is full or failing";
    default:
        return "the device store " + path + " cannot be opened (" + detail + ")";
    }
}

// Opens (creating when new) the store at path; null with *error and
// *problem set. A file that is no store, or a damaged one, is never
// written: the phone's state in it may still be rescued.
sqlite3* OpenStore(const std::string& path, int busyTimeoutMs, uint32_t* error, std::string* problem) {
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(handle, 0);
        sqlite3_busy_timeout(handle, busyTimeoutMs);
        rc = ExecRetrying(handle, "PRAGMA journal_mode=WAL");
    }
    if (rc == SQLITE_OK) rc = sqlite3_exec(handle, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = ApplySchema(handle);
    if (rc != SQLITE_OK) {
        *error = ErrorFromSqlite(rc);
        *problem = Problem(path, rc, handle);
        sqlite3_close_v2(handle);
        return nullptr;
    }
    return handle;
}

void CloseStore(Connection& c) {
    for (auto& [sql, kept] : c.statements) sqlite3_finalize(kept.stmt);
    c.statements.clear();
    sqlite3_close_v2(c.handle);
    c.handle = nullptr;
}

// The connection for the current device, opened when needed. Called with
// the lock held and no other session open.
sqlite3* CurrentStore(Connection& c, uint32_t* error) {
    // The path is made again only when the device changes.
    const std::filesystem::path& root = DeviceRoot();
    if (root.native() != c.root) {
        c.root = root.native();
        c.rootPath = StorePath();
    }
    const std::string& path = c.rootPath;
    if (path.empty()) {
        *error = kErrorPathNotFound;
        c.problem = "no device is chosen";
        return nullptr;
    }
    struct stat info {};
    bool exists = ::stat(path.c_str(), &info) == 0;
    // A forked child has no handle (see TheConnection), so the handle is
    // this process's own.
    if (c.handle && exists && c.path == path && info.st_dev == c.fileDevice && info.st_ino == c.fileInode)
        return c.handle;
    pid_t pid = ::getpid();
    if (c.handle) {
        if (c.pid == pid) CloseStore(c);
        c.handle = nullptr;
        c.statements.clear();
    }
    sqlite3* handle = OpenStore(path, c.busyTimeoutMs, error, &c.problem);
    if (!handle) return nullptr;
    if (::stat(path.c_str(), &info) != 0) {
        sqlite3_close_v2(handle);
        *error = kErrorPathNotFound;
        return nullptr;
    }
    if (!(c.path == path && info.st_dev == c.fileDevice && info.st_ino == c.fileInode)) ++c.generation;
    c.handle = handle;
    c.path = path;
    c.fileDevice = info.st_dev;
    c.fileInode = info.st_ino;
    c.pid = pid;
    c.missingTable = false;
    c.problem.clear();
    return handle;
}

// Runs the schema again when a statement found a table missing (a person
// dropped it while the phone ran). Called with the lock held and no
// transaction open.
void RepairMissingTables(Connection& c) {
    if (!c.missingTable || !c.handle) return;
    if (ApplySchema(c.handle, true) == SQLITE_OK) c.missingTable = false;
}

// Notes that a statement failed for a table the store lacks.
void NoteMissingTable(Connection& c, int rc, sqlite3* handle) {
    if (rc == SQLITE_ERROR && std::string_view(sqlite3_errmsg(handle)).rfind("no such table", 0) == 0)
        c.missingTable = true;
}

// Runs a kept statement without rows or parameters (BEGIN, COMMIT, ...).
uint32_t RunKept(Session& session, const char* sql) {
    Query q(session, sql);
    return q.Run();
}

}  // namespace

std::string StorePath() {
    const std::filesystem::path& root = DeviceRoot();
    if (root.empty()) return {};
    return (root / ".device" / kStoreFileName).string();
}

uint32_t Exec(sqlite3* handle, const char* sql) {
    return ErrorFromSqlite(sqlite3_exec(handle, sql, nullptr, nullptr, nullptr));
}

Session::Session() {
    Connection& c = TheConnection();
    c.lock->lock();
    // A session inside a session shares the open connection: reopening it
    // would pull it from under the outer one's statements.
    if (c.depth > 0) {
        handle_ = c.handle;
    } else {
        handle_ = CurrentStore(c, &error_);
        if (handle_) RepairMissingTables(c);
    }
    if (handle_) error_ = kErrorSuccess;
    else if (error_ == kErrorSuccess) error_ = kErrorPathNotFound;
    generation_ = c.generation;
    ++c.depth;
}

Session::~Session() {
    Connection& c = TheConnection();
    std::vector<std::function<void()>> run;
    if (--c.depth == 0) {
        run.swap(c.committed);
        // Asked inside a transaction begun without Transaction (its commit
        // did not pass them on): nothing is open any more, so they are due.
        if (!c.pending.empty() && (!c.handle || sqlite3_get_autocommit(c.handle) != 0)) {
            for (std::function<void()>& fn : c.pending) run.push_back(std::move(fn));
            c.pending.clear();
        }
    }
    c.lock->unlock();
    for (const std::function<void()>& fn : run) fn();
}

namespace {

std::atomic<uint64_t> g_rollbacks{0};     // see Rollbacks
std::atomic<uint64_t> g_batchSerial{0};   // the last batch number handed out

}  // namespace

uint64_t Rollbacks() { return g_rollbacks.load(); }

Transaction::~Transaction() {
    if (!open_) return;
    ++g_rollbacks;
    Connection& c = TheConnection();
    if (c.pending.size() > afterMark_) c.pending.resize(afterMark_);
    if (nested_) {
        RunKept(session_, "ROLLBACK TO store_nested");
        RunKept(session_, "RELEASE store_nested");
    } else {
        RunKept(session_, "ROLLBACK");
    }
}

uint32_t Transaction::Begin(bool write) {
    if (!session_.Ok()) return session_.Error();
    nested_ = sqlite3_get_autocommit(session_.Handle()) == 0;
    afterMark_ = TheConnection().pending.size();
    uint32_t error = RunKept(session_, nested_ ? "SAVEPOINT store_nested" : write ? "BEGIN IMMEDIATE" : "BEGIN");
    open_ = error == kErrorSuccess;
    return error;
}

uint32_t Transaction::Commit() {
    if (!open_) return kErrorInvalidParameter;
    uint32_t error = RunKept(session_, nested_ ? "RELEASE store_nested" : "COMMIT");
    if (error != kErrorSuccess) return error;
    open_ = false;
    if (!nested_) {
        Connection& c = TheConnection();
        for (std::function<void()>& fn : c.pending) c.committed.push_back(std::move(fn));
        c.pending.clear();
    }
    return error;
}

sqlite3* Transaction::Handle() const { return session_.Handle(); }
int64_t Transaction::Changes() const { return session_.Changes(); }
int64_t Transaction::LastInsertId() const { return session_.LastInsertId(); }
int64_t Session::Changes() const { return handle_ ? sqlite3_changes(handle_) : 0; }
int64_t Session::LastInsertId() const { return handle_ ? sqlite3_last_insert_rowid(handle_) : 0; }
bool Session::InTransaction() const { return handle_ && sqlite3_get_autocommit(handle_) == 0; }

Query::Query(Session& session, std::string_view sql) {
    if (!session.Ok()) {
        error_ = session.Error();
        return;
    }
    Connection& c = TheConnection();
    auto it = c.statements.find(sql);
    if (it != c.statements.end() && !it->second.inUse) {
        it->second.inUse = true;
        stmt_ = it->second.stmt;
        kept_ = &it->second;
        return;
    }
    // Kept for next time unless a query further out is using the kept one.
    bool keep = it == c.statements.end();
    int rc = sqlite3_prepare_v3(session.Handle(), sql.data(), static_cast<int>(sql.size()),
                                keep ? SQLITE_PREPARE_PERSISTENT : 0, &stmt_, nullptr);
    if (rc != SQLITE_OK || !stmt_) {
        NoteMissingTable(c, rc, session.Handle());
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        error_ = rc != SQLITE_OK ? ErrorFromSqlite(rc) : kErrorInvalidParameter;  // empty SQL
        return;
    }
    if (keep) kept_ = &c.statements.emplace(std::string(sql), Kept{stmt_, true}).first->second;
}

Query::~Query() {
    if (!stmt_) return;
    if (!kept_) {
        sqlite3_finalize(stmt_);
        return;
    }
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    static_cast<Kept*>(kept_)->inUse = false;
}

Query& Query::Bind(int index, int64_t value) {
    if (stmt_) sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

Query& Query::Bind(int index, std::string_view utf8) {
    if (stmt_) sqlite3_bind_text(stmt_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

Query& Query::Bind(int index, std::u16string_view text) {
    if (stmt_)
        sqlite3_bind_text16(stmt_, index, text.data(), static_cast<int>(text.size() * sizeof(char16_t)),
                            SQLITE_TRANSIENT);
    return *this;
}

Query& Query::BindBlob(int index, const void* data, size_t size) {
    if (!stmt_) return *this;
    // Binding a null pointer would store NULL instead of an empty blob.
    if (size == 0) sqlite3_bind_zeroblob(stmt_, index, 0);
    else sqlite3_bind_blob(stmt_, index, data, static_cast<int>(size), SQLITE_TRANSIENT);
    return *this;
}

Query& Query::BindNull(int index) {
    if (stmt_) sqlite3_bind_null(stmt_, index);
    return *this;
}

bool Query::Next() {
    if (!stmt_) return false;
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    NoteMissingTable(TheConnection(), rc, sqlite3_db_handle(stmt_));  // a kept statement prepares again here
    error_ = rc == SQLITE_DONE ? kErrorSuccess : ErrorFromSqlite(rc);
    return false;
}

uint32_t Query::Run() {
    if (!stmt_) return error_;
    while (Next()) {
    }
    return error_;
}

bool Query::IsNull(int column) const { return !stmt_ || sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

bool Query::IsInteger(int column) const { return stmt_ && sqlite3_column_type(stmt_, column) == SQLITE_INTEGER; }

int64_t Query::Int(int column) const { return stmt_ ? sqlite3_column_int64(stmt_, column) : 0; }

std::string Query::Text(int column) const {
    if (!stmt_) return {};
    auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    int bytes = sqlite3_column_bytes(stmt_, column);
    return text ? std::string(text, static_cast<size_t>(bytes)) : std::string();
}

std::u16string Query::Text16(int column) const {
    if (!stmt_) return {};
    auto* text = static_cast<const char16_t*>(sqlite3_column_text16(stmt_, column));
    int bytes = sqlite3_column_bytes16(stmt_, column);
    return text ? std::u16string(text, static_cast<size_t>(bytes) / sizeof(char16_t)) : std::u16string();
}

std::vector<uint8_t> Query::Blob(int column) const {
    if (!stmt_) return {};
    auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, column));
    int size = sqlite3_column_bytes(stmt_, column);
    if (!bytes || size <= 0) return {};
    return std::vector<uint8_t>(bytes, bytes + size);
}

namespace {

uint32_t RunOnce(Session& session, bool write, const std::function<uint32_t(Transaction&)>& body) {
    Transaction transaction(session);
    uint32_t error = transaction.Begin(write);
    if (error != kErrorSuccess) return error;
    error = body(transaction);
    if (error != kErrorSuccess) return error;
    return transaction.Commit();
}

uint32_t RunTransaction(bool write, const std::function<uint32_t(Transaction&)>& body) {
    Session session;
    if (!session.Ok()) return session.Error();
    Connection& c = TheConnection();
    bool outermost = c.depth == 1 && sqlite3_get_autocommit(session.Handle()) != 0;
    uint32_t error = RunOnce(session, write, body);
    // A table the store lost is made again, and the body (rolled back) runs
    // once more on it.
    if (error != kErrorSuccess && outermost && c.missingTable) {
        RepairMissingTables(c);
        if (!c.missingTable) error = RunOnce(session, write, body);
    }
    return error;
}

}  // namespace

uint32_t Check(std::string* problem) {
    Session session;
    if (problem) problem->clear();
    if (!session.Ok() && problem) *problem = TheConnection().problem;
    return session.Error();
}

void SetBusyTimeout(int milliseconds) {
    Connection& c = TheConnection();
    std::lock_guard<std::recursive_mutex> guard(*c.lock);
    c.busyTimeoutMs = milliseconds;
    if (c.handle) sqlite3_busy_timeout(c.handle, milliseconds);
}

void AfterCommit(std::function<void()> fn) {
    Connection& c = TheConnection();
    {
        // Holding the (recursive) lock, a session still open is this thread's own.
        std::lock_guard<std::recursive_mutex> guard(*c.lock);
        if (c.depth > 0 && c.handle && sqlite3_get_autocommit(c.handle) == 0) {
            c.pending.push_back(std::move(fn));
            return;
        }
    }
    fn();
}

namespace {

thread_local Batch* t_batch = nullptr;  // the calling thread's batch while it joins calls

}  // namespace

Batch::Batch() {
    if (t_batch) return;  // the outer batch joins these calls already
    auto* session = new Session;
    if (!session->Ok() || sqlite3_get_autocommit(session->Handle()) == 0) {
        // No store, or inside a transaction: the calls join that one.
        delete session;
        return;
    }
    auto* transaction = new Transaction(*session);
    if (transaction->Begin(true) != kErrorSuccess) {
        delete transaction;
        delete session;
        return;
    }
    session_ = session;
    transaction_ = transaction;
    serial_ = ++g_batchSerial;
    t_batch = this;
}

uint64_t CurrentBatch() { return t_batch && t_batch->transaction_ ? t_batch->serial_ : 0; }

Batch::~Batch() { End(); }

bool Batch::Joining() const { return transaction_ != nullptr; }

void Batch::End() {
    if (!transaction_) return;
    // Inside a call of its own (a body that waits, which a body must not),
    // committing would cut that call's transaction short: the batch stays.
    if (TheConnection().depth > 1) return;
    uint32_t error = transaction_->Commit();
    if (error != kErrorSuccess)
        std::fprintf(stderr, "the device store could not commit a batch of changes (error %u): they are lost\n",
                     static_cast<unsigned>(error));
    delete transaction_;  // rolls back when the commit failed
    transaction_ = nullptr;
    t_batch = nullptr;
    delete session_;  // releases the store, then runs what waited for the commit
    session_ = nullptr;
}

void EndBatch() {
    if (t_batch) t_batch->End();
}

uint32_t Read(const std::function<uint32_t(Transaction&)>& body) { return RunTransaction(false, body); }
uint32_t Write(const std::function<uint32_t(Transaction&)>& body) { return RunTransaction(true, body); }

}  // namespace plat::store
