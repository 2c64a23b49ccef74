// The rounded rectangle of the popup menu's panels and buttons, drawn like
// the other alpha routines (capture, blend per pixel, write back): a filled
// body, a one-pixel border and corners rounded over six pixels whose edge
// pixels are blended with the border colour by their distance from the
// curve, so the corners are smooth on any background.
#pragma once

#include <cstdint>

#include "common/graphics/blend.h"
#include "platform/gdi/gdi_types.h"

namespace tlw {

// Corner radius in pixels.
constexpr int32_t kRoundedCornerPixels = 6;

// Alphas of the border colour over the pixels near a corner's curve, from
// the nearest (within 0.4 pixel of the curve) to the farthest (within 1.6).
constexpr uint8_t kCornerEdgeAlphas[4] = {180, 80, 40, 15};

// With highlight: the top half of the body is white over the body colour at
// alpha 30, its first row at alpha 50; the last row of the body is a shade,
// the body colour over black at alpha 140.
constexpr uint8_t kHighlightBandAlpha = 30;
constexpr uint8_t kHighlightEdgeAlpha = 50;
constexpr uint8_t kShadeAlpha = 140;

// Draws the rectangle (x, y, width, height) on hdc. Pixels outside the
// rounded corners keep the background. Returns false when the area could not
// be captured or written back.
bool DrawRoundedRect(plat::Hdc hdc, int32_t x, int32_t y, int32_t width, int32_t height, Colour body,
                     Colour border, bool highlight);

}  // namespace tlw
