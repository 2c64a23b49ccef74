// The row list: the child window of the main window that shows the rows of
// the page and edits them. The stylus and the keys reach it:
//   - up and down move the selection; left and right step a choice, number,
//     slider or time row, and select the neighbouring tab on a tab header;
//   - the action key (or a tap) toggles a check box, opens the entries of a
//     choice, starts typing into a text, masked, number or time row (typed
//     characters go into it, back deletes, action commits, escape cancels),
//     and activates an entry, folder or file row;
//   - a slot row's two move zones at the right edge move the slot; a tab
//     header's two sides select the neighbouring tab;
//   - dragging the stylus scrolls.
// Each change is written through the row's pointer first, then reported to
// the main window with kRowNotifyMessage (config_app/pages.h).
#pragma once

#include <cstdint>
#include <string>

#include "config_app/config_app_state.h"
#include "platform/gdi/gdi_types.h"

namespace tlw {

inline constexpr char16_t kRowListClass[] = u"TlwRowList";

// Registers the class (once).
bool RegisterRowListClass();
// Creates the row list inside the main window, filling its client area.
plat::Hwnd CreateRowList(ConfigAppState& app);

// Row geometry in pixels for this screen: the title line on top, then the rows.
int32_t RowHeight();
int32_t TitleHeight();
// The row under a point of the list's client area (-1 for none).
int32_t RowAtPoint(const ConfigAppState& app, int32_t y);
// The rectangle of a row in the list's client area (scrolled).
plat::Rect RowRect(const ConfigAppState& app, int32_t row);

// Selects a row and scrolls it into view; -1 clears the selection.
void SelectRow(ConfigAppState& app, int32_t row);
// Starts typing into the row's text (text, masked, number, time rows, and
// entry rows with a text, the in-place rename).
bool BeginRowEdit(ConfigAppState& app, int32_t row);
// Ends typing: commit writes the text (checked for number and time rows;
// a bad value is refused with a message and the row keeps its value).
void EndRowEdit(ConfigAppState& app, bool commit);
// Whether a row can be changed now.
bool RowEditable(const Row& row);

// The page title shown above the rows.
void SetRowListTitle(ConfigAppState& app, std::u16string title);
// Paints again.
void RedrawRowList(ConfigAppState& app);

}  // namespace tlw
