// Raw SQL on a device's store through a connection of its own, as another
// process or a person with the sqlite3 shell would reach it: for tests that
// put a state there the platform would never write, or look at what it wrote.
#pragma once

#include <filesystem>
#include <string>

// Runs sql (one or more statements) on "<root>/.device/device.db"; fails the
// current test when it does not run. The store of the process's current
// device is made first when it does not exist yet.
void StoreExec(const std::filesystem::path& root, const std::string& sql);

// The rows of a query, one line each, columns joined by '|' and NULL shown
// as "NULL" (as the sqlite3 shell lists them); empty when there are none.
std::string StoreQuery(const std::filesystem::path& root, const std::string& sql);

// Holds the store's write lock from a connection of its own, as another
// process in the middle of a change would, until Release or the end of the
// scope: a write of this process waits meanwhile (up to the store's busy
// time-out, 10 s).
class StoreWriteLock {
public:
    explicit StoreWriteLock(const std::filesystem::path& root);
    ~StoreWriteLock() { Release(); }
    StoreWriteLock(const StoreWriteLock&) = delete;
    StoreWriteLock& operator=(const StoreWriteLock&) = delete;

    void Release();

private:
    struct sqlite3* db_ = nullptr;  // the connection holding the lock; null once released
};
