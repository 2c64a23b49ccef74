#include "support/store_sql.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <system_error>

#include "platform/storage/device.h"
#include "platform/storage/device_store.h"

namespace {

std::string StorePath(const std::filesystem::path& root) { return (root / ".device" / "device.db").string(); }

// An open connection, closed at the end of the scope.
struct Connection {
    sqlite3* db = nullptr;
    explicit Connection(const std::filesystem::path& root) {
        // The process's own device gets its store (with every table) first.
        std::error_code ec;
        if (std::filesystem::equivalent(root, plat::DeviceRoot(), ec))
            plat::store::Read([](plat::store::Transaction&) -> uint32_t { return 0; });
        if (sqlite3_open_v2(StorePath(root).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            ADD_FAILURE() << "cannot open " << StorePath(root) << ": " << sqlite3_errmsg(db);
        sqlite3_busy_timeout(db, 10000);
    }
    ~Connection() { sqlite3_close_v2(db); }
};

}  // namespace

void StoreExec(const std::filesystem::path& root, const std::string& sql) {
    Connection c(root);
    char* message = nullptr;
    if (sqlite3_exec(c.db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK)
        ADD_FAILURE() << sql << ": " << (message ? message : "failed");
    sqlite3_free(message);
}

std::string StoreQuery(const std::filesystem::path& root, const std::string& sql) {
    Connection c(root);
    std::string out;
    char* message = nullptr;
    auto row = [](void* data, int columns, char** values, char**) {
        auto* text = static_cast<std::string*>(data);
        for (int i = 0; i < columns; ++i) {
            if (i > 0) text->push_back('|');
            *text += values[i] ? values[i] : "NULL";
        }
        text->push_back('\n');
        return 0;
    };
    if (sqlite3_exec(c.db, sql.c_str(), row, &out, &message) != SQLITE_OK)
        ADD_FAILURE() << sql << ": " << (message ? message : "failed");
    sqlite3_free(message);
    return out;
}

StoreWriteLock::StoreWriteLock(const std::filesystem::path& root) {
    StoreExec(root, "SELECT 1");  // the store exists
    if (sqlite3_open_v2(StorePath(root).c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "cannot lock " << StorePath(root) << ": " << sqlite3_errmsg(db_);
    }
}

void StoreWriteLock::Release() {
    if (!db_) return;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
    db_ = nullptr;
}
