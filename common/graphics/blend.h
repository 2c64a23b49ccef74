// The alpha blend of one colour channel, used by every drawing routine of the
// image library, and the colour helpers around it. Colours passed as one
// integer use the platform's 0x00BBGGRR order: red in the low byte.
#pragma once

#include <cstdint>

namespace tlw {

// A colour in the platform's 0x00BBGGRR order.
using Colour = uint32_t;

constexpr Colour MakeColour(uint32_t red, uint32_t green, uint32_t blue) {
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}
constexpr uint8_t ColourRed(Colour c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t ColourGreen(Colour c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t ColourBlue(Colour c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

// Source s over destination d with alpha a (0 transparent ... 255 opaque):
// (s * a + d * (255 - a)) / 255 rounded to nearest, computed with shifts and
// no division: t = s*a + d*(255-a) + 128; result = (t + (t >> 8)) >> 8.
// Alpha 255 gives s exactly, alpha 0 gives d exactly.
constexpr uint8_t BlendChannel(uint32_t s, uint32_t d, uint32_t a) {
    uint32_t t = s * a + d * (255u - a) + 128u;
    return static_cast<uint8_t>((t + (t >> 8)) >> 8);
}

// Colour 1 over colour 2 with the given alpha, as one 0x00BBGGRR value.
constexpr Colour BlendColour(Colour colour1, Colour colour2, uint32_t alpha) {
    return MakeColour(BlendChannel(ColourRed(colour1), ColourRed(colour2), alpha),
                      BlendChannel(ColourGreen(colour1), ColourGreen(colour2), alpha),
                      BlendChannel(ColourBlue(colour1), ColourBlue(colour2), alpha));
}

}  // namespace tlw
