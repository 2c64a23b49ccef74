#include "platform/window/system_info.h"

#include <sys/random.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <random>
#include <system_error>

#include "platform/storage/device.h"
#include "platform/hardware/device_model.h"
#include "platform/hardware/display.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"

namespace plat {

uint32_t Random() {
    uint32_t value = 0;
    ssize_t n;
    do {
        n = ::getrandom(&value, sizeof value, 0);
    } while (n < 0 && errno == EINTR);
    if (n == static_cast<ssize_t>(sizeof value)) return value;
    // No entropy source: a generator seeded from the clock still gives
    // different numbers from run to run.
    static thread_local std::mt19937 generator(
        static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return generator();
}

bool IsApiReady(uint32_t api) {
    if (api != kShGdi && api != kShWmgr && api != kShShell) return false;
    if (DeviceRoot().empty()) return false;
    std::error_code ec;
    return std::filesystem::is_directory(DeviceStateDir(), ec);
}

int32_t GetSystemMetrics(int32_t index) {
    // Icon sizes follow the screen's density: 32 (16) pixels at 96 dpi.
    auto scaled = [](int32_t pixelsAt96) { return pixelsAt96 * GetScreenDpiX() / 96; };
    // A screen turned by 90 or 270 degrees is as wide as it was high.
    auto turned = [] {
        uint32_t o = GetDisplayOrientation();
        return o == kDmdo90 || o == kDmdo270;
    };
    switch (index) {
        case kSmCxScreen:
            return turned() ? GetScreenSize().cy : GetScreenSize().cx;
        case kSmCyScreen:
            return turned() ? GetScreenSize().cx : GetScreenSize().cy;
        case kSmCxIcon:
        case kSmCyIcon:
            return scaled(32);
        case kSmCxSmIcon:
        case kSmCySmIcon:
            return scaled(16);
        default:
            return 0;
    }
}

bool SystemParametersInfo(uint32_t action, uint32_t sizeBytes, void* buffer, uint32_t winIni) {
    (void)winIni;  // nothing is written to the user profile by these queries
    uint32_t capacity = sizeBytes / sizeof(char16_t);
    if (!buffer || capacity == 0) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    char16_t* text = static_cast<char16_t*>(buffer);
    switch (action) {
        case kSpiGetOemInfo:
            return GetOemInfo(text, capacity);
        case kSpiGetPlatformType: {
            std::u16string_view type = u"PocketPC";
            size_t n = std::min<size_t>(type.size(), capacity - 1);
            type.copy(text, n);
            text[n] = 0;
            return true;
        }
        default:
            SetLastError(kErrorInvalidParameter);
            return false;
    }
}

}  // namespace plat
