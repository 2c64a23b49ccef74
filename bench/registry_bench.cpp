// Registry reads happen at every event the deliverables handle (LogMode,
// Locked, ManualProfile, ...): one-call reads and writes, a read through an
// open handle, and a read of a missing value. Beside them, in the same run,
// the anchor of a DWORD read: a bare read of one row through a prepared
// SQLite statement, the least any read of a stored value can cost.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/storage/device.h"
#include "platform/storage/registry.h"

namespace {

constexpr std::u16string_view kAppKey = u"Software\\Korvel\\Tallowin";

// A temporary device with a few values in its registry; removed at the end.
class RegistryBenchDevice {
public:
    RegistryBenchDevice() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tlw-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return;
        root_ = pattern;
        std::filesystem::create_directory(root_ / ".device");
        plat::SetDevice(root_);
        for (uint32_t i = 0; i < 20; ++i) {
            plat::RegWriteDword(plat::kHkeyCurrentUser, kAppKey, u"Value" + std::u16string(1, u'A' + i), i);
        }
        plat::RegWriteDword(plat::kHkeyCurrentUser, kAppKey, u"LogMode", 7);
    }
    ~RegistryBenchDevice() {
        std::error_code ec;
        if (!root_.empty()) std::filesystem::remove_all(root_, ec);
    }

private:
    std::filesystem::path root_;  // host folder of the device
};

void BM_RegReadDword(benchmark::State& state) {
    RegistryBenchDevice device;
    uint32_t value = 0;
    for (auto _ : state) benchmark::DoNotOptimize(plat::RegReadDword(plat::kHkeyCurrentUser, kAppKey, u"logmode", &value));
}
BENCHMARK(BM_RegReadDword);

void BM_RegReadDwordMissing(benchmark::State& state) {
    RegistryBenchDevice device;
    uint32_t value = 0;
    for (auto _ : state) benchmark::DoNotOptimize(plat::RegReadDword(plat::kHkeyCurrentUser, kAppKey, u"Absent", &value));
}
BENCHMARK(BM_RegReadDwordMissing);

void BM_RegQueryValueOpenHandle(benchmark::State& state) {
    RegistryBenchDevice device;
    plat::HKey key = 0;
    plat::RegOpenKey(plat::kHkeyCurrentUser, kAppKey, &key);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    for (auto _ : state) benchmark::DoNotOptimize(plat::RegQueryValue(key, u"LogMode", &type, &data));
    plat::RegCloseKey(key);
}
BENCHMARK(BM_RegQueryValueOpenHandle);

void BM_RegWriteDword(benchmark::State& state) {
    RegistryBenchDevice device;
    uint32_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(plat::RegWriteDword(plat::kHkeyCurrentUser, kAppKey, u"Locked", ++i));
}
BENCHMARK(BM_RegWriteDword);

// One table of (key, name, value) rows in a database file of its own; the
// prepared statement reads the one row asked for.
void BM_SqliteBarePreparedRead(benchmark::State& state) {
    RegistryBenchDevice device;
    std::string pattern = (std::filesystem::temp_directory_path() / "tlw-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::filesystem::path folder = pattern;
    sqlite3* db = nullptr;
    sqlite3_stmt* read = nullptr;
    bool ok = sqlite3_open((folder / "bare.db").c_str(), &db) == SQLITE_OK &&
              sqlite3_exec(db,
                           "CREATE TABLE v(key TEXT NOT NULL, name TEXT NOT NULL, value BLOB, PRIMARY KEY(key, name)) WITHOUT ROWID;"
                           "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 20)"
                           " INSERT INTO v SELECT 'software\\korvel\\tallowin', 'value' || i, i FROM n;"
                           "INSERT INTO v VALUES('software\\korvel\\tallowin', 'logmode', 7);",
                           nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_prepare_v3(db, "SELECT value FROM v WHERE key = ?1 AND name = ?2", -1,
                                 SQLITE_PREPARE_PERSISTENT, &read, nullptr) == SQLITE_OK;
    int64_t value = 0;
    for (auto _ : state) {
        if (!ok) break;
        sqlite3_bind_text(read, 1, "software\\korvel\\tallowin", -1, SQLITE_STATIC);
        sqlite3_bind_text(read, 2, "logmode", -1, SQLITE_STATIC);
        if (sqlite3_step(read) == SQLITE_ROW) value = sqlite3_column_int64(read, 0);
        sqlite3_reset(read);
        benchmark::DoNotOptimize(value);
    }
    if (!ok || value != 7) state.SkipWithError("the bare read does not work");
    sqlite3_finalize(read);
    sqlite3_close(db);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}
BENCHMARK(BM_SqliteBarePreparedRead);

}  // namespace

BENCHMARK_MAIN();
