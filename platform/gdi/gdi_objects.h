// Internal to the drawing layer: the object records behind the handles of
// gdi.h, the table that owns them, and the lock that guards both. Every
// public drawing call takes the lock once (GdiGuard) and then works on the
// records through the helpers here, which never lock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <variant>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace plat::gdi {

enum class Kind : uint8_t { kNone = 0, kDc = 1, kBitmap = 2, kBrush = 3, kPen = 4, kFont = 5, kIcon = 6 };

// A bitmap's pixels. Rows are `stride` bytes apart in `storage`; memory row 0
// is the top row when topDown, the bottom row otherwise.
struct BitmapObj {
    int32_t width = 0;             // pixels per row
    int32_t height = 0;            // rows
    int32_t stride = 0;            // bytes per memory row
    uint16_t bitCount = 32;        // 1, 24 or 32
    bool dibSection = false;       // caller may use the pixel address
    bool topDown = true;           // memory row 0 is the top row
    std::vector<uint8_t> storage;  // stride * height bytes
    uint32_t selectedIn = 0;       // handle value of the DC holding it, 0 = none
};

// A brush: solid colour, repeated pattern or nothing.
struct BrushObj {
    enum class Style : uint8_t { kSolid, kPattern, kNull };
    Style style = Style::kSolid;    // what it paints
    ColorRef color = 0;             // solid colour
    int32_t patternWidth = 0;       // pattern size in pixels
    int32_t patternHeight = 0;
    bool monoPattern = false;       // pattern from a monochrome bitmap: text/bk colours
    std::vector<ColorRef> pattern;  // patternWidth * patternHeight colours, top row first
};

// A pen.
struct PenObj {
    int32_t style = kPsSolid;  // kPsSolid, kPsDash or kPsNull
    int32_t width = 1;         // pixels, >= 1
    ColorRef color = 0;        // line colour
};

// A font: what it was made from (the face is found at drawing time).
struct FontObj {
    LogFont log;  // as given to CreateFontIndirect
};

// An icon: a copy of its mask and colour image.
struct IconObj {
    int32_t width = 0;             // pixels
    int32_t height = 0;
    bool isIcon = true;            // icon or cursor
    Point hotspot;                 // cursor hot spot
    std::vector<uint8_t> mask;     // width * height, 1 = screen shows through (AND mask)
    std::vector<ColorRef> color;   // width * height colours (XOR image)
    std::vector<uint8_t> alpha;    // width * height opacities when hasAlpha
    bool hasAlpha = false;         // draw by alpha instead of mask and XOR
};

// The state of a DC that SaveDC keeps.
struct DcState {
    uint32_t bitmap = 0;                   // selected bitmap handle value
    uint32_t brush = 0;                    // selected brush
    uint32_t pen = 0;                      // selected pen
    uint32_t font = 0;                     // selected font
    ColorRef textColor = 0;                // text and mono-0 colour
    ColorRef bkColor = 0xFFFFFF;           // background and mono-1 colour
    int32_t bkMode = kOpaque;              // kOpaque or kTransparent
    Point brushOrg;                        // pattern alignment, device pixels
    bool clipped = false;                  // clip rectangle in force
    Rect clip;                             // clip rectangle (when clipped)
    Point position;                        // current position for LineTo
};

// A device context.
struct DcObj {
    DcState state;                 // current state
    std::vector<DcState> saved;    // SaveDC stack, oldest first
    bool offscreen = false;        // owns its surface bitmap (window surface)
};

// One table entry's object.
struct Object {
    Kind kind = Kind::kNone;  // what the variant holds
    bool stock = false;       // stock object: never deleted
    int32_t selections = 0;   // DCs whose current state holds it (brushes, pens, fonts)
    std::variant<std::monostate, DcObj, BitmapObj, BrushObj, PenObj, FontObj, IconObj> data;
};

// The lock of the drawing layer; public calls hold it for their duration.
std::mutex& Lock();
using GdiGuard = std::lock_guard<std::mutex>;

// Adds an object and returns its handle value (0 when the table is full:
// last error kErrorNotEnoughMemory).
uint32_t Add(Kind kind, Object object);
// The object of a handle value when it is alive and of that kind; nullptr
// (last error kErrorInvalidHandle) otherwise.
Object* Find(uint32_t handle, Kind kind);
// Removes an object (no checks).
void Remove(uint32_t handle);

// Typed lookups; nullptr with kErrorInvalidHandle when not alive.
DcObj* FindDc(Hdc hdc);
BitmapObj* FindBitmap(uint32_t handle);
BrushObj* FindBrush(uint32_t handle);
PenObj* FindPen(uint32_t handle);
FontObj* FindFont(uint32_t handle);
IconObj* FindIcon(uint32_t handle);
bool IsStock(uint32_t handle);

// Stock objects (created on first use) by StockObject index.
uint32_t Stock(int32_t which);
// The 1 x 1 monochrome bitmap every new memory DC holds.
uint32_t StockBitmap();
// A solid brush for a system colour (stock).
uint32_t SysColorBrush(int32_t index);

// The bitmap a DC draws on (never null for a live DC).
BitmapObj* TargetBitmap(DcObj& dc);
// The area of the DC's bitmap drawing may touch: the bitmap's bounds
// intersected with the clip rectangle.
Rect DrawableArea(DcObj& dc, const BitmapObj& bitmap);

// A new bitmap record in the table, all bits zero (black); 0 with
// kErrorInvalidParameter for a size that is not positive or whose rows or
// total would exceed the limits, kErrorNotEnoughMemory when it cannot be had.
// Device bitmaps (dibSection false) are 32-bit top-down or monochrome.
uint32_t NewBitmap(int32_t width, int32_t height, uint16_t bitCount, bool topDown, bool dibSection);
// The largest bitmap accepted, in pixels per side and in bytes.
constexpr int32_t kMaxBitmapSide = 16384;
constexpr int64_t kMaxBitmapBytes = int64_t(1) << 30;

// Rectangle helpers.
Rect Intersect(const Rect& a, const Rect& b);
bool IsEmpty(const Rect& r);

}  // namespace plat::gdi
