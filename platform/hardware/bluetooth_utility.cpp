#include "platform/hardware/bluetooth_utility.h"

#include <string>

#include "platform/hardware/hardware.h"
#include "platform/storage/journal.h"
#include "platform/kernel/last_error.h"

namespace plat {

int32_t BthSetMode(uint32_t mode) {
    if (mode > kBthDiscoverable) return static_cast<int32_t>(kErrorInvalidParameter);
    JournalAppend("bluetooth mode " + std::to_string(mode));
    if (!ChangeHardwareState([mode](HardwareState& s) { s.bluetoothMode = mode; }))
        return static_cast<int32_t>(kErrorAccessDenied);
    return 0;
}

int32_t BthGetMode(uint32_t* mode) {
    if (!mode) return static_cast<int32_t>(kErrorInvalidParameter);
    HardwareState hw;
    if (!ReadHardwareState(&hw)) return static_cast<int32_t>(kErrorFileNotFound);
    *mode = hw.bluetoothMode;
    return 0;
}

}  // namespace plat
