#include "common/graphics/image_scale.h"

namespace tlw {

bool ScaleImage(RgbaImage* destination, const RgbaImage& source, uint32_t width, uint32_t height) {
    if (!ImageHasPixels(source)) {
        FreeImage(destination);
        return false;
    }
    RgbaImage out;
    if (!AllocateImage(&out, width, height)) {
        FreeImage(destination);
        return false;
    }
    for (uint32_t y = 0; y < height; ++y) {
        uint32_t sy = static_cast<uint32_t>((uint64_t(2 * y + 1) * source.height) / (2 * uint64_t(height)));
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t sx = static_cast<uint32_t>((uint64_t(2 * x + 1) * source.width) / (2 * uint64_t(width)));
            std::size_t s = PixelIndex(source, sx, sy), d = PixelIndex(out, x, y);
            out.red[d] = source.red[s];
            out.green[d] = source.green[s];
            out.blue[d] = source.blue[s];
            out.alpha[d] = source.alpha[s];
        }
    }
    SwapImages(destination, &out);
    return true;
}

void FadeImage(RgbaImage* image, uint8_t keep) { TintImage(image, 255, 255, 255, static_cast<uint8_t>(255 - keep)); }

}  // namespace tlw
