// The chooser's listing: a single-selection list of one column without a
// header, each entry a small icon and its name, folders drawn as folders,
// files as pages, icon-mode images as themselves. A tap selects an entry
// and tells the parent; the up and down keys move the selection; the action
// key opens the selected entry.
#pragma once

#include <cstdint>
#include <vector>

#include "config_app/chooser_listing.h"
#include "platform/message/messages.h"

namespace tlw {

inline constexpr char16_t kChooserListClass[] = u"TlwChooserList";

// Sent to the parent (the dialog) when the user selected an entry with a tap
// (wParam kChooserListTapped) or opened it with the action key (wParam
// kChooserListOpened); lParam is the entry's index.
constexpr uint32_t kChooserListNotify = plat::WM_USER + 0x51;
enum : uint32_t { kChooserListTapped = 1, kChooserListOpened = 2 };

// Registers the class (once per process); false when it cannot.
bool RegisterChooserList();

// Replaces the entries the list shows (no entry selected, scrolled to the top).
void SetChooserListEntries(plat::Hwnd list, std::vector<ChooserEntry> entries);
// The entries shown; empty for a window that is not a chooser list.
const std::vector<ChooserEntry>& ChooserListEntries(plat::Hwnd list);
// The selected entry, -1 for none.
int32_t ChooserListSelection(plat::Hwnd list);
// Selects an entry (-1: none) and scrolls it into view.
void SelectChooserListEntry(plat::Hwnd list, int32_t index);
// The height of one entry in pixels, and the column's width ("List Column").
int32_t ChooserListEntryHeight();

}  // namespace tlw
