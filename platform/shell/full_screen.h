// The shell's full-screen call: a window may hide the taskbar (and the
// menu bar with its input button) while it is in front, and show them
// again. What a window hides is kept device-wide with the window (its
// shell flags, platform/window/window_order.h), so the compositor in any
// process leaves the hidden bars out of the screen and out of the taps.
// Each change of the taskbar is recorded in the device journal ("full
// screen CLASS hide taskbar").
#pragma once

#include <cstdint>

#include "platform/message/messages.h"

namespace plat {

// Flags of ShFullScreen.
constexpr uint32_t kShfsShowTaskbar = 0x1;
constexpr uint32_t kShfsHideTaskbar = 0x2;
constexpr uint32_t kShfsShowSipButton = 0x4;
constexpr uint32_t kShfsHideSipButton = 0x8;
constexpr uint32_t kShfsShowStartIcon = 0x10;
constexpr uint32_t kShfsHideStartIcon = 0x20;

// Changes what a window of this process hides: the taskbar
// (kShfsHideTaskbar / kShfsShowTaskbar), the menu bar (kShfsHideSipButton /
// kShfsShowSipButton); the start-icon flags are accepted and change nothing
// (this taskbar has no start icon). False for a window that is not one of
// this process or for flags that both show and hide the same thing.
bool ShFullScreen(Hwnd hwnd, uint32_t flags);

// Whether the window currently hides the taskbar.
bool IsTaskbarHiddenBy(Hwnd hwnd);

}  // namespace plat
