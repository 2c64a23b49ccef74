// The process socket of the window layer: listening for requests of other
// processes of the device (platform/message/ipc_protocol.h) and sending them.
// Internal to the window layer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/message/ipc_protocol.h"
#include "platform/message/messages.h"

namespace plat::win {

// Sends request to the process pid and reads its reply. While waiting, the
// calling thread handles the messages sent to it (when it has a queue), so
// that a process answering by sending back does not dead-lock. timeoutMs < 0
// waits without limit. Returns false when the process cannot be reached or
// ended before answering (last error kErrorInvalidWindowHandle), or on
// time-out (*timedOut set, last error kErrorTimeout).
bool Exchange(int32_t pid, const ipc::Request& request, int64_t timeoutMs, ipc::Reply* reply, bool* timedOut);

// Checks one record received on the process socket (size, magic, version,
// kind, the message, the target window or thread of this process), answers
// it on the connection fd and queues its message. Returns true when the
// connection was handed to the target's queue (a kSend, answered with
// AnswerRemote once handled); otherwise the caller closes fd.
bool ReceiveRecord(const void* record, size_t size, int fd);

// Answers a kSend request whose connection the listener handed over, and
// closes the connection.
void AnswerRemote(int fd, ipc::ReplyStatus status, LResult result);

}  // namespace plat::win
