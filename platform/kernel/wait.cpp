#include "platform/kernel/wait.h"

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <vector>

#include "platform/kernel/kernel_object.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/device_store.h"

namespace plat {

uint32_t WaitForSingleObject(Handle handle, uint32_t timeoutMs) {
    return WaitForMultipleObjects(1, &handle, false, timeoutMs);
}

uint32_t WaitForMultipleObjects(uint32_t count, const Handle* handles, bool waitAll, uint32_t timeoutMs) {
    store::EndBatch();  // what it waits for may need the store
    if (waitAll || count == 0 || count > kMaximumWaitObjects || !handles) {
        SetLastError(kErrorInvalidParameter);
        return kWaitFailed;
    }
    // Hold the objects for the whole wait: a handle closed meanwhile by
    // another thread does not pull the object away from under the wait.
    std::vector<std::shared_ptr<KernelObject>> objects(count);
    for (uint32_t i = 0; i < count; ++i) {
        objects[i] = LookupKernelObject(handles[i]);
        if (!objects[i]) return kWaitFailed;  // last error set
    }
    std::vector<pollfd> fds(count);
    uint32_t begun = 0;
    auto endWaits = [&] {
        for (uint32_t i = 0; i < begun; ++i) objects[i]->EndWait(fds[i].fd);
    };
    for (; begun < count; ++begun) {
        int fd = objects[begun]->BeginWait();
        if (fd < 0) {
            endWaits();
            SetLastError(kErrorInvalidHandle);
            return kWaitFailed;
        }
        fds[begun] = pollfd{fd, POLLIN, 0};
    }

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    uint32_t result = kWaitTimeout;
    for (;;) {
        bool taken = false;
        for (uint32_t i = 0; i < count && !taken; ++i) {
            if (objects[i]->TryAcquire()) {
                result = kWaitObject0 + i;
                taken = true;
            }
        }
        if (taken) break;
        int wait = -1;
        if (timeoutMs != kInfinite) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) break;
            // Round up so that the wait never ends a little early.
            wait = static_cast<int>(left) + 1;
        }
        int ready = ::poll(fds.data(), fds.size(), wait);
        if (ready < 0 && errno != EINTR) {
            SetLastError(kErrorInvalidHandle);
            result = kWaitFailed;
            break;
        }
        for (uint32_t i = 0; ready > 0 && i < count; ++i) {
            if (fds[i].revents) objects[i]->Drain(fds[i].fd);
            fds[i].revents = 0;
        }
    }
    endWaits();
    return result;
}

}  // namespace plat
