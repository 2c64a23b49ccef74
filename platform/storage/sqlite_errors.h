// The platform error code for a SQLite result, shared by every service of
// the device store (device_store.h).
#pragma once

#include <cstdint>

namespace plat {

// kErrorSuccess for OK, ROW and DONE; sharing violation while another
// process holds the database; out of memory; disk full; path not found when
// the file cannot be opened; invalid data for a damaged file or one that is
// no database; invalid parameter for a value too big; an I/O device error
// when the disk failed a read or a write (a file size limit, a failing
// medium); access denied for anything else.
uint32_t ErrorFromSqlite(int rc);

}  // namespace plat
