// Resizing an image for drawing at another size (a profile icon in the
// taskbar, a large icon in a list row).
#pragma once

#include <cstdint>

#include "common/graphics/rgba_image.h"

namespace tlw {

// Makes destination a width x height copy of source, each pixel taken from
// the source pixel under its centre (nearest neighbour, alpha included).
// False (destination empty) for an empty source or a size not allowed.
bool ScaleImage(RgbaImage* destination, const RgbaImage& source, uint32_t width, uint32_t height);

// Blends every pixel's colour with white at the given alpha of the image
// (alpha 127 draws it half transparent on a white row); alpha is unchanged.
void FadeImage(RgbaImage* image, uint8_t keep);

}  // namespace tlw
