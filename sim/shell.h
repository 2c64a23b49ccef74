// The phone's shell in the device host: the taskbar at the top, the menu
// bar with the two soft keys at the bottom, the soft-key popup, and the
// Today screen (the desktop) with its items. All of it runs on the host's
// main thread; its state is one record of the process.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/hardware/library.h"
#include "platform/shell/menu_bar.h"
#include "platform/shell/today_item.h"
#include "platform/window/compositor.h"
#include "platform/message/messages.h"

namespace sim {

// Window classes and titles of the shell.
inline constexpr char16_t kTaskBarClass[] = u"HHTaskBar";
inline constexpr char16_t kMenuBarClass[] = u"TlwMenuBar";
inline constexpr char16_t kMenuPopupClass[] = u"TlwMenuPopup";
inline constexpr char16_t kDesktopClass[] = u"DesktopExplorerWindow";
inline constexpr char16_t kDesktopTitle[] = u"Today";

// Where the Today screen finds the owner's name.
inline constexpr char16_t kOwnerKey[] = u"ControlPanel\\Owner";
inline constexpr char16_t kOwnerValue[] = u"Name";

// One loaded Today item.
struct TodayItemHost {
    plat::TodayListItem record;   // the list record the item keeps its height in
    plat::HModule library = 0;    // its library
    int32_t top = 0;              // its window's top in the desktop
};

// What the taskbar shows, to tell when it must be drawn again.
struct TaskBarLook {
    std::u16string title;         // the foreground window's title
    std::u16string clock;         // the clock text
    uint64_t iconStamp = 0;       // a digest of the notification icons
    bool operator==(const TaskBarLook&) const = default;
};

// One soft-key popup entry on the screen.
struct PopupRow {
    plat::MenuBarEntry entry;     // what it is
    plat::Rect rect;              // where it is, in the popup's coordinates
};

// The shell's state in this process.
struct ShellState {
    plat::ScreenLayout layout{};  // the screen as last laid out
    plat::Hwnd taskBar;           // the taskbar window
    plat::Hwnd menuBar;           // the menu bar window
    plat::Hwnd desktop;           // the Today screen
    plat::Hwnd popup;             // the open soft-key popup, none when closed
    plat::Hwnd popupOwner;        // the window whose soft key opened it
    std::vector<PopupRow> popupRows;  // its entries
    int32_t popupHot = -1;        // the entry the keys highlight, -1 for none
    TaskBarLook taskBarLook;      // what the taskbar showed when last drawn
    plat::MenuBarInfo menuBarShown;   // the soft keys the menu bar shows
    plat::Hwnd menuBarFor;        // the window whose soft keys they are
    std::u16string dateShown;     // the date line the Today screen shows
    std::vector<TodayItemHost> items;  // loaded Today items, top to bottom
    int32_t selectedItem = -1;    // the item with the selection, -1 for none
    int32_t todayBase = 0;        // height of the date and owner lines
    std::chrono::steady_clock::time_point itemsAskedAt{};  // when the items were last asked to refresh
    bool ending = false;          // the shell is closing down
};

// The shell's state of this process.
ShellState& Shell();

// Creates the shell's windows on the calling thread (its classes are
// registered on first use) and loads the Today items. False when a window
// cannot be made.
bool StartShell();
// Destroys the shell's windows and frees the Today items.
void StopShell();
// Looks at the device again: screen size and orientation, foreground,
// clock, icons, soft keys; lays out and redraws what changed. The host
// calls it often.
void RefreshShell();

// Pieces shared by the shell's files.
void RegisterShellClasses();
// Draws the taskbar into hdc (width x height of the taskbar).
void PaintTaskBar(plat::Hdc hdc, const plat::Rect& client, const TaskBarLook& look);
// The rectangle of the clock text in the taskbar.
plat::Rect TaskBarClockRect(const plat::Rect& client, plat::Hdc hdc, const std::u16string& clock);
// The font of the shell's texts, bold or not, at the screen's scale.
plat::HFont ShellFont(bool bold);
// Pixels for 96-dpi units at the screen's scale.
int32_t Scale(int32_t units);
// The taskbar's look as the device stands now.
TaskBarLook CurrentTaskBarLook();
// The Today screen: loads the enabled items of the registry.
void LoadTodayItems();
void UnloadTodayItems();
// Lays out the Today items below the date and owner lines.
void LayoutTodayItems();
// Asks each Today item whether it must refresh (and re-lays them out).
void RefreshTodayItems();
// Opens the soft-key popup of the key of the foreground window.
void OpenSoftKeyPopup(plat::Hwnd owner, const plat::SoftKey& key, bool right);
void CloseSoftKeyPopup();
// Acts as a tap on soft key 1 (right false) or 2 of the foreground window.
void PressSoftKey(bool right);

// Window procedures.
plat::LResult TaskBarProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam);
plat::LResult MenuBarProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam);
plat::LResult MenuPopupProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam);
plat::LResult DesktopProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam);

}  // namespace sim
