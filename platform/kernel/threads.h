// Threads and critical sections. A thread is a host thread; its handle is
// signalled when the thread function returns and then holds its exit code.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>

#include "platform/kernel/kernel_handle.h"

namespace plat {

// The thread function of CreateThread: its result is the exit code.
using ThreadProc = uint32_t (*)(void* parameter);

// Starts proc(parameter) on a new thread. Returns its handle (waitable,
// close it with CloseHandle) and stores the thread id in *threadId when
// given. An empty handle (last error kErrorNotEnoughMemory) when no thread
// could be started.
Handle CreateThread(ThreadProc proc, void* parameter, uint32_t* threadId);
// The same for a function object.
Handle CreateThread(std::function<uint32_t()> body, uint32_t* threadId);

// Exit code of a thread: kStillActive while it runs. False for a handle that
// is not a thread.
bool GetExitCodeThread(Handle thread, uint32_t* exitCode);

// Host thread and process ids of the caller (process ids are what
// CreateProcess returns and the snapshot lists).
uint32_t GetCurrentThreadId();
uint32_t GetCurrentProcessId();

// Waits real time (not device time); 0 only yields.
void Sleep(uint32_t milliseconds);

// For in-process tests of code that waits: the hook is called instead of
// waiting, on the sleeping thread, for every Sleep of this process (null
// restores real waits). The hook may wait itself.
using SleepHook = void (*)(uint32_t milliseconds);
void SetSleepHook(SleepHook hook);

// A critical section: a lock that the owning thread may take again
// (recursively), as on the phone.
struct CriticalSection {
    std::recursive_mutex mutex;  // the lock itself
};
void InitializeCriticalSection(CriticalSection* section);
void DeleteCriticalSection(CriticalSection* section);
void EnterCriticalSection(CriticalSection* section);
void LeaveCriticalSection(CriticalSection* section);

}  // namespace plat
