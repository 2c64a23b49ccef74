// Decoder of TARGA (TGA) true-colour images, from a file's bytes or a
// resource's memory: uncompressed (type 2) and run-length encoded (type 10),
// 24 or 32 bits per pixel, rows top-down or bottom-up.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/graphics/rgba_image.h"

namespace tlw {

// Why a TGA image did not decode (kOk when it did).
enum class TgaStatus {
    kOk,
    kTruncatedHeader,   // fewer than 18 bytes, or the identification field runs past the end
    kUnsupportedType,   // colour map present, or an image type other than 2 and 10
    kUnsupportedDepth,  // a pixel depth other than 24 and 32
    kBadSize,           // width or height 0, or beyond the library's limits
    kTruncatedData,     // the pixel data ends before the image is complete
    kOutOfMemory,       // the planes could not be allocated
};

// Fields of the 18-byte TGA header that the decoder uses.
struct TgaHeader {
    uint8_t idLength = 0;      // length of the image-identification field after the header
    uint8_t colourMapType = 0; // 0: no colour map (the only kind accepted)
    uint8_t imageType = 0;     // 2 uncompressed true-colour, 10 run-length encoded true-colour
    uint16_t width = 0;        // columns
    uint16_t height = 0;       // rows
    uint8_t pixelDepth = 0;    // bits per pixel: 24 or 32
    uint8_t descriptor = 0;    // bit 5 (0x20) set: rows run from the top
};

constexpr std::size_t kTgaHeaderSize = 18;
constexpr uint8_t kTgaTopToBottom = 0x20;

// Reads the header fields; false when fewer than 18 bytes are given.
bool ReadTgaHeader(const uint8_t* data, std::size_t size, TgaHeader* header);

// Decodes a whole TGA image into image. Every size and length read from the
// data is checked before use: nothing is read past size and nothing is
// allocated that the data could not fill. On failure the image is empty.
TgaStatus DecodeTga(const uint8_t* data, std::size_t size, RgbaImage* image);

}  // namespace tlw
