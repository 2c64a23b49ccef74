// Fuzz target: the TGA decoder over arbitrary bytes. A decode either fails
// with an empty image or gives four planes of exactly width x height bytes;
// it never reads outside the input (the sanitizers watch that).
#include <cstdint>
#include <cstdlib>

#include "common/graphics/tga_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tlw::RgbaImage image;
    tlw::TgaStatus status = tlw::DecodeTga(data, size, &image);
    std::size_t pixels = std::size_t{image.width} * image.height;
    if (status == tlw::TgaStatus::kOk) {
        if (pixels == 0 || image.red.size() != pixels || image.green.size() != pixels ||
            image.blue.size() != pixels || image.alpha.size() != pixels)
            std::abort();
    } else if (pixels != 0 || !image.alpha.empty()) {
        std::abort();
    }
    return 0;
}
