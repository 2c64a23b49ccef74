// Giving a fresh simulated phone its device model (assets/models/NAME.model):
// the model file in "<root>/.device/model" and the model's starting registry
// and hardware state.
#pragma once

#include <string>
#include <vector>

namespace sim {

// The model a device gets when none is named.
inline constexpr char kDefaultModelName[] = "generic-qvga";

// The names of the shipped models, sorted.
std::vector<std::string> DeviceModelNames();

// Installs the model (an empty name means the default) on the device of this
// process: copies the model file, writes the hardware state file and the
// starting registry values (the state registry, the WIDCOMM stack's values,
// the model's own values), then applies the model to this process. False
// with a message for an unknown model or a failed write.
bool InstallDeviceModel(const std::string& modelName, std::string* error);

// Overrides the installed model's screen: "qvga" (240 x 320 at 96 dpi) or
// "vga" (480 x 640 at 192 dpi). False with a message for another name or when
// the device has no model yet.
bool SetDeviceScreen(const std::string& screen, std::string* error);

}  // namespace sim
