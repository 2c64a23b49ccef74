// The simulated phone this process runs on. A device is one host folder: its
// file system root "\" with the platform's own state below "<root>/.device/".
// A program started on the device finds the folder in TLW_DEVICE; the console
// and in-process tests choose it with SetDevice.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace plat {

// Makes root the device of this process (the folder must exist). Every other
// platform call works on this device. Returns false when root is no folder.
// The device's state folder "<root>/.device" is made its owner's alone
// (mode 0700) when others could enter it; so is it when the device comes
// from TLW_DEVICE.
bool SetDevice(const std::filesystem::path& root);

// The device's host folder: the one given to SetDevice, else TLW_DEVICE.
// Empty when neither is set.
const std::filesystem::path& DeviceRoot();

// "<root>/.device": the device store (device.db), the model file, sockets.
std::filesystem::path DeviceStateDir();

// The name this process is known by in the journal ("Tallowd", "tlwsim", ...).
void SetProgramName(std::string_view name);
const std::string& ProgramName();

}  // namespace plat
