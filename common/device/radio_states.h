// The wireless-device switch (ossvcs.dll) that phone, Bluetooth and Wi-Fi
// share: switching every radio of one type, and the current states of the
// Wi-Fi, phone and Bluetooth radios as the switch lists them. The library is
// loaded and freed around every use.
#pragma once

#include <cstdint>

namespace tlw {

// Radio types of the switch's list.
enum RadioType : uint32_t { kRadioTypeWifi = 1, kRadioTypePhone = 2, kRadioTypeBluetooth = 3 };

// `SetRadioState`: switches every radio of the type to state (0 off, 1 on,
// kept over a restart). 0 on success, and also when the library or one of
// its entries is missing (nothing is done then); -1 when the enumeration
// fails; -2 when the last change call failed.
int32_t SetRadioState(uint32_t deviceType, uint32_t state);

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
