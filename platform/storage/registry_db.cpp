#include "platform/storage/registry_db.h"

#include "base/text.h"
#include "platform/kernel/last_error.h"

namespace plat::regdb {
namespace {

constexpr const char kFindChild[] = "SELECT id FROM reg_keys WHERE parent = ?1 AND folded = ?2";
constexpr const char kInsertChild[] = "INSERT INTO reg_keys(parent, name, folded) VALUES(?1, ?2, ?3)";
constexpr const char kKeyExists[] = "SELECT 1 FROM reg_keys WHERE id = ?1";
constexpr const char kChildAt[] = "SELECT name FROM reg_keys WHERE parent = ?1 ORDER BY folded LIMIT 1 OFFSET ?2";
constexpr const char kSubtreeValues[] =
    "WITH RECURSIVE sub(id, path) AS (SELECT ?1, ''"
    "  UNION ALL SELECT k.id, sub.path || '\\' || k.name FROM reg_keys k JOIN sub ON k.parent = sub.id)"
    " SELECT sub.path, v.name FROM sub JOIN reg_values v ON v.key = sub.id";
constexpr const char kDeleteSubtreeValues[] =
    "WITH RECURSIVE sub(id) AS (SELECT ?1"
    "  UNION ALL SELECT k.id FROM reg_keys k JOIN sub ON k.parent = sub.id)"
    " DELETE FROM reg_values WHERE key IN sub";
constexpr const char kDeleteSubtreeKeys[] =
    "WITH RECURSIVE sub(id) AS (SELECT ?1"
    "  UNION ALL SELECT k.id FROM reg_keys k JOIN sub ON k.parent = sub.id)"
    " DELETE FROM reg_keys WHERE id IN sub";
constexpr const char kGetValue[] = "SELECT type, data FROM reg_values WHERE key = ?1 AND folded = ?2";
constexpr const char kPutValue[] =
    "INSERT INTO reg_values(key, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5)"
    " ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data";
constexpr const char kRemoveValue[] = "DELETE FROM reg_values WHERE key = ?1 AND folded = ?2";
constexpr const char kValueAt[] = "SELECT name, type FROM reg_values WHERE key = ?1 ORDER BY folded LIMIT 1 OFFSET ?2";

std::u16string Folded(std::u16string_view name) {
    std::u16string folded(name);
    for (char16_t& c : folded) c = tlw::FoldCase(c);
    return folded;
}

}  // namespace

std::mutex& RegistryLock() {
    static std::mutex lock;
    return lock;
}

uint32_t FindChild(Db* db, int64_t parent, std::u16string_view name, int64_t* child) {
    store::Query q(*db, kFindChild);
    q.Bind(1, parent).Bind(2, std::u16string_view(Folded(name)));
    if (!q.Next()) return q.Error() == kErrorSuccess ? kErrorFileNotFound : q.Error();
    *child = q.Int(0);
    return kErrorSuccess;
}

uint32_t CreateChild(Db* db, int64_t parent, std::u16string_view name, int64_t* child, bool* created) {
    uint32_t error = FindChild(db, parent, name, child);
    if (error != kErrorFileNotFound) {
        if (error == kErrorSuccess) *created = false;
        return error;
    }
    store::Query q(*db, kInsertChild);
    std::u16string folded = Folded(name);
    q.Bind(1, parent).Bind(2, name).Bind(3, std::u16string_view(folded));
    if ((error = q.Run()) != kErrorSuccess) return error;
    *child = db->LastInsertId();
    *created = true;
    return kErrorSuccess;
}

bool KeyExists(Db* db, int64_t id, uint32_t* error) {
    store::Query q(*db, kKeyExists);
    q.Bind(1, id);
    if (q.Next()) return true;
    *error = q.Error() == kErrorSuccess ? kErrorFileNotFound : q.Error();
    return false;
}

uint32_t ChildAt(Db* db, int64_t parent, uint32_t index, std::u16string* name) {
    store::Query q(*db, kChildAt);
    q.Bind(1, parent).Bind(2, static_cast<int64_t>(index));
    if (!q.Next()) return q.Error() == kErrorSuccess ? kErrorNoMoreItems : q.Error();
    if (name) *name = q.Text16(0);
    return kErrorSuccess;
}

uint32_t DeleteSubtree(Db* db, int64_t id, std::vector<RemovedValue>* removed) {
    if (removed) {
        store::Query q(*db, kSubtreeValues);
        q.Bind(1, id);
        while (q.Next()) removed->push_back({q.Text16(0), q.Text16(1)});
        if (q.Error() != kErrorSuccess) return q.Error();
    }
    for (const char* step : {kDeleteSubtreeValues, kDeleteSubtreeKeys}) {
        store::Query q(*db, step);
        q.Bind(1, id);
        uint32_t error = q.Run();
        if (error != kErrorSuccess) return error;
    }
    return kErrorSuccess;
}

uint32_t GetValue(Db* db, int64_t key, std::u16string_view name, uint32_t* type, std::vector<uint8_t>* data) {
    store::Query q(*db, kGetValue);
    q.Bind(1, key).Bind(2, std::u16string_view(Folded(name)));
    if (!q.Next()) return q.Error() == kErrorSuccess ? kErrorFileNotFound : q.Error();
    if (type) *type = static_cast<uint32_t>(q.Int(0));
    if (data) *data = q.Blob(1);
    return kErrorSuccess;
}

uint32_t PutValue(Db* db, int64_t key, std::u16string_view name, uint32_t type, const uint8_t* data, size_t size) {
    store::Query q(*db, kPutValue);
    std::u16string folded = Folded(name);
    q.Bind(1, key).Bind(2, name).Bind(3, std::u16string_view(folded)).Bind(4, static_cast<int64_t>(type));
    q.BindBlob(5, data, size);
    return q.Run();
}

uint32_t RemoveValue(Db* db, int64_t key, std::u16string_view name) {
    store::Query q(*db, kRemoveValue);
    q.Bind(1, key).Bind(2, std::u16string_view(Folded(name)));
    uint32_t error = q.Run();
    if (error != kErrorSuccess) return error;
    return db->Changes() > 0 ? kErrorSuccess : kErrorFileNotFound;
}

uint32_t ValueAt(Db* db, int64_t key, uint32_t index, std::u16string* name, uint32_t* type) {
    store::Query q(*db, kValueAt);
    q.Bind(1, key).Bind(2, static_cast<int64_t>(index));
    if (!q.Next()) return q.Error() == kErrorSuccess ? kErrorNoMoreItems : q.Error();
    if (name) *name = q.Text16(0);
    if (type) *type = static_cast<uint32_t>(q.Int(1));
    return kErrorSuccess;
}

}  // namespace plat::regdb
