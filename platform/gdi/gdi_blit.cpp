// Block transfers between device contexts: BitBlt, StretchBlt (nearest
// neighbour) and TransparentBlt, with any ROP3 and conversion between
// monochrome and colour.
#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_pixels.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace {

using namespace gdi;

// A transfer request after mirroring is taken out: both sizes positive.
struct Transfer {
    int32_t x, y, width, height;           // destination rectangle
    int32_t xSrc, ySrc, widthSrc, heightSrc;  // source rectangle
    bool mirrorX, mirrorY;                 // source read right-to-left / bottom-up
};

// Turns a (position, signed size) pair into a positive extent; a negative
// size covers the pixels from position + size + 1 up to position.
void Normalise(int32_t* pos, int32_t* size, bool* mirrored) {
    if (*size < 0) {
        *pos = *pos + *size + 1;
        *size = -*size;
        *mirrored = !*mirrored;
    }
}

// Copies rows of equal-depth colour bitmaps without stretching (SRCCOPY).
void CopyRows(BitmapObj& dst, const Rect& area, const BitmapObj& src, int32_t dx, int32_t dy) {
    for (int32_t y = area.top; y < area.bottom; ++y) {
        const uint8_t* in = RowAt(src, y + dy);
        uint8_t* out = RowAt(dst, y);
        if (src.bitCount == dst.bitCount && dst.bitCount == 24) {
            std::memcpy(out + size_t(area.left) * 3, in + size_t(area.left + dx) * 3, size_t(area.right - area.left) * 3);
            continue;
        }
        for (int32_t x = area.left; x < area.right; ++x) {
            const uint8_t* p = in + size_t(x + dx) * (src.bitCount / 8);
            uint8_t* q = out + size_t(x) * (dst.bitCount / 8);
            q[0] = p[0];
            q[1] = p[1];
            q[2] = p[2];
            if (dst.bitCount == 32) q[3] = 0;
        }
    }
}

bool DoTransfer(Hdc dstDc, int32_t x, int32_t y, int32_t width, int32_t height, Hdc srcDc, int32_t xSrc,
                int32_t ySrc, int32_t widthSrc, int32_t heightSrc, uint32_t rop,
                std::optional<ColorRef> transparent) {
    GdiGuard guard(Lock());
    DcObj* dst = FindDc(dstDc);
    if (!dst) return false;
    uint8_t code = RopCode(rop);
    BitmapObj* target = TargetBitmap(*dst);
    Rect area = DrawableArea(*dst, *target);
    if (!RopUsesSource(code) && !transparent) {
        BrushObj* brush = FindBrush(dst->state.brush);
        if (!brush) return false;
        Rect r{std::min(x, x + width), std::min(y, y + height), std::max(x, x + width), std::max(y, y + height)};
        FillArea(*target, Intersect(r, area), *brush, dst->state, code);
        return true;
    }
    DcObj* src = FindDc(srcDc);
    if (!src) return false;
    if (width == 0 || height == 0 || widthSrc == 0 || heightSrc == 0) return true;
    auto fits = [](int64_t v) { return v > INT32_MIN / 2 && v < INT32_MAX / 2; };
    if (!fits(int64_t(x) + width) || !fits(int64_t(y) + height) || !fits(int64_t(xSrc) + widthSrc) ||
        !fits(int64_t(ySrc) + heightSrc) || !fits(x) || !fits(y) || !fits(xSrc) || !fits(ySrc)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    Transfer t{x, y, width, height, xSrc, ySrc, widthSrc, heightSrc, false, false};
    Normalise(&t.x, &t.width, &t.mirrorX);
    Normalise(&t.y, &t.height, &t.mirrorY);
    Normalise(&t.xSrc, &t.widthSrc, &t.mirrorX);
    Normalise(&t.ySrc, &t.heightSrc, &t.mirrorY);

    BitmapObj* source = TargetBitmap(*src);
    Rect dstRect = Intersect(Rect{t.x, t.y, t.x + t.width, t.y + t.height}, area);
    if (IsEmpty(dstRect)) return true;
    bool stretched = t.width != t.widthSrc || t.height != t.heightSrc || t.mirrorX || t.mirrorY;

    // Fast path: plain copy between colour bitmaps of the same size.
    if (!stretched && code == RopCode(kSrcCopy) && !transparent && source != target &&
        source->bitCount != 1 && target->bitCount != 1) {
        int32_t dx = t.xSrc - t.x, dy = t.ySrc - t.y;
        Rect srcBounds{-dx, -dy, source->width - dx, source->height - dy};
        CopyRows(*target, Intersect(dstRect, srcBounds), *source, dx, dy);
        return true;
    }

    // Source column and row for every destination column and row.
    auto sourceIndex = [](int32_t i, int32_t dstSize, int32_t srcSize, bool mirror) {
        int32_t s = int32_t((int64_t(2 * int64_t(i) + 1) * srcSize) / (2 * int64_t(dstSize)));
        return mirror ? srcSize - 1 - s : s;
    };
    std::vector<int32_t> columns(size_t(dstRect.right - dstRect.left));
    for (int32_t xx = dstRect.left; xx < dstRect.right; ++xx)
        columns[size_t(xx - dstRect.left)] = t.xSrc + sourceIndex(xx - t.x, t.width, t.widthSrc, t.mirrorX);

    // Reading the destination's own bitmap: work from a copy of it.
    BitmapObj copy;
    const BitmapObj* from = source;
    if (source == target) {
        copy = *source;
        from = &copy;
    }
    BrushObj* brush = RopUsesPattern(code) ? FindBrush(dst->state.brush) : nullptr;
    bool monoToColor = from->bitCount == 1 && target->bitCount != 1;
    bool colorToMono = from->bitCount != 1 && target->bitCount == 1;
    bool usesDest = RopUsesDest(code);
    for (int32_t yy = dstRect.top; yy < dstRect.bottom; ++yy) {
        int32_t sy = t.ySrc + sourceIndex(yy - t.y, t.height, t.heightSrc, t.mirrorY);
        if (sy < 0 || sy >= from->height) continue;
        for (int32_t xx = dstRect.left; xx < dstRect.right; ++xx) {
            int32_t sx = columns[size_t(xx - dstRect.left)];
            if (sx < 0 || sx >= from->width) continue;
            ColorRef s = ReadPixel(*from, sx, sy);
            if (transparent && s == (*transparent & 0xFFFFFF)) continue;
            if (monoToColor) s = s ? dst->state.bkColor : dst->state.textColor;
            else if (colorToMono) s = s == src->state.bkColor ? 0xFFFFFFu : 0u;
            ColorRef p = 0;
            if (brush && brush->style != BrushObj::Style::kNull) p = BrushColorAt(*brush, dst->state, xx, yy);
            ColorRef d = usesDest ? ReadPixel(*target, xx, yy) : 0;
            WritePixel(*target, xx, yy, Rop3(code, p, s, d));
        }
    }
    return true;
}

}  // namespace

bool BitBlt(Hdc dst, int32_t x, int32_t y, int32_t width, int32_t height, Hdc src, int32_t xSrc,
            int32_t ySrc, uint32_t rop) {
    return DoTransfer(dst, x, y, width, height, src, xSrc, ySrc, width, height, rop, std::nullopt);
}

bool StretchBlt(Hdc dst, int32_t x, int32_t y, int32_t width, int32_t height, Hdc src, int32_t xSrc,
                int32_t ySrc, int32_t widthSrc, int32_t heightSrc, uint32_t rop) {
    return DoTransfer(dst, x, y, width, height, src, xSrc, ySrc, widthSrc, heightSrc, rop, std::nullopt);
}

bool TransparentBlt(Hdc dst, int32_t x, int32_t y, int32_t width, int32_t height, Hdc src, int32_t xSrc,
                    int32_t ySrc, int32_t widthSrc, int32_t heightSrc, ColorRef transparent) {
    if (width < 0 || height < 0 || widthSrc < 0 || heightSrc < 0) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    return DoTransfer(dst, x, y, width, height, src, xSrc, ySrc, widthSrc, heightSrc, kSrcCopy,
                      transparent);
}

}  // namespace plat
