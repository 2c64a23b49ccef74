// Display settings: the screen orientation, changed dynamically as the
// phone's display-settings call does. The orientation is kept where the
// phone keeps it, HKEY_LOCAL_MACHINE\System\GDI\Rotation, value `Angle`
// (degrees), and every change is recorded in the device journal as
// "display orientation DEGREES".
#pragma once

#include <cstdint>

namespace plat {

// Fields of a display mode record that a call gives or asks for.
enum : uint32_t {
    kDmDisplayOrientation = 0x00800000,       // displayOrientation is given (or asked for)
    kDmDisplayQueryOrientation = 0x01000000,  // ask which orientations the display supports
};

// Orientations (displayOrientation).
enum : uint32_t {
    kDmdo0 = 0,    // portrait, as built
    kDmdo90 = 1,   // turned 90 degrees
    kDmdo180 = 2,  // upside down
    kDmdo270 = 4,  // turned 270 degrees
};

// Flags of ChangeDisplaySettingsEx.
enum : uint32_t {
    kCdsTest = 0x00000002,  // change nothing: read the current orientation or check a mode
    kCdsReset = 0x40000000, // apply even when unchanged (accepted; every change applies)
};

// Results of ChangeDisplaySettingsEx.
enum : int32_t {
    kDispChangeSuccessful = 0,
    kDispChangeFailed = -1,   // the setting could not be stored
    kDispChangeBadMode = -2,  // an orientation the display does not have, or fields it cannot change
    kDispChangeBadFlags = -4, // unknown flags
    kDispChangeBadParam = -5, // no record, or no field given
};

// The part of the display mode record that the phone's programs use.
struct DisplayMode {
    uint32_t fields = 0;              // kDm* bits: which fields are given or asked for
    uint32_t displayOrientation = 0;  // kDmdo* value (with kDmDisplayOrientation); supported mask for a query
};

// With kDmDisplayOrientation and no kCdsTest: turns the screen to
// mode->displayOrientation. With kCdsTest: kDmDisplayOrientation fills
// mode->displayOrientation with the current orientation,
// kDmDisplayQueryOrientation with the mask of supported orientations
// (kDmdo90 | kDmdo180 | kDmdo270; 0 degrees is always supported).
int32_t ChangeDisplaySettingsEx(DisplayMode* mode, uint32_t flags);

// The current orientation (kDmdo* value); kDmdo0 when none was ever set.
uint32_t GetDisplayOrientation();

// Degrees of an orientation value (0, 90, 180, 270), -1 for another value.
int32_t OrientationDegrees(uint32_t orientation);

}  // namespace plat
