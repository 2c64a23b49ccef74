// Point-to-point message queues: a bounded queue of byte messages between a
// read handle and write handles of this process. The power manager writes
// its notifications into queues of any process of the device
// (platform/power/power_notify.h). A read handle is signalled while a message
// waits, a write handle while there is room.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/kernel/kernel_errors.h"
#include "platform/kernel/kernel_handle.h"

namespace plat {

// Creation options of a queue (the platform's 20-byte record).
struct MsgQueueOptions {
    uint32_t size = sizeof(MsgQueueOptions);  // size of this record in bytes
    uint32_t flags = 0;          // kMsgQueueNoPrecommit, kMsgQueueAllowBroken
    uint32_t maxMessages = 0;    // most messages waiting at once; 0 = no limit
    uint32_t maxMessageSize = 0; // largest message in bytes (must not be 0)
    int32_t readAccess = 0;      // non-zero: the handle reads, else it writes
};
static_assert(sizeof(MsgQueueOptions) == 20, "the platform's queue options are 20 bytes");

inline constexpr uint32_t kMsgQueueNoPrecommit = 1;  // allocate messages as they come (always so here)
inline constexpr uint32_t kMsgQueueAllowBroken = 2;  // reads and writes work without the other end
inline constexpr uint32_t kMsgQueueMsgAlert = 1;     // message flag: an alert, read before the others

// Creates a queue and returns the handle of the kind options->readAccess
// asks for. A non-empty name opens the queue of that name of this process
// when it exists (options->maxMessages and maxMessageSize are then those of
// the existing queue; last error kErrorAlreadyExists). An empty handle with
// kErrorInvalidParameter for missing options, a wrong options size or a
// maximum message size of 0.
Handle CreateMsgQueue(std::u16string_view name, const MsgQueueOptions* options);

// Another handle to the queue of source (read or write as
// options->readAccess says). sourceProcess must be this process's id (or 0).
Handle OpenMsgQueue(uint32_t sourceProcess, Handle source, const MsgQueueOptions* options);

// Reads the oldest message (an alert first) into buffer, waiting up to
// timeoutMs for one. *bytesRead gets its length, *flags (when given) its
// flags. Fails with kErrorTimeout when none came, kErrorInsufficientBuffer
// when the message is longer than size (the message stays queued and
// *bytesRead holds its length), kErrorPipeNotConnected when the queue is
// empty and has no writer (unless created with kMsgQueueAllowBroken),
// kErrorInvalidHandle for a handle that does not read.
bool ReadMsgQueue(Handle queue, void* buffer, uint32_t size, uint32_t* bytesRead, uint32_t timeoutMs,
                  uint32_t* flags);

// Writes one message (size bytes, at most the queue's maximum message size),
// waiting up to timeoutMs for room. Fails with kErrorInsufficientBuffer for a
// message that is too long, kErrorTimeout when the queue stayed full,
// kErrorPipeNotConnected when no reader is left (unless kMsgQueueAllowBroken),
// kErrorInvalidHandle for a handle that does not write.
bool WriteMsgQueue(Handle queue, const void* data, uint32_t size, uint32_t timeoutMs, uint32_t flags);

// Closes a queue handle (the same as CloseHandle).
bool CloseMsgQueue(Handle queue);

}  // namespace plat
