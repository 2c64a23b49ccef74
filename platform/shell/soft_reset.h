// The soft reset of the simulated phone: every device program ends at once,
// as in a restart (no WM_CLOSE, no chance to tidy up), and the programs of
// the Startup folder start again. The device's files, registry, clock,
// pending user notifications and hardware state stay as they are, as a soft
// reset on the phone keeps its object store. The device host (`tlwsim
// boot`) and the console are not device programs and live on.
#pragma once

#include <cstdint>
#include <vector>

namespace plat {

// Journals "soft reset" and carries it out in a process of its own, so that
// a device program asking for the reset ends with the others. Returns at
// once; the reset follows within a few seconds. False when the resetting
// process cannot be started (the journal then says "soft reset failed").
bool RequestSoftReset();

// The reset itself, in the calling process: ends every device program but
// the calling process (SIGTERM, then SIGKILL after a grace period), waits
// until they are gone, then starts the Startup programs. Returns the process
// ids of the programs started.
std::vector<uint32_t> RestartDevicePrograms();

}  // namespace plat
