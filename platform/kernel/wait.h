// Waiting on kernel objects: events, thread handles, process handles and
// point-to-point message queues (read handle: a message is waiting; write
// handle: there is room). Time-outs are milliseconds of real time, not device
// time; a waiting thread sleeps in poll() and uses no CPU.
#pragma once

#include <cstdint>

#include "platform/kernel/kernel_handle.h"

namespace plat {

inline constexpr uint32_t kInfinite = 0xFFFFFFFFu;  // wait without limit
inline constexpr uint32_t kWaitObject0 = 0;         // + index of the signalled object
inline constexpr uint32_t kWaitTimeout = 258;       // the time-out passed first
inline constexpr uint32_t kWaitFailed = 0xFFFFFFFFu;  // bad handle or parameter (last error set)
inline constexpr uint32_t kMaximumWaitObjects = 64;   // most handles in one wait

// Waits until the object is signalled or the time-out passes. Taking an
// auto-reset event's signal resets it. Returns kWaitObject0, kWaitTimeout or
// kWaitFailed (last error kErrorInvalidHandle for a closed or non-waitable
// handle).
uint32_t WaitForSingleObject(Handle handle, uint32_t timeoutMs);

// Waits until any one of count objects is signalled ("wait all" is not
// offered: waitAll must be false, else kWaitFailed with
// kErrorInvalidParameter). When several are signalled the lowest index wins
// and only its signal is taken. Returns kWaitObject0 + index, kWaitTimeout
// or kWaitFailed (count 0 or above kMaximumWaitObjects, a bad handle).
uint32_t WaitForMultipleObjects(uint32_t count, const Handle* handles, bool waitAll, uint32_t timeoutMs);

}  // namespace plat
