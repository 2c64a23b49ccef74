#include "platform/storage/sqlite_errors.h"

#include <sqlite3.h>

#include "platform/kernel/last_error.h"

namespace plat {

uint32_t ErrorFromSqlite(int rc) {
    switch (rc & 0xFF) {
    case SQLITE_OK: case SQLITE_ROW: case SQLITE_DONE: return kErrorSuccess;
    case SQLITE_BUSY: case SQLITE_LOCKED: return kErrorSharingViolation;
    case SQLITE_NOMEM: return kErrorNotEnoughMemory;
    case SQLITE_FULL: return kErrorDiskFull;
    case SQLITE_IOERR: return kErrorIoDevice;
    case SQLITE_CANTOPEN: return kErrorPathNotFound;
    case SQLITE_CORRUPT: case SQLITE_NOTADB: return kErrorInvalidData;
    case SQLITE_TOOBIG: return kErrorInvalidParameter;
    default: return kErrorAccessDenied;
    }
}

}  // namespace plat
