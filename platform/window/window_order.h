// Stacking, the foreground window, the keyboard focus and the stylus
// capture, device-wide.
//
// Windows are stacked bottom to top across every process of the device: a
// new window goes on top, showing a top-level window brings it to the top
// and makes it the foreground window (unless shown with SW_SHOWNA or
// SW_SHOWNOACTIVATE). The shell's own windows carry shell flags: the
// desktop (the Today screen) always lies below every other top-level
// window, the bars (taskbar and menu bar) above them, and neither bar ever
// becomes the foreground window. The state lives in the device's window
// table, so every process and the compositor see the same order.
#pragma once

#include <cstdint>

#include "platform/message/messages.h"

namespace plat {

// Shell flags of a window.
enum : uint32_t {
    kShellBar = 0x01,          // a shell bar (taskbar, menu bar): above the others, never foreground
    kShellDesktop = 0x02,      // the desktop: below every other top-level window
    kShellHideTaskBar = 0x04,  // full screen: the taskbar is hidden while this window is in front
    kShellHideMenuBar = 0x08,  // full screen: the menu bar is hidden while this window is in front
    kShellPopup = 0x10,        // with kShellBar: a popup menu, above the bars and never hidden with them
};

// Marks a window of this process with shell flags (set, then clear).
bool SetShellFlags(Hwnd hwnd, uint32_t set, uint32_t clear);
// The shell flags of any window of the device (0 for none).
uint32_t GetShellFlags(Hwnd hwnd);
// Whether the device's shell runs: a live process shows the desktop (a
// window with kShellDesktop). A device that was never booted, or was
// halted, has no shell and so no screen a person looks at.
bool ShellIsRunning();

// Puts a top-level window of any process at the top of the stack and makes
// it the foreground window with the focus. False for a window that does not
// exist, a child window or a shell bar.
bool SetForegroundWindow(Hwnd hwnd);
// The foreground window: the one last made foreground while it is visible,
// else the topmost visible top-level window that is not a shell bar (the
// desktop when nothing else is shown); none when there is none.
Hwnd GetForegroundWindow();
// Puts the window on top of its siblings without changing the foreground.
bool BringWindowToTop(Hwnd hwnd);

// SetWindowPos insert-after values and flags (the ones acted on).
inline const Hwnd kHwndTop{0};
inline const Hwnd kHwndBottom{1};
constexpr uint32_t SWP_NOSIZE = 0x0001;
constexpr uint32_t SWP_NOMOVE = 0x0002;
constexpr uint32_t SWP_NOZORDER = 0x0004;
constexpr uint32_t SWP_NOACTIVATE = 0x0010;
constexpr uint32_t SWP_SHOWWINDOW = 0x0040;
constexpr uint32_t SWP_HIDEWINDOW = 0x0080;
// Moves, sizes, restacks (kHwndTop or kHwndBottom), shows or hides a window
// of this process as the flags say.
bool SetWindowPos(Hwnd hwnd, Hwnd insertAfter, int32_t x, int32_t y, int32_t width, int32_t height,
                  uint32_t flags);

// The keyboard focus: the window that receives key messages. SetFocus takes
// any window of the device (none clears it) and returns the previous one.
// The window losing the focus gets WM_KILLFOCUS (wParam: the new focus),
// the one getting it WM_SETFOCUS (wParam: the previous focus); making a
// window the foreground window gives it the focus the same way.
Hwnd SetFocus(Hwnd hwnd);
Hwnd GetFocus();

// Stylus capture: while set, every stylus message goes to that window
// wherever the stylus is. SetCapture returns the previous capture window.
Hwnd SetCapture(Hwnd hwnd);
bool ReleaseCapture();
Hwnd GetCapture();

}  // namespace plat
