// Making a fresh simulated phone: what `tlwsim init` does, also callable from
// tests that need a complete device in-process.
#pragma once

#include <string>

#include "platform/kernel/clock.h"

namespace sim {

struct DeviceOptions {
    std::string model;        // device model name; empty for the default
    std::string screen;       // "qvga", "vga", or empty for the model's screen
    plat::SystemTime time;    // the clock's start time when timeGiven
    bool timeGiven = false;   // time holds a start time
    bool frozen = false;      // the clock stands still
};

// The install folder of the configuration program on the device.
inline constexpr char16_t kInstallFolder[] = u"\\Program Files\\Korvel\\Tallowin";

// Creates the device in folder (made when missing) and selects it for this
// process. Refuses a folder that already holds a device.
bool CreateDevice(const std::string& folder, const DeviceOptions& options, std::string* error);

}  // namespace sim
