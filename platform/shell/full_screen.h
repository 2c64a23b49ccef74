// Full-screen control: a window hides the taskbar or the menu bar (the
// bottom bar with its input-panel button) while it is the foreground
// window, and shows them again. The compositor leaves hidden bars out of
// the screen and out of the taps (platform/window/compositor.h).
#pragma once

#include <cstdint>

#include "platform/window/messages.h"

namespace plat {

// SHFullScreen state bits.
constexpr uint32_t SHFS_SHOWTASKBAR = 0x0001;
constexpr uint32_t SHFS_HIDETASKBAR = 0x0002;
constexpr uint32_t SHFS_SHOWSIPBUTTON = 0x0004;
constexpr uint32_t SHFS_HIDESIPBUTTON = 0x0008;
constexpr uint32_t SHFS_SHOWSTARTICON = 0x0010;
constexpr uint32_t SHFS_HIDESTARTICON = 0x0020;

// Changes what a window of this process hides while it is in front:
// SHFS_HIDETASKBAR / SHFS_SHOWTASKBAR the taskbar, SHFS_HIDESIPBUTTON /
// SHFS_SHOWSIPBUTTON the menu bar; the start-icon bits are accepted and
// change nothing (this taskbar has no start icon). False for a window of
// another process or contradicting bits.
bool SHFullScreen(Hwnd hwnd, uint32_t state);

}  // namespace plat
