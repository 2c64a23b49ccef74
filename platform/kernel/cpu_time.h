// Processor time of the phone: the tick count, the time the processor spent
// idle, and the process permissions a thread-time walk over every process
// needs. The simulated phone's processor is the host's: idle time is the
// host's idle time per processor.
#pragma once

#include <cstdint>

namespace plat {

// Milliseconds since the phone started (wraps after 49.7 days).
uint32_t GetTickCount();

// Milliseconds the processor has been idle since the phone started, on the
// same scale as GetTickCount (wraps the same way). The kernel library
// "coredll.dll" offers it by name as "GetIdleTime".
uint32_t GetIdleTime();

// The process's access to other processes' address spaces: a bit mask of
// processes, 0xFFFFFFFF for all. Returns the previous mask.
uint32_t SetProcPermissions(uint32_t permissions);
uint32_t GetCurrentPermissions();

}  // namespace plat
