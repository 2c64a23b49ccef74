// The calling thread's last platform error code, as the phone keeps it.
#pragma once

#include <cstdint>

namespace plat {

enum : uint32_t {
    kErrorSuccess = 0,
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorNotEnoughMemory = 8,
    kErrorInvalidData = 13,
    kErrorNoMoreFiles = 18,
    kErrorSharingViolation = 32,
    kErrorHandleEof = 38,
    kErrorFileExists = 80,
    kErrorInvalidParameter = 87,
    kErrorDiskFull = 112,
    kErrorInsufficientBuffer = 122,
    kErrorAlreadyExists = 183,
    kErrorMoreData = 234,
    kErrorNoMoreItems = 259,
    kErrorIoDevice = 1117,  // the disk failed a read or a write
    kErrorTimeout = 1460,
};

uint32_t GetLastError();
void SetLastError(uint32_t code);

}  // namespace plat
