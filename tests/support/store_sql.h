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
