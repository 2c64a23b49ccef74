// Internal to the drawing layer: the phone's typeface through FreeType.
// Faces are opened once per cut and size and keep a cache of rendered
// glyphs (8-bit coverage). Callers hold the drawing lock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace plat::gdi {

// One rendered glyph.
struct Glyph {
    int32_t left = 0;               // pixels from the pen position to the bitmap's left edge
    int32_t top = 0;                // pixels from the baseline up to the bitmap's top row
    int32_t width = 0;              // bitmap columns
    int32_t rows = 0;               // bitmap rows
    int32_t advance = 0;            // pen movement in whole pixels
    std::vector<uint8_t> coverage;  // width * rows, 0 = none, 255 = full, top row first
};

// Measurements of a face at one size, in pixels.
struct FaceMetrics {
    int32_t em = 0;                  // character height asked for
    int32_t ascent = 0;              // above the baseline
    int32_t descent = 0;             // below the baseline
    int32_t height = 0;              // ascent + descent
    int32_t aveCharWidth = 0;        // advance of "x"
    int32_t maxCharWidth = 0;        // widest advance
    int32_t underlineOffset = 0;     // rows below the baseline to the underline
    int32_t underlineThickness = 1;  // rows of the underline
};

// The largest character height rendered; larger fonts are drawn at this size.
constexpr int32_t kMaxFontEm = 1000;

class SizedFace;

// The face for a font record at the current screen dpi (a zero height is
// the system font's); nullptr when the font files cannot be opened.
SizedFace* FaceFor(const LogFont& log);
const FaceMetrics& MetricsOf(const SizedFace* face);
const Glyph& GlyphOf(SizedFace* face, char32_t c);
// The system font's character height at the current dpi: 9 points.
int32_t SystemFontEm();

// UTF-16 to code points; an unpaired surrogate becomes U+FFFD.
std::u32string DecodeUtf16(std::u16string_view text);

}  // namespace plat::gdi
