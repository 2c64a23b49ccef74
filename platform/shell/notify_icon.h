// The taskbar's notification area: icons that programs add, change and
// remove, each tied to a window that receives a callback message when the
// icon is tapped.
//
// Icons are kept device-wide (in the window table's database) with their
// pixels, so the shell's taskbar in the device host draws them whatever
// process added them; an icon goes when its window or its process ends.
// Each change is journalled ("notification icon ID of CLASS added",
// "... changed", "... removed") and the taskbar is told to redraw.
//
// A tap on an icon posts its callback message to the window: wParam the
// icon's id, lParam WM_LBUTTONDOWN, then the same with WM_LBUTTONUP.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"

namespace plat {

// Shell_NotifyIcon actions.
constexpr uint32_t NIM_ADD = 0;
constexpr uint32_t NIM_MODIFY = 1;
constexpr uint32_t NIM_DELETE = 2;
// Which fields of NotifyIconData are given.
constexpr uint32_t NIF_MESSAGE = 0x1;
constexpr uint32_t NIF_ICON = 0x2;
constexpr uint32_t NIF_TIP = 0x4;

// Longest tip kept, in characters.
constexpr size_t kNotifyTipCapacity = 63;
// Largest icon side kept, in pixels.
constexpr int32_t kNotifyIconMaxSide = 64;

// What a program gives Shell_NotifyIcon.
struct NotifyIconData {
    Hwnd hwnd;                     // the window the icon belongs to (of this process)
    uint32_t id = 0;               // the program's number for the icon
    uint32_t flags = 0;            // NIF_* bits: which fields below count
    uint32_t callbackMessage = 0;  // posted to hwnd on a tap (NIF_MESSAGE)
    HIcon icon;                    // the picture, copied (NIF_ICON)
    std::u16string tip;            // the tip text (NIF_TIP), cut to kNotifyTipCapacity
};

// Adds, changes or removes an icon. False (last error set) for a window
// that is not of this process, an icon to add that exists already, one to
// change or remove that does not, or an unknown action.
bool Shell_NotifyIcon(uint32_t action, const NotifyIconData& data);

// An icon as the taskbar reads it.
struct NotifyIconEntry {
    Hwnd hwnd;                     // owner window
    uint32_t id = 0;               // the program's number
    uint32_t callbackMessage = 0;  // 0: none
    int32_t width = 0;             // picture size; 0 x 0 without a picture
    int32_t height = 0;
    std::vector<uint32_t> argb;    // 0xAARRGGBB, rows top to bottom
    std::u16string tip;            // tip text
};

// Every icon of live programs, in the order they were added.
std::vector<NotifyIconEntry> ListNotifyIcons();

}  // namespace plat
