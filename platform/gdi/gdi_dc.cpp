// Device contexts: creation, the SaveDC stack, object selection and
// deletion, attributes, brush origin, clipping and device capabilities.
#include <algorithm>
#include <utility>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_pixels.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace {

using namespace gdi;

// Counts a brush, pen or font as held (+1) or released (-1) by a DC.
void CountSelection(uint32_t handle, Kind kind, int32_t delta) {
    if (Object* o = Find(handle, kind)) o->selections += delta;
}

DcState DefaultState() {
    DcState s;
    s.bitmap = StockBitmap();
    s.brush = Stock(kWhiteBrush);
    s.pen = Stock(kBlackPen);
    s.font = Stock(kSystemFont);
    return s;
}

uint32_t NewDc(bool offscreen, uint32_t surface) {
    DcObj dc;
    dc.state = DefaultState();
    dc.offscreen = offscreen;
    if (offscreen) dc.state.bitmap = surface;
    Object o;
    o.data = std::move(dc);
    uint32_t handle = Add(Kind::kDc, std::move(o));
    if (handle == 0) return 0;
    DcObj* made = FindDc(Hdc{handle});
    CountSelection(made->state.brush, Kind::kBrush, 1);
    CountSelection(made->state.pen, Kind::kPen, 1);
    CountSelection(made->state.font, Kind::kFont, 1);
    if (BitmapObj* b = FindBitmap(made->state.bitmap); b && !IsStock(made->state.bitmap))
        b->selectedIn = handle;
    return handle;
}

// Makes `wanted` the DC's state, replacing objects that died since it was
// saved by the defaults and keeping selection counts right.
void ApplyState(uint32_t hdc, DcObj& dc, DcState wanted) {
    DcState defaults = DefaultState();
    if (!FindBrush(wanted.brush)) wanted.brush = defaults.brush;
    if (!FindPen(wanted.pen)) wanted.pen = defaults.pen;
    if (!FindFont(wanted.font)) wanted.font = defaults.font;
    if (dc.offscreen) {
        wanted.bitmap = dc.state.bitmap;  // the surface stays
    } else {
        BitmapObj* b = FindBitmap(wanted.bitmap);
        bool usable = b && (IsStock(wanted.bitmap) || b->selectedIn == 0 || b->selectedIn == hdc);
        if (!usable) wanted.bitmap = defaults.bitmap;
    }
    CountSelection(dc.state.brush, Kind::kBrush, -1);
    CountSelection(dc.state.pen, Kind::kPen, -1);
    CountSelection(dc.state.font, Kind::kFont, -1);
    if (wanted.bitmap != dc.state.bitmap) {
        if (BitmapObj* old = FindBitmap(dc.state.bitmap); old && !IsStock(dc.state.bitmap))
            old->selectedIn = 0;
        if (BitmapObj* b = FindBitmap(wanted.bitmap); b && !IsStock(wanted.bitmap)) b->selectedIn = hdc;
    }
    dc.state = wanted;
    CountSelection(dc.state.brush, Kind::kBrush, 1);
    CountSelection(dc.state.pen, Kind::kPen, 1);
    CountSelection(dc.state.font, Kind::kFont, 1);
}

// Selects a brush, pen or font; returns the previous handle value or 0.
uint32_t SelectCounted(Hdc hdc, uint32_t handle, Kind kind, uint32_t DcState::*field) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc || !Find(handle, kind)) return 0;
    uint32_t previous = dc->state.*field;
    CountSelection(previous, kind, -1);
    dc->state.*field = handle;
    CountSelection(handle, kind, 1);
    return previous;
}

template <typename T>
uint32_t CurrentOf(Hdc hdc, uint32_t DcState::*field) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    return dc ? dc->state.*field : 0;
}

// Deletes a brush, pen or font unless it is selected somewhere.
bool DeleteCounted(uint32_t handle, Kind kind) {
    GdiGuard guard(Lock());
    Object* o = Find(handle, kind);
    if (!o) return false;
    if (o->stock) return true;
    if (o->selections > 0) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    Remove(handle);
    return true;
}

}  // namespace

Hdc CreateCompatibleDC(Hdc hdc) {
    GdiGuard guard(Lock());
    if (hdc && !FindDc(hdc)) return Hdc{};
    return Hdc{NewDc(false, 0)};
}

Hdc CreateOffscreenDC(int32_t width, int32_t height) {
    GdiGuard guard(Lock());
    uint32_t surface = NewBitmap(width, height, 32, true, false);
    if (surface == 0) return Hdc{};
    BitmapObj* b = FindBitmap(surface);
    std::fill(b->storage.begin(), b->storage.end(), uint8_t(0xFF));
    for (int32_t y = 0; y < b->height; ++y) {
        uint8_t* row = RowAt(*b, y);
        for (int32_t x = 0; x < b->width; ++x) row[x * 4 + 3] = 0;
    }
    uint32_t handle = NewDc(true, surface);
    if (handle == 0) Remove(surface);
    return Hdc{handle};
}

bool DeleteDC(Hdc hdc) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return false;
    CountSelection(dc->state.brush, Kind::kBrush, -1);
    CountSelection(dc->state.pen, Kind::kPen, -1);
    CountSelection(dc->state.font, Kind::kFont, -1);
    if (BitmapObj* b = FindBitmap(dc->state.bitmap); b && !IsStock(dc->state.bitmap)) b->selectedIn = 0;
    if (dc->offscreen) Remove(dc->state.bitmap);
    Remove(hdc.value);
    return true;
}

int32_t SaveDC(Hdc hdc) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return 0;
    dc->saved.push_back(dc->state);
    return int32_t(dc->saved.size());
}

bool RestoreDC(Hdc hdc, int32_t level) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return false;
    int32_t depth = int32_t(dc->saved.size());
    int32_t target = level < 0 ? depth + level + 1 : level;  // 1-based depth to restore
    if (level == 0 || target < 1 || target > depth) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    DcState wanted = dc->saved[size_t(target - 1)];
    dc->saved.resize(size_t(target - 1));
    ApplyState(hdc.value, *dc, wanted);
    return true;
}

HBitmap SelectObject(Hdc hdc, HBitmap bitmap) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    BitmapObj* b = dc ? FindBitmap(bitmap.value) : nullptr;
    if (!b) return HBitmap{};
    if (dc->offscreen) {
        SetLastError(kErrorInvalidParameter);
        return HBitmap{};
    }
    uint32_t previous = dc->state.bitmap;
    if (previous == bitmap.value) return bitmap;
    bool stock = IsStock(bitmap.value);
    if (!stock && b->selectedIn != 0) {
        SetLastError(kErrorInvalidParameter);  // already in another DC
        return HBitmap{};
    }
    if (BitmapObj* old = FindBitmap(previous); old && !IsStock(previous)) old->selectedIn = 0;
    if (!stock) b->selectedIn = hdc.value;
    dc->state.bitmap = bitmap.value;
    return HBitmap{previous};
}

HBrush SelectObject(Hdc hdc, HBrush brush) {
    return HBrush{SelectCounted(hdc, brush.value, Kind::kBrush, &DcState::brush)};
}
HPen SelectObject(Hdc hdc, HPen pen) {
    return HPen{SelectCounted(hdc, pen.value, Kind::kPen, &DcState::pen)};
}
HFont SelectObject(Hdc hdc, HFont font) {
    return HFont{SelectCounted(hdc, font.value, Kind::kFont, &DcState::font)};
}

HBitmap GetCurrentBitmap(Hdc hdc) { return HBitmap{CurrentOf<HBitmap>(hdc, &DcState::bitmap)}; }
HBrush GetCurrentBrush(Hdc hdc) { return HBrush{CurrentOf<HBrush>(hdc, &DcState::brush)}; }
HPen GetCurrentPen(Hdc hdc) { return HPen{CurrentOf<HPen>(hdc, &DcState::pen)}; }
HFont GetCurrentFont(Hdc hdc) { return HFont{CurrentOf<HFont>(hdc, &DcState::font)}; }

bool DeleteObject(HBitmap bitmap) {
    GdiGuard guard(Lock());
    BitmapObj* b = FindBitmap(bitmap.value);
    if (!b) return false;
    if (IsStock(bitmap.value)) return true;
    if (b->selectedIn != 0) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    Remove(bitmap.value);
    return true;
}
bool DeleteObject(HBrush brush) { return DeleteCounted(brush.value, Kind::kBrush); }
bool DeleteObject(HPen pen) { return DeleteCounted(pen.value, Kind::kPen); }
bool DeleteObject(HFont font) { return DeleteCounted(font.value, Kind::kFont); }

ColorRef SetTextColor(Hdc hdc, ColorRef color) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return kClrInvalid;
    return std::exchange(dc->state.textColor, color & 0xFFFFFF);
}
ColorRef GetTextColor(Hdc hdc) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    return dc ? dc->state.textColor : kClrInvalid;
}
ColorRef SetBkColor(Hdc hdc, ColorRef color) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return kClrInvalid;
    return std::exchange(dc->state.bkColor, color & 0xFFFFFF);
}
ColorRef GetBkColor(Hdc hdc) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    return dc ? dc->state.bkColor : kClrInvalid;
}
int32_t SetBkMode(Hdc hdc, int32_t mode) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return 0;
    if (mode != kTransparent && mode != kOpaque) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    return std::exchange(dc->state.bkMode, mode);
}
int32_t GetBkMode(Hdc hdc) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    return dc ? dc->state.bkMode : 0;
}

bool SetBrushOrg(Hdc hdc, int32_t x, int32_t y, Point* previous) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return false;
    if (previous) *previous = dc->state.brushOrg;
    dc->state.brushOrg = Point{x, y};
    return true;
}
Point GetBrushOrg(Hdc hdc) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    return dc ? dc->state.brushOrg : Point{};
}

bool IntersectClipRect(Hdc hdc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return false;
    Rect r{left, top, std::max(left, right), std::max(top, bottom)};
    dc->state.clip = dc->state.clipped ? Intersect(dc->state.clip, r) : r;
    dc->state.clipped = true;
    return true;
}
bool ResetClipRect(Hdc hdc) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return false;
    dc->state.clipped = false;
    dc->state.clip = Rect{};
    return true;
}
Rect GetClipBox(Hdc hdc) {
    GdiGuard guard(Lock());
    DcObj* dc = FindDc(hdc);
    if (!dc) return Rect{};
    return DrawableArea(*dc, *TargetBitmap(*dc));
}

int32_t GetDeviceCaps(Hdc hdc, int32_t index) {
    // Every DC reports the screen it is compatible with, as on the phone.
    if (hdc) {
        GdiGuard guard(Lock());
        if (!FindDc(hdc)) return 0;
    }
    const int32_t bits = 24;
    Size size = GetScreenSize();
    switch (index) {
    case kCapHorzRes: return size.cx;
    case kCapVertRes: return size.cy;
    case kCapBitsPixel: return bits;
    case kCapLogPixelsX: return GetScreenDpiX();
    case kCapLogPixelsY: return GetScreenDpiY();
    default:
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
}

}  // namespace plat
