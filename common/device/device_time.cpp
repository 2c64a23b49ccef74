#include "common/device/device_time.h"

namespace tlw {

bool AddSecondsToTime(int64_t seconds, plat::SystemTime* time) {
    constexpr int64_t kTicksPerSecond = 10000000;  // file-time units per second
    // Beyond this the tick count would overflow; no valid time is that far.
    constexpr int64_t kMaxSeconds = INT64_MAX / kTicksPerSecond;
    if (seconds > kMaxSeconds || seconds < -kMaxSeconds) return false;
    plat::FileTime ticks = 0;
    if (!plat::SystemTimeToFileTime(*time, &ticks)) return false;
    int64_t delta = seconds * kTicksPerSecond;
    if (delta < 0 && static_cast<uint64_t>(-delta) > ticks) return false;
    if (delta > 0 && ticks > UINT64_MAX - static_cast<uint64_t>(delta)) return false;
    plat::SystemTime result;
    if (!plat::FileTimeToSystemTime(ticks + static_cast<uint64_t>(delta), &result)) return false;
    *time = result;
    return true;
}

}  // namespace tlw
