// Decoding of ".bmp" files and of the DIBs inside icon files. Every length
// and offset read from the data is checked before it is used.
#include "platform/gdi/gdi_dib_decode.h"

#include <bit>
#include <new>

#include "platform/gdi/gdi_objects.h"

namespace plat::gdi {
namespace {

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// Reads one channel out of a packed pixel through its mask, scaled to 8 bits.
uint8_t Channel(uint32_t value, uint32_t mask) {
    if (mask == 0) return 0;
    int shift = std::countr_zero(mask);
    uint32_t max = mask >> shift;
    return uint8_t(((value & mask) >> shift) * 255u / max);
}

}  // namespace

bool DecodeDib(const uint8_t* data, size_t size, size_t pixelOffset, bool iconMode, DecodedDib* out) {
    if (!data || size < 40) return false;
    uint32_t headerSize = U32(data);
    if (headerSize < 40 || headerSize > size) return false;
    int32_t width = int32_t(U32(data + 4));
    int32_t rawHeight = int32_t(U32(data + 8));
    uint16_t planes = U16(data + 12);
    uint16_t bitCount = U16(data + 14);
    uint32_t compression = U32(data + 16);
    uint32_t colorsUsed = U32(data + 32);
    if (planes != 1 || width <= 0 || width > kMaxBitmapSide || rawHeight == 0 || rawHeight == INT32_MIN) return false;
    bool topDown = rawHeight < 0;
    int64_t height = topDown ? -int64_t(rawHeight) : rawHeight;
    if (iconMode) {
        if (topDown || height % 2 != 0) return false;
        height /= 2;
    }
    if (height <= 0 || height > kMaxBitmapSide) return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return false;

    // Colour masks: inside a later header, or after a 40-byte one.
    size_t pos = headerSize;
    uint32_t masks[4] = {0, 0, 0, 0};
    if (compression == kBiBitfields) {
        if (bitCount != 16 && bitCount != 32) return false;
        if (headerSize >= 52) {
            for (int i = 0; i < 3; ++i) masks[i] = U32(data + 40 + 4 * i);
            if (headerSize >= 56) masks[3] = U32(data + 52);
        } else {
            if (size - pos < 12) return false;
            for (int i = 0; i < 3; ++i) masks[i] = U32(data + pos + 4 * i);
            pos += 12;
        }
    } else if (compression == kBiRgb) {
        if (bitCount == 16) {
            masks[0] = 0x7C00;
            masks[1] = 0x03E0;
            masks[2] = 0x001F;
        }
    } else {
        return false;  // run-length and embedded formats are not used here
    }

    // Palette.
    std::vector<ColorRef> palette;
    if (bitCount <= 8) {
        uint32_t maxColors = 1u << bitCount;
        uint32_t count = colorsUsed == 0 ? maxColors : colorsUsed;
        if (count > maxColors || (size - pos) / 4 < count) return false;
        palette.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* p = data + pos + 4 * size_t(i);
            palette[i] = Rgb(p[2], p[1], p[0]);
        }
        pos += 4 * size_t(count);
    }

    size_t offset = pixelOffset != 0 ? pixelOffset : pos;
    size_t stride = ((size_t(width) * bitCount + 31) / 32) * 4;
    size_t maskStride = ((size_t(width) + 31) / 32) * 4;
    size_t need = stride * size_t(height) + (iconMode ? maskStride * size_t(height) : 0);
    if (offset > size || size - offset < stride * size_t(height)) return false;
    bool haveMask = iconMode && size - offset >= need;
    if (iconMode && !haveMask && bitCount != 32) return false;

    DecodedDib d;
    d.width = width;
    d.height = int32_t(height);
    size_t pixels = size_t(width) * size_t(height);
    try {
        d.colors.resize(pixels);
        if (bitCount == 32) d.alpha.resize(pixels);
        if (iconMode) d.mask.assign(pixels, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    d.monochrome = bitCount == 1 && palette.size() == 2 && palette[0] == 0 && palette[1] == 0xFFFFFF && !iconMode;

    for (int32_t y = 0; y < d.height; ++y) {
        size_t memRow = topDown ? size_t(y) : size_t(d.height - 1 - y);
        const uint8_t* row = data + offset + memRow * stride;
        for (int32_t x = 0; x < width; ++x) {
            size_t i = size_t(y) * size_t(width) + size_t(x);
            ColorRef c = 0;
            switch (bitCount) {
            case 1:
            case 4:
            case 8: {
                size_t bit = size_t(x) * bitCount;
                uint32_t index = (row[bit / 8] >> (8 - bitCount - bit % 8)) & ((1u << bitCount) - 1);
                if (index >= palette.size()) return false;
                c = palette[index];
                break;
            }
            case 16: {
                uint32_t v = U16(row + size_t(x) * 2);
                c = Rgb(Channel(v, masks[0]), Channel(v, masks[1]), Channel(v, masks[2]));
                break;
            }
            case 24: {
                const uint8_t* p = row + size_t(x) * 3;
                c = Rgb(p[2], p[1], p[0]);
                break;
            }
            default: {
                const uint8_t* p = row + size_t(x) * 4;
                if (compression == kBiBitfields) {
                    uint32_t v = U32(p);
                    c = Rgb(Channel(v, masks[0]), Channel(v, masks[1]), Channel(v, masks[2]));
                    d.alpha[i] = masks[3] ? Channel(v, masks[3]) : 0;
                } else {
                    c = Rgb(p[2], p[1], p[0]);
                    d.alpha[i] = p[3];
                }
                d.hasAlpha = d.hasAlpha || d.alpha[i] != 0;
                break;
            }
            }
            d.colors[i] = c;
        }
    }
    if (haveMask) {
        const uint8_t* maskBase = data + offset + stride * size_t(height);
        for (int32_t y = 0; y < d.height; ++y) {
            const uint8_t* row = maskBase + size_t(d.height - 1 - y) * maskStride;
            for (int32_t x = 0; x < width; ++x)
                d.mask[size_t(y) * size_t(width) + size_t(x)] = (row[x / 8] >> (7 - x % 8)) & 1;
        }
    } else if (iconMode) {
        for (size_t i = 0; i < pixels; ++i) d.mask[i] = d.alpha[i] == 0 ? 1 : 0;
    }
    *out = std::move(d);
    return true;
}

bool DecodeBmp(const uint8_t* data, size_t size, DecodedDib* out) {
    if (!data) return false;
    if (size >= 14 && data[0] == 'B' && data[1] == 'M') {
        uint32_t pixelOffset = U32(data + 10);
        if (pixelOffset < 14 || pixelOffset > size) return false;
        return DecodeDib(data + 14, size - 14, pixelOffset - 14, false, out);
    }
    return DecodeDib(data, size, 0, false, out);
}

}  // namespace plat::gdi
