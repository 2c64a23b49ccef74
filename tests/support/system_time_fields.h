// A plat::SystemTime from its fields, for tests that write times out; the
// day of the week is left 0 and nothing is checked.
#pragma once

#include <cstdint>

#include "platform/kernel/clock.h"

inline plat::SystemTime Time(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                             int ms = 0) {
    plat::SystemTime t;
    t.year = static_cast<uint16_t>(year);
    t.month = static_cast<uint16_t>(month);
    t.day = static_cast<uint16_t>(day);
    t.hour = static_cast<uint16_t>(hour);
    t.minute = static_cast<uint16_t>(minute);
    t.second = static_cast<uint16_t>(second);
    t.milliseconds = static_cast<uint16_t>(ms);
    return t;
}
