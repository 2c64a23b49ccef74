#include "common/graphics/tga_decoder.h"

#include <algorithm>

namespace tlw {
namespace {

constexpr uint8_t kTypeTrueColour = 2;
constexpr uint8_t kTypeTrueColourRle = 10;
constexpr uint32_t kMaxPacketPixels = 128;

uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Writes one pixel stored blue, green, red (and alpha for 4-byte pixels).
inline void PutPixel(RgbaImage* image, std::size_t index, const uint8_t* pixel, uint32_t bytesPerPixel) {
    image->blue[index] = pixel[0];
    image->green[index] = pixel[1];
    image->red[index] = pixel[2];
    image->alpha[index] = bytesPerPixel == 4 ? pixel[3] : 255;
}

// The image row that file row y fills.
inline uint32_t ImageRow(uint32_t fileRow, uint32_t height, bool topDown) {
    return topDown ? fileRow : height - 1 - fileRow;
}

TgaStatus DecodeRaw(const uint8_t* p, const uint8_t* end, uint32_t bytesPerPixel, bool topDown,
                    RgbaImage* image) {
    for (uint32_t y = 0; y < image->height; ++y) {
        std::size_t rowStart = PixelIndex(*image, 0, ImageRow(y, image->height, topDown));
        for (uint32_t x = 0; x < image->width; ++x, p += bytesPerPixel) {
            if (static_cast<std::size_t>(end - p) < bytesPerPixel) return TgaStatus::kTruncatedData;
            PutPixel(image, rowStart + x, p, bytesPerPixel);
        }
    }
    return TgaStatus::kOk;
}

// Run-length packets: a count byte c holds (c & 0x7F) + 1 pixels; with bit 7
// set one pixel value follows and repeats, otherwise that many values follow.
// Packets are read until the row is full. A packet that would run past the
// row end is cut there: its remaining pixels are dropped (the values of a raw
// packet are still stepped over, so the next packet starts where the file
// put it).
TgaStatus DecodeRle(const uint8_t* p, const uint8_t* end, uint32_t bytesPerPixel, bool topDown,
                    RgbaImage* image) {
    for (uint32_t y = 0; y < image->height; ++y) {
        std::size_t rowStart = PixelIndex(*image, 0, ImageRow(y, image->height, topDown));
        uint32_t x = 0;
        while (x < image->width) {
            if (p >= end) return TgaStatus::kTruncatedData;
            uint8_t c = *p++;
            uint32_t count = (c & 0x7Fu) + 1;
            uint32_t used = std::min(count, image->width - x);
            if (c & 0x80) {
                if (static_cast<std::size_t>(end - p) < bytesPerPixel) return TgaStatus::kTruncatedData;
                for (uint32_t i = 0; i < used; ++i) PutPixel(image, rowStart + x + i, p, bytesPerPixel);
                p += bytesPerPixel;
            } else {
                std::size_t bytes = static_cast<std::size_t>(count) * bytesPerPixel;
                if (static_cast<std::size_t>(end - p) < bytes) return TgaStatus::kTruncatedData;
                for (uint32_t i = 0; i < used; ++i)
                    PutPixel(image, rowStart + x + i, p + static_cast<std::size_t>(i) * bytesPerPixel, bytesPerPixel);
                p += bytes;
            }
            x += used;
        }
    }
    return TgaStatus::kOk;
}

// The fewest bytes of pixel data that can describe the image: every pixel
// for type 2; for type 10 one repeat packet (count byte and one value) per
// 128 pixels of every row, since packets never span rows.
uint64_t MinimumPixelBytes(const TgaHeader& h, uint32_t bytesPerPixel) {
    uint64_t width = h.width, height = h.height;
    if (h.imageType == kTypeTrueColour) return width * height * bytesPerPixel;
    uint64_t packetsPerRow = (width + kMaxPacketPixels - 1) / kMaxPacketPixels;
    return height * packetsPerRow * (1 + bytesPerPixel);
}

}  // namespace

bool ReadTgaHeader(const uint8_t* data, std::size_t size, TgaHeader* header) {
    if (data == nullptr || size < kTgaHeaderSize) return false;
    header->idLength = data[0];
    header->colourMapType = data[1];
    header->imageType = data[2];
    header->width = ReadLe16(data + 12);
    header->height = ReadLe16(data + 14);
    header->pixelDepth = data[16];
    header->descriptor = data[17];
    return true;
}

TgaStatus DecodeTga(const uint8_t* data, std::size_t size, RgbaImage* image) {
    FreeImage(image);
    TgaHeader h;
    if (!ReadTgaHeader(data, size, &h)) return TgaStatus::kTruncatedHeader;
    if (h.colourMapType != 0 || (h.imageType != kTypeTrueColour && h.imageType != kTypeTrueColourRle))
        return TgaStatus::kUnsupportedType;
    if (h.pixelDepth != 24 && h.pixelDepth != 32) return TgaStatus::kUnsupportedDepth;
    if (!ImageSizeAllowed(h.width, h.height)) return TgaStatus::kBadSize;
    if (size - kTgaHeaderSize < h.idLength) return TgaStatus::kTruncatedHeader;

    const uint8_t* p = data + kTgaHeaderSize + h.idLength;
    const uint8_t* end = data + size;
    uint32_t bytesPerPixel = h.pixelDepth / 8u;
    // Refuse before allocating when the data cannot possibly fill the image,
    // so that a short file claiming a huge size costs nothing.
    if (static_cast<uint64_t>(end - p) < MinimumPixelBytes(h, bytesPerPixel)) return TgaStatus::kTruncatedData;
    if (!AllocateImage(image, h.width, h.height)) return TgaStatus::kOutOfMemory;

    bool topDown = (h.descriptor & kTgaTopToBottom) != 0;
    TgaStatus status = h.imageType == kTypeTrueColour ? DecodeRaw(p, end, bytesPerPixel, topDown, image)
                                                      : DecodeRle(p, end, bytesPerPixel, topDown, image);
    if (status != TgaStatus::kOk) FreeImage(image);
    return status;
}

}  // namespace tlw
