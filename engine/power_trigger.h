// The power and accessory trigger: the `Power` profile that the power
// source, the cradle and the audio accessories select.
#pragma once

#include <cstdint>

#include "engine/engine_state.h"

namespace tlw {

// What the power trigger reads, taken once per evaluation.
struct PowerInputs {
    bool externalPower = false;  // on external power with a known battery level
    bool cradled = false;        // in the cradle (or taken as cradled)
    bool accessory = false;      // a headset, hands-free set or Bluetooth audio device
};

// The profile the inputs select: the last enabled `Power` profile in table
// order whose conditions hold, or 600.
int32_t SelectPowerProfile(const ProfileTable& profiles, const PowerInputs& inputs);

}  // namespace tlw
