// Internal to the drawing layer: reading and writing single pixels of a
// bitmap record in any of its depths, the blend of one channel, raster
// operation evaluation and brush sampling. Callers clip first: the helpers
// do not check coordinates.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_objects.h"

namespace plat::gdi {

// Start of row y (0 = top) of the bitmap.
inline uint8_t* RowAt(BitmapObj& b, int32_t y) {
    int32_t memRow = b.topDown ? y : b.height - 1 - y;
    return b.storage.data() + size_t(memRow) * size_t(b.stride);
}
inline const uint8_t* RowAt(const BitmapObj& b, int32_t y) {
    int32_t memRow = b.topDown ? y : b.height - 1 - y;
    return b.storage.data() + size_t(memRow) * size_t(b.stride);
}

// A colour seen by a monochrome bitmap: white (1) when its brightness is at
// least half.
inline bool MonoBitOf(ColorRef c) {
    uint32_t luma = RedOf(c) * 299u + GreenOf(c) * 587u + BlueOf(c) * 114u;
    return luma >= 128u * 1000u;
}

inline ColorRef ReadPixel(const BitmapObj& b, int32_t x, int32_t y) {
    const uint8_t* row = RowAt(b, y);
    switch (b.bitCount) {
    case 1:
        return (row[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFFu : 0u;
    case 24: {
        const uint8_t* p = row + size_t(x) * 3;
        return Rgb(p[2], p[1], p[0]);
    }
    default: {
        const uint8_t* p = row + size_t(x) * 4;
        return Rgb(p[2], p[1], p[0]);
    }
    }
}

// Writes a colour; a 32-bit pixel's fourth byte becomes 0, as drawing does.
inline void WritePixel(BitmapObj& b, int32_t x, int32_t y, ColorRef c) {
    uint8_t* row = RowAt(b, y);
    switch (b.bitCount) {
    case 1:
        if (MonoBitOf(c))
            row[x >> 3] = uint8_t(row[x >> 3] | (0x80 >> (x & 7)));
        else
            row[x >> 3] = uint8_t(row[x >> 3] & ~(0x80 >> (x & 7)));
        return;
    case 24: {
        uint8_t* p = row + size_t(x) * 3;
        p[0] = BlueOf(c);
        p[1] = GreenOf(c);
        p[2] = RedOf(c);
        return;
    }
    default: {
        uint8_t* p = row + size_t(x) * 4;
        p[0] = BlueOf(c);
        p[1] = GreenOf(c);
        p[2] = RedOf(c);
        p[3] = 0;
        return;
    }
    }
}

// The colour a bitmap stores for c (monochrome bitmaps hold black or white).
inline ColorRef NearestColor(const BitmapObj& b, ColorRef c) {
    if (b.bitCount == 1) return MonoBitOf(c) ? 0xFFFFFFu : 0u;
    return c & 0xFFFFFFu;
}

// s over d with alpha a (0..255): division by 255 with rounding, by shifts.
inline uint8_t BlendChannel(uint32_t s, uint32_t d, uint32_t a) {
    uint32_t t = s * a + d * (255 - a) + 128;
    return uint8_t((t + (t >> 8)) >> 8);
}
inline ColorRef BlendColor(ColorRef s, ColorRef d, uint32_t a) {
    return Rgb(BlendChannel(RedOf(s), RedOf(d), a), BlendChannel(GreenOf(s), GreenOf(d), a),
               BlendChannel(BlueOf(s), BlueOf(d), a));
}

// The ROP3 code byte of a raster operation.
inline uint8_t RopCode(uint32_t rop) { return uint8_t((rop >> 16) & 0xFF); }
// Whether the operation's result depends on the pattern, source, destination.
inline bool RopUsesPattern(uint8_t code) { return ((code >> 4) & 0x0F) != (code & 0x0F); }
inline bool RopUsesSource(uint8_t code) { return ((code >> 2) & 0x33) != (code & 0x33); }
inline bool RopUsesDest(uint8_t code) { return ((code >> 1) & 0x55) != (code & 0x55); }

// Evaluates a ROP3 bitwise on 24-bit colours: bit i of the code is the
// result for pattern bit (i >> 2 & 1), source bit (i >> 1 & 1), destination
// bit (i & 1).
inline ColorRef Rop3(uint8_t code, ColorRef p, ColorRef s, ColorRef d) {
    switch (code) {
    case 0xCC: return s;
    case 0xF0: return p;
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFF;
    default: break;
    }
    uint32_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (!(code & (1 << i))) continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r & 0xFFFFFFu;
}

// The brush's colour at device pixel (x, y) of a DC with that state;
// patterns start at the brush origin. Not for null brushes.
inline ColorRef BrushColorAt(const BrushObj& brush, const DcState& state, int32_t x, int32_t y) {
    if (brush.style != BrushObj::Style::kPattern) return brush.color;
    int32_t px = (x - state.brushOrg.x) % brush.patternWidth;
    int32_t py = (y - state.brushOrg.y) % brush.patternHeight;
    if (px < 0) px += brush.patternWidth;
    if (py < 0) py += brush.patternHeight;
    ColorRef c = brush.pattern[size_t(py) * size_t(brush.patternWidth) + size_t(px)];
    if (brush.monoPattern) return c ? state.bkColor : state.textColor;
    return c;
}

// Fills the (already clipped) area with the brush combined with the
// destination by the ROP3 code (pattern-only operations).
void FillArea(BitmapObj& target, const Rect& area, const BrushObj& brush, const DcState& state,
              uint8_t code);

// Fills area (device pixels, not yet clipped) of the DC's target with brush.
void FillClipped(DcObj& dc, const Rect& area, const BrushObj& brush, uint8_t code);

}  // namespace plat::gdi
