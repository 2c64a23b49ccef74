// The reading half of the wireless-device switch (ossvcs.dll): the current
// states of the Wi-Fi, phone and Bluetooth radios as the switch lists them.
#pragma once

#include <cstdint>

namespace tlw {

// `GetRadioStates`: loads the switch library, enumerates the radios and
// takes the state of the first Wi-Fi (type 1), phone (type 2) and Bluetooth
// (type 3) node met, stopping once two nodes of type 1 or 2 have been taken;
// then frees the list and the library. A state that is not met, and every
// state when the library, one of its entries or the enumeration fails, keeps
// the caller's value.
void GetRadioStates(uint32_t* wifi, uint32_t* phone, uint32_t* bluetooth);

// `GetWifiState`: the raw state of the Wi-Fi node (0 = off; 0 too when the
// switch cannot be read).
uint32_t GetWifiState();

}  // namespace tlw
