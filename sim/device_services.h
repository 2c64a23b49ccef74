// The services a phone starts with before any program of the user: on a
// phone with the WIDCOMM Bluetooth stack, its tray program. `tlwsim run`
// makes sure they run before it starts a program, as a booted phone would
// have them.
#pragma once

#include <string>

namespace sim {

// Starts the services that do not run yet and waits (at most 10 s) until
// they are up. False with a message when one cannot be started.
bool StartDeviceServices(std::string* error);

}  // namespace sim
