// The hardware facts of the simulated phone as the console shows and
// changes them ("ac=on", "battery=80", "phone=off", ...). Each fact is kept
// where the real phone keeps it: in the state registry (System\State\...),
// in the WIDCOMM stack's registry, or in the device's hardware state file.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sim {

// One fact: its key, the values it takes, and what it is.
struct HardwareFactInfo {
    const char* key;          // "ac", "battery", ...
    const char* values;       // the values it takes, for help texts
    const char* description;  // what it is
};

// Every fact, in the order `tlwsim hw` prints them.
const std::vector<HardwareFactInfo>& HardwareFactTable();

using FactChange = std::pair<std::string, std::string>;  // key, value

// The current value of every fact, in table order. A fact the device model
// lacks hardware for reads "absent".
std::vector<FactChange> ReadHardwareFacts();

// Checks every change against the table and the device model, then applies
// them all in the order given. When any is unknown or bad nothing is
// changed and *error names the first fault.
bool ApplyHardwareFacts(const std::vector<FactChange>& changes, std::string* error);

// Splits "key=value" arguments; false with a message for one without "=".
bool ParseFactArguments(const std::vector<std::string>& args, std::vector<FactChange>* out, std::string* error);

}  // namespace sim
