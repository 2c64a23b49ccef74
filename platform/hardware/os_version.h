// The platform version as the phone reports it (the version query): the
// device model's major, minor and build numbers, platform id 3 (Windows CE).
#pragma once

#include <cstdint>

namespace plat {

constexpr uint32_t kVerPlatformWinCe = 3;

struct OsVersionInfo {
    uint32_t majorVersion = 0;  // e.g. 5
    uint32_t minorVersion = 0;  // e.g. 2
    uint32_t buildNumber = 0;   // e.g. 19202
    uint32_t platformId = 0;    // kVerPlatformWinCe
};

// Fills *out from the device model; false for a null record.
bool GetVersionEx(OsVersionInfo* out);

}  // namespace plat
