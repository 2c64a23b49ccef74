// Registry access of the device operations: each opens an existing key, does
// one read or write and closes it again. A key that does not open makes the
// step fall away (nothing is created), as the device's own control panels
// expect their keys to be there.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/storage/registry.h"

namespace tlw {

// Reads a DWORD; false (and *value unchanged) when the key or value is missing.
bool ReadDeviceDword(plat::HKey root, std::u16string_view key, std::u16string_view name, uint32_t* value);
// Writes a DWORD / string into a key that exists; false when it does not open.
bool WriteDeviceDword(plat::HKey root, std::u16string_view key, std::u16string_view name, uint32_t value);
bool WriteDeviceString(plat::HKey root, std::u16string_view key, std::u16string_view name, std::u16string_view value);
// True when the key opens.
bool DeviceKeyExists(plat::HKey root, std::u16string_view key);

}  // namespace tlw
