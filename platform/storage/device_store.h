// The device store: one SQLite database per device, "<root>/.device/device.db"
// (WAL journal, busy time-out), that holds the platform's whole state: the
// registry, the clock, the window table and registry watches, the pending
// user notifications, the hardware facts, the power state and the journal.
// Every process of the device opens it once (per device; a forked child
// opens its own connection) and shares it between its threads under one
// lock. A person can open it with the sqlite3 shell while the phone runs.
//
// The tables are declared in one place, device_schema.sql beside this file,
// which is built into the platform. A store that misses a table of the
// current schema gets it when a process first opens it (every statement of
// the schema is "IF NOT EXISTS"; the schema's checksum in the database's
// user_version tells whether it must run).
//
// How a service adds its table:
//   1. Declare it in device_schema.sql ("CREATE TABLE IF NOT EXISTS name
//      (...)"), with a comment naming the service that owns it. Only that
//      service reads or writes it. Never change an existing table's columns:
//      add a table instead, as devices made earlier keep their tables.
//   2. Read or write it through Read/Write below: one call is one
//      transaction, so a read-modify-write of several processes never loses
//      a change, and no lock file is needed.
//
//       uint32_t error = store::Write([&](store::Transaction& t) {
//           store::Query q(t, "INSERT INTO things(name, size) VALUES(?1, ?2)");
//           q.Bind(1, name).Bind(2, size);
//           return q.Run();
//       });
//
//   Statements are prepared once per connection and kept (by their text),
//   so a statement run often costs no parsing. Calls return the platform's
//   error codes (see sqlite_errors.h): kErrorPathNotFound without a device or
//   its ".device" folder, kErrorSharingViolation when another process held
//   the store too long, kErrorInvalidData when the file is damaged or no
//   store at all (it is then never written, so nothing in it is lost).
//   A table that went missing (dropped by hand) is made again when a process
//   opens the store or a statement finds it missing; the call that found it
//   runs again on the new, empty table.
//
// A transaction opened inside another one on the same thread (a service
// called from within another's transaction) joins it as a savepoint: its
// changes are undone alone when it fails and kept only when the outer one
// commits. A body must not wait for another thread that uses the store.
// What must happen only once a change is visible to other processes (telling
// a watcher of it) goes to AfterCommit.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace plat::store {

// File name of the store in the device's ".device" folder.
inline constexpr char kStoreFileName[] = "device.db";

class Session;

// One transaction on a session: BEGIN (read) or BEGIN IMMEDIATE (write, so
// that it takes the write lock at once and never fails halfway), or a
// savepoint inside a running transaction. Rolled back unless committed.
class Transaction {
public:
    explicit Transaction(Session& session) : session_(session) {}
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    uint32_t Begin(bool write);
    uint32_t Commit();

    Session& GetSession() const { return session_; }
    sqlite3* Handle() const;
    int64_t Changes() const;
    int64_t LastInsertId() const;

private:
    Session& session_;      // the connection
    bool open_ = false;     // begun and neither committed nor rolled back
    bool nested_ = false;   // a savepoint inside an outer transaction
    size_t afterMark_ = 0;  // AfterCommit calls asked before it began (kept when it rolls back)
};

// The process's connection to the current device's store, held for the
// session's life (the lock is recursive: a session inside a session on the
// same thread shares it). Opens the store on first use, and again when the
// device changes, the file was made anew, or in a forked child.
class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // kErrorSuccess when the store is open; else why not.
    uint32_t Error() const { return error_; }
    bool Ok() const { return handle_ != nullptr; }
    sqlite3* Handle() const { return handle_; }
    // Changes whenever another store file is opened (another device, or the
    // device made anew): what a process remembers of the store (the registry's
    // key handles) is valid only while it stays the same.
    uint64_t Generation() const { return generation_; }
    // Rows changed by the last INSERT, UPDATE or DELETE; row id of the last insert.
    int64_t Changes() const;
    int64_t LastInsertId() const;
    // Whether a transaction (or a batch) is open on the connection.
    bool InTransaction() const;

private:
    sqlite3* handle_ = nullptr;  // the connection, null when it could not be opened
    uint32_t error_ = 0;         // why not
    uint64_t generation_ = 0;    // of the open file
};

// A statement on the store, prepared once per connection and kept; bound by
// the caller, reset when the query ends. Without a transaction, each step
// runs on its own (fine for one read).
class Query {
public:
    Query(Session& session, std::string_view sql);
    Query(Transaction& transaction, std::string_view sql) : Query(transaction.GetSession(), sql) {}
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    // kErrorSuccess, or why the statement could not be prepared or run.
    uint32_t Error() const { return error_; }

    Query& Bind(int index, int64_t value);
    Query& Bind(int index, std::string_view utf8);
    Query& Bind(int index, std::u16string_view text);  // stored as UTF-8
    Query& Bind(int index, const char* utf8) { return Bind(index, std::string_view(utf8)); }
    Query& BindBlob(int index, const void* data, size_t size);  // an empty blob stays a blob
    Query& BindNull(int index);

    // Steps to the next row: true while there is one; false at the end or on
    // an error (see Error).
    bool Next();
    // Runs a statement to its end: kErrorSuccess or the error.
    uint32_t Run();

    bool IsNull(int column) const;
    bool IsInteger(int column) const;  // stored as an integer (not text, real or NULL)
    int64_t Int(int column) const;
    std::string Text(int column) const;
    std::u16string Text16(int column) const;
    std::vector<uint8_t> Blob(int column) const;

private:
    sqlite3_stmt* stmt_ = nullptr;  // the statement, null when it could not be prepared
    void* kept_ = nullptr;          // its entry among the kept ones; null when prepared for this query alone
    uint32_t error_ = 0;            // platform error code
};

// Runs body in one transaction of the device's store (a write transaction
// for Write), committed when body returns kErrorSuccess and rolled back
// otherwise. Returns body's error, or the store's when it could not open,
// begin or commit.
uint32_t Read(const std::function<uint32_t(Transaction&)>& body);
uint32_t Write(const std::function<uint32_t(Transaction&)>& body);

// Runs fn once the changes made so far are committed: at once when this
// thread has no transaction open, else when its outermost transaction
// commits, after the store is released (so fn may use the store and wait for
// other threads). Dropped when the transaction, or the savepoint it was
// asked in, is rolled back: nobody hears of a change that never happened.
void AfterCommit(std::function<void()> fn);

// Joins the store calls this thread makes while it lives into one write
// transaction, committed when it ends: a stretch of many small reads and
// writes (the engine's decision) then costs one transaction instead of one
// each, and the others see all its changes at once. Calls inside it join as
// savepoints, as in a transaction of their own: a call that fails undoes
// only its own changes.
//
// While it lives, other processes wait to write and this process's other
// threads wait for the store. So it ends early, committing what was done,
// whenever the thread is about to wait or to make someone else act: the
// platform's waits, Sleep, message loops, messages sent or posted to another
// thread or process, and process starts call EndBatch. The rest of the
// stretch then runs call by call as without a batch. A batch inside a batch,
// or inside a transaction, adds nothing.
class Batch {
public:
    Batch();
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    // Whether the calls are being joined (it began and has not ended).
    bool Joining() const;

private:
    friend void EndBatch();
    friend uint64_t CurrentBatch();
    void End();

    Session* session_ = nullptr;          // holds the store for the batch
    Transaction* transaction_ = nullptr;  // the one write transaction
    uint64_t serial_ = 0;                 // see CurrentBatch
};

// Ends the calling thread's batch, if any, committing it (see Batch).
void EndBatch();

// A number for the calling thread's batch while it joins calls (a new one
// for every batch this process begins), 0 when none does. While it stays the
// same, no other process or thread has changed the store.
uint64_t CurrentBatch();

// How many transactions and savepoints of this process were rolled back so
// far: what it remembers of rows it saw (made) inside one may be gone.
uint64_t Rollbacks();

// Opens the current device's store: kErrorSuccess, or the error with
// *problem saying in words what is wrong (no device, a damaged file, a file
// another program holds) and what to do. A damaged store is left as it is.
uint32_t Check(std::string* problem);

// How long a call waits for another process's write lock before it fails
// with kErrorSharingViolation (10 s unless changed).
void SetBusyTimeout(int milliseconds);

// The host path of the current device's store; empty without a device.
std::string StorePath();

// Runs SQL without rows and without parameters (one or more statements).
uint32_t Exec(sqlite3* handle, const char* sql);

}  // namespace plat::store
