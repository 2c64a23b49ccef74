// The registry's storage: the tables reg_keys and reg_values of the device
// store (device_store.h), shared with every other process of the device.
//
// Keys form a tree of rows (id, parent, name, folded name); values belong to
// a key and are found by their folded name. Folding (tlw::FoldCase) makes
// names match without regard to case while the stored name keeps the
// spelling it was created with.
//
// Internal to the registry: every access runs inside a store transaction
// (store::Transaction) of the session it is given.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/storage/device_store.h"

namespace plat::regdb {

// Key ids of the two roots; they exist in every database.
constexpr int64_t kLocalMachineId = 1;
constexpr int64_t kCurrentUserId = 2;

// Longest key name (one path component) and value name, in characters.
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxValueNameLength = 16383;
// Largest value the registry stores, in bytes.
constexpr size_t kMaxValueBytes = 1u << 20;

// The registry works on the device store's connection.
using Db = store::Session;

// Guards the registry's handle table in this process. Taken inside a store
// session (never the other way round), so that it cannot deadlock with the
// store's lock.
std::mutex& RegistryLock();

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
