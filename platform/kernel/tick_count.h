// The millisecond tick count: milliseconds of device time, wrapping at 2^32,
// for measuring short intervals (how fast a finger moved). It follows the
// device clock, so an in-process test's virtual clock moves it too.
#pragma once

#include <cstdint>

namespace plat {

uint32_t GetTickCount();

}  // namespace plat
