// The compositor: the phone's screen made from the windows of every
// process of the device.
//
// The screen is the device model's size, its sides swapped while the
// display is turned by 90 or 270 degrees. Windows are drawn bottom to top:
// the desktop, then the other top-level windows in stacking order, then the
// shell's bars (taskbar and menu bar), then open popup menus (kShellPopup)
// above everything. Each visible window shows the pixels
// it last painted (platform/window/window_surface.h); a window that never
// painted shows nothing. Visible child windows are drawn over their parent,
// clipped to it, whatever process owns them. While the foreground window
// is full screen (platform/window/window_order.h, kShellHideTaskBar and
// kShellHideMenuBar) the bars it hides are neither drawn nor tapped. Over
// everything come the input panel while it is up (platform/shell/
// input_panel.h) and the wait cursor while a program shows it
// (platform/window/cursor.h). While the device is not fully on (idle,
// suspended, unattended) the screen is dark.
//
// Nothing is kept between calls: any process (the device host, the
// console's screenshot, the live view) composes the screen from the device
// as it stands.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"
#include "platform/window/window_surface.h"

namespace plat {

// The screen and the places of the shell's bars.
struct ScreenLayout {
    Size screen;            // the screen in pixels, as turned now
    int32_t taskBarHeight;  // the taskbar's height at the top
    int32_t menuBarHeight;  // the menu bar's height at the bottom
    Rect taskBar;           // the taskbar's rectangle
    Rect menuBar;           // the menu bar's rectangle
    Rect work;              // the area between them (the desktop and normal windows)
};

// Height of each bar in 96-dpi units (scaled to the screen's dots per inch).
constexpr int32_t kBarHeightUnits = 26;

// The layout of the screen as it is now (model size, orientation, dpi).
ScreenLayout CurrentScreenLayout();

// Composes the screen into *out (width x height pixels 0x00RRGGBB).
void ComposeScreen(SurfaceImage* out);
// Composes and writes the screen as a PNG file; false when it cannot be
// written.
bool SaveScreenPng(const std::filesystem::path& hostPath);

// What lies under a screen point.
struct HitResult {
    Hwnd hwnd;      // the deepest visible window under the point; none when there is none
    Point client;   // the point in that window's client coordinates
};
// The window a tap at the point reaches (the same order as drawing, top
// first); none outside the screen, on the input panel while it is up, or
// while the screen is dark.
HitResult WindowFromPoint(Point screenPoint);

// One window of the stack, as `tlwsim windows` lists it.
struct StackEntry {
    Hwnd hwnd;           // the window
    Hwnd parent;         // its parent (child windows), none for a top-level window
    int32_t pid = 0;     // owner process
    std::u16string className;  // class
    std::u16string title;      // title
    Rect screen;         // its rectangle on the screen
    bool visible = false;  // shown (itself and every parent)
    uint32_t shellFlags = 0;  // kShell* bits
};
// Every window of the device, top to bottom in the order the screen stacks
// them (a child above its parent), hidden ones included.
std::vector<StackEntry> ListWindowStack();

// True while the device's screen is lit (power state on).
bool ScreenIsOn();

}  // namespace plat
