#include "platform/kernel/threads.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <system_error>
#include <thread>

#include "platform/kernel/kernel_object.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/device_store.h"

namespace plat {
namespace {

// What a thread and its handle share.
struct ThreadState {
    LevelSignal done;                          // set when the thread function returned
    std::atomic<uint32_t> exitCode{kStillActive};  // the function's result once done
    std::mutex startMutex;                     // guards threadId until the start handshake
    std::condition_variable started;           // signalled when threadId is known
    uint32_t threadId = 0;                     // host thread id, 0 until the thread runs
};

// The handle's object: signalled once the thread has ended.
class ThreadObject : public KernelObject {
public:
    explicit ThreadObject(std::shared_ptr<ThreadState> state) : state_(std::move(state)) {}
    int BeginWait() override { return state_->done.Fd(); }
    bool TryAcquire() override { return state_->done.IsSet(); }
    ThreadState& State() { return *state_; }

private:
    std::shared_ptr<ThreadState> state_;  // shared with the running thread
};

}  // namespace

Handle CreateThread(std::function<uint32_t()> body, uint32_t* threadId) {
    auto state = std::make_shared<ThreadState>();
    if (!state->done.Valid() || !body) {
        SetLastError(body ? kErrorNotEnoughMemory : kErrorInvalidParameter);
        return Handle{};
    }
    Handle handle = InsertKernelObject(std::make_shared<ThreadObject>(state));
    if (!handle) return Handle{};
    try {
        std::thread([state, fn = std::move(body)]() {
            {
                std::lock_guard<std::mutex> guard(state->startMutex);
                state->threadId = GetCurrentThreadId();
            }
            state->started.notify_all();
            uint32_t code = fn();
            state->exitCode.store(code);
            state->done.Set();
        }).detach();
    } catch (const std::system_error&) {
        CloseHandle(handle);
        SetLastError(kErrorNotEnoughMemory);
        return Handle{};
    }
    std::unique_lock<std::mutex> lock(state->startMutex);
    state->started.wait(lock, [&] { return state->threadId != 0; });
    if (threadId) *threadId = state->threadId;
    return handle;
}

Handle CreateThread(ThreadProc proc, void* parameter, uint32_t* threadId) {
    if (!proc) {
        SetLastError(kErrorInvalidParameter);
        return Handle{};
    }
    return CreateThread([proc, parameter] { return proc(parameter); }, threadId);
}

bool GetExitCodeThread(Handle thread, uint32_t* exitCode) {
    auto object = LookupKernelObjectAs<ThreadObject>(thread);
    if (!object || !exitCode) {
        if (object) SetLastError(kErrorInvalidParameter);
        return false;
    }
    *exitCode = object->State().done.IsSet() ? object->State().exitCode.load() : kStillActive;
    return true;
}

uint32_t GetCurrentThreadId() {
    return static_cast<uint32_t>(::syscall(SYS_gettid));
}

uint32_t GetCurrentProcessId() {
    return static_cast<uint32_t>(::getpid());
}

namespace {
std::atomic<SleepHook> g_sleepHook{nullptr};  // replaces real waits in tests
}  // namespace

void SetSleepHook(SleepHook hook) { g_sleepHook.store(hook); }

void Sleep(uint32_t milliseconds) {
    store::EndBatch();  // nobody waits for the store while this thread sleeps
    if (SleepHook hook = g_sleepHook.load()) {
        hook(milliseconds);
        return;
    }
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void InitializeCriticalSection(CriticalSection* section) {
    (void)section;  // the mutex is ready when the record exists
}

void DeleteCriticalSection(CriticalSection* section) {
    (void)section;  // nothing to release; the record's owner frees it
}

void EnterCriticalSection(CriticalSection* section) {
    section->mutex.lock();
}

void LeaveCriticalSection(CriticalSection* section) {
    section->mutex.unlock();
}

}  // namespace plat
