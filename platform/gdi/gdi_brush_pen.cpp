// Brushes and pens: solid and pattern brushes, stock brushes and pens.
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_pixels.h"
#include "platform/kernel/last_error.h"

namespace plat {

using namespace gdi;

HBrush CreateSolidBrush(ColorRef color) {
    GdiGuard guard(Lock());
    BrushObj b;
    b.color = color & 0xFFFFFF;
    Object o;
    o.data = std::move(b);
    return HBrush{Add(Kind::kBrush, std::move(o))};
}

HBrush CreatePatternBrush(HBitmap bitmap) {
    GdiGuard guard(Lock());
    BitmapObj* src = FindBitmap(bitmap.value);
    if (!src) return HBrush{};
    BrushObj b;
    b.style = BrushObj::Style::kPattern;
    b.patternWidth = src->width;
    b.patternHeight = src->height;
    b.monoPattern = src->bitCount == 1;
    b.pattern.resize(size_t(src->width) * size_t(src->height));
    for (int32_t y = 0; y < src->height; ++y) {
        for (int32_t x = 0; x < src->width; ++x)
            b.pattern[size_t(y) * size_t(src->width) + size_t(x)] = ReadPixel(*src, x, y);
    }
    b.color = b.pattern[0];
    Object o;
    o.data = std::move(b);
    return HBrush{Add(Kind::kBrush, std::move(o))};
}

HBrush GetStockBrush(int32_t which) {
    if (which < kWhiteBrush || which > kNullBrush) {
        SetLastError(kErrorInvalidParameter);
        return HBrush{};
    }
    GdiGuard guard(Lock());
    return HBrush{Stock(which)};
}

ColorRef GetBrushColor(HBrush brush) {
    GdiGuard guard(Lock());
    BrushObj* b = FindBrush(brush.value);
    if (!b || b->style != BrushObj::Style::kSolid) return kClrInvalid;
    return b->color;
}

HPen CreatePen(int32_t style, int32_t width, ColorRef color) {
    if ((style != kPsSolid && style != kPsDash && style != kPsNull) || width < 0 ||
        width > kMaxBitmapSide || (style == kPsDash && width > 1)) {
        SetLastError(kErrorInvalidParameter);
        return HPen{};
    }
    GdiGuard guard(Lock());
    PenObj p;
    p.style = style;
    p.width = width == 0 ? 1 : width;
    p.color = color & 0xFFFFFF;
    Object o;
    o.data = p;
    return HPen{Add(Kind::kPen, std::move(o))};
}

HPen GetStockPen(int32_t which) {
    if (which < kWhitePen || which > kNullPen) {
        SetLastError(kErrorInvalidParameter);
        return HPen{};
    }
    GdiGuard guard(Lock());
    return HPen{Stock(which)};
}

}  // namespace plat
