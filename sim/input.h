// Stylus and keys reaching the running phone, routed as the phone routes
// them; used by the console (tap, key, type) and the live view.
//
// The stylus goes to the window that holds the capture, else to the
// deepest visible window under the point (platform/window/compositor.h),
// in that window's client coordinates; pen down also brings the window's
// top-level window to the front. Keys go to the focus window, else to the
// foreground window; the soft keys go to the menu bar, and the end key
// also returns to the Today screen. Each tap and key is journalled.
#pragma once

#include <string>
#include <string_view>

#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"

namespace sim {

// What a pen event reached.
struct PenResult {
    bool delivered = false;  // a window got it
    plat::Hwnd hwnd;         // that window
    plat::Point client;      // the point in its client coordinates
    std::string error;       // why not, when not delivered
};

// Pen down, move (while down) and up at a screen point.
PenResult PenDown(plat::Point screen);
PenResult PenMove(plat::Point screen);
PenResult PenUp(plat::Point screen);
// Pen down and up at one point (both to the window the down reached).
PenResult Tap(plat::Point screen);

// The virtual key of a key name (up, down, left, right, action, softkey1,
// softkey2, talk, end, back, space, enter, or one letter or digit); 0 for
// an unknown name.
uint32_t KeyByName(std::string_view name);
// Presses and releases a key; false with *error set when there is no
// window to take it or the screen is dark.
bool PressKey(uint32_t vk, std::string* error);
// Types the text: one WM_CHAR per character to the focus window.
bool TypeText(std::u16string_view text, std::string* error);

}  // namespace sim
