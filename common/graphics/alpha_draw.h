// Alpha drawing onto device contexts, on the target rectangle clipped to what
// the device context can show, in integer arithmetic: alpha 0 keeps the
// pixel, alpha 255 replaces it, anything between blends with BlendChannel.
// A DC that draws on a DIB section of 24 or 32 bits is blended in place (the
// unused fourth byte of a 32-bit pixel becomes 0, as every drawing call
// leaves it); any other DC has the rectangle copied into a DibSurface,
// blended there and copied back.
#pragma once

#include <cstdint>

#include "common/graphics/blend.h"
#include "common/graphics/rgba_image.h"
#include "platform/gdi/gdi_types.h"

namespace tlw {

// Means "the image's own size" for the sizes of DrawImage and DrawImagePart.
constexpr int32_t kImageSize = -1;

// Draws the whole image at (x, y). A width or height of kImageSize means the
// image's own. When the area is larger (or smaller) than the image, the image
// is repeated from the area's top-left corner: destination pixel (column j,
// row i) takes source pixel (j mod image width, i mod image height).
// Returns false for an empty image (nothing is drawn) or when the area could
// not be captured or written back.
bool DrawImage(const RgbaImage& image, plat::Hdc hdc, int32_t x, int32_t y, int32_t width = kImageSize,
               int32_t height = kImageSize);

// Draws the source rectangle (sourceX, sourceY, sourceWidth, sourceHeight)
// of the image at (x, y). The area drawn is the smaller of the two widths by
// the smaller of the two heights; source pixels outside the image are
// skipped. kImageSize for any of the four sizes means the image's size.
bool DrawImagePart(const RgbaImage& image, plat::Hdc hdc, int32_t x, int32_t y, int32_t width, int32_t height,
                   int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight);

// Blends a solid colour over the area with the given alpha.
bool FillAreaWithAlpha(plat::Hdc hdc, int32_t x, int32_t y, int32_t width, int32_t height, Colour colour,
                       uint8_t alpha);

// The destination area becomes the same area of source blended over it with
// the given alpha (both device contexts use the same coordinates).
bool CrossFade(plat::Hdc destination, int32_t x, int32_t y, int32_t width, int32_t height, plat::Hdc source,
               uint8_t alpha);

// Composites the image over the bitmap: image pixel (j, i) becomes the image
// over bitmap pixel (x + j, y + i) with the image's alpha, and its alpha
// becomes 255, for j < width and i < height (within the image and the
// bitmap). The bitmap is only read.
bool FlattenOntoBitmap(RgbaImage* image, int32_t x, int32_t y, plat::HBitmap bitmap, int32_t width,
                       int32_t height);

// Makes an image of the bitmap's size and pixels, with alpha 0 where the
// pixel equals the key colour and 255 elsewhere. False (image empty) when the
// bitmap cannot be read.
bool ImageFromBitmapWithColourKey(RgbaImage* image, plat::HBitmap bitmap, Colour key);

}  // namespace tlw
