// The menu bar at the bottom of the screen and its two soft keys.
//
// A program gives its window a menu bar with SHCreateMenuBar: a label and
// command for each soft key, or for a key a popup of commands. The shell's
// menu bar in the device host shows the soft keys of the foreground window
// (empty keys for a window without one). Tapping a key (or pressing the
// phone's soft key) posts WM_COMMAND with the key's command to the window;
// a key with a popup opens it, and choosing an entry posts its command.
//
// Menu bars are kept device-wide (in the window table's database); a menu
// bar goes with its window or its process. Each change tells the shell to
// redraw.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/message/messages.h"

namespace plat {

// Longest label or entry text kept, in characters.
constexpr size_t kMenuTextCapacity = 63;
// Most popup entries of one key.
constexpr size_t kMenuPopupCapacity = 32;

// One entry of a soft key's popup.
struct MenuBarEntry {
    std::u16string text;   // what it says (empty for a separator)
    uint32_t command = 0;  // WM_COMMAND's wParam when chosen
    bool separator = false;  // a line between entries, not choosable
    bool grayed = false;     // shown but not choosable
    bool checked = false;    // shown with a check mark
};

// One soft key.
struct SoftKey {
    std::u16string label;            // its caption; empty: the key is unused
    uint32_t command = 0;            // posted when tapped (without a popup)
    std::vector<MenuBarEntry> popup; // when not empty, tapping opens these
};

// The menu bar of a window.
struct MenuBarInfo {
    SoftKey left;   // soft key 1
    SoftKey right;  // soft key 2
};

// Gives a window of this process its menu bar (replacing one it had).
// False (last error set) for a window of another process or a popup
// longer than kMenuPopupCapacity.
bool SHCreateMenuBar(Hwnd hwnd, const MenuBarInfo& info);
// Takes the window's menu bar away.
bool SHDestroyMenuBar(Hwnd hwnd);
// The menu bar of any window of the device; false when it has none.
bool ReadMenuBar(Hwnd hwnd, MenuBarInfo* out);

}  // namespace plat
