// Drawing of the row list: the page title, each row by its kind, the
// editor of the row being typed into and the open entries of a choice.
#pragma once

#include <cstdint>

#include "config_app/config_app_state.h"
#include "platform/gdi/gdi_types.h"

namespace tlw {

// Zones of a row, in the list's client coordinates, shared by drawing and
// hit testing.
struct RowZones {
    plat::Rect label;     // the label
    plat::Rect value;     // the value (right part)
    plat::Rect check;     // the check box (check, slot, file and entry rows)
    plat::Rect check2;    // the second mark (entry rows)
    plat::Rect moveUp;    // slot rows: the upward move zone
    plat::Rect moveDown;  // slot rows: the downward move zone
    plat::Rect track;     // slider rows: the track
};
RowZones RowZonesOf(const Row& row, const plat::Rect& rect);

// The open choice's entries: where the list of entries is and which entry
// is shown first.
struct ChoiceOverlay {
    plat::Rect rect;        // the whole overlay
    int32_t first = 0;      // index of the first entry shown
    int32_t shown = 0;      // entries shown
};
ChoiceOverlay ChoiceOverlayOf(const ConfigAppState& app, const plat::Rect& client);

// Paints the whole list into hdc (client: the list's client rectangle).
void PaintRowList(const ConfigAppState& app, plat::Hdc hdc, const plat::Rect& client);

// The fonts of the rows at this screen's scale.
plat::HFont RowFont(bool bold);
// Pixels of 96-dpi units on this screen.
int32_t RowScale(int32_t units);

}  // namespace tlw
