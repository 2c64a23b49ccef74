// Device power requests to the power manager: setting the power state of one
// device by its power-manager name ("{class GUID}\DEVICE"). The request is
// journalled ("device power NAME D4"). On the simulated phone the wireless
// adapter "{98C5250D-C29A-4985-AE5F-AFE5367E5006}\WLAN1" follows D0 ... D2
// (radio on) and D4 (radio off); D3 and the unspecified state (-1, the
// power manager's own choice) leave every device as it is.
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

// Device power states.
enum : int32_t { kPwrDeviceUnspecified = -1, kD0 = 0, kD1 = 1, kD2 = 2, kD3 = 3, kD4 = 4 };
// Flag of SetDevicePower: the name is a power-manager name.
inline constexpr uint32_t kPowerName = 0x00000001;
// Class GUID of the power manager's network adapters.
inline constexpr char16_t kPmNetworkAdapterClass[] = u"{98C5250D-C29A-4985-AE5F-AFE5367E5006}";

// Returns 0 on success, kErrorInvalidParameter for an empty name or a state
// outside -1 ... 4.
uint32_t SetDevicePower(std::u16string_view device, uint32_t flags, int32_t state);

}  // namespace plat
