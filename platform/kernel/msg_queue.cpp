#include "platform/kernel/msg_queue.h"

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>

#include "platform/kernel/kernel_errors.h"
#include "platform/kernel/msg_queue_object.h"
#include "platform/kernel/threads.h"

namespace plat {
namespace {

// One handle of a queue: its read or write end.
class QueueEnd : public KernelObject {
public:
    QueueEnd(std::shared_ptr<MsgQueueCore> core, bool read) : core_(std::move(core)), read_(read) {
        std::lock_guard<std::mutex> guard(core_->mutex);
        ++(read_ ? core_->readers : core_->writers);
        core_->UpdateSignals();
    }
    ~QueueEnd() override {
        std::lock_guard<std::mutex> guard(core_->mutex);
        --(read_ ? core_->readers : core_->writers);
        core_->UpdateSignals();
    }
    int BeginWait() override { return read_ ? core_->readable.Fd() : core_->writable.Fd(); }
    bool TryAcquire() override { return read_ ? core_->readable.IsSet() : core_->writable.IsSet(); }

    const std::shared_ptr<MsgQueueCore>& Core() const { return core_; }
    bool Reads() const { return read_; }

private:
    std::shared_ptr<MsgQueueCore> core_;  // the queue
    bool read_;                           // this end reads, else it writes
};

// Named queues of this process.
struct QueueList {
    std::mutex mutex;                                               // guards queues
    std::map<std::u16string, std::weak_ptr<MsgQueueCore>> queues;   // by name
};

QueueList& Queues() {
    static QueueList* list = new QueueList;  // never destroyed: handles may close during exit
    return *list;
}

bool ValidOptions(const MsgQueueOptions* options) {
    return options && options->size == sizeof(MsgQueueOptions);
}

Handle InsertEnd(std::shared_ptr<MsgQueueCore> core, bool read) {
    return InsertKernelObject(std::make_shared<QueueEnd>(std::move(core), read));
}

// Waits up to the deadline for fd to become readable; false when the
// deadline passed first.
bool WaitUntil(int fd, uint32_t timeoutMs, std::chrono::steady_clock::time_point deadline) {
    int wait = -1;
    if (timeoutMs != 0xFFFFFFFFu) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) return false;
        wait = static_cast<int>(left) + 1;
    }
    pollfd p{fd, POLLIN, 0};
    int ready = ::poll(&p, 1, wait);
    return ready > 0 || (ready < 0 && errno == EINTR) || timeoutMs == 0xFFFFFFFFu;
}

}  // namespace

void MsgQueueCore::UpdateSignals() {
    if (messages.empty())
        readable.Clear();
    else
        readable.Set();
    if (maxMessages != 0 && messages.size() >= maxMessages)
        writable.Clear();
    else
        writable.Set();
}

uint32_t MsgQueueCore::Push(const void* data, uint32_t size, uint32_t messageFlags) {
    if (size > maxMessageSize) return kErrorInsufficientBuffer;
    if (readers == 0 && !(flags & kMsgQueueAllowBroken)) return kErrorPipeNotConnected;
    if (maxMessages != 0 && messages.size() >= maxMessages) return kErrorTimeout;
    QueuedMessage message;
    message.data.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    message.flags = messageFlags & kMsgQueueMsgAlert;
    if (message.flags) {
        // An alert goes before every ordinary message, after earlier alerts.
        auto it = messages.begin();
        while (it != messages.end() && it->flags) ++it;
        messages.insert(it, std::move(message));
    } else {
        messages.push_back(std::move(message));
    }
    UpdateSignals();
    return kErrorSuccess;
}

std::shared_ptr<MsgQueueCore> QueueOfHandle(Handle handle) {
    auto end = LookupKernelObjectAs<QueueEnd>(handle);
    return end ? end->Core() : nullptr;
}

Handle CreateMsgQueue(std::u16string_view name, const MsgQueueOptions* options) {
    if (!ValidOptions(options) || options->maxMessageSize == 0) {
        SetLastError(kErrorInvalidParameter);
        return Handle{};
    }
    bool read = options->readAccess != 0;
    QueueList& list = Queues();
    std::lock_guard<std::mutex> guard(list.mutex);
    if (!name.empty()) {
        auto it = list.queues.find(std::u16string(name));
        if (it != list.queues.end()) {
            if (auto existing = it->second.lock()) {
                Handle handle = InsertEnd(std::move(existing), read);
                if (handle) SetLastError(kErrorAlreadyExists);
                return handle;
            }
            list.queues.erase(it);
        }
    }
    auto core = std::make_shared<MsgQueueCore>();
    if (!core->readable.Valid() || !core->writable.Valid()) {
        SetLastError(kErrorNotEnoughMemory);
        return Handle{};
    }
    core->name = std::u16string(name);
    core->flags = options->flags;
    core->maxMessages = options->maxMessages;
    core->maxMessageSize = options->maxMessageSize;
    if (!name.empty()) list.queues[core->name] = core;
    Handle handle = InsertEnd(std::move(core), read);
    if (handle) SetLastError(kErrorSuccess);
    return handle;
}

Handle OpenMsgQueue(uint32_t sourceProcess, Handle source, const MsgQueueOptions* options) {
    if (!ValidOptions(options) || (sourceProcess != 0 && sourceProcess != GetCurrentProcessId())) {
        SetLastError(kErrorInvalidParameter);
        return Handle{};
    }
    std::shared_ptr<MsgQueueCore> core = QueueOfHandle(source);
    if (!core) return Handle{};
    return InsertEnd(std::move(core), options->readAccess != 0);
}

bool ReadMsgQueue(Handle queue, void* buffer, uint32_t size, uint32_t* bytesRead, uint32_t timeoutMs,
                  uint32_t* flags) {
    auto end = LookupKernelObjectAs<QueueEnd>(queue);
    if (!end || !end->Reads()) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    if (!buffer && size != 0) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    MsgQueueCore& core = *end->Core();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(core.mutex);
            if (!core.messages.empty()) {
                QueuedMessage& message = core.messages.front();
                uint32_t length = static_cast<uint32_t>(message.data.size());
                if (bytesRead) *bytesRead = length;
                if (length > size) {
                    SetLastError(kErrorInsufficientBuffer);
                    return false;
                }
                if (length) std::memcpy(buffer, message.data.data(), length);
                if (flags) *flags = message.flags;
                core.messages.pop_front();
                core.UpdateSignals();
                return true;
            }
            if (core.writers == 0 && !(core.flags & kMsgQueueAllowBroken)) {
                SetLastError(kErrorPipeNotConnected);
                return false;
            }
        }
        if (!WaitUntil(core.readable.Fd(), timeoutMs, deadline)) {
            SetLastError(kErrorTimeout);
            return false;
        }
    }
}

bool WriteMsgQueue(Handle queue, const void* data, uint32_t size, uint32_t timeoutMs, uint32_t flags) {
    auto end = LookupKernelObjectAs<QueueEnd>(queue);
    if (!end || end->Reads()) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    if (!data && size != 0) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    MsgQueueCore& core = *end->Core();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(core.mutex);
            uint32_t error = core.Push(data, size, flags);
            if (error == kErrorSuccess) return true;
            if (error != kErrorTimeout) {
                SetLastError(error);
                return false;
            }
        }
        if (!WaitUntil(core.writable.Fd(), timeoutMs, deadline)) {
            SetLastError(kErrorTimeout);
            return false;
        }
    }
}

bool CloseMsgQueue(Handle queue) {
    if (!LookupKernelObjectAs<QueueEnd>(queue)) return false;
    return CloseHandle(queue);
}

}  // namespace plat
