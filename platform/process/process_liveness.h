// Whether a process of the device still runs. A process is known by its id
// and its start time (the host's start tick of the process), so that an id
// the host has given to a new process after the old one ended is not taken
// for the old one. A process that has ended but was not yet reaped by its
// parent (a zombie) counts as ended.
#pragma once

#include <cstdint>

namespace plat {

// The start time of a running process; 0 when it does not run (or has ended).
uint64_t ProcessStartTime(int32_t pid);

// The start time of this process (read once per process, again after fork).
uint64_t OwnStartTime();

// True when pid runs and started at startTime.
bool ProcessAlive(int32_t pid, uint64_t startTime);

}  // namespace plat
