// Inside the platform: facts about host processes read from /proc, shared
// by the named events, the snapshots and the process calls.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

namespace plat {

// True while the host process runs (exists and has not ended; a zombie
// waiting to be reaped has ended).
bool HostProcessRunning(pid_t pid);

// The value of one variable of the environment the process was started
// with; nothing when it is not set or cannot be read.
std::optional<std::string> HostProcessEnvironment(pid_t pid, const char* name);

// True when a TLW_DEVICE value names the device root (the same folder,
// however spelled).
bool SameDeviceRoot(const std::string& tlwDevice, const std::filesystem::path& root);

// True when the process runs on this process's device: the calling process
// itself (when it has a device), or one whose TLW_DEVICE names the device.
bool HostProcessOnDevice(pid_t pid);

}  // namespace plat
