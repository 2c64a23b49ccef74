// Builds TGA files in memory for the graphics tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tlw::test {

// The 18-byte header followed by an identification field of idLength bytes.
inline std::vector<uint8_t> TgaHeaderBytes(uint8_t type, uint16_t width, uint16_t height, uint8_t depth,
                                           uint8_t descriptor, uint8_t idLength = 0) {
    std::vector<uint8_t> h(18, 0);
    h[0] = idLength;
    h[2] = type;
    h[12] = width & 0xFF;
    h[13] = width >> 8;
    h[14] = height & 0xFF;
    h[15] = height >> 8;
    h[16] = depth;
    h[17] = descriptor;
    for (uint8_t i = 0; i < idLength; ++i) h.push_back(0xEE);
    return h;
}

// Appends one pixel stored blue, green, red (and alpha for 32 bits).
inline void AppendPixel(std::vector<uint8_t>* out, uint8_t r, uint8_t g, uint8_t b, uint8_t a, uint8_t depth) {
    out->push_back(b);
    out->push_back(g);
    out->push_back(r);
    if (depth == 32) out->push_back(a);
}

// An uncompressed image whose pixel (x, y) of the picture (y = 0 at the top)
// has red = x, green = y, blue = 7 and alpha = x + y * width + 1; the rows are
// stored in the order the descriptor asks for.
inline std::vector<uint8_t> GradientTga(uint16_t width, uint16_t height, uint8_t depth, bool topDown) {
    std::vector<uint8_t> out = TgaHeaderBytes(2, width, height, depth, topDown ? 0x20 : 0x00);
    for (int row = 0; row < height; ++row) {
        int y = topDown ? row : height - 1 - row;
        for (int x = 0; x < width; ++x)
            AppendPixel(&out, uint8_t(x), uint8_t(y), 7, uint8_t(x + y * width + 1), depth);
    }
    return out;
}

}  // namespace tlw::test
