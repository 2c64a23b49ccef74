// The shell's full-screen call: a window may hide the taskbar (and the
// menu bar and input button) while it is in front, and show them again.
// Each change is recorded in the device journal ("full screen CLASS hide
// taskbar") and kept for the windows of the calling process.
#pragma once

#include <cstdint>

#include "platform/window/messages.h"

namespace plat {

// Flags of ShFullScreen.
constexpr uint32_t kShfsShowTaskbar = 0x1;
constexpr uint32_t kShfsHideTaskbar = 0x2;
constexpr uint32_t kShfsShowSipButton = 0x4;
constexpr uint32_t kShfsHideSipButton = 0x8;
constexpr uint32_t kShfsShowStartIcon = 0x10;
constexpr uint32_t kShfsHideStartIcon = 0x20;

// Changes what the window hides; false for a window that does not exist or
// for flags that both show and hide the same thing.
bool ShFullScreen(Hwnd hwnd, uint32_t flags);

// Whether the window currently hides the taskbar.
bool IsTaskbarHiddenBy(Hwnd hwnd);

}  // namespace plat
