// Error codes of the kernel services (waits, queues, processes) that the
// general list in platform/kernel/last_error.h does not carry.
#pragma once

#include <cstdint>

#include "platform/kernel/last_error.h"

namespace plat {

enum : uint32_t {
    kErrorBadExeFormat = 193,      // the file is not a program of this device
    kErrorPipeNotConnected = 233,  // a queue's other end is gone
};

}  // namespace plat
