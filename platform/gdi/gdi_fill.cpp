// Filling areas with brushes: FillRect, FrameRect, InvertRect and PatBlt,
// and the fill routine the shapes share.
#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_pixels.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace gdi {

void FillArea(BitmapObj& target, const Rect& area, const BrushObj& brush, const DcState& state,
              uint8_t code) {
    if (IsEmpty(area) || (brush.style == BrushObj::Style::kNull && RopUsesPattern(code))) return;
    bool usesDest = RopUsesDest(code);
    bool solid = brush.style == BrushObj::Style::kSolid || !RopUsesPattern(code);
    if (solid && !usesDest && target.bitCount != 1) {
        // Plain colour fill: one colour for the whole area.
        ColorRef c = Rop3(code, brush.color, 0, 0);
        for (int32_t y = area.top; y < area.bottom; ++y) {
            for (int32_t x = area.left; x < area.right; ++x) WritePixel(target, x, y, c);
        }
        return;
    }
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            ColorRef p = brush.style == BrushObj::Style::kNull ? 0 : BrushColorAt(brush, state, x, y);
            ColorRef d = usesDest ? ReadPixel(target, x, y) : 0;
            WritePixel(target, x, y, Rop3(code, p, 0, d));
        }
    }
}

void FillClipped(DcObj& dc, const Rect& area, const BrushObj& brush, uint8_t code) {
    BitmapObj* target = TargetBitmap(dc);
    FillArea(*target, Intersect(area, DrawableArea(dc, *target)), brush, dc.state, code);
}

}  // namespace gdi

using namespace gdi;

bool FillRect(Hdc hdc, const Rect& rect, HBrush brush) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    BrushObj* b = dc ? FindBrush(brush.value) : nullptr;
    if (!b) return false;
    FillClipped(*dc, rect, *b, RopCode(kPatCopy));
    return true;
}

bool FrameRect(Hdc hdc, const Rect& rect, HBrush brush) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    BrushObj* b = dc ? FindBrush(brush.value) : nullptr;
    if (!b) return false;
    if (IsEmpty(rect)) return true;
    uint8_t code = RopCode(kPatCopy);
    FillClipped(*dc, Rect{rect.left, rect.top, rect.right, rect.top + 1}, *b, code);
    FillClipped(*dc, Rect{rect.left, rect.bottom - 1, rect.right, rect.bottom}, *b, code);
    FillClipped(*dc, Rect{rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1}, *b, code);
    FillClipped(*dc, Rect{rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1}, *b, code);
    return true;
}

bool InvertRect(Hdc hdc, const Rect& rect) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return false;
    FillClipped(*dc, rect, BrushObj{}, RopCode(kDstInvert));
    return true;
}

bool PatBlt(Hdc hdc, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t rop) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return false;
    uint8_t code = RopCode(rop);
    if (RopUsesSource(code)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    // Negative sizes extend left or up from (x, y).
    Rect area{std::min(x, x + width), std::min(y, y + height), std::max(x, x + width),
              std::max(y, y + height)};
    BrushObj* brush = FindBrush(dc->state.brush);
    if (!brush) return false;
    FillClipped(*dc, area, *brush, code);
    return true;
}

}  // namespace plat
