// The platform error code for a SQLite result, shared by the device's
// databases (registry, window table, user notifications).
#pragma once

#include <cstdint>

namespace plat {

// kErrorSuccess for OK, ROW and DONE; sharing violation while another
// process holds the database; out of memory; disk full; path not found when
// the file cannot be opened; invalid parameter for a value too big; access
// denied for anything else.
uint32_t ErrorFromSqlite(int rc);

}  // namespace plat
