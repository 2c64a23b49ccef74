// The registry's storage: one SQLite database per device,
// "<root>/.device/registry.db", opened once per process and device and shared
// with every other process of the device (WAL journal, busy time-out).
//
// Keys form a tree of rows (id, parent, name, folded name); values belong to
// a key and are found by their folded name. Folding (tlw::FoldCase) makes
// names match without regard to case while the stored name keeps the
// spelling it was created with.
//
// Internal to the registry: every function expects the caller to hold
// RegistryLock(), and every access runs inside a RegistryTransaction.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace plat::regdb {

// Key ids of the two roots; they exist in every database.
constexpr int64_t kLocalMachineId = 1;
constexpr int64_t kCurrentUserId = 2;

// Longest key name (one path component) and value name, in characters.
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxValueNameLength = 16383;
// Largest value the registry stores, in bytes.
constexpr size_t kMaxValueBytes = 1u << 20;

struct Db;

// The one lock of the registry in this process: guards the connection and
// the handle table.
std::mutex& RegistryLock();

// The database of the process's current device, opened on first use and
// reopened when the device changes (or in a forked child). Null with *error
// set when there is no device or the database cannot be opened.
Db* CurrentDb(uint32_t* error);
// Changes whenever CurrentDb switches to another device's database; handles
// remember it so that a handle of another device is refused.
uint64_t DbGeneration(const Db* db);

// One transaction: a read sees one consistent state, a write takes the
// write lock at once (so it never fails halfway on a busy database). Rolled
// back unless committed.
class RegistryTransaction {
public:
    explicit RegistryTransaction(Db* db) : db_(db) {}
    ~RegistryTransaction();
    RegistryTransaction(const RegistryTransaction&) = delete;
    RegistryTransaction& operator=(const RegistryTransaction&) = delete;

    uint32_t Begin(bool write);
    uint32_t Commit();

private:
    Db* db_;            // the connection
    bool open_ = false; // a transaction is running
};

// Keys.
uint32_t FindChild(Db* db, int64_t parent, std::u16string_view name, int64_t* child);
uint32_t CreateChild(Db* db, int64_t parent, std::u16string_view name, int64_t* child, bool* created);
bool KeyExists(Db* db, int64_t id, uint32_t* error);
uint32_t ChildAt(Db* db, int64_t parent, uint32_t index, std::u16string* name);

// A value that a subtree deletion removed: its key's path below the deleted
// key ("" for the deleted key itself, else "\Sub\Key") and its name.
struct RemovedValue {
    std::u16string keyPath;  // path of its key relative to the deleted key
    std::u16string name;     // the value's name as stored
};
// Deletes key id with all keys and values below it. When removed is not
// null, it receives every value that went away.
uint32_t DeleteSubtree(Db* db, int64_t id, std::vector<RemovedValue>* removed);

// Values.
uint32_t GetValue(Db* db, int64_t key, std::u16string_view name, uint32_t* type, std::vector<uint8_t>* data);
uint32_t PutValue(Db* db, int64_t key, std::u16string_view name, uint32_t type, const uint8_t* data, size_t size);
uint32_t RemoveValue(Db* db, int64_t key, std::u16string_view name);
uint32_t ValueAt(Db* db, int64_t key, uint32_t index, std::u16string* name, uint32_t* type);

}  // namespace plat::regdb
