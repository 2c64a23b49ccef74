// Inside the platform: the queue behind point-to-point queue handles, for
// the power manager, which writes into queues of this process.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/kernel/kernel_object.h"

namespace plat {

// One message waiting in a queue.
struct QueuedMessage {
    std::vector<uint8_t> data;  // the message's bytes
    uint32_t flags = 0;         // kMsgQueueMsgAlert or 0
};

// A queue shared by its read and write handles.
struct MsgQueueCore {
    std::mutex mutex;                   // guards every field below but the signals' own state
    std::u16string name;                // name in this process's queue list; empty when unnamed
    uint32_t flags = 0;                 // kMsgQueue* creation flags
    uint32_t maxMessages = 0;           // most waiting messages; 0 = no limit
    uint32_t maxMessageSize = 0;        // largest message in bytes
    std::deque<QueuedMessage> messages; // waiting messages, next to read first
    uint32_t readers = 0;               // open read ends
    uint32_t writers = 0;               // open write ends (power registrations count)
    LevelSignal readable;               // set while a message waits
    LevelSignal writable;               // set while there is room

    // Brings both signals in line with the queue. Caller holds mutex.
    void UpdateSignals();
    // Adds a message when there is room and a reader (or the queue allows a
    // broken end). Caller holds mutex. Returns the platform error, or
    // kErrorSuccess.
    uint32_t Push(const void* data, uint32_t size, uint32_t messageFlags);
};

// The queue of a queue handle; null (last error kErrorInvalidHandle) for any
// other handle.
std::shared_ptr<MsgQueueCore> QueueOfHandle(Handle handle);

}  // namespace plat
