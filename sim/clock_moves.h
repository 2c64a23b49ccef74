// Moving the device clock from the console. Every move of the clock by `time
// set` or `time advance` goes through MoveClockTo, the one place where the
// consequences of a move (notifications falling due) are handled.
#pragma once

#include "platform/kernel/clock.h"

namespace sim {

// Sets the device clock to target (kept running or frozen as it is). On the
// way, every time notification due by target fires in time order: the clock
// is set to its time, it fires, and the device settles (its program has run
// and the engine window has handled what it was sent) before the next.
// Every process of the device is told of each clock change. Returns an exit
// code: 0, or 1 after printing why the clock did not reach target.
int MoveClockTo(const plat::SystemTime& target);

}  // namespace sim
