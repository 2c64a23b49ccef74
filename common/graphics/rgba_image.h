// RgbaImage: a planar 32-bit image with a separate alpha channel, the image
// type of every skinned, partly transparent drawing. The planes are separate
// allocations of width x height bytes, row-major with row 0 at the top. An
// image without planes is empty (width and height 0).
#pragma once

#include <cstdint>
#include <vector>

#include "common/graphics/blend.h"

namespace tlw {

struct RgbaImage {
    std::vector<uint8_t> red;    // red channel, width x height bytes
    std::vector<uint8_t> green;  // green channel, same size
    std::vector<uint8_t> blue;   // blue channel, same size
    std::vector<uint8_t> alpha;  // opacity: 0 transparent, 255 opaque
    uint32_t height = 0;         // rows
    uint32_t width = 0;          // columns
};

// Largest image the library makes: no side above kMaxImageSide and no more
// than kMaxImagePixels pixels (four planes of 16 MB). Sizes read from files
// are checked against these before anything is allocated.
constexpr uint32_t kMaxImageSide = 8192;
constexpr uint64_t kMaxImagePixels = 16u * 1024u * 1024u;

// True when an image of width x height may be allocated: both sides at least
// 1 and within the limits above.
bool ImageSizeAllowed(uint64_t width, uint64_t height);

// Replaces the image's planes by four new planes of width x height bytes
// (contents zero). Returns false, leaving the image empty, when the size is
// not allowed or memory runs out.
bool AllocateImage(RgbaImage* image, uint32_t width, uint32_t height);

// True when the image has planes (something to draw).
bool ImageHasPixels(const RgbaImage& image);

// Makes a width x height image with every pixel set to colour and alpha.
// Returns false (image empty) when the size is not allowed.
bool CreateSolidImage(RgbaImage* image, uint32_t width, uint32_t height, Colour colour, uint8_t alpha);

// Frees the four planes and sets both sizes to 0.
void FreeImage(RgbaImage* image);

// Duplicates source's planes and sizes into destination (its old planes are
// freed). Returns false, leaving destination empty, when memory runs out.
bool CopyImage(RgbaImage* destination, const RgbaImage& source);

// Exchanges the planes and sizes of two images without copying pixels.
void SwapImages(RgbaImage* a, RgbaImage* b);

// Every pixel's colour becomes the given colour blended over it with alpha =
// strength; the alpha plane is unchanged.
void TintImage(RgbaImage* image, uint8_t red, uint8_t green, uint8_t blue, uint8_t strength);

// Index of pixel (x, y) in the planes; no range check.
inline std::size_t PixelIndex(const RgbaImage& image, uint32_t x, uint32_t y) {
    return static_cast<std::size_t>(y) * image.width + x;
}

}  // namespace tlw
