// The registry calls: handles of this process over the registry's tables of
// the device store (registry_db.cpp). Every call opens a store session, takes
// the registry lock, runs one transaction and, after a successful change of a
// value, tells the registry-change hook outside both locks.
#include "platform/storage/registry.h"

#include <atomic>
#include <cstring>
#include <unordered_map>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/registry_db.h"

namespace plat {
namespace {

using regdb::Db;

// A key as a call sees it: a root or an entry of the handle table.
struct OpenKey {
    int64_t id = 0;           // row of the key in the database
    HKey root = 0;            // kHkeyCurrentUser or kHkeyLocalMachine
    std::u16string path;      // path below the root, names joined by '\' ("" for the root)
    uint64_t generation = 0;  // database the handle was opened on
};

// The handles this process holds.
struct HandleTable {
    std::unordered_map<HKey, OpenKey> open;  // handle -> key
    HKey next = 0x1000;                      // next handle to hand out; never reused
};

HandleTable& Handles() {
    static HandleTable table;
    return table;
}

std::atomic<RegistryChangeHook> g_changeHook{nullptr};

bool IsRoot(HKey key) { return key == kHkeyCurrentUser || key == kHkeyLocalMachine; }

// Finds what key stands for; false for a handle that is not open (or was
// opened on another device). Caller holds the registry lock.
bool Resolve(HKey key, const Db* db, OpenKey* out) {
    uint64_t generation = db->Generation();
    if (IsRoot(key)) {
        out->id = key == kHkeyCurrentUser ? regdb::kCurrentUserId : regdb::kLocalMachineId;
        out->root = key;
        out->path.clear();
        out->generation = generation;
        return true;
    }
    const HandleTable& table = Handles();
    auto it = table.open.find(key);
    if (it == table.open.end() || it->second.generation != generation) return false;
    *out = it->second;
    return true;
}

HKey AddHandle(OpenKey key) {
    HandleTable& table = Handles();
    HKey handle = table.next++;
    if (IsRoot(table.next) || table.next == 0) table.next = 0x1000;
    table.open.emplace(handle, std::move(key));
    return handle;
}

using PathParts = std::vector<std::u16string_view>;

// Splits "A\B\C" into its key names. Empty names (a leading, trailing or
// doubled backslash) are skipped. False for a name that is too long or
// holds a NUL character.
bool SplitKeyPath(std::u16string_view path, PathParts* parts) {
    parts->clear();
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) end = path.size();
        std::u16string_view name = path.substr(start, end - start);
        if (name.size() > regdb::kMaxKeyNameLength || name.find(u'\0') != std::u16string_view::npos) return false;
        if (!name.empty()) parts->push_back(name);
        start = end + 1;
    }
    return true;
}

bool ValidValueName(std::u16string_view name) {
    return name.size() <= regdb::kMaxValueNameLength && name.find(u'\0') == std::u16string_view::npos;
}

std::u16string JoinPath(std::u16string_view base, const PathParts& parts) {
    std::u16string path(base);
    for (std::u16string_view part : parts) {
        if (!path.empty()) path.push_back(u'\\');
        path.append(part);
    }
    return path;
}

// Key ids of paths walked before, so that a value of a deep key costs one
// look-up rather than one per name on its path. A key keeps its id until it
// is deleted, and an id may be handed out again after that; so the ids are
// forgotten whenever a key may have gone: this process deleted one, rolled
// back a transaction (which may undo a key it made), or another process
// committed anything (the store's data version moved). Guarded by the
// registry lock.
struct KeyIdCache {
    uint64_t generation = 0;   // store file the ids belong to
    uint64_t rollbacks = 0;    // store::Rollbacks() when they were taken
    int64_t dataVersion = -1;  // the store's data version when last checked
    uint64_t checkedIn = 0;    // the batch it was last checked in (0: none)
    std::unordered_map<std::u16string, int64_t> ids;  // base id and folded path -> key id
};

constexpr std::size_t kMaxCachedKeys = 256;

KeyIdCache& KeyIds() {
    static KeyIdCache cache;
    return cache;
}

void ForgetKeyIds() {
    KeyIdCache& cache = KeyIds();
    cache.ids.clear();
    cache.dataVersion = -1;
    cache.checkedIn = 0;
}

// Brings the cache up to the store as the running transaction sees it. Inside
// a batch nobody else can change the store, so one check per batch does.
void CheckKeyIds(Db* db) {
    KeyIdCache& cache = KeyIds();
    if (cache.generation != db->Generation() || cache.rollbacks != store::Rollbacks()) {
        ForgetKeyIds();
        cache.generation = db->Generation();
        cache.rollbacks = store::Rollbacks();
    }
    uint64_t batch = store::CurrentBatch();
    if (batch != 0 && batch == cache.checkedIn) return;
    // Others' commits only: this process's own changes leave it as it is.
    store::Query q(*db, "PRAGMA data_version");
    int64_t version = q.Next() ? q.Int(0) : -1;
    if (version < 0 || version != cache.dataVersion) cache.ids.clear();
    cache.dataVersion = version;
    cache.checkedIn = version < 0 ? 0 : batch;
}

std::u16string KeyIdName(int64_t base, const PathParts& parts) {
    std::u16string name = tlw::Utf8ToUtf16(std::to_string(base));
    for (std::u16string_view part : parts) {
        name.push_back(u'\\');
        for (char16_t c : part) name.push_back(tlw::FoldCase(c));
    }
    return name;
}

// The key at parts below base: found, or (create) made with every missing
// key on the way. checkBase also makes sure that base itself still exists
// (another process may have deleted it); creating always checks.
uint32_t Walk(Db* db, const OpenKey& base, const PathParts& parts, bool create, bool checkBase, int64_t* id,
              bool* created = nullptr) {
    if (created) *created = false;
    uint32_t error = kErrorSuccess;
    bool isRoot = base.id == regdb::kCurrentUserId || base.id == regdb::kLocalMachineId;
    if ((create || (checkBase && parts.empty())) && !isRoot && !regdb::KeyExists(db, base.id, &error))
        return error;
    if (parts.empty()) {
        *id = base.id;
        return kErrorSuccess;
    }
    CheckKeyIds(db);
    KeyIdCache& cache = KeyIds();
    std::u16string name = KeyIdName(base.id, parts);
    if (auto known = cache.ids.find(name); known != cache.ids.end()) {
        *id = known->second;
        return kErrorSuccess;
    }
    int64_t current = base.id;
    for (std::u16string_view part : parts) {
        bool made = false;
        error = create ? regdb::CreateChild(db, current, part, &current, &made)
                       : regdb::FindChild(db, current, part, &current);
        if (error != kErrorSuccess) return error;
        if (made && created) *created = true;
    }
    if (cache.ids.size() >= kMaxCachedKeys) cache.ids.clear();
    cache.ids.emplace(std::move(name), current);
    *id = current;
    return kErrorSuccess;
}

// One value change to report after the lock is released.
struct Change {
    HKey root;             // root of the changed key
    std::u16string path;   // key path below the root
    std::u16string name;   // value name
};

// Tells the hook of the changes once they are committed: a write made inside
// a caller's larger transaction is heard of only when that one commits, and
// not at all when it is rolled back, so a watcher never reads a value before
// it is there.
void Report(std::vector<Change> changes) {
    if (changes.empty() || !g_changeHook.load()) return;
    store::AfterCommit([changes = std::move(changes)] {
        RegistryChangeHook hook = g_changeHook.load();
        if (!hook) return;
        for (const Change& c : changes) hook(c.root, c.path, c.name);
    });
}

// One call at work on the key behind its handle.
struct KeyCall {
    Db* db = nullptr;             // the device's store
    OpenKey base;                 // the key the handle stands for
    std::vector<Change> changes;  // value changes to report once the lock is released
};

// The default for RunOnKey's committed: nothing more to do.
struct NothingAfter {
    void operator()(KeyCall&) const {}
};

// Runs a call on the key behind handle: in a store session and under the
// registry lock it resolves
// the handle and runs body inside one transaction (BEGIN IMMEDIATE when write
// is set, else BEGIN), commits when body succeeds and then runs committed,
// still under the locks. The changes body listed are reported after the locks
// are released, so that the hook may call the registry itself.
template <typename Body, typename Committed = NothingAfter>
uint32_t RunOnKey(HKey handle, bool write, Body&& body, Committed&& committed = {}) {
    KeyCall call;
    {
        store::Session session;
        if (!session.Ok()) return session.Error();
        std::lock_guard<std::mutex> lock(regdb::RegistryLock());
        uint32_t error = kErrorSuccess;
        call.db = &session;
        if (!Resolve(handle, call.db, &call.base)) return kErrorInvalidHandle;
        if (!write && session.InTransaction()) {
            // A read inside a running transaction (a batch) changes nothing
            // it would have to undo: it needs no savepoint of its own.
            if ((error = body(call)) != kErrorSuccess) return error;
        } else {
            store::Transaction tx(session);
            if ((error = tx.Begin(write)) != kErrorSuccess) return error;
            if ((error = body(call)) != kErrorSuccess) return error;
            if ((error = tx.Commit()) != kErrorSuccess) return error;
        }
        committed(call);
    }
    Report(std::move(call.changes));
    return kErrorSuccess;
}

// Opens or creates the key at subKey below parent and hands out a handle.
uint32_t OpenOrCreate(HKey parent, std::u16string_view subKey, bool create, HKey* out, bool* created) {
    if (!out) return kErrorInvalidParameter;
    PathParts parts;
    if (!SplitKeyPath(subKey, &parts)) return kErrorInvalidParameter;
    OpenKey key;
    bool made = false;
    return RunOnKey(
        parent, create,
        [&](KeyCall& call) { return Walk(call.db, call.base, parts, create, true, &key.id, &made); },
        [&](KeyCall& call) {
            // The handle table is guarded by the registry lock.
            key.root = call.base.root;
            key.path = JoinPath(call.base.path, parts);
            key.generation = call.base.generation;
            *out = AddHandle(std::move(key));
            if (created) *created = made;
        });
}

// Reads the value name of the key at parts below parent; leaves the outputs
// unless it succeeds.
uint32_t QueryAt(HKey parent, const PathParts& parts, std::u16string_view name, uint32_t* type,
                 std::vector<uint8_t>* data) {
    if (!ValidValueName(name)) return kErrorInvalidParameter;
    uint32_t foundType = 0;
    std::vector<uint8_t> bytes;
    uint32_t result = RunOnKey(parent, false, [&](KeyCall& call) {
        int64_t id = 0;
        uint32_t error = Walk(call.db, call.base, parts, false, false, &id);
        return error != kErrorSuccess ? error : regdb::GetValue(call.db, id, name, &foundType, data ? &bytes : nullptr);
    });
    if (result != kErrorSuccess) return result;
    if (type) *type = foundType;
    if (data) *data = std::move(bytes);
    return kErrorSuccess;
}

// Checks a value's type and size and brings a string into its stored form
// (terminated). False for data the registry does not take.
bool PrepareValue(uint32_t type, const void* data, uint32_t size, std::vector<uint8_t>* bytes) {
    if (!data && size > 0) return false;
    if (size > regdb::kMaxValueBytes) return false;
    auto* begin = static_cast<const uint8_t*>(data);
    bytes->assign(begin, begin + (data ? size : 0));
    switch (type) {
    case kRegDword:
        return size == sizeof(uint32_t);
    case kRegSz:
        if (size % sizeof(char16_t) != 0) return false;
        // A string written without its terminator is stored with one, so
        // that every reader gets a terminated string.
        if (size < 2 || (*(bytes->end() - 1) | *(bytes->end() - 2)) != 0) bytes->insert(bytes->end(), 2, 0);
        return true;
    case kRegBinary:
    case kRegNone:
        return true;
    default:
        return false;
    }
}

// Writes a value of the key at parts below parent (creating the key when
// create is set).
uint32_t SetAt(HKey parent, const PathParts& parts, bool create, std::u16string_view name, uint32_t type,
               const void* data, uint32_t size) {
    if (!ValidValueName(name)) return kErrorInvalidParameter;
    std::vector<uint8_t> bytes;
    if (!PrepareValue(type, data, size, &bytes)) return kErrorInvalidParameter;
    return RunOnKey(parent, true, [&](KeyCall& call) {
        int64_t id = 0;
        uint32_t error = Walk(call.db, call.base, parts, create, true, &id);
        if (error == kErrorSuccess) error = regdb::PutValue(call.db, id, name, type, bytes.data(), bytes.size());
        if (error == kErrorSuccess)
            call.changes.push_back({call.base.root, JoinPath(call.base.path, parts), std::u16string(name)});
        return error;
    });
}

}  // namespace

void SetRegistryChangeHook(RegistryChangeHook hook) { g_changeHook.store(hook); }

uint32_t RegOpenKey(HKey parent, std::u16string_view subKey, HKey* out) {
    return OpenOrCreate(parent, subKey, false, out, nullptr);
}

uint32_t RegCreateKey(HKey parent, std::u16string_view subKey, HKey* out, bool* created) {
    return OpenOrCreate(parent, subKey, true, out, created);
}

uint32_t RegCloseKey(HKey key) {
    if (IsRoot(key)) return kErrorSuccess;
    std::lock_guard<std::mutex> lock(regdb::RegistryLock());
    return Handles().open.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

uint32_t RegDeleteKey(HKey parent, std::u16string_view subKey) {
    PathParts parts;
    if (!SplitKeyPath(subKey, &parts)) return kErrorInvalidParameter;
    // The key to delete must be named: a root or an open key cannot delete
    // itself through an empty name.
    if (parts.empty()) return IsRoot(parent) ? kErrorAccessDenied : kErrorInvalidParameter;
    return RunOnKey(parent, true, [&](KeyCall& call) -> uint32_t {
        int64_t id = 0;
        uint32_t error = Walk(call.db, call.base, parts, false, false, &id);
        if (error != kErrorSuccess) return error;
        ForgetKeyIds();  // the subtree's ids may be handed out again
        bool watched = g_changeHook.load() != nullptr;
        std::vector<regdb::RemovedValue> removed;
        if ((error = regdb::DeleteSubtree(call.db, id, watched ? &removed : nullptr)) != kErrorSuccess) return error;
        std::u16string path = JoinPath(call.base.path, parts);
        for (regdb::RemovedValue& r : removed)
            call.changes.push_back({call.base.root, path + r.keyPath, std::move(r.name)});
        return kErrorSuccess;
    });
}

uint32_t RegDeleteValue(HKey key, std::u16string_view name) {
    if (!ValidValueName(name)) return kErrorInvalidParameter;
    return RunOnKey(key, true, [&](KeyCall& call) {
        uint32_t error = regdb::RemoveValue(call.db, call.base.id, name);
        if (error == kErrorSuccess) call.changes.push_back({call.base.root, call.base.path, std::u16string(name)});
        return error;
    });
}

uint32_t RegQueryValue(HKey key, std::u16string_view name, uint32_t* type, std::vector<uint8_t>* data) {
    return QueryAt(key, {}, name, type, data);
}

uint32_t RegSetValue(HKey key, std::u16string_view name, uint32_t type, const void* data, uint32_t size) {
    return SetAt(key, {}, false, name, type, data, size);
}

uint32_t RegEnumKey(HKey key, uint32_t index, std::u16string* name) {
    return RunOnKey(key, false, [&](KeyCall& call) { return regdb::ChildAt(call.db, call.base.id, index, name); });
}

uint32_t RegEnumValue(HKey key, uint32_t index, std::u16string* name, uint32_t* type) {
    return RunOnKey(key, false,
                    [&](KeyCall& call) { return regdb::ValueAt(call.db, call.base.id, index, name, type); });
}

bool RegReadDword(HKey root, std::u16string_view key, std::u16string_view name, uint32_t* value) {
    PathParts parts;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (!value || !SplitKeyPath(key, &parts) || QueryAt(root, parts, name, &type, &data) != kErrorSuccess) return false;
    if (type != kRegDword || data.size() != sizeof(uint32_t)) return false;
    std::memcpy(value, data.data(), sizeof(uint32_t));
    return true;
}

bool RegWriteDword(HKey root, std::u16string_view key, std::u16string_view name, uint32_t value) {
    PathParts parts;
    return SplitKeyPath(key, &parts) && SetAt(root, parts, true, name, kRegDword, &value, sizeof(value)) == kErrorSuccess;
}

bool RegReadString(HKey root, std::u16string_view key, std::u16string_view name, std::u16string* value) {
    PathParts parts;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (!value || !SplitKeyPath(key, &parts) || QueryAt(root, parts, name, &type, &data) != kErrorSuccess) return false;
    if (type != kRegSz) return false;
    std::u16string text(data.size() / sizeof(char16_t), u'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(char16_t));
    size_t end = text.find(u'\0');
    if (end != std::u16string::npos) text.resize(end);
    *value = std::move(text);
    return true;
}

bool RegWriteString(HKey root, std::u16string_view key, std::u16string_view name, std::u16string_view value) {
    PathParts parts;
    std::u16string text(value);
    // Stored with its terminator; a value too long for one write is refused.
    if (text.size() >= regdb::kMaxValueBytes / sizeof(char16_t)) return false;
    return SplitKeyPath(key, &parts) &&
           SetAt(root, parts, true, name, kRegSz, text.c_str(),
                 static_cast<uint32_t>((text.size() + 1) * sizeof(char16_t))) == kErrorSuccess;
}

bool ParseRegistryPath(std::u16string_view full, HKey* root, std::u16string* subKey) {
    struct RootName {
        std::u16string_view name;  // spelling of the root
        HKey key;                  // the root it names
    };
    static constexpr RootName kRoots[] = {
        {u"HKEY_CURRENT_USER", kHkeyCurrentUser},
        {u"HKCU", kHkeyCurrentUser},
        {u"HKEY_LOCAL_MACHINE", kHkeyLocalMachine},
        {u"HKLM", kHkeyLocalMachine},
    };
    for (const RootName& r : kRoots) {
        if (!tlw::StartsWithNoCase(full, r.name)) continue;
        std::u16string_view rest = full.substr(r.name.size());
        if (!rest.empty() && rest.front() != u'\\') continue;
        if (!rest.empty()) rest.remove_prefix(1);
        if (root) *root = r.key;
        if (subKey) subKey->assign(rest);
        return true;
    }
    return false;
}

}  // namespace plat
