// Kernel object handles of the simulated phone: events, threads, processes,
// point-to-point message queues, power-notification registrations and
// tool-help snapshots all share one process-wide handle table, as on the
// phone. A handle is a small value packing the table slot and a generation,
// so a closed handle is refused even after its slot is reused.
//
// Waiting (platform/kernel/wait.h) works on events, threads, processes and message
// queues. Every waitable object is backed by a file descriptor, so a wait on
// any number of them is one poll() and a waiting thread uses no CPU.
#pragma once

#include <cstdint>

namespace plat {

struct Handle {
    uint32_t value = 0;  // packed generation and slot; 0 = no object
    explicit operator bool() const { return value != 0; }
    friend bool operator==(Handle a, Handle b) { return a.value == b.value; }
};

// The exit code of a thread or process that still runs.
inline constexpr uint32_t kStillActive = 259;

// Closes any kernel handle. The object itself lives on while another handle
// (or a thread waiting on it) still refers to it: closing a thread's or a
// process's handle neither stops nor waits for it. False (last error
// kErrorInvalidHandle) for a handle that is not open.
bool CloseHandle(Handle handle);

}  // namespace plat
