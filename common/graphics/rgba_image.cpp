#include "common/graphics/rgba_image.h"

#include <algorithm>
#include <new>
#include <utility>

namespace tlw {

bool ImageSizeAllowed(uint64_t width, uint64_t height) {
    if (width == 0 || height == 0) return false;
    if (width > kMaxImageSide || height > kMaxImageSide) return false;
    return width * height <= kMaxImagePixels;
}

bool AllocateImage(RgbaImage* image, uint32_t width, uint32_t height) {
    FreeImage(image);
    if (!ImageSizeAllowed(width, height)) return false;
    std::size_t count = static_cast<std::size_t>(width) * height;
    // A failed allocation must not escape as an exception: free what exists
    // and report failure like any other bad image.
    try {
        image->red.assign(count, 0);
        image->green.assign(count, 0);
        image->blue.assign(count, 0);
        image->alpha.assign(count, 0);
    } catch (const std::bad_alloc&) {
        FreeImage(image);
        return false;
    }
    image->width = width;
    image->height = height;
    return true;
}

bool ImageHasPixels(const RgbaImage& image) {
    std::size_t count = static_cast<std::size_t>(image.width) * image.height;
    return count != 0 && image.alpha.size() == count && image.red.size() == count &&
           image.green.size() == count && image.blue.size() == count;
}

bool CreateSolidImage(RgbaImage* image, uint32_t width, uint32_t height, Colour colour, uint8_t alpha) {
    if (!AllocateImage(image, width, height)) return false;
    std::fill(image->red.begin(), image->red.end(), ColourRed(colour));
    std::fill(image->green.begin(), image->green.end(), ColourGreen(colour));
    std::fill(image->blue.begin(), image->blue.end(), ColourBlue(colour));
    std::fill(image->alpha.begin(), image->alpha.end(), alpha);
    return true;
}

void FreeImage(RgbaImage* image) {
    // Swapping with empty vectors really returns the memory.
    std::vector<uint8_t>().swap(image->red);
    std::vector<uint8_t>().swap(image->green);
    std::vector<uint8_t>().swap(image->blue);
    std::vector<uint8_t>().swap(image->alpha);
    image->width = 0;
    image->height = 0;
}

bool CopyImage(RgbaImage* destination, const RgbaImage& source) {
    if (destination == &source) return true;
    if (!ImageHasPixels(source)) {
        FreeImage(destination);
        return true;
    }
    RgbaImage copy;
    try {
        copy.red = source.red;
        copy.green = source.green;
        copy.blue = source.blue;
        copy.alpha = source.alpha;
    } catch (const std::bad_alloc&) {
        FreeImage(destination);
        return false;
    }
    copy.width = source.width;
    copy.height = source.height;
    SwapImages(destination, &copy);
    return true;
}

void SwapImages(RgbaImage* a, RgbaImage* b) {
    a->red.swap(b->red);
    a->green.swap(b->green);
    a->blue.swap(b->blue);
    a->alpha.swap(b->alpha);
    std::swap(a->width, b->width);
    std::swap(a->height, b->height);
}

void TintImage(RgbaImage* image, uint8_t red, uint8_t green, uint8_t blue, uint8_t strength) {
    if (!ImageHasPixels(*image)) return;
    std::size_t count = image->alpha.size();
    for (std::size_t i = 0; i < count; ++i) {
        image->red[i] = BlendChannel(red, image->red[i], strength);
        image->green[i] = BlendChannel(green, image->green[i], strength);
        image->blue[i] = BlendChannel(blue, image->blue[i], strength);
    }
}

}  // namespace tlw
