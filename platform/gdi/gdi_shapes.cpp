// Lines, rectangles, rounded rectangles, ellipses and single pixels.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_pixels.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace {

using namespace gdi;

// Dashes of a kPsDash pen: this many pixels drawn, then as many skipped.
constexpr int32_t kDashLength = 4;

// Paints one point of a pen: a square of the pen's width centred on it.
void Stamp(BitmapObj& target, const Rect& area, const PenObj& pen, int32_t x, int32_t y) {
    int32_t half = pen.width / 2;
    Rect square = Intersect(Rect{x - half, y - half, x - half + pen.width, y - half + pen.width}, area);
    for (int32_t yy = square.top; yy < square.bottom; ++yy)
        for (int32_t xx = square.left; xx < square.right; ++xx) WritePixel(target, xx, yy, pen.color);
}

// Draws the line from (x0, y0) towards (x1, y1), without its end point.
void DrawLine(DcObj& dc, const PenObj& pen, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    if (pen.style == kPsNull) return;
    BitmapObj* target = TargetBitmap(dc);
    Rect area = DrawableArea(dc, *target);
    int64_t dx = std::llabs(int64_t(x1) - x0), dy = -std::llabs(int64_t(y1) - y0);
    int32_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int64_t err = dx + dy;
    int64_t steps = std::max(dx, -dy);
    int32_t x = x0, y = y0;
    for (int64_t i = 0; i < steps; ++i) {
        bool draw = pen.style != kPsDash || (i / kDashLength) % 2 == 0;
        if (draw) Stamp(*target, area, pen, x, y);
        int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// The pixels of a rounded box [left, right] x [top, bottom] (inclusive)
// with corner ellipse ew x eh: for each row, the first and last column
// inside (first > last for an empty row).
struct Spans {
    int32_t top = 0;                 // first row
    std::vector<int32_t> first;      // per row: first column inside
    std::vector<int32_t> last;       // per row: last column inside
    bool Inside(int32_t x, int32_t y) const {
        if (y < top || y >= top + int32_t(first.size())) return false;
        size_t i = size_t(y - top);
        return x >= first[i] && x <= last[i];
    }
};

// Only rows rowFrom .. rowTo are computed (the rest count as outside).
Spans RoundedSpans(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t ew, int32_t eh,
                   int32_t rowFrom, int32_t rowTo) {
    Spans s;
    if (bottom < top || right < left) return s;
    double ra = std::min(double(std::max(ew, 0)), double(right) - left + 1) / 2.0;
    double rb = std::min(double(std::max(eh, 0)), double(bottom) - top + 1) / 2.0;
    int32_t from = std::max(top, rowFrom), to = std::min(bottom, rowTo);
    s.top = from;
    if (to < from) return s;
    s.first.resize(size_t(to - from + 1));
    s.last.resize(size_t(to - from + 1));
    for (int32_t y = from; y <= to; ++y) {
        double cy = y + 0.5, dy = 0;
        if (cy < top + rb) dy = top + rb - cy;
        else if (cy > bottom + 1 - rb) dy = cy - (bottom + 1 - rb);
        int32_t xl = left, xr = right;
        if (dy > 0 && ra > 0 && rb > 0) {
            double q = dy / rb;
            double dx = ra * std::sqrt(std::max(0.0, 1.0 - q * q));
            xl = int32_t(std::ceil(left + ra - dx - 0.5));
            xr = int32_t(std::floor(right + 1 - ra + dx - 0.5));
        }
        s.first[size_t(y - from)] = xl;
        s.last[size_t(y - from)] = xr;
    }
    return s;
}

// Draws a shape given by its spans: the pen on every inside pixel that
// touches the outside, the brush on the rest.
// Only pixels within `reach` of the drawable area are visited.
void DrawSpans(DcObj& dc, const Spans& spans, bool usePen, int32_t reach) {
    BitmapObj* target = TargetBitmap(dc);
    Rect area = DrawableArea(dc, *target);
    PenObj* pen = FindPen(dc.state.pen);
    BrushObj* brush = FindBrush(dc.state.brush);
    bool drawPen = usePen && pen && pen->style != kPsNull;
    bool fill = brush && brush->style != BrushObj::Style::kNull;
    std::vector<Point> edge;
    for (size_t i = 0; i < spans.first.size(); ++i) {
        int32_t y = spans.top + int32_t(i);
        int32_t from = std::max(spans.first[i], area.left - reach);
        int32_t to = std::min(spans.last[i], area.right + reach);
        for (int32_t x = from; x <= to; ++x) {
            bool border = drawPen && (!spans.Inside(x - 1, y) || !spans.Inside(x + 1, y) ||
                                      !spans.Inside(x, y - 1) || !spans.Inside(x, y + 1));
            if (border) {
                edge.push_back(Point{x, y});
            } else if (fill && x >= area.left && x < area.right && y >= area.top && y < area.bottom) {
                WritePixel(*target, x, y, BrushColorAt(*brush, dc.state, x, y));
            }
        }
    }
    for (const Point& p : edge) Stamp(*target, area, *pen, p.x, p.y);
}

// Rectangle, RoundRect and Ellipse: the box excludes right and bottom; a
// null pen leaves one more pixel off there, as on the phone.
bool DrawBox(Hdc hdc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t ew, int32_t eh) {
    // Coordinates far beyond any bitmap are pulled in (the shape's visible
    // part cannot change, except the curve of corners that large).
    constexpr int32_t kFar = 1 << 28;
    left = std::clamp(left, -kFar, kFar);
    right = std::clamp(right, -kFar, kFar);
    top = std::clamp(top, -kFar, kFar);
    bottom = std::clamp(bottom, -kFar, kFar);
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return false;
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    PenObj* pen = FindPen(dc->state.pen);
    bool nullPen = !pen || pen->style == kPsNull;
    int32_t shrink = nullPen ? 2 : 1;
    // Rows and columns farther than a pen width from the drawable area
    // cannot show; they are not visited.
    Rect area = DrawableArea(*dc, *TargetBitmap(*dc));
    int32_t reach = (pen ? pen->width : 1) + 1;
    Spans spans = RoundedSpans(left, top, right - shrink, bottom - shrink, ew, eh, area.top - reach,
                               area.bottom + reach);
    DrawSpans(*dc, spans, !nullPen, reach);
    return true;
}

}  // namespace

bool MoveToEx(Hdc hdc, int32_t x, int32_t y, Point* previous) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return false;
    if (previous) *previous = dc->state.position;
    dc->state.position = Point{x, y};
    return true;
}

bool LineTo(Hdc hdc, int32_t x, int32_t y) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return false;
    if (PenObj* pen = FindPen(dc->state.pen))
        DrawLine(*dc, *pen, dc->state.position.x, dc->state.position.y, x, y);
    dc->state.position = Point{x, y};
    return true;
}

bool Polyline(Hdc hdc, const Point* points, int32_t count) {
    if (!points || count < 2) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return false;
    if (PenObj* pen = FindPen(dc->state.pen)) {
        for (int32_t i = 1; i < count; ++i)
            DrawLine(*dc, *pen, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
    }
    return true;
}

bool Rectangle(Hdc hdc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return DrawBox(hdc, left, top, right, bottom, 0, 0);
}

bool RoundRect(Hdc hdc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t ellipseWidth,
               int32_t ellipseHeight) {
    return DrawBox(hdc, left, top, right, bottom, ellipseWidth, ellipseHeight);
}

bool Ellipse(Hdc hdc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return DrawBox(hdc, left, top, right, bottom, std::abs(right - left), std::abs(bottom - top));
}

ColorRef SetPixel(Hdc hdc, int32_t x, int32_t y, ColorRef color) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return kClrInvalid;
    BitmapObj* target = TargetBitmap(*dc);
    Rect area = DrawableArea(*dc, *target);
    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) return kClrInvalid;
    WritePixel(*target, x, y, color);
    return NearestColor(*target, color);
}

ColorRef GetPixel(Hdc hdc, int32_t x, int32_t y) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return kClrInvalid;
    BitmapObj* target = TargetBitmap(*dc);
    Rect area = DrawableArea(*dc, *target);
    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) return kClrInvalid;
    return ReadPixel(*target, x, y);
}

}  // namespace plat
