#include "platform/power/device_power.h"

#include <string>

#include "base/text.h"
#include "platform/hardware/device_model.h"
#include "platform/hardware/hardware.h"
#include "platform/kernel/last_error.h"
#include "platform/radio/ndis_uio.h"
#include "platform/storage/journal.h"

namespace plat {

uint32_t SetDevicePower(std::u16string_view device, uint32_t /*flags*/, int32_t state) {
    if (device.empty() || state < kPwrDeviceUnspecified || state > kD4) return kErrorInvalidParameter;
    JournalAppend("device power " + tlw::Utf16ToUtf8(device) + " " +
                  (state == kPwrDeviceUnspecified ? std::string("unspecified") : "D" + std::to_string(state)));
    std::u16string wireless = std::u16string(kPmNetworkAdapterClass) + u"\\" + kWirelessAdapterName;
    if (!tlw::EqualsNoCase(device, wireless) || !CurrentDeviceModel().hasWifi) return 0;
    if (state == kD3 || state == kPwrDeviceUnspecified) return 0;
    bool on = state != kD4;
    ChangeHardwareState([on](HardwareState& s) {
        s.wifiState = on ? 1 : 0;
        s.wifiDueMs = 0;
    });
    return 0;
}

}  // namespace plat
