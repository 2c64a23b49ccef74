// The system's own icons: the four a message box shows (stop, question,
// exclamation, information), drawn at any size from their shapes, so they
// stay sharp at every screen density.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_types.h"

namespace plat {

enum class SystemIcon : uint8_t {
    kStop,         // a red disc with a white cross: an error
    kQuestion,     // a blue disc with a white question mark
    kExclamation,  // a yellow triangle with a black exclamation mark: a warning
    kInformation,  // a blue disc with a white "i"
};

// A new icon of the kind, size x size pixels, made from a mask and a 32-bit
// colour bitmap with alpha (anti-aliased edges). The caller destroys it with
// DestroyIcon. No icon for a size outside 1..256.
HIcon LoadSystemIcon(SystemIcon which, int32_t size);

}  // namespace plat
