#include "platform/power/device_power.h"

#include "base/text.h"
#include "platform/hardware/device_model.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

// Where the requested states are kept: one DWORD per device under the
// power manager's state key (HKLM), named after the device.
constexpr char16_t kRequestedKey[] = u"System\\CurrentControlSet\\Control\\Power\\State\\Requested";

}  // namespace

uint32_t SetDevicePower(std::u16string_view device, int32_t state) {
    if (state < kPwrDeviceUnspecified || state > kD4) return kErrorInvalidParameter;
    if (!ModelHasDriver(CurrentDeviceModel(), device)) return kErrorFileNotFound;
    if (!RegWriteDword(kHkeyLocalMachine, kRequestedKey, device, static_cast<uint32_t>(state)))
        return kErrorAccessDenied;
    JournalAppend("device power " + tlw::Utf16ToUtf8(device) + " " +
                  (state == kPwrDeviceUnspecified ? std::string("unspecified") : "D" + std::to_string(state)));
    return kErrorSuccess;
}

int32_t GetRequestedDevicePower(std::u16string_view device) {
    uint32_t value = 0;
    if (!RegReadDword(kHkeyLocalMachine, kRequestedKey, device, &value)) return kPwrDeviceUnspecified;
    return static_cast<int32_t>(value);
}

}  // namespace plat
