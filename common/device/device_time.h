// Time arithmetic of the schedulers: adding seconds to a local time.
#pragma once

#include <cstdint>

#include "platform/kernel/clock.h"

namespace tlw {

// `AddSecondsToTime`: adds seconds (negative ones go back) to a local
// calendar time in place, through the 100-nanosecond file-time form, so that
// days, months and years carry correctly; milliseconds are kept and the day
// of the week is filled. False, leaving *time unchanged, for an invalid time
// or a result outside the platform's time range.
bool AddSecondsToTime(int64_t seconds, plat::SystemTime* time);

}  // namespace tlw
