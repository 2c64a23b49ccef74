// Bringing the screen up to date before it is looked at: the shell takes
// in the device's state and every program paints what waits for paint.
#pragma once

namespace sim {

// Asks the shell to refresh and every thread that owns a visible window to
// paint now, waiting for each (a program that does not answer within a few
// seconds is left as it is).
void FlushScreen();

}  // namespace sim
