// The drawing layer's object table: handle values, lookups and the stock
// objects.
#include "platform/gdi/gdi_objects.h"

#include <algorithm>

#include "platform/kernel/last_error.h"

namespace plat::gdi {
namespace {

// Handle value layout: kind (4 bits) | generation (12 bits) | slot (16 bits).
constexpr uint32_t kSlotBits = 16;
constexpr uint32_t kSlotMask = (1u << kSlotBits) - 1;
constexpr uint32_t kGenerationMask = 0xFFF;
constexpr uint32_t kMaxSlots = kSlotMask;  // slot 0 is never used

// One slot of the table.
struct Slot {
    std::unique_ptr<Object> object;  // null when free
    uint32_t generation = 0;         // bumped on every removal
};

// The table of this process.
struct Table {
    std::vector<Slot> slots = std::vector<Slot>(1);  // slot 0 unused
    std::vector<uint32_t> freeSlots;                 // removed slots to reuse
    uint32_t stock[kSystemFont + 1] = {};            // stock objects by index, 0 = not made yet
    uint32_t stockBitmap = 0;                        // 1 x 1 monochrome bitmap
    uint32_t sysBrushes[kSysColorCount] = {};        // system colour brushes
};

Table& TheTable() {
    static Table table;
    return table;
}

uint32_t Pack(Kind kind, uint32_t generation, uint32_t slot) {
    return (uint32_t(kind) << 28) | ((generation & kGenerationMask) << kSlotBits) | slot;
}

uint32_t MakeStock(Kind kind, Object object) {
    object.stock = true;
    return Add(kind, std::move(object));
}

}  // namespace

std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}

uint32_t Add(Kind kind, Object object) {
    Table& t = TheTable();
    uint32_t slot;
    if (!t.freeSlots.empty()) {
        slot = t.freeSlots.back();
        t.freeSlots.pop_back();
    } else if (t.slots.size() <= kMaxSlots) {
        slot = uint32_t(t.slots.size());
        t.slots.emplace_back();
    } else {
        SetLastError(kErrorNotEnoughMemory);
        return 0;
    }
    object.kind = kind;
    t.slots[slot].object = std::make_unique<Object>(std::move(object));
    return Pack(kind, t.slots[slot].generation, slot);
}

Object* Find(uint32_t handle, Kind kind) {
    Table& t = TheTable();
    uint32_t slot = handle & kSlotMask;
    if (handle == 0 || Kind(handle >> 28) != kind || slot >= t.slots.size() ||
        !t.slots[slot].object || t.slots[slot].object->kind != kind ||
        ((handle >> kSlotBits) & kGenerationMask) != (t.slots[slot].generation & kGenerationMask)) {
        SetLastError(kErrorInvalidHandle);
        return nullptr;
    }
    return t.slots[slot].object.get();
}

void Remove(uint32_t handle) {
    Table& t = TheTable();
    uint32_t slot = handle & kSlotMask;
    if (slot == 0 || slot >= t.slots.size() || !t.slots[slot].object) return;
    t.slots[slot].object.reset();
    ++t.slots[slot].generation;
    t.freeSlots.push_back(slot);
}

DcObj* FindDc(Hdc hdc) {
    Object* o = Find(hdc.value, Kind::kDc);
    return o ? &std::get<DcObj>(o->data) : nullptr;
}
BitmapObj* FindBitmap(uint32_t handle) {
    Object* o = Find(handle, Kind::kBitmap);
    return o ? &std::get<BitmapObj>(o->data) : nullptr;
}
BrushObj* FindBrush(uint32_t handle) {
    Object* o = Find(handle, Kind::kBrush);
    return o ? &std::get<BrushObj>(o->data) : nullptr;
}
PenObj* FindPen(uint32_t handle) {
    Object* o = Find(handle, Kind::kPen);
    return o ? &std::get<PenObj>(o->data) : nullptr;
}
FontObj* FindFont(uint32_t handle) {
    Object* o = Find(handle, Kind::kFont);
    return o ? &std::get<FontObj>(o->data) : nullptr;
}
IconObj* FindIcon(uint32_t handle) {
    Object* o = Find(handle, Kind::kIcon);
    return o ? &std::get<IconObj>(o->data) : nullptr;
}

bool IsStock(uint32_t handle) {
    Table& t = TheTable();
    uint32_t slot = handle & kSlotMask;
    return slot < t.slots.size() && t.slots[slot].object && t.slots[slot].object->stock &&
           ((handle >> kSlotBits) & kGenerationMask) == (t.slots[slot].generation & kGenerationMask);
}

uint32_t Stock(int32_t which) {
    Table& t = TheTable();
    if (which < 0 || which > kSystemFont) return 0;
    if (t.stock[which] != 0) return t.stock[which];
    Object o;
    switch (which) {
    case kWhiteBrush:
    case kLtGrayBrush:
    case kGrayBrush:
    case kDkGrayBrush:
    case kBlackBrush: {
        static constexpr uint8_t kGrey[] = {255, 192, 128, 64, 0};
        BrushObj b;
        b.color = Rgb(kGrey[which], kGrey[which], kGrey[which]);
        o.data = b;
        t.stock[which] = MakeStock(Kind::kBrush, std::move(o));
        break;
    }
    case kNullBrush: {
        BrushObj b;
        b.style = BrushObj::Style::kNull;
        o.data = b;
        t.stock[which] = MakeStock(Kind::kBrush, std::move(o));
        break;
    }
    case kWhitePen:
    case kBlackPen:
    case kNullPen: {
        PenObj p;
        p.style = which == kNullPen ? kPsNull : kPsSolid;
        p.color = which == kWhitePen ? Rgb(255, 255, 255) : 0;
        o.data = p;
        t.stock[which] = MakeStock(Kind::kPen, std::move(o));
        break;
    }
    case kSystemFont: {
        FontObj f;
        f.log.height = 0;  // resolved to the system height at the current dpi
        o.data = f;
        t.stock[which] = MakeStock(Kind::kFont, std::move(o));
        break;
    }
    default:
        return 0;
    }
    return t.stock[which];
}

uint32_t StockBitmap() {
    Table& t = TheTable();
    if (t.stockBitmap == 0) {
        BitmapObj b;
        b.width = 1;
        b.height = 1;
        b.bitCount = 1;
        b.stride = 4;
        b.storage.assign(4, 0);
        Object o;
        o.data = std::move(b);
        t.stockBitmap = MakeStock(Kind::kBitmap, std::move(o));
    }
    return t.stockBitmap;
}

ColorRef SysColorValue(int32_t index);  // gdi_screen.cpp

uint32_t SysColorBrush(int32_t index) {
    Table& t = TheTable();
    if (index < 0 || index >= kSysColorCount) return 0;
    if (t.sysBrushes[index] == 0) {
        BrushObj b;
        b.color = SysColorValue(index);
        Object o;
        o.data = b;
        t.sysBrushes[index] = MakeStock(Kind::kBrush, std::move(o));
    }
    return t.sysBrushes[index];
}

BitmapObj* TargetBitmap(DcObj& dc) {
    Table& t = TheTable();
    uint32_t slot = dc.state.bitmap & kSlotMask;
    // The selected bitmap cannot be deleted while selected, so it is alive.
    return &std::get<BitmapObj>(t.slots[slot].object->data);
}

Rect Intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

Rect DrawableArea(DcObj& dc, const BitmapObj& bitmap) {
    Rect bounds{0, 0, bitmap.width, bitmap.height};
    return dc.state.clipped ? Intersect(bounds, dc.state.clip) : bounds;
}

}  // namespace plat::gdi
