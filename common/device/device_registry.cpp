#include "common/device/device_registry.h"

#include <string>

namespace tlw {

bool ReadDeviceDword(plat::HKey root, std::u16string_view key, std::u16string_view name, uint32_t* value) {
    return plat::RegReadDword(root, key, name, value);
}

bool WriteDeviceDword(plat::HKey root, std::u16string_view key, std::u16string_view name, uint32_t value) {
    plat::HKey k = 0;
    if (plat::RegOpenKey(root, key, &k) != 0) return false;
    bool ok = plat::RegSetValue(k, name, plat::kRegDword, &value, sizeof value) == 0;
    plat::RegCloseKey(k);
    return ok;
}

bool WriteDeviceString(plat::HKey root, std::u16string_view key, std::u16string_view name, std::u16string_view value) {
    plat::HKey k = 0;
    if (plat::RegOpenKey(root, key, &k) != 0) return false;
    std::u16string text(value);
    bool ok = plat::RegSetValue(k, name, plat::kRegSz, text.c_str(),
                                static_cast<uint32_t>((text.size() + 1) * sizeof(char16_t))) == 0;
    plat::RegCloseKey(k);
    return ok;
}

bool DeviceKeyExists(plat::HKey root, std::u16string_view key) {
    plat::HKey k = 0;
    if (plat::RegOpenKey(root, key, &k) != 0) return false;
    plat::RegCloseKey(k);
    return true;
}

}  // namespace tlw
