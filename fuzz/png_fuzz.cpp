// Fuzz target: the PNG path of the imaging component and of icon files.
// Any input must decode or fail cleanly, and a decoded image must hold
// exactly width x height pixels within the size limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/imaging.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::ArgbImage image;
    plat::ImagingResult result = plat::DecodePng(std::span<const uint8_t>(data, size), &image);
    if (result == plat::ImagingResult::kOk) {
        if (image.width == 0 || image.height == 0 || image.width > plat::kMaxImageDimension ||
            image.height > plat::kMaxImageDimension ||
            image.pixels.size() != size_t(image.width) * image.height * 4)
            std::abort();
    } else if (!image.pixels.empty() || image.width != 0) {
        std::abort();
    }
    // The same bytes as the only entry of an icon file.
    std::vector<uint8_t> ico = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0};
    uint32_t length = uint32_t(size), offset = 22;
    for (int i = 0; i < 4; ++i) ico.push_back(uint8_t(length >> (8 * i)));
    for (int i = 0; i < 4; ++i) ico.push_back(uint8_t(offset >> (8 * i)));
    ico.insert(ico.end(), data, data + size);
    plat::HIcon icon = plat::CreateIconFromIco(ico.data(), ico.size(), 16, 16);
    if (icon) plat::DestroyIcon(icon);
    return 0;
}
