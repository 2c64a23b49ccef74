// The device's shell host: the one process that runs the phone's shell
// (taskbar, Today screen, Startup programs, firing due notifications). A
// second host on the same device would start every Startup program twice,
// so a host claims the device first. The claim is a row of the device store
// (table shell_host) naming the process by its id and start time: it ends
// with the process, also when the process is killed, since a claim of a
// process that has ended does not count.
#pragma once

#include <cstdint>

namespace plat {

// Claims the device for this process. True when it was free (or already
// this process's); false when another live process holds it (*holder, when
// given, receives its id) or the store cannot be written (last error set).
bool ClaimShellHost(int32_t* holder = nullptr);
// Gives up this process's claim; nothing when it holds none.
void ReleaseShellHost();

}  // namespace plat
