// Moving the device clock from the console. Every move of the clock by `time
// set` or `time advance` goes through MoveClockTo, the one place where the
// consequences of a move (notifications falling due) are handled.
#pragma once

#include "platform/clock.h"

namespace sim {

// Sets the device clock to target (kept running or frozen as it is).
// Returns an exit code: 0, or 1 after printing why the clock did not move.
int MoveClockTo(const plat::SystemTime& target);

}  // namespace sim
