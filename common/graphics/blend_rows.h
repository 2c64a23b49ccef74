// Row kernels of the alpha drawing routines: one run of destination pixels
// blended in place, with exactly the bytes BlendChannel gives pixel by pixel.
//
// A destination pixel is 3 bytes (blue, green, red) or 4 (blue, green, red
// and an unused byte, which becomes 0 as every drawing call leaves it).
// Alpha 0 keeps a pixel and alpha 255 replaces it; the blend formula gives
// exactly that, so the kernels need no case for either. The image kernel
// uses the widest vectors the processor offers (chosen at run time).
#pragma once

#include <cstdint>

namespace tlw {

// Source pixels from the four planes of an image, one alpha each.
void BlendImageRow(uint8_t* destination, uint32_t pixelBytes, const uint8_t* red, const uint8_t* green,
                   const uint8_t* blue, const uint8_t* alpha, uint32_t count);

// Pixels handled per step of a kernel.
constexpr uint32_t kBlendStep = 256;

// One colour with one alpha, laid out byte for byte like a run of
// destination pixels; prepared once for all rows of an area.
struct SolidSource {
    alignas(32) uint8_t source[kBlendStep * 4];  // channel values of kBlendStep pixels
    alignas(32) uint8_t alpha[kBlendStep * 4];   // their alphas
    uint32_t pixelBytes = 3;                     // destination bytes per pixel
};
void PrepareSolidSource(SolidSource* solid, uint32_t pixelBytes, uint8_t red, uint8_t green, uint8_t blue,
                        uint8_t alpha);

// The colour over every pixel of the run.
void BlendSolidRow(uint8_t* destination, const SolidSource& solid, uint32_t count);

// Source pixels of 3 bytes (blue, green, red), all with the alpha of solid
// (whose colour is not used).
void BlendBgrRow(uint8_t* destination, const SolidSource& solid, const uint8_t* source, uint32_t count);

}  // namespace tlw
