#include "platform/hardware/display.h"

#include <string>

#include "platform/kernel/last_error.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

constexpr char16_t kRotationKey[] = u"System\\GDI\\Rotation";  // under HKLM
constexpr char16_t kAngleValue[] = u"Angle";                   // degrees

constexpr uint32_t kKnownFlags = kCdsTest | kCdsReset;
constexpr uint32_t kSupportedOrientations = kDmdo90 | kDmdo180 | kDmdo270;

uint32_t OrientationOfDegrees(uint32_t degrees) {
    switch (degrees) {
    case 90: return kDmdo90;
    case 180: return kDmdo180;
    case 270: return kDmdo270;
    default: return kDmdo0;
    }
}

}  // namespace

int32_t OrientationDegrees(uint32_t orientation) {
    switch (orientation) {
    case kDmdo0: return 0;
    case kDmdo90: return 90;
    case kDmdo180: return 180;
    case kDmdo270: return 270;
    default: return -1;
    }
}

uint32_t GetDisplayOrientation() {
    uint32_t degrees = 0;
    RegReadDword(kHkeyLocalMachine, kRotationKey, kAngleValue, &degrees);
    return OrientationOfDegrees(degrees);
}

int32_t ChangeDisplaySettingsEx(DisplayMode* mode, uint32_t flags) {
    if ((flags & ~kKnownFlags) != 0) return kDispChangeBadFlags;
    if (!mode || mode->fields == 0) return kDispChangeBadParam;
    bool test = (flags & kCdsTest) != 0;
    if (mode->fields == kDmDisplayQueryOrientation) {
        if (!test) return kDispChangeBadParam;
        mode->displayOrientation = kSupportedOrientations;
        return kDispChangeSuccessful;
    }
    // The orientation is the only setting the display changes on the fly.
    if (mode->fields != kDmDisplayOrientation) return kDispChangeBadMode;
    if (test) {
        mode->displayOrientation = GetDisplayOrientation();
        return kDispChangeSuccessful;
    }
    int32_t degrees = OrientationDegrees(mode->displayOrientation);
    if (degrees < 0) return kDispChangeBadMode;
    // The registry's own calls, whose error is kept as the last error: the
    // result code alone cannot say that the disk is full.
    HKey key{};
    uint32_t error = RegCreateKey(kHkeyLocalMachine, kRotationKey, &key);
    if (error == kErrorSuccess) {
        uint32_t value = static_cast<uint32_t>(degrees);
        error = RegSetValue(key, kAngleValue, kRegDword, &value, sizeof value);
        RegCloseKey(key);
    }
    if (error != kErrorSuccess) {
        SetLastError(error);
        return kDispChangeFailed;
    }
    JournalAppend("display orientation " + std::to_string(degrees));
    return kDispChangeSuccessful;
}

}  // namespace plat
