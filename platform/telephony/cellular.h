// The cellular line's services of the cellular core on top of an open line
// device: the equipment state (the radio's level of function) and the
// registration on the network. Both are journalled.
#pragma once

#include <cstdint>

#include "platform/telephony/line_device.h"

namespace plat {

// Equipment states of LineSetEquipmentState.
enum : uint32_t {
    kLineEquipStateMinimum = 1,  // radio off
    kLineEquipStateRxOnly = 2,   // receive only
    kLineEquipStateTxOnly = 3,   // transmit only
    kLineEquipStateNoChange = 4, // keep the state
    kLineEquipStateFull = 5,     // radio fully on
};
// Registration mode of LineRegister: choose the operator automatically.
inline constexpr uint32_t kLineRegModeAutomatic = 1;

// Cellular-core ordinal 63: sets the radio's function. Full (and receive or
// transmit only) switch the phone radio on, minimum switches it off.
int32_t LineSetEquipmentState(HLine line, uint32_t state);

// Cellular-core ordinal 58: registers on the network. 0 when the phone is
// registered: the radio is on and the SIM ready (no PIN, or the PIN
// entered); kLineErrOperationFailed otherwise.
int32_t LineRegister(HLine line, uint32_t mode, const char16_t* operatorName, uint32_t operatorFormat);

}  // namespace plat
