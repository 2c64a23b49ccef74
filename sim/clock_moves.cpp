#include "sim/clock_moves.h"

#include "platform/last_error.h"
#include "sim/command.h"

namespace sim {

int MoveClockTo(const plat::SystemTime& target) {
    if (!plat::SetLocalTime(target)) {
        return Fail("cannot set the device clock to " + plat::FormatDeviceTime(target) + " (error " +
                    std::to_string(plat::GetLastError()) + ")");
    }
    return 0;
}

}  // namespace sim
