#include "today/today_layout.h"

#include <algorithm>
#include <vector>

namespace today {
namespace {

// One add-on placed on the grid.
struct Placed {
    int slot;    // its [Today] slot
    int hit;     // its hit area
    int row;     // grid row
    int column;  // first grid column (1 ... columns)
    int span;    // cells it takes on its row: 2 when wide or tall
    bool wide;   // two columns wide
    bool tall;   // two rows high
};

enum class Cell { kFree, kOccupied, kLowerHalf };

// The grid as the placement sees it, rebuilt from the placed items so that
// moving an item moves its cells (and the lower half of a tall one) with it.
class Grid {
public:
    explicit Grid(int columns) : columns_(columns) {}

    Cell At(const std::vector<Placed>& placed, int row, int column) const {
        for (const Placed& p : placed) {
            if (p.row == row && column >= p.column && column < p.column + p.span) return Cell::kOccupied;
            if (p.tall && p.row + 1 == row && column >= p.column && column < p.column + p.span) return Cell::kLowerHalf;
        }
        return Cell::kFree;
    }
    int Columns() const { return columns_; }

private:
    int columns_;
};

int FirstColumnOfRow(int row) { return row <= 1 ? kFirstAddonColumn : 1; }

// Right-aligns the items of one row: from the right end leftwards, each item
// moves right over the free cells up to the next obstacle (the right edge,
// an item already moved, or the lower half of a tall item of the row above).
void RightAlignRow(std::vector<Placed>& placed, const Grid& grid, int row) {
    std::vector<Placed*> items;
    for (Placed& p : placed)
        if (p.row == row) items.push_back(&p);
    std::sort(items.begin(), items.end(), [](const Placed* a, const Placed* b) { return a->column > b->column; });
    int limit = grid.Columns();  // the rightmost column an item may end on
    for (Placed* p : items) {
        int right = p->column + p->span - 1;
        int newRight = right;
        for (int c = right + 1; c <= limit; ++c) {
            if (grid.At(placed, row, c) == Cell::kLowerHalf) break;
            newRight = c;
        }
        p->column += newRight - right;
        limit = p->column - 1;
    }
}

// Finds the column where an item of the given span goes on the row, starting
// at cursor; 0 when it does not fit before the end of the row.
int FindColumn(const std::vector<Placed>& placed, const Grid& grid, int row, int cursor, int span) {
    int first = FirstColumnOfRow(row);
    if (cursor == first) {
        for (int c = first; c <= grid.Columns(); ++c) {
            if (grid.At(placed, row, c) == Cell::kLowerHalf) {
                cursor = c;
                break;
            }
        }
    }
    for (int c = cursor; c + span - 1 <= grid.Columns(); ++c) {
        bool free = true;
        for (int k = 0; k < span; ++k)
            if (grid.At(placed, row, c + k) != Cell::kFree) free = false;
        if (free) return c;
    }
    return 0;
}

plat::Rect MakeRect(int32_t left, int32_t top, int32_t width, int32_t height) {
    return {left, top, left + width, top + height};
}

}  // namespace

int32_t ScaleUnits(int32_t units, int32_t dpi) {
    int32_t magnitude = (std::abs(units) * dpi + 48) / 96;
    return units < 0 ? -magnitude : magnitude;
}

int32_t ColumnsForWidth(int32_t width, int32_t dpiX) {
    if (width < ScaleUnits(242, dpiX)) return 12;
    if (width < ScaleUnits(322, dpiX)) return 16;
    if (width < ScaleUnits(402, dpiX)) return 21;
    return 30;
}

void ComputeLayout(const LayoutInput& in, TodayLayout* out) {
    TodayLayout& L = *out;
    L = TodayLayout{};
    auto sx = [&](int32_t units) { return ScaleUnits(units, in.dpiX); };
    auto sy = [&](int32_t units) { return ScaleUnits(units, in.dpiY); };
    const int32_t W = in.width;
    const int C = ColumnsForWidth(W, in.dpiX);
    L.width = W;
    L.columns = C;
    std::fill(std::begin(L.slotOfHit), std::end(L.slotOfHit), -1);

    // Placement.
    Grid grid(C);
    std::vector<Placed> placed;
    int row = 0;
    int rows = 1;
    int cursor = FirstColumnOfRow(0);
    int freeLeft = -1;
    auto closeRow = [&] {
        RightAlignRow(placed, grid, row);
        if (row == 0) {
            int firstUsed = C + 1;
            for (const Placed& p : placed)
                if (p.row == 0) firstUsed = std::min(firstUsed, p.column);
            freeLeft = firstUsed - kFirstAddonColumn;
        }
        rows = std::max(rows, row + 1);
        ++row;
        cursor = FirstColumnOfRow(row);
    };
    int hit = kHitFirstAddon;
    for (int slot = 0; slot < tlw::kTodayItemCount && in.slots; ++slot) {
        const tlw::TodayItem& item = in.slots[slot];
        if (!item.enabled) continue;
        if (item.type == AddonLineBreak) {
            closeRow();
            continue;
        }
        if (hit >= kHitCount) break;
        // A tall item takes two cells of its row too, so it needs room for both.
        int span = (item.width || item.height) ? 2 : 1;
        if (cursor + span - 1 > C) closeRow();
        int column = FindColumn(placed, grid, row, cursor, span);
        while (column == 0) {
            closeRow();
            column = FindColumn(placed, grid, row, cursor, span);
            if (column == 0 && FirstColumnOfRow(row) + span - 1 > C) break;  // cannot fit any row
        }
        if (column == 0) continue;
        placed.push_back({slot, hit++, row, column, span, item.width, item.height});
        if (item.height) rows = std::max(rows, row + 2);
        cursor = column + span;
    }
    closeRow();
    L.rows = rows;
    L.freeLeft = std::max(freeLeft, 0);

    // Add-on rectangles and positions.
    for (const Placed& p : placed) {
        HitArea& area = L.hits[p.hit];
        int32_t left = W - sx((C - p.column + 1) * kCellWidth);
        int32_t top = sy(p.row * kCellHeight + 2 + (p.tall ? 2 : 0));
        area.rect = {left, top, left + sx(p.wide ? 32 : 16), top + sy(p.tall ? 34 : 18)};
        area.nav = {p.row, p.column};
        L.slotOfHit[p.hit] = p.slot;
    }

    // The profile area.
    const int R = rows;
    const int F = L.freeLeft;
    const bool thumbTall = in.thumbMenu && R > 1;
    HitArea& icon = L.hits[kHitProfileIcon];
    icon.rect = {sx(2), sy(2), sx(18), sy(18)};
    icon.nav = {0, 0};
    HitArea& name = L.hits[kHitProfileName];
    name.rect = {sx(28), sy(2), 0, sy(18)};
    if (in.profileRunning && thumbTall) {
        name.rect.right = name.rect.left + sx(36);
    } else {
        name.rect.right = W - sx((C - 5 - F + 1) * kCellWidth + (R == 1 ? 36 + 30 : 0));
        if (name.rect.right < sx(60) && R == 1) {
            name.rect.right = name.rect.left + sx(18);
            L.nameHidden = true;
        }
    }
    name.nav = {0, 1};
    if (thumbTall) {
        L.nameHighlight = {sx(24), name.rect.top - sy(2), name.rect.left + sx(36), name.rect.bottom + sy(18)};
    } else {
        L.nameHighlight = {sx(24), name.rect.top - sy(2), name.rect.right + sx(2), name.rect.bottom};
    }
    HitArea& timeOut = L.hits[kHitTimeOut];
    timeOut.rect = R == 1 ? MakeRect(name.rect.right, sy(2), sx(30), sy(16)) : MakeRect(sx(60), sy(22), sx(30), sy(16));
    timeOut.nav = {};
    HitArea& trigger = L.hits[kHitTrigger];
    trigger.rect = R == 1 ? MakeRect(timeOut.rect.right, sy(2), sx(16), sy(16)) : MakeRect(sx(2), sy(22), sx(16), sy(16));
    trigger.nav = {};
    HitArea& lock = L.hits[kHitLock];
    if (R == 1) {
        lock.rect = MakeRect(W - sx((C - 5 - F + 2) * kCellWidth), sy(2), sx(16), sy(16));
        lock.nav = {0, 3};
    } else if (R == 2 && in.thumbMenu) {
        lock.rect = MakeRect(L.nameHighlight.right + sx(4), sy(2), sx(16), sy(16));
        lock.nav = {0, 2};
    } else if (R == 2) {
        lock.rect = MakeRect(sx(28), sy(22), sx(16), sy(16));
        lock.nav = {1, 1};
    } else {
        lock.rect = MakeRect(sx(2), sy(42), sx(16), sy(16));
        lock.nav = {2, 2};
    }

    // Special add-ons: meters and the slider.
    for (int h = kHitFirstAddon; h < kHitCount; ++h) {
        int slot = L.slotOfHit[h];
        if (slot < 0) continue;
        const plat::Rect& r = L.hits[h].rect;
        int32_t type = in.slots[slot].type;
        if (type == AddonWifiMeter || type == AddonBattery || type == AddonCpuMeter) {
            L.meterRect[h] = {r.left - sy(2), r.top + sy(1), r.right + sy(1), r.bottom - sy(2)};
            if (type == AddonCpuMeter) {
                const plat::Rect& m = L.meterRect[h];
                L.cpuBar = {m.left + sx(4), m.top, m.right - sx(4), m.bottom};
                L.cpuHit = h;
            }
        } else if (type == AddonBrightness) {
            L.sliderRect = MakeRect(r.left - sx(2), r.top + sy(1), sx(35), sy(15));
            L.sliderHit = h;
        }
    }

    L.height = sy(R * kCellHeight);
}

void SetTimeOutNavigable(TodayLayout* layout, bool shown) {
    HitArea& area = layout->hits[kHitTimeOut];
    if (!shown) area.nav = {};
    else area.nav = layout->rows == 1 ? NavPos{0, 2} : NavPos{1, 2};
}

}  // namespace today
