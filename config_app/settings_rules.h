// The rules of the options and Today pages that do not depend on the
// screen: the SIM PIN field, the Today layout presets and moving a slot.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/config/config_model.h"

namespace tlw {

// Today layouts: two presets and the custom layout.
constexpr int32_t kLayoutLargeSwitches = 0;
constexpr int32_t kLayoutCompact = 1;
constexpr int32_t kLayoutCustom = 2;

// SIM PIN lengths the SIM accepts.
constexpr size_t kSimPinMinDigits = 4;
constexpr size_t kSimPinMaxDigits = 8;

// What the SIM PIN field stores: the PIN itself when it has 4 to 8 digits
// and nothing else, else four blanks (no PIN). *refused tells whether a
// typed PIN was refused (an empty field or four blanks is no PIN, not a
// refusal).
std::u16string SimPinToStore(std::u16string_view field, bool* refused);

// Rewrites thumb_menu and the 15 Today slots for a preset layout (0 or 1);
// nothing changes for the custom layout.
void ApplyTodayPreset(ConfigModel& model, int32_t layout);

// Swaps Today slot index with the one above (up) or below, within the
// first editableSlots slots. Returns the slot's new index, or -1 when it is
// already at that end.
int32_t MoveTodaySlot(ConfigModel& model, int32_t index, bool up, int32_t editableSlots);

}  // namespace tlw
