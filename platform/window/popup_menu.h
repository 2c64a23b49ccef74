// Popup menus: lists of commands a program builds and then tracks at a
// point of the screen.
//
// A menu is built with CreatePopupMenu and AppendMenu: text items, items the
// owner window draws itself (MF_OWNERDRAW), separators, and items shown
// checked or grayed. TrackPopupMenuEx shows it as a window of class
// "PopupMenu" above every other window of the device (the shell's bars
// included), so the screen, `tlwsim windows` and `tlwsim tap` see it, and
// runs a nested message loop on the calling thread until the menu ends:
// a tap on an item that can be chosen picks it; a tap outside the menu,
// Escape, EndMenu, a second tracking request or the owner going away cancel
// it. Messages for the thread's other windows are handled meanwhile, as in
// the thread's own loop. While open the menu holds the stylus capture and
// the keyboard focus (Up, Down and the action key move and choose).
//
// For owner-drawn items the owner receives WM_MEASUREITEM (lParam: a
// MeasureItemStruct*) once when tracking starts and WM_DRAWITEM (lParam: a
// DrawItemStruct*) each time the item is painted; both are sent on the
// tracking thread, so the owner must be a window of that thread.
//
// Each track is journalled: "popup menu shown (N items)", then
// "popup menu chose ID" or "popup menu cancelled".
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"
#include "platform/window/owner_draw.h"

namespace plat {

// A popup menu of this process; 0 is "no menu".
struct HMenu {
    uint32_t value = 0;
    explicit operator bool() const { return value != 0; }
    friend bool operator==(HMenu a, HMenu b) { return a.value == b.value; }
};

// AppendMenu flags.
constexpr uint32_t MF_STRING = 0x0000;
constexpr uint32_t MF_GRAYED = 0x0001;     // shown in the gray text colour, cannot be chosen
constexpr uint32_t MF_DISABLED = 0x0002;   // cannot be chosen
constexpr uint32_t MF_CHECKED = 0x0008;    // shown with a check mark
constexpr uint32_t MF_OWNERDRAW = 0x0100;  // the owner measures and draws it; the item data is kept for it
constexpr uint32_t MF_SEPARATOR = 0x0800;  // a line between items

// TrackPopupMenuEx flags: where (x, y) lies on the menu, and what is done
// with the choice.
constexpr uint32_t TPM_LEFTALIGN = 0x0000;
constexpr uint32_t TPM_CENTERALIGN = 0x0004;
constexpr uint32_t TPM_RIGHTALIGN = 0x0008;
constexpr uint32_t TPM_TOPALIGN = 0x0000;
constexpr uint32_t TPM_VCENTERALIGN = 0x0010;
constexpr uint32_t TPM_BOTTOMALIGN = 0x0020;
constexpr uint32_t TPM_NONOTIFY = 0x0080;   // no WM_COMMAND to the owner
constexpr uint32_t TPM_RETURNCMD = 0x0100;  // the chosen identifier is the result

// The owner-drawn items' records (WM_MEASUREITEM, WM_DRAWITEM) are those of
// owner_draw.h, with ctlType ODT_MENU.

// The class of the window an open menu shows in.
inline constexpr char16_t kPopupMenuClass[] = u"PopupMenu";

// A new, empty popup menu of this process.
HMenu CreatePopupMenu();
// Frees a menu. False for one that does not exist or is being tracked.
bool DestroyMenu(HMenu menu);
// Appends an item. text is the item's text (MF_STRING); for MF_OWNERDRAW
// itemData is handed to the owner instead; MF_SEPARATOR takes neither.
// False (kErrorInvalidParameter) for a bad menu.
bool AppendMenu(HMenu menu, uint32_t flags, uint32_t id, std::u16string_view text, uint64_t itemData = 0);
// The number of items (-1 for a bad menu).
int32_t GetMenuItemCount(HMenu menu);
// Sets or clears MF_CHECKED / MF_GRAYED of the item with that identifier;
// returns the previous state (-1 when there is no such item).
int32_t CheckMenuItem(HMenu menu, uint32_t id, bool checked);
int32_t EnableMenuItem(HMenu menu, uint32_t id, bool enabled);

// Shows the menu with (x, y) at the corner or side the flags name, kept on
// the screen, and tracks it until it ends. With TPM_RETURNCMD the result is
// the chosen identifier, 0 when nothing was chosen; otherwise a choice is
// posted to the owner as WM_COMMAND (unless TPM_NONOTIFY) and the result is
// non-zero when something was chosen. False/0 for a bad menu, a menu without
// items or an owner that is not a window of the calling thread
// (kErrorInvalidParameter, kErrorWindowOfOtherThread).
int32_t TrackPopupMenuEx(HMenu menu, uint32_t flags, int32_t x, int32_t y, Hwnd owner);

// Ends the menu the calling thread tracks, as a cancel. False when none is
// open.
bool EndMenu();
// Whether the calling thread tracks a menu now.
bool IsMenuOpen();

}  // namespace plat
