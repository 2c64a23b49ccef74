// The cursor: on the phone only the wait cursor shows, a spinning circle in
// the middle of the screen while a program is busy (SetCursor with the
// IDC_WAIT cursor; SetCursor with none or the arrow takes it away).
//
// The wait cursor is device-wide: the compositor draws it over everything
// while a live process shows it, so `tlwsim shot` catches it; it goes with
// the process that set it. Showing and hiding are journalled ("wait cursor
// shown", "wait cursor hidden").
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_types.h"

namespace plat {

struct HCursor {
    uint32_t value = 0;  // the cursor id; 0 = none
    explicit operator bool() const { return value != 0; }
    friend bool operator==(HCursor a, HCursor b) { return a.value == b.value; }
};

constexpr uint32_t IDC_ARROW = 32512;
constexpr uint32_t IDC_WAIT = 32514;

// The system cursor of that id (IDC_ARROW or IDC_WAIT); none for another.
HCursor LoadCursor(uint32_t id);
// Shows the cursor (the wait cursor spins; the arrow and none show
// nothing) and returns the one shown before by this process.
HCursor SetCursor(HCursor cursor);
HCursor GetCursor();

// True while a live process of the device shows the wait cursor.
bool WaitCursorShown();
// Draws the wait cursor's current frame centred on (x, y) into a screen
// image of width x height pixels 0x00RRGGBB (the compositor's overlay).
void DrawWaitCursor(uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y);

}  // namespace plat
